#include "translation/Triggers.h"

#include "core/TabrixError.h"
#include "core/TextPieces.h"
#include "core/WorkstationShare.h"
#include "server/ServerErrors.h"
#include "sql/DialectRecord.h"
#include "sql/Names.h"

#include <algorithm>

namespace {

enum class OnServerError { Ignore, ListInPieces };

// One trigger syntax as text patterns: {name} and the like stand for names
// and lists, filled in once (a name holding braces stays as it is).
struct Syntax {
    int nameChars;         // the longest trigger name the server takes; 0: no limit of ours
    bool changesOwnTable;  // a trigger may change the table that fired it
    QStringView drop;      // {name}
    QStringView keyTest;   // one key field {k} in the update trigger's head
    QStringView keyJoin;
    QStringView updateHead;  // {name}, {table}, {keys}
    QStringView updateTail;
    QStringView deleteHead;  // {name}, {table}
    QStringView deleteTail;
    QStringView setPair;    // a field pair: {f} the referencing table, {fn} its field, {n} the key field
    QStringView wherePair;  // joined by " AND "
    QStringView update;     // one per relation: {f}, {set}, {where}
    QStringView del;        // {f}, {where}
};

const Syntax kTransactSql{
    .nameChars = 0,
    .changesOwnTable = true,
    .drop = u"DROP TRIGGER {name}",
    .keyTest = u"UPDATE({k})",
    .keyJoin = u" OR ",
    .updateHead = u"CREATE TRIGGER {name} ON {table} FOR UPDATE AS\r\nIF {keys}\r\nBEGIN",
    .updateTail = u"\r\nEND",
    .deleteHead = u"CREATE TRIGGER {name} ON {table} FOR DELETE AS",
    .deleteTail = u"",
    .setPair = u"{f}.{fn}=INSERTED.{n}",
    .wherePair = u"{f}.{fn}=DELETED.{n}",
    .update = u"\r\nUPDATE {f} SET {set} FROM INSERTED,DELETED WHERE {where}",
    .del = u"\r\nDELETE FROM {f} FROM DELETED WHERE {where}",
};

// The update cascades only when a key field changed; NULL counts as a value.
// DEFINER=CURRENT_USER is the default; written out, it keeps MariaDB's ODBC
// driver (3.1) from cutting the body at its semicolons, on which it crashes.
const Syntax kMySql{
    .nameChars = 0,
    .changesOwnTable = false,
    .drop = u"DROP TRIGGER IF EXISTS {name}",
    .keyTest = u"NOT (NEW.{k} <=> OLD.{k})",
    .keyJoin = u" OR ",
    .updateHead =
        u"CREATE DEFINER=CURRENT_USER TRIGGER {name} AFTER UPDATE ON {table} FOR EACH ROW\r\nBEGIN\r\nIF {keys} THEN",
    .updateTail = u"\r\nEND IF;\r\nEND",
    .deleteHead = u"CREATE DEFINER=CURRENT_USER TRIGGER {name} AFTER DELETE ON {table} FOR EACH ROW\r\nBEGIN",
    .deleteTail = u"\r\nEND",
    .setPair = u"{fn}=NEW.{n}",
    .wherePair = u"{fn}=OLD.{n}",
    .update = u"\r\nUPDATE {f} SET {set} WHERE {where};",
    .del = u"\r\nDELETE FROM {f} WHERE {where};",
};

// Names of at most 30 characters, as Oracle before 12.2 takes them.
const Syntax kOracle{
    .nameChars = 30,
    .changesOwnTable = false,
    .drop = u"DROP TRIGGER {name}",
    .keyTest = u"{k}",
    .keyJoin = u",",
    .updateHead = u"CREATE OR REPLACE TRIGGER {name} AFTER UPDATE OF {keys} ON {table} FOR EACH ROW\r\nBEGIN",
    .updateTail = u"\r\nEND;",
    .deleteHead = u"CREATE OR REPLACE TRIGGER {name} AFTER DELETE ON {table} FOR EACH ROW\r\nBEGIN",
    .deleteTail = u"\r\nEND;",
    .setPair = u"{fn}=:NEW.{n}",
    .wherePair = u"{fn}=:OLD.{n}",
    .update = u"\r\nUPDATE {f} SET {set} WHERE {where};",
    .del = u"\r\nDELETE FROM {f} WHERE {where};",
};

// A delete trigger has no new row to name.
const Syntax kDb2{
    .nameChars = 0,
    .changesOwnTable = true,
    .drop = u"DROP TRIGGER {name}",
    .keyTest = u"{k}",
    .keyJoin = u",",
    .updateHead = u"CREATE TRIGGER {name} AFTER UPDATE OF {keys} ON {table} REFERENCING OLD AS O NEW AS N FOR EACH "
                  u"ROW\r\nBEGIN ATOMIC",
    .updateTail = u"\r\nEND",
    .deleteHead = u"CREATE TRIGGER {name} AFTER DELETE ON {table} REFERENCING OLD AS O FOR EACH ROW\r\nBEGIN ATOMIC",
    .deleteTail = u"\r\nEND",
    .setPair = u"{fn}=N.{n}",
    .wherePair = u"{fn}=O.{n}",
    .update = u"\r\nUPDATE {f} SET {set} WHERE {where};",
    .del = u"\r\nDELETE FROM {f} WHERE {where};",
};

const Syntax& syntaxOf(Dialect dialect)
{
    switch (DialectRecord(dialect).triggers) {
    case TriggerSyntax::TransactSql:
        break;
    case TriggerSyntax::MySql:
        return kMySql;
    case TriggerSyntax::Oracle:
        return kOracle;
    case TriggerSyntax::Db2:
        return kDb2;
    }
    return kTransactSql;
}

using Values = std::initializer_list<std::pair<QStringView, QString>>;

// The pattern with each {key} replaced by its value, in one pass.
QString fill(QStringView pattern, Values values)
{
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const qsizetype open = pattern.indexOf(QLatin1Char('{'), i);
        const qsizetype close = open < 0 ? -1 : pattern.indexOf(QLatin1Char('}'), open);
        if (close < 0) {
            out += pattern.mid(i);
            break;
        }
        out += pattern.mid(i, open - i);
        const QStringView key = pattern.mid(open + 1, close - open - 1);
        for (const auto& [k, value] : values)
            if (k == key)
                out += value;
        i = close + 1;
    }
    return out;
}

