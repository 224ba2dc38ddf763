#pragma once

// What an XDB run needs from its window, so that the run can be carried out
// and tested without one.

#include "xdb/XdbStatements.h"

#include <QString>

class ServerConnection;

class XdbHost {
public:
    virtual ~XdbHost() = default;

    // Dialect, Linux switch and module data source, read at each call.
    virtual XdbOptions options() const = 0;
    // The document's path (Text_XDB).
    virtual QString documentPath() const = 0;
    // Unattended run: no final message.
    virtual bool autoMode() const = 0;
    virtual void setRunFailed() = 0;
    // Command8, disabled for the duration of a run.
    virtual void enableRun(bool enabled) = 0;

    // The server connection, fetched anew at each use: a yield may log in
    // again and replace it. Raises TabrixError when there is none.
    virtual ServerConnection& connection() = 0;
    // Sends a statement through ExecuteSql; the text receives the backslash doubling.
    virtual void executeSql(QString& statement) = 0;

    // The status list List1.
    virtual void clearLines() = 0;
    virtual void appendLine(const QString& line) = 0;
    // Scrolls the list so that its last entry is the top visible one.
    virtual void showLastLineAtTop() = 0;
    // Processes pending user-interface events; false when the run must end
    // (the window is to close).
    virtual bool yieldToUser() = 0;
    virtual void progressStart(long total) = 0;
    virtual void progressStep(long done) = 0;

    // Translates an Access statement into a view and creates it (Create_View
    // of the conversion window): it lists its work there and reports server
    // errors itself; errors while rewriting the text are raised.
    virtual void createView(const QString& name, const QString& statement) = 0;

    // The message at the end of an interactive run.
    virtual void showFinalMessage(const QString& text) = 0;
    // The server connection is gone (ODBC state class 08): the user is told to
    // log in again and the main window's working buttons go off.
    virtual void connectionLost(const QString& serverText) = 0;
};
