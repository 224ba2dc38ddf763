// Views, triggers and the complete takeover through the real window against
// the MariaDB test server (MySQL dialect), and the user acting during them.

#include "FakeDatabase.h"
#include "MessageBoxAnswerer.h"
#include "ProgramDriver.h"
#include "QtPrinters.h"
#include "ServerProbe.h"
#include "TestSupport.h"
#include "conversion/TableList.h"
#include "core/TextPieces.h"
#include "sql/Names.h"
#include "translation/ViewRewrite.h"

#include <QApplication>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString kDashes = QStringLiteral("----------------------------------------");

// Splits lines written in pieces of `width` back into the texts they came
// from: a text ends with its first piece shorter than `width`.
QStringList joinPieces(const QStringList& pieces, int width)
{
    QStringList texts;
    QString current;
    for (const QString& piece : pieces) {
        EXPECT_LE(piece.size(), width) << piece.toStdString();
        current += piece;
        if (piece.size() < width) {
            texts.append(current);
            current.clear();
        }
    }
    EXPECT_TRUE(current.isEmpty()) << "unfinished text " << current.toStdString();
    return texts;
}

bool isServerError(const QString& text)
{
    static const QRegularExpression state(QStringLiteral("^[0-9A-Z]{5}:.*MariaDB"));
    return state.match(text).hasMatch();
}

// Runs `action` while a timer does `act` once, as soon as `when` holds: the
// timer fires only while the program yields to the user interface.
void actDuring(const std::function<bool()>& when, const std::function<void()>& act, const std::function<void()>& action,
               bool* acted)
{
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!*acted && when()) {
            *acted = true;
            act();
        }
    });
    timer.start(0);
    action();
}

}  // namespace

