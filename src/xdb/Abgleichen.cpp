#include "xdb/Abgleichen.h"

#include "shell/MDIForm_Main.h"
#include "shell/MessageBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

Abgleichen::Abgleichen(MDIForm_Main* main, QWidget* parent) : QWidget(parent), OperationWindow(this), m_main(main)
{
    setObjectName(QStringLiteral("Abgleichen"));
    setWindowTitle(QStringLiteral("SQL-Server mit XDB abgleichen"));
    Label1 = Named(new QLabel(QStringLiteral("Pfad der XDB :"), this), "Label1");
    Text_XDB = Named(new QLineEdit(this), "Text_XDB");
    Command1 = Named(new QPushButton(QStringLiteral("..."), this), "Command1");
    Command8 = Named(new QPushButton(QStringLiteral("XDB Verarbeiten"), this), "Command8");
    List1 = Named(new QListWidget(this), "List1");

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text_XDB, 0, 1);
    grid->addWidget(Command1, 0, 2);
    grid->addWidget(Command8, 0, 3);
    grid->addWidget(List1, 1, 0, 1, 4);

    // The path comes from the command line ("-XDBpfad:") when one was given.
    Text_XDB->setText(m_main->state.XdbPath);
}
