#include "xdb/XdbStatements.h"

#include "sql/Literals.h"
#include "sql/Names.h"

namespace {

// A name the dialect reads bare stays bare; any other is quoted.
QString bareOrQuoted(const QString& written, const QString& name, Dialect dialect)
{
    return written == name && !ReadsBare(name, dialect) ? DelimitedName(name, dialect) : written;
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// [+-] digits [. digits] [E [+-] digits], at least one digit before the exponent.
bool isNumber(const QString& s)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    for (; i < n && isDigit(s[i]); ++i)
        ++digits;
    if (i < n && s[i] == QLatin1Char('.'))
        for (++i; i < n && isDigit(s[i]); ++i)
            ++digits;
    if (digits == 0)
        return false;
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
            ++i;
        const qsizetype first = i;
        while (i < n && isDigit(s[i]))
            ++i;
        if (i == first)
            return false;
    }
    return i == n;
}

// Sybase's code-page conversion makes an apostrophe of U+2019: it counts as one.
bool isApostrophe(QChar c)
{
    return c == QLatin1Char('\'') || c == QChar(u'\u2019');
}

bool isQuotedText(const QString& s)
{
    if (s.size() < 2 || s.front() != QLatin1Char('\'') || s.back() != QLatin1Char('\''))
        return false;
    for (qsizetype i = 1; i < s.size() - 1; ++i) {
        if (!isApostrophe(s[i]))
            continue;
        if (i + 1 >= s.size() - 1 || !isApostrophe(s[i + 1]))
            return false;
        ++i;
    }
    return true;
}

bool isFunctionCall(const QString& s)
{
    if (!s.endsWith(QLatin1String("()")) || s.size() < 3)
        return false;
    const QString name = s.chopped(2);
    if (!(name[0].isLetter() || name[0] == QLatin1Char('_')))
        return false;
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_')))
            return false;
    return true;
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

bool IsXdbDefaultValue(const QString& value)
{
    return isNumber(value) || isQuotedText(value) || isFunctionCall(value);
}

QString BuildAddColumn(const QString& table, const QString& column, qint16 typeCode, qint16 size,
                       const QString& defaultText, const XdbOptions& options)
{
    QString writtenTable;
    QString writtenColumn;
    switch (options.dialect) {
    case Dialect::MSSQL:
    case Dialect::Sybase:
        writtenTable = BracketQuoted(table, options.dialect);
        writtenColumn = BracketQuoted(column, options.dialect);
        break;
    case Dialect::MySQL:
        writtenTable = BacktickQuoted(table);
        writtenColumn = BacktickQuoted(column);
        break;
    case Dialect::Oracle:
    case Dialect::DB2:
        writtenTable = DelimitedName(table, options.dialect);
        writtenColumn = bareOrQuoted(WrittenColumnName(column, table, options.dialect), column, options.dialect);
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
    return QStringLiteral("sp_rename ") + QuotedText(table + QLatin1Char('.') + oldName, dialect)
        + QStringLiteral(" , ") + QuotedText(newName, dialect) + QStringLiteral(" , 'column'");
}

QString IndexExistsQuery(const QString& table, const QString& index, Dialect dialect)
{
    if (dialect == Dialect::MSSQL)
        // The LIKE alternative also finds the index under a three-character prefix.
        return QStringLiteral("SELECT COUNT(*) FROM dbo.sysindexes INNER JOIN dbo.sysobjects "
                              "ON sysobjects.id = sysindexes.id WHERE sysobjects.xtype = 'U' "
                              "AND sysobjects.name = ")
            + QuotedText(table, dialect) + QStringLiteral(" AND (sysindexes.name = ") + QuotedText(index, dialect)
            + QStringLiteral(" OR sysindexes.name LIKE ") + QuotedText(QStringLiteral("___") + index, dialect)
            + QLatin1Char(')');
    if (dialect == Dialect::Sybase)
        return QStringLiteral("SELECT COUNT(*) FROM SYSINDEX INNER JOIN SYSTABLE "
                              "ON SYSTABLE.table_id = SYSINDEX.table_id WHERE SYSTABLE.table_type = 'BASE' "
                              "AND SYSTABLE.table_name = ")
            + QuotedText(table, dialect) + QStringLiteral(" AND SYSINDEX.index_name = ") + QuotedText(index, dialect);
    return QString();
}

QString CreateIndexStatement(const QString& table, const QString& index, qint32 attributes, const QStringList& fields,
                             Dialect dialect)
{
    if ((dialect != Dialect::MSSQL && dialect != Dialect::Sybase) || (dialect == Dialect::MSSQL && (attributes & 2)))
        return QString();
    // MS SQL brackets every name; Sybase brackets the index and leaves bare
    // what it can read bare.
    const auto name = dialect == Dialect::MSSQL ? BracketQuoted : DelimitedName;
    QStringList names;
    for (const QString& f : fields)
        names.append(name(f, dialect));
    return QStringLiteral("CREATE INDEX ") + BracketQuoted(index, dialect) + QStringLiteral(" ON ")
        + name(table, dialect) + QLatin1Char('(') + names.join(QStringLiteral(", ")) + QLatin1Char(')');
}
