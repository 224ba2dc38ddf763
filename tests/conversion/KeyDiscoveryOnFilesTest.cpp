// Key discovery on the real sample databases, read by the Access reader.

#include "TestSupport.h"
#include "access/AccessDatabase.h"
#include "conversion/KeysAndIndexes.h"

#include <gtest/gtest.h>

namespace {
QString keysOf(const dao::Database& db, const QString& table)
{
    return DiscoverKeyFields(db.GetTableDef(table), db.Relations(), table).join(QLatin1Char(','));
}
}  // namespace

TEST(KeyDiscoveryOnFiles, ErpSample)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    const auto db = dao::Database::OpenDatabase(path);
    // Primary index.
    EXPECT_EQ(keysOf(*db, QStringLiteral("AdressenStamm")).toStdString(), "Nr");
    // No index, no relation: no key (an identity column may stand in).
    EXPECT_EQ(keysOf(*db, QStringLiteral("Artikel")).toStdString(), "");
    // No primary key: the first unique index.
    EXPECT_EQ(keysOf(*db, QStringLiteral("Adressen")).toStdString(), "Kurz");
    // An index named "primarykey" that is not flagged primary.
    EXPECT_EQ(keysOf(*db, QStringLiteral("F5SB90R")).toStdString(), "Schluessel");
    // Composite primary key.
    EXPECT_EQ(keysOf(*db, QStringLiteral("Filialen")).toStdString(), "Filiale,Region");
}

TEST(KeyDiscoveryOnFiles, RelationsAddTheirFields)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    const auto db = dao::Database::OpenDatabase(path);
    // Referenced side of a relation: its referenced fields join the key.
    EXPECT_EQ(keysOf(*db, QStringLiteral("Kunden")).toStdString(), "KdNr");
    // Foreign side of a one-to-one relation: the foreign fields.
    EXPECT_EQ(keysOf(*db, QStringLiteral("AuftragZusatz")).toStdString(), "AufNr");
}

TEST(KeyDiscoveryOnFiles, NorthwindAndIndexTest)
{
    REQUIRE_FIXTURE(northwind, "Northwind.mdb");
    REQUIRE_FIXTURE(indexTest, "indexTestV2000.mdb");
    const auto nw = dao::Database::OpenDatabase(northwind);
    EXPECT_EQ(keysOf(*nw, QStringLiteral("Order Details")).toStdString(), "OrderID,ProductID");
    EXPECT_EQ(keysOf(*nw, QStringLiteral("Customers")).toStdString(), "CustomerID");
    const auto it = dao::Database::OpenDatabase(indexTest);
    EXPECT_EQ(keysOf(*it, QStringLiteral("Table2")).toStdString(), "id");
    EXPECT_EQ(keysOf(*it, QStringLiteral("Table3")).toStdString(), "id");
}
