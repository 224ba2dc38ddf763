// Create_View and the run over the saved queries, on a recording connection
// for the dialects that have no server here.

#include "translation/Views.h"

#include "QtPrinters.h"
#include "RecordingHost.h"
#include "translation/ViewRewrite.h"

#include <gtest/gtest.h>

namespace {

void addQuery(RecordingHost& host, const QString& name, const QString& sql)
{
    host.db.queries.append(dao::QueryDef{name, sql, dao::dbQSelect, {}});
}

// The queries of a small ERP database, with the special names among them.
void addErpQueries(RecordingHost& host)
{
    addQuery(host, QStringLiteral("View_BestellungAuftrag"),
             QStringLiteral("SELECT [Auftrag].[AufNr], LEFT([Kunden].[Name],10) AS \"Kurz\"\r\nFROM Auftrag;\r\n"));
    addQuery(host, QStringLiteral("Umsatz_pro_Kunde_und_Jahr_2024_lang"),
             QStringLiteral("SELECT DISTINCTROW KdNr, YEAR(Datum) AS Jahr FROM Auftrag;"));
    addQuery(host, QStringLiteral("VIEW__FS_ANZAHL"), QStringLiteral("SELECT COUNT(*) AS Anzahl FROM Auftrag"));
}

}  // namespace

TEST(CreateView, ListsDropsAndCreatesInOrder)
{
    RecordingHost host;
    EXPECT_EQ(Create_View(host, QStringLiteral("View_Kunden"), QStringLiteral("SELECT [Name] FROM [Kunden];")).outcome,
              ViewOutcome::Created);
    const QString create = QStringLiteral("CREATE VIEW View_Kunden AS SELECT Name FROM Kunden");
    EXPECT_EQ(host.server.statements, (QStringList{QStringLiteral("DROP VIEW \"View_Kunden\""), create}));
    EXPECT_EQ(host.trace,
              (QStringList{QStringLiteral("line View_Kunden"), QStringLiteral("line ") + create,
                           QStringLiteral("yield"), QStringLiteral("scroll"), QStringLiteral("line "),
                           QStringLiteral("status lösche eventuell vorhandenen View"), QStringLiteral("direct"),
                           QStringLiteral("clipboard"), QStringLiteral("status erzeuge neuen View"),
                           QStringLiteral("direct"), QStringLiteral("status Bereit.")}));
    EXPECT_EQ(host.clipboard, create);
    // The caller's list and commands are its own business.
    EXPECT_TRUE(host.enabled());
    EXPECT_TRUE(host.progress.isEmpty());
}

TEST(CreateView, ListingInPiecesOfEighty)
{
    RecordingHost host;
    host.settings.dialect = Dialect::MySQL;
    // "CREATE VIEW V AS " is 17 characters: the statement is exactly 160 long.
    const QString text = QStringLiteral("SELECT ") + QString(136, QLatin1Char('x'));
    Create_View(host, QStringLiteral("V"), text);
    const QString statement = QStringLiteral("CREATE VIEW V AS ") + text;
    ASSERT_EQ(statement.size(), 160);
    EXPECT_EQ(host.list1,
              (QStringList{QStringLiteral("V"), statement.left(80), statement.mid(80), QString(), QString()}));
    EXPECT_EQ(host.yields, 3);
}

TEST(CreateView, ServerErrorsAreListedAsWarnings)
{
    RecordingHost host;
    host.settings.dialect = Dialect::Sybase;
    const QString error = QStringLiteral("S1000:[Sybase][ODBC Driver][Adaptive Server Enterprise]Incorrect syntax near "
                                         "the keyword 'AS'. The view could not be created.");
    host.server.failWhenStartsWith(QStringLiteral("CREATE VIEW"), error);
    host.server.failWhenStartsWith(QStringLiteral("DROP VIEW"), QStringLiteral("S0002:no such view"));
    EXPECT_EQ(Create_View(host, QStringLiteral("V"), QStringLiteral("SELECT 1")).reason, error);
    // Sent directly: Sybase's tolerated "S1000:" of ExecuteSql does not apply.
    EXPECT_EQ(host.list1,
              (QStringList{QStringLiteral("V"), QStringLiteral("CREATE VIEW V AS SELECT 1"), QString(),
                           QStringLiteral("Warnung: 40002"), error.left(80), error.mid(80),
                           QStringLiteral("----------------------------------------")}));
    EXPECT_EQ(host.statuses.last(), QStringLiteral("Bereit."));

    RecordingHost tolerant;
    tolerant.server.failWhenStartsWith(QStringLiteral("CREATE VIEW"), QStringLiteral("S0021:column already exists"));
    Create_View(tolerant, QStringLiteral("V"), QStringLiteral("SELECT 1"));
    EXPECT_EQ(tolerant.list1.size(), 3);
}

