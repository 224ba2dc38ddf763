#include "windows/Abgleichen.h"

#include "core/TabrixError.h"
#include "server/ServerErrors.h"
#include "session/Session.h"
#include "ui/BrowseFile.h"
#include "ui/Legibility.h"
#include "ui/MessageBox.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

Abgleichen::Abgleichen(Session* session, QWidget* parent) : QWidget(parent), OperationWindow(this), m_session(session)
{
    setObjectName(QStringLiteral("Abgleichen"));
    setWindowTitle(QStringLiteral("SQL-Server mit XDB abgleichen"));
    Label1 = Named(new QLabel(QStringLiteral("Pfad der XDB :"), this), "Label1");
    Text_XDB = Named(new QLineEdit(this), "Text_XDB");
    Command1 = Named(new QPushButton(QStringLiteral("..."), this), "Command1");
    Command8 = Named(new QPushButton(QStringLiteral("XDB Verarbeiten"), this), "Command8");
    List1 = Named(new QListWidget(this), "List1");

    // The path box shows a path of 60 characters; the status list's long lines
    // (statements, server messages) wrap at its width.
    Text_XDB->setMinimumWidth(TextRoom(Text_XDB, 60, 1).width());
    WrapLongLines(List1);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text_XDB, 0, 1);
    grid->addWidget(Command1, 0, 2);
    grid->addWidget(Command8, 0, 3);
    grid->addWidget(List1, 1, 0, 1, 4);
    grid->setColumnStretch(1, 1);

    connect(Command1, &QPushButton::clicked, this, GuardedHandler(this, &Abgleichen::Command1_Click));
    connect(Command8, &QPushButton::clicked, this, GuardedHandler(this, &Abgleichen::Command8_Click));

    // The path comes from the command line ("-XDBpfad:") when one was given.
    if (!m_session->module1().XdbPath.isEmpty())
        Text_XDB->setText(m_session->module1().XdbPath);
}

QSize Abgleichen::sizeHint() const
{
    return QWidget::sizeHint().expandedTo(TextRoom(this, 110, 24));
}

void Abgleichen::Command1_Click()
{
    BrowseIntoBox(this, Text_XDB, QStringLiteral("XDB's (*.XDB)"));
}

void Abgleichen::Command8_Click()
{
    c8c();
}

void Abgleichen::c8c()
{
    // A run started inside another operation's yield would work under its feet.
    if (anyOperationRunning()) {
        ShowMessage(this, QStringLiteral("Eine andere Verarbeitung läuft noch. Bitte warten Sie ihr Ende ab."));
        return;
    }
    OperationScope operation(this);
    errorLines.clear();
    RunXdbDocument(*this, reader);
}

void Abgleichen::closeEvent(QCloseEvent* event)
{
    // A running document ends at its next yield; the window closes after it.
    if (holdClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

// ---------------------------------------------------------------------------
// XdbHost

XdbOptions Abgleichen::dialectOptions() const
{
    XdbOptions o;
    o.dialect = m_session->currentDialect();
    o.linuxSwitch = m_session->linuxChecked();
    o.moduleDataSource = m_session->IsModuleDataSource();
    return o;
}

QString Abgleichen::documentPath() const
{
    return Text_XDB->text();
}
bool Abgleichen::autoMode() const
{
    return m_session->module1().AutoMode;
}
void Abgleichen::setRunFailed()
{
    m_session->module1().RunFailed = true;
}
void Abgleichen::enableCommands(bool enabled)
{
    Command8->setEnabled(enabled);
}

ServerConnection& Abgleichen::connection()
{
    if (!m_session->module1().ServerConnection)
        throw NoConnectionError();
    return *m_session->module1().ServerConnection;
}

void Abgleichen::clearLines()
{
    List1->clear();
}
void Abgleichen::appendLine(const QString& line)
{
    List1->addItem(line);
}

void Abgleichen::showLastLineAtTop()
{
    if (List1->count() > 0)
        List1->scrollToItem(List1->item(List1->count() - 1), QAbstractItemView::PositionAtTop);
}

void Abgleichen::progressStart(long total)
{
    m_session->ProgressStart(total);
}
void Abgleichen::progressStep(long done)
{
    m_session->ProgressStep(done);
}

ViewResult Abgleichen::createView(const QString& name, const QString& statement)
{
    // Views are made by the conversion window, which lists them in its own List1.
    return m_session->createView(name, statement);
}

void Abgleichen::appendErrorLine(const QString& line)
{
    // An indented line speaks of the line above it (the table): the report keeps the two together.
    const QString above = line.startsWith(QLatin1Char('\t')) && List1->count() > 0
        ? List1->item(List1->count() - 1)->text().trimmed() + QLatin1Char('\n')
        : QString();
    appendLine(line);
    errorLines.append(above + line);
    EchoLine(QStringLiteral("XDB"), line);
}

void Abgleichen::showFinalMessage(const QString& text)
{
    ShowMessage(this, text);
}

void Abgleichen::connectionLost(const QString& serverText)
{
    m_session->ConnectionLost();
    ShowMessage(this, ConnectionLostMessage(serverText));
}
