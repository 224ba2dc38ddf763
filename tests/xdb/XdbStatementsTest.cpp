// Column types and the add and rename statements per dialect, letter by letter.
// (Index statements are checked where the run sends them.)

#include "xdb/XdbStatements.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

XdbOptions on(Dialect d, bool linuxSwitch = false, bool module = false)
{
    return XdbOptions{d, linuxSwitch, module};
}

// The types of codes 1 2 3 4 5 6 7 8 9 10 11 12 15, joined by blanks.
QString typesFor(const XdbOptions& o)
{
    QStringList types;
    for (qint16 code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15})
        types.append(XdbColumnType(code, 30, o));
    return types.join(QLatin1Char(' '));
}

}  // namespace

TEST(XdbStatements, ColumnTypesPerDialect)
{
    const QString msSql =
        QStringLiteral("BIT SMALLINT SMALLINT INT MONEY REAL FLOAT DATETIME  VARCHAR(30) IMAGE TEXT VARBINARY");
    EXPECT_EQ(typesFor(on(Dialect::MSSQL)), msSql);
    EXPECT_EQ(typesFor(on(Dialect::Sybase)), msSql);
    EXPECT_EQ(typesFor(on(Dialect::Sybase, true)),
              QString(msSql).replace(QStringLiteral("FLOAT"), QStringLiteral("DECIMAL")));
    EXPECT_EQ(
        typesFor(on(Dialect::MySQL)),
        QStringLiteral(
            "BIT SMALLINT SMALLINT INT DECIMAL(19,4) REAL DOUBLE DATETIME  VARCHAR(30) LONGBLOB LONGTEXT CHAR(38)"));
    EXPECT_EQ(
        typesFor(on(Dialect::Oracle)),
        QStringLiteral(
            "DECIMAL(1,0) DECIMAL DECIMAL INT NUMBER(19,4) REAL FLOAT TIMESTAMP  VARCHAR(30) BLOB CLOB CHAR(38)"));
    EXPECT_EQ(
        typesFor(on(Dialect::Oracle, false, true)),
        QStringLiteral(
            "FLOAT FLOAT FLOAT FLOAT NUMBER(19,4) REAL FLOAT TIMESTAMP  VARCHAR(30) BLOB VARCHAR(2000) CHAR(38)"));
    const QString db2 = QStringLiteral("SMALLINT SMALLINT SMALLINT INTEGER DECIMAL(19,4) REAL DOUBLE TIMESTAMP  "
                                       "VARCHAR(30) BLOB(2G) CLOB(4194304) CHAR(38)");
    EXPECT_EQ(typesFor(on(Dialect::DB2)), db2);
    EXPECT_EQ(typesFor(on(Dialect::DB2, false, true)), db2);
    EXPECT_EQ(XdbColumnType(10, 0, on(Dialect::MSSQL)), QStringLiteral("VARCHAR(0)"));
    EXPECT_EQ(XdbColumnType(13, 0, on(Dialect::MSSQL)), QString());
}

TEST(XdbStatements, AddColumnPerDialectWithOldFormatDefaults)
{
    const QString t = QStringLiteral("Lager");
    const QString c = QStringLiteral("Ort");
    EXPECT_EQ(BuildAddColumn(t, c, 9, 0, QString(), on(Dialect::MSSQL)),
              QStringLiteral("ALTER TABLE [Lager]  ADD [Ort] "));
    EXPECT_EQ(BuildAddColumn(t, c, 10, 8, QStringLiteral("\"\""), on(Dialect::Sybase)),
              QStringLiteral("ALTER TABLE [Lager]  ADD [Ort] VARCHAR(8) DEFAULT ' ' NULL"));
    EXPECT_EQ(BuildAddColumn(t, c, 4, 0, QStringLiteral("0"), on(Dialect::MSSQL)),
              QStringLiteral("ALTER TABLE [Lager]  ADD [Ort] INT DEFAULT 0 NULL"));
    // One double quote is taken off each end, no more; nothing is added.
    EXPECT_EQ(BuildAddColumn(t, c, 12, 0, QStringLiteral("\"\"wort\""), on(Dialect::MySQL)),
              QStringLiteral("ALTER TABLE `Lager`  ADD `Ort` LONGTEXT DEFAULT \"wort NULL"));
    EXPECT_EQ(BuildAddColumn(QStringLiteral("LAGER"), QStringLiteral("check"), 5, 0, QString(), on(Dialect::Oracle)),
              QStringLiteral("ALTER TABLE LAGER  ADD \"CHECK\" NUMBER(19,4)"));
    EXPECT_EQ(BuildAddColumn(QStringLiteral("LAGER"), c, 11, 0, QString(), on(Dialect::DB2)),
              QStringLiteral("ALTER TABLE LAGER  ADD Ort BLOB(2G)"));
    EXPECT_EQ(BuildAddColumn(QStringLiteral("F5SB90R"), QStringLiteral("Check"), 3, 0, QString(), on(Dialect::DB2)),
              QStringLiteral("ALTER TABLE F5SB90R  ADD \"Check\" SMALLINT"));
}

