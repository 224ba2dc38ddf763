#include "xdb/XdbDocument.h"

#include "core/CodePage.h"
#include "core/TabrixError.h"

#include <QFileInfo>
#include <QStringDecoder>

namespace {
constexpr qint64 kChunk = 64 * 1024;

const QString kSource = QStringLiteral("SQL-Tabrix");
}  // namespace

void XdbDocument::open(const QString& path)
{
    close();
    const QFileInfo info(path);
    if (!info.exists())
        throw TabrixError(53, QStringLiteral("Datei nicht gefunden: ") + path, kSource);
    m_file.setFileName(path);
    if (info.isDir() || !m_file.open(QIODevice::ReadOnly))
        throw TabrixError(75, QStringLiteral("Pfad/Datei-Zugriffsfehler: ") + path, kSource);
    m_length = m_file.size();

    // The encoding is a property of the whole file: one pass decides it.
    Utf8Validator validator;
    while (!validator.failed()) {
        const QByteArray chunk = m_file.read(kChunk);
        if (chunk.isEmpty())
            break;
        validator.feed(chunk.constData(), chunk.size());
    }
    m_encoding = validator.valid() && validator.sawNonAscii() ? XdbEncoding::Utf8 : XdbEncoding::Windows1252;
    if (!m_file.seek(0))
        throw TabrixError(75, QStringLiteral("Pfad/Datei-Zugriffsfehler: ") + path, kSource);
    m_buffer.clear();
    m_offset = 0;
    m_position = 0;

    // A byte-order mark is no part of the first line.
    if (m_encoding == XdbEncoding::Utf8 && fill() && m_buffer.size() - m_offset >= 3
        && m_buffer.mid(m_offset, 3) == QByteArray("\xEF\xBB\xBF")) {
        m_offset += 3;
        m_position += 3;
    }
}

void XdbDocument::close()
{
    if (m_file.isOpen())
        m_file.close();
    m_buffer.clear();
    m_offset = 0;
    m_position = 0;
    m_length = 0;
}

bool XdbDocument::fill()
{
    if (m_offset < m_buffer.size())
        return true;
    if (!m_file.isOpen())
        return false;
    m_buffer = m_file.read(kChunk);
    m_offset = 0;
    // A read that fails is no end of the document.
    if (m_buffer.isEmpty() && m_file.error() != QFileDevice::NoError)
        throw TabrixError(57, QStringLiteral("Geräte-E/A-Fehler: ") + m_file.errorString(), kSource);
    return !m_buffer.isEmpty();
}

bool XdbDocument::atEnd()
{
    return !fill();
}

QString XdbDocument::decode(const QByteArray& bytes) const
{
    if (m_encoding == XdbEncoding::Windows1252)
        return FromWindows1252(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return decoder(bytes);
}

QString XdbDocument::readLine()
{
    if (!fill())
        throw TabrixError(62, QStringLiteral("Einlesen hinter Dateiende."), kSource);
    // CR and LF are single bytes in both encodings and never part of a
    // multi-byte character, so the line is cut on bytes and decoded whole.
    QByteArray line;
    while (fill()) {
        const char* begin = m_buffer.constData() + m_offset;
        const qsizetype available = m_buffer.size() - m_offset;
        qsizetype i = 0;
        while (i < available && begin[i] != '\r' && begin[i] != '\n')
            ++i;
        line.append(begin, i);
        m_offset += i;
        m_position += i;
        if (i == available)
            continue;  // the line goes on in the next chunk
        const char end = begin[i];
        ++m_offset;
        ++m_position;
        if (end == '\r' && fill() && m_buffer.at(m_offset) == '\n') {
            ++m_offset;
            ++m_position;
        }
        break;
    }
    return decode(line);
}
