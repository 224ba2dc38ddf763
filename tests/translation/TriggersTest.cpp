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
    host.server.failWhenStartsWith(QStringLiteral("CREATE "), error);
    host.server.failWhenStartsWith(QStringLiteral("DROP TRIGGER"), QStringLiteral("HY000:Trigger does not exist"));
    EXPECT_EQ(RunRelationsToTriggers(host).outcome, RunOutcome::Completed);
    const QStringList errorLines = {QStringLiteral("\t") + error.left(70), QStringLiteral("\t") + error.mid(70),
                                    QStringLiteral("\t")};
    // Kunden: the rejected update trigger is followed by the delete trigger, rejected too.
    ASSERT_GE(host.list1.size(), 10);
    EXPECT_EQ(host.list1.mid(4, 6), errorLines + errorLines);
    int creates = 0;
    for (const QString& s : host.server.statements)
        creates += s.startsWith(QStringLiteral("CREATE ")) ? 1 : 0;
    EXPECT_EQ(creates, 4);
    EXPECT_EQ(host.statuses.last(), QStringLiteral("Trigger: 0 angelegt, 4 abgewiesen, 0 nicht möglich"));
    EXPECT_EQ(host.clipboard,
              QStringLiteral(
                  "CREATE DEFINER=CURRENT_USER TRIGGER dArtikel AFTER DELETE ON Artikel FOR EACH ROW\r\nBEGIN\r\nEND"));
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

