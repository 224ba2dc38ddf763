// Saved Access queries translated into the SELECT of a MySQL or SQL Server
// view, one table row per case: Access text | MySQL text | SQL Server text.
// A translation that fails shows as "NotAView: reason" or "Untranslatable:
// reason"; a row without SQL Server text expects the MySQL one there as well.

#include "QtPrinters.h"
#include "translation/AccessSqlWriter.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    const char* access;
    const char* mySql;
    const char* msSql = nullptr;
};

QString outcome(const QString& access, Dialect dialect)
{
    const AccessSqlTranslation t = TranslateAccessQuery(access, dialect);
    switch (t.outcome) {
    case AccessSqlTranslation::Outcome::Translated:
        return t.text;
    case AccessSqlTranslation::Outcome::NotAView:
        return QStringLiteral("NotAView: ") + t.reason;
    case AccessSqlTranslation::Outcome::Untranslatable:
        return QStringLiteral("Untranslatable: ") + t.reason;
    }
    return {};
}

void checkRows(const std::vector<Row>& rows)
{
    for (const Row& row : rows) {
        const QString access = QString::fromUtf8(row.access);
        EXPECT_EQ(outcome(access, Dialect::MySQL), QString::fromUtf8(row.mySql)) << row.access;
        EXPECT_EQ(outcome(access, Dialect::MSSQL), QString::fromUtf8(row.msSql ? row.msSql : row.mySql)) << row.access;
    }
}

}  // namespace

TEST(AccessSql, NorthwindQueries)
{
    checkRows({
        {"SELECT [Product List].ProductID, [Product List].ProductName\r\nFROM Products AS [Product List]\r\nWHERE "
         "((([Product List].Discontinued)=No))\r\nORDER BY [Product List].ProductName;\r\n",
         "SELECT `Product List`.ProductID, `Product List`.ProductName FROM Products AS `Product List` WHERE `Product "
         "List`.Discontinued = 0 ORDER BY `Product List`.ProductName",
         "SELECT \"Product List\".ProductID, \"Product List\".ProductName FROM Products AS \"Product List\" WHERE "
         "\"Product List\".Discontinued = 0"},
        {"SELECT DISTINCTROW TOP 10 Products.ProductName AS TenMostExpensiveProducts, Products.UnitPrice\r\nFROM "
         "Products\r\nORDER BY Products.UnitPrice DESC;",
         "SELECT Products.ProductName AS TenMostExpensiveProducts, Products.UnitPrice FROM Products ORDER BY "
         "Products.UnitPrice DESC LIMIT 10",
         "SELECT TOP 10 WITH TIES Products.ProductName AS TenMostExpensiveProducts, Products.UnitPrice FROM Products "
         "ORDER BY Products.UnitPrice DESC"},
        {"SELECT City, CompanyName, ContactName, \"Customers\" AS [Relationship] \r\nFROM Customers\r\nUNION SELECT "
         "City, CompanyName, ContactName, \"Suppliers\"\r\nFROM Suppliers\r\nORDER BY City, CompanyName;",
         "SELECT City, CompanyName, ContactName, 'Customers' AS Relationship FROM Customers UNION SELECT City, "
         "CompanyName, ContactName, 'Suppliers' FROM Suppliers ORDER BY City, CompanyName",
         "SELECT City, CompanyName, ContactName, 'Customers' AS Relationship FROM Customers UNION SELECT City, "
         "CompanyName, ContactName, 'Suppliers' FROM Suppliers"},
        {"SELECT DISTINCTROW [Order Details].OrderID, Sum(CCur([UnitPrice]*[Quantity]*(1-[Discount])/100)*100) AS "
         "Subtotal\r\nFROM [Order Details]\r\nGROUP BY [Order Details].OrderID;",
         "SELECT `Order Details`.OrderID, SUM(CAST(CAST(UnitPrice AS DOUBLE) * Quantity * (1 - Discount) / 100 AS "
         "DECIMAL(19,4)) * 100) AS Subtotal FROM `Order Details` GROUP BY `Order Details`.OrderID",
         "SELECT \"Order Details\".OrderID, SUM(CAST(CAST(UnitPrice AS FLOAT) * Quantity * (1 - Discount) / 100 AS "
         "MONEY) * 100) AS Subtotal FROM \"Order Details\" GROUP BY \"Order Details\".OrderID"},
        {"SELECT DISTINCTROW Products.ProductName, Products.UnitPrice\r\nFROM Products\r\nWHERE "
         "(((Products.UnitPrice)>(SELECT AVG([UnitPrice]) From Products)))\r\nORDER BY Products.UnitPrice DESC;",
         "SELECT Products.ProductName, Products.UnitPrice FROM Products WHERE Products.UnitPrice > (SELECT "
         "AVG(UnitPrice) FROM Products) ORDER BY Products.UnitPrice DESC",
         "SELECT Products.ProductName, Products.UnitPrice FROM Products WHERE Products.UnitPrice > (SELECT "
         "AVG(UnitPrice) FROM Products)"},
        // DISTINCTROW over some of the joined tables only (Access shows each customer once) is DISTINCT.
        {"SELECT DISTINCTROW Customers.CustomerID, Customers.City\r\nFROM Customers RIGHT JOIN Orders ON "
         "Customers.CustomerID = Orders.CustomerID;",
         "SELECT DISTINCT Customers.CustomerID, Customers.City FROM Customers RIGHT JOIN Orders ON "
         "Customers.CustomerID "
         "= Orders.CustomerID"},
        // Joins nested on the right keep their parentheses, those on the left need none.
        {"SELECT Orders.OrderID FROM (Categories INNER JOIN Products ON Categories.CategoryID = Products.CategoryID) "
         "INNER JOIN (Orders LEFT OUTER JOIN [Order Details] ON Orders.OrderID = [Order Details].OrderID) ON "
         "Products.ProductID = [Order Details].ProductID WHERE (((Orders.ShippedDate) Between #1/1/95# And "
         "#12/31/95#))",
         "SELECT Orders.OrderID FROM Categories INNER JOIN Products ON Categories.CategoryID = Products.CategoryID "
         "INNER JOIN (Orders LEFT JOIN `Order Details` ON Orders.OrderID = `Order Details`.OrderID) ON "
         "Products.ProductID = `Order Details`.ProductID WHERE Orders.ShippedDate BETWEEN '1995-01-01' AND "
         "'1995-12-31'",
         "SELECT Orders.OrderID FROM Categories INNER JOIN Products ON Categories.CategoryID = Products.CategoryID "
         "INNER JOIN (Orders LEFT JOIN \"Order Details\" ON Orders.OrderID = \"Order Details\".OrderID) ON "
         "Products.ProductID = \"Order Details\".ProductID WHERE Orders.ShippedDate BETWEEN '19950101' AND '19951231'"},
    });
}

