// The row copy: one INSERT statement per Access row, shared between workstations.

#include "QtPrinters.h"
#include "RecordingHost.h"
#include "conversion/CopyLoop.h"
#include "conversion/RowStatement.h"
#include "core/WorkstationShare.h"
#include "server/ExecuteSql.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QDateTime march5(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);

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

TEST(InsertStatement, FullRowPerDialect)
{
    const QList<dao::Field> fields{makeField("Nr", dao::dbLong, 4, true),
                                   makeField("Name", dao::dbText, 40),
                                   makeField("Am", dao::dbDate),
                                   makeField("Aktiv", dao::dbBoolean),
                                   makeField("AUFTRAGSBESTÄTIGUNG_Französisch", dao::dbMemo),
                                   makeField("Check", dao::dbDouble)};
    const FakeRow row{7, QStringLiteral("O'Neil"), march5, true, QStringLiteral("oui"), 12.5};
    const auto stmt = [&](Dialect d, const QString& table = "Artikel") {
        RowStatementBuilder b(table, fields, d);
        return b.InsertStatement(row, on(d));
    };
    EXPECT_EQ(stmt(Dialect::MSSQL),
              "INSERT INTO Artikel (\"Nr\",\"Name\",\"Am\",\"Aktiv\","
              "\"AuftragsbestätigungFranzösisch\",\"Check\") VALUES "
              "(7,'O''Neil','20240305 14:07:09',1,'oui',12.5)");
    EXPECT_EQ(stmt(Dialect::MySQL),
              "INSERT INTO Artikel (`Nr`,`Name`,`Am`,`Aktiv`,`AuftragsbestätigungFranzösisch`,"
              "`Check`) VALUES (7,'O''Neil','2024-03-05 14:07:09',1,'oui',12.5)");
    EXPECT_EQ(stmt(Dialect::Sybase),
              "INSERT INTO Artikel (Nr,Name,Am,Aktiv,AuftragsbestätigungFranzösisch,[Check]) "
              "VALUES (7,'O''Neil','20240305 14:07:09',1,'oui',12.5)");
    EXPECT_EQ(stmt(Dialect::Oracle),
              "INSERT INTO Artikel (Nr,Name,Am,Aktiv,AuftragsbestätigungFranzösisch,\"CHECK\") "
              "VALUES (7,'O''Neil',TIMESTAMP'2024-03-05 14:07:09',1,'oui',12.5)");
    EXPECT_EQ(stmt(Dialect::DB2),
              "INSERT INTO Artikel (Nr,Name,Am,Aktiv,AuftragsbestätigungFranzösisch,\"CHECK\") "
              "VALUES (7,'O''Neil','2024-03-05-14.07.09',1,'oui',12.5)");
    EXPECT_EQ(stmt(Dialect::DB2, "F5SB90R"),
              "INSERT INTO F5SB90R (\"Nr\",\"Name\",\"Am\",\"Aktiv\","
              "\"AuftragsbestätigungFranzösisch\",\"Check\") VALUES "
              "(7,'O''Neil','2024-03-05-14.07.09',1,'oui',12.5)");
}

