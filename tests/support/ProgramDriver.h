#pragma once

// Drives the program as a user would: the main window started, logged in on
// the MariaDB test server or on recording connections, its conversion window
// and XDB window worked through their controls and read back.

#include "shell/MDIForm_Main.h"
#include "windows/Abgleichen.h"
#include "windows/Konvertierung.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include <functional>
#include <memory>

class RecordingConnection;

// One of the main window's dialect option buttons.
using DialectButton = QRadioButton* MDIForm_Main::*;

enum class Login {
    TestServer,  // "SQL anmelden" on the MariaDB test server
    // Logged in as far as the program can tell, on recording connections (for
    // the dialects without a server here): the statements go to `server`, the
    // row counts of the load to `counts`; the conversion window's clock stands
    // at 5 March 2024, 14:07:09, so that names with the time are known.
    Recording,
};

// The texts of a list box, top to bottom.
QStringList itemTexts(const QListWidget* list);

// The rows the copy's status line counts ("Tabelle 1 von 2: 300/20000 …"); 0 for any other line.
long copiedRows(const QString& status);

struct Program {
    std::unique_ptr<MDIForm_Main> main;
    Konvertierung* konv = nullptr;
    Abgleichen* xdb = nullptr;
    RecordingConnection* server = nullptr;
    RecordingConnection* counts = nullptr;
    // The messages of the start (an unattended run's), answered with OK.
    QStringList startMessages;
    // The test server's data source logged in on; empty: QELSQL.
    QString dataSource;

    // Started with the dialect of `dialect`, logged in, the conversion window open.
    explicit Program(Login login = Login::TestServer, DialectButton dialect = &MDIForm_Main::Option_MySQL,
                     const QString& dataSource = {});
    // Started with this command line (in this program folder, `prepare` done
    // before the load, which runs an unattended run); not shown yet.
    explicit Program(const QString& commandLine, const QString& programFolder = QString(),
                     const std::function<void(MDIForm_Main&)>& prepare = {});

    // Logs in (again) and opens the conversion window; on recording connections
    // the load finds every table, with 7 rows, when `tablesOnServer`, none otherwise.
    void logIn(Login login, bool tablesOnServer = false);
    // "Access zu SQL": the conversion window, opened or brought back.
    void openConversion();
    // "XDB verarbeiten": the XDB window.
    Abgleichen* openXdb();

    // The acts; each returns the messages shown, answered with OK.
    QStringList load(const QString& path);         // "Anmelden" with this Access path
    QStringList convertMarked();                   // "Markierte Tabellen konvertieren"
    QStringList queriesToViews();                  // "Abfragen -> Sichten"
    QStringList relationsToTriggers();             // "Beziehungen -> Trigger"
    QStringList process(const QString& document);  // "XDB Verarbeiten" with this document
    // Marks exactly these tables through the marking switch, as a user would.
    void markOnly(const QStringList& tables);
    // Converts exactly this table with the batch, marked as the load marks.
    QStringList convert(const QString& table);

    QStringList entries() const;
    QStringList marked() const;
    bool isMarked(const QString& table) const;
    // The entry of a table, found by its name.
    QString entryOf(const QString& table) const;
    QStringList information() const;
    // The lines of the error log.
    QStringList log() const;
    // The conversion window's commands and workstation boxes are all enabled.
    bool commandsEnabled() const;
};
