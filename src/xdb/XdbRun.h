#pragma once

// Applying an XDB document to the server database: the run of "XDB
// Verarbeiten" and the table, column and index routines it calls.

#include "server/ServerConnection.h"
#include "xdb/XdbHost.h"
#include "xdb/XdbLine.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the reader keeps as long as the XDB window lives, between runs too.
struct XdbReaderState {
    XdbSections sections;
    // The table the last successful OpenTable found; kept when a later lookup fails.
    std::optional<ServerTable> CurrentTable;
    // Views of the last run that the server refused (they do not set RunFailed).
    int viewsRefused = 0;
};

// Thrown out of a yield when the window is to close: the run ends at once.
struct XdbRunCancelled {};

// Processes the document named by the host (c8c). Errors are listed in the
// status list and set RunFailed; server errors let the run go on with its
// next step, other errors end it. Raises nothing.
void RunXdbDocument(XdbHost& host, XdbReaderState& state);

// Makes the named table the current one and lists its status line, with
// "Tabelle existiert nicht!" when the server has no such table. Raises only
// XdbRunCancelled.
bool OpenTable(XdbHost& host, XdbReaderState& state, const QString& name);

// Whether the current table has the column (case ignored). Raises
// TabrixError 91 when no table has been opened yet.
bool ColumnExists(const XdbReaderState& state, const QString& name, const XdbOptions& options);

// Reads the current table's columns anew, so that later tests see a change.
void RefreshColumns(XdbHost& host, XdbReaderState& state);

// Builds the add statement for the current table (see BuildAddColumn).
QString BuildAddColumn(const XdbReaderState& state, const QString& column, qint16 typeCode, qint16 size,
                       const QString& defaultText, const XdbOptions& options);

// Renames a column of the current table.
void RenameColumn(XdbHost& host, const XdbReaderState& state, const QString& oldName, const QString& newName);

// Whether the server has the index; true without asking on MySQL, Oracle and DB2.
bool IndexExists(XdbHost& host, const QString& table, const QString& index);

// Creates the index; true when a statement was sent.
bool CreateIndex(XdbHost& host, const QString& table, const QString& index, qint32 attributes,
                 const QStringList& fields);
