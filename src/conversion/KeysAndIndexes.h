#pragma once

// Key fields, the primary-key clause and the secondary indexes of a table.

#include "access/AccessDatabase.h"
#include "conversion/TableRun.h"
#include "core/Dialect.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class ServerConnection;

// Appends name unless the list holds it already (case ignored).
void List3AddUnique(QStringList& list, const QString& name);

// Fields of the server table's primary key: primary index ("primarykey" too),
// referenced side of relations, foreign side of one-to-one relations; failing
// all of these, the first unique index.
QStringList DiscoverKeyFields(const dao::TableDef& tableDef, const QList<dao::Relation>& relations,
                              const QString& table);

// The names of the Memo fields among these.
QStringList MemoFields(const QList<dao::Field>& fields);

// "CONSTRAINT <name> PRIMARY KEY(<keys>)"; getPrim is asked for a free
// constraint name on MSSQL only.
QString PrimaryKeyClause(const QString& table, const QStringList& keyList, Dialect dialect,
                         const std::function<QString(const QString&)>& getPrim, const QStringList& memoFields = {});

// A constraint name free on the server: name itself, or name followed by a new
// unique identifier when it is taken. Any failure gives name unchanged.
QString GetPrim(ServerConnection& connection, const QString& name);

// Two-digit year, month, day, hour, minute, second: "240305140709".
QString TimeStamp12(const QDateTime& time);

// True for the dialects whose index names carry the running index number.
bool UsesIndexCounter(Dialect dialect);

// Indexes that become CREATE INDEX statements (not primary, not "primarykey").
bool IsSecondaryIndex(const dao::Index& index);

// Lines of one CREATE INDEX statement: head, one line per field, ")".
// counter is the index number already raised (ignored where unused); now is
// the clock read for the Oracle name.
// `taken`: the names of the table's indexes so far; a name the shortening
// made equal to one of them gets a number at its end ("…_01").
QStringList IndexLines(const dao::Index& index, const QString& table, Dialect dialect, int counter,
                       const QDateTime& now, const QStringList& memoFields = {}, QSet<QString>* taken = nullptr);

// Index phase: one CREATE INDEX per secondary index of the run's table.
void RunIndexPhase(TableRun& run);
