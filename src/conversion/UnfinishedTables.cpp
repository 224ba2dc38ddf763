#include "conversion/UnfinishedTables.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kFileName = QStringLiteral("unfinished-tables.json");

QString warningText(const QString& file, const QString& reason)
{
    return QStringLiteral("Warnung: Die Zustandsdatei '%1' ist nicht lesbar oder nicht beschreibbar (%2); nicht "
                          "beendete Konvertierungen werden nur für diesen Programmlauf vermerkt.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString damagedText(const QString& file, const QString& setAside)
{
    return QStringLiteral("Warnung: Die Zustandsdatei '%1' ist beschädigt (kein gültiger Inhalt) und wurde als '%2' "
                          "beiseitegelegt; die darin vermerkten nicht beendeten Konvertierungen werden nicht mehr "
                          "markiert, neue werden wieder vermerkt.")
        .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(setAside));
}

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Opens without following a symbolic link or waiting on a FIFO; only a
// regular file is kept, and one of ours wider than its owner's is narrowed.
bool openRegular(const QString& path, int flags, const QString& what, Descriptor& file, QString& reason)
{
    file.reset(
        ::open(QFile::encodeName(path).constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600));
    struct stat info {};
    if (file.get() < 0) {
        const int error = errno;
        // A symbolic link is never followed: it could lead the marks anywhere.
        reason = error == ELOOP ? what + QStringLiteral(" ist ein symbolischer Verweis, dem nicht gefolgt wird")
                                : qt_error_string(error);
        errno = error;
        return false;
    }
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = what + QStringLiteral(" ist keine gewöhnliche Datei");
        return false;
    }
    if ((info.st_mode & 077) != 0 && info.st_uid == ::geteuid())
        ::fchmod(file.get(), 0600);
    return true;
}

// The folder and its missing parents, for the owner only whatever the umask.
bool makePrivateFolder(const QByteArray& path)
{
    if (::mkdir(path.constData(), 0700) != 0) {
        if (errno == EEXIST)
            return true;
        const qsizetype slash = path.lastIndexOf('/');
        if (errno != ENOENT || slash <= 0 || !makePrivateFolder(path.left(slash)))
            return false;
        if (::mkdir(path.constData(), 0700) != 0)
            return errno == EEXIST;
    }
    return ::chmod(path.constData(), 0700) == 0;
}

bool privateFolder(const QString& folder, QString& reason)
{
    const QByteArray path = QFile::encodeName(folder);
    struct stat info {};
    if (!makePrivateFolder(path) || ::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        reason = QStringLiteral("der Ordner kann nicht angelegt werden");
        return false;
    }
    // A folder made wider before (by an older version, under a lax umask).
    if ((info.st_mode & 077) != 0 && info.st_uid == ::geteuid())
        ::chmod(path.constData(), info.st_mode & 0700);
    return true;
}

// The lock file is locked with flock: the kernel drops the lock of a process
// that ends however it ends, so a dead process's lock is taken over at once.
bool takeLock(const QString& path, std::chrono::milliseconds wait, Descriptor& lock, QString& reason)
{
    if (!openRegular(path, O_RDWR | O_CREAT, QStringLiteral("die Sperrdatei"), lock, reason))
        return false;
    const QDeadlineTimer deadline(wait);
    for (int pause = 1;; pause = std::min(2 * pause, 20)) {
        if (::flock(lock.get(), LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            reason = qt_error_string(errno);
            return false;
        }
        if (deadline.hasExpired()) {
            reason = QStringLiteral("die Sperrdatei ist nach %1 Sekunden noch von einem anderen Programmlauf belegt")
                         .arg(QLocale(QLocale::German).toString(double(wait.count()) / 1000));
            return false;
        }
        QThread::msleep(pause);
    }
}

enum class Content { Missing, Read, Unusable };

Content readFile(const QString& path, QByteArray& bytes, QString& reason)
{
    Descriptor file;
    if (!openRegular(path, O_RDONLY, QStringLiteral("sie"), file, reason))
        return file.get() < 0 && errno == ENOENT ? Content::Missing : Content::Unusable;
    char buffer[16384];
    for (ssize_t n; (n = ::read(file.get(), buffer, sizeof buffer)) != 0;) {
        if (n > 0) {
            bytes.append(buffer, n);
        } else if (errno != EINTR) {
            reason = qt_error_string(errno);
            return Content::Unusable;
        }
    }
    return Content::Read;
}

// An array of texts, or false.
bool parse(const QByteArray& bytes, QSet<QString>& entries)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return false;
    for (const QJsonValue& value : document.array()) {
        if (!value.isString())
            return false;
        entries.insert(value.toString());
    }
    return true;
}

