#pragma once

// The windows as the long operations see them (the table conversion, the
// views and triggers, the XDB run), over a recording connection and a fake
// database: what the windows would show is recorded, a settable clock stands
// in for the time, and the conversion's errors go through the window's rule.
// `trace` keeps the user-visible acts in order; the user acts from `onYield`
// and ends an operation by setting `closing`, as closing the window does.

#include "FakeDatabase.h"
#include "RecordingConnection.h"
#include "conversion/ConversionHost.h"
#include "conversion/CopyLoop.h"
#include "conversion/KeysAndIndexes.h"
#include "conversion/TableCreation.h"
#include "conversion/TableList.h"
#include "conversion/TableRun.h"
#include "conversion/UnfinishedTables.h"
#include "core/TabrixError.h"
#include "translation/TranslationHost.h"
#include "xdb/XdbHost.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <functional>

class RecordingHost : public ConversionHost, public TranslationHost, public XdbHost {
public:
    // What the windows hold.
    ConversionOptions settings;            // dialect, Linux switch, the two default options
    QString table;                         // Text1
    bool autowert = false;                 // Check_Autowert
    QString count = QStringLiteral("1");   // Text_Max
    QString number = QStringLiteral("1");  // Text_Mod
    bool multiRow = false;                 // "Mehrere Zeilen je INSERT"
    bool check = true;                     // "Daten prüfen"
    QString path;                          // Text_XDB
    bool automatic = false;                // the unattended run
    FakeDatabase db;
    RecordingConnection server;
    // A real server's connection in the recording one's place (its statements are not recorded).
    ServerConnection* live = nullptr;
    bool hasConnection = true;
    quint64 loginNumber = 1;  // another number: the user logged in again
    // Successive clock readings; the last one repeats.
    mutable QList<QDateTime> clock{QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC)};
    int indexCounter = 0;
    bool afterCreation = false;                             // of the runs below
    QString accessFile = QStringLiteral("/daten/qel.mdb");  // QELPfad
    bool structureOnlyChecked = false;                      // Check_NoData
    bool interrupt = false;                                 // Check_Message
    // Kept in a file of its own test folder only when a test gives one.
    UnfinishedTables unfinished{QStringLiteral("/nonexistent/unfinished-tables.json")};
    // The table list: entries, their marks.
    QStringList entries;
    QList<bool> marks;
    std::function<ViewsOutcome()> viewsRun;
    std::function<TriggersOutcome()> triggersRun;
    // The answers to the questions asked, in order; missing ones are No.
    QList<bool> answers;

    // What the windows would show.
    QStringList list1;     // the information list
    QStringList list3;     // the key fields, or the triggers' working list
    QStringList statuses;  // the status line, the row copy's included
    QString clipboard;
    QStringList messages;  // message boxes; "lost <server text>" for a lost connection
    QStringList progress;  // "start 3", "step 1", ..., "step 0"
    QList<bool> enableCalls;
    QStringList trace;  // "line ...", "status ...", "yield", "enable 0", "direct" (the connection fetched), ...
    QList<QPair<QString, QString>> views;                  // created by the XDB run
    std::function<ViewResult(const QString&)> viewResult;  // what createView answers; created when unset
    QStringList identityTables;
    QStringList errors;  // the conversion's logged error texts
    QStringList notes;   // log lines that report no failure
    QString lastError;
    QStringList stateWarnings;
    int yields = 0;
    int scrolls = 0;
    bool tableFailed = false;
    bool runFailed = false;
    bool busy = false;
    bool stopPicture = false;

    // Runs at every yield and every status change (both let the user act).
    std::function<void()> onYield;
    bool closing = false;

    bool enabled() const { return enableCalls.isEmpty() || enableCalls.last(); }
    // Statements sent, without the queries and catalogue lookups.
    QStringList sent() const
    {
        QStringList out;
        for (const QString& s : server.withoutCatalogue())
            if (!s.startsWith(QLatin1String("SELECT ")))
                out.append(s);
        return out;
    }

    DialectOptions dialectOptions() const override { return settings; }
    ConversionOptions options() const override { return settings; }
    QString accessPath() const override { return accessFile; }
    bool structureOnly() const override { return structureOnlyChecked; }
    bool interruptOnError() const override { return interrupt; }
    QString dataSourceName() const override { return QStringLiteral("QELSQL"); }
    bool autowertChecked() const override { return autowert; }
    QString workstationCount() const override { return count; }
    QString workstationNumber() const override { return number; }
    bool multiRowInserts() const override { return multiRow; }
    bool checkData() const override { return check; }
    QString documentPath() const override { return path; }
    bool autoMode() const override { return automatic; }
    bool abortRequested() const override { return closing; }
    quint64 login() const override { return hasConnection ? loginNumber : 0; }
    bool endRequested() const override { return closing; }
    // The file a load opened; until then the fake database.
    std::unique_ptr<dao::Database> opened;
    const dao::Database& database() const override { return opened ? *opened : static_cast<const dao::Database&>(db); }
    void setDatabase(std::unique_ptr<dao::Database> database) override { opened = std::move(database); }
    ServerConnection& queryConnection() override { return connection(); }
    UnfinishedTables& unfinishedTables() override { return unfinished; }
    void noteStateWarning(const QString& warning) override { stateWarnings.append(warning); }
    void clearTableList() override
    {
        entries.clear();
        marks.clear();
    }
    void addTableEntry(const QString& t) override
    {
        entries.append(t);
        marks.append(false);
    }
    int tableEntries() const override { return int(entries.size()); }
    QString tableAt(int entry) const override { return TableNameFromEntry(entries.at(entry)); }
    bool tableMarked(int entry) const override { return marks.at(entry); }
    void setEntryText(int entry, const QString& text) override { entries[entry] = text; }
    void setEntryMarked(int entry, bool marked) override { marks[entry] = marked; }
    void markOnLoad(int entry, bool marked) override { marks[entry] = marked; }
    void showEntryAtTop(int) override {}
    void lockMarking() override {}
    void showTableName(const QString& t) override { table = t; }
    void enableFileCommands() override { trace.append(QStringLiteral("enable file commands")); }
    ServerConnection& connection() override
    {
        trace.append(QStringLiteral("direct"));
        if (!hasConnection)
            throw TabrixError(TabrixError::ServerErrorNumber, QStringLiteral("08003:Keine Verbindung zum SQL-Server"));
        return live ? *live : static_cast<ServerConnection&>(server);
    }
    QDateTime now() const override
    {
        const QDateTime t = clock.first();
        if (clock.size() > 1)
            clock.removeFirst();
        return t;
    }
    int nextIndexNumber() override { return ++indexCounter; }

    void clearLines() override
    {
        list1.clear();
        trace.append(QStringLiteral("clear"));
    }
    void appendLine(const QString& line) override
    {
        list1.append(line);
        trace.append(QStringLiteral("line ") + line);
    }
    void showLastLineAtTop() override
    {
        ++scrolls;
        trace.append(QStringLiteral("scroll"));
    }
    void setKeyList(const QStringList& keys) override { list3 = keys; }
    void clearWorkingList() override { list3.clear(); }
    void appendWorkingEntry(const QString& entry) override { list3.append(entry); }
    void setStatus(const QString& text) override
    {
        statuses.append(text);
        trace.append(QStringLiteral("status ") + text);
        userActs();
    }
    void showBatchPosition(int number, int count) override
    {
        trace.append(QStringLiteral("position %1/%2").arg(number).arg(count));
    }
    void setCopyStatus(long n, long total, long skipped) override
    {
        statuses.append(CopyStatusText(n, total, skipped));
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
    void progressStart(long total) override { progress.append(QStringLiteral("start %1").arg(total)); }
    void progressStep(long done) override { progress.append(QStringLiteral("step %1").arg(done)); }
    void enableCommands(bool on) override
    {
        enableCalls.append(on);
        trace.append(on ? QStringLiteral("enable 1") : QStringLiteral("enable 0"));
    }
    void connectionLost(const QString& text) override
    {
        messages.append(QStringLiteral("lost ") + text);
        trace.append(QStringLiteral("connection lost ") + text);
    }
    void showMessage(const QString& text) override
    {
        messages.append(text);
        trace.append(QStringLiteral("message ") + text);
    }
    void showFinalMessage(const QString& text) override { showMessage(text); }
    void setRunFailed() override { runFailed = true; }
    ViewResult createView(const QString& name, const QString& statement) override
    {
        views.append({name, statement});
        return viewResult ? viewResult(name) : ViewResult{};
    }
    void addIdentityTable(const QString& t) override { identityTables.append(t); }
    void clearIdentityTables() override { identityTables.clear(); }
    void addIdentityCountLine() override {}
    void showIdentityTables() override {}
    void log(const QString& line) override { notes.append(line); }
    void logError(const QString& text) override { errors.append(text); }
    void clearLog() override
    {
        errors.clear();
        notes.clear();
    }
    void setLastErrorText(const QString& text) override { lastError = text; }
    void showErrorMessage(const QString& text, const QString& title) override
    {
        showMessage(title + QStringLiteral(": ") + text);
    }
    bool askYes(const QString& question, const QString&, bool) override
    {
        showMessage(question);
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    void tableRunning(bool running) override { busy = running; }
    void showStopPicture(bool visible) override { stopPicture = visible; }
    void markTableFailed() override { tableFailed = true; }
    bool isTableFailed() const override { return tableFailed; }
    void clearTableFailed() override { tableFailed = false; }
    void clearAbortRequest() override {}
    ViewsOutcome runViews() override { return viewsRun ? viewsRun() : ViewsOutcome{}; }
    TriggersOutcome runTriggers() override { return triggersRun ? triggersRun() : TriggersOutcome{}; }

    // A run of the table in Text1, as the conversion makes it.
    TableRun run()
    {
        TableRun r(*this, table);
        r.afterCreation = afterCreation;
        return r;
    }

private:
    void userActs()
    {
        if (onYield)
            onYield();
    }
};

// The phases of one table on a run of the host's table.
inline TableFlags RunStructurePhase(RecordingHost& host, const dao::Recordset& rs)
{
    TableRun run = host.run();
    return RunStructurePhase(run, rs);
}
inline void RunIndexPhase(RecordingHost& host)
{
    TableRun run = host.run();
    RunIndexPhase(run);
}
inline bool RunCopyLoop(RecordingHost& host, dao::Recordset& rs, const TableFlags& flags)
{
    TableRun run = host.run();
    return RunCopyLoop(run, rs, flags);
}
