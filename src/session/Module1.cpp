#include "session/Module1.h"

QString Module1::UnfinishedKey(const QString& dataSource, const QString& table)
{
    return dataSource.toUpper() + QLatin1Char('\n') + table.toLower();
}
