// The unattended run ("-auto"): the whole ERP update without a user.

#include "core/TabrixError.h"
#include "plugin/modDatenbankErweiterung.h"
#include "shell/MDIForm_Main.h"
#include "ui/MessageBox.h"
#include "windows/Abgleichen.h"
#include "windows/Konvertierung.h"

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
    step([&] { window(konvertierung())->c2c(); });
    step([&] { Command2_Click(); });
    step([&] { window(abgleichen())->c8c(); });
    step([&] {
        const PluginLaunchResult launch =
            LaunchUpdatePlugin(PluginLaunchContext{programFolder, state.CmdUser, state.CmdPassword}, QString(), 1);
        for (const PluginLaunchMessage& message : launch.messages)
            ShowMessage(this, message.text, message.title);
    });
    if (state.RunFailed) {
        ShowMessage(this, QStringLiteral("Bei der SQL-Datenbankerweiterung ist ein Fehler aufgetreten!"));
        return;
    }
    endProcess(0);
}
