#include "windows/ZusatzInfo.h"

#include "ui/MessageBox.h"
#include "ui/Printing.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

// Layout in twips (1/1440 inch), turned into pixels with the screen's DPI.
constexpr double kTwipsPerInch = 1440.0;
constexpr double kMargin = 225.0;
constexpr double kHintCaptionGap = 112.5;
constexpr double kButtonSize = 720.0;
constexpr double kHintHeight = 720.0;
constexpr double kMinWidth = 3705.0;
constexpr double kMinHeight = 6225.0;
constexpr double kInitialWidth = 7200.0;
constexpr double kInitialHeight = 7200.0;

int px(double value)
{
    return int(std::lround(value));
}

}  // namespace

QString MainHelpText()
{
    const QStringList lines{
        QStringLiteral("Rirovadozad"),
        QString(),
        QStringLiteral("Mit diesem Programm wird eine SQL-Datenbank auf Vordermann gebracht."),
        QStringLiteral("Dies geschieht mit einer MS-ACCESS-Datenbank und einem XDB-Dokument."),
        QStringLiteral("Merke :"),
        QStringLiteral("In der Regel wird dieses Programm benutzt, wenn Sie unser Programm QELTRA updaten wollen."),
        QStringLiteral("In der Programmierung kamen neue Datenbanktabellen dazu. Gleichfalls wurden in bestehenden "
                       "Tabellen neue Felder hinzugefügt."),
        QStringLiteral("Bevor Sie nun die neuen Programme (xxxx.exe) einsetzen, muß die SQL-Datenbank auf "
                       "Vordermann gebracht werden."),
    };
    return lines.join(QStringLiteral("\r\n"));
}

ZusatzInfo::ZusatzInfo(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ZusatzInfo"));
    setWindowTitle(QStringLiteral("Informationen zu dieser Maske"));
    setModal(true);

    m_heading = new QLabel(QStringLiteral("Zusatzinformationen"), this);
    m_heading->setObjectName(QStringLiteral("Label1"));
    m_heading->setAlignment(Qt::AlignCenter);
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.25);
    m_heading->setFont(headingFont);
    m_heading->adjustSize();

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setPlainText(QStringLiteral("leer\r\n"));

    m_line = new QFrame(this);
    m_line->setObjectName(QStringLiteral("Line1"));
    m_line->setFrameShape(QFrame::HLine);
    m_line->setFrameShadow(QFrame::Sunken);

    m_hintCaption = new QLabel(QStringLiteral("Weiterführende Informationen :"), this);
    m_hintCaption->setObjectName(QStringLiteral("Label2"));
    m_hintCaption->adjustSize();

    m_hint = new QLabel(QStringLiteral("Benutzen Sie unsere Online-Hilfe durch die F1 - Taste  bzw. schlagen Sie in "
                                       "unserem umfangreichen Benutzerhandbuch nach."),
                        this);
    m_hint->setObjectName(QStringLiteral("Label3"));
    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_print = new QToolButton(this);
    m_print->setObjectName(QStringLiteral("Command2"));
    m_print->setText(QStringLiteral("Drucken"));
    m_print->setIcon(QIcon::fromTheme(QStringLiteral("document-print"), style()->standardIcon(QStyle::SP_FileIcon)));
    m_print->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    connect(m_print, &QToolButton::clicked, this, &ZusatzInfo::Command2_Click);

    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("Command1"));
    m_close->setText(QStringLiteral("Schließen"));
    m_close->setIcon(
        QIcon::fromTheme(QStringLiteral("window-close"), style()->standardIcon(QStyle::SP_DialogCloseButton)));
    m_close->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    connect(m_close, &QToolButton::clicked, this, &ZusatzInfo::Command1_Click);

    setMinimumSize(minimumClientSize());
    resize(px(twipsX(kInitialWidth)), px(twipsY(kInitialHeight)));
    Form_Resize();
}

