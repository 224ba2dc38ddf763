#pragma once

// Drives the program as a user would: the main window logged in to the test
// server and its conversion window open.

#include "windows/Konvertierung.h"
#include "shell/MDIForm_Main.h"

#include <QStringList>

#include <memory>

class RecordingConnection;

// Logged in as far as the program can tell, on recording connections (for the
// dialects without a server here): the statements go to `server`, the row
// counts of the load to `counts`, which finds no table unless told otherwise.
// The conversion window is open.
struct RecordedLogin {
    RecordingConnection* server = nullptr;
    RecordingConnection* counts = nullptr;
    Konvertierung* konv = nullptr;
};
RecordedLogin LogInOnRecordingConnections(MDIForm_Main& main, bool tablesOnServer = false);

struct LoggedIn {
    std::unique_ptr<MDIForm_Main> main;
    Konvertierung* konv = nullptr;

    // MySQL dialect unless told otherwise (MS SQL then, the start-up choice).
    explicit LoggedIn(bool mysql = true);

    // Opens the database in the conversion window with "Anmelden"; returns the messages shown.
    QStringList load(const QString& path);
    // Runs "Markierte Tabellen konvertieren"; returns the messages shown.
    QStringList convertMarked();
    // Marks exactly these tables (through the marking switch, as a user would).
    void markOnly(const QStringList& tables);

    QStringList entries() const;
    QStringList marked() const;
    QStringList information() const;
    // The entry of a table, found by its name.
    QString entryOf(const QString& table) const;
};
