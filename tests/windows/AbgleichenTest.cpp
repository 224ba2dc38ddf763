// The XDB window driven as a user drives it: against the MariaDB test server
// (MySQL), on a recording connection for MS SQL and Sybase, with malformed
// documents, and with the user acting while a document runs.

#include "MessageBoxAnswerer.h"
#include "ProgramDriver.h"
#include "QtPrinters.h"
#include "RecordingConnection.h"
#include "ServerProbe.h"
#include "TestSupport.h"
#include "XdbDocuments.h"
#include "ui/Progress.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace xdbdoc;

namespace {

const QString kFinal = QStringLiteral("Die QEL.XDB wurde abgearbeitet.");

QString dataFile(const char* name)
{
    return QDir(QStringLiteral(XDB_TEST_DATA)).filePath(QString::fromLatin1(name));
}

// Logged in on a recording connection that knows the given tables, the XDB window open.
Program recordedXdb(DialectButton dialect, bool linuxSwitch, const QList<ServerTable>& tables)
{
    Program app(Login::Recording, dialect);
    app.main->Check1->setChecked(linuxSwitch);
    app.server->catalogue = tables;
    app.openXdb();
    return app;
}

QStringList columnsOf(ServerProbe& probe, const QString& table)
{
    QStringList result;
    for (const auto& row : probe.rows(QStringLiteral("SELECT COLUMN_NAME, COLUMN_TYPE, COALESCE(COLUMN_DEFAULT, '-') "
                                                     "FROM information_schema.columns WHERE table_schema = DATABASE() "
                                                     "AND table_name = '")
                                      + table + QStringLiteral("' ORDER BY ORDINAL_POSITION")))
        result.append(row[0].toString() + QLatin1Char(' ') + row[1].toString() + QLatin1Char(' ') + row[2].toString());
    return result;
}

// The test database holding only what `statements` make.
void prepareServer(ServerProbe& probe, const QStringList& statements)
{
    probe.dropAllTables();
    for (const QString& statement : statements)
        probe.exec(statement);
}

}  // namespace

TEST(Abgleichen, ControlsCaptionsAndPathFromTheCommandLine)
{
    MDIForm_Main main(QStringLiteral("-XDBpfad:/daten/QEL.XDB -ODBC:QELSQL"));
    main.Form_Load();
    main.Command2->setEnabled(true);
    main.Command2->click();
    Abgleichen* xdb = main.abgleichen();
    ASSERT_NE(xdb, nullptr);
    EXPECT_EQ(xdb->windowTitle(), QStringLiteral("SQL-Server mit XDB abgleichen"));
    EXPECT_EQ(xdb->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Pfad der XDB :"));
    EXPECT_EQ(xdb->findChild<QLineEdit*>(QStringLiteral("Text_XDB"))->text(), QStringLiteral("/daten/QEL.XDB"));
    EXPECT_EQ(xdb->findChild<QPushButton*>(QStringLiteral("Command8"))->text(), QStringLiteral("XDB Verarbeiten"));
    EXPECT_NE(xdb->findChild<QPushButton*>(QStringLiteral("Command1")), nullptr);
    EXPECT_NE(xdb->findChild<QListWidget*>(QStringLiteral("List1")), nullptr);

    // Browse: the dialog starts at the path, filters XDB documents, and a choice is taken over.
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("NEU.XDB")), "[felder]\r\n");
    const QString chosen = QFileInfo(dir.filePath(QStringLiteral("NEU.XDB"))).canonicalFilePath();
    QStringList filters;
    QString preset;
    MessageBoxAnswerer dialogs([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), QStringLiteral("CommonDialog"));
        filters = dialog->nameFilters();
        preset = dialog->selectedFiles().value(0);
        // As a user types the name into the dialog's file-name box and confirms.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(chosen);
        QTest::keyClick(name, Qt::Key_Return);
    });
    xdb->Command1->click();
    EXPECT_EQ(filters, QStringList{QStringLiteral("XDB's (*.XDB)")});
    EXPECT_TRUE(preset.endsWith(QStringLiteral("QEL.XDB")));
    EXPECT_EQ(xdb->Text_XDB->text(), chosen);
    // Cancelling leaves the path as it was.
    dialogs.onDialog = [](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); };
    xdb->Command1->click();
    EXPECT_EQ(xdb->Text_XDB->text(), chosen);
}

