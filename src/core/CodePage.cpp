#include "core/CodePage.h"

#include <QList>

namespace {

// 0x80..0x9F of Windows-1252; the rest of the code page equals Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char toWindows1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

QString FromWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
    return text;
}

QByteArray ToWindows1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    // By code point, so that a character beyond the 16-bit range becomes one "?".
    for (char32_t c : text.toUcs4())
        bytes.append(toWindows1252(c));
    return bytes;
}

void Utf8Validator::feed(const char* data, qsizetype size)
{
    for (qsizetype i = 0; i < size && m_valid; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        if (m_pending > 0) {
            if (b < m_lower || b > m_upper) {
                m_valid = false;
                break;
            }
            m_lower = 0x80;
            m_upper = 0xBF;
            --m_pending;
            continue;
        }
        if (b < 0x80)
            continue;
        m_nonAscii = true;
        if (b >= 0xC2 && b <= 0xDF) {
            m_pending = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            m_pending = 2;
            if (b == 0xE0)
                m_lower = 0xA0;  // no overlong forms
            else if (b == 0xED)
                m_upper = 0x9F;  // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            m_pending = 3;
            if (b == 0xF0)
                m_lower = 0x90;
            else if (b == 0xF4)
                m_upper = 0x8F;  // nothing above U+10FFFF
        } else {
            m_valid = false;
        }
    }
}
