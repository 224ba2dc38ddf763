#include "conversion/RowSink.h"

#include "conversion/RowArrays.h"
#include "conversion/RowBatch.h"

SingleInserts::SingleInserts(TableRun& run, RowStatementBuilder& builder)
    : m_run(run)
    , m_builder(builder)
    , m_login(run.host().login())
    , m_options([&host = run.host()] { return host.options(); })
    , m_report([&run](const TabrixError& e) { run.report(e); })
{
}

RowAdded SingleInserts::add(const dao::Recordset& rs, long, long)
{
    ConversionHost& host = m_run.host();
    // Names and literals follow a change of the dialect.
    try {
        if (!m_run.step([&] {
                m_builder.setDialect(host.dialect());
                m_builder.InsertStatement(m_statement, rs, m_options, m_report);
            }))
            return RowAdded::Taken;
    } catch (const RowUnreadable& row) {
        m_unreadable = row.error;
        return RowAdded::Unreadable;
    }
    if (m_statement.isEmpty())
        return RowAdded::Empty;
    if (host.login() != m_login)
        return RowAdded::LoginChanged;
    m_run.tally(m_builder);
    if (m_run.send(m_statement))
        ++m_sent;
    return RowAdded::Taken;
}

std::unique_ptr<RowSink> RowSink::ForTable(TableRun& run, RowStatementBuilder& builder, long total)
{
    if (std::unique_ptr<RowBatch> batch = RowBatch::IfAllowed(run, builder, total))
        return RowArrays::IfAllowed(run, builder, total, std::move(batch));
    return std::make_unique<SingleInserts>(run, builder);
}
