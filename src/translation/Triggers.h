#pragma once

// Access relations with cascading update or delete to update and delete
// triggers ("Beziehungen -> Trigger"). The statements use the trigger syntax
// of MS SQL Server and Sybase and are sent unchanged on every dialect.

#include "access/AccessDatabase.h"
#include "core/Dialect.h"
#include "translation/TranslationHost.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the relations say about one primary table.
struct TriggerTable {
    QString table;          // as the first relation naming it spells it
    QStringList updates;    // one statement per relation with cascading update
    QStringList deletes;    // one statement per relation with cascading delete
    QStringList keyFields;  // primary-side fields of all its relations, each once (any case)
};

// The quote around field names: none on Sybase, the double quote elsewhere.
QString TriggerFieldQuote(Dialect dialect);

// Adds one relation to the table it starts from, found without regard to
// case or appended. Returns true when the table was appended.
bool AddRelation(QList<TriggerTable>& tables, const dao::Relation& relation, const QString& quote);

// "CREATE TRIGGER u<T> ON <T> FOR UPDATE AS", the IF UPDATE() condition over
// the key fields and BEGIN; the update statements and END follow.
QString UpdateTriggerHead(const TriggerTable& table, const QString& quote);
// "CREATE TRIGGER d<T> ON <T> FOR DELETE AS"; the delete statements follow.
QString DeleteTriggerHead(const TriggerTable& table);

// The whole run (only on workstation 1). Server errors on the creates are
// listed and the run goes on; an error while the relations are read ends it
// with a message box. The commands are enabled again in every case.
TriggersOutcome RunRelationsToTriggers(TranslationHost& host);
