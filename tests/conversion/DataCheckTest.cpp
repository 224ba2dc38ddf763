// The check of a table's data: the figures the copy gathers, the aggregate
// query of each dialect, and the comparison with the server's answer.

#include "conversion/DataCheck.h"

#include "FakeDatabase.h"
#include "RecordingHost.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

QVariant when(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// Kunden: one field of each kind the check tells apart, three rows.
const QList<dao::Field> kFields = {
    makeField("Nr", dao::dbLong),         makeField("Aktiv", dao::dbBoolean), makeField("Betrag", dao::dbCurrency),
    makeField("Anteil", dao::dbDecimal),  makeField("Wert", dao::dbSingle),   makeField("Maß", dao::dbDouble),
    makeField("Seit", dao::dbDate),       makeField("Name", dao::dbText, 30), makeField("Notiz", dao::dbMemo),
    makeField("Bild", dao::dbLongBinary),
};
// A null cell with a default stands for its default ("0", "1"): the row statement sends it.
const QList<FakeRow> kRows = {
    {1204, true, QVariant::fromValue(dao::Currency{125000}), QStringLiteral("1.25"), 0.1f, 2.5,
     when(2024, 3, 5, 14, 7, 9), QStringLiteral("Müller"), QStringLiteral("a😀b"), QByteArray("x")},
    {-3, false, QVariant::fromValue(dao::Currency{-1}), QStringLiteral("2"), QVariant(), 1e-7, when(201, 1, 2),
     QString(), QVariant(), QVariant()},
    {1000000, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QStringLiteral("O'Neil"),
     QStringLiteral(" "), QVariant()},
};
const QStringList kDefaults = {{}, QStringLiteral("1"), QStringLiteral("0")};

DataCheck kunden(Dialect dialect)
{
    DataCheck check(QStringLiteral("Kunden"), kFields, dialect);
    for (const FakeRow& row : kRows) {
        check.addRow();
        for (int i = 0; i < kFields.size(); ++i) {
            dao::CellValue cell;
            cell.assign(row.value(i));
            check.addCell(i, cell, kDefaults.value(i));
        }
    }
    return check;
}

// What MariaDB answers for the three rows, figure by figure.
// clang-format off
const QList<QVariant> kAnswer = {
    3,                                                                                   // rows
    3, "1001201", -3, 1000000,                                           // Nr
    3, "2",                                                              // Aktiv
    3, "12.4999", "-0.0001", "12.5000",  // Betrag
    2, "3.25", "1.25", "2.00",           // Anteil
    1, double(0.1f), double(0.1f),                                                       // Wert
    2, 1e-7, 2.5,                                                                        // Maß
    2, "0201-01-02 00:00:00", "2024-03-05 14:07:09",     // Seit
    3, "12",                                                             // Name
    2, "4",                                                              // Notiz
    1,                                                                                   // Bild
};
// clang-format on

}  // namespace

