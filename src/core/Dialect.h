#pragma once

#include <QString>

// The server dialect chosen with the main window's option buttons.
enum class Dialect { MSSQL, MySQL, Oracle, Sybase, DB2 };

inline QString dialectName(Dialect d)
{
    switch (d) {
    case Dialect::MSSQL: return QStringLiteral("MSSQL");
    case Dialect::MySQL: return QStringLiteral("MySQL");
    case Dialect::Oracle: return QStringLiteral("Oracle");
    case Dialect::Sybase: return QStringLiteral("Sybase");
    case Dialect::DB2: return QStringLiteral("DB2");
    }
    return {};
}
