#pragma once

// What the steps of one table conversion (structure, indexes, rows) need from
// the conversion window, so that they can run and be tested without it.

#include "access/AccessDatabase.h"
#include "core/Dialect.h"
#include "server/OperationHost.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

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

// Thrown by ConversionHost::step when the error handler ends the conversion.
struct ConversionEnded {
    QString reason;  // why, where there is more to say than the log already does (the server's text)
};

class ConversionHost : public virtual OperationHost {
public:
    // Settings of the windows, read at each call.
    virtual ConversionOptions options() const = 0;
    DialectOptions dialectOptions() const override { return options(); }
    virtual QString tableName() const = 0;          // Text1
    virtual bool autowertChecked() const = 0;       // Check_Autowert
    virtual QString workstationCount() const = 0;   // Text_Max
    virtual QString workstationNumber() const = 0;  // Text_Mod
    // "Mehrere Zeilen je INSERT": on MySQL, rows of equal columns share one INSERT.
    virtual bool multiRowInserts() const { return false; }
    // The stop picture, a close request, or the window waiting to close.
    virtual bool abortRequested() const = 0;
    // Why the copy is to stop, for the error log; empty when there is nothing to say.
    virtual QString abortReason() const { return {}; }
    // The login the statements go through now (ServerConnection::LoginNumber);
    // 0 when there is none. A yield may log in again, to another server.
    virtual quint64 login() const = 0;

    virtual const dao::Database& database() const = 0;
    virtual QDateTime now() const = 0;
    // Raises IndexCounter by one and returns the new value.
    virtual int nextIndexNumber() = 0;

    // Status line Label1 (yields by the window's rule).
    virtual void setStatus(const QString& text) = 0;
    // The row copy's status line "n/total (skipped)  :  p%", set for every
    // source row: the window may keep the numbers and write the text only when
    // it is drawn or read.
    virtual void setCopyStatus(long n, long total, long skipped) = 0;
    // The information list List1 as it stands.
    virtual QStringList lines() const = 0;
    // Working list List3 (the key fields).
    virtual void setKeyList(const QStringList& keys) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    // Appends a table to the identity-table list and puts that window behind the others.
    virtual void addIdentityTable(const QString& table) = 0;
    // A line in the error log that reports no failure.
    virtual void logNote(const QString& line) = 0;

    // Runs one statement under the conversion's error handler. When the
    // handler tolerates the error, or the table already exists on the server,
    // it deals with the error (logging it where due) and step() returns so
    // that the caller goes on with its next statement. Otherwise it ends the
    // conversion by throwing ConversionEnded, which callers let pass.
    virtual void step(const std::function<void()>& statement) = 0;
};
