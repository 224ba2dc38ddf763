#pragma once

// What every long operation needs from the window it runs in (the table
// conversion, the views and triggers, the XDB run), so that the operations
// can run and be tested without a window. The hosts of the operations extend it.

#include "core/Dialect.h"
#include "server/ExecuteSql.h"

#include <QString>

class ServerConnection;

class OperationHost {
public:
    virtual ~OperationHost() = default;

    // Dialect, Linux switch and module data source, read at each call.
    virtual DialectOptions dialectOptions() const = 0;
    virtual Dialect dialect() const { return dialectOptions().dialect; }
    virtual bool linuxSwitch() const { return dialectOptions().linuxSwitch; }

    // The server connection, fetched anew at each use: a yield may log in
    // again and replace it. Raises the no-connection error when there is none.
    virtual ServerConnection& connection() = 0;
    // Sends a statement straight to the connection (ExecuteSql) with the
    // dialect's rules read at this moment.
    void executeSql(QString statement) { ExecuteSql(connection(), dialectOptions(), std::move(statement)); }

    // The window's list of what the operation does.
    virtual void clearLines() = 0;
    virtual void appendLine(const QString& line) = 0;
    // Scrolls the list so that its last entry is the top visible one.
    virtual void showLastLineAtTop() = 0;

    // Processes pending user-interface events; false when the operation must
    // end (the window is to close).
    virtual bool yieldToUser() = 0;
    virtual void progressStart(long total) = 0;
    virtual void progressStep(long done) = 0;
    // The window's command buttons, off for the duration of the operation.
    virtual void enableCommands(bool enabled) = 0;

    // The server connection is gone (ODBC state class 08): the user is told to
    // log in again and the main window's working buttons go off.
    virtual void connectionLost(const QString& serverText) = 0;
};
