#include "plugin/modDatenbankErweiterung.h"

#include "core/CodePage.h"
#include "core/TabrixError.h"
#include "core/TextPieces.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>

#include <exception>

namespace {

const QString kNotFound =
    QStringLiteral("Das Modul wurde nicht gefunden. Bitte wenden Sie sich an Ihren Administrator.");
const QString kStartFailed =
    QStringLiteral("Fehler beim Starten des Moduls. Bitte wenden Sie sich an Ihren Administrator.");
const QString kErrorTitle = QStringLiteral("Fehler");
const QString kIniSection = QStringLiteral("Database Source");

QString decodeIniText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return FromWindows1252(bytes);
}

}  // namespace

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString PluginFolder(const QString& programFolder)
{
    return programFolder + QStringLiteral("/Plugins/Datenbank_Aktualisierung/");
}

QString PluginFile(const QString& programFolder)
{
    const QString folder = PluginFolder(programFolder);
    const QString windowsName = folder + QStringLiteral("Datenbank_Aktualisierung.exe");
    if (FileExists(windowsName))
        return windowsName;
    return folder + QStringLiteral("Datenbank_Aktualisierung");
}

QString IniFile(const QString& programFolder)
{
    return programFolder + QStringLiteral("/qel.ini");
}

QString EncodeBase64(const QString& value, bool pad)
{
    QString encoded = QString::fromLatin1(ToWindows1252(value).toBase64(QByteArray::Base64Encoding));
    while (pad && encoded.size() % 4 != 0)
        encoded.append(u'=');
    return encoded;
}

bool FileExists(const QString& path)
{
    if (path.trimmed().isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

QString ReadIniValue(const QString& iniFile, const QString& section, const QString& key)
{
    if (!FileExists(iniFile))
        return QString();
    QFile file(iniFile);
    auto unreadable = [&] {
        return TabrixError(75,
                           QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                               .arg(QDir::toNativeSeparators(iniFile), file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly))
        throw unreadable();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw unreadable();
    const QString text = decodeIniText(bytes);

    const QString sectionLine = QLatin1Char('[') + section.toUpper() + QLatin1Char(']');
    const QString upperKey = key.toUpper();
    bool inside = false;
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\n|\\r"));
    for (const QString& line : text.split(lineBreak)) {
        const QString t = TrimBlanks(line);
        if (t.toUpper() == sectionLine)
            inside = true;
        else if (line.startsWith(u'['))
            inside = false;  // an indented line of another section does not end the wanted one
        if (inside && t.left(key.size()).toUpper() == upperKey && line.contains(u'='))
            return TrimBlanks(line.mid(line.indexOf(u'=') + 1));
    }
    return QString();
}

QStringList PluginArguments(const QString& database, const QString& server, const QString& user,
                            const QString& password, const QString& extra)
{
    QStringList arguments;
    if (!database.isEmpty() && !server.isEmpty() && !user.isEmpty() && !password.isEmpty()) {
        const QString marker = QStringLiteral("=@@@");
        arguments << QStringLiteral("-sp_datenbank") + marker + EncodeBase64(database, true)
                  << QStringLiteral("-sp_server") + marker + EncodeBase64(server, true)
                  << QStringLiteral("-sp_benutzer") + marker + EncodeBase64(user, true)
                  << QStringLiteral("-sp_passwort") + marker + EncodeBase64(password, true);
    }
    arguments << extra.split(u' ', Qt::SkipEmptyParts);
    return arguments;
}

PluginLaunchResult LaunchUpdatePlugin(const PluginLaunchContext& context, const QString& extra, int windowStyle)
{
    Q_UNUSED(windowStyle);
    PluginLaunchResult result;
    const auto tell = [&result](const QString& text, const QString& title = QStringLiteral("SQL-Tabrix")) {
        result.messages.append({text, title});
    };
    try {
        const QString file = PluginFile(context.programFolder);
        if (!FileExists(file)) {
            tell(kNotFound);
            return result;
        }

        // A broken ini file is told, then the plug-in starts without the values.
        auto iniValue = [&](const QString& key) {
            try {
                return ReadIniValue(IniFile(context.programFolder), kIniSection, key);
            } catch (const TabrixError& e) {
                tell(e.description(), kErrorTitle);
                return QString();
            }
        };
        const QString database = iniValue(QStringLiteral("SQL_Database"));
        const QString server = iniValue(QStringLiteral("SQL_Server"));
        const QStringList arguments =
            PluginArguments(database, server, StripQuotes(context.cmdUser), StripQuotes(context.cmdPassword), extra);

        // The plug-in gets its folder as working directory of its own; this
        // program's working directory is never changed, so nothing has to be
        // restored, whatever happens.
        qint64 processId = 0;
        bool started = false;
        if (QFileInfo(file).isExecutable()) {
            QProcess process;
            process.setProgram(file);
            process.setArguments(arguments);
            process.setWorkingDirectory(PluginFolder(context.programFolder));
            started = process.startDetached(&processId);
        }
        if (!started || processId == 0) {
            tell(kStartFailed);
            return result;
        }
        result.processId = processId;
    } catch (const TabrixError& e) {
        tell(e.description(), kErrorTitle);
    } catch (const std::exception& e) {
        tell(QString::fromLocal8Bit(e.what()), kErrorTitle);
    }
    return result;
}
