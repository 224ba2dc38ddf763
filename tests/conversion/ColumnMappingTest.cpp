#include "conversion/ColumnMapping.h"

#include "FakeDatabase.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

ConversionOptions on(Dialect d)
{
    ConversionOptions o;
    o.dialect = d;
    return o;
}

const Dialect allDialects[] = {Dialect::MSSQL, Dialect::MySQL, Dialect::Oracle, Dialect::Sybase, Dialect::DB2};

QString line(const dao::Field& f, const ConversionOptions& o, const QStringList& keys = {},
             const QString& table = QStringLiteral("Artikel"), const QString& sep = QStringLiteral(" "))
{
    return ColumnDefinitionLine(f, sep, keys, table, o, {}, nullptr);
}

}  // namespace

TEST(SQLDefault, StripsDoubleQuotesOnceAndQuotesTextDatesAndMemos)
{
    const auto o = on(Dialect::MSSQL);
    const dao::Field text = makeField("Ort", dao::dbText, 20, false, "\"abc\"");
    EXPECT_EQ(SQLDefault(text, true, o), "'abc'");
    EXPECT_EQ(SQLDefault(text, false, o), "abc");
    EXPECT_EQ(SQLDefault(makeField("Ort", dao::dbText, 20, false, "\"\""), true, o), "' '");
    EXPECT_EQ(SQLDefault(makeField("Ort", dao::dbText, 20, false, "\"\""), false, o), " ");
    EXPECT_EQ(SQLDefault(makeField("Ort", dao::dbText, 20, false, "\"\"x\"\""), false, o), "\"x\"");
    // Apostrophes inside are not doubled.
    EXPECT_EQ(SQLDefault(makeField("N", dao::dbText, 20, false, "\"O'Neil\""), true, o), "'O''Neil'");
    EXPECT_EQ(SQLDefault(makeField("M", dao::dbMemo, 0, false, "x"), true, o), "'x'");
    // Function defaults: see FunctionDefaultsAreTranslatedOrLeftOut.
    // Numbers and expressions pass through.
    EXPECT_EQ(SQLDefault(makeField("L", dao::dbLong, 0, false, "0"), true, o), "0");
    EXPECT_EQ(SQLDefault(makeField("L", dao::dbLong, 0, false, "\"5\""), true, o), "5");
}

TEST(SQLDefault, BooleanIsOneForEveryWayAccessWritesTrue)
{
    for (Dialect d : allDialects) {
        const auto o = on(d);
        for (const char* t : {"Yes", "yes", "True", "TRUE", "true", "-1", "On", "ON", "on", "\"True\""}) {
            EXPECT_EQ(SQLDefault(makeField("B", dao::dbBoolean, 0, false, t), true, o), "1") << t;
            EXPECT_EQ(SQLDefault(makeField("B", dao::dbBoolean, 0, false, t), false, o), "1") << t;
        }
        for (const char* f : {"No", "False", "Off", "0", "Ja", "=No"})
            EXPECT_EQ(SQLDefault(makeField("B", dao::dbBoolean, 0, false, f), true, o), "0") << f;
        EXPECT_EQ(SQLDefault(makeField("B", dao::dbBoolean), true, o), "0");
    }
}

TEST(SQLDefault, CheckBoxesFillMissingDefaults)
{
    auto o = on(Dialect::MSSQL);
    o.default0 = true;
    for (int t : {dao::dbByte, dao::dbInteger, dao::dbLong, dao::dbSingle, dao::dbDouble})
        EXPECT_EQ(SQLDefault(makeField("N", t), true, o), "0") << t;
    EXPECT_EQ(SQLDefault(makeField("C", dao::dbCurrency), true, o), "");
    EXPECT_EQ(SQLDefault(makeField("T", dao::dbText, 5), true, o), "");

    o.default0 = false;
    o.defaultBlank = true;
    EXPECT_EQ(SQLDefault(makeField("T", dao::dbText, 5), true, o), "' '");
    EXPECT_EQ(SQLDefault(makeField("T", dao::dbText, 5), false, o), " ");
    EXPECT_EQ(SQLDefault(makeField("M", dao::dbMemo), true, o), "");
    EXPECT_EQ(SQLDefault(makeField("D", dao::dbDate), true, o), "' '");
    o.dialect = Dialect::Oracle;
    EXPECT_EQ(SQLDefault(makeField("D", dao::dbDate), true, o), "");
    o.dialect = Dialect::DB2;
    EXPECT_EQ(SQLDefault(makeField("D", dao::dbDate), true, o), "");
    EXPECT_EQ(SQLDefault(makeField("D", dao::dbDate, 0, false, "#1.1.2000#"), false, o), "");
}

