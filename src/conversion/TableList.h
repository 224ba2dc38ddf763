#pragma once

#include "core/Dialect.h"

#include <QString>

// The name, blanks up to 40 characters, then one tab.
QString PadName(const QString& name);

// The table name back from a table-list entry: the text before the tab that
// precedes the first "[" when there is one, else the whole entry; trimmed.
QString TableNameFromEntry(const QString& entry);

// The statement that counts a table's rows on the server.
QString RowCountStatement(Dialect dialect, const QString& table);

// A time of day as hh:mm:ss from seconds since midnight.
QString TimeOfDayText(int secondsSinceMidnight);

// "Bereit. letzte Aktion: start - end  |  duration"; the duration counts across midnight.
QString LastActionStatus(int startSeconds, int endSeconds);
