#pragma once

#include <QList>
#include <QString>

// The server dialect chosen with the main window's option buttons.
enum class Dialect { MSSQL, MySQL, Oracle, Sybase, DB2 };

// Every dialect, in the order of the main window's buttons.
inline const QList<Dialect>& AllDialects()
{
    static const QList<Dialect> all{Dialect::MSSQL, Dialect::Oracle, Dialect::Sybase, Dialect::MySQL, Dialect::DB2};
    return all;
}

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
    // The server reads a backslash in a string literal as an escape character.
    bool doublesBackslashes() const { return dialect == Dialect::MySQL || sybaseOnLinux(); }
    // Sybase reports warnings such as "null value eliminated" as errors of state S1000.
    bool toleratesError(const QString& description) const
    {
        return dialect == Dialect::Sybase && description.startsWith(QLatin1String("S1000:"));
    }
    // Oracle and DB2 keep unquoted names in upper case.
    bool upperCaseNames() const { return dialect == Dialect::Oracle || dialect == Dialect::DB2; }
};
