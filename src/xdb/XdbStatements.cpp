#include "xdb/XdbStatements.h"

#include "sql/Names.h"

#include <array>

namespace {

QString bracketed(const QString& name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

}  // namespace

QString XdbColumnType(qint16 typeCode, qint16 size, const XdbOptions& options)
{
    return ServerTypeFor(TypeTable::XdbColumn, typeCode, options, size);
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

QString RenameColumnStatement(const QString& table, const QString& oldName, const QString& newName, Dialect dialect)
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

QString CreateIndexStatement(const QString& table, const QString& index, qint32 attributes, const QStringList& fields,
                             Dialect dialect)
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