// Keeps a damaged file for whoever wants to see what it held, under a name
// no file has yet.
bool setAside(const QString& path, QString& newName)
{
    const QString base =
        path + QStringLiteral(".damaged-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n < 100; ++n) {
        newName = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        struct stat info {};
        if (::lstat(QFile::encodeName(newName).constData(), &info) != 0 && errno == ENOENT)
            return ::rename(QFile::encodeName(path).constData(), QFile::encodeName(newName).constData()) == 0;
    }
    errno = EEXIST;
    return false;
}

// Written whole under a temporary name beside the file and renamed over it:
// a reader, or the next process after a crash, sees the old content or the
// new one, never a part.
bool writeFile(const QString& path, const QByteArray& bytes, QString& reason)
{
    QByteArray temporary = QFile::encodeName(path) + ".XXXXXX";
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    bool ok = file.get() >= 0 && ::fchmod(file.get(), 0600) == 0;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(file.get(), bytes.constData() + done, size_t(bytes.size() - done));
        ok = n > 0 || errno == EINTR;
        done += std::max<ssize_t>(n, 0);
    }
    if (!ok || ::fsync(file.get()) != 0 || ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        reason = qt_error_string(errno);
        if (file.get() >= 0)
            ::unlink(temporary.constData());
        return false;
    }
    // The rename lasts once the folder is on disk too.
    const Descriptor folder(
        ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    return true;
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

bool UnfinishedTables::update(QSet<QString>& entries, QString& warning) const
{
    struct stat info {};
    // Nothing to read and nothing to write: no folder is made for a mere look.
    if (m_pending.isEmpty() && ::lstat(QFile::encodeName(m_stateFile).constData(), &info) != 0 && errno == ENOENT)
        return true;
    QString reason;
    Descriptor lock;
    if (!privateFolder(QFileInfo(m_stateFile).absolutePath(), reason)
        || !takeLock(m_stateFile + QStringLiteral(".lock"), m_lockWait, lock, reason)) {
        warning = warningText(m_stateFile, reason);
        return false;
    }
    QByteArray bytes;
    switch (readFile(m_stateFile, bytes, reason)) {
    case Content::Unusable:
        warning = warningText(m_stateFile, reason);
        return false;
    case Content::Read:
        if (!parse(bytes, entries)) {
            // Set aside rather than read as empty: otherwise every later run
            // forgets its unfinished tables.
            entries.clear();
            QString newName;
            if (!setAside(m_stateFile, newName)) {
                warning = warningText(m_stateFile, QStringLiteral("kein gültiger Inhalt; ") + qt_error_string(errno));
                return false;
            }
            warning = damagedText(m_stateFile, newName);
        }
        break;
    case Content::Missing:
        break;
    }
    const QSet<QString> before = entries;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        if (it.value())
            entries.insert(it.key());
        else
            entries.remove(it.key());
    }
    QStringList sorted(entries.begin(), entries.end());
    sorted.sort();
    if (entries != before
        && !writeFile(m_stateFile, QJsonDocument(QJsonArray::fromStringList(sorted)).toJson(), reason)) {
        warning = warningText(m_stateFile, reason);
        return false;
    }
    m_pending.clear();
    return true;
}

QString UnfinishedTables::remember(const Key& key)
{
    const QString entry = normalised(key);
    m_memory.insert(entry);
    m_pending.insert(entry, true);
    QSet<QString> entries;
    QString warning;
    update(entries, warning);
    return warning;
}

QString UnfinishedTables::forget(const Key& key)
{
    const QString entry = normalised(key);
    m_memory.remove(entry);
    m_pending.insert(entry, false);
    QSet<QString> entries;
    QString warning;
    update(entries, warning);
    return warning;
}

QSet<QString> UnfinishedTables::unfinishedOf(const QString& dataSource, const QString& database,
                                             const QStringList& tables, QString* warning) const
{
    QSet<QString> entries;
    QString text;
    update(entries, text);
    if (warning)
        *warning = text;
    // The path is resolved once, not for every table.
    const QString ofDatabase = prefix(dataSource, database);
    QSet<QString> result;
    for (const QString& table : tables) {
        const QString entry = ofDatabase + table.toLower();
        if (m_memory.contains(entry) || entries.contains(entry))
            result.insert(table);
    }
    return result;
}
