#include "translation/AccessSqlWriter.h"

#include "translation/AccessSqlWriterParts.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

using namespace accesssql;
using namespace accesssql::writer;

namespace accesssql::writer {

void cannot(QString reason)
{
    for (QChar& c : reason)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    throw CannotWrite{reason};
}

}  // namespace accesssql::writer

namespace {

QString functionReason(const QString& name)
{
    return QStringLiteral("Funktion ") + name + QStringLiteral(" nicht übersetzbar");
}

// Output precedence, loosest first: a part is put in parentheses when it binds
// more loosely than its place asks for.
enum Precedence { kLoosest, kOr, kXor, kAnd, kNot, kCompare, kAdd, kMul, kNegate, kAtom };

// SQL Server has truth values only in conditions (WHERE, ON, CASE WHEN, AND,
// ...) and none as values; MySQL takes both everywhere.
enum class Context { Value, Condition };

// A function with a fixed number of arguments and a pattern per server. In the
// patterns {n} is argument n, {=n} argument n in parentheses unless it is a
// single operand, {?n} argument n as a condition. Every pattern is one operand
// itself (a call or in parentheses), so it fits wherever a call fits.
struct FunctionForm {
    const char* name;  // lower case, without Access's "$"
    int arguments;
    const char* mySql;
    const char* msSql;
};

const FunctionForm kForms[] = {
    // Texts
    {"len", 1, "CHAR_LENGTH({1})", "LEN({1})"},
    {"mid", 2, "SUBSTRING({1}, {2})", "SUBSTRING({1}, {2}, 2147483647)"},
    {"mid", 3, "SUBSTRING({1}, {2}, {3})", "SUBSTRING({1}, {2}, {3})"},
    {"left", 2, "LEFT({1}, {2})", "LEFT({1}, {2})"},
    {"right", 2, "RIGHT({1}, {2})", "RIGHT({1}, {2})"},
    {"ucase", 1, "UPPER({1})", "UPPER({1})"},
    {"lcase", 1, "LOWER({1})", "LOWER({1})"},
    {"trim", 1, "TRIM({1})", "LTRIM(RTRIM({1}))"},
    {"ltrim", 1, "LTRIM({1})", "LTRIM({1})"},
    {"rtrim", 1, "RTRIM({1})", "RTRIM({1})"},
    // InStr([start,] searched, sought): the servers take the sought text first.
    {"instr", 2, "LOCATE({2}, {1})", "CHARINDEX({2}, {1})"},
    {"instr", 3, "LOCATE({3}, {2}, {1})", "CHARINDEX({3}, {2}, {1})"},
    {"space", 1, "SPACE({1})", "SPACE({1})"},
    {"replace", 3, "REPLACE({1}, {2}, {3})", "REPLACE({1}, {2}, {3})"},
    {"asc", 1, "ASCII({1})", "ASCII({1})"},
    // Access's character codes are those of Windows-1252, which MySQL calls latin1.
    {"chr", 1, "CHAR({1} USING latin1)", "CHAR({1})"},
    {"cstr", 1, "CAST({1} AS CHAR)", "CAST({1} AS NVARCHAR(4000))"},
    // Conversions and numbers. CInt and CLng round halves away from zero here;
    // Access rounds them to the even neighbour.
    {"ccur", 1, "CAST({1} AS DECIMAL(19,4))", "CAST({1} AS MONEY)"},
    {"cdbl", 1, "CAST({1} AS DOUBLE)", "CAST({1} AS FLOAT)"},
    {"csng", 1, "CAST({1} AS FLOAT)", "CAST({1} AS REAL)"},
    {"clng", 1, "CAST(ROUND({1}) AS SIGNED)", "CAST(ROUND({1}, 0) AS INT)"},
    {"cint", 1, "CAST(ROUND({1}) AS SIGNED)", "CAST(ROUND({1}, 0) AS SMALLINT)"},
    {"cbyte", 1, "CAST(ROUND({1}) AS UNSIGNED)", "CAST(ROUND({1}, 0) AS TINYINT)"},
    {"cbool", 1, "({=1} <> 0)", "CASE WHEN {=1} <> 0 THEN 1 WHEN {=1} = 0 THEN 0 END"},
    {"cdate", 1, "CAST({1} AS DATETIME)", "CAST({1} AS DATETIME)"},
    {"cvar", 1, "{=1}", "{=1}"},
    // Val reads the number at the start of a text; SQL Server reads whole numbers only.
    {"val", 1, "CAST({1} AS DOUBLE)", "TRY_CAST({1} AS FLOAT)"},
    {"int", 1, "FLOOR({1})", "FLOOR({1})"},
    {"fix", 1, "TRUNCATE({1}, 0)", "ROUND({1}, 0, 1)"},
    {"abs", 1, "ABS({1})", "ABS({1})"},
    {"sgn", 1, "SIGN({1})", "SIGN({1})"},
    {"sqr", 1, "SQRT({1})", "SQRT({1})"},
    {"exp", 1, "EXP({1})", "EXP({1})"},
    {"log", 1, "LOG({1})", "LOG({1})"},
    {"sin", 1, "SIN({1})", "SIN({1})"},
    {"cos", 1, "COS({1})", "COS({1})"},
    {"tan", 1, "TAN({1})", "TAN({1})"},
    {"atn", 1, "ATAN({1})", "ATAN({1})"},
    {"round", 1, "ROUND({1})", "ROUND({1}, 0)"},
    {"round", 2, "ROUND({1}, {2})", "ROUND({1}, {2})"},
    // Choices. COALESCE rather than ISNULL on SQL Server: ISNULL cuts the
    // replacement to the type of its first argument. Nz without a replacement
    // gives a zero-length text in a query, as Access's documentation has it.
    {"iif", 3, "IF({?1}, {2}, {3})", "IIF({?1}, {2}, {3})"},
    {"nz", 1, "IFNULL({1}, '')", "COALESCE({1}, '')"},
    {"nz", 2, "IFNULL({1}, {2})", "COALESCE({1}, {2})"},
    // Dates and times
    {"now", 0, "NOW()", "GETDATE()"},
    // A datetime, so that Date() - 30 works on SQL Server as it does in Access.
    {"date", 0, "CURDATE()", "CAST(CAST(GETDATE() AS DATE) AS DATETIME)"},
    {"time", 0, "CURTIME()", "CAST(GETDATE() AS TIME)"},
    {"year", 1, "YEAR({1})", "YEAR({1})"},
    {"month", 1, "MONTH({1})", "MONTH({1})"},
    {"day", 1, "DAY({1})", "DAY({1})"},
    {"hour", 1, "HOUR({1})", "DATEPART(hour, {1})"},
    {"minute", 1, "MINUTE({1})", "DATEPART(minute, {1})"},
    {"second", 1, "SECOND({1})", "DATEPART(second, {1})"},
    {"datevalue", 1, "DATE({1})", "CAST({1} AS DATE)"},
    {"timevalue", 1, "TIME({1})", "CAST({1} AS TIME)"},
    // Month and day are added to the first of January, so that overflowing
    // values (month 13, day 0) roll over the way Access rolls them.
    {"dateserial", 3, "DATE_ADD(DATE_ADD(MAKEDATE({1}, 1), INTERVAL {=2} - 1 MONTH), INTERVAL {=3} - 1 DAY)",
     "DATEADD(day, {=3} - 1, DATEADD(month, {=2} - 1, DATEFROMPARTS({1}, 1, 1)))"},
    // Aggregates. First and Last take the smallest and largest value, as the
    // rewriting of the other servers does for First: the servers keep no
    // order of the rows to take the first or last one from.
    {"sum", 1, "SUM({1})", "SUM({1})"},
    {"avg", 1, "AVG({1})", "AVG({1})"},
    {"count", 1, "COUNT({1})", "COUNT({1})"},
    {"min", 1, "MIN({1})", "MIN({1})"},
    {"max", 1, "MAX({1})", "MAX({1})"},
    {"first", 1, "MIN({1})", "MIN({1})"},
    {"last", 1, "MAX({1})", "MAX({1})"},
    {"stdev", 1, "STDDEV_SAMP({1})", "STDEV({1})"},
    {"stdevp", 1, "STDDEV_POP({1})", "STDEVP({1})"},
    {"var", 1, "VAR_SAMP({1})", "VAR({1})"},
    {"varp", 1, "VAR_POP({1})", "VARP({1})"},
};

// Date parts of DatePart, DateAdd and DateDiff: Access's interval, MySQL's
// function and interval unit, SQL Server's date part.
struct Interval {
    const char* access;
    const char* mySqlFunction;
    const char* mySqlUnit;
    const char* msSqlPart;
};

const Interval kIntervals[] = {
    {"yyyy", "YEAR", "YEAR", "year"},    {"q", "QUARTER", "QUARTER", "quarter"},
    {"m", "MONTH", "MONTH", "month"},    {"y", "DAYOFYEAR", "DAY", "dayofyear"},
    {"d", "DAY", "DAY", "day"},          {"w", nullptr, "DAY", nullptr},
    {"ww", nullptr, "WEEK", "week"},     {"h", "HOUR", "HOUR", "hour"},
    {"n", "MINUTE", "MINUTE", "minute"}, {"s", "SECOND", "SECOND", "second"},
};

const Interval* findInterval(const QString& access)
{
    for (const Interval& interval : kIntervals)
        if (access == QLatin1StringView(interval.access))
            return &interval;
    return nullptr;
}

// DateDiff counts the boundaries passed between the two dates, as SQL
// Server's DATEDIFF does. MySQL counts whole units instead, so there the
// dates are cut to the unit first.
struct DateDiffForm {
    const char* access;
    const char* mySql;
    const char* msSql;
};

const DateDiffForm kDateDiffs[] = {
    {"yyyy", "(YEAR({3}) - YEAR({2}))", "DATEDIFF(year, {2}, {3})"},
    {"q", "((YEAR({3}) - YEAR({2})) * 4 + QUARTER({3}) - QUARTER({2}))", "DATEDIFF(quarter, {2}, {3})"},
    {"m", "((YEAR({3}) - YEAR({2})) * 12 + MONTH({3}) - MONTH({2}))", "DATEDIFF(month, {2}, {3})"},
    {"y", "DATEDIFF({3}, {2})", "DATEDIFF(day, {2}, {3})"},
    {"d", "DATEDIFF({3}, {2})", "DATEDIFF(day, {2}, {3})"},
    {"w", "(DATEDIFF({3}, {2}) DIV 7)", "(DATEDIFF(day, {2}, {3}) / 7)"},
    {"ww", "((TO_DAYS({3}) - DAYOFWEEK({3}) - TO_DAYS({2}) + DAYOFWEEK({2})) DIV 7)", "DATEDIFF(week, {2}, {3})"},
    {"h", "TIMESTAMPDIFF(HOUR, DATE_FORMAT({2}, '%Y-%m-%d %H:00:00'), DATE_FORMAT({3}, '%Y-%m-%d %H:00:00'))",
     "DATEDIFF(hour, {2}, {3})"},
    {"n", "TIMESTAMPDIFF(MINUTE, DATE_FORMAT({2}, '%Y-%m-%d %H:%i:00'), DATE_FORMAT({3}, '%Y-%m-%d %H:%i:00'))",
     "DATEDIFF(minute, {2}, {3})"},
    {"s", "TIMESTAMPDIFF(SECOND, {2}, {3})", "DATEDIFF(second, {2}, {3})"},
};

// m, mm, mmm, mmmm and d, dd, ddd, dddd of Format: DATE_FORMAT's and .NET's.
const char* const kMonths[4][2] = {{"%c", "M"}, {"%m", "MM"}, {"%b", "MMM"}, {"%M", "MMMM"}};
const char* const kDays[4][2] = {{"%e", "d"}, {"%d", "dd"}, {"%a", "ddd"}, {"%W", "dddd"}};

// One piece of a Format date pattern: a run for DATE_FORMAT/FORMAT, or a part
// those cannot show, written as a pattern over the value ({1}).
struct DatePiece {
    QString run;
    const char* function = nullptr;
};

bool isLiteral(const Expr& e)
{
    return e.kind == ExprKind::Text || e.kind == ExprKind::Number || e.kind == ExprKind::Date
        || e.kind == ExprKind::Boolean;
}

// The function's name as Access matches it: any case, "$" variants the same.
QString functionKey(const QString& name)
{
    QString key = name.toLower();
    if (key.endsWith(QLatin1Char('$')))
        key.chop(1);
    return key;
}

// A date by its form: a date literal or a function that gives one.
bool isDateValued(const Expr& e)
{
    static const QStringList functions = {
        QStringLiteral("now"),     QStringLiteral("date"),  QStringLiteral("time"),     QStringLiteral("dateserial"),
        QStringLiteral("dateadd"), QStringLiteral("cdate"), QStringLiteral("datevalue")};
    return e.kind == ExprKind::Date || (e.kind == ExprKind::Call && functions.contains(functionKey(e.text)));
}

bool isIsNullCall(const Expr& e)
{
    return e.kind == ExprKind::Call && e.args.size() == 1 && functionKey(e.text) == QLatin1String("isnull");
}

bool isCondition(const Expr& e)
{
    switch (e.kind) {
    case ExprKind::Not:
    case ExprKind::Compare:
    case ExprKind::Like:
    case ExprKind::In:
    case ExprKind::Between:
    case ExprKind::IsNull:
    case ExprKind::Exists:
        return true;
    case ExprKind::Chain:
        return e.chain == Chain::Or || e.chain == Chain::And || e.chain == Chain::Xor || e.chain == Chain::Eqv
            || e.chain == Chain::Imp;
    case ExprKind::Call:
        return isIsNullCall(e);
    default:
        return false;
    }
}

int precedence(const Expr& e)
{
    switch (e.kind) {
    case ExprKind::Negate:
        return kNegate;
    case ExprKind::Not:
        return kNot;
    case ExprKind::Compare:
    case ExprKind::Like:
    case ExprKind::In:
    case ExprKind::Between:
    case ExprKind::IsNull:
        return kCompare;
    case ExprKind::Call:
        return isIsNullCall(e) ? kCompare : kAtom;
    case ExprKind::Chain:
        switch (e.chain) {
        case Chain::Or:
            return kOr;
        case Chain::Xor:
            return kXor;
        case Chain::And:
            return kAnd;
        case Chain::Add:
            return kAdd;
        case Chain::Mul:
        case Chain::IntDiv:
        case Chain::Mod:
            return kMul;
        default:
            return kAtom;
        }
    default:
        return kAtom;
    }
}

class Writer {
public:
    Writer(Dialect dialect, qsizetype limit) : dialect_(dialect), mySql_(dialect == Dialect::MySQL), limit_(limit) {}

