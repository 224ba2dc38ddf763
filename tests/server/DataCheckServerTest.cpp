// The check of the data on the MariaDB test server: a conversion of
// erp-sample.mdb agrees in every figure; a row deleted, a value changed by a
// trigger and a table filled twice each give their lines; the Oracle
// dialect's query in MariaDB's Oracle mode.

#include "RecordingHost.h"
#include "ServerProbe.h"
#include "TestSupport.h"
#include "conversion/ColumnMapping.h"
#include "conversion/Conversion.h"
#include "conversion/DataCheck.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<ServerConnection> connect(const QString& dataSource)
{
    static int environments = 0;
    static std::list<std::unique_ptr<ServerEnvironment>> kept;
    kept.push_back(ServerEnvironment::Create(QStringLiteral("DataCheck%1").arg(++environments), QString(), QString()));
    kept.back()->SetUserName(TestServer::user());
    kept.back()->SetPassword(TestServer::password());
    return kept.back()->OpenConnection(dataSource);
}

// The figures of a table's rows as the row copy sends them: a null cell with
// a default sends the default, a row of null cells without one is not sent.
DataCheck figuresOf(const dao::Database& db, const QString& table, const ConversionOptions& options)
{
    const std::unique_ptr<dao::Recordset> rs = db.OpenRecordset(table);
    const QList<dao::Field>& fields = rs->Fields();
    DataCheck check(table, fields, options.dialect);
    QList<dao::CellValue> cells(fields.size());
    QStringList defaults(fields.size());
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        bool any = false;
        for (int i = 0; i < fields.size(); ++i) {
            rs->ReadCell(i, cells[i]);
            defaults[i] = cells[i].isNull() ? SQLDefault(fields[i], false, options) : QString();
            any = any || !cells[i].isNull() || !defaults[i].isEmpty();
        }
        if (!any) {
            check.leaveOut(LeftOutRows::WithoutValues);
            continue;
        }
        check.addRow();
        for (int i = 0; i < fields.size(); ++i)
            check.addCell(i, cells[i], defaults[i]);
    }
    return check;
}

QStringList linesOf(const DataCheckOutcome& outcome)
{
    QStringList lines;
    for (const DataDifference& d : outcome.differences)
        lines << d.line;
    if (outcome.result == DataCheckResult::NotChecked)
        lines << outcome.reason;
    return lines;
}

}  // namespace

TEST(DataCheckOnTheServer, ConversionsOfTheSamplesAgreeInEveryFigure)
{
    REQUIRE_TEST_SERVER();
    // hostile-names.mdb: names with quotes and semicolons, NUL characters, emoji, halves of surrogate pairs.
    for (const char* file : {"erp-sample.mdb", "hostile-names.mdb"}) {
        const QString path = fixturePath(QString::fromLatin1(file));
        if (path.isEmpty())
            GTEST_SKIP() << file << " not found in " << fixturesDir().toStdString();
        ServerProbe().dropAllTables();
        const std::unique_ptr<ServerConnection> server = connect(TestServer::dataSource());
        RecordingHost host;
        host.settings.dialect = Dialect::MySQL;
        host.live = server.get();
        host.opened = dao::Database::OpenDatabase(path);
        int checked = 0;
        for (const dao::TableDef& def : host.database().TableDefs()) {
            // The copy writes the time fields of these two on the first row's date: its own feed covers them.
            if ((def.Attributes & dao::dbSystemObjectMask) != 0 || def.Name == QLatin1String("Terminkalender")
                || def.Name == QLatin1String("Formularprotokoll"))
                continue;
            SCOPED_TRACE(std::string(file) + " " + def.Name.toStdString());
            // A table that fails for one cell (hostile-names' invalid texts) still holds every row.
            host.clearTableFailed();
            ConvertTable(host, def.Name);
            const DataCheckOutcome outcome = RunDataCheck(*server, figuresOf(host.database(), def.Name, host.settings));
            EXPECT_EQ(outcome.result, DataCheckResult::Passed) << linesOf(outcome).join('\n').toStdString();
            checked += outcome.figures;
        }
        EXPECT_GT(checked, 100);
    }
}

