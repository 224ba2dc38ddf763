#pragma once

// Server column types by Access type code. Two tables in the same shape: the
// types of a converted table, and those of a column an XDB document adds
// (which differ in a few places). One row per Access type, one column per
// dialect; a setting that changes a type has a column of its own.

#include "core/Dialect.h"

#include <QString>

enum class TypeTable {
    TableConversion,  // CREATE TABLE of a converted Access table
    XdbColumn,        // ALTER TABLE ... ADD of an XDB document
};

// The type text for the Access type code; empty for a code the table has no
// type for. Size, precision and scale fill the types that take them.
QString ServerTypeFor(TypeTable table, int accessType, const DialectOptions& options, int size, int precision = 0,
                      int scale = 0);
