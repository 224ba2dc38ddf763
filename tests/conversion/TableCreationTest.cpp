#include "conversion/TableCreation.h"

#include "QtPrinters.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

namespace {

dao::Index primary(QStringList fields)
{
    dao::Index i;
    i.Name = "Haupt";
    i.Primary = true;
    i.Fields = std::move(fields);
    return i;
}

// A host converting Artikel (Nr required Long, Name Text 40) on the dialect.
struct Artikel {
    RecordingHost host;
    explicit Artikel(Dialect d, bool withKey)
    {
        host.settings.dialect = d;
        host.table = "Artikel";
        host.db.addTable("Artikel", {makeField("Nr", dao::dbLong, 4, true), makeField("Name", dao::dbText, 40)},
                         withKey ? QList<dao::Index>{primary({"Nr"})} : QList<dao::Index>{});
    }
    TableFlags run()
    {
        const auto rs = host.db.openFake(host.table);
        return RunStructurePhase(host, *rs);
    }
};

}  // namespace

TEST(OracleNames, SequenceAndTrigger)
{
    const QDateTime t(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);
    EXPECT_EQ(OracleSequenceName("Lieferanten", t), "SEQ_Lieferanten240305140709");
    EXPECT_EQ(OracleSequenceName("Auftragspositionen_Lieferschein_Archiv", t), "SEQ_rschein_Archiv240305140709");
    EXPECT_EQ(OracleTriggerStatement("Lieferanten", "SEQ_Lieferanten240305140709"),
              "CREATE TRIGGER TRG_Lieferanten BEFORE INSERT OR UPDATE ON Lieferanten FOR EACH ROW DECLARE  iCounter "
              "Lieferanten.AutoWertIdentität%TYPE;  cannot_change_counter EXCEPTION; BEGIN  IF INSERTING THEN  "
              "Select SEQ_Lieferanten240305140709.NEXTVAL INTO iCounter FROM Dual; :new.AutoWertIdentität "
              ":=iCounter; END IF; IF UPDATING THEN IF NOT (:new.AutoWertIdentität = :old.AutoWertIdentität) THEN "
              "RAISE cannot_change_counter; END IF; END IF; EXCEPTION WHEN cannot_change_counter THEN "
              "raise_application_error(-20000, 'Cannot Change Counter Value'); END;");
    EXPECT_TRUE(OracleTriggerStatement("Auftragspositionen_Lieferschein_Archiv", "S")
                    .startsWith("CREATE TRIGGER TRG_tionen_Lieferschein_Archiv BEFORE INSERT OR UPDATE ON "
                                "Auftragspositionen_Lieferschein_Archiv FOR EACH ROW DECLARE  iCounter "
                                "Auftragspositionen_Lieferschein_Archiv.AutoWertIdentität%TYPE;"));
}

TEST(RunStructurePhase, ArtikelWithKeyOnMSSQL)
{
    Artikel a(Dialect::MSSQL, true);
    a.host.server.failWhenStartsWith("DROP TABLE", "S0002:no such table");
    const TableFlags flags = a.run();
    const QString create = "CREATE TABLE Artikel ( \"Nr\" INT  NOT NULL ,\"Name\" VARCHAR(40)  NULL ,"
                           "CONSTRAINT \"primArtikel\" PRIMARY KEY(\"Nr\"))";
    EXPECT_EQ(a.host.sent(), (QStringList{"DROP TABLE Artikel", create}));
    EXPECT_EQ(a.host.server.statements.at(1),
              "SELECT COUNT(CONSTRAINT_NAME) FROM INFORMATION_SCHEMA.CONSTRAINT_COLUMN_USAGE WHERE CONSTRAINT_NAME "
              "= 'primArtikel'");
    EXPECT_EQ(a.host.list1,
              (QStringList{"CREATE TABLE Artikel ", "(", " \"Nr\" INT  NOT NULL ", ",\"Name\" VARCHAR(40)  NULL ",
                           ",CONSTRAINT \"primArtikel\" PRIMARY KEY(\"Nr\")", ")"}));
    EXPECT_EQ(a.host.statuses,
              (QStringList{"lösche evtl. vorhandene SQL-Tabelle", "Erstelle SQL - Tabellenstruktur",
                           "Erstelle SQL - Tabelle auf SQL-Server"}));
    EXPECT_EQ(a.host.clipboard, create);
    EXPECT_EQ(a.host.yields, 1);
    EXPECT_EQ(a.host.list3, QStringList{"Nr"});
    EXPECT_TRUE(a.host.errors.isEmpty());
    EXPECT_TRUE(flags.structureRan);
    EXPECT_FALSE(flags.terminkalender);
}

TEST(RunStructurePhase, TakenConstraintNameGetsUniqueSuffixOnMSSQL)
{
    Artikel a(Dialect::MSSQL, true);
    a.host.server.answerWhenStartsWith("SELECT COUNT", 1);
    a.host.server.answerWhenStartsWith("SELECT REPLACE", "00112233445566778899AABBCCDDEEFF");
    a.run();
    EXPECT_TRUE(a.host.sent().last().endsWith(
        ",CONSTRAINT \"primArtikel00112233445566778899AABBCCDDEEFF\" PRIMARY KEY(\"Nr\"))"));
}