TEST(ServerTypeText, TablePerDialect)
{
    struct Row {
        int type;
        const char* mssql;
        const char* sybase;
        const char* mysql;
        const char* oracle;
        const char* db2;
    };
    const Row rows[] = {
        {dao::dbBoolean, "BIT", "BIT", "BIT", "FLOAT", "SMALLINT"},
        {dao::dbByte, "SMALLINT", "SMALLINT", "SMALLINT", "DECIMAL", "SMALLINT"},
        {dao::dbInteger, "SMALLINT", "SMALLINT", "SMALLINT", "DECIMAL", "SMALLINT"},
        {dao::dbLong, "INT", "INT", "INT", "INT", "INTEGER"},
        {dao::dbCurrency, "MONEY", "MONEY", "DECIMAL(19,4)", "NUMBER(19,4)", "DECIMAL(19,4)"},
        {dao::dbSingle, "REAL", "REAL", "REAL", "REAL", "REAL"},
        {dao::dbDouble, "FLOAT", "FLOAT", "DOUBLE", "FLOAT", "DOUBLE"},
        {dao::dbDate, "DATETIME", "DATETIME", "DATETIME", "TIMESTAMP", "TIMESTAMP"},
        {dao::dbText, "VARCHAR(50)", "VARCHAR(50)", "VARCHAR(50)", "VARCHAR(50)", "VARCHAR(50)"},
        {dao::dbLongBinary, "IMAGE", "IMAGE", "LONGBLOB", "BLOB", "BLOB(2G)"},
        {dao::dbMemo, "TEXT", "TEXT", "LONGTEXT", "CLOB", "CLOB(4194304)"},
        {dao::dbGUID, "VARBINARY", "VARBINARY", "CHAR(38)", "CHAR(38)", "CHAR(38)"},
        {dao::dbBinary, "", "", "VARBINARY(50)", "RAW(50)", "BLOB(50)"},
        {dao::dbDecimal, "", "", "DECIMAL(10,2)", "NUMBER(10,2)", "DECIMAL(10,2)"},
        {0, "", "", "", "", ""},
        {18, "", "", "", "", ""},
    };
    for (const Row& r : rows) {
        dao::Field f = makeField("F", r.type, 50);
        f.Precision = 10;
        f.Scale = 2;
        EXPECT_EQ(ServerTypeText(f, on(Dialect::MSSQL)), r.mssql) << r.type;
        EXPECT_EQ(ServerTypeText(f, on(Dialect::Sybase)), r.sybase) << r.type;
        EXPECT_EQ(ServerTypeText(f, on(Dialect::MySQL)), r.mysql) << r.type;
        EXPECT_EQ(ServerTypeText(f, on(Dialect::Oracle)), r.oracle) << r.type;
        EXPECT_EQ(ServerTypeText(f, on(Dialect::DB2)), r.db2) << r.type;
    }
}