TEST(DataCheckOnTheServer, RowsDeletedChangedOrCopiedTwiceGiveTheirLines)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    const auto artikel = [](const char* rest) { return QStringLiteral("Tabelle Artikel") + QString::fromUtf8(rest); };
    const struct {
        const char* name;
        QString duringCopy;  // sent by another client before the first row
        QString afterCopy;   // between the copy and the check
        QStringList lines;
    } cases[] = {
        {"a row deleted",
         {},
         QStringLiteral("DELETE FROM Artikel WHERE Nr = 3"),
         {artikel(": 5 Datensätze in Access, 4 auf dem Server"),
          artikel(", Feld Nr: 5 Zellen in Access, 4 auf dem Server"),
          artikel(", Feld Nr: Summe 15 in Access, 12 auf dem Server"),
          artikel(", Feld Name: 5 Zellen in Access, 4 auf dem Server"),
          artikel(", Feld Name: 45 Zeichen in Access, 36 auf dem Server")}},
        {"a value changed by a trigger",
         QStringLiteral("CREATE TRIGGER plus BEFORE INSERT ON Artikel FOR EACH ROW SET NEW.Nr = NEW.Nr + 1000"),
         {},
         {artikel(", Feld Nr: Summe 15 in Access, 5.015 auf dem Server"),
          artikel(", Feld Nr: kleinster Wert 1 in Access, 1.001 auf dem Server"),
          artikel(", Feld Nr: größter Wert 5 in Access, 1.005 auf dem Server")}},
        {"filled twice",
         {},
         QStringLiteral("INSERT INTO Artikel SELECT * FROM Artikel"),
         {artikel(": 5 Datensätze in Access, 10 auf dem Server"),
          artikel(", Feld Nr: 5 Zellen in Access, 10 auf dem Server"),
          artikel(", Feld Nr: Summe 15 in Access, 30 auf dem Server"),
          artikel(", Feld Name: 5 Zellen in Access, 10 auf dem Server"),
          artikel(", Feld Name: 45 Zeichen in Access, 90 auf dem Server")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ServerProbe probe;
        probe.dropAllTables();
        const std::unique_ptr<ServerConnection> server = connect(TestServer::dataSource());
        RecordingHost host;
        host.settings.dialect = Dialect::MySQL;
        host.live = server.get();
        host.opened = dao::Database::OpenDatabase(path);
        bool sent = c.duringCopy.isEmpty();
        host.onYield = [&] {
            if (!sent && host.statuses.last().contains(QLatin1Char('/'))) {
                probe.exec(c.duringCopy);
                sent = true;
            }
        };
        ASSERT_EQ(ConvertTable(host, QStringLiteral("Artikel")).result, TableResult::Converted);
        if (!c.afterCopy.isEmpty())
            probe.exec(c.afterCopy);
        const DataCheckOutcome outcome =
            RunDataCheck(*server, figuresOf(host.database(), QStringLiteral("Artikel"), host.settings));
        EXPECT_EQ(linesOf(outcome), c.lines);
    }
}

TEST(DataCheckOnTheServer, TheOracleQueryInMariaDbsOracleMode)
{
    REQUIRE_TEST_SERVER();
    const std::unique_ptr<ServerConnection> server = connect(QStringLiteral("QELSQL_ORACLE"));
    // Types MariaDB reads as Oracle's (not Double: Oracle's FLOAT is MariaDB's single float); no empty text,
    // which Oracle would keep as NULL and MariaDB does not.
    RecordingHost host;
    host.settings.dialect = Dialect::Oracle;
    host.live = server.get();
    host.db.addTable(QStringLiteral("Pruefung"),
                     {makeField("Nr", dao::dbLong), makeField("Aktiv", dao::dbBoolean),
                      makeField("Betrag", dao::dbCurrency), makeField("Wert", dao::dbSingle),
                      makeField("Seit", dao::dbDate), makeField("Name", dao::dbText, 20),
                      makeField("Notiz", dao::dbMemo)});
    host.db.rows[QStringLiteral("Pruefung")] = {
        {7, true, QVariant::fromValue(dao::Currency{-125}), 0.3f,
         QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC), QStringLiteral("Grüße 😀"), QStringLiteral("lang ")},
        {-2, false, QVariant(), QVariant(), QDateTime(QDate(1999, 12, 31), QTime(), Qt::UTC), QVariant(), QVariant()},
    };
    ASSERT_EQ(ConvertTable(host, QStringLiteral("Pruefung")).result, TableResult::Converted)
        << host.errors.join('\n').toStdString();
    const DataCheckOutcome outcome =
        RunDataCheck(*server, figuresOf(host.database(), QStringLiteral("Pruefung"), host.settings));
    EXPECT_EQ(outcome.result, DataCheckResult::Passed) << linesOf(outcome).join('\n').toStdString();
    EXPECT_EQ(outcome.rowsOnServer, 2);
}
