// Values as literals of each dialect.

#include "sql/Literals.h"

#include "FakeDatabase.h"
#include "QtPrinters.h"
#include "RecordingConnection.h"
#include "core/TabrixError.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

const QDateTime march5(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);

QString render(int type, const QVariant& cell, Dialect d = Dialect::MSSQL, const QString& def = {})
{
    return RenderValue(makeField("F", type, 10), cell, def, d);
}

QVariant currency(qint64 scaled)
{
    return QVariant::fromValue(dao::Currency{scaled});
}

}  // namespace

TEST(DateLiteral, OrdinaryAndSpecialPerDialect)
{
    const QDate d = march5.date();
    const QTime t = march5.time();
    // An ordinary value keeps its time of day.
    EXPECT_EQ(DateLiteral(d, t, Dialect::Oracle, false), "TIMESTAMP'2024-03-05 14:07:09'");
    EXPECT_EQ(DateLiteral(d, t, Dialect::DB2, false), "'2024-03-05-14.07.09'");
    EXPECT_EQ(DateLiteral(d, t, Dialect::MSSQL, false), "'20240305 14:07:09'");
    EXPECT_EQ(DateLiteral(d, t, Dialect::Sybase, false), "'20240305 14:07:09'");
    EXPECT_EQ(DateLiteral(d, t, Dialect::MySQL, false), "'2024-03-05 14:07:09'");
    // At midnight it is written as a date, as it always was.
    const QTime midnight(0, 0);
    EXPECT_EQ(DateLiteral(d, midnight, Dialect::Oracle, false), "TIMESTAMP'2024-03-05 00:00:00'");
    EXPECT_EQ(DateLiteral(d, midnight, Dialect::DB2, false), "'2024-03-05-00.00.00'");
    EXPECT_EQ(DateLiteral(d, midnight, Dialect::MSSQL, false), "'20240305'");
    EXPECT_EQ(DateLiteral(d, midnight, Dialect::Sybase, false), "'20240305'");
    EXPECT_EQ(DateLiteral(d, midnight, Dialect::MySQL, false), "'20240305'");
    // One second past midnight is a time of day.
    EXPECT_EQ(DateLiteral(d, QTime(0, 0, 1), Dialect::MySQL, false), "'2024-03-05 00:00:01'");
    EXPECT_EQ(DateLiteral(d, QTime(0, 0, 1), Dialect::MSSQL, false), "'20240305 00:00:01'");

    const QDate base(2024, 2, 1);
    EXPECT_EQ(DateLiteral(base, t, Dialect::MSSQL, true), "'20240201 14:07:09'");
    EXPECT_EQ(DateLiteral(base, t, Dialect::Oracle, true), "TIMESTAMP'2024-02-01 14:07:09'");
    EXPECT_EQ(DateLiteral(base, t, Dialect::DB2, true), "'2024-02-01-14.07.09'");
    EXPECT_EQ(DateLiteral(base, t, Dialect::Sybase, true), "'2024-02-01 14:07:09'");
    EXPECT_EQ(DateLiteral(base, t, Dialect::MySQL, true), "'2024-02-01 14:07:09'");
}

TEST(DateLiteral, YearsBelowThousandKeepFourDigits)
{
    EXPECT_EQ(DateLiteral(QDate(201, 7, 9), QTime(), Dialect::MSSQL, false), "'02010709'");
    EXPECT_EQ(DateLiteral(QDate(99, 12, 31), QTime(23, 59, 58), Dialect::Oracle, true),
              "TIMESTAMP'0099-12-31 23:59:58'");
    EXPECT_EQ(DateLiteral(QDate(1899, 12, 30), QTime(), Dialect::DB2, false), "'1899-12-30-00.00.00'");
}

