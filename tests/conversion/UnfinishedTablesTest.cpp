// Tables whose conversion did not end, remembered across processes.

#include "conversion/UnfinishedTables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(UnfinishedTables, RememberedForTheNextProcessByDataSourceFileAndTable)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("state/unfinished.json"));
    const QString mdb = dir.filePath(QStringLiteral("qel.mdb"));
    QFile(mdb).open(QIODevice::WriteOnly);
    const QStringList tables{QStringLiteral("Konten"), QStringLiteral("Buchungen"), QStringLiteral("Artikel")};
    {
        UnfinishedTables first(file);
        EXPECT_TRUE(first.remember({QStringLiteral("qelsql"), mdb, QStringLiteral("konten")}).isEmpty());
        EXPECT_TRUE(first.remember({QStringLiteral("QELSQL"), mdb, QStringLiteral("Buchungen")}).isEmpty());
        EXPECT_TRUE(first.forget({QStringLiteral("QELSQL"), mdb, QStringLiteral("Buchungen")}).isEmpty());
    }
    // A new process: data source and table in any case, the file under another spelling of its path.
    UnfinishedTables next(file);
    const QString otherSpelling = dir.path() + QStringLiteral("/state/../qel.mdb");
    EXPECT_EQ(next.unfinishedOf(QStringLiteral("QELSQL"), otherSpelling, tables),
              QSet<QString>{QStringLiteral("Konten")});
    EXPECT_TRUE(next.unfinishedOf(QStringLiteral("ANDERE"), mdb, tables).isEmpty());
    EXPECT_TRUE(next.unfinishedOf(QStringLiteral("QELSQL"), dir.filePath(QStringLiteral("alt.mdb")), tables).isEmpty());

    // The user's state folder.
    qputenv("XDG_STATE_HOME", dir.path().toLocal8Bit());
    EXPECT_EQ(UnfinishedTables::DefaultStateFile(), dir.path() + QStringLiteral("/sql-tabrix/unfinished-tables.json"));
    qputenv("XDG_STATE_HOME", "relative/path");
    EXPECT_EQ(UnfinishedTables::DefaultStateFile(),
              QDir::homePath() + QStringLiteral("/.local/state/sql-tabrix/unfinished-tables.json"));
}

TEST(UnfinishedTables, AStateFileThatCannotBeUsedWarnsAndTheProcessStillRemembers)
{
    QTemporaryDir dir;
    // A file where the state folder should be.
    QFile(dir.filePath(QStringLiteral("blocked"))).open(QIODevice::WriteOnly);
    UnfinishedTables tables(dir.filePath(QStringLiteral("blocked/unfinished.json")));
    const UnfinishedTables::Key key{QStringLiteral("QELSQL"), dir.filePath(QStringLiteral("qel.mdb")),
                                    QStringLiteral("Konten")};
    EXPECT_TRUE(tables.remember(key).startsWith(QStringLiteral("Warnung: Die Zustandsdatei ")));
    EXPECT_EQ(tables.unfinishedOf(key.dataSource, key.database, {key.table}), QSet<QString>{key.table});
    tables.forget(key);
    EXPECT_TRUE(tables.unfinishedOf(key.dataSource, key.database, {key.table}).isEmpty());

    // A damaged file is read as empty, with the warning.
    const QString damaged = dir.filePath(QStringLiteral("damaged.json"));
    QFile f(damaged);
    f.open(QIODevice::WriteOnly);
    f.write("{nicht json");
    f.close();
    QString warning;
    EXPECT_TRUE(UnfinishedTables(damaged).unfinishedOf(key.dataSource, key.database, {key.table}, &warning).isEmpty());
    EXPECT_TRUE(warning.contains(QStringLiteral("kein gültiger Inhalt"))) << warning.toStdString();
}