TEST(AccessSql, QueriesThatCannotBeViews)
{
    checkRows({
        {"PARAMETERS [Beginning Date] DateTime;\r\nSELECT * FROM Orders WHERE OrderDate > [Beginning Date];",
         "NotAView: Parameterabfrage: keine Sicht möglich"},
        {"TRANSFORM Sum(x) AS s SELECT a FROM t GROUP BY a PIVOT b;",
         "NotAView: Kreuztabellenabfrage: keine Sicht möglich"},
        {"SELECT * FROM Invoices WHERE OrderID=[Forms]![Orders]![OrderID];",
         "NotAView: Verweis auf ein Formular: keine Sicht möglich"},
        {"SELECT * FROM t WHERE a = Forms!Dialog!Von", "NotAView: Verweis auf ein Formular: keine Sicht möglich"},
        {"SELECT Reports.Umsatz.Summe FROM t", "NotAView: Verweis auf ein Formular: keine Sicht möglich"},
        {"INSERT INTO t (a) SELECT a FROM u;", "NotAView: Aktionsabfrage: keine Sicht möglich"},
        {"UPDATE t SET a = 1;", "NotAView: Aktionsabfrage: keine Sicht möglich"},
        {"DELETE t.* FROM t;", "NotAView: Aktionsabfrage: keine Sicht möglich"},
        {"SELECT Max(a) AS m INTO t4 FROM t GROUP BY b;", "NotAView: Aktionsabfrage: keine Sicht möglich"},
        {"CREATE TABLE t5 (c CHAR);", "NotAView: Aktionsabfrage: keine Sicht möglich"},
        {"SELECT a FROM t WHERE a IN (SELECT a FROM u WHERE b = Forms!f!b)",
         "NotAView: Verweis auf ein Formular: keine Sicht möglich"},
        // A text in quotes is no form reference.
        {"SELECT \"Forms!x\" AS f FROM t", "SELECT 'Forms!x' AS f FROM t"},
    });
}

TEST(AccessSql, OnlyMySqlAndMsSqlHaveWriters)
{
    EXPECT_EQ(outcome(QStringLiteral("SELECT a FROM t"), Dialect::Oracle),
              QStringLiteral("Untranslatable: Für Oracle gibt es keine Übersetzung"));
}

