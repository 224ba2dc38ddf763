#pragma once

// The report of a run: what became of every table (its rows, the check of
// its data, its lines of the error log), view, trigger and line of the XDB
// document, as one self-contained HTML file that any browser shows and
// prints (no scripts, nothing beside it). Failures come first.

#include "core/Dialect.h"
#include "core/Outcomes.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the windows know after an operation, filled from its outcomes.
struct RunReport {
    QString action;  // "Markierte Tabellen konvertieren", "Unbeaufsichtigter Lauf", ...
    QDateTime started;
    QDateTime ended;
    QString dataSource;
    Dialect dialect = Dialect::MSSQL;
    QString accessFile;
    QString xdbDocument;
    bool dataChecked = true;  // "Daten prüfen" was on
    RunOutcome outcome = RunOutcome::Completed;
    QList<TableOutcome> tables;
    std::optional<ViewsOutcome> views;
    std::optional<TriggersOutcome> triggers;
    bool xdbRan = false;
    QStringList xdbErrors;  // the lines of the XDB run that tell of an error
    QStringList notes;      // how the run ended where there is more to say (a step that failed)
};

// The HTML file, UTF-8 text; every name and message escaped.
QString RunReportHtml(const RunReport& report);

// $XDG_STATE_HOME/sql-tabrix/reports, else ~/.local/state/sql-tabrix/reports.
QString ReportFolder();

struct WrittenReport {
    QString path;   // where it was written; empty when it was not
    QString error;  // why not, in German
};

// Writes the report, for its owner only (file 0600, a folder made for it
// 0700): to `target` when that names a file, into `target` when it names a
// folder (ending in "/" or one that exists), else into ReportFolder(); in a
// folder named by its end, "bericht-2024-03-05-140709.html" (never over
// another report).
WrittenReport WriteRunReport(const RunReport& report, const QString& target = QString());

// The newest report in the folder of `target` (as WriteRunReport reads it):
// the named file itself when it exists; empty when there is none.
QString LatestReport(const QString& target = QString());
