// The rewriting of a saved query into a CREATE VIEW statement, per dialect.

#include "translation/ViewRewrite.h"

#include "QtPrinters.h"
#include "core/TabrixError.h"

#include <gtest/gtest.h>

namespace {

const QList<Dialect> kAllDialects = {Dialect::MSSQL, Dialect::MySQL, Dialect::Oracle, Dialect::Sybase, Dialect::DB2};

QString statementFor(Dialect dialect, const QString& text, const QString& name = QStringLiteral("V"))
{
    return TranslateView(dialect, false, name, text).statement;
}

// The description of the rewriting error, or a note that there was none.
QString rewriteError(Dialect dialect, const QString& text, const QString& name = QStringLiteral("V"))
{
    try {
        TranslateView(dialect, false, name, text);
    } catch (const TabrixError& e) {
        EXPECT_EQ(e.number(), ViewRewriteErrorNumber);
        return e.description();
    }
    return QStringLiteral("<no error>");
}

}  // namespace

TEST(ViewRewrite, SemicolonAndLineBreakAreCutOff)
{
    for (Dialect d : kAllDialects)
        EXPECT_EQ(statementFor(d, QStringLiteral("SELECT Nr FROM Artikel;\r\n")),
                  QStringLiteral("CREATE VIEW V AS SELECT Nr FROM Artikel"))
            << dialectName(d).toStdString();
    // Everything from the first semicolon goes, also what looks like a second statement.
    EXPECT_EQ(statementFor(Dialect::MySQL, QStringLiteral("SELECT 1;SELECT 2")),
              QStringLiteral("CREATE VIEW V AS SELECT 1"));
}

TEST(ViewRewrite, DistinctRowAndBracketsGoOnMsSql)
{
    const QString access = QStringLiteral(
        "SELECT DISTINCTROW [Orders].[OrderID], [Customers].[CompanyName]\r\nFROM [Customers] INNER JOIN [Orders] "
        "ON [Customers].[CustomerID] = [Orders].[CustomerID];\r\n");
    EXPECT_EQ(statementFor(Dialect::MSSQL, access),
              QStringLiteral("CREATE VIEW V AS SELECT  Orders.OrderID, Customers.CompanyName\r\nFROM Customers INNER "
                             "JOIN Orders ON Customers.CustomerID = Orders.CustomerID"));
}

TEST(ViewRewrite, CleanUpRunsUntilNothingIsLeft)
{
    // Removing one DISTINCTROW joins the halves of another; every case of the word goes.
    EXPECT_EQ(statementFor(Dialect::MSSQL, QStringLiteral("SELECT DISTINDISTINCTROWCTROW a, distinctRow b FROM t")),
              QStringLiteral("CREATE VIEW V AS SELECT  a,  b FROM t"));
    EXPECT_EQ(statementFor(Dialect::Sybase, QStringLiteral("SELECT First(a), FIRST(FIRST(b)) FROM [[t]]")),
              QStringLiteral("CREATE VIEW V AS SELECT MIN(a), MIN(MIN(b)) FROM t"));
    EXPECT_EQ(statementFor(Dialect::MySQL, QStringLiteral("SELECT \"x\" AS \"Name\" FROM t WHERE a = \"\"")),
              QStringLiteral("CREATE VIEW V AS SELECT 'x' AS 'Name' FROM t WHERE a = ''"));
}

TEST(ViewRewrite, KommissionViewKeepsItsText)
{
    const QString access = QStringLiteral("SELECT DISTINCTROW [a].[b], \"x\", FIRST([c]) FROM [t]");
    for (Dialect d : kAllDialects)
        EXPECT_EQ(statementFor(d, access, QStringLiteral("View_Kommission1")),
                  QStringLiteral("CREATE VIEW View_Kommission1 AS ") + access)
            << dialectName(d).toStdString();
    // Only the exact name.
    EXPECT_EQ(statementFor(Dialect::MSSQL, access, QStringLiteral("view_kommission1")),
              QStringLiteral("CREATE VIEW view_kommission1 AS SELECT  a.b, 'x', MIN(c) FROM t"));
}

