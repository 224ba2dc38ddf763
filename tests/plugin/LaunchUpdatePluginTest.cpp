#include "TestPlugin.h"
#include "plugin/modDatenbankErweiterung.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// A program folder with a stand-in plug-in: a shell script that writes its
// path, its working directory and each argument in brackets to a file.
class LaunchTest : public ::testing::Test {
protected:
    QString programFolder() const { return m_program.path(); }
    QString runFile() const { return m_program.filePath(QStringLiteral("plugin-run.txt")); }

    QString installPlugin(const QString& name = QStringLiteral("Datenbank_Aktualisierung"), bool executable = true)
    {
        const QString path = InstallTestPlugin(programFolder(), runFile(), name, executable);
        EXPECT_FALSE(path.isEmpty());
        return path;
    }

    void writeIni(const QByteArray& content)
    {
        QFile ini(IniFile(programFolder()));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(content);
    }

    // Starts the plug-in; the messages of the launch are kept in `seen`.
    std::optional<qint64> launch(const QString& user, const QString& password, const QString& extra = QString())
    {
        const PluginLaunchResult result = LaunchUpdatePlugin({programFolder(), user, password}, extra, 1);
        seen += result.messages;
        return result.processId;
    }

    // The plug-in's record: path, working directory, then its arguments.
    QStringList waitForRun(int milliseconds = 10000) const { return WaitForPluginRun(runFile(), milliseconds); }

    QTemporaryDir m_program;
    QList<PluginLaunchMessage> seen;
};

const QByteArray kIni = "[Database Source]\r\nSQL_Database=qel\r\nSQL_Server=localhost\r\n";

}  // namespace

TEST_F(LaunchTest, PassesTheIniValuesAndTheUnquotedUserInItsFolder)
{
    const QString plugin = installPlugin();
    writeIni(kIni);
    const QString before = QDir::currentPath();

    const std::optional<qint64> processId = launch(QStringLiteral("\"sa\""), QStringLiteral("\"geheim\""));
    ASSERT_TRUE(processId.has_value());
    EXPECT_GT(*processId, 0);
    const QStringList run = waitForRun();
    ASSERT_EQ(run.size(), 6) << run.join(u'|').toStdString();
    EXPECT_EQ(run[0], plugin);
    EXPECT_EQ(run[1], QDir(PluginFolder(programFolder())).canonicalPath());
    EXPECT_EQ(run.mid(2),
              QStringList({QStringLiteral("[-sp_datenbank=@@@cWVs]"), QStringLiteral("[-sp_server=@@@bG9jYWxob3N0]"),
                           QStringLiteral("[-sp_benutzer=@@@c2E=]"), QStringLiteral("[-sp_passwort=@@@Z2VoZWlt]")}));
    EXPECT_TRUE(seen.isEmpty());
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST_F(LaunchTest, UserWithoutQuotesAndTheExtraText)
{
    installPlugin();
    writeIni(kIni);
    ASSERT_TRUE(launch(QStringLiteral("sa"), QStringLiteral("geheim"), QStringLiteral("-a  b")).has_value());
    const QStringList run = waitForRun();
    ASSERT_EQ(run.size(), 8) << run.join(u'|').toStdString();
    EXPECT_EQ(run[4], QStringLiteral("[-sp_benutzer=@@@c2E=]"));
    EXPECT_EQ(run.mid(6), QStringList({QStringLiteral("[-a]"), QStringLiteral("[b]")}));
}

TEST_F(LaunchTest, WithoutIniOrUserNoValuesArePassed)
{
    installPlugin();
    // No qel.ini: database and server are empty.
    ASSERT_TRUE(launch(QStringLiteral("sa"), QStringLiteral("geheim")).has_value());
    QStringList run = waitForRun();
    EXPECT_EQ(run.size(), 2) << run.join(u'|').toStdString();

    // No "-user:" on the command line: the same, with qel.ini in place.
    QFile::remove(runFile());
    writeIni(kIni);
    ASSERT_TRUE(launch(QString(), QStringLiteral("geheim")).has_value());
    run = waitForRun();
    EXPECT_EQ(run.size(), 2) << run.join(u'|').toStdString();
    EXPECT_TRUE(seen.isEmpty());
}

TEST_F(LaunchTest, WindowsNameIsPreferredWhenItExists)
{
    installPlugin();
    const QString windowsName = installPlugin(QStringLiteral("Datenbank_Aktualisierung.exe"));
    EXPECT_EQ(PluginFile(programFolder()), windowsName);
    ASSERT_TRUE(launch(QString(), QString()).has_value());
    const QStringList run = waitForRun();
    ASSERT_FALSE(run.isEmpty());
    EXPECT_EQ(run[0], windowsName);
}

TEST_F(LaunchTest, MissingPluginIsToldAndNothingStarts)
{
    writeIni(kIni);
    EXPECT_FALSE(launch(QStringLiteral("sa"), QStringLiteral("geheim")).has_value());
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].title, QStringLiteral("SQL-Tabrix"));
    EXPECT_EQ(seen[0].text,
              QStringLiteral("Das Modul wurde nicht gefunden. Bitte wenden Sie sich an Ihren Administrator."));

    // A folder of the plug-in's name is no plug-in either.
    QDir().mkpath(PluginFolder(programFolder()) + QStringLiteral("Datenbank_Aktualisierung"));
    EXPECT_FALSE(launch(QStringLiteral("sa"), QStringLiteral("geheim")).has_value());
    EXPECT_EQ(seen.size(), 2);
}

TEST_F(LaunchTest, PluginThatIsNotExecutableIsAFailedStart)
{
    installPlugin(QStringLiteral("Datenbank_Aktualisierung"), false);
    EXPECT_FALSE(launch(QStringLiteral("sa"), QStringLiteral("geheim")).has_value());
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].title, QStringLiteral("SQL-Tabrix"));
    EXPECT_EQ(seen[0].text,
              QStringLiteral("Fehler beim Starten des Moduls. Bitte wenden Sie sich an Ihren Administrator."));
    EXPECT_TRUE(waitForRun(300).isEmpty());
}

TEST_F(LaunchTest, ExecutableThatCannotRunIsAFailedStart)
{
    // Marked executable, but no program the system can start (a Windows
    // plug-in copied over, for instance).
    const QString plugin = installPlugin();
    QFile file(plugin);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("MZ\x90\x00\x03", 5);
    file.close();
    EXPECT_FALSE(launch(QString(), QString()).has_value());
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].text,
              QStringLiteral("Fehler beim Starten des Moduls. Bitte wenden Sie sich an Ihren Administrator."));
}

TEST_F(LaunchTest, UnreadableIniIsToldThenThePluginStartsWithoutValues)
{
    installPlugin();
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), IniFile(programFolder())));
    ASSERT_TRUE(launch(QStringLiteral("sa"), QStringLiteral("geheim")).has_value());
    // Once for the database name, once for the server name.
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].title, QStringLiteral("Fehler"));
    EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("Die Datei \"") + IniFile(programFolder())))
        << seen[0].text.toStdString();
    EXPECT_EQ(waitForRun().size(), 2);
}
