// The server connection over the unixODBC C API: a thin RAII layer whose
// handles are freed in noexcept destructors. sql.h stays in this file.
//
// Errors: every failing ODBC call raises TabrixError(40002, "<state>:<text>",
// "ODBC") from the first diagnostic record, e.g.
//   S0002:[ma-3.1.15][10.11.19-MariaDB]Table 'qel.x' doesn't exist
// Environments ask for ODBC 2 behaviour, so the driver manager reports the 2.x
// states the callers look for ("S0002", "S1000", "S0021").
//
// Description() reads "<driver> <driver version> / <DBMS> <DBMS version>" as
// the driver reports them (on MySQL and MariaDB the version is the server's
// own VERSION() text), e.g.
//   libmaodbc.so 03.01.0015 / MariaDB 10.11.19-MariaDB-0+deb12u1

#include "core/TabrixError.h"
#include "server/ServerConnection.h"

#include <QByteArray>
#include <QList>
#include <QSet>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <optional>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
#include <utility>
#include <vector>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC must use 16-bit SQLWCHAR (UTF-16)");

namespace {

const QString OdbcSource = QStringLiteral("ODBC");

SQLWCHAR* wide(const QString& text)
{
    // ODBC declares input strings non-const but never writes to them.
    return reinterpret_cast<SQLWCHAR*>(const_cast<ushort*>(text.utf16()));
}

QString fromWide(const SQLWCHAR* text, qsizetype length)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

bool succeeded(SQLRETURN rc)
{
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// "<state>:<message>" of the handle's first diagnostic record.
QString diagnostic(SQLSMALLINT handleType, SQLHANDLE handle, SQLRETURN rc)
{
    SQLWCHAR state[6] = {};
    SQLINTEGER nativeError = 0;
    QList<SQLWCHAR> message(512);
    SQLSMALLINT length = 0;
    SQLRETURN diag = SQLGetDiagRecW(handleType, handle, 1, state, &nativeError, message.data(),
                                    SQLSMALLINT(message.size()), &length);
    if (diag == SQL_SUCCESS_WITH_INFO && length >= message.size()) {
        message.resize(length + 1);
        diag = SQLGetDiagRecW(handleType, handle, 1, state, &nativeError, message.data(), SQLSMALLINT(message.size()),
                              &length);
    }
    if (!succeeded(diag))
        return QStringLiteral("S1000:ODBC call failed with return code %1").arg(rc);
    return fromWide(state, 5) + QLatin1Char(':')
        + fromWide(message.data(), qMin<qsizetype>(length, message.size() - 1));
}

[[noreturn]] void raise(const QString& description)
{
    throw TabrixError(TabrixError::ServerErrorNumber, description, OdbcSource);
}

void checkHandle(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle)
{
    if (!succeeded(rc))
        raise(diagnostic(handleType, handle, rc));
}

// Handle owners. A connection keeps its environment handle alive and a
// statement its connection handle, so a result set may outlive the objects
// that made it without touching freed handles.
struct EnvHandle {
    SQLHENV handle = SQL_NULL_HENV;
    EnvHandle()
    {
        if (!succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle)))
            raise(QStringLiteral("S1000:could not allocate an ODBC environment"));
        const SQLRETURN rc =
            SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC2), 0);
        if (!succeeded(rc)) {
            const QString error = diagnostic(SQL_HANDLE_ENV, handle, rc);
            SQLFreeHandle(SQL_HANDLE_ENV, handle);
            raise(error);
        }
    }
    ~EnvHandle() noexcept { SQLFreeHandle(SQL_HANDLE_ENV, handle); }
    EnvHandle(const EnvHandle&) = delete;
    EnvHandle& operator=(const EnvHandle&) = delete;
};

struct DbcHandle {
    std::shared_ptr<EnvHandle> env;
    SQLHDBC handle = SQL_NULL_HDBC;
    bool connected = false;
    // Texts are read as the server's UTF-8 bytes: MariaDB Connector/ODBC 3.1
    // miscounts wide texts that hold "Ø", "Ù", "Ú" or "Û" and cuts them.
    bool textAsUtf8 = false;
    explicit DbcHandle(std::shared_ptr<EnvHandle> e) : env(std::move(e))
    {
        checkHandle(SQLAllocHandle(SQL_HANDLE_DBC, env->handle, &handle), SQL_HANDLE_ENV, env->handle);
    }
    ~DbcHandle() noexcept
    {
        if (connected)
            SQLDisconnect(handle);
        SQLFreeHandle(SQL_HANDLE_DBC, handle);
    }
    DbcHandle(const DbcHandle&) = delete;
    DbcHandle& operator=(const DbcHandle&) = delete;
};