void ZusatzInfo::Anzeigen(const QString& AnzeigeText, QWidget* parent)
{
    ZusatzInfo window(parent);
    window.setText(AnzeigeText);
    // Centred with its frame, which is known only once the window is shown.
    window.show();
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const QSize outer = window.frameGeometry().size();
        window.move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
    }
    window.exec();
}

void ZusatzInfo::setText(const QString& text)
{
    m_text->setPlainText(text);
}

double ZusatzInfo::twipsX(double twips) const
{
    return twips * logicalDpiX() / kTwipsPerInch;
}

double ZusatzInfo::twipsY(double twips) const
{
    return twips * logicalDpiY() / kTwipsPerInch;
}

QSize ZusatzInfo::minimumClientSize() const
{
    // The smallest size is meant for the whole window, frame included.
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    return QSize(std::max(1, px(twipsX(kMinWidth)) - frame.width()),
                 std::max(1, px(twipsY(kMinHeight)) - frame.height()));
}

void ZusatzInfo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    setMinimumSize(minimumClientSize());
}

void ZusatzInfo::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // Coming back from minimised: the skipped layout is due now.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        Form_Resize();
}

void ZusatzInfo::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void ZusatzInfo::Form_Resize()
{
    if (isMinimized())
        return;

    const QSize least = minimumClientSize();
    if (width() < least.width() || height() < least.height()) {
        // Snap back; the resize that follows lays out again.
        resize(std::max(width(), least.width()), std::max(height(), least.height()));
        return;
    }

    const double innerWidth = width();
    const double innerHeight = height();
    const double marginX = twipsX(kMargin);
    const double marginY = twipsY(kMargin);

    // Hint at the bottom.
    const double hintHeight = twipsY(kHintHeight);
    const double hintTop = innerHeight - marginY - hintHeight;
    const double hintLeft = marginX;
    const double hintWidth = innerWidth - marginX - hintLeft;
    m_hint->setGeometry(px(hintLeft), px(hintTop), px(hintWidth), px(hintHeight));

    // Its caption just above.
    const double captionHeight = m_hintCaption->height();
    const double captionTop = hintTop - twipsY(kHintCaptionGap) - captionHeight;
    m_hintCaption->move(px(hintLeft), px(captionTop));

    // Separator across the hint's width.
    const double lineY = captionTop - marginY;
    const int lineThickness = 2;
    m_line->setGeometry(px(hintLeft), px(lineY), px(hintWidth), lineThickness);

    // Buttons right-aligned above the separator.
    // Square buttons, widened where the font needs more room for a caption
    // (at 720 twips "Schließen" would read "Sc…en").
    const double buttonWidth =
        std::max({twipsX(kButtonSize), double(m_print->sizeHint().width()), double(m_close->sizeHint().width())});
    const double buttonHeight = twipsY(kButtonSize);
    const double closeLeft = hintLeft + hintWidth - buttonWidth;
    const double buttonTop = lineY - marginY - buttonHeight;
    m_close->setGeometry(px(closeLeft), px(buttonTop), px(buttonWidth), px(buttonHeight));
    const double printLeft = closeLeft - marginX - buttonWidth;
    m_print->setGeometry(px(printLeft), px(buttonTop), px(buttonWidth), px(buttonHeight));

    // Heading centred at the top.
    const double headingTop = marginY;
    m_heading->move(px((innerWidth - m_heading->width()) / 2), px(headingTop));

    // The text fills what is left between heading and buttons.
    const double textTop = headingTop + m_heading->height() + marginY;
    m_text->setGeometry(px(hintLeft), px(textTop), px(hintWidth), std::max(0, px(buttonTop - marginY - textTop)));
}

void ZusatzInfo::Command1_Click()
{
    close();
}

void ZusatzInfo::Command2_Click()
{
    try {
        Printing::printWidgetImage(this);
    } catch (const std::exception& e) {
        ShowMessage(this, QString::fromLocal8Bit(e.what()), kApplicationTitle, QMessageBox::Ok, QMessageBox::NoButton,
                    QMessageBox::Critical);
    }
}
