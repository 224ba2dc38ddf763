#pragma once

// Access relations with cascading update or delete to update and delete
// triggers ("Beziehungen -> Trigger"), in the trigger syntax the server reads
// (the dialect record's `triggers`): Transact-SQL on MS SQL and Sybase, row
// triggers on MySQL, Oracle and DB2.

#include "access/AccessDatabase.h"
#include "core/Dialect.h"
#include "core/Outcomes.h"
#include "translation/TranslationHost.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the relations say about one primary table.
struct TriggerTable {
    QString table;          // as the first relation naming it spells it
    QStringList updates;    // one statement per relation with cascading update, as its trigger holds it
    QStringList deletes;    // one statement per relation with cascading delete
    QStringList keyFields;  // primary-side fields of all its relations, each once (any case)
    // Cascading relations that no trigger carries on this server, each with its line.
    QList<RelationWithoutTrigger> withoutTrigger;
    // An earlier table whose trigger names this table's would take (cut to the
    // server's length): then this table gets no triggers, nothing is dropped.
    QString namesTakenBy;
};

// Why the dialect's triggers cannot carry the relation: a self-relation where
// a trigger may not change the table that fired it, a name the dialect cannot
// quote. The line for the information list; empty when they can.
QString WhyNoTrigger(const dao::Relation& relation, Dialect dialect);

// Adds one relation to the table it starts from, found without regard to
// case or appended. Returns true when the table was appended.
bool AddRelation(QList<TriggerTable>& tables, const dao::Relation& relation, Dialect dialect);

// A table's two triggers as the dialect writes them.
struct TableTriggers {
    QString updateName;  // "u" and the table, cut to the server's length
    QString deleteName;  // "d" and the table
    QStringList drops;   // sent first, errors ignored; none where the table gets no triggers
    QString update;      // the whole update trigger, sent when the table has update statements
    QString del;         // the whole delete trigger, sent when it has delete statements; the clipboard's text
};
TableTriggers WriteTriggers(const TriggerTable& table, Dialect dialect);

// "Trigger: N angelegt, K abgewiesen, J nicht möglich" (J: relations without trigger).
QString TriggersStatusLine(const TriggersOutcome& outcome);

// The whole run (only on workstation 1). Server errors on the creates are
// listed and the run goes on; an error while the relations are read ends it
// with a message box. The commands are enabled again in every case; a run
// that ends normally leaves its counts in the status line.
TriggersOutcome RunRelationsToTriggers(TranslationHost& host);
