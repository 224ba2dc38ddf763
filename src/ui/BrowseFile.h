#pragma once

#include <QString>

class QLineEdit;
class QWidget;

// The open-file dialog of a browse button ("CommonDialog"): preset with the
// path in `box`, the chosen file written back into it. Cancelling leaves the
// path as it was; a failing dialog changes nothing.
void BrowseIntoBox(QWidget* parent, QLineEdit* box, const QString& filter);

// The save-file dialog ("CommonDialog"), preset with `suggested`: the path
// the user chose, or empty when cancelled or when the dialog failed.
QString AskSavePath(QWidget* parent, const QString& suggested, const QString& filter);
