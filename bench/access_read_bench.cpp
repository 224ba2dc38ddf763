// Reading speed of the Access engine: walks one table of an .mdb file and
// reads every value of every row, as the data transfer does (MoveLast for the
// count, MoveFirst, then Value(i) for each field of each row); then opens a
// file with saved queries again and again and reads all its queries (their
// SQL texts rebuilt from the query catalogue), timing the opening and the
// reading apart.
//
//   access_read_bench [file.mdb [table [rounds [queries.mdb [repeats]]]]]
//
// Defaults: ../shared/fixtures/bench.mdb, table Buchungen, 3 rounds;
// ../shared/fixtures/Northwind.mdb, 200 repeats. Prints rows per second for
// each round and the resident memory before and after; for the queries the
// mean time to open the file, the mean time to read all its queries, queries
// per second and the share of the opening that reading the queries costs.

#include "access/AccessDatabase.h"
#include "core/TabrixError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Each repeat opens the file anew (queries are read on first use of QueryDefs,
// once per opened database) and reads every query's text.
void benchQueries(const QString& path, int repeats)
{
    qint64 openNs = 0;
    qint64 queriesNs = 0;
    qsizetype count = 0;
    qsizetype characters = 0;
    qsizetype failed = 0;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        const auto db = dao::Database::OpenDatabase(path);
        openNs += timer.nsecsElapsed();
        timer.restart();
        const QList<dao::QueryDef>& queries = db->QueryDefs();
        queriesNs += timer.nsecsElapsed();
        count = queries.size();
        characters = 0;
        failed = 0;
        for (const dao::QueryDef& q : queries) {
            characters += q.SQL.size();
            failed += q.SQLError.isEmpty() ? 0 : 1;
        }
    }
    const double openMs = double(openNs) / repeats / 1e6;
    const double queriesMs = double(queriesNs) / repeats / 1e6;
    std::printf("queries of %s: %lld queries (%lld characters of SQL, %lld unreadable), %d repeats\n", qPrintable(path),
                static_cast<long long>(count), static_cast<long long>(characters), static_cast<long long>(failed),
                repeats);
    std::printf("  open: %.3f ms   read all queries: %.3f ms = %.0f queries/s   reading the queries costs %.1f %% of "
                "opening\n",
                openMs, queriesMs, queriesMs > 0 ? double(count) / (queriesMs / 1e3) : 0.0,
                openMs > 0 ? 100.0 * queriesMs / openMs : 0.0);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString path = args.value(1, QStringLiteral("../shared/fixtures/bench.mdb"));
    const QString table = args.value(2, QStringLiteral("Buchungen"));
    const int rounds = args.value(3, QStringLiteral("3")).toInt();
    const QString queryFile = args.value(4, QStringLiteral("../shared/fixtures/Northwind.mdb"));
    const int repeats = std::max(1, args.value(5, QStringLiteral("200")).toInt());
    try {
        QElapsedTimer openTimer;
        openTimer.start();
        const auto db = dao::Database::OpenDatabase(path);
        std::printf("open: %lld ms, RSS %ld KiB\n", static_cast<long long>(openTimer.elapsed()), residentKiB());
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            auto rs = db->OpenRecordset(table);
            rs->MoveLast();
            const long count = rs->RecordCount();
            rs->MoveFirst();
            const int fields = int(rs->Fields().size());
            long rows = 0;
            qint64 checksum = 0;
            while (!rs->Eof()) {
                for (int i = 0; i < fields; ++i) {
                    const QVariant v = rs->Value(i);
                    checksum += v.isValid() ? 1 : 0;
                }
                ++rows;
                rs->MoveNext();
            }
            rs->Close();
            const double seconds = double(timer.nsecsElapsed()) / 1e9;
            std::printf("round %d: %ld rows (count %ld, %lld non-null values) in %.3f s = %.0f rows/s, RSS %ld KiB\n",
                        round + 1, rows, count, static_cast<long long>(checksum), seconds, double(rows) / seconds,
                        residentKiB());
        }
        benchQueries(queryFile, repeats);
    } catch (const TabrixError& e) {
        std::fprintf(stderr, "error %ld: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
    return 0;
}
