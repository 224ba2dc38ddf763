#pragma once

// Tables whose conversion began but did not end (a stopped or broken copy, a
// window closed or a login reset in the middle, a process that died): the
// server may hold them half-filled, so the next load marks them although the
// server has them. Kept in memory for the process and in a small state file
// in the user's state folder for the processes after it. Several processes
// may share the file (unattended runs started together): each change is made
// under a lock, the file is replaced whole, and only its owner may read or
// change it, since a planted mark makes a run convert a table again and drop
// what the server holds.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <chrono>

class UnfinishedTables {
public:
    // A table of one Access file converted on one data source.
    struct Key {
        QString dataSource;
        QString database;  // the Access file's path
        QString table;
    };

    // `stateFile` empty: the file in the user's state folder.
    explicit UnfinishedTables(QString stateFile = QString());

    // $XDG_STATE_HOME/sql-tabrix/unfinished-tables.json, else
    // ~/.local/state/sql-tabrix/unfinished-tables.json.
    static QString DefaultStateFile();
    QString stateFile() const { return m_stateFile; }
    // How long a change waits for another process's lock before it warns.
    void setLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }

    // Each returns the warning when the state file could not be read or
    // written (empty when it could); the memory of the process is kept either way.
    QString remember(const Key& key);
    QString forget(const Key& key);
    // Which of `tables` of this data source and database are unfinished; the
    // state file is read once.
    QSet<QString> unfinishedOf(const QString& dataSource, const QString& database, const QStringList& tables,
                               QString* warning = nullptr) const;

private:
    // The entry of a table: this prefix and the table's name in small letters.
    static QString prefix(const QString& dataSource, const QString& database);
    static QString normalised(const Key& key);
    // Under the lock: reads the state file into `entries`, applies the changes
    // not yet written and writes them. False (with the warning) when the file
    // could not be read or written; `entries` then holds what could be read.
    bool update(QSet<QString>& entries, QString& warning) const;

    QString m_stateFile;
    std::chrono::milliseconds m_lockWait{10000};
    QSet<QString> m_memory;
    // Remembered (true) or forgotten (false) in this process but not yet in
    // the file: written with the next change that reaches it.
    mutable QHash<QString, bool> m_pending;
};
