#include "sql/Names.h"

#include "core/TextPieces.h"
#include "sql/DialectRecord.h"

#include <QSet>

namespace {
// The name between two quote characters, a quote character inside doubled.
QString quotedWith(const QString& name, QLatin1Char quote)
{
    QString out;
    out.reserve(name.size() + 2);
    out += quote;
    for (const QChar c : name) {
        if (c == quote)
            out += quote;
        out += c;
    }
    out += quote;
    return out;
}
}  // namespace

QString BacktickQuoted(const QString& name)
{
    return quotedWith(name, QLatin1Char('`'));
}

QString DoubleQuoted(const QString& name)
{
    return quotedWith(name, QLatin1Char('"'));
}

bool ReservedWord(const QString& name, Dialect dialect)
{
    return DialectRecord(dialect).reservedWords.contains(name.toUpper());
}

QString PlainOrQuotedName(const QString& name, Dialect dialect)
{
    if (dialect == Dialect::MySQL && !ReadsBare(name, dialect))
        return BacktickQuoted(name);
    return name;
}

QString WrittenColumnName(const QString& name, const QString& table, Dialect dialect)
{
    switch (dialect) {
    case Dialect::DB2:
        // This one table of the ERP product has column names DB2 reserves.
        if (table == QLatin1String("F5SB90R"))
            return DoubleQuoted(name);
        return name;
    case Dialect::Oracle:
        if (DialectRecord(dialect).checkColumnQuoted && name.toUpper() == QLatin1String("CHECK"))
            return QLatin1Char('"') + name.toUpper() + QLatin1Char('"');
        return name;
    case Dialect::MSSQL:
        return DoubleQuoted(name);
    case Dialect::Sybase:
        return name;
    case Dialect::MySQL:
        return BacktickQuoted(name);
    }
    return name;
}

QString KeyColumnName(const QString& name, Dialect dialect, bool memo)
{
    switch (DialectRecord(dialect).columns) {
    case ColumnQuoting::DoubleQuotes:
        return DoubleQuoted(name);
    case ColumnQuoting::Backticks:
        // A key over a LONGTEXT column needs a length; 255 characters as Access's Text.
        return BacktickQuoted(name) + (memo ? QStringLiteral("(255)") : QString());
    case ColumnQuoting::AsNames:
        break;
    }
    return PlainOrQuotedName(name, dialect);
}

QString ViewTextName(const QString& name, Dialect dialect)
{
    if (ReadsBare(name, dialect))
        return name;
    switch (dialect) {
    case Dialect::MySQL:
        return BacktickQuoted(name);
    case Dialect::Sybase:
        return BracketQuoted(name, dialect);
    case Dialect::MSSQL:
    case Dialect::Oracle:
    case Dialect::DB2:
        break;
    }
    return DoubleQuoted(name);
}

QString BracketQuoted(const QString& name, Dialect dialect)
{
    return AlwaysQuoted(name, dialect == Dialect::Sybase ? Dialect::Sybase : Dialect::MSSQL);
}

QString AlwaysQuoted(const QString& name, Dialect dialect)
{
    const SqlDialect& d = DialectRecord(dialect);
    // Sybase has no escape for a closing bracket inside brackets.
    if (!d.closeDoubles && name.contains(d.close))
        return DoubleQuoted(name);
    QString out;
    out.reserve(name.size() + 2);
    out += d.open;
    for (const QChar c : name) {
        out += c;
        if (c == d.close)
            out += c;
    }
    out += d.close;
    return out;
}

bool ReadsBare(const QString& name, Dialect dialect)
{
    const SqlDialect& d = DialectRecord(dialect);
    if (name.isEmpty() || !(name.front().isLetter() || name.front() == QLatin1Char('_')))
        return false;
    for (const QChar c : name) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!(c.isLetter() || digit || c == QLatin1Char('_') || d.bareExtras.contains(c)))
            return false;
    }
    return !d.reservedWords.contains(name.toUpper());
}

QString DelimitedName(const QString& name, Dialect dialect)
{
    // Blanks around a name of a document do not count.
    return ReadsBare(TrimBlanks(name), dialect) ? name : AlwaysQuoted(name, dialect);
}
