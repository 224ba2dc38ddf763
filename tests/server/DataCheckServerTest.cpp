// The check of the data on the MariaDB test server, in its MySQL and Oracle modes.

#include "RecordingHost.h"
#include "ServerProbe.h"
#include "TestSupport.h"
#include "conversion/ColumnMapping.h"
#include "conversion/Conversion.h"
#include "conversion/DataCheck.h"

#include <gtest/gtest.h>

namespace {

// Conversions through the operations on a recording host whose statements go to the test server.
struct OnTheServer {
    std::unique_ptr<ServerEnvironment> environment;
    std::unique_ptr<ServerConnection> server;
    RecordingHost host;

    explicit OnTheServer(Dialect dialect, const QString& dataSource = TestServer::dataSource())
    {
        static int environments = 0;
        environment = ServerEnvironment::Create(QStringLiteral("DataCheck%1").arg(++environments), {}, {});
        environment->SetUserName(TestServer::user());
        environment->SetPassword(TestServer::password());
        server = environment->OpenConnection(dataSource);
        host.settings.dialect = dialect;
        host.live = server.get();
    }

    // Converts the table, then checks it with the figures of the rows the copy
    // sends: a null cell with a default sends the default, a row of null cells
    // without one is not sent. A check that does not pass gives its lines.
    QStringList convertAndCheck(const QString& table, const QString& afterCopy = {})
    {
        host.clearTableFailed();
        ConvertTable(host, table);
        if (!afterCopy.isEmpty())
            server->Execute(afterCopy);
        const std::unique_ptr<dao::Recordset> rs = host.database().OpenRecordset(table);
        const QList<dao::Field>& fields = rs->Fields();
        DataCheck check(table, fields, host.settings.dialect);
        QList<dao::CellValue> cells(fields.size());
        QStringList defaults(fields.size());
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            bool any = false;
            for (int i = 0; i < fields.size(); ++i) {
                rs->ReadCell(i, cells[i]);
                defaults[i] = cells[i].isNull() ? SQLDefault(fields[i], false, host.settings) : QString();
                any = any || !cells[i].isNull() || !defaults[i].isEmpty();
            }
            if (!any)
                check.leaveOut(LeftOutRows::WithoutValues);
            else
                check.addRow();
            for (int i = 0; any && i < fields.size(); ++i)
                check.addCell(i, cells[i], defaults[i]);
        }
        const DataCheckOutcome outcome = RunDataCheck(*server, check);
        QStringList lines{outcome.reason};
        for (const DataDifference& d : outcome.differences)
            lines << d.line;
        figures += outcome.result == DataCheckResult::Passed ? outcome.figures : 0;
        return outcome.result == DataCheckResult::Passed ? QStringList() : lines;
    }
    int figures = 0;  // compared by the checks that passed
};

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
        OnTheServer run(Dialect::MySQL);
        run.host.opened = dao::Database::OpenDatabase(path);
        for (const dao::TableDef& def : run.host.database().TableDefs()) {
            // The copy writes the time fields of these two on the first row's date: its own feed covers them.
            if ((def.Attributes & dao::dbSystemObjectMask) == 0 && def.Name != QLatin1String("Terminkalender")
                && def.Name != QLatin1String("Formularprotokoll")) {
                EXPECT_EQ(run.convertAndCheck(def.Name), QStringList()) << file;
            }
        }
        EXPECT_GT(run.figures, 100);
    }
}

TEST(DataCheckOnTheServer, RowsDeletedChangedOrCopiedTwiceGiveTheirLines)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    const auto artikel = [](const char* rest) { return QStringLiteral("Tabelle Artikel") + QString::fromUtf8(rest); };
    const QString rows = QStringLiteral(": %1 Datensätze in Access, %2 auf dem Server");
    const QString cells = QStringLiteral(", Feld %1: 5 Zellen in Access, %2 auf dem Server");
    const struct {
        QString duringCopy;  // by another client, before the first row
        QString afterCopy;   // between the copy and the check
        QStringList lines;
    } cases[] = {
        {{},
         QStringLiteral("DELETE FROM Artikel WHERE Nr = 3"),
         {artikel("") + rows.arg(5).arg(4), artikel("") + cells.arg("Nr").arg(4),
          artikel(", Feld Nr: Summe 15 in Access, 12 auf dem Server"), artikel("") + cells.arg("Name").arg(4),
          artikel(", Feld Name: 45 Zeichen in Access, 36 auf dem Server")}},
        {QStringLiteral("CREATE TRIGGER plus BEFORE INSERT ON Artikel FOR EACH ROW SET NEW.Nr = NEW.Nr + 1000"),
         {},
         {artikel(", Feld Nr: Summe 15 in Access, 5.015 auf dem Server"),
          artikel(", Feld Nr: kleinster Wert 1 in Access, 1.001 auf dem Server"),
          artikel(", Feld Nr: größter Wert 5 in Access, 1.005 auf dem Server")}},
        {{},
         QStringLiteral("INSERT INTO Artikel SELECT * FROM Artikel"),
         {artikel("") + rows.arg(5).arg(10), artikel("") + cells.arg("Nr").arg(10),
          artikel(", Feld Nr: Summe 15 in Access, 30 auf dem Server"), artikel("") + cells.arg("Name").arg(10),
          artikel(", Feld Name: 45 Zeichen in Access, 90 auf dem Server")}},
    };
    for (const auto& c : cases) {
        ServerProbe probe;
        probe.dropAllTables();
        OnTheServer run(Dialect::MySQL);
        run.host.opened = dao::Database::OpenDatabase(path);
        run.host.onYield = [&] {
            if (!c.duringCopy.isEmpty() && run.host.statuses.last().startsWith(QStringLiteral("1/")))
                probe.exec(c.duringCopy);
        };
        EXPECT_EQ(run.convertAndCheck(QStringLiteral("Artikel"), c.afterCopy), QStringList{QString()} + c.lines);
    }
}

TEST(DataCheckOnTheServer, TheOracleQueryInMariaDbsOracleMode)
{
    REQUIRE_TEST_SERVER();
    // Types MariaDB reads as Oracle's (not Double: Oracle's FLOAT is MariaDB's single float); no empty text,
    // which Oracle would keep as NULL and MariaDB does not.
    OnTheServer run(Dialect::Oracle, QStringLiteral("QELSQL_ORACLE"));
    run.host.db.addTable(QStringLiteral("Pruefung"),
                         {makeField("Nr", dao::dbLong), makeField("Aktiv", dao::dbBoolean),
                          makeField("Betrag", dao::dbCurrency), makeField("Wert", dao::dbSingle),
                          makeField("Seit", dao::dbDate), makeField("Name", dao::dbText, 20),
                          makeField("Notiz", dao::dbMemo)});
    run.host.db.rows[QStringLiteral("Pruefung")] = {
        {7, true, QVariant::fromValue(dao::Currency{-125}), 0.3f,
         QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC), QStringLiteral("Grüße 😀"), QStringLiteral("lang ")},
        {-2, false, QVariant(), QVariant(), QDateTime(QDate(1999, 12, 31), QTime(), Qt::UTC), QVariant(), QVariant()},
    };
    EXPECT_EQ(run.convertAndCheck(QStringLiteral("Pruefung")), QStringList());
    EXPECT_EQ(run.figures, 21);
}