TEST(ServerTypeText, SizesPrecisionAndScaleComeFromTheField)
{
    EXPECT_EQ(ServerTypeText(makeField("Roh", dao::dbBinary, 8), on(Dialect::MySQL)), "VARBINARY(8)");
    EXPECT_EQ(ServerTypeText(makeField("Roh", dao::dbBinary, 255), on(Dialect::Oracle)), "RAW(255)");
    EXPECT_EQ(ServerTypeText(makeField("Name", dao::dbText, 1), on(Dialect::DB2)), "VARCHAR(1)");

    dao::Field d = makeField("Dezimal", dao::dbDecimal, 16);
    d.Precision = 28;
    d.Scale = 28;
    EXPECT_EQ(ServerTypeText(d, on(Dialect::MySQL)), "DECIMAL(28,28)");
    d.Precision = 18;
    d.Scale = 0;
    EXPECT_EQ(ServerTypeText(d, on(Dialect::Oracle)), "NUMBER(18,0)");
    // A precision outside Access's 1 to 28 cannot be trusted: the widest, with the scale kept within it.
    d.Precision = 0;
    d.Scale = 4;
    EXPECT_EQ(ServerTypeText(d, on(Dialect::DB2)), "DECIMAL(28,4)");
    d.Precision = 40;
    d.Scale = 35;
    EXPECT_EQ(ServerTypeText(d, on(Dialect::MySQL)), "DECIMAL(28,28)");
    d.Precision = 5;
    d.Scale = -1;
    EXPECT_EQ(ServerTypeText(d, on(Dialect::MySQL)), "DECIMAL(5,0)");
    // A calculated Decimal's values each have a scale of their own.
    d.Scale = dao::kScaleOfEachValue;
    EXPECT_EQ(ServerTypeText(d, on(Dialect::MySQL)), "DECIMAL(56,28)");
    EXPECT_EQ(ServerTypeText(d, on(Dialect::Oracle)), "NUMBER");
}

TEST(ServerTypeText, ModuleDataSourceAndLinuxSwitch)
{
    auto o = on(Dialect::Oracle);
    o.moduleDataSource = true;
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbByte), o), "FLOAT");
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbInteger), o), "FLOAT");
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbLong), o), "FLOAT");
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbMemo), o), "CLOB");
    o.dialect = Dialect::DB2;
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbMemo), o), "VARCHAR(2000)");
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbLong), o), "INTEGER");
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbCurrency), o), "DECIMAL(19,4)");
    o.dialect = Dialect::MSSQL;
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbLong), o), "INT");
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbMemo), o), "TEXT");
    o.dialect = Dialect::MySQL;
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbByte), o), "SMALLINT");
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbMemo), o), "LONGTEXT");

    auto s = on(Dialect::Sybase);
    s.linuxSwitch = true;
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbDouble), s), "DECIMAL");
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbCurrency), s), "MONEY");
    auto m = on(Dialect::MySQL);
    m.linuxSwitch = true;
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbDouble), m), "DOUBLE");
}

TEST(WrittenColumnName, QuotingPerDialect)
{
    EXPECT_EQ(WrittenColumnName("Nr", "Artikel", Dialect::MSSQL), "\"Nr\"");
    EXPECT_EQ(WrittenColumnName("Nr", "Artikel", Dialect::MySQL), "`Nr`");
    EXPECT_EQ(WrittenColumnName("Nr", "Artikel", Dialect::Sybase), "Nr");
    EXPECT_EQ(WrittenColumnName("Nr", "Artikel", Dialect::Oracle), "Nr");
    EXPECT_EQ(WrittenColumnName("Nr", "Artikel", Dialect::DB2), "Nr");
    EXPECT_EQ(WrittenColumnName("Check", "Artikel", Dialect::Oracle), "\"CHECK\"");
    EXPECT_EQ(WrittenColumnName("Check", "Artikel", Dialect::DB2), "\"CHECK\"");
    EXPECT_EQ(WrittenColumnName("Check", "Artikel", Dialect::Sybase), "[Check]");
    EXPECT_EQ(WrittenColumnName("Wert", "F5SB90R", Dialect::DB2), "\"Wert\"");
    EXPECT_EQ(WrittenColumnName("Wert", "f5sb90r", Dialect::DB2), "Wert");
    EXPECT_EQ(WrittenColumnName("Wert", "F5SB90R", Dialect::Oracle), "Wert");
    EXPECT_EQ(ShortenColumnNames(",`AUFTRAGSBESTÄTIGUNG_französisch` TEXT"), ",`AuftragsbestätigungFranzösisch` TEXT");
}

