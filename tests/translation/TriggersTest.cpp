// Relations to triggers: the statements letter by letter (CR LF included),
// the error rule and the run's edges, on a recording connection.

#include "translation/Triggers.h"

#include "QtPrinters.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

namespace {

const QString CRLF = QStringLiteral("\r\n");

// Kunden has two cascading relations and a third without cascade that shares
// its key field (in another case) and adds one; Auftrag cascades deletes over
// two fields; Filialen updates over two fields; Artikel has no cascade at all.
void addRelations(FakeDatabase& db)
{
    using F = dao::RelationField;
    db.relations = {
        makeRelation(QStringLiteral("KundenAuftrag"), QStringLiteral("Kunden"), QStringLiteral("Auftrag"), 4352,
                     {F{QStringLiteral("KdNr"), QStringLiteral("KdNr")}}),
        makeRelation(
            QStringLiteral("AuftragZusatz"), QStringLiteral("Auftrag"), QStringLiteral("AuftragZusatz"), 4097,
            {F{QStringLiteral("AufNr"), QStringLiteral("AufNr")}, F{QStringLiteral("Pos"), QStringLiteral("Pos")}}),
        makeRelation(QStringLiteral("KundenRechnung"), QStringLiteral("Kunden"), QStringLiteral("Rechnung"), 256,
                     {F{QStringLiteral("KdNr"), QStringLiteral("KundeNr")}}),
        makeRelation(QStringLiteral("FilialenLager"), QStringLiteral("Filialen"), QStringLiteral("Lager"), 257,
                     {F{QStringLiteral("Filiale"), QStringLiteral("Filiale")},
                      F{QStringLiteral("Region"), QStringLiteral("Bereich")}}),
        makeRelation(
            QStringLiteral("KundenMahnung"), QStringLiteral("KUNDEN"), QStringLiteral("Mahnung"), 2,
            {F{QStringLiteral("kdnr"), QStringLiteral("KdNr")}, F{QStringLiteral("Region"), QStringLiteral("Region")}}),
        makeRelation(QStringLiteral("ArtikelPosition"), QStringLiteral("Artikel"), QStringLiteral("Position"), 0,
                     {F{QStringLiteral("ArtNr"), QStringLiteral("ArtNr")}}),
    };
}

}  // namespace

