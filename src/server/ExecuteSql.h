#pragma once

#include "core/Dialect.h"

#include <QString>

class ServerConnection;

// Sends one statement directly on the connection. On MySQL, and on Sybase with
// the Linux switch, every backslash is doubled first and the doubled text is
// written back into `statement`. On Sybase an error whose description begins
// with "S1000:" is tolerated; every other error is raised unchanged.
// Doubles every backslash of the statement except inside names between grave
// accents (string literals are what the doubling is for).
void DoubleBackslashes(QString& statement);

void ExecuteSql(ServerConnection& connection, Dialect dialect, bool linuxSwitch, QString& statement);

// True when the data-source name belongs to one of the ERP product's modules:
// its first five characters, upper-cased, are TEVRA, MOLIX or DURNO.
bool IsModuleDataSource(const QString& dataSourceName);
