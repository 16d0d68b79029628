#include "chart/ChartAxis.h"
#include "chart/ChartGraph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
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

// The grid line at zero reads 0, not the round-off of min + j / m * span; the others keep
// their values, also on a reversed axis.
TEST(ChartAxisTest, TickAtZeroIsExactlyZero)
{
    struct Row {
        double lo, hi;
        int divisions, zeroAt;
        bool reversed;
    };
    const Row rows[] = {{-0.1, 0.5, 6, 1, false},
                        {-1.2, 0.6, 9, 6, false},
                        {-0.1, 0.5, 6, 5, true},
                        {-1e-12, 5e-12, 6, 1, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.lo);
        CChartAxis axis(row.lo, row.hi, "");
        axis.reversed = row.reversed;
        for (int j = 0; j <= row.divisions; ++j) {
            const double v = axis.TickValue(j, row.divisions);
            if (j == row.zeroAt) {
                EXPECT_EQ(v, 0.0);
                EXPECT_EQ(CChartGraph::FormatResolved(axis.labelFormat, v, 1e-3), "0");
            } else {
                EXPECT_EQ(v, axis.ValueAt(static_cast<double>(j) / row.divisions));
            }
        }
    }
}

}  // namespace

namespace {

// Whether step is 1, 2, 2.5 or 5 x 10^k.
bool IsNiceStep(double step)
{
    const double m = step / std::pow(10.0, std::floor(std::log10(step) + 1e-12));
    for (double nice : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (std::fabs(m - nice) < 1e-6)
            return true;
    return false;
}

// The axis's division step is nice, its minimum on a tenth of it, and the labels of its
// division lines (drawn resolving a hundredth of a step) show their values and all differ.
void ExpectReadableAxis(const CChartAxis& axis, int divisions)
{
    const double step = (axis.max - axis.min) / divisions;
    EXPECT_TRUE(IsNiceStep(step)) << step;
    const double tenths = axis.min / (step / 10.0);
    EXPECT_NEAR(tenths, std::round(tenths), 1e-6 * std::max(1.0, std::fabs(tenths)));
    std::vector<std::string> labels;
    for (int i = 0; i <= divisions; ++i) {
        const double v = axis.ValueAt(static_cast<double>(i) / divisions);
        labels.push_back(CChartGraph::FormatResolved(axis.labelFormat, v, step / 100.0));
        EXPECT_NEAR(std::stod(labels.back()), v, step / 100.0) << labels.back();
        if (i > 0) {
            EXPECT_NE(labels[i], labels[i - 1]);
        }
    }
}

TEST(ChartAxisTest, ZoomAndPanLeaveNiceStepsAndDistinctLabels)
{
    struct Row {
        const char* name;
        double lo, hi, fraction;  // the wheel at this fraction of the axis
        int divisions;
        double factor;
        int steps;
        bool reversed;
    };
    const Row rows[] = {
        {"wheel into a GHz axis", 2, 8, 0.55895, 4, 0.8, 60, false},
        {"wheel out of it", 5.35, 5.36, 0.3, 4, 1.25, 12, false},
        {"wheel into a dB axis", -110, 10, 0.437, 12, 0.8, 30, true},
        {"four steps at once", 1800, 2600, 0.39, 4, std::pow(0.8, 4), 6, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CChartAxis axis(row.lo, row.hi, "");
        axis.reversed = row.reversed;
        const double about = axis.ValueAt(row.fraction);
        for (int k = 0; k < row.steps; ++k) {
            const double before = axis.max - axis.min;
            axis.ZoomAtFraction(row.fraction, row.factor, row.divisions);
            const double after = axis.max - axis.min;
            // Every wheel step shows: in, or out, by at least one nice step, until the
            // steps reach the doubles' rounding.
            const bool finest = after / row.divisions < 1e-8 * std::fabs(about);
            EXPECT_TRUE(row.factor < 1 ? after < before || finest : after > before) << k;
            ExpectReadableAxis(axis, row.divisions);
            // The value under the wheel stays there, within the snapping of this step.
            EXPECT_NEAR(axis.ValueAt(row.fraction), about,
                        after / row.divisions / 10.0 + 1e-12 * std::fabs(about))
                << k;
        }
    }

    // A rectangle: the nearest nice step about its middle.
    CChartAxis fitted(0, 10, "");
    fitted.FitSnapped(3.2523, 1.4522, 4);
    EXPECT_NEAR(fitted.min, 1.4, 1e-12);
    EXPECT_NEAR(fitted.max, 3.4, 1e-12);

    // A drag in steps smaller than the snapping moves as far as one long step, and the X
    // axis stops at zero without holding anything back for the way back.
    CChartAxis dragged(1800, 2600, ""), once(1800, 2600, "");
    for (int k = 0; k < 100; ++k)
        dragged.ShiftSnapped(1.4, 4);
    once.ShiftSnapped(140.0, 4);
    EXPECT_NEAR(dragged.min, once.min, 1e-9);
    ExpectReadableAxis(dragged, 4);
    CChartAxis x(10, 30, "");
    x.allowNegative = false;
    x.ShiftSnapped(-50, 4);
    EXPECT_EQ(x.min, 0);
    EXPECT_EQ(x.max, 20);
    x.ShiftSnapped(2, 4);
    EXPECT_EQ(x.min, 2);
}

}  // namespace