TEST(RenderValue, BooleansAndNumbers)
{
    EXPECT_EQ(render(dao::dbBoolean, true), "1");
    EXPECT_EQ(render(dao::dbBoolean, false), "0");
    // A null Boolean renders its default text "1" or "0", neither being "TRUE".
    EXPECT_EQ(render(dao::dbBoolean, QVariant(), Dialect::MSSQL, "1"), "0");

    EXPECT_EQ(render(dao::dbLong, -42), "-42");
    EXPECT_EQ(render(dao::dbDouble, 12.5), "12.5");
    EXPECT_EQ(render(dao::dbDouble, 0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(render(dao::dbDouble, 123456789.123456789), "123456789.12345679");
    EXPECT_EQ(render(dao::dbSingle, 0.1f), "0.1");
    EXPECT_EQ(render(dao::dbSingle, 3.0f), "3");
    EXPECT_EQ(render(dao::dbCurrency, currency(125000)), "12.5");
    EXPECT_EQ(render(dao::dbCurrency, currency(-1)), "-0.0001");
    EXPECT_EQ(render(dao::dbCurrency, currency(30000)), "3");
    EXPECT_EQ(render(dao::dbCurrency, currency(-12345678)), "-1234.5678");
    EXPECT_EQ(render(dao::dbDouble, QStringLiteral("12,5")), "12.5");
    EXPECT_EQ(render(dao::dbDouble, QString()), "NULL");
    EXPECT_EQ(render(dao::dbLong, QVariant(), Dialect::MSSQL, "0"), "0");
}

TEST(RenderValue, Texts)
{
    EXPECT_EQ(render(dao::dbText, QStringLiteral("O'Neil")), "'O''Neil'");
    EXPECT_EQ(render(dao::dbMemo, QString::fromUtf16(u"a\0b", 3)), "'a b'");
    EXPECT_EQ(render(dao::dbText, QString(""), Dialect::DB2), "''");
    EXPECT_EQ(render(dao::dbText, QStringLiteral("C:\\Daten"), Dialect::MySQL), "'C:\\Daten'");
    EXPECT_EQ(render(dao::dbText, QStringLiteral("it’s"), Dialect::Sybase), "'its'");
    EXPECT_EQ(render(dao::dbText, QStringLiteral("it’s"), Dialect::MSSQL), "'it’s'");
    EXPECT_EQ(render(dao::dbText, QVariant(), Dialect::Oracle, "abc"), "'abc'");
    EXPECT_EQ(render(dao::dbText, QVariant(), Dialect::Oracle, " "), "' '");
    // A GUID goes in as a quoted text: bare braces would break the statement.
    EXPECT_EQ(render(dao::dbGUID, QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}")),
              "'{6F9619FF-8B86-D011-B42D-00C04FC964FF}'");
}

TEST(RenderValue, BinaryAsHexLiteral)
{
    const QByteArray bytes("\x00\xAB\x1F'", 4);
    EXPECT_EQ(render(dao::dbLongBinary, bytes, Dialect::MSSQL), "0x00AB1F27");
    EXPECT_EQ(render(dao::dbBinary, bytes, Dialect::Sybase), "0x00AB1F27");
    EXPECT_EQ(render(dao::dbLongBinary, bytes, Dialect::MySQL), "X'00AB1F27'");
    EXPECT_EQ(render(dao::dbLongBinary, bytes, Dialect::Oracle), "HEXTORAW('00AB1F27')");
    EXPECT_EQ(render(dao::dbLongBinary, bytes, Dialect::DB2), "BLOB(X'00AB1F27')");
    EXPECT_EQ(render(dao::dbLongBinary, QByteArray(), Dialect::MSSQL), "0x");
    EXPECT_EQ(render(dao::dbLongBinary, QByteArray(), Dialect::MySQL), "X''");
    EXPECT_EQ(render(dao::dbLongBinary, QByteArray(), Dialect::Oracle), "HEXTORAW('')");
    EXPECT_EQ(render(dao::dbLongBinary, QByteArray(), Dialect::DB2), "BLOB(X'')");
}

TEST(RenderValue, DatesFromValuesAndDefaults)
{
    EXPECT_EQ(render(dao::dbDate, march5, Dialect::MySQL), "'2024-03-05 14:07:09'");
    EXPECT_EQ(render(dao::dbDate, QDateTime(QDate(2024, 3, 5), QTime(0, 0), Qt::UTC), Dialect::MySQL), "'20240305'");
    EXPECT_EQ(render(dao::dbDate, QVariant(), Dialect::MSSQL, "01.02.2024"), "'20240201'");
    EXPECT_EQ(render(dao::dbDate, QVariant(), Dialect::Sybase, "01.02.2024 10:30"), "'20240201 10:30:00'");
    const dao::Field zeit = makeField("Zeit", dao::dbDate);
    EXPECT_EQ(RenderValue(zeit, march5, {}, Dialect::DB2, true, QDate(2024, 2, 1)), "'2024-02-01-14.07.09'");
    // Without a date base the value's own date is used.
    EXPECT_EQ(RenderValue(zeit, march5, {}, Dialect::DB2, true, std::nullopt), "'2024-03-05-14.07.09'");

    // A blank default is no date: the error is reported and the text stays.
    QList<long> numbers;
    const auto sink = [&](const TabrixError& e) { numbers.append(e.number()); };
    EXPECT_EQ(RenderValue(zeit, QVariant(), " ", Dialect::MSSQL, false, std::nullopt, sink), " ");
    EXPECT_EQ(RenderValue(zeit, QVariant(), "Now()", Dialect::MSSQL, false, std::nullopt, sink), "Now()");
    EXPECT_EQ(numbers, (QList<long>{13, 13}));
}

// Doubles are written without the general algorithm where that is safe; the
// text must stay exactly what std::to_chars writes, for every kind of value.
TEST(WriteDouble, SameTextAsToCharsForEveryKindOfValue)
{
    long checked = 0;
    long mismatches = 0;
    const auto check = [&](double v) {
        char expected[64];
        char got[64];
        const std::string want(expected, std::to_chars(expected, expected + sizeof expected, v).ptr);
        const std::string have(got, WriteDouble(got, v));
        ++checked;
        if (have != want && ++mismatches <= 10)
            ADD_FAILURE() << "WriteDouble gives " << have << " for " << want;
    };
    // Amounts with up to six places (more than the short way takes), their
    // neighbours one step away, and the same with trailing zeros and signs.
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 400000; ++i) {
        const int places = int(random() % 7);
        const double whole = double(random() % 1000000000000ULL) / std::pow(10.0, double(random() % 13));
        const double v = std::round(whole * std::pow(10.0, places)) / std::pow(10.0, places);
        check(v);
        check(-v);
        check(std::nextafter(v, 1e300));
        check(std::nextafter(v, -1e300));
    }
    // Powers of ten and numbers with many trailing zeros, where the exponent
    // form is the shorter one, around the limits of fifteen digits.
    for (int e = 0; e <= 22; ++e) {
        for (const double lead : {1.0, 1.5, 12.0, 123.0, 999999999999999.0, 100000000000001.0}) {
            check(lead * std::pow(10.0, e));
            check(lead / std::pow(10.0, e));
        }
    }
    for (const double v : {0.0,
                           -0.0,
                           1.0,
                           -1.0,
                           0.5,
                           0.0001,
                           1e15,
                           1e15 - 1,
                           1e15 + 2,
                           9007199254740993.0,
                           12.5,
                           1234.5678,
                           1234.56789,
                           0.1 + 0.2,
                           1.0 / 3.0,
                           2.0 / 3.0 * 1000.0,
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()})
        check(v);
    // Any bit pattern.
    for (int i = 0; i < 200000; ++i) {
        const quint64 bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        check(v);
    }
    EXPECT_EQ(mismatches, 0) << "of " << checked;
}

TEST(RenderValue, NulCharactersPerDialect)
{
    const QString s = QString::fromUtf16(u"a\0b'c\0", 6);
    EXPECT_EQ(render(dao::dbText, s, Dialect::MySQL), "CONCAT('a',CHAR(0 USING utf8mb4),'b''c',CHAR(0 USING utf8mb4))");
    EXPECT_EQ(render(dao::dbMemo, QString::fromUtf16(u"\0\0", 2), Dialect::MySQL),
              "CONCAT(CHAR(0 USING utf8mb4),CHAR(0 USING utf8mb4))");
    for (Dialect d : {Dialect::MSSQL, Dialect::Sybase, Dialect::Oracle, Dialect::DB2})
        EXPECT_EQ(render(dao::dbText, s, d), "'a b''c '") << dialectName(d).toStdString();
}

TEST(RenderValue, TextsThatAreNoUnicodeAreReported)
{
    // A high surrogate without its low half, and a pair that is whole.
    const QString broken = QString::fromUtf16(u"a\xD800"
                                              u"b\xD83D\xDE00",
                                              5);
    QStringList errors;
    const QString out = RenderValue(makeField("Logo", dao::dbMemo, 0), broken, {}, Dialect::MySQL, false, std::nullopt,
                                    [&](const TabrixError& e) { errors.append(e.description()); });
    EXPECT_EQ(out,
              QString::fromUtf16(u"'a\xFFFD"
                                 u"b\xD83D\xDE00'",
                                 7));
    EXPECT_EQ(errors,
              QStringList{QStringLiteral("Feld Logo: der Text enthält ungültige Zeichen (einzelne "
                                         "UTF-16-Ersatzzeichen); sie wurden durch \uFFFD ersetzt.")});
}

// Names as they stand: a grave accent doubled between grave accents, a table
// name the server cannot read bare put between them on MySQL.

// A cell goes as the parameter the server stores as it stores the cell's literal, or as that literal where no
// parameter does ("literal"), with no error reported for it then.
TEST(CellParameter, AsTheLiteralStoresOrNone)
{
    const auto param = [](int type, const QVariant& cell, const QString& def = {}) -> QString {
        dao::CellValue value;
        value.assign(cell);
        bool blanked = false;
        const auto p = CellParameter(
            makeField("F", type, 10), value, def, Dialect::MySQL, false, std::nullopt,
            [](const TabrixError&) { ADD_FAILURE(); }, blanked);
        if (!p)
            return "literal";
        ParameterArray row({p->type}, 1, ParameterArray::TextForm::Utf16);
        row.Append({*p});
        return RecordingConnection::ArrayRowText(row, 0);
    };
    for (const auto& [type, cell, def, expected] : std::vector<std::tuple<int, QVariant, QString, QString>>{
             {dao::dbBoolean, QVariant(), "TRUE", "(1)"},
             {dao::dbLong, QVariant(), "1,5", "literal"},  // the literal 1.5 is rounded, a text refused
             {dao::dbLong, QVariant(), "7", "(7)"},
             {dao::dbDouble, QVariant(), "1,5", "(1.5)"},
             {dao::dbSingle, QVariant(1.1f), "", "(1.1)"},  // what the literal 1.1 reads as, not the float's bits
             {dao::dbSingle, QVariant(1e-5f), "", "(1e-05)"},
             {dao::dbCurrency, currency(-123450), "", "(-12.345)"},
             {dao::dbDecimal, QVariant(), "12.50", "(12.50)"},
             {dao::dbDecimal, QVariant(), "abc", "literal"},
             {dao::dbDate, QVariant(), "kein Datum", "literal"},  // reported with the literal
             {dao::dbDate, QVariant(), "5.3.2024", "(TIMESTAMP'2024-03-05 00:00:00')"},
             {dao::dbDate, march5, "", "(TIMESTAMP'2024-03-05 14:07:09')"},
             {dao::dbBinary, QVariant(), "0x01", "literal"},
             {dao::dbText, QString::fromUtf16(u"a\0b'", 4), "", "('a\\0b''')"}}) {
        EXPECT_EQ(param(type, cell, def), expected) << type << " " << def.toStdString();
    }
}
