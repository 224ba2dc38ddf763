#include "conversion/KeysAndIndexes.h"

#include "FakeDatabase.h"
#include "QtPrinters.h"
#include "RecordingConnection.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

namespace {

dao::Index makeIndex(const QString& name, QStringList fields, bool primary = false, bool unique = false)
{
    dao::Index i;
    i.Name = name;
    i.Fields = std::move(fields);
    i.Primary = primary;
    i.Unique = unique;
    return i;
}

dao::Relation makeRelation(const QString& table, const QString& foreign, QList<dao::RelationField> fields,
                           qint32 attributes = 0)
{
    dao::Relation r;
    r.Name = table + foreign;
    r.Table = table;
    r.ForeignTable = foreign;
    r.Fields = std::move(fields);
    r.Attributes = attributes;
    return r;
}

const QDateTime march5 = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);

}  // namespace

TEST(List3AddUnique, IgnoresCase)
{
    QStringList l{"Nr"};
    List3AddUnique(l, "NR");
    List3AddUnique(l, "Pos");
    EXPECT_EQ(l, (QStringList{"Nr", "Pos"}));
}

TEST(DiscoverKeyFields, Sources)
{
    dao::TableDef t;
    t.Name = "Adressen";
    t.Indexes = {makeIndex("PLZ", {"PLZ"}, false, true), makeIndex("PrimaryKey", {"Nr"})};
    // Index named "primarykey" without the Primary flag counts.
    EXPECT_EQ(DiscoverKeyFields(t, {}, "Adressen"), QStringList{"Nr"});

    t.Indexes = {makeIndex("Haupt", {"Nr", "Pos"}, true)};
    EXPECT_EQ(DiscoverKeyFields(t, {}, "Adressen"), (QStringList{"Nr", "Pos"}));

    // Referenced side adds its fields to those of the primary index.
    const QList<dao::Relation> rels{
        makeRelation("adressen", "Auftraege", {{"Kunde", "KundenNr"}}),
        makeRelation("Kunden", "Adressen", {{"Nr", "KdNr"}}),  // one-to-many: nothing
        makeRelation("Vertrag", "ADRESSEN", {{"VNr", "VertragNr"}}, dao::dbRelationUnique | 256),
    };
    EXPECT_EQ(DiscoverKeyFields(t, rels, "Adressen"), (QStringList{"Nr", "Pos", "Kunde", "VertragNr"}));

    // Without any of these, the first unique index only.
    t.Indexes = {makeIndex("Ort", {"Ort"}), makeIndex("PLZ", {"PLZ", "Ort"}, false, true),
                 makeIndex("Name", {"Name"}, false, true)};
    EXPECT_EQ(DiscoverKeyFields(t, {rels[1]}, "Adressen"), (QStringList{"PLZ", "Ort"}));

    t.Indexes = {makeIndex("Ort", {"Ort"})};
    EXPECT_TRUE(DiscoverKeyFields(t, {rels[1]}, "Adressen").isEmpty());
}

TEST(PrimaryKeyClause, PerDialect)
{
    const QStringList keys{"Nr", "Pos"};
    const auto noPrim = [](const QString& n) { return n + "X"; };
    EXPECT_EQ(PrimaryKeyClause("Artikel", keys, Dialect::MSSQL, noPrim),
              "CONSTRAINT \"primArtikelX\" PRIMARY KEY(\"Nr\",\"Pos\")");
    EXPECT_EQ(PrimaryKeyClause("Artikel", keys, Dialect::MySQL, noPrim),
              "CONSTRAINT primArtikel PRIMARY KEY(`Nr`,`Pos`)");
    // A Memo key column gets a key length on MySQL.
    EXPECT_EQ(PrimaryKeyClause("Artikel", {"Key", "Notiz"}, Dialect::MySQL, noPrim, {"notiz"}),
              "CONSTRAINT primArtikel PRIMARY KEY(`Key`,`Notiz`(255))");
    EXPECT_EQ(PrimaryKeyClause("Artikel", {"check"}, Dialect::Oracle, noPrim),
              "CONSTRAINT primArtikel PRIMARY KEY(\"CHECK\")");
    EXPECT_EQ(PrimaryKeyClause("Artikel", keys, Dialect::Sybase, noPrim), "CONSTRAINT primArtikel PRIMARY KEY(Nr,Pos)");

    const QString longName = "Auftragspositionen_Lieferschein_Archiv";  // 38 characters
    EXPECT_EQ(PrimaryKeyClause(longName, {"Nr"}, Dialect::Oracle, noPrim),
              "CONSTRAINT primAuftragspositionen_Liefers PRIMARY KEY(Nr)");
    EXPECT_EQ(PrimaryKeyClause(longName, {"Nr"}, Dialect::DB2, noPrim),
              "CONSTRAINT primAuftragspositi PRIMARY KEY(Nr)");
    QString asked;
    PrimaryKeyClause(longName, {"Nr"}, Dialect::MSSQL, [&](const QString& n) { return asked = n; });
    EXPECT_EQ(asked, "primAuftragspositionen_Liefers");
}