TEST(AccessSql, NamesAreQuotedOnlyWhereNeeded)
{
    checkRows({
        {"SELECT [Order], [Key], [Year], [Desc], [Percent], [Straße], [2nd], [a`b], [a\"b], _x, Preis$ FROM [Table]",
         "SELECT `Order`, `Key`, Year, `Desc`, Percent, Straße, `2nd`, `a``b`, `a\"b`, _x, Preis$ FROM `Table`",
         "SELECT \"Order\", \"Key\", Year, \"Desc\", \"Percent\", Straße, \"2nd\", \"a`b\", \"a\"\"b\", _x, Preis$ "
         "FROM \"Table\""},
        {"SELECT t.*, [Order Details]![UnitPrice], k.[Group] FROM [Order Details] t, Kunden k",
         "SELECT t.*, `Order Details`.UnitPrice, k.`Group` FROM `Order Details` AS t, Kunden AS k",
         "SELECT t.*, \"Order Details\".UnitPrice, k.\"Group\" FROM \"Order Details\" AS t, Kunden AS k"},
        // Access's names for the columns: Table.Field for fields of the same name, Expr1000... for expressions.
        {"SELECT c.Name, s.Name, Count(*), [Name] & \"!\" AS Gruss FROM c, s",
         "SELECT c.Name AS `c.Name`, s.Name AS `s.Name`, COUNT(*) AS Expr1000, CONCAT(COALESCE(Name, ''), '!') AS "
         "Gruss FROM c, s",
         "SELECT c.Name AS \"c.Name\", s.Name AS \"s.Name\", COUNT(*) AS Expr1000, CONCAT(Name, '!') AS Gruss FROM "
         "c, s"},
    });
}

TEST(AccessSql, Literals)
{
    checkRows({
        {"SELECT 'It''s', \"Say \"\"hi\"\"\", \"C:\\Temp\", \"Zeile 1\r\nZeile 2\", \"Größe\", 1.5E3, .5, True, Yes, "
         "On, False, No, Off, Null FROM t",
         "SELECT 'It''s' AS Expr1000, 'Say \"hi\"' AS Expr1001, 'C:\\\\Temp' AS Expr1002, 'Zeile 1\\r\\nZeile 2' AS "
         "Expr1003, 'Größe' AS Expr1004, 1.5E3 AS Expr1005, .5 AS Expr1006, 1 AS Expr1007, 1 AS Expr1008, 1 AS "
         "Expr1009, 0 AS Expr1010, 0 AS Expr1011, 0 AS Expr1012, NULL AS Expr1013 FROM t",
         "SELECT 'It''s' AS Expr1000, 'Say \"hi\"' AS Expr1001, 'C:\\Temp' AS Expr1002, ('Zeile 1' + CHAR(13) + "
         "CHAR(10) + 'Zeile 2') AS Expr1003, N'Größe' AS Expr1004, 1.5E3 AS Expr1005, .5 AS Expr1006, 1 AS Expr1007, 1 "
         "AS Expr1008, 1 AS Expr1009, 0 AS Expr1010, 0 AS Expr1011, 0 AS Expr1012, NULL AS Expr1013 FROM t"},
        // US order, two-digit years around 1930, times, ISO order, and Access's day-first fallback.
        {"SELECT * FROM t WHERE d IN (#12/31/1997#, #1/2/03#, #7/4/29#, #7/4/30#, #1/2/2003 2:07:09 PM#, #12:30 AM#, "
         "#1997-12-31 14:07#, #31/12/1997#)",
         "SELECT * FROM t WHERE d IN ('1997-12-31', '2003-01-02', '2029-07-04', '1930-07-04', '2003-01-02 14:07:09', "
         "'1899-12-30 00:30:00', '1997-12-31 14:07:00', '1997-12-31')",
         "SELECT * FROM t WHERE d IN ('19971231', '20030102', '20290704', '19300704', '2003-01-02T14:07:09', "
         "'1899-12-30T00:30:00', '1997-12-31T14:07:00', '19971231')"},
    });
}

