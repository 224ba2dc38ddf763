// What gathering the check's figures costs the row copy: reads every cell of
// a table as the copy does (ReadCell), once alone and once feeding each row
// into the check (DataCheck::addRow, addCell), the two alternating, and
// prints the time per row of each and the difference as a share of one row's
// copy at a given copy rate (by default the 133,156 rows/s of the copy with
// many rows per INSERT in docs/performance.md). No server is needed.
//
//   data_check_bench [file.mdb [table [rounds [copy rows/s]]]]
//
// Defaults: ../shared/fixtures/bench.mdb, table Buchungen, 5 rounds.

#include "access/AccessDatabase.h"
#include "conversion/DataCheck.h"
#include "core/TabrixError.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {

// Nanoseconds per row for one pass over the table, with or without the check.
double pass(const dao::Database& db, const QString& table, bool check, qint64* figures)
{
    const std::unique_ptr<dao::Recordset> rs = db.OpenRecordset(table);
    const QList<dao::Field> fields = rs->Fields();
    DataCheck data(table, fields, Dialect::MySQL);
    QList<dao::CellValue> cells(fields.size());
    qint64 rows = 0;
    QElapsedTimer timer;
    timer.start();
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        ++rows;
        if (check)
            data.addRow();
        for (int i = 0; i < fields.size(); ++i) {
            rs->ReadCell(i, cells[i]);
            if (check)
                data.addCell(i, cells[i]);
        }
    }
    const qint64 ns = timer.nsecsElapsed();
    if (check)
        *figures = data.figureCount();
    return rows > 0 ? double(ns) / double(rows) : 0.0;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString path = args.value(1, QStringLiteral(TABRIX_SOURCE_DIR "/../shared/fixtures/bench.mdb"));
    const QString table = args.value(2, QStringLiteral("Buchungen"));
    const int rounds = std::max(1, args.value(3, QStringLiteral("5")).toInt());
    const double copyRate = args.value(4, QStringLiteral("133156")).toDouble();
    try {
        const auto db = dao::Database::OpenDatabase(path);
        QList<double> alone, checked;
        qint64 figures = 0;
        for (int r = 0; r < rounds; ++r) {
            alone.append(pass(*db, table, false, &figures));
            checked.append(pass(*db, table, true, &figures));
            std::printf("round %d: read %.0f ns/row, read and gathered %.0f ns/row\n", r + 1, alone.last(),
                        checked.last());
        }
        const double cost = median(checked) - median(alone);
        const double copyNs = copyRate > 0 ? 1e9 / copyRate : 0.0;
        std::printf("%s, table %s (%lld figures): medians %.0f / %.0f ns per row; the check adds %.0f ns per row, "
                    "%.1f %% of a row's copy at %.0f rows/s\n",
                    qPrintable(path), qPrintable(table), static_cast<long long>(figures), median(alone),
                    median(checked), cost, copyNs > 0 ? 100.0 * cost / copyNs : 0.0, copyRate);
    } catch (const TabrixError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