    const QString& text() const { return out_; }

    void query(const Query& q, bool named)
    {
        const bool single = q.parts.size() == 1;
        for (size_t i = 0; i < q.parts.size(); ++i) {
            const Select& s = q.parts[i];
            if (i > 0)
                put(q.unionAll[i - 1] ? " UNION ALL " : " UNION ");
            // TOP 100 PERCENT is all rows.
            const bool everything = s.topPercent && s.top.toDouble() >= 100;
            if (mySql_ && s.topPercent && !everything)
                cannot(QStringLiteral("TOP ") + s.top + QStringLiteral(" PERCENT ist auf MySQL nicht übersetzbar"));
            // A LIMIT holds for one part of a union only inside parentheses.
            const bool partLimit = mySql_ && !s.top.isEmpty() && !everything && !single;
            if (partLimit)
                put("(");
            // A union takes its column names from the first part.
            select(s, single && !q.orderBy.empty(), named && i == 0);
            if (partLimit) {
                put(" LIMIT ");
                put(s.top);
                put(")");
            }
        }
        // SQL Server refuses ORDER BY in views and subqueries unless there is
        // a TOP for it to choose the rows; without one the order is the
        // reader's business anyway.
        if (!q.orderBy.empty() && (mySql_ || (single && !q.parts[0].top.isEmpty()))) {
            put(" ORDER BY ");
            for (size_t i = 0; i < q.orderBy.size(); ++i) {
                const OrderItem& item = q.orderBy[i];
                if (i > 0)
                    put(", ");
                // A union's ORDER BY names columns of its result, which MySQL does not take qualified.
                if (!single && item.expr->kind == ExprKind::Name)
                    put(ServerName(item.expr->parts.last(), dialect_));
                else
                    expr(*item.expr, kLoosest, Context::Value);
                if (item.descending)
                    put(" DESC");
            }
        }
        if (mySql_ && single && !q.parts[0].top.isEmpty() && !q.parts[0].topPercent) {
            put(" LIMIT ");
            put(q.parts[0].top);
        }
    }

private:
    void put(const char* text) { out_ += QLatin1StringView(text); }
    void put(const QString& text) { out_ += text; }

