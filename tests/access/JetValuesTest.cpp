// Decoding of stored Jet values from their bytes (no database file needed).

#include "access/jet/JetValues.h"

#include "access/AccessDatabase.h"
#include "access/jet/JetProperties.h"

#include <QByteArray>
#include <QDate>
#include <QTime>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

std::string str(const QString& s)
{
    return s.toStdString();
}

QString text(const QByteArray& bytes)
{
    return jet::decodeJet4Text(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size());
}

QByteArray doubleBytes(double d)
{
    QByteArray b(8, '\0');
    std::memcpy(b.data(), &d, 8);  // the build machines are little-endian, like the file format
    return b;
}

}  // namespace

TEST(JetValues, UncompressedTextIsUtf16LittleEndian)
{
    EXPECT_EQ(str(text(QByteArray("K\0\xF6\0l\0n\0", 8))), "Köln");
    // A character outside Latin-1 (the euro sign U+20AC).
    EXPECT_EQ(str(text(QByteArray("\xAC\x20", 2))), "€");
}

TEST(JetValues, CompressedTextSwitchesBetweenOneAndTwoByteRuns)
{
    // FF FE marks Access's compression: "Ab" as single bytes, 00 switches, "€" as UTF-16, 00 switches back, "c".
    const QByteArray stored("\xFF\xFE"
                            "Ab"
                            "\x00"
                            "\xAC\x20"
                            "\x00"
                            "c",
                            9);
    EXPECT_EQ(str(text(stored)), "Ab€c");
    EXPECT_EQ(str(text(QByteArray("\xFF\xFE"
                                  "Gr\xF6\xDF"
                                  "e",
                                  7))),
              "Größe");
}

TEST(JetValues, EmptyTextIsEmptyButNotNull)
{
    const QString empty = text(QByteArray());
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.isNull());
    const QString compressedEmpty = text(QByteArray("\xFF\xFE", 2));
    EXPECT_TRUE(compressedEmpty.isEmpty());
    EXPECT_FALSE(compressedEmpty.isNull());
}

