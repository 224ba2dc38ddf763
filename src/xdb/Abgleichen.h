#pragma once

#include "shell/LongOperation.h"

#include <QWidget>

class MDIForm_Main;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The XDB window "SQL-Server mit XDB abgleichen": path of the XDB document and
// the status list of its processing.
class Abgleichen : public QWidget, public OperationWindow {
    Q_OBJECT
public:
    explicit Abgleichen(MDIForm_Main* main, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Text_XDB = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command8 = nullptr;
    QListWidget* List1 = nullptr;

private:
    MDIForm_Main* m_main;
};
