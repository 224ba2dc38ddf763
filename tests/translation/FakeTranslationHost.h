#pragma once

// The conversion window as the views and triggers see it, over a recording
// connection and a fake database. `trace` keeps everything in order; a test
// ends the operation from a yield by setting `closing`.

#include "FakeDatabase.h"
#include "RecordingConnection.h"
#include "server/ExecuteSql.h"
#include "translation/TranslationHost.h"

#include <QStringList>

#include <functional>

class FakeTranslationHost : public TranslationHost {
public:
    Dialect chosen = Dialect::MSSQL;
    bool linuxOn = false;
    QString number = QStringLiteral("1");
    FakeDatabase db;
    RecordingConnection conn;
    bool hasDatabase = true;

    QStringList lines;
    QStringList working;
    QStringList statuses;
    QString clipboard;
    QStringList messages;
    QStringList progress;  // "start 3", "step 1", ..., "step 0"
    QStringList trace;     // "line ...", "status ...", "sql ...", "enable 0", "yield", ...
    int yields = 0;
    int scrolls = 0;
    bool enabled = true;
    bool closing = false;
    // Runs at every yield and every status change (both let the user act).
    std::function<void()> onYield;

    DialectOptions dialectOptions() const override { return {chosen, linuxOn, false}; }
    Dialect dialect() const override { return chosen; }
    bool linuxSwitch() const override { return linuxOn; }
    QString workstationNumber() const override { return number; }
    void clearLines() override
    {
        lines.clear();
        trace.append(QStringLiteral("clear"));
    }
    void appendLine(const QString& line) override
    {
        lines.append(line);
        trace.append(QStringLiteral("line ") + line);
    }
    void showLastLineAtTop() override
    {
        ++scrolls;
        trace.append(QStringLiteral("scroll"));
    }
    void clearWorkingList() override { working.clear(); }
    void appendWorkingEntry(const QString& entry) override { working.append(entry); }
    void setStatus(const QString& text) override
    {
        statuses.append(text);
        trace.append(QStringLiteral("status ") + text);
        userActs();
    }
    void setClipboardText(const QString& text) override
    {
        clipboard = text;
        trace.append(QStringLiteral("clipboard"));
    }
    bool yieldToUser() override
    {
        ++yields;
        trace.append(QStringLiteral("yield"));
        userActs();
        return !closing;
    }
    bool endRequested() const override { return closing; }
    void progressStart(long total) override { progress.append(QStringLiteral("start %1").arg(total)); }
    void progressStep(long done) override { progress.append(QStringLiteral("step %1").arg(done)); }
    void enableCommands(bool on) override
    {
        enabled = on;
        trace.append(on ? QStringLiteral("enable 1") : QStringLiteral("enable 0"));
    }
    void connectionLost(const QString& serverText) override
    {
        messages.append(serverText);
        trace.append(QStringLiteral("connection lost ") + serverText);
    }
    void showMessage(const QString& text) override
    {
        messages.append(text);
        trace.append(QStringLiteral("message ") + text);
    }
    const dao::Database& database() const override
    {
        if (!hasDatabase)
            throw TabrixError(3420, QStringLiteral("Objekt ungültig oder nicht mehr festgelegt."));
        return db;
    }
    ServerConnection& connection() override
    {
        trace.append(QStringLiteral("direct"));
        return conn;
    }
    void executeSql(QString& statement) override
    {
        trace.append(QStringLiteral("executeSql"));
        ExecuteSql(conn, chosen, linuxOn, statement);
    }

private:
    void userActs()
    {
        if (onYield)
            onYield();
    }
};
