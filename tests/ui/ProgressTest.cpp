#include "ui/Progress.h"

#include "core/TimeOfDay.h"

#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>

namespace {
struct ProgressFixture : ::testing::Test {
    QProgressBar bar;
    QLabel rest;
    Progress progress{&bar, &rest};
    int now = 10 * 3600;
    int changes = 0;

    void SetUp() override
    {
        progress.clock = [this] { return now; };
    }
    void step(long done)
    {
        const QString before = rest.text();
        progress.ProgressStep(done);
        if (rest.text() != before)
            ++changes;
    }
};
}  // namespace

TEST_F(ProgressFixture, ZeroCountsAsOne)
{
    progress.ProgressStart(0);
    EXPECT_EQ(bar.maximum(), 1);
    EXPECT_EQ(bar.value(), 0);
}

TEST_F(ProgressFixture, WritesTheLineAtMostOncePerSecond)
{
    progress.ProgressStart(100);
    now += 10;
    step(10);
    EXPECT_EQ(rest.text(), QStringLiteral("Restzeit: 00:01:30 / Gesamt: 00:01:40 / Vergangen: 00:00:10"));
    step(20);  // same second: the line stays
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(bar.value(), 20);
    now += 1;
    step(50);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(rest.text(), QStringLiteral("Restzeit: 00:00:11 / Gesamt: 00:00:22 / Vergangen: 00:00:11"));
}

TEST_F(ProgressFixture, FirstStepWritesEvenInTheStartSecond)
{
    progress.ProgressStart(4);
    step(1);
    EXPECT_EQ(rest.text(), QStringLiteral("Restzeit: 00:00:00 / Gesamt: 00:00:00 / Vergangen: 00:00:00"));
}

TEST_F(ProgressFixture, NestedRunGivesTheOuterMaximumBack)
{
    progress.ProgressStart(7);
    step(3);
    progress.ProgressStart(50);
    EXPECT_EQ(progress.ProgressMaxStack.size(), 1);
    EXPECT_EQ(bar.maximum(), 50);
    step(25);
    step(0);
    EXPECT_EQ(rest.text(), QString());
    EXPECT_EQ(bar.maximum(), 7);
    EXPECT_EQ(bar.value(), 0);
    EXPECT_TRUE(progress.ProgressMaxStack.isEmpty());
    // An inner run started while the outer bar stands at 0 saves nothing.
    progress.ProgressStart(9);
    EXPECT_TRUE(progress.ProgressMaxStack.isEmpty());
}

TEST_F(ProgressFixture, EndWithEmptyStackOnlyClears)
{
    progress.ProgressStart(10);
    now += 3;
    step(5);
    step(0);
    EXPECT_EQ(rest.text(), QString());
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(bar.maximum(), 10);
}

// A long run redraws the bar when its filled part grows by a pixel (and at
// every percent on a narrow bar), never lagging by more than that.
TEST_F(ProgressFixture, BarMovesByThePixelAndEndsFull)
{
    for (const int width : {40, 250, 4000}) {
        bar.resize(width, 20);
        const long pixels = qBound(100, width, 1000);
        int redraws = 0;
        const auto counter = QObject::connect(&bar, &QProgressBar::valueChanged, [&] { ++redraws; });
        const long total = 200000;
        progress.ProgressStart(total);
        for (long done = 1; done <= total; ++done) {
            progress.ProgressStep(done);
            ASSERT_LT(double(done - bar.value()) * double(pixels), double(total))
                << "width " << width << " at " << done;
        }
        EXPECT_EQ(bar.value(), total);
        EXPECT_LE(redraws, pixels + 1) << "width " << width;
        EXPECT_GE(redraws, pixels / 2) << "width " << width;
        QObject::disconnect(counter);
        progress.ProgressStep(0);
    }
}

TEST_F(ProgressFixture, RunAcrossMidnightCountsOn)
{
    now = 24 * 3600 - 5;
    progress.ProgressStart(2);
    now = 5;  // ten seconds later, next day
    step(1);
    EXPECT_EQ(rest.text(), QStringLiteral("Restzeit: 00:00:10 / Gesamt: 00:00:20 / Vergangen: 00:00:10"));
}

TEST(ProgressFormat, DurationsOfADayOrMoreKeepCountingHours)
{
    EXPECT_EQ(TimeOfDay::durationText(0), QStringLiteral("00:00:00"));
    EXPECT_EQ(TimeOfDay::durationText(3723), QStringLiteral("01:02:03"));
    EXPECT_EQ(TimeOfDay::durationText(26 * 3600 + 61), QStringLiteral("26:01:01"));
}
