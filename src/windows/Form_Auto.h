#pragma once

#include <QStringList>
#include <QWidget>

class QListWidget;
class QPushButton;

// The tables that received an identity column. The conversion fills the list:
// entry 0 is the count line, the table names follow.
class Form_Auto : public QWidget {
    Q_OBJECT
public:
    explicit Form_Auto(QWidget* parent = nullptr);

    QListWidget* listAuto() const { return m_list; }

    // The lines "Drucken" prints: five empty lines, the heading, an empty
    // line, then the table names (entry 1 onward; the heading stands in for
    // the count line).
    QStringList PrintLines() const;

private:
    void Command1_Click();
    void Command2_Click();

    QListWidget* m_list = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_ok = nullptr;
};
