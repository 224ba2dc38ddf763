#include "core/CodePage.h"

#include <gtest/gtest.h>

TEST(Windows1252, EveryByteSurvivesTheRoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = FromWindows1252(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(ToWindows1252(text), all);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC));
    EXPECT_EQ(text.at(0x9F), QChar(0x0178));
    EXPECT_EQ(text.at(0xFC), QChar(u'ü'));
    // Control characters that the code page puts elsewhere are not in it.
    EXPECT_EQ(ToWindows1252(QString(QChar(0x0080))), QByteArray("?"));
    EXPECT_EQ(ToWindows1252(QString(QChar(0x009F))), QByteArray("?"));
}
