#pragma once

// A stand-in for the database-update plug-in: a shell script installed in a
// program folder that writes its path, its working directory and each of its
// arguments in brackets to a file.

#include <QString>
#include <QStringList>

// Installs the script under `name` in the plug-in folder below `programFolder`
// and returns its path; `runFile` is where it writes.
QString InstallTestPlugin(const QString& programFolder, const QString& runFile,
                          const QString& name = QStringLiteral("Datenbank_Aktualisierung"), bool executable = true);

// The plug-in's record once it has run: path, working directory, then its
// arguments; empty when it did not run within the time.
QStringList WaitForPluginRun(const QString& runFile, int milliseconds = 10000);
