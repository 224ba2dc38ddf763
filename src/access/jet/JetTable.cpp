#include "access/jet/JetTable.h"

#include "access/DaoTypes.h"
#include "access/jet/JetValues.h"
#include "core/TabrixError.h"

#include <QSet>

#include <algorithm>
#include <cstring>
#include <utility>

namespace jet {

namespace {

const QString kSource = QStringLiteral("DAO.Database");
const QString kRecordsetSource = QStringLiteral("DAO.Recordset");

constexpr int kOffsetMask = 0x1FFF;
constexpr quint16 kDeletedRow = 0x8000;   // deleted, or the moved body of an overflow row
constexpr quint16 kOverflowRow = 0x4000;  // holds a pointer to the row's body elsewhere
constexpr int kMaxOverflowHops = 8;

// The first word of a Memo or OLE value's header: its length and where it lies.
constexpr quint32 kLongValueLength = 0x3FFFFFFF;
constexpr quint32 kLongValueInline = 0x80000000;   // right after the header, in the row
constexpr quint32 kLongValueOnePage = 0x40000000;  // one row on another page
constexpr quint32 kLongValueChain = 0;             // pieces on other pages, each naming the next

// A row that is there but cannot be read: the scanner passes over it.
struct RowDamage {
    QString text;
};

// Bounds-checked reading over the bytes of a table definition.
class DefinitionReader {
public:
    DefinitionReader(const QByteArray& bytes, const QString& path, const QString& table)
        : m_bytes(bytes)
        , m_path(path)
        , m_table(table)
    {
    }

    void seek(qsizetype pos) { m_pos = pos; }
    qsizetype pos() const { return m_pos; }

