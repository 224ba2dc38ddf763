// The unattended run ("-auto"): login, load and batch, XDB document, plug-in,
// then the end of the process; a failing step shows its own message, then the
// closing message, and the program stays open and usable.

#include "ProgramDriver.h"
#include "QtPrinters.h"
#include "RecordingConnection.h"
#include "ServerProbe.h"
#include "TestPlugin.h"
#include "TestSupport.h"
#include "XdbDocuments.h"
#include "conversion/TableList.h"
#include "plugin/modDatenbankErweiterung.h"
#include "ui/ClickableLabel.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>

using namespace xdbdoc;

namespace {

const QString kClosing = QStringLiteral("Bei der SQL-Datenbankerweiterung ist ein Fehler aufgetreten!");

// A program folder with the stand-in plug-in and qel.ini, and an XDB document.
struct Installation {
    QTemporaryDir dir;
    QString runFile() const { return dir.filePath(QStringLiteral("plugin-run.txt")); }
    QString xdb() const { return dir.filePath(QStringLiteral("QEL.XDB")); }

    Installation()
    {
        InstallTestPlugin(dir.path(), runFile());
        QFile ini(IniFile(dir.path()));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Database Source]\r\nSQL_Database=qel\r\nSQL_Server=localhost\r\n");
    }

    void writeXdb(const QStringList& lines) const { writeFile(xdb(), bytesOf(lines)); }

    QString commandLine(const QString& mdb, const QString& extra = QString()) const
    {
        QString line = QStringLiteral("-ODBC:QELSQL -user:sa -pass:\"") + TestServer::password()
            + QStringLiteral("\" -MDBpfad:\"") + mdb + QStringLiteral("\" -XDBpfad:\"") + xdb() + QStringLiteral("\"");
        if (!extra.isEmpty())
            line += QLatin1Char(' ') + extra;
        return line + QStringLiteral(" -auto");
    }
};

// After a failed run the program is open for the user: a login works.
void expectUsable(Program& run)
{
    EXPECT_FALSE(run.main->processEnded());
    run.logIn(Login::TestServer);
    EXPECT_TRUE(run.main->Command1->isEnabled());
}

}  // namespace

TEST(AutomaticRun, ConvertsAppliesLaunchesAndEnds)
{
    REQUIRE_FIXTURE(mdb, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    Installation installation;
    installation.writeXdb({"[felder]", tabelle("Artikel"), feld("Lagerort", 10, 20)});

    Program run(installation.commandLine(mdb, QStringLiteral("-Dialekt:MySQL")), installation.dir.path());

    // Nothing waited for the user, and the process ends with code 0.
    EXPECT_TRUE(run.startMessages.isEmpty()) << run.startMessages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(run.main->processEnded());
    EXPECT_EQ(run.main->exitCode(), 0);
    EXPECT_FALSE(run.main->state.RunFailed);
    // Every table converted, the document applied.
    auto db = dao::Database::OpenDatabase(mdb);
    int tables = 0;
    for (const dao::TableDef& def : db->TableDefs())
        tables += (def.Attributes & dao::dbSystemObjectMask) == 0 ? 1 : 0;
    EXPECT_EQ(
        probe.scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE()"))
            .toString()
            .toInt(),
        tables);
    EXPECT_EQ(probe
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = "
                                         "DATABASE() AND TABLE_NAME = 'Artikel' AND COLUMN_NAME = 'Lagerort'"))
                  .toString(),
              QStringLiteral("1"));
    // The plug-in ran in its folder with the four values.
    const QStringList pluginRun = WaitForPluginRun(installation.runFile());
    ASSERT_EQ(pluginRun.size(), 6) << pluginRun.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(pluginRun.mid(2),
              (QStringList{QStringLiteral("[-sp_datenbank=@@@") + EncodeBase64("qel", true) + "]",
                           QStringLiteral("[-sp_server=@@@") + EncodeBase64("localhost", true) + "]",
                           QStringLiteral("[-sp_benutzer=@@@") + EncodeBase64("sa", true) + "]",
                           QStringLiteral("[-sp_passwort=@@@") + EncodeBase64(TestServer::password(), true) + "]"}));
}

