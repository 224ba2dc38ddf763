#include "conversion/Conversion.h"

#include "conversion/CopyLoop.h"
#include "conversion/KeysAndIndexes.h"
#include "conversion/TableCreation.h"
#include "conversion/TableList.h"
#include "conversion/UnfinishedTables.h"
#include "core/TabrixError.h"
#include "core/TimeOfDay.h"
#include "server/ServerConnection.h"
#include "server/ServerErrors.h"
#include "sql/Names.h"
#include "sql/ServerProduct.h"

#include <QHash>

#include <algorithm>
#include <functional>

namespace {

const QString kMigrated = QStringLiteral("[migriert]");
const QString kFailed = QStringLiteral("[!Fehler!]");

}  // namespace

// ---------------------------------------------------------------------------
// The load

LoadOutcome LoadDatabase(ConversionHost& host)
{
    LoadOutcome outcome;
    host.enableCommands(false);
    host.clearTableList();
    host.setStatus(QStringLiteral("öffne Access"));

    // A dialect that does not fit the server's product explains a load that
    // fails for its statements' syntax.
    QString serverName;
    QString serverDescription;
    QString mismatch;
    try {
        const ServerConnection& server = host.connection();
        serverName = server.Name();
        serverDescription = server.Description();
        mismatch = ProductMismatchLine(server.DbmsName(), host.dialect());
    } catch (const std::exception&) {
        // No login: the line names no driver.
    }

    // The load's error rule: a server in trouble ends the load; anything else
    // (a missing table above all) clears the current flag and the load goes on.
    bool serverTrouble = false;
    auto guard = [&](bool& flag, const std::function<void()>& statement) {
        if (serverTrouble)
            return;
        try {
            statement();
        } catch (const TabrixError& e) {
            if (e.number() == TabrixError::ServerErrorNumber && !e.description().startsWith(QLatin1String("S0002:"))) {
                serverTrouble = true;
                // The load ends here; its progress display must not stay behind.
                host.progressStep(0);
                host.setRunFailed();
                if (!mismatch.isEmpty()) {
                    host.clearLines();
                    host.appendLine(mismatch);
                }
                if (IsConnectionLost(e)) {
                    host.connectionLost(e.description());
                } else {
                    host.showMessage(
                        e.description()
                        + QStringLiteral("\r\nDatenbankserver überlastet\r\nBitte starten sie das Programm neu"));
                    // Another dialect or file can be chosen and loaded.
                    host.enableFileCommands();
                }
                return;
            }
            flag = false;
        } catch (const std::exception&) {
            flag = false;
        }
    };

    const QString path = host.accessPath();
    bool opened = true;
    std::unique_ptr<dao::Database> database;
    guard(opened, [&] { database = dao::Database::OpenDatabase(path); });
    if (!opened) {
        host.setRunFailed();
        host.showMessage(QStringLiteral("Access-Datenquelle '") + path + QStringLiteral("' nicht gefunden!"));
        host.enableFileCommands();
        host.setStatus(QStringLiteral("Bereit."));
        return outcome;
    }
    host.setDatabase(std::move(database));
    outcome.opened = true;

    host.setStatus(QStringLiteral("lade Tabellen"));
    QStringList names;
    for (const dao::TableDef& def : host.database().TableDefs())
        if ((def.Attributes & dao::dbSystemObjectMask) == 0) {
            names.append(def.Name);
            host.addTableEntry(def.Name);
            outcome.tables.append(LoadedTable{def.Name});
        }

    const int count = int(names.size());
    host.progressStart(count);
    qint64 tables = 0;
    qint64 rows = 0;
    QStringList unfinishedTables;
    // Tables whose conversion did not end, in this process or an earlier one.
    QString stateWarning;
    const QSet<QString> unfinishedBefore =
        host.unfinishedTables().unfinishedOf(host.dataSourceName(), path, names, &stateWarning);
    for (int i = count - 1; i >= 0; --i) {
        const QString& name = names[i];
        LoadedTable& table = outcome.tables[i];
        host.progressStep(count - i);
        host.showEntryAtTop(i);
        host.setStatus(QStringLiteral("suche Tabelle ") + name + QStringLiteral(" auf SQL-Server"));
        if (host.endRequested()) {
            // The window is to close: the load ends here.
            host.progressStep(0);
            return outcome;
        }

        bool found = true;
        std::unique_ptr<ServerResultSet> counted;
        guard(found, [&] {
            counted = host.queryConnection().OpenResultset(RowCountStatement(host.dialect(), name), rdOpenForwardOnly,
                                                           rdConcurReadOnly, rdExecDirect);
        });
        if (serverTrouble)
            return outcome;
        // A table left half-filled by a conversion that did not end is marked
        // again, although the server has it.
        table.unfinished = unfinishedBefore.contains(name);
        if (found && table.unfinished)
            unfinishedTables.prepend(name);
        table.marked = !found || table.unfinished;
        host.markOnLoad(i, table.marked);
        if (found) {
            bool ignored = true;
            qint64 n = 0;
            guard(ignored, [&] { n = counted->Value(0).toLongLong(); });
            if (serverTrouble)
                return outcome;
            table.found = true;
            table.rowsOnServer = n;
            ++tables;
            rows += n;
            host.setEntryText(i, PadName(name) + QLatin1Char('[') + QString::number(n) + QLatin1Char(']'));
            guard(ignored, [&] {
                counted->Close();
                counted.reset();
            });
            if (serverTrouble)
                return outcome;
        }
    }
    host.progressStep(0);

    host.clearLines();
    host.appendLine(QStringLiteral("Abfragen in Datenbank: ") + QString::number(host.database().QueryDefs().size()));
    host.appendLine(QStringLiteral("Beziehungen in Datenbank: ") + QString::number(host.database().Relations().size()));
    host.appendLine(QString());
    host.appendLine(QStringLiteral("SQL-Treiber: ") + serverName + QStringLiteral(" : ") + serverDescription);
    if (!mismatch.isEmpty())
        host.appendLine(mismatch);
    for (const QString& table : std::as_const(unfinishedTables))
        host.appendLine(QStringLiteral("Tabelle ") + table
                        + QStringLiteral(": die letzte Konvertierung wurde nicht beendet, die Tabelle ist markiert."));
    if (!stateWarning.isEmpty()) {
        host.appendLine(stateWarning);
        // The error log too: an unattended run's log reads it there.
        host.noteStateWarning(stateWarning);
    }

    host.setStatus(QStringLiteral("Bereit.   [") + QString::number(rows) + QStringLiteral(" Sätze in ")
                   + QString::number(tables) + QStringLiteral(" Tabellen auf dem SQL-Server]"));
    host.enableCommands(true);
    host.clearAbortRequest();
    outcome.completed = true;
    return outcome;
}

