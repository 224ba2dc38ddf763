// The conversion window with the dialects that have no server here: a
// recording connection takes the statements, which are checked letter by letter.

#include "FakeDatabase.h"
#include "MessageBoxAnswerer.h"
#include "ProgramDriver.h"
#include "QtPrinters.h"
#include "RecordingConnection.h"
#include "TestSupport.h"
#include "conversion/TableCreation.h"
#include "conversion/TableList.h"
#include "sql/Names.h"
#include "translation/Views.h"
#include "ui/WindowOrder.h"
#include "windows/FehlerProtokoll.h"
#include "windows/Form_Auto.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QProgressBar>
#include <QSignalBlocker>
#include <gtest/gtest.h>

TEST(OtherDialects, OracleIdentityColumnWithSequenceAndTrigger)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_Oracle);
    ASSERT_TRUE(app.load(path).isEmpty());
    app.konv->Check_Autowert->setChecked(true);
    app.server->statements.clear();
    app.convert(QStringLiteral("Artikel"));
    EXPECT_EQ(app.entryOf(QStringLiteral("Artikel")),
              PadName(QStringLiteral("Artikel")) + QStringLiteral("[migriert]"));

    // The phases in order, the sequence named by the window's clock, the file's rows
    // (the statements themselves: TableCreationTest, RowCopyTest).
    const QString sequence = QStringLiteral("SEQ_Artikel240305140709");
    const QStringList sent = app.server->statements;
    ASSERT_EQ(sent.size(), 10) << sent.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(
        sent.mid(0, 3),
        (QStringList{QStringLiteral("DROP TABLE Artikel"), QStringLiteral("DROP SEQUENCE ") + sequence,
                     QStringLiteral("CREATE SEQUENCE ") + sequence + QStringLiteral(" INCREMENT BY 1 START WITH 1")}));
    EXPECT_TRUE(sent[3].startsWith(QStringLiteral("CREATE TABLE Artikel (AutoWertIdentität ")))
        << sent[3].toStdString();
    EXPECT_EQ(sent[4], OracleTriggerStatement(QStringLiteral("Artikel"), sequence));
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(sent[4 + i], QStringLiteral("INSERT INTO Artikel (Nr,Name) VALUES (%1,'Artikel %1')").arg(i));
    // The information list ends with the trigger's three display lines.
    const QStringList information = app.information();
    EXPECT_EQ(information.mid(information.size() - 3),
              (QStringList{QStringLiteral("CREATE TRIGGER TRG_Artikel"),
                           QStringLiteral("BEFORE INSERT OR UPDATE ON Artikel"), QStringLiteral("FOR EACH ROW")}));
}

TEST(OtherDialects, MsSqlKeyFromTheUniqueIndexAndBothIndexes)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_MSSQL);
    ASSERT_TRUE(app.load(path).isEmpty());
    app.server->statements.clear();
    app.convert(QStringLiteral("Adressen"));
    EXPECT_EQ(app.entryOf(QStringLiteral("Adressen")),
              PadName(QStringLiteral("Adressen")) + QStringLiteral("[migriert]"));

    const QStringList expected = {
        QStringLiteral("DROP TABLE Adressen"),
        QStringLiteral("SELECT COUNT(CONSTRAINT_NAME) FROM INFORMATION_SCHEMA.CONSTRAINT_COLUMN_USAGE WHERE "
                       "CONSTRAINT_NAME = 'primAdressen'"),
        QStringLiteral("CREATE TABLE Adressen ( \"Kurz\" VARCHAR(10)  NOT NULL ,\"PLZ\" VARCHAR(10)  NULL ,\"Ort\" "
                       "VARCHAR(30)  NULL ,CONSTRAINT \"primAdressen\" PRIMARY KEY(\"Kurz\"))"),
        QStringLiteral("CREATE INDEX \"PLZ\" ON Adressen(\"PLZ\")"),
        QStringLiteral("CREATE INDEX \"KurzUnique\" ON Adressen(\"Kurz\")"),
        QStringLiteral("INSERT INTO Adressen (\"Kurz\",\"PLZ\",\"Ort\") VALUES ('A1','10115','Berlin')"),
        QStringLiteral("INSERT INTO Adressen (\"Kurz\",\"PLZ\",\"Ort\") VALUES ('B2','20095','Hamburg')"),
    };
    EXPECT_EQ(app.server->statements, expected);
    EXPECT_EQ(app.konv->IndexCounter, 2);
}