// Where the server reads a backslash in a literal as an escape, a view gets
// the doubling every other statement gets.
TEST(CreateView, BackslashesDoubledWhereTheServerEscapes)
{
    for (const auto& [dialect, linuxSwitch, sent] :
         {std::tuple{Dialect::MySQL, false, "'C:\\\\Daten'"}, std::tuple{Dialect::Sybase, true, "'C:\\\\Daten'"},
          std::tuple{Dialect::Sybase, false, "'C:\\Daten'"}, std::tuple{Dialect::MSSQL, false, "'C:\\Daten'"}}) {
        RecordingHost host;
        host.settings.dialect = dialect;
        host.settings.linuxSwitch = linuxSwitch;
        Create_View(host, QStringLiteral("V"), QStringLiteral("SELECT 'C:\\Daten' AS Pfad"));
        EXPECT_EQ(host.server.statements.last(), QStringLiteral("CREATE VIEW V AS SELECT ") + sent + " AS Pfad");
        EXPECT_EQ(host.list1.value(1), QStringLiteral("CREATE VIEW V AS SELECT 'C:\\Daten' AS Pfad"));
    }
}

TEST(CreateView, RewritingErrorSendsNothing)
{
    RecordingHost host;
    host.settings.dialect = Dialect::DB2;
    const ViewResult result = Create_View(host, QStringLiteral("V"), QStringLiteral("SELECT LEFT(a) FROM t"));
    EXPECT_EQ(result.outcome, ViewOutcome::NotSent);
    EXPECT_EQ(result.errorNumber, ViewRewriteErrorNumber);
    // Not even DB2's drop under the full name: the old view stays.
    EXPECT_TRUE(host.server.statements.isEmpty());
    EXPECT_TRUE(host.list1.isEmpty());
}

TEST(CreateView, CloseDuringTheListingSendsNothing)
{
    RecordingHost host;
    host.onYield = [&] { host.closing = true; };
    EXPECT_EQ(Create_View(host, QStringLiteral("V"), QStringLiteral("SELECT 1")).outcome, ViewOutcome::EndedEarly);
    EXPECT_TRUE(host.server.statements.isEmpty());
}

TEST(CreateView, CloseAfterTheDropStillCreates)
{
    RecordingHost host;
    host.settings.dialect = Dialect::DB2;
    host.onYield = [&] {
        if (host.statuses.value(host.statuses.size() - 1) == QStringLiteral("lösche eventuell vorhandenen View"))
            host.closing = true;
    };
    EXPECT_EQ(Create_View(host, QStringLiteral("V"), QStringLiteral("SELECT 1")).outcome, ViewOutcome::Created);
    EXPECT_TRUE(host.endRequested());
    EXPECT_EQ(host.server.statements,
              (QStringList{QStringLiteral("DROP VIEW V"), QStringLiteral("DROP VIEW \"V\""),
                           QStringLiteral("CREATE VIEW V AS SELECT 1")}));
}

TEST(QueriesToViews, MsSql)
{
    RecordingHost host;
    addErpQueries(host);
    host.list1 = {QStringLiteral("von vorher")};
    EXPECT_EQ(RunQueriesToViews(host).outcome, RunOutcome::Completed);
    EXPECT_EQ(host.server.statements,
              (QStringList{
                  QStringLiteral("DROP VIEW \"View_BestellungAuftrag\""),
                  QStringLiteral("CREATE VIEW View_BestellungAuftrag AS SELECT Auftrag.AufNr, LEFT(Kunden.Name,10) AS "
                                 "'Kurz'\r\nFROM Auftrag"),
                  QStringLiteral("DROP VIEW \"Umsatz_pro_Kunde_und_Jahr_2024_lang\""),
                  QStringLiteral("CREATE VIEW Umsatz_pro_Kunde_und_Jahr_2024_lang AS SELECT  KdNr, YEAR(Datum) AS "
                                 "Jahr FROM Auftrag"),
                  QStringLiteral("DROP VIEW \"VIEW__FS_ANZAHL\""),
                  QStringLiteral("CREATE VIEW VIEW__FS_ANZAHL AS SELECT COUNT(*) AS Anzahl FROM Auftrag"),
              }));
    EXPECT_EQ(host.list1.first(), QStringLiteral("View_BestellungAuftrag"));
    EXPECT_EQ(host.progress,
              (QStringList{QStringLiteral("start 3"), QStringLiteral("step 1"), QStringLiteral("step 2"),
                           QStringLiteral("step 3"), QStringLiteral("step 0")}));
    EXPECT_EQ(host.trace.first(), QStringLiteral("enable 0"));
    EXPECT_EQ(host.trace.last(), QStringLiteral("enable 1"));
    EXPECT_TRUE(host.messages.isEmpty());
}

