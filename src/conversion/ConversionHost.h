#pragma once

// What the conversion's operations (the load, one table, the batch, the
// complete takeover) need from the conversion window, so that they can run
// and be tested without it. The window reads its controls and shows; the
// rules live in the operations.

#include "access/AccessDatabase.h"
#include "core/Dialect.h"
#include "core/Outcomes.h"
#include "server/OperationHost.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

class UnfinishedTables;

// Settings that decide types, defaults and literals; read from the windows at
// the moment of use and passed in, never cached.
struct ConversionOptions : DialectOptions {
    bool default0 = false;      // Check_Default0
    bool defaultBlank = false;  // Check_DefaultBlank
};

// What the structure phase learns about the table for the row copy.
struct TableFlags {
    bool structureRan = false;
    bool terminkalender = false;     // table name is exactly "Terminkalender"
    bool formularprotokoll = false;  // table name is exactly "Formularprotokoll"
    int zeitPosition = 0;            // 0-based field positions; 0 when not found
    int zeit1Position = 0;
    int uhrzeitPosition = 0;
};

// Thrown by the conversion's error rule when a table's conversion ends.
struct ConversionEnded {
    QString reason;  // why, where there is more to say than the log already does (the server's text)
};

class ConversionHost : public virtual OperationHost {
public:
    // Settings of the windows, read at each call.
    virtual ConversionOptions options() const = 0;
    DialectOptions dialectOptions() const override { return options(); }
    virtual QString accessPath() const = 0;         // QELPfad
    virtual bool autowertChecked() const = 0;       // Check_Autowert
    virtual QString workstationCount() const = 0;   // Text_Max
    virtual QString workstationNumber() const = 0;  // Text_Mod
    // "Mehrere Zeilen je INSERT": on MySQL, rows of equal columns share one INSERT.
    virtual bool multiRowInserts() const { return false; }
    // "Daten prüfen" (Check_Pruefen): each copied table's figures are compared with the server's.
    virtual bool checkData() const = 0;
    virtual bool structureOnly() const = 0;     // Check_NoData
    virtual bool interruptOnError() const = 0;  // Check_Message
    virtual bool autoMode() const = 0;
    virtual QString dataSourceName() const = 0;

    // The stop picture, a close request, or the window waiting to close.
    virtual bool abortRequested() const = 0;
    // Why the copy is to stop, for the error log; empty when there is nothing to say.
    virtual QString abortReason() const { return {}; }
    // The window is to close: the operation ends at its next step.
    virtual bool endRequested() const = 0;
    // The login the statements go through now (ServerConnection::LoginNumber);
    // 0 when there is none. A yield may log in again, to another server.
    virtual quint64 login() const = 0;
    // The connection of the load's row counts (QueryConnection); raises the
    // no-connection error when there is none.
    virtual ServerConnection& queryConnection() = 0;

    // The open Access database (SourceDatabase); raises when there is none.
    virtual const dao::Database& database() const = 0;
    virtual void setDatabase(std::unique_ptr<dao::Database> database) = 0;
    virtual QDateTime now() const = 0;
    // Raises IndexCounter by one and returns the new value.
    virtual int nextIndexNumber() = 0;
    // Tables whose conversion did not end (in this process and earlier ones).
    virtual UnfinishedTables& unfinishedTables() = 0;
    // The state file's trouble, told once per process in the error log.
    virtual void noteStateWarning(const QString& warning) = 0;
    virtual void setRunFailed() = 0;

    // The table list List2: one entry per table of the Access file.
    virtual void clearTableList() = 0;
    virtual void addTableEntry(const QString& table) = 0;
    virtual int tableEntries() const = 0;
    virtual QString tableAt(int entry) const = 0;
    virtual bool tableMarked(int entry) const = 0;
    virtual void setEntryText(int entry, const QString& text) = 0;
    virtual void setEntryMarked(int entry, bool marked) = 0;
    // The load's marks: the marking switch stands open while the program marks,
    // and is closed again after it.
    virtual void markOnLoad(int entry, bool marked) = 0;
    virtual void showEntryAtTop(int entry) = 0;
    // The marking switch to "Markieren nicht erlaubt".
    virtual void lockMarking() = 0;
    // Text1, the table being converted.
    virtual void showTableName(const QString& table) = 0;
    // Browse and load stay usable after a failed open.
    virtual void enableFileCommands() = 0;

    // Which of the batch's tables is converting ("Tabelle 3 von 8: " before
    // every status line); number 0 when no batch runs.
    virtual void showBatchPosition(int number, int count) = 0;
    // Status line Label1 (yields by the window's rule).
    virtual void setStatus(const QString& text) = 0;
    // The row copy's status line "n/total (skipped)  :  p%", set for every
    // source row: the window may keep the numbers and write the text only when
    // it is drawn or read.
    virtual void setCopyStatus(long n, long total, long skipped) = 0;
    // Working list List3 (the key fields).
    virtual void setKeyList(const QStringList& keys) = 0;
    virtual void setClipboardText(const QString& text) = 0;

    // The error log.
    virtual void log(const QString& line) = 0;
    // A reported error: logged, the log behind the other windows and the
    // conversion window in front.
    virtual void logError(const QString& text) = 0;
    virtual void clearLog() = 0;
    virtual void setLastErrorText(const QString& text) = 0;
    // The message box of "Fehlermeldungen anzeigen = Unterbrechung".
    virtual void showErrorMessage(const QString& text, const QString& title) = 0;
    // A modal message box with the application title.
    virtual void showMessage(const QString& text) = 0;
    // A question with Yes and No (Yes the default); escape or closing the box answers `escapeMeansYes`.
    virtual bool askYes(const QString& question, const QString& title, bool escapeMeansYes) = 0;

    // The identity-table window.
    virtual void addIdentityTable(const QString& table) = 0;
    virtual void clearIdentityTables() = 0;
    virtual void addIdentityCountLine() = 0;
    virtual void showIdentityTables() = 0;

    // A table is being converted (Busy), or no longer (Busy and AbortRequested cleared).
    virtual void tableRunning(bool running) = 0;
    virtual void showStopPicture(bool visible) = 0;
    // TableFailed: set by the conversion's error rule and by the stop picture.
    virtual void markTableFailed() = 0;
    virtual bool isTableFailed() const = 0;
    virtual void clearTableFailed() = 0;
    virtual void clearAbortRequest() = 0;

    // The views and triggers of the takeover, made by the conversion window.
    virtual ViewsOutcome runViews() = 0;
    virtual TriggersOutcome runTriggers() = 0;
};
