// Reading speed of the Access engine: walks one table of an .mdb file and
// reads every value of every row, as the data transfer does (MoveLast for the
// count, MoveFirst, then Value(i) for each field of each row).
//
//   access_read_bench [file.mdb [table [rounds]]]
//
// Defaults: ../shared/fixtures/bench.mdb, table Buchungen, 3 rounds. Prints
// rows per second for each round and the resident memory before and after.

#include "shell/AccessDatabase.h"
#include "shell/TabrixError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

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

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString path = args.value(1, QStringLiteral("../shared/fixtures/bench.mdb"));
    const QString table = args.value(2, QStringLiteral("Buchungen"));
    const int rounds = args.value(3, QStringLiteral("3")).toInt();
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
    } catch (const TabrixError& e) {
        std::fprintf(stderr, "error %ld: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
    return 0;
}