// Northwind and erp-sample.mdb converted, their triggers made: a deleted order
// takes its lines along, a changed customer number reaches the orders, a
// deleted customer takes its orders and their additions; a self-relation gets
// no trigger; nothing else changes. MariaDB's ORACLE mode lacks UPDATE OF: it
// refuses the update trigger and fires the delete triggers.
TEST(Translation, TriggersCascadeAsInAccess)
{
    REQUIRE_FIXTURE(erp, "erp-sample.mdb");
    REQUIRE_FIXTURE(northwind, "Northwind.mdb");
    REQUIRE_TEST_SERVER();
    struct Row {
        QString path;
        QString dataSource;  // QELSQL: MySQL, QELSQL_ORACLE: Oracle
        bool selfRelation;   // Employees' relations to itself and to Orders instead of the file's
        QString acts;        // ";" between the statements
        QString check;       // a query after the acts
        QString expected;    // the status line | the triggers made | the check's answer
    } rows[] = {
        {northwind, "QELSQL", false,
         "DELETE FROM Orders WHERE OrderID=10248;UPDATE Customers SET CustomerID='ALFKX' WHERE CustomerID='ALFKI'",
         "SELECT CONCAT_WS(' ', (SELECT COUNT(*) FROM `Order Details`), COUNT(*), SUM(CustomerID='ALFKX'), "
         "SUM(CustomerID='ALFKI')) FROM Orders",
         "Trigger: 2 angelegt, 0 abgewiesen, 0 nicht möglich | dOrders,uCustomers | 2152 829 6 0"},
        {erp, "QELSQL", false, "UPDATE Kunden SET KdNr=7 WHERE KdNr=1;DELETE FROM Kunden WHERE KdNr=2",
         "SELECT CONCAT_WS(' ', (SELECT GROUP_CONCAT(AufNr) FROM AuftragZusatz), GROUP_CONCAT(AufNr, '/', KdNr ORDER "
         "BY AufNr)) FROM Auftrag",
         "Trigger: 3 angelegt, 0 abgewiesen, 0 nicht möglich | dAuftrag,dKunden,uKunden | 102 102/3,103/7,105/3,106/7"},
        {northwind, "QELSQL", true, "UPDATE Employees SET EmployeeID=99 WHERE EmployeeID=5",
         "SELECT CONCAT_WS(' ', (SELECT COUNT(*) FROM Orders WHERE EmployeeID=99), COUNT(*)) FROM Employees WHERE "
         "ReportsTo=5",
         "Trigger: 2 angelegt, 0 abgewiesen, 1 nicht möglich | dEmployees,uEmployees | 42 3"},
        {erp, "QELSQL_ORACLE", false, "DELETE FROM Kunden WHERE KdNr=2",
         "SELECT CONCAT_WS(' ', (SELECT GROUP_CONCAT(AufNr) FROM AuftragZusatz), GROUP_CONCAT(AufNr ORDER BY AufNr)) "
         "FROM Auftrag",
         "Trigger: 2 angelegt, 1 abgewiesen, 0 nicht möglich | dAuftrag,dKunden | 102 102,103,105,106"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE((row.path + QLatin1Char(' ') + row.dataSource).toStdString());
        ServerProbe probe(row.dataSource);
        probe.dropAllTables();
        const bool oracle = row.dataSource != TestServer::dataSource();
        Program app(Login::TestServer, oracle ? &MDIForm_Main::Option_Oracle : &MDIForm_Main::Option_MySQL);
        if (oracle) {
            app.main->ODBC_Name->setText(row.dataSource);
            MessageBoxAnswerer answers;
            app.main->Command3->click();
            app.openConversion();
        }
        EXPECT_TRUE(app.load(row.path).isEmpty());
        app.convertMarked();
        if (row.selfRelation) {
            auto fake = std::make_unique<FakeDatabase>();
            fake->relations = {makeRelation("Chef", "Employees", "Employees", 4352, {{"EmployeeID", "ReportsTo"}}),
                               makeRelation("EO", "Employees", "Orders", 4352, {{"EmployeeID", "EmployeeID"}})};
            app.konv->SourceDatabase = std::move(fake);
        }
        EXPECT_EQ(app.relationsToTriggers(), QStringList());
        const QString made =
            probe
                .scalar(QStringLiteral("SELECT GROUP_CONCAT(TRIGGER_NAME ORDER BY TRIGGER_NAME) FROM "
                                       "information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = DATABASE()"))
                .toString();
        for (const QString& act : row.acts.split(QLatin1Char(';')))
            probe.exec(act);
        EXPECT_EQ(app.konv->Label1->text() + " | " + made + " | " + probe.scalar(row.check).toString(), row.expected);
    }
}

namespace {

// A server with a customer table and a loaded window whose database has the
// given saved queries.
struct ViewsOnServer {
    ServerProbe probe;
    std::unique_ptr<Program> app;
    FakeDatabase* db = nullptr;

    explicit ViewsOnServer(const QString& path)
    {
        probe.dropAllTables();
        probe.exec(QStringLiteral("CREATE TABLE Kunden (KdNr INT, Name VARCHAR(40), Ort VARCHAR(40))"));
        probe.exec(QStringLiteral("INSERT INTO Kunden VALUES (1, 'Anna', 'Berlin'), (2, 'Bert', 'Hamburg'), "
                                  "(3, 'Carla', 'Berlin')"));
        app = std::make_unique<Program>();
        EXPECT_TRUE(app->load(path).isEmpty());
        auto fake = std::make_unique<FakeDatabase>();
        db = fake.get();
        app->konv->SourceDatabase = std::move(fake);
    }
};

}  // namespace

TEST(Translation, ViewsThatMariaDbAcceptsExistAndTheOthersAreListed)
{
    REQUIRE_FIXTURE(path, "queryTestV2000.mdb");
    REQUIRE_TEST_SERVER();
    ViewsOnServer server(path);
    server.db->queries = {
        {QStringLiteral("View_Berlin"),
         QStringLiteral("SELECT DISTINCTROW [Kunden].[KdNr], [Kunden].[Name] AS \"Kunde\"\r\nFROM [Kunden]\r\nWHERE "
                        "[Kunden].[Ort]=\"Berlin\"\r\nORDER BY [Kunden].[KdNr];\r\n")},
        {QStringLiteral("View_Erste"), QStringLiteral("SELECT First(Name) AS Erster FROM Kunden;")},
        {QStringLiteral("View_Fehlt"), QStringLiteral("SELECT * FROM Gibtsnicht")},
        {QStringLiteral("View_IIf"), QStringLiteral("SELECT IIf(Ort=\"Berlin\",1,0) AS InBerlin FROM Kunden")},
    };
    EXPECT_TRUE(server.app->queriesToViews().isEmpty());

    const QString berlin =
        QStringLiteral("CREATE VIEW View_Berlin AS SELECT  Kunden.KdNr, Kunden.Name AS "
                       "'Kunde'\r\nFROM Kunden\r\nWHERE Kunden.Ort='Berlin'\r\nORDER BY Kunden.KdNr");
    ASSERT_GT(berlin.size(), 80);
    const QStringList lines = server.app->information();
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines.mid(0, 4),
              (QStringList{QStringLiteral("View_Berlin"), berlin.left(80), berlin.mid(80), QString()}));
    EXPECT_EQ(lines.mid(4, 3),
              (QStringList{QStringLiteral("View_Erste"),
                           QStringLiteral("CREATE VIEW View_Erste AS SELECT MIN(Name) AS Erster FROM "
                                          "Kunden"),
                           QString()}));
    // The rejected ones: listed, then "Warnung: " with the error's number and
    // the server's text in pieces of 80, closed by 40 dashes.
    for (const QString& rejected : {QStringLiteral("View_Fehlt"), QStringLiteral("View_IIf")}) {
        const int at = int(lines.indexOf(rejected));
        ASSERT_GE(at, 0) << rejected.toStdString();
        const int warning = int(lines.indexOf(QStringLiteral("Warnung: 40002"), at));
        ASSERT_GT(warning, at);
        EXPECT_EQ(lines[warning - 1], QString());
        const int dashes = int(lines.indexOf(kDashes, warning));
        ASSERT_GT(dashes, warning + 1);
        const QStringList text = joinPieces(lines.mid(warning + 1, dashes - warning - 1), 80);
        ASSERT_EQ(text.size(), 1);
        EXPECT_TRUE(isServerError(text[0])) << text[0].toStdString();
    }
    EXPECT_TRUE(
        lines.at(lines.indexOf(QStringLiteral("View_Fehlt")) + 1).startsWith(QStringLiteral("CREATE VIEW View_Fehlt")));

    // The accepted views exist and return rows.
    const auto rows = server.probe.rows(QStringLiteral("SELECT KdNr, Kunde FROM View_Berlin"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][1].toString(), QStringLiteral("Anna"));
    EXPECT_EQ(rows[1][1].toString(), QStringLiteral("Carla"));
    EXPECT_EQ(server.probe.scalar(QStringLiteral("SELECT Erster FROM View_Erste")).toString(), QStringLiteral("Anna"));
    EXPECT_EQ(server.probe
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.VIEWS WHERE "
                                         "TABLE_SCHEMA = DATABASE()"))
                  .toString(),
              QStringLiteral("3"));
    // View_IIf was refused as rewritten and made from its translation.
    EXPECT_EQ(server.probe.scalar(QStringLiteral("SELECT SUM(InBerlin) FROM View_IIf")).toInt(), 2);
    EXPECT_TRUE(server.app->commandsEnabled());
    EXPECT_EQ(server.app->konv->Label1->text(),
              QStringLiteral("Sichten: 3 angelegt, davon 1 übersetzt, 1 abgewiesen, 0 keine Sicht möglich"));

    // A second run replaces the views.
    server.db->queries[0].SQL = QStringLiteral("SELECT [KdNr], [Name] AS Kunde FROM [Kunden] WHERE Ort=\"Hamburg\";");
    EXPECT_TRUE(server.app->queriesToViews().isEmpty());
    const auto replaced = server.probe.rows(QStringLiteral("SELECT KdNr, Kunde FROM View_Berlin"));
    ASSERT_EQ(replaced.size(), 1);
    EXPECT_EQ(replaced[0][1].toString(), QStringLiteral("Bert"));
    EXPECT_EQ(server.app->information().first(), QStringLiteral("View_Berlin"));
}

