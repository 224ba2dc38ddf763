#include "shell/CommandLine.h"
#include "shell/MDIForm_Main.h"
#include "ui/MessageBox.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // An unattended run on a machine without a display (a scheduled job on a
    // server): no platform could start, and no message box could ever be
    // answered. It runs on Qt's offscreen platform then, and its boxes are
    // only written to standard error. Wherever a display or a platform was
    // given, boxes wait for their answer.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw.append(QString::fromLocal8Bit(argv[i]));
    const bool headless = ParseCommandLine(RebuildCommandLine(raw)).autoMode && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (headless) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        SetNobodyAnswers(true);
    }

    QApplication app(argc, argv);
    MDIForm_Main window(RebuildCommandLine(QCoreApplication::arguments().mid(1)));
    window.Form_Load();
    // A second start-up ends with the load.
    if (window.processEnded())
        return window.exitCode();
    window.show();
    const int code = app.exec();
    return code != 0 ? code : window.exitCode();
}
