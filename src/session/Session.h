#pragma once

// The main window as its child windows see it: the process-wide state, the
// dialect choice, statement execution, the shared progress display and the
// other child windows. The conversion and XDB windows use this instead of the
// main window itself.

#include "core/Dialect.h"
#include "session/Module1.h"

#include <QString>

class FehlerProtokoll;
class Form_Auto;
class Konvertierung;
class QMdiArea;

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

    // Sends a statement on ServerConnection with the dialect's rules.
    virtual void ExecuteSql(QString& statement) = 0;
    // The connection to the server is gone: both connections are released and
    // the working buttons disabled as after a login reset, so the next action
    // is a login. The child windows stay, so the user sees what happened.
    virtual void ConnectionLost() = 0;
    virtual void ProgressStart(long total) = 0;
    virtual void ProgressStep(long done) = 0;

    // The child windows; the two auxiliary ones are loaded again when the user closed them.
    virtual FehlerProtokoll* fehlerProtokoll() = 0;
    virtual Form_Auto* formAuto() = 0;
    // The conversion window, loaded (but not shown) when it is not loaded yet:
    // the XDB run creates its views through it.
    virtual Konvertierung* loadKonvertierung() = 0;
    virtual QMdiArea* mdiArea() const = 0;
};
