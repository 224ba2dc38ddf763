#pragma once

// Column types, defaults and column definition lines of the CREATE TABLE
// statement, per dialect. Pure functions: nothing here talks to the server.

#include "access/AccessDatabase.h"
#include "conversion/ConversionHost.h"
#include "core/Dialect.h"
#include "sql/Names.h"

#include <QString>
#include <QStringList>

#include <functional>

// Whether the field's values can go to a server at all: Access 2010's
// attachments and multi-valued fields, and every type code the program does
// not know, cannot; such a column is left out of the table.
bool Transferable(const dao::Field& field);
QList<dao::Field> TransferableFields(const QList<dao::Field>& fields);
// "Tabelle T, Feld F: Anlagen (Access-Typ 18) werden nicht übertragen."
QString LeftOutColumnText(const QString& table, const dao::Field& field);

// Default text of a field: quoted for a DEFAULT clause, unquoted to fill a
// null cell during the row copy. Empty when the field has no usable default.
QString SQLDefault(const dao::Field& field, bool quoted, const ConversionOptions& options);

// The server's equivalent of an Access default that calls a function: Now()
// is CURRENT_TIMESTAMP on MySQL and MS SQL, Date() (CURRENT_DATE) on MySQL;
// empty for every other function and dialect.
QString FunctionDefault(const QString& defaultValue, Dialect dialect);

// For a field whose default calls a function the server lacks: the error-log
// text saying it is left out (without the table); empty otherwise.
QString DefaultLeftOut(const dao::Field& field, const ConversionOptions& options);

// Server type of a field; empty for unknown type codes, and for Binary and
// Decimal on MS SQL and Sybase.
QString ServerTypeText(const dao::Field& field, const ConversionOptions& options);

// Replaces every "Auftragsbestätigung_Französisch" (case ignored) by the
// shortened name the server tables carry.
QString ShortenColumnNames(QString text);

// "DEFAULT x" / "WITH DEFAULT x" or empty.
QString DefaultClause(const dao::Field& field, const ConversionOptions& options);

// "NOT NULL", "NULL" or (DB2, optional field) empty. Key fields are matched
// against keyList ignoring case.
QString NullabilityClause(const dao::Field& field, const QStringList& keyList, Dialect dialect);

// separator + name + " " + type + " " + default + " " + nullability + " ".
// When the field matches the first key-list entry (ignoring case),
// primaryKeyClause is called and its text stored in *pkClauseOut.
QString ColumnDefinitionLine(const dao::Field& field, const QString& separator, const QStringList& keyList,
                             const QString& table, const ConversionOptions& options,
                             const std::function<QString()>& primaryKeyClause, QString* pkClauseOut);
