// The conversion window with the dialects that have no server here: a
// recording connection takes the statements, which are checked letter by letter.

#include "MessageBoxAnswerer.h"
#include "ProgramDriver.h"
#include "RecordingConnection.h"
#include "QtPrinters.h"
#include "TestSupport.h"
#include "conversion/TableList.h"
#include "windows/FehlerProtokoll.h"
#include "windows/Form_Auto.h"
#include "windows/WindowOrder.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <gtest/gtest.h>

namespace {

struct Recorded {
    std::unique_ptr<MDIForm_Main> main;
    Konvertierung* konv = nullptr;
    RecordingConnection* server = nullptr;

    // Logged in on a recording connection; every table is missing on the "server".
    Recorded(QRadioButton* (MDIForm_Main::*dialect), const QString& path)
    {
        main = std::make_unique<MDIForm_Main>();
        main->Form_Load();
        main->show();
        (main.get()->*dialect)->click();
        auto serverConnection = std::make_unique<RecordingConnection>();
        server = serverConnection.get();
        main->state.ServerConnection = std::move(serverConnection);
        auto counts = std::make_unique<RecordingConnection>();
        counts->failWhenStartsWith(QStringLiteral("SELECT COUNT(*)"), QStringLiteral("S0002:no such table"));
        main->state.QueryConnection = std::move(counts);
        main->Command1->setEnabled(true);
        main->Command1->click();
        konv = main->konvertierung();
        konv->clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); };
        MessageBoxAnswerer answers;
        konv->QELPfad->setText(path);
        konv->Command4->click();
        EXPECT_TRUE(answers.seen.isEmpty());
    }

    // Converts exactly this table with the batch, as a user would.
    void convert(const QString& table)
    {
        MessageBoxAnswerer answers;
        for (int i = 0; i < konv->List2->count(); ++i)
            konv->List2->item(i)->setSelected(TableNameFromEntry(konv->List2->item(i)->text()) == table);
        konv->Command2->click();
        for (int i = 0; i < konv->List2->count(); ++i)
            if (TableNameFromEntry(konv->List2->item(i)->text()) == table)
                EXPECT_EQ(konv->List2->item(i)->text(), PadName(table) + QStringLiteral("[migriert]"));
    }
};

}  // namespace

TEST(OtherDialects, OracleIdentityColumnWithSequenceAndTrigger)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Recorded app(&MDIForm_Main::Option_Oracle, path);
    app.konv->Check_Autowert->setChecked(true);
    app.server->statements.clear();
    app.convert(QStringLiteral("Artikel"));

    const QStringList expected = {
        QStringLiteral("DROP TABLE Artikel"),
        QStringLiteral("DROP SEQUENCE SEQ_Artikel240305140709"),
        QStringLiteral("CREATE SEQUENCE SEQ_Artikel240305140709 INCREMENT BY 1 START WITH 1"),
        QStringLiteral("CREATE TABLE Artikel (AutoWertIdentität NUMBER(10,0) PRIMARY KEY,Nr INT  NOT NULL ,Name "
                       "VARCHAR(40)  NULL )"),
        QStringLiteral(
            "CREATE TRIGGER TRG_Artikel BEFORE INSERT OR UPDATE ON Artikel FOR EACH ROW DECLARE  iCounter "
            "Artikel.AutoWertIdentität%TYPE;  cannot_change_counter EXCEPTION; BEGIN  IF INSERTING THEN  Select "
            "SEQ_Artikel240305140709.NEXTVAL INTO iCounter FROM Dual; :new.AutoWertIdentität :=iCounter; END IF; IF "
            "UPDATING THEN IF NOT (:new.AutoWertIdentität = :old.AutoWertIdentität) THEN RAISE cannot_change_counter; "
            "END IF; END IF; EXCEPTION WHEN cannot_change_counter THEN raise_application_error(-20000, 'Cannot Change "
            "Counter Value'); END;"),
        QStringLiteral("INSERT INTO Artikel (Nr,Name) VALUES (1,'Artikel 1')"),
        QStringLiteral("INSERT INTO Artikel (Nr,Name) VALUES (2,'Artikel 2')"),
        QStringLiteral("INSERT INTO Artikel (Nr,Name) VALUES (3,'Artikel 3')"),
        QStringLiteral("INSERT INTO Artikel (Nr,Name) VALUES (4,'Artikel 4')"),
        QStringLiteral("INSERT INTO Artikel (Nr,Name) VALUES (5,'Artikel 5')"),
    };
    EXPECT_EQ(app.server->statements, expected);
    // The information list ends with the trigger's three display lines.
    const int n = app.konv->List1->count();
    ASSERT_GE(n, 3);
    EXPECT_EQ(app.konv->List1->item(n - 3)->text(), QStringLiteral("CREATE TRIGGER TRG_Artikel"));
    EXPECT_EQ(app.konv->List1->item(n - 2)->text(), QStringLiteral("BEFORE INSERT OR UPDATE ON Artikel"));
    EXPECT_EQ(app.konv->List1->item(n - 1)->text(), QStringLiteral("FOR EACH ROW"));
}

