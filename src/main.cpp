#include "shell/CommandLine.h"
#include "shell/MDIForm_Main.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    MDIForm_Main window(RebuildCommandLine(QCoreApplication::arguments().mid(1)));
    window.Form_Load();
    window.show();
    return app.exec();
}