TEST(OtherDialects, ToleratedOracleErrorIsNotLogged)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_Oracle);
    ASSERT_TRUE(app.load(path).isEmpty());
    app.server->failWhenStartsWith(QStringLiteral("CREATE INDEX"),
                                   QStringLiteral("S1000:[Oracle]ORA-00955: 42S11 index exists"));
    app.convert(QStringLiteral("Adressen"));
    EXPECT_EQ(app.entryOf(QStringLiteral("Adressen")),
              PadName(QStringLiteral("Adressen")) + QStringLiteral("[migriert]"));
    EXPECT_EQ(app.main->fehlerProtokoll()->text(), QStringLiteral("Tabelle: Adressen\r\n"));
    EXPECT_FALSE(app.konv->TableFailed);
    // Both indexes were still sent, and the rows after them.
    int indexes = 0, inserts = 0;
    for (const QString& s : app.server->statements) {
        indexes += s.startsWith(QStringLiteral("CREATE INDEX")) ? 1 : 0;
        inserts += s.startsWith(QStringLiteral("INSERT INTO")) ? 1 : 0;
    }
    EXPECT_EQ(indexes, 2);
    EXPECT_EQ(inserts, 2);
}

TEST(OtherDialects, WindowComingToFrontByItselfKeepsTheIdentityOption)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_MSSQL);
    ASSERT_TRUE(app.load(path).isEmpty());
    {
        // A data source without "QEL": only an activation by the user clears the option.
        const QSignalBlocker quiet(app.main->ODBC_Name);
        app.main->ODBC_Name->setText(QStringLiteral("TEVRA"));
    }
    app.konv->Check_Autowert->setChecked(true);
    bringToFront(app.main->fehlerProtokoll());
    app.convert(QStringLiteral("Artikel"));
    EXPECT_EQ(app.entryOf(QStringLiteral("Artikel")),
              PadName(QStringLiteral("Artikel")) + QStringLiteral("[migriert]"));
    EXPECT_TRUE(app.konv->Check_Autowert->isChecked());
    EXPECT_EQ(app.main->formAuto()->listAuto()->item(1)->text(), QStringLiteral("Artikel"));
    // The user activating the window again applies the rule.
    bringToFront(app.main->fehlerProtokoll());
    bringToFront(app.konv);
    EXPECT_FALSE(app.konv->Check_Autowert->isChecked());
}

TEST(OtherDialects, LoadWalksTheListFromTheLastEntry)
{
    REQUIRE_FIXTURE(path, "Northwind.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_DB2);
    ASSERT_TRUE(app.load(path).isEmpty());
    QStringList expected;
    for (int i = app.konv->List2->count() - 1; i >= 0; --i)
        expected.append(QStringLiteral("SELECT COUNT(*) FROM ")
                        + SqlName(app.konv->List2->item(i)->text(), Dialect::DB2));
    EXPECT_EQ(app.counts->statements, expected);
    EXPECT_EQ(expected.last(), QStringLiteral("SELECT COUNT(*) FROM Categories"));
    EXPECT_TRUE(expected.contains(QStringLiteral("SELECT COUNT(*) FROM \"Order Details\"")));
    // Every table is missing on this "server": all marked, the status counts nothing.
    for (int i = 0; i < app.konv->List2->count(); ++i)
        EXPECT_TRUE(app.konv->List2->item(i)->isSelected());
    EXPECT_EQ(app.konv->Label1->text(), QStringLiteral("Bereit.   [0 Sätze in 0 Tabellen auf dem SQL-Server]"));
}

TEST(OtherDialects, BatchWithoutMarksStillReports)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_Sybase);
    ASSERT_TRUE(app.load(path).isEmpty());
    for (int i = 0; i < app.konv->List2->count(); ++i)
        app.konv->List2->item(i)->setSelected(false);
    app.server->statements.clear();
    app.main->formAuto()->listAuto()->addItem(QStringLiteral("von vorher"));
    {
        MessageBoxAnswerer answers;
        app.konv->Command2->click();
        EXPECT_EQ(answers.texts(), QStringList{QStringLiteral("Es war keine Tabelle markiert.")});
    }
    EXPECT_TRUE(app.server->statements.isEmpty());
    ASSERT_EQ(app.main->formAuto()->listAuto()->count(), 1);
    EXPECT_EQ(app.main->formAuto()->listAuto()->item(0)->text(), QStringLiteral("0 Tabellen"));
    EXPECT_TRUE(app.konv->Label1->text().startsWith(QStringLiteral("Bereit. letzte Aktion: ")));
    EXPECT_TRUE(app.konv->Command2->isEnabled());
    // Unattended: no final message, the identity-table window still comes up.
    app.main->state.AutoMode = true;
    MessageBoxAnswerer answers;
    app.konv->Command2->click();
    EXPECT_TRUE(answers.seen.isEmpty());
    EXPECT_TRUE(app.main->formAuto()->isVisible());
}

