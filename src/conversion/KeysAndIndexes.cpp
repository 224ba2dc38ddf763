#include "conversion/KeysAndIndexes.h"

#include "conversion/ColumnMapping.h"
#include "core/TabrixError.h"
#include "server/ServerConnection.h"
#include "sql/DialectRecord.h"
#include "sql/Names.h"

#include <QSet>

#include <algorithm>

void List3AddUnique(QStringList& list, const QString& name)
{
    if (!list.contains(name, Qt::CaseInsensitive))
        list.append(name);
}

QStringList DiscoverKeyFields(const dao::TableDef& tableDef, const QList<dao::Relation>& relations,
                              const QString& table)
{
    QStringList keys;
    for (const dao::Index& index : tableDef.Indexes) {
        if (index.Primary || index.Name.compare(QLatin1String("primarykey"), Qt::CaseInsensitive) == 0)
            for (const QString& f : index.Fields)
                List3AddUnique(keys, f);
    }
    for (const dao::Relation& rel : relations) {
        if (rel.Table.compare(table, Qt::CaseInsensitive) == 0)
            for (const dao::RelationField& f : rel.Fields)
                List3AddUnique(keys, f.Name);
        if (rel.ForeignTable.compare(table, Qt::CaseInsensitive) == 0 && (rel.Attributes & dao::dbRelationUnique))
            for (const dao::RelationField& f : rel.Fields)
                List3AddUnique(keys, f.ForeignName);
    }
    if (keys.isEmpty()) {
        for (const dao::Index& index : tableDef.Indexes) {
            if (index.Unique) {
                for (const QString& f : index.Fields)
                    List3AddUnique(keys, f);
                break;
            }
        }
    }
    return keys;
}

QStringList MemoFields(const QList<dao::Field>& fields)
{
    QStringList memo;
    for (const dao::Field& field : fields) {
        if (field.Type == dao::dbMemo)
            memo.append(field.Name);
    }
    return memo;
}

QString PrimaryKeyClause(const QString& table, const QStringList& keyList, Dialect dialect,
                         const std::function<QString(const QString&)>& getPrim, const QStringList& memoFields)
{
    const SqlDialect& d = DialectRecord(dialect);
    QString clause = QStringLiteral("CONSTRAINT ");
    const QString name = QLatin1String("prim") + table.left(d.constraintTableChars);
    if (d.freeConstraintName)
        clause += KeyColumnName(getPrim ? getPrim(name) : name, dialect, false);
    else
        clause += SqlName(name, dialect);
    clause += QLatin1String(" PRIMARY KEY(");
    for (qsizetype i = 0; i < keyList.size(); ++i) {
        if (i > 0)
            clause += QLatin1Char(',');
        clause += KeyColumnName(keyList[i], dialect, memoFields.contains(keyList[i], Qt::CaseInsensitive));
    }
    clause += QLatin1Char(')');
    return clause;
}

namespace {

QVariant firstValue(ServerConnection& connection, const QString& query)
{
    auto rs = connection.OpenResultset(query, rdOpenStatic, rdConcurReadOnly, rdExecDirect);
    const QVariant v = rs->Value(0);
    rs->Close();
    return v;
}

}  // namespace

QString GetPrim(ServerConnection& connection, const QString& name)
{
    try {
        const QVariant count =
            firstValue(connection,
                       QStringLiteral("SELECT COUNT(CONSTRAINT_NAME) FROM INFORMATION_SCHEMA.CONSTRAINT_COLUMN_USAGE "
                                      "WHERE CONSTRAINT_NAME = '")
                           + QString(name).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\''));
        bool ok = false;
        const qlonglong n = count.toLongLong(&ok);
        if (!ok)
            return name;
        if (n < 1)
            return name;
        const QVariant id =
            firstValue(connection, QStringLiteral("SELECT REPLACE(CONVERT(VARCHAR(36), NEWID()), '-', '')"));
        return name + id.toString();
    } catch (...) {
        // A free name is only a nicety; the server rejects a clash itself.
        return name;
    }
}

QString TimeStamp12(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyMMddHHmmss"));
}

