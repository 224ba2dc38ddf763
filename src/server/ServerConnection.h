#pragma once

// The server connection as the program uses it: named environments that open
// connections on an ODBC data source, direct execution, one-row result sets
// and the table catalogue. Every failure is raised as TabrixError; a server
// error has number 40002 and a description that begins with the ODBC state
// and a colon ("S0002:[ma-3.1.15][10.11.19-MariaDB]Table 'qel.x' doesn't exist").
//
// The interface is abstract so that tests can stand a recording connection in
// for the dialects that have no server here.

#include "server/ParameterArray.h"

#include <QList>
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

// What became of one row of an executed array, as the driver's status array says.
enum class ArrayRowState {
    Stored,   // SQL_PARAM_SUCCESS or SQL_PARAM_SUCCESS_WITH_INFO
    Refused,  // SQL_PARAM_ERROR
    NotSent,  // SQL_PARAM_UNUSED, or left untouched by the driver
    Unknown,  // SQL_PARAM_DIAG_UNAVAILABLE, or no status at all
};

// A prepared statement whose parameters go as arrays of rows, one execute for
// all rows of an array. It keeps the connection's handles alive. While one
// thread executes, no other may use this statement or its connection; an
// array being executed must not change, another one may be filled meanwhile.
class ServerArrayStatement {
public:
    virtual ~ServerArrayStatement() = default;

    const QString& Text() const { return m_text; }
    const QList<ParameterType>& Columns() const { return m_columns; }
    // An empty array for this statement: its columns, up to the rows it was
    // prepared for, texts in the form the driver takes, and no more bytes
    // than the server takes in one command.
    ParameterArray NewArray(qsizetype maxBufferBytes = ParameterArray::DefaultBufferBytes) const
    {
        return ParameterArray(m_columns, m_maxRows, m_texts, m_maxPayload, maxBufferBytes);
    }

    // Sends the array's rows in one execute and returns what became of each.
    // Raises TabrixError (40002, "<state>:<text>") when the execute failed as
    // a whole: with MariaDB that is any refused row (the bulk command stops
    // and no row's status is known; InnoDB, which undoes a failed statement,
    // then holds none of the array's rows, MyISAM the rows before the refused
    // one), and a lost connection (class 08). An empty array sends nothing.
    virtual QList<ArrayRowState> Execute(const ParameterArray& rows) = 0;

protected:
    ServerArrayStatement(const QString& text, const QList<ParameterType>& columns, int maxRows,
                         ParameterArray::TextForm texts, qsizetype maxPayload)
        : m_text(text)
        , m_columns(columns)
        , m_maxRows(maxRows)
        , m_texts(texts)
        , m_maxPayload(maxPayload)
    {
    }
    // Raises std::invalid_argument unless the array was made for this statement's columns.
    void checkColumns(const ParameterArray& rows) const;

private:
    QString m_text;
    QList<ParameterType> m_columns;
    int m_maxRows;
    ParameterArray::TextForm m_texts;
    qsizetype m_maxPayload;
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

    // Prepares a statement with one parameter (?) per column, for arrays of up
    // to maxRows rows. Raises TabrixError when the server refuses the
    // statement, and (S1C00) where this connection cannot send arrays.
    virtual std::unique_ptr<ServerArrayStatement> PrepareArray(const QString& sql, const QList<ParameterType>& columns,
                                                               int maxRows);

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
