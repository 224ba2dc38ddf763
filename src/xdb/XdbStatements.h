#pragma once

// The statements an XDB document sends, per dialect: adding and renaming a
// column, looking an index up and creating it. Pure functions over values.

#include "core/Dialect.h"
#include "sql/TypeTables.h"

#include <QString>
#include <QStringList>

// Dialect, Linux switch and module data source, read from the main window at the moment of use.
using XdbOptions = DialectOptions;

// Server type of an added column by Access type code; empty for codes
// without a type (Binary and unknown codes).
QString XdbColumnType(qint16 typeCode, qint16 size, const XdbOptions& options);

// An old-format default as the statement writes it: one leading and one
// trailing double quote removed; nothing left becomes "' '".
QString XdbDefault(const QString& written);

// Whether a default (as XdbDefault gives it) is a value and nothing more: a
// number, a text between apostrophes (each apostrophe inside doubled) or a
// function name followed by "()". Anything else could end the statement.
bool IsXdbDefaultValue(const QString& value);

// The statement that adds a column to `table` (the name the server's
// catalogue gives). MS SQL and Sybase bracket both names; MySQL, Oracle and
// DB2 write them the way the table conversion does on that dialect, and
// Oracle and DB2 quote a name they cannot read bare. The default is written
// as it stands: the caller checks it with IsXdbDefaultValue.
QString BuildAddColumn(const QString& table, const QString& column, qint16 typeCode, qint16 size,
                       const QString& defaultText, const XdbOptions& options);

// The statement that renames a column of `table`. Names inside a text
// literal have their apostrophes doubled, here and in the index statements.
QString RenameColumnStatement(const QString& table, const QString& oldName, const QString& newName, Dialect dialect);

// The count query that tells whether an index exists; empty for the
// dialects where every index counts as existing.
QString IndexExistsQuery(const QString& table, const QString& index, Dialect dialect);

// The CREATE INDEX statement; empty when nothing is to be sent (MS SQL with
// attribute bit 2, and the dialects without XDB indexes).
QString CreateIndexStatement(const QString& table, const QString& index, qint32 attributes, const QStringList& fields,
                             Dialect dialect);