TEST(RelationsToTriggers, MsSqlStatementsLetterByLetter)
{
    RecordingHost host;
    addRelations(host.db);
    QStringList workingDuringRun;
    host.onYield = [&] {
        if (host.yields == 1 && workingDuringRun.isEmpty())
            workingDuringRun = host.list3;
    };
    EXPECT_EQ(RunRelationsToTriggers(host).outcome, RunOutcome::Completed);

    const QString s1 = CRLF
        + QStringLiteral("UPDATE Auftrag SET Auftrag.\"KdNr\"=INSERTED.\"KdNr\" FROM INSERTED,DELETED "
                         "WHERE Auftrag.\"KdNr\"=DELETED.\"KdNr\"");
    const QString s2 = CRLF
        + QStringLiteral("UPDATE Rechnung SET Rechnung.\"KundeNr\"=INSERTED.\"KdNr\" FROM "
                         "INSERTED,DELETED WHERE Rechnung.\"KundeNr\"=DELETED.\"KdNr\"");
    const QString d1 =
        CRLF + QStringLiteral("DELETE FROM Auftrag FROM DELETED WHERE Auftrag.\"KdNr\"=DELETED.\"KdNr\"");
    const QString da = CRLF
        + QStringLiteral("DELETE FROM AuftragZusatz FROM DELETED WHERE "
                         "AuftragZusatz.\"AufNr\"=DELETED.\"AufNr\" AND "
                         "AuftragZusatz.\"Pos\"=DELETED.\"Pos\"");
    const QString sf = CRLF
        + QStringLiteral("UPDATE Lager SET Lager.\"Filiale\"=INSERTED.\"Filiale\",Lager.\"Bereich\"="
                         "INSERTED.\"Region\" FROM INSERTED,DELETED WHERE Lager.\"Filiale\"="
                         "DELETED.\"Filiale\" AND Lager.\"Bereich\"=DELETED.\"Region\"");
    const QStringList expected = {
        QStringLiteral("DROP TRIGGER uKunden"),
        QStringLiteral("DROP TRIGGER dKunden"),
        QStringLiteral("CREATE TRIGGER uKunden ON Kunden FOR UPDATE AS") + CRLF
            + QStringLiteral("IF UPDATE(\"KdNr\") OR UPDATE(\"Region\")") + CRLF + QStringLiteral("BEGIN") + s1 + s2
            + CRLF + QStringLiteral("END"),
        QStringLiteral("CREATE TRIGGER dKunden ON Kunden FOR DELETE AS") + d1,
        QStringLiteral("DROP TRIGGER uAuftrag"),
        QStringLiteral("DROP TRIGGER dAuftrag"),
        QStringLiteral("CREATE TRIGGER dAuftrag ON Auftrag FOR DELETE AS") + da,
        QStringLiteral("DROP TRIGGER uFilialen"),
        QStringLiteral("DROP TRIGGER dFilialen"),
        QStringLiteral("CREATE TRIGGER uFilialen ON Filialen FOR UPDATE AS") + CRLF
            + QStringLiteral("IF UPDATE(\"Filiale\") OR UPDATE(\"Region\")") + CRLF + QStringLiteral("BEGIN") + sf
            + CRLF + QStringLiteral("END"),
        QStringLiteral("DROP TRIGGER uArtikel"),
        QStringLiteral("DROP TRIGGER dArtikel"),
    };
    EXPECT_EQ(host.server.statements, expected);
    EXPECT_EQ(host.list1,
              (QStringList{QStringLiteral("Kunden"), s1, s2, d1, QStringLiteral("Auftrag"), da,
                           QStringLiteral("Filialen"), sf, QStringLiteral("Artikel")}));
    EXPECT_EQ(host.yields, 5);
    // The working list holds the primary tables while the run lasts, and is empty after it.
    EXPECT_EQ(workingDuringRun,
              (QStringList{QStringLiteral("Kunden"), QStringLiteral("Auftrag"), QStringLiteral("Filialen"),
                           QStringLiteral("Artikel")}));
    EXPECT_TRUE(host.list3.isEmpty());
    // The last table's bare delete trigger head.
    EXPECT_EQ(host.clipboard, QStringLiteral("CREATE TRIGGER dArtikel ON Artikel FOR DELETE AS"));
    EXPECT_EQ(host.progress,
              (QStringList{QStringLiteral("start 4"), QStringLiteral("step 1"), QStringLiteral("step 2"),
                           QStringLiteral("step 3"), QStringLiteral("step 4"), QStringLiteral("step 0")}));
    EXPECT_EQ(host.statuses.first(), QStringLiteral("Beziehungs-Informationen einlesen: KundenAuftrag"));
    EXPECT_EQ(host.statuses.mid(6, 3),
              (QStringList{QStringLiteral("lösche eventuell vorhandene Trigger..."),
                           QStringLiteral("Erzeuge neue Trigger..."), QStringLiteral("Bereit.")}));
    EXPECT_EQ(host.trace.first(), QStringLiteral("enable 0"));
    EXPECT_EQ(host.trace.last(), QStringLiteral("enable 1"));
}