TEST(XdbStatements, RenameColumn)
{
    for (Dialect d : {Dialect::MSSQL, Dialect::Sybase, Dialect::Oracle, Dialect::DB2})
        EXPECT_EQ(RenameColumnStatement(QStringLiteral("Lager"), QStringLiteral("Alt"), QStringLiteral("Neu"), d),
                  QStringLiteral("sp_rename 'Lager.Alt' , 'Neu' , 'column'"));
    EXPECT_EQ(
        RenameColumnStatement(QStringLiteral("Lager"), QStringLiteral("Alt"), QStringLiteral("Neu"), Dialect::MySQL),
        QStringLiteral("ALTER TABLE `Lager` RENAME COLUMN `Alt` TO `Neu`"));
    // On MySQL names arrive as they stand, a grave accent in them too.
    EXPECT_EQ(BuildAddColumn(QStringLiteral("La`ger"), QStringLiteral("O`rt"), 4, 0, QString(), on(Dialect::MySQL)),
              QStringLiteral("ALTER TABLE `La``ger`  ADD `O``rt` INT"));
}

// Names from the document go in by the dialect's name rule, texts as literals
// with doubled apostrophes: nothing in them ends the statement.
TEST(XdbStatements, NamesAndTextsFromTheDocumentStayInsideTheirStatement)
{
    const QString hostile = QStringLiteral("a]'; DROP TABLE x; --");
    EXPECT_EQ(BuildAddColumn(QStringLiteral("T"), hostile, 4, 0, QString(), on(Dialect::MSSQL)),
              QStringLiteral("ALTER TABLE [T]  ADD [a]]'; DROP TABLE x; --] INT"));
    EXPECT_EQ(BuildAddColumn(QStringLiteral("T X"), hostile, 4, 0, QString(), on(Dialect::Oracle)),
              QStringLiteral("ALTER TABLE \"T X\"  ADD \"a]'; DROP TABLE x; --\" INT"));
    EXPECT_EQ(RenameColumnStatement(QStringLiteral("T"), QStringLiteral("O'Neil"), hostile, Dialect::Sybase),
              QStringLiteral("sp_rename 'T.O''Neil' , 'a]''; DROP TABLE x; --' , 'column'"));
    EXPECT_TRUE(IndexExistsQuery(QStringLiteral("T"), hostile, Dialect::MSSQL)
                    .endsWith(QStringLiteral("(sysindexes.name = 'a]''; DROP TABLE x; --' OR sysindexes.name LIKE "
                                             "'___a]''; DROP TABLE x; --')")));
    EXPECT_TRUE(IndexExistsQuery(QStringLiteral("T'"), hostile, Dialect::Sybase)
                    .endsWith(QStringLiteral("table_name = 'T''' AND SYSINDEX.index_name = 'a]''; DROP TABLE x; --'")));
    EXPECT_EQ(CreateIndexStatement(QStringLiteral("T]"), hostile, 0, {QStringLiteral("Nr")}, Dialect::MSSQL),
              QStringLiteral("CREATE INDEX [a]]'; DROP TABLE x; --] ON [T]]]([Nr])"));
    EXPECT_EQ(CreateIndexStatement(QStringLiteral("T x"), QStringLiteral("i]x"), 0,
                                   {QStringLiteral("Nr"), QStringLiteral("a, b")}, Dialect::Sybase),
              QStringLiteral("CREATE INDEX \"i]x\" ON [T x](Nr, [a, b])"));
}

TEST(XdbStatements, ADefaultIsANumberAQuotedTextOrAFunctionCall)
{
    for (const char* value : {"0", "-1.5E3", "' '", "'it''s'", "''", "getdate()"})
        EXPECT_TRUE(IsXdbDefaultValue(QString::fromUtf8(value))) << value;
    for (const char* text : {"Stk", "'it's'", "'offen", "1e", ".", "now() --", "0 /* x */", "()", "f(1)",
                             "0 NULL; DROP TABLE victim2; --", "'a'; DROP x; --'", "'it\u2019s'"})
        EXPECT_FALSE(IsXdbDefaultValue(QString::fromUtf8(text))) << text;
}