TEST(AutomaticRun, AllTablesOnTheServerStillApplyTheDocument)
{
    REQUIRE_FIXTURE(mdb, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    Installation installation;
    installation.writeXdb({"[felder]", tabelle("Artikel"), feld("Regal", 4, 0)});
    {
        ServerProbe probe;
        probe.dropAllTables();
        Program first(installation.commandLine(mdb, QStringLiteral("-Dialekt:MySQL")), installation.dir.path());
        ASSERT_TRUE(first.main->processEnded());
    }
    QFile::remove(installation.runFile());
    installation.writeXdb({"[felder]", tabelle("Artikel"), feld("Fach", 4, 0)});
    Program second(installation.commandLine(mdb, QStringLiteral("-Dialekt:MySQL")), installation.dir.path());
    EXPECT_TRUE(second.startMessages.isEmpty()) << second.startMessages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(second.main->processEnded());
    // Nothing was marked, so nothing was converted (the first run's column stands).
    ServerProbe probe;
    EXPECT_EQ(probe
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = "
                                         "DATABASE() AND TABLE_NAME = 'Artikel' AND COLUMN_NAME IN ('Regal', 'Fach')"))
                  .toString(),
              QStringLiteral("2"));
    EXPECT_FALSE(WaitForPluginRun(installation.runFile()).isEmpty());
}

