#pragma once

#include <QString>
#include <QStringList>

// A text cut into lines of `width` characters for the status lists: length
// div width + 1 pieces, so an empty text gives one empty piece and a length
// that is a multiple of `width` ends with an empty one.
QStringList CutIntoPieces(const QString& text, qsizetype width);
