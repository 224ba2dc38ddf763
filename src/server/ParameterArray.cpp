#include "server/ParameterArray.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

// Buffers of fixed-size values, and the first width of the others.
qsizetype fixedWidth(ParameterType type)
{
    switch (type) {
    case ParameterType::Whole:
        return sizeof(qint64);
    case ParameterType::Double:
        return sizeof(double);
    case ParameterType::Timestamp:
        return sizeof(ParameterTimestamp);
    default:
        return 0;
    }
}
constexpr qsizetype firstWidth = 32;
// A column wider than this gives its memory back when the array is emptied.
constexpr qsizetype keptWidth = 4096;

// A width for `bytes` that grows at least twofold, in whole words.
qsizetype widthFor(qsizetype current, qsizetype bytes)
{
    if (bytes <= current)
        return current;
    return (std::max(bytes, 2 * current) + 7) & ~qsizetype(7);
}

bool isHigh(char16_t c)
{
    return (c & 0xFC00) == 0xD800;
}
bool isLow(char16_t c)
{
    return (c & 0xFC00) == 0xDC00;
}

// UTF-8 bytes of a UTF-16 text; a half of a surrogate pair standing alone
// becomes U+FFFD (3 bytes), as it does in a statement's text.
qsizetype utf8Length(const QString& text)
{
    const auto* p = reinterpret_cast<const char16_t*>(text.constData());
    const auto* end = p + text.size();
    qsizetype n = 0;
    for (; p != end; ++p) {
        const char16_t c = *p;
        if (c < 0x80)
            n += 1;
        else if (c < 0x800)
            n += 2;
        else if (isHigh(c) && p + 1 != end && isLow(p[1])) {
            n += 4;
            ++p;
        } else
            n += 3;
    }
    return n;
}

void writeUtf8(char* out, const QString& text)
{
    const auto* p = reinterpret_cast<const char16_t*>(text.constData());
    const auto* end = p + text.size();
    for (; p != end; ++p) {
        char32_t c = *p;
        if (c < 0x80) {
            *out++ = char(c);
            continue;
        }
        if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
            continue;
        }
        if (isHigh(char16_t(c)) && p + 1 != end && isLow(p[1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
            *out++ = char(0xF0 | (c >> 18));
            *out++ = char(0x80 | ((c >> 12) & 0x3F));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
            continue;
        }
        if ((c & 0xF800) == 0xD800)
            c = 0xFFFD;
        *out++ = char(0xE0 | (c >> 12));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    }
}

}  // namespace

ParameterValue ParameterValue::Null(ParameterType type)
{
    ParameterValue v;
    v.type = type;
    return v;
}

ParameterValue ParameterValue::Whole(qint64 value)
{
    ParameterValue v;
    v.type = ParameterType::Whole;
    v.null = false;
    v.whole = value;
    return v;
}

ParameterValue ParameterValue::Decimal(const QString& digits)
{
    ParameterValue v;
    v.type = ParameterType::Decimal;
    v.null = false;
    v.text = digits;
    return v;
}

ParameterValue ParameterValue::Double(double value)
{
    ParameterValue v;
    v.type = ParameterType::Double;
    v.null = false;
    v.real = value;
    return v;
}

ParameterValue ParameterValue::Timestamp(const ParameterTimestamp& value)
{
    ParameterValue v;
    v.type = ParameterType::Timestamp;
    v.null = false;
    v.timestamp = value;
    return v;
}

ParameterValue ParameterValue::Text(const QString& value)
{
    ParameterValue v;
    v.type = ParameterType::Text;
    v.null = false;
    v.text = value;
    return v;
}

ParameterValue ParameterValue::Binary(const QByteArray& value)
{
    ParameterValue v;
    v.type = ParameterType::Binary;
    v.null = false;
    v.bytes = value;
    return v;
}

bool operator==(const ParameterValue& a, const ParameterValue& b)
{
    if (a.null || b.null)
        return a.null == b.null;
    if (a.type != b.type)
        return false;
    switch (a.type) {
    case ParameterType::Whole:
        return a.whole == b.whole;
    case ParameterType::Double:
        return std::memcmp(&a.real, &b.real, sizeof a.real) == 0;
    case ParameterType::Timestamp:
        return a.timestamp == b.timestamp;
    case ParameterType::Decimal:
    case ParameterType::Text:
        return a.text == b.text;
    case ParameterType::Binary:
        return a.bytes == b.bytes;
    }
    return false;
}

ParameterArray::ParameterArray(const QList<ParameterType>& columns, int maxRows, TextForm texts, qsizetype maxPayload,
                               qsizetype maxBufferBytes)
    : m_types(columns)
    , m_columns(size_t(columns.size()))
    , m_maxRows(std::max(maxRows, 1))
    , m_texts(texts)
    , m_maxPayload(maxPayload)
    , m_maxBufferBytes(maxBufferBytes)
    , m_needed(size_t(columns.size()))
{
    for (qsizetype c = 0; c < columns.size(); ++c) {
        const qsizetype fixed = fixedWidth(columns[c]);
        m_columns[size_t(c)].width = fixed ? fixed : firstWidth;
    }
}