TEST(Abgleichen, AppliesADocumentToTheTestServer)
{
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    prepareServer(probe,
                  {QStringLiteral("CREATE TABLE XdbKunden (Nr INT NOT NULL PRIMARY KEY, Name VARCHAR(20))"),
                   QStringLiteral("CREATE TABLE XdbArtikel (Nr INT NOT NULL, Alt VARCHAR(10))")});

    Program app;
    Abgleichen* xdb = app.openXdb();
    ASSERT_NE(xdb, nullptr);
    app.main->state.RunFailed = false;
    const QString path = dataFile("mysql.XDB");

    EXPECT_EQ(app.process(path), QStringList{kFinal});
    const QStringList list = itemTexts(xdb->List1);
    const QStringList expected{
        QStringLiteral("XdbKunden\t\t(Felder hinzufügen)"),
        QStringLiteral("\tALTER TABLE `XdbKunden`  ADD `Bemerkung` VARCHAR(30)"),
        QStringLiteral("\tALTER TABLE `XdbKunden`  ADD `Betrag` DECIMAL(19,4)"),
        QStringLiteral("\tALTER TABLE `XdbKunden`  ADD `Aktiv` BIT"),
        QStringLiteral("\tALTER TABLE `XdbKunden`  ADD `Datum` DATETIME"),
        QStringLiteral("\tALTER TABLE `XdbKunden`  ADD `Notiz` LONGTEXT"),
        QStringLiteral("\tALTER TABLE `XdbKunden`  ADD `Bild` LONGBLOB"),
        QStringLiteral("\tALTER TABLE `XdbKunden`  ADD `Schlüssel` CHAR(38)"),
        QStringLiteral("\tALTER TABLE `XdbKunden`  ADD `Pfad` VARCHAR(0)"),
        QStringLiteral("XdbFehlt\t\t(Felder hinzufügen)"),
        QStringLiteral("\tTabelle existiert nicht!"),
        QStringLiteral("XdbArtikel\t\t(Felder umbenennen)"),
        QStringLiteral("\tAlt  ->  Neu"),
        QStringLiteral("Tabelle umbenennen: XdbArtikel  ->  XdbWaren  [noch nicht implementiert]"),
        QStringLiteral("XdbArtikel\t\t(Felder hinzufügen) [altes XDB-Format]"),
        QStringLiteral("\tALTER TABLE `XdbArtikel`  ADD `Kurz` VARCHAR(8) DEFAULT ' ' NULL"),
        QStringLiteral("\tALTER TABLE `XdbArtikel`  ADD `Menge` INT DEFAULT 0 NULL"),
        // A bare word is no value: the line is refused and the run counts as failed.
        QStringLiteral("Zeile 31: Standardwert \"Stk\": kein Wert (erlaubt: Zahl, 'Text' oder Funktion())"),
    };
    EXPECT_EQ(list, expected);
    EXPECT_TRUE(app.main->state.RunFailed);
    EXPECT_TRUE(xdb->Command8->isEnabled());
    EXPECT_EQ(app.main->ProgressBar1->value(), 0);

    EXPECT_EQ(
        columnsOf(probe, QStringLiteral("XdbKunden")),
        (QStringList{"Nr int(11) -", "Name varchar(20) NULL", "Bemerkung varchar(30) NULL", "Betrag decimal(19,4) NULL",
                     "Aktiv bit(1) NULL", "Datum datetime NULL", "Notiz longtext NULL", "Bild longblob NULL",
                     QStringLiteral("Schlüssel char(38) NULL"), "Pfad varchar(0) NULL"}));
    EXPECT_EQ(columnsOf(probe, QStringLiteral("XdbArtikel")),
              (QStringList{"Nr int(11) -", "Neu varchar(10) NULL", "Kurz varchar(8) ' '", "Menge int(11) 0"}));
    // Indexes are not created on MySQL.
    EXPECT_EQ(probe
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.statistics WHERE table_schema = "
                                         "DATABASE() AND table_name = 'XdbArtikel'"))
                  .toInt(),
              0);

    // A second run finds every column and adds nothing.
    app.main->state.RunFailed = false;
    EXPECT_EQ(app.process(path), QStringList{kFinal});
    EXPECT_EQ(itemTexts(xdb->List1),
              (QStringList{
                  QStringLiteral("XdbKunden\t\t(Felder hinzufügen)"), QStringLiteral("XdbFehlt\t\t(Felder hinzufügen)"),
                  QStringLiteral("\tTabelle existiert nicht!"), QStringLiteral("XdbArtikel\t\t(Felder umbenennen)"),
                  QStringLiteral("Tabelle umbenennen: XdbArtikel  ->  XdbWaren  [noch nicht implementiert]"),
                  QStringLiteral("XdbArtikel\t\t(Felder hinzufügen) [altes XDB-Format]"), list.last()}));
}

