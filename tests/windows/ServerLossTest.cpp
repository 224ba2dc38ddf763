// The test server killed in the middle of a copy: the copy ends at its next
// statement with one line in the log, memory stays flat, the user is told to
// log in again; with the server back, the half-filled table is marked by the
// next load and converts whole.

#include "MessageBoxAnswerer.h"
#include "ProgramDriver.h"
#include "ServerProbe.h"
#include "TestPlugin.h"
#include "TestSupport.h"
#include "XdbDocuments.h"
#include "conversion/TableList.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

namespace {

// Resident memory of this process in kB.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

QString serverFolder()
{
    return QFileInfo(qEnvironmentVariable("ODBCINI")).absolutePath();
}

pid_t serverPid()
{
    QFile f(serverFolder() + QStringLiteral("/mariadbd.pid"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return pid_t(f.readAll().trimmed().toLong());
}

bool startServerAgain()
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TABRIX_TEST_SERVER_DIR"), serverFolder());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TABRIX_SOURCE_DIR "/scripts/test-server"), {QStringLiteral("start")});
    const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!ok)
        ADD_FAILURE() << "test-server start: " << p.readAllStandardError().toStdString()
                      << p.errorString().toStdString();
    return ok;
}

}  // namespace

// In an unattended run, as a scheduler starts it; the next unattended run,
// another process as far as the program can tell, converts the half-filled table.
TEST(ServerLoss, KilledServerEndsTheCopyAndTheNextRunConvertsTheHalfFilledTable)
{
    REQUIRE_FIXTURE(path, "bench.mdb");
    REQUIRE_TEST_SERVER();
    const pid_t pid = serverPid();
    ASSERT_GT(pid, 0) << "no pid file in " << serverFolder().toStdString();
    // The later tests need the server, whatever happens here.
    const auto restart = qScopeGuard([] {
        if (::kill(serverPid(), 0) != 0)
            startServerAgain();
    });
    {
        ServerProbe probe;
        probe.dropAllTables();
        // Konten is on the server: the run converts Buchungen alone.
        probe.exec(QStringLiteral("CREATE TABLE Konten (Nr INT)"));
    }
    QTemporaryDir folder;
    const QString xdb = folder.filePath(QStringLiteral("QEL.XDB"));
    xdbdoc::writeFile(xdb, "; nichts zu tun\r\n[felder]\r\n");
    InstallTestPlugin(folder.path(), folder.filePath(QStringLiteral("plugin-run.txt")));
    const QString commandLine = QStringLiteral("-ODBC:QELSQL -user:sa -pass:") + TestServer::password()
        + QStringLiteral(" -Dialekt:MySQL -MDBpfad:") + path + QStringLiteral(" -XDBpfad:") + xdb
        + QStringLiteral(" -auto");
    long rssAtKill = 0;
    long rowAtKill = 0;
    QTimer timer;
    Program first(commandLine, folder.path(), [&](MDIForm_Main& main) {
        QObject::connect(&timer, &QTimer::timeout, [&] {
            const QString status = main.konvertierung() ? main.konvertierung()->Label1->text() : QString();
            if (rowAtKill == 0 && copiedRows(status) >= 5000) {
                rowAtKill = copiedRows(status);
                rssAtKill = residentKb();
                ::kill(pid, SIGKILL);
            }
        });
        timer.start(0);
    });
    timer.stop();
    ASSERT_GT(rowAtKill, 0);

    // One statement failed, and the copy ended with it, saying how far it came.
    const QStringList log = first.log();
    ASSERT_EQ(log.size(), 3) << log.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(log[0], QStringLiteral("Tabelle: Buchungen"));
    EXPECT_TRUE(log[1].startsWith(QStringLiteral("Verbindung zum SQL-Server verloren, Tabelle Buchungen: 08")))
        << log[1].toStdString();
    EXPECT_TRUE(log[2].startsWith(QStringLiteral("Tabelle Buchungen: Kopie nach "))
                && log[2].endsWith(QStringLiteral(")."))
                && log[2].contains(QStringLiteral(" von 200000 Datensätzen abgebrochen (08")))
        << log[2].toStdString();
    EXPECT_LT(residentKb() - rssAtKill, 20 * 1024) << "memory grew after the connection was lost";
    // One message of the lost connection, then the closing one; the run failed.
    ASSERT_EQ(first.startMessages.size(), 2) << first.startMessages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(
        first.startMessages[0].startsWith(QStringLiteral("Die Verbindung zum SQL-Server ist abgebrochen:\r\n08")));
    EXPECT_EQ(first.startMessages[1], QStringLiteral("Bei der SQL-Datenbankerweiterung ist ein Fehler aufgetreten!"));
    EXPECT_EQ(first.main->exitCode(), MDIForm_Main::ExitStepFailed);
    EXPECT_EQ(first.entryOf(QStringLiteral("Buchungen")),
              PadName(QStringLiteral("Buchungen")) + QStringLiteral("[!Fehler!]"));
    EXPECT_FALSE(first.main->Command1->isEnabled());

    // A login while the server is down says why it failed.
    {
        MessageBoxAnswerer answers;
        first.main->Command3->click();
        ASSERT_EQ(answers.seen.size(), 1);
        const QStringList lines = answers.texts()[0].split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 2) << answers.texts()[0].toStdString();
        EXPECT_EQ(lines[0], QStringLiteral("ODBC-Datenquelle 'QELSQL' nicht gefunden!"));
        EXPECT_TRUE(lines[1].contains(QStringLiteral("Can't connect"))) << lines[1].toStdString();
    }

    ASSERT_TRUE(startServerAgain());
    ServerProbe probe;
    const long halfFilled = probe.scalar(QStringLiteral("SELECT COUNT(*) FROM Buchungen")).toString().toLong();
    EXPECT_GT(halfFilled, 0);
    EXPECT_LT(halfFilled, 200000);
    first.main.reset();
    Program second(commandLine, folder.path());
    EXPECT_TRUE(second.startMessages.isEmpty()) << second.startMessages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(second.entryOf(QStringLiteral("Buchungen")),
              PadName(QStringLiteral("Buchungen")) + QStringLiteral("[migriert]"));
    EXPECT_EQ(second.main->exitCode(), MDIForm_Main::ExitSucceeded);
    EXPECT_EQ(probe.scalar(QStringLiteral("SELECT COUNT(*) FROM Buchungen")).toString(), QStringLiteral("200000"));
}