    const uchar* take(qsizetype n)
    {
        if (n < 0 || m_pos + n > m_bytes.size())
            throw TabrixError(
                errDamaged,
                damagedText(m_path, QStringLiteral("Die Definition der Tabelle '%1' ist unvollständig.").arg(m_table)),
                kSource);
        const uchar* p = reinterpret_cast<const uchar*>(m_bytes.constData()) + m_pos;
        m_pos += n;
        return p;
    }
    quint8 u8() { return *take(1); }
    quint16 u16() { return le16(take(2)); }
    quint32 u32() { return le32(take(4)); }
    void skip(qsizetype n) { take(n); }

private:
    const QByteArray& m_bytes;
    const QString& m_path;
    const QString& m_table;
    qsizetype m_pos = 0;
};

// Start and length of row `row` on a data page held in `page`; false when the
// row table of the page does not describe such a row.
bool rowOnPage(const MdbHandle* mdb, const uchar* page, int row, int* start, int* length)
{
    const int rco = mdb->fmt->row_count_offset;
    const int pageSize = int(mdb->fmt->pg_size);
    const int rows = le16(page + rco);
    if (row < 0 || row >= rows || rco + 2 + 2 * row + 2 > pageSize)
        return false;
    const int begin = le16(page + rco + 2 + 2 * row) & kOffsetMask;
    const int end = row == 0 ? pageSize : (le16(page + rco + 2 * row) & kOffsetMask);
    if (begin >= pageSize || end > pageSize || begin > end)
        return false;
    *start = begin;
    *length = end - begin;
    return true;
}

int highestBit(const uchar* bits, qsizetype bytes)
{
    for (qsizetype i = bytes - 1; i >= 0; --i) {
        if (bits[i] != 0) {
            for (int b = 7; b >= 0; --b) {
                if (bits[i] & (1 << b))
                    return int(i * 8 + b);
            }
        }
    }
    return -1;
}

}  // namespace

QString damagedText(const QString& path, const QString& detail)
{
    QString text = QStringLiteral("Die Datenbank '%1' kann nicht geöffnet werden. Sie ist möglicherweise keine "
                                  "Datenbank, die diese Anwendung erkennt, oder die Datei ist beschädigt.")
                       .arg(path);
    if (!detail.isEmpty())
        text += QLatin1Char(' ') + detail;
    return text;
}

QString fileText(MdbHandle* mdb, const uchar* data, qsizetype length)
{
    if (length <= 0)
        return QString(QLatin1String(""));
    if (!isJet3(mdb))
        return decodeJet4Text(data, length);
    // Jet 3: the database's code page, converted by libmdb (iconv) to UTF-8.
    std::string buffer(size_t(length) * 3 + 1, '\0');
    const int n =
        mdb_unicode2ascii(mdb, reinterpret_cast<const char*>(data), size_t(length), buffer.data(), buffer.size());
    QString text = QString::fromUtf8(buffer.data(), n);
    return text.isNull() ? QString(QLatin1String("")) : text;
}

TableLayout readTableLayout(MdbHandle* mdb, quint32 page, quint32 pageCount, const QString& path)
{
    const int pageSize = int(mdb->fmt->pg_size);
    const QString tableText = QStringLiteral("#%1").arg(page);
    auto fail = [&](const QString& detail) { throw TabrixError(errDamaged, damagedText(path, detail), kSource); };

    // The definition: the first page whole, each continuation page from byte 8.
    QByteArray bytes;
    QSet<quint32> seen;
    for (quint32 pg = page; pg != 0;) {
        if (pg >= pageCount)
            fail(QStringLiteral("Eine Tabellendefinition liegt hinter dem Ende der Datei (Seite %1 von %2).")
                     .arg(pg)
                     .arg(pageCount));
        if (seen.contains(pg) || seen.size() > 4096)
            fail(QStringLiteral("Eine Tabellendefinition ist im Kreis verkettet (Seite %1).").arg(pg));
        seen.insert(pg);
        if (mdb_read_alt_pg(mdb, pg) != pageSize)
            fail(QStringLiteral("Die Seite %1 kann nicht gelesen werden.").arg(pg));
        const uchar* buf = mdb->alt_pg_buf;
        if (buf[0] != MDB_PAGE_TABLE)
            fail(QStringLiteral("Die Seite %1 ist keine Tabellendefinition.").arg(pg));
        if (bytes.isEmpty())
            bytes.append(reinterpret_cast<const char*>(buf), pageSize);
        else
            bytes.append(reinterpret_cast<const char*>(buf) + 8, pageSize - 8);
        pg = le32(buf + 4);
    }

    const bool jet3 = isJet3(mdb);
    const MdbFormatConstants* fmt = mdb->fmt;
    DefinitionReader in(bytes, path, tableText);
    TableLayout layout;

    in.seek(fmt->tab_num_rows_offset);
    layout.storedRowCount = in.u32();
    in.seek(fmt->tab_num_cols_offset);
    const int numCols = in.u16();
    in.seek(fmt->tab_num_idxs_offset);
    const quint32 numIndexes = in.u32();
    in.seek(fmt->tab_num_ridxs_offset);
    const quint32 numIndexData = in.u32();
    if (numCols > 4096 || numIndexes > 4096 || numIndexData > 4096)
        fail(QStringLiteral("Die Tabellendefinition auf Seite %1 hat unmögliche Anzahlen.").arg(page));
    // Pages the definition points to must exist (libmdb reads a page just past
    // the end of the file as zeros, which would make the table look empty).
    auto mustExist = [&](quint32 pg) {
        if (pg >= pageCount)
            fail(QStringLiteral("Die Datei ist abgeschnitten: Die auf Seite %1 definierte Tabelle benutzt Seite %2, "
                                "aber die Datei hat nur %3 Seiten.")
                     .arg(page)
                     .arg(pg)
                     .arg(pageCount));
    };
    in.seek(fmt->tab_usage_map_offset);
    mustExist(in.u32() >> 8);
    in.seek(fmt->tab_free_map_offset);
    mustExist(in.u32() >> 8);

    // Columns: fixed-size entries, then the names in the same order.
    in.seek(fmt->tab_cols_start_offset + qsizetype(numIndexData) * fmt->tab_ridx_entry_size);
    const int entrySize = fmt->tab_col_entry_size;
    const int numberOffset = jet3 ? 1 : 5;
    const int flagsOffset = fmt->col_flags_offset;
    const int sizeOffset = fmt->col_size_offset;
    QList<ColumnLayout> columns;
    columns.reserve(numCols);
    for (int i = 0; i < numCols; ++i) {
        const uchar* e = in.take(entrySize);
        ColumnLayout c;
        c.type = e[0];
        c.number = le16(e + numberOffset);
        c.flags = e[flagsOffset];
        c.size = le16(e + sizeOffset);
        // Bytes 11 and 12 hold precision and scale for Decimal; other types use them otherwise.
        c.calculated = !jet3 && (e[16] & 0xC0) != 0;  // Jet 4's extra flags
        if (c.type == MDB_NUMERIC) {
            c.precision = e[11];
            c.scale = e[12];
        }
        columns.append(c);
    }
    auto readName = [&]() {
        const int length = jet3 ? in.u8() : in.u16();
        const uchar* p = in.take(length);
        return fileText(mdb, p, length);
    };
    for (int i = 0; i < numCols; ++i)
        columns[i].name = readName();

    // Real indexes (the stored keys): ten key slots each, then their flags.
    layout.indexData.reserve(int(numIndexData));
    for (quint32 i = 0; i < numIndexData; ++i) {
        IndexDataLayout data;
        if (!jet3)
            in.skip(4);
        for (int k = 0; k < 10; ++k) {
            const quint16 number = in.u16();
            in.skip(1);  // sort order
            if (number != 0xFFFF)
                data.columnNumbers.append(number);
        }
        in.skip(4);           // usage map
        mustExist(in.u32());  // first index page
        if (!jet3)
            in.skip(4);
        data.flags = in.u8();
        if (!jet3)
            in.skip(5);
        layout.indexData.append(data);
    }

    // Logical indexes (what DAO lists), then their names.
    layout.indexes.reserve(int(numIndexes));
    for (quint32 i = 0; i < numIndexes; ++i) {
        IndexLayout index;
        if (!jet3)
            in.skip(4);
        index.number = int(in.u32());
        index.dataNumber = int(in.u32());
        index.relTableType = in.u8();
        in.skip(4);  // related index number
        in.skip(4);  // related table page
        in.skip(1);  // cascade updates
        in.skip(1);  // cascade deletes
        index.type = in.u8();
        if (!jet3)
            in.skip(4);
        layout.indexes.append(index);
    }
    for (quint32 i = 0; i < numIndexes; ++i)
        layout.indexes[int(i)].name = readName();

    std::stable_sort(columns.begin(), columns.end(),
                     [](const ColumnLayout& a, const ColumnLayout& b) { return a.number < b.number; });
    layout.columns = columns;
    return layout;
}

quint32 lastMappedPage(MdbHandle* mdb, const unsigned char* map, size_t mapSize, quint32 pageCount, const QString& path)
{
    if (mapSize < 1)
        return 0;
    if (map[0] == 0) {
        if (mapSize < 5)
            return 0;
        const int bit = highestBit(map + 5, qsizetype(mapSize) - 5);
        return bit < 0 ? 0 : le32(map + 1) + quint32(bit);
    }
    if (map[0] == 1) {
        const int pageSize = int(mdb->fmt->pg_size);
        const quint32 bitsPerPage = quint32(pageSize - 4) * 8;
        quint32 last = 0;
        for (size_t j = 0; 1 + 4 * j + 4 <= mapSize; ++j) {
            const quint32 mapPage = le32(map + 1 + 4 * j);
            if (mapPage == 0)
                continue;
            if (mapPage >= pageCount || mdb_read_alt_pg(mdb, mapPage) != pageSize)
                throw TabrixError(
                    errDamaged,
                    damagedText(path, QStringLiteral("Eine Seite der Seitenbelegung liegt hinter dem Ende der Datei.")),
                    kSource);
            const int bit = highestBit(mdb->alt_pg_buf + 4, pageSize - 4);
            if (bit >= 0)
                last = std::max(last, quint32(j) * bitsPerPage + quint32(bit));
        }
        return last;
    }
    return 0;  // unknown kind: the scanner walks every page instead
}

// ---------------------------------------------------------------------------

TableScanner::TableScanner(MdbHandle* mdb, MdbCatalogEntry* entry, quint32 pageCount, QString path)
    : m_mdb(mdb)
    , m_pageCount(pageCount)
    , m_path(std::move(path))
{
    m_table = mdb_read_table(entry);
    if (!m_table || !mdb_read_columns(m_table)) {
        const QString name = QString::fromUtf8(entry->object_name);
        if (m_table)
            mdb_free_tabledef(m_table);
        m_table = nullptr;
        throw TabrixError(
            errDamaged,
            damagedText(m_path, QStringLiteral("Die Definition der Tabelle '%1' kann nicht gelesen werden.").arg(name)),
            kRecordsetSource);
    }
    const int n = int(m_table->num_cols);
    m_types.resize(n);
    m_scales.resize(n);
    m_numbers.resize(n);
    m_fields.resize(std::max(n, 1));
    for (int i = 0; i < n; ++i) {
        const MdbColumn* col = static_cast<const MdbColumn*>(g_ptr_array_index(m_table->columns, i));
        m_types[i] = col->col_type;
        m_numbers[i] = col->col_num;
        // libmdb keeps the byte at column offset 12 (the scale) in col_prec.
        m_scales[i] = col->col_prec;
    }
    m_bruteForce = !m_table->usage_map || m_table->map_sz < 1 || m_table->usage_map[0] > 1;
}

TableScanner::~TableScanner()
{
    if (m_table)
        mdb_free_tabledef(m_table);
}

int TableScanner::columnIndex(const char* name) const
{
    for (int i = 0; i < columnCount(); ++i) {
        const MdbColumn* col = static_cast<const MdbColumn*>(g_ptr_array_index(m_table->columns, i));
        if (g_ascii_strcasecmp(col->name, name) == 0)
            return i;
    }
    return -1;
}

quint32 TableScanner::storedRowCount() const
{
    return m_table->num_rows;
}

void TableScanner::damaged(const QString& detail) const
{
    throw TabrixError(
        errDamaged,
        damagedText(m_path, QStringLiteral("Tabelle '%1': %2").arg(QString::fromUtf8(m_table->name), detail)),
        kRecordsetSource);
}

void TableScanner::rewind()
{
    m_rowNumber = 0;
    m_skipped.clear();
    m_altPage = 0;
    m_page = 0;
    m_rowsOnPage = 0;
    m_rowIndex = -1;
    m_hasRow = false;
    m_atEnd = false;
}

void TableScanner::ensurePageLoaded()
{
    if (m_page != 0 && m_mdb->cur_pg != m_page) {
        if (mdb_read_pg(m_mdb, m_page) != m_mdb->fmt->pg_size)
            damaged(QStringLiteral("Die Datenseite %1 kann nicht gelesen werden.").arg(m_page));
    }
}

bool TableScanner::nextPage()
{
    m_altPage = 0;  // the page map may be read through the second page buffer
    const quint32 owner = quint32(m_table->entry->table_pg);
    for (;;) {
        quint32 next;
        if (m_bruteForce) {
            next = m_page + 1;
            if (next >= m_pageCount)
                return false;
        } else {
            const gint32 found = mdb_map_find_next(m_mdb, m_table->usage_map, guint32(m_table->map_sz), m_page);
            if (found < 0)
                damaged(QStringLiteral("Ihre Seitenbelegung kann nicht gelesen werden."));
            if (found == 0 || quint32(found) <= m_page)
                return false;
            next = quint32(found);
        }
        if (next >= m_pageCount)
            damaged(QStringLiteral(
                        "Die Datenseite %1 liegt hinter dem Ende der Datei (%2 Seiten): Die Datei ist abgeschnitten.")
                        .arg(next)
                        .arg(m_pageCount));
        if (mdb_read_pg(m_mdb, next) != m_mdb->fmt->pg_size)
            damaged(QStringLiteral("Die Datenseite %1 kann nicht gelesen werden.").arg(next));
        m_page = next;
        const uchar* buf = m_mdb->pg_buf;
        if (buf[0] != MDB_PAGE_DATA || le32(buf + 4) != owner)
            continue;  // not (or no longer) one of this table's data pages
        const int rco = m_mdb->fmt->row_count_offset;
        m_rowsOnPage = std::min<int>(le16(buf + rco), (int(m_mdb->fmt->pg_size) - rco - 2) / 2);
        m_rowIndex = -1;
        return true;
    }
}

bool TableScanner::loadRow(int rowIndex, quint16 offsetWord)
{
    int start = 0;
    int length = 0;
    if (!rowOnPage(m_mdb, m_mdb->pg_buf, rowIndex, &start, &length) || length == 0)
        return false;
    if (offsetWord & kOverflowRow) {
        // The row's body was moved: follow the pointer (row number, 3-byte page).
        for (int hop = 0;; ++hop) {
            if (hop >= kMaxOverflowHops || length < 4)
                throw RowDamage{QStringLiteral("Ein verschobener Datensatz kann nicht verfolgt werden.")};
            const uchar* p = m_mdb->pg_buf + start;
            const int row = p[0];
            const quint32 page = le24(p + 1);
            if (page == 0 || page >= m_pageCount || mdb_read_pg(m_mdb, page) != m_mdb->fmt->pg_size)
                throw RowDamage{
                    QStringLiteral("Ein verschobener Datensatz verweist auf die fehlende Seite %1.").arg(page)};
            const int rco = m_mdb->fmt->row_count_offset;
            if (!rowOnPage(m_mdb, m_mdb->pg_buf, row, &start, &length) || length == 0)
                throw RowDamage{QStringLiteral("Ein verschobener Datensatz fehlt auf Seite %1.").arg(page)};
            const quint16 word = le16(m_mdb->pg_buf + rco + 2 + 2 * row);
            if (!(word & kOverflowRow) || (word & kDeletedRow))
                break;
        }
    }
    m_rowColumns = mdb_crack_row(m_table, start, size_t(length), m_fields.data());
    // Built only for a damaged row: formatting it for every row cost more than
    // reading the row.
    const auto broken = [this] { return QStringLiteral("Ein Datensatz auf Seite %1 ist beschädigt.").arg(m_page); };
    if (m_rowColumns < 0)
        throw RowDamage{broken()};
    // libmdb does not catch a damaged offset table whose offsets run backwards:
    // the field would have a negative size or lie outside the row.
    const uchar* rowBegin = m_mdb->pg_buf + start;
    const uchar* rowEnd = rowBegin + length;
    for (const MdbField& f : m_fields) {
        const auto* value = static_cast<const uchar*>(f.value);
        if (!f.is_null && value && (f.siz < 0 || value < rowBegin || value + f.siz > rowEnd))
            throw RowDamage{broken()};
    }
    return true;
}

bool TableScanner::next()
{
    m_hasRow = false;
    const int rco = m_mdb->fmt->row_count_offset;
    for (;;) {
        if (m_page == 0 || m_rowIndex + 1 >= m_rowsOnPage) {
            if (m_atEnd || !nextPage()) {
                m_atEnd = true;  // past the end: stays there until rewind
                return false;
            }
            continue;
        }
        ensurePageLoaded();
        ++m_rowIndex;
        const quint16 word = le16(m_mdb->pg_buf + rco + 2 + 2 * m_rowIndex);
        if (word & kDeletedRow)
            continue;
        try {
            if (!loadRow(m_rowIndex, word))
                continue;
            ++m_rowNumber;
            m_hasRow = true;
            return true;
        } catch (const RowDamage& damage) {
            if (!m_passOver)
                damaged(damage.text);
            m_skipped.append({++m_rowNumber, damage.text});
        }
    }
}

qint64 TableScanner::countAndMoveLast()
{
    rewind();
    qint64 count = 0;
    quint32 lastPage = 0;
    int lastRow = -1;
    long lastNumber = 0;
    while (next()) {
        ++count;
        lastPage = m_page;
        lastRow = m_rowIndex;
        lastNumber = m_rowNumber;
    }
    m_skipped.clear();  // reported by the walk that reads them
    if (count == 0)
        return 0;
    const int rco = m_mdb->fmt->row_count_offset;
    m_page = lastPage;
    if (mdb_read_pg(m_mdb, m_page) != m_mdb->fmt->pg_size)
        damaged(QStringLiteral("Die Datenseite %1 kann nicht gelesen werden.").arg(m_page));
    m_rowsOnPage = std::min<int>(le16(m_mdb->pg_buf + rco), (int(m_mdb->fmt->pg_size) - rco - 2) / 2);
    m_rowIndex = lastRow;
    m_rowNumber = lastNumber;
    m_atEnd = false;
    const quint16 word = le16(m_mdb->pg_buf + rco + 2 + 2 * lastRow);
    try {
        m_hasRow = loadRow(lastRow, word);
    } catch (const RowDamage&) {
        m_hasRow = false;  // read a moment ago: cannot happen
    }
    return count;
}

QList<dao::SkippedRow> TableScanner::takeSkippedRows()
{
    return std::exchange(m_skipped, {});
}

bool TableScanner::isNull(int i) const
{
    return m_fields[size_t(i)].is_null != 0 || m_numbers[size_t(i)] >= m_rowColumns;
}

QString TableScanner::text(const uchar* data, qsizetype length)
{
    return fileText(m_mdb, data, length);
}

QByteArray TableScanner::longValue(const uchar* field, int size)
{
    // A 12-byte header: the length in the low 30 bits of the first word and the
    // kind in its top two, the first piece (row number, 3-byte page), 4 unused
    // bytes. A value that cannot be read whole raises: a cell is never given
    // bytes of another page, nor a piece repeated.
    if (size == 0)
        return QByteArray("", 0);
    if (size < MDB_MEMO_OVERHEAD)
        damaged(QStringLiteral("Ein Memo- oder OLE-Wert im Datensatz auf Seite %1 hat nur %2 Bytes statt %3.")
                    .arg(m_page)
                    .arg(size)
                    .arg(MDB_MEMO_OVERHEAD));
    const quint32 length = le32(field) & kLongValueLength;
    const quint32 kind = le32(field) & ~kLongValueLength;
    const auto shorter = [&](quint32 at, qint64 held) {
        damaged(
            QStringLiteral("Ein Memo- oder OLE-Wert ist kürzer als angegeben: Bis Seite %1 hält er %2 von %3 Bytes.")
                .arg(at)
                .arg(held)
                .arg(length));
    };
    if (kind == kLongValueInline) {
        const int available = size - MDB_MEMO_OVERHEAD;
        if (quint32(available) < length)
            shorter(m_page, available);
        return QByteArray(reinterpret_cast<const char*>(field + MDB_MEMO_OVERHEAD), int(length));
    }
    if (kind != kLongValueOnePage && kind != kLongValueChain)
        damaged(QStringLiteral("Ein Memo- oder OLE-Wert im Datensatz auf Seite %1 hat die unbekannte Art %2.")
                    .arg(m_page)
                    .arg(kind >> 30));
    quint32 pointer = le32(field + 4);
    QByteArray out;
    out.reserve(int(std::min<quint32>(length, 64u << 20)));
    const int pageSize = int(m_mdb->fmt->pg_size);
    if (pointer == 0 && length > 0)
        damaged(QStringLiteral("Ein Memo- oder OLE-Wert verweist auf die fehlende Seite 0."));
    QSet<quint32> visited;
    quint32 page = 0;
    while (pointer != 0) {
        page = pointer >> 8;
        const int row = int(pointer & 0xFF);
        if (page == 0 || page >= m_pageCount)
            damaged(QStringLiteral("Ein Memo- oder OLE-Wert verweist auf die fehlende Seite %1.").arg(page));
        if (visited.contains(pointer))
            damaged(QStringLiteral("Ein Memo- oder OLE-Wert ist im Kreis verkettet (Seite %1).").arg(page));
        visited.insert(pointer);
        // Long values of neighbouring rows often share a page: read it once.
        if (page != m_altPage) {
            m_altPage = 0;
            if (mdb_read_alt_pg(m_mdb, page) != pageSize)
                damaged(QStringLiteral("Ein Memo- oder OLE-Wert verweist auf die fehlende Seite %1.").arg(page));
            m_altPage = page;
        }
        const uchar* buf = m_mdb->alt_pg_buf;
        // A data page that says "LVAL" where other data pages name their table.
        if (buf[0] != MDB_PAGE_DATA || std::memcmp(buf + 4, "LVAL", 4) != 0)
            damaged(QStringLiteral("Ein Memo- oder OLE-Wert verweist auf Seite %1, die keine Seite für Memo- und "
                                   "OLE-Werte ist.")
                        .arg(page));
        int start = 0;
        int rowLength = 0;
        if (!rowOnPage(m_mdb, buf, row, &start, &rowLength))
            damaged(QStringLiteral("Ein Memo- oder OLE-Wert fehlt auf Seite %1.").arg(page));
        if (kind == kLongValueOnePage) {
            if (quint32(rowLength) < length)
                shorter(page, rowLength);
            return QByteArray(reinterpret_cast<const char*>(buf + start), int(length));
        }
        if (rowLength < 4)
            damaged(QStringLiteral("Ein Memo- oder OLE-Wert ist auf Seite %1 beschädigt.").arg(page));
        const quint32 piece = quint32(rowLength - 4);
        if (out.size() + qint64(piece) > qint64(length)) {
            damaged(QStringLiteral("Ein Memo- oder OLE-Wert ist länger als angegeben: Bis Seite %1 hält er mehr als "
                                   "%2 Bytes.")
                        .arg(page)
                        .arg(length));
        }
        out.append(reinterpret_cast<const char*>(buf + start + 4), int(piece));
        pointer = le32(buf + start);
    }
    if (quint32(out.size()) != length)
        shorter(page, out.size());
    return out;
}

QVariant TableScanner::value(int i)
{
    const MdbField& f = m_fields[size_t(i)];
    const int type = m_types[size_t(i)];
    // A column added after the row was written is not in the row (nor in its null mask).
    const bool absent = m_numbers[size_t(i)] >= m_rowColumns;
    const bool calculated = i < m_calculated.size() && m_calculated[i] != 0;
    if (type == MDB_BOOL && !calculated)
        return QVariant(!absent && f.is_null == 0);  // a Boolean is stored in the null mask
    if (f.is_null || absent)
        return QVariant();
    const uchar* p = static_cast<const uchar*>(f.value);
    if (calculated)
        return calculatedValue(i, p, f.siz);
    return decoded(i, type, p, f.siz);
}

QVariant TableScanner::calculatedValue(int i, const uchar* p, int n)
{
    // 16 bytes, the length of the value, the value (and 3 bytes more); a Memo
    // result is a long value (whatever type the column has) wrapped so.
    const QByteArray stored = m_calculated[i] == MDB_MEMO
        ? longValue(p, n)
        : QByteArray::fromRawData(reinterpret_cast<const char*>(p), p ? n : 0);
    const qint64 length = stored.size() >= 20 ? le32(reinterpret_cast<const uchar*>(stored.constData()) + 16) : -1;
    if (length < 0 || length > stored.size() - 20)
        damaged(QStringLiteral("Ein berechneter Wert auf Seite %1 ist beschädigt.").arg(m_page));
    const uchar* value = reinterpret_cast<const uchar*>(stored.constData()) + 20;
    const int type = m_calculated[i];
    if (type == MDB_BOOL)
        return QVariant(length > 0 && value[0] != 0);
    if (type == MDB_TEXT || type == MDB_MEMO)
        return QVariant(text(value, length));
    if (length == 0)
        return QVariant();  // Access writes a null result so
    if (type != MDB_NUMERIC)
        return decoded(i, type, value, int(length));
    // A Decimal result: 2 bytes of length, the scale, the sign, then up to 16
    // bytes of magnitude as one 4-byte and some 8-byte little-endian groups,
    // the most significant first. Into the 17 bytes of a stored Decimal: the
    // sign, then four 32-bit little-endian words, the most significant first.
    if (length < 8)
        damaged(QStringLiteral("Ein berechneter Wert auf Seite %1 ist beschädigt.").arg(m_page));
    const int bytes = std::min<int>((int(length) - 4) / 4 * 4, 16);
    uchar big[16] = {};  // the magnitude, big-endian
    for (int at = 0, group = bytes % 8 ? 4 : 8; at < bytes; at += group, group = 8) {
        for (int k = 0; k < group; ++k)
            big[16 - bytes + at + k] = value[4 + at + group - 1 - k];
    }
    uchar decimal[17] = {value[3] ? uchar(0x80) : uchar(0)};
    for (int word = 0; word < 4; ++word) {
        for (int k = 0; k < 4; ++k)
            decimal[1 + 4 * word + k] = big[4 * word + 3 - k];
    }
    return QVariant(decimalText(decimal, value[2]));
}

QVariant TableScanner::decoded(int i, int type, const uchar* p, int n)
{
    auto need = [&](int bytes) {
        if (n < bytes || !p)
            damaged(QStringLiteral("Ein Wert hat %1 Bytes, wo %2 nötig sind.").arg(n).arg(bytes));
    };
    switch (type) {
    case MDB_BYTE:
        need(1);
        return QVariant(int(p[0]));
    case MDB_INT:
        need(2);
        return QVariant(int(qint16(le16(p))));
    case MDB_LONGINT:
        need(4);
        return QVariant(int(qint32(le32(p))));
    case MDB_MONEY:
        need(8);
        return QVariant::fromValue(dao::Currency{qint64(le64(p))});
    case MDB_FLOAT:
        need(4);
        return QVariant(singleAt(p));
    case MDB_DOUBLE:
        need(8);
        return QVariant(doubleAt(p));
    case MDB_DATETIME: {
        need(8);
        const double stored = doubleAt(p);
        const QDateTime when = dateFromJet(stored);
        if (!when.isValid())
            return QVariant(QString::number(stored, 'g', 17));
        return QVariant(when);
    }
    case MDB_TEXT:
        return QVariant(text(p, n));
    case MDB_MEMO: {
        const QByteArray bytes = longValue(p, n);
        return QVariant(text(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size()));
    }
    case MDB_BINARY:
        return QVariant(p ? QByteArray(reinterpret_cast<const char*>(p), n) : QByteArray("", 0));
    case MDB_OLE:
        return QVariant(longValue(p, n));
    case MDB_REPID:
        need(16);
        return QVariant(guidText(p));
    case MDB_NUMERIC:
        need(17);
        return QVariant(decimalText(p, m_scales[size_t(i)]));
    case MDB_COMPLEX:
        // The key of the values in the hidden table; a cell of a type the
        // engine does not decode never makes its row unreadable.
        if (p && n >= 4)
            return QVariant(QString::number(qint32(le32(p))));
        [[fallthrough]];
    default:
        // No decoding known: the stored bytes in hexadecimal.
        return QVariant(QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(p), n).toHex()));
    }
}

