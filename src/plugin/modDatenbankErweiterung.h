#pragma once

// Starts the ERP's database-update plug-in, a separate program installed below
// this program's folder, and hands it the server's connection data.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the launch needs from the main window, read when it is called.
struct PluginLaunchContext {
    QString programFolder;  // folder of the running executable, no trailing slash
    QString cmdUser;        // raw "-user:" value, quotes kept (not the login box)
    QString cmdPassword;    // raw "-pass:" value, quotes kept
};

// The folder of the running executable.
QString ProgramFolder();
// programFolder + "/Plugins/Datenbank_Aktualisierung/", with the trailing slash.
QString PluginFolder(const QString& programFolder);
// "Datenbank_Aktualisierung.exe" in the plug-in folder when that file exists,
// otherwise "Datenbank_Aktualisierung" (the usual name of a Linux program).
QString PluginFile(const QString& programFolder);
// programFolder + "/qel.ini", the ERP product's ini file.
QString IniFile(const QString& programFolder);

// RFC 4648 Base64 of the value's Windows-1252 bytes, always padded with "="
// (`pad` only asks for what the standard padding already gives).
QString EncodeBase64(const QString& value, bool pad);

// True for an existing normal file: not a folder, not hidden. Never raises.
bool FileExists(const QString& path);

// The value of `key` in `section` of the ini file, or an empty text. Section
// and key are compared in any letter case; a line whose key merely begins with
// `key` matches too, the first match wins. Lines before the first section line
// are never entries. The file is read as UTF-8 when it is valid UTF-8,
// otherwise as Windows-1252. A missing file gives an empty text; a file that
// exists but cannot be read raises a TabrixError.
QString ReadIniValue(const QString& iniFile, const QString& section, const QString& key);

// The plug-in's arguments after its path: the four "-sp_…=@@@<Base64>" values
// when all four are non-empty (otherwise none of them), then the extra text
// split at blanks.
QStringList PluginArguments(const QString& database, const QString& server, const QString& user,
                            const QString& password, const QString& extra);

// A failure of the launch, for the caller to show in a message box.
struct PluginLaunchMessage {
    QString text;
    QString title;  // "SQL-Tabrix" or "Fehler"
};

struct PluginLaunchResult {
    std::optional<qint64> processId;      // absent when nothing was started
    QList<PluginLaunchMessage> messages;  // in the order they arose
};

// Finds the plug-in, reads the database and server names from qel.ini, unquotes
// the command line's user and password and starts the plug-in detached, with
// its folder as working directory. Every failure comes back as a message for
// the caller to show. `windowStyle` is the window request of the caller (1:
// normal window with focus); a Linux process start has no such request, so it
// is not passed on.
PluginLaunchResult LaunchUpdatePlugin(const PluginLaunchContext& context, const QString& extra, int windowStyle);