    // The names Access gives the columns of a query, where the server would
    // give others or none: a view needs one distinct name per column (SQL
    // Server even for expressions), and queries built on it use Access's.
    // Fields of the same name are called "Table.Field", unnamed expressions
    // Expr1000, Expr1001, ...
    static QStringList columnNames(const Select& s)
    {
        QHash<QString, int> uses;
        for (const SelectItem& item : s.items) {
            if (!item.alias.isEmpty())
                ++uses[item.alias.toLower()];
            else if (item.expr->kind == ExprKind::Name)
                ++uses[item.expr->parts.last().toLower()];
        }
        QStringList names;
        int expressions = 0;
        for (const SelectItem& item : s.items) {
            const Expr& e = *item.expr;
            if (!item.alias.isEmpty())
                names.append(item.alias);
            else if (e.kind == ExprKind::Name && e.parts.size() > 1 && uses.value(e.parts.last().toLower()) > 1)
                names.append(e.parts.join(QLatin1Char('.')));
            else if (e.kind != ExprKind::Name && e.kind != ExprKind::Star)
                names.append(QStringLiteral("Expr") + QString::number(1000 + expressions++));
            else
                names.append(QString());
        }
        return names;
    }

    // The name each table of the FROM clause is known by, lower case.
    static void fromNames(const TableRef& t, QSet<QString>& names)
    {
        if (t.kind == TableRef::Kind::Join) {
            fromNames(*t.left, names);
            fromNames(*t.right, names);
        } else {
            names.insert((t.alias.isEmpty() && !t.name.isEmpty() ? t.name.last() : t.alias).toLower());
        }
    }

    // Adds the tables whose fields e reads; false where one cannot be told
    // (a bare field name, "*", a subquery).
    static bool fieldTables(const Expr& e, QSet<QString>& tables)
    {
        if (e.kind == ExprKind::Name || e.kind == ExprKind::Star) {
            const qsizetype qualifier = e.kind == ExprKind::Name ? e.parts.size() - 2 : e.parts.size() - 1;
            if (qualifier < 0)
                return false;
            tables.insert(e.parts.at(qualifier).toLower());
            return true;
        }
        if (e.query)
            return false;
        for (const ExprPtr& arg : e.args) {
            if (arg && !fieldTables(*arg, tables))
                return false;
        }
        return true;
    }