// A field name: between the dialect's trigger quotes (a quote inside doubled)
// where it has them, else by the name rule.
QString fieldName(const QString& name, Dialect dialect)
{
    const QString q = DialectRecord(dialect).triggerFieldQuote.toString();
    if (q.isEmpty())
        return DelimitedName(name, dialect);
    return q + QString(name).replace(q, q + q) + q;
}

// False for a name the dialect can neither write bare nor quote (Sybase: a "]").
bool writable(const QString& name, Dialect dialect)
{
    const SqlDialect& d = DialectRecord(dialect);
    return d.closeDoubles || !name.contains(d.close);
}

QString triggerName(QChar kind, const QString& table, Dialect dialect)
{
    const QString name = kind + table;
    const int chars = syntaxOf(dialect).nameChars;
    return chars > 0 ? name.left(chars) : name;
}

QString noTriggerFor(const dao::Relation& relation)
{
    return QStringLiteral("Kein Trigger für die Beziehung ") + relation.Name + QStringLiteral(" von ") + relation.Table
        + QStringLiteral(": ");
}

QString nameTaken(const dao::Relation& relation, const TriggerTable& table, Dialect dialect)
{
    return noTriggerFor(relation) + QStringLiteral("der Triggername ")
        + triggerName(QLatin1Char('u'), table.table, dialect)
        + QStringLiteral(" (auf %1 Zeichen gekürzt) gehört schon zur Tabelle ").arg(syntaxOf(dialect).nameChars)
        + table.namesTakenBy + QLatin1Char('.');
}

void listInPieces(TranslationHost& host, const QString& text)
{
    for (const QString& piece : CutIntoPieces(text, 70))
        host.appendLine(QLatin1Char('\t') + piece);
}

// Every statement of the triggers goes through here: the one place where a
// server error is judged. Drops may fail (the trigger may not exist); a
// rejected create is listed in pieces after a tab and the table's step goes on.
// Returns the error's text; empty when the server took the statement.
QString send(TranslationHost& host, const QString& statement, OnServerError onError)
{
    QString error;
    try {
        host.executeSql(statement);
        return error;
    } catch (const TabrixError& e) {
        // A lost connection ends the run.
        if (IsConnectionLost(e))
            throw;
        error = e.description();
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    if (onError == OnServerError::ListInPieces)
        listInPieces(host, error);
    return error;
}

TriggerResult created(const QString& table, const QString& trigger, const QString& error)
{
    return TriggerResult{table, trigger, error.isEmpty(), error};
}

}  // namespace

