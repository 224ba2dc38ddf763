#include "xdb/XdbStatements.h"

#include "sql/DialectRecord.h"
#include "sql/Literals.h"
#include "sql/Names.h"

#include <algorithm>

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
    const bool always = DialectRecord(options.dialect).xdbQuotesAlways;
    // Names as the table conversion writes them, quoted where they cannot stand bare.
    const QString writtenTable = always ? AlwaysQuoted(table, options.dialect) : DelimitedName(table, options.dialect);
    const QString writtenColumn = always
        ? AlwaysQuoted(column, options.dialect)
        : bareOrQuoted(WrittenColumnName(column, table, options.dialect), column, options.dialect);
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
    if (!DialectRecord(dialect).renamesWithSpRename)
        return QStringLiteral("ALTER TABLE ") + AlwaysQuoted(table, dialect) + QStringLiteral(" RENAME COLUMN ")
            + AlwaysQuoted(oldName, dialect) + QStringLiteral(" TO ") + AlwaysQuoted(newName, dialect);
    return QStringLiteral("sp_rename ") + QuotedText(table + QLatin1Char('.') + oldName, dialect)
        + QStringLiteral(" , ") + QuotedText(newName, dialect) + QStringLiteral(" , 'column'");
}

QString IndexExistsQuery(const QString& table, const QString& index, Dialect dialect)
{
    // One pass over the template: a name that holds a placeholder's text stays text.
    const QStringView query = DialectRecord(dialect).indexExistsQuery;
    const std::pair<QLatin1StringView, QString> values[] = {
        {QLatin1StringView("{table}"), QuotedText(table, dialect)},
        {QLatin1StringView("{index}"), QuotedText(index, dialect)},
        {QLatin1StringView("{prefixed}"), QuotedText(QStringLiteral("___") + index, dialect)},
    };
    QString out;
    for (qsizetype i = 0; i < query.size();) {
        const auto value = std::find_if(std::begin(values), std::end(values),
                                        [&](const auto& v) { return query.sliced(i).startsWith(v.first); });
        if (value == std::end(values)) {
            out += query[i++];
            continue;
        }
        out += value->second;
        i += value->first.size();
    }
    return out;
}

QString CreateIndexStatement(const QString& table, const QString& index, qint32 attributes, const QStringList& fields,
                             Dialect dialect)
{
    const SqlDialect& d = DialectRecord(dialect);
    if (!d.createsXdbIndexes || (d.xdbIndexBit2Skips && (attributes & 2)))
        return QString();
    // MS SQL brackets every name; Sybase brackets the index and leaves bare
    // what it can read bare.
    const auto name = d.xdbIndexNamesQuoted ? AlwaysQuoted : DelimitedName;
    QStringList names;
    for (const QString& f : fields)
        names.append(name(f, dialect));
    return QStringLiteral("CREATE INDEX ") + BracketQuoted(index, dialect) + QStringLiteral(" ON ")
        + name(table, dialect) + QLatin1Char('(') + names.join(QStringLiteral(", ")) + QLatin1Char(')');
}
