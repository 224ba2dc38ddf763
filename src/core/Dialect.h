#pragma once

#include <QString>

// The server dialect chosen with the main window's option buttons.
enum class Dialect { MSSQL, MySQL, Oracle, Sybase, DB2 };

inline QString dialectName(Dialect d)
{
    switch (d) {
    case Dialect::MSSQL:
        return QStringLiteral("MSSQL");
    case Dialect::MySQL:
        return QStringLiteral("MySQL");
    case Dialect::Oracle:
        return QStringLiteral("Oracle");
    case Dialect::Sybase:
        return QStringLiteral("Sybase");
    case Dialect::DB2:
        return QStringLiteral("DB2");
    }
    return {};
}

// The settings that decide how statements are spelled, read from the main
// window at the moment of use and passed in, never cached.
struct DialectOptions {
    Dialect dialect = Dialect::MSSQL;
    bool linuxSwitch = false;       // "Linux" checked (matters only with Sybase)
    bool moduleDataSource = false;  // IsModuleDataSource()

    bool sybaseOnLinux() const { return dialect == Dialect::Sybase && linuxSwitch; }
    // Oracle and DB2 keep unquoted names in upper case.
    bool upperCaseNames() const { return dialect == Dialect::Oracle || dialect == Dialect::DB2; }
};
