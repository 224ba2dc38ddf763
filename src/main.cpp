#include "shell/CommandLine.h"
#include "shell/MDIForm_Main.h"
#include "ui/MessageBox.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw.append(QString::fromLocal8Bit(argv[i]));

    // Help and version need no window, so neither a display.
    if (const QString answer = AnswerWithoutWindow(raw); !answer.isEmpty()) {
        std::fputs(answer.toUtf8().constData(), stdout);
        return 0;
    }

    // An unattended run on a machine without a display (a scheduled job on a
    // server): no platform could start, and no message box could ever be
    // answered. It runs on Qt's offscreen platform then, and its boxes are
    // only written to standard error. Wherever a display or a platform was
    // given, boxes wait for their answer. Any other start without a display
    // could open no window: it says so instead of Qt's abort.
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (noDisplay && !ParseCommandLine(RebuildCommandLine(raw)).autoMode) {
        std::fputs(NoDisplayMessage().toUtf8().constData(), stderr);
        return 1;
    }
    if (noDisplay) {
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