TEST(AccessSql, Operators)
{
    checkRows({
        // \ binds tighter than Mod and looser than *; the servers have them all on one level.
        {"SELECT a \\ b * c, a * b \\ c, a Mod b \\ c, (a + b) * c, a - (b - c), -2 ^ 2, 2 ^ -1 ^ 2, - -x FROM t",
         "SELECT a DIV (b * c) AS Expr1000, a * b DIV c AS Expr1001, a MOD (b DIV c) AS Expr1002, (a + b) * c AS "
         "Expr1003, a - (b - c) AS Expr1004, -POWER(2, 2) AS Expr1005, POWER(POWER(2, -1), 2) AS Expr1006, -(-x) AS "
         "Expr1007 FROM t",
         "SELECT CAST(a AS INT) / CAST(b * c AS INT) AS Expr1000, CAST(a * b AS INT) / CAST(c AS INT) AS Expr1001, a % "
         "(CAST(b AS INT) / CAST(c AS INT)) AS Expr1002, (a + b) * c AS Expr1003, a - (b - c) AS Expr1004, "
         "-POWER(CAST(2 AS FLOAT), 2) AS Expr1005, POWER(POWER(CAST(2 AS FLOAT), -1), 2) AS Expr1006, -(-x) AS "
         "Expr1007 FROM t"},
        {"SELECT a / b FROM t WHERE Not (a > 1 Or b <= 2) And c <> 3 And Not Not d And e Not In (1, 2) And f Not "
         "Between 1 And 9 And g Is Not Null And h > Any (SELECT x FROM u) And Exists (SELECT * FROM v)",
         "SELECT CAST(a AS DOUBLE) / b AS Expr1000 FROM t WHERE NOT (a > 1 OR b <= 2) AND c <> 3 AND NOT (NOT d) AND e "
         "NOT IN (1, 2) AND f NOT BETWEEN 1 AND 9 AND g IS NOT NULL AND h > ANY (SELECT x FROM u) AND EXISTS (SELECT * "
         "FROM v)",
         "SELECT CAST(a AS FLOAT) / b AS Expr1000 FROM t WHERE NOT (a > 1 OR b <= 2) AND c <> 3 AND NOT (NOT d <> 0) "
         "AND e NOT IN (1, 2) AND f NOT BETWEEN 1 AND 9 AND g IS NOT NULL AND h > ANY (SELECT x FROM u) AND EXISTS "
         "(SELECT * FROM v)"},
        // SQL Server knows truth values only as conditions, and no Xor.
        {"SELECT a > b AS Flag FROM t WHERE Discontinued", "SELECT a > b AS Flag FROM t WHERE Discontinued",
         "SELECT CASE WHEN a > b THEN 1 WHEN NOT a > b THEN 0 END AS Flag FROM t WHERE Discontinued <> 0"},
        {"SELECT IIf([Aktiv],\"ja\",\"nein\") AS a FROM k INNER JOIN b ON k.x = b.x And b.Aktiv WHERE Not b.Alt",
         "SELECT IF(Aktiv, 'ja', 'nein') AS a FROM k INNER JOIN b ON k.x = b.x AND b.Aktiv WHERE NOT b.Alt",
         "SELECT IIF(Aktiv <> 0, 'ja', 'nein') AS a FROM k INNER JOIN b ON k.x = b.x AND b.Aktiv <> 0 WHERE NOT b.Alt "
         "<> 0"},
        {"SELECT * FROM t WHERE a Xor b", "SELECT * FROM t WHERE a XOR b",
         "Untranslatable: Operator Xor ist auf MS SQL nicht übersetzbar"},
        {"SELECT * FROM t WHERE a Eqv b", "Untranslatable: Operator Eqv nicht übersetzbar"},
    });
}

TEST(AccessSql, ConcatenationKeepsAccessNulls)
{
    checkRows({
        {"SELECT [FirstName] & \" \" & [LastName] AS Name FROM Employees",
         "SELECT CONCAT(COALESCE(FirstName, ''), ' ', COALESCE(LastName, '')) AS Name FROM Employees",
         "SELECT CONCAT(FirstName, ' ', LastName) AS Name FROM Employees"},
        // Without a literal, Null & Null stays Null; nested chains are one; a Null literal adds nothing.
        {"SELECT a & (b & c) & Null AS x, Null & \"!\" AS y FROM t",
         "SELECT CASE WHEN a IS NULL AND b IS NULL AND c IS NULL THEN NULL ELSE CONCAT(COALESCE(a, ''), COALESCE(b, "
         "''), COALESCE(c, '')) END AS x, CONCAT('!') AS y FROM t",
         "SELECT CASE WHEN a IS NULL AND b IS NULL AND c IS NULL THEN NULL ELSE CONCAT(a, b, c) END AS x, CONCAT('!', "
         "'') AS y FROM t"},
        {"SELECT a + b AS x FROM t", "SELECT a + b AS x FROM t"},
    });
}

