#include "chart/ChartTrace.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

using XY = CChartTrace::XYpair;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<double> Ramp(int n, double first, double step)
{
    std::vector<double> v;
    for (int i = 0; i < n; ++i)
        v.push_back(first + step * i);
    return v;
}

CChartTrace XYTrace(const std::vector<XY>& pts)
{
    CChartTrace t;
    t.SetPoints(pts);
    return t;
}

TEST(ChartTraceTest, Defaults)
{
    const CChartTrace t;
    EXPECT_TRUE(t.points.empty());
    EXPECT_TRUE(t.values.empty());
    EXPECT_EQ(t.xMin, 0);
    EXPECT_EQ(t.xMax, 1);
    EXPECT_EQ(t.yMin, 0);
    EXPECT_EQ(t.yMax, 1);
    EXPECT_EQ(t.name, "");
    EXPECT_EQ(t.numberFormat, "%.3g");
    EXPECT_EQ(t.color, Rgb(0, 0, 0));
    EXPECT_TRUE(t.inLegend);
    EXPECT_FALSE(t.isXY);
    EXPECT_TRUE(t.onLeftAxis);
}

TEST(ChartTraceTest, PaletteGivesSixteenDistinctColoursThenWraps)
{
    const std::vector<COLORREF> palette = {
        Rgb(255, 64, 64),   Rgb(0, 127, 255), Rgb(0, 127, 64),    Rgb(255, 127, 64),
        Rgb(127, 0, 255),   Rgb(0, 127, 127), Rgb(255, 0, 127),   Rgb(64, 64, 127),
        Rgb(192, 127, 127), Rgb(255, 0, 255), Rgb(127, 127, 192), Rgb(64, 127, 64),
    };
    ResetTraceColors();
    std::vector<COLORREF> seen;
    for (int i = 0; i < 17; ++i) {
        SCOPED_TRACE(i);
        const COLORREF c = NextTraceColor();
        if (i < 12) {
            EXPECT_EQ(c, palette[static_cast<std::size_t>(i)]);  // the first twelve stay
        }
        if (i < 16) {
            EXPECT_EQ(std::count(seen.begin(), seen.end(), c), 0);
        } else {
            EXPECT_EQ(c, seen[0]);
        }
        seen.push_back(c);
    }
    ResetTraceColors();
    EXPECT_EQ(NextTraceColor(), palette[0]);
    // A start further on is a restart and as many steps, wrapping included.
    for (const std::size_t k : {0u, 3u, 15u, 16u, 18u}) {
        StartTraceColorsAt(k);
        EXPECT_EQ(NextTraceColor(), seen[k % 16]) << k;
    }
}

TEST(ChartTraceTest, ConstructorFromValuesTakesNextColour)
{
    ResetTraceColors();
    const CChartTrace first({5, -2, 7}, 80, 120, "S21", false);
    const CChartTrace second({1}, 0, 1, "S11", true);
    EXPECT_EQ(first.name, "S21");
    EXPECT_FALSE(first.onLeftAxis);
    EXPECT_FALSE(first.isXY);
    EXPECT_TRUE(first.inLegend);
    EXPECT_EQ(first.numberFormat, "%.3g");
    EXPECT_EQ(first.values, (std::vector<double>{5, -2, 7}));
    EXPECT_EQ(first.color, Rgb(255, 64, 64));
    EXPECT_EQ(second.color, Rgb(0, 127, 255));
}

TEST(ChartTraceTest, CopyKeepsBothLists)
{
    CChartTrace t;
    t.SetValues({1, 2}, 0, 1);
    t.SetPoints({{3, 4}});
    t.name = "a";
    const CChartTrace copy = t;
    EXPECT_EQ(copy.values, t.values);
    ASSERT_EQ(copy.points.size(), 1u);
    EXPECT_EQ(copy.points[0].x, 3);
    EXPECT_EQ(copy.name, "a");
    EXPECT_TRUE(copy.isXY);
}

TEST(ChartTraceTest, SetValuesExtents)
{
    CChartTrace t;
    t.SetPoints({{1, 1}});
    t.SetValues({5, -2, 7}, 80, 120);
    EXPECT_FALSE(t.isXY);
    EXPECT_EQ(t.xMin, 80);
    EXPECT_EQ(t.xMax, 120);
    EXPECT_EQ(t.yMin, -2);
    EXPECT_EQ(t.yMax, 7);
    EXPECT_EQ(t.points.size(), 1u);  // left as it was
}