QString WhyNoTrigger(const dao::Relation& relation, Dialect dialect)
{
    const SqlDialect& d = DialectRecord(dialect);
    if (!syntaxOf(dialect).changesOwnTable && relation.Table.compare(relation.ForeignTable, Qt::CaseInsensitive) == 0)
        return noTriggerFor(relation) + QStringLiteral("sie verweist auf dieselbe Tabelle, und auf ")
            + d.caption.toString() + QStringLiteral(" darf ein Trigger die Tabelle, die ihn auslöst, nicht ändern.");
    QStringList names{relation.Table, relation.ForeignTable};
    for (const dao::RelationField& field : relation.Fields)
        names << field.Name << field.ForeignName;
    for (const QString& name : std::as_const(names))
        if (!writable(name, dialect))
            return noTriggerFor(relation) + d.caption.toString() + QStringLiteral(" kann den Namen ") + name
                + QStringLiteral(" nicht schreiben, er enthält \"") + d.close + QStringLiteral("\".");
    return {};
}

bool AddRelation(QList<TriggerTable>& tables, const dao::Relation& relation, Dialect dialect)
{
    auto it = std::find_if(tables.begin(), tables.end(), [&](const TriggerTable& t) {
        return t.table.compare(relation.Table, Qt::CaseInsensitive) == 0;
    });
    const bool added = it == tables.end();
    if (added) {
        TriggerTable table{relation.Table, {}, {}, {}, {}, {}};
        // Cut names may meet; the first table keeps them.
        const QString name = triggerName(QLatin1Char('u'), relation.Table, dialect);
        for (const TriggerTable& other : std::as_const(tables))
            if (table.namesTakenBy.isEmpty()
                && triggerName(QLatin1Char('u'), other.table, dialect).compare(name, Qt::CaseInsensitive) == 0)
                table.namesTakenBy = other.table;
        tables.append(table);
        it = tables.end() - 1;
    }
    TriggerTable& table = *it;

    const bool cascadesUpdates = (relation.Attributes & dao::dbRelationUpdateCascade) != 0;
    const bool cascadesDeletes = (relation.Attributes & dao::dbRelationDeleteCascade) != 0;
    const QString why =
        table.namesTakenBy.isEmpty() ? WhyNoTrigger(relation, dialect) : nameTaken(relation, table, dialect);
    // A relation the triggers cannot carry adds nothing, not even its key fields.
    if (!why.isEmpty()) {
        if (cascadesUpdates || cascadesDeletes)
            table.withoutTrigger.append(RelationWithoutTrigger{relation.Table, relation.Name, why});
        return added;
    }

    const Syntax& s = syntaxOf(dialect);
    const QString f = DelimitedName(relation.ForeignTable, dialect);
    QStringList set;
    QStringList where;
    for (const dao::RelationField& field : relation.Fields) {
        if (!table.keyFields.contains(field.Name, Qt::CaseInsensitive))
            table.keyFields.append(field.Name);
        const QString fn = fieldName(field.ForeignName, dialect);
        const QString n = fieldName(field.Name, dialect);
        set.append(fill(s.setPair, {{u"f", f}, {u"fn", fn}, {u"n", n}}));
        where.append(fill(s.wherePair, {{u"f", f}, {u"fn", fn}, {u"n", n}}));
    }
    const QString condition = where.join(QStringLiteral(" AND "));
    if (cascadesUpdates)
        table.updates.append(fill(s.update, {{u"f", f}, {u"set", set.join(QLatin1Char(','))}, {u"where", condition}}));
    if (cascadesDeletes)
        table.deletes.append(fill(s.del, {{u"f", f}, {u"where", condition}}));
    return added;
}

TableTriggers WriteTriggers(const TriggerTable& table, Dialect dialect)
{
    const Syntax& s = syntaxOf(dialect);
    TableTriggers t{triggerName(QLatin1Char('u'), table.table, dialect),
                    triggerName(QLatin1Char('d'), table.table, dialect),
                    {},
                    {},
                    {}};
    const QString u = DelimitedName(t.updateName, dialect);
    const QString d = DelimitedName(t.deleteName, dialect);
    const QString on = DelimitedName(table.table, dialect);
    // The drops would hit another table's triggers, or cannot be written.
    if (table.namesTakenBy.isEmpty() && writable(table.table, dialect))
        t.drops = QStringList{fill(s.drop, {{u"name", u}}), fill(s.drop, {{u"name", d}})};
    QStringList keys;
    for (const QString& key : table.keyFields)
        keys.append(fill(s.keyTest, {{u"k", fieldName(key, dialect)}}));
    t.update = fill(s.updateHead, {{u"name", u}, {u"table", on}, {u"keys", keys.join(s.keyJoin)}})
        + table.updates.join(QString()) + s.updateTail.toString();
    t.del =
        fill(s.deleteHead, {{u"name", d}, {u"table", on}}) + table.deletes.join(QString()) + s.deleteTail.toString();
    return t;
}

