// Saved queries: the SQL text rebuilt from the query catalogue, compared in
// full with what Access shows, the kinds, DAO's order of the collections, and
// damaged catalogue rows that must not take the other queries with them.

#include "TestSupport.h"
#include "access/AccessDatabase.h"
#include "access/jet/JetNames.h"
#include "access/jet/JetQueries.h"
#include "core/TabrixError.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>

using dao::Database;
using jet::QueryRow;

namespace {

std::string str(const QString& s)
{
    return s.toStdString();
}

// Access's lines are joined by CR LF.
QString lines(std::initializer_list<const char*> parts)
{
    QStringList out;
    for (const char* p : parts)
        out.append(QString::fromUtf8(p));
    return out.join(QStringLiteral("\r\n"));
}

std::map<QString, dao::QueryDef> queriesOf(const Database& db)
{
    std::map<QString, dao::QueryDef> out;
    for (const dao::QueryDef& q : db.QueryDefs())
        out[q.Name] = q;
    return out;
}

QueryRow row(int attribute, const char* expression, int flag = 0, const char* name1 = nullptr,
             const char* name2 = nullptr, int order = 1)
{
    QueryRow r;
    r.attribute = attribute;
    r.expression = expression ? QString::fromUtf8(expression) : QString();
    r.flag = flag;
    r.name1 = name1 ? QString::fromUtf8(name1) : QString();
    r.name2 = name2 ? QString::fromUtf8(name2) : QString();
    r.order = QByteArray("\0\0\0", 3) + char(order);
    return r;
}

QString sqlOf(const QList<QueryRow>& rows)
{
    return jet::querySql(rows).sql;
}

QString errorOf(const QList<QueryRow>& rows)
{
    try {
        jet::querySql(rows);
    } catch (const TabrixError& e) {
        return e.description();
    }
    return QStringLiteral("(kein Fehler)");
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}  // namespace

// ---------------------------------------------------------------------------
// queryTestV2000.mdb, queryTestV1997.mdb and queryTestV2010.accdb: the texts of the fixtures' README.

TEST(QueryDefs, TheNineQueriesOfEveryFormatAsAccessShowsThem)
{
    REQUIRE_FIXTURE(jet4, "queryTestV2000.mdb");
    REQUIRE_FIXTURE(jet3, "queryTestV1997.mdb");
    const QString ace = QStringLiteral(TABRIX_SOURCE_DIR "/tests/data/accdb/queryTestV2010.accdb");
    const std::map<QString, std::pair<int, QString>> expected = {
        {QStringLiteral("SelectQuery"),
         {dao::dbQSelect,
          lines({"SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3",
                 "FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON (Table3.col1 = "
                 "Table2.col2) AND (Table3.col1 = Table2.col1)",
                 "WHERE (((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))", "ORDER BY Table2.col1;"})}},
        {QStringLiteral("DeleteQuery"),
         {dao::dbQDelete,
          lines({"DELETE Table1.col1, Table1.col2, Table1.col3", "FROM Table1", "WHERE (((Table1.col1)>\"blah\"));"})}},
        {QStringLiteral("AppendQuery"),
         {dao::dbQAppend,
          lines({"INSERT INTO Table3 (col2, col2, col3)", "SELECT [Table1].[col2], [Table2].[col2], [Table2].[col3]",
                 "FROM Table3, Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1];"})}},
        // The README has "PARAMETERS User Name Text;" (the Jackcess test's text). Access brackets
        // a parameter name with a blank, as Northwind's "PARAMETERS [Beginning Date] DateTime"
        // shows (both names are stored without brackets); the unbracketed text would not even
        // parse. So the name is bracketed here; the rest is the README's text.
        {QStringLiteral("UpdateQuery"),
         {dao::dbQUpdate,
          lines({"PARAMETERS [User Name] Text;", "UPDATE Table1",
                 "SET Table1.col1 = \"foo\", Table1.col2 = [Table2].[col3], [Table2].[col1] = [User Name]",
                 "WHERE ((([Table2].[col1]) Is Not Null));"})}},
        {QStringLiteral("MakeTableQuery"),
         {dao::dbQMakeTable,
          lines({"SELECT Max(Table2.col1) AS MaxOfcol1, Table2.col2, Table3.col2 INTO Table4",
                 "FROM (Table2 INNER JOIN Table1 ON Table2.col1 = Table1.col2) RIGHT JOIN Table3 ON Table1.col2 = "
                 "Table3.col3",
                 "GROUP BY Table2.col2, Table3.col2",
                 "HAVING (((Max(Table2.col1))=\"buzz\") AND ((Table2.col2)<>\"blah\"));"})}},
        {QStringLiteral("CrosstabQuery"),
         {dao::dbQCrosstab,
          lines(
              {"TRANSFORM Count([Table2].[col2]) AS CountOfcol2",
               "SELECT Table2_1.col1, [Table2].[col3], Avg(Table2_1.col2) AS AvgOfcol2",
               "FROM (Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1]) INNER JOIN Table2 AS Table2_1 ON "
               "[Table2].[col1]=Table2_1.col3",
               "WHERE ((([Table1].[col1])>\"10\") And ((Table2_1.col1) Is Not Null) And ((Avg(Table2_1.col2))>\"10\"))",
               "GROUP BY Table2_1.col1, [Table2].[col3]", "ORDER BY [Table2].[col3]", "PIVOT [Table1].[col1];"})}},
        {QStringLiteral("UnionQuery"),
         {dao::dbQSetOperation,
          lines({"Select Table1.col1, Table1.col2", "where Table1.col1 = \"foo\"", "UNION",
                 "Select Table2.col1, Table2.col2", "UNION ALL Select Table3.col1, Table3.col2",
                 "where Table3.col3 > \"blah\";"})}},
        {QStringLiteral("PassthroughQuery"),
         {dao::dbQSQLPassThrough, QStringLiteral("ALTER TABLE Table4 DROP COLUMN col5;") + QChar(0)}},
        {QStringLiteral("DataDefinitionQuery"),
         {dao::dbQDDL, QStringLiteral("CREATE TABLE Table5 (col1 CHAR, col2 CHAR);") + QChar(0)}},
    };
    for (const QString& path : {jet4, jet3, ace}) {
        SCOPED_TRACE(str(path));
        const auto db = Database::OpenDatabase(path);
        QStringList names;
        for (const dao::QueryDef& q : db->QueryDefs()) {
            names.append(q.Name);
            const auto it = expected.find(q.Name);
            ASSERT_NE(it, expected.end()) << str(q.Name);
            EXPECT_EQ(str(q.SQL), str(it->second.second)) << str(q.Name);
            EXPECT_EQ(q.Type, it->second.first) << str(q.Name);
            EXPECT_TRUE(q.SQLError.isEmpty()) << str(q.SQLError);
        }
        EXPECT_EQ(str(names.join(QLatin1Char('|'))),
                  "AppendQuery|CrosstabQuery|DataDefinitionQuery|DeleteQuery|"
                  "MakeTableQuery|PassthroughQuery|SelectQuery|UnionQuery|UpdateQuery");
    }
}

// ---------------------------------------------------------------------------
// Northwind: the expected texts are worked out from the catalogue rows. Where a
// rule is not visible in queryTest's texts, the comment names where it comes
// from: public listings of Northwind's queries as Access shows them (a later
// Northwind with 1997 dates and otherwise the same catalogue rows).

TEST(QueryDefs, NorthwindListsItsTwentyTwoQueriesByName)
{
    REQUIRE_FIXTURE(path, "Northwind.mdb");
    const auto db = Database::OpenDatabase(path);
    QStringList names;
    for (const dao::QueryDef& q : db->QueryDefs()) {
        names.append(q.Name);
        EXPECT_FALSE(q.SQL.isEmpty()) << str(q.Name) << ": " << str(q.SQLError);
        EXPECT_TRUE(q.SQL.endsWith(QLatin1Char(';'))) << str(q.Name);
    }
    EXPECT_EQ(
        str(names.join(QLatin1Char('|'))),
        "Alphabetical List of Products|Catalog|Category Sales for 1995|Current Product List|"
        "Customers and Suppliers by City|Employee Sales by Country|Invoices|Invoices Filter|"
        "Order Details Extended|Order Subtotals|Orders Qry|Product Sales for 1995|Products Above Average Price|"
        "Products by Category|Quarterly Orders|Quarterly Orders by Product|Sales by Category|Sales by Year|"
        "Sales Totals by Amount|Summary of Sales by Quarter|Summary of Sales by Year|Ten Most Expensive Products");
}

TEST(QueryDefs, NorthwindTextsOfJoinsParametersAggregatesCrosstabAndUnion)
{
    REQUIRE_FIXTURE(path, "Northwind.mdb");
    const auto db = Database::OpenDatabase(path);
    const auto queries = queriesOf(*db);
    const std::map<QString, QString> expected = {
        // Joins: each join row combines the two pieces holding its tables, the earlier
        // piece on the left; a join inside another is in parentheses (the same nesting as
        // Access's "FROM Shippers INNER JOIN (Products INNER JOIN ((Employees ...").
        // Table names with blanks are bracketed.
        {QStringLiteral("Invoices"),
         lines(
             {"SELECT DISTINCTROW Orders.ShipName, Orders.ShipAddress, Orders.ShipCity, Orders.ShipRegion, "
              "Orders.ShipPostalCode, Orders.ShipCountry, Orders.CustomerID, Customers.CompanyName, Customers.Address, "
              "Customers.City, Customers.Region, Customers.PostalCode, Customers.Country, [FirstName] & \" \" & "
              "[LastName] AS Salesperson, Orders.OrderID, Orders.OrderDate, Orders.RequiredDate, Orders.ShippedDate, "
              "Shippers.CompanyName, [Order Details].ProductID, Products.ProductName, [Order Details].UnitPrice, "
              "[Order Details].Quantity, [Order Details].Discount, "
              "CCur([Order Details].[UnitPrice]*[Quantity]*(1-[Discount])/100)*100 AS ExtendedPrice, Orders.Freight",
              "FROM Shippers INNER JOIN (Products INNER JOIN ((Employees INNER JOIN (Customers INNER JOIN Orders ON "
              "Customers.CustomerID = Orders.CustomerID) ON Employees.EmployeeID = Orders.EmployeeID) INNER JOIN "
              "[Order Details] ON Orders.OrderID = [Order Details].OrderID) ON Products.ProductID = [Order "
              "Details].ProductID) ON Shippers.ShipperID = Orders.ShipVia;"})},
        {QStringLiteral("Quarterly Orders"),
         lines({"SELECT DISTINCTROW Customers.CustomerID, Customers.CompanyName, Customers.City, Customers.Country",
                "FROM Customers RIGHT JOIN Orders ON Customers.CustomerID = Orders.CustomerID",
                "WHERE (((Orders.OrderDate) Between #1/1/95# And #12/31/95#));"})},
        // An alias that needs brackets gets them: "Products AS [Product List]".
        {QStringLiteral("Current Product List"),
         lines({"SELECT [Product List].ProductID, [Product List].ProductName", "FROM Products AS [Product List]",
                "WHERE ((([Product List].Discontinued)=No))", "ORDER BY [Product List].ProductName;"})},
        // PARAMETERS: each part of a name bracketed where it needs it ("Forms" and
        // "BeginningDate" stay bare, as in Access's "Forms![Sales by Year Dialog]!BeginningDate");
        // "Year" as an alias is a reserved word of Jet SQL, hence "AS [Year]".
        {QStringLiteral("Employee Sales by Country"),
         lines({"PARAMETERS [Beginning Date] DateTime, [Ending Date] DateTime;",
                "SELECT DISTINCTROW Employees.Country, Employees.LastName, Employees.FirstName, Orders.ShippedDate, "
                "Orders.OrderID, [Order Subtotals].Subtotal AS SaleAmount",
                "FROM Employees INNER JOIN (Orders INNER JOIN [Order Subtotals] ON Orders.OrderID = [Order "
                "Subtotals].OrderID) ON Employees.EmployeeID = Orders.EmployeeID",
                "WHERE (((Orders.ShippedDate) Between [Beginning Date] And [Ending Date]));"})},
        {QStringLiteral("Sales by Year"),
         lines({"PARAMETERS Forms![Sales by Year Dialog]!BeginningDate DateTime, Forms![Sales by Year "
                "Dialog]!EndingDate DateTime;",
                "SELECT DISTINCTROW Orders.ShippedDate, Orders.OrderID, [Order Subtotals].Subtotal, "
                "Format([ShippedDate],\"yyyy\") AS [Year]",
                "FROM Orders INNER JOIN [Order Subtotals] ON Orders.OrderID = [Order Subtotals].OrderID",
                "WHERE (((Orders.ShippedDate) Is Not Null And (Orders.ShippedDate) Between [Forms]![Sales by Year "
                "Dialog]![BeginningDate] And [Forms]![Sales by Year Dialog]![EndingDate]));"})},
        // Aggregates: the GROUP BY rows in their order; a stored query read like a table.
        {QStringLiteral("Order Subtotals"),
         lines({"SELECT DISTINCTROW [Order Details].OrderID, "
                "Sum(CCur([UnitPrice]*[Quantity]*(1-[Discount])/100)*100) AS Subtotal",
                "FROM [Order Details]", "GROUP BY [Order Details].OrderID;"})},
        {QStringLiteral("Category Sales for 1995"),
         lines({"SELECT DISTINCTROW [Product Sales for 1995].CategoryName, Sum([Product Sales for 1995].ProductSales) "
                "AS CategorySales",
                "FROM [Product Sales for 1995]", "GROUP BY [Product Sales for 1995].CategoryName;"})},
        {QStringLiteral("Product Sales for 1995"),
         lines({"SELECT DISTINCTROW Categories.CategoryName, Products.ProductName, "
                "Sum(CCur([Order Details].[UnitPrice]*[Quantity]*(1-[Discount])/100)*100) AS ProductSales",
                "FROM (Categories INNER JOIN Products ON Categories.CategoryID = Products.CategoryID) INNER JOIN "
                "(Orders INNER JOIN [Order Details] ON Orders.OrderID = [Order Details].OrderID) ON Products.ProductID "
                "= [Order Details].ProductID",
                "WHERE (((Orders.ShippedDate) Between #1/1/95# And #12/31/95#))",
                "GROUP BY Categories.CategoryName, Products.ProductName;"})},
        // DISTINCTROW and TOP together (flag bits 8 and 16), DESC from the order row's "D".
        {QStringLiteral("Ten Most Expensive Products"),
         lines({"SELECT DISTINCTROW TOP 10 Products.ProductName AS TenMostExpensiveProducts, Products.UnitPrice",
                "FROM Products", "ORDER BY Products.UnitPrice DESC;"})},
        // Crosstab: the stored DISTINCTROW flag is not shown; the pivot's IN list is part of
        // its expression, its own alias is not shown.
        {QStringLiteral("Quarterly Orders by Product"),
         lines({"TRANSFORM Sum(CCur([Order Details].[UnitPrice]*[Quantity]*(1-[Discount])/100)*100) AS ProductAmount",
                "SELECT Products.ProductName, Orders.CustomerID, Year([OrderDate]) AS OrderYear",
                "FROM Products INNER JOIN (Orders INNER JOIN [Order Details] ON Orders.OrderID = [Order "
                "Details].OrderID) ON Products.ProductID = [Order Details].ProductID",
                "WHERE (((Orders.OrderDate) Between #1/1/95# And #12/31/95#))",
                "GROUP BY Products.ProductName, Orders.CustomerID, Year([OrderDate])",
                "PIVOT \"Qtr \" & DatePart(\"q\",[OrderDate],1,0) In (\"Qtr 1\",\"Qtr 2\",\"Qtr 3\",\"Qtr 4\");"})},
        // Union: the parts as stored (the blank before the first part's line break stays),
        // UNION without ALL (flag bit 2), then the ORDER BY rows.
        {QStringLiteral("Customers and Suppliers by City"),
         lines({"SELECT City, CompanyName, ContactName, \"Customers\" AS [Relationship] ", "FROM Customers",
                "UNION SELECT City, CompanyName, ContactName, \"Suppliers\"", "FROM Suppliers",
                "ORDER BY City, CompanyName;"})},
    };
    for (const auto& [name, sql] : expected) {
        const auto it = queries.find(name);
        ASSERT_NE(it, queries.end()) << str(name);
        EXPECT_EQ(str(it->second.SQL), str(sql)) << str(name);
    }
    EXPECT_EQ(queries.at(QStringLiteral("Quarterly Orders by Product")).Type, dao::dbQCrosstab);
    EXPECT_EQ(queries.at(QStringLiteral("Customers and Suppliers by City")).Type, dao::dbQSetOperation);
    EXPECT_EQ(queries.at(QStringLiteral("Invoices")).Type, dao::dbQSelect);
}

// ---------------------------------------------------------------------------
// The rules on rows no fixture holds.

TEST(QueryDefs, PredicatesOwnerAccessRemoteSourcesAndRowOrder)
{
    // Rows arrive in any order: each attribute's rows go by their Order bytes.
    const QList<QueryRow> top = {
        row(jet::qaColumn, "T.b", 0, nullptr, nullptr, 2),
        row(jet::qaType, nullptr, 1),
        row(jet::qaFlags, nullptr, 0x10 | 0x20 | 0x04, "5"),
        row(jet::qaColumn, "T.a", 0, "Date", nullptr, 1),
        row(jet::qaTable, nullptr, 0, "T"),
        row(jet::qaRemoteDatabase, "dBASE IV;", 0, "C:\\daten"),
    };
    EXPECT_EQ(str(sqlOf(top)),
              str(lines({"SELECT TOP 5 PERCENT T.a AS [Date], T.b", "FROM T IN 'C:\\daten' [dBASE IV;]",
                         "WITH OWNERACCESS OPTION;"})));

    // Access 2007 and later add a row of attribute 12 (only a flag) and an empty remote-database row.
    EXPECT_EQ(str(sqlOf({row(jet::qaType, nullptr, 1), row(jet::qaFlags, nullptr, 0x01),
                         row(jet::qaTable, nullptr, 0, "Lieferung 2024"), row(jet::qaComplexOutput, nullptr, 2),
                         row(jet::qaRemoteDatabase, nullptr)})),
              str(lines({"SELECT *", "FROM [Lieferung 2024];"})));

    // Make-table into another database; append with VALUES; a Text parameter with its size.
    EXPECT_EQ(str(sqlOf({row(jet::qaType, nullptr, 2, "Archiv", "D:\\alt.mdb"), row(jet::qaColumn, "T.a"),
                         row(jet::qaTable, nullptr, 0, "T")})),
              str(lines({"SELECT T.a INTO Archiv IN 'D:\\alt.mdb'", "FROM T;"})));
    QueryRow name = row(jet::qaParameter, nullptr, 10, "Kunde");
    name.extra = 255;
    EXPECT_EQ(str(sqlOf({row(jet::qaType, nullptr, 3, "Änderungen"), name,
                         row(jet::qaColumn, "[Kunde]", 0x8000, nullptr, "Kunde", 1),
                         row(jet::qaColumn, "Now()", 0x8000, nullptr, "Zeit Stempel", 2)})),
              str(lines({"PARAMETERS Kunde Text ( 255 );", "INSERT INTO Änderungen (Kunde, [Zeit Stempel])",
                         "VALUES ([Kunde], Now());"})));
    // Update over a join with DISTINCTROW; delete with its predicate.
    EXPECT_EQ(str(sqlOf({row(jet::qaType, nullptr, 4), row(jet::qaFlags, nullptr, 0x08),
                         row(jet::qaTable, nullptr, 0, "A", nullptr, 1), row(jet::qaTable, nullptr, 0, "B", nullptr, 2),
                         row(jet::qaJoin, "A.x = B.x", 2, "A", "B"), row(jet::qaColumn, "B.y", 0, nullptr, "A.Wert")})),
              str(lines({"UPDATE DISTINCTROW A LEFT JOIN B ON A.x = B.x", "SET A.Wert = B.y;"})));
    EXPECT_EQ(str(sqlOf({row(jet::qaType, nullptr, 5), row(jet::qaFlags, nullptr, 0x08), row(jet::qaColumn, "A.*"),
                         row(jet::qaTable, nullptr, 0, "A")})),
              str(lines({"DELETE DISTINCTROW A.*", "FROM A;"})));
}

TEST(QueryDefs, DamagedRowsAreReportedInGerman)
{
    const QueryRow type = row(jet::qaType, nullptr, 1);
    const QueryRow t1 = row(jet::qaTable, nullptr, 0, "A", nullptr, 1);
    const QueryRow t2 = row(jet::qaTable, nullptr, 0, "B", nullptr, 2);
    EXPECT_EQ(str(errorOf({t1})), "Die Zeile mit der Abfrageart fehlt.");
    EXPECT_EQ(str(errorOf({row(jet::qaType, nullptr, 42)})), "Die Abfrageart 42 ist unbekannt.");
    EXPECT_EQ(str(errorOf({type, t1, row(42, "x")})), "Eine Zeile hat die unbekannte Art 42.");
    EXPECT_EQ(str(errorOf({type, t1, t2, row(jet::qaJoin, "A.x = C.x", 1, "A", "C")})),
              "Eine Verknüpfung bezieht sich auf die Tabelle 'C', die in der Abfrage nicht vorkommt.");
    EXPECT_EQ(str(errorOf({type, t1, t2, row(jet::qaJoin, "A.x = B.x", 7, "A", "B")})),
              "Die Verknüpfung von 'A' mit 'B' hat die unbekannte Art 7.");
    EXPECT_EQ(str(errorOf({type, t1, t2, row(jet::qaJoin, "A.x = B.x", 1, "A", "B", 1),
                           row(jet::qaJoin, "A.y = B.y", 2, "A", "B", 2)})),
              "Die Tabellen 'A' und 'B' sind mit verschiedenen Verknüpfungsarten verbunden.");
    EXPECT_EQ(str(errorOf({type, t1, row(jet::qaWhere, "x", 0, nullptr, nullptr, 1),
                           row(jet::qaWhere, "y", 0, nullptr, nullptr, 2)})),
              "Die WHERE-Bedingung ist mehrfach eingetragen.");
    EXPECT_EQ(str(errorOf({row(jet::qaType, nullptr, 9), row(jet::qaTable, "Select 1", 0, nullptr, "X7YZ_____1")})),
              "Der 2. Teil der UNION-Abfrage fehlt.");
    EXPECT_EQ(str(errorOf({type, t1, row(jet::qaParameter, nullptr, 99, "p")})),
              "Der Parameter 'p' hat den unbekannten Typ 99.");
}

TEST(QueryDefs, NamesAreBracketedAndOrderedAsAccessDoes)
{
    EXPECT_EQ(str(jet::bracketed(QStringLiteral("Orders"))), "Orders");
    EXPECT_EQ(str(jet::bracketed(QString::fromUtf8("Maßeinheit"))), "Maßeinheit");
    EXPECT_EQ(str(jet::bracketed(QStringLiteral("Order Details"))), "[Order Details]");
    EXPECT_EQ(str(jet::bracketed(QStringLiteral("year"))), "[year]");
    EXPECT_EQ(str(jet::bracketed(QStringLiteral("2024Umsatz"))), "[2024Umsatz]");
    EXPECT_EQ(str(jet::bracketed(QStringLiteral("[schon so]"))), "[schon so]");
    EXPECT_EQ(str(jet::bracketedPath(QStringLiteral("[a.b].c d"), QStringLiteral("."))), "[a.b].[c d]");

    QStringList names = {QStringLiteral("Zahlung"),  QStringLiteral("Änderung"),  QStringLiteral("auftrag"),
                         QStringLiteral("Auftrag"),  QStringLiteral("Auftrag 2"), QStringLiteral("Auftrag_2"),
                         QStringLiteral("Auftrag2"), QStringLiteral("Straße"),    QStringLiteral("Strasse"),
                         QStringLiteral("Strand")};
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return jet::compareNames(a, b) < 0; });
    // Blanks and punctuation before digits before letters; umlauts with their base letter;
    // "ß" as "ss" (unaccented first); case last (lower case first).
    EXPECT_EQ(
        str(names.join(QLatin1Char('|'))),
        str(QString::fromUtf8("Änderung|auftrag|Auftrag|Auftrag 2|Auftrag_2|Auftrag2|Strand|Strasse|Straße|Zahlung")));
}

