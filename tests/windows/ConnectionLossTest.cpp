// A server connection that breaks while the conversion window works: the
// running table ends at once with one line in the log, the batch stops, the
// user is told to log in again, and the next load marks the half-filled table.
// The server is a recording connection whose scripted errors carry ODBC state 08S01.

#include "MessageBoxAnswerer.h"
#include "ProgramDriver.h"
#include "RecordingConnection.h"
#include "TestSupport.h"
#include "conversion/CopyLoop.h"
#include "conversion/TableList.h"
#include "server/ServerErrors.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
const QString kGone = QStringLiteral("08S01:[ma-3.1.15]Server has gone away");
}  // namespace

TEST(ConnectionLoss, DuringTheCopyEndsTheTableAndTheBatchAndAsksForALogin)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Program s(Login::Recording, &MDIForm_Main::Option_MSSQL);
    const auto sent = std::make_shared<QStringList>();  // what the server received, kept when the program releases it
    s.server->journal = sent;
    ASSERT_TRUE(s.load(path).isEmpty());
    // The batch walks the list from the top; the second table loses the
    // connection at its second row.
    const QString first = TableNameFromEntry(s.konv->List2->item(0)->text());
    QString victim;
    for (int i = 1; i < s.konv->List2->count() && victim.isEmpty(); ++i) {
        const QString t = TableNameFromEntry(s.konv->List2->item(i)->text());
        if (s.konv->SourceDatabase->OpenRecordset(t)->RecordCount() >= 2)
            victim = t;
    }
    ASSERT_FALSE(victim.isEmpty());
    int inserts = 0;
    s.server->failures.append(
        {[&](const QString& statement) {
             return statement.startsWith(QStringLiteral("INSERT INTO ") + victim + QLatin1Char(' ')) && ++inserts == 2;
         },
         kGone});

    const QStringList messages = s.convertMarked();
    EXPECT_EQ(messages, QStringList{ConnectionLostMessage(kGone)});
    EXPECT_TRUE(messages.value(0).endsWith(QStringLiteral("Bitte melden Sie sich neu an (SQL anmelden).")));
    // Nothing was sent after the failing statement.
    EXPECT_TRUE(sent->last().startsWith(QStringLiteral("INSERT INTO ") + victim));
    EXPECT_EQ(inserts, 2);
    // The log: the table, one line with the table, the state and the server's text, and how far the
    // copy came (the rows the server holds: the first); no table after it.
    const QStringList log = s.log();
    ASSERT_GE(log.size(), 3);
    EXPECT_EQ(log[log.size() - 3], QStringLiteral("Tabelle: ") + victim);
    EXPECT_EQ(log[log.size() - 2],
              QStringLiteral("Verbindung zum SQL-Server verloren, Tabelle ") + victim + QStringLiteral(": ") + kGone);
    EXPECT_EQ(log.last(),
              CopyCutShortText(victim, 1, s.konv->SourceDatabase->OpenRecordset(victim)->RecordCount(), kGone));
    // The entries: converted before, failed, and untouched (still marked) after.
    EXPECT_EQ(s.entryOf(first), PadName(first) + QStringLiteral("[migriert]"));
    EXPECT_EQ(s.entryOf(victim), PadName(victim) + QStringLiteral("[!Fehler!]"));
    EXPECT_TRUE(s.isMarked(victim));
    bool after = false;
    for (int i = 0; i < s.konv->List2->count(); ++i) {
        const QString entry = s.konv->List2->item(i)->text();
        if (after) {
            EXPECT_FALSE(entry.contains(QLatin1Char('['))) << entry.toStdString();
            EXPECT_TRUE(s.konv->List2->item(i)->isSelected()) << entry.toStdString();
        }
        after = after || TableNameFromEntry(entry) == victim;
    }
    // The next action is a login: the working buttons are off, the connections released.
    EXPECT_FALSE(s.main->Command1->isEnabled());
    EXPECT_FALSE(s.main->Command2->isEnabled());
    EXPECT_FALSE(s.main->state.ServerConnection);
    EXPECT_FALSE(s.main->state.QueryConnection);
    EXPECT_FALSE(s.konv->Busy);
    EXPECT_FALSE(s.konv->operationRunning());

    // After a new login the table the server has half is marked again.
    s.logIn(Login::Recording, true);
    ASSERT_TRUE(s.load(path).isEmpty());
    EXPECT_TRUE(s.isMarked(victim));
    EXPECT_EQ(s.entryOf(victim), PadName(victim) + QStringLiteral("[7]"));
    EXPECT_FALSE(s.isMarked(first));
    EXPECT_EQ(s.information().mid(4),
              QStringList{QStringLiteral("Tabelle ") + victim
                          + QStringLiteral(": die letzte Konvertierung wurde nicht beendet, die "
                                           "Tabelle ist markiert.")});
    // Converted whole, it is no longer marked by the next load.
    EXPECT_EQ(s.convert(victim), QStringList{QStringLiteral("Alle markierten Tabellen wurden konvertiert.")});
    ASSERT_TRUE(s.load(path).isEmpty());
    EXPECT_FALSE(s.isMarked(victim));
}

TEST(ConnectionLoss, DuringTheLoadEndsItAndAsksForALogin)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Program s(Login::Recording, &MDIForm_Main::Option_MSSQL);
    s.counts->failures.clear();
    s.counts->failWhenStartsWith(QStringLiteral("SELECT COUNT(*)"), kGone);
    const QStringList messages = s.load(path);
    EXPECT_EQ(messages, QStringList{ConnectionLostMessage(kGone)});
    EXPECT_TRUE(s.main->state.RunFailed);
    EXPECT_FALSE(s.main->Command1->isEnabled());
    EXPECT_FALSE(s.main->state.QueryConnection);
    EXPECT_FALSE(s.konv->operationRunning());
}

TEST(ConnectionLoss, WithoutConnectionTheNextBatchStopsAtItsFirstTable)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    Program s(Login::Recording, &MDIForm_Main::Option_MSSQL);
    ASSERT_TRUE(s.load(path).isEmpty());
    s.main->ConnectionLost();
    const QStringList messages = s.convertMarked();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Die Verbindung zum SQL-Server ist abgebrochen:\r\n08003:")))
        << messages[0].toStdString();
    // One table tried, one line: not every table failing the same way.
    EXPECT_EQ(s.log().filter(QStringLiteral("Tabelle: ")).size(), 1);
}

// A complete takeover that loses the connection in its batch sends no view
// and no trigger after it, and says so once.
TEST(ConnectionLoss, DuringTheTakeoversBatchEndsTheTakeover)
{
    REQUIRE_FIXTURE(path, "Northwind.mdb");
    Program s(Login::Recording, &MDIForm_Main::Option_MSSQL);
    const auto sent = std::make_shared<QStringList>();
    s.server->journal = sent;
    ASSERT_TRUE(s.load(path).isEmpty());
    s.server->failWhenStartsWith(QStringLiteral("INSERT INTO Customers "), kGone);
    MessageBoxAnswerer answers;
    answers.script = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::No};
    s.konv->Command7->click();
    EXPECT_EQ(answers.texts().mid(3), QStringList{ConnectionLostMessage(kGone)});
    EXPECT_TRUE(sent->last().startsWith(QStringLiteral("INSERT INTO Customers ")));
    EXPECT_TRUE(sent->filter(QStringLiteral("VIEW")).isEmpty() && sent->filter(QStringLiteral("TRIGGER")).isEmpty());
}