TEST(GetPrim, FreeTakenOrFailing)
{
    const QString countQuery = "SELECT COUNT(CONSTRAINT_NAME) FROM INFORMATION_SCHEMA.CONSTRAINT_COLUMN_USAGE "
                               "WHERE CONSTRAINT_NAME = 'primArtikel'";
    const QString idQuery = "SELECT REPLACE(CONVERT(VARCHAR(36), NEWID()), '-', '')";
    {
        RecordingConnection c;
        c.answerWhenStartsWith("SELECT COUNT", 0);
        EXPECT_EQ(GetPrim(c, "primArtikel"), "primArtikel");
        EXPECT_EQ(c.statements, QStringList{countQuery});
    }
    {
        RecordingConnection c;
        c.answerWhenStartsWith("SELECT COUNT", 1);
        c.answerWhenStartsWith("SELECT REPLACE", "0123456789ABCDEF0123456789ABCDEF");
        EXPECT_EQ(GetPrim(c, "primArtikel"), "primArtikel0123456789ABCDEF0123456789ABCDEF");
        EXPECT_EQ(c.statements, (QStringList{countQuery, idQuery}));
    }
    {
        RecordingConnection c;
        c.answerWhenStartsWith("SELECT COUNT", 1);
        c.failWhenStartsWith("SELECT REPLACE", "37000:no such function");
        EXPECT_EQ(GetPrim(c, "primArtikel"), "primArtikel");
    }
    {
        RecordingConnection c;
        c.failWhenStartsWith("SELECT COUNT", "S0002:no such view");
        EXPECT_EQ(GetPrim(c, "primArtikel"), "primArtikel");
    }
}

TEST(IndexLines, WorkedNamesForAdressenPLZ)
{
    const dao::Index plz = makeIndex("PLZ", {"PLZ", "Check"});
    EXPECT_EQ(IndexLines(plz, "Adressen", Dialect::Oracle, 1, march5),
              (QStringList{"CREATE INDEX \"001AdressenPLZ240305140709\" ON Adressen", "(PLZ", ",\"CHECK\"", ")"}));
    EXPECT_EQ(IndexLines(plz, "Adressen", Dialect::DB2, 1, march5),
              (QStringList{"CREATE INDEX \"001PLZ\" ON Adressen", "(PLZ", ",\"CHECK\"", ")"}));
    EXPECT_EQ(IndexLines(plz, "Adressen", Dialect::MSSQL, 1, march5),
              (QStringList{"CREATE INDEX \"PLZ\" ON Adressen", "(\"PLZ\"", ",\"Check\"", ")"}));
    EXPECT_EQ(IndexLines(plz, "Adressen", Dialect::Sybase, 0, march5),
              (QStringList{"CREATE INDEX PLZ ON Adressen", "(PLZ", ",[Check]", ")"}));
    EXPECT_EQ(IndexLines(plz, "Adressen", Dialect::MySQL, 0, march5),
              (QStringList{"CREATE INDEX PLZ ON Adressen", "(`PLZ`", ",`Check`", ")"}));
    EXPECT_EQ(IndexLines(plz, "Adressen", Dialect::MySQL, 0, march5, {"Check"}),
              (QStringList{"CREATE INDEX PLZ ON Adressen", "(`PLZ`", ",`Check`(255)", ")"}));
}

TEST(IndexLines, LongNamesAreCut)
{
    const dao::Index idx = makeIndex("Index-Lieferanten-Ort-und-Postleitzahl", {"Ort"});  // 38 characters
    const QString t = "Lieferantenstammdaten";
    EXPECT_EQ(IndexLines(idx, t, Dialect::MySQL, 0, march5).first(),
              "CREATE INDEX eferanten_Ort_und_Postleitzahl ON Lieferantenstammdaten");
    EXPECT_EQ(IndexLines(idx, t, Dialect::MSSQL, 12, march5).first(),
              "CREATE INDEX \"eferanten-Ort-und-Postleitzahl\" ON Lieferantenstammdaten");
    EXPECT_EQ(IndexLines(idx, t, Dialect::DB2, 1234, march5).first(),
              "CREATE INDEX \"1234eferanten-Ort-u\" ON Lieferantenstammdaten");
    // Names keep their last 30 characters; Oracle first appends the time to table + name.
    EXPECT_EQ(IndexLines(idx, t, Dialect::Oracle, 7, march5).first(),
              "CREATE INDEX \"007t-und-Postleitzahl240305140\" ON Lieferantenstammdaten");
}

