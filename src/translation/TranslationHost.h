#pragma once

// What the views and triggers need from the conversion window, so that they
// run and are tested without it. The conversion window implements it; the XDB
// run creates its views through the same window (loaded, not shown).

#include "access/AccessDatabase.h"
#include "core/Dialect.h"
#include "core/Outcomes.h"
#include "server/OperationHost.h"

#include <QString>

class TranslationHost : public virtual OperationHost {
public:
    virtual QString workstationNumber() const = 0;  // Text_Mod

    // Working list List3.
    virtual void clearWorkingList() = 0;
    virtual void appendWorkingEntry(const QString& entry) = 0;
    // Status line Label1; it yields by the window's rule (see endRequested).
    virtual void setStatus(const QString& text) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    // True once the operation must end; asked after a status change.
    virtual bool endRequested() const = 0;
    // A modal message box with the application title.
    virtual void showMessage(const QString& text) = 0;

    // The open Access database; raises TabrixError when there is none.
    virtual const dao::Database& database() const = 0;
};