bool UsesIndexCounter(Dialect dialect)
{
    return DialectRecord(dialect).countsIndexes;
}

bool IsSecondaryIndex(const dao::Index& index)
{
    return !index.Primary && index.Name.compare(QLatin1String("primarykey"), Qt::CaseInsensitive) != 0;
}

namespace {

// The name, or, when it was shortened and is taken, the name ending in "_01",
// "_02" …; the one returned is taken from then on (case ignored).
QString uniqueShortName(const QString& name, bool shortened, QSet<QString>& taken)
{
    QString unique = name;
    // Two names that the shortening made equal: the later one gets a number at its end.
    for (int i = 1; shortened && taken.contains(unique.toCaseFolded()) && i < 100; ++i)
        unique = name.left(name.size() - 3) + QStringLiteral("_%1").arg(i, 2, 10, QLatin1Char('0'));
    taken.insert(unique.toCaseFolded());
    return unique;
}

}  // namespace

QStringList IndexLines(const dao::Index& index, const QString& table, Dialect dialect, int counter,
                       const QDateTime& now, const QStringList& memoFields, QSet<QString>* taken)
{
    const SqlDialect& d = DialectRecord(dialect);
    QString n = index.Name;
    if (d.indexNameDated)
        n = table + n + TimeStamp12(now);
    const bool shortened = n.size() > std::min(30, d.indexNameChars);
    n = n.right(30);
    if (d.indexNameNoDashes)
        n.replace(QLatin1Char('-'), QLatin1Char('_'));
    n = n.left(d.indexNameChars);
    // A numbered name is unique by its number.
    if (taken && !d.indexNameNumbered)
        n = uniqueShortName(n, shortened, *taken);
    if (d.indexNameNumbered)
        n.prepend(QStringLiteral("%1").arg(counter, 3, 10, QLatin1Char('0')));

    QStringList lines{QStringLiteral("CREATE INDEX ") + (d.indexNameQuoted ? DoubleQuoted(n) : SqlName(n, dialect))
                      + QStringLiteral(" ON ") + SqlName(table, dialect)};
    for (qsizetype i = 0; i < index.Fields.size(); ++i) {
        const QString& f = index.Fields[i];
        lines << (i == 0 ? QStringLiteral("(") : QStringLiteral(","))
                + KeyColumnName(f, dialect, memoFields.contains(f, Qt::CaseInsensitive));
    }
    lines << QStringLiteral(")");
    return lines;
}

void RunIndexPhase(TableRun& run)
{
    ConversionHost& host = run.host();
    host.setStatus(QStringLiteral("Erzeuge Indexe für SQL-Tabelle"));

    dao::TableDef tableDef;
    bool found = false;
    run.step([&] {
        tableDef = host.database().GetTableDef(run.table());
        found = true;
    });
    if (!found)
        return;

    QSet<QString> names;  // the index names the table has so far
    for (const dao::Index& index : std::as_const(tableDef.Indexes)) {
        if (!IsSecondaryIndex(index))
            continue;
        // An index over a column the table does not get is left out the same way.
        const auto field = std::find_if(tableDef.Fields.cbegin(), tableDef.Fields.cend(), [&](const dao::Field& f) {
            return !Transferable(f) && index.Fields.contains(f.Name, Qt::CaseInsensitive);
        });
        if (field != tableDef.Fields.cend()) {
            run.note(QStringLiteral("Tabelle %1, Index %2: über %3 (Access-Typ %4) wird kein Index angelegt.")
                         .arg(run.table(), index.Name, dao::AccessTypeName(field->Type))
                         .arg(field->Type));
            continue;
        }
        const Dialect dialect = host.options().dialect;
        const QDateTime now = DialectRecord(dialect).indexNameDated ? host.now() : QDateTime();
        const int counter = UsesIndexCounter(dialect) ? host.nextIndexNumber() : 0;

        const QStringList lines =
            IndexLines(index, run.table(), dialect, counter, now, MemoFields(tableDef.Fields), &names);
        for (const QString& line : lines)
            host.appendLine(line);
        const QString statement = lines.join(QString());
        host.setClipboardText(statement);
        host.yieldToUser();
        run.send(statement);
    }
}
