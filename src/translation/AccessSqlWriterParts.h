#pragma once

// What the files of the writer behind AccessSqlWriter.h share; nothing outside
// them includes this. One class, Writer, holds the output and the dialect; its
// parts are split by what they write:
//   AccessSqlWriter.cpp             statements (SELECT, UNION, FROM, joins,
//                                   ORDER BY, TOP) and the entry points
//   AccessSqlWriterExpressions.cpp  operators, conditions and values
//   AccessSqlWriterFunctions.cpp    Access's functions on each server
//   AccessSqlWriterNames.cpp        names, literals and Like patterns, as free
//                                   functions of the dialect

#include "core/Dialect.h"
#include "translation/AccessSql.h"

#include <QString>
#include <QStringList>

#include <vector>

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

// Output precedence, loosest first: a part is put in parentheses when it binds
// more loosely than its place asks for.
enum Precedence { kLoosest, kOr, kXor, kAnd, kNot, kCompare, kAdd, kMul, kNegate, kAtom };

// SQL Server has truth values only in conditions (WHERE, ON, CASE WHEN, AND,
// ...) and none as values; MySQL takes both everywhere.
enum class Context { Value, Condition };

// Functions (AccessSqlWriterFunctions.cpp).
QString functionKey(const QString& name);
bool isIsNullCall(const Expr& e);
bool isDateValued(const Expr& e);

struct DatePiece;

// Writes one query for MySQL or SQL Server into a text; throws CannotWrite
// where a part has no equivalent there or the text grows beyond the limit.
class Writer {
public:
    Writer(Dialect dialect, qsizetype limit) : dialect_(dialect), mySql_(dialect == Dialect::MySQL), limit_(limit) {}

    const QString& text() const { return out_; }

    // Statements (AccessSqlWriter.cpp).
    void query(const Query& q, bool named);

private:
    void select(const Select& s, bool ordered, bool named);
    void table(const TableRef& t, bool rightOfJoin);

    // Expressions and operators (AccessSqlWriterExpressions.cpp).
    void expr(const Expr& e, int minPrecedence, Context context);
    void plain(const Expr& e, int minPrecedence);
    void natural(const Expr& e);
    void operands(const Expr& e, int level, Context context, const char* op);
    void chain(const Expr& e);
    void dateArithmetic(const Expr& e);
    void concat(const Expr& e);
    void like(const Expr& e);

    // Function calls (AccessSqlWriterFunctions.cpp).
    void call(const Expr& e);
    void expand(const char* pattern, const Expr& call);
    void weekday(const QString& function, const Expr& date, int first);
    void datePart(const Expr& call);
    void dateAdd(const Expr& call);
    void dateDiff(const Expr& call);
    void format(const Expr& call);
    void formatNumber(const Expr& call, const QString& msSqlPattern, int decimals, bool thousands, bool percent);
    void formatDate(const Expr& call, const std::vector<DatePiece>& pieces);

    void put(const char* text) { out_ += QLatin1StringView(text); }
    void put(const QString& text) { out_ += text; }

    Dialect dialect_;
    bool mySql_;
    qsizetype limit_;
    QString out_;
    int derivedTables_ = 0;
};

}  // namespace accesssql::writer
