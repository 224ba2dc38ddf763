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

namespace {
// Letters, digits, "_" and the dialect's signs, beginning with a letter or "_".
bool hasBareShape(const QString& name, const SqlDialect& d)
{
    if (name.isEmpty() || !(name.front().isLetter() || name.front() == QLatin1Char('_')))
        return false;
    for (const QChar c : name) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!(c.isLetter() || digit || c == QLatin1Char('_') || d.bareExtras.contains(c)))
            return false;
    }
    return true;
}
}  // namespace

QString SqlName(const QString& name, Dialect dialect)
{
    const SqlDialect& d = DialectRecord(dialect);
    if (!hasBareShape(name, d))
        return AlwaysQuoted(name, dialect);
    if (!d.reservedWords.contains(name.toUpper()))
        return name;
    return AlwaysQuoted(d.upperCaseNames ? name.toUpper() : name, dialect);
}

bool CanQuote(const QString& name, Dialect dialect)
{
    const SqlDialect& d = DialectRecord(dialect);
    return d.closeDoubles || !name.contains(d.close);
}

QString WrittenColumnName(const QString& name, const QString& table, Dialect dialect)
{
    switch (DialectRecord(dialect).columns) {
    case ColumnQuoting::DoubleQuotes:
        return DoubleQuoted(name);
    case ColumnQuoting::Backticks:
        return BacktickQuoted(name);
    case ColumnQuoting::AsNames:
        break;
    }
    // This one table of the ERP product has column names DB2 reserves.
    if (dialect == Dialect::DB2 && table == QLatin1String("F5SB90R"))
        return DoubleQuoted(name);
    return SqlName(name, dialect);
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
    return SqlName(name, dialect);
}

QString ViewTextName(const QString& name, Dialect dialect)
{
    // MS SQL's views have always had their names in double quotes.
    if (DialectRecord(dialect).columns == ColumnQuoting::DoubleQuotes && !ReadsBare(name, dialect))
        return DoubleQuoted(name);
    return SqlName(name, dialect);
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
    return hasBareShape(name, d) && !d.reservedWords.contains(name.toUpper());
}

QString DelimitedName(const QString& name, Dialect dialect)
{
    // Blanks around a name of a document do not count.
    return ReadsBare(TrimBlanks(name), dialect) ? name : SqlName(name, dialect);
}