TEST(ChartTraceTest, SetValuesEmptyLeavesStartValues)
{
    CChartTrace t;
    t.SetValues({}, 0, 10);
    EXPECT_EQ(t.yMin, 1e9);
    EXPECT_EQ(t.yMax, -1e9);
}

TEST(ChartTraceTest, SetValuesSkipsNanAndInfinity)
{
    CChartTrace t;
    t.SetValues({kNan, 3, kInf, -2, -kInf}, 0, 1);
    EXPECT_EQ(t.yMin, -2);
    EXPECT_EQ(t.yMax, 3);
    t.SetValues({kNan, kNan}, 0, 1);
    EXPECT_EQ(t.yMin, 1e9);
    EXPECT_EQ(t.yMax, -1e9);
}

TEST(ChartTraceTest, SetPointsSortsStably)
{
    CChartTrace t;
    t.SetValues({9}, 0, 1);
    t.SetPoints({{3, 30}, {1, 10}, {2, 21}, {2, 20}});
    EXPECT_TRUE(t.isXY);
    ASSERT_EQ(t.points.size(), 4u);
    EXPECT_EQ(t.points[0].x, 1);
    EXPECT_EQ(t.points[1].y, 21);  // equal x keep their given order
    EXPECT_EQ(t.points[2].y, 20);
    EXPECT_EQ(t.points[3].x, 3);
    EXPECT_EQ(t.xMin, 1);
    EXPECT_EQ(t.xMax, 3);
    EXPECT_EQ(t.yMin, 10);
    EXPECT_EQ(t.yMax, 30);
    EXPECT_EQ(t.values.size(), 1u);  // left as it was
}

TEST(ChartTraceTest, SetPointsEmptyLeavesStartValues)
{
    const CChartTrace t = XYTrace({});
    EXPECT_EQ(t.xMin, 1e9);
    EXPECT_EQ(t.xMax, -1e9);
    EXPECT_EQ(t.yMin, 1e9);
    EXPECT_EQ(t.yMax, -1e9);
}

TEST(ChartTraceTest, SetPointsPutsNanXLastAndSkipsItInExtents)
{
    const CChartTrace t = XYTrace({{kNan, 1}, {2, kNan}, {kNan, 2}, {1, 5}, {kInf, 7}});
    ASSERT_EQ(t.points.size(), 5u);
    EXPECT_EQ(t.points[0].x, 1);
    EXPECT_EQ(t.points[1].x, 2);
    EXPECT_EQ(t.points[2].x, kInf);
    EXPECT_EQ(t.points[3].y, 1);
    EXPECT_EQ(t.points[4].y, 2);
    EXPECT_EQ(t.xMin, 1);
    EXPECT_EQ(t.xMax, 2);
    EXPECT_EQ(t.yMin, 1);
    EXPECT_EQ(t.yMax, 7);
}

TEST(ChartTraceTest, ValueRangeWindowIsInclusive)
{
    std::vector<double> v = Ramp(201, 0, 1);  // value i is i
    CChartTrace t;
    t.SetValues(v, 80, 120);
    const auto [lo, hi] = t.ValueRange(90, 100);
    EXPECT_EQ(lo, 50);
    EXPECT_EQ(hi, 100);
}

TEST(ChartTraceTest, ValueRangeOfPoints)
{
    const CChartTrace t = XYTrace({{1, 5}, {2, -3}, {3, 8}, {4, 1}});
    EXPECT_EQ(t.ValueRange(2, 3), std::make_pair(-3.0, 8.0));
    EXPECT_EQ(t.ValueRange(3, 10), std::make_pair(1.0, 8.0));
    EXPECT_EQ(t.ValueRange(1, 1), std::make_pair(5.0, 5.0));
}

