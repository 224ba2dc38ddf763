#pragma once

// Damaged copies of the sample Access databases, made in a temporary folder:
// data pages found by the table that owns them, broken or zeroed on purpose,
// and random truncations, bit flips and zeroed pages.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <random>

class DamagedCopy {
public:
    // Reads the whole file; `dir` is where the copies are written.
    DamagedCopy(const QString& source, const QString& dir);

    int pageSize() const { return m_pageSize; }
    int pageCount() const { return int(m_bytes.size() / m_pageSize); }
    const QByteArray& bytes() const { return m_bytes; }

    // Data pages (type 1) by the page of the table definition that owns them.
    QMap<quint32, QList<int>> dataPagesByOwner() const;
    // Rows on a data page, from its row table.
    int rowsOnPage(int page) const;

    // Turns row `row` of the page (its place in the page's row table) into a
    // moved row whose body lies beyond the end of the file: reading that row fails.
    QByteArray withBrokenRow(int page, int row) const;
    QByteArray withZeroedPage(int page) const;
    // A Memo or OLE value whose first piece holds `content`: its 12-byte header in its row, that piece's
    // row on a page of long values (offset, length) and the pointer to it (row, 3-byte page).
    struct LongValue {
        qsizetype header, piece;
        int pieceLength;
        quint32 pointer;
    };
    LongValue longValue(const QByteArray& content) const;
    // The 32-bit little-endian word at a byte offset, and a copy with it changed.
    quint32 word(qsizetype at) const;
    QByteArray withWord(qsizetype at, quint32 word) const;
    // Every occurrence of `from` replaced by `to` (of the same length).
    QByteArray withReplaced(const QByteArray& from, const QByteArray& to) const;

    // Writes bytes as a copy named `name` in the folder; returns its path.
    QString write(const QString& name, const QByteArray& bytes) const;

    // One random damage: a truncation, a flipped bit or a zeroed page (never the first page).
    QByteArray randomVariant(std::mt19937& random, QString* what) const;

private:
    QByteArray m_bytes;
    QString m_dir;
    int m_pageSize = 4096;
    bool m_jet3 = false;
};
