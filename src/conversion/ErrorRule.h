#pragma once

// What the conversion's error handler does with an error of one table's
// conversion: the one rule, used by the conversion window and by the tests'
// stand-in for it.

#include "core/Dialect.h"
#include "core/TabrixError.h"

#include <QString>

#include <exception>

enum class ConversionErrorVerdict {
    Tolerated,        // Oracle's "42S11", DB2's "SQL0605W": the index is there; nothing is reported
    ConnectionLost,   // every further statement would fail: the table ends at once
    Reported,         // logged, the table fails, the conversion goes on with its next statement
    ReportedAndEnds,  // logged, the table fails, its conversion ends (the table was not created)
};

// `afterCreation`: the structure phase is done or skipped.
ConversionErrorVerdict JudgeConversionError(const TabrixError& error, Dialect dialect, bool afterCreation);

// Any error that is not already ours becomes one, so that the handler can log it.
TabrixError AsTabrixError(const std::exception& error);

// The error log's line for a table whose connection broke.
QString ConnectionLostLogLine(const QString& table, const QString& serverText);

// The title of the message box of a reported error ("Check_Message").
QString ConversionStepName(bool afterCreation);