TEST(AutomaticRun, FailingStepsShowTheirMessageThenTheClosingOne)
{
    REQUIRE_FIXTURE(mdb, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    Installation installation;
    installation.writeXdb({"; nichts zu tun", "[felder]"});

    // A login that fails.
    {
        Program run(QStringLiteral("-ODBC:GibtEsNicht -user:sa -pass:x -Dialekt:MySQL -auto"), installation.dir.path());
        ASSERT_EQ(run.startMessages.size(), 2) << run.startMessages.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(run.startMessages[0].startsWith(QStringLiteral("ODBC-Datenquelle 'GibtEsNicht' nicht gefunden!")));
        EXPECT_EQ(run.startMessages[1], kClosing);
        expectUsable(run);
    }
    // An Access file that cannot be opened, or a FIFO, which is no file and is refused at once.
    const QString fifo = installation.dir.filePath(QStringLiteral("fifo.mdb"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {installation.dir.filePath(QStringLiteral("fehlt.mdb")), fifo}) {
        Program run(installation.commandLine(path, QStringLiteral("-Dialekt:MySQL")), installation.dir.path());
        EXPECT_EQ(run.startMessages,
                  (QStringList{QStringLiteral("Access-Datenquelle '") + path + QStringLiteral("' nicht gefunden!"),
                               kClosing}));
        expectUsable(run);
    }
    // A device as the document: refused at once, never read without end.
    {
        Program run(installation.commandLine(mdb, QStringLiteral("-Dialekt:MySQL -XDBpfad:/dev/zero")),
                    installation.dir.path());
        EXPECT_EQ(run.startMessages, QStringList{kClosing});
        EXPECT_EQ(itemTexts(run.main->abgleichen()->List1), QStringList{"Pfad/Datei-Zugriffsfehler: /dev/zero"});
        expectUsable(run);
    }
    // A document whose change the server refuses (a name that is taken): its
    // error is listed, and the run has failed.
    {
        installation.writeXdb({"[renamefield]", renameKey("tabelle", "Artikel"), renamePair("feld", "Name", "Nr")});
        Program run(installation.commandLine(mdb, QStringLiteral("-Dialekt:MySQL")), installation.dir.path());
        EXPECT_EQ(run.startMessages, QStringList{kClosing});
        ASSERT_NE(run.main->abgleichen(), nullptr);
        EXPECT_GT(run.main->abgleichen()->List1->count(), 1);
        // The plug-in is not started after a failed step.
        EXPECT_FALSE(QFile::exists(installation.runFile()));
        expectUsable(run);
    }
}

// Without "-Dialekt:" the run uses Microsoft SQL, the choice at start; here on
// a recording connection.
TEST(AutomaticRun, WithoutDialectTheRunWritesMicrosoftSql)
{
    REQUIRE_FIXTURE(mdb, "erp-sample.mdb");
    Installation installation;
    installation.writeXdb({"; nichts zu tun", "[felder]"});
    std::shared_ptr<QStringList> sent = std::make_shared<QStringList>();
    int opened = 0;
    Program run(installation.commandLine(mdb), installation.dir.path(), [&](MDIForm_Main& main) {
        main.openConnection = [&, sent](ServerEnvironment&, const QString&) -> std::unique_ptr<ServerConnection> {
            auto connection = std::make_unique<RecordingConnection>();
            // The login opens the statement connection first, then the one for the row counts.
            if (opened++ == 0)
                connection->journal = sent;
            else
                connection->failWhenStartsWith(QStringLiteral("SELECT COUNT(*)"),
                                               QStringLiteral("S0002:no such table"));
            return connection;
        };
    });
    EXPECT_TRUE(run.startMessages.isEmpty()) << run.startMessages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(run.main->processEnded());
    EXPECT_EQ(run.main->currentDialect(), Dialect::MSSQL);
    // The tables went out in MS SQL's spelling (names in double quotes), rows included.
    EXPECT_TRUE(sent->filter(QStringLiteral("CREATE TABLE Artikel ")).value(0).contains(QStringLiteral("\"Nr\" INT")))
        << sent->join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(sent->filter(QStringLiteral("INSERT INTO Artikel (\"Nr\",\"Name\")")).isEmpty());
    EXPECT_FALSE(WaitForPluginRun(installation.runFile()).isEmpty());
}

// The program itself, started as a scheduler starts it. On a machine without
// any display (no DISPLAY, no WAYLAND_DISPLAY, no platform chosen) it ends by
// itself with a code that tells what happened, its error log on standard
// error; where a platform was chosen, a failed run waits at its boxes.
TEST(AutomaticRun, TheProgramAsAProcessEndsWithACodeThatTells)
{
    REQUIRE_TEST_SERVER();
    struct Case {
        const char* file;
        QString password;
        bool headless;
        int exitCode;  // -1: still waiting at its box
        QStringList onStandardError;
        bool plugin = true;
        QStringList xdb{QStringLiteral("; nichts zu tun"), QStringLiteral("[felder]")};
    } cases[] = {
        {"erp-sample.mdb", TestServer::password(), true, 0, {QStringLiteral("Tabellenliste: Artikel [migriert]")}},
        // A table whose texts no server can hold: the chain runs to its end, the run says which table failed.
        {"hostile-names.mdb",
         TestServer::password(),
         true,
         2,
         {QStringLiteral("Fehler-Protokoll: Feld Logo: der Text enthält ungültige Zeichen"),
          QStringLiteral("Tabellenliste: AdressenStamm [!Fehler!]")}},
        {"erp-sample.mdb",
         QStringLiteral("falsch"),
         true,
         1,
         {QStringLiteral("SQL-Tabrix: ODBC-Datenquelle 'QELSQL' nicht gefunden!"),
          QStringLiteral("SQL-Tabrix: ") + kClosing}},
        {"erp-sample.mdb", QStringLiteral("falsch"), false, -1, {}},
        // Without its plug-in the ERP update is not done: a step failed.
        {"erp-sample.mdb",
         TestServer::password(),
         true,
         1,
         {QStringLiteral("Tabellenliste: Alle markierten Tabellen wurden konvertiert."),
          QStringLiteral("SQL-Tabrix: Das Modul wurde nicht gefunden."), QStringLiteral("SQL-Tabrix: ") + kClosing},
         false},
        // A view of the document that the server refuses: the chain runs to its end.
        {"erp-sample.mdb",
         TestServer::password(),
         true,
         2,
         {QStringLiteral("XDB: \tSicht View_Kaputt nicht angelegt: ")},
         true,
         {QStringLiteral("[querys]"), key(QStringLiteral("name"), QStringLiteral("View_Kaputt")),
          key(QStringLiteral("SQL"), QStringLiteral("SELECT Gibtsnicht FROM Artikel"))}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.headless ? " headless" : " offscreen") + " exit "
                     + std::to_string(c.exitCode));
        // Every run leaves its report, a failed one too, and says where.
        REQUIRE_FIXTURE(mdb, "erp-sample.mdb");
        const QString file = fixturePath(QString::fromLatin1(c.file));
        ServerProbe().dropAllTables();
        Installation installation;
        installation.writeXdb(c.xdb);
        if (!c.plugin)
            QDir(installation.dir.filePath(QStringLiteral("Plugins"))).removeRecursively();
        const QString program = installation.dir.filePath(QStringLiteral("sql-tabrix"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TABRIX_BINARY_DIR "/sql-tabrix"), program));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        if (!c.headless)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(program,
                      {QStringLiteral("-ODBC:QELSQL"), QStringLiteral("-user:sa"),
                       QStringLiteral("-pass:") + c.password, QStringLiteral("-MDBpfad:") + file,
                       QStringLiteral("-XDBpfad:") + installation.xdb(), QStringLiteral("-Dialekt:MySQL"),
                       QStringLiteral("-Bericht:") + installation.dir.filePath(QStringLiteral("lauf.html")),
                       QStringLiteral("-auto")});
        if (c.exitCode < 0) {
            EXPECT_FALSE(process.waitForFinished(5000)) << "a box with a platform to show it waits for its answer";
            process.kill();
            process.waitForFinished();
            continue;
        }
        ASSERT_TRUE(process.waitForFinished(180000)) << process.readAllStandardError().toStdString();
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), c.exitCode) << err.toStdString();
        for (const QString& line : c.onStandardError
                 + QStringList{QStringLiteral("Bericht: ") + installation.dir.filePath(QStringLiteral("lauf.html"))})
            EXPECT_TRUE(err.contains(line)) << line.toStdString() << "\n" << err.toStdString();
        QFile report(installation.dir.filePath(QStringLiteral("lauf.html")));
        ASSERT_TRUE(report.open(QIODevice::ReadOnly));
        EXPECT_TRUE(report.readAll().contains("<h1>SQL-Tabrix: Unbeaufsichtigter Lauf</h1>"));
        // The plug-in follows a chain that ran to its end, also with failed tables.
        EXPECT_EQ(WaitForPluginRun(installation.runFile(), c.exitCode == 1 ? 300 : 10000).isEmpty(), c.exitCode == 1);
    }
}

