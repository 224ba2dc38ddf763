#pragma once

// Row copy of the table conversion: one INSERT statement per Access row.

#include "access/AccessDatabase.h"
#include "conversion/ConversionHost.h"

#include <QString>

// Status line of the copy: "n/total (skipped)  :  percent%".
QString CopyStatusText(long n, long total, long skipped);

// Copies the rows of rs (positioned on its first row) into the host's table.
void RunCopyLoop(ConversionHost& host, dao::Recordset& rs, const TableFlags& flags);
