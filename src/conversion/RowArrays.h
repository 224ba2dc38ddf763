#pragma once

// The row copy on MySQL with "Mehrere Zeilen je INSERT": one prepared INSERT
// per column list, the rows sent as parameter arrays of up to 1,000 rows.
// The server then parses no literals. Each value goes as the parameter that
// the server stores exactly as the row's own literal; a table with a value no
// parameter carries so goes on with shared INSERT statements (RowBatch). An
// array the server refuses has stored none of its rows (InnoDB, checked as
// for RowBatch): they are sent again one INSERT per row.
// While the server stores one array, the next one is read and filled: the
// execute runs on a thread of its own, and nothing else touches the
// connection until it has returned (every path that reports, sends or ends
// the table waits for it first).

#include "conversion/RowBatch.h"
#include "conversion/RowSink.h"
#include "conversion/RowStatement.h"
#include "server/ServerConnection.h"

#include <QHash>
#include <QList>
#include <QString>

#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <optional>

class RowArrays : public RowSink {
public:
    // Arrays for the table where the dialect is MySQL and the rows may share
    // statements (`batch`, which then carries the rows no array does); else `batch`.
    // The environment variable TABRIX_PARAMETER_ARRAYS=0 keeps to shared statements.
    static std::unique_ptr<RowSink> IfAllowed(TableRun& run, RowStatementBuilder& builder, long total,
                                              std::unique_ptr<RowBatch> batch);

    RowArrays(TableRun& run, RowStatementBuilder& builder, long total, std::unique_ptr<RowBatch> literals);
    ~RowArrays() override;

    RowAdded add(const dao::Recordset& rs, long n, long skipped) override;
    void flush(long n, long skipped) override;
    long sendingRow() const override { return m_sendingRow != 0 ? m_sendingRow : m_literals->sendingRow(); }
    long unsentFrom() const override { return m_unsentFrom != 0 ? m_unsentFrom : m_literals->unsentFrom(); }
    long rowsSent() const override { return m_sent + m_literals->rowsSent(); }

private:
    struct Row {
        long number;
        long skipped;  // for the status line while the row is sent alone
        QList<RowStatementBuilder::Cell> cells;
    };
    // The rows of one array, with what is needed to send them alone.
    struct Batch {
        std::shared_ptr<ServerArrayStatement> statement;
        QString columns;  // "INSERT INTO T (columns) VALUES " of its rows
        std::optional<ParameterArray> array;
        QList<Row> rows;
    };

    // The statement and array for the row's columns; false where the server
    // does not prepare it.
    bool useStatement(long n, long skipped);
    RowAdded withLiterals(const dao::Recordset& rs, long n, long skipped);
    // Waits for the array on its way and then starts the filled one.
    void launch(long n, long skipped);
    // Waits for the array on its way and deals with its outcome.
    void settle(long n, long skipped);
    void sendRowByRow(const Batch& batch);

    TableRun& m_run;
    ConversionHost& m_host;
    RowStatementBuilder& m_builder;
    long m_total;
    std::unique_ptr<RowBatch> m_literals;
    bool m_literalsOnly = false;
    quint64 m_login;
    const std::function<ConversionOptions()> m_options;

    // Prepared statements by column list and parameter types.
    QHash<QString, std::shared_ptr<ServerArrayStatement>> m_prepared;
    Batch m_filling;
    Batch m_onItsWay;
    class ExecuteThread;
    std::unique_ptr<ExecuteThread> m_thread;
    std::future<std::exception_ptr> m_execute;  // valid while m_onItsWay is with the server
    QList<ParameterValue> m_values;
    QList<TabrixError> m_errors;
    QString m_singleRow;
    long m_sendingRow = 0;
    long m_sent = 0;
    long m_unsentFrom = 0;
};