// Check_Autowert without a key: an identity column, the table listed in the
// identity-table window, and on Sybase and MySQL the column as the key (Oracle:
// OracleSequenceTableAndTrigger).
TEST(RunStructurePhase, IdentityColumnWhenNoKey)
{
    struct Case {
        Dialect dialect;
        bool withKey;
        bool autowert;
        QString create;
        QStringList keys;  // the key list afterwards
        bool listed;       // in the identity-table window
    };
    const QList<Case> cases = {
        {Dialect::MySQL,
         false,
         true,
         "CREATE TABLE Artikel (AutoWertIdentität INT NOT NULL auto_increment PRIMARY KEY,"
         "`Nr` INT  NOT NULL ,`Name` VARCHAR(40)  NULL ) ENGINE=BDB",
         {"AutoWertIdentität"},
         true},
        {Dialect::Sybase,
         false,
         true,
         "CREATE TABLE Artikel (AutoWertIdentität numeric IDENTITY PRIMARY KEY,Nr INT  NOT NULL "
         ",Name VARCHAR(40)  NULL )",
         {"AutoWertIdentität"},
         true},
        {Dialect::MSSQL,
         false,
         true,
         "CREATE TABLE Artikel (AutoWertIdentität int IDENTITY (1,1) PRIMARY KEY,\"Nr\" INT  NOT "
         "NULL ,\"Name\" VARCHAR(40)  NULL )",
         {},
         true},
        {Dialect::DB2,
         false,
         true,
         "CREATE TABLE Artikel (AutoWertIdentität INTEGER NOT NULL GENERATED ALWAYS AS IDENTITY "
         "(START WITH 0, INCREMENT BY 1, NO CACHE ) PRIMARY KEY,Nr INTEGER  NOT NULL ,Name "
         "VARCHAR(40)   )",
         {},
         true},
        // A key found: no identity column, the table is not listed.
        {Dialect::MySQL,
         true,
         true,
         "CREATE TABLE Artikel ( `Nr` INT  NOT NULL ,`Name` VARCHAR(40)  NULL ,CONSTRAINT "
         "primArtikel PRIMARY KEY(`Nr`)) ENGINE=BDB",
         {"Nr"},
         false},
        // Neither key nor Check_Autowert: plain table.
        {Dialect::Sybase, false, false, "CREATE TABLE Artikel ( Nr INT  NOT NULL ,Name VARCHAR(40)  NULL )", {}, false},
        {Dialect::MSSQL,
         false,
         false,
         "CREATE TABLE Artikel ( \"Nr\" INT  NOT NULL ,\"Name\" VARCHAR(40)  NULL )",
         {},
         false},
    };
    for (const Case& c : cases) {
        Artikel a(c.dialect, c.withKey);
        a.host.autowert = c.autowert;
        a.run();
        EXPECT_EQ(a.host.sent().last(), c.create);
        // The listing is the statement, its last line the closing parenthesis (or MySQL's engine).
        EXPECT_EQ(a.host.list1.join(QString()), c.create);
        EXPECT_EQ(a.host.list1.last(),
                  c.create.endsWith(QLatin1String("BDB")) ? QStringLiteral(" ENGINE=BDB") : QStringLiteral(")"));
        EXPECT_EQ(a.host.list3, c.keys) << c.create.toStdString();
        EXPECT_EQ(a.host.identityTables, c.listed ? QStringList{"Artikel"} : QStringList{});
    }
}

TEST(RunStructurePhase, OracleSequenceTableAndTrigger)
{
    RecordingHost host;
    host.settings.dialect = Dialect::Oracle;
    host.table = "Lieferanten";
    host.autowert = true;
    host.clock = {QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC),
                  QDateTime(QDate(2024, 3, 5), QTime(14, 7, 10), Qt::UTC)};
    host.db.addTable("Lieferanten", {makeField("Nr", dao::dbLong, 4, true), makeField("Check", dao::dbText, 3)});
    host.server.failWhenStartsWith("DROP SEQUENCE", "S1000:ORA-02289: sequence does not exist");
    const auto rs = host.db.openFake("Lieferanten");
    RunStructurePhase(host, *rs);
    EXPECT_EQ(host.sent(),
              (QStringList{
                  "DROP TABLE Lieferanten",
                  "DROP SEQUENCE SEQ_Lieferanten240305140709",
                  "CREATE SEQUENCE SEQ_Lieferanten240305140710 INCREMENT BY 1 START WITH 1",
                  "CREATE TABLE Lieferanten (AutoWertIdentität NUMBER(10,0) PRIMARY KEY,Nr INT  NOT "
                  "NULL ,\"CHECK\" VARCHAR(3)  NULL )",
                  OracleTriggerStatement("Lieferanten", "SEQ_Lieferanten240305140710"),
              }));
    EXPECT_EQ(
        host.list1.mid(host.list1.size() - 3),
        (QStringList{"CREATE TRIGGER TRG_Lieferanten", "BEFORE INSERT OR UPDATE ON Lieferanten", "FOR EACH ROW"}));
    EXPECT_TRUE(host.errors.isEmpty());
}