// ---------------------------------------------------------------------------
// One table

namespace {

void refuseUnquotableNames(const dao::TableDef& def, Dialect dialect)
{
    QStringList names{def.Name};
    for (const dao::Field& f : def.Fields)
        names.append(f.Name);
    for (const dao::Index& index : def.Indexes)
        names.append(index.Name);
    for (const QString& name : std::as_const(names))
        if (!CanQuote(name, dialect))
            throw TabrixError(
                3125,
                QStringLiteral("Tabelle %1: Der Name '%2' enthält ']', den %3 in keinem Namen lesen kann; die Tabelle "
                               "wird nicht übertragen.")
                    .arg(def.Name, name, dialectName(dialect)),
                QStringLiteral("SQL-Tabrix"));
}

}  // namespace

TableOutcome ConvertTable(ConversionHost& host, const QString& table)
{
    TableRun run(host, table);
    TableOutcome outcome{table};
    host.tableRunning(true);
    // Until the conversion has ended, the server table may be half-filled.
    QString database;
    try {
        database = host.database().Name();
    } catch (const std::exception&) {
        database = host.accessPath();
    }
    const UnfinishedTables::Key unfinished{host.dataSourceName(), database, table};
    host.noteStateWarning(host.unfinishedTables().remember(unfinished));

    std::unique_ptr<dao::Recordset> rs;
    // The recordset is closed on every path, the failing one included.
    const auto finish = [&] {
        if (rs) {
            rs->Close();
            rs.reset();
        }
        host.setStatus(QStringLiteral("Fertig."));
        host.showStopPicture(false);
        host.enableCommands(true);
        host.tableRunning(false);
    };
    bool copiedToTheEnd = true;
    try {
        run.step([&] { host.log(QStringLiteral("Tabelle: ") + table); });
        run.step([&] { host.enableCommands(false); });
        host.showStopPicture(true);
        host.setStatus(QStringLiteral("öffne Access - Tabelle"));
        run.step([&] { rs = host.database().OpenRecordset(table); });
        // A name the dialect cannot quote could end its statement: the table stays where it is.
        run.step([&] { refuseUnquotableNames(host.database().GetTableDef(table), host.dialect()); });

        bool countIsOne = false;
        run.step([&] {
            bool ok = false;
            const double count = host.workstationCount().trimmed().toDouble(&ok);
            if (!ok)
                throw TabrixError(13, QStringLiteral("Typen unverträglich"), QStringLiteral("SQL-Tabrix"));
            countIsOne = count == 1;
        });
        TableFlags flags;
        if (countIsOne && rs) {
            flags = RunStructurePhase(run, *rs);
            run.afterCreation = true;
            RunIndexPhase(run);
        }
        run.afterCreation = true;
        bool copy = false;
        // The copy itself looks at the row count: a table that reads empty
        // although its definition counts rows is reported there.
        run.step([&] { copy = rs && !host.structureOnly(); });
        if (copy)
            copiedToTheEnd = RunCopyLoop(run, *rs, flags);
        // The server's figures against the file's, once every row went out.
        if (run.check && copiedToTheEnd && !run.failed())
            outcome.check = RunDataCheck(run, *run.check);
        else
            outcome.check.reason = !host.checkData() ? QStringLiteral("ausgeschaltet")
                : !copy                              ? QStringLiteral("nur die Struktur angelegt")
                : run.failed()                       ? QStringLiteral("die Tabelle ist nicht konvertiert")
                                                     : QStringLiteral("die Kopie wurde nicht beendet");
        finish();
    } catch (const ConversionEnded&) {
        // The error rule has reported the failure; the table ends here.
        outcome.check.reason = QStringLiteral("die Tabelle ist nicht konvertiert");
        finish();
    }
    if (copiedToTheEnd && !run.cutShort() && run.connectionLost().isEmpty() && !host.endRequested())
        host.noteStateWarning(host.unfinishedTables().forget(unfinished));

    outcome.rowsInFile = run.rowsInFile;
    outcome.rowsSent = run.rowsSent;
    outcome.connectionLost = run.connectionLost();
    outcome.logLines = run.logLines();
    // The stop picture fails the table too.
    if (run.failed() || host.isTableFailed()) {
        outcome.result = TableResult::Failed;
        outcome.reason = run.failed() ? run.firstError() : host.abortReason();
        outcome.stopped = !host.abortReason().isEmpty();
    } else {
        outcome.result = TableResult::Converted;
    }
    return outcome;
}

