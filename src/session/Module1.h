#pragma once

#include "conversion/UnfinishedTables.h"
#include "server/ServerConnection.h"

#include <QSet>
#include <QString>

#include <memory>

// The process-wide state that every part of the program reads; owned by the
// main window, one set per process.
struct Module1 {
    bool EnvironmentsCreated = false;
    QString LastErrorText;
    std::unique_ptr<::ServerEnvironment> QueryEnvironment;
    std::unique_ptr<::ServerConnection> QueryConnection;
    std::unique_ptr<::ServerEnvironment> ServerEnvironment;
    std::unique_ptr<::ServerConnection> ServerConnection;
    QString CmdOdbcName;
    QString CmdUser;
    QString CmdPassword;
    QString MdbPath;
    QString XdbPath;
    bool AutoMode = false;
    bool RunFailed = false;
    bool NoErrorMode = false;
    // "-Einzeln": the conversion window starts with "Mehrere Zeilen je INSERT" unchecked.
    bool SingleRowInserts = false;
    // "-OhnePruefung": the conversion window starts with "Daten prüfen" unchecked.
    bool NoDataCheck = false;
    // "-Bericht:": the file (or folder) the reports are written to; empty: the reports folder.
    QString ReportTarget;
    // The report the main window offers: the last one written, or at the start the newest one kept.
    QString LastReport;
    // Tables whose last conversion did not end: the next load marks them
    // although the server has them (in this process and the ones after it).
    ::UnfinishedTables UnfinishedTables;
    // The state file's trouble has been told once.
    bool StateWarningShown = false;
};