TEST(Translation, TakeoverYesYesNoConvertsEverythingThenViewsThenTriggers)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    // A table the server has already: converted all the same.
    probe.exec(QStringLiteral("CREATE TABLE Artikel (Nr INT)"));
    probe.exec(QStringLiteral("INSERT INTO Artikel VALUES (7), (8), (9)"));
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    EXPECT_EQ(app.entryOf(QStringLiteral("Artikel")), PadName(QStringLiteral("Artikel")) + QStringLiteral("[3]"));
    app.konv->SourceDatabase = std::make_unique<DatabaseWithQueries>(
        dao::Database::OpenDatabase(path),
        QList<dao::QueryDef>{{QStringLiteral("View_Kunden"), QStringLiteral("SELECT [Kunden].[KdNr] FROM [Kunden];")}});

    MessageBoxAnswerer answers;
    answers.script = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok};
    app.konv->Command7->click();
    ASSERT_EQ(answers.seen.size(), 4);
    EXPECT_EQ(answers.seen[3].text, QStringLiteral("Alle markierten Tabellen wurden konvertiert."));

    for (const QString& entry : app.entries())
        EXPECT_TRUE(entry.endsWith(QStringLiteral("[migriert]")) || entry.endsWith(QStringLiteral("[!Fehler!]")))
            << entry.toStdString();
    EXPECT_EQ(app.entryOf(QStringLiteral("Artikel")),
              PadName(QStringLiteral("Artikel")) + QStringLiteral("[migriert]"));
    EXPECT_EQ(probe.scalar(QStringLiteral("SELECT COUNT(*) FROM Artikel")).toString(), QStringLiteral("5"));
    // The view over a table the batch created.
    EXPECT_EQ(probe.scalar(QStringLiteral("SELECT COUNT(*) FROM View_Kunden")).toString(),
              probe.scalar(QStringLiteral("SELECT COUNT(*) FROM Kunden")).toString());
    // The triggers ran last: their listing is what the information list holds.
    const QStringList lines = app.information();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("Kunden"));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("Filialen")));
    static const QRegularExpression status(QStringLiteral(
        "^Bereit\\. letzte Aktion: \\d\\d:\\d\\d:\\d\\d - \\d\\d:\\d\\d:\\d\\d  \\|  \\d\\d:\\d\\d:\\d\\d$"));
    EXPECT_TRUE(status.match(app.konv->Label1->text()).hasMatch()) << app.konv->Label1->text().toStdString();
    EXPECT_TRUE(app.commandsEnabled());
    EXPECT_EQ(app.konv->Command9BackColor(), 255);
}

