#pragma once

// What the views and triggers need from the conversion window, so that they
// run and are tested without it. The conversion window implements it; the XDB
// run creates its views through the same window (loaded, not shown).

#include "access/AccessDatabase.h"
#include "core/Dialect.h"

#include <QString>

class ServerConnection;

// How a run of views or triggers ended.
enum class RunOutcome {
    Completed,
    EndedEarly,  // the window is to close: stopped at a yield
    Failed,      // an error ended it; it has been shown
};

class TranslationHost {
public:
    virtual ~TranslationHost() = default;

    // The main window's dialect and Linux switch, read at each call.
    virtual Dialect dialect() const = 0;
    virtual bool linuxSwitch() const = 0;
    virtual QString workstationNumber() const = 0;  // Text_Mod

    // Information list List1.
    virtual void clearLines() = 0;
    virtual void appendLine(const QString& line) = 0;
    // Scrolls List1 so that its last entry is the top visible one.
    virtual void scrollLinesToLast() = 0;
    // Working list List3.
    virtual void clearWorkingList() = 0;
    virtual void appendWorkingEntry(const QString& entry) = 0;
    // Status line Label1; it yields by the window's rule (see endRequested).
    virtual void setStatus(const QString& text) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    // Lets the user act; false when the operation must end (the window is to close).
    virtual bool yieldToUserInterface() = 0;
    // True once the operation must end; asked after a status change.
    virtual bool endRequested() const = 0;
    virtual void progressStart(long total) = 0;
    virtual void progressStep(long done) = 0;
    virtual void EnableCommands(bool enabled) = 0;
    // A modal message box with the application title.
    virtual void showMessage(const QString& text) = 0;
    // The server connection is gone (ODBC state class 08): the user is told to
    // log in again and the main window's working buttons go off.
    virtual void connectionLost(const QString& serverText) = 0;

    // The open Access database; raises TabrixError when there is none.
    virtual const dao::Database& database() const = 0;
    // The server connection for direct execution; raises TabrixError when there is none.
    virtual ServerConnection& connection() = 0;
    // Sends a statement through ExecuteSql (backslash doubling, tolerated errors).
    virtual void executeSql(QString& statement) = 0;
};