struct StmtHandle {
    std::shared_ptr<DbcHandle> dbc;
    SQLHSTMT handle = SQL_NULL_HSTMT;
    explicit StmtHandle(std::shared_ptr<DbcHandle> d) : dbc(std::move(d))
    {
        checkHandle(SQLAllocHandle(SQL_HANDLE_STMT, dbc->handle, &handle), SQL_HANDLE_DBC, dbc->handle);
    }
    ~StmtHandle() noexcept { SQLFreeHandle(SQL_HANDLE_STMT, handle); }
    StmtHandle(const StmtHandle&) = delete;
    StmtHandle& operator=(const StmtHandle&) = delete;

    void fail(SQLRETURN rc)
    {
        const QString error = diagnostic(SQL_HANDLE_STMT, handle, rc);
        SQLFreeStmt(handle, SQL_CLOSE);
        raise(error);
    }
    void check(SQLRETURN rc)
    {
        if (!succeeded(rc))
            fail(rc);
    }
    // Runs a statement; "no rows affected" is not an error.
    void execDirect(const QString& statement)
    {
        // MariaDB Connector/ODBC 3.1 miscounts a text of given length that holds
        // a character whose low byte is 0xD8 to 0xDB ("Ø", "Ù", "Ú", "Û" ...) and
        // reads past its end; a terminated text it measures right. Only a
        // statement with a NUL character in it needs its length.
        const SQLINTEGER length = statement.contains(QChar(u'\0')) ? SQLINTEGER(statement.size()) : SQL_NTS;
        const SQLRETURN rc = SQLExecDirectW(handle, wide(statement), length);
        if (!succeeded(rc) && rc != SQL_NO_DATA)
            fail(rc);
    }
};

// A column as the bytes the server sends; nothing for NULL.
std::optional<QByteArray> readBytes(StmtHandle& stmt, SQLUSMALLINT column)
{
    QByteArray value;
    char buffer[4096];
    SQLLEN indicator = 0;
    SQLRETURN rc;
    while ((rc = SQLGetData(stmt.handle, column, SQL_C_BINARY, buffer, sizeof buffer, &indicator)) != SQL_NO_DATA) {
        stmt.check(rc);
        if (indicator == SQL_NULL_DATA)
            return std::nullopt;
        const bool truncated = indicator == SQL_NO_TOTAL || indicator > SQLLEN(sizeof buffer);
        value.append(buffer, truncated ? qsizetype(sizeof buffer) : qsizetype(indicator));
        if (!truncated)
            break;
    }
    return value;
}

// Column `column` (1-based) of the current row, converted by its SQL type.
QVariant readColumn(StmtHandle& stmt, SQLUSMALLINT column)
{
    SQLSMALLINT sqlType = 0;
    SQLRETURN rc = SQLDescribeColW(stmt.handle, column, nullptr, 0, nullptr, &sqlType, nullptr, nullptr, nullptr);
    stmt.check(rc);
    SQLLEN indicator = 0;
    switch (sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT: {
        SQLLEN isUnsigned = SQL_FALSE;
        if (sqlType == SQL_BIGINT)
            stmt.check(SQLColAttributeW(stmt.handle, column, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned));
        if (isUnsigned == SQL_TRUE) {
            SQLUBIGINT value = 0;
            stmt.check(SQLGetData(stmt.handle, column, SQL_C_UBIGINT, &value, sizeof value, &indicator));
            return indicator == SQL_NULL_DATA ? QVariant() : QVariant(qulonglong(value));
        }
        SQLBIGINT value = 0;
        stmt.check(SQLGetData(stmt.handle, column, SQL_C_SBIGINT, &value, sizeof value, &indicator));
        return indicator == SQL_NULL_DATA ? QVariant() : QVariant(qlonglong(value));
    }
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE: {
        double value = 0;
        stmt.check(SQLGetData(stmt.handle, column, SQL_C_DOUBLE, &value, sizeof value, &indicator));
        return indicator == SQL_NULL_DATA ? QVariant() : QVariant(value);
    }
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: {
        const std::optional<QByteArray> value = readBytes(stmt, column);
        return value ? QVariant(*value) : QVariant();
    }
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        if (stmt.dbc->textAsUtf8) {
            const std::optional<QByteArray> value = readBytes(stmt, column);
            return value ? QVariant(QString::fromUtf8(*value)) : QVariant();
        }
        [[fallthrough]];
    default: {
        // Text, and everything whose exact value a text keeps (decimals, dates).
        QString value;
        SQLWCHAR buffer[2048];
        constexpr SQLLEN capacity = sizeof buffer;
        constexpr SQLLEN unit = sizeof(SQLWCHAR);
        while ((rc = SQLGetData(stmt.handle, column, SQL_C_WCHAR, buffer, capacity, &indicator)) != SQL_NO_DATA) {
            stmt.check(rc);
            if (indicator == SQL_NULL_DATA)
                return QVariant();
            // A chunk fills the buffer minus its terminator whenever more follows.
            const bool truncated = indicator == SQL_NO_TOTAL || indicator >= capacity;
            value.append(fromWide(buffer, truncated ? capacity / unit - 1 : indicator / unit));
            if (!truncated)
                break;
        }
        return value;
    }
    }
}

