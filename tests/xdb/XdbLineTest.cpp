// The line forms of the document: fixed columns, numbers, and what a line asks for.

#include "XdbTestSupport.h"
#include "shell/TabrixError.h"
#include "xdb/XdbLine.h"

#include <gtest/gtest.h>

using namespace xdbdoc;

namespace {

long errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const TabrixError& e) {
        return e.number();
    }
    return 0;
}

XdbSections only(bool XdbSections::*flag)
{
    XdbSections s;
    s.*flag = true;
    return s;
}

}  // namespace

TEST(XdbLine, FixedColumnsAreCharacterPositions)
{
    const QString line = QStringLiteral("äbcdefg");
    EXPECT_EQ(XdbColumns(line, 1, 3), QStringLiteral("äbc"));
    EXPECT_EQ(XdbColumns(line, 5), QStringLiteral("efg"));
    EXPECT_EQ(XdbColumns(line, 6, 20), QStringLiteral("fg"));
    EXPECT_EQ(XdbColumns(line, 8), QString());
    EXPECT_EQ(XdbColumns(line, 30, 40), QString());
    EXPECT_EQ(XdbColumns(QString(), 1, 22), QString());
}

TEST(XdbLine, TypeCodesAndSizesAreLeadingNumbers)
{
    EXPECT_EQ(XdbLeadingNumber(QStringLiteral(" 10")), 10);
    EXPECT_EQ(XdbLeadingNumber(QStringLiteral("1 0")), 10);  // blanks are skipped everywhere
    EXPECT_EQ(XdbLeadingNumber(QStringLiteral("12a")), 12);
    EXPECT_EQ(XdbLeadingNumber(QStringLiteral("abc")), 0);
    EXPECT_EQ(XdbLeadingNumber(QString()), 0);
    EXPECT_EQ(XdbLeadingNumber(QStringLiteral("-1")), -1);
    EXPECT_EQ(XdbLeadingNumber(QStringLiteral("2.5")), 2);  // half to even
    EXPECT_EQ(XdbLeadingNumber(QStringLiteral("3.5")), 4);
    EXPECT_EQ(XdbLeadingNumber(QStringLiteral("1e3")), 1000);
    EXPECT_EQ(XdbLeadingNumber(QStringLiteral("4e")), 4);
    EXPECT_EQ(errorOf([] { XdbLeadingNumber(QStringLiteral("9e9")); }), 6);
}

