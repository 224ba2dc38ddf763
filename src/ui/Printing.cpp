#include "ui/Printing.h"

#include "ui/MessageBox.h"

#include <QFontMetrics>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>

namespace Printing {

namespace {

PrinterLookup g_lookup = nullptr;

// Tab stops every 14 character widths, like the print zones of a line printer.
constexpr int kTabStopChars = 14;

void tellUser(QWidget* parent, const QString& text)
{
    ShowMessage(parent, text, kApplicationTitle, QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::Warning);
}

}  // namespace

void setDefaultPrinterLookup(PrinterLookup lookup)
{
    g_lookup = lookup;
}

std::unique_ptr<QPrinter> openDefaultPrinter(QWidget* parent)
{
    const QString pdfFile = qEnvironmentVariable(PrintToPdfVariable);
    if (!pdfFile.isEmpty()) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfFile);
        return printer;
    }
    const QPrinterInfo info = g_lookup ? g_lookup() : QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        tellUser(parent, QStringLiteral("Es ist kein Drucker eingerichtet."));
        return nullptr;
    }
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

namespace {
// Opens the default printer and starts painting on it; tells the user when either fails.
std::unique_ptr<QPrinter> startJob(QWidget* parent, QPainter& painter)
{
    std::unique_ptr<QPrinter> printer = openDefaultPrinter(parent);
    if (!printer)
        return nullptr;
    printer->setCopyCount(1);
    if (!painter.begin(printer.get())) {
        tellUser(parent, QStringLiteral("Der Druck konnte nicht gestartet werden."));
        return nullptr;
    }
    return printer;
}
}  // namespace

bool printLines(const QStringList& lines, QWidget* parent)
{
    QPainter painter;
    const std::unique_ptr<QPrinter> printer = startJob(parent, painter);
    if (!printer)
        return false;
    QFont font = painter.font();
    font.setPointSize(10);
    painter.setFont(font);
    const QFontMetrics metrics(font, printer.get());
    const int lineHeight = metrics.lineSpacing();
    const int tabStop = kTabStopChars * metrics.horizontalAdvance(u'0');
    const int pageHeight = painter.viewport().height();

    int y = 0;
    for (const QString& line : lines) {
        if (y + lineHeight > pageHeight && y > 0) {
            printer->newPage();
            y = 0;
        }
        int x = 0;
        const QStringList parts = line.split(u'\t');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0)
                x = (x / tabStop + 1) * tabStop;
            if (!parts[i].isEmpty()) {
                painter.drawText(x, y + metrics.ascent(), parts[i]);
                x += metrics.horizontalAdvance(parts[i]);
            }
        }
        y += lineHeight;
    }
    return painter.end();
}

bool printWidgetImage(QWidget* widget)
{
    if (!widget)
        return false;
    const QPixmap image = widget->grab();
    QPainter painter;
    const std::unique_ptr<QPrinter> printer = startJob(widget, painter);
    if (!printer)
        return false;
    // Same size on paper as on the screen, unless the page is too small.
    const QRect page = painter.viewport();
    const double toPrinter = double(printer->logicalDpiX()) / double(widget->logicalDpiX());
    QSizeF size = QSizeF(widget->size()) * toPrinter;
    if (size.width() > page.width() || size.height() > page.height())
        size.scale(page.size(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRectF(QPointF(0, 0), size), image, QRectF(image.rect()));
    return painter.end();
}

}  // namespace Printing