class OdbcResultSet : public ServerResultSet {
public:
    OdbcResultSet(std::shared_ptr<DbcHandle> dbc, const QString& query)
    {
        // The whole first row is read at once: columns can then be read in any
        // order and the statement handle goes back to the driver straight away.
        StmtHandle stmt(std::move(dbc));
        stmt.execDirect(query);
        SQLSMALLINT columns = 0;
        stmt.check(SQLNumResultCols(stmt.handle, &columns));
        if (columns > 0) {
            const SQLRETURN rc = SQLFetch(stmt.handle);
            if (rc != SQL_NO_DATA) {
                stmt.check(rc);
                m_hasRow = true;
                m_row.reserve(columns);
                for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columns); ++c)
                    m_row.append(readColumn(stmt, c));
            }
        }
        SQLFreeStmt(stmt.handle, SQL_CLOSE);
    }

    QVariant Value(int column) const override
    {
        if (m_closed)
            raise(QStringLiteral("S1010:the result set is closed"));
        if (!m_hasRow)
            raise(QStringLiteral("S1109:the query returned no row"));
        if (column < 0 || column >= m_row.size())
            raise(QStringLiteral("S1002:no column %1 in the result set").arg(column));
        return m_row.at(column);
    }

    void Close() override
    {
        m_closed = true;
        m_row.clear();
    }

private:
    QList<QVariant> m_row;
    bool m_hasRow = false;
    bool m_closed = false;
};

QString infoText(SQLHDBC dbc, SQLUSMALLINT item)
{
    SQLWCHAR buffer[512] = {};
    SQLSMALLINT length = 0;
    if (!succeeded(SQLGetInfoW(dbc, item, buffer, sizeof buffer, &length)))
        return QString();
    return fromWide(buffer, qMin<qsizetype>(length / SQLSMALLINT(sizeof(SQLWCHAR)), std::size(buffer) - 1));
}

// Reads the current row's text column (1-based) of a catalogue result.
QString catalogueText(StmtHandle& stmt, SQLUSMALLINT column)
{
    return readColumn(stmt, column).toString();
}

static_assert(sizeof(SQLLEN) == sizeof(ParameterLength), "array lengths must bind as SQLLEN");
static_assert(ParameterArray::NullLength == SQL_NULL_DATA);
static_assert(sizeof(ParameterTimestamp) == sizeof(SQL_TIMESTAMP_STRUCT)
                  && offsetof(ParameterTimestamp, second) == offsetof(SQL_TIMESTAMP_STRUCT, second)
                  && offsetof(ParameterTimestamp, fraction) == offsetof(SQL_TIMESTAMP_STRUCT, fraction),
              "timestamps must bind as SQL_TIMESTAMP_STRUCT");

