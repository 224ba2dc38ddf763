#include "ui/MessageBox.h"

#include "core/TabrixError.h"

#include <QRegularExpression>

#include <cstdio>
#include <exception>

namespace {
bool g_messageEcho = false;
bool g_nobodyAnswers = false;

void writeLine(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

// The button a box gives when nobody presses one: its default, else the first it offers.
QMessageBox::StandardButton defaultAnswer(QMessageBox::StandardButtons buttons,
                                          QMessageBox::StandardButton defaultButton)
{
    if (defaultButton != QMessageBox::NoButton)
        return defaultButton;
    if (buttons & QMessageBox::Ok)
        return QMessageBox::Ok;
    for (unsigned bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1)
        if (buttons & bit)
            return static_cast<QMessageBox::StandardButton>(bit);
    return QMessageBox::NoButton;
}
}  // namespace

void SetNobodyAnswers(bool on)
{
    g_nobodyAnswers = on;
}

bool NobodyAnswers()
{
    return g_nobodyAnswers;
}

void EchoLine(const QString& prefix, const QString& text)
{
    if (g_messageEcho)
        writeLine(MessageEchoLine(prefix, text));
}

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
    if (g_messageEcho || g_nobodyAnswers)
        writeLine(MessageEchoLine(title, text));
    if (g_nobodyAnswers)
        return defaultAnswer(buttons, defaultButton);
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
