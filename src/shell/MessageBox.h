#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Title of every message box that names no title of its own.
inline const QString kApplicationTitle = QStringLiteral("SQL-Tabrix");

// A real modal message box; returns the button the user pressed.
QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text,
                                        const QString& title = kApplicationTitle,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                        QMessageBox::Icon icon = QMessageBox::NoIcon);

// Runs an event handler so that no error escapes it: whatever it raises is
// shown in a message box and the program goes on.
void RunGuarded(QWidget* parent, const std::function<void()>& handler);
