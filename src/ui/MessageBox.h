#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Title of every message box that names no title of its own.
inline const QString kApplicationTitle = QStringLiteral("SQL-Tabrix");

// A real modal message box; returns the button the user pressed. Escape and
// the title bar's close give `escapeButton`, or Qt's choice (No, Cancel)
// when none is named.
QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text, const QString& title = kApplicationTitle,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                        QMessageBox::Icon icon = QMessageBox::NoIcon,
                                        QMessageBox::StandardButton escapeButton = QMessageBox::NoButton);

// In an unattended run nobody watches the screen: while the echo is on, every
// message box is also written to standard error as one line, before it waits
// for its answer, so that the run's log says what happened.
void SetMessageEcho(bool on);
bool MessageEcho();
// The line written for one box: title, ": ", the text with each line break
// (CR LF, LF or CR) shown as " | ".
QString MessageEchoLine(const QString& title, const QString& text);
// While the echo is on, writes "prefix: text" (line breaks as above) to
// standard error: the error log and the XDB list of an unattended run.
void EchoLine(const QString& prefix, const QString& text);

// An unattended run on a machine without any display: nobody can ever answer
// a box. Each box is then only written to standard error (the echo) and
// answered with its default button at once.
void SetNobodyAnswers(bool on);
bool NobodyAnswers();

// Runs an event handler so that no error escapes it: whatever it raises is
// shown in a message box and the program goes on.
void RunGuarded(QWidget* parent, const std::function<void()>& handler);

// A slot that runs a window's event handler under RunGuarded.
template <typename Window, typename Result>
auto GuardedHandler(Window* window, Result (Window::*handler)())
{
    return [window, handler] { RunGuarded(window, [window, handler] { static_cast<void>((window->*handler)()); }); };
}

// Gives a control its name, for the code and for the tests that find it.
template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