// A prepared INSERT whose rows go as parameter arrays, column-wise.
//
// Seen with MariaDB Connector/ODBC 3.1.15 and MariaDB 10.11: the arrays work
// in an environment opened for ODBC 2 (the driver manager passes the ODBC 3
// attributes and SQL_C_TYPE_TIMESTAMP through). Column-wise arrays of more
// than one row go as one bulk command. When the server refuses a row, the
// whole execute fails with that row's error, no row counts as processed and
// every status reads "diagnostics unavailable" (the driver fills the array
// bytewise, so each entry holds 257, no status at all); InnoDB then holds
// none of the array's rows, MyISAM the rows before the refused one. Row-wise
// arrays go one execute per row and stop at the first refused row, which the
// call reports as a warning; the rows after it keep the status they had.
class OdbcArrayStatement final : public ServerArrayStatement {
public:
    OdbcArrayStatement(std::shared_ptr<DbcHandle> dbc, const QString& sql, const QList<ParameterType>& columns,
                       int maxRows, ParameterArray::TextForm texts, qsizetype maxPayload)
        : ServerArrayStatement(sql, columns, maxRows, texts, maxPayload)
        , m_timestampText(size_t(columns.size()))
        , m_status(size_t(maxRows))
        , m_stmt(std::move(dbc))
    {
        // Terminated (see execDirect).
        m_stmt.check(SQLPrepareW(m_stmt.handle, wide(sql), SQL_NTS));
        setAttribute(SQL_ATTR_PARAM_BIND_TYPE, SQL_PARAM_BIND_BY_COLUMN);
        m_stmt.check(SQLSetStmtAttr(m_stmt.handle, SQL_ATTR_PARAM_STATUS_PTR, m_status.data(), 0));
        m_stmt.check(SQLSetStmtAttr(m_stmt.handle, SQL_ATTR_PARAMS_PROCESSED_PTR, &m_processed, 0));
    }

    QList<ArrayRowState> Execute(const ParameterArray& rows) override
    {
        checkColumns(rows);
        const int n = rows.Rows();
        if (n == 0)
            return {};
        if (size_t(n) > m_status.size()) {
            m_status.resize(size_t(n));
            m_stmt.check(SQLSetStmtAttr(m_stmt.handle, SQL_ATTR_PARAM_STATUS_PTR, m_status.data(), 0));
        }
        setAttribute(SQL_ATTR_PARAMSET_SIZE, SQLULEN(n));
        for (int c = 0; c < rows.Columns().size(); ++c)
            bind(rows, c);
        // A row the driver leaves untouched was not sent.
        std::fill(m_status.begin(), m_status.begin() + n, SQLUSMALLINT(SQL_PARAM_UNUSED));
        const SQLRETURN rc = SQLExecute(m_stmt.handle);
        if (!succeeded(rc) && rc != SQL_NO_DATA)
            m_stmt.fail(rc);
        SQLFreeStmt(m_stmt.handle, SQL_CLOSE);
        // The buffers bound go with the array, which the caller may free or
        // refill: nothing stays bound to them (every execute binds anew).
        SQLFreeStmt(m_stmt.handle, SQL_RESET_PARAMS);
        QList<ArrayRowState> states(n);
        for (int r = 0; r < n; ++r) {
            switch (m_status[size_t(r)]) {
            case SQL_PARAM_SUCCESS:
            case SQL_PARAM_SUCCESS_WITH_INFO:
                states[r] = ArrayRowState::Stored;
                break;
            case SQL_PARAM_ERROR:
                states[r] = ArrayRowState::Refused;
                break;
            case SQL_PARAM_UNUSED:
                states[r] = ArrayRowState::NotSent;
                break;
            default:
                states[r] = ArrayRowState::Unknown;
            }
        }
        return states;
    }

private:
    void setAttribute(SQLINTEGER attribute, SQLULEN value)
    {
        m_stmt.check(SQLSetStmtAttr(m_stmt.handle, attribute, reinterpret_cast<SQLPOINTER>(value), 0));
    }

