#pragma once

// Where the row copy puts the rows it reads: one INSERT statement per row
// (SingleInserts), or INSERT statements shared by many rows (RowBatch).

#include "access/AccessDatabase.h"
#include "conversion/RowStatement.h"
#include "conversion/TableRun.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

enum class RowAdded {
    Taken,         // sent, gathered, or refused with its error reported
    Empty,         // no cell goes into a statement: nothing to send
    LoginChanged,  // the user logged in anew since the copy began: nothing is sent any more
    Unreadable,    // a cell could not be read (unreadable() says why): the row is passed over
};

class RowSink {
public:
    virtual ~RowSink() = default;

    // Row n of the copy, the recordset's current row.
    virtual RowAdded add(const dao::Recordset& rs, long n, long skipped) = 0;
    // Sends the rows gathered; afterwards the status line shows row n.
    virtual void flush(long /*n*/, long /*skipped*/) {}
    // The row whose statement is on its way (the first of a shared one); 0
    // when none is: how far a copy came when its connection broke.
    virtual long sendingRow() const { return 0; }
    // The first row gathered but never sent because the user logged in anew
    // meanwhile; 0 when every row gathered went out.
    virtual long unsentFrom() const { return 0; }
    // The rows the server took.
    virtual long rowsSent() const = 0;
    // Why the last row was Unreadable.
    const TabrixError& unreadable() const { return m_unreadable; }

protected:
    TabrixError m_unreadable{0, QString()};
    // A shared statement or array that failed as a whole: returns where the
    // server refused it (none of its rows stored: they may go again one by
    // one); otherwise the error rule ends the table.
    static void goOnOnlyAfterARefusal(TableRun& run, const std::exception& failure);
    // For a sink that gathers rows, once a row is read (`built`: no error
    // ended the reading; `any`: a cell goes into the statement): the row's
    // errors go to the log after the rows gathered before it
    // (`flushGathered`), as a copy row by row meets them. The row's outcome
    // when it is done with; none for a row to gather, whose figures are then counted.
    static std::optional<RowAdded> afterRead(TableRun& run, const RowStatementBuilder& builder,
                                             const QList<TabrixError>& errors, bool built, bool any,
                                             const std::function<void()>& flushGathered);

public:
    // The sink for the run's table: shared statements where the option, the
    // dialect and the server allow it, else one statement per row.
    static std::unique_ptr<RowSink> ForTable(TableRun& run, RowStatementBuilder& builder, long total);
};

class SingleInserts : public RowSink {
public:
    SingleInserts(TableRun& run, RowStatementBuilder& builder);
    RowAdded add(const dao::Recordset& rs, long n, long skipped) override;
    long rowsSent() const override { return m_sent; }

private:
    TableRun& m_run;
    RowStatementBuilder& m_builder;
    // Rows go only through the login the copy began with.
    quint64 m_login;
    const std::function<ConversionOptions()> m_options;
    const RenderErrorSink m_report;
    // One buffer for every row's statement.
    QString m_statement;
    long m_sent = 0;
};