    static bool fieldsFromSomeTablesOnly(const Select& s)
    {
        if (!s.groupBy.empty() || s.having)
            return false;
        QSet<QString> from;
        for (const TableRefPtr& t : s.from)
            fromNames(*t, from);
        QSet<QString> used;
        for (const SelectItem& item : s.items) {
            if (!fieldTables(*item.expr, used))
                return false;
        }
        return !used.isEmpty() && used.size() < from.size() && from.contains(used);
    }

    // named: the columns are those of a view or derived table, see columnNames().
    void select(const Select& s, bool ordered, bool named)
    {
        put("SELECT ");
        // DISTINCTROW shows each row of the tables behind the fields once. It
        // changes the result only where every field comes from some of the
        // joined tables (not all): there it is DISTINCT (Northwind's
        // "Quarterly Orders" shows each customer once). Otherwise, or where a
        // field's table cannot be told, or rows are grouped, it goes.
        if (s.quantifier == Select::Quantifier::Distinct
            || (s.quantifier == Select::Quantifier::DistinctRow && fieldsFromSomeTablesOnly(s)))
            put("DISTINCT ");
        if (!mySql_ && !s.top.isEmpty()) {
            put("TOP ");
            put(s.top);
            if (s.topPercent)
                put(" PERCENT");
            // Access's TOP keeps the rows that tie with the last one.
            if (ordered)
                put(" WITH TIES");
            put(" ");
        }
        const QStringList aliases = named ? columnNames(s) : QStringList();
        for (size_t i = 0; i < s.items.size(); ++i) {
            if (i > 0)
                put(", ");
            expr(*s.items[i].expr, kLoosest, Context::Value);
            const QString alias = named ? aliases.at(qsizetype(i)) : s.items[i].alias;
            if (!alias.isEmpty()) {
                put(" AS ");
                put(ServerName(alias, dialect_));
            }
        }
        for (size_t i = 0; i < s.from.size(); ++i) {
            put(i == 0 ? " FROM " : ", ");
            table(*s.from[i], false);
        }
        if (s.where) {
            put(" WHERE ");
            expr(*s.where, kLoosest, Context::Condition);
        }
        for (size_t i = 0; i < s.groupBy.size(); ++i) {
            put(i == 0 ? " GROUP BY " : ", ");
            expr(*s.groupBy[i], kLoosest, Context::Value);
        }
        if (s.having) {
            put(" HAVING ");
            expr(*s.having, kLoosest, Context::Condition);
        }
    }

    void table(const TableRef& t, bool rightOfJoin)
    {
        switch (t.kind) {
        case TableRef::Kind::Table:
            put(qualified(t.name, dialect_));
            break;
        case TableRef::Kind::Subquery:
            put("(");
            query(*t.query, true);
            put(")");
            // Both servers want a name for a derived table; Access makes one up.
            if (t.alias.isEmpty())
                put(QStringLiteral(" AS Unterabfrage") + QString::number(++derivedTables_));
            break;
        case TableRef::Kind::Join:
            // Joins nest to the left by themselves; one on the right needs parentheses.
            if (rightOfJoin)
                put("(");
            table(*t.left, false);
            put(t.join == JoinKind::Inner ? " INNER JOIN " : t.join == JoinKind::Left ? " LEFT JOIN " : " RIGHT JOIN ");
            table(*t.right, true);
            put(" ON ");
            expr(*t.on, kLoosest, Context::Condition);
            if (rightOfJoin)
                put(")");
            return;
        }
        if (!t.alias.isEmpty()) {
            put(" AS ");
            put(ServerName(t.alias, dialect_));
        }
    }

    void expr(const Expr& e, int minPrecedence, Context context)
    {
        if (out_.size() > limit_)
            cannot(QStringLiteral("Die Übersetzung wird zu lang."));
        if (!mySql_) {
            const bool condition = isCondition(e);
            if (context == Context::Condition && !condition) {
                // Access takes any number but 0 for true.
                const bool parentheses = kCompare < minPrecedence;
                if (parentheses)
                    put("(");
                plain(e, kCompare + 1);
                put(" <> 0");
                if (parentheses)
                    put(")");
                return;
            }
            if (context == Context::Value && condition) {
                // True, false or Null as Access has them (as 1 rather than -1 for true).
                put("CASE WHEN ");
                plain(e, kLoosest);
                put(" THEN 1 WHEN NOT ");
                plain(e, kNot + 1);
                put(" THEN 0 END");
                return;
            }
        }
        plain(e, minPrecedence);
    }

    void plain(const Expr& e, int minPrecedence)
    {
        const bool parentheses = precedence(e) < minPrecedence;
        if (parentheses)
            put("(");
        natural(e);
        if (parentheses)
            put(")");
    }

    void natural(const Expr& e)
    {
        switch (e.kind) {
        case ExprKind::Name:
            put(qualified(e.parts, dialect_));
            return;
        case ExprKind::Star:
            if (!e.parts.isEmpty()) {
                put(qualified(e.parts, dialect_));
                put(".");
            }
            put("*");
            return;
        case ExprKind::Text:
            put(literal(e.text, dialect_));
            return;
        case ExprKind::Number:
            put(e.text);
            return;
        case ExprKind::Date:
            put(dateLiteral(e.date, dialect_));
            return;
        case ExprKind::Boolean:
            put(e.boolean ? "1" : "0");
            return;
        case ExprKind::Null:
            put("NULL");
            return;
        case ExprKind::Call:
            call(e);
            return;
        case ExprKind::Negate:
            // Two minus signs in a row would start a comment.
            if (e.args[0]->kind == ExprKind::Negate) {
                put("-(");
                expr(*e.args[0], kLoosest, Context::Value);
                put(")");
            } else {
                put("-");
                expr(*e.args[0], kNegate, Context::Value);
            }
            return;
        case ExprKind::Not:
            // SQL Server wants a predicate or parentheses after NOT, never another NOT.
            put("NOT ");
            expr(*e.args[0], kNot + 1, Context::Condition);
            return;
        case ExprKind::Chain:
            chain(e);
            return;
        case ExprKind::Compare:
            expr(*e.args[0], kCompare + 1, Context::Value);
            put(" ");
            put(e.text);
            put(" ");
            if (e.query) {
                put(e.quantifier);
                put(" (");
                query(*e.query, false);
                put(")");
            } else {
                expr(*e.args[1], kCompare + 1, Context::Value);
            }
            return;
        case ExprKind::Like:
            like(e);
            return;
        case ExprKind::In:
            expr(*e.args[0], kCompare + 1, Context::Value);
            put(e.negated ? " NOT IN (" : " IN (");
            if (e.query) {
                query(*e.query, false);
            } else {
                for (size_t i = 1; i < e.args.size(); ++i) {
                    if (i > 1)
                        put(", ");
                    expr(*e.args[i], kLoosest, Context::Value);
                }
            }
            put(")");
            return;
        case ExprKind::Between:
            expr(*e.args[0], kCompare + 1, Context::Value);
            put(e.negated ? " NOT BETWEEN " : " BETWEEN ");
            expr(*e.args[1], kCompare + 1, Context::Value);
            put(" AND ");
            expr(*e.args[2], kCompare + 1, Context::Value);
            return;
        case ExprKind::IsNull:
            expr(*e.args[0], kCompare + 1, Context::Value);
            put(e.negated ? " IS NOT NULL" : " IS NULL");
            return;
        case ExprKind::Exists:
            put("EXISTS (");
            query(*e.query, false);
            put(")");
            return;
        case ExprKind::Subquery:
            put("(");
            query(*e.query, false);
            put(")");
            return;
        }
    }

