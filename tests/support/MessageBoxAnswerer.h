#pragma once

// Answers the program's modal windows as a user would: a timer looks for the
// active modal window; a message box has its title and text noted and a button
// pressed, any other window (a file dialog, the help window) goes to
// `onDialog`, or is closed without it. Waiting ends with the object, so a test
// that saw no window leaves nothing behind for the next one.

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

struct SeenMessage {
    QString title;
    QString text;
};

class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::function<void(QWidget*)> dialog = {});

    // Answers in turn, then OK; NoButton stands for the Escape key.
    QList<QMessageBox::StandardButton> script;
    // Called with each box before it is answered (e.g. to check the program waits).
    std::function<void(QMessageBox*)> onShown;
    // Called once with each modal window that is no message box.
    std::function<void(QWidget*)> onDialog;

    QList<SeenMessage> seen;
    QStringList texts() const;
    QStringList titles() const;

private:
    void poll();
    QTimer m_timer;
};
