#include "server/ServerErrors.h"

bool IsConnectionLost(const TabrixError& error)
{
    return error.number() == TabrixError::ServerErrorNumber && error.description().startsWith(QLatin1String("08"));
}

TabrixError NoConnectionError()
{
    return TabrixError(TabrixError::ServerErrorNumber, QStringLiteral("08003:Keine Verbindung zum SQL-Server"),
                       QStringLiteral("ODBC"));
}

QString ConnectionLostMessage(const QString& serverText)
{
    return QStringLiteral("Die Verbindung zum SQL-Server ist abgebrochen:\r\n") + serverText
        + QStringLiteral("\r\nBitte melden Sie sich neu an (SQL anmelden).");
}
