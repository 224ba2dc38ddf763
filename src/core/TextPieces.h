#pragma once

#include <QString>
#include <QStringList>

// A text cut into lines of `width` characters for the status lists: length
// div width + 1 pieces, so an empty text gives one empty piece and a length
// that is a multiple of `width` ends with an empty one.
QStringList CutIntoPieces(const QString& text, qsizetype width);

// A value counts as quoted when it begins and ends with a double quote and
// holds more than that one character; the quotes are removed then. (A single
// '"' both begins and ends with a quote, but there is nothing between two
// quotes to keep; such a value stays as it is.)
QString StripQuotes(const QString& text);
bool IsQuoted(const QString& text);
// Only spaces count as blanks; tabs and line breaks stay.
QString TrimBlanks(const QString& text);
// A name in a message: a NUL character in it shows as "␀".
QString ShowingNul(QString text);
