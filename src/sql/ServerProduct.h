#pragma once

#include "core/Dialect.h"

#include <QString>

// The information line after a login whose server product (the driver's
// SQL_DBMS_NAME: "MariaDB", "Microsoft SQL Server", "DB2/LINUXX8664" ...) does
// not fit the chosen dialect: it names the product and the dialect that fits.
// Empty when they fit, and for a product the program does not know (nothing
// to say then).
QString ProductMismatchLine(const QString& dbmsName, Dialect chosen);