namespace {

QStringList viewDocument(const QStringList& views)
{
    QStringList lines{QStringLiteral("[querys]")};
    for (qsizetype i = 0; i + 1 < views.size(); i += 2)
        lines << key(QStringLiteral("name"), views[i]) << key(QStringLiteral("SQL"), views[i + 1]);
    return lines;
}

QStringList indexBlock(const QString& name, const QString& attribute, const QStringList& fields)
{
    QStringList lines{QStringLiteral("[Indizes]"), key(QStringLiteral("tabelle"), QStringLiteral("Artikel")),
                      key(QStringLiteral("name"), name), key(QStringLiteral("attribute"), attribute),
                      key(QStringLiteral("felderanzahl"), QString::number(fields.size()))};
    for (const QString& f : fields)
        lines.append(key(QStringLiteral("feld"), f));
    return lines;
}

// Views first (the held one among them), then columns, a rename and indexes.
QStringList everyKindOfLine()
{
    return viewDocument({QStringLiteral("View_BestellungAuftrag"), QStringLiteral("SELECT * FROM View_Bestellung"),
                         QStringLiteral("View_Bestellung"), QStringLiteral("SELECT [Nr] FROM [Artikel]")})
        + QStringList{QStringLiteral("[felder]"),
                      tabelle(QStringLiteral("Artikel")),
                      feld(QStringLiteral("Menge"), 7, 0),
                      feld(QStringLiteral("Aktiv"), 1, 0),
                      feld(QStringLiteral("Schlüssel"), 15, 0),
                      feld(QStringLiteral("Roh"), 9, 0),
                      oldTable(QStringLiteral("Artikel")),
                      oldField(QStringLiteral("Ort"), 10, 30, QStringLiteral("\"\"")),
                      QStringLiteral("[renamefield]"),
                      renameKey(QStringLiteral("tabelle"), QStringLiteral("artikel")),
                      renamePair(QStringLiteral("feld"), QStringLiteral("Alt"), QStringLiteral("Neu"))}
    + indexBlock(QStringLiteral("ixNeu"), QStringLiteral("0"), {QStringLiteral("Nr"), QStringLiteral("Alt")})
        + indexBlock(QStringLiteral("ixDa"), QStringLiteral("0"), {QStringLiteral("Nr")})
        + indexBlock(QStringLiteral("ixKaputt"), QStringLiteral("0"), {QStringLiteral("Nr")})
        + indexBlock(QStringLiteral("ixPrim"), QStringLiteral("6"), {QStringLiteral("Nr")})
        + indexBlock(QStringLiteral("ixAbgelehnt"), QStringLiteral("0"), {QStringLiteral("Nr")});
}

QString writeDocument(const QTemporaryDir& dir, const QStringList& lines)
{
    const QString path = dir.filePath(QStringLiteral("QEL.XDB"));
    writeFile(path, bytesOf(lines));
    return path;
}

// The user acts once, from a yield, as soon as `list` gets a line that `when` accepts.
void actWhenListed(QListWidget* list, const std::function<bool(const QString&)>& when,
                   const std::function<void()>& action)
{
    auto done = std::make_shared<bool>(false);
    QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list, [=] {
        if (!*done && when(list->item(list->count() - 1)->text())) {
            *done = true;
            QTimer::singleShot(0, action);
        }
    });
}

