#pragma once

// A plain ODBC client for tests: looks at the test server behind the
// program's back (prepares tables, reads rows back).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

class ServerProbe {
public:
    // Connects to QELSQL (or the data source given) on the test server; throws std::runtime_error when it can't.
    explicit ServerProbe(const QString& dataSource = {});
    ~ServerProbe();
    ServerProbe(const ServerProbe&) = delete;
    ServerProbe& operator=(const ServerProbe&) = delete;

    // Runs a statement; throws std::runtime_error with the driver's text on failure.
    void exec(const QString& sql);
    // Same, ignoring any error.
    void tryExec(const QString& sql);
    // Every row of a query: binary columns as QByteArray, others as QString, NULL as null QVariant.
    QList<QList<QVariant>> rows(const QString& sql);
    QVariant scalar(const QString& sql);

    // Drops every table and view of the test database.
    void dropAllTables();

private:
    void* m_env = nullptr;
    void* m_dbc = nullptr;
};
