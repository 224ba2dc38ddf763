#pragma once

// What an XDB run needs from its window, so that the run can be carried out
// and tested without one.

#include "core/ViewOutcome.h"
#include "server/OperationHost.h"
#include "xdb/XdbStatements.h"

#include <QString>

class XdbHost : public virtual OperationHost {
public:
    // The document's path (Text_XDB).
    virtual QString documentPath() const = 0;
    // Unattended run: no final message.
    virtual bool autoMode() const = 0;
    virtual void setRunFailed() = 0;

    // Translates an Access statement into a view and creates it (Create_View
    // of the conversion window): it lists its work there and reports server
    // errors itself, and tells what became of the view.
    virtual ViewResult createView(const QString& name, const QString& statement) = 0;

    // The message at the end of an interactive run.
    virtual void showFinalMessage(const QString& text) = 0;
    // A line of the list that tells of an error or a warning (an unattended
    // run also writes these to standard error).
    virtual void appendErrorLine(const QString& line) { appendLine(line); }
};