// ---------------------------------------------------------------------------
// Damaged catalogue rows in patched copies of queryTestV2000.mdb.

namespace {

// The catalogue row of MakeTableQuery's RIGHT JOIN of Table1 and Table3: its
// fixed part (ObjectId 0x8000000D, Attribute 7, Flag 3) and then its names in
// UTF-16 come shortly before its expression.
struct JoinRowBytes {
    qsizetype attribute = -1;
    qsizetype secondTable = -1;
};

JoinRowBytes findMakeTableJoinRow(const QByteArray& file)
{
    JoinRowBytes at;
    const qsizetype expression = file.indexOf(QByteArray("Table1.col2 = Table3.col3"));
    if (expression < 0)
        return at;
    const QByteArray fixedPart("\x0D\x00\x00\x80\x07\x03\x00", 7);
    const qsizetype fixed = file.lastIndexOf(fixedPart, expression);
    if (fixed < 0 || expression - fixed > 96)
        return at;
    at.attribute = fixed + 4;
    const QByteArray table3 = QByteArray::fromRawData(reinterpret_cast<const char*>(u"Table3"), 12);
    at.secondTable = file.indexOf(table3, fixed);
    if (at.secondTable > expression)
        at.secondTable = -1;
    return at;
}

}  // namespace

TEST(QueryDefs, ADamagedCatalogueRowSpoilsOnlyItsQuery)
{
    REQUIRE_FIXTURE(path, "queryTestV2000.mdb");
    const QByteArray original = readFile(path);
    const JoinRowBytes at = findMakeTableJoinRow(original);
    ASSERT_GE(at.attribute, 0);
    ASSERT_GE(at.secondTable, 0);
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("kaputt.mdb"));

    struct Damage {
        const char* what;
        qsizetype at;
        QByteArray bytes;
        const char* reason;
    };
    const Damage damages[] = {
        {"unknown kind of row", at.attribute, QByteArray("\x2A", 1), "Eine Zeile hat die unbekannte Art 42."},
        {"join to a missing table", at.secondTable + 10, QByteArray("9\0", 2),
         "Eine Verknüpfung bezieht sich auf die Tabelle 'Table9', die in der Abfrage nicht vorkommt."},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        QByteArray bytes = original;
        bytes.replace(d.at, d.bytes.size(), d.bytes);
        ASSERT_TRUE(writeFile(copy, bytes));
        const auto db = Database::OpenDatabase(copy);
        ASSERT_EQ(db->QueryDefs().size(), 9);
        for (const dao::QueryDef& q : db->QueryDefs()) {
            if (q.Name == QLatin1String("MakeTableQuery")) {
                EXPECT_TRUE(q.SQL.isEmpty());
                EXPECT_EQ(q.Type, dao::dbQMakeTable);  // from the catalogue of objects
                EXPECT_EQ(str(q.SQLError),
                          "Der SQL-Text der Abfrage 'MakeTableQuery' kann nicht gebildet werden: "
                              + std::string(d.reason));
            } else {
                EXPECT_FALSE(q.SQL.isEmpty()) << str(q.Name) << ": " << str(q.SQLError);
                EXPECT_TRUE(q.SQLError.isEmpty()) << str(q.Name);
            }
        }
    }
}

