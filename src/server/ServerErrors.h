#pragma once

// Server errors the program tells apart.

#include "core/TabrixError.h"

#include <QString>

// A server error that says the connection to the server is gone: ODBC states of
// class 08 (connection exception, 08S01 "communication link failure" included).
bool IsConnectionLost(const TabrixError& error);

// The error of an operation that needs the server when no connection is open
// (never logged in, or the connection was released after it broke).
TabrixError NoConnectionError();

// The message for the user after a lost connection: what the server said,
// and that a login is due.
QString ConnectionLostMessage(const QString& serverText);
