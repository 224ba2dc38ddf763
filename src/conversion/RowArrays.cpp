#include "conversion/RowArrays.h"

#include "conversion/ErrorRule.h"
#include "server/ServerErrors.h"

std::unique_ptr<RowSink> RowArrays::IfAllowed(TableRun& run, RowStatementBuilder& builder, long total,
                                              std::unique_ptr<RowBatch> batch)
{
    if (!batch || run.host().dialect() != Dialect::MySQL
        || qEnvironmentVariable("TABRIX_PARAMETER_ARRAYS") == QLatin1String("0"))
        return batch;
    return std::make_unique<RowArrays>(run, builder, total, std::move(batch));
}

RowArrays::RowArrays(TableRun& run, RowStatementBuilder& builder, long total, std::unique_ptr<RowBatch> literals)
    : m_run(run)
    , m_host(run.host())
    , m_builder(builder)
    , m_total(total)
    , m_literals(std::move(literals))
    , m_login(m_host.login())
    , m_options([&host = m_host] { return host.options(); })
{
}

RowAdded RowArrays::withLiterals(const dao::Recordset& rs, long n, long skipped)
{
    // The rows gathered go first, and the rest of the table keeps to literals.
    flush(n, skipped);
    m_literalsOnly = true;
    return m_literals->add(rs, n, skipped);
}

RowAdded RowArrays::add(const dao::Recordset& rs, long n, long skipped)
{
    if (m_literalsOnly)
        return m_literals->add(rs, n, skipped);
    const Dialect dialect = m_host.dialect();
    if (dialect != Dialect::MySQL)
        return withLiterals(rs, n, skipped);
    m_errors.clear();
    bool built = false;
    bool any = false;
    bool asParameters = false;
    try {
        m_builder.setDialect(dialect);
        any = m_builder.ReadRow(rs, m_options);
        built = true;
        asParameters = any && m_builder.RowParameters(m_values, [this](const TabrixError& e) { m_errors.append(e); });
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
    if (built && any && (!asParameters || !useStatement(n, skipped)))
        return withLiterals(rs, n, skipped);
    if (!m_errors.isEmpty()) {
        flush(n, skipped);
        for (const TabrixError& e : std::as_const(m_errors))
            m_run.report(e);
    }
    // A row that could not be read sends nothing, as before.
    if (!built)
        return RowAdded::Taken;
    if (!any)
        return RowAdded::Empty;
    m_run.tally(m_builder);
    if (!m_array->Append(m_values)) {
        flush(n, skipped);
        m_array->Append(m_values);
    }
    m_rows.append({n, skipped, m_builder.cells()});
    return RowAdded::Taken;
}

bool RowArrays::useStatement(long n, long skipped)
{
    QString key = m_builder.Columns();
    for (const ParameterValue& v : std::as_const(m_values))
        key += QChar(u'0' + int(v.type));
    if (m_statement && key == m_key)
        return true;
    flush(n, skipped);
    std::shared_ptr<ServerArrayStatement>& prepared = m_prepared[key];
    if (!prepared) {
        QList<ParameterType> types;
        QString sql = m_builder.Columns();
        for (const ParameterValue& v : std::as_const(m_values)) {
            sql += types.isEmpty() ? QLatin1String("(?") : QLatin1String(",?");
            types.append(v.type);
        }
        sql += QLatin1Char(')');
        try {
            prepared = m_host.connection().PrepareArray(sql, types, RowBatch::MaxRows);
        } catch (const std::exception&) {
            // The INSERT statements say what the server has against it.
            m_prepared.remove(key);
            return false;
        }
    }
    m_key = key;
    m_columns = m_builder.Columns();
    m_statement = prepared;
    m_array.emplace(m_statement->NewArray());
    return true;
}

void RowArrays::flush(long n, long skipped)
{
    if (m_literalsOnly) {
        m_literals->flush(n, skipped);
        return;
    }
    if (m_rows.isEmpty())
        return;
    if (m_host.login() != m_login) {
        // They would reach the server (or database) of the new login.
        if (m_unsentFrom == 0)
            m_unsentFrom = m_rows.first().number;
    } else {
        m_sendingRow = m_rows.first().number;
        if (sentWhole()) {
            m_sent += long(m_rows.size());
        } else {
            sendRowByRow();
            m_host.setCopyStatus(n, m_total, skipped);
        }
    }
    m_rows.clear();
    m_array->Clear();
    m_sendingRow = 0;
}

bool RowArrays::sentWhole()
{
    try {
        // MariaDB's driver reports no status per row: an execute that
        // returns has stored every row, one that fails none of them.
        m_statement->Execute(*m_array);
        return true;
    } catch (const TabrixError& e) {
        // Every further statement would fail alike: the handler ends the table.
        if (IsConnectionLost(e))
            m_run.report(e);
        // Only an array the server refused has stored none of its rows;
        // after a timeout or a cancel it may have stored them all.
        if (!IsDefiniteRefusal(e))
            m_run.endTable(e);
    } catch (const std::exception& e) {
        m_run.endTable(AsTabrixError(e));
    }
    return false;
}

void RowArrays::sendRowByRow()
{
    for (const Row& row : std::as_const(m_rows)) {
        m_sendingRow = row.number;
        // A failing row is shown where a copy row by row would stop for it.
        m_host.setCopyStatus(row.number, m_total, row.skipped);
        // The status line yields: after a new login none of the rest is sent.
        if (m_host.login() != m_login) {
            if (m_unsentFrom == 0)
                m_unsentFrom = row.number;
            return;
        }
        m_singleRow = m_columns;
        m_builder.WriteValues(m_singleRow, row.cells);
        if (m_run.sendRows(m_singleRow))
            ++m_sent;
    }
}
