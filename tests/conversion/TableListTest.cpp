#include "conversion/TableList.h"

#include <gtest/gtest.h>

TEST(PadName, PadsToFortyAndEndsInTab)
{
    const QString padded = PadName(QStringLiteral("Kunden"));
    EXPECT_EQ(padded.size(), 41);
    EXPECT_EQ(padded, QStringLiteral("Kunden") + QString(34, QLatin1Char(' ')) + QLatin1Char('\t'));
    const QString forty(40, QLatin1Char('x'));
    EXPECT_EQ(PadName(forty), forty + QLatin1Char('\t'));
    const QString longer(45, QLatin1Char('y'));
    EXPECT_EQ(PadName(longer), longer + QLatin1Char('\t'));
}

TEST(PadName, NameComesBackFromEveryEntryForm)
{
    for (const QString& name : {QStringLiteral("Kunden"), QStringLiteral("Order Details"),
                                QString(40, QLatin1Char('n')), QString(44, QLatin1Char('m'))}) {
        EXPECT_EQ(TableNameFromEntry(name), name);
        EXPECT_EQ(TableNameFromEntry(PadName(name) + QStringLiteral("[12]")), name);
        EXPECT_EQ(TableNameFromEntry(PadName(name) + QStringLiteral("[migriert]")), name);
        EXPECT_EQ(TableNameFromEntry(PadName(name) + QStringLiteral("[!Fehler!]")), name);
    }
    EXPECT_EQ(TableNameFromEntry(QStringLiteral("  Lager  ")), QStringLiteral("Lager"));
}

// MySQL's count always quotes the name; the others by the name rule.
TEST(RowCount, NamesByTheRule)
{
    EXPECT_EQ(RowCountStatement(Dialect::MySQL, QStringLiteral("Kunden")),
              QStringLiteral("SELECT COUNT(*) FROM `Kunden`"));
    EXPECT_EQ(RowCountStatement(Dialect::MSSQL, QStringLiteral("Kunden")),
              QStringLiteral("SELECT COUNT(*) FROM Kunden"));
    EXPECT_EQ(RowCountStatement(Dialect::Oracle, QStringLiteral("Order Details")),
              QStringLiteral("SELECT COUNT(*) FROM \"Order Details\""));
}

TEST(LastAction, StatusShowsStartEndAndDuration)
{
    EXPECT_EQ(LastActionStatus(8 * 3600 + 5, 9 * 3600 + 7 * 60 + 9),
              QStringLiteral("Bereit. letzte Aktion: 08:00:05 - 09:07:09  |  01:07:04"));
    // Past midnight the end time is smaller, the duration still counts on.
    EXPECT_EQ(LastActionStatus(23 * 3600 + 59 * 60, 60),
              QStringLiteral("Bereit. letzte Aktion: 23:59:00 - 00:01:00  |  00:02:00"));
}