TEST(ColumnDefinitionLine, BlanksStayAroundEmptyParts)
{
    const dao::Field nr = makeField("Nr", dao::dbLong, 0, true);
    EXPECT_EQ(line(nr, on(Dialect::MSSQL)), " \"Nr\" INT  NOT NULL ");
    const dao::Field name = makeField("Name", dao::dbText, 40);
    EXPECT_EQ(line(name, on(Dialect::MSSQL), {}, "Artikel", ","), ",\"Name\" VARCHAR(40)  NULL ");
    EXPECT_EQ(line(name, on(Dialect::DB2), {}, "Artikel", ","), ",Name VARCHAR(40)   ");
    EXPECT_EQ(line(makeField("Bild", dao::dbBinary), on(Dialect::Sybase)), " Bild   NULL ");
}

TEST(ColumnDefinitionLine, DefaultClauses)
{
    const dao::Field text = makeField("Ort", dao::dbText, 20, false, "\"abc\"");
    EXPECT_EQ(line(text, on(Dialect::MSSQL)), " \"Ort\" VARCHAR(20) DEFAULT 'abc' NULL ");
    EXPECT_EQ(line(text, on(Dialect::DB2)), " Ort VARCHAR(20) WITH DEFAULT 'abc'  ");
    EXPECT_EQ(line(makeField("N", dao::dbText, 9, false, "\"O'Neil\""), on(Dialect::Sybase)),
              " N VARCHAR(9) DEFAULT 'O''Neil' NULL ");
    // Only a number goes into a number's DEFAULT (and into the rows): nothing else can end the statement.
    const dao::Field crafted = makeField("L", dao::dbLong, 0, false, "1); DROP TABLE victim; --");
    EXPECT_EQ(line(crafted, on(Dialect::MSSQL)), " \"L\" INT  NULL ");
    EXPECT_EQ(SQLDefault(crafted, false, on(Dialect::MSSQL)), "");
    EXPECT_FALSE(DefaultLeftOut(crafted, on(Dialect::MSSQL)).isEmpty());
    EXPECT_EQ(line(makeField("L", dao::dbDouble, 0, false, "-1,5e3"), on(Dialect::MSSQL)),
              " \"L\" FLOAT DEFAULT -1.5e3 NULL ");
    // A date as Access keeps it, as the dialect's literal.
    const dao::Field silvester = makeField("Am", dao::dbDate, 0, false, "#12/31/1999#");
    EXPECT_EQ(line(silvester, on(Dialect::MSSQL)), " \"Am\" DATETIME DEFAULT '19991231' NULL ");
    EXPECT_EQ(line(silvester, on(Dialect::Oracle)), " Am TIMESTAMP DEFAULT TIMESTAMP'1999-12-31 00:00:00' NULL ");
    EXPECT_EQ(SQLDefault(silvester, false, on(Dialect::MSSQL)), "31.12.1999 00:00:00");

    const dao::Field flag = makeField("Aktiv", dao::dbBoolean);
    EXPECT_EQ(line(flag, on(Dialect::MSSQL)), " \"Aktiv\" BIT DEFAULT 0 NOT NULL ");
    EXPECT_EQ(line(flag, on(Dialect::MySQL)), " `Aktiv` BIT DEFAULT 0 NOT NULL ");
    EXPECT_EQ(line(flag, on(Dialect::Oracle)), " Aktiv FLOAT DEFAULT 0 NOT NULL ");
    EXPECT_EQ(line(flag, on(Dialect::DB2)), " Aktiv SMALLINT WITH DEFAULT 0 NOT NULL ");

    auto o = on(Dialect::MSSQL);
    o.default0 = true;
    EXPECT_EQ(line(makeField("Preis", dao::dbCurrency), o), " \"Preis\" MONEY  NULL ");

    o.defaultBlank = true;
    const dao::Field date = makeField("Am", dao::dbDate);
    EXPECT_EQ(line(date, o), " \"Am\" DATETIME DEFAULT ' ' NULL ");
    o.dialect = Dialect::Sybase;
    EXPECT_EQ(line(date, o), " Am DATETIME DEFAULT ' ' NULL ");
    o.dialect = Dialect::MySQL;
    EXPECT_EQ(line(date, o), " `Am` DATETIME  NULL ");
    EXPECT_EQ(line(makeField("Notiz", dao::dbMemo, 0, false, "x"), o), " `Notiz` LONGTEXT  NULL ");
    o.dialect = Dialect::Oracle;
    EXPECT_EQ(line(date, o), " Am TIMESTAMP  NULL ");
    o.dialect = Dialect::DB2;
    EXPECT_EQ(line(makeField("Am", dao::dbDate, 0, true, "Now()"), o), " Am TIMESTAMP  NOT NULL ");
}