// The record source of a form or report is a hidden query named "~sq_...":
// DAO lists it with the others (here DeleteQuery renamed in a copy).
TEST(QueryDefs, HiddenRecordSourceQueriesAreListed)
{
    REQUIRE_FIXTURE(path, "queryTestV2000.mdb");
    QByteArray bytes = readFile(path);
    const auto utf16 = [](const char16_t* s) {
        return QByteArray(reinterpret_cast<const char*>(s), qsizetype(std::char_traits<char16_t>::length(s)) * 2);
    };
    const qsizetype at = bytes.indexOf(utf16(u"DeleteQuery"));
    ASSERT_GE(at, 0);
    bytes.replace(at, 22, utf16(u"~sq_cDelete"));
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("formular.mdb"));
    ASSERT_TRUE(writeFile(copy, bytes));
    const auto db = Database::OpenDatabase(copy);
    ASSERT_EQ(db->QueryDefs().size(), 9);
    const dao::QueryDef& hidden = db->QueryDefs().front();  // "~" sorts before letters
    EXPECT_EQ(str(hidden.Name), "~sq_cDelete");
    EXPECT_EQ(hidden.Type, dao::dbQDelete);
    EXPECT_EQ(str(hidden.SQL),
              str(lines({"DELETE Table1.col1, Table1.col2, Table1.col3", "FROM Table1",
                         "WHERE (((Table1.col1)>\"blah\"));"})));
}

