#pragma once

#include <QPrinterInfo>
#include <QStringList>

#include <memory>

class QPrinter;
class QWidget;

// Printing on the default printer.
//
// Print to file: when the environment variable TABRIX_PRINT_TO_PDF names a
// file, every print job goes into that file as PDF instead of to a printer
// (the file is overwritten by each job). Useful where no printer is set up,
// and how the tests look at what was printed.
namespace Printing {

// Name of the environment variable that sends print jobs into a PDF file.
inline constexpr const char* PrintToPdfVariable = "TABRIX_PRINT_TO_PDF";

// The printer of a new print job: the PDF file of TABRIX_PRINT_TO_PDF, else
// the default printer. Without either, tells the user so in a message box
// (parent: the window that printed) and returns nullptr.
std::unique_ptr<QPrinter> openDefaultPrinter(QWidget* parent);

// Prints text lines one below the other, starting at the top of the page and
// going on to further pages as needed. A tab moves on to the next fixed tab
// stop. Returns false (after a message box) when nothing could be printed.
bool printLines(const QStringList& lines, QWidget* parent);

// Prints the image of the widget's client area, at its size on the screen
// (scaled down if it does not fit on the page).
bool printWidgetImage(QWidget* widget);

// Finds the system's default printer; a null QPrinterInfo means none is set
// up. Replaceable so that a test can run as on a machine without a printer;
// nullptr restores QPrinterInfo::defaultPrinter.
using PrinterLookup = QPrinterInfo (*)();
void setDefaultPrinterLookup(PrinterLookup lookup);

}  // namespace Printing