// ---------------------------------------------------------------------------
// The batch and the takeover

namespace {
const QString kAllConverted = QStringLiteral("Alle markierten Tabellen wurden konvertiert.");
}  // namespace

QString BatchSummary(const BatchOutcome& batch)
{
    const auto marked = batch.tables.size();
    if (marked == 0)
        return QStringLiteral("Es war keine Tabelle markiert.");
    const auto failed = std::count_if(batch.tables.begin(), batch.tables.end(),
                                      [](const TableOutcome& t) { return t.result != TableResult::Converted; });
    const bool stopped =
        std::any_of(batch.tables.begin(), batch.tables.end(), [](const TableOutcome& t) { return t.stopped; });
    QString text = stopped ? QStringLiteral("Die Konvertierung wurde angehalten. ") : QString();
    if (failed == 0)
        return stopped ? text + kAllConverted : kAllConverted;
    text += QStringLiteral("%1 von %2 markierten Tabellen %3 nicht konvertiert; Einzelheiten im Fehler-Protokoll.")
                .arg(failed)
                .arg(marked)
                .arg(failed == 1 ? QStringLiteral("wurde") : QStringLiteral("wurden"));
    return text;
}

BatchOutcome RunBatch(ConversionHost& host)
{
    BatchOutcome outcome;
    try {
        host.enableCommands(false);
        host.clearLog();
        const int start = TimeOfDay::secondsSinceMidnight();
        host.clearIdentityTables();

        // Entries are read by position at each turn: the user may click the
        // list while a table converts. A lost connection ends the batch: the
        // tables after it stay marked.
        QString connectionLost;
        int count = 0;
        for (int i = 0; i < host.tableEntries(); ++i)
            count += host.tableMarked(i) ? 1 : 0;
        int number = 0;
        for (int i = 0; i < host.tableEntries(); ++i) {
            if (!host.tableMarked(i))
                continue;
            ++number;
            // The user may mark more entries while the batch runs.
            host.showBatchPosition(number, std::max(number, count));
            const QString table = host.tableAt(i);
            if (host.endRequested() || !connectionLost.isEmpty()) {
                outcome.tables.append(TableOutcome{table, TableResult::Skipped, -1, 0,
                                                   QStringLiteral("Die Stapelverarbeitung wurde vorher beendet.")});
                continue;
            }
            host.showTableName(table);
            host.clearTableFailed();
            const TableOutcome converted = ConvertTable(host, table);
            const bool failed = converted.result == TableResult::Failed;
            if (!failed)
                host.setEntryMarked(i, false);
            host.setEntryText(i, PadName(table) + (failed ? kFailed : kMigrated));
            connectionLost = converted.connectionLost;
            outcome.tables.append(converted);
        }

        // The identity-table window may have been closed during a yield: it is
        // loaded again at each use.
        host.showBatchPosition(0, 0);
        host.addIdentityCountLine();
        const QString summary = BatchSummary(outcome);
        QString status = LastActionStatus(start, TimeOfDay::secondsSinceMidnight());
        if (summary != kAllConverted)
            status += QStringLiteral("  |  ") + summary;
        host.setStatus(status);
        host.lockMarking();
        // A batch cut short because the window is to close reports nothing more.
        const bool completed = !host.endRequested();
        if (!connectionLost.isEmpty())
            host.connectionLost(connectionLost);
        else if (completed && !host.autoMode())
            host.showMessage(summary);
        host.enableCommands(true);
        if (completed)
            host.showIdentityTables();
        // A lost connection ends what follows the batch too (a takeover's views and triggers).
        outcome.outcome = !connectionLost.isEmpty() ? RunOutcome::Failed
            : completed                             ? RunOutcome::Completed
                                                    : RunOutcome::EndedEarly;
        return outcome;
    } catch (const TabrixError& e) {
        host.showMessage(e.description());
    } catch (const std::exception& e) {
        host.showMessage(QString::fromLocal8Bit(e.what()));
    }
    outcome.outcome = RunOutcome::Failed;
    return outcome;
}