// Index ixDa exists, the query for ixKaputt fails, the server refuses ixAbgelehnt.
Program recorded(DialectButton dialect, bool linuxSwitch, QTemporaryDir& dir)
{
    Program app =
        recordedXdb(dialect, linuxSwitch, {{QStringLiteral("Artikel"), {QStringLiteral("Nr"), QStringLiteral("Alt")}}});
    app.server->answers.append({[](const QString& s) { return s.contains(QLatin1String("'ixDa'")); }, 1});
    app.server->failWhenContains(QStringLiteral("'ixKaputt'"), QStringLiteral("S0022:Lesefehler"));
    app.server->failWhenStartsWith(QStringLiteral("CREATE INDEX [ixAbgelehnt]"),
                                   QStringLiteral("37000:Zu viele Indizes"));
    writeFile(dir.filePath(QStringLiteral("QEL.XDB")), bytesOf(everyKindOfLine()));
    return app;
}

}  // namespace

TEST(Abgleichen, MsSqlStatementsLetterByLetter)
{
    QTemporaryDir dir;
    Program app = recorded(&MDIForm_Main::Option_MSSQL, false, dir);
    EXPECT_EQ(app.process(dir.filePath(QStringLiteral("QEL.XDB"))), QStringList{kFinal});
    auto exists = [](const QString& index) {
        return QStringLiteral("SELECT COUNT(*) FROM dbo.sysindexes INNER JOIN dbo.sysobjects ON sysobjects.id = "
                              "sysindexes.id WHERE "
                              "sysobjects.xtype = 'U' AND sysobjects.name = 'Artikel' AND (sysindexes.name = '")
            + index + QStringLiteral("' OR sysindexes.name LIKE '___") + index + QStringLiteral("')");
    };
    EXPECT_EQ(
        app.server->withoutCatalogue(),
        (QStringList{QStringLiteral("DROP VIEW \"View_BestellungAuftrag\""),
                     QStringLiteral("CREATE VIEW View_BestellungAuftrag AS SELECT * FROM View_Bestellung"),
                     QStringLiteral("DROP VIEW \"View_Bestellung\""),
                     QStringLiteral("CREATE VIEW View_Bestellung AS SELECT Nr FROM Artikel"),
                     QStringLiteral("ALTER TABLE [Artikel]  ADD [Menge] FLOAT"),
                     QStringLiteral("ALTER TABLE [Artikel]  ADD [Aktiv] BIT"),
                     QStringLiteral("ALTER TABLE [Artikel]  ADD [Schlüssel] VARBINARY"),
                     QStringLiteral("ALTER TABLE [Artikel]  ADD [Roh] "),
                     QStringLiteral("ALTER TABLE [Artikel]  ADD [Ort] VARCHAR(30) DEFAULT ' ' NULL"),
                     QStringLiteral("sp_rename 'Artikel.Alt' , 'Neu' , 'column'"), exists(QStringLiteral("ixNeu")),
                     QStringLiteral("CREATE INDEX [ixNeu] ON [Artikel]([Nr], [Alt])"), exists(QStringLiteral("ixDa")),
                     exists(QStringLiteral("ixKaputt")), exists(QStringLiteral("ixPrim")),
                     exists(QStringLiteral("ixAbgelehnt")),
                     QStringLiteral("CREATE INDEX [ixAbgelehnt] ON [Artikel]([Nr])")}));
    // A failing existence test ends its block; a failing creation is still announced.
    const QStringList list = itemTexts(app.xdb->List1);
    EXPECT_EQ(
        list.mid(list.size() - 5),
        (QStringList{QStringLiteral("\tAlt  ->  Neu"), QStringLiteral("Neuen Index anlegen: Artikel/ixNeu"),
                     QStringLiteral("Zeile 32: S0022:Lesefehler"), QStringLiteral("Zeile 47: 37000:Zu viele Indizes"),
                     QStringLiteral("Neuen Index anlegen: Artikel/ixAbgelehnt")}));
    EXPECT_TRUE(app.main->state.RunFailed);
}