TEST(AccessSql, LikePatterns)
{
    checkRows({
        {"SELECT * FROM t WHERE a Like \"A*\" And b Like \"?5%_\\*\" And c Not Like '*x'",
         "SELECT * FROM t WHERE a LIKE 'A%' AND b LIKE '_5\\\\%\\\\_\\\\\\\\%' AND c NOT LIKE '%x'",
         "SELECT * FROM t WHERE a LIKE 'A%' AND b LIKE '_5[%][_]\\%' AND c NOT LIKE '%x'"},
        // MySQL's LIKE has no digit placeholder and no lists: a regular expression does it.
        {"SELECT * FROM t WHERE a Like \"[A-C]#*\" And b Not Like \"[!0-9].?\"",
         "SELECT * FROM t WHERE a REGEXP '^[A-C][0-9].*$' AND b NOT REGEXP '^[^0-9]\\\\..$'",
         "SELECT * FROM t WHERE a LIKE '[A-C][0-9]%' AND b NOT LIKE '[^0-9]._'"},
        {"SELECT * FROM t WHERE a Like \"[A-\"", "Untranslatable: Like-Muster \"[A-\" nicht übersetzbar"},
        {"SELECT * FROM t WHERE a Like b & \"*\"", "Untranslatable: Like mit berechnetem Muster nicht übersetzbar"},
    });
}

TEST(AccessSql, Functions)
{
    checkRows({
        {"SELECT IIf(Qty>10,\"viel\",\"wenig\") AS a, Nz(Region) AS b, Nz(Region,\"-\") AS c, IsNull(d) AS e, "
         "Switch(x=1,\"eins\",x=2,\"zwei\") AS f, Choose(x,\"a\",\"b\") AS g FROM t WHERE IsNull(d)",
         "SELECT IF(Qty > 10, 'viel', 'wenig') AS a, IFNULL(Region, '') AS b, IFNULL(Region, '-') AS c, d IS NULL AS "
         "e, CASE WHEN x = 1 THEN 'eins' WHEN x = 2 THEN 'zwei' END AS f, ELT(x, 'a', 'b') AS g FROM t WHERE d IS NULL",
         "SELECT IIF(Qty > 10, 'viel', 'wenig') AS a, COALESCE(Region, '') AS b, COALESCE(Region, '-') AS c, CASE WHEN "
         "d IS NULL THEN 1 WHEN NOT d IS NULL THEN 0 END AS e, CASE WHEN x = 1 THEN 'eins' WHEN x = 2 THEN 'zwei' END "
         "AS f, CHOOSE(x, 'a', 'b') AS g FROM t WHERE d IS NULL"},
        {"SELECT Len(s) AS a, Mid(s,2) AS b, Mid$(s,2,3) AS c, Left(s,1) AS d, Right(s,1) AS e, UCase(s) AS f, Trim(s) "
         "AS g, InStr(s,\"x\") AS h, InStr(3,s,\"x\") AS i FROM t",
         "SELECT CHAR_LENGTH(s) AS a, SUBSTRING(s, 2) AS b, SUBSTRING(s, 2, 3) AS c, LEFT(s, 1) AS d, RIGHT(s, 1) AS "
         "e, UPPER(s) AS f, TRIM(s) AS g, LOCATE('x', s) AS h, LOCATE('x', s, 3) AS i FROM t",
         "SELECT LEN(s) AS a, SUBSTRING(s, 2, 2147483647) AS b, SUBSTRING(s, 2, 3) AS c, LEFT(s, 1) AS d, RIGHT(s, 1) "
         "AS e, UPPER(s) AS f, LTRIM(RTRIM(s)) AS g, CHARINDEX('x', s) AS h, CHARINDEX('x', s, 3) AS i FROM t"},
        {"SELECT CCur(x) AS a, CDbl(x) AS b, CLng(x) AS c, CInt(x) AS d, CStr(x) AS e, CDate(x) AS f, Int(x) AS g, "
         "Fix(x) AS h, Round(x) AS i, Sgn(x) AS j, Val(x) AS k FROM t",
         "SELECT CAST(x AS DECIMAL(19,4)) AS a, CAST(x AS DOUBLE) AS b, CAST(ROUND(x) AS SIGNED) AS c, CAST(ROUND(x) "
         "AS SIGNED) AS d, CAST(x AS CHAR) AS e, CAST(x AS DATETIME) AS f, FLOOR(x) AS g, TRUNCATE(x, 0) AS h, "
         "ROUND(x) AS i, SIGN(x) AS j, CAST(x AS DOUBLE) AS k FROM t",
         "SELECT CAST(x AS MONEY) AS a, CAST(x AS FLOAT) AS b, CAST(ROUND(x, 0) AS INT) AS c, CAST(ROUND(x, 0) AS "
         "SMALLINT) AS d, CAST(x AS NVARCHAR(4000)) AS e, CAST(x AS DATETIME) AS f, FLOOR(x) AS g, ROUND(x, 0, 1) AS "
         "h, ROUND(x, 0) AS i, SIGN(x) AS j, TRY_CAST(x AS FLOAT) AS k FROM t"},
        {"SELECT Now() AS a, Date() AS b, Year(d) AS c, Hour(d) AS e, DateSerial(y, m + 1, 0) AS f, Count(*) AS g, "
         "First(x) AS h, Last(x) AS i, StDev(x) AS j FROM t GROUP BY y, m",
         "SELECT NOW() AS a, CURDATE() AS b, YEAR(d) AS c, HOUR(d) AS e, DATE_ADD(DATE_ADD(MAKEDATE(y, 1), INTERVAL (m "
         "+ 1) - 1 MONTH), INTERVAL 0 - 1 DAY) AS f, COUNT(*) AS g, MIN(x) AS h, MAX(x) AS i, STDDEV_SAMP(x) AS j FROM "
         "t GROUP BY y, m",
         "SELECT GETDATE() AS a, CAST(CAST(GETDATE() AS DATE) AS DATETIME) AS b, YEAR(d) AS c, DATEPART(hour, d) AS e, "
         "DATEADD(day, 0 - 1, DATEADD(month, (m + 1) - 1, DATEFROMPARTS(y, 1, 1))) AS f, COUNT(*) AS g, MIN(x) AS h, "
         "MAX(x) AS i, STDEV(x) AS j FROM t GROUP BY y, m"},
        // Days added to a date: MySQL would add them to the date taken as a number.
        {"SELECT * FROM t WHERE d >= Date() - 30 And e < Now() + 1 And f > #1/1/95# + 1",
         "SELECT * FROM t WHERE d >= CURDATE() - INTERVAL 30 DAY AND e < NOW() + INTERVAL 1 DAY AND f > '1995-01-01' + "
         "INTERVAL 1 DAY",
         "SELECT * FROM t WHERE d >= CAST(CAST(GETDATE() AS DATE) AS DATETIME) - 30 AND e < GETDATE() + 1 AND f > "
         "CAST('19950101' AS DATETIME) + 1"},
        {"SELECT DLookUp(\"a\",\"b\") FROM t", "Untranslatable: Funktion DLookUp nicht übersetzbar"},
        {"SELECT Mid(a) FROM t", "Untranslatable: Funktion Mid mit 1 Argumenten nicht übersetzbar"},
        {"SELECT InStr(1,a,\"x\",0) FROM t", "Untranslatable: Funktion InStr mit binärem Vergleich nicht übersetzbar"},
    });
}

