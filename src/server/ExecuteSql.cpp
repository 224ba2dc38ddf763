#include "server/ExecuteSql.h"

#include "core/TabrixError.h"
#include "server/ServerConnection.h"

void DoubleBackslashes(QString& statement)
{
    if (!statement.contains(QLatin1Char('\\')))
        return;
    if (!statement.contains(QLatin1Char('`'))) {
        statement.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        return;
    }
    // Names between grave accents keep their backslashes; literals are walked
    // so that a grave accent inside a text value is no name. A statement of
    // many rows is long: the walk writes through pointers.
    enum class In { Plain, Literal, DoubleQuoted, Name } in = In::Plain;
    QString out(statement.size() + statement.count(QLatin1Char('\\')), Qt::Uninitialized);
    QChar* to = out.data();
    for (const QChar c : std::as_const(statement)) {
        const char16_t u = c.unicode();
        switch (in) {
        case In::Plain:
            in = u == u'\'' ? In::Literal : u == u'"' ? In::DoubleQuoted : u == u'`' ? In::Name : In::Plain;
            break;
        case In::Literal:
            if (u == u'\'')
                in = In::Plain;
            break;
        case In::DoubleQuoted:
            if (u == u'"')
                in = In::Plain;
            break;
        case In::Name:
            if (u == u'`')
                in = In::Plain;
            break;
        }
        *to++ = c;
        if (u == u'\\' && in != In::Name)
            *to++ = c;
    }
    out.truncate(to - out.constData());
    statement = std::move(out);
}

bool DoublesBackslashes(const DialectOptions& options)
{
    return options.doublesBackslashes();
}

void ExecuteSql(ServerConnection& connection, const DialectOptions& options, QString statement)
{
    if (DoublesBackslashes(options))
        DoubleBackslashes(statement);
    ExecuteServerText(connection, options, statement);
}

void ExecuteServerText(ServerConnection& connection, const DialectOptions& options, const QString& text)
{
    try {
        connection.Execute(text, rdExecDirect);
    } catch (const TabrixError& e) {
        if (options.toleratesError(e.description()))
            return;
        throw;
    }
}

bool IsModuleDataSource(const QString& dataSourceName)
{
    const QString prefix = dataSourceName.toUpper().left(5);
    return prefix == QLatin1String("TEVRA") || prefix == QLatin1String("MOLIX") || prefix == QLatin1String("DURNO");
}