TEST(ViewRewrite, LeftAndRightOnOracleAndDb2Only)
{
    const QString access = QStringLiteral("SELECT LEFT(Name,3) AS Anfang, Right(Name,3) AS Ende FROM Kunden");
    for (Dialect d : {Dialect::Oracle, Dialect::DB2})
        EXPECT_EQ(statementFor(d, access),
                  QStringLiteral("CREATE VIEW V AS SELECT SUBSTR(Name,1,3) AS Anfang, SUBSTR(Name,LENGTH(Name) - 3) "
                                 "AS Ende FROM Kunden"))
            << dialectName(d).toStdString();
    for (Dialect d : {Dialect::MSSQL, Dialect::MySQL, Dialect::Sybase})
        EXPECT_EQ(statementFor(d, access), QStringLiteral("CREATE VIEW V AS ") + access)
            << dialectName(d).toStdString();
}

TEST(ViewRewrite, SubstringLenAndKommisionPerDialect)
{
    const QString access =
        QStringLiteral("SELECT SubString(a,1,2), LEN(b), STR(Kommision-1), Str(kommission-1) FROM t");
    EXPECT_EQ(statementFor(Dialect::Oracle, access),
              QStringLiteral("CREATE VIEW V AS SELECT SUBSTR(a,1,2), LENGTH(b), Kommision-1, Kommission-1 FROM t"));
    EXPECT_EQ(statementFor(Dialect::DB2, access),
              QStringLiteral("CREATE VIEW V AS SELECT SUBSTR(a,1,2), LENGTH(b), STR(Kommision-1), Str(kommission-1) "
                             "FROM t"));
    EXPECT_EQ(statementFor(Dialect::MySQL, access),
              QStringLiteral("CREATE VIEW V AS SELECT SubString(a,1,2), LEN(b), Kommision-1, Kommission-1 FROM t"));
    EXPECT_EQ(statementFor(Dialect::MSSQL, access), QStringLiteral("CREATE VIEW V AS ") + access);
}

TEST(ViewRewrite, NameCutToThirtyOnOracleAndDb2)
{
    const QString name = QStringLiteral("View_Auftragsbestaetigung_Positionen");  // 36 characters
    const QString cut = name.left(30);
    for (Dialect d : {Dialect::Oracle, Dialect::DB2}) {
        const ViewStatement v = TranslateView(d, false, name, QStringLiteral("SELECT 1 FROM t"));
        EXPECT_EQ(v.name, cut);
        EXPECT_EQ(v.statement, QStringLiteral("CREATE VIEW ") + cut + QStringLiteral(" AS SELECT 1 FROM t"));
    }
    for (Dialect d : {Dialect::MSSQL, Dialect::MySQL, Dialect::Sybase})
        EXPECT_EQ(TranslateView(d, false, name, QStringLiteral("SELECT 1 FROM t")).name, name);
    // DB2 drops under the full, unquoted name first; the four views of the ERP are kept.
    EXPECT_EQ(Db2PreDropStatement(Dialect::DB2, name), QStringLiteral("DROP VIEW ") + name);
    for (const char* kept : {"VIEW__FS_ANZAHL", "view__fs_planzahl", "View__FS_Fertigzahl", "VIEW_PRODUKTIONSPLAN"})
        EXPECT_EQ(Db2PreDropStatement(Dialect::DB2, QString::fromLatin1(kept)), QString()) << kept;
    EXPECT_EQ(Db2PreDropStatement(Dialect::Oracle, name), QString());
}

TEST(ViewRewrite, DropQuotesTheNameOnMsSqlAndDb2)
{
    EXPECT_EQ(DropViewStatement(Dialect::MSSQL, QStringLiteral("V1")), QStringLiteral("DROP VIEW \"V1\""));
    EXPECT_EQ(DropViewStatement(Dialect::DB2, QStringLiteral("V1")), QStringLiteral("DROP VIEW \"V1\""));
    for (Dialect d : {Dialect::MySQL, Dialect::Oracle, Dialect::Sybase})
        EXPECT_EQ(DropViewStatement(d, QStringLiteral("V1")), QStringLiteral("DROP VIEW V1"));
}

