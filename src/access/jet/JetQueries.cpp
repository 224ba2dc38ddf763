#include "access/jet/JetQueries.h"

#include "access/DaoTypes.h"
#include "access/jet/JetNames.h"
#include "access/jet/JetTable.h"
#include "core/TabrixError.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <map>
#include <memory>

namespace jet {

namespace {

const QString kSource = QStringLiteral("DAO.QueryDef");
const QString kNewLine = QStringLiteral("\r\n");

// The kinds the type row names, and DAO's QueryDefTypeEnum for each.
enum Kind : int {
    kSelect = 1,
    kMakeTable = 2,
    kAppend = 3,
    kUpdate = 4,
    kDelete = 5,
    kCrosstab = 6,
    kDataDefinition = 7,
    kPassThrough = 8,
    kUnion = 9,
};
const std::map<int, int> kDaoType = {{kSelect, dao::dbQSelect},      {kMakeTable, dao::dbQMakeTable},
                                     {kAppend, dao::dbQAppend},      {kUpdate, dao::dbQUpdate},
                                     {kDelete, dao::dbQDelete},      {kCrosstab, dao::dbQCrosstab},
                                     {kDataDefinition, dao::dbQDDL}, {kPassThrough, dao::dbQSQLPassThrough},
                                     {kUnion, dao::dbQSetOperation}};

// Bits of the flag row.
constexpr int kAllFields = 0x01;  // "SELECT *": every field of the sources
constexpr int kDistinct = 0x02;
constexpr int kOwnerAccess = 0x04;
constexpr int kDistinctRow = 0x08;
constexpr int kTop = 0x10;
constexpr int kPercent = 0x20;
constexpr int kUnionDistinct = 0x02;  // on a union: UNION rather than UNION ALL

constexpr int kAppendValue = 0x8000;  // a column row of "INSERT INTO ... VALUES"
constexpr int kCrosstabPivot = 0x01;
constexpr int kCrosstabRowHeading = 0x02;

const QString kUnionPart1 = QStringLiteral("X7YZ_____1");
const QString kUnionPart2 = QStringLiteral("X7YZ_____2");

// Parameter types by the engine's field type code, as the PARAMETERS clause names them.
const std::map<int, QString> kParameterTypes = {
    {0, QStringLiteral("Value")},      {1, QStringLiteral("Bit")},        {2, QStringLiteral("Byte")},
    {3, QStringLiteral("Short")},      {4, QStringLiteral("Long")},       {5, QStringLiteral("Currency")},
    {6, QStringLiteral("IEEESingle")}, {7, QStringLiteral("IEEEDouble")}, {8, QStringLiteral("DateTime")},
    {9, QStringLiteral("Binary")},     {10, QStringLiteral("Text")},      {11, QStringLiteral("LongBinary")},
    {12, QStringLiteral("LongText")},  {15, QStringLiteral("Guid")},      {16, QStringLiteral("Decimal")},
};

const std::map<int, QString> kJoinWords = {
    {1, QStringLiteral(" INNER JOIN ")}, {2, QStringLiteral(" LEFT JOIN ")}, {3, QStringLiteral(" RIGHT JOIN ")}};

[[noreturn]] void fail(const QString& detail)
{
    throw TabrixError(errDamaged, detail, kSource);
}

bool has(int flags, int bit)
{
    return (flags & bit) != 0;
}

// The rows of one query by attribute, each attribute's rows in their stored order.
class Rows {
public:
    explicit Rows(const QList<QueryRow>& rows)
    {
        for (const QueryRow& row : rows) {
            const bool known = (row.attribute >= qaStart && row.attribute <= qaComplexOutput) || row.attribute == qaEnd;
            if (!known)
                fail(QStringLiteral("Eine Zeile hat die unbekannte Art %1.").arg(row.attribute));
            m_rows[row.attribute].append(row);
        }
        for (auto& [attribute, list] : m_rows)
            std::stable_sort(list.begin(), list.end(),
                             [](const QueryRow& a, const QueryRow& b) { return a.order < b.order; });
    }

