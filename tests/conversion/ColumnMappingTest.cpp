#include "FakeDatabase.h"
#include "conversion/ColumnMapping.h"

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
    EXPECT_EQ(SQLDefault(makeField("N", dao::dbText, 20, false, "\"O'Neil\""), true, o), "'O'Neil'");
    EXPECT_EQ(SQLDefault(makeField("M", dao::dbMemo, 0, false, "x"), true, o), "'x'");
    EXPECT_EQ(SQLDefault(makeField("D", dao::dbDate, 0, false, "Now()"), true, o), "'Now()'");
    // Numbers and expressions pass through.
    EXPECT_EQ(SQLDefault(makeField("L", dao::dbLong, 0, false, "0"), true, o), "0");
    EXPECT_EQ(SQLDefault(makeField("L", dao::dbLong, 0, false, "\"5\""), true, o), "5");
}

TEST(SQLDefault, BooleanIsOneOnlyForYes)
{
    const auto o = on(Dialect::MySQL);
    EXPECT_EQ(SQLDefault(makeField("B", dao::dbBoolean, 0, false, "Yes"), true, o), "1");
    EXPECT_EQ(SQLDefault(makeField("B", dao::dbBoolean, 0, false, "True"), true, o), "0");
    EXPECT_EQ(SQLDefault(makeField("B", dao::dbBoolean, 0, false, "-1"), true, o), "0");
    EXPECT_EQ(SQLDefault(makeField("B", dao::dbBoolean, 0, false, "Ja"), true, o), "0");
    EXPECT_EQ(SQLDefault(makeField("B", dao::dbBoolean), true, o), "0");
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
        {dao::dbCurrency, "MONEY", "MONEY", "MONEY", "MONEY", "MONEY"},
        {dao::dbSingle, "REAL", "REAL", "REAL", "REAL", "REAL"},
        {dao::dbDouble, "FLOAT", "FLOAT", "DOUBLE", "FLOAT", "DOUBLE"},
        {dao::dbDate, "DATETIME", "DATETIME", "DATETIME", "TIMESTAMP", "TIMESTAMP"},
        {dao::dbText, "VARCHAR(50)", "VARCHAR(50)", "VARCHAR(50)", "VARCHAR(50)", "VARCHAR(50)"},
        {dao::dbLongBinary, "IMAGE", "IMAGE", "IMAGE", "IMAGE", "IMAGE"},
        {dao::dbMemo, "TEXT", "TEXT", "TEXT", "CLOB", "CLOB(4194304)"},
        {dao::dbGUID, "VARBINARY", "VARBINARY", "VARBINARY", "VARBINARY", "VARBINARY"},
        {dao::dbBinary, "", "", "", "", ""},
        {dao::dbDecimal, "", "", "", "", ""},
    };
    for (const Row& r : rows) {
        const dao::Field f = makeField("F", r.type, 50);
        EXPECT_EQ(ServerTypeText(f, on(Dialect::MSSQL)), r.mssql) << r.type;
        EXPECT_EQ(ServerTypeText(f, on(Dialect::Sybase)), r.sybase) << r.type;
        EXPECT_EQ(ServerTypeText(f, on(Dialect::MySQL)), r.mysql) << r.type;
        EXPECT_EQ(ServerTypeText(f, on(Dialect::Oracle)), r.oracle) << r.type;
        EXPECT_EQ(ServerTypeText(f, on(Dialect::DB2)), r.db2) << r.type;
    }
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
    o.dialect = Dialect::MSSQL;
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbLong), o), "INT");

    auto s = on(Dialect::Sybase);
    s.linuxSwitch = true;
    EXPECT_EQ(ServerTypeText(makeField("F", dao::dbDouble), s), "DECIMAL");
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
    EXPECT_EQ(WrittenColumnName("Check", "Artikel", Dialect::DB2), "Check");
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
              " N VARCHAR(9) DEFAULT 'O'Neil' NULL ");

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
    EXPECT_EQ(line(makeField("Notiz", dao::dbMemo, 0, false, "x"), o), " `Notiz` TEXT  NULL ");
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
        EXPECT_TRUE(ColumnDefinitionLine(makeField("Pos", dao::dbLong), ",", keys, "T", o, clause, &pk)
                        .endsWith(" NOT NULL "));
        EXPECT_EQ(calls, 0);
        EXPECT_TRUE(pk.isEmpty());
        ColumnDefinitionLine(makeField("Nr", dao::dbLong), " ", keys, "T", o, clause, &pk);
        EXPECT_EQ(pk, "CONSTRAINT x");
        EXPECT_EQ(calls, 1);
        pk.clear();
    }
}