TEST(QueriesToViews, Oracle)
{
    RecordingHost host;
    host.settings.dialect = Dialect::Oracle;
    addErpQueries(host);
    RunQueriesToViews(host);
    EXPECT_EQ(host.server.statements,
              (QStringList{
                  QStringLiteral("DROP VIEW View_BestellungAuftrag"),
                  QStringLiteral("CREATE VIEW View_BestellungAuftrag AS SELECT Auftrag.AufNr, SUBSTR(Kunden.Name,1,10) "
                                 "AS Kurz\r\nFROM Auftrag"),
                  QStringLiteral("DROP VIEW Umsatz_pro_Kunde_und_Jahr_2024"),
                  QStringLiteral("CREATE VIEW Umsatz_pro_Kunde_und_Jahr_2024 AS SELECT  KdNr, TO_CHAR(Datum,'yyyy') "
                                 "AS Jahr FROM Auftrag"),
                  QStringLiteral("DROP VIEW VIEW__FS_ANZAHL"),
                  QStringLiteral("CREATE VIEW VIEW__FS_ANZAHL AS SELECT COUNT(*) AS Anzahl FROM Auftrag"),
              }));
    // The listing shows the cut name.
    EXPECT_TRUE(host.list1.contains(QStringLiteral("Umsatz_pro_Kunde_und_Jahr_2024")));
}

TEST(QueriesToViews, Db2)
{
    RecordingHost host;
    host.settings.dialect = Dialect::DB2;
    addErpQueries(host);
    RunQueriesToViews(host);
    EXPECT_EQ(host.server.statements,
              (QStringList{
                  QStringLiteral("DROP VIEW View_BestellungAuftrag"),
                  QStringLiteral("DROP VIEW \"View_BestellungAuftrag\""),
                  QStringLiteral("CREATE VIEW View_BestellungAuftrag AS SELECT Auftrag.AufNr, SUBSTR(Kunden.Name,1,10) "
                                 "AS Kurz\r\nFROM Auftrag"),
                  QStringLiteral("DROP VIEW Umsatz_pro_Kunde_und_Jahr_2024_lang"),
                  QStringLiteral("DROP VIEW \"Umsatz_pro_Kunde_und_Jahr_2024\""),
                  QStringLiteral("CREATE VIEW Umsatz_pro_Kunde_und_Jahr_2024 AS SELECT  KdNr, YEAR(Datum) AS Jahr "
                                 "FROM Auftrag"),
                  QStringLiteral("DROP VIEW \"VIEW__FS_ANZAHL\""),
                  QStringLiteral("CREATE VIEW VIEW__FS_ANZAHL AS SELECT COUNT(*) AS Anzahl FROM Auftrag"),
              }));
}

TEST(QueriesToViews, SybaseWithAndWithoutLinux)
{
    const QStringList inOrder = {
        QStringLiteral("DROP VIEW View_BestellungAuftrag"),
        QStringLiteral("CREATE VIEW View_BestellungAuftrag AS SELECT Auftrag.AufNr, LEFT(Kunden.Name,10) AS "
                       "'Kurz'\r\nFROM Auftrag"),
        QStringLiteral("DROP VIEW Umsatz_pro_Kunde_und_Jahr_2024_lang"),
        QStringLiteral("CREATE VIEW Umsatz_pro_Kunde_und_Jahr_2024_lang AS SELECT  KdNr, YEAR(Datum) AS Jahr FROM "
                       "Auftrag"),
        QStringLiteral("DROP VIEW VIEW__FS_ANZAHL"),
        QStringLiteral("CREATE VIEW VIEW__FS_ANZAHL AS SELECT COUNT(*) AS Anzahl FROM Auftrag"),
    };
    RecordingHost plain;
    plain.settings.dialect = Dialect::Sybase;
    addErpQueries(plain);
    RunQueriesToViews(plain);
    EXPECT_EQ(plain.server.statements, inOrder);

    RecordingHost onLinux;
    onLinux.settings.dialect = Dialect::Sybase;
    onLinux.settings.linuxSwitch = true;
    addErpQueries(onLinux);
    RunQueriesToViews(onLinux);
    EXPECT_EQ(onLinux.server.statements, inOrder.mid(2) + inOrder.mid(0, 2));
    // The progress still counts every query once.
    EXPECT_EQ(onLinux.progress.size(), 5);
}

