#pragma once

// The row copy's INSERT statements of many rows on MySQL: rows of the same
// columns share one statement, up to 1,000 rows and a size the server takes.
// A statement the server rejects has stored none of its rows; they are sent
// again one INSERT per row, so that each row meets the server as it would
// alone: the same errors in the same order, the same rows stored.

#include "access/AccessDatabase.h"
#include "conversion/RowSink.h"
#include "conversion/RowStatement.h"
#include "core/TabrixError.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class RowBatch : public RowSink {
public:
    static constexpr int MaxRows = 1000;

    // A batch for the host's table, or none when its rows go one INSERT per
    // row: the option is off, the dialect is not MySQL, or the server cannot
    // take back a rejected statement exactly.
    static std::unique_ptr<RowBatch> IfAllowed(TableRun& run, RowStatementBuilder& builder, long total);

    RowBatch(TableRun& run, RowStatementBuilder& builder, long total, qsizetype maxChars);

    // Builds the current row, row n of the copy, and gathers it. Its errors
    // are reported after the rows gathered before it have been sent, in the
    // order a copy row by row meets them. While another dialect than MySQL is
    // chosen, the rows go one by one.
    RowAdded add(const dao::Recordset& rs, long n, long skipped) override;
    void flush(long n, long skipped) override;
    long sendingRow() const override { return m_sendingRow; }
    long unsentFrom() const override { return m_unsentFrom; }
    long rowsSent() const override { return m_sent + m_single.rowsSent(); }

private:
    bool sentWhole();
    void sendRowByRow();

    struct Row {
        long number;
        long skipped;     // for the status line while the row is sent alone
        qsizetype start;  // of its values in the statement
    };
    TableRun& m_run;
    ConversionHost& m_host;
    RowStatementBuilder& m_builder;
    long m_total;
    qsizetype m_maxChars;
    QList<Row> m_rows;
    QString m_columns;    // "INSERT INTO T (columns) VALUES " of the rows gathered
    QString m_statement;  // m_columns and their values, separated by commas
    QString m_values;     // the values of the row being added
    QString m_singleRow;  // one row's statement, when sent alone
    QList<TabrixError> m_errors;
    quint64 m_login;
    const std::function<ConversionOptions()> m_options;
    SingleInserts m_single;
    long m_sendingRow = 0;
    long m_sent = 0;
    long m_unsentFrom = 0;
};
