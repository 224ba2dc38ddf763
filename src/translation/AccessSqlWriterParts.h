#pragma once

// What the files of the writer behind AccessSqlWriter.h share; nothing outside
// them includes this. AccessSqlWriterNames.cpp writes names, literals and Like
// patterns.

#include "core/Dialect.h"
#include "translation/AccessSql.h"

#include <QString>
#include <QStringList>

namespace accesssql::writer {

// A part without an equivalent on the server; WriteAccessQuery turns it into
// an Untranslatable result with this reason.
struct CannotWrite {
    QString reason;
};

// The reason may quote a pattern from the text; it stays on one line all the same.
[[noreturn]] void cannot(QString reason);

// Names and literals (AccessSqlWriterNames.cpp); ServerName, the rule for a
// single name, is public (AccessSqlWriter.h).
QString qualified(const QStringList& parts, Dialect dialect);
QString literal(const QString& text, Dialect dialect);
QString dateLiteral(const DateTimeValue& d, Dialect dialect);
QString likeForMySql(const QString& pattern);
QString likeAsRegexp(const QString& pattern);
QString likeForMsSql(const QString& pattern);

}  // namespace accesssql::writer