TEST(QueriesToViews, RewritingErrorEndsTheRunWithAMessage)
{
    RecordingHost host;
    host.settings.dialect = Dialect::Oracle;
    addQuery(host, QStringLiteral("Gut"), QStringLiteral("SELECT 1 FROM t"));
    addQuery(host, QStringLiteral("Kaputt"), QStringLiteral("SELECT YEAR(Datum FROM t"));
    addQuery(host, QStringLiteral("Danach"), QStringLiteral("SELECT 2 FROM t"));
    EXPECT_EQ(RunQueriesToViews(host).outcome, RunOutcome::Failed);
    EXPECT_EQ(host.messages,
              QStringList{QStringLiteral("Die Abfrage 'Kaputt' lässt sich nicht in eine Sicht "
                                         "übersetzen: auf \"YEAR(\" folgt keine schließende Klammer.")});
    EXPECT_EQ(host.server.statements,
              (QStringList{QStringLiteral("DROP VIEW Gut"), QStringLiteral("CREATE VIEW Gut AS SELECT 1 FROM t")}));
    EXPECT_TRUE(host.enabled());
    EXPECT_EQ(host.progress.last(), QStringLiteral("step 0"));
}

TEST(QueriesToViews, OnlyTheFirstWorkstation)
{
    RecordingHost second;
    addErpQueries(second);
    second.number = QStringLiteral("2");
    EXPECT_EQ(RunQueriesToViews(second).outcome, RunOutcome::Completed);
    EXPECT_TRUE(second.trace.isEmpty());
    EXPECT_TRUE(second.server.statements.isEmpty());

    RecordingHost garbled;
    addErpQueries(garbled);
    garbled.number = QStringLiteral("eins");
    EXPECT_EQ(RunQueriesToViews(garbled).outcome, RunOutcome::Failed);
    EXPECT_EQ(garbled.messages, QStringList{QStringLiteral("Typen unverträglich")});
    EXPECT_TRUE(garbled.server.statements.isEmpty());
    EXPECT_TRUE(garbled.enabled());
}

TEST(QueriesToViews, CloseDuringARunEndsItCleanly)
{
    RecordingHost host;
    addErpQueries(host);
    // The user closes the window while the second view is listed.
    host.onYield = [&] {
        if (host.list1.contains(QStringLiteral("Umsatz_pro_Kunde_und_Jahr_2024_lang")))
            host.closing = true;
    };
    EXPECT_EQ(RunQueriesToViews(host).outcome, RunOutcome::EndedEarly);
    EXPECT_EQ(host.server.statements.size(), 2);
    EXPECT_TRUE(host.enabled());
    EXPECT_EQ(host.progress.last(), QStringLiteral("step 0"));
}

TEST(QueriesToViews, DatabaseWithoutQueries)
{
    RecordingHost host;
    EXPECT_EQ(RunQueriesToViews(host).outcome, RunOutcome::Completed);
    EXPECT_EQ(host.progress, (QStringList{QStringLiteral("start 0"), QStringLiteral("step 0")}));
    EXPECT_TRUE(host.server.statements.isEmpty());
    EXPECT_TRUE(host.enabled());
}

// A lost connection ends the views at once, even on a drop whose errors are
// otherwise ignored; the user is asked to log in again.
TEST(QueriesToViews, ALostConnectionEndsTheRun)
{
    RecordingHost host;
    addErpQueries(host);
    const QString gone = QStringLiteral("08S01:Server has gone away");
    host.server.failWhenStartsWith(QStringLiteral("DROP VIEW"), gone);
    EXPECT_EQ(RunQueriesToViews(host).outcome, RunOutcome::Failed);
    EXPECT_EQ(host.messages, QStringList{QStringLiteral("lost ") + gone});
    EXPECT_EQ(host.server.statements.size(), 1);
    EXPECT_TRUE(host.enabled());
    EXPECT_EQ(host.progress.last(), QStringLiteral("step 0"));
}

