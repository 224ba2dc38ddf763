// The statements per dialect, letter by letter.

#include "xdb/XdbStatements.h"

#include <gtest/gtest.h>

namespace {

XdbOptions on(Dialect d, bool linuxSwitch = false, bool module = false)
{
    XdbOptions o;
    o.dialect = d;
    o.linuxSwitch = linuxSwitch;
    o.moduleDataSource = module;
    return o;
}

QStringList typesFor(const XdbOptions& o)
{
    QStringList types;
    for (qint16 code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 0, -1})
        types.append(XdbColumnType(code, 30, o));
    return types;
}

}  // namespace

TEST(XdbStatements, ColumnTypesPerDialect)
{
    // Codes 1 2 3 4 5 6 7 8 9 10 11 12 13 15 0 -1.
    EXPECT_EQ(typesFor(on(Dialect::MSSQL)),
              (QStringList{"BIT", "SMALLINT", "SMALLINT", "INT", "MONEY", "REAL", "FLOAT", "DATETIME", "", "VARCHAR(30)",
                           "IMAGE", "TEXT", "", "VARBINARY", "", ""}));
    EXPECT_EQ(typesFor(on(Dialect::Sybase)),
              (QStringList{"BIT", "SMALLINT", "SMALLINT", "INT", "MONEY", "REAL", "FLOAT", "DATETIME", "", "VARCHAR(30)",
                           "IMAGE", "TEXT", "", "VARBINARY", "", ""}));
    EXPECT_EQ(XdbColumnType(7, 0, on(Dialect::Sybase, true)), QStringLiteral("DECIMAL"));
    EXPECT_EQ(XdbColumnType(7, 0, on(Dialect::MSSQL, true)), QStringLiteral("FLOAT"));
    // MySQL, Oracle and DB2 get types they have.
    EXPECT_EQ(typesFor(on(Dialect::MySQL)),
              (QStringList{"BIT", "SMALLINT", "SMALLINT", "INT", "DECIMAL(19,4)", "REAL", "DOUBLE", "DATETIME", "",
                           "VARCHAR(30)", "LONGBLOB", "LONGTEXT", "", "CHAR(38)", "", ""}));
    EXPECT_EQ(typesFor(on(Dialect::Oracle)),
              (QStringList{"DECIMAL(1,0)", "DECIMAL", "DECIMAL", "INT", "NUMBER(19,4)", "REAL", "FLOAT", "TIMESTAMP", "",
                           "VARCHAR(30)", "BLOB", "CLOB", "", "CHAR(38)", "", ""}));
    EXPECT_EQ(typesFor(on(Dialect::Oracle, false, true)),
              (QStringList{"FLOAT", "FLOAT", "FLOAT", "FLOAT", "NUMBER(19,4)", "REAL", "FLOAT", "TIMESTAMP", "",
                           "VARCHAR(30)", "BLOB", "VARCHAR(2000)", "", "CHAR(38)", "", ""}));
    EXPECT_EQ(typesFor(on(Dialect::DB2)),
              (QStringList{"SMALLINT", "SMALLINT", "SMALLINT", "INTEGER", "DECIMAL(19,4)", "REAL", "DOUBLE", "TIMESTAMP",
                           "", "VARCHAR(30)", "BLOB(2G)", "CLOB(4194304)", "", "CHAR(38)", "", ""}));
    // The module data source matters only on Oracle.
    EXPECT_EQ(typesFor(on(Dialect::DB2, false, true)), typesFor(on(Dialect::DB2)));
    EXPECT_EQ(XdbColumnType(10, 0, on(Dialect::MSSQL)), QStringLiteral("VARCHAR(0)"));
    EXPECT_EQ(XdbColumnType(10, -5, on(Dialect::MSSQL)), QStringLiteral("VARCHAR(-5)"));
}