    QList<QueryRow> all(int attribute) const
    {
        const auto it = m_rows.find(attribute);
        return it == m_rows.end() ? QList<QueryRow>() : it->second;
    }

    // The one row of an attribute that may occur once; nullptr when absent.
    const QueryRow* single(int attribute, const QString& what) const
    {
        const auto it = m_rows.find(attribute);
        if (it == m_rows.end() || it->second.isEmpty())
            return nullptr;
        if (it->second.size() > 1)
            fail(QStringLiteral("%1 ist mehrfach eingetragen.").arg(what));
        return &it->second.front();
    }

    int flags() const
    {
        const QueryRow* row = single(qaFlags, QStringLiteral("Die Zeile der Abfrageoptionen"));
        return row ? row->flag & 0xFFFF : 0;
    }

    QString expression(int attribute, const QString& what) const
    {
        const QueryRow* row = single(attribute, what);
        return row ? row->expression : QString();
    }

private:
    std::map<int, QList<QueryRow>> m_rows;
};

QList<QueryRow> filtered(const QList<QueryRow>& rows, int bits, bool set)
{
    QList<QueryRow> out;
    for (const QueryRow& row : rows) {
        if (has(row.flag, bits) == set)
            out.append(row);
    }
    return out;
}

// " IN 'path' [type]" of a source or target in another database.
QString remote(const QString& path, const QString& type)
{
    if (path.isNull() && type.isNull())
        return QString();
    QString out = QStringLiteral(" IN '") + path + QLatin1Char('\'');
    if (!type.isNull())
        out += QStringLiteral(" [") + type + QLatin1Char(']');
    return out;
}

QString alias(const QString& name)
{
    return name.isNull() ? QString() : QStringLiteral(" AS ") + bracketed(name);
}

// A table of the FROM clause, or a join of two of them.
struct Source {
    QString name;  // a table: the name joins refer to (its alias, else its name)
    QString text;  // a table: as written
    std::shared_ptr<Source> left;
    std::shared_ptr<Source> right;
    int joinType = 0;
    QStringList conditions;  // a join: its ON conditions, written with AND

    bool isJoin() const { return left != nullptr; }

    bool contains(const QString& table) const
    {
        return isJoin() ? left->contains(table) || right->contains(table)
                        : name.compare(table, Qt::CaseInsensitive) == 0;
    }