TEST(Translation, ClosingTheWindowDuringViewsEndsThemAndTheWindowGoes)
{
    REQUIRE_FIXTURE(path, "queryTestV2000.mdb");
    REQUIRE_TEST_SERVER();
    ViewsOnServer server(path);
    for (int i = 0; i < 5; ++i)
        server.db->queries.append({QStringLiteral("View_%1").arg(i), QStringLiteral("SELECT KdNr FROM Kunden")});
    QPointer<Konvertierung> window = server.app->konv;
    bool acted = false;
    actDuring([&] { return window && window->List1->count() > 0; }, [&] { window->parentWidget()->close(); },
              [&] { server.app->queriesToViews(); }, &acted);
    EXPECT_TRUE(acted);
    // The window went once the run had ended; at most the first view was created.
    // The close waited for the run's end; the window goes when control is back in the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 5000));
    EXPECT_EQ(server.app->main->konvertierung(), nullptr);
    EXPECT_LE(server.probe
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.VIEWS WHERE TABLE_SCHEMA = "
                                         "DATABASE()"))
                  .toInt(),
              1);
    // The program goes on: a new conversion window loads the database.
    server.app->openConversion();
    ASSERT_NE(server.app->konv, nullptr);
    EXPECT_TRUE(server.app->load(path).isEmpty());
    EXPECT_TRUE(server.app->commandsEnabled());
}

