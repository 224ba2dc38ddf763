// The unattended run ("-auto"): the whole ERP update without a user.

#include "conversion/Conversion.h"
#include "core/TabrixError.h"
#include "plugin/modDatenbankErweiterung.h"
#include "shell/MDIForm_Main.h"
#include "ui/MessageBox.h"
#include "windows/Abgleichen.h"
#include "windows/Konvertierung.h"

#include <algorithm>

void MDIForm_Main::AutomaticRun()
{
    // Each step runs only while no step has failed; the steps report their own
    // failures. An error that escapes a step fails the run, once.
    const auto step = [this](const std::function<void()>& action) {
        if (state.RunFailed)
            return;
        try {
            action();
        } catch (const TabrixError& e) {
            state.RunFailed = true;
            ShowMessage(this, e.description());
        } catch (const std::exception& e) {
            state.RunFailed = true;
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
    int failedTables = 0;
    step([&] {
        Konvertierung* konv = window(konvertierung());
        const BatchOutcome batch = konv->c2c();
        // The table list as a scheduler's log reads it: one line per table with its result.
        for (const QString& line : TableListReport(konv->lastLoad(), batch))
            EchoLine(QStringLiteral("Tabellenliste"), line);
        failedTables = int(std::count_if(batch.tables.begin(), batch.tables.end(),
                                         [](const TableOutcome& t) { return t.result == TableResult::Failed; }));
    });
    // A lost connection ends the chain at once (the batch has said so): nothing
    // after it could reach the server.
    if (!state.ServerConnection)
        state.RunFailed = true;
    step([&] { Command2_Click(); });
    // A view of the document that the server refused does not stop the chain either.
    int refusedViews = 0;
    step([&] {
        Abgleichen* xdb = window(abgleichen());
        xdb->c8c();
        refusedViews = xdb->reader.viewsRefused;
    });
    step([&] {
        const PluginLaunchResult launch =
            LaunchUpdatePlugin(PluginLaunchContext{programFolder, state.CmdUser, state.CmdPassword}, QString(), 1);
        for (const PluginLaunchMessage& message : launch.messages)
            ShowMessage(this, message.text, message.title);
    });
    if (state.RunFailed) {
        ShowMessage(this, QStringLiteral("Bei der SQL-Datenbankerweiterung ist ein Fehler aufgetreten!"));
        // The program stays open for the user; nobody can ever answer on a
        // machine without a display, so the run ends there.
        m_exitCode = ExitStepFailed;
        if (NobodyAnswers())
            endProcess(ExitStepFailed);
        return;
    }
    endProcess(failedTables > 0 || refusedViews > 0 ? ExitTablesFailed : ExitSucceeded);
}