QString TriggersStatusLine(const TriggersOutcome& outcome)
{
    const auto made = std::count_if(outcome.triggers.begin(), outcome.triggers.end(),
                                    [](const TriggerResult& r) { return r.created; });
    return QStringLiteral("Trigger: %1 angelegt, %2 abgewiesen, %3 nicht möglich")
        .arg(made)
        .arg(outcome.triggers.size() - made)
        .arg(outcome.withoutTrigger.size());
}

TriggersOutcome RunRelationsToTriggers(TranslationHost& host)
{
    TriggersOutcome outcome;
    try {
        // Only the first workstation creates triggers.
        if (ReadWorkstationNumber(host.workstationNumber()) != 1)
            return outcome;
    } catch (const TabrixError& e) {
        host.showMessage(e.description());
        outcome.outcome = RunOutcome::Failed;
        return outcome;
    }
    const Dialect dialect = host.dialect();
    host.enableCommands(false);
    host.clearLines();
    host.clearWorkingList();

    bool progressRunning = false;
    auto finish = [&](RunOutcome ended) {
        if (progressRunning)
            host.progressStep(0);
        host.clearWorkingList();
        host.enableCommands(true);
        outcome.outcome = ended;
        return outcome;
    };

    // The one place where an error ends the run: an engine error while the
    // relations are read above all.
    try {
        QList<TriggerTable> tables;
        for (qsizetype i = 0; i < host.database().Relations().size(); ++i) {
            // A copy: nothing of the database is held across the status line's yield.
            const dao::Relation relation = host.database().Relations().at(i);
            host.setStatus(QStringLiteral("Beziehungs-Informationen einlesen: ") + relation.Name);
            if (host.endRequested())
                return finish(RunOutcome::EndedEarly);
            if (AddRelation(tables, relation, dialect))
                host.appendWorkingEntry(tables.constLast().table);
        }

        host.progressStart(long(tables.size()));
        progressRunning = true;
        for (qsizetype j = 0; j < tables.size(); ++j) {
            host.progressStep(long(j + 1));
            const TriggerTable& table = tables.at(j);
            host.appendLine(table.table);
            for (const RelationWithoutTrigger& relation : table.withoutTrigger) {
                host.appendLine(relation.reason);
                outcome.withoutTrigger.append(relation);
            }
            for (const QString& statement : table.updates + table.deletes) {
                host.appendLine(statement);
                if (!host.yieldToUser())
                    return finish(RunOutcome::EndedEarly);
            }
            const TableTriggers triggers = WriteTriggers(table, dialect);

            host.setStatus(QStringLiteral("lösche eventuell vorhandene Trigger..."));
            if (host.endRequested())
                return finish(RunOutcome::EndedEarly);
            // From the drops on the table gets its triggers again, whatever the
            // user does meanwhile.
            for (const QString& drop : triggers.drops)
                send(host, drop, OnServerError::Ignore);
            host.setStatus(QStringLiteral("Erzeuge neue Trigger..."));
            if (!table.updates.isEmpty())
                outcome.triggers.append(created(table.table, triggers.updateName,
                                                send(host, triggers.update, OnServerError::ListInPieces)));
            host.setClipboardText(triggers.del);
            if (!table.deletes.isEmpty())
                outcome.triggers.append(
                    created(table.table, triggers.deleteName, send(host, triggers.del, OnServerError::ListInPieces)));
            host.setStatus(QStringLiteral("Bereit."));
            if (host.endRequested())
                return finish(RunOutcome::EndedEarly);
        }
        host.setStatus(TriggersStatusLine(outcome));
        return finish(RunOutcome::Completed);
    } catch (const TabrixError& e) {
        if (IsConnectionLost(e))
            host.connectionLost(e.description());
        else
            host.showMessage(e.description());
    } catch (const std::exception& e) {
        host.showMessage(QString::fromLocal8Bit(e.what()));
    }
    return finish(RunOutcome::Failed);
}
