// Damaged Access files in the conversion window: every table ends either
// "[migriert]" with every row or "[!Fehler!]", never with rows lost without a
// word, and the window stays usable. The statements go to a recording
// connection. (The wide search over damaged files: fuzz/access.cpp.)

#include "DamagedCopies.h"
#include "ProgramDriver.h"
#include "QtPrinters.h"
#include "RecordingConnection.h"
#include "TestSupport.h"
#include "access/AccessDatabase.h"
#include "conversion/TableList.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

// Loads the file; false when it could not be opened (its message was shown).
bool loads(Program& w, const QString& path)
{
    const QStringList messages = w.load(path);
    if (messages.isEmpty())
        return true;
    EXPECT_EQ(messages,
              QStringList{QStringLiteral("Access-Datenquelle '") + path + QStringLiteral("' nicht gefunden!")});
    EXPECT_TRUE(w.konv->Command4->isEnabled());
    return false;
}

// Converts every table; returns each table's marker afterwards ("[migriert]", "[!Fehler!]").
QMap<QString, QString> convertAll(Program& w)
{
    for (int i = 0; i < w.konv->List2->count(); ++i)
        w.konv->List2->item(i)->setSelected(true);
    w.server->statements.clear();
    const QString closing = w.convertMarked().value(0);
    QMap<QString, QString> outcome;
    for (const QString& entry : w.entries())
        outcome.insert(TableNameFromEntry(entry), entry.mid(entry.lastIndexOf(QLatin1Char('['))));
    // The closing box counts the failed tables.
    const auto failed = outcome.values().count(QStringLiteral("[!Fehler!]"));
    EXPECT_EQ(closing.startsWith(QStringLiteral("%1 von %2 ").arg(failed).arg(outcome.size())), failed > 0);
    return outcome;
}

// The INSERT statements the table sent.
int insertsOf(const Program& w, const QString& table)
{
    const QString head = QStringLiteral("INSERT INTO ") + table + QLatin1Char(' ');
    int n = 0;
    for (const QString& s : w.server->statements)
        n += s.startsWith(head) ? 1 : 0;
    return n;
}

void expectUsable(const Program& w)
{
    EXPECT_FALSE(w.konv->operationRunning());
    EXPECT_FALSE(w.konv->Busy);
    EXPECT_TRUE(w.konv->Command4->isEnabled());
    EXPECT_TRUE(w.konv->Command2->isEnabled());
}