TEST(Translation, TypingADataSourceDuringTriggersEndsThemAndUnloadsTheWindow)
{
    REQUIRE_FIXTURE(path, "Northwind.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    QPointer<Konvertierung> window = app.konv;
    bool acted = false;
    actDuring([&] { return window && window->List1->count() > 0; },
              [&] {
                  app.main->ODBC_Name->setFocus();
                  QTest::keyClicks(app.main->ODBC_Name, QStringLiteral("x"));
              },
              [&] {
                  MessageBoxAnswerer answers;
                  window->Command6->click();
              },
              &acted);
    EXPECT_TRUE(acted);
    // The close waited for the run's end; the window goes when control is back in the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 5000));
    EXPECT_FALSE(app.main->Command1->isEnabled());
    // Back to the right data source, log in again and work on.
    QTest::keyClick(app.main->ODBC_Name, Qt::Key_Backspace);
    app.logIn(Login::TestServer);
    ASSERT_NE(app.konv, nullptr);
    EXPECT_TRUE(app.load(path).isEmpty());
    app.relationsToTriggers();
    EXPECT_EQ(app.information().first(), QStringLiteral("Categories"));
    EXPECT_TRUE(app.commandsEnabled());
}

TEST(Translation, ClosingDuringTheTakeoversViewsEndsIt)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    app.konv->SourceDatabase = std::make_unique<DatabaseWithQueries>(
        dao::Database::OpenDatabase(path),
        QList<dao::QueryDef>{{QStringLiteral("View_A"), QStringLiteral("SELECT KdNr FROM Kunden")},
                             {QStringLiteral("View_B"), QStringLiteral("SELECT KdNr FROM Kunden")}});
    QPointer<Konvertierung> window = app.konv;
    bool acted = false;
    MessageBoxAnswerer answers;
    answers.script = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok};
    actDuring(
        [&] {
            return window && window->List1->count() > 0 && window->List1->item(0)->text() == QStringLiteral("View_A");
        },
        [&] { window->parentWidget()->close(); }, [&] { window->Command7->click(); }, &acted);
    EXPECT_TRUE(acted);
    // The close waited for the run's end; the window goes when control is back in the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 5000));
    // No triggers were attempted and no second view was made.
    EXPECT_LE(probe
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.VIEWS WHERE TABLE_SCHEMA = "
                                         "DATABASE()"))
                  .toInt(),
              1);
    EXPECT_TRUE(app.main->Command1->isEnabled());
}

// Every select and union query of the sample files without parameters or
// form references becomes a view on MariaDB that answers, with the rows
// Access shows; a second run gives the same.
TEST(Translation, ViewsFromTheQueriesOfTheSampleFiles)
{
    REQUIRE_FIXTURE(northwind, "Northwind.mdb");
    REQUIRE_FIXTURE(biblio, "id-biblio.mdb");
    REQUIRE_TEST_SERVER();
    // Rows Access shows for the Northwind queries; -1: a view that answers.
    const std::map<QString, std::map<QString, int>> expected = {
        {northwind,
         {{"Alphabetical List of Products", 69},
          {"Catalog", -1},
          {"Category Sales for 1995", -1},
          {"Current Product List", 69},
          {"Customers and Suppliers by City", -1},
          {"Invoices", 2155},
          {"Order Details Extended", 2155},
          {"Order Subtotals", 830},
          {"Orders Qry", 830},
          {"Product Sales for 1995", -1},
          {"Products Above Average Price", 25},
          {"Products by Category", -1},
          {"Quarterly Orders", 84},
          {"Sales by Category", -1},
          {"Sales Totals by Amount", -1},
          {"Summary of Sales by Quarter", -1},
          {"Summary of Sales by Year", -1},
          {"Ten Most Expensive Products", 10}}},
        {biblio, {{"qryCodeAll", 9}, {"qryNameAll", 9}}},
    };
    for (const auto& [path, views] : expected) {
        SCOPED_TRACE(path.toStdString());
        ServerProbe probe;
        probe.dropAllTables();
        Program app;
        EXPECT_TRUE(app.load(path).isEmpty());
        // The tables first, so that the views have what they read.
        app.convertMarked();
        for (int run = 0; run < 2; ++run) {
            EXPECT_EQ(app.queriesToViews(), QStringList());
            EXPECT_TRUE(app.commandsEnabled());
            // Northwind: four queries are parameter, form and crosstab queries.
            EXPECT_TRUE(app.konv->Label1->text().startsWith(QStringLiteral("Sichten: %1 angelegt").arg(views.size())))
                << app.konv->Label1->text().toStdString();
            for (const auto& [name, rows] : views) {
                QVariant count;
                try {
                    count = probe.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + BacktickQuoted(name));
                } catch (const std::exception&) {
                }
                EXPECT_TRUE(count.isValid()) << name.toStdString();
                if (rows >= 0) {
                    EXPECT_EQ(count.toInt(), rows) << name.toStdString();
                }
            }
        }
    }
}