TEST(Abgleichen, SybaseStatementsLetterByLetterWithAndWithoutLinux)
{
    for (bool linuxSwitch : {false, true}) {
        QTemporaryDir dir;
        Program app = recorded(&MDIForm_Main::Option_Sybase, linuxSwitch, dir);
        // Sybase reports warnings as S1000: the column goes through without a line.
        app.server->failWhenContains(QStringLiteral("[Aktiv]"), QStringLiteral("S1000:[Sybase]Warnung"));
        EXPECT_EQ(app.process(dir.filePath(QStringLiteral("QEL.XDB"))), QStringList{kFinal});
        auto exists = [](const QString& index) {
            return QStringLiteral(
                       "SELECT COUNT(*) FROM SYSINDEX INNER JOIN SYSTABLE ON SYSTABLE.table_id = SYSINDEX.table_id "
                       "WHERE "
                       "SYSTABLE.table_type = 'BASE' AND SYSTABLE.table_name = 'Artikel' AND SYSINDEX.index_name = '")
                + index + QLatin1Char('\'');
        };
        const QStringList held{QStringLiteral("DROP VIEW View_BestellungAuftrag"),
                               QStringLiteral("CREATE VIEW View_BestellungAuftrag AS SELECT * FROM View_Bestellung")};
        const QStringList rest{QStringLiteral("DROP VIEW View_Bestellung"),
                               QStringLiteral("CREATE VIEW View_Bestellung AS SELECT Nr FROM Artikel"),
                               QStringLiteral("ALTER TABLE [Artikel]  ADD [Menge] ")
                                   + (linuxSwitch ? "DECIMAL" : "FLOAT"),
                               QStringLiteral("ALTER TABLE [Artikel]  ADD [Aktiv] BIT"),
                               QStringLiteral("ALTER TABLE [Artikel]  ADD [Schlüssel] VARBINARY"),
                               QStringLiteral("ALTER TABLE [Artikel]  ADD [Roh] "),
                               QStringLiteral("ALTER TABLE [Artikel]  ADD [Ort] VARCHAR(30) DEFAULT ' ' NULL"),
                               QStringLiteral("sp_rename 'Artikel.Alt' , 'Neu' , 'column'"),
                               exists(QStringLiteral("ixNeu")),
                               QStringLiteral("CREATE INDEX [ixNeu] ON Artikel(Nr, Alt)"),
                               exists(QStringLiteral("ixDa")),
                               exists(QStringLiteral("ixKaputt")),
                               exists(QStringLiteral("ixPrim")),
                               QStringLiteral("CREATE INDEX [ixPrim] ON Artikel(Nr)"),
                               exists(QStringLiteral("ixAbgelehnt")),
                               QStringLiteral("CREATE INDEX [ixAbgelehnt] ON Artikel(Nr)")};
        // With Linux, View_BestellungAuftrag is created after the end of the document.
        EXPECT_EQ(app.server->withoutCatalogue(), linuxSwitch ? rest + held : held + rest) << "Linux " << linuxSwitch;
        EXPECT_EQ(itemTexts(app.xdb->List1).first(), QStringLiteral("Abfrage/Sicht erstellen: View_BestellungAuftrag"));
    }
}

