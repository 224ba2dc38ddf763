#pragma once

// Sharing a row copy between workstations ("PC : n von : m"): each one copies
// every m-th row, chosen by its number.

#include <QString>

// Whether this workstation copies row n (1-based) of a shared copy.
bool RowIsCopied(long n, double count, double number);

// Text of a workstation box as a number; TabrixError 13 when it is none.
double ReadWorkstationNumber(const QString& text);