TEST(AccessSql, DateParts)
{
    checkRows({
        {"SELECT DatePart(\"q\",d) AS a, DatePart(\"yyyy\",d,1,0) AS b, DatePart(\"w\",d) AS c, Weekday(d,2) AS e, "
         "DatePart(\"ww\",d,2,2) AS f FROM t",
         "SELECT QUARTER(d) AS a, YEAR(d) AS b, DAYOFWEEK(d) AS c, (MOD(DAYOFWEEK(d) + 5, 7) + 1) AS e, WEEK(d, 3) AS "
         "f FROM t",
         "SELECT DATEPART(quarter, d) AS a, DATEPART(year, d) AS b, ((DATEPART(weekday, d) + @@DATEFIRST + 6) % 7 + 1) "
         "AS c, ((DATEPART(weekday, d) + @@DATEFIRST + 5) % 7 + 1) AS e, DATEPART(iso_week, d) AS f FROM t"},
        {"SELECT DatePart(\"ww\",d) FROM t",
         "SELECT ((DAYOFYEAR(d) - 1 + MOD(DAYOFWEEK(d) - DAYOFYEAR(d) + 371, 7)) DIV 7 + 1) AS Expr1000 FROM t",
         "SELECT ((DATEPART(dayofyear, d) - 1 + (DATEPART(weekday, d) + @@DATEFIRST - DATEPART(dayofyear, d) + 371) % "
         "7) / 7 + 1) AS Expr1000 FROM t"},
        {"SELECT DateAdd(\"m\",1,d) AS a, DateAdd(\"d\",-n,d) AS b, DateDiff(\"d\",a,b) AS c, DateDiff(\"m\",a,b) AS "
         "e, DateDiff(\"h\",a,b) AS f FROM t",
         "SELECT DATE_ADD(d, INTERVAL 1 MONTH) AS a, DATE_ADD(d, INTERVAL (-n) DAY) AS b, DATEDIFF(b, a) AS c, "
         "((YEAR(b) - YEAR(a)) * 12 + MONTH(b) - MONTH(a)) AS e, TIMESTAMPDIFF(HOUR, DATE_FORMAT(a, '%Y-%m-%d "
         "%H:00:00'), DATE_FORMAT(b, '%Y-%m-%d %H:00:00')) AS f FROM t",
         "SELECT DATEADD(month, 1, d) AS a, DATEADD(day, -n, d) AS b, DATEDIFF(day, a, b) AS c, DATEDIFF(month, a, b) "
         "AS e, DATEDIFF(hour, a, b) AS f FROM t"},
        {"SELECT DatePart(\"x\",d) FROM t", "Untranslatable: Funktion DatePart mit Intervall \"x\" nicht übersetzbar"},
        {"SELECT DateAdd(i,1,d) FROM t",
         "Untranslatable: Funktion DateAdd mit berechnetem Intervall nicht übersetzbar"},
        {"SELECT DateDiff(\"ww\",a,b,2) FROM t",
         "Untranslatable: Funktion DateDiff mit Intervall \"ww\" nicht übersetzbar"},
    });
}

