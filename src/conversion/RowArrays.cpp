#include "conversion/RowArrays.h"

#include "conversion/ErrorRule.h"
#include "server/ServerErrors.h"

#include <condition_variable>
#include <mutex>
#include <thread>

// One thread for the table's executes. It sleeps between arrays, so that the
// scheduler runs it as soon as an array is handed over: a thread started
// anew for each array waited behind the reading on a shared CPU, and the
// server sat idle meanwhile.
class RowArrays::ExecuteThread {
public:
    ExecuteThread() : m_thread([this] { run(); }) {}
    ~ExecuteThread()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    ExecuteThread(const ExecuteThread&) = delete;
    ExecuteThread& operator=(const ExecuteThread&) = delete;

    // The job's exception, or none, once it has run.
    std::future<std::exception_ptr> start(std::function<void()> job)
    {
        std::packaged_task<std::exception_ptr()> task([job = std::move(job)] {
            try {
                job();
                return std::exception_ptr();
            } catch (...) {
                return std::current_exception();
            }
        });
        std::future<std::exception_ptr> done = task.get_future();
        {
            const std::lock_guard lock(m_mutex);
            m_task = std::move(task);
        }
        m_wake.notify_one();
        return done;
    }

private:
    void run()
    {
        for (;;) {
            std::packaged_task<std::exception_ptr()> task;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_task.valid() || m_quit; });
                if (!m_task.valid())
                    return;
                task = std::move(m_task);
            }
            task();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::packaged_task<std::exception_ptr()> m_task;
    bool m_quit = false;
    std::thread m_thread;  // last: it starts with the members above in place
};

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

RowArrays::~RowArrays()
{
    // An execute still under way (the table ended by an error) reads the
    // buffers of m_onItsWay until it returns.
    if (m_execute.valid())
        m_execute.wait();
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
    // Rows read after a new login would never be sent.
    if (m_unsentFrom != 0)
        return RowAdded::LoginChanged;
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
    if (const std::optional<RowAdded> done =
            afterRead(m_run, m_builder, m_errors, built, any, [&] { flush(n, skipped); }))
        return *done;
    if (!m_filling.array->Append(m_values)) {
        launch(n, skipped);
        if (m_unsentFrom != 0)
            return RowAdded::LoginChanged;
        m_filling.array->Append(m_values);
    }
    m_filling.rows.append({n, skipped, m_builder.cells()});
    return RowAdded::Taken;
}

bool RowArrays::useStatement(long n, long skipped)
{
    if (m_filling.statement && m_builder.Columns() == m_filling.columns) {
        // The usual case, checked without building the key.
        const QList<ParameterType>& types = m_filling.statement->Columns();
        bool same = types.size() == m_values.size();
        for (qsizetype i = 0; same && i < types.size(); ++i)
            same = m_values[i].type == types[i];
        if (same)
            return true;
    }
    QString key = m_builder.Columns();
    for (const ParameterValue& v : std::as_const(m_values))
        key += QChar(u'0' + int(v.type));
    std::shared_ptr<ServerArrayStatement>& prepared = m_prepared[key];
    if (!prepared) {
        QList<ParameterType> types;
        QString sql = m_builder.Columns();
        for (const ParameterValue& v : std::as_const(m_values)) {
            sql += types.isEmpty() ? QLatin1String("(?") : QLatin1String(",?");
            types.append(v.type);
        }
        sql += QLatin1Char(')');
        // Preparing talks to the server: the array on its way goes first.
        settle(n, skipped);
        try {
            prepared = m_host.connection().PrepareArray(sql, types, RowBatch::MaxRows);
        } catch (const std::exception&) {
            // The INSERT statements say what the server has against it.
            m_prepared.remove(key);
            return false;
        }
    }
    if (!m_filling.rows.isEmpty())
        launch(n, skipped);
    m_filling.columns = m_builder.Columns();
    if (m_filling.statement != prepared || !m_filling.array) {
        m_filling.statement = prepared;
        // Two arrays are filled in turn: each gets half the buffers one would have.
        m_filling.array.emplace(prepared->NewArray(ParameterArray::DefaultBufferBytes / 2));
    }
    return true;
}

void RowArrays::launch(long n, long skipped)
{
    settle(n, skipped);
    if (m_filling.rows.isEmpty())
        return;
    if (m_host.login() != m_login) {
        // They would reach the server (or database) of the new login.
        if (m_unsentFrom == 0)
            m_unsentFrom = m_filling.rows.first().number;
        m_filling.rows.clear();
        m_filling.array->Clear();
        return;
    }
    std::swap(m_filling, m_onItsWay);
    m_sendingRow = m_onItsWay.rows.first().number;
    if (!m_thread)
        m_thread = std::make_unique<ExecuteThread>();
    // MariaDB's driver reports no status per row: an execute that returns
    // has stored every row, one that fails none of them.
    m_execute =
        m_thread->start([statement = m_onItsWay.statement, &array = *m_onItsWay.array] { statement->Execute(array); });
    // The other array is filled next, for the statement of the rows to come.
    if (!m_filling.array || m_filling.statement != m_onItsWay.statement) {
        m_filling.statement = m_onItsWay.statement;
        m_filling.array.emplace(m_filling.statement->NewArray(ParameterArray::DefaultBufferBytes / 2));
    }
    m_filling.columns = m_onItsWay.columns;
}

void RowArrays::settle(long n, long skipped)
{
    if (!m_execute.valid())
        return;
    const std::exception_ptr failure = m_execute.get();
    Batch& batch = m_onItsWay;
    m_sendingRow = batch.rows.first().number;
    if (!failure) {
        m_sent += long(batch.rows.size());
    } else {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            goOnOnlyAfterARefusal(m_run, e);
        }
        sendRowByRow(batch);
        m_host.setCopyStatus(n, m_total, skipped);
    }
    batch.rows.clear();
    batch.array->Clear();
    m_sendingRow = 0;
}

void RowArrays::flush(long n, long skipped)
{
    if (m_literalsOnly) {
        m_literals->flush(n, skipped);
        return;
    }
    launch(n, skipped);
    settle(n, skipped);
}

void RowArrays::sendRowByRow(const Batch& batch)
{
    for (const Row& row : batch.rows) {
        m_sendingRow = row.number;
        // A failing row is shown where a copy row by row would stop for it.
        m_host.setCopyStatus(row.number, m_total, row.skipped);
        // The status line yields: after a new login none of the rest is sent.
        if (m_host.login() != m_login) {
            if (m_unsentFrom == 0)
                m_unsentFrom = row.number;
            return;
        }
        m_singleRow = batch.columns;
        m_builder.WriteValues(m_singleRow, row.cells);
        if (m_run.sendRows(m_singleRow))
            ++m_sent;
    }
}