TEST(DataCheck, QueryOfEachDialect)
{
    // Whole sums that cannot overflow, Yes/No values summed, characters counted exactly (none on Sybase), long
    // columns counted with IS NULL, a sum for no Single; the table's name delimited where it cannot stand bare.
    const QList<dao::Field> fields = {makeField("Nr", dao::dbLong), makeField("Aktiv", dao::dbBoolean),
                                      makeField("Wert", dao::dbSingle), makeField("Name", dao::dbText, 30),
                                      makeField("Notiz", dao::dbMemo)};
    const QString figures = QStringLiteral("COUNT(*), COUNT(#Nr#), %1, MIN(#Nr#), MAX(#Nr#), COUNT(#Aktiv#), %2, "
                                           "COUNT(#Wert#), MIN(#Wert#), MAX(#Wert#), COUNT(#Name#), %3"
                                           "COUNT(CASE WHEN #Notiz# IS NOT NULL THEN 1 END)%4 FROM ");
    const struct {
        Dialect dialect;
        QString quote, wholeSum, flagSum, text, memo, table;
    } cases[] = {
        {Dialect::MySQL, "`", "SUM(`Nr`)", "SUM(`Aktiv`)", "SUM(CHAR_LENGTH(`Name`)), ", ", SUM(CHAR_LENGTH(`Notiz`))",
         "`Order Details`"},
        {Dialect::MSSQL, "\"", "SUM(CAST(\"Nr\" AS BIGINT))", "SUM(CAST(\"Aktiv\" AS INT))",
         "SUM(CAST(LEN(\"Name\" + '.') - 1 AS BIGINT)), ",
         ", SUM(CAST(LEN(CAST(\"Notiz\" AS VARCHAR(MAX)) + '.') - 1 AS BIGINT))", "[Order Details]"},
        {Dialect::Sybase, "", "SUM(CONVERT(NUMERIC(38,0), Nr))", "SUM(CONVERT(INT, Aktiv))", "", "", "[Order Details]"},
        {Dialect::Oracle, "", "SUM(Nr)", "SUM(Aktiv)", "SUM(LENGTH(Name)), ", ", SUM(LENGTH(Notiz))",
         "\"Order Details\""},
        {Dialect::DB2, "", "SUM(CAST(Nr AS BIGINT))", "SUM(CAST(Aktiv AS BIGINT))",
         "SUM(CAST(LENGTH(Name, CODEUNITS32) AS BIGINT)), ", ", SUM(CAST(LENGTH(Notiz, CODEUNITS32) AS BIGINT))",
         "\"Order Details\""},
    };
    for (const auto& c : cases) {
        const DataCheck check(QStringLiteral("Order Details"), fields, c.dialect);
        QString expected = figures.arg(c.wholeSum, c.flagSum, c.text, c.memo);
        expected.replace(QLatin1Char('#'), c.quote);
        EXPECT_EQ(check.Query(), QStringLiteral("SELECT ") + expected + c.table)
            << dialectName(c.dialect).toStdString();
    }
}