TEST(ChartTraceTest, ValueRangeWithNothingFoundIsZeroOne)
{
    const std::pair<double, double> none{0.0, 1.0};
    EXPECT_EQ(XYTrace({{1, 5}, {2, 6}}).ValueRange(3, 4), none);
    EXPECT_EQ(XYTrace({}).ValueRange(-1e9, 1e9), none);
    CChartTrace uniform;
    uniform.SetValues({}, 0, 10);
    EXPECT_EQ(uniform.ValueRange(0, 10), none);
    uniform.SetValues({4, 5, 6}, 0, 10);
    EXPECT_EQ(uniform.ValueRange(11, 20), none);
    EXPECT_EQ(uniform.ValueRange(kNan, kNan), none);
}

TEST(ChartTraceTest, ValueRangeSkipsNanAndInfinity)
{
    const CChartTrace xy = XYTrace({{1, kNan}, {2, -4}, {3, kInf}, {4, 2}});
    EXPECT_EQ(xy.ValueRange(0, 10), std::make_pair(-4.0, 2.0));
    const std::pair<double, double> none{0.0, 1.0};
    EXPECT_EQ(XYTrace({{1, kNan}, {2, kNan}}).ValueRange(0, 10), none);
    CChartTrace uniform;
    uniform.SetValues({kNan, -kInf, kNan}, 0, 10);
    EXPECT_EQ(uniform.ValueRange(0, 10), none);
}

TEST(ChartTraceTest, SingleUniformValueStandsAtFirstX)
{
    CChartTrace t;
    t.SetValues({4}, 10, 20);
    EXPECT_EQ(t.ValueRange(5, 15), std::make_pair(4.0, 4.0));
    EXPECT_EQ(t.ValueRange(10, 10), std::make_pair(4.0, 4.0));
    EXPECT_EQ(t.ValueRange(11, 30), std::make_pair(0.0, 1.0));
    EXPECT_EQ(t.ValueAt(10), 0);  // fewer than two samples have no value
}

TEST(ChartTraceTest, PointCountAndCovers)
{
    CChartTrace t;
    t.SetValues({1, 2, 3}, 10, 20);
    t.points = {{0, 0}};
    EXPECT_EQ(t.PointCount(), 3u);
    EXPECT_TRUE(t.Covers(10));
    EXPECT_TRUE(t.Covers(20));
    EXPECT_FALSE(t.Covers(9.999));
    EXPECT_FALSE(t.Covers(20.001));
    EXPECT_FALSE(t.Covers(kNan));
    t.isXY = true;
    EXPECT_EQ(t.PointCount(), 1u);
}

TEST(ChartTraceTest, ValueAtPointsInterpolates)
{
    const CChartTrace t = XYTrace({{0, 0}, {1, 10}, {2, 20}, {3, 30}, {4, 40}});
    EXPECT_DOUBLE_EQ(t.ValueAt(2.5), 25);
    EXPECT_DOUBLE_EQ(t.ValueAt(0.25), 2.5);
    EXPECT_DOUBLE_EQ(t.ValueAt(0), 0);
    EXPECT_DOUBLE_EQ(t.ValueAt(4), 40);
    EXPECT_DOUBLE_EQ(t.ValueAt(5), 50);  // extrapolated along the end segment
    EXPECT_DOUBLE_EQ(t.ValueAt(-1), -10);
}

TEST(ChartTraceTest, ValueAtPointsSnapsToProbedMidpoint)
{
    const CChartTrace t = XYTrace({{0, 0}, {1, 10}, {2, 20}, {3, 30}, {4, 40}});
    // Pair 2 is the first midpoint probed; within 1e-5 its Y comes back unchanged.
    EXPECT_EQ(t.ValueAt(2 + 5e-6), 20);
    EXPECT_EQ(t.ValueAt(2 - 9e-6), 20);
    EXPECT_GT(t.ValueAt(2 + 2e-5), 20);
}

TEST(ChartTraceTest, ValueAtPointsOfEqualXGivesLowerPair)
{
    const CChartTrace t = XYTrace({{1, 5}, {1 + 1e-7, 7}});
    EXPECT_EQ(t.ValueAt(1), 5);
    EXPECT_EQ(t.ValueAt(50), 5);
}

TEST(ChartTraceTest, ValueAtFewerThanTwoSamplesIsZero)
{
    EXPECT_EQ(XYTrace({}).ValueAt(1), 0);
    EXPECT_EQ(XYTrace({{1, 5}}).ValueAt(1), 0);
    CChartTrace uniform;
    uniform.SetValues({}, 0, 1);
    EXPECT_EQ(uniform.ValueAt(0.5), 0);
}