TEST(ColumnDefinitionLine, KeyFieldsAreNotNullAndFirstOneBuildsTheClause)
{
    const QStringList keys{"NR", "Pos"};
    int calls = 0;
    const auto clause = [&] {
        ++calls;
        return QStringLiteral("CONSTRAINT x");
    };
    QString pk;
    for (Dialect d : allDialects) {
        const auto o = on(d);
        calls = 0;
        EXPECT_TRUE(
            ColumnDefinitionLine(makeField("Pos", dao::dbLong), ",", keys, "T", o, clause, &pk).endsWith(" NOT NULL "));
        EXPECT_EQ(calls, 0);
        EXPECT_TRUE(pk.isEmpty());
        ColumnDefinitionLine(makeField("Nr", dao::dbLong), " ", keys, "T", o, clause, &pk);
        EXPECT_EQ(pk, "CONSTRAINT x");
        EXPECT_EQ(calls, 1);
        pk.clear();
    }
}

// The columns whose types differ between the dialects, as AdressenStamm and
// Sonstiges of the ERP sample have them: MS SQL and Sybase keep their types.
TEST(ColumnDefinitionLine, ChangedTypesPerDialect)
{
    dao::Field dezimal = makeField("Dezimal", dao::dbDecimal, 16);
    dezimal.Precision = 10;
    dezimal.Scale = 2;
    const QList<dao::Field> fields{makeField("Umsatz", dao::dbCurrency, 8, false, "0"),
                                   makeField("Logo", dao::dbLongBinary),
                                   makeField("Notiz", dao::dbMemo),
                                   makeField("Kennung", dao::dbGUID, 16, true),
                                   makeField("Roh", dao::dbBinary, 8),
                                   dezimal,
                                   makeField("Gesperrt", dao::dbBoolean, 1, false, "True")};
    const auto lines = [&](Dialect d) {
        QStringList out;
        for (const dao::Field& f : fields)
            out.append(line(f, on(d), {}, "AdressenStamm", ","));
        return out;
    };
    EXPECT_EQ(lines(Dialect::MSSQL),
              (QStringList{",\"Umsatz\" MONEY DEFAULT 0 NULL ", ",\"Logo\" IMAGE  NULL ", ",\"Notiz\" TEXT  NULL ",
                           ",\"Kennung\" VARBINARY  NOT NULL ", ",\"Roh\"   NULL ", ",\"Dezimal\"   NULL ",
                           ",\"Gesperrt\" BIT DEFAULT 1 NOT NULL "}));
    EXPECT_EQ(lines(Dialect::Sybase),
              (QStringList{",Umsatz MONEY DEFAULT 0 NULL ", ",Logo IMAGE  NULL ", ",Notiz TEXT  NULL ",
                           ",Kennung VARBINARY  NOT NULL ", ",Roh   NULL ", ",Dezimal   NULL ",
                           ",Gesperrt BIT DEFAULT 1 NOT NULL "}));
    EXPECT_EQ(lines(Dialect::MySQL),
              (QStringList{",`Umsatz` DECIMAL(19,4) DEFAULT 0 NULL ", ",`Logo` LONGBLOB  NULL ",
                           ",`Notiz` LONGTEXT  NULL ", ",`Kennung` CHAR(38)  NOT NULL ", ",`Roh` VARBINARY(8)  NULL ",
                           ",`Dezimal` DECIMAL(10,2)  NULL ", ",`Gesperrt` BIT DEFAULT 1 NOT NULL "}));
    EXPECT_EQ(lines(Dialect::Oracle),
              (QStringList{",Umsatz NUMBER(19,4) DEFAULT 0 NULL ", ",Logo BLOB  NULL ", ",Notiz CLOB  NULL ",
                           ",Kennung CHAR(38)  NOT NULL ", ",Roh RAW(8)  NULL ", ",Dezimal NUMBER(10,2)  NULL ",
                           ",Gesperrt FLOAT DEFAULT 1 NOT NULL "}));
    EXPECT_EQ(lines(Dialect::DB2),
              (QStringList{",Umsatz DECIMAL(19,4) WITH DEFAULT 0  ", ",Logo BLOB(2G)   ", ",Notiz CLOB(4194304)   ",
                           ",Kennung CHAR(38)  NOT NULL ", ",Roh BLOB(8)   ", ",Dezimal DECIMAL(10,2)   ",
                           ",Gesperrt SMALLINT WITH DEFAULT 1 NOT NULL "}));
}