TEST(ViewRewrite, EmptyStringsOfAbvLbBecomeNullExceptOnDb2)
{
    const QString access = QStringLiteral("SELECT \"\" AS Leer, Name FROM t WHERE x <> ''");
    for (Dialect d : {Dialect::MSSQL, Dialect::MySQL, Dialect::Sybase, Dialect::Oracle})
        EXPECT_EQ(statementFor(d, access, QStringLiteral("View_ABV_LB")),
                  QStringLiteral("CREATE VIEW View_ABV_LB AS SELECT NULL AS Leer, Name FROM t WHERE x <> NULL"))
            << dialectName(d).toStdString();
    EXPECT_EQ(statementFor(Dialect::DB2, access, QStringLiteral("View_ABV_LB")),
              QStringLiteral("CREATE VIEW View_ABV_LB AS SELECT '' AS Leer, Name FROM t WHERE x <> ''"));
    EXPECT_EQ(statementFor(Dialect::MSSQL, access),
              QStringLiteral("CREATE VIEW V AS SELECT '' AS Leer, Name FROM t WHERE x <> ''"));
}

TEST(ViewRewrite, YearAndMonthOnOracle)
{
    const QString access = QStringLiteral("SELECT Year(Datum) AS Jahr, MONTH(Datum) AS Monat FROM Auftrag");
    EXPECT_EQ(statementFor(Dialect::Oracle, access),
              QStringLiteral("CREATE VIEW V AS SELECT TO_CHAR(Datum,'yyyy') AS Jahr, TO_CHAR(Datum,'mm') AS Monat "
                             "FROM Auftrag"));
    EXPECT_EQ(statementFor(Dialect::DB2, access), QStringLiteral("CREATE VIEW V AS ") + access);
}

TEST(ViewRewrite, AliasesLoseTheirQuotesOnOracleAndDb2)
{
    // Double quotes became single ones in the clean-up.
    const QString access = QStringLiteral("SELECT Name AS \"Kunde\", Ort as 'Stadt' FROM t");
    for (Dialect d : {Dialect::Oracle, Dialect::DB2})
        EXPECT_EQ(statementFor(d, access), QStringLiteral("CREATE VIEW V AS SELECT Name AS Kunde, Ort AS Stadt FROM t"))
            << dialectName(d).toStdString();
    EXPECT_EQ(statementFor(Dialect::MSSQL, access),
              QStringLiteral("CREATE VIEW V AS SELECT Name AS 'Kunde', Ort as 'Stadt' FROM t"));
    // An empty alias, and a quote right after it that opens the next one.
    EXPECT_EQ(statementFor(Dialect::Oracle, QStringLiteral("SELECT a AS '''b' FROM t")),
              QStringLiteral("CREATE VIEW V AS SELECT a AS b FROM t"));
}

TEST(ViewRewrite, RewritingErrorsNameTheView)
{
    const QString prefix = QStringLiteral("Die Abfrage 'Kaputt' lässt sich nicht in eine Sicht übersetzen: ");
    const QString name = QStringLiteral("Kaputt");
    EXPECT_EQ(rewriteError(Dialect::Oracle, QStringLiteral("SELECT LEFT(Name) FROM t"), name),
              prefix + QStringLiteral("auf \"LEFT(\" folgt kein Komma."));
    EXPECT_EQ(rewriteError(Dialect::DB2, QStringLiteral("SELECT RIGHT(Name) FROM t"), name),
              prefix + QStringLiteral("auf \"RIGHT(\" folgt kein Komma."));
    EXPECT_EQ(rewriteError(Dialect::Oracle, QStringLiteral("SELECT Name AS 'Kunde FROM t"), name),
              prefix + QStringLiteral("auf \"AS '\" folgt kein schließendes Hochkomma."));
    EXPECT_EQ(rewriteError(Dialect::Oracle, QStringLiteral("SELECT a FROM t WHERE x = 'b' AS '"), name),
              prefix + QStringLiteral("auf \"AS '\" folgt kein schließendes Hochkomma."));
    EXPECT_EQ(rewriteError(Dialect::Oracle, QStringLiteral("SELECT YEAR(Datum FROM t"), name),
              prefix + QStringLiteral("auf \"YEAR(\" folgt keine schließende Klammer."));
    EXPECT_EQ(rewriteError(Dialect::Oracle, QStringLiteral("SELECT MONTH(Datum FROM t"), name),
              prefix + QStringLiteral("auf \"MONTH(\" folgt keine schließende Klammer."));
    // The same texts pass where the rules do not apply.
    EXPECT_EQ(rewriteError(Dialect::MSSQL, QStringLiteral("SELECT LEFT(Name) AS 'x FROM t")),
              QStringLiteral("<no error>"));
    EXPECT_EQ(rewriteError(Dialect::DB2, QStringLiteral("SELECT YEAR(Datum FROM t")), QStringLiteral("<no error>"));
}

