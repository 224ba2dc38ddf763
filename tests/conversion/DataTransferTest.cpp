#include "FakeHost.h"
#include "QtPrinters.h"
#include "conversion/CopyLoop.h"
#include "conversion/RowStatement.h"
#include "core/WorkstationShare.h"
#include "sql/Literals.h"
#include "server/ExecuteSql.h"

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

ConversionOptions on(Dialect d)
{
    ConversionOptions o;
    o.dialect = d;
    return o;
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

TEST(InsertStatement, FullRowPerDialect)
{
    const QList<dao::Field> fields{makeField("Nr", dao::dbLong, 4, true), makeField("Name", dao::dbText, 40),
                                   makeField("Am", dao::dbDate), makeField("Aktiv", dao::dbBoolean),
                                   makeField("AUFTRAGSBESTÄTIGUNG_Französisch", dao::dbMemo),
                                   makeField("Check", dao::dbDouble)};
    const FakeRow row{7, QStringLiteral("O'Neil"), march5, true, QStringLiteral("oui"), 12.5};
    const auto stmt = [&](Dialect d, const QString& table = "Artikel") {
        RowStatementBuilder b(table, fields, d);
        return b.InsertStatement(row, on(d));
    };
    EXPECT_EQ(stmt(Dialect::MSSQL), "INSERT INTO Artikel (\"Nr\",\"Name\",\"Am\",\"Aktiv\","
                                    "\"AuftragsbestätigungFranzösisch\",\"Check\") VALUES "
                                    "(7,'O''Neil','20240305 14:07:09',1,'oui',12.5)");
    EXPECT_EQ(stmt(Dialect::MySQL), "INSERT INTO Artikel (`Nr`,`Name`,`Am`,`Aktiv`,`AuftragsbestätigungFranzösisch`,"
                                    "`Check`) VALUES (7,'O''Neil','2024-03-05 14:07:09',1,'oui',12.5)");
    EXPECT_EQ(stmt(Dialect::Sybase), "INSERT INTO Artikel (Nr,Name,Am,Aktiv,AuftragsbestätigungFranzösisch,Check) "
                                     "VALUES (7,'O''Neil','20240305 14:07:09',1,'oui',12.5)");
    EXPECT_EQ(stmt(Dialect::Oracle), "INSERT INTO Artikel (Nr,Name,Am,Aktiv,AuftragsbestätigungFranzösisch,\"CHECK\") "
                                     "VALUES (7,'O''Neil',TIMESTAMP'2024-03-05 14:07:09',1,'oui',12.5)");
    EXPECT_EQ(stmt(Dialect::DB2), "INSERT INTO Artikel (Nr,Name,Am,Aktiv,AuftragsbestätigungFranzösisch,Check) "
                                  "VALUES (7,'O''Neil','2024-03-05-14.07.09',1,'oui',12.5)");
    EXPECT_EQ(stmt(Dialect::DB2, "F5SB90R"), "INSERT INTO F5SB90R (\"Nr\",\"Name\",\"Am\",\"Aktiv\","
                                             "\"AuftragsbestätigungFranzösisch\",\"Check\") VALUES "
                                             "(7,'O''Neil','2024-03-05-14.07.09',1,'oui',12.5)");
}

// Values of the columns whose server types differ between the dialects: each
// literal is one its column accepts (DECIMAL/NUMBER, LONGBLOB/BLOB, VARBINARY/
// RAW/BLOB, CHAR(38), LONGTEXT/CLOB).
TEST(InsertStatement, ChangedTypesPerDialect)
{
    const QList<dao::Field> fields{makeField("Umsatz", dao::dbCurrency, 8), makeField("Logo", dao::dbLongBinary),
                                   makeField("Kennung", dao::dbGUID, 16), makeField("Roh", dao::dbBinary, 2),
                                   makeField("Dezimal", dao::dbDecimal, 16), makeField("Notiz", dao::dbMemo)};
    const FakeRow row{currency(-12345678), QByteArray("\x00'", 2),
                      QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"), QByteArray("\x01\xFE", 2),
                      QStringLiteral("-12.05"), QStringLiteral("Zeile")};
    const auto values = [&](Dialect d) {
        RowStatementBuilder b("T", fields, d);
        const QString s = b.InsertStatement(row, on(d));
        return s.mid(s.indexOf(" VALUES ") + 8);
    };
    EXPECT_EQ(values(Dialect::MSSQL), "(-1234.5678,0x0027,'{6F9619FF-8B86-D011-B42D-00C04FC964FF}',0x01FE,-12.05,'Zeile')");
    EXPECT_EQ(values(Dialect::Sybase), "(-1234.5678,0x0027,'{6F9619FF-8B86-D011-B42D-00C04FC964FF}',0x01FE,-12.05,'Zeile')");
    EXPECT_EQ(values(Dialect::MySQL),
              "(-1234.5678,X'0027','{6F9619FF-8B86-D011-B42D-00C04FC964FF}',X'01FE',-12.05,'Zeile')");
    EXPECT_EQ(values(Dialect::Oracle), "(-1234.5678,HEXTORAW('0027'),'{6F9619FF-8B86-D011-B42D-00C04FC964FF}',"
                                       "HEXTORAW('01FE'),-12.05,'Zeile')");
    EXPECT_EQ(values(Dialect::DB2), "(-1234.5678,BLOB(X'0027'),'{6F9619FF-8B86-D011-B42D-00C04FC964FF}',"
                                    "BLOB(X'01FE'),-12.05,'Zeile')");
}

TEST(InsertStatement, NullCellsUseDefaultsOrAreLeftOut)
{
    const QList<dao::Field> fields{makeField("Nr", dao::dbLong), makeField("Ort", dao::dbText, 20, false, "\"abc\""),
                                   makeField("Name", dao::dbText, 20), makeField("Menge", dao::dbDouble)};
    RowStatementBuilder b("T", fields, Dialect::Sybase);
    auto o = on(Dialect::Sybase);
    const FakeRow nulls{QVariant(), QVariant(), QVariant(), QVariant()};
    EXPECT_EQ(b.InsertStatement(nulls, o), "INSERT INTO T (Ort) VALUES ('abc')");
    o.defaultBlank = true;
    o.default0 = true;
    EXPECT_EQ(b.InsertStatement(nulls, o), "INSERT INTO T (Nr,Ort,Name,Menge) VALUES (0,'abc',' ',0)");

    RowStatementBuilder bare("T", {makeField("Nr", dao::dbLong), makeField("Name", dao::dbText, 20)}, Dialect::MSSQL);
    EXPECT_EQ(bare.InsertStatement(FakeRow{QVariant(), QVariant()}, on(Dialect::MSSQL)), "");
    EXPECT_EQ(bare.InsertStatement(FakeRow{QVariant(), QString("")}, on(Dialect::MSSQL)),
              "INSERT INTO T (\"Name\") VALUES ('')");
}

// The copy builds every row's statement in one buffer: a long row after short
// ones and a short row after a long one must each hold exactly their own text.
TEST(InsertStatement, OneBufferForEveryRowHoldsExactlyItsRowsText)
{
    const QList<dao::Field> fields{makeField("Nr", dao::dbLong), makeField("Notiz", dao::dbMemo),
                                   makeField("Am", dao::dbDate), makeField("Ort", dao::dbText, 20, false, "\"Köln\"")};
    const QString plainLong(100000, QLatin1Char('x'));
    const QString quotedLong = QString(3000, QLatin1Char('a')) + QStringLiteral("'") + QString(3000, QChar(0x00E4));
    const QList<FakeRow> rows{
        {1, QStringLiteral("kurz"), march5, QStringLiteral("Ulm")},
        {2, plainLong, QVariant(), QVariant()},
        {3, QString(""), march5, QStringLiteral("Bonn")},
        {4, quotedLong, march5, QVariant()},
        {QVariant(), QVariant(), QVariant(), QVariant()},
    };
    const QStringList expected{
        "INSERT INTO T (`Nr`,`Notiz`,`Am`,`Ort`) VALUES (1,'kurz','2024-03-05 14:07:09','Ulm')",
        "INSERT INTO T (`Nr`,`Notiz`,`Ort`) VALUES (2,'" + plainLong + "','Köln')",
        "INSERT INTO T (`Nr`,`Notiz`,`Am`,`Ort`) VALUES (3,'','2024-03-05 14:07:09','Bonn')",
        "INSERT INTO T (`Nr`,`Notiz`,`Am`,`Ort`) VALUES (4,'" + QString(3000, QLatin1Char('a')) + "''"
            + QString(3000, QChar(0x00E4)) + "','2024-03-05 14:07:09','Köln')",
        "INSERT INTO T (`Ort`) VALUES ('Köln')",
    };
    FakeRecordset rs(fields, rows);
    RowStatementBuilder builder("T", fields, Dialect::MySQL);
    const std::function<ConversionOptions()> options = [] { return on(Dialect::MySQL); };
    QString statement;
    int r = 0;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext(), ++r) {
        builder.InsertStatement(statement, rs, options, {});
        EXPECT_EQ(statement.size(), expected[r].size()) << "row " << r;
        EXPECT_TRUE(statement == expected[r]) << "row " << r << ": " << statement.left(120).toStdString();
        // The statement goes to the driver as a terminated text.
        EXPECT_EQ(statement.utf16()[statement.size()], u'\0');
    }
    EXPECT_EQ(r, 5);
}

