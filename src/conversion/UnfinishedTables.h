#pragma once

// Tables whose conversion began but did not end (a stopped or broken copy, a
// window closed or a login reset in the middle, a process that died): the
// server may hold them half-filled, so the next load marks them although the
// server has them. Kept in memory for the process and in a small state file
// in the user's state folder for the processes after it.

#include <QSet>
#include <QString>
#include <QStringList>

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
    // The entries of the state file; false (with the warning) when it cannot be read.
    bool read(QSet<QString>& entries, QString& warning) const;
    bool write(const QSet<QString>& entries, QString& warning) const;

    QString m_stateFile;
    QSet<QString> m_memory;
    QSet<QString> m_forgotten;  // forgotten in this process although the file could not be written
};