    // Binds the array's buffers of a column, anew for every execute: the
    // caller may alternate between arrays.
    void bind(const ParameterArray& rows, int c)
    {
        const qsizetype width = rows.Width(c);
        SQLSMALLINT cType = SQL_C_CHAR;
        SQLSMALLINT sqlType = SQL_VARCHAR;
        SQLULEN size = SQLULEN(std::max<qsizetype>(width, 1));
        switch (rows.Columns()[c]) {
        case ParameterType::Whole:
            cType = SQL_C_SBIGINT;
            sqlType = SQL_BIGINT;
            size = 19;
            break;
        case ParameterType::Decimal:
            // A text, which the server converts exactly as it reads a literal
            // (SQL_C_NUMERIC lost digits beyond a double's with MariaDB's driver).
            break;
        case ParameterType::Double:
            cType = SQL_C_DOUBLE;
            sqlType = SQL_DOUBLE;
            size = 15;
            break;
        case ParameterType::Timestamp:
            // As the text of the literal ("2024-01-31 12:00:00"), which the
            // server reads as it reads the literal: MariaDB Connector/ODBC
            // 3.1 keeps about 40 bytes of every SQL_C_TYPE_TIMESTAMP value of
            // an array to the end of the process.
            bindTimestampText(rows, c);
            return;
        case ParameterType::Text:
            if (rows.Texts() == ParameterArray::TextForm::Utf8) {
                sqlType = SQL_LONGVARCHAR;
            } else {
                cType = SQL_C_WCHAR;
                sqlType = SQL_WLONGVARCHAR;
                size = SQLULEN(std::max<qsizetype>(width / 2, 1));
            }
            break;
        case ParameterType::Binary:
            cType = SQL_C_BINARY;
            sqlType = SQL_LONGVARBINARY;
            break;
        }
        // ODBC takes the buffers as non-const; it only reads input parameters.
        m_stmt.check(SQLBindParameter(m_stmt.handle, SQLUSMALLINT(c + 1), SQL_PARAM_INPUT, cType, sqlType, size, 0,
                                      const_cast<void*>(rows.Data(c)), SQLLEN(width),
                                      const_cast<SQLLEN*>(rows.Lengths(c))));
    }

    void bindTimestampText(const ParameterArray& rows, int c)
    {
        constexpr qsizetype width = 19;  // yyyy-MM-dd hh:mm:ss
        const int n = rows.Rows();
        TimestampText& text = m_timestampText[size_t(c)];
        text.chars.resize(size_t(n) * width);
        text.lengths.resize(size_t(n));
        const ParameterLength* lengths = rows.Lengths(c);
        for (int r = 0; r < n; ++r) {
            if (lengths[r] == ParameterArray::NullLength) {
                text.lengths[size_t(r)] = SQL_NULL_DATA;
                continue;
            }
            ParameterTimestamp t;
            std::memcpy(&t, static_cast<const char*>(rows.Data(c)) + size_t(r) * size_t(rows.Width(c)), sizeof t);
            // Fields in their ranges: a Timestamp value holds a calendar date and a time of day.
            char* out = text.chars.data() + size_t(r) * width;
            const auto put = [&out](unsigned value, int digits, char after) {
                for (int i = digits - 1; i >= 0; --i, value /= 10)
                    out[i] = char('0' + value % 10);
                out += digits;
                if (after)
                    *out++ = after;
            };
            put(unsigned(t.year), 4, '-');
            put(t.month, 2, '-');
            put(t.day, 2, ' ');
            put(t.hour, 2, ':');
            put(t.minute, 2, ':');
            put(t.second, 2, 0);
            text.lengths[size_t(r)] = width;
        }
        m_stmt.check(SQLBindParameter(m_stmt.handle, SQLUSMALLINT(c + 1), SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                      width, 0, text.chars.data(), width, text.lengths.data()));
    }

    // Declared first so that they outlive the handle that points at them.
    struct TimestampText {
        std::vector<char> chars;
        std::vector<SQLLEN> lengths;
    };
    std::vector<TimestampText> m_timestampText;
    std::vector<SQLUSMALLINT> m_status;
    SQLULEN m_processed = 0;
    StmtHandle m_stmt;
};

