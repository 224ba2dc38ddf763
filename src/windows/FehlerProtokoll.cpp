#include "windows/FehlerProtokoll.h"

#include "ui/BrowseFile.h"
#include "ui/Legibility.h"
#include "ui/MessageBox.h"
#include "ui/WindowOrder.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTextCursor>
#include <QVBoxLayout>

FehlerProtokoll::FehlerProtokoll(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FehlerProtokoll"));
    setWindowTitle(QStringLiteral("Fehlerprotokoll"));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    // A long server message wraps at the window's width instead of running out at the right.
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // Its own menu, in the program's language: copy what is marked, mark everything, save.
    auto* copySelection = Named(new QAction(QStringLiteral("Kopieren"), m_text), "Menu_Kopieren");
    copySelection->setShortcut(QKeySequence::Copy);
    copySelection->setShortcutContext(Qt::WidgetShortcut);
    copySelection->setEnabled(false);
    connect(m_text, &QPlainTextEdit::copyAvailable, copySelection, &QAction::setEnabled);
    connect(copySelection, &QAction::triggered, m_text, &QPlainTextEdit::copy);
    auto* selectAll = Named(new QAction(QStringLiteral("Alles markieren"), m_text), "Menu_AllesMarkieren");
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetShortcut);
    connect(selectAll, &QAction::triggered, m_text, &QPlainTextEdit::selectAll);
    auto* save = Named(new QAction(QStringLiteral("Speichern …"), m_text), "Menu_Speichern");
    connect(save, &QAction::triggered, this, GuardedHandler(this, &FehlerProtokoll::Command_Speichern_Click));
    m_text->addActions({copySelection, selectAll, save});
    m_text->setContextMenuPolicy(Qt::ActionsContextMenu);

    m_version = new QLabel(QStringLiteral("Versionsinformation"), this);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_version->setText(QStringLiteral(" Version: %1.%2.%3")
                           .arg(TABRIX_VERSION_MAJOR)
                           .arg(TABRIX_VERSION_MINOR)
                           .arg(TABRIX_VERSION_PATCH));

    m_copy = Named(new QPushButton(QStringLiteral("Alles kopieren"), this), "Command_Kopieren");
    connect(m_copy, &QPushButton::clicked, this, GuardedHandler(this, &FehlerProtokoll::Command_Kopieren_Click));
    m_save = Named(new QPushButton(QStringLiteral("Speichern …"), this), "Command_Speichern");
    connect(m_save, &QPushButton::clicked, this, GuardedHandler(this, &FehlerProtokoll::Command_Speichern_Click));
    m_ok = new QPushButton(QStringLiteral("O.K."), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    connect(m_ok, &QPushButton::clicked, this, &FehlerProtokoll::Command1_Click);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_version, 1);
    bottom->addWidget(m_copy);
    bottom->addWidget(m_save);
    bottom->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(bottom);
}

QSize FehlerProtokoll::sizeHint() const
{
    return QWidget::sizeHint().expandedTo(TextRoom(this, 100, 22));
}

void FehlerProtokoll::Add(const QString& line)
{
    // An unattended run's log says on standard error which table failed and why.
    EchoLine(QStringLiteral("Fehler-Protokoll"), line);
    m_log += line;
    m_log += QStringLiteral("\r\n");
    QTextCursor cursor(m_text->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(line + u'\n');
    m_text->ensureCursorVisible();
}

void FehlerProtokoll::Clear()
{
    m_log.clear();
    m_text->clear();
}

void FehlerProtokoll::Command1_Click()
{
    sendToBack(this);
}

QString FehlerProtokoll::shownText() const
{
    return QString(m_log).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void FehlerProtokoll::Command_Kopieren_Click()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(shownText());
}

void FehlerProtokoll::Command_Speichern_Click()
{
    const QString path = AskSavePath(this, QDir::home().filePath(QStringLiteral("Fehlerprotokoll.txt")),
                                     QStringLiteral("Textdateien (*.txt);;Alle Dateien (*)"));
    if (path.isEmpty())
        return;
    // Written whole or not at all: a failed save leaves an existing file as it was.
    QSaveFile file(path);
    const QByteArray bytes = shownText().toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        ShowMessage(this,
                    QStringLiteral("Das Fehlerprotokoll konnte nicht gespeichert werden:\r\n") + path
                        + QStringLiteral("\r\n") + file.errorString());
}
