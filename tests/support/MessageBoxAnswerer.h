#pragma once

// Answers the program's modal message boxes as a user would: a timer looks for
// the active modal dialog, notes its title and text and presses a button.

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

struct SeenMessage {
    QString title;
    QString text;
};

class MessageBoxAnswerer : public QObject {
    Q_OBJECT
public:
    // Presses `button` (OK unless told otherwise) on every message box that appears.
    explicit MessageBoxAnswerer(QMessageBox::StandardButton button = QMessageBox::Ok);
    ~MessageBoxAnswerer() override;

    // Answers in turn; after the list is used up, `button` of the constructor.
    QList<QMessageBox::StandardButton> script;
    // Called with each box before it is answered (e.g. to check the program waits).
    std::function<void(QMessageBox*)> onShown;

    QList<SeenMessage> seen;
    QStringList texts() const;

private:
    void poll();
    QTimer m_timer;
    QMessageBox::StandardButton m_default;
};

// Runs `action` while a timer answers any other modal dialog with `onDialog`.
void WithModalDialog(const std::function<void(QWidget*)>& onDialog, const std::function<void()>& action);
