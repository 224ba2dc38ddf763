#include "windows/FehlerProtokoll.h"

#include "ui/MessageBox.h"
#include "ui/WindowOrder.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

FehlerProtokoll::FehlerProtokoll(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FehlerProtokoll"));
    setWindowTitle(QStringLiteral("Fehlerprotokoll"));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_version = new QLabel(QStringLiteral("Versionsinformation"), this);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_version->setText(QStringLiteral(" Version: %1.%2.%3")
                           .arg(TABRIX_VERSION_MAJOR)
                           .arg(TABRIX_VERSION_MINOR)
                           .arg(TABRIX_VERSION_PATCH));

    m_ok = new QPushButton(QStringLiteral("O.K."), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    connect(m_ok, &QPushButton::clicked, this, &FehlerProtokoll::Command1_Click);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_version, 1);
    bottom->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(bottom);
    resize(560, 360);
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
