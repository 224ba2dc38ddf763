#include "core/TextPieces.h"

QStringList CutIntoPieces(const QString& text, qsizetype width)
{
    QStringList pieces;
    const qsizetype count = text.size() / width + 1;
    pieces.reserve(count);
    for (qsizetype m = 0; m < count; ++m)
        pieces.append(text.mid(m * width, width));
    return pieces;
}
