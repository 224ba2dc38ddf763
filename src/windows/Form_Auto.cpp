#include "windows/Form_Auto.h"

#include "ui/MessageBox.h"
#include "ui/Printing.h"
#include "ui/WindowOrder.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

Form_Auto::Form_Auto(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form_Auto"));
    setWindowTitle(QStringLiteral("Tabellen mit AutoWertIdentitäts-Feld"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List_Auto"));

    m_print = new QPushButton(QStringLiteral("Drucken"), this);
    m_print->setObjectName(QStringLiteral("Command1"));
    connect(m_print, &QPushButton::clicked, this, &Form_Auto::Command1_Click);

    m_ok = new QPushButton(QStringLiteral("O.K."), this);
    m_ok->setObjectName(QStringLiteral("Command2"));
    connect(m_ok, &QPushButton::clicked, this, &Form_Auto::Command2_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_print);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(360, 420);
}

QStringList Form_Auto::PrintLines() const
{
    QStringList lines(5, QString());
    lines << QStringLiteral("\tTabellen mit AutoWertIdentitäts-Feld:") << QString();
    for (int i = 1; i < m_list->count(); ++i)
        lines << u'\t' + m_list->item(i)->text();
    return lines;
}

void Form_Auto::Command1_Click()
{
    try {
        Printing::printLines(PrintLines(), this);
    } catch (const std::exception& e) {
        ShowMessage(this, QString::fromLocal8Bit(e.what()), kApplicationTitle, QMessageBox::Ok, QMessageBox::NoButton,
                    QMessageBox::Critical);
    }
}

void Form_Auto::Command2_Click()
{
    sendToBack(this);
}