qsizetype ParameterArray::bytesOf(ParameterType type, const ParameterValue& value) const
{
    switch (type) {
    case ParameterType::Decimal:
        return value.text.size();
    case ParameterType::Text:
        return m_texts == TextForm::Utf8 ? utf8Length(value.text) : 2 * value.text.size();
    case ParameterType::Binary:
        return value.bytes.size();
    default:
        return fixedWidth(type);
    }
}

bool ParameterArray::Append(const QList<ParameterValue>& row)
{
    if (row.size() != m_types.size())
        throw std::invalid_argument("a row of parameters needs one value per column");
    if (m_rows >= m_maxRows)
        return false;
    qsizetype payload = 0;
    qsizetype buffers = 0;
    for (qsizetype c = 0; c < row.size(); ++c) {
        const ParameterValue& v = row[c];
        const ParameterType type = m_types[c];
        if (!v.null && v.type != type)
            throw std::invalid_argument("a parameter value of another type than its column");
        const qsizetype bytes = v.null ? 0 : bytesOf(type, v);
        m_needed[size_t(c)] = bytes;
        payload += bytes + ValueOverhead;
        buffers += widthFor(m_columns[size_t(c)].width, bytes) * (m_rows + 1);
    }
    if (m_rows > 0 && ((m_maxPayload > 0 && m_payload + payload > m_maxPayload) || (buffers > m_maxBufferBytes)))
        return false;
    for (qsizetype c = 0; c < row.size(); ++c)
        write(int(c), m_types[c], row[c], m_needed[size_t(c)]);
    ++m_rows;
    m_payload += payload;
    return true;
}

void ParameterArray::write(int c, ParameterType type, const ParameterValue& v, qsizetype bytes)
{
    Column& column = m_columns[size_t(c)];
    if (bytes > column.width)
        widen(column, widthFor(column.width, bytes));
    // Every row has its place, a NULL too: the driver sees Width() bytes per row.
    const size_t end = size_t(m_rows + 1) * size_t(column.width);
    if (column.data.size() < end)
        column.data.resize(end);
    if (v.null) {
        column.lengths.push_back(NullLength);
        return;
    }
    char* out = column.data.data() + size_t(m_rows) * size_t(column.width);
    switch (type) {
    case ParameterType::Whole:
        std::memcpy(out, &v.whole, sizeof v.whole);
        break;
    case ParameterType::Double:
        std::memcpy(out, &v.real, sizeof v.real);
        break;
    case ParameterType::Timestamp:
        std::memcpy(out, &v.timestamp, sizeof v.timestamp);
        break;
    case ParameterType::Decimal:
        for (const QChar ch : v.text)
            *out++ = ch.toLatin1();
        break;
    case ParameterType::Text:
        if (m_texts == TextForm::Utf8)
            writeUtf8(out, v.text);
        else
            std::memcpy(out, v.text.constData(), size_t(bytes));
        break;
    case ParameterType::Binary:
        std::memcpy(out, v.bytes.constData(), size_t(bytes));
        break;
    }
    column.lengths.push_back(bytes);
}

void ParameterArray::widen(Column& column, qsizetype width) const
{
    // Rows move up from the last, so that none is overwritten before it moved.
    const qsizetype old = column.width;
    column.data.resize(size_t(m_rows) * size_t(width));
    for (qsizetype r = m_rows - 1; r > 0; --r) {
        const ParameterLength length = column.lengths[size_t(r)];
        if (length > 0)
            std::memmove(column.data.data() + r * width, column.data.data() + r * old, size_t(length));
    }
    column.width = width;
}

void ParameterArray::Clear()
{
    m_rows = 0;
    m_payload = 0;
    for (qsizetype c = 0; c < m_types.size(); ++c) {
        Column& column = m_columns[size_t(c)];
        column.lengths.clear();
        if (column.width > keptWidth) {
            column.width = firstWidth;
            column.data = {};
        }
    }
}

ParameterValue ParameterArray::Value(int row, int c) const
{
    const Column& column = m_columns[size_t(c)];
    const ParameterLength length = column.lengths[size_t(row)];
    ParameterValue v;
    v.type = m_types[c];
    if (length == NullLength)
        return v;
    v.null = false;
    const char* in = column.data.data() + size_t(row) * size_t(column.width);
    switch (v.type) {
    case ParameterType::Whole:
        std::memcpy(&v.whole, in, sizeof v.whole);
        break;
    case ParameterType::Double:
        std::memcpy(&v.real, in, sizeof v.real);
        break;
    case ParameterType::Timestamp:
        std::memcpy(&v.timestamp, in, sizeof v.timestamp);
        break;
    case ParameterType::Decimal:
        v.text = QString::fromLatin1(in, length);
        break;
    case ParameterType::Text:
        v.text = m_texts == TextForm::Utf8 ? QString::fromUtf8(in, length)
                                           : QString(reinterpret_cast<const QChar*>(in), length / 2);
        break;
    case ParameterType::Binary:
        v.bytes = QByteArray(in, length);
        break;
    }
    return v;
}
