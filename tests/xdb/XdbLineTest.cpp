// Fixed columns and the numbers read from them.

#include "xdb/XdbLine.h"

#include "core/TabrixError.h"

#include <gtest/gtest.h>

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

}  // namespace

TEST(XdbLine, FixedColumnsAreCharacterPositions)
{
    EXPECT_EQ(XdbColumns(QStringLiteral("äbcdefg"), 1, 3), QStringLiteral("äbc"));
    EXPECT_EQ(XdbColumns(QStringLiteral("äbcdefg"), 6, 20), QStringLiteral("fg"));
    EXPECT_EQ(XdbColumns(QStringLiteral("äbcdefg"), 8), QString());
}

TEST(XdbLine, TypeCodesAndSizesAreLeadingNumbers)
{
    const std::pair<const char*, int> cases[] = {{" 10", 10}, {"1 0", 10}, {"12a", 12}, {"abc", 0},    {"", 0},
                                                 {"-1", -1},  {"2.5", 2},  {"3.5", 4},  {"1e3", 1000}, {"4e", 4}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(XdbLeadingNumber(QString::fromLatin1(text)), value) << text;
    EXPECT_EQ(errorOf([] { XdbLeadingNumber(QStringLiteral("9e9")); }), 6);
}

TEST(XdbLine, AttributeAndFieldCountAreWholeNumbers)
{
    EXPECT_EQ(XdbWholeNumber(QStringLiteral("  3   ")), 3);
    EXPECT_EQ(XdbWholeNumber(QStringLiteral("-2147483648")), std::numeric_limits<qint32>::min());
    for (const char* text : {"zwei", "2x", ""})
        EXPECT_EQ(errorOf([&] { XdbWholeNumber(QString::fromLatin1(text)); }), 13) << text;
    EXPECT_EQ(errorOf([] { XdbWholeNumber(QStringLiteral("2147483648")); }), 6);
}
