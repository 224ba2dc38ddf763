#pragma once

// The reading layer under AccessDatabase: a table's stored layout (columns,
// indexes) parsed from its definition pages, and a row scanner that walks the
// table's data pages through libmdb and decodes each value from its stored
// bytes. Private to the Access engine; libmdb types show here on purpose.

#include "access/DaoTypes.h"
#include "access/jet/MdbInclude.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <string>
#include <vector>

namespace jet {

struct HandleCloser {
    void operator()(MdbHandle* mdb) const noexcept { mdb_close(mdb); }
};
using Handle = std::unique_ptr<MdbHandle, HandleCloser>;

struct TableDefCloser {
    void operator()(MdbTableDef* table) const noexcept { mdb_free_tabledef(table); }
};
using TablePtr = std::unique_ptr<MdbTableDef, TableDefCloser>;

inline bool isJet3(const MdbHandle* mdb)
{
    return mdb->f->jet_version == MDB_VER_JET3;
}

// Error numbers and texts shared by the engine (the numbers DAO uses).
constexpr long errDamaged = 3049;
QString damagedText(const QString& path, const QString& detail);

// Text stored in the file's own form: UTF-16 with Access's compression in
// Jet 4, the database's code page in Jet 3.
QString fileText(MdbHandle* mdb, const uchar* data, qsizetype length);

struct ColumnLayout {
    int type = 0;
    int number = 0;  // the column number that rows and indexes refer to
    int flags = 0;
    int size = 0;       // stored size in bytes
    int precision = 0;  // Decimal only: digits in all and after the point
    int scale = 0;
    bool calculated = false;  // Access 2010's calculated column (see TableScanner::readCalculated)
    QString name;
};

struct IndexDataLayout {       // a "real" index: the stored key
    QList<int> columnNumbers;  // key order
    quint8 flags = 0;          // 0x01 unique, 0x02 ignore nulls, 0x08 required
};

struct IndexLayout {  // a logical index, the one DAO lists
    QString name;
    int number = 0;
    int dataNumber = 0;       // which real index holds its key
    quint8 relTableType = 0;  // for a foreign-key index: 1 on the primary (referenced) side
    quint8 type = 0;          // 1 primary key, 2 foreign key, 0 other
};

struct TableLayout {
    quint32 storedRowCount = 0;
    QList<ColumnLayout> columns;  // in column-number order
    QList<IndexDataLayout> indexData;
    QList<IndexLayout> indexes;  // in stored order
};

// Parses the definition pages of the table whose definition starts at `page`.
// Throws TabrixError(errDamaged) when the pages are missing or inconsistent.
TableLayout readTableLayout(MdbHandle* mdb, quint32 page, quint32 pageCount, const QString& path);

// Highest page listed in a usage map (0 for an empty map); throws when the
// map itself cannot be read.
quint32 lastMappedPage(MdbHandle* mdb, const unsigned char* map, size_t mapSize, quint32 pageCount,
                       const QString& path);

// Walks the live rows of one table, streaming page by page. The handle is used
// exclusively by the scanner while it lives (its page buffers hold the row).
class TableScanner {
public:
    TableScanner(MdbHandle* mdb, MdbCatalogEntry* entry, quint32 pageCount, QString path);
    ~TableScanner();
    TableScanner(const TableScanner&) = delete;
    TableScanner& operator=(const TableScanner&) = delete;

    int columnCount() const { return int(m_types.size()); }
    int columnIndex(const char* name) const;  // ignoring ASCII case; -1 when absent
    quint32 storedRowCount() const;

    // Rows of the table's data: a row that is there but cannot be read (a
    // damaged file) is passed over and kept among the skipped rows. Without
    // this (the system catalogues) such a row throws TabrixError(errDamaged).
    void passOverDamagedRows() { m_passOver = true; }
    // The calculated columns: for each column the type of its result (the
    // column's "ResultType" property), 0 for an ordinary column. Their values
    // are stored wrapped (20 bytes, among them the length, before the value).
    void readCalculated(const QList<int>& resultTypes) { m_calculated = resultTypes; }

    void rewind();
    // Moves to the next live row that can be read; false (and no current row) at the end.
    bool next();
    // Counts every live row of the table that can be read and moves to the
    // last one; returns the count.
    qint64 countAndMoveLast();
    // The rows passed over since the last call (or the last rewind).
    QList<dao::SkippedRow> takeSkippedRows();

    // Value of column i of the current row, decoded from the stored bytes.
    QVariant value(int i);
    // The same into a cell whose text memory is reused: numbers, dates and
    // Jet 4 texts without a QVariant.
    void readCell(int i, dao::CellValue& cell);
    bool isNull(int i) const;

private:
    bool nextPage();
    // Loads the row into the fields; false when the page's row table gives it
    // no place (no row there). Throws RowDamage when the row is there but
    // cannot be read: it never reads outside the page that holds the row.
    bool loadRow(int rowIndex, quint16 offsetWord);
    void ensurePageLoaded();
    QByteArray longValue(const uchar* field, int size);
    QString text(const uchar* data, qsizetype length);
    QVariant decoded(int i, int type, const uchar* p, int n);
    QVariant calculatedValue(int i, const uchar* p, int n);
    [[noreturn]] void damaged(const QString& detail) const;

    MdbHandle* m_mdb;
    MdbTableDef* m_table = nullptr;
    quint32 m_pageCount;
    QString m_path;
    std::vector<int> m_types;
    std::vector<int> m_scales;
    std::vector<int> m_numbers;  // column numbers, as the rows' null masks count them
    std::vector<MdbField> m_fields;
    quint32 m_page = 0;     // data page being walked, 0 before the first
    quint32 m_altPage = 0;  // page held in the handle's second buffer (long values), 0: none
    int m_rowsOnPage = 0;
    int m_rowIndex = -1;
    bool m_bruteForce = false;  // usage map of an unknown kind: walk every page
    bool m_hasRow = false;
    bool m_atEnd = false;
    int m_rowColumns = 0;  // columns present in the current row
    long m_rowNumber = 0;  // rows of the table met so far, the unreadable ones included
    QList<dao::SkippedRow> m_skipped;
    bool m_passOver = false;
    QList<int> m_calculated;
};

}  // namespace jet
