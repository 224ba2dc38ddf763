#pragma once

// The server connection as the program uses it: named environments that open
// connections on an ODBC data source, direct execution, one-row result sets
// and the table catalogue. Every failure is raised as TabrixError; a server
// error has number 40002 and a description that begins with the ODBC state
// and a colon ("S0002:[ma-3.1.15][10.11.19-MariaDB]Table 'qel.x' doesn't exist").
//
// The interface is abstract so that tests can stand a recording connection in
// for the dialects that have no server here.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <memory>

// Result-set types and options used by the program.
constexpr int rdOpenForwardOnly = 0;
constexpr int rdOpenStatic = 3;
constexpr int rdConcurReadOnly = 1;
constexpr int rdExecDirect = 64;

class ServerResultSet {
public:
    virtual ~ServerResultSet() = default;
    // Column `column` (0-based) of the first row; null when the column is SQL NULL.
    // Raises when the query returned no row.
    virtual QVariant Value(int column) const = 0;
    virtual void Close() = 0;
};

// One table of the server's catalogue.
struct ServerTable {
    QString Name;         // as the server spells it
    QStringList Columns;  // column names in the server's order
};

class ServerConnection {
public:
    virtual ~ServerConnection() = default;

    // Executes a statement directly (options 64: no preparation).
    virtual void Execute(const QString& statement, int options = rdExecDirect) = 0;

    // Runs a query and keeps its first row.
    virtual std::unique_ptr<ServerResultSet>
    OpenResultset(const QString& query, int type, int lockType = rdConcurReadOnly, int options = rdExecDirect) = 0;

    // First text property: the data-source name the connection was opened on.
    virtual QString Name() const = 0;
    // Second text property: driver and the server's product and version.
    virtual QString Description() const = 0;
    // The longest statement the server takes, in bytes (MySQL's and MariaDB's
    // max_allowed_packet, read when the connection opened); 0 when unknown.
    virtual qint64 MaxStatementBytes() const { return 0; }
    // The server's product as the driver names it at the login (ODBC's
    // SQL_DBMS_NAME, e.g. "MariaDB"); empty when unknown.
    virtual QString DbmsName() const { return {}; }

    // Table catalogue: refreshes it and returns the table of that name,
    // ignoring case, with its columns; raises TabrixError when there is none.
    virtual ServerTable CatalogueTable(const QString& name) = 0;

    // Tells this connection from every other of the process, also from a
    // later one that happens to live at the same address.
    quint64 LoginNumber() const { return m_loginNumber; }

private:
    inline static std::atomic<quint64> s_logins{0};
    const quint64 m_loginNumber = ++s_logins;
};

class ServerEnvironment {
public:
    virtual ~ServerEnvironment() = default;

    // A new named environment. Raises TabrixError when an environment of that
    // name exists in this process.
    static std::unique_ptr<ServerEnvironment> Create(const QString& name, const QString& user, const QString& password);

    virtual QString Name() const = 0;
    virtual void SetUserName(const QString& user) = 0;
    virtual void SetPassword(const QString& password) = 0;
    virtual void SetCursorDriver(int driver) = 0;
    virtual int CursorDriver() const = 0;

    // Opens a connection on the data source with the environment's user and
    // password, never prompting. Raises TabrixError on any failure.
    virtual std::unique_ptr<ServerConnection> OpenConnection(const QString& dataSourceName) = 0;
};
