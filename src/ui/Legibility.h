#pragma once

// Sizes that keep every text legible on a 1280 × 800 screen: the opening size
// of the child windows and lists whose long lines wrap instead of being cut.

#include <QSize>

class QListWidget;
class QMdiSubWindow;
class QWidget;

// The room for `columns` average characters by `lines` lines in the widget's font.
QSize TextRoom(const QWidget* widget, int columns, int lines);

// Gives a child window of the main window its opening size: what its widget
// asks for, widened until the whole title shows (the title bar would cut it
// with "…"); within the main window's area once that is on the screen.
void SetOpeningSize(QMdiSubWindow* window);

// Long lines of the list (a server message of 200 characters) wrap at the
// list's width instead of running out at the right; they follow the width
// when the window is resized.
void WrapLongLines(QListWidget* list);
