#include "access/jet/JetValues.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace jet {

namespace {

// Appends len bytes of UTF-16LE (an odd last byte is dropped).
void appendUtf16(QChar* out, qsizetype& n, const uchar* p, qsizetype len)
{
    const qsizetype chars = len / 2;
    for (qsizetype i = 0; i < chars; ++i)
        out[n++] = QChar(char16_t(p[2 * i] | (p[2 * i + 1] << 8)));
}

void appendCompressed(QChar* out, qsizetype& n, const uchar* p, qsizetype len)
{
    for (qsizetype i = 0; i < len; ++i)
        out[n++] = QChar(char16_t(p[i]));
}

// Text of a decimal integer held in an unsigned 128-bit magnitude, with a
// point placed `scale` digits from the right and trailing fractional zeros cut.
QString placeDecimal(unsigned __int128 magnitude, int scale, bool negative)
{
    char digits[64];
    int count = 0;
    do {
        digits[count++] = char('0' + int(magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0 && count < 60);
    // digits[] is least significant first; pad so the integer part has one digit.
    while (count <= scale && count < 60)
        digits[count++] = '0';
    int firstFractional = 0;  // least significant fractional digit kept
    while (firstFractional < scale && digits[firstFractional] == '0')
        ++firstFractional;
    QString text;
    text.reserve(count + 2);
    bool nonZero = false;
    for (int i = count - 1; i >= firstFractional; --i) {
        if (i == scale - 1)
            text += QLatin1Char('.');
        text += QLatin1Char(digits[i]);
        nonZero = nonZero || digits[i] != '0';
    }
    if (negative && nonZero)
        text.prepend(QLatin1Char('-'));
    return text;
}

}  // namespace

void decodeJet4TextInto(QString& text, const uchar* data, qsizetype length)
{
    if (length <= 0) {
        text.resize(0);
        return;
    }
    const bool compressed = length >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    qsizetype n = 0;
    if (!compressed) {
        text.resize(length / 2);
        appendUtf16(text.data(), n, data, length);
        return;
    }
    // At most one character per byte.
    text.resize(length - 2);
    QChar* out = text.data();
    bool inCompressedRun = true;
    qsizetype runStart = 2;
    for (qsizetype i = 2; i <= length; ++i) {
        if (i == length || data[i] == 0x00) {
            if (inCompressedRun)
                appendCompressed(out, n, data + runStart, i - runStart);
            else
                appendUtf16(out, n, data + runStart, i - runStart);
            inCompressedRun = !inCompressedRun;
            runStart = i + 1;
        }
    }
    text.truncate(n);
}

QString decodeJet4Text(const uchar* data, qsizetype length)
{
    QString text;
    decodeJet4TextInto(text, data, length);
    if (text.isNull())
        return QString(QLatin1String(""));
    return text;
}

bool dateFromJet(double value, dao::DateParts& when)
{
    // 1 Jan 100 is -657434, 31 Dec 9999 is 2958465; allow a day of slack.
    if (!std::isfinite(value) || value < -657436.0 || value > 2958467.0)
        return false;
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    qint64 days = qint64(whole);
    qint64 seconds = std::llround(fraction * 86400.0);
    if (seconds >= 86400) {  // rounded up to the next midnight
        ++days;
        seconds -= 86400;
    }
    // Days since 1 Mar of year 0 (proleptic Gregorian), counted in 400-year eras;
    // 30 Dec 1899 is day 693,899 of that count.
    const qint64 z = days + 693899;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 = March
    when.day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    when.month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    when.year = int(yearOfEra + era * 400 + (when.month <= 2 ? 1 : 0));
    when.hour = int(seconds / 3600);
    when.minute = int(seconds / 60 % 60);
    when.second = int(seconds % 60);
    when.timeValid = true;
    return true;
}

QDateTime dateFromJet(double value)
{
    dao::DateParts when;
    if (!dateFromJet(value, when))
        return QDateTime();
    return QDateTime(when.toDate(), when.toTime(), Qt::UTC);
}

QString guidText(const uchar* b)
{
    static const char hex[] = "0123456789ABCDEF";
    // Byte order of the text: groups 1-3 reversed (little-endian), then as stored.
    static const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    QString text(38, Qt::Uninitialized);
    QChar* out = text.data();
    int n = 0;
    out[n++] = QLatin1Char('{');
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out[n++] = QLatin1Char('-');
        const uchar byte = b[order[i]];
        out[n++] = QLatin1Char(hex[byte >> 4]);
        out[n++] = QLatin1Char(hex[byte & 0x0F]);
    }
    out[n++] = QLatin1Char('}');
    return text;
}

QString scaledText(qint64 scaled)
{
    const bool negative = scaled < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(scaled) : quint64(scaled);
    return placeDecimal(magnitude, 4, negative);
}

QString decimalText(const uchar* b, int scale)
{
    const bool negative = (b[0] & 0x80) != 0;
    unsigned __int128 magnitude = 0;
    for (int word = 0; word < 4; ++word)
        magnitude = (magnitude << 32) | le32(b + 1 + 4 * word);
    if (scale < 0 || scale > 38)
        scale = 0;
    return placeDecimal(magnitude, scale, negative);
}

}  // namespace jet