// The windows draw while the unattended run works, and the stop picture stops
// the copy of the running table; the chain goes on and ends with code 2.
TEST(AutomaticRun, TheWindowsAreShownAndTheStopPictureWorksDuringTheRun)
{
    REQUIRE_FIXTURE(mdb, "bench.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe().dropAllTables();
    Installation installation;
    installation.writeXdb({QStringLiteral("; nichts zu tun"), QStringLiteral("[felder]")});
    bool pressed = false;
    QTimer timer;
    Program run(installation.commandLine(mdb, QStringLiteral("-Dialekt:MySQL")), installation.dir.path(),
                [&](MDIForm_Main& main) {
                    main.show();
                    QObject::connect(&timer, &QTimer::timeout, [&] {
                        Konvertierung* konv = main.konvertierung();
                        if (pressed || !konv || !konv->Image1->isVisible() || copiedRows(konv->Label1->text()) < 300)
                            return;
                        pressed = true;
                        EXPECT_TRUE(main.isVisible() && konv->isVisible());
                        konv->Image1->clicked();
                    });
                    timer.start(0);
                });
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(run.main->processEnded());
    EXPECT_EQ(run.main->exitCode(), MDIForm_Main::ExitTablesFailed);
    EXPECT_EQ(run.entryOf(QStringLiteral("Buchungen")),
              PadName(QStringLiteral("Buchungen")) + QStringLiteral("[!Fehler!]"));
    EXPECT_EQ(run.entryOf(QStringLiteral("Konten")), PadName(QStringLiteral("Konten")) + QStringLiteral("[migriert]"));
}

TEST(AutomaticRun, ExitCodeFromWhatTheStepsReport)
{
    // A difference of the check counts as a failed table; a table that could not be checked does not.
    const auto code = [](bool stepFailed, TableResult result, DataCheckResult check, int refusedViews) {
        TableOutcome table{QStringLiteral("T"), result};
        table.check.result = check;
        return MDIForm_Main::UnattendedExitCode(stepFailed, BatchOutcome{RunOutcome::Completed, {table}}, refusedViews);
    };
    EXPECT_EQ(code(false, TableResult::Converted, DataCheckResult::Passed, 0), 0);
    EXPECT_EQ(code(false, TableResult::Converted, DataCheckResult::NotChecked, 0), 0);
    EXPECT_EQ(code(false, TableResult::Converted, DataCheckResult::Differences, 0), 2);
    EXPECT_EQ(code(false, TableResult::Failed, DataCheckResult::NotRun, 0), 2);
    EXPECT_EQ(code(false, TableResult::Converted, DataCheckResult::Passed, 1), 2);
    EXPECT_EQ(code(true, TableResult::Converted, DataCheckResult::Differences, 0), 1);
}
