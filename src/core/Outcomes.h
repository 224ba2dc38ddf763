#pragma once

// What the long operations report back as values: the load, the conversion
// of each table, the batch, the views, the triggers and the complete
// takeover. The windows show them, the unattended run reports from them.

#include "core/ViewOutcome.h"

#include <QList>
#include <QString>
#include <QStringList>

// How a run of several steps ended.
enum class RunOutcome {
    Completed,
    EndedEarly,  // the window is to close: stopped at a yield
    Failed,      // an error ended it (it has been shown)
};

enum class TableResult {
    Converted,  // "[migriert]"
    Failed,     // "[!Fehler!]"
    Skipped,    // marked, but the batch ended before it
};

// The check of a converted table's data: the figures of the rows the copy
// sent (cells, sums, smallest and largest values, characters) against the
// server's answer to one aggregate query.
enum class DataCheckResult {
    NotRun,       // no check was made (switched off, or the table ended before it)
    Passed,       // every figure agrees
    Differences,  // at least one figure differs
    NotChecked,   // the figures could not be compared (reason says why)
};

// One figure on which the file and the server disagree.
struct DataDifference {
    QString field;     // empty for the number of rows
    QString figure;    // "Datensätze", "Zellen", "Zeichen", "Ja-Werte", "Summe", "kleinster Wert", "größter Wert"
    QString inFile;    // the values as the report shows them (German number format)
    QString onServer;  // "keiner" where the server has none
    QString line;      // the error-log line, e.g. "Tabelle X, Feld Y: 1.204 Zellen in Access, 1.203 auf dem Server"
};

struct DataCheckOutcome {
    DataCheckResult result = DataCheckResult::NotRun;
    QString reason{};  // NotRun and NotChecked: why
    QList<DataDifference> differences{};
    qint64 rowsOnServer = -1;  // the server's count of rows, -1 when it was not asked
    int figures = 0;           // figures compared
    QString leftOut{};         // rows the program itself left out, e.g. "2 beschädigte Datensätze"
};

// One table of a batch.
struct TableOutcome {
    QString table;
    TableResult result = TableResult::Skipped;
    long rowsInFile = -1;      // readable rows of the Access table; -1 when the rows were not read
    long rowsSent = 0;         // rows the server took
    QString reason{};          // failed or skipped: why (the first error logged, or how the copy ended)
    QString connectionLost{};  // the server's text when the connection broke during the table
    DataCheckOutcome check{};  // the check of its data
    QStringList logLines{};    // the lines the table wrote into the error log, in order
    bool stopped = false;      // the user stopped its copy
};

// One table of the Access file after the load.
struct LoadedTable {
    QString name;
    bool found = false;       // the server has the table
    qint64 rowsOnServer = 0;  // when found
    bool unfinished = false;  // its last conversion did not end
    bool marked = false;      // for the next batch
};

struct LoadOutcome {
    bool opened = false;     // the Access file was opened
    bool completed = false;  // every table was looked up
    QList<LoadedTable> tables;
};

struct BatchOutcome {
    RunOutcome outcome = RunOutcome::Failed;
    QList<TableOutcome> tables;  // the marked tables, in the list's order
};

struct NamedViewResult {
    QString name;
    ViewResult result;
};

struct ViewsOutcome {
    RunOutcome outcome = RunOutcome::Completed;
    QList<NamedViewResult> views;
};

struct TriggerResult {
    QString table;
    QString trigger;  // "u" or "d" and the table (cut to the server's length), unquoted
    bool created = false;
    QString error;  // the server's text when it refused the trigger
};

// A relation with a cascade that no trigger carries on the chosen server.
struct RelationWithoutTrigger {
    QString table;  // its primary table
    QString relation;
    QString reason;  // the line listed: what is not made and why
};

struct TriggersOutcome {
    RunOutcome outcome = RunOutcome::Completed;
    QList<TriggerResult> triggers;
    QList<RelationWithoutTrigger> withoutTrigger{};
};

struct TakeoverOutcome {
    bool confirmed = false;  // all three questions answered to go on
    RunOutcome outcome = RunOutcome::Failed;
    BatchOutcome batch;
    ViewsOutcome views;
    TriggersOutcome triggers;
};