class OdbcConnection final : public ServerConnection {
public:
    OdbcConnection(std::shared_ptr<EnvHandle> env, const QString& dataSource, const QString& user,
                   const QString& password)
        : m_dbc(std::make_shared<DbcHandle>(std::move(env)))
        , m_dataSource(dataSource)
    {
        // Terminated texts (see execDirect): a password with an "Ø" is read right.
        const SQLRETURN rc =
            SQLConnectW(m_dbc->handle, wide(dataSource), SQL_NTS, wide(user), SQL_NTS, wide(password), SQL_NTS);
        checkHandle(rc, SQL_HANDLE_DBC, m_dbc->handle);
        m_dbc->connected = true;
        m_stmt = std::make_unique<StmtHandle>(m_dbc);

        m_dbmsName = infoText(m_dbc->handle, SQL_DBMS_NAME);
        const QString& dbms = m_dbmsName;
        QString version = infoText(m_dbc->handle, SQL_DBMS_VER);
        if (dbms.contains(QLatin1String("mysql"), Qt::CaseInsensitive)
            || dbms.contains(QLatin1String("mariadb"), Qt::CaseInsensitive)) {
            // Access tables are created with ENGINE=BDB, which MariaDB and MySQL
            // no longer have: let the server substitute its default engine
            // instead of refusing the table. The mode list is wrapped in commas
            // so that the entry goes without leaving an empty one behind.
            Execute(QStringLiteral("SET SESSION sql_mode = TRIM(BOTH ',' FROM REPLACE(CONCAT(',', "
                                   "@@SESSION.sql_mode, ','), ',NO_ENGINE_SUBSTITUTION,', ','))"),
                    rdExecDirect);
            // Access allows 255 columns: a table with many Text columns exceeds
            // InnoDB's largest row on paper, and in strict mode the server
            // refuses the whole table. Otherwise it is created and each row is
            // judged by its actual size.
            try {
                Execute(QStringLiteral("SET SESSION innodb_strict_mode = OFF"), rdExecDirect);
            } catch (const TabrixError&) {
                // A server without InnoDB: nothing to relax.
            }
            // One round trip for what the session needs to know of the server.
            const OdbcResultSet facts(m_dbc,
                                      QStringLiteral("SELECT @@character_set_results, VERSION(), "
                                                     "@@max_allowed_packet, @@character_set_client"));
            m_dbc->textAsUtf8 = facts.Value(0).toString().startsWith(QLatin1String("utf8"), Qt::CaseInsensitive);
            // The driver misreads wide texts as parameters, with a length or
            // terminated: it takes an "Ø" (any character whose low byte is
            // 0xD8 to 0xDB) and the character after it for one, and so reads
            // past the text's end. Texts go as the session's UTF-8 bytes
            // instead, which it passes on untouched, NUL characters included.
            // In a session of another character set they cannot go as
            // parameters at all.
            m_parameterTexts.reset();
            if (facts.Value(3).toString().startsWith(QLatin1String("utf8"), Qt::CaseInsensitive))
                m_parameterTexts = ParameterArray::TextForm::Utf8;
            // The driver reports the version as "10.11.000019"; the server's own
            // text also names the build.
            version = facts.Value(1).toString();
            m_maxStatementBytes = facts.Value(2).toLongLong();
        }
        m_description =
            QStringLiteral("%1 %2 / %3 %4")
                .arg(infoText(m_dbc->handle, SQL_DRIVER_NAME), infoText(m_dbc->handle, SQL_DRIVER_VER), dbms, version);
    }

    void Execute(const QString& statement, int) override
    {
        // One statement handle serves every Execute: the row copy sends one
        // INSERT per row, and a fresh handle each time would be pure overhead.
        m_stmt->execDirect(statement);
        SQLRETURN rc;
        while (succeeded(rc = SQLMoreResults(m_stmt->handle))) {
        }
        if (rc != SQL_NO_DATA)
            m_stmt->fail(rc);
        SQLFreeStmt(m_stmt->handle, SQL_CLOSE);
    }

    std::unique_ptr<ServerResultSet> OpenResultset(const QString& query, int, int, int) override
    {
        // Forward-only and static sets behave alike: only the first row is read.
        return std::make_unique<OdbcResultSet>(m_dbc, query);
    }

    std::unique_ptr<ServerArrayStatement> PrepareArray(const QString& sql, const QList<ParameterType>& columns,
                                                       int maxRows) override
    {
        if (!m_parameterTexts && columns.contains(ParameterType::Text))
            raise(QStringLiteral("S1C00:texts cannot go as parameters in this session's character set"));
        // A kilobyte for the command's own fields, as for a statement.
        const qsizetype payload =
            m_maxStatementBytes > 0 ? std::max<qint64>(m_maxStatementBytes - 1024 - 2 * columns.size(), 1) : 0;
        return std::make_unique<OdbcArrayStatement>(m_dbc, sql, columns, std::max(maxRows, 1),
                                                    m_parameterTexts.value_or(ParameterArray::TextForm::Utf16),
                                                    payload);
    }

