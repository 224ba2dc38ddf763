#include "DamagedCopies.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <stdexcept>

namespace {
quint16 le16(const QByteArray& b, qsizetype at)
{
    return quint16(uchar(b[at]) | (uchar(b[at + 1]) << 8));
}
quint32 le32(const QByteArray& b, qsizetype at)
{
    return quint32(le16(b, at)) | (quint32(le16(b, at + 2)) << 16);
}
}  // namespace

DamagedCopy::DamagedCopy(const QString& source, const QString& dir) : m_dir(dir)
{
    QFile f(source);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + source.toStdString());
    m_bytes = f.readAll();
    // Byte 0x14 of the header page holds the engine version: 0 is Jet 3.
    m_jet3 = m_bytes.size() > 0x14 && m_bytes[0x14] == 0;
    m_pageSize = m_jet3 ? 2048 : 4096;
}

QMap<quint32, QList<int>> DamagedCopy::dataPagesByOwner() const
{
    QMap<quint32, QList<int>> pages;
    for (int p = 1; p < pageCount(); ++p) {
        const qsizetype at = qsizetype(p) * m_pageSize;
        if (m_bytes[at] == 1)
            pages[le32(m_bytes, at + 4)].append(p);
    }
    return pages;
}

int DamagedCopy::rowsOnPage(int page) const
{
    return le16(m_bytes, qsizetype(page) * m_pageSize + (m_jet3 ? 8 : 12));
}

QByteArray DamagedCopy::withBrokenRow(int page, int row) const
{
    QByteArray b = m_bytes;
    const qsizetype at = qsizetype(page) * m_pageSize;
    const qsizetype word = at + (m_jet3 ? 8 : 12) + 2 + 2 * row;
    const quint16 offset = le16(b, word);
    if (row >= rowsOnPage(page) || (offset & 0xC000))
        throw std::runtime_error("no row " + std::to_string(row) + " to break on page " + std::to_string(page));
    const qsizetype start = at + (offset & 0x1FFF);
    // A moved row: row number 0 on page 0xFFFFFF, which no file has.
    b[start] = 0;
    b[start + 1] = char(0xFF);
    b[start + 2] = char(0xFF);
    b[start + 3] = char(0xFF);
    const quint16 moved = offset | 0x4000;
    b[word] = char(moved & 0xFF);
    b[word + 1] = char(moved >> 8);
    return b;
}

DamagedCopy::LongValue DamagedCopy::longValue(const QByteArray& content) const
{
    const auto lval = [&](qsizetype page) { return m_bytes[page] == 1 && m_bytes.mid(page + 4, 4) == "LVAL"; };
    for (qsizetype at = m_bytes.indexOf(content); at >= 0; at = m_bytes.indexOf(content, at + 1)) {
        const qsizetype base = at / m_pageSize * m_pageSize;
        // The row holding it: rows lie back to front, each ending where the one before begins.
        for (int row = 0, end = m_pageSize; lval(base) && row < rowsOnPage(int(base / m_pageSize)); ++row) {
            const int start = le16(m_bytes, base + (m_jet3 ? 8 : 12) + 2 + 2 * row) & 0x1FFF;
            if (at >= base + start && at < base + end) {
                const quint32 pointer = qToLittleEndian(quint32(base / m_pageSize) << 8 | quint32(row));
                const QByteArray bytes(reinterpret_cast<const char*>(&pointer), 4);
                // The header: on a table's data page, with a length that fits the piece.
                for (qsizetype p = m_bytes.indexOf(bytes); p >= 4; p = m_bytes.indexOf(bytes, p + 1)) {
                    const quint32 kind = le32(m_bytes, p - 4) >> 30, length = le32(m_bytes, p - 4) & 0x3FFFFFFF;
                    const bool fits =
                        kind == 1 ? length == quint32(end - start) : kind == 0 && length + 4 >= quint32(end - start);
                    if (m_bytes[p / m_pageSize * m_pageSize] == 1 && !lval(p / m_pageSize * m_pageSize) && fits)
                        return LongValue{p - 4, base + start, end - start, qFromLittleEndian(pointer)};
                }
            }
            end = start;
        }
    }
    throw std::runtime_error("no long value holds the bytes " + content.toHex().toStdString());
}

quint32 DamagedCopy::word(qsizetype at) const
{
    return le32(m_bytes, at);
}

QByteArray DamagedCopy::withWord(qsizetype at, quint32 word) const
{
    const quint32 stored = qToLittleEndian(word);
    return QByteArray(m_bytes).replace(at, 4, reinterpret_cast<const char*>(&stored), 4);
}

QByteArray DamagedCopy::withZeroedPage(int page) const
{
    QByteArray b = m_bytes;
    b.replace(qsizetype(page) * m_pageSize, m_pageSize, QByteArray(m_pageSize, '\0'));
    return b;
}

QByteArray DamagedCopy::withReplaced(const QByteArray& from, const QByteArray& to) const
{
    return QByteArray(m_bytes).replace(from, to);
}

QString DamagedCopy::write(const QString& name, const QByteArray& bytes) const
{
    const QString path = QDir(m_dir).filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
    return path;
}

QByteArray DamagedCopy::randomVariant(std::mt19937& random, QString* what) const
{
    QByteArray b = m_bytes;
    const int pages = pageCount();
    switch (random() % 3) {
    case 0: {
        const qsizetype length = m_pageSize + qsizetype(random() % quint32(b.size() - m_pageSize));
        *what = QStringLiteral("truncated to %1 bytes").arg(length);
        b.truncate(length);
        break;
    }
    case 1: {
        const qsizetype at = m_pageSize + qsizetype(random() % quint32(b.size() - m_pageSize));
        const int bit = int(random() % 8);
        *what = QStringLiteral("bit %1 of byte %2 flipped").arg(bit).arg(at);
        b[at] = char(uchar(b[at]) ^ (1 << bit));
        break;
    }
    default: {
        const int page = 1 + int(random() % quint32(pages - 1));
        *what = QStringLiteral("page %1 zeroed").arg(page);
        b = withZeroedPage(page);
        break;
    }
    }
    return b;
}
