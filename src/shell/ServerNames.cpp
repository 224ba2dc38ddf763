#include "shell/ServerNames.h"

#include "shell/TabrixError.h"

QString BacktickQuoted(const QString& name)
{
    QString out;
    out.reserve(name.size() + 2);
    out += QLatin1Char('`');
    for (const QChar c : name) {
        if (c == QLatin1Char('`'))
            out += QLatin1Char('`');
        out += c;
    }
    out += QLatin1Char('`');
    return out;
}

QString DoubleQuoted(const QString& name)
{
    QString out;
    out.reserve(name.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : name) {
        if (c == QLatin1Char('"'))
            out += QLatin1Char('"');
        out += c;
    }
    out += QLatin1Char('"');
    return out;
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
        const bool ok = digit || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || u == u'_' || u == u'$'
            || u >= 0x80;
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

bool IsConnectionLost(const TabrixError& error)
{
    return error.number() == TabrixError::ServerErrorNumber && error.description().startsWith(QLatin1String("08"));
}