TEST(ViewRewrite, NestedAndUnbalancedCallsEnd)
{
    // Each rule ends on nested calls; the results are what the rules make of them.
    EXPECT_EQ(statementFor(Dialect::Oracle, QStringLiteral("SELECT LEFT(LEFT(a,1),2) FROM t")),
              QStringLiteral("CREATE VIEW V AS SELECT SUBSTR(SUBSTR(a,1,1,1),2) FROM t"));
    EXPECT_EQ(statementFor(Dialect::Oracle, QStringLiteral("SELECT RIGHT(RIGHT(a,1),2) FROM t")),
              QStringLiteral("CREATE VIEW V AS SELECT SUBSTR(SUBSTR(a,LENGTH(a) - LENGTH(SUBSTR(a) - 1),LENGTH(a) - "
                             "1)) - 2) FROM t"));
    EXPECT_EQ(statementFor(Dialect::Oracle, QStringLiteral("SELECT YEAR(YEAR(d)), MONTH(MONTH(d) FROM t")),
              QStringLiteral("CREATE VIEW V AS SELECT TO_CHAR(TO_CHAR(d,'yyyy','yyyy')), "
                             "TO_CHAR(TO_CHAR(d,'mm','mm') FROM t"));
    EXPECT_EQ(statementFor(Dialect::Oracle, QStringLiteral("SELECT a AS 'b' AS 'c' FROM [[t]]]")),
              QStringLiteral("CREATE VIEW V AS SELECT a AS b AS c FROM t"));
    // Unbalanced: the first comma or parenthesis found is taken, wherever it is.
    EXPECT_EQ(statementFor(Dialect::DB2, QStringLiteral("SELECT LEFT(LEFT(LEFT(a FROM t WHERE b IN (1,2)")),
              QStringLiteral("CREATE VIEW V AS SELECT SUBSTR(SUBSTR(SUBSTR(a FROM t WHERE b IN (1,1,1,1,2)"));
    EXPECT_EQ(statementFor(Dialect::Oracle, QStringLiteral("SELECT YEAR(YEAR(YEAR(d)")),
              QStringLiteral("CREATE VIEW V AS SELECT TO_CHAR(TO_CHAR(TO_CHAR(d,'yyyy','yyyy','yyyy')"));
    EXPECT_EQ(statementFor(Dialect::Oracle, QStringLiteral("SELECT LEFT(LEFT(LEFT(a,1) FROM t")),
              QStringLiteral("CREATE VIEW V AS SELECT SUBSTR(SUBSTR(SUBSTR(a,1,1,1,1) FROM t"));
    EXPECT_NE(rewriteError(Dialect::Oracle, QStringLiteral("SELECT YEAR(YEAR(d")), QStringLiteral("<no error>"));
    EXPECT_NE(rewriteError(Dialect::Oracle, QStringLiteral("SELECT RIGHT(RIGHT(RIGHT(a,1),2),3) FROM t")),
              QStringLiteral("<no error>"));

    // Nested deeper, RIGHT's copies of its own calls would grow without end:
    // the rewrite stops with an error instead.
    const QString runaway = QStringLiteral("SELECT RIGHT(RIGHT(RIGHT(RIGHT(a,1),2),3),4),1,2,3,4,5,6,7,8,9 FROM t");
    EXPECT_EQ(rewriteError(Dialect::DB2, runaway, QStringLiteral("Tief")),
              QStringLiteral("Die Abfrage 'Tief' lässt sich nicht in eine Sicht übersetzen: die \"RIGHT(\"-Aufrufe "
                             "sind so verschachtelt, dass die Übersetzung nicht endet."));
}

