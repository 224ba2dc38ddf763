#pragma once

#include "core/Dialect.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the command line says, read once when the main window loads. The main
// window copies these into its shared state and its boxes.
struct CommandLineValues {
    bool autoMode = false;     // " -auto" somewhere in the line
    bool noErrorMode = false;  // "-noerror" somewhere in the line

    // Which switches were given at all (an empty value still counts).
    bool hasOdbc = false;
    bool hasUser = false;
    bool hasPass = false;
    bool hasMdb = false;
    bool hasXdb = false;

    // Raw values, quotes kept: the plug-in launcher unquotes them itself.
    QString cmdOdbcName;
    QString cmdUser;
    QString cmdPassword;

    // Texts for the data-source, user and password boxes.
    QString odbcBoxText;
    QString userBoxText;
    QString passwordBoxText;

    // Paths, unquoted and trimmed.
    QString mdbPath;
    QString xdbPath;

    // "-Dialekt:" was given: the option button to select. An empty or unknown
    // value selects MS SQL, the dialect of a start without the switch.
    std::optional<Dialect> dialect;
    bool linuxSwitch = false;       // "-Linux"
    bool singleRowInserts = false;  // "-Einzeln"
    bool noDataCheck = false;       // "-OhnePruefung"
    // "-Bericht:" (unquoted and trimmed): the report's file or folder.
    bool hasReport = false;
    QString reportPath;
};

// Reads the command-line text (everything after the program name).
CommandLineValues ParseCommandLine(const QString& commandLine);

// Linux hands the program an argv, not a command-line text: rebuilds the text
// from the arguments (program name left out), joined by single blanks. A
// "-key:value" argument whose value holds a blank and is not quoted yet gets
// its value quoted, so that a path like "/data/ERP -alt/x.mdb" survives the
// split at " -".
QString RebuildCommandLine(const QStringList& arguments);

// What the program answers before any window exists: "--help" or "-h" (the
// switches and the exit codes) and "--version". Empty when no argument asks.
QString AnswerWithoutWindow(const QStringList& arguments);

// Written to standard error by a start without any display (neither DISPLAY
// nor WAYLAND_DISPLAY set, no Qt platform chosen) and without "-auto": no
// window could open there.
QString NoDisplayMessage();