// ---------------------------------------------------------------------------
// Relations to triggers, queries to views, complete takeover

namespace {

const QString CRLF = QStringLiteral("\r\n");

// The statements for erp-sample.mdb's relations: Kunden cascades updates and
// deletes to Auftrag, Auftrag deletes to AuftragZusatz, Filialen has none.
QStringList erpTriggers(const QString& q)
{
    return {
        QStringLiteral("DROP TRIGGER uKunden"),
        QStringLiteral("DROP TRIGGER dKunden"),
        QStringLiteral("CREATE TRIGGER uKunden ON Kunden FOR UPDATE AS") + CRLF + QStringLiteral("IF UPDATE(") + q
            + QStringLiteral("KdNr") + q + QStringLiteral(")") + CRLF + QStringLiteral("BEGIN") + CRLF
            + QStringLiteral("UPDATE Auftrag SET Auftrag.") + q + QStringLiteral("KdNr") + q
            + QStringLiteral("=INSERTED.") + q + QStringLiteral("KdNr") + q
            + QStringLiteral(" FROM INSERTED,DELETED WHERE Auftrag.") + q + QStringLiteral("KdNr") + q
            + QStringLiteral("=DELETED.") + q + QStringLiteral("KdNr") + q + CRLF + QStringLiteral("END"),
        QStringLiteral("CREATE TRIGGER dKunden ON Kunden FOR DELETE AS") + CRLF
            + QStringLiteral("DELETE FROM Auftrag FROM DELETED WHERE Auftrag.") + q + QStringLiteral("KdNr") + q
            + QStringLiteral("=DELETED.") + q + QStringLiteral("KdNr") + q,
        QStringLiteral("DROP TRIGGER uAuftrag"),
        QStringLiteral("DROP TRIGGER dAuftrag"),
        QStringLiteral("CREATE TRIGGER dAuftrag ON Auftrag FOR DELETE AS") + CRLF
            + QStringLiteral("DELETE FROM AuftragZusatz FROM DELETED WHERE AuftragZusatz.") + q
            + QStringLiteral("AufNr") + q + QStringLiteral("=DELETED.") + q + QStringLiteral("AufNr") + q,
        QStringLiteral("DROP TRIGGER uFilialen"),
        QStringLiteral("DROP TRIGGER dFilialen"),
    };
}

// Northwind: Customers cascades updates to Orders, Orders deletes to "Order
// Details" (a name with a blank, in brackets); the other five relations have
// no cascade.
QStringList northwindTriggers(const QString& q)
{
    auto drops = [](const QString& t) {
        return QStringList{QStringLiteral("DROP TRIGGER u") + t, QStringLiteral("DROP TRIGGER d") + t};
    };
    return drops(QStringLiteral("Categories")) + drops(QStringLiteral("Customers"))
        + QStringList{QStringLiteral("CREATE TRIGGER uCustomers ON Customers FOR UPDATE AS") + CRLF
                      + QStringLiteral("IF UPDATE(") + q + QStringLiteral("CustomerID") + q + QStringLiteral(")") + CRLF
                      + QStringLiteral("BEGIN") + CRLF + QStringLiteral("UPDATE Orders SET Orders.") + q
                      + QStringLiteral("CustomerID") + q + QStringLiteral("=INSERTED.") + q
                      + QStringLiteral("CustomerID") + q + QStringLiteral(" FROM INSERTED,DELETED WHERE Orders.") + q
                      + QStringLiteral("CustomerID") + q + QStringLiteral("=DELETED.") + q
                      + QStringLiteral("CustomerID") + q + CRLF + QStringLiteral("END")}
    + drops(QStringLiteral("Employees")) + drops(QStringLiteral("Orders"))
        + QStringList{QStringLiteral("CREATE TRIGGER dOrders ON Orders FOR DELETE AS") + CRLF
                      + QStringLiteral("DELETE FROM [Order Details] FROM DELETED WHERE [Order Details].") + q
                      + QStringLiteral("OrderID") + q + QStringLiteral("=DELETED.") + q + QStringLiteral("OrderID") + q}
    + drops(QStringLiteral("Products")) + drops(QStringLiteral("Suppliers")) + drops(QStringLiteral("Shippers"));
}

}  // namespace