TEST(XdbStatements, OldFormatDefaults)
{
    EXPECT_EQ(XdbDefault(QString()), QString());
    EXPECT_EQ(XdbDefault(QStringLiteral("\"\"")), QStringLiteral("' '"));
    EXPECT_EQ(XdbDefault(QStringLiteral("\"")), QStringLiteral("' '"));
    EXPECT_EQ(XdbDefault(QStringLiteral("0")), QStringLiteral("0"));
    EXPECT_EQ(XdbDefault(QStringLiteral("\"wort\"")), QStringLiteral("wort"));
    EXPECT_EQ(XdbDefault(QStringLiteral("\"\"wort\"\"")), QStringLiteral("\"wort\""));  // one quote each end only
    EXPECT_EQ(XdbDefault(QStringLiteral("'x'")), QStringLiteral("'x'"));
}

TEST(XdbStatements, AddColumnPerDialect)
{
    const QString t = QStringLiteral("AdressenStamm");
    const QString c = QStringLiteral("Bemerkung");
    EXPECT_EQ(BuildAddColumn(t, c, 10, 30, QString(), on(Dialect::MSSQL)),
              QStringLiteral("ALTER TABLE [AdressenStamm]  ADD [Bemerkung] VARCHAR(30)"));
    EXPECT_EQ(BuildAddColumn(t, c, 1, 0, QString(), on(Dialect::Sybase)),
              QStringLiteral("ALTER TABLE [AdressenStamm]  ADD [Bemerkung] BIT"));
    EXPECT_EQ(BuildAddColumn(t, c, 9, 0, QString(), on(Dialect::MSSQL)),
              QStringLiteral("ALTER TABLE [AdressenStamm]  ADD [Bemerkung] "));
    EXPECT_EQ(BuildAddColumn(t, c, 10, 30, QStringLiteral("\"\""), on(Dialect::MSSQL)),
              QStringLiteral("ALTER TABLE [AdressenStamm]  ADD [Bemerkung] VARCHAR(30) DEFAULT ' ' NULL"));
    EXPECT_EQ(BuildAddColumn(t, c, 4, 0, QStringLiteral("0"), on(Dialect::Sybase, true)),
              QStringLiteral("ALTER TABLE [AdressenStamm]  ADD [Bemerkung] INT DEFAULT 0 NULL"));
    EXPECT_EQ(BuildAddColumn(t, c, 12, 0, QStringLiteral("\"wort\""), on(Dialect::MySQL)),
              QStringLiteral("ALTER TABLE `AdressenStamm`  ADD `Bemerkung` LONGTEXT DEFAULT wort NULL"));
    EXPECT_EQ(BuildAddColumn(QStringLiteral("ADRESSENSTAMM"), c, 5, 0, QString(), on(Dialect::Oracle)),
              QStringLiteral("ALTER TABLE ADRESSENSTAMM  ADD Bemerkung NUMBER(19,4)"));
    EXPECT_EQ(BuildAddColumn(QStringLiteral("ADRESSENSTAMM"), QStringLiteral("check"), 4, 0, QString(), on(Dialect::Oracle)),
              QStringLiteral("ALTER TABLE ADRESSENSTAMM  ADD \"CHECK\" INT"));
    EXPECT_EQ(BuildAddColumn(QStringLiteral("ADRESSENSTAMM"), c, 11, 0, QString(), on(Dialect::DB2)),
              QStringLiteral("ALTER TABLE ADRESSENSTAMM  ADD Bemerkung BLOB(2G)"));
    EXPECT_EQ(BuildAddColumn(QStringLiteral("F5SB90R"), QStringLiteral("Check"), 3, 0, QString(), on(Dialect::DB2)),
              QStringLiteral("ALTER TABLE F5SB90R  ADD \"Check\" SMALLINT"));
}

