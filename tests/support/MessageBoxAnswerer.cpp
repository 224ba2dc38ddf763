#include "MessageBoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>

MessageBoxAnswerer::MessageBoxAnswerer(QMessageBox::StandardButton button) : m_default(button)
{
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxAnswerer::poll);
    m_timer.start(20);
}

MessageBoxAnswerer::~MessageBoxAnswerer() = default;

QStringList MessageBoxAnswerer::texts() const
{
    QStringList result;
    for (const SeenMessage& m : seen)
        result.append(m.text);
    return result;
}

void MessageBoxAnswerer::poll()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    if (box->property("answered").toBool())
        return;
    box->setProperty("answered", true);
    seen.append({box->windowTitle(), box->text()});
    if (onShown)
        onShown(box);
    const QMessageBox::StandardButton answer = script.isEmpty() ? m_default : script.takeFirst();
    QAbstractButton* b = box->button(answer);
    if (!b)
        b = box->buttons().value(0);
    if (b)
        b->click();
}

void WithModalDialog(const std::function<void(QWidget*)>& onDialog, const std::function<void()>& action)
{
    QTimer timer;
    bool handled = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && w->isVisible() && !handled) {
            handled = true;
            onDialog(w);
        }
    });
    timer.start(20);
    action();
}