// Every byte of the query catalogue's data page flipped in turn: the database
// opens, the nine queries are listed, each with a text or with a reason.
TEST(QueryDefs, FlippedCatalogueBytesNeverCrash)
{
    REQUIRE_FIXTURE(path, "queryTestV2000.mdb");
    const QByteArray original = readFile(path);
    const JoinRowBytes at = findMakeTableJoinRow(original);
    ASSERT_GE(at.attribute, 0);
    const qsizetype page = at.attribute / 4096 * 4096;
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("gekippt.mdb"));
    int withReason = 0;
    for (qsizetype i = page; i < page + 4096; i += 8) {
        QByteArray bytes = original;
        bytes[i] = char(bytes[i] ^ 0xFF);
        ASSERT_TRUE(writeFile(copy, bytes));
        const auto db = Database::OpenDatabase(copy);
        ASSERT_EQ(db->QueryDefs().size(), 9) << "byte " << i;
        for (const dao::QueryDef& q : db->QueryDefs()) {
            EXPECT_NE(q.SQL.isEmpty(), q.SQLError.isEmpty()) << "byte " << i << " " << str(q.Name);
            withReason += q.SQLError.isEmpty() ? 0 : 1;
        }
    }
    EXPECT_GT(withReason, 0);

    // Byte 767 of the page is in a row's table of column offsets: flipped, the
    // offsets run backwards, which libmdb lets through (a negative length). The
    // row cannot be read, nor told to which query it belongs, so every query
    // says so instead of showing a text read from outside the row.
    QByteArray bytes = original;
    bytes[page + 767] = char(bytes[page + 767] ^ 0xFF);
    ASSERT_TRUE(writeFile(copy, bytes));
    const auto db = Database::OpenDatabase(copy);
    for (const dao::QueryDef& q : db->QueryDefs()) {
        EXPECT_TRUE(q.SQL.isEmpty()) << str(q.Name);
        EXPECT_TRUE(q.SQLError.endsWith(QString::fromUtf8("Ein Datensatz auf Seite 30 ist beschädigt.")))
            << str(q.SQLError);
    }
}

