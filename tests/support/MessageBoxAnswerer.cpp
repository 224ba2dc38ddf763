#include "MessageBoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

MessageBoxAnswerer::MessageBoxAnswerer(std::function<void(QWidget*)> dialog) : onDialog(std::move(dialog))
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start(20);
}

QStringList MessageBoxAnswerer::texts() const
{
    QStringList result;
    for (const SeenMessage& m : seen)
        result.append(m.text);
    return result;
}

QStringList MessageBoxAnswerer::titles() const
{
    QStringList result;
    for (const SeenMessage& m : seen)
        result.append(m.title);
    return result;
}

void MessageBoxAnswerer::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal->property("answered").toBool())
        return;
    modal->setProperty("answered", true);
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
        if (onDialog)
            onDialog(modal);
        else
            modal->close();
        return;
    }
    seen.append({box->windowTitle(), box->text()});
    if (onShown)
        onShown(box);
    const QMessageBox::StandardButton answer = script.isEmpty() ? QMessageBox::Ok : script.takeFirst();
    if (answer == QMessageBox::NoButton)
        QTest::keyClick(box, Qt::Key_Escape);
    else if (QAbstractButton* b = box->button(answer) ? box->button(answer) : box->buttons().value(0))
        b->click();
}