TEST(OtherDialects, TriggersFromTheSampleFilesOnMsSqlAndSybase)
{
    REQUIRE_FIXTURE(erp, "erp-sample.mdb");
    REQUIRE_FIXTURE(northwind, "Northwind.mdb");
    struct Case {
        QRadioButton* MDIForm_Main::*dialect;
        QString q;
    };
    for (const Case& c :
         {Case{&MDIForm_Main::Option_MSSQL, QStringLiteral("\"")}, Case{&MDIForm_Main::Option_Sybase, QString()}}) {
        for (const QString& path : {erp, northwind}) {
            Program app(Login::Recording, c.dialect);
            ASSERT_TRUE(app.load(path).isEmpty());
            app.server->statements.clear();
            EXPECT_EQ(app.relationsToTriggers(), QStringList());
            const QStringList expected = path == erp ? erpTriggers(c.q) : northwindTriggers(c.q);
            EXPECT_EQ(app.server->statements, expected) << path.toStdString();
            EXPECT_EQ(app.konv->List3->count(), 0);
            EXPECT_TRUE(app.commandsEnabled());
            EXPECT_EQ(app.konv->Label1->text(),
                      QStringLiteral("Trigger: %1 angelegt, 0 abgewiesen, 0 nicht möglich").arg(path == erp ? 3 : 2));
            EXPECT_EQ(app.main->ProgressBar1->value(), 0);
            const QString lastTable = path == erp ? QStringLiteral("Filialen") : QStringLiteral("Shippers");
            EXPECT_EQ(QGuiApplication::clipboard()->text(),
                      QStringLiteral("CREATE TRIGGER d") + lastTable + QStringLiteral(" ON ") + lastTable
                          + QStringLiteral(" FOR DELETE AS"));
        }
    }
}