TEST(AccessSql, FormatPatterns)
{
    checkRows({
        {"SELECT Format(d,\"yyyy\") AS a, Format(d,\"dd.mm.yyyy\") AS b, Format(d,\"mmmm\") AS c, Format(d,\"yyyy-q\") "
         "AS e, Format(d,\"hh:nn\") AS f, Format(d,\"d\") AS g FROM t",
         "SELECT DATE_FORMAT(d, '%Y') AS a, DATE_FORMAT(d, '%d.%m.%Y') AS b, DATE_FORMAT(d, '%M') AS c, "
         "CONCAT(DATE_FORMAT(d, '%Y-'), QUARTER(d)) AS e, DATE_FORMAT(d, '%H:%i') AS f, DATE_FORMAT(d, '%e') AS g FROM "
         "t",
         "SELECT FORMAT(d, 'yyyy') AS a, FORMAT(d, 'dd.MM.yyyy') AS b, FORMAT(d, 'MMMM') AS c, CONCAT(FORMAT(d, "
         "'yyyy-'), DATEPART(quarter, d)) AS e, FORMAT(d, 'HH:mm') AS f, FORMAT(d, '%d') AS g FROM t"},
        {"SELECT Format(x,\"0.00\") AS a, Format(x,\"#,##0.00\") AS b, Format(x,\"Percent\") AS c, "
         "Format(x,\"Currency\") AS e FROM t",
         "SELECT CAST(CAST(x AS DECIMAL(65,2)) AS CHAR) AS a, FORMAT(CAST(x AS DECIMAL(65,2)), 2) AS b, "
         "CONCAT(CAST(CAST(x * 100 AS DECIMAL(65,2)) AS CHAR), '%') AS c, CONCAT(FORMAT(CAST(x AS DECIMAL(65,2)), 2), "
         "' €') AS e FROM t",
         "SELECT FORMAT(x, '0.00') AS a, FORMAT(x, '#,##0.00') AS b, FORMAT(x, '0.00%') AS c, FORMAT(x, 'C') AS e FROM "
         "t"},
        {"SELECT Format(d,\"Short Date\") FROM t",
         "Untranslatable: Funktion Format mit Muster \"Short Date\" nicht übersetzbar"},
        {"SELECT Format(d,\"yyyy\\Q\") FROM t",
         "Untranslatable: Funktion Format mit Muster \"yyyy\\Q\" nicht übersetzbar"},
    });
}

TEST(AccessSql, QueryShapes)
{
    checkRows({
        {"SELECT DISTINCT TOP 5 PERCENT a FROM t ORDER BY a",
         "Untranslatable: TOP 5 PERCENT ist auf MySQL nicht übersetzbar",
         "SELECT DISTINCT TOP 5 PERCENT WITH TIES a FROM t ORDER BY a"},
        {"SELECT TOP 100 PERCENT a FROM t ORDER BY a", "SELECT a FROM t ORDER BY a",
         "SELECT TOP 100 PERCENT WITH TIES a FROM t ORDER BY a"},
        {"SELECT ALL TOP 3 a FROM t", "SELECT a FROM t LIMIT 3", "SELECT TOP 3 a FROM t"},
        // TOP in a union part holds for that part only; the ORDER BY for the whole union.
        {"SELECT TOP 3 a FROM t UNION ALL SELECT b FROM u ORDER BY t.a DESC",
         "(SELECT a FROM t LIMIT 3) UNION ALL SELECT b FROM u ORDER BY a DESC",
         "SELECT TOP 3 a FROM t UNION ALL SELECT b FROM u"},
        {"SELECT a, Sum(b) AS s FROM t GROUP BY a HAVING Sum(b) > 10 WITH OWNERACCESS OPTION;",
         "SELECT a, SUM(b) AS s FROM t GROUP BY a HAVING SUM(b) > 10"},
        // Derived tables: Access 97's [SELECT ...]. form, and one without a name.
        {"SELECT q.a FROM [SELECT a FROM t WHERE b = \"x\"]. AS q, (SELECT 1 + 1 FROM u)",
         "SELECT q.a FROM (SELECT a FROM t WHERE b = 'x') AS q, (SELECT 1 + 1 AS Expr1000 FROM u) AS Unterabfrage1"},
        {"SELECT x FROM (SELECT TOP 2 x FROM t ORDER BY x) AS s ORDER BY x",
         "SELECT x FROM (SELECT x FROM t ORDER BY x LIMIT 2) AS s ORDER BY x",
         "SELECT x FROM (SELECT TOP 2 WITH TIES x FROM t ORDER BY x) AS s"},
    });
}