TEST(RunStructurePhase, ToleratedOracleErrorGoesOnWithNextStatement)
{
    RecordingHost host;
    host.settings.dialect = Dialect::Oracle;
    host.table = "Lieferanten";
    host.autowert = true;
    host.db.addTable("Lieferanten", {makeField("Nr", dao::dbLong, 4, true)});
    host.server.failWhenStartsWith("CREATE SEQUENCE", "42S11:[Oracle][ODBC]ORA-00955: name is already used");
    const auto rs = host.db.openFake("Lieferanten");
    EXPECT_NO_THROW(RunStructurePhase(host, *rs));
    EXPECT_EQ(host.sent().size(), 5);
    EXPECT_TRUE(host.sent().last().startsWith("CREATE TRIGGER"));
    EXPECT_TRUE(host.errors.isEmpty());
    EXPECT_FALSE(host.tableFailed);
}

TEST(RunStructurePhase, FailedCreateEndsConversionAndKeepsLines)
{
    RecordingHost host;
    host.settings.dialect = Dialect::Oracle;
    host.table = "Bilder";
    host.autowert = true;
    // An attachment column of newer Access files is left out of the table.
    host.db.addTable("Bilder", {makeField("Nr", dao::dbLong), makeField("Bild", 18)});
    host.server.failWhenStartsWith("CREATE TABLE", "37000:ORA-00902: invalid datatype");
    const auto rs = host.db.openFake("Bilder");
    EXPECT_THROW(RunStructurePhase(host, *rs), ConversionEnded);
    const QString create = "CREATE TABLE Bilder (AutoWertIdentität NUMBER(10,0) PRIMARY KEY,Nr INT  NULL )";
    EXPECT_EQ(host.list1.join(QString()), create);
    EXPECT_EQ(host.clipboard, create);
    EXPECT_EQ(host.errors, QStringList{"37000:ORA-00902: invalid datatype"});
    EXPECT_EQ(host.notes, QStringList{"Tabelle Bilder, Feld Bild: Anlagen (Access-Typ 18) werden nicht übertragen."});
    // The sequence stays; no trigger follows.
    EXPECT_TRUE(host.sent().at(2).startsWith("CREATE SEQUENCE"));
    EXPECT_EQ(host.sent().last(), create);
}

TEST(RunStructurePhase, SpecialTablesAndNames)
{
    RecordingHost host;
    host.settings.dialect = Dialect::DB2;
    host.table = "F5SB90R";
    host.db.addTable("F5SB90R",
                     {makeField("Wert", dao::dbLong, 4, true), makeField("Text", dao::dbText, 10),
                      makeField("Auftragsbestätigung_FRANZÖSISCH", dao::dbMemo)},
                     {primary({"Fehlt", "Text"})});
    auto rs = host.db.openFake("F5SB90R");
    RunStructurePhase(host, *rs);
    // First key entry is no field: no clause, but the key fields are NOT NULL.
    EXPECT_EQ(host.sent().last(),
              "CREATE TABLE F5SB90R ( \"Wert\" INTEGER  NOT NULL ,\"Text\" VARCHAR(10)  NOT NULL "
              ",\"AuftragsbestätigungFranzösisch\" CLOB(4194304)   )");
    EXPECT_EQ(host.list1.at(4), ",\"Auftragsbestätigung_FRANZÖSISCH\" CLOB(4194304)   ");

    RecordingHost t;
    t.table = "Terminkalender";
    t.db.addTable("Terminkalender",
                  {makeField("Datum", dao::dbDate), makeField("Betreff", dao::dbText, 5),
                   makeField("ZEIT1", dao::dbDate), makeField("Zeit", dao::dbDate)});
    rs = t.db.openFake("Terminkalender");
    TableFlags flags = RunStructurePhase(t, *rs);
    EXPECT_TRUE(flags.terminkalender);
    EXPECT_EQ(flags.zeitPosition, 3);
    EXPECT_EQ(flags.zeit1Position, 2);

    RecordingHost f;
    f.table = "Formularprotokoll";
    f.db.addTable("Formularprotokoll", {makeField("Datum", dao::dbDate), makeField("Uhrzeit", dao::dbDate)});
    rs = f.db.openFake("Formularprotokoll");
    flags = RunStructurePhase(f, *rs);
    EXPECT_TRUE(flags.formularprotokoll);
    EXPECT_EQ(flags.uhrzeitPosition, 1);
    EXPECT_EQ(flags.zeitPosition, 0);

    RecordingHost lower;
    lower.table = "terminkalender";
    lower.db.addTable("terminkalender", {makeField("Zeit", dao::dbDate)});
    rs = lower.db.openFake("terminkalender");
    EXPECT_FALSE(RunStructurePhase(lower, *rs).terminkalender);
}
