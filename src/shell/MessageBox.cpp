#include "shell/MessageBox.h"

#include "shell/TabrixError.h"

#include <exception>

QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text, const QString& title,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton, QMessageBox::Icon icon,
                                        QMessageBox::StandardButton escapeButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    if (escapeButton != QMessageBox::NoButton)
        box.setEscapeButton(escapeButton);
    box.setWindowModality(Qt::ApplicationModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void RunGuarded(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const TabrixError& e) {
        ShowMessage(parent, e.description());
    } catch (const std::exception& e) {
        ShowMessage(parent, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowMessage(parent, QStringLiteral("Unbekannter Fehler"));
    }
}