TEST(OtherDialects, MsSqlKeyFromTheUniqueIndexAndBothIndexes)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Recorded app(&MDIForm_Main::Option_MSSQL, path);
    app.server->statements.clear();
    app.convert(QStringLiteral("Adressen"));

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
    Recorded app(&MDIForm_Main::Option_Oracle, path);
    app.server->failWhenStartsWith(QStringLiteral("CREATE INDEX"),
                                   QStringLiteral("S1000:[Oracle]ORA-00955: 42S11 index exists"));
    app.convert(QStringLiteral("Adressen"));
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
    Recorded app(&MDIForm_Main::Option_MSSQL, path);
    {
        // A data source without "QEL": only an activation by the user clears the option.
        const QSignalBlocker quiet(app.main->ODBC_Name);
        app.main->ODBC_Name->setText(QStringLiteral("TEVRA"));
    }
    app.konv->Check_Autowert->setChecked(true);
    bringToFront(app.main->fehlerProtokoll());
    app.convert(QStringLiteral("Artikel"));
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
    Recorded app(&MDIForm_Main::Option_DB2, path);
    auto* counts = static_cast<RecordingConnection*>(app.main->state.QueryConnection.get());
    QStringList expected;
    for (int i = app.konv->List2->count() - 1; i >= 0; --i)
        expected.append(QStringLiteral("SELECT COUNT(*) FROM ") + app.konv->List2->item(i)->text());
    EXPECT_EQ(counts->statements, expected);
    EXPECT_EQ(expected.last(), QStringLiteral("SELECT COUNT(*) FROM Categories"));
    // Every table is missing on this "server": all marked, the status counts nothing.
    for (int i = 0; i < app.konv->List2->count(); ++i)
        EXPECT_TRUE(app.konv->List2->item(i)->isSelected());
    EXPECT_EQ(app.konv->Label1->text(), QStringLiteral("Bereit.   [0 Sätze in 0 Tabellen auf dem SQL-Server]"));
}

