#include "conversion/UnfinishedTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString kFileName = QStringLiteral("unfinished-tables.json");

QString warningText(const QString& file, const QString& reason)
{
    return QStringLiteral("Warnung: Die Zustandsdatei '%1' ist nicht lesbar oder nicht beschreibbar (%2); nicht "
                          "beendete Konvertierungen werden nur für diesen Programmlauf vermerkt.")
        .arg(QDir::toNativeSeparators(file), reason);
}

}  // namespace

UnfinishedTables::UnfinishedTables(QString stateFile)
    : m_stateFile(stateFile.isEmpty() ? DefaultStateFile() : std::move(stateFile))
{
}

QString UnfinishedTables::DefaultStateFile()
{
    QString folder = qEnvironmentVariable("XDG_STATE_HOME");
    // The XDG base directory rules count a relative path as not set.
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        folder = QDir::homePath() + QStringLiteral("/.local/state");
    return folder + QStringLiteral("/sql-tabrix/") + kFileName;
}

QString UnfinishedTables::prefix(const QString& dataSource, const QString& database)
{
    // The same file under another spelling of its path is the same database.
    const QFileInfo info(database);
    const QString canonical = info.canonicalFilePath();
    const QString path = canonical.isEmpty() ? info.absoluteFilePath() : canonical;
    return dataSource.toUpper() + QLatin1Char('\n') + path + QLatin1Char('\n');
}

QString UnfinishedTables::normalised(const Key& key)
{
    return prefix(key.dataSource, key.database) + key.table.toLower();
}

bool UnfinishedTables::read(QSet<QString>& entries, QString& warning) const
{
    QFile file(m_stateFile);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        warning = warningText(m_stateFile, file.errorString());
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        warning = warningText(m_stateFile, QStringLiteral("kein gültiger Inhalt"));
        return false;
    }
    for (const QJsonValue& value : document.array())
        if (value.isString())
            entries.insert(value.toString());
    return true;
}

bool UnfinishedTables::write(const QSet<QString>& entries, QString& warning) const
{
    if (!QDir().mkpath(QFileInfo(m_stateFile).absolutePath())) {
        warning = warningText(m_stateFile, QStringLiteral("der Ordner kann nicht angelegt werden"));
        return false;
    }
    QStringList sorted(entries.begin(), entries.end());
    sorted.sort();
    QSaveFile file(m_stateFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(QJsonArray::fromStringList(sorted)).toJson()) < 0
        || !file.commit()) {
        warning = warningText(m_stateFile, file.errorString());
        return false;
    }
    return true;
}

QString UnfinishedTables::remember(const Key& key)
{
    const QString entry = normalised(key);
    m_memory.insert(entry);
    m_forgotten.remove(entry);
    QSet<QString> entries;
    QString warning;
    if (read(entries, warning) && !entries.contains(entry)) {
        entries.insert(entry);
        write(entries, warning);
    }
    return warning;
}

QString UnfinishedTables::forget(const Key& key)
{
    const QString entry = normalised(key);
    m_memory.remove(entry);
    QSet<QString> entries;
    QString warning;
    if (read(entries, warning) && entries.remove(entry))
        write(entries, warning);
    if (!warning.isEmpty())
        m_forgotten.insert(entry);
    return warning;
}

QSet<QString> UnfinishedTables::unfinishedOf(const QString& dataSource, const QString& database,
                                             const QStringList& tables, QString* warning) const
{
    QSet<QString> entries;
    QString text;
    read(entries, text);
    if (warning)
        *warning = text;
    // The path is resolved once, not for every table.
    const QString ofDatabase = prefix(dataSource, database);
    QSet<QString> result;
    for (const QString& table : tables) {
        const QString entry = ofDatabase + table.toLower();
        if (m_memory.contains(entry) || (entries.contains(entry) && !m_forgotten.contains(entry)))
            result.insert(table);
    }
    return result;
}
