#include "conversion/ErrorRule.h"

#include "server/ServerErrors.h"
#include "sql/DialectRecord.h"

ConversionErrorVerdict JudgeConversionError(const TabrixError& error, Dialect dialect, bool afterCreation)
{
    if (IsConnectionLost(error))
        return ConversionErrorVerdict::ConnectionLost;
    const QString& text = error.description();
    // Index already there: nothing to report.
    const QStringView existing = DialectRecord(dialect).existingIndexError;
    if (!existing.isEmpty() && text.contains(existing))
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
