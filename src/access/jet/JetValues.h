#pragma once

// Decoding of the values Jet stores in its rows, from the stored bytes
// (little-endian, as written by the engine). Pure functions over bytes: no
// libmdb here, so tests call them directly.

#include "access/DaoTypes.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtEndian>

#include <cstring>

namespace jet {

inline quint16 le16(const uchar* p)
{
    return qFromLittleEndian<quint16>(p);
}
inline quint32 le24(const uchar* p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16);
}
inline quint32 le32(const uchar* p)
{
    return qFromLittleEndian<quint32>(p);
}
inline quint64 le64(const uchar* p)
{
    return qFromLittleEndian<quint64>(p);
}

inline float singleAt(const uchar* p)
{
    const quint32 bits = le32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

inline double doubleAt(const uchar* p)
{
    const quint64 bits = le64(p);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// Text of a Jet 4 Text or Memo value: UTF-16LE, or, when it begins with the
// bytes FF FE, Access's "Unicode compression" (runs of one byte per character
// and runs of two, switched by a 0x00 byte). An empty input gives an empty,
// non-null string.
QString decodeJet4Text(const uchar* data, qsizetype length);
// The same into `text`, whose memory is reused (an empty input may give a null string).
void decodeJet4TextInto(QString& text, const uchar* data, qsizetype length);

// Date/Time from the stored double (days since 30 Dec 1899; for values before
// that day the whole part counts the days back and the fraction is still the
// time of day), rounded to the second, as a UTC QDateTime. Invalid QDateTime
// for a value outside what Access can hold (NaN, infinities, beyond the
// years 100..9999 by more than a day).
QDateTime dateFromJet(double value);

// The same as calendar parts, without a QDateTime; false where dateFromJet is invalid.
bool dateFromJet(double value, dao::DateParts& when);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" from the 16 stored bytes: the first
// three groups are stored little-endian, the last two byte by byte.
QString guidText(const uchar* bytes16);

// Decimal text of a Currency amount given times 10,000: up to four places,
// trailing zeros dropped ("12.5", "-0.0001", "3").
QString scaledText(qint64 scaled);

// Decimal text of a Jet 4 Decimal (type 16) from its 17 stored bytes (a sign
// byte, then the 96..128-bit magnitude as four 32-bit little-endian words, most
// significant word first) and the column's scale; trailing zeros after the
// point are dropped, "." is the decimal separator.
QString decimalText(const uchar* bytes17, int scale);

}  // namespace jet