TEST(JetValues, DatesCountDaysFrom30December1899)
{
    EXPECT_EQ(jet::dateFromJet(0.0), QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(jet::dateFromJet(1.5), QDateTime(QDate(1899, 12, 31), QTime(12, 0), Qt::UTC));
    EXPECT_EQ(jet::dateFromJet(36526.0), QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(jet::dateFromJet(0.25).timeSpec(), Qt::UTC);
}

TEST(JetValues, DatesBeforeTheEpochKeepTheTimeOfDayAsMagnitude)
{
    // -1.25: one day back (29 Dec 1899), a quarter day into it.
    EXPECT_EQ(jet::dateFromJet(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0), Qt::UTC));
    EXPECT_EQ(jet::dateFromJet(-0.5), QDateTime(QDate(1899, 12, 30), QTime(12, 0), Qt::UTC));
    // 1 January 100, the first day Access accepts.
    EXPECT_EQ(jet::dateFromJet(-657434.0), QDateTime(QDate(100, 1, 1), QTime(0, 0), Qt::UTC));
}

TEST(JetValues, DatesRoundToTheSecond)
{
    EXPECT_EQ(jet::dateFromJet(0.5 + 0.4 / 86400.0), QDateTime(QDate(1899, 12, 30), QTime(12, 0, 0), Qt::UTC));
    EXPECT_EQ(jet::dateFromJet(0.5 + 0.6 / 86400.0), QDateTime(QDate(1899, 12, 30), QTime(12, 0, 1), Qt::UTC));
    // Just below midnight rounds into the next day.
    EXPECT_EQ(jet::dateFromJet(1.0 - 0.1 / 86400.0), QDateTime(QDate(1899, 12, 31), QTime(0, 0), Qt::UTC));
}

// The calendar parts are computed without Qt; they must agree with Qt's
// calendar for every day Access can hold, at every kind of time of day.
TEST(JetValues, DatePartsAgreeWithQtsCalendarOnEveryDay)
{
    const double fractions[] = {0.0, 0.25, 0.5 + 0.6 / 86400.0, 0.999, 1.0 - 0.1 / 86400.0};
    long mismatches = 0;
    for (qint64 day = -657435; day <= 2958466 && mismatches < 5; ++day) {
        const double fraction = fractions[(day % 5 + 5) % 5];
        const double value = day < 0 ? double(day) - fraction : double(day) + fraction;
        // Qt's reading: the day, then the rounded seconds of the time of day added.
        const qint64 seconds = std::llround(fraction * 86400.0);
        const QDateTime expected =
            QDateTime(QDate::fromJulianDay(2415019 + day), QTime(0, 0), Qt::UTC).addSecs(seconds);
        dao::DateParts parts;
        ASSERT_TRUE(jet::dateFromJet(value, parts)) << value;
        const QDateTime got(QDate(parts.year, parts.month, parts.day), QTime(parts.hour, parts.minute, parts.second),
                            Qt::UTC);
        if (got != expected) {
            ++mismatches;
            ADD_FAILURE() << "day " << day << ": " << got.toString(Qt::ISODate).toStdString() << " instead of "
                          << expected.toString(Qt::ISODate).toStdString();
        }
    }
    dao::DateParts parts;
    EXPECT_FALSE(jet::dateFromJet(std::numeric_limits<double>::quiet_NaN(), parts));
    EXPECT_FALSE(jet::dateFromJet(2958468.0, parts));
    EXPECT_FALSE(jet::dateFromJet(-657437.0, parts));
}

TEST(JetValues, TextIntoAReusedBufferIsExactlyTheText)
{
    // A longer text first, then shorter and compressed ones: nothing of an
    // earlier text may stay behind.
    QString buffer;
    const QByteArray longText = QByteArray("W\0o\0r\0t\0e\0 \0u\0n\0d\0 \0m\0e\0h\0r\0", 28);
    jet::decodeJet4TextInto(buffer, reinterpret_cast<const uchar*>(longText.constData()), longText.size());
    EXPECT_EQ(str(buffer), "Worte und mehr");
    const QByteArray compressed("\xFF\xFE"
                                "abc",
                                5);
    jet::decodeJet4TextInto(buffer, reinterpret_cast<const uchar*>(compressed.constData()), compressed.size());
    EXPECT_EQ(str(buffer), "abc");
    jet::decodeJet4TextInto(buffer, nullptr, 0);
    EXPECT_TRUE(buffer.isEmpty());
    const QByteArray oddByte("x\0y", 3);  // a last odd byte is dropped
    jet::decodeJet4TextInto(buffer, reinterpret_cast<const uchar*>(oddByte.constData()), oddByte.size());
    EXPECT_EQ(str(buffer), "x");
}

TEST(JetValues, ImpossibleDatesAreInvalid)
{
    EXPECT_FALSE(jet::dateFromJet(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_FALSE(jet::dateFromJet(std::numeric_limits<double>::infinity()).isValid());
    EXPECT_FALSE(jet::dateFromJet(1e12).isValid());
}

TEST(JetValues, StoredDoubleBytesDecodeExactly)
{
    const double value = 0.43333333333333335;
    const QByteArray bytes = doubleBytes(value);
    EXPECT_EQ(jet::doubleAt(reinterpret_cast<const uchar*>(bytes.constData())), value);
}

TEST(JetValues, GuidTextHasTheFirstThreeGroupsReversed)
{
    const uchar bytes[16] = {0x7A, 0xB1, 0x37, 0xB6, 0x8A, 0xF0, 0xD8, 0x3E,
                             0x85, 0x0C, 0x18, 0xCC, 0xCD, 0xE9, 0x15, 0xDA};
    EXPECT_EQ(str(jet::guidText(bytes)), "{B637B17A-F08A-3ED8-850C-18CCCDE915DA}");
}

TEST(JetValues, CurrencyTextDropsTrailingZeros)
{
    EXPECT_EQ(str(jet::scaledText(125000)), "12.5");
    EXPECT_EQ(str(jet::scaledText(-1)), "-0.0001");
    EXPECT_EQ(str(jet::scaledText(30000)), "3");
    EXPECT_EQ(str(jet::scaledText(0)), "0");
    EXPECT_EQ(str(jet::scaledText(12345678)), "1234.5678");
    EXPECT_EQ(str(jet::scaledText(std::numeric_limits<qint64>::min())), "-922337203685477.5808");
    EXPECT_EQ(str(dao::Currency{-250000}.toString()), "-25");
    EXPECT_TRUE((dao::Currency{5} == dao::Currency{5}));
}

TEST(JetValues, DecimalTextPlacesTheScale)
{
    uchar bytes[17] = {};
    bytes[13] = 0xE2;  // 1250 in the least significant word
    bytes[14] = 0x04;
    EXPECT_EQ(str(jet::decimalText(bytes, 2)), "12.5");
    EXPECT_EQ(str(jet::decimalText(bytes, 0)), "1250");
    EXPECT_EQ(str(jet::decimalText(bytes, 5)), "0.0125");
    bytes[0] = 0x80;  // negative
    EXPECT_EQ(str(jet::decimalText(bytes, 1)), "-125");
    uchar zero[17] = {};
    zero[0] = 0x80;
    EXPECT_EQ(str(jet::decimalText(zero, 3)), "0");
    // The most significant word comes first: 2^96.
    uchar big[17] = {};
    big[1] = 1;
    EXPECT_EQ(str(jet::decimalText(big, 0)), "79228162514264337593543950336");
}

namespace {

QByteArray le16(int v)
{
    QByteArray b(2, '\0');
    b[0] = char(v & 0xFF);
    b[1] = char((v >> 8) & 0xFF);
    return b;
}

QByteArray le32(int v)
{
    return le16(v & 0xFFFF) + le16((v >> 16) & 0xFFFF);
}

QByteArray chunk(int type, const QByteArray& body)
{
    return le32(int(body.size()) + 6) + le16(type) + body;
}

QByteArray latin(const char* s)
{
    return QByteArray(s);
}

QByteArray record(int type, int nameIndex, const QByteArray& data)
{
    return le16(int(data.size()) + 8) + QByteArray(1, '\0') + QByteArray(1, char(type)) + le16(nameIndex)
        + le16(int(data.size())) + data;
}

QByteArray block(const QByteArray& name, const QByteArray& records)
{
    const QByteArray nameBlock =
        name.isEmpty() ? le32(6) + le16(0) : le32(6 + int(name.size())) + le16(int(name.size())) + name;
    return nameBlock + records;
}

}  // namespace

TEST(JetProperties, RequiredAndDefaultValuePerColumn)
{
    // Names: 0 Required, 1 DefaultValue, 2 Format. Text decoded as Latin-1 here.
    const QByteArray names = le16(8) + latin("Required") + le16(12) + latin("DefaultValue") + le16(6) + latin("Format");
    QByteArray blob("MR2\0", 4);
    blob += chunk(0x80, names);
    blob += chunk(0x00, block(QByteArray(), record(10, 2, latin("x"))));  // the table's own block
    blob += chunk(0x01, block(latin("Ort"), record(10, 1, latin("\"Berlin\"")) + record(1, 0, QByteArray(1, '\0'))));
    blob += chunk(0x01, block(latin("Name"), record(1, 0, QByteArray(1, '\xFF'))));
    const auto props = jet::parseColumnProperties(
        blob, [](const uchar* d, qsizetype n) { return QString::fromLatin1(reinterpret_cast<const char*>(d), n); });
    ASSERT_EQ(props.size(), 2);
    EXPECT_TRUE(props.value(QStringLiteral("Ort")).hasDefault);
    EXPECT_EQ(str(props.value(QStringLiteral("Ort")).defaultValue), "\"Berlin\"");
    EXPECT_FALSE(props.value(QStringLiteral("Ort")).required);
    EXPECT_TRUE(props.value(QStringLiteral("Name")).required);
    EXPECT_FALSE(props.value(QStringLiteral("Name")).hasDefault);
}

TEST(JetProperties, DamagedBlobsGiveWhatCouldBeRead)
{
    const auto latin1 = [](const uchar* d, qsizetype n) {
        return QString::fromLatin1(reinterpret_cast<const char*>(d), n);
    };
    EXPECT_TRUE(jet::parseColumnProperties(QByteArray(), latin1).isEmpty());
    EXPECT_TRUE(jet::parseColumnProperties(QByteArray("XYZ\0garbage", 11), latin1).isEmpty());
    // A chunk claiming more bytes than there are, and records of length zero: no endless loop.
    QByteArray blob("MR2\0", 4);
    blob += le32(1000) + le16(0x80);
    EXPECT_TRUE(jet::parseColumnProperties(blob, latin1).isEmpty());
    QByteArray zeros("MR2\0", 4);
    zeros += chunk(0x80, le16(8) + latin("Required"));
    zeros += chunk(0x01, block(latin("A"), QByteArray(16, '\0')));
    const auto props = jet::parseColumnProperties(zeros, latin1);
    EXPECT_EQ(props.size(), 1);
    EXPECT_FALSE(props.value(QStringLiteral("A")).required);
}