TEST(XdbStatements, RenameColumn)
{
    EXPECT_EQ(RenameColumnStatement(QStringLiteral("Artikel"), QStringLiteral("Alt"), QStringLiteral("Neu"), Dialect::MSSQL),
              QStringLiteral("sp_rename 'Artikel.Alt' , 'Neu' , 'column'"));
    for (Dialect d : {Dialect::Sybase, Dialect::Oracle, Dialect::DB2})
        EXPECT_EQ(RenameColumnStatement(QStringLiteral("ARTIKEL"), QStringLiteral("Alt"), QStringLiteral("Neu"), d),
                  QStringLiteral("sp_rename 'ARTIKEL.Alt' , 'Neu' , 'column'"));
    EXPECT_EQ(RenameColumnStatement(QStringLiteral("Artikel"), QStringLiteral("Alt"), QStringLiteral("Neu"), Dialect::MySQL),
              QStringLiteral("ALTER TABLE `Artikel` RENAME COLUMN `Alt` TO `Neu`"));
}

TEST(XdbStatements, IndexQueriesAndCreation)
{
    EXPECT_EQ(IndexExistsQuery(QStringLiteral("Artikel"), QStringLiteral("ixNr"), Dialect::MSSQL),
              QStringLiteral("SELECT COUNT(*) FROM dbo.sysindexes INNER JOIN dbo.sysobjects ON sysobjects.id = "
                             "sysindexes.id WHERE sysobjects.xtype = 'U' AND sysobjects.name = 'Artikel' AND "
                             "(sysindexes.name = 'ixNr' OR sysindexes.name LIKE '___ixNr')"));
    EXPECT_EQ(IndexExistsQuery(QStringLiteral("Artikel"), QStringLiteral("ixNr"), Dialect::Sybase),
              QStringLiteral("SELECT COUNT(*) FROM SYSINDEX INNER JOIN SYSTABLE ON SYSTABLE.table_id = "
                             "SYSINDEX.table_id WHERE SYSTABLE.table_type = 'BASE' AND SYSTABLE.table_name = "
                             "'Artikel' AND SYSINDEX.index_name = 'ixNr'"));
    for (Dialect d : {Dialect::MySQL, Dialect::Oracle, Dialect::DB2})
        EXPECT_EQ(IndexExistsQuery(QStringLiteral("Artikel"), QStringLiteral("ixNr"), d), QString());

    const QStringList two{QStringLiteral("Nr"), QStringLiteral("Name")};
    EXPECT_EQ(CreateIndexStatement(QStringLiteral("Artikel"), QStringLiteral("ixNr"), 0, two, Dialect::MSSQL),
              QStringLiteral("CREATE INDEX [ixNr] ON [Artikel]([Nr], [Name])"));
    EXPECT_EQ(CreateIndexStatement(QStringLiteral("Artikel"), QStringLiteral("ixNr"), 1, {QStringLiteral("Nr")}, Dialect::MSSQL),
              QStringLiteral("CREATE INDEX [ixNr] ON [Artikel]([Nr])"));
    for (qint32 attributes : {2, 3, 6, -1})
        EXPECT_EQ(CreateIndexStatement(QStringLiteral("Artikel"), QStringLiteral("ixNr"), attributes, two, Dialect::MSSQL),
                  QString());
    EXPECT_EQ(CreateIndexStatement(QStringLiteral("Artikel"), QStringLiteral("ixNr"), 2, two, Dialect::Sybase),
              QStringLiteral("CREATE INDEX [ixNr] ON Artikel(Nr, Name)"));
    EXPECT_EQ(CreateIndexStatement(QStringLiteral("Artikel"), QStringLiteral("ixNr"), 0, {QStringLiteral("Nr")}, Dialect::Sybase),
              QStringLiteral("CREATE INDEX [ixNr] ON Artikel(Nr)"));
    for (Dialect d : {Dialect::MySQL, Dialect::Oracle, Dialect::DB2})
        EXPECT_EQ(CreateIndexStatement(QStringLiteral("Artikel"), QStringLiteral("ixNr"), 0, two, d), QString());
}
