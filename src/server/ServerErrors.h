#pragma once

// Server errors the program tells apart.

#include "core/TabrixError.h"

#include <QString>

// A server error that says the connection to the server is gone: ODBC states of
// class 08 (connection exception, 08S01 "communication link failure" included).
bool IsConnectionLost(const TabrixError& error);

// A server error that says the server refused the statement and stored none
// of it: data (class 22), constraints (23), syntax and access (42, and ODBC
// 2's 37000), unknown tables and columns (ODBC 2's S0…), and the server's own
// refusals (S1000/HY000 with the server's text). Timeouts, cancels, a lost
// connection and anything else leave open what the server did.
bool IsDefiniteRefusal(const TabrixError& error);

// The error of an operation that needs the server when no connection is open
// (never logged in, or the connection was released after it broke).
TabrixError NoConnectionError();

// The message for the user after a lost connection: what the server said,
// and that a login is due.
QString ConnectionLostMessage(const QString& serverText);