TEST(OtherDialects, BatchWithoutMarksStillReports)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Recorded app(&MDIForm_Main::Option_Sybase, path);
    for (int i = 0; i < app.konv->List2->count(); ++i)
        app.konv->List2->item(i)->setSelected(false);
    app.server->statements.clear();
    app.main->formAuto()->listAuto()->addItem(QStringLiteral("von vorher"));
    {
        MessageBoxAnswerer answers;
        app.konv->Command2->click();
        EXPECT_EQ(answers.texts(), QStringList{QStringLiteral("Alle markierten Tabellen wurden konvertiert.")});
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
    const auto kunden = [&](const QString& create, const QString& columns) {
        QStringList s;
        if (!create.isEmpty())
            s << QStringLiteral("DROP TABLE Ku'den") << create;
        for (const QString& r : rows)
            s << QStringLiteral("INSERT INTO Ku'den ") + columns + r;
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
         QStringList{QStringLiteral("DROP TABLE Ku'den"),
                     // The apostrophe inside the literal is doubled.
                     QStringLiteral("SELECT COUNT(CONSTRAINT_NAME) FROM INFORMATION_SCHEMA.CONSTRAINT_COLUMN_USAGE "
                                    "WHERE CONSTRAINT_NAME = 'primKu''den'"),
                     QStringLiteral("CREATE TABLE Ku'den ( \"KdNr\" INT  NOT NULL ,\"Firma\" VARCHAR(40)  NULL "
                                    ",CONSTRAINT \"primKu'den\" PRIMARY KEY(\"KdNr\"))")}
             + kunden({}, QStringLiteral("(\"KdNr\",\"Firma\")"))
             + zusatz({QStringLiteral("DROP TABLE AuftragZusatz"),
                       QStringLiteral("SELECT COUNT(CONSTRAINT_NAME) FROM INFORMATION_SCHEMA.CONSTRAINT_COLUMN_USAGE "
                                      "WHERE CONSTRAINT_NAME = 'primAuftragZusatz'"),
                       QStringLiteral("CREATE TABLE AuftragZusatz ( \"AufNr\" INT  NOT NULL ,\"In;o\" VARCHAR(50)  "
                                      "NULL ,CONSTRAINT \"primAuftragZusatz\" PRIMARY KEY(\"AufNr\"))"),
                       QStringLiteral("CREATE INDEX \"AufNrUnique\" ON AuftragZusatz(\"AufNr\")"),
                       QStringLiteral("CREATE INDEX \"AuftragAuftragZusatz\" ON AuftragZusatz(\"AufNr\")")},
                      QStringLiteral("(\"AufNr\",\"In;o\")"))},
        {&MDIForm_Main::Option_Sybase,
         kunden(QStringLiteral("CREATE TABLE Ku'den ( KdNr INT  NOT NULL ,Firma VARCHAR(40)  NULL ,CONSTRAINT "
                               "primKu'den PRIMARY KEY(KdNr))"),
                QStringLiteral("(KdNr,Firma)"))
             + zusatz({QStringLiteral("DROP TABLE AuftragZusatz"),
                       QStringLiteral("CREATE TABLE AuftragZusatz ( AufNr INT  NOT NULL ,In;o VARCHAR(50)  NULL "
                                      ",CONSTRAINT primAuftragZusatz PRIMARY KEY(AufNr))"),
                       QStringLiteral("CREATE INDEX AufNrUnique ON AuftragZusatz(AufNr)"),
                       QStringLiteral("CREATE INDEX AuftragAuftragZusatz ON AuftragZusatz(AufNr)")},
                      QStringLiteral("(AufNr,In;o)"))},
        {&MDIForm_Main::Option_Oracle,
         kunden(QStringLiteral("CREATE TABLE Ku'den ( KdNr INT  NOT NULL ,Firma VARCHAR(40)  NULL ,CONSTRAINT "
                               "primKu'den PRIMARY KEY(KdNr))"),
                QStringLiteral("(KdNr,Firma)"))
             + zusatz({QStringLiteral("DROP TABLE AuftragZusatz"),
                       QStringLiteral("CREATE TABLE AuftragZusatz ( AufNr INT  NOT NULL ,In;o VARCHAR(50)  NULL "
                                      ",CONSTRAINT primAuftragZusatz PRIMARY KEY(AufNr))"),
                       QStringLiteral("CREATE INDEX \"001gZusatzAufNrUnique240305140\" ON AuftragZusatz(AufNr)"),
                       QStringLiteral("CREATE INDEX \"002ftragAuftragZusatz240305140\" ON AuftragZusatz(AufNr)")},
                      QStringLiteral("(AufNr,In;o)"))},
        {&MDIForm_Main::Option_DB2,
         kunden(QStringLiteral("CREATE TABLE Ku'den ( KdNr INTEGER  NOT NULL ,Firma VARCHAR(40)   ,CONSTRAINT "
                               "primKu'den PRIMARY KEY(KdNr))"),
                QStringLiteral("(KdNr,Firma)"))
             + zusatz({QStringLiteral("DROP TABLE AuftragZusatz"),
                       QStringLiteral("CREATE TABLE AuftragZusatz ( AufNr INTEGER  NOT NULL ,In;o VARCHAR(50)   "
                                      ",CONSTRAINT primAuftragZusatz PRIMARY KEY(AufNr))"),
                       QStringLiteral("CREATE INDEX \"001AufNrUnique\" ON AuftragZusatz(AufNr)"),
                       QStringLiteral("CREATE INDEX \"002AuftragAuftragZ\" ON AuftragZusatz(AufNr)")},
                      QStringLiteral("(AufNr,In;o)"))},
    };
    for (const Case& c : cases) {
        Recorded app(c.dialect, path);
        app.server->statements.clear();
        app.convert(QStringLiteral("Ku'den"));
        EXPECT_TRUE(app.main->fehlerProtokoll()->text().contains(
            QStringLiteral("Tabelle Ku'den: NUL-Zeichen in Texten wurden als Leerzeichen übertragen")));
        app.convert(QStringLiteral("AuftragZusatz"));
        EXPECT_EQ(app.server->statements, c.expected) << (app.main.get()->*c.dialect)->text().toStdString();
    }
}