    QString Name() const override { return m_dataSource; }
    QString Description() const override { return m_description; }
    qint64 MaxStatementBytes() const override { return m_maxStatementBytes; }
    QString DbmsName() const override { return m_dbmsName; }

    ServerTable CatalogueTable(const QString& name) override
    {
        ServerTable table;
        QString catalog;
        bool found = false;
        {
            // Every table and view of the current database; the match ignores
            // case but prefers the exact spelling when the server has both.
            StmtHandle stmt(m_dbc);
            stmt.check(SQLTablesW(stmt.handle, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0));
            SQLRETURN rc;
            while ((rc = SQLFetch(stmt.handle)) != SQL_NO_DATA) {
                stmt.check(rc);
                const QString tableName = catalogueText(stmt, 3);
                if (tableName.compare(name, Qt::CaseInsensitive) != 0)
                    continue;
                if (!found || tableName == name) {
                    table.Name = tableName;
                    catalog = catalogueText(stmt, 1);
                    found = true;
                }
                if (tableName == name)
                    break;
            }
        }
        if (!found)
            raise(QStringLiteral("S0002:Table '%1' not found in the server's catalogue").arg(name));

        // The table name is a search pattern here ('_' matches any character),
        // so only rows of exactly this table are kept.
        StmtHandle stmt(m_dbc);
        const bool hasCatalog = !catalog.isEmpty();
        stmt.check(SQLColumnsW(stmt.handle, hasCatalog ? wide(catalog) : nullptr, hasCatalog ? SQL_NTS : 0, nullptr, 0,
                               wide(table.Name), SQL_NTS, nullptr, 0));
        SQLRETURN rc;
        while ((rc = SQLFetch(stmt.handle)) != SQL_NO_DATA) {
            stmt.check(rc);
            if (catalogueText(stmt, 3) == table.Name)
                table.Columns.append(catalogueText(stmt, 4));
        }
        return table;
    }

private:
    std::shared_ptr<DbcHandle> m_dbc;
    std::unique_ptr<StmtHandle> m_stmt;
    QString m_dataSource;
    QString m_description;
    QString m_dbmsName;
    qint64 m_maxStatementBytes = 0;
    // How texts go as parameters; none where they cannot.
    std::optional<ParameterArray::TextForm> m_parameterTexts = ParameterArray::TextForm::Utf16;
};

// Names of the live environments of this process, compared without regard
// to case like the keys of a collection.
std::mutex registryMutex;
QSet<QString>& liveEnvironmentNames()
{
    static QSet<QString> names;
    return names;
}

class OdbcEnvironment : public ServerEnvironment {
public:
    OdbcEnvironment(const QString& name, const QString& user, const QString& password)
        : m_name(name)
        , m_key(name.toCaseFolded())
        , m_user(user)
        , m_password(password)
    {
        {
            const std::lock_guard lock(registryMutex);
            if (liveEnvironmentNames().contains(m_key))
                throw TabrixError(457, QStringLiteral("An environment named '%1' already exists").arg(name),
                                  OdbcSource);
            liveEnvironmentNames().insert(m_key);
        }
        try {
            m_env = std::make_shared<EnvHandle>();
        } catch (...) {
            release();
            throw;
        }
    }
    ~OdbcEnvironment() override { release(); }

    QString Name() const override { return m_name; }
    void SetUserName(const QString& user) override { m_user = user; }
    void SetPassword(const QString& password) override { m_password = password; }
    void SetCursorDriver(int driver) override { m_cursorDriver = driver; }
    int CursorDriver() const override { return m_cursorDriver; }

    std::unique_ptr<ServerConnection> OpenConnection(const QString& dataSourceName) override
    {
        return std::make_unique<OdbcConnection>(m_env, dataSourceName, m_user, m_password);
    }

private:
    void release() noexcept
    {
        const std::lock_guard lock(registryMutex);
        liveEnvironmentNames().remove(m_key);
    }

    QString m_name;
    QString m_key;
    QString m_user;
    QString m_password;
    int m_cursorDriver = 0;
    std::shared_ptr<EnvHandle> m_env;
};

}  // namespace

std::unique_ptr<ServerEnvironment> ServerEnvironment::Create(const QString& name, const QString& user,
                                                             const QString& password)
{
    return std::make_unique<OdbcEnvironment>(name, user, password);
}
