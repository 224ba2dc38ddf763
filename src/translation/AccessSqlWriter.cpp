#include "translation/AccessSqlWriter.h"

#include "translation/AccessSqlWriterParts.h"

#include <QHash>
#include <QSet>

namespace accesssql::writer {

void cannot(QString reason)
{
    for (QChar& c : reason)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    throw CannotWrite{reason};
}

namespace {

// The names Access gives the columns of a query, where the server would
// give others or none: a view needs one distinct name per column (SQL
// Server even for expressions), and queries built on it use Access's.
// Fields of the same name are called "Table.Field", unnamed expressions
// Expr1000, Expr1001, ...
QStringList columnNames(const Select& s)
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
void fromNames(const TableRef& t, QSet<QString>& names)
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
bool fieldTables(const Expr& e, QSet<QString>& tables)
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

bool fieldsFromSomeTablesOnly(const Select& s)
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

}  // namespace

void Writer::query(const Query& q, bool named)
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

// named: the columns are those of a view or derived table, see columnNames().
void Writer::select(const Select& s, bool ordered, bool named)
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

void Writer::table(const TableRef& t, bool rightOfJoin)
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

}  // namespace accesssql::writer

using namespace accesssql;
using accesssql::writer::CannotWrite;
using accesssql::writer::Writer;

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
