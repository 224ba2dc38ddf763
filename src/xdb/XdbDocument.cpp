#include "xdb/XdbDocument.h"

#include "core/CodePage.h"
#include "core/RegularFile.h"
#include "core/TabrixError.h"

#include <QStringDecoder>

namespace {
constexpr qint64 kChunk = 64 * 1024;

const QString kSource = QStringLiteral("SQL-Tabrix");

QString decodeLine(const QByteArray& bytes)
{
    Utf8Validator validator;
    validator.feed(bytes.constData(), bytes.size());
    if (!validator.valid() || !validator.sawNonAscii())
        return FromWindows1252(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return decoder(bytes);
}
}  // namespace

void XdbDocument::open(const QString& path)
{
    close();
    m_path = path;
    const RegularFileOpen opened = OpenRegularFile(path, m_file);
    if (opened == RegularFileOpen::NotFound)
        throw TabrixError(53, QStringLiteral("Datei nicht gefunden: ") + path, kSource);
    if (opened != RegularFileOpen::Opened)
        throw TabrixError(75, QStringLiteral("Pfad/Datei-Zugriffsfehler: ") + path, kSource);
    m_length = m_file.size();
    rewind();
}

void XdbDocument::rewind()
{
    if (!m_file.seek(0))
        throw TabrixError(75, QStringLiteral("Pfad/Datei-Zugriffsfehler: ") + m_path, kSource);
    m_buffer.clear();
    m_offset = 0;
    m_position = 0;
    m_lineNumber = 0;
    m_tooLong = false;
    // A byte-order mark is no part of the first line.
    if (fill() && m_buffer.size() >= 3 && m_buffer.startsWith(QByteArray("\xEF\xBB\xBF"))) {
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
    m_lineNumber = 0;
    m_tooLong = false;
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

QString XdbDocument::readLine()
{
    if (!fill())
        throw TabrixError(62, QStringLiteral("Einlesen hinter Dateiende."), kSource);
    ++m_lineNumber;
    m_tooLong = false;
    // CR and LF are single bytes in both code pages and never part of a
    // multi-byte character, so the line is cut on bytes and decoded whole.
    QByteArray line;
    while (fill()) {
        const char* begin = m_buffer.constData() + m_offset;
        const qsizetype available = m_buffer.size() - m_offset;
        qsizetype i = 0;
        while (i < available && begin[i] != '\r' && begin[i] != '\n')
            ++i;
        if (!m_tooLong && line.size() + i > MaxLineBytes) {
            m_tooLong = true;
            line = QByteArray();
        }
        if (!m_tooLong)
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
    return m_tooLong ? QString() : decodeLine(line);
}
