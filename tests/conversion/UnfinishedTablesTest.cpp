// Tables whose conversion did not end, remembered across processes.

#include "conversion/UnfinishedTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
    enum Plant { AFile, ASymlink, AHeldLock, AFifo, Damaged };
    const struct {
        const char* place;
        Plant plant;
        const char* reason;  // of a damaged file: its content
    } cases[] = {
        {"state", AFile, "der Ordner kann nicht angelegt werden"},
        {"state/u.json", ASymlink, "sie ist ein symbolischer Verweis, dem nicht gefolgt wird"},
        {"state/u.json.lock", ASymlink, "die Sperrdatei ist ein symbolischer Verweis, dem nicht gefolgt wird"},
        {"state/u.json.lock", AHeldLock,
         "die Sperrdatei ist nach 0,1 Sekunden noch von einem anderen Programmlauf belegt"},
        {"state/u.json", AFifo, "sie ist keine gewöhnliche Datei"},
        // Set aside with one warning; the next run remembers again.
        {"state/u.json", Damaged, "[\n    \"QELSQL\\n/daten/qel.mdb\\nkonten\",\n    \"QELSQL\\n/da"},
        {"state/u.json", Damaged, ""},
        {"state/u.json", Damaged, "{nicht json"},
        {"state/u.json", Damaged, "{\"QELSQL\": 1}"},
        {"state/u.json", Damaged, "[\"QELSQL\\n/daten/qel.mdb\\nkonten\", 7]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("state/u.json"));
        const UnfinishedTables::Key key{QStringLiteral("QELSQL"), dir.filePath(QStringLiteral("qel.mdb")),
                                        QStringLiteral("Konten")};
        // Marks a symlink leads to are neither read nor written.
        const QByteArray marks = "[\"QELSQL\\n" + QFile::encodeName(key.database) + "\\nartikel\"]";
        QFile elsewhere(dir.filePath(QStringLiteral("elsewhere.json")));
        EXPECT_TRUE(elsewhere.open(QIODevice::ReadWrite) && elsewhere.write(marks) == marks.size());
        QDir().mkpath(QFileInfo(dir.filePath(QString::fromUtf8(c.place))).path());
        const QByteArray place = QFile::encodeName(dir.filePath(QString::fromUtf8(c.place)));
        const int held = c.plant == ASymlink ? ::symlink("../elsewhere.json", place) - 1
            : c.plant == AFifo               ? ::mkfifo(place, 0600) - 1
                                             : ::open(place, O_CREAT | O_RDWR, 0600);
        EXPECT_TRUE(c.plant == Damaged ? ::write(held, c.reason, strlen(c.reason)) >= 0
                                       : c.plant != AHeldLock || ::flock(held, LOCK_EX) == 0);
        UnfinishedTables tables(state);
        tables.setLockWait(std::chrono::milliseconds(100));
        const QString first = tables.remember(key);
        const QStringList aside =
            QDir(dir.filePath(QStringLiteral("state"))).entryList({QStringLiteral("u.json.damaged-*")});
        const QString warning = c.plant == Damaged
            ? QString()
            : QStringLiteral("Warnung: Die Zustandsdatei '%1' ist nicht lesbar oder nicht beschreibbar (%2); nicht "
                             "beendete Konvertierungen werden nur für diesen Programmlauf vermerkt.")
                  .arg(state, QString::fromUtf8(c.reason));
        ASSERT_EQ(aside.size(), c.plant == Damaged ? 1 : 0);
        EXPECT_EQ(first,
                  aside.isEmpty()
                      ? warning
                      : QStringLiteral("Warnung: Die Zustandsdatei '%1' ist beschädigt (kein gültiger Inhalt) und "
                                       "wurde als '%2' beiseitegelegt; die darin vermerkten nicht beendeten "
                                       "Konvertierungen werden nicht mehr markiert, neue werden wieder vermerkt.")
                            .arg(state, dir.filePath(QStringLiteral("state/") + aside[0])));
        EXPECT_EQ(tables.unfinishedOf(key.dataSource, key.database, {key.table, QStringLiteral("Artikel")}),
                  QSet<QString>{key.table});
        EXPECT_EQ(UnfinishedTables(state).unfinishedOf(key.dataSource, key.database, {key.table}).size(), aside.size());
        EXPECT_EQ(tables.forget(key), warning);
        EXPECT_TRUE(tables.unfinishedOf(key.dataSource, key.database, {key.table}).isEmpty());
        EXPECT_TRUE(elsewhere.seek(0) && elsewhere.readAll() == marks);
        QFile kept(dir.filePath(QStringLiteral("state/") + aside.value(0)));
        EXPECT_TRUE(aside.isEmpty() || (kept.open(QIODevice::ReadOnly) && kept.readAll() == c.reason));
        ::close(held);
    }
}

TEST(UnfinishedTables, ConcurrentRunsLoseNoMarkAndLeaveNoneOfACompletedTable)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state")), state = folder + QStringLiteral("/u.json");
    // Under umask 000, in a folder made wide before, with a lock file a dead process left.
    const mode_t umask = ::umask(0);
    ::mkdir(QFile::encodeName(folder), 0777);
    ::close(::open(QFile::encodeName(state + QStringLiteral(".lock")), O_CREAT | O_WRONLY, 0666));
    const QString mdb = dir.filePath(QStringLiteral("qel.mdb"));
    const auto key = [&](const QString& table, int i) {
        return UnfinishedTables::Key{QStringLiteral("QELSQL"), mdb, table + QString::number(i)};
    };
    QStringList all, unfinished;
    pid_t runs[4];
    for (int r = 0; r < 4; ++r) {
        const QString own = QStringLiteral("run%1-").arg(r);
        if ((runs[r] = ::fork()) == 0) {
            // Its own tables, every other one completed; shared ones left unfinished, or completed, by every run.
            UnfinishedTables tables(state);
            bool quiet = true;
            for (int i = 0; i < 50; ++i)
                for (const QString& warning :
                     {tables.remember(key(own, i)), tables.remember(key(QStringLiteral("offen"), i % 4)),
                      tables.remember(key(QStringLiteral("fertig"), i % 4)),
                      tables.forget(key(QStringLiteral("fertig"), i % 4)),
                      i % 2 ? tables.forget(key(own, i)) : QString()})
                    quiet = quiet && warning.isEmpty();
            ::_exit(quiet ? 0 : 1);
        }
        for (int i = 0; i < 50; ++i)
            (i % 2 ? all : unfinished) << own + QString::number(i);
        all << QStringLiteral("fertig%1").arg(r), unfinished << QStringLiteral("offen%1").arg(r);
    }
    ::umask(umask);
    int status = -1;
    for (const pid_t run : runs)
        EXPECT_TRUE(::waitpid(run, &status, 0) == run && status == 0);
    // Every process read a whole file (a damaged one would have been set aside, with a warning).
    EXPECT_EQ(UnfinishedTables(state).unfinishedOf(QStringLiteral("QELSQL"), mdb, all + unfinished),
              QSet<QString>(unfinished.begin(), unfinished.end()));
    struct stat info {};
    for (const auto& [path, mode] : {std::pair{folder, 0700}, {state, 0600}, {state + QStringLiteral(".lock"), 0600}})
        EXPECT_TRUE(::stat(QFile::encodeName(path), &info) == 0 && (info.st_mode & 0777) == mode_t(mode))
            << path.toStdString();
}
