#pragma once

// Helpers for tests that read Access databases through dao::Database.

#include "access/AccessDatabase.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// Resident memory of this process (VmRSS of /proc/self/status) in KiB; -1 when unknown.
long residentMemoryKiB();

// The values of the current row, in field order.
QVariantList currentRow(const dao::Recordset& rs);

// Every row of a table, read from the first to the last.
QList<QVariantList> readAllRows(const dao::Database& db, const QString& table);

// A readable form of a value for failure messages: NULL, the type and the value.
QString describe(const QVariant& value);

// The field, index and relation of that name (nullptr when absent).
const dao::Field* findField(const dao::TableDef& table, const QString& name);
const dao::Index* findIndex(const dao::TableDef& table, const QString& name);
const dao::Relation* findRelation(const dao::Database& db, const QString& name);

// Names of the tables whose Attributes have no bit of dbSystemObjectMask, in order.
QStringList userTableNames(const dao::Database& db);
