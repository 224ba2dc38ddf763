#include "conversion/RowSink.h"

#include "conversion/ErrorRule.h"
#include "conversion/RowArrays.h"
#include "conversion/RowBatch.h"
#include "server/ServerErrors.h"

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

std::optional<RowAdded> RowSink::afterRead(TableRun& run, const RowStatementBuilder& builder,
                                           const QList<TabrixError>& errors, bool built, bool any,
                                           const std::function<void()>& flushGathered)
{
    if (!errors.isEmpty()) {
        flushGathered();
        for (const TabrixError& e : errors)
            run.report(e);
    }
    // A row that could not be read sends nothing, as before.
    if (!built)
        return RowAdded::Taken;
    if (!any)
        return RowAdded::Empty;
    run.tally(builder);
    return std::nullopt;
}

void RowSink::goOnOnlyAfterARefusal(TableRun& run, const std::exception& failure)
{
    const auto* error = dynamic_cast<const TabrixError*>(&failure);
    if (!error) {
        run.endTable(AsTabrixError(failure));
        return;
    }
    // Every further statement would fail alike: the handler ends the table.
    if (IsConnectionLost(*error))
        run.report(*error);
    // After a timeout or a cancel the server may have stored every row.
    if (!IsDefiniteRefusal(*error))
        run.endTable(*error);
}
