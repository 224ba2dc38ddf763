#pragma once

// The main window as its child windows see it: the process-wide state, the
// dialect choice, statement execution, the shared progress display and the
// auxiliary windows, as interfaces. The conversion and XDB windows use this
// instead of the main window or each other.

#include "conversion/RunReport.h"
#include "core/Dialect.h"
#include "core/ViewOutcome.h"
#include "session/Module1.h"

#include <QString>

class QMdiArea;

// The error-log window as the conversion writes it.
class ErrorLog {
public:
    virtual ~ErrorLog() = default;
    virtual void Add(const QString& line) = 0;
    virtual void Clear() = 0;
    // Behind the other child windows.
    virtual void toBack() = 0;
    // Shown and in front of the others.
    virtual void showInFront() = 0;
};

// The identity-table window: the tables that received an identity column.
class IdentityTables {
public:
    virtual ~IdentityTables() = default;
    virtual void clear() = 0;
    // Appends the table; the window goes behind the others.
    virtual void add(const QString& table) = 0;
    // "N Tabellen" in front of the names.
    virtual void addCountLine() = 0;
    virtual void showInFront() = 0;
};

class Session {
public:
    virtual ~Session() = default;

    virtual Module1& module1() = 0;

    // The chosen dialect, read from the option buttons at each call.
    virtual Dialect currentDialect() const = 0;
    // The "Linux" box counts as set when checked (value 1).
    virtual bool linuxChecked() const = 0;
    virtual bool IsModuleDataSource() const = 0;
    // The three together, for the statements of an operation.
    DialectOptions dialectOptions() const { return {currentDialect(), linuxChecked(), IsModuleDataSource()}; }
    // The text of the data-source box.
    virtual QString dataSourceName() const = 0;

    // Sends a statement on ServerConnection with the dialect's rules; the
    // caller's text becomes the text the server got.
    virtual void ExecuteSql(QString& statement) = 0;
    // The connection to the server is gone: both connections are released and
    // the working buttons disabled as after a login reset, so the next action
    // is a login. The child windows stay, so the user sees what happened.
    virtual void ConnectionLost() = 0;
    virtual void ProgressStart(long total) = 0;
    virtual void ProgressStep(long done) = 0;

    // The auxiliary windows, loaded again when the user closed them.
    virtual ErrorLog& errorLog() = 0;
    virtual IdentityTables& identityTables() = 0;
    // Makes a view through the conversion window (loaded, not shown, when it
    // is not loaded yet), which lists it in its own information list.
    virtual ViewResult createView(const QString& name, const QString& statement) = 0;
    virtual QMdiArea* mdiArea() const = 0;

    // Writes the report of an operation, data source and dialect of the login
    // filled in, where the command line says (or into the reports folder);
    // the main window then offers it. A report that cannot be written is
    // said (a message, in an unattended run a line on standard error).
    virtual WrittenReport WriteReport(RunReport report) = 0;
};
