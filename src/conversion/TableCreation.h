#pragma once

// Structure phase of the table conversion: drop and create the server table
// with its key, or with the identity column AutoWertIdentität where it has none.

#include "conversion/ConversionHost.h"
#include "core/Dialect.h"

#include <QDateTime>
#include <QString>

// "SEQ_" + last 26 characters of (table + "YYMMDDHHNNSS").
QString OracleSequenceName(const QString& table, const QDateTime& time);

// Trigger that fills AutoWertIdentität from the sequence and refuses changes of it.
QString OracleTriggerStatement(const QString& table, const QString& sequence);

// Column line of the identity column AutoWertIdentität.
QString IdentityLine(Dialect dialect);

// Drops and creates the host's table from the fields of rs; the lines go to
// the host's information list. Lets ConversionEnded pass.
TableFlags RunStructurePhase(ConversionHost& host, const dao::Recordset& rs);
