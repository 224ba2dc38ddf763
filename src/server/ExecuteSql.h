#pragma once

#include "core/Dialect.h"

#include <QString>

class ServerConnection;

// Doubles every backslash of the statement except inside names between grave
// accents (string literals are what the doubling is for).
void DoubleBackslashes(QString& statement);

// Whether the server reads a backslash in a string literal as an escape
// character: MySQL, and Sybase with the Linux switch.
bool DoublesBackslashes(const DialectOptions& options);

// Sends one statement directly on the connection, every operation's way to
// the server. Where the server reads backslashes as escapes they are doubled
// first. On Sybase an error whose description begins with "S1000:" is
// tolerated; every other error is raised unchanged.
void ExecuteSql(ServerConnection& connection, const DialectOptions& options, QString statement);

// The same for a statement whose backslashes are already as the server is to get them.
void ExecuteServerText(ServerConnection& connection, const DialectOptions& options, const QString& text);

// True when the data-source name belongs to one of the ERP product's modules:
// its first five characters, upper-cased, are TEVRA, MOLIX or DURNO.
bool IsModuleDataSource(const QString& dataSourceName);
