#pragma once

// The conversion window as the table-conversion steps see it, over a
// recording connection and a fake database, with a settable clock and an
// error handler that behaves like the window's.

#include "FakeDatabase.h"
#include "RecordingConnection.h"
#include "conversion/ConversionHost.h"
#include "conversion/CopyLoop.h"
#include "conversion/ErrorRule.h"
#include "server/ExecuteSql.h"
#include "core/TabrixError.h"

#include <QList>
#include <QStringList>

#include <functional>

class FakeHost : public ConversionHost {
public:
    ConversionOptions opts;
    QString table;
    bool autowert = false;
    QString count = QStringLiteral("1");
    QString number = QStringLiteral("1");
    bool abort = false;
    FakeDatabase db;
    RecordingConnection conn;
    // Successive clock readings; the last one repeats.
    mutable QList<QDateTime> clock{QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC)};
    int indexCounter = 0;
    bool afterCreation = false;

    // What the window would show.
    QStringList statuses;
    QStringList list1;
    QStringList keyList;
    QString clipboard;
    int yields = 0;
    QStringList identityTables;
    QStringList progress;  // "start 3", "step 1", ..., "step 0"
    QStringList errors;    // logged error texts
    QStringList notes;     // log lines that report no failure
    bool tableFailed = false;
    // Called after each statement sent (to set abort mid-copy, for instance).
    std::function<void(const QString&)> afterExecute;

    ConversionOptions options() const override { return opts; }
    QString tableName() const override { return table; }
    bool autowertChecked() const override { return autowert; }
    QString workstationCount() const override { return count; }
    QString workstationNumber() const override { return number; }
    bool abortRequested() const override { return abort; }
    const dao::Database& database() const override { return db; }
    ServerConnection& connection() override { return conn; }
    QDateTime now() const override
    {
        const QDateTime t = clock.first();
        if (clock.size() > 1)
            clock.removeFirst();
        return t;
    }
    int nextIndexNumber() override { return ++indexCounter; }
    void setStatus(const QString& text) override { statuses.append(text); }
    void setCopyStatus(long n, long total, long skipped) override { statuses.append(CopyStatusText(n, total, skipped)); }
    void clearLines() override { list1.clear(); }
    void appendLine(const QString& line) override { list1.append(line); }
    QStringList lines() const override { return list1; }
    void setKeyList(const QStringList& keys) override { keyList = keys; }
    void setClipboardText(const QString& text) override { clipboard = text; }
    bool yieldToUser() override
    {
        ++yields;
        return true;
    }
    void showLastLineAtTop() override {}
    void enableCommands(bool) override {}
    void connectionLost(const QString&) override {}
    void addIdentityTable(const QString& t) override { identityTables.append(t); }
    void logNote(const QString& line) override { notes.append(line); }
    void progressStart(long total) override { progress.append(QStringLiteral("start %1").arg(total)); }
    void progressStep(long done) override { progress.append(QStringLiteral("step %1").arg(done)); }
    void executeSql(QString& statement) override
    {
        ExecuteSql(conn, opts.dialect, opts.linuxSwitch, statement);
        if (afterExecute)
            afterExecute(statement);
    }
    void step(const std::function<void()>& statement) override
    {
        try {
            statement();
        } catch (const TabrixError& e) {
            switch (JudgeConversionError(e, opts.dialect, afterCreation)) {
            case ConversionErrorVerdict::Tolerated:
                return;
            case ConversionErrorVerdict::Reported:
                errors.append(e.description());
                tableFailed = true;
                return;
            case ConversionErrorVerdict::ConnectionLost:
            case ConversionErrorVerdict::ReportedAndEnds:
                errors.append(e.description());
                tableFailed = true;
                throw ConversionEnded{};
            }
        }
    }

    // Statements sent, without the catalogue and constraint queries.
    QStringList sent() const
    {
        QStringList out;
        for (const QString& s : conn.statements)
            if (!s.startsWith(QLatin1String("SELECT ")))
                out.append(s);
        return out;
    }
};