    // A join inside another is written in parentheses; several conditions each in theirs.
    void write(QString& out, bool outermost) const
    {
        if (!isJoin()) {
            out += text;
            return;
        }
        if (!outermost)
            out += QLatin1Char('(');
        left->write(out, false);
        out += kJoinWords.at(joinType);
        right->write(out, false);
        out += QStringLiteral(" ON ");
        if (conditions.size() > 1)
            out += QLatin1Char('(') + conditions.join(QStringLiteral(") AND (")) + QLatin1Char(')');
        else
            out += conditions.join(QString());
        if (!outermost)
            out += QLatin1Char(')');
    }
};

// The FROM list: the tables in their order, each join row combining the two
// pieces that hold its tables into one; tables no join touches come first, as
// in "FROM Table3, Table1 INNER JOIN Table2 ON ...". A join row may name two
// tables already in one piece: with the same join type its condition is added
// (in front) to that piece's join.
QString fromList(const Rows& rows)
{
    QList<std::shared_ptr<Source>> sources;
    for (const QueryRow& table : rows.all(qaTable)) {
        if (table.name1.isNull() && table.expression.isNull())
            fail(QStringLiteral("Eine Tabellenzeile nennt keine Tabelle."));
        auto source = std::make_shared<Source>();
        if (!table.expression.isNull())
            source->text = bracketed(table.expression) + QLatin1Char('.');
        if (!table.name1.isNull())
            source->text += bracketedPath(table.name1, QStringLiteral("."));
        source->text += alias(table.name2);
        source->name = table.name2.isNull() ? table.name1 : table.name2;
        sources.append(source);
    }
    for (const QueryRow& join : rows.all(qaJoin)) {
        if (kJoinWords.find(join.flag) == kJoinWords.end())
            fail(QStringLiteral("Die Verknüpfung von '%1' mit '%2' hat die unbekannte Art %3.")
                     .arg(join.name1, join.name2)
                     .arg(join.flag));
        std::shared_ptr<Source> from;
        std::shared_ptr<Source> to;
        for (auto it = sources.begin(); it != sources.end() && (!from || !to);) {
            const std::shared_ptr<Source> source = *it;
            if (!from && source->contains(join.name1)) {
                from = source;
                if (!to && source->contains(join.name2)) {
                    to = source;
                    break;
                }
                it = sources.erase(it);
            } else if (!to && source->contains(join.name2)) {
                to = source;
                it = sources.erase(it);
            } else {
                ++it;
            }
        }
        for (const auto& [found, table] : {std::pair{from, join.name1}, std::pair{to, join.name2}}) {
            if (!found)
                fail(QStringLiteral("Eine Verknüpfung bezieht sich auf die Tabelle '%1', die in der Abfrage nicht "
                                    "vorkommt.")
                         .arg(table));
        }
        if (from == to) {
            if (from->isJoin() && from->joinType == join.flag) {
                from->conditions.prepend(join.expression);
                continue;
            }
            fail(QStringLiteral("Die Tabellen '%1' und '%2' sind mit verschiedenen Verknüpfungsarten verbunden.")
                     .arg(join.name1, join.name2));
        }
        auto combined = std::make_shared<Source>();
        combined->left = from;
        combined->right = to;
        combined->joinType = join.flag;
        combined->conditions.append(join.expression);
        sources.append(combined);
    }
    QStringList written;
    for (const auto& source : sources) {
        QString text;
        source->write(text, true);
        written.append(text);
    }
    return written.join(QStringLiteral(", "));
}

QString fromRemote(const Rows& rows)
{
    const QueryRow* row = rows.single(qaRemoteDatabase, QStringLiteral("Die Zeile der fremden Datenbank"));
    return row ? remote(row->name1, row->expression) : QString();
}

QString expressions(const QList<QueryRow>& rows)
{
    QStringList out;
    for (const QueryRow& row : rows)
        out.append(row.expression);
    return out.join(QStringLiteral(", "));
}

QString orderBy(const Rows& rows)
{
    QStringList out;
    for (const QueryRow& row : rows.all(qaOrderBy))
        out.append(
            row.expression
            + (row.name1.compare(QLatin1String("D"), Qt::CaseInsensitive) == 0 ? QStringLiteral(" DESC") : QString()));
    return out.join(QStringLiteral(", "));
}

// DISTINCT or DISTINCTROW, then TOP n [PERCENT]: "DISTINCTROW TOP 10". A
// crosstab's SELECT never shows DISTINCTROW: Northwind's "Quarterly Orders by
// Product" has the flag stored and Access shows "SELECT Products.ProductName, ...".
QString predicate(const Rows& rows, bool crosstab)
{
    const int flags = rows.flags();
    QStringList words;
    if (has(flags, kDistinct))
        words.append(QStringLiteral("DISTINCT"));
    else if (has(flags, kDistinctRow) && !crosstab)
        words.append(QStringLiteral("DISTINCTROW"));
    if (has(flags, kTop)) {
        const QueryRow* row = rows.single(qaFlags, QString());
        words.append(QStringLiteral("TOP ") + row->name1
                     + (has(flags, kPercent) ? QStringLiteral(" PERCENT") : QString()));
    }
    return words.join(QLatin1Char(' '));
}

QString outputList(const Rows& rows, const QList<QueryRow>& columns)
{
    QStringList out;
    for (const QueryRow& column : columns)
        out.append(column.expression + alias(column.name1));
    if (has(rows.flags(), kAllFields))
        out.append(QStringLiteral("*"));
    return out.join(QStringLiteral(", "));
}

// The select part shared by select, make-table, append, delete and crosstab
// queries: the output list (after "SELECT" and its predicate where `verb` is
// given), INTO, then FROM, WHERE, GROUP BY, HAVING and ORDER BY on their lines.
QString selectPart(const Rows& rows, const QString& verb, const QList<QueryRow>& columns,
                   const QList<QueryRow>& groupBy, const QString& into = QString(), bool crosstab = false)
{
    QString out = verb;
    const QString words = predicate(rows, crosstab);
    if (!words.isEmpty())
        out += words + QLatin1Char(' ');
    out += outputList(rows, columns) + into;
    const QString from = fromList(rows);
    if (!from.isEmpty())
        out += kNewLine + QStringLiteral("FROM ") + from + fromRemote(rows);
    const QString where = rows.expression(qaWhere, QStringLiteral("Die WHERE-Bedingung"));
    if (!where.isNull())
        out += kNewLine + QStringLiteral("WHERE ") + where;
    if (!groupBy.isEmpty())
        out += kNewLine + QStringLiteral("GROUP BY ") + expressions(groupBy);
    const QString having = rows.expression(qaHaving, QStringLiteral("Die HAVING-Bedingung"));
    if (!having.isNull())
        out += kNewLine + QStringLiteral("HAVING ") + having;
    const QString order = orderBy(rows);
    if (!order.isEmpty())
        out += kNewLine + QStringLiteral("ORDER BY ") + order;
    return out;
}

QString parameters(const Rows& rows)
{
    QStringList out;
    for (const QueryRow& row : rows.all(qaParameter)) {
        const auto type = kParameterTypes.find(row.flag);
        if (type == kParameterTypes.end())
            fail(QStringLiteral("Der Parameter '%1' hat den unbekannten Typ %2.").arg(row.name1).arg(row.flag));
        QString text = bracketedPath(row.name1, QStringLiteral("!.")) + QLatin1Char(' ') + type->second;
        if (row.flag == 10 && row.extra > 0)
            text += QStringLiteral(" ( %1 )").arg(row.extra);
        out.append(text);
    }
    return out.isEmpty() ? QString()
                         : QStringLiteral("PARAMETERS ") + out.join(QStringLiteral(", ")) + QLatin1Char(';') + kNewLine;
}

QString unionPart(const Rows& rows, const QString& id, int number)
{
    for (const QueryRow& row : rows.all(qaTable)) {
        if (row.name2 == id && !row.expression.isNull())
            return row.expression.trimmed();
    }
    fail(QStringLiteral("Der %1. Teil der UNION-Abfrage fehlt.").arg(number));
}

QString statement(const Rows& rows, int kind, const QueryRow& typeRow)
{
    const QList<QueryRow> columns = rows.all(qaColumn);
    const QList<QueryRow> groupBy = rows.all(qaGroupBy);
    switch (kind) {
    case kSelect:
        return selectPart(rows, QStringLiteral("SELECT "), columns, groupBy);
    case kMakeTable:
        return selectPart(rows, QStringLiteral("SELECT "), columns, groupBy,
                          QStringLiteral(" INTO ") + bracketedPath(typeRow.name1, QStringLiteral("."))
                              + remote(typeRow.name2, typeRow.expression));
    case kAppend: {
        QStringList targets;
        for (const QueryRow& column : columns) {
            if (!column.name2.isNull())
                targets.append(bracketedPath(column.name2, QStringLiteral(".")));
        }
        QString out = QStringLiteral("INSERT INTO ") + bracketedPath(typeRow.name1, QStringLiteral("."));
        if (!targets.isEmpty())
            out += QStringLiteral(" (") + targets.join(QStringLiteral(", ")) + QLatin1Char(')');
        out += remote(typeRow.name2, typeRow.expression) + kNewLine;
        const QList<QueryRow> values = filtered(columns, kAppendValue, true);
        if (!values.isEmpty())
            return out + QStringLiteral("VALUES (") + expressions(values) + QLatin1Char(')');
        return out + selectPart(rows, QStringLiteral("SELECT "), filtered(columns, kAppendValue, false), groupBy);
    }
    case kUpdate: {
        QStringList assignments;
        for (const QueryRow& column : columns)
            assignments.append(bracketedPath(column.name2, QStringLiteral(".")) + QStringLiteral(" = ")
                               + column.expression);
        // Of the predicates only DISTINCTROW applies to an update ("UPDATE DISTINCTROW ...").
        QString out = QStringLiteral("UPDATE ")
            + (has(rows.flags(), kDistinctRow) ? QStringLiteral("DISTINCTROW ") : QString()) + fromList(rows)
            + fromRemote(rows) + kNewLine + QStringLiteral("SET ") + assignments.join(QStringLiteral(", "));
        const QString where = rows.expression(qaWhere, QStringLiteral("Die WHERE-Bedingung"));
        if (!where.isNull())
            out += kNewLine + QStringLiteral("WHERE ") + where;
        return out;
    }
    case kDelete:
        return selectPart(rows, QStringLiteral("DELETE "), columns, groupBy);
    case kCrosstab: {
        const QList<QueryRow> values = filtered(columns, kCrosstabPivot | kCrosstabRowHeading, false);
        const QList<QueryRow> pivots = filtered(columns, kCrosstabPivot, true);
        if (values.size() > 1)
            fail(QStringLiteral("Die Kreuztabellenabfrage hat mehr als einen Wert (TRANSFORM)."));
        if (pivots.size() != 1)
            fail(QStringLiteral("Die Kreuztabellenabfrage hat %1 Spaltenüberschriften (PIVOT) statt einer.")
                     .arg(pivots.size()));
        QString out;
        if (!values.isEmpty() && !values.front().expression.isNull())
            out = QStringLiteral("TRANSFORM ") + values.front().expression + alias(values.front().name1) + kNewLine;
        return out
            + selectPart(rows, QStringLiteral("SELECT "), filtered(columns, kCrosstabRowHeading, true),
                         filtered(groupBy, kCrosstabRowHeading, true), QString(), true)
            + kNewLine + QStringLiteral("PIVOT ") + pivots.front().expression;
    }
    case kUnion: {
        QString out = unionPart(rows, kUnionPart1, 1) + kNewLine + QStringLiteral("UNION ");
        if (!has(rows.flags(), kUnionDistinct))
            out += QStringLiteral("ALL ");
        out += unionPart(rows, kUnionPart2, 2);
        const QString order = orderBy(rows);
        if (!order.isEmpty())
            out += kNewLine + QStringLiteral("ORDER BY ") + order;
        return out;
    }
    default:
        fail(QStringLiteral("Die Abfrageart %1 ist unbekannt.").arg(kind));
    }
}

}  // namespace

QueryText querySql(const QList<QueryRow>& rows, int objectType)
{
    const Rows byAttribute(rows);
    const QueryRow* typeRow = byAttribute.single(qaType, QStringLiteral("Die Abfrageart"));
    // Access-97-era files often store a query without its type row; Access
    // then takes the kind from the object's flags. Only the kinds whose text
    // needs nothing of that row (a target table, a stored text) can be rebuilt.
    const QueryRow noTypeRow;
    int kind = 0;
    if (typeRow) {
        kind = typeRow->flag;
    } else {
        const auto fromObject = std::find_if(kDaoType.begin(), kDaoType.end(),
                                             [&](const auto& entry) { return entry.second == objectType; });
        if (objectType < 0 || fromObject == kDaoType.end() || fromObject->first == kMakeTable
            || fromObject->first == kAppend || fromObject->first == kPassThrough
            || fromObject->first == kDataDefinition)
            fail(QStringLiteral("Die Zeile mit der Abfrageart fehlt."));
        kind = fromObject->first;
        typeRow = &noTypeRow;
    }
    const auto daoType = kDaoType.find(kind);
    if (daoType == kDaoType.end())
        fail(QStringLiteral("Die Abfrageart %1 ist unbekannt.").arg(kind));

    QueryText result;
    result.type = daoType->second;
    // Pass-through and data-definition queries keep the text they were given.
    if (kind == kPassThrough || kind == kDataDefinition) {
        result.sql = typeRow->expression.isNull() ? QStringLiteral("") : typeRow->expression;
        return result;
    }
    result.sql = parameters(byAttribute) + statement(byAttribute, kind, *typeRow);
    if (has(byAttribute.flags(), kOwnerAccess))
        result.sql += kNewLine + QStringLiteral("WITH OWNERACCESS OPTION");
    result.sql += QLatin1Char(';');
    return result;
}

}  // namespace jet
