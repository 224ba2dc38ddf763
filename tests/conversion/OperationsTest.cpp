// The conversion's operations on a recording host: what the batch, the
// takeover and the load decide, and what they return.

#include "FakeDatabase.h"
#include "RecordingHost.h"
#include "TestSupport.h"
#include "conversion/Conversion.h"

#include <gtest/gtest.h>

namespace {

// Tables A, B and C of one Long column with two rows each, all marked.
struct BatchFixture {
    RecordingHost host;
    BatchFixture()
    {
        host.settings.dialect = Dialect::MySQL;
        host.automatic = true;
        for (const QString t : {"A", "B", "C"}) {
            host.db.addTable(t, {makeField("Nr", dao::dbLong)});
            host.db.rows[t] = {FakeRow{1}, FakeRow{2}};
            host.addTableEntry(t);
            host.setEntryMarked(int(host.entries.size()) - 1, true);
        }
    }
    QStringList results(const BatchOutcome& batch) const
    {
        QStringList out;
        for (const TableOutcome& t : batch.tables)
            out << QStringLiteral("%1 %2 %3/%4").arg(t.table).arg(int(t.result)).arg(t.rowsSent).arg(t.rowsInFile);
        return out;
    }
};

}  // namespace

TEST(RunBatch, EachMarkedTableGetsItsOutcomeAndItsEntry)
{
    BatchFixture f;
    f.host.db.rows["C"].clear();
    f.host.server.failWhenStartsWith("CREATE TABLE B", "42000:syntax");
    const BatchOutcome batch = RunBatch(f.host);
    EXPECT_EQ(batch.outcome, RunOutcome::Completed);
    // Converted (0) with both rows, failed (1) before any row, C empty in the file.
    EXPECT_EQ(f.results(batch), (QStringList{"A 0 2/2", "B 1 0/-1", "C 0 0/0"}));
    EXPECT_EQ(batch.tables[1].reason, "42000:syntax");
    EXPECT_EQ(f.host.entries,
              (QStringList{PadName("A") + "[migriert]", PadName("B") + "[!Fehler!]", PadName("C") + "[migriert]"}));
    // A converted table loses its mark; a failed one keeps it for the next run.
    EXPECT_EQ(f.host.marks, (QList<bool>{false, true, false}));
    EXPECT_TRUE(f.host.messages.isEmpty());  // unattended: no closing box
}

TEST(RunBatch, ALostConnectionEndsTheBatchAndSkipsTheRest)
{
    BatchFixture f;
    f.host.server.failWhenStartsWith("INSERT INTO B", "08S01:Server has gone away");
    const BatchOutcome batch = RunBatch(f.host);
    EXPECT_EQ(batch.outcome, RunOutcome::Failed);
    EXPECT_EQ(f.results(batch), (QStringList{"A 0 2/2", "B 1 0/2", "C 2 0/-1"}));
    EXPECT_EQ(batch.tables[1].connectionLost, "08S01:Server has gone away");
    EXPECT_EQ(f.host.messages, QStringList{"lost 08S01:Server has gone away"});
    EXPECT_EQ(f.host.entries.last(), QStringLiteral("C"));
    EXPECT_TRUE(f.host.marks.last());
}

TEST(RunTakeover, ThreeQuestionsThenTablesViewsAndTriggers)
{
    const struct {
        QList<bool> answers;
        bool confirmed;
    } cases[] = {
        {{}, false},                  // No to the first
        {{true, false}, false},       // No to the second
        {{true, true, true}, false},  // Yes to "abbrechen ?"
        {{true, true, false}, true},  // on
    };
    for (const auto& c : cases) {
        BatchFixture f;
        f.host.setEntryMarked(0, false);
        f.host.answers = c.answers;
        int views = 0;
        f.host.viewsRun = [&] {
            ++views;
            return ViewsOutcome{};
        };
        const TakeoverOutcome outcome = RunTakeover(f.host);
        EXPECT_EQ(outcome.confirmed, c.confirmed);
        EXPECT_EQ(outcome.batch.tables.size(), c.confirmed ? 3 : 0);  // every table, marked or not
        EXPECT_EQ(views, c.confirmed ? 1 : 0);
    }
    // A batch that failed ends the takeover before the views.
    BatchFixture failing;
    failing.host.answers = {true, true, false};
    failing.host.server.failWhenStartsWith("INSERT INTO C", "08S01:gone");
    bool viewsRan = false;
    failing.host.viewsRun = [&] {
        viewsRan = true;
        return ViewsOutcome{};
    };
    EXPECT_EQ(RunTakeover(failing.host).outcome, RunOutcome::Failed);
    EXPECT_FALSE(viewsRan);
}

TEST(LoadDatabase, MarksTheTablesTheServerLacksAndEndsOnServerTrouble)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    RecordingHost host;
    host.settings.dialect = Dialect::MSSQL;
    host.accessFile = path;
    host.server.answerWhenStartsWith("SELECT COUNT(*) FROM Artikel", 3);
    host.server.failures.append(
        {[](const QString& s) { return !s.endsWith(" Artikel"); }, QStringLiteral("S0002:no such table")});
    LoadOutcome load = LoadDatabase(host);
    ASSERT_TRUE(load.completed);
    int marked = 0;
    for (const LoadedTable& t : load.tables) {
        EXPECT_EQ(t.marked, t.name != "Artikel") << t.name.toStdString();
        marked += t.marked;
    }
    EXPECT_EQ(marked, int(load.tables.size()) - 1);
    EXPECT_EQ(host.statuses.last(), "Bereit.   [3 Sätze in 1 Tabellen auf dem SQL-Server]");
    EXPECT_EQ(TableListReport(load, {}).first(), "Adressen [nicht konvertiert]");

    // Any other server error ends the load with the restart message; the commands stay off.
    RecordingHost trouble;
    trouble.accessFile = path;
    trouble.server.failWhenStartsWith("SELECT COUNT(*) FROM", "42000:syntax");
    load = LoadDatabase(trouble);
    EXPECT_FALSE(load.completed);
    EXPECT_TRUE(trouble.runFailed);
    EXPECT_EQ(trouble.messages,
              QStringList{"42000:syntax\r\nDatenbankserver überlastet\r\nBitte starten sie das Programm neu"});
    EXPECT_FALSE(trouble.enabled());
}

// The check runs after every copied table: the server's figures against the file's.
TEST(ConvertTable, TheCheckComparesTheServersFigures)
{
    BatchFixture f;
    f.host.server.answerWhenStartsWith("SELECT COUNT(*),", 1);
    const TableOutcome a = ConvertTable(f.host, "A");
    EXPECT_EQ(a.check.result, DataCheckResult::Differences);
    EXPECT_TRUE(a.logLines.contains("Tabelle A: 2 Datensätze in Access, 1 auf dem Server"));
    EXPECT_EQ(a.result, TableResult::Converted);  // the entry stays as it is
    f.host.check = false;
    EXPECT_EQ(ConvertTable(f.host, "A").check.reason, "ausgeschaltet");
}
