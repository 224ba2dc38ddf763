#pragma once

// Row copy of the table conversion: one INSERT statement per Access row.

#include "access/AccessDatabase.h"
#include "conversion/TableRun.h"

#include <QString>

// Status line of the copy: "n/total (skipped)  :  percent%".
QString CopyStatusText(long n, long total, long skipped);

// Copies the rows of rs (positioned on its first row) into the run's table.
// False when the copy stopped before the table's last row (the stop picture,
// the window closing, the login reset); the error log then says how far it
// came and why, and the table counts as failed. A lost connection ends the
// table through the error rule (ConversionEnded passes).
bool RunCopyLoop(TableRun& run, dao::Recordset& rs, const TableFlags& flags);

// "Tabelle X: Kopie nach N von M Datensätzen abgebrochen (reason)."
QString CopyCutShortText(const QString& table, long copied, long total, const QString& reason);