    // The operands with the operator text before each but the first; operands
    // after the first bind one step tighter, as all these operators group to
    // the left.
    void operands(const Expr& e, int level, Context context, const char* op)
    {
        for (size_t i = 0; i < e.args.size(); ++i) {
            if (i > 0)
                put(op ? QString::fromLatin1(op) : QLatin1Char(' ') + e.ops[i - 1] + QLatin1Char(' '));
            expr(*e.args[i], i == 0 ? level : level + 1, context);
        }
    }

    void chain(const Expr& e)
    {
        switch (e.chain) {
        case Chain::Imp:
            cannot(QStringLiteral("Operator Imp nicht übersetzbar"));
        case Chain::Eqv:
            cannot(QStringLiteral("Operator Eqv nicht übersetzbar"));
        case Chain::Xor:
            if (!mySql_)
                cannot(QStringLiteral("Operator Xor ist auf MS SQL nicht übersetzbar"));
            operands(e, kXor, Context::Condition, " XOR ");
            return;
        case Chain::Or:
            operands(e, kOr, Context::Condition, " OR ");
            return;
        case Chain::And:
            operands(e, kAnd, Context::Condition, " AND ");
            return;
        // Access's + adds numbers and joins texts, Null in either case giving
        // Null. The types are not known here, so + stays: SQL Server joins
        // texts with it too, MySQL adds them as numbers.
        case Chain::Add:
            if (mySql_ && isDateValued(*e.args[0])) {
                dateArithmetic(e);
                return;
            }
            if (!mySql_ && e.args[0]->kind == ExprKind::Date) {
                // SQL Server adds days to a datetime, but to a text as a number.
                put("CAST(");
                expr(*e.args[0], kLoosest, Context::Value);
                put(" AS DATETIME)");
                for (size_t i = 1; i < e.args.size(); ++i) {
                    put(QLatin1Char(' ') + e.ops[i - 1] + QLatin1Char(' '));
                    expr(*e.args[i], kAdd + 1, Context::Value);
                }
                return;
            }
            operands(e, kAdd, Context::Value, nullptr);
            return;
        case Chain::Concat:
            concat(e);
            return;
        case Chain::Mul:
            if (!e.ops.contains(QLatin1String("/"))) {
                operands(e, kMul, Context::Value, nullptr);
                return;
            }
            // Access divides as Double: integers would divide as integers on
            // SQL Server and to four places on MySQL. A Double at the start
            // makes every later step one.
            put("CAST(");
            expr(*e.args[0], kLoosest, Context::Value);
            put(mySql_ ? " AS DOUBLE)" : " AS FLOAT)");
            for (size_t i = 1; i < e.args.size(); ++i) {
                put(QLatin1Char(' ') + e.ops[i - 1] + QLatin1Char(' '));
                expr(*e.args[i], kMul + 1, Context::Value);
            }
            return;
        case Chain::IntDiv:
            if (mySql_) {
                operands(e, kMul, Context::Value, " DIV ");
                return;
            }
            // Integer division on SQL Server is "/" between integers.
            for (size_t i = 0; i < e.args.size(); ++i) {
                put(i == 0 ? "CAST(" : " / CAST(");
                expr(*e.args[i], kLoosest, Context::Value);
                put(" AS INT)");
            }
            return;
        case Chain::Mod:
            operands(e, kMul, Context::Value, mySql_ ? " MOD " : " % ");
            return;
        case Chain::Power:
            // a ^ b ^ c groups to the left: POWER(POWER(a, b), c). Access's
            // result is a Double; SQL Server's POWER keeps the type of a.
            for (size_t i = 1; i < e.args.size(); ++i)
                put("POWER(");
            if (!mySql_)
                put("CAST(");
            expr(*e.args[0], kLoosest, Context::Value);
            if (!mySql_)
                put(" AS FLOAT)");
            for (size_t i = 1; i < e.args.size(); ++i) {
                put(", ");
                expr(*e.args[i], kLoosest, Context::Value);
                put(")");
            }
            return;
        }
    }

    // Date() - 30 counts days in Access; MySQL would take the date for a
    // number (19950101 - 30). Whole numbers added to what is surely a date
    // become day intervals; the types of anything else are not known here.
    void dateArithmetic(const Expr& e)
    {
        expr(*e.args[0], kAdd, Context::Value);
        for (size_t i = 1; i < e.args.size(); ++i) {
            const Expr& operand = *e.args[i];
            bool whole = false;
            operand.text.toLongLong(&whole);
            put(QLatin1Char(' ') + e.ops[i - 1] + QLatin1Char(' '));
            if (operand.kind == ExprKind::Number && whole) {
                put(QStringLiteral("INTERVAL ") + operand.text + QStringLiteral(" DAY"));
            } else {
                expr(operand, kAdd + 1, Context::Value);
            }
        }
    }