TEST(ChartTraceTest, ValueAtUniform)
{
    CChartTrace t;
    t.SetValues({10, 20, 40, 80}, 100, 130);  // X 100, 110, 120, 130
    EXPECT_EQ(t.ValueAt(100), 10);
    EXPECT_EQ(t.ValueAt(130), 80);
    EXPECT_EQ(t.ValueAt(50), 10);
    EXPECT_EQ(t.ValueAt(500), 80);
    EXPECT_DOUBLE_EQ(t.ValueAt(105), 15);
    EXPECT_DOUBLE_EQ(t.ValueAt(115), 30);
    EXPECT_DOUBLE_EQ(t.ValueAt(125), 60);
    EXPECT_DOUBLE_EQ(t.ValueAt(110), 20);
}

TEST(ChartTraceTest, ValueAtUniformMidpointsOfALongTrace)
{
    CChartTrace t;
    t.SetValues(Ramp(201, -50, 0.37), 80, 120);
    for (int k = 0; k < 200; k += 17) {
        SCOPED_TRACE(k);
        const double x = 80 + 0.2 * k + 0.1;
        EXPECT_NEAR(t.ValueAt(x), (t.values[k] + t.values[k + 1]) / 2, 1e-9);
    }
}

TEST(ChartTraceTest, ValueAtNanIsNan)
{
    CChartTrace uniform;
    uniform.SetValues({1, 2, 3}, 0, 10);
    EXPECT_TRUE(std::isnan(uniform.ValueAt(kNan)));
    EXPECT_TRUE(std::isnan(XYTrace({{0, 1}, {1, 2}, {2, 3}}).ValueAt(kNan)));
}

TEST(ChartTraceTest, ValueAtUniformWithNonFiniteEndsStaysDefined)
{
    CChartTrace t;
    t.SetValues({1, 2, 3}, 0, kInf);
    EXPECT_EQ(t.ValueAt(-1), 1);
    EXPECT_TRUE(std::isnan(t.ValueAt(5)));
    t.SetValues({1, 2, 3}, kNan, 10);
    EXPECT_TRUE(std::isnan(t.ValueAt(5)));
    EXPECT_EQ(t.ValueAt(10), 3);
    t.SetValues({1, 2, 3}, -1e308, 1e308);  // the span overflows to infinity
    EXPECT_TRUE(std::isnan(t.ValueAt(0)));
}

}  // namespace

TEST(ChartTraceTest, ValueAtWithAHintAnswersAsTheSearch)
{
    // Points with clusters closer than the search's tolerance, equal X and a NaN X, asked at
    // the points, next to them, between and beyond them, ascending and then in any order.
    std::vector<XY> points;
    for (int i = 0; i < 400; ++i) {
        points.emplace_back(i * 0.25 + (i % 37 == 0 ? 3e-6 : 0.0), std::sin(i * 0.3));
        if (i % 23 == 5)
            points.emplace_back(i * 0.25 + 4e-6, 2.0 + i);
    }
    points.emplace_back(50.0, 7.0);
    points.emplace_back(50.0 + 4e-6, 8.0);
    points.emplace_back(60.0, 9.0);
    points.emplace_back(kNan, 1.0);
    CChartTrace trace;
    trace.SetPoints(points);

    std::vector<double> xs;
    for (const XY& p : trace.points) {
        for (double d : {0.0, -2e-5, -9e-6, -1e-6, 1e-6, 9e-6, 2e-5, 0.1})
            xs.push_back(p.x + d);
    }
    for (int k = 0; k <= 1000; ++k)
        xs.push_back(-5.0 + k * 0.11);
    std::vector<double> ascending(xs.begin(), xs.end());
    std::sort(ascending.begin(), ascending.end());
    for (const std::vector<double>* order : {&ascending, &xs}) {
        std::size_t hint = 0;
        for (double x : *order) {
            SCOPED_TRACE(x);
            const double expected = trace.ValueAt(x);
            const double actual = trace.ValueAt(x, hint);
            if (std::isnan(expected))
                EXPECT_TRUE(std::isnan(actual));
            else
                EXPECT_EQ(actual, expected);
        }
    }
}
