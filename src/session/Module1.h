#pragma once

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
    std::unique_ptr<ServerResultSet> CountResult;
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
    // Tables whose last conversion did not end (the connection was lost, or the
    // window went away in the middle): the next load marks them although the
    // server has them. Kept for the life of the process.
    QSet<QString> UnfinishedTables;
    static QString UnfinishedKey(const QString& dataSource, const QString& table);
};