TEST(Abgleichen, MalformedLargeAndBinaryDocuments)
{
    Program app =
        recordedXdb(&MDIForm_Main::Option_MSSQL, false, {{QStringLiteral("Artikel"), {QStringLiteral("Nr")}}});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QEL.XDB"));
    writeFile(path,
              bytesOf(indexBlock(QStringLiteral("ixNr"), QStringLiteral("0"), {}).mid(0, 4)
                      + QStringList{key(QStringLiteral("felderanzahl"), QStringLiteral("drei"))}));
    EXPECT_TRUE(app.process(path).isEmpty());  // ended: no final message
    EXPECT_EQ(itemTexts(app.xdb->List1).last(), QStringLiteral("Zeile 5: felderanzahl \"drei\": Typen unverträglich"));
    EXPECT_TRUE(app.main->state.RunFailed);
    EXPECT_TRUE(app.xdb->Command8->isEnabled());
    EXPECT_EQ(app.main->ProgressBar1->value(), 0);

    const QString missing = dir.filePath(QStringLiteral("fehlt.XDB"));
    EXPECT_TRUE(app.process(missing).isEmpty());
    EXPECT_EQ(itemTexts(app.xdb->List1), QStringList{QStringLiteral("Datei nicht gefunden: ") + missing});
    // An empty path does nothing at all.
    EXPECT_TRUE(app.process(QString()).isEmpty());
    EXPECT_EQ(itemTexts(app.xdb->List1).size(), 1);

    // 5 MB of a fields block whose columns exist, then one that does not.
    QByteArray bytes = bytesOf({QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel"))});
    const QByteArray line = windows1252(feld(QStringLiteral("nr"), 4, 0)) + "\r\n";
    while (bytes.size() < 5 * 1024 * 1024)
        bytes += line;
    writeFile(path, bytes + windows1252(feld(QStringLiteral("Letzte"), 4, 0)));
    EXPECT_EQ(app.process(path), QStringList{kFinal});
    EXPECT_EQ(itemTexts(app.xdb->List1).last(), QStringLiteral("\tALTER TABLE [Artikel]  ADD [Letzte] INT"));

    // Bytes of every value: whatever lines they make, the run ends in order.
    QByteArray noise(256 * 1024, Qt::Uninitialized);
    QRandomGenerator random(4711);
    for (char& b : noise)
        b = char(random.bounded(256));
    writeFile(path, noise);
    const QStringList messages = app.process(path);
    EXPECT_TRUE(messages == QStringList{kFinal} || messages.isEmpty());
    EXPECT_TRUE(app.xdb->Command8->isEnabled());
    EXPECT_EQ(app.main->progress().value(), 0);
}

TEST(Abgleichen, ClosingEitherWindowDuringARun)
{
    Program app =
        recordedXdb(&MDIForm_Main::Option_MSSQL, false, {{QStringLiteral("Artikel"), {QStringLiteral("Nr")}}});
    QTemporaryDir dir;
    const QString select = QStringLiteral("SELECT ")
        + QStringList(QList<QString>(40, QStringLiteral("Nr"))).join(QStringLiteral(", "))
        + QStringLiteral(" FROM Artikel");
    const QString path =
        writeDocument(dir,
                      viewDocument({QStringLiteral("View_Eins"), select, QStringLiteral("View_Zwei"), select})
                          + QStringList{QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")),
                                        feld(QStringLiteral("Eins"), 4, 0), feld(QStringLiteral("Zwei"), 4, 0)});
    // The conversion window, closed while it lists the first view: that view ends, the document goes on.
    QPointer<Konvertierung> konv = app.main->loadKonvertierung();
    actWhenListed(
        konv->List1, [](const QString&) { return true; }, [&] { konv->parentWidget()->close(); });
    EXPECT_EQ(app.process(path), QStringList{kFinal});
    QStringList sent = app.server->withoutCatalogue();
    EXPECT_EQ(
        sent.mid(0, 2),
        (QStringList{QStringLiteral("DROP VIEW \"View_Zwei\""), QStringLiteral("CREATE VIEW View_Zwei AS ") + select}));
    EXPECT_EQ(sent.size(), 4);
    QTest::qWait(20);
    EXPECT_TRUE(konv.isNull());

    // The XDB window, closed once the first column is listed: the run ends there and the window goes.
    app.server->statements.clear();
    QPointer<Abgleichen> xdb = app.xdb;
    writeFile(path,
              bytesOf({QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")),
                       feld(QStringLiteral("Drei"), 4, 0), feld(QStringLiteral("Vier"), 4, 0)}));
    actWhenListed(
        xdb->List1, [](const QString& line) { return line.startsWith(QLatin1String("\tALTER")); },
        [&] { xdb->parentWidget()->close(); });
    app.main->state.RunFailed = false;
    EXPECT_TRUE(app.process(path).isEmpty());
    EXPECT_EQ(app.server->withoutCatalogue(), QStringList{QStringLiteral("ALTER TABLE [Artikel]  ADD [Drei] INT")});
    EXPECT_TRUE(app.main->state.RunFailed);
    QTest::qWait(20);
    EXPECT_TRUE(xdb.isNull());

    // No run starts inside another operation; a new window works as before.
    Abgleichen* again = app.openXdb();
    {
        OperationScope busy(app.main->loadKonvertierung());
        EXPECT_EQ(app.process(path),
                  QStringList{QStringLiteral("Eine andere Verarbeitung läuft noch. Bitte warten Sie ihr Ende ab.")});
        EXPECT_TRUE(again->Command8->isEnabled());
    }
    EXPECT_EQ(app.process(path), QStringList{kFinal});
    EXPECT_EQ(app.server->withoutCatalogue().size(), 3);
}

TEST(Abgleichen, TypingADataSourceDuringARunUnloadsTheWindowAfterIt)
{
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    prepareServer(probe, {QStringLiteral("CREATE TABLE XdbKunden (Nr INT)")});
    Program app;
    QPointer<Abgleichen> xdb = app.openXdb();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QEL.XDB"));
    writeFile(path,
              bytesOf({QStringLiteral("[felder]"), tabelle(QStringLiteral("XdbKunden")),
                       feld(QStringLiteral("Eins"), 4, 0), feld(QStringLiteral("Zwei"), 4, 0)}));
    actWhenListed(
        xdb->List1, [](const QString&) { return true; },
        [&] { QTest::keyClicks(app.main->ODBC_Name, QStringLiteral("X")); });
    EXPECT_TRUE(app.process(path).isEmpty());
    QTest::qWait(50);
    EXPECT_TRUE(xdb.isNull());
    EXPECT_FALSE(app.main->Command2->isEnabled());
    // The status line of the table came before the yield: nothing was added.
    EXPECT_EQ(columnsOf(probe, QStringLiteral("XdbKunden")), QStringList{QStringLiteral("Nr int(11) NULL")});

    // Logged in again, the window comes back and works.
    app.logIn(Login::TestServer);
    ASSERT_TRUE(app.main->Command2->isEnabled());
    app.openXdb();
    EXPECT_EQ(app.process(path), QStringList{kFinal});
    EXPECT_EQ(columnsOf(probe, QStringLiteral("XdbKunden")),
              (QStringList{"Nr int(11) NULL", "Eins int(11) NULL", "Zwei int(11) NULL"}));
}

TEST(Abgleichen, ViewsOnTheTestServer)
{
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    prepareServer(probe,
                  {QStringLiteral("CREATE TABLE XdbKunden (Nr INT, Name VARCHAR(20))"),
                   QStringLiteral("INSERT INTO XdbKunden VALUES (1, 'Anna'), (2, 'Bert')")});
    Program app;
    MDIForm_Main* main = app.main.get();
    // The conversion window is not open: the views load it without showing it.
    app.konv->parentWidget()->close();
    QTest::qWait(20);
    ASSERT_EQ(main->konvertierung(), nullptr);
    Abgleichen* xdb = app.openXdb();
    main->state.RunFailed = false;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QEL.XDB"));
    writeFile(path,
              bytesOf(viewDocument(
                          {QStringLiteral("View_XdbKunden"),
                           QStringLiteral("SELECT DISTINCTROW [XdbKunden].[Nr], [XdbKunden].[Name] FROM [XdbKunden];"),
                           QStringLiteral("View_XdbKaputt"), QStringLiteral("SELECT Gibtsnicht FROM XdbKunden")})
                      + QStringList{key(QStringLiteral("name"), QStringLiteral("View_XdbKlein")),
                                    key(QStringLiteral("sql"), QStringLiteral("SELECT [Nr] FROM [XdbKunden]"))}));
    EXPECT_EQ(app.process(path), QStringList{kFinal});
    const QStringList xdbListed = itemTexts(xdb->List1);
    ASSERT_EQ(xdbListed.size(), 3) << xdbListed.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(xdbListed.mid(0, 2),
              (QStringList{QStringLiteral("Abfrage/Sicht erstellen: View_XdbKunden"),
                           QStringLiteral("Abfrage/Sicht erstellen: View_XdbKaputt")}));
    EXPECT_TRUE(xdbListed[2].startsWith(QStringLiteral("\tSicht View_XdbKaputt nicht angelegt: S0022:")));
    // A rejected view is reported by the conversion window and counted; the document goes on.
    EXPECT_EQ(xdb->reader.viewsRefused, 1);
    EXPECT_FALSE(main->state.RunFailed);
    Konvertierung* konv = main->konvertierung();
    ASSERT_NE(konv, nullptr);
    EXPECT_FALSE(konv->isVisible());
    const QStringList listed = itemTexts(konv->List1);
    const QString created =
        QStringLiteral("CREATE VIEW View_XdbKunden AS SELECT  XdbKunden.Nr, XdbKunden.Name FROM XdbKunden");
    ASSERT_GE(listed.size(), 5);
    EXPECT_EQ(listed.mid(0, 4),
              (QStringList{QStringLiteral("View_XdbKunden"), created.left(80), created.mid(80), QString()}));
    EXPECT_TRUE(listed.contains(QStringLiteral("Warnung: 40002")));
    EXPECT_EQ(probe.rows(QStringLiteral("SELECT Nr, Name FROM View_XdbKunden ORDER BY Nr")).size(), 2);
    EXPECT_EQ(
        probe
            .scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.views WHERE table_schema = DATABASE() "
                                   "AND table_name IN ('View_XdbKaputt', 'View_XdbKlein')"))
            .toInt(),
        0);
    probe.tryExec(QStringLiteral("DROP VIEW View_XdbKunden"));
}