TakeoverOutcome RunTakeover(ConversionHost& host)
{
    TakeoverOutcome outcome;
    const QString title = QStringLiteral("Sicherheitsabfrage");
    // Escape or closing a question never starts the takeover: on the last
    // one, where Yes is the way out, it counts as Yes.
    if (!host.askYes(QStringLiteral("Dieser Schalter darf nur im Zuge eine Neuanlage der Datenbank verwendet werden! "
                                    "Wollen Sie wirklich alle Tabellen der Access-Datenbank auf den SQL-Server "
                                    "tabrixen ?"),
                     title, false))
        return outcome;
    if (!host.askYes(QStringLiteral("VORSICHT ! ALLE DATEN die sich im Moment auf dem SQL-Server befinden WERDEN "
                                    "GELÖSCHT. Wollen Sie trotzdem fortfahren ?"),
                     title, false))
        return outcome;
    if (host.askYes(QStringLiteral("LETZTE WARNUNG! Wollen Sie den Vorgang abbrechen ?"), title, true))
        return outcome;
    outcome.confirmed = true;

    const int start = TimeOfDay::secondsSinceMidnight();
    // Marked by the program: the click rule does not see these marks.
    for (int i = host.tableEntries() - 1; i >= 0; --i)
        host.setEntryMarked(i, true);
    // A step that failed or was cut short ends the takeover.
    outcome.batch = RunBatch(host);
    if ((outcome.outcome = outcome.batch.outcome) != RunOutcome::Completed)
        return outcome;
    outcome.views = host.runViews();
    if ((outcome.outcome = outcome.views.outcome) != RunOutcome::Completed)
        return outcome;
    outcome.triggers = host.runTriggers();
    if ((outcome.outcome = outcome.triggers.outcome) != RunOutcome::Completed)
        return outcome;
    host.setStatus(LastActionStatus(start, TimeOfDay::secondsSinceMidnight()));
    return outcome;
}

QStringList TableListReport(const LoadOutcome& load, const BatchOutcome& batch)
{
    QHash<QString, TableResult> results;
    for (const TableOutcome& table : batch.tables)
        results.insert(table.table, table.result);
    QStringList lines;
    for (const LoadedTable& table : load.tables) {
        const TableResult result = results.value(table.name, TableResult::Skipped);
        const QString text = result == TableResult::Converted ? kMigrated
            : result == TableResult::Failed                   ? kFailed
            : table.found ? QLatin1Char('[') + QString::number(table.rowsOnServer) + QLatin1Char(']')
                          : QStringLiteral("[nicht konvertiert]");
        lines.append(table.name + QLatin1Char(' ') + text);
    }
    return lines;
}
