#include "chart/ChartAxis.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ChartAxisTest, ConstructorDefaults)
{
    const CChartAxis axis(2, 7, "Freq");
    EXPECT_TRUE(axis.visible);
    EXPECT_FALSE(axis.reversed);
    EXPECT_TRUE(axis.allowNegative);
    EXPECT_EQ(axis.min, 2);
    EXPECT_EQ(axis.max, 7);
    EXPECT_EQ(axis.title, "Freq");
    EXPECT_EQ(axis.labelFormat, "%.5g");
    EXPECT_EQ(axis.color, Rgb(0, 0, 0));

    const CChartAxis plain;
    EXPECT_EQ(plain.min, 0);
    EXPECT_EQ(plain.max, 1);
    EXPECT_EQ(plain.title, "");
}

TEST(ChartAxisTest, ConstructorAppliesRangeRule)
{
    const CChartAxis axis(5, 3, "");
    EXPECT_EQ(axis.min, 5);
    EXPECT_EQ(axis.max, 6);
}

TEST(ChartAxisTest, SetRangeRule)
{
    struct Row {
        bool allowNegative;
        double lo, hi;
        double min, max;
    };
    const std::vector<Row> rows = {
        {true, 5, 3, 5, 6},
        {true, -10, -10, -10, -9},
        {true, -20, 100, -20, 100},
        {true, 0, 100, 0, 100},
        {false, -20, 100, 0, 100},
        {false, -20, -30, 0, -19},  // the maximum rule compares with the lo given
        {false, 0, -5, 0, 1},
        {false, 3, 8, 3, 8},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.allowNegative << " " << r.lo << ".." << r.hi);
        CChartAxis axis;
        axis.allowNegative = r.allowNegative;
        axis.SetRange(r.lo, r.hi);
        EXPECT_EQ(axis.min, r.min);
        EXPECT_EQ(axis.max, r.max);
    }
}

TEST(ChartAxisTest, SetUpSetsEverythingAndShows)
{
    CChartAxis axis;
    axis.visible = false;
    axis.SetUp("Phase", 180, -180, true);
    EXPECT_EQ(axis.title, "Phase");
    EXPECT_EQ(axis.min, 180);
    EXPECT_EQ(axis.max, 181);
    EXPECT_TRUE(axis.reversed);
    EXPECT_TRUE(axis.visible);
}

TEST(ChartAxisTest, ValueAtClampsTheFraction)
{
    CChartAxis axis(10, 30, "");
    EXPECT_EQ(axis.ValueAt(0), 10);
    EXPECT_EQ(axis.ValueAt(0.25), 15);
    EXPECT_EQ(axis.ValueAt(1), 30);
    EXPECT_EQ(axis.ValueAt(1.5), axis.ValueAt(1));
    EXPECT_EQ(axis.ValueAt(-0.2), axis.ValueAt(0));
}

TEST(ChartAxisTest, ValueAtReversedStartsAtMax)
{
    CChartAxis axis(10, 30, "");
    axis.reversed = true;
    EXPECT_EQ(axis.ValueAt(0), 30);
    EXPECT_EQ(axis.ValueAt(0.25), 25);
    EXPECT_EQ(axis.ValueAt(1), 10);
    EXPECT_EQ(axis.ValueAt(2), 10);
}

}  // namespace