TEST(QueryDefs, AQueryWithoutTypeRowTakesItsKindFromTheObjectFlags)
{
    REQUIRE_FIXTURE(path, "id-biblio.mdb");
    const auto queries = queriesOf(*Database::OpenDatabase(path));
    ASSERT_EQ(queries.size(), 2u);
    EXPECT_EQ(str(queries.at(QStringLiteral("qryCodeAll")).SQL),
              str(lines({"SELECT tblName.Name_Code", "FROM tblName;"})));
    const dao::QueryDef& nameAll = queries.at(QStringLiteral("qryNameAll"));
    EXPECT_EQ(str(nameAll.SQL), str(lines({"SELECT tblName.Name_Code, tblName.Name_Description", "FROM tblName;"})));
    EXPECT_EQ(nameAll.Type, dao::dbQSelect);
    EXPECT_TRUE(nameAll.SQLError.isEmpty());
    // A kind whose text needs the type row (the target of an append) stays an error.
    EXPECT_THROW(jet::querySql({row(jet::qaTable, nullptr, 0, "A")}, dao::dbQAppend), TabrixError);
    EXPECT_EQ(str(jet::querySql({row(jet::qaTable, nullptr, 0, "A"), row(jet::qaColumn, "A.x")}, dao::dbQDelete).sql),
              str(lines({"DELETE A.x", "FROM A;"})));
}