// A query without text sends nothing; on MySQL and MS SQL a refused view is
// translated from the Access text and sent once; a view refused for want of a
// view made later is tried again; the status line counts it all.
TEST(QueriesToViews, NoTextTranslationRetriesAndCounts)
{
    const QString missing = QStringLiteral("S0002:Table 'qel.Spaeter' doesn't exist");
    const QString dashes(40, QLatin1Char('-'));
    struct Row {
        Dialect dialect;
        const char* translated;  // the second create of "Mit IIf"; empty: none
        const char* status;
        bool retried;  // "Liest" tried again after "Spaeter" (only where views are translated)
    };
    const Row rows[] = {
        {Dialect::MySQL, "CREATE VIEW `Mit IIf` AS SELECT IF(a = 1, 'ja', 'nein') AS Expr1000 FROM t",
         "Sichten: 3 angelegt, davon 1 übersetzt, 0 abgewiesen, 2 keine Sicht möglich", true},
        {Dialect::MSSQL, "CREATE VIEW \"Mit IIf\" AS SELECT IIF(a = 1, 'ja', 'nein') AS Expr1000 FROM t",
         "Sichten: 3 angelegt, davon 1 übersetzt, 0 abgewiesen, 2 keine Sicht möglich", true},
        {Dialect::Sybase, "", "Sichten: 1 angelegt, davon 0 übersetzt, 3 abgewiesen, 1 keine Sicht möglich", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(dialectName(row.dialect).toStdString());
        RecordingHost host;
        host.settings.dialect = row.dialect;
        host.db.queries.append(dao::QueryDef{QStringLiteral("Kaputt"), QString(), dao::dbQSelect,
                                             QStringLiteral("Die Zeile mit der Abfrageart fehlt.")});
        addQuery(host, QStringLiteral("Liest"), QStringLiteral("SELECT * FROM Spaeter"));
        addQuery(host, QStringLiteral("Mit IIf"), QStringLiteral("SELECT IIf(a=1,\"ja\",\"nein\") FROM t;"));
        addQuery(host, QStringLiteral("Frage"), QStringLiteral("PARAMETERS x Long;\r\nSELECT x FROM t;"));
        addQuery(host, QStringLiteral("Spaeter"), QStringLiteral("SELECT 1 AS Eins"));
        bool spaeter = false;
        host.server.failures.append({[&](const QString& s) {
                                         spaeter = spaeter || s.startsWith(QStringLiteral("CREATE VIEW Spaeter"));
                                         return s.contains(QStringLiteral("Spaeter")) && !spaeter;
                                     },
                                     missing});
        host.server.failWhenContains(QStringLiteral("IIf("), QStringLiteral("42000:syntax"));
        host.server.failWhenContains(QStringLiteral("PARAMETERS"), QStringLiteral("42000:syntax"));
        EXPECT_EQ(RunQueriesToViews(host).outcome, RunOutcome::Completed);
        // Nothing at all for the query without text, not even a drop.
        EXPECT_FALSE(host.server.statements.join(QLatin1Char('|')).contains(QStringLiteral("Kaputt")));
        EXPECT_EQ(host.list1.mid(0, 3),
                  (QStringList{QStringLiteral("Kaputt"), QStringLiteral("Warnung: Die Zeile mit der Abfrageart fehlt."),
                               dashes}));
        const qsizetype translated = host.list1.indexOf(QStringLiteral("Übersetzt:"));
        if (*row.translated) {
            ASSERT_GT(translated, 0);
            EXPECT_EQ(host.list1.at(translated + 1), QString::fromUtf8(row.translated));
            EXPECT_TRUE(host.list1.contains(QStringLiteral("Parameterabfrage: keine Sicht möglich")));
        } else {
            EXPECT_EQ(translated, -1);
        }
        // "Liest" is tried again after "Spaeter" and then exists.
        EXPECT_EQ(host.list1.count(QStringLiteral("Neuer Versuch nach den anderen Sichten: Liest")),
                  row.retried ? 1 : 0);
        EXPECT_EQ(host.server.statements.count(QStringLiteral("CREATE VIEW Liest AS SELECT * FROM Spaeter")),
                  row.retried ? 2 : 1);
        EXPECT_EQ(host.statuses.last(), QString::fromUtf8(row.status));
    }
}