TEST(RunIndexPhase, SendsEachSecondaryIndexAndCountsOn)
{
    RecordingHost host;
    host.settings.dialect = Dialect::MSSQL;
    host.table = "Adressen";
    host.indexCounter = 3;
    host.afterCreation = true;
    host.list1 = {"CREATE TABLE Adressen ", ")"};
    host.db.addTable("Adressen", {},
                     {makeIndex("Prim", {"Nr"}, true), makeIndex("PLZ", {"PLZ"}, false, true),
                      makeIndex("primarykey", {"Nr"}), makeIndex("Name", {"Name", "Vorname"})});
    RunIndexPhase(host);
    EXPECT_EQ(host.statuses, QStringList{"Erzeuge Indexe für SQL-Tabelle"});
    EXPECT_EQ(host.sent(),
              (QStringList{"CREATE INDEX \"PLZ\" ON Adressen(\"PLZ\")",
                           "CREATE INDEX \"Name\" ON Adressen(\"Name\",\"Vorname\")"}));
    EXPECT_EQ(host.indexCounter, 5);
    EXPECT_EQ(host.list1.size(), 2 + 3 + 4);
    EXPECT_EQ(host.clipboard, "CREATE INDEX \"Name\" ON Adressen(\"Name\",\"Vorname\")");
    EXPECT_EQ(host.yields, 2);

    // Oracle numbers continue across tables; MySQL does not count.
    host.settings.dialect = Dialect::Oracle;
    host.server.statements.clear();
    RunIndexPhase(host);
    EXPECT_EQ(host.sent(),
              (QStringList{"CREATE INDEX \"006AdressenPLZ240305140709\" ON Adressen(PLZ)",
                           "CREATE INDEX \"007AdressenName240305140709\" ON Adressen(Name,Vorname)"}));
    host.settings.dialect = Dialect::MySQL;
    RunIndexPhase(host);
    EXPECT_EQ(host.indexCounter, 7);
}

TEST(RunIndexPhase, ToleratedAndLoggedFailures)
{
    RecordingHost host;
    host.settings.dialect = Dialect::DB2;
    host.table = "Adressen";
    host.afterCreation = true;
    host.db.addTable("Adressen", {}, {makeIndex("PLZ", {"PLZ"}), makeIndex("Ort", {"Ort"})});
    host.server.failWhenContains("001PLZ", "01000:[IBM][CLI Driver][DB2/LINUX] SQL0605W  The index was not created");
    RunIndexPhase(host);
    EXPECT_TRUE(host.errors.isEmpty());
    EXPECT_FALSE(host.tableFailed);
    EXPECT_EQ(host.sent().size(), 2);

    // Any other failure is logged and the next index still follows.
    RecordingHost mssql;
    mssql.settings.dialect = Dialect::MSSQL;
    mssql.table = "Adressen";
    mssql.afterCreation = true;
    mssql.db.addTable("Adressen", {}, {makeIndex("PLZ", {"PLZ"}), makeIndex("Ort", {"Ort"})});
    mssql.server.failWhenContains("\"PLZ\"", "S0011:index exists");
    RunIndexPhase(mssql);
    EXPECT_EQ(mssql.errors, QStringList{"S0011:index exists"});
    EXPECT_TRUE(mssql.tableFailed);
    EXPECT_EQ(mssql.sent(),
              (QStringList{"CREATE INDEX \"PLZ\" ON Adressen(\"PLZ\")", "CREATE INDEX \"Ort\" ON Adressen(\"Ort\")"}));
}

// Names that break a statement when written bare are quoted by the dialect's
// rule (ordinary names keep their specified form); a quote inside is doubled.
TEST(PrimaryKeyClause, HostileNames)
{
    const auto same = [](const QString& n) { return n; };
    EXPECT_EQ(PrimaryKeyClause("Ku'den", {"Kd Nr", "Pos"}, Dialect::MySQL, same),
              "CONSTRAINT `primKu'den` PRIMARY KEY(`Kd Nr`,`Pos`)");
    EXPECT_EQ(PrimaryKeyClause("Ku\"den", {"Kd\"Nr"}, Dialect::MSSQL, same),
              "CONSTRAINT \"primKu\"\"den\" PRIMARY KEY(\"Kd\"\"Nr\")");
    EXPECT_EQ(PrimaryKeyClause("Ku'den", {"Kd Nr"}, Dialect::Sybase, same),
              "CONSTRAINT [primKu'den] PRIMARY KEY([Kd Nr])");
}

TEST(IndexLines, HostileNames)
{
    const QDateTime now(QDate(2024, 3, 5), QTime(14, 7, 9));
    dao::Index index{QStringLiteral("Ix-Bemerkung"), false, false, {QStringLiteral("Bem`r'k;g"), QStringLiteral("Nr")}};
    EXPECT_EQ(IndexLines(index, "Fil;alen", Dialect::MySQL, 0, now),
              (QStringList{"CREATE INDEX Ix_Bemerkung ON `Fil;alen`", "(`Bem``r'k;g`", ",`Nr`", ")"}));
    // Reserved words (Access indexes a field named Key by itself) are quoted on MySQL.
    EXPECT_EQ(IndexLines(makeIndex("Key", {"Key"}), "Order", Dialect::MySQL, 0, now),
              (QStringList{"CREATE INDEX `Key` ON `Order`", "(`Key`", ")"}));
    index.Fields = {QStringLiteral("a\"b")};
    EXPECT_EQ(IndexLines(index, "Fil;alen", Dialect::MSSQL, 1, now),
              (QStringList{"CREATE INDEX \"Ix-Bemerkung\" ON [Fil;alen]", "(\"a\"\"b\"", ")"}));
}
