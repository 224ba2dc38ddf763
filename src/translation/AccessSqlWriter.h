#pragma once

// Turning a saved Access select or union query into the SELECT text of a view
// on MySQL/MariaDB or Microsoft SQL Server: the text is read into a tree
// (AccessSql.h) and written out again in the server's own terms, so names,
// literals, operators and functions each get the server's equivalent and
// whatever has none is reported instead of being sent to fail there.

#include "core/Dialect.h"
#include "translation/AccessSql.h"

#include <QString>

struct AccessSqlTranslation {
    enum class Outcome { Translated, NotAView, Untranslatable };
    Outcome outcome = Outcome::Untranslatable;
    QString text;    // Translated: the text for "CREATE VIEW name AS " + text, on one line, without ";"
    QString reason;  // NotAView, Untranslatable: German, one line
};

// Only Dialect::MySQL and Dialect::MSSQL have a writer; other dialects are
// Untranslatable.
AccessSqlTranslation TranslateAccessQuery(const QString& accessText, Dialect dialect);

// Writes a tree read by accesssql::ParseAccessQuery. Throws nothing: a part
// without an equivalent on the server makes the result Untranslatable.
AccessSqlTranslation WriteAccessQuery(const accesssql::Query& query, Dialect dialect, qsizetype sizeLimit);

// A name as the server reads it: bare when it can be, quoted otherwise.
QString ServerName(const QString& name, Dialect dialect);