// Each server's own syntax: what a run sends (statements joined by "\n") and
// the lines of relations without trigger after them; null: not checked here.
TEST(RelationsToTriggers, StatementsOfEachSyntax)
{
    const auto r = [](const char* name, const char* table, const char* foreign, int attributes,
                      std::initializer_list<std::pair<const char*, const char*>> fields) {
        QList<dao::RelationField> pairs;
        for (const auto& [primary, referencing] : fields)
            pairs.append({QString::fromUtf8(primary), QString::fromUtf8(referencing)});
        return makeRelation(QString::fromUtf8(name), QString::fromUtf8(table), QString::fromUtf8(foreign), attributes,
                            pairs);
    };
    const Dialect dialects[] = {Dialect::MSSQL, Dialect::Sybase, Dialect::MySQL, Dialect::Oracle, Dialect::DB2};
    struct Row {
        QList<dao::Relation> relations;
        const char* expected[5];  // in the order of `dialects`
    } rows[] = {
        // Names the name rule quotes, a quote inside doubled.
        {{r("D", "A B", "Key", 4352, {{"N\"r", "Nr"}})},
         {"DROP TRIGGER [uA B]\nDROP TRIGGER [dA B]\nCREATE TRIGGER [uA B] ON [A B] FOR UPDATE AS\r\nIF "
          "UPDATE(\"N\"\"r\")\r\nBEGIN\r\nUPDATE [Key] SET [Key].\"Nr\"=INSERTED.\"N\"\"r\" FROM INSERTED,DELETED "
          "WHERE "
          "[Key].\"Nr\"=DELETED.\"N\"\"r\"\r\nEND\nCREATE TRIGGER [dA B] ON [A B] FOR DELETE AS\r\nDELETE FROM [Key] "
          "FROM DELETED WHERE [Key].\"Nr\"=DELETED.\"N\"\"r\"",
          "DROP TRIGGER [uA B]\nDROP TRIGGER [dA B]\nCREATE TRIGGER [uA B] ON [A B] FOR UPDATE AS\r\nIF "
          "UPDATE([N\"r])\r\nBEGIN\r\nUPDATE [Key] SET [Key].Nr=INSERTED.[N\"r] FROM INSERTED,DELETED WHERE "
          "[Key].Nr=DELETED.[N\"r]\r\nEND\nCREATE TRIGGER [dA B] ON [A B] FOR DELETE AS\r\nDELETE FROM [Key] FROM "
          "DELETED "
          "WHERE [Key].Nr=DELETED.[N\"r]",
          "DROP TRIGGER IF EXISTS `uA B`\nDROP TRIGGER IF EXISTS `dA B`\nCREATE DEFINER=CURRENT_USER TRIGGER `uA B` "
          "AFTER UPDATE ON `A B` FOR EACH ROW\r\nBEGIN\r\nIF NOT (NEW.`N\"r` <=> OLD.`N\"r`) THEN\r\nUPDATE `Key` SET "
          "Nr=NEW.`N\"r` WHERE Nr=OLD.`N\"r`;\r\nEND IF;\r\nEND\nCREATE DEFINER=CURRENT_USER TRIGGER `dA B` AFTER "
          "DELETE ON `A B` FOR EACH ROW\r\nBEGIN\r\nDELETE FROM `Key` WHERE Nr=OLD.`N\"r`;\r\nEND",
          "DROP TRIGGER \"uA B\"\nDROP TRIGGER \"dA B\"\nCREATE OR REPLACE TRIGGER \"uA B\" AFTER UPDATE OF \"N\"\"r\" "
          "ON \"A B\" FOR EACH ROW\r\nBEGIN\r\nUPDATE Key SET Nr=:NEW.\"N\"\"r\" WHERE Nr=:OLD.\"N\"\"r\";\r\nEND;\n"
          "CREATE OR REPLACE TRIGGER \"dA B\" AFTER DELETE ON \"A B\" FOR EACH ROW\r\nBEGIN\r\nDELETE FROM Key WHERE "
          "Nr=:OLD.\"N\"\"r\";\r\nEND;",
          "DROP TRIGGER \"uA B\"\nDROP TRIGGER \"dA B\"\nCREATE TRIGGER \"uA B\" AFTER UPDATE OF \"N\"\"r\" ON \"A B\" "
          "REFERENCING OLD AS O NEW AS N FOR EACH ROW\r\nBEGIN ATOMIC\r\nUPDATE \"KEY\" SET Nr=N.\"N\"\"r\" WHERE "
          "Nr=O.\"N\"\"r\";\r\nEND\nCREATE TRIGGER \"dA B\" AFTER DELETE ON \"A B\" REFERENCING OLD AS O FOR EACH "
          "ROW\r\nBEGIN ATOMIC\r\nDELETE FROM \"KEY\" WHERE Nr=O.\"N\"\"r\";\r\nEND"}},
        // Key fields once each, without regard to case; two statements in one trigger, two field pairs.
        {{r("a", "T", "F", 256, {{"Nr", "TNr"}, {"Ort", "O"}}), r("b", "t", "G", 256, {{"NR", "TNr"}})},
         {"DROP TRIGGER uT\nDROP TRIGGER dT\nCREATE TRIGGER uT ON T FOR UPDATE AS\r\nIF UPDATE(\"Nr\") OR "
          "UPDATE(\"Ort\")\r\nBEGIN\r\nUPDATE F SET F.\"TNr\"=INSERTED.\"Nr\",F.\"O\"=INSERTED.\"Ort\" FROM "
          "INSERTED,DELETED WHERE F.\"TNr\"=DELETED.\"Nr\" AND F.\"O\"=DELETED.\"Ort\"\r\nUPDATE G SET "
          "G.\"TNr\"=INSERTED.\"NR\" FROM INSERTED,DELETED WHERE G.\"TNr\"=DELETED.\"NR\"\r\nEND",
          nullptr,
          "DROP TRIGGER IF EXISTS uT\nDROP TRIGGER IF EXISTS dT\nCREATE DEFINER=CURRENT_USER TRIGGER uT AFTER UPDATE "
          "ON T FOR EACH ROW\r\nBEGIN\r\nIF NOT (NEW.Nr <=> OLD.Nr) OR NOT (NEW.Ort <=> OLD.Ort) THEN\r\nUPDATE F SET "
          "TNr=NEW.Nr,O=NEW.Ort WHERE TNr=OLD.Nr AND O=OLD.Ort;\r\nUPDATE G SET TNr=NEW.NR WHERE TNr=OLD.NR;\r\nEND "
          "IF;\r\nEND",
          nullptr, nullptr}},
        // A self-relation: no trigger where a trigger may not change its own table.
        {{r("Chef", "E", "e", 4096, {{"Nr", "Chef"}})},
         {nullptr, nullptr,
          "DROP TRIGGER IF EXISTS uE\nDROP TRIGGER IF EXISTS dE\nKein Trigger für die Beziehung Chef von E: sie "
          "verweist auf dieselbe Tabelle, und auf MySQL darf ein Trigger die Tabelle, die ihn auslöst, nicht ändern.",
          "DROP TRIGGER uE\nDROP TRIGGER dE\nKein Trigger für die Beziehung Chef von E: sie verweist auf dieselbe "
          "Tabelle, und auf Oracle darf ein Trigger die Tabelle, die ihn auslöst, nicht ändern.",
          "DROP TRIGGER uE\nDROP TRIGGER dE\nCREATE TRIGGER dE AFTER DELETE ON E REFERENCING OLD AS O FOR EACH "
          "ROW\r\nBEGIN ATOMIC\r\nDELETE FROM e WHERE Chef=O.Nr;\r\nEND"}},
        // A "]" Sybase cannot quote: in the primary table nothing is sent, in a referencing one no create.
        {{r("AB", "A]B", "C", 4096, {{"Nr", "Nr"}}), r("KD", "K", "D]E", 4096, {{"Nr", "Nr"}})},
         {nullptr,
          "DROP TRIGGER uK\nDROP TRIGGER dK\nKein Trigger für die Beziehung AB von A]B: Sybase kann den Namen A]B "
          "nicht schreiben, er enthält \"]\".\nKein Trigger für die Beziehung KD von K: Sybase kann den Namen D]E "
          "nicht schreiben, er enthält \"]\".",
          nullptr, nullptr, nullptr}},
        // Oracle's names cut to 30 characters; a cut name taken: that table is left alone.
        {{r("Alt", "Auftragspositionen_Zusatzdaten_Alt", "X", 4096, {{"Nr", "Nr"}}),
          r("Neu", "Auftragspositionen_Zusatzdaten_Neu", "X", 256, {{"Nr", "Nr"}})},
         {nullptr, nullptr, nullptr,
          "DROP TRIGGER uAuftragspositionen_Zusatzdate\nDROP TRIGGER dAuftragspositionen_Zusatzdate\nCREATE OR "
          "REPLACE TRIGGER dAuftragspositionen_Zusatzdate AFTER DELETE ON Auftragspositionen_Zusatzdaten_Alt FOR "
          "EACH ROW\r\nBEGIN\r\nDELETE FROM X WHERE Nr=:OLD.Nr;\r\nEND;\nKein Trigger für die Beziehung Neu von "
          "Auftragspositionen_Zusatzdaten_Neu: der Triggername uAuftragspositionen_Zusatzdate (auf 30 Zeichen "
          "gekürzt) gehört schon zur Tabelle Auftragspositionen_Zusatzdaten_Alt.",
          nullptr}},
    };
    for (const Row& row : rows) {
        for (int i = 0; i < 5; ++i) {
            if (!row.expected[i])
                continue;
            RecordingHost host;
            host.settings.dialect = dialects[i];
            host.db.relations = row.relations;
            RunRelationsToTriggers(host);
            QStringList got = host.server.statements;
            for (const QString& line : host.list1)
                if (line.startsWith(QStringLiteral("Kein Trigger")))
                    got.append(line);
            EXPECT_EQ(got.join(QLatin1Char('\n')), QString::fromUtf8(row.expected[i]))
                << dialectName(dialects[i]).toStdString() << " " << row.relations[0].Name.toStdString();
        }
    }
}