    // Access's "&" treats Null as a zero-length text, but Null & Null is Null.
    // With a literal among the operands the result can never be Null, and
    // CONCAT with the Nulls made empty is the whole of it; otherwise a CASE
    // keeps the all-Null case. SQL Server's CONCAT makes Nulls empty itself.
    void concat(const Expr& e)
    {
        std::vector<const Expr*> parts;
        bool neverNull = false;
        // (a & b) & c is a & b & c, Nulls included; one CASE covers them all.
        auto collect = [&](const Expr& chain, auto& self) -> void {
            for (const ExprPtr& operand : chain.args) {
                if (operand->kind == ExprKind::Chain && operand->chain == Chain::Concat) {
                    self(*operand, self);
                } else if (operand->kind != ExprKind::Null) {
                    parts.push_back(operand.get());
                    neverNull = neverNull || isLiteral(*operand);
                }
            }
        };
        collect(e, collect);
        if (parts.empty()) {
            put("NULL");
            return;
        }
        if (!neverNull) {
            put("CASE WHEN ");
            for (size_t i = 0; i < parts.size(); ++i) {
                if (i > 0)
                    put(" AND ");
                expr(*parts[i], kCompare + 1, Context::Value);
                put(" IS NULL");
            }
            put(" THEN NULL ELSE ");
        }
        put("CONCAT(");
        for (size_t i = 0; i < parts.size(); ++i) {
            if (i > 0)
                put(", ");
            if (mySql_ && !isLiteral(*parts[i])) {
                put("COALESCE(");
                expr(*parts[i], kLoosest, Context::Value);
                put(", '')");
            } else {
                expr(*parts[i], kLoosest, Context::Value);
            }
        }
        // SQL Server's CONCAT wants two arguments.
        if (!mySql_ && parts.size() == 1)
            put(", ''");
        put(")");
        if (!neverNull)
            put(" END");
    }

    void like(const Expr& e)
    {
        const Expr& pattern = *e.args[1];
        if (pattern.kind != ExprKind::Text)
            cannot(QStringLiteral("Like mit berechnetem Muster nicht übersetzbar"));
        expr(*e.args[0], kCompare + 1, Context::Value);
        // MySQL's LIKE knows no digit placeholder and no lists; its regular
        // expressions do.
        if (mySql_ && (pattern.text.contains(QLatin1Char('#')) || pattern.text.contains(QLatin1Char('[')))) {
            put(e.negated ? " NOT REGEXP " : " REGEXP ");
            put(literal(likeAsRegexp(pattern.text), dialect_));
        } else {
            put(e.negated ? " NOT LIKE " : " LIKE ");
            put(literal(mySql_ ? likeForMySql(pattern.text) : likeForMsSql(pattern.text), dialect_));
        }
    }

    // Writes a pattern of kForms or of the special functions below.
    void expand(const char* pattern, const Expr& call)
    {
        for (const char* p = pattern; *p; ++p) {
            if (*p != '{') {
                out_ += QLatin1Char(*p);
                continue;
            }
            ++p;
            int minPrecedence = kLoosest;
            Context context = Context::Value;
            if (*p == '=') {
                minPrecedence = kAtom;
                ++p;
            } else if (*p == '?') {
                context = Context::Condition;
                ++p;
            }
            expr(*call.args[size_t(*p - '1')], minPrecedence, context);
            ++p;  // the "}"
        }
    }

    // An argument that has to be a literal text, in lower case.
    static QString intervalOf(const Expr& call)
    {
        const Expr& first = *call.args[0];
        if (first.kind != ExprKind::Text)
            cannot(QStringLiteral("Funktion ") + call.text
                   + QStringLiteral(" mit berechnetem Intervall nicht übersetzbar"));
        return first.text.toLower();
    }

    // An optional whole-number literal argument; -1 when it is something else.
    static int optionalNumber(const Expr& call, size_t index, int absent)
    {
        if (call.args.size() <= index)
            return absent;
        const Expr& arg = *call.args[index];
        bool ok = false;
        const int value = arg.text.toInt(&ok);
        return arg.kind == ExprKind::Number && ok ? value : -1;
    }

    [[noreturn]] static void unsupportedInterval(const Expr& call, const QString& interval)
    {
        cannot(QStringLiteral("Funktion ") + call.text + QStringLiteral(" mit Intervall \"") + interval
               + QStringLiteral("\" nicht übersetzbar"));
    }

    // Weekday(d, first): 1 for the first day of the week (1 = Sunday). SQL
    // Server counts from its DATEFIRST setting, which @@DATEFIRST undoes.
    void weekday(const QString& function, const Expr& date, int first)
    {
        if (first < 1 || first > 7)
            cannot(QStringLiteral("Funktion ") + function
                   + QStringLiteral(" mit diesem ersten Wochentag nicht übersetzbar"));
        const QString shift = QString::number(7 - first);
        if (mySql_ && first == 1) {
            put("DAYOFWEEK(");
            expr(date, kLoosest, Context::Value);
            put(")");
        } else if (mySql_) {
            put("(MOD(DAYOFWEEK(");
            expr(date, kLoosest, Context::Value);
            put(QStringLiteral(") + ") + shift + QStringLiteral(", 7) + 1)"));
        } else {
            put("((DATEPART(weekday, ");
            expr(date, kLoosest, Context::Value);
            put(QStringLiteral(") + @@DATEFIRST + ") + shift + QStringLiteral(") % 7 + 1)"));
        }
    }

    void datePart(const Expr& call)
    {
        if (call.args.size() < 2 || call.args.size() > 4)
            wrongArguments(call);
        const QString interval = intervalOf(call);
        const int first = optionalNumber(call, 2, 1);
        const int firstWeek = optionalNumber(call, 3, 1);
        const Interval* known = findInterval(interval);
        if (!known)
            unsupportedInterval(call, interval);
        if (interval == QLatin1String("w")) {
            weekday(call.text, *call.args[1], first);
        } else if (interval == QLatin1String("ww") && first == 2 && firstWeek == 2) {
            expand(mySql_ ? "WEEK({2}, 3)" : "DATEPART(iso_week, {2})", call);
        } else if (interval == QLatin1String("ww")) {
            // The week holding January 1 is week 1: the days before the date in
            // its year plus the days of week 1 before January 1, in weeks.
            if (firstWeek != 1 || first < 1 || first > 7)
                unsupportedInterval(call, interval);
            const QString offset = QString::number(372 - first);
            if (mySql_) {
                expand("((DAYOFYEAR({2}) - 1 + MOD(DAYOFWEEK({2}) - DAYOFYEAR({2}) + ", call);
                put(offset + QStringLiteral(", 7)) DIV 7 + 1)"));
            } else {
                expand("((DATEPART(dayofyear, {2}) - 1 + (DATEPART(weekday, {2}) + @@DATEFIRST - "
                       "DATEPART(dayofyear, {2}) + ",
                       call);
                put(offset + QStringLiteral(") % 7) / 7 + 1)"));
            }
        } else if (mySql_) {
            put(known->mySqlFunction);
            expand("({2})", call);
        } else {
            put(QStringLiteral("DATEPART(") + QLatin1StringView(known->msSqlPart) + QStringLiteral(", "));
            expand("{2})", call);
        }
    }