void TableScanner::readCell(int i, dao::CellValue& cell)
{
    const MdbField& f = m_fields[size_t(i)];
    const int type = m_types[size_t(i)];
    const bool absent = m_numbers[size_t(i)] >= m_rowColumns;
    if (i < m_calculated.size() && m_calculated[i] != 0)
        return cell.assign(value(i));
    if (type == MDB_BOOL) {
        cell.kind = dao::CellValue::Boolean;
        cell.whole = !absent && f.is_null == 0 ? 1 : 0;
        return;
    }
    if (f.is_null || absent) {
        cell.kind = dao::CellValue::Null;
        return;
    }
    // The common kinds straight from the stored bytes; the others as value() gives them.
    const uchar* p = static_cast<const uchar*>(f.value);
    const int n = f.siz;
    const auto fits = [&](int bytes) { return p && n >= bytes; };
    switch (type) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT: {
        const int bytes = type == MDB_BYTE ? 1 : type == MDB_INT ? 2 : 4;
        if (!fits(bytes))
            break;
        cell.kind = dao::CellValue::Whole;
        cell.whole = type == MDB_BYTE ? qint64(p[0])
            : type == MDB_INT         ? qint64(qint16(le16(p)))
                                      : qint64(qint32(le32(p)));
        return;
    }
    case MDB_MONEY:
        if (!fits(8))
            break;
        cell.kind = dao::CellValue::Money;
        cell.whole = qint64(le64(p));
        return;
    case MDB_FLOAT:
        if (!fits(4))
            break;
        cell.kind = dao::CellValue::Single;
        cell.real = singleAt(p);
        return;
    case MDB_DOUBLE:
        if (!fits(8))
            break;
        cell.kind = dao::CellValue::Double;
        cell.real = doubleAt(p);
        return;
    case MDB_DATETIME: {
        if (!fits(8) || !dateFromJet(doubleAt(p), cell.date))
            break;
        cell.kind = dao::CellValue::DateTime;
        return;
    }
    case MDB_TEXT:
        if (isJet3(m_mdb))
            break;
        cell.kind = dao::CellValue::Text;
        decodeJet4TextInto(cell.text, p, n);
        return;
    default:
        break;
    }
    cell.assign(value(i));
}

}  // namespace jet
