#include "ui/MessageBox.h"

#include "core/TabrixError.h"

#include <QRegularExpression>

#include <cstdio>
#include <exception>

namespace {
bool g_messageEcho = false;
}  // namespace

void SetMessageEcho(bool on)
{
    g_messageEcho = on;
}

bool MessageEcho()
{
    return g_messageEcho;
}

QString MessageEchoLine(const QString& title, const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\n|\\r"));
    return title + QStringLiteral(": ") + QString(text).replace(lineBreak, QStringLiteral(" | "));
}

QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text, const QString& title,
                                        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
                                        QMessageBox::Icon icon, QMessageBox::StandardButton escapeButton)
{
    if (g_messageEcho) {
        const QByteArray line = MessageEchoLine(title, text).toUtf8() + '\n';
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
        std::fflush(stderr);
    }
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
