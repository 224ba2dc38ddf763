#include "shell/CommandLine.h"
#include "shell/MDIForm_Main.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    MDIForm_Main window(RebuildCommandLine(QCoreApplication::arguments().mid(1)));
    window.Form_Load();
    // A successful unattended run (or a second start-up) ends with the load.
    if (window.processEnded())
        return window.exitCode();
    window.show();
    return app.exec();
}