TEST(AccessSql, UnreadableTextsGiveAReason)
{
    checkRows({
        {"SELECT \"open FROM t",
         "Untranslatable: Die Abfrage ist nicht lesbar: Text ohne schließendes Anführungszeichen (Stelle 8)."},
        {"SELECT [open FROM t",
         "Untranslatable: Die Abfrage ist nicht lesbar: Name ohne schließende Klammer (Stelle 8)."},
        {"SELECT #1/1/95 FROM t",
         "Untranslatable: Die Abfrage ist nicht lesbar: Datum ohne schließendes \"#\" (Stelle 8)."},
        {"SELECT * FROM t WHERE d = #2/30/1997#",
         "Untranslatable: Die Abfrage ist nicht lesbar: Datum #2/30/1997# ungültig (Stelle 27)."},
        {"SELECT a ? b FROM t", "Untranslatable: Die Abfrage ist nicht lesbar: Zeichen \"?\" unbekannt (Stelle 10)."},
        {"SELECT (a FROM t", "Untranslatable: Die Abfrage ist nicht lesbar: \")\" erwartet (Stelle 11)."},
        {"SELECT a FROM t WHERE", "Untranslatable: Die Abfrage ist nicht lesbar: unerwartetes Ende (Stelle 22)."},
        {"SELECT a FROM t; SELECT b FROM u",
         "Untranslatable: Die Abfrage ist nicht lesbar: unerwartet: SELECT (Stelle 18)."},
        {"SELECT FROM t", "Untranslatable: Die Abfrage ist nicht lesbar: unerwartet: FROM (Stelle 8)."},
        {"SELECT a FROM t IN 'C:\\x.mdb'", "Untranslatable: Verweis auf eine andere Datenbank: nicht übersetzbar"},
        {" \r\n ", "Untranslatable: Die Abfrage ist leer."},
    });
}

// Nesting is bounded and the work grows with the text, not faster.
TEST(AccessSql, DeepAndLongTextsStayCheap)
{
    const QString tooDeep = QStringLiteral("Untranslatable: Die Abfrage ist zu tief verschachtelt.");
    const QString parentheses = QStringLiteral("SELECT ") + QString(200, QLatin1Char('(')) + QStringLiteral("a")
        + QString(200, QLatin1Char(')')) + QStringLiteral(" FROM t");
    EXPECT_EQ(outcome(parentheses, Dialect::MySQL), tooDeep);
    EXPECT_EQ(outcome(QStringLiteral("SELECT ") + QStringLiteral("Not ").repeated(500) + QStringLiteral("a FROM t"),
                      Dialect::MSSQL),
              tooDeep);
    EXPECT_EQ(outcome(QStringLiteral("SELECT * FROM a") + QStringLiteral(" INNER JOIN b ON 1=1").repeated(300),
                      Dialect::MySQL),
              tooDeep);
    // Each level of & inside IIf writes its operands twice; the size limit stops the doubling.
    QString doubling = QStringLiteral("a");
    for (int i = 0; i < 40; ++i)
        doubling = QStringLiteral("IIf(c, b & ") + doubling + QStringLiteral(", d)");
    EXPECT_EQ(outcome(QStringLiteral("SELECT ") + doubling + QStringLiteral(" FROM t"), Dialect::MySQL),
              QStringLiteral("Untranslatable: Die Übersetzung wird zu lang."));

    // A megabyte of text is read and written whole (its speed is the fuzz target's and the
    // benchmark's business, not a test's).
    const QString row = QStringLiteral(" OR ([Order Details].[Quantity] * 2 > 10 And s Like \"A*\" And n = \"x\" & y)");
    EXPECT_EQ(TranslateAccessQuery(QStringLiteral("SELECT * FROM t WHERE a = 1") + row.repeated(1000000 / row.size()),
                                   Dialect::MSSQL)
                  .outcome,
              AccessSqlTranslation::Outcome::Translated);
    EXPECT_EQ(TranslateAccessQuery(QStringLiteral("SELECT ") + QStringLiteral("a & b, ").repeated(1000000 / 7) + u'1',
                                   Dialect::MySQL)
                  .outcome,
              AccessSqlTranslation::Outcome::Translated);
}
