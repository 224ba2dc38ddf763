#pragma once

// Structure phase of the table conversion: drop and create the server table
// with its key, or with the identity column AutoWertIdentität where it has none.

#include "conversion/TableRun.h"
#include "core/Dialect.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// "SEQ_" + last 26 characters of (table + "YYMMDDHHNNSS"), and "TRG_" + the
// table's last 26 characters: made from the raw name, cut, then written by
// the name rule.
QString OracleSequenceName(const QString& table, const QDateTime& time);
QString OracleTriggerName(const QString& table);

// Trigger that fills AutoWertIdentität from the sequence and refuses changes of it.
QString OracleTriggerStatement(const QString& table, const QString& sequence);

// Column line of the identity column AutoWertIdentität.
QString IdentityLine(Dialect dialect);

// Whether the identity column is the key the primary-key clause names (on the
// other dialects it carries its own PRIMARY KEY).
bool IdentityIsListedKey(Dialect dialect);

// The lines of the CREATE TABLE statement as the information list shows them.
// `keys` are the table's key fields (AutoWertIdentität among them where it is
// the listed key), `identity` adds the identity column; getPrim gives the key
// constraint a free name.
QStringList CreateTableLines(const QString& table, const QList<dao::Field>& fields, const QStringList& keys,
                             bool identity, const ConversionOptions& options,
                             const std::function<QString(const QString&)>& getPrim);
// The statement those lines make.
QString CreateTableStatement(const QStringList& lines);

// Where the special tables keep the Date/Time fields the copy writes with a time of day.
TableFlags SpecialTableFlags(const QString& table, const QList<dao::Field>& fields);

// Drops and creates the run's table from the fields of rs; the lines go to
// the host's information list. Lets ConversionEnded pass.
TableFlags RunStructurePhase(TableRun& run, const dao::Recordset& rs);