TEST(OtherDialects, TriggerListingAndOnlyTheFirstWorkstation)
{
    REQUIRE_FIXTURE(erp, "erp-sample.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_MSSQL);
    ASSERT_TRUE(app.load(erp).isEmpty());
    app.konv->Text_Mod->setText(QStringLiteral("2"));
    app.server->statements.clear();
    const QStringList before = app.information();
    app.relationsToTriggers();
    app.queriesToViews();
    EXPECT_TRUE(app.server->statements.isEmpty());
    EXPECT_EQ(app.information(), before);

    app.konv->Text_Mod->setText(QStringLiteral("1"));
    app.relationsToTriggers();
    const QStringList sent = erpTriggers(QStringLiteral("\""));
    // Each table, then its statements as they stand in the triggers, CR LF first.
    EXPECT_EQ(app.information(),
              (QStringList{QStringLiteral("Kunden"), sent[2].section(QStringLiteral("BEGIN"), 1).chopped(5),
                           sent[3].mid(sent[3].indexOf(CRLF)), QStringLiteral("Auftrag"),
                           sent[6].mid(sent[6].indexOf(CRLF)), QStringLiteral("Filialen")}));
}

TEST(OtherDialects, EngineErrorWhileReadingRelationsIsShown)
{
    REQUIRE_FIXTURE(erp, "erp-sample.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_MSSQL);
    ASSERT_TRUE(app.load(erp).isEmpty());
    auto fake = std::make_unique<FakeDatabase>();
    fake->relationsError = QStringLiteral("Die Beziehungen sind nicht lesbar.");
    app.konv->SourceDatabase = std::move(fake);
    app.server->statements.clear();
    EXPECT_EQ(app.relationsToTriggers(), QStringList{QStringLiteral("Die Beziehungen sind nicht lesbar.")});
    EXPECT_TRUE(app.server->statements.isEmpty());
    EXPECT_TRUE(app.commandsEnabled());
    EXPECT_EQ(app.konv->List3->count(), 0);
}

TEST(OtherDialects, ViewsThroughTheWindowOnSybaseWithLinux)
{
    REQUIRE_FIXTURE(erp, "erp-sample.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_Sybase);
    ASSERT_TRUE(app.load(erp).isEmpty());
    app.main->Check1->setChecked(true);
    auto fake = std::make_unique<FakeDatabase>();
    fake->queries = {
        dao::QueryDef{QStringLiteral("View_BestellungAuftrag"), QStringLiteral("SELECT [AufNr] FROM Auftrag;")},
        dao::QueryDef{QStringLiteral("View_Kunden"), QStringLiteral("SELECT \"K\" AS Art, 'C:\\x' FROM Kunden")}};
    app.konv->SourceDatabase = std::move(fake);
    app.server->statements.clear();
    EXPECT_EQ(app.queriesToViews(), QStringList());
    const QString kunden = QStringLiteral("CREATE VIEW View_Kunden AS SELECT 'K' AS Art, 'C:\\x' FROM Kunden");
    const QString bestellung = QStringLiteral("CREATE VIEW View_BestellungAuftrag AS SELECT AufNr FROM Auftrag");
    // The server reads a backslash in a literal as an escape: it is doubled as in every statement.
    EXPECT_EQ(app.server->statements,
              (QStringList{QStringLiteral("DROP VIEW View_Kunden"), QString(kunden).replace("\\", "\\\\"),
                           QStringLiteral("DROP VIEW View_BestellungAuftrag"), bestellung}));
    EXPECT_EQ(app.information(),
              (QStringList{QStringLiteral("View_Kunden"), kunden, QString(), QStringLiteral("View_BestellungAuftrag"),
                           bestellung, QString()}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), bestellung);
    EXPECT_EQ(app.konv->Label1->text(),
              QStringLiteral("Sichten: 2 angelegt, davon 0 übersetzt, 0 abgewiesen, 0 keine Sicht möglich"));
    EXPECT_TRUE(app.commandsEnabled());
    EXPECT_EQ(app.main->ProgressBar1->value(), 0);
}

TEST(OtherDialects, RewritingErrorIsShownAndTheCommandsComeBack)
{
    REQUIRE_FIXTURE(erp, "erp-sample.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_Oracle);
    ASSERT_TRUE(app.load(erp).isEmpty());
    auto fake = std::make_unique<FakeDatabase>();
    fake->queries = {dao::QueryDef{QStringLiteral("View_Links"), QStringLiteral("SELECT LEFT(Name) FROM Kunden")},
                     dao::QueryDef{QStringLiteral("View_Danach"), QStringLiteral("SELECT 1 FROM Kunden")}};
    app.konv->SourceDatabase = std::move(fake);
    app.server->statements.clear();
    MessageBoxAnswerer answers;
    app.konv->Command5->click();
    ASSERT_EQ(answers.seen.size(), 1);
    EXPECT_EQ(answers.seen[0].title, QStringLiteral("SQL-Tabrix"));
    EXPECT_EQ(answers.seen[0].text,
              QStringLiteral("Die Abfrage 'View_Links' lässt sich nicht in eine Sicht "
                             "übersetzen: auf \"LEFT(\" folgt kein Komma."));
    EXPECT_TRUE(app.server->statements.isEmpty());
    EXPECT_TRUE(app.commandsEnabled());
    EXPECT_EQ(app.main->ProgressBar1->value(), 0);
}

TEST(OtherDialects, TakeoverQuestionsThatEndItChangeNothing)
{
    REQUIRE_FIXTURE(erp, "erp-sample.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_MSSQL);
    ASSERT_TRUE(app.load(erp).isEmpty());
    const QStringList marks = app.marked();
    const QStringList entries = app.entries();
    const QString first = QStringLiteral("Dieser Schalter darf nur im Zuge eine Neuanlage der Datenbank verwendet "
                                         "werden! Wollen Sie wirklich alle Tabellen der Access-Datenbank auf den "
                                         "SQL-Server tabrixen ?");
    const QString second = QStringLiteral("VORSICHT ! ALLE DATEN die sich im Moment auf dem SQL-Server befinden "
                                          "WERDEN GELÖSCHT. Wollen Sie trotzdem fortfahren ?");
    const QString third = QStringLiteral("LETZTE WARNUNG! Wollen Sie den Vorgang abbrechen ?");
    using B = QMessageBox::StandardButton;
    const QList<QList<B>> scripts = {{B::No},       {B::Yes, B::No},       {B::Yes, B::Yes, B::Yes},
                                     {B::NoButton}, {B::Yes, B::NoButton}, {B::Yes, B::Yes, B::NoButton}};
    for (const QList<B>& script : scripts) {
        app.server->statements.clear();
        MessageBoxAnswerer questions;
        questions.script = script;  // NoButton: Escape
        bool yesWasDefault = true;
        questions.onShown = [&](QMessageBox* box) {
            if (box->standardButtons() == (QMessageBox::Yes | QMessageBox::No))
                yesWasDefault = yesWasDefault && box->defaultButton() == box->button(QMessageBox::Yes);
        };
        app.konv->Command7->click();
        EXPECT_EQ(questions.texts(), (QStringList{first, second, third}.mid(0, script.size())));
        EXPECT_EQ(questions.titles(), QStringList(script.size(), QStringLiteral("Sicherheitsabfrage")));
        EXPECT_TRUE(yesWasDefault);
        EXPECT_TRUE(app.server->statements.isEmpty());
        EXPECT_EQ(app.marked(), marks);
        EXPECT_EQ(app.entries(), entries);
        EXPECT_TRUE(app.commandsEnabled());
    }
}

TEST(OtherDialects, TakeoverConvertsEveryTableThenViewsThenTriggers)
{
    REQUIRE_FIXTURE(erp, "erp-sample.mdb");
    Program app(Login::Recording, &MDIForm_Main::Option_MSSQL);
    ASSERT_TRUE(app.load(erp).isEmpty());
    // One table is unmarked, as one that exists on the server would be.
    app.konv->List2->item(0)->setSelected(false);
    app.konv->SourceDatabase = std::make_unique<DatabaseWithQueries>(
        dao::Database::OpenDatabase(erp),
        QList<dao::QueryDef>{{QStringLiteral("View_Kunden"), QStringLiteral("SELECT [KdNr] FROM [Kunden];")}});
    app.server->statements.clear();
    MessageBoxAnswerer questions;
    questions.script = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok};
    app.konv->Command7->click();
    EXPECT_EQ(questions.texts().value(3), QStringLiteral("Alle markierten Tabellen wurden konvertiert."));

    for (const QString& entry : app.entries())
        EXPECT_TRUE(entry.endsWith(QStringLiteral("[migriert]")) || entry.endsWith(QStringLiteral("[!Fehler!]")))
            << entry.toStdString();
    QStringList dropped;
    int lastTableStatement = -1, viewCreate = -1, firstTrigger = -1;
    for (int i = 0; i < app.server->statements.size(); ++i) {
        const QString& s = app.server->statements[i];
        if (s.startsWith(QStringLiteral("DROP TABLE ")))
            dropped.append(s.mid(11));
        if (s.startsWith(QStringLiteral("INSERT INTO ")) || s.startsWith(QStringLiteral("CREATE TABLE ")))
            lastTableStatement = i;
        if (s == QStringLiteral("CREATE VIEW View_Kunden AS SELECT KdNr FROM Kunden"))
            viewCreate = i;
        if (firstTrigger < 0 && s.startsWith(QStringLiteral("DROP TRIGGER")))
            firstTrigger = i;
    }
    QStringList tables;
    for (const QString& entry : app.entries())
        tables.append(TableNameFromEntry(entry));
    EXPECT_EQ(dropped, tables);
    EXPECT_LT(lastTableStatement, viewCreate);
    EXPECT_LT(viewCreate, firstTrigger);
    EXPECT_EQ(app.server->statements.mid(firstTrigger), erpTriggers(QStringLiteral("\"")));
    EXPECT_TRUE(app.konv->Label1->text().startsWith(QStringLiteral("Bereit. letzte Aktion: ")))
        << app.konv->Label1->text().toStdString();
    EXPECT_TRUE(app.commandsEnabled());
    EXPECT_EQ(app.konv->Command9BackColor(), 255);
}

TEST(OtherDialects, ConversionWindowLoadedHiddenForTheXdbViews)
{
    auto main = std::make_unique<MDIForm_Main>();
    main->Form_Load();
    main->show();
    main->Option_Oracle->click();
    auto recording = std::make_unique<RecordingConnection>();
    RecordingConnection* server = recording.get();
    main->state.ServerConnection = std::move(recording);

    Konvertierung* k = main->loadKonvertierung();
    ASSERT_NE(k, nullptr);
    EXPECT_FALSE(k->isVisible());
    EXPECT_EQ(main->loadKonvertierung(), k);
    {
        OperationScope operation(k);
        EXPECT_EQ(Create_View(*k, QStringLiteral("View_X"), QStringLiteral("SELECT LEFT(a,2) FROM t;")).outcome,
                  ViewOutcome::Created);
    }
    const QString create = QStringLiteral("CREATE VIEW View_X AS SELECT SUBSTR(a,1,2) FROM t");
    EXPECT_EQ(server->statements, (QStringList{QStringLiteral("DROP VIEW View_X"), create}));
    EXPECT_EQ(itemTexts(k->List1), (QStringList{QStringLiteral("View_X"), create, QString()}));
    EXPECT_EQ(k->Label1->text(), QStringLiteral("Bereit."));
    EXPECT_FALSE(k->isVisible());

    // "Access zu SQL" shows the same window.
    main->Command1->setEnabled(true);
    main->Command1->click();
    EXPECT_EQ(main->konvertierung(), k);
    EXPECT_TRUE(k->isVisible());
    EXPECT_EQ(k->List1->count(), 3);
}

// hostile-names.mdb on the dialects without a server here: table names stand
// as they are (as specified), column names in MS SQL's double quotes; NUL
// characters arrive as blanks, and the log says so.
TEST(OtherDialects, HostileNamesAsWritten)
{
    REQUIRE_FIXTURE(path, "hostile-names.mdb");
    const QStringList rows = {
        QStringLiteral(" VALUES (1,'       ')"),
        QStringLiteral(" VALUES (2,'''''''''''''''')"),
        QStringLiteral(" VALUES (3,'\\\\\\\\\\\\\\')"),
    };
    // The table's name by each dialect's rule: brackets, grave accents or double quotes.
    const auto kunden = [&](const QString& table, const QString& create, const QString& columns) {
        QStringList s;
        if (!create.isEmpty())
            s << QStringLiteral("DROP TABLE ") + table << create;
        for (const QString& r : rows)
            s << QStringLiteral("INSERT INTO ") + table + QLatin1Char(' ') + columns + r;
        return s;
    };
    const auto zusatz = [](const QStringList& structure, const QString& columns) {
        return structure
            + QStringList{QStringLiteral("INSERT INTO AuftragZusatz ") + columns
                              + QStringLiteral(" VALUES (101,'Zusatz zu 101')"),
                          QStringLiteral("INSERT INTO AuftragZusatz ") + columns
                              + QStringLiteral(" VALUES (102,'Zusatz zu 102')")};
    };
    struct Case {
        QRadioButton* MDIForm_Main::*dialect;
        QStringList expected;
    };
    const QList<Case> cases = {
        {&MDIForm_Main::Option_MSSQL,
         QStringList{QStringLiteral("DROP TABLE [Ku'den]"),
                     // The apostrophe inside the literal is doubled.
                     QStringLiteral("SELECT COUNT(CONSTRAINT_NAME) FROM INFORMATION_SCHEMA.CONSTRAINT_COLUMN_USAGE "
                                    "WHERE CONSTRAINT_NAME = 'primKu''den'"),
                     QStringLiteral("CREATE TABLE [Ku'den] ( \"KdNr\" INT  NOT NULL ,\"Firma\" VARCHAR(40)  NULL "
                                    ",CONSTRAINT \"primKu'den\" PRIMARY KEY(\"KdNr\"))")}
             + kunden(QStringLiteral("[Ku'den]"), {}, QStringLiteral("(\"KdNr\",\"Firma\")"))
             + zusatz({QStringLiteral("DROP TABLE AuftragZusatz"),
                       QStringLiteral("SELECT COUNT(CONSTRAINT_NAME) FROM INFORMATION_SCHEMA.CONSTRAINT_COLUMN_USAGE "
                                      "WHERE CONSTRAINT_NAME = 'primAuftragZusatz'"),
                       QStringLiteral("CREATE TABLE AuftragZusatz ( \"AufNr\" INT  NOT NULL ,\"In;o\" VARCHAR(50)  "
                                      "NULL ,CONSTRAINT \"primAuftragZusatz\" PRIMARY KEY(\"AufNr\"))"),
                       QStringLiteral("CREATE INDEX \"AufNrUnique\" ON AuftragZusatz(\"AufNr\")"),
                       QStringLiteral("CREATE INDEX \"AuftragAuftragZusatz\" ON AuftragZusatz(\"AufNr\")")},
                      QStringLiteral("(\"AufNr\",\"In;o\")"))},
        {&MDIForm_Main::Option_Sybase,
         kunden(QStringLiteral("[Ku'den]"),
                QStringLiteral("CREATE TABLE [Ku'den] ( KdNr INT  NOT NULL ,Firma VARCHAR(40)  NULL ,CONSTRAINT "
                               "[primKu'den] PRIMARY KEY(KdNr))"),
                QStringLiteral("(KdNr,Firma)"))
             + zusatz({QStringLiteral("DROP TABLE AuftragZusatz"),
                       QStringLiteral("CREATE TABLE AuftragZusatz ( AufNr INT  NOT NULL ,[In;o] VARCHAR(50)  NULL "
                                      ",CONSTRAINT primAuftragZusatz PRIMARY KEY(AufNr))"),
                       QStringLiteral("CREATE INDEX AufNrUnique ON AuftragZusatz(AufNr)"),
                       QStringLiteral("CREATE INDEX AuftragAuftragZusatz ON AuftragZusatz(AufNr)")},
                      QStringLiteral("(AufNr,[In;o])"))},
        {&MDIForm_Main::Option_Oracle,
         kunden(QStringLiteral("\"Ku'den\""),
                QStringLiteral("CREATE TABLE \"Ku'den\" ( KdNr INT  NOT NULL ,Firma VARCHAR(40)  NULL ,CONSTRAINT "
                               "\"primKu'den\" PRIMARY KEY(KdNr))"),
                QStringLiteral("(KdNr,Firma)"))
             + zusatz({QStringLiteral("DROP TABLE AuftragZusatz"),
                       QStringLiteral("CREATE TABLE AuftragZusatz ( AufNr INT  NOT NULL ,\"In;o\" VARCHAR(50)  NULL "
                                      ",CONSTRAINT primAuftragZusatz PRIMARY KEY(AufNr))"),
                       QStringLiteral("CREATE INDEX \"001gZusatzAufNrUnique240305140\" ON AuftragZusatz(AufNr)"),
                       QStringLiteral("CREATE INDEX \"002ftragAuftragZusatz240305140\" ON AuftragZusatz(AufNr)")},
                      QStringLiteral("(AufNr,\"In;o\")"))},
        {&MDIForm_Main::Option_DB2,
         kunden(QStringLiteral("\"Ku'den\""),
                QStringLiteral("CREATE TABLE \"Ku'den\" ( KdNr INTEGER  NOT NULL ,Firma VARCHAR(40)   ,CONSTRAINT "
                               "\"primKu'den\" PRIMARY KEY(KdNr))"),
                QStringLiteral("(KdNr,Firma)"))
             + zusatz({QStringLiteral("DROP TABLE AuftragZusatz"),
                       QStringLiteral("CREATE TABLE AuftragZusatz ( AufNr INTEGER  NOT NULL ,\"In;o\" VARCHAR(50)   "
                                      ",CONSTRAINT primAuftragZusatz PRIMARY KEY(AufNr))"),
                       QStringLiteral("CREATE INDEX \"001AufNrUnique\" ON AuftragZusatz(AufNr)"),
                       QStringLiteral("CREATE INDEX \"002AuftragAuftragZ\" ON AuftragZusatz(AufNr)")},
                      QStringLiteral("(AufNr,\"In;o\")"))},
    };
    for (const Case& c : cases) {
        Program app(Login::Recording, c.dialect);
        ASSERT_TRUE(app.load(path).isEmpty());
        app.server->statements.clear();
        app.convert(QStringLiteral("Ku'den"));
        EXPECT_EQ(app.entryOf(QStringLiteral("Ku'den")),
                  PadName(QStringLiteral("Ku'den")) + QStringLiteral("[migriert]"));
        EXPECT_TRUE(app.main->fehlerProtokoll()->text().contains(
            QStringLiteral("Tabelle Ku'den: NUL-Zeichen in Texten wurden als Leerzeichen übertragen")));
        app.convert(QStringLiteral("AuftragZusatz"));
        EXPECT_EQ(app.entryOf(QStringLiteral("AuftragZusatz")),
                  PadName(QStringLiteral("AuftragZusatz")) + QStringLiteral("[migriert]"));
        EXPECT_EQ(app.server->statements, c.expected) << (app.main.get()->*c.dialect)->text().toStdString();
    }
}
