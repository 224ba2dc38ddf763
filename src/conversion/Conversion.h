#pragma once

// The conversion's operations, over the conversion window as ConversionHost
// sees it: the load of an Access file, the conversion of one table, the
// batch of the marked tables and the complete takeover. Each returns what
// became of its tables as values.

#include "conversion/ConversionHost.h"

#include <QString>
#include <QStringList>

// "Anmelden" (c4c): opens the Access file named by the path box, lists its
// tables, looks each one up on the server and marks those the server lacks
// (and those whose last conversion did not end). A server in trouble ends
// the load with a message; the commands then stay off.
LoadOutcome LoadDatabase(ConversionHost& host);

// Converts one table (Command1_SIK): drop and create with key and indexes
// where this is the only workstation, then the rows. Errors follow the
// conversion's error rule; the table is remembered as unfinished until its
// conversion has ended.
TableOutcome ConvertTable(ConversionHost& host, const QString& table);

// "Markierte Tabellen konvertieren" (c2c): converts every marked table, in the
// list's order, read at each turn (the user may click the list meanwhile).
// A lost connection ends the batch; the tables after it stay marked.
BatchOutcome RunBatch(ConversionHost& host);

// The batch's closing message: "Alle markierten Tabellen wurden konvertiert."
// only when every marked table converted; otherwise how many did not, and
// whether the user stopped one.
QString BatchSummary(const BatchOutcome& batch);

// "Komplette Übernahme": three questions, then every table, the views and
// the triggers; a step that fails or is cut short ends it.
TakeoverOutcome RunTakeover(ConversionHost& host);

// The table list as a scheduler's log reads it after a load and a batch: one
// line per table, its name and its result ("[migriert]", "[!Fehler!]", the
// row count on the server, or "[nicht konvertiert]").
QStringList TableListReport(const LoadOutcome& load, const BatchOutcome& batch);