// Rows the engine reads from a table without error; nothing when it fails.
std::optional<long> readableRows(const QString& path, const QString& table)
{
    try {
        auto db = dao::Database::OpenDatabase(path);
        auto rs = db->OpenRecordset(table);
        rs->MoveLast();
        return rs->RecordCount();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

// A fixed handful of random damages; the wide search is the engine's fuzz target's.
TEST(DamagedFile, RandomDamagesEndEachTableMigratedWithEveryRowOrFailed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Program w(Login::Recording, &MDIForm_Main::Option_MSSQL);
    std::mt19937 random(20261207);
    for (const char* name : {"erp-sample.mdb", "testV1997.mdb", "compIndexTestV2000.mdb"}) {
        const QString file = fixturePath(QString::fromLatin1(name));
        if (file.isEmpty())
            GTEST_SKIP() << "sample databases not found in " << fixturesDir().toStdString();
        SCOPED_TRACE(name);
        DamagedCopy copy(file, dir.path());
        // What the intact file gives, table by table.
        ASSERT_TRUE(loads(w, file));
        const QMap<QString, QString> intact = convertAll(w);
        QMap<QString, long> rows;
        QMap<QString, int> inserts;
        for (auto it = intact.cbegin(); it != intact.cend(); ++it) {
            EXPECT_EQ(it.value(), QStringLiteral("[migriert]")) << it.key().toStdString();
            rows.insert(it.key(), readableRows(file, it.key()).value_or(-1));
            inserts.insert(it.key(), insertsOf(w, it.key()));
        }
        for (int v = 0; v < 3; ++v) {
            QString what;
            const QString path = copy.write(QStringLiteral("variant%1.mdb").arg(v), copy.randomVariant(random, &what));
            SCOPED_TRACE(what.toStdString());
            if (!loads(w, path))
                continue;
            const QMap<QString, QString> outcome = convertAll(w);
            for (auto it = outcome.cbegin(); it != outcome.cend(); ++it) {
                if (it.value() != QStringLiteral("[migriert]")) {
                    EXPECT_EQ(it.value(), QStringLiteral("[!Fehler!]"));
                    continue;
                }
                if (!rows.contains(it.key()))
                    continue;  // a damaged catalogue may show names the intact file does not have
                const std::optional<long> readable = readableRows(path, it.key());
                ASSERT_TRUE(readable.has_value()) << it.key().toStdString() << " reads with an error, yet migrated";
                EXPECT_GE(*readable, rows[it.key()]) << it.key().toStdString() << ": rows lost without a word";
                EXPECT_GE(insertsOf(w, it.key()), inserts[it.key()]) << it.key().toStdString();
            }
            expectUsable(w);
        }
    }
}

// Every row that the intact pages give arrives; the one row that cannot be
// read is logged with its number, and its table fails.
TEST(DamagedFile, ARowThatCannotBeReadIsPassedOverAndLogged)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    QTemporaryDir dir;
    DamagedCopy copy(path, dir.path());
    Program w(Login::Recording, &MDIForm_Main::Option_MSSQL);
    ASSERT_TRUE(loads(w, path));
    const QMap<QString, QString> intact = convertAll(w);
    const QStringList intactStatements = w.server->statements;

    // The second row of a table's first data page: rows before and after it.
    const auto owners = copy.dataPagesByOwner();
    bool checked = false;
    for (auto it = owners.cbegin(); it != owners.cend() && !checked; ++it) {
        const int page = it.value().constFirst();
        if (copy.rowsOnPage(page) < 3)
            continue;
        const QString broken = copy.write(QStringLiteral("broken%1.mdb").arg(it.key()), copy.withBrokenRow(page, 1));
        if (!loads(w, broken))
            continue;  // a page of the catalogue: the file does not open
        const QMap<QString, QString> outcome = convertAll(w);
        QStringList lost = intactStatements;
        for (const QString& s : w.server->statements)
            lost.removeOne(s);
        if (lost.size() != 1 || !lost[0].startsWith(QStringLiteral("INSERT INTO ")))
            continue;  // a system table's page
        checked = true;
        const QString table = lost[0].section(QLatin1Char(' '), 2, 2);
        SCOPED_TRACE(table.toStdString());
        EXPECT_EQ(w.server->statements.size(), intactStatements.size() - 1);
        for (auto o = outcome.cbegin(); o != outcome.cend(); ++o)
            EXPECT_EQ(o.value(), o.key() == table ? QStringLiteral("[!Fehler!]") : intact.value(o.key()))
                << o.key().toStdString();
        const int number =
            int(intactStatements.filter(QStringLiteral("INSERT INTO ") + table + QLatin1Char(' ')).indexOf(lost[0]))
            + 1;
        const long rows = readableRows(path, table).value_or(-1);
        EXPECT_EQ(w.log().mid(w.log().indexOf(QStringLiteral("Tabelle: ") + table) + 1, 2),
                  (QStringList{QStringLiteral("Tabelle %1: nur %2 von %3 Datensätzen lesbar, 1 Datensätze fehlen (die "
                                              "Access-Datenbank ist beschädigt).")
                                   .arg(table)
                                   .arg(rows - 1)
                                   .arg(rows),
                               QStringLiteral("Tabelle %1: Datensatz %2 übersprungen: Ein verschobener Datensatz "
                                              "verweist auf die fehlende Seite 16777215.")
                                   .arg(table)
                                   .arg(number)}));
        expectUsable(w);
    }
    EXPECT_TRUE(checked);
}

TEST(DamagedFile, AZeroedDataPageIsReportedAsMissingRows)
{
    // compIndexTestV2000.mdb: Table1 holds 512 rows on several data pages.
    REQUIRE_FIXTURE(path, "compIndexTestV2000.mdb");
    QTemporaryDir dir;
    DamagedCopy copy(path, dir.path());
    auto owners = copy.dataPagesByOwner();
    QList<int> longest;
    for (const QList<int>& pages : owners)
        if (pages.size() > longest.size())
            longest = pages;
    ASSERT_GE(longest.size(), 2);
    const QString zeroed = copy.write(QStringLiteral("zeroed.mdb"), copy.withZeroedPage(longest[1]));
    const long readable = readableRows(zeroed, QStringLiteral("Table1")).value_or(-1);
    ASSERT_GT(readable, 0);
    ASSERT_LT(readable, 512);

    Program w(Login::Recording, &MDIForm_Main::Option_MSSQL);
    ASSERT_TRUE(loads(w, zeroed));
    const QMap<QString, QString> outcome = convertAll(w);
    EXPECT_EQ(outcome.value(QStringLiteral("Table1")), QStringLiteral("[!Fehler!]"));
    EXPECT_EQ(insertsOf(w, QStringLiteral("Table1")), readable);
    const QString line = QStringLiteral("Tabelle Table1: nur %1 von 512 Datensätzen lesbar, %2 Datensätze fehlen "
                                        "(die Access-Datenbank ist beschädigt).")
                             .arg(readable)
                             .arg(512 - readable);
    EXPECT_TRUE(w.log().contains(line)) << w.log().join(QLatin1Char('\n')).toStdString();
    expectUsable(w);
}

TEST(DamagedFile, ATableWhoseOnlyDataPageIsZeroedIsNotReportedEmptyAndMigrated)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    QTemporaryDir dir;
    DamagedCopy copy(path, dir.path());
    Program w(Login::Recording, &MDIForm_Main::Option_MSSQL);
    ASSERT_TRUE(loads(w, path));
    const QMap<QString, QString> intact = convertAll(w);
    bool checked = false;
    const auto owners = copy.dataPagesByOwner();
    for (auto it = owners.cbegin(); it != owners.cend() && !checked; ++it) {
        if (it.value().size() != 1 || copy.rowsOnPage(it.value().constFirst()) < 2)
            continue;
        const QString zeroed =
            copy.write(QStringLiteral("z%1.mdb").arg(it.key()), copy.withZeroedPage(it.value().constFirst()));
        if (!loads(w, zeroed))
            continue;
        QString table;
        for (const QString& t : intact.keys())
            if (readableRows(zeroed, t) == 0 && readableRows(path, t).value_or(0) > 0)
                table = t;
        if (table.isEmpty())
            continue;
        checked = true;
        SCOPED_TRACE(table.toStdString());
        EXPECT_EQ(convertAll(w).value(table), QStringLiteral("[!Fehler!]"));
        EXPECT_EQ(insertsOf(w, table), 0);
        EXPECT_TRUE(w.log().filter(QStringLiteral("Tabelle ") + table + QStringLiteral(": nur 0 von ")).size() == 1)
            << w.log().join(QLatin1Char('\n')).toStdString();
    }
    EXPECT_TRUE(checked);
}
