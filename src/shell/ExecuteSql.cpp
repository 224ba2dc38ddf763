#include "shell/ExecuteSql.h"

#include "shell/ServerConnection.h"
#include "shell/TabrixError.h"

void ExecuteSql(ServerConnection& connection, Dialect dialect, bool linuxSwitch, QString& statement)
{
    // The server reads a backslash in a literal as an escape character.
    if ((dialect == Dialect::MySQL || (dialect == Dialect::Sybase && linuxSwitch))
        && statement.contains(QLatin1Char('\\')))
        statement.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    try {
        connection.Execute(statement, rdExecDirect);
    } catch (const TabrixError& e) {
        // Sybase reports warnings such as "null value eliminated" as S1000.
        if (dialect == Dialect::Sybase && e.description().startsWith(QLatin1String("S1000:")))
            return;
        throw;
    }
}

bool IsModuleDataSource(const QString& dataSourceName)
{
    const QString prefix = dataSourceName.toUpper().left(5);
    return prefix == QLatin1String("TEVRA") || prefix == QLatin1String("MOLIX")
        || prefix == QLatin1String("DURNO");
}