TEST(RelationsToTriggers, SybaseWritesFieldsWithoutQuotes)
{
    RecordingHost host;
    host.settings.dialect = Dialect::Sybase;
    host.db.relations = {makeRelation(QStringLiteral("KundenAuftrag"), QStringLiteral("Kunden"),
                                      QStringLiteral("Auftrag"), 4352,
                                      {{QStringLiteral("KdNr"), QStringLiteral("KundeNr")}})};
    RunRelationsToTriggers(host);
    EXPECT_EQ(host.server.statements,
              (QStringList{QStringLiteral("DROP TRIGGER uKunden"), QStringLiteral("DROP TRIGGER dKunden"),
                           QStringLiteral("CREATE TRIGGER uKunden ON Kunden FOR UPDATE AS\r\nIF UPDATE(KdNr)\r\nBEGIN"
                                          "\r\nUPDATE Auftrag SET Auftrag.KundeNr=INSERTED.KdNr FROM INSERTED,DELETED "
                                          "WHERE Auftrag.KundeNr=DELETED.KdNr\r\nEND"),
                           QStringLiteral("CREATE TRIGGER dKunden ON Kunden FOR DELETE AS\r\nDELETE FROM Auftrag FROM "
                                          "DELETED WHERE Auftrag.KundeNr=DELETED.KdNr")}));
}

TEST(RelationsToTriggers, RejectedTriggersAreListedInPiecesAfterATab)
{
    RecordingHost host;
    host.settings.dialect = Dialect::MySQL;
    addRelations(host.db);
    // 140 characters: two full pieces and a line with only the tab.
    const QString error = QStringLiteral("42000:") + QString(134, QLatin1Char('e'));
    host.server.failWhenStartsWith(QStringLiteral("CREATE TRIGGER"), error);
    host.server.failWhenStartsWith(QStringLiteral("DROP TRIGGER"), QStringLiteral("HY000:Trigger does not exist"));
    EXPECT_EQ(RunRelationsToTriggers(host).outcome, RunOutcome::Completed);
    const QStringList errorLines = {QStringLiteral("\t") + error.left(70), QStringLiteral("\t") + error.mid(70),
                                    QStringLiteral("\t")};
    // Kunden: the rejected update trigger is followed by the delete trigger, rejected too.
    ASSERT_GE(host.list1.size(), 10);
    EXPECT_EQ(host.list1.mid(4, 6), errorLines + errorLines);
    int creates = 0;
    for (const QString& s : host.server.statements)
        creates += s.startsWith(QStringLiteral("CREATE TRIGGER")) ? 1 : 0;
    EXPECT_EQ(creates, 4);
    EXPECT_EQ(host.clipboard, QStringLiteral("CREATE TRIGGER dArtikel ON Artikel FOR DELETE AS"));
    EXPECT_TRUE(host.enabled());
    EXPECT_TRUE(host.messages.isEmpty());
}

TEST(RelationsToTriggers, RunEdges)
{
    // Another workstation: nothing at all.
    RecordingHost second;
    addRelations(second.db);
    second.number = QStringLiteral("2");
    EXPECT_EQ(RunRelationsToTriggers(second).outcome, RunOutcome::Completed);
    EXPECT_TRUE(second.trace.isEmpty());

    // No relations: progress over nothing, nothing sent, commands back.
    RecordingHost none;
    none.list1 = {QStringLiteral("von vorher")};
    EXPECT_EQ(RunRelationsToTriggers(none).outcome, RunOutcome::Completed);
    EXPECT_EQ(none.progress, (QStringList{QStringLiteral("start 0"), QStringLiteral("step 0")}));
    EXPECT_TRUE(none.server.statements.isEmpty());
    EXPECT_TRUE(none.list1.isEmpty());
    EXPECT_TRUE(none.enabled());
}

TEST(RelationsToTriggers, EngineErrorWhileReadingIsShown)
{
    RecordingHost host;
    addRelations(host.db);
    host.db.relationsError = QStringLiteral("Die Beziehungen der Datenbank sind beschädigt.");
    EXPECT_EQ(RunRelationsToTriggers(host).outcome, RunOutcome::Failed);
    EXPECT_EQ(host.messages, QStringList{QStringLiteral("Die Beziehungen der Datenbank sind beschädigt.")});
    EXPECT_TRUE(host.server.statements.isEmpty());
    EXPECT_TRUE(host.list3.isEmpty());
    EXPECT_TRUE(host.enabled());
    EXPECT_EQ(host.trace.last(), QStringLiteral("enable 1"));
}