    void dateAdd(const Expr& call)
    {
        if (call.args.size() != 3)
            wrongArguments(call);
        const QString interval = intervalOf(call);
        const Interval* known = findInterval(interval);
        if (!known)
            unsupportedInterval(call, interval);
        if (mySql_) {
            expand("DATE_ADD({3}, INTERVAL {=2} ", call);
            put(known->mySqlUnit);
            put(")");
        } else {
            const char* part =
                interval == QLatin1String("y") || interval == QLatin1String("w") ? "day" : known->msSqlPart;
            put(QStringLiteral("DATEADD(") + QLatin1StringView(part) + QStringLiteral(", "));
            expand("{2}, {3})", call);
        }
    }

    void dateDiff(const Expr& call)
    {
        if (call.args.size() < 3 || call.args.size() > 5)
            wrongArguments(call);
        const QString interval = intervalOf(call);
        // Weeks are counted from Sunday to Sunday; another first day is not.
        if (interval == QLatin1String("ww") && optionalNumber(call, 3, 1) != 1)
            unsupportedInterval(call, interval);
        for (const DateDiffForm& form : kDateDiffs) {
            if (interval == QLatin1StringView(form.access)) {
                expand(mySql_ ? form.mySql : form.msSql, call);
                return;
            }
        }
        unsupportedInterval(call, interval);
    }

    [[noreturn]] static void wrongArguments(const Expr& call)
    {
        cannot(QStringLiteral("Funktion ") + call.text + QStringLiteral(" mit ") + QString::number(call.args.size())
               + QStringLiteral(" Argumenten nicht übersetzbar"));
    }

    // Format with a number pattern: 0, 0.00, #,##0.00, each optionally with %.
    // MySQL writes the number with its own separators (a point for decimals,
    // commas for thousands); SQL Server's FORMAT takes the pattern as it is
    // and the separators of the login's language, as Access takes Windows'.
    void formatNumber(const Expr& call, const QString& msSqlPattern, int decimals, bool thousands, bool percent)
    {
        if (!mySql_) {
            expand("FORMAT({1}, ", call);
            put(literal(msSqlPattern, dialect_) + QStringLiteral(")"));
            return;
        }
        // Rounded as a decimal first: FORMAT rounds a Double's halves to even, Access away from zero.
        const QString places = QString::number(decimals);
        if (percent)
            put("CONCAT(");
        put(thousands ? "FORMAT(CAST(" : "CAST(CAST(");
        expr(*call.args[0], percent ? kMul : kLoosest, Context::Value);
        if (percent)
            put(" * 100");
        put(QStringLiteral(" AS DECIMAL(65,") + places + QStringLiteral("))"));
        put(thousands ? QStringLiteral(", ") + places + QStringLiteral(")") : QStringLiteral(" AS CHAR)"));
        if (percent)
            put(", '%')");
    }

    // The date and time parts of a Format pattern, or an empty list when the
    // pattern holds anything else.
    std::vector<DatePiece> datePieces(const QString& pattern) const
    {
        std::vector<DatePiece> pieces;
        bool afterHour = false;
        QString run;
        auto add = [&](const char* mySql, const char* msSql) { run += QLatin1StringView(mySql_ ? mySql : msSql); };
        auto function = [&](const char* f) {
            if (!run.isEmpty())
                pieces.push_back(DatePiece{run, nullptr});
            run.clear();
            pieces.push_back(DatePiece{QString(), f});
        };
        for (qsizetype i = 0; i < pattern.size();) {
            const QChar c = pattern.at(i).toLower();
            qsizetype count = 1;
            while (i + count < pattern.size() && pattern.at(i + count).toLower() == c)
                ++count;
            const char letter = c.unicode() < 128 ? char(c.unicode()) : 0;
            const bool hour = letter == 'h';
            bool known = true;
            switch (letter) {
            case 'y':
                if (count == 4)
                    add("%Y", "yyyy");
                else if (count == 2)
                    add("%y", "yy");
                else if (count == 1)
                    function(mySql_ ? "DAYOFYEAR({1})" : "DATEPART(dayofyear, {1})");
                else
                    known = false;
                break;
            case 'm':
                if (afterHour && count == 2)
                    add("%i", "mm");
                else if (afterHour && count == 1)
                    mySql_ ? function("MINUTE({1})") : add("", "m");
                else if (count <= 4)
                    add(kMonths[count - 1][0], kMonths[count - 1][1]);
                else
                    known = false;
                break;
            case 'd':
                if (count <= 4)
                    add(kDays[count - 1][0], kDays[count - 1][1]);
                else
                    known = false;
                break;
            case 'h':
                if (count <= 2)
                    add(count == 2 ? "%H" : "%k", count == 2 ? "HH" : "H");
                else
                    known = false;
                break;
            case 'n':
            case 's':
                if (count == 2)
                    add(letter == 'n' ? "%i" : "%s", letter == 'n' ? "mm" : "ss");
                else if (count == 1 && mySql_)
                    function(letter == 'n' ? "MINUTE({1})" : "SECOND({1})");
                else if (count == 1)
                    add("", letter == 'n' ? "m" : "s");
                else
                    known = false;
                break;
            case 'q':
                if (count == 1)
                    function(mySql_ ? "QUARTER({1})" : "DATEPART(quarter, {1})");
                else
                    known = false;
                break;
            case 'w':
                if (count == 1)
                    function(mySql_ ? "DAYOFWEEK({1})" : "((DATEPART(weekday, {1}) + @@DATEFIRST + 6) % 7 + 1)");
                else
                    known = false;
                break;
            case ' ':
            case '-':
            case '.':
            case ',':
            case '/':
            case ':':
                run += QString(count, c);
                break;
            default:
                known = false;
            }
            if (!known)
                return {};
            if (letter != ' ' && letter != ':' && letter != '.' && letter != '-' && letter != ',' && letter != '/')
                afterHour = hour;
            i += count;
        }
        if (!run.isEmpty())
            pieces.push_back(DatePiece{run, nullptr});
        return pieces;
    }

