// Fuzz target of the Access engine: any bytes as a database file. It opens
// them and reads all that a conversion reads: every table definition with its
// fields and indexes, the relations, every query's text and every row of every
// table, each cell both ways (Value and ReadCell). Beyond crashes, hangs and
// sanitizer reports it checks what the copy relies on: the row walk gives as
// many rows as MoveLast counts, and the rows it passes over are numbered in
// order among the rows it gives.
//
// Seeds: the sample databases. Besides libFuzzer's own changes the mutator
// makes the damages real files show: a page of zeros, a file cut at a page
// boundary, one flipped bit (the wide search of damaged files lives here).

#include "access/AccessDatabase.h"
#include "core/TabrixError.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <unistd.h>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

[[noreturn]] void broken(const char* what, const QString& table)
{
    std::fprintf(stderr, "access fuzz target: %s (table %s)\n", what, table.toUtf8().constData());
    std::abort();
}

// Every row of the table, counted and checked against MoveLast's count.
void readRows(const dao::Database& db, const QString& table)
{
    std::unique_ptr<dao::Recordset> rs = db.OpenRecordset(table);
    rs->MoveLast();
    const long counted = rs->RecordCount();
    if (!rs->TakeSkippedRows().isEmpty())
        broken("MoveLast reported rows passed over", table);
    rs->MoveFirst();
    long rows = 0;
    long lastNumber = 0;
    dao::CellValue cell;
    for (;;) {
        for (const dao::SkippedRow& skipped : rs->TakeSkippedRows()) {
            // A passed-over row lies after every row given before it.
            if (skipped.number <= lastNumber || skipped.number <= rows || skipped.text.isEmpty())
                broken("passed-over rows out of order", table);
            lastNumber = skipped.number;
        }
        if (rs->Eof())
            break;
        ++rows;
        for (int i = 0; i < rs->Fields().size(); ++i) {
            try {
                rs->Value(i);
                rs->ReadCell(i, cell);
            } catch (const TabrixError&) {
                // a damaged value: the copy reports it and goes on
            }
        }
        rs->MoveNext();
    }
    if (rows != counted)
        broken("the row walk and MoveLast disagree", table);
}

QString temporaryFile()
{
    return QDir::temp().filePath(QStringLiteral("tabrix-fuzz-%1.mdb").arg(getpid()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString path = temporaryFile();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();

    std::unique_ptr<dao::Database> db;
    try {
        db = dao::Database::OpenDatabase(path);
    } catch (const TabrixError&) {
        return 0;  // refused with a message, as the load shows it
    }
    for (const dao::TableDef& def : db->TableDefs()) {
        try {
            db->GetTableDef(def.Name);
            readRows(*db, def.Name);
        } catch (const TabrixError&) {
            // a table that cannot be read: the conversion reports it
        }
    }
    // Never raises: a query that cannot be given says why.
    static_cast<void>(db->QueryDefs());
    return 0;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed)
{
    std::minstd_rand random(seed);
    // Byte 0x14 of the header page holds the engine version: 0 is Jet 3, with pages of 2 KiB.
    const size_t page = size > 0x14 && data[0x14] == 0 ? 2048 : 4096;
    const size_t pages = size / page;
    if (pages < 2)
        return LLVMFuzzerMutate(data, size, maxSize);
    switch (random() % 6) {
    case 0:
        std::memset(data + page * (1 + random() % (pages - 1)), 0, page);
        return size;
    case 1:
        return page * (1 + random() % (pages - 1));
    case 2:
        data[page + random() % (size - page)] ^= uint8_t(1u << (random() % 8));
        return size;
    default:
        return LLVMFuzzerMutate(data, size, maxSize);
    }
}
