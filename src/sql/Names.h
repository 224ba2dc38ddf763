#pragma once

// How names reach the server: inside the dialect's quotes a quote character
// is doubled, so that every name arrives as it stands in Access.

#include "core/Dialect.h"

#include <QString>

// `name` with every grave accent doubled (MySQL).
QString BacktickQuoted(const QString& name);
// "name" with every double quote doubled (MS SQL, and where other dialects quote).
QString DoubleQuoted(const QString& name);

// A word the server reserves (MariaDB's and MySQL 8's list; SQL Server's
// reserved key words), any case; false on the other dialects.
bool ReservedWord(const QString& name, Dialect dialect);

// The one name rule for every name from the Access file (table, column,
// index, key constraint, relation, query) and every name made from one:
// bare where the dialect reads it bare (ReadsBare), else between the
// dialect's quotes. On Oracle and DB2, which keep bare names in upper case, a
// name quoted only because the dialect reserves it is written in upper case:
// the name a bare one would have had ("CHECK").
QString SqlName(const QString& name, Dialect dialect);

// Whether the dialect can write the name at all: Sybase has no way to quote
// a name holding "]".
bool CanQuote(const QString& name, Dialect dialect);

// A name in a view's text or a view's own name: bare where it can be (see
// ReadsBare), else between grave accents on MySQL, double quotes on MS SQL,
// Oracle and DB2 (the quote character inside doubled), brackets on Sybase.
QString ViewTextName(const QString& name, Dialect dialect);

// Column name as the CREATE TABLE statement writes it (quoting per dialect).
QString WrittenColumnName(const QString& name, const QString& table, Dialect dialect);

// A column of a key or an index as the dialect writes columns; a Memo column
// gets the key length 255 where the server needs one.
QString KeyColumnName(const QString& name, Dialect dialect, bool memo);

// Names and texts from a document the program does not control (XDB): nothing
// in them may end their statement.

// [name] with every closing bracket doubled (MS SQL). Sybase knows no such
// escape: a name holding "]" gets double quotes there instead.
QString BracketQuoted(const QString& name, Dialect dialect = Dialect::MSSQL);

// The name between the dialect's quotes whether it needs them or not (as
// BracketQuoted on MS SQL and Sybase, grave accents on MySQL, double quotes
// on Oracle and DB2), the closing quote doubled inside.
QString AlwaysQuoted(const QString& name, Dialect dialect);

// The one rule for whether the dialect reads a name unquoted: letters (beyond
// ASCII too), digits, "_" and the signs the dialect reads in names ("$" on
// MySQL; "$", "#" and "@" on MS SQL, Sybase and DB2; "$" and "#" on Oracle),
// beginning with a letter or "_", and no word the dialect reserves.
bool ReadsBare(const QString& name, Dialect dialect);

// The name as it stands where the dialect reads it bare, else between the
// dialect's quotes (as BracketQuoted on MS SQL and Sybase, grave accents on
// MySQL, double quotes on Oracle and DB2), the closing quote doubled inside.
QString DelimitedName(const QString& name, Dialect dialect);
