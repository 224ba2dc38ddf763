#include "conversion/RowBatch.h"

#include "conversion/ErrorRule.h"
#include "server/ServerConnection.h"
#include "server/ServerErrors.h"
#include "sql/DialectRecord.h"

#include <algorithm>

namespace {

// Characters of one statement for a server that takes statements of
// `packetBytes` bytes (0: unknown).
qsizetype maxChars(qint64 packetBytes)
{
    // Unknown: the smallest limit MySQL servers have had by default.
    const qint64 packet = packetBytes > 0 ? packetBytes : qint64(1) << 20;
    // A character takes up to three bytes in UTF-8 (a backslash two, once
    // doubled); a kilobyte is left for the protocol. At most about 1 MB.
    return qsizetype(std::clamp<qint64>((packet - 1024) / 3, 1, 1'000'000));
}

// Whether the rows of the table may share statements (1) or go one by one (0).
QString checkQuery(const QString& table)
{
    // A strict session: otherwise the server stores a NULL for a NOT NULL
    // column as 0 in a statement of many rows, where it rejects the row alone.
    // InnoDB undoes a rejected statement whole (the engine the conversion asks
    // for, BDB, is substituted by the server's default). No column numbers the
    // rows: the numbers a rejected statement took stay used, so the rows sent
    // again would be numbered differently.
    const QString name = QString(table)
                             .replace(QLatin1Char('\\'), QLatin1String("\\\\"))
                             .replace(QLatin1Char('\''), QLatin1String("''"));
    const QString where =
        QStringLiteral(" WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = '") + name + QLatin1Char('\'');
    return QStringLiteral("SELECT @@SESSION.sql_mode LIKE '%STRICT_%' AND EXISTS (SELECT 1 FROM "
                          "INFORMATION_SCHEMA.TABLES")
        + where + QStringLiteral(" AND ENGINE = 'InnoDB') AND NOT EXISTS (SELECT 1 FROM INFORMATION_SCHEMA.COLUMNS")
        + where + QStringLiteral(" AND EXTRA LIKE '%auto_increment%')");
}

}  // namespace

std::unique_ptr<RowBatch> RowBatch::IfAllowed(TableRun& run, RowStatementBuilder& builder, long total)
{
    ConversionHost& host = run.host();
    if (!host.multiRowInserts() || !DialectRecord(host.dialect()).sharedInserts)
        return nullptr;
    // Whatever keeps the answer from coming, the rows go one by one as before.
    qint64 packet = 0;
    try {
        ServerConnection& connection = host.connection();
        packet = connection.MaxStatementBytes();
        if (connection.OpenResultset(checkQuery(run.table()), rdOpenForwardOnly)->Value(0).toInt() != 1)
            return nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
    return std::make_unique<RowBatch>(run, builder, total, maxChars(packet));
}

RowBatch::RowBatch(TableRun& run, RowStatementBuilder& builder, long total, qsizetype maxChars)
    : m_run(run)
    , m_host(run.host())
    , m_builder(builder)
    , m_total(total)
    , m_maxChars(maxChars)
    , m_login(m_host.login())
    , m_options([&host = m_host] { return host.options(); })
    , m_single(run, builder)
{
}

RowAdded RowBatch::add(const dao::Recordset& rs, long n, long skipped)
{
    const Dialect dialect = m_host.dialect();
    if (!DialectRecord(dialect).sharedInserts) {
        flush(n, skipped);
        return m_single.add(rs, n, skipped);
    }
    m_errors.clear();
    bool built = false;
    bool any = false;
    try {
        m_builder.setDialect(dialect);
        any = m_builder.RowValues(m_values, rs, m_options, [this](const TabrixError& e) { m_errors.append(e); });
        built = true;
    } catch (const RowUnreadable& row) {
        // Reported after the rows gathered before it, as a copy row by row meets it.
        flush(n, skipped);
        m_unreadable = row.error;
        return RowAdded::Unreadable;
    } catch (const TabrixError& e) {
        m_errors.append(e);
    } catch (const std::exception& e) {
        m_errors.append(AsTabrixError(e));
    }
    if (const std::optional<RowAdded> done =
            afterRead(m_run, m_builder, m_errors, built, any, [&] { flush(n, skipped); }))
        return *done;

    const QString& columns = m_builder.Columns();
    if (!m_rows.isEmpty()
        && (m_rows.size() >= MaxRows || m_statement.size() + 1 + m_values.size() > m_maxChars || columns != m_columns))
        flush(n, skipped);
    if (m_rows.isEmpty()) {
        m_columns = columns;
        m_statement.resize(0);
        m_statement += columns;
    } else {
        m_statement += QLatin1Char(',');
    }
    m_rows.append({n, skipped, m_statement.size()});
    m_statement += m_values;
    return RowAdded::Taken;
}

void RowBatch::flush(long n, long skipped)
{
    if (m_rows.isEmpty())
        return;
    if (m_host.login() != m_login) {
        // They would reach the server (or database) of the new login.
        if (m_unsentFrom == 0)
            m_unsentFrom = m_rows.first().number;
        m_rows.clear();
        return;
    }
    m_sendingRow = m_rows.first().number;
    if (m_rows.size() == 1) {
        if (m_run.sendRows(m_statement))
            ++m_sent;
    } else if (sentWhole()) {
        m_sent += long(m_rows.size());
    } else {
        sendRowByRow();
        m_host.setCopyStatus(n, m_total, skipped);
    }
    m_rows.clear();
    m_sendingRow = 0;
}

bool RowBatch::sentWhole()
{
    try {
        m_host.executeSql(m_statement);
        return true;
    } catch (const std::exception& e) {
        goOnOnlyAfterARefusal(m_run, e);
    }
    return false;
}

void RowBatch::sendRowByRow()
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        const qsizetype end = i + 1 < m_rows.size() ? m_rows[i + 1].start - 1 : m_statement.size();
        m_sendingRow = row.number;
        // A failing row is shown where a copy row by row would stop for it.
        m_host.setCopyStatus(row.number, m_total, row.skipped);
        // The status line yields: after a new login none of the rest is sent.
        if (m_host.login() != m_login) {
            if (m_unsentFrom == 0)
                m_unsentFrom = row.number;
            return;
        }
        m_singleRow.resize(0);
        m_singleRow += m_columns;
        m_singleRow += QStringView(m_statement).sliced(row.start, end - row.start);
        if (m_run.sendRows(m_singleRow))
            ++m_sent;
    }
}