    void formatDate(const Expr& call, const std::vector<DatePiece>& pieces)
    {
        static const QRegularExpression formatLetters(QStringLiteral("[A-Za-z%]"));
        const bool several = pieces.size() > 1;
        if (several)
            put("CONCAT(");
        for (size_t i = 0; i < pieces.size(); ++i) {
            const DatePiece& piece = pieces[i];
            if (i > 0)
                put(", ");
            if (piece.function) {
                if (!several)
                    put("CAST(");
                expand(piece.function, call);
                if (!several)
                    put(mySql_ ? " AS CHAR)" : " AS NVARCHAR(30))");
            } else if (!piece.run.contains(formatLetters)) {
                put(literal(piece.run, dialect_));
            } else {
                // A single letter alone is one of .NET's standard patterns; "%" makes it a custom one.
                const QString run = !mySql_ && piece.run.size() == 1 ? QLatin1Char('%') + piece.run : piece.run;
                expand(mySql_ ? "DATE_FORMAT({1}, " : "FORMAT({1}, ", call);
                put(literal(run, dialect_) + QStringLiteral(")"));
            }
        }
        if (several)
            put(")");
    }

    void format(const Expr& call)
    {
        if (call.args.size() == 1) {
            expand(mySql_ ? "CAST({1} AS CHAR)" : "CAST({1} AS NVARCHAR(4000))", call);
            return;
        }
        if (call.args.size() != 2)
            wrongArguments(call);
        const Expr& patternArg = *call.args[1];
        if (patternArg.kind != ExprKind::Text)
            cannot(QStringLiteral("Funktion Format mit berechnetem Muster nicht übersetzbar"));
        const QString pattern = patternArg.text;
        const QString named = pattern.toLower();
        static const QRegularExpression number(QStringLiteral("^(#,##)?0(?:\\.(0+))?(%)?$"));
        const QRegularExpressionMatch m = number.match(pattern);
        if (named == QLatin1String("fixed")) {
            formatNumber(call, QStringLiteral("0.00"), 2, false, false);
        } else if (named == QLatin1String("standard")) {
            formatNumber(call, QStringLiteral("#,##0.00"), 2, true, false);
        } else if (named == QLatin1String("percent")) {
            formatNumber(call, QStringLiteral("0.00%"), 2, false, true);
        } else if (named == QLatin1String("currency")) {
            // The login's currency on SQL Server; MySQL has none, the euro is ours.
            if (mySql_) {
                put("CONCAT(");
                formatNumber(call, QString(), 2, true, false);
                put(QStringLiteral(", ' €')"));
            } else {
                expand("FORMAT({1}, 'C')", call);
            }
        } else if (m.hasMatch()) {
            formatNumber(call, pattern, int(m.capturedLength(2)), m.capturedLength(1) > 0, m.capturedLength(3) > 0);
        } else {
            const std::vector<DatePiece> pieces = datePieces(pattern);
            if (pieces.empty())
                cannot(QStringLiteral("Funktion Format mit Muster \"") + pattern
                       + QStringLiteral("\" nicht übersetzbar"));
            formatDate(call, pieces);
        }
    }

    void call(const Expr& e)
    {
        const QString key = functionKey(e.text);
        const size_t count = e.args.size();
        if (isIsNullCall(e)) {
            expr(*e.args[0], kCompare + 1, Context::Value);
            put(" IS NULL");
        } else if (key == QLatin1String("switch")) {
            // Switch(condition, value, ...) is Null when no condition holds, as is a CASE without ELSE.
            if (count < 2 || count % 2 != 0)
                wrongArguments(e);
            put("CASE");
            for (size_t i = 0; i < count; i += 2) {
                put(" WHEN ");
                expr(*e.args[i], kLoosest, Context::Condition);
                put(" THEN ");
                expr(*e.args[i + 1], kLoosest, Context::Value);
            }
            put(" END");
        } else if (key == QLatin1String("choose")) {
            if (count < 2)
                wrongArguments(e);
            put(mySql_ ? "ELT(" : "CHOOSE(");
            for (size_t i = 0; i < count; ++i) {
                if (i > 0)
                    put(", ");
                expr(*e.args[i], kLoosest, Context::Value);
            }
            put(")");
        } else if (key == QLatin1String("instr") && count == 4) {
            // Only the text comparison, which the server's collation does as well.
            if (optionalNumber(e, 3, 1) != 1)
                cannot(QStringLiteral("Funktion InStr mit binärem Vergleich nicht übersetzbar"));
            expand(mySql_ ? "LOCATE({3}, {2}, {1})" : "CHARINDEX({3}, {2}, {1})", e);
        } else if (key == QLatin1String("weekday")) {
            if (count < 1 || count > 2)
                wrongArguments(e);
            weekday(e.text, *e.args[0], optionalNumber(e, 1, 1));
        } else if (key == QLatin1String("datepart")) {
            datePart(e);
        } else if (key == QLatin1String("dateadd")) {
            dateAdd(e);
        } else if (key == QLatin1String("datediff")) {
            dateDiff(e);
        } else if (key == QLatin1String("format")) {
            format(e);
        } else {
            bool named = false;
            for (const FunctionForm& form : kForms) {
                if (key != QLatin1StringView(form.name))
                    continue;
                named = true;
                if (size_t(form.arguments) == count) {
                    expand(mySql_ ? form.mySql : form.msSql, e);
                    return;
                }
            }
            if (named)
                wrongArguments(e);
            cannot(functionReason(e.text));
        }
    }

    Dialect dialect_;
    bool mySql_;
    qsizetype limit_;
    QString out_;
    int derivedTables_ = 0;
};

}  // namespace

AccessSqlTranslation WriteAccessQuery(const Query& query, Dialect dialect, qsizetype sizeLimit)
{
    using Outcome = AccessSqlTranslation::Outcome;
    if (dialect != Dialect::MySQL && dialect != Dialect::MSSQL)
        return {Outcome::Untranslatable, QString(),
                QStringLiteral("Für ") + dialectName(dialect) + QStringLiteral(" gibt es keine Übersetzung")};
    try {
        Writer writer(dialect, sizeLimit);
        writer.query(query, true);
        return {Outcome::Translated, writer.text(), QString()};
    } catch (const CannotWrite& failure) {
        return {Outcome::Untranslatable, QString(), failure.reason};
    }
}

AccessSqlTranslation TranslateAccessQuery(const QString& accessText, Dialect dialect)
{
    using Outcome = AccessSqlTranslation::Outcome;
    const ParsedQuery parsed = ParseAccessQuery(accessText);
    switch (parsed.statement) {
    case Statement::Select:
        break;
    case Statement::Unreadable:
        return {Outcome::Untranslatable, QString(), parsed.reason};
    default:
        return {Outcome::NotAView, QString(), parsed.reason};
    }
    // Nested "&" and conditions used as values write their operands twice, so
    // the text can double with each level; far beyond any real query it stops.
    return WriteAccessQuery(*parsed.query, dialect, 16 * accessText.size() + 1000000);
}
