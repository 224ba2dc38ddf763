#include "sql/Names.h"

#include "core/TextPieces.h"

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

namespace {
// What MySQL reads as an unquoted identifier: ASCII letters, digits, "_", "$"
// and every character beyond ASCII, not digits only.
bool plainOnMySql(const QString& name)
{
    if (name.isEmpty())
        return false;
    bool onlyDigits = true;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool digit = u >= u'0' && u <= u'9';
        const bool ok =
            digit || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || u == u'_' || u == u'$' || u >= 0x80;
        if (!ok)
            return false;
        onlyDigits = onlyDigits && digit;
    }
    return !onlyDigits;
}
}  // namespace

QString PlainOrQuotedName(const QString& name, Dialect dialect)
{
    if (dialect == Dialect::MySQL && !plainOnMySql(name))
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
        if (name.toUpper() == QLatin1String("CHECK"))
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

QString BracketQuoted(const QString& name, Dialect dialect)
{
    if (dialect == Dialect::Sybase && name.contains(QLatin1Char(']')))
        return DoubleQuoted(name);
    QString out;
    out.reserve(name.size() + 2);
    out += QLatin1Char('[');
    for (const QChar c : name) {
        out += c;
        if (c == QLatin1Char(']'))
            out += c;
    }
    out += QLatin1Char(']');
    return out;
}

bool ReadsBare(const QString& name, Dialect dialect)
{
    const QString core = TrimBlanks(name);
    if (dialect == Dialect::MySQL)
        return plainOnMySql(core);
    if (core.isEmpty() || !(core[0].isLetter() || core[0] == QLatin1Char('_')))
        return false;
    for (const QChar c : core) {
        const char16_t u = c.unicode();
        const bool ascii = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_'
            || u == u'$' || u == u'#';
        if (!ascii && !(u >= 0x80 && c.isLetterOrNumber()))
            return false;
    }
    return true;
}

QString DelimitedName(const QString& name, Dialect dialect)
{
    if (ReadsBare(name, dialect))
        return name;
    switch (dialect) {
    case Dialect::MSSQL:
    case Dialect::Sybase:
        return BracketQuoted(name, dialect);
    case Dialect::MySQL:
        return BacktickQuoted(name);
    case Dialect::Oracle:
    case Dialect::DB2:
        break;
    }
    return DoubleQuoted(name);
}

QString QuotedText(const QString& text, Dialect dialect)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('\'');
    for (const QChar c : text) {
        if (dialect == Dialect::Sybase && c == QChar(u'\u2019'))
            continue;
        out += c;
        if (c == QLatin1Char('\''))
            out += c;
    }
    out += QLatin1Char('\'');
    return out;
}
