#pragma once

// How Access treats object names: when it writes a name in square brackets,
// and in which order it lists names. Pure functions over texts, so tests
// call them directly.

#include <QList>
#include <QString>
#include <QStringList>

namespace jet {

// True when Access writes the name in brackets in a statement: it is empty,
// holds a character other than a letter, digit or underscore, begins with a
// digit, or is a reserved word of Jet SQL (any case).
bool needsBrackets(const QString& name);

// The name as Access writes it: "[Order Details]", "[Year]", "Orders". A name
// already in brackets stays as it is.
QString bracketed(const QString& name);

// A qualified name ("Table.Column", "Forms!Form name!Control") with each part
// written as Access writes it: "Forms![Sales by Year Dialog]!BeginningDate".
// Separators inside brackets are part of the bracketed name.
QString bracketedPath(const QString& path, const QString& separators);

// Orders names the way Access lists them: case and accents do not decide,
// blanks and punctuation come before digits and digits before letters, "ß"
// counts as "ss", hyphens and apostrophes count only where the names are
// otherwise equal. Names equal under these rules are ordered by case
// (lower case first), then by their characters.
int compareNames(const QString& a, const QString& b);

// The positions of `names` in the order of compareNames (a stable sort).
QList<int> nameOrder(const QStringList& names);

}  // namespace jet