TEST(Abgleichen, AViewThatCannotBeRewrittenEndsTheRun)
{
    Program app =
        recordedXdb(&MDIForm_Main::Option_Oracle, false, {{QStringLiteral("ARTIKEL"), {QStringLiteral("NR")}}});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QEL.XDB"));
    writeFile(path,
              bytesOf(viewDocument({QStringLiteral("View_Links"), QStringLiteral("SELECT LEFT(Name FROM Artikel")})
                      + QStringList{QStringLiteral("[felder]"), tabelle(QStringLiteral("Artikel")),
                                    feld(QStringLiteral("Neu"), 4, 0)}));
    EXPECT_TRUE(app.process(path).isEmpty());
    EXPECT_TRUE(app.server->withoutCatalogue().isEmpty());
    EXPECT_TRUE(itemTexts(app.xdb->List1).last().contains(QStringLiteral("View_Links")));
    EXPECT_TRUE(app.main->state.RunFailed);
    EXPECT_TRUE(app.xdb->Command8->isEnabled());
}

// Where the driver runs several statements sent in one call, a name or a
// default of the document still cannot add a statement of its own.
TEST(Abgleichen, NothingOfTheDocumentEndsItsStatementOnAMultiStatementDataSource)
{
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    // View V exists: a drop of it would succeed, and the server would go on with the next statement.
    prepareServer(probe,
                  {QStringLiteral("CREATE TABLE victim (x INT)"), QStringLiteral("CREATE TABLE victim2 (x INT)"),
                   QStringLiteral("CREATE TABLE XdbKunden (Nr INT)"), QStringLiteral("CREATE VIEW V AS SELECT 1")});
    Program app;
    app.main->ODBC_Name->setText(TestServer::multiStatementDataSource());
    app.main->Command3->click();
    ASSERT_TRUE(app.main->Command2->isEnabled());
    app.main->state.ServerConnection->Execute(QStringLiteral("DO 1; DO 2"));  // two statements, one call
    app.openXdb();
    QTemporaryDir dir;
    const QString path = writeDocument(
        dir,
        viewDocument({QStringLiteral("V; DROP TABLE victim; --"), QStringLiteral("SELECT 1")})
            + QStringList{oldTable(QStringLiteral("XdbKunden")),
                          oldField(QStringLiteral("Neu"), 4, 0, QStringLiteral("0 NULL; DROP TABLE victim2; --")),
                          oldField(QStringLiteral("Zahl"), 4, 0, QStringLiteral("7"))});
    app.main->state.RunFailed = false;
    EXPECT_EQ(app.process(path), QStringList{kFinal});
    EXPECT_EQ(probe
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = "
                                         "DATABASE() AND table_name IN ('victim', 'victim2')"))
                  .toInt(),
              2);
    EXPECT_EQ(columnsOf(probe, QStringLiteral("XdbKunden")), (QStringList{"Nr int(11) NULL", "Zahl int(11) 7"}));
    EXPECT_TRUE(app.main->state.RunFailed);
}