TEST(RelationsToTriggers, CloseDuringTheListingStopsBeforeTheDrops)
{
    RecordingHost host;
    addRelations(host.db);
    // Closed while Auftrag's delete statement is listed: Kunden is complete, Auftrag untouched.
    host.onYield = [&] {
        if (host.list1.contains(QStringLiteral("Auftrag")))
            host.closing = true;
    };
    EXPECT_EQ(RunRelationsToTriggers(host).outcome, RunOutcome::EndedEarly);
    EXPECT_EQ(host.server.statements.size(), 4);
    EXPECT_TRUE(host.server.statements.last().startsWith(QStringLiteral("CREATE TRIGGER dKunden")));
    EXPECT_TRUE(host.enabled());
    EXPECT_TRUE(host.list3.isEmpty());
    EXPECT_EQ(host.progress.last(), QStringLiteral("step 0"));
}

TEST(RelationsToTriggers, KeyFieldsOnceEachWithoutRegardToCase)
{
    QList<TriggerTable> tables;
    const QString q = TriggerFieldQuote(Dialect::DB2);
    EXPECT_TRUE(AddRelation(tables,
                            makeRelation(QStringLiteral("a"), QStringLiteral("T"), QStringLiteral("F1"), 256,
                                         {{QStringLiteral("Nr"), QStringLiteral("TNr")}}),
                            q));
    EXPECT_FALSE(AddRelation(tables,
                             makeRelation(QStringLiteral("b"), QStringLiteral("t"), QStringLiteral("F2"), 256,
                                          {{QStringLiteral("NR"), QStringLiteral("TNr")}}),
                             q));
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(tables[0].table, QStringLiteral("T"));
    EXPECT_EQ(tables[0].keyFields, QStringList{QStringLiteral("Nr")});
    EXPECT_EQ(tables[0].updates.size(), 2);
    EXPECT_EQ(UpdateTriggerHead(tables[0], q),
              QStringLiteral("CREATE TRIGGER uT ON T FOR UPDATE AS\r\nIF UPDATE(\"Nr\")\r\nBEGIN"));
}

// A lost connection ends the run at once with the request to log in again.
TEST(RelationsToTriggers, ALostConnectionEndsTheRun)
{
    RecordingHost host;
    addRelations(host.db);
    const QString gone = QStringLiteral("08S01:Server has gone away");
    host.server.failWhenStartsWith(QStringLiteral("DROP TRIGGER"), gone);
    EXPECT_EQ(RunRelationsToTriggers(host).outcome, RunOutcome::Failed);
    EXPECT_EQ(host.messages, QStringList{QStringLiteral("lost ") + gone});
    EXPECT_EQ(host.server.statements.size(), 1);
    EXPECT_TRUE(host.enabled());
}

TEST(RelationsToTriggers, QuotesInsideQuotedFieldNamesAreDoubled)
{
    QList<TriggerTable> tables;
    const QString q = TriggerFieldQuote(Dialect::MSSQL);
    AddRelation(tables,
                makeRelation(QStringLiteral("a"), QStringLiteral("T"), QStringLiteral("F"), 256 | 4096,
                             {{QStringLiteral("N\"r"), QStringLiteral("T\"Nr")}}),
                q);
    EXPECT_EQ(UpdateTriggerHead(tables[0], q),
              QStringLiteral("CREATE TRIGGER uT ON T FOR UPDATE AS\r\nIF UPDATE(\"N\"\"r\")\r\nBEGIN"));
    EXPECT_EQ(tables[0].updates[0],
              QStringLiteral("\r\nUPDATE F SET F.\"T\"\"Nr\"=INSERTED.\"N\"\"r\" FROM "
                             "INSERTED,DELETED WHERE F.\"T\"\"Nr\"=DELETED.\"N\"\"r\""));
    EXPECT_EQ(tables[0].deletes[0],
              QStringLiteral("\r\nDELETE FROM F FROM DELETED WHERE F.\"T\"\"Nr\"=DELETED.\"N\"\"r\""));
}