// Defaults that call an Access function: the server's own where it has one,
// else no DEFAULT clause and a log text; never a value for an empty cell.
// One row per default and type, the five dialects' clauses on one line.
TEST(SQLDefault, FunctionDefaultsAreTranslatedOrLeftOut)
{
    struct Row {
        const char* value;
        int type;
        const char* clauses[5];  // MS SQL, MySQL, Oracle, Sybase, DB2
        bool logged[5];
    };
    const Row rows[] = {
        {"Now()",
         dao::dbDate,
         {"DEFAULT CURRENT_TIMESTAMP", "DEFAULT CURRENT_TIMESTAMP", "DEFAULT CURRENT_TIMESTAMP", "DEFAULT getdate()",
          ""},
         {false, false, false, false, true}},
        {"=now( )",
         dao::dbText,
         {"DEFAULT CURRENT_TIMESTAMP", "DEFAULT CURRENT_TIMESTAMP", "DEFAULT CURRENT_TIMESTAMP", "DEFAULT getdate()",
          ""},
         {false, false, false, false, true}},
        {"Date()",
         dao::dbText,
         {"DEFAULT CAST(GETDATE() AS DATE)", "DEFAULT (CURRENT_DATE)", "DEFAULT TRUNC(SYSDATE)", "", ""},
         {false, false, false, true, true}},
        {"GenGUID()", dao::dbGUID, {"", "", "", "", ""}, {true, true, true, true, true}},
        {"\"Now()\"",
         dao::dbText,
         {"DEFAULT 'Now()'", "DEFAULT 'Now()'", "DEFAULT 'Now()'", "DEFAULT 'Now()'", "WITH DEFAULT 'Now()'"},
         {false, false, false, false, false}},
    };
    for (const Row& row : rows) {
        const dao::Field field = makeField("F", row.type, 10, false, row.value);
        for (int d = 0; d < 5; ++d) {
            SCOPED_TRACE(std::string(row.value) + " " + dialectName(allDialects[d]).toStdString());
            EXPECT_EQ(DefaultClause(field, on(allDialects[d])), QString::fromUtf8(row.clauses[d]));
            EXPECT_EQ(DefaultLeftOut(field, on(allDialects[d])).isEmpty(), !row.logged[d]);
            if (row.value[0] != '"') {
                EXPECT_TRUE(SQLDefault(field, false, on(allDialects[d])).isEmpty());
            }
        }
    }
    EXPECT_EQ(DefaultLeftOut(makeField("Kennung", dao::dbGUID, 0, false, "GenGUID()"), on(Dialect::MySQL)),
              "Feld Kennung: der Standardwert GenGUID() hat auf dem Server keine Entsprechung und wird ausgelassen.");
}
