// The unattended run ("-auto"): the whole ERP update without a user.

#include "conversion/Conversion.h"
#include "core/TabrixError.h"
#include "plugin/modDatenbankErweiterung.h"
#include "shell/MDIForm_Main.h"
#include "ui/MessageBox.h"
#include "windows/Abgleichen.h"
#include "windows/Konvertierung.h"

#include <algorithm>

int MDIForm_Main::UnattendedExitCode(bool stepFailed, const BatchOutcome& batch, int refusedViews)
{
    if (stepFailed)
        return ExitStepFailed;
    // A table whose data differ on the server counts as one that failed.
    const bool tableFailed = std::any_of(batch.tables.begin(), batch.tables.end(), [](const TableOutcome& t) {
        return t.result == TableResult::Failed || t.check.result == DataCheckResult::Differences;
    });
    return tableFailed || refusedViews > 0 ? ExitTablesFailed : ExitSucceeded;
}

void MDIForm_Main::AutomaticRun()
{
    RunReport report;
    report.action = QStringLiteral("Unbeaufsichtigter Lauf");
    report.started = QDateTime::currentDateTime();
    report.accessFile = state.MdbPath;
    report.xdbDocument = state.XdbPath;
    report.dataChecked = !state.NoDataCheck;
    // Each step runs only while no step has failed; the steps report their own
    // failures. An error that escapes a step fails the run, once.
    const auto step = [this, &report](const std::function<void()>& action) {
        if (state.RunFailed)
            return;
        try {
            action();
        } catch (const TabrixError& e) {
            state.RunFailed = true;
            report.notes.append(e.description());
            ShowMessage(this, e.description());
        } catch (const std::exception& e) {
            state.RunFailed = true;
            report.notes.append(QString::fromLocal8Bit(e.what()));
            ShowMessage(this, QString::fromLocal8Bit(e.what()));
        }
    };
    // A window that went away meanwhile (the user closed it during a yield)
    // fails the run instead of being used.
    const auto window = [](auto* w) {
        if (!w)
            throw TabrixError(91, QStringLiteral("Das Fenster des Schritts wurde geschlossen."));
        return w;
    };
    step([&] { Command3_Click(); });
    step([&] { Command1_Click(); });
    step([&] { window(konvertierung())->c4c(); });
    // Tables that fail are reported in the list and the log; the run goes on.
    BatchOutcome batch;
    step([&] {
        Konvertierung* konv = window(konvertierung());
        report.dataChecked = konv->checkData();
        batch = konv->c2c();
        // The table list as a scheduler's log reads it: one line per table with its result.
        for (const QString& line : TableListReport(konv->lastLoad(), batch))
            EchoLine(QStringLiteral("Tabellenliste"), line);
        EchoLine(QStringLiteral("Tabellenliste"), BatchSummary(batch));
    });
    report.tables = batch.tables;
    // A lost connection ends the chain at once (the batch has said so): nothing
    // after it could reach the server.
    if (!state.ServerConnection)
        state.RunFailed = true;
    step([&] { Command2_Click(); });
    // A view of the document that the server refused does not stop the chain either.
    int refusedViews = 0;
    step([&] {
        Abgleichen* xdb = window(abgleichen());
        report.xdbRan = true;
        xdb->c8c();
        refusedViews = xdb->reader.viewsRefused;
        report.xdbErrors = xdb->errorLines;
    });
    step([&] {
        const PluginLaunchResult launch =
            LaunchUpdatePlugin(PluginLaunchContext{programFolder, state.CmdUser, state.CmdPassword}, QString(), 1);
        for (const PluginLaunchMessage& message : launch.messages)
            ShowMessage(this, message.text, message.title);
        // A plug-in that did not start leaves the ERP update undone.
        if (!launch.processId) {
            state.RunFailed = true;
            report.notes.append(QStringLiteral("Das Modul zur Datenbankerweiterung wurde nicht gestartet."));
        }
    });
    // Every run leaves its report, a failed one too; the log says where.
    const QString closing = QStringLiteral("Bei der SQL-Datenbankerweiterung ist ein Fehler aufgetreten!");
    report.outcome = state.RunFailed ? RunOutcome::Failed : RunOutcome::Completed;
    if (state.RunFailed)
        report.notes.append(closing);
    report.ended = QDateTime::currentDateTime();
    const WrittenReport written = WriteReport(report);
    if (!written.path.isEmpty())
        EchoLine(QStringLiteral("Bericht"), written.path);
    if (state.RunFailed) {
        ShowMessage(this, closing);
        // The program stays open for the user; nobody can ever answer on a
        // machine without a display, so the run ends there.
        m_exitCode = UnattendedExitCode(true, batch, refusedViews);
        if (NobodyAnswers())
            endProcess(m_exitCode);
        return;
    }
    endProcess(UnattendedExitCode(false, batch, refusedViews));
}
