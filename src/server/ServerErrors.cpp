#include "server/ServerErrors.h"

bool IsConnectionLost(const TabrixError& error)
{
    return error.number() == TabrixError::ServerErrorNumber && error.description().startsWith(QLatin1String("08"));
}

bool IsDefiniteRefusal(const TabrixError& error)
{
    if (error.number() != TabrixError::ServerErrorNumber)
        return false;
    const QString& text = error.description();
    for (const char* state : {"22", "23", "42", "37", "21", "S0"})
        if (text.startsWith(QLatin1String(state)))
            return true;
    // A general error counts when the server itself speaks: its text comes
    // after the driver's tag and the server's ("[driver][server]…").
    if (text.startsWith(QLatin1String("S1000:")) || text.startsWith(QLatin1String("HY000:")))
        return text.indexOf(QLatin1String("]["), 6) > 0;
    return false;
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
