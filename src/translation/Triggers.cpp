#include "translation/Triggers.h"

#include "core/TabrixError.h"
#include "core/TextPieces.h"
#include "core/WorkstationShare.h"
#include "server/ServerErrors.h"
#include "sql/DialectRecord.h"
#include "sql/Names.h"

#include <algorithm>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

enum class OnServerError { Ignore, ListInPieces };

// A field name between the trigger quotes, a quote inside doubled.
QString quoted(const QString& name, const QString& q)
{
    return q.isEmpty() ? name : q + QString(name).replace(q, q + q) + q;
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

QString TriggerFieldQuote(Dialect dialect)
{
    return DialectRecord(dialect).triggerFieldQuote.toString();
}

bool AddRelation(QList<TriggerTable>& tables, const dao::Relation& relation, const QString& q)
{
    auto it = std::find_if(tables.begin(), tables.end(), [&](const TriggerTable& t) {
        return t.table.compare(relation.Table, Qt::CaseInsensitive) == 0;
    });
    const bool added = it == tables.end();
    if (added) {
        tables.append(TriggerTable{relation.Table, {}, {}, {}});
        it = tables.end() - 1;
    }
    TriggerTable& table = *it;

    const QString& f = relation.ForeignTable;
    QString update = kCrLf + QStringLiteral("UPDATE ") + f + QStringLiteral(" SET ");
    QString condition = QStringLiteral(" WHERE ");
    QString del = kCrLf + QStringLiteral("DELETE FROM ") + f + QStringLiteral(" FROM DELETED");
    QString listSeparator;
    QString conditionSeparator;
    for (const dao::RelationField& field : relation.Fields) {
        if (!table.keyFields.contains(field.Name, Qt::CaseInsensitive))
            table.keyFields.append(field.Name);
        update += listSeparator + f + QLatin1Char('.') + quoted(field.ForeignName, q) + QStringLiteral("=INSERTED.")
            + quoted(field.Name, q);
        listSeparator = QStringLiteral(",");
        condition += conditionSeparator + f + QLatin1Char('.') + quoted(field.ForeignName, q)
            + QStringLiteral("=DELETED.") + quoted(field.Name, q);
        conditionSeparator = QStringLiteral(" AND ");
    }
    update += QStringLiteral(" FROM INSERTED,DELETED") + condition;
    del += condition;
    if ((relation.Attributes & dao::dbRelationUpdateCascade) != 0)
        table.updates.append(update);
    if ((relation.Attributes & dao::dbRelationDeleteCascade) != 0)
        table.deletes.append(del);
    return added;
}

QString UpdateTriggerHead(const TriggerTable& table, const QString& q)
{
    QString condition = kCrLf;
    for (qsizetype i = 0; i < table.keyFields.size(); ++i)
        condition += (i == 0 ? QStringLiteral("IF") : QStringLiteral(" OR")) + QStringLiteral(" UPDATE(")
            + quoted(table.keyFields[i], q) + QLatin1Char(')');
    condition += kCrLf + QStringLiteral("BEGIN");
    return QStringLiteral("CREATE TRIGGER u") + table.table + QStringLiteral(" ON ") + table.table
        + QStringLiteral(" FOR UPDATE AS") + condition;
}

QString DeleteTriggerHead(const TriggerTable& table)
{
    return QStringLiteral("CREATE TRIGGER d") + table.table + QStringLiteral(" ON ") + table.table
        + QStringLiteral(" FOR DELETE AS");
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
    const QString q = TriggerFieldQuote(host.dialect());
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
            if (AddRelation(tables, relation, q))
                host.appendWorkingEntry(tables.constLast().table);
        }

        host.progressStart(long(tables.size()));
        progressRunning = true;
        for (qsizetype j = 0; j < tables.size(); ++j) {
            host.progressStep(long(j + 1));
            const TriggerTable& table = tables.at(j);
            host.appendLine(table.table);
            QString update = UpdateTriggerHead(table, q);
            QString del = DeleteTriggerHead(table);
            for (const QString& statement : table.updates) {
                host.appendLine(statement);
                if (!host.yieldToUser())
                    return finish(RunOutcome::EndedEarly);
                update += statement;
            }
            for (const QString& statement : table.deletes) {
                host.appendLine(statement);
                if (!host.yieldToUser())
                    return finish(RunOutcome::EndedEarly);
                del += statement;
            }

            host.setStatus(QStringLiteral("lösche eventuell vorhandene Trigger..."));
            if (host.endRequested())
                return finish(RunOutcome::EndedEarly);
            // From the drops on the table gets its triggers again, whatever the
            // user does meanwhile.
            send(host, QStringLiteral("DROP TRIGGER u") + table.table, OnServerError::Ignore);
            send(host, QStringLiteral("DROP TRIGGER d") + table.table, OnServerError::Ignore);
            host.setStatus(QStringLiteral("Erzeuge neue Trigger..."));
            if (!table.updates.isEmpty())
                outcome.triggers.append(
                    created(table.table, QStringLiteral("u") + table.table,
                            send(host, update + kCrLf + QStringLiteral("END"), OnServerError::ListInPieces)));
            host.setClipboardText(del);
            if (!table.deletes.isEmpty())
                outcome.triggers.append(created(table.table, QStringLiteral("d") + table.table,
                                                send(host, del, OnServerError::ListInPieces)));
            host.setStatus(QStringLiteral("Bereit."));
            if (host.endRequested())
                return finish(RunOutcome::EndedEarly);
        }
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