TEST(DataCheck, EachFigureThatDiffersIsOneLine)
{
    const auto line = [](const char* text) { return QStringLiteral("Tabelle Kunden") + QString::fromUtf8(text); };
    const struct {
        const char* name;
        Dialect dialect;
        QList<QPair<int, QVariant>> answer;  // changed figures of kAnswer
        QStringList lines;
    } cases[] = {
        {"every figure agrees", Dialect::MySQL, {}, {}},
        {"DB2's spellings",
         Dialect::DB2,
         {{1, "3"}, {2, 1001201.0}, {8, "12.4999"}, {22, "0201-01-02-00.00.00.0"}},
         {}},
        {"a float as a double, a date, a wide decimal's zeros",
         Dialect::MSSQL,
         {{17, "0.100000001490116"}, {23, when(2024, 3, 5, 14, 7, 9)}, {10, "12.5000000000000000000000000000000"}},
         {}},
        {"a row less", Dialect::MySQL, {{0, 2}}, {line(": 3 Datensätze in Access, 2 auf dem Server")}},
        {"a cell less, sums and extremes",
         Dialect::MySQL,
         {{1, 2}, {2, "1001200"}, {9, QVariant()}, {10, "12.50001"}},
         {line(", Feld Nr: 3 Zellen in Access, 2 auf dem Server"),
          line(", Feld Nr: Summe 1.001.201 in Access, 1.001.200 auf dem Server"),
          line(", Feld Betrag: kleinster Wert -0,0001 in Access, keiner auf dem Server"),
          line(", Feld Betrag: größter Wert 12,5 in Access, 12,50001 auf dem Server")}},
        {"Yes values, characters, a float and a double, a date",
         Dialect::MySQL,
         {{6, 1}, {25, "11"}, {27, 5}, {16, 0.2}, {20, 2.5000001}},
         {line(", Feld Aktiv: 2 Ja-Werte in Access, 1 auf dem Server"),
          line(", Feld Wert: kleinster Wert 0,1 in Access, 0,2 auf dem Server"),
          line(", Feld Maß: größter Wert 2,5 in Access, 2,5000001 auf dem Server"),
          line(", Feld Name: 12 Zeichen in Access, 11 auf dem Server"),
          line(", Feld Notiz: 4 Zeichen in Access, 5 auf dem Server")}},
        {"a date",
         Dialect::MySQL,
         {{22, "0201-01-02"}, {23, "2024-03-05 14:07:09.5"}},
         {line(", Feld Seit: größter Wert 05.03.2024 14:07:09 in Access, 05.03.2024 14:07:09,5 auf dem Server")}},
        // Oracle keeps an empty text as NULL: two cells of Name, not three.
        {"Oracle's empty text", Dialect::Oracle, {{24, 2}}, {}},
        {"an empty text counted", Dialect::Oracle, {}, {line(", Feld Name: 2 Zellen in Access, 3 auf dem Server")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DataCheck check = kunden(c.dialect);
        ASSERT_EQ(check.figureCount(), kAnswer.size());
        QList<QVariant> answer = kAnswer;
        for (const auto& [figure, value] : c.answer)
            answer[figure] = value;
        const DataCheckOutcome outcome = check.Compare(answer);
        QStringList lines;
        for (const DataDifference& d : outcome.differences)
            lines << d.line;
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(outcome.result, c.lines.isEmpty() ? DataCheckResult::Passed : DataCheckResult::Differences);
        EXPECT_EQ(outcome.rowsOnServer, answer[0].toLongLong());
    }
}

TEST(DataCheck, RunOnATableOfTheConversion)
{
    // A Long column, one row; the recording server answers every figure with the same value.
    const auto oneRow = [](LeftOutRows why, qint64 left) {
        DataCheck check(QStringLiteral("T"), {makeField("Nr", dao::dbLong)}, Dialect::MySQL);
        dao::CellValue cell;
        cell.assign(1);
        check.addRow();
        check.addCell(0, cell);
        check.leaveOut(why, left);
        return check;
    };
    const QString notChecked = QStringLiteral("Tabelle T: Daten nicht geprüft (%1).");
    const struct {
        LeftOutRows why;
        qint64 left;
        QVariant answer;  // invalid: the server refuses the query
        DataCheckResult result;
        QStringList log;  // besides the lines of the differences
    } cases[] = {
        {LeftOutRows::Damaged, 2, 1, DataCheckResult::Passed, {}},
        {LeftOutRows::WithoutValues, 1, 2, DataCheckResult::Differences, {}},
        {LeftOutRows::Damaged,
         0,
         {},
         DataCheckResult::NotChecked,
         {notChecked.arg("der Server beantwortete die Prüfabfrage nicht: 42000:denied")}},
        {LeftOutRows::OtherWorkstations,
         3,
         1,
         DataCheckResult::NotChecked,
         {notChecked.arg("andere Arbeitsplätze füllen dieselbe Tabelle")}},
    };
    for (const auto& c : cases) {
        RecordingHost host;
        if (c.answer.isValid())
            host.server.answerWhenStartsWith(QStringLiteral("SELECT COUNT(*)"), c.answer);
        else
            host.server.failWhenStartsWith(QStringLiteral("SELECT COUNT(*)"), QStringLiteral("42000:denied"));
        TableRun run = host.run();
        const DataCheckOutcome outcome = RunDataCheck(run, oneRow(c.why, c.left));
        EXPECT_EQ(outcome.result, c.result);
        QStringList log = c.log;
        for (const DataDifference& d : outcome.differences)
            log << d.line;
        EXPECT_EQ(outcome.differences.size(), c.result == DataCheckResult::Differences ? 5 : 0);
        EXPECT_EQ(host.notes, log);
        EXPECT_EQ(run.logLines(), log);
        // Nothing is asked where the figures cannot be compared.
        EXPECT_EQ(host.server.statements.size(), c.why == LeftOutRows::OtherWorkstations ? 0 : 1);
        EXPECT_EQ(outcome.leftOut, oneRow(c.why, c.left).leftOutText());
    }
    EXPECT_EQ(oneRow(LeftOutRows::Damaged, 1234).leftOutText(), QStringLiteral("1.234 beschädigte Datensätze"));
    EXPECT_EQ(oneRow(LeftOutRows::WithoutValues, 1).leftOutText(), QStringLiteral("1 Datensatz ohne Werte"));
}