// The statement buffer is reused for every row and changed in place by the
// backslash doubling before it is sent: its memory stays that of the longest
// statement, however many rows go through it.
TEST(InsertStatement, ReusedBufferKeepsItsSizeOverManyRows)
{
    const QList<dao::Field> fields{makeField("Nr", dao::dbLong), makeField("Pfad", dao::dbText, 200)};
    QList<FakeRow> rows;
    for (int i = 0; i < 20000; ++i)
        rows.append({i, QStringLiteral("C:\\Daten\\") + QString(i % 97, QLatin1Char('x')) + QStringLiteral("\\Ende")});
    FakeRecordset rs(fields, rows);
    RowStatementBuilder builder("T", fields, Dialect::MySQL);
    const std::function<ConversionOptions()> options = [] { return on(Dialect::MySQL); };
    QString statement;
    qsizetype longest = 0;
    qsizetype largestCapacity = 0;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        builder.InsertStatement(statement, rs, options, {});
        DoubleBackslashes(statement);
        longest = std::max(longest, statement.size());
        largestCapacity = std::max(largestCapacity, statement.capacity());
    }
    EXPECT_TRUE(statement.endsWith(QStringLiteral("\\\\Ende')"))) << statement.toStdString();
    EXPECT_LE(largestCapacity, 4 * longest + 256);
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
    for (const double v : {0.0, -0.0, 1.0, -1.0, 0.5, 0.0001, 1e15, 1e15 - 1, 1e15 + 2, 9007199254740993.0, 12.5,
                           1234.5678, 1234.56789, 0.1 + 0.2, 1.0 / 3.0, 2.0 / 3.0 * 1000.0,
                           std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
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

TEST(RowShare, WorkstationsSplitTheRows)
{
    const auto copied = [](double count, double number) {
        QList<long> rows;
        for (long n = 1; n <= 9; ++n)
            if (RowIsCopied(n, count, number))
                rows.append(n);
        return rows;
    };
    EXPECT_EQ(copied(1, 1), (QList<long>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(copied(3, 1), (QList<long>{2, 5, 8}));
    EXPECT_EQ(copied(3, 2), (QList<long>{1, 4, 7}));
    EXPECT_EQ(copied(3, 3), (QList<long>{3, 6, 9}));
    EXPECT_EQ(copied(2, 2), (QList<long>{2, 4, 6, 8}));
    EXPECT_EQ(copied(3, 1.5), QList<long>{});
    EXPECT_THROW(RowIsCopied(1, 0, 1), TabrixError);

    EXPECT_EQ(ReadWorkstationNumber(" 3 "), 3.0);
    EXPECT_EQ(ReadWorkstationNumber("1,5"), 1.5);
    try {
        ReadWorkstationNumber("zwei");
        FAIL();
    } catch (const TabrixError& e) {
        EXPECT_EQ(e.number(), 13);
        EXPECT_EQ(e.description(), "Typen unverträglich");
    }
    EXPECT_EQ(CopyStatusText(2, 3, 1), "2/3 (1)  :  66%");
}

namespace {

// A host with table T (Nr Long, Name Text) holding rows Nr 1..count.
struct CopyFixture {
    FakeHost host;
    std::unique_ptr<FakeRecordset> rs;
    explicit CopyFixture(int rows, Dialect d = Dialect::MySQL)
    {
        host.opts.dialect = d;
        host.table = "T";
        host.afterCreation = true;
        host.db.addTable("T", {makeField("Nr", dao::dbLong), makeField("Name", dao::dbText, 10)});
        for (int i = 1; i <= rows; ++i)
            host.db.rows["T"].append(FakeRow{i, QString("n%1").arg(i)});
        rs = host.db.openFake("T");
    }
    void run(const TableFlags& flags = {}) { RunCopyLoop(host, *rs, flags); }
};

}  // namespace

TEST(RunCopyLoop, CopiesEveryRowWithStatusAndProgress)
{
    CopyFixture f(3);
    f.host.db.rows["T"][1] = FakeRow{QVariant(), QVariant()};
    f.rs = f.host.db.openFake("T");
    f.run();
    EXPECT_EQ(f.host.sent(), (QStringList{"INSERT INTO T (`Nr`,`Name`) VALUES (1,'n1')",
                                          "INSERT INTO T (`Nr`,`Name`) VALUES (3,'n3')"}));
    EXPECT_EQ(f.host.statuses, (QStringList{"1/3 (0)  :  33%", "2/3 (0)  :  66%", "3/3 (1)  :  100%"}));
    EXPECT_EQ(f.host.progress, (QStringList{"start 3", "step 1", "step 2", "step 3", "step 0"}));
}

TEST(RunCopyLoop, WorkstationShareAndAbort)
{
    CopyFixture f(6);
    f.host.count = "2";
    f.host.number = "2";
    f.run();
    EXPECT_EQ(f.host.sent(), (QStringList{"INSERT INTO T (`Nr`,`Name`) VALUES (2,'n2')",
                                          "INSERT INTO T (`Nr`,`Name`) VALUES (4,'n4')",
                                          "INSERT INTO T (`Nr`,`Name`) VALUES (6,'n6')"}));
    EXPECT_EQ(f.host.statuses.size(), 6);

    CopyFixture a(5);
    a.host.afterExecute = [&](const QString& s) {
        if (s.contains("(2,"))
            a.host.abort = true;
    };
    a.run();
    EXPECT_EQ(a.host.sent().size(), 2);
    EXPECT_EQ(a.host.progress.last(), "step 0");

    CopyFixture bad(2);
    bad.host.count = "";
    bad.run();
    EXPECT_TRUE(bad.host.sent().isEmpty());
    EXPECT_EQ(bad.host.errors, (QStringList{"Typen unverträglich", "Typen unverträglich"}));
}

TEST(RunCopyLoop, ZeroRowsStartNoProgress)
{
    CopyFixture f(0);
    f.run();
    EXPECT_TRUE(f.host.progress.isEmpty());
    EXPECT_TRUE(f.host.statuses.isEmpty());
    EXPECT_TRUE(f.host.conn.statements.isEmpty());
}

TEST(RunCopyLoop, RejectedRowIsLoggedAndCopyGoesOn)
{
    CopyFixture f(3, Dialect::MSSQL);
    f.host.conn.failWhenContains("(2,", "23000:Violation of PRIMARY KEY constraint");
    f.run();
    EXPECT_EQ(f.host.sent().size(), 3);
    EXPECT_EQ(f.host.errors, QStringList{"23000:Violation of PRIMARY KEY constraint"});
    EXPECT_TRUE(f.host.tableFailed);
}

TEST(RunCopyLoop, SpecialTimeFieldsTakeTheFirstRowsDate)
{
    FakeHost host;
    host.opts.dialect = Dialect::MSSQL;
    host.table = "Terminkalender";
    host.afterCreation = true;
    host.db.addTable("Terminkalender",
                     {makeField("Datum", dao::dbDate), makeField("Zeit", dao::dbDate), makeField("Bis", dao::dbDate)});
    const QDateTime feb1(QDate(2024, 2, 1), QTime(8, 0, 0), Qt::UTC);
    host.db.rows["Terminkalender"] = {FakeRow{feb1, march5, march5}, FakeRow{march5, march5.addSecs(60), QVariant()}};
    TableFlags flags;
    flags.structureRan = true;
    flags.terminkalender = true;
    flags.zeitPosition = 1;
    flags.zeit1Position = 1;
    auto rs = host.db.openFake("Terminkalender");
    RunCopyLoop(host, *rs, flags);
    EXPECT_EQ(host.sent(), (QStringList{
                               "INSERT INTO Terminkalender (\"Datum\",\"Zeit\",\"Bis\") VALUES "
                               "('20240201 08:00:00','20240201 14:07:09','20240305 14:07:09')",
                               "INSERT INTO Terminkalender (\"Datum\",\"Zeit\") VALUES ('20240305 14:07:09','20240201 14:08:09')",
                           }));

    // Without the structure phase the fields are ordinary.
    host.conn.statements.clear();
    rs = host.db.openFake("Terminkalender");
    RunCopyLoop(host, *rs, TableFlags{});
    EXPECT_TRUE(host.sent().first().endsWith("VALUES ('20240201 08:00:00','20240305 14:07:09','20240305 14:07:09')"));
    EXPECT_TRUE(host.errors.isEmpty());
}

TEST(RunCopyLoop, MissingDateBaseIsLoggedAndOwnDateUsed)
{
    FakeHost host;
    host.opts.dialect = Dialect::Oracle;
    host.table = "Formularprotokoll";
    host.afterCreation = true;
    host.db.addTable("Formularprotokoll", {makeField("Datum", dao::dbDate), makeField("Uhrzeit", dao::dbDate)});
    host.db.rows["Formularprotokoll"] = {FakeRow{QVariant(), march5}};
    TableFlags flags;
    flags.structureRan = true;
    flags.formularprotokoll = true;
    flags.uhrzeitPosition = 1;
    auto rs = host.db.openFake("Formularprotokoll");
    RunCopyLoop(host, *rs, flags);
    EXPECT_EQ(host.errors, QStringList{"Unzulässige Verwendung von Null"});
    EXPECT_EQ(host.sent(),
              QStringList{"INSERT INTO Formularprotokoll (Uhrzeit) VALUES (TIMESTAMP'2024-03-05 14:07:09')"});

    FakeHost none;
    none.table = "Formularprotokoll";
    none.afterCreation = true;
    none.db.addTable("Formularprotokoll", {makeField("Uhrzeit", dao::dbDate)});
    none.db.rows["Formularprotokoll"] = {FakeRow{march5}};
    flags.uhrzeitPosition = 0;
    rs = none.db.openFake("Formularprotokoll");
    RunCopyLoop(none, *rs, flags);
    EXPECT_EQ(none.errors.size(), 1);
    EXPECT_EQ(none.sent(), QStringList{"INSERT INTO Formularprotokoll (\"Uhrzeit\") VALUES ('20240305 14:07:09')"});
}

// NUL characters: MySQL receives them (CHAR(0) between the pieces of the
// text); the other dialects get a blank, as they always did, and the copy says
// so in the error log.
TEST(RenderValue, NulCharactersPerDialect)
{
    const QString s = QString::fromUtf16(u"a\0b'c\0", 6);
    EXPECT_EQ(render(dao::dbText, s, Dialect::MySQL),
              "CONCAT('a',CHAR(0 USING utf8mb4),'b''c',CHAR(0 USING utf8mb4))");
    EXPECT_EQ(render(dao::dbMemo, QString::fromUtf16(u"\0\0", 2), Dialect::MySQL),
              "CONCAT(CHAR(0 USING utf8mb4),CHAR(0 USING utf8mb4))");
    for (Dialect d : {Dialect::MSSQL, Dialect::Sybase, Dialect::Oracle, Dialect::DB2})
        EXPECT_EQ(render(dao::dbText, s, d), "'a b''c '") << dialectName(d).toStdString();
}

TEST(RunCopyLoop, BlankedNulCharactersAreNotedOnce)
{
    for (Dialect d : {Dialect::MySQL, Dialect::Oracle}) {
        FakeHost host;
        host.opts.dialect = d;
        host.table = QStringLiteral("Artikel");
        FakeRecordset rs({makeField("Name", dao::dbText, 9)},
                         {{QString::fromUtf16(u"a\0b", 3)}, {QString::fromUtf16(u"\0", 1)}});
        RunCopyLoop(host, rs, {});
        EXPECT_TRUE(host.errors.isEmpty());
        EXPECT_FALSE(host.tableFailed);
        if (d == Dialect::MySQL)
            EXPECT_TRUE(host.notes.isEmpty());
        else
            EXPECT_EQ(host.notes, QStringList{QStringLiteral("Tabelle Artikel: NUL-Zeichen in Texten wurden als "
                                                             "Leerzeichen übertragen (dieser SQL-Server-Dialekt "
                                                             "erhält sie nicht).")});
    }
}

TEST(RenderValue, TextsThatAreNoUnicodeAreReported)
{
    // A high surrogate without its low half, and a pair that is whole.
    const QString broken = QString::fromUtf16(u"a\xD800" u"b\xD83D\xDE00", 5);
    QStringList errors;
    const QString out = RenderValue(makeField("Logo", dao::dbMemo, 0), broken, {}, Dialect::MySQL, false, std::nullopt,
                                    [&](const TabrixError& e) { errors.append(e.description()); });
    EXPECT_EQ(out, QString::fromUtf16(u"'a\xFFFD" u"b\xD83D\xDE00'", 7));
    EXPECT_EQ(errors, QStringList{QStringLiteral("Feld Logo: der Text enthält ungültige Zeichen (einzelne "
                                                 "UTF-16-Ersatzzeichen); sie wurden durch \uFFFD ersetzt.")});
}

// Names as they stand: a grave accent doubled between grave accents, a table
// name the server cannot read bare put between them on MySQL.
TEST(InsertStatement, HostileNamesPerDialect)
{
    const QList<dao::Field> fields{makeField("I`o", dao::dbLong, 4), makeField("Me\"ge", dao::dbLong, 4)};
    const QList<QVariant> row{1, 2};
    const auto insert = [&](Dialect d) {
        RowStatementBuilder b(QStringLiteral("Ku'den"), fields, d);
        return b.InsertStatement(row, on(d));
    };
    EXPECT_EQ(insert(Dialect::MySQL), "INSERT INTO `Ku'den` (`I``o`,`Me\"ge`) VALUES (1,2)");
    EXPECT_EQ(insert(Dialect::MSSQL), "INSERT INTO Ku'den (\"I`o\",\"Me\"\"ge\") VALUES (1,2)");
    EXPECT_EQ(insert(Dialect::Sybase), "INSERT INTO Ku'den (I`o,Me\"ge) VALUES (1,2)");
    EXPECT_EQ(insert(Dialect::Oracle), "INSERT INTO Ku'den (I`o,Me\"ge) VALUES (1,2)");
    EXPECT_EQ(insert(Dialect::DB2), "INSERT INTO Ku'den (I`o,Me\"ge) VALUES (1,2)");
}
