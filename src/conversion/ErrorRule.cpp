#include "conversion/ErrorRule.h"

#include "server/ServerErrors.h"

ConversionErrorVerdict JudgeConversionError(const TabrixError& error, Dialect dialect, bool afterCreation)
{
    if (IsConnectionLost(error))
        return ConversionErrorVerdict::ConnectionLost;
    const QString& text = error.description();
    // Index already there: nothing to report.
    if ((dialect == Dialect::Oracle && text.contains(QLatin1String("42S11")))
        || (dialect == Dialect::DB2 && text.contains(QLatin1String("SQL0605W"))))
        return ConversionErrorVerdict::Tolerated;
    return afterCreation ? ConversionErrorVerdict::Reported : ConversionErrorVerdict::ReportedAndEnds;
}

TabrixError AsTabrixError(const std::exception& error)
{
    return TabrixError(5, QString::fromLocal8Bit(error.what()), QStringLiteral("SQL-Tabrix"));
}

QString ConnectionLostLogLine(const QString& table, const QString& serverText)
{
    return QStringLiteral("Verbindung zum SQL-Server verloren, Tabelle ") + table + QStringLiteral(": ") + serverText;
}

QString ConversionStepName(bool afterCreation)
{
    return afterCreation ? QStringLiteral("Indexerstellung / Datenübernahme") : QStringLiteral("Anlegen der Tabelle");
}