// Values of the columns whose server types differ between the dialects: each
// literal is one its column accepts (DECIMAL/NUMBER, LONGBLOB/BLOB, VARBINARY/
// RAW/BLOB, CHAR(38), LONGTEXT/CLOB).
TEST(InsertStatement, ChangedTypesPerDialect)
{
    const QList<dao::Field> fields{makeField("Umsatz", dao::dbCurrency, 8),  makeField("Logo", dao::dbLongBinary),
                                   makeField("Kennung", dao::dbGUID, 16),    makeField("Roh", dao::dbBinary, 2),
                                   makeField("Dezimal", dao::dbDecimal, 16), makeField("Notiz", dao::dbMemo)};
    const FakeRow row{
        currency(-12345678),       QByteArray("\x00'", 2),   QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"),
        QByteArray("\x01\xFE", 2), QStringLiteral("-12.05"), QStringLiteral("Zeile")};
    const auto values = [&](Dialect d) {
        RowStatementBuilder b("T", fields, d);
        const QString s = b.InsertStatement(row, on(d));
        return s.mid(s.indexOf(" VALUES ") + 8);
    };
    EXPECT_EQ(values(Dialect::MSSQL),
              "(-1234.5678,0x0027,'{6F9619FF-8B86-D011-B42D-00C04FC964FF}',0x01FE,-12.05,'Zeile')");
    EXPECT_EQ(values(Dialect::Sybase),
              "(-1234.5678,0x0027,'{6F9619FF-8B86-D011-B42D-00C04FC964FF}',0x01FE,-12.05,'Zeile')");
    EXPECT_EQ(values(Dialect::MySQL),
              "(-1234.5678,X'0027','{6F9619FF-8B86-D011-B42D-00C04FC964FF}',X'01FE',-12.05,'Zeile')");
    EXPECT_EQ(values(Dialect::Oracle),
              "(-1234.5678,HEXTORAW('0027'),'{6F9619FF-8B86-D011-B42D-00C04FC964FF}',"
              "HEXTORAW('01FE'),-12.05,'Zeile')");
    EXPECT_EQ(values(Dialect::DB2),
              "(-1234.5678,BLOB(X'0027'),'{6F9619FF-8B86-D011-B42D-00C04FC964FF}',"
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

    // Where the server has a default of its own (Now()), an empty cell stays empty.
    RowStatementBuilder now("T", {makeField("Nr", dao::dbLong), makeField("Am", dao::dbDate, 0, false, "=Now()")},
                            Dialect::MSSQL);
    EXPECT_EQ(now.InsertStatement(FakeRow{1, QVariant()}, on(Dialect::MSSQL)),
              "INSERT INTO T (\"Nr\",\"Am\") VALUES (1,NULL)");
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
        {1, QStringLiteral("kurz"), march5, QStringLiteral("Ulm")}, {2, plainLong, QVariant(), QVariant()},
        {3, QString(""), march5, QStringLiteral("Bonn")},           {4, quotedLong, march5, QVariant()},
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

// The statements sent, an array "… VALUES (?,?) <- (1,'a'),(2,'b')" read as the shared INSERT of its rows.
QStringList asLiterals(QStringList sent)
{
    return sent.replaceInStrings(QRegularExpression(R"(VALUES \([?,]+\) <- )"), "VALUES ");
}

// A host with table T (Nr Long, Name Text) holding rows Nr 1..count.
struct CopyFixture {
    RecordingHost host;
    std::unique_ptr<FakeRecordset> rs;
    explicit CopyFixture(int rows, Dialect d = Dialect::MySQL)
    {
        host.settings.dialect = d;
        host.table = "T";
        host.afterCreation = true;
        host.db.addTable("T", {makeField("Nr", dao::dbLong), makeField("Name", dao::dbText, 10)});
        for (int i = 1; i <= rows; ++i)
            host.db.rows["T"].append(FakeRow{i, QString("n%1").arg(i)});
        rs = host.db.openFake("T");
    }
    void run(const TableFlags& flags = {}) { RunCopyLoop(host, *rs, flags); }
    // Copies with "Mehrere Zeilen je INSERT" or without; the server answers whether the table allows it.
    void shareInserts(bool shared, int allowed = 1)
    {
        host.multiRow = shared;
        host.server.answerWhenStartsWith("SELECT @@SESSION.sql_mode", allowed);
        rs = host.db.openFake("T");
        run();
    }
};

}  // namespace

TEST(RunCopyLoop, CopiesEveryRowWithStatusAndProgress)
{
    CopyFixture f(3);
    f.host.db.rows["T"][1] = FakeRow{QVariant(), QVariant()};
    f.rs = f.host.db.openFake("T");
    f.run();
    EXPECT_EQ(
        f.host.sent(),
        (QStringList{"INSERT INTO T (`Nr`,`Name`) VALUES (1,'n1')", "INSERT INTO T (`Nr`,`Name`) VALUES (3,'n3')"}));
    EXPECT_EQ(f.host.statuses, (QStringList{"1/3 (0)  :  33%", "2/3 (0)  :  66%", "3/3 (1)  :  100%"}));
    EXPECT_EQ(f.host.progress, (QStringList{"start 3", "step 1", "step 2", "step 3", "step 0"}));
}

TEST(RunCopyLoop, WorkstationShareAndAbort)
{
    CopyFixture f(6);
    f.host.count = "2";
    f.host.number = "2";
    f.run();
    EXPECT_EQ(f.host.sent(),
              (QStringList{"INSERT INTO T (`Nr`,`Name`) VALUES (2,'n2')", "INSERT INTO T (`Nr`,`Name`) VALUES (4,'n4')",
                           "INSERT INTO T (`Nr`,`Name`) VALUES (6,'n6')"}));
    EXPECT_EQ(f.host.statuses.size(), 6);

    CopyFixture a(5);
    a.host.server.afterExecute = [&](const QString& s) {
        if (s.contains("(2,"))
            a.host.closing = true;
    };
    EXPECT_FALSE(RunCopyLoop(a.host, *a.rs, {}));
    EXPECT_EQ(a.host.sent().size(), 2);
    EXPECT_EQ(a.host.progress.last(), "step 0");
    // Stopped before the last row: the table fails, and the log says how far the copy came.
    EXPECT_EQ(a.host.errors, QStringList{"Tabelle T: Kopie nach 2 von 5 Datensätzen abgebrochen."});
    EXPECT_TRUE(a.host.tableFailed);
    EXPECT_EQ(CopyCutShortText("T", 0, 7, "vom Benutzer angehalten"),
              "Tabelle T: Kopie nach 0 von 7 Datensätzen abgebrochen (vom Benutzer angehalten).");

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
    EXPECT_TRUE(f.host.server.statements.isEmpty());
}

TEST(RunCopyLoop, RejectedRowIsLoggedAndCopyGoesOn)
{
    CopyFixture f(3, Dialect::MSSQL);
    f.host.server.failWhenContains("(2,", "23000:Violation of PRIMARY KEY constraint");
    f.run();
    EXPECT_EQ(f.host.sent().size(), 3);
    EXPECT_EQ(f.host.errors, QStringList{"23000:Violation of PRIMARY KEY constraint"});
    EXPECT_TRUE(f.host.tableFailed);
}

TEST(RunCopyLoop, SpecialTimeFieldsTakeTheFirstRowsDate)
{
    RecordingHost host;
    host.settings.dialect = Dialect::MSSQL;
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
    EXPECT_EQ(host.sent(),
              (QStringList{
                  "INSERT INTO Terminkalender (\"Datum\",\"Zeit\",\"Bis\") VALUES "
                  "('20240201 08:00:00','20240201 14:07:09','20240305 14:07:09')",
                  "INSERT INTO Terminkalender (\"Datum\",\"Zeit\") VALUES ('20240305 14:07:09','20240201 14:08:09')",
              }));

    // Without the structure phase the fields are ordinary.
    host.server.statements.clear();
    rs = host.db.openFake("Terminkalender");
    RunCopyLoop(host, *rs, TableFlags{});
    EXPECT_TRUE(host.sent().first().endsWith("VALUES ('20240201 08:00:00','20240305 14:07:09','20240305 14:07:09')"));
    EXPECT_TRUE(host.errors.isEmpty());
}

TEST(RunCopyLoop, MissingDateBaseIsLoggedAndOwnDateUsed)
{
    RecordingHost host;
    host.settings.dialect = Dialect::Oracle;
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

    RecordingHost none;
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
TEST(RunCopyLoop, BlankedNulCharactersAreNotedOnce)
{
    for (Dialect d : {Dialect::MySQL, Dialect::Oracle}) {
        RecordingHost host;
        host.settings.dialect = d;
        host.table = QStringLiteral("Artikel");
        FakeRecordset rs({makeField("Name", dao::dbText, 9)},
                         {{QString::fromUtf16(u"a\0b", 3)}, {QString::fromUtf16(u"\0", 1)}});
        RunCopyLoop(host, rs, {});
        EXPECT_TRUE(host.errors.isEmpty());
        EXPECT_FALSE(host.tableFailed);
        if (d == Dialect::MySQL)
            EXPECT_TRUE(host.notes.isEmpty());
        else
            EXPECT_EQ(host.notes,
                      QStringList{QStringLiteral("Tabelle Artikel: NUL-Zeichen in Texten wurden als "
                                                 "Leerzeichen übertragen (dieser SQL-Server-Dialekt "
                                                 "erhält sie nicht).")});
    }
}

TEST(InsertStatement, HostileNamesPerDialect)
{
    const QList<dao::Field> fields{makeField("I`o", dao::dbLong, 4), makeField("Me\"ge", dao::dbLong, 4)};
    const QList<QVariant> row{1, 2};
    const auto insert = [&](Dialect d) {
        RowStatementBuilder b(QStringLiteral("Ku'den"), fields, d);
        return b.InsertStatement(row, on(d));
    };
    EXPECT_EQ(insert(Dialect::MySQL), "INSERT INTO `Ku'den` (`I``o`,`Me\"ge`) VALUES (1,2)");
    EXPECT_EQ(insert(Dialect::MSSQL), "INSERT INTO [Ku'den] (\"I`o\",\"Me\"\"ge\") VALUES (1,2)");
    EXPECT_EQ(insert(Dialect::Sybase), "INSERT INTO [Ku'den] ([I`o],[Me\"ge]) VALUES (1,2)");
    EXPECT_EQ(insert(Dialect::Oracle), "INSERT INTO \"Ku'den\" (\"I`o\",\"Me\"\"ge\") VALUES (1,2)");
    EXPECT_EQ(insert(Dialect::DB2), "INSERT INTO \"Ku'den\" (\"I`o\",\"Me\"\"ge\") VALUES (1,2)");
}

// Rows of equal columns share one INSERT, a row of other columns starts the next (row 3 has no name, row 4
// no cell). Other dialects, and tables whose rejected statements the server cannot take back: row by row.
TEST(RunCopyLoop, RowsOfEqualColumnsShareOneInsert)
{
    const QString both = "INSERT INTO T (`Nr`,`Name`) VALUES ", nr = "INSERT INTO T (`Nr`) VALUES ";
    // dialect, the server's answer, workstation count and number, the statements (none: as row by row)
    for (const auto& [dialect, allowed, pc, shared] : std::vector<std::tuple<Dialect, int, QString, QStringList>>{
             {Dialect::MySQL, 1, "1", {both + "(1,'n1'),(2,'n2')", nr + "(3)", both + "(5,'n5'),(6,'n6')"}},
             {Dialect::MySQL, 1, "2", {both + "(2,'n2'),(6,'n6')"}},
             {Dialect::MySQL, 0, "1", {}},
             {Dialect::Oracle, 1, "1", {}}}) {
        QStringList sent[2];
        for (const bool on : {false, true}) {
            CopyFixture f(6, dialect);
            f.host.db.rows["T"][2][1] = QVariant();
            f.host.db.rows["T"][3] = FakeRow{QVariant(), QVariant()};
            f.host.count = f.host.number = pc;
            f.shareInserts(on, allowed);
            sent[on] = asLiterals(f.host.sent());
            EXPECT_EQ(f.host.statuses.value(4), "5/6 (1)  :  83%");
        }
        EXPECT_EQ(sent[1], shared.isEmpty() ? sent[0] : shared);
    }
}

// The user logs in again (perhaps to another server) while row 3 of 5 is read: no row goes through the new
// login, and the log counts the rows that went through the old one.
TEST(RunCopyLoop, RowsGoOnlyThroughTheLoginTheCopyBeganWith)
{
    for (const auto& [shared, sent] : std::vector<std::pair<bool, int>>{{false, 2}, {true, 0}}) {
        CopyFixture f(5);
        f.host.onYield = [&f] { f.host.loginNumber = f.host.statuses.size() >= 3 ? 2 : 1; };
        f.shareInserts(shared);
        EXPECT_EQ(f.host.sent().size(), sent);
        EXPECT_EQ(f.host.errors,
                  QStringList{QString("Tabelle T: Kopie nach %1 von 5 Datensätzen abgebrochen.").arg(sent)});
    }
}

// A cell that cannot be read passes its whole row over; the next row is built
// afresh, so no value goes under another column's name.
TEST(RunCopyLoop, AnUnreadableCellPassesItsRowOver)
{
    for (const bool shared : {false, true}) {
        RecordingHost host;
        host.settings.dialect = Dialect::MySQL;
        host.table = "T";
        host.afterCreation = true;
        host.multiRow = shared;
        host.server.answerWhenStartsWith("SELECT @@SESSION.sql_mode", 1);
        host.db.addTable(
            "T", {makeField("Nr", dao::dbLong), makeField("Name", dao::dbText, 9), makeField("Ort", dao::dbMemo)});
        host.db.rows["T"] = {FakeRow{1, "a", "x"}, FakeRow{2, QVariant(), UnreadableCell("Seite 66 fehlt.")},
                             FakeRow{3, QVariant(), "z"}};
        auto rs = host.db.openFake("T");
        RunCopyLoop(host, *rs, {});
        const QString head = "INSERT INTO T (`Nr`,`Name`,`Ort`) VALUES (1,'a','x')";
        EXPECT_EQ(asLiterals(host.sent()).join('|'), head + "|INSERT INTO T (`Nr`,`Ort`) VALUES (3,'z')");
        EXPECT_EQ(host.errors,
                  (QStringList{"Tabelle T: Datensatz 2 übersprungen: Seite 66 fehlt.",
                               "Tabelle T: nur 2 von 3 Datensätzen lesbar, 1 Datensätze fehlen (die "
                               "Access-Datenbank ist beschädigt)."}));
    }
}

// After a rejected shared INSERT only a definite refusal sends the rows again
// one by one, and only through the login the copy began with.
TEST(RunCopyLoop, TheFallbackSendsNothingTwiceAndNothingToANewLogin)
{
    CopyFixture timeout(3);
    timeout.host.server.failWhenContains("),(", "HYT00:[ma-3.1.15]Timeout expired");
    // The table ends there.
    EXPECT_THROW(timeout.shareInserts(true), ConversionEnded);
    EXPECT_EQ(timeout.host.sent().size(), 1);  // the shared one, never again row by row
    EXPECT_TRUE(timeout.host.tableFailed);
    EXPECT_EQ(timeout.host.errors.first(), "HYT00:[ma-3.1.15]Timeout expired");

    CopyFixture login(3);
    login.host.server.failWhenContains("),(", "23000:[ma-3.1.15][10.11.19-MariaDB]Duplicate entry");
    login.host.onYield = [&login] {
        if (!login.host.server.statements.filter("),(").isEmpty())
            login.host.loginNumber = 2;
    };
    login.shareInserts(true);
    EXPECT_EQ(login.host.sent().size(), 1);
    EXPECT_EQ(login.host.errors, QStringList{"Tabelle T: Kopie nach 0 von 3 Datensätzen abgebrochen."});
}

// A 150,000-character memo among rows of 110 characters, the server taking 600,000 bytes: no statement
// over 1,000 rows or that size, and together they hold every row in order.
TEST(RunCopyLoop, SharedInsertsStayBelowTheServersLimit)
{
    CopyFixture f(2500);
    QString values;
    for (int i = 0; i < 2500; ++i) {
        f.host.db.rows["T"][i][1] = i == 1199 ? QString(150000, 'm') : QString(100, 'x') + QString::number(i + 1);
        values += QStringLiteral(",(%1,'%2')").arg(i + 1).arg(f.host.db.rows["T"][i][1].toString());
    }
    f.host.server.maxStatementBytes = 600000;
    qputenv("TABRIX_PARAMETER_ARRAYS", "0");
    f.shareInserts(true);
    qunsetenv("TABRIX_PARAMETER_ARRAYS");
    QList<qsizetype> rows;  // in each statement, or -1 for one over the limit
    for (const QString& s : f.host.sent())
        rows.append(s.toUtf8().size() <= 600000 ? s.count("),(") + 1 : -1);
    EXPECT_EQ(rows, (QList<qsizetype>{1000, 436, 1000, 64}));
    EXPECT_TRUE(f.host.sent().join(',').remove("INSERT INTO T (`Nr`,`Name`) VALUES ") == values.mid(1));
}

// An array the server refused stored none of its rows: they go again one INSERT per row from its first,
// meeting the server's errors as a copy row by row does.
TEST(RunCopyLoop, ARefusedArrayIsSentAgainRowByRow)
{
    const QString dup = "23000:[ma-3.1.15][10.11.19-MariaDB]Duplicate entry '2' for key 'PRIMARY'";
    const QString head = "INSERT INTO T (`Nr`,`Name`) VALUES ";
    CopyFixture f(3);
    f.host.server.refuseRowWhenContains("(2,", dup);
    f.host.server.failWhenContains(head + "(2,", dup);
    f.shareInserts(true);
    EXPECT_EQ(f.host.sent(),
              (QStringList{head + "(?,?) <- (1,'n1'),(2,'n2'),(3,'n3')", head + "(1,'n1')", head + "(2,'n2')",
                           head + "(3,'n3')"}));
    EXPECT_EQ(f.host.errors, QStringList{dup});
    EXPECT_EQ(f.host.statuses.mid(3),
              (QStringList{"1/3 (0)  :  33%", "2/3 (0)  :  66%", "3/3 (0)  :  100%", "3/3 (0)  :  100%"}));
}

// While one array is with the server the next is filled; a refused one is sent row by row before the next.
TEST(RunCopyLoop, ArraysOnTheirWayKeepTheirOrder)
{
    const QString dup = "23000:[ma-3.1.15][10.11.19-MariaDB]Duplicate entry '5' for key 'PRIMARY'";
    const QString head = "INSERT INTO T (`Nr`,`Name`) VALUES ";
    CopyFixture f(10);
    f.host.server.arrayPayload = 100;  // three rows
    f.host.server.arrayTime = std::chrono::milliseconds(20);
    f.host.server.refuseRowWhenContains("(5,", dup);
    f.host.server.failWhenContains(head + "(5,", dup);
    f.shareInserts(true);
    EXPECT_EQ(f.host.sent(),
              (QStringList{head + "(?,?) <- (1,'n1'),(2,'n2'),(3,'n3')", head + "(?,?) <- (4,'n4'),(5,'n5'),(6,'n6')",
                           head + "(4,'n4')", head + "(5,'n5')", head + "(6,'n6')",
                           head + "(?,?) <- (7,'n7'),(8,'n8'),(9,'n9')", head + "(?,?) <- (10,'n10')"}));
    EXPECT_EQ(f.host.errors, QStringList{dup});
    EXPECT_EQ(f.host.server.meanwhile, QStringList{});
}
