#include "xdb/XdbStatements.h"

#include "conversion/ColumnMapping.h"
#include "sql/ServerNames.h"

#include <array>

namespace {

// One column per server flavour; Oracle splits by module data source and
// Sybase by the Linux switch. "%1" stands for the size.
enum Flavour { MSSQL, MySQL, OracleModule, OracleOther, Sybase, SybaseLinux, DB2, FlavourCount };

struct TypeRow {
    qint16 code;
    std::array<const char*, FlavourCount> types;
};

// Where MS SQL's types do not exist (MONEY, IMAGE, VARBINARY without a
// length) or a type was missing, MySQL, Oracle and DB2 get the types a
// converted table gets there.
constexpr TypeRow kTypes[] = {
    //          MSSQL          MySQL            Oracle module    Oracle other     Sybase         Sybase Linux   DB2
    {1, {"BIT", "BIT", "FLOAT", "DECIMAL(1,0)", "BIT", "BIT", "SMALLINT"}},
    {2, {"SMALLINT", "SMALLINT", "FLOAT", "DECIMAL", "SMALLINT", "SMALLINT", "SMALLINT"}},
    {3, {"SMALLINT", "SMALLINT", "FLOAT", "DECIMAL", "SMALLINT", "SMALLINT", "SMALLINT"}},
    {4, {"INT", "INT", "FLOAT", "INT", "INT", "INT", "INTEGER"}},
    {5, {"MONEY", "DECIMAL(19,4)", "NUMBER(19,4)", "NUMBER(19,4)", "MONEY", "MONEY", "DECIMAL(19,4)"}},
    {6, {"REAL", "REAL", "REAL", "REAL", "REAL", "REAL", "REAL"}},
    {7, {"FLOAT", "DOUBLE", "FLOAT", "FLOAT", "FLOAT", "DECIMAL", "DOUBLE"}},
    {8, {"DATETIME", "DATETIME", "TIMESTAMP", "TIMESTAMP", "DATETIME", "DATETIME", "TIMESTAMP"}},
    {10, {"VARCHAR(%1)", "VARCHAR(%1)", "VARCHAR(%1)", "VARCHAR(%1)", "VARCHAR(%1)", "VARCHAR(%1)", "VARCHAR(%1)"}},
    {11, {"IMAGE", "LONGBLOB", "BLOB", "BLOB", "IMAGE", "IMAGE", "BLOB(2G)"}},
    {12, {"TEXT", "LONGTEXT", "VARCHAR(2000)", "CLOB", "TEXT", "TEXT", "CLOB(4194304)"}},
    {15, {"VARBINARY", "CHAR(38)", "CHAR(38)", "CHAR(38)", "VARBINARY", "VARBINARY", "CHAR(38)"}},
};

Flavour flavourOf(const XdbOptions& o)
{
    switch (o.dialect) {
    case Dialect::MSSQL: return MSSQL;
    case Dialect::MySQL: return MySQL;
    case Dialect::Oracle: return o.moduleDataSource ? OracleModule : OracleOther;
    case Dialect::Sybase: return o.linuxSwitch ? SybaseLinux : Sybase;
    case Dialect::DB2: return DB2;
    }
    return MSSQL;
}

QString bracketed(const QString& name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

}  // namespace

QString XdbColumnType(qint16 typeCode, qint16 size, const XdbOptions& options)
{
    for (const TypeRow& row : kTypes)
        if (row.code == typeCode) {
            const QString type = QString::fromLatin1(row.types[flavourOf(options)]);
            return type.contains(QLatin1String("%1")) ? type.arg(size) : type;
        }
    return QString();
}

QString XdbDefault(const QString& written)
{
    if (written.isEmpty())
        return written;
    QString d = written;
    if (d.startsWith(QLatin1Char('"')))
        d.remove(0, 1);
    if (d.endsWith(QLatin1Char('"')))
        d.chop(1);
    return d.isEmpty() ? QStringLiteral("' '") : d;
}

QString BuildAddColumn(const QString& table, const QString& column, qint16 typeCode, qint16 size,
                       const QString& defaultText, const XdbOptions& options)
{
    QString writtenTable;
    QString writtenColumn;
    switch (options.dialect) {
    case Dialect::MSSQL:
    case Dialect::Sybase:
        writtenTable = bracketed(table);
        writtenColumn = bracketed(column);
        break;
    case Dialect::MySQL:
        writtenTable = BacktickQuoted(table);
        writtenColumn = BacktickQuoted(column);
        break;
    case Dialect::Oracle:
    case Dialect::DB2:
        writtenTable = table;
        writtenColumn = WrittenColumnName(column, table, options.dialect);
        break;
    }
    QString statement = QStringLiteral("ALTER TABLE ") + writtenTable + QStringLiteral("  ADD ") + writtenColumn
        + QLatin1Char(' ') + XdbColumnType(typeCode, size, options);
    const QString d = XdbDefault(defaultText);
    if (!d.isEmpty())
        statement += QStringLiteral(" DEFAULT ") + d + QStringLiteral(" NULL");
    return statement;
}

QString RenameColumnStatement(const QString& table, const QString& oldName, const QString& newName,
                              Dialect dialect)
{
    // No MySQL server has sp_rename.
    if (dialect == Dialect::MySQL)
        return QStringLiteral("ALTER TABLE ") + BacktickQuoted(table) + QStringLiteral(" RENAME COLUMN ")
            + BacktickQuoted(oldName) + QStringLiteral(" TO ") + BacktickQuoted(newName);
    return QStringLiteral("sp_rename '") + table + QLatin1Char('.') + oldName + QStringLiteral("' , '") + newName
        + QStringLiteral("' , 'column'");
}

QString IndexExistsQuery(const QString& table, const QString& index, Dialect dialect)
{
    if (dialect == Dialect::MSSQL)
        // The LIKE alternative also finds the index under a three-character prefix.
        return QStringLiteral("SELECT COUNT(*) FROM dbo.sysindexes INNER JOIN dbo.sysobjects "
                              "ON sysobjects.id = sysindexes.id WHERE sysobjects.xtype = 'U' "
                              "AND sysobjects.name = '")
            + table + QStringLiteral("' AND (sysindexes.name = '") + index
            + QStringLiteral("' OR sysindexes.name LIKE '___") + index + QStringLiteral("')");
    if (dialect == Dialect::Sybase)
        return QStringLiteral("SELECT COUNT(*) FROM SYSINDEX INNER JOIN SYSTABLE "
                              "ON SYSTABLE.table_id = SYSINDEX.table_id WHERE SYSTABLE.table_type = 'BASE' "
                              "AND SYSTABLE.table_name = '")
            + table + QStringLiteral("' AND SYSINDEX.index_name = '") + index + QLatin1Char('\'');
    return QString();
}

QString CreateIndexStatement(const QString& table, const QString& index, qint32 attributes,
                             const QStringList& fields, Dialect dialect)
{
    if (dialect == Dialect::MSSQL) {
        if (attributes & 2)
            return QString();
        QStringList names;
        for (const QString& f : fields)
            names.append(bracketed(f));
        return QStringLiteral("CREATE INDEX ") + bracketed(index) + QStringLiteral(" ON ") + bracketed(table)
            + QLatin1Char('(') + names.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    if (dialect == Dialect::Sybase)
        return QStringLiteral("CREATE INDEX ") + bracketed(index) + QStringLiteral(" ON ") + table + QLatin1Char('(')
            + fields.join(QStringLiteral(", ")) + QLatin1Char(')');
    return QString();
}
