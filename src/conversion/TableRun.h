#pragma once

// One table's conversion as its phases (structure, indexes, rows) see it: the
// window, the table's name, and the conversion's error rule with what it
// learns about the table.

#include "conversion/ConversionHost.h"
#include "conversion/DataCheck.h"
#include "core/TabrixError.h"

#include <QString>
#include <QStringList>

#include <functional>

class TableRun {
public:
    TableRun(ConversionHost& host, QString table);

    ConversionHost& host() const { return m_host; }
    const QString& table() const { return m_table; }

    // The structure phase is done or skipped: from here on a reported error
    // lets the conversion go on with its next statement.
    bool afterCreation = false;

    // Runs a statement (or a step of the Access engine); an error it raises
    // goes to report(). True when it ran without one.
    bool step(const std::function<void()>& statement);
    // Sends a statement to the server under the error rule; true when the server took it.
    bool send(const QString& statement);
    // The conversion's error rule. A tolerated error is dropped; any other is
    // logged and fails the table. The table ends here (ConversionEnded is
    // thrown) when the connection is gone or the table was not created yet.
    void report(const TabrixError& error);
    // Ends the table on an error whose outcome on the server is unknown (a
    // timeout, a cancel): logged, the table fails and stays marked
    // unfinished; nothing of it is sent again. Throws ConversionEnded.
    [[noreturn]] void endTable(const TabrixError& error);
    // Sends a statement of rows: a definite refusal is reported and the copy
    // goes on; an unknown outcome ends the table (endTable). True when the
    // server took it.
    bool sendRows(const QString& statement);
    // The copy was ended before its last row by an error of unknown outcome.
    bool cutShort() const { return m_cutShort; }
    // A line in the error log that reports no failure.
    void note(const QString& line)
    {
        m_lines.append(line);
        m_host.log(line);
    }
    // Every line the table wrote into the error log, in order (for the report).
    const QStringList& logLines() const { return m_lines; }

    bool failed() const { return m_failed; }
    // The first error logged for the table.
    const QString& firstError() const { return m_firstError; }
    // The server's text when the connection broke; empty while it holds.
    const QString& connectionLost() const { return m_connectionLost; }

    // Filled by the row copy.
    long rowsInFile = -1;
    long rowsSent = 0;
    // The figures of the rows sent, while "Daten prüfen" is on.
    std::optional<DataCheck> check;
    // A row built for sending goes into the check's figures.
    void tally(const RowStatementBuilder& builder);

private:
    void fail(const QString& text);

    ConversionHost& m_host;
    QString m_table;
    bool m_failed = false;
    bool m_cutShort = false;
    QString m_firstError;
    QString m_connectionLost;
    QStringList m_lines;
};