TEST(ViewRewrite, TextsBeyondSixteenBitPositions)
{
    // The calls stand after position 32,767.
    const QString filler = QString(40000, QLatin1Char('x'));
    const QString access = QStringLiteral("SELECT '") + filler
        + QStringLiteral("' AS Lang, LEFT([Name],3) AS K, RIGHT(Name,2) AS R, YEAR(d) AS J FROM t;");
    EXPECT_EQ(statementFor(Dialect::Oracle, access),
              QStringLiteral("CREATE VIEW V AS SELECT '") + filler
                  + QStringLiteral("' AS Lang, SUBSTR(Name,1,3) AS K, SUBSTR(Name,LENGTH(Name) - 2) AS R, "
                                   "TO_CHAR(d,'yyyy') AS J FROM t"));
    // Many calls in one long text.
    QString many = QStringLiteral("SELECT ");
    QString expected = QStringLiteral("CREATE VIEW V AS SELECT ");
    for (int i = 0; i < 3000; ++i) {
        many += QStringLiteral("RIGHT([Feld%1],2) AS \"R%1\", ").arg(i);
        expected += QStringLiteral("SUBSTR(Feld%1,LENGTH(Feld%1) - 2) AS R%1, ").arg(i);
    }
    many += QStringLiteral("1 FROM t");
    expected += QStringLiteral("1 FROM t");
    ASSERT_GT(many.size(), 32767);
    EXPECT_EQ(statementFor(Dialect::DB2, many), expected);
}

TEST(ViewRewrite, BestellungAuftragComesLastOnlyOnSybaseLinux)
{
    const QString name = QStringLiteral("View_BestellungAuftrag");
    EXPECT_TRUE(CreatedAfterAllOthers(Dialect::Sybase, true, name));
    EXPECT_FALSE(CreatedAfterAllOthers(Dialect::Sybase, false, name));
    EXPECT_FALSE(CreatedAfterAllOthers(Dialect::DB2, true, name));
    EXPECT_FALSE(CreatedAfterAllOthers(Dialect::Sybase, true, QStringLiteral("view_bestellungauftrag")));
}

// Names the server cannot read bare keep a quoting of the dialect; quotes
// inside are doubled, and the double quotes written survive the clean-up.
TEST(ViewRewrite, BracketedNamesKeepAQuotingWhereNeeded)
{
    struct Row {
        const char *name, *text, *msSql, *mySql, *oracle, *sybase, *db2;
    };
    const Row rows[] = {
        {"V", "SELECT [Orders].[Nr$2] FROM [Orders]", "CREATE VIEW V AS SELECT Orders.Nr$2 FROM Orders",
         "CREATE VIEW V AS SELECT Orders.Nr$2 FROM Orders", "CREATE VIEW V AS SELECT Orders.Nr$2 FROM Orders",
         "CREATE VIEW V AS SELECT Orders.Nr$2 FROM Orders", "CREATE VIEW V AS SELECT Orders.Nr$2 FROM Orders"},
        {"Sales by Category", "SELECT [Order Details].[2Nr] AS [Mein \"Nr`], \"x[y]\" FROM [Order Details]",
         "CREATE VIEW \"Sales by Category\" AS SELECT \"Order Details\".\"2Nr\" AS \"Mein \"\"Nr`\", 'xy' FROM \"Order "
         "Details\"",
         "CREATE VIEW `Sales by Category` AS SELECT `Order Details`.`2Nr` AS `Mein \"Nr```, 'xy' FROM `Order Details`",
         "CREATE VIEW \"Sales by Category\" AS SELECT \"Order Details\".\"2Nr\" AS \"Mein \"\"Nr`\", 'xy' FROM \"Order "
         "Details\"",
         "CREATE VIEW [Sales by Category] AS SELECT [Order Details].[2Nr] AS [Mein \"Nr`], 'xy' FROM [Order Details]",
         "CREATE VIEW \"Sales by Category\" AS SELECT \"Order Details\".\"2Nr\" AS \"Mein \"\"Nr`\", 'xy' FROM \"Order "
         "Details\""},
    };
    for (const Row& row : rows) {
        const char* expected[] = {row.msSql, row.mySql, row.oracle, row.sybase, row.db2};
        for (qsizetype d = 0; d < kAllDialects.size(); ++d)
            EXPECT_EQ(statementFor(kAllDialects[d], QString::fromUtf8(row.text), QString::fromUtf8(row.name)),
                      QString::fromUtf8(expected[d]))
                << dialectName(kAllDialects[d]).toStdString();
    }
    EXPECT_EQ(DropViewStatement(Dialect::MSSQL, QStringLiteral("Ku\"den")), QStringLiteral("DROP VIEW \"Ku\"\"den\""));
    EXPECT_EQ(DropViewStatement(Dialect::MySQL, QStringLiteral("Sales by Category")),
              QStringLiteral("DROP VIEW `Sales by Category`"));
}