TEST(XdbLine, AttributeAndFieldCountAreWholeNumbers)
{
    EXPECT_EQ(XdbWholeNumber(QStringLiteral("2")), 2);
    EXPECT_EQ(XdbWholeNumber(QStringLiteral("  3   ")), 3);
    EXPECT_EQ(XdbWholeNumber(QStringLiteral("-6")), -6);
    EXPECT_EQ(XdbWholeNumber(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(errorOf([] { XdbWholeNumber(QStringLiteral("zwei")); }), 13);
    EXPECT_EQ(errorOf([] { XdbWholeNumber(QStringLiteral("2x")); }), 13);
    EXPECT_EQ(errorOf([] { XdbWholeNumber(QString()); }), 13);
    EXPECT_EQ(errorOf([] { XdbWholeNumber(QStringLiteral("2147483648")); }), 6);
}

TEST(XdbLine, HeadersOpenBlocksAnywhereInTheLineAndInAnyCase)
{
    const XdbLineWork w = ParseXdbLine(QStringLiteral("  Neue Felder: [FELDER]   "), XdbSections());
    EXPECT_TRUE(w.endsBlocks);
    EXPECT_TRUE(w.opensFields);
    EXPECT_FALSE(w.opensQueries);
    const XdbLineWork all =
        ParseXdbLine(QStringLiteral("[renamefield][renametable][indizes][Querys]"), XdbSections());
    EXPECT_TRUE(all.opensRenameField && all.opensRenameTable && all.opensIndex && all.opensQueries);
    // A "[" ends blocks unless exact-case "SQL" stands in the line; "#####" always does.
    EXPECT_FALSE(ParseXdbLine(QStringLiteral("SQL [x]"), XdbSections()).endsBlocks);
    EXPECT_TRUE(ParseXdbLine(QStringLiteral("sql [x]"), XdbSections()).endsBlocks);
    EXPECT_TRUE(ParseXdbLine(QStringLiteral("SQL #####"), XdbSections()).endsBlocks);
    EXPECT_FALSE(ParseXdbLine(QStringLiteral("tabelle x"), XdbSections()).endsBlocks);
}

TEST(XdbLine, FelderBlockTableAndFieldLines)
{
    const XdbSections s = only(&XdbSections::FieldsSection);
    EXPECT_EQ(*ParseXdbLine(tabelle(QStringLiteral("AdressenStamm")), s).fieldsTable, QStringLiteral("AdressenStamm"));
    // The table name is taken to the end of the line, untrimmed.
    EXPECT_EQ(*ParseXdbLine(tabelle(QStringLiteral("Lager  ")), s).fieldsTable, QStringLiteral("Lager  "));

    const XdbLineWork f = ParseXdbLine(feld(QStringLiteral("Bemerkung"), 10, 30), s);
    ASSERT_TRUE(f.fieldsField);
    EXPECT_EQ(f.fieldsField->name, QStringLiteral("Bemerkung"));
    EXPECT_EQ(XdbLeadingNumber(f.fieldsField->typeText), 10);
    EXPECT_EQ(XdbLeadingNumber(f.fieldsField->sizeText), 30);
    EXPECT_FALSE(f.fieldsTable);
    // The name ends at column 71; 72-75 and 79 are not read.
    const QString line = pad(QStringLiteral("feld "), 22) + QLatin1Char('|') + pad(QString(48, QLatin1Char('n')), 48)
        + QStringLiteral("XXXX  4Y  0");
    const XdbLineWork g = ParseXdbLine(line, s);
    EXPECT_EQ(g.fieldsField->name, QString(48, QLatin1Char('n')));
    EXPECT_EQ(XdbLeadingNumber(g.fieldsField->typeText), 4);
    EXPECT_EQ(XdbLeadingNumber(g.fieldsField->sizeText), 0);

    // "feld" needs its blank; outside the block nothing is read.
    EXPECT_FALSE(ParseXdbLine(key(QStringLiteral("felder"), QStringLiteral("x")), s).fieldsField);
    EXPECT_FALSE(ParseXdbLine(feld(QStringLiteral("x"), 4, 0), XdbSections()).fieldsField);
    // A header ends the block before the line is looked at.
    EXPECT_FALSE(ParseXdbLine(QStringLiteral("tabelle [felder]"), s).fieldsTable);
}

TEST(XdbLine, OldFormatLines)
{
    const XdbLineWork t = ParseXdbLine(oldTable(QStringLiteral(" Kunden  ")), XdbSections());
    EXPECT_TRUE(t.endsBlocks);
    EXPECT_EQ(*t.oldFormatTable, QStringLiteral("Kunden"));
    // The "#####" line of the next table is no field of the previous one.
    EXPECT_FALSE(ParseXdbLine(oldTable(QStringLiteral("Kunden")), only(&XdbSections::OldFieldsSection)).oldField);

    const XdbSections s = only(&XdbSections::OldFieldsSection);
    const XdbLineWork f = ParseXdbLine(oldField(QStringLiteral("Rabatt"), 7, 0, QStringLiteral(" \"0\"  ")), s);
    ASSERT_TRUE(f.oldField);
    EXPECT_EQ(f.oldField->name, QStringLiteral("Rabatt"));
    EXPECT_EQ(XdbLeadingNumber(f.oldField->typeText), 7);
    EXPECT_EQ(f.oldField->defaultText, QStringLiteral("\"0\""));
    // Every line of the block is a field line, a blank one too.
    const XdbLineWork blank = ParseXdbLine(QString(), s);
    ASSERT_TRUE(blank.oldField);
    EXPECT_EQ(blank.oldField->name, QString());
    // Tabs are part of values; only blanks are trimmed.
    EXPECT_EQ(ParseXdbLine(QStringLiteral("\tName "), s).oldField->name, QStringLiteral("\tName"));
}

TEST(XdbLine, RenameLines)
{
    const XdbSections f = only(&XdbSections::RenameFieldSection);
    EXPECT_EQ(*ParseXdbLine(renameKey(QStringLiteral("tabelle"), QStringLiteral("Artikel")), f).renameFieldTable,
              QStringLiteral("Artikel"));
    const XdbLineWork r = ParseXdbLine(renamePair(QStringLiteral("feld"), QStringLiteral("Alt"), QStringLiteral(" Neu ")), f);
    EXPECT_EQ(r.renameField->oldName, QStringLiteral("Alt"));
    EXPECT_EQ(r.renameField->newName, QStringLiteral("Neu"));

    const XdbSections t = only(&XdbSections::RenameTableSection);
    const XdbLineWork rt = ParseXdbLine(renamePair(QStringLiteral("tabelle"), QStringLiteral("Alt"), QStringLiteral("Neu")), t);
    EXPECT_EQ(rt.renameTable->oldName, QStringLiteral("Alt"));
    EXPECT_EQ(rt.renameTable->newName, QStringLiteral("Neu"));
    EXPECT_FALSE(ParseXdbLine(renamePair(QStringLiteral("feld"), QStringLiteral("a"), QStringLiteral("b")), t).renameTable);
}

TEST(XdbLine, QueryLines)
{
    const XdbSections q = only(&XdbSections::QueriesSection);
    EXPECT_EQ(*ParseXdbLine(key(QStringLiteral("name"), QStringLiteral(" View_Kunden ")), q).queryName,
              QStringLiteral("View_Kunden"));
    // Columns 24-53 hold the name.
    EXPECT_EQ(*ParseXdbLine(key(QStringLiteral("name"), QString(30, QLatin1Char('v')) + QStringLiteral("zu lang")), q)
                   .queryName,
              QString(30, QLatin1Char('v')));
    const QString statement = QStringLiteral("SELECT [Kunden].[Nr] FROM [Kunden]");
    const XdbLineWork s = ParseXdbLine(key(QStringLiteral("SQL"), QStringLiteral("  ") + statement + QStringLiteral("  ")), q);
    EXPECT_FALSE(s.endsBlocks);
    EXPECT_EQ(*s.queryStatement, statement);
    // Written in lower case, the key lets the bracket end the block first.
    EXPECT_FALSE(ParseXdbLine(key(QStringLiteral("sql"), statement), q).queryStatement);
    EXPECT_EQ(*ParseXdbLine(key(QStringLiteral("sql"), QStringLiteral("SELECT 1")), q).queryStatement,
              QStringLiteral("SELECT 1"));
}

TEST(XdbLine, IndexKeysInTheirOrder)
{
    const XdbSections i = only(&XdbSections::IndexSection);
    auto keyOf = [&](const QString& line) { return ParseXdbLine(line, i).indexKey; };
    EXPECT_EQ(keyOf(key(QStringLiteral("tabelle"), QStringLiteral("Artikel"))), XdbIndexKey::Tabelle);
    EXPECT_EQ(keyOf(key(QStringLiteral("name"), QStringLiteral("ix"))), XdbIndexKey::Name);
    EXPECT_EQ(keyOf(key(QStringLiteral("attribute"), QStringLiteral("2"))), XdbIndexKey::Attribute);
    EXPECT_EQ(keyOf(key(QStringLiteral("felderanzahl"), QStringLiteral("2"))), XdbIndexKey::Felderanzahl);
    EXPECT_EQ(keyOf(key(QStringLiteral("Feld"), QStringLiteral("Nr"))), XdbIndexKey::Feld);
    EXPECT_EQ(keyOf(QStringLiteral("irgendwas")), XdbIndexKey::None);
    // Values are not trimmed.
    EXPECT_EQ(ParseXdbLine(key(QStringLiteral("feld"), QStringLiteral(" Nr ")), i).indexValue, QStringLiteral(" Nr "));
    // The block survives the end of blocks: a header holding a key word is read as that key ...
    const XdbLineWork header = ParseXdbLine(QStringLiteral("[renamefield]"), i);
    EXPECT_EQ(header.indexKey, XdbIndexKey::Name);
    EXPECT_TRUE(header.opensRenameField);
    // ... except "[felder]", which would otherwise be a "feld" line.
    EXPECT_EQ(ParseXdbLine(QStringLiteral("[felder]"), i).indexKey, XdbIndexKey::None);
    EXPECT_EQ(ParseXdbLine(QStringLiteral("[Indizes]"), i).indexKey, XdbIndexKey::None);
}
