#include "ServerProbe.h"

#include "TestSupport.h"
#include "sql/Names.h"

#include <sql.h>
#include <sqlext.h>
#include <stdexcept>
#include <vector>

namespace {
QString diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    SQLWCHAR state[6] = {};
    SQLWCHAR text[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, 1, state, &native, text, 1024, &length)))
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(state)) + QLatin1Char(':')
            + QString::fromUtf16(reinterpret_cast<const char16_t*>(text));
    return QStringLiteral("unknown ODBC error");
}

const SQLWCHAR* wide(const QString& s)
{
    return reinterpret_cast<const SQLWCHAR*>(s.utf16());
}

void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle)
{
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        throw std::runtime_error(diagnostics(type, handle).toStdString());
}
}  // namespace

ServerProbe::ServerProbe(const QString& dataSource)
{
    SQLHENV env = SQL_NULL_HENV;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    m_env = env;
    m_dbc = dbc;
    const QString dsn = dataSource.isEmpty() ? TestServer::dataSource() : dataSource;
    const QString user = TestServer::user();
    const QString password = TestServer::password();
    check(SQLConnectW(dbc, const_cast<SQLWCHAR*>(wide(dsn)), SQL_NTS, const_cast<SQLWCHAR*>(wide(user)), SQL_NTS,
                      const_cast<SQLWCHAR*>(wide(password)), SQL_NTS),
          SQL_HANDLE_DBC, dbc);
}

ServerProbe::~ServerProbe()
{
    SQLDisconnect(static_cast<SQLHDBC>(m_dbc));
    SQLFreeHandle(SQL_HANDLE_DBC, static_cast<SQLHDBC>(m_dbc));
    SQLFreeHandle(SQL_HANDLE_ENV, static_cast<SQLHENV>(m_env));
}

void ServerProbe::exec(const QString& sql)
{
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, static_cast<SQLHDBC>(m_dbc), &stmt);
    const SQLRETURN rc = SQLExecDirectW(stmt, const_cast<SQLWCHAR*>(wide(sql)), SQL_NTS);
    QString error;
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        error = diagnostics(SQL_HANDLE_STMT, stmt);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    if (!error.isEmpty())
        throw std::runtime_error((error + QStringLiteral(" in: ") + sql).toStdString());
}

void ServerProbe::tryExec(const QString& sql)
{
    try {
        exec(sql);
    } catch (const std::exception&) {
    }
}

QList<QList<QVariant>> ServerProbe::rows(const QString& sql)
{
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, static_cast<SQLHDBC>(m_dbc), &stmt);
    QList<QList<QVariant>> result;
    try {
        check(SQLExecDirectW(stmt, const_cast<SQLWCHAR*>(wide(sql)), SQL_NTS), SQL_HANDLE_STMT, stmt);
        SQLSMALLINT columns = 0;
        SQLNumResultCols(stmt, &columns);
        std::vector<bool> binary(columns);
        // Texts are read as their UTF-8 bytes: the driver's wide conversion
        // stops at a NUL character.
        std::vector<bool> text(columns);
        for (SQLUSMALLINT c = 1; c <= columns; ++c) {
            SQLSMALLINT type = 0;
            SQLDescribeColW(stmt, c, nullptr, 0, nullptr, &type, nullptr, nullptr, nullptr);
            binary[c - 1] = type == SQL_BINARY || type == SQL_VARBINARY || type == SQL_LONGVARBINARY;
            text[c - 1] = type == SQL_CHAR || type == SQL_VARCHAR || type == SQL_LONGVARCHAR || type == SQL_WCHAR
                || type == SQL_WVARCHAR || type == SQL_WLONGVARCHAR;
        }
        while (SQL_SUCCEEDED(SQLFetch(stmt))) {
            QList<QVariant> row;
            for (SQLUSMALLINT c = 1; c <= columns; ++c) {
                QByteArray data;
                SQLLEN indicator = 0;
                char buffer[8192];
                bool isNull = false;
                for (;;) {
                    const bool raw = binary[c - 1] || text[c - 1];
                    const SQLRETURN rc =
                        SQLGetData(stmt, c, raw ? SQL_C_BINARY : SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
                    if (rc == SQL_NO_DATA)
                        break;
                    check(rc, SQL_HANDLE_STMT, stmt);
                    if (indicator == SQL_NULL_DATA) {
                        isNull = true;
                        break;
                    }
                    qsizetype got = (indicator == SQL_NO_TOTAL || indicator >= SQLLEN(sizeof buffer))
                        ? qsizetype(sizeof buffer) - (raw ? 0 : 2)
                        : qsizetype(indicator);
                    data.append(buffer, got);
                    if (rc == SQL_SUCCESS)
                        break;
                }
                if (isNull)
                    row.append(QVariant());
                else if (binary[c - 1])
                    row.append(data);
                else if (text[c - 1])
                    row.append(QString::fromUtf8(data));
                else
                    row.append(
                        QString::fromUtf16(reinterpret_cast<const char16_t*>(data.constData()), data.size() / 2));
            }
            result.append(row);
        }
    } catch (...) {
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        throw;
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return result;
}

QVariant ServerProbe::scalar(const QString& sql)
{
    const auto all = rows(sql);
    return all.isEmpty() || all.first().isEmpty() ? QVariant() : all.first().first();
}

void ServerProbe::dropAllTables()
{
    const auto tables = rows(
        QStringLiteral("SELECT TABLE_NAME, TABLE_TYPE FROM INFORMATION_SCHEMA.TABLES WHERE TABLE_SCHEMA = DATABASE()"));
    for (const auto& row : tables) {
        const bool view = row.value(1).toString() == QLatin1String("VIEW");
        exec((view ? QStringLiteral("DROP VIEW ") : QStringLiteral("DROP TABLE "))
             + BacktickQuoted(row.first().toString()));
    }
}
