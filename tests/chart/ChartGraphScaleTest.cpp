// Fitting the axes of a graph to its traces.
#include "chart/ChartGraph.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// An XY trace on X 1..3 through the given Y values.
CChartTrace Trace(const std::vector<double>& ys, bool left = true)
{
    std::vector<CChartTrace::XYpair> pts;
    for (std::size_t i = 0; i < ys.size(); ++i)
        pts.emplace_back(1.0 + static_cast<double>(i) * 2.0 / static_cast<double>(ys.size() - 1),
                         ys[i]);
    CChartTrace t;
    t.SetPoints(pts);
    t.onLeftAxis = left;
    return t;
}

// A graph of the given view format whose X window 0..10 holds every trace.
CChartGraph Graph(int format, const std::vector<CChartTrace>& traces)
{
    CChartGraph g(-1);
    g.SetViewFormat(format, true);
    g.xAxis.SetRange(0, 10);
    for (const CChartTrace& t : traces)
        g.AddTrace(t);
    return g;
}

void ExpectRange(const CChartAxis& axis, double lo, double hi)
{
    EXPECT_EQ(axis.min, lo);
    EXPECT_EQ(axis.max, hi);
}

TEST(ChartGraphScaleTest, AutoSpanCoversAllTraces)
{
    CChartGraph g(-1);
    g.SetViewFormat(0, true);
    CChartTrace a;
    a.SetPoints({{100, 1}, {9000, 2}});
    CChartTrace b;
    b.SetValues({1, 2, 3}, 2000, 18000);
    g.AddTrace(a);
    g.AddTrace(b);
    g.AutoSpan();
    ExpectRange(g.xAxis, 100, 18000);
}

TEST(ChartGraphScaleTest, AutoSpanWithoutTracesIsZeroOne)
{
    CChartGraph g(-1);
    g.xAxis.SetRange(5, 50);
    g.AutoSpan();
    ExpectRange(g.xAxis, 0, 1);
}

TEST(ChartGraphScaleTest, AutoSpanStoresNegativeLowAsZeroAfterViewFormat)
{
    CChartGraph g(-1);
    g.SetViewFormat(0, true);
    CChartTrace t;
    t.SetPoints({{-30, 1}, {40, 2}});
    g.AddTrace(t);
    g.AutoSpan();
    ExpectRange(g.xAxis, 0, 40);
}

TEST(ChartGraphScaleTest, AutoSpanIgnoresNonFiniteEnds)
{
    CChartGraph g(-1);
    g.SetViewFormat(0, true);
    CChartTrace bad;
    bad.SetValues({1, 2}, kNan, kInf);
    CChartTrace good;
    good.SetValues({1, 2}, 10, 20);
    g.AddTrace(bad);
    g.AddTrace(good);
    g.AutoSpan();
    ExpectRange(g.xAxis, 10, 20);
}

TEST(ChartGraphScaleTest, AutoScaleWithoutTraces)
{
    CChartGraph g = Graph(0, {});
    g.AutoScale();
    ExpectRange(g.leftAxis, -10, 10);
    ExpectRange(g.rightAxis, -10, 0);
    EXPECT_EQ(g.yMajorDivisions, 2);
}

TEST(ChartGraphScaleTest, AutoScaleLossTraceInFormatZero)
{
    CChartGraph g = Graph(0, {Trace({-63.2, -30, -0.4})});
    g.AutoScale();
    ExpectRange(g.leftAxis, -80, 0);
    EXPECT_EQ(g.yMajorDivisions, 8);
}

// The axis holds what the X window shows: the stored points in it and the line where the
// window cuts it, also a window between two stored points.
TEST(ChartGraphScaleTest, AutoScaleFitsWhatTheXWindowShows)
{
    struct Row {
        double from, to, lo, hi;
    };
    const Row rows[] = {{2, 3, -80, 0}, {1.5, 3, -110, 0}, {2.2, 2.4, -70, -30}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.from);
        CChartGraph g = Graph(0, {Trace({-150, -63.2, -0.4})});  // at X 1, 2, 3
        g.xAxis.SetRange(row.from, row.to);
        g.AutoScale();
        ExpectRange(g.leftAxis, row.lo, row.hi);
    }
}

TEST(ChartGraphScaleTest, AutoScaleMaximumJustBelowZeroSnapsToTen)
{
    CChartGraph g = Graph(0, {Trace({-5, -0.0001})});
    g.AutoScale();
    ExpectRange(g.leftAxis, -10, 10);
}

TEST(ChartGraphScaleTest, AutoScaleLimitsInFormatZero)
{
    // Below -200 snaps to -200, above 100 to 100; the left axis then starts on a multiple
    // of its 30-unit step.
    CChartGraph g = Graph(0, {Trace({-250, 250}), Trace({-270, -45}, false)});
    g.AutoScale();
    ExpectRange(g.leftAxis, -210, 120);
    ExpectRange(g.rightAxis, -200, -40);
    EXPECT_EQ(g.yMajorDivisions, 11);  // thirty units a division: at most twelve
}

TEST(ChartGraphScaleTest, AutoScaleShowsDeepDbValuesDownToTheFloor)
{
    struct Row {
        const char* name;
        std::vector<double> ys;
        double lo;
        int divisions;
    };
    const Row rows[] = {
        {"isolation of a 4-port", {-114.2, -60, -3}, -120, 12},
        {"mixed-mode transmission", {-130.4, -20, -0.5}, -140, 7},
        {"exact zeros stay out", {-300, -62, -1}, -80, 8},
        {"shallow loss keeps its ten below", {-63.2, -0.4}, -80, 8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (int format : {0, 1}) {
            CChartGraph g = Graph(format, {Trace(row.ys)});
            g.AutoScale();
            ExpectRange(g.leftAxis, row.lo, 0);
            EXPECT_EQ(g.yMajorDivisions, row.divisions);
        }
    }
}

TEST(ChartGraphScaleTest, LinearAxesTakeStepsOfTheirOwnSize)
{
    struct Row {
        const char* name;
        std::vector<double> ys;
        bool onLeft;
        double lo, hi;
        int divisions;  // of the left axis, dB -100..0 (10) beside a right one
        double keepHigh = 0.0;  // the axis keeps 0..keepHigh while the values lie in it
    };
    const Row rows[] = {
        {"magnitude", {0.02, 0.5, 0.86}, true, 0, 1, 5},
        {"real part", {-0.86, 0.1, 0.86}, true, -1, 1, 8},
        {"VSWR", {1.02, 1.7, 2.4}, true, 1, 2.4, 7},
        {"resistance", {12, 50, 80}, true, 10, 80, 7},
        {"flat", {0.5, 0.5}, true, 0.44, 0.56, 6},
        {"flat but for rounding", {0.2999994, 0.3000006}, true, 0.27, 0.33, 6},
        {"magnitude beside dB", {0.02, 0.5, 0.86}, false, 0, 1, 10},
        {"reactance beside dB", {-31, 12}, false, -35, 15, 10},
        {"|S| of four decimals", {0.85995, 0.86005}, true, 0, 1, 5, 1.0},
        {"|S| above one", {0.5, 1.25}, true, 0.5, 1.3, 8, 1.0},
        {"VSWR flat to its last digits", {1.69525, 1.69565}, true, 1.64, 1.74, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<CChartTrace> traces = {Trace(row.ys, row.onLeft)};
        if (!row.onLeft)
            traces.push_back(Trace({-83, -1}));
        CChartGraph g = Graph(0, traces);
        CChartAxis& axis = row.onLeft ? g.leftAxis : g.rightAxis;
        axis.fitsAllValues = axis.niceSteps = true;
        axis.keepHigh = row.keepHigh;
        g.AutoScale();
        EXPECT_NEAR(axis.min, row.lo, 1e-12);
        EXPECT_NEAR(axis.max, row.hi, 1e-12);
        EXPECT_EQ(g.yMajorDivisions, row.divisions);
    }
}

TEST(ChartGraphScaleTest, AutoScaleKeepsTenUnits)
{
    CChartGraph g = Graph(0, {Trace({-300, -250}), Trace({-290, -260}, false)});
    g.AutoScale();
    // Both: max NiceCeil(-250) = -200, min the floor -200, lowered to -210.
    ExpectRange(g.leftAxis, -210, -200);
    ExpectRange(g.rightAxis, -210, -200);
    EXPECT_EQ(g.yMajorDivisions, 2);
}

TEST(ChartGraphScaleTest, AutoScalePositiveMaximumRisesAStep)
{
    CChartGraph g = Graph(0, {Trace({0, 17}), Trace({3.3, 27}, false)});
    g.AutoScale();
    // Left max NiceCeil(17) = 20, then 10 - 10 x T(-2) = 30; min lowTen(0) = -10.
    ExpectRange(g.leftAxis, -10, 30);
    // Right max 10 x T(3) = 30; min lowTen(3) = -10.
    ExpectRange(g.rightAxis, -10, 30);
    EXPECT_EQ(g.yMajorDivisions, 4);
}

TEST(ChartGraphScaleTest, AutoScaleLossFormatsPinTheMaximumAtZero)
{
    for (int format : {1, 2}) {
        SCOPED_TRACE(format);
        CChartGraph g = Graph(format, {Trace({-63.2, -0.4}), Trace({3.3, 7.2}, false)});
        g.AutoScale();
        ExpectRange(g.leftAxis, -80, 0);
        // The right axis keeps its rounded values 3..8, then gets its ten units.
        ExpectRange(g.rightAxis, -2, 8);
    }
    CChartGraph deep = Graph(1, {Trace({-250, -20})});
    deep.AutoScale();
    ExpectRange(deep.leftAxis, -200, 0);
    EXPECT_EQ(deep.yMajorDivisions, 10);
}

TEST(ChartGraphScaleTest, AutoScaleFormatSevenPinsBothMaxima)
{
    CChartGraph g = Graph(7, {Trace({-63.2, -0.4}), Trace({-25, -3}, false)});
    g.AutoScale();
    ExpectRange(g.leftAxis, -80, 0);
    ExpectRange(g.rightAxis, -40, 0);
    CChartGraph deep = Graph(7, {Trace({-63.2, -0.4}), Trace({-80, -3}, false)});
    deep.AutoScale();
    ExpectRange(deep.rightAxis, -90, 0);
}

TEST(ChartGraphScaleTest, AutoScaleAxisWithoutTracesUsesStartValues)
{
    CChartGraph g = Graph(0, {Trace({-63.2, -0.4})});
    g.AutoScale();
    // 1e9 and -1e9 stay off the ladder; they carry no meaning but stay in range.
    ExpectRange(g.rightAxis, -1000000010, -1000000000);
}

TEST(ChartGraphScaleTest, AutoScaleHugePositiveValuesSaturate)
{
    CChartGraph g = Graph(0, {Trace({1e12, 1e12}), Trace({1e12, 1e12}, false)});
    g.AutoScale();
    // The search starts its minima at 1e9, so 1e12 is never seen as one; the maxima round
    // to 10000000 and are capped at 100, and the ten-unit rule pulls the minima below them.
    ExpectRange(g.leftAxis, 90, 100);
    ExpectRange(g.rightAxis, 90, 100);
    EXPECT_EQ(g.yMajorDivisions, 2);
}

TEST(ChartGraphScaleTest, AutoScaleHugeNegativeValuesSaturate)
{
    CChartGraph g = Graph(0, {Trace({-1e12, -1e12}), Trace({-1e12, -1e12}, false)});
    g.AutoScale();
    // The maxima are bounded by their start value -1e9; the minima round to -10000000.
    ExpectRange(g.leftAxis, -1000000010, -1000000000);
    ExpectRange(g.rightAxis, -1000000010, -1000000000);
    EXPECT_EQ(g.yMajorDivisions, 2);
}

TEST(ChartGraphScaleTest, AutoScaleHugeValuesBothWays)
{
    CChartGraph g = Graph(0, {Trace({-1e12, 1e12})});
    g.AutoScale();
    ExpectRange(g.leftAxis, -210, 120);  // -200..100 from a multiple of thirty
    EXPECT_EQ(g.yMajorDivisions, 11);
    CChartGraph loss = Graph(1, {Trace({1e12, 1e12})});
    loss.AutoScale();
    ExpectRange(loss.leftAxis, -10, 0);
}

TEST(ChartGraphScaleTest, AutoScaleNanTraceActsLikeNothingFound)
{
    CChartGraph allNan = Graph(0, {Trace({kNan, kNan, kNan})});
    allNan.AutoScale();
    CChartGraph empty = Graph(0, {Trace({1, 2})});
    empty.xAxis.SetRange(50, 60);  // no point in the window
    empty.AutoScale();
    ExpectRange(allNan.leftAxis, empty.leftAxis.min, empty.leftAxis.max);
    ExpectRange(allNan.leftAxis, -10, 10);
    EXPECT_EQ(allNan.yMajorDivisions, empty.yMajorDivisions);
}

TEST(ChartGraphScaleTest, AutoScaleSkipsNanAndInfiniteSamples)
{
    CChartGraph g = Graph(0, {Trace({-63.2, kNan, kInf, -kInf, -0.4})});
    g.AutoScale();
    ExpectRange(g.leftAxis, -80, 0);
    CChartTrace uniform;
    uniform.SetValues({-63.2, kNan, -0.4}, 1, 3);
    CChartGraph u = Graph(0, {uniform});
    u.AutoScale();
    ExpectRange(u.leftAxis, -80, 0);
}

TEST(ChartGraphScaleTest, AutoScaleWithNanXWindowStaysDefined)
{
    CChartGraph g = Graph(0, {Trace({-63.2, -0.4})});
    g.xAxis.min = kNan;
    g.xAxis.max = kNan;
    g.AutoScale();
    ExpectRange(g.leftAxis, -10, 10);
}

TEST(ChartGraphScaleTest, PhaseAndDelayAxesHoldEveryValue)
{
    struct Row {
        const char* name;
        int format;
        bool onLeft;
        std::vector<double> ys;
        double lo, hi;
        int divisions;  // -1: not checked (the right axis follows the left one)
    };
    const Row rows[] = {
        {"passband delay beside dB", 0, false, {-21, 4.1, 8.5}, -30, 10, -1},
        {"delay of a short line", 0, false, {0.005, 0.0051}, 0, 10, -1},
        {"phase beside dB", 0, false, {-179.9, 0, 179.5}, -180, 180, -1},
        {"phase alone", 0, true, {-179.9, 0, 179.5}, -180, 180, 12},
        {"phase alone, one side", 0, true, {-179, -50}, -180, -40, 7},
        {"delay alone, huge", 0, true, {-5e4, 3}, -50000, 5000, 11},
        {"phase view preset", 3, true, {-170, 175}, -180, 180, 12},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CChartGraph g = Graph(row.format, {Trace(row.ys, row.onLeft)});
        CChartAxis& axis = row.onLeft ? g.leftAxis : g.rightAxis;
        axis.fitsAllValues = true;
        g.AutoScale();
        ExpectRange(axis, row.lo, row.hi);
        if (row.divisions >= 0) {
            EXPECT_EQ(g.yMajorDivisions, row.divisions);
        }
        EXPECT_LE(g.yMajorDivisions, 12);
    }
}

TEST(ChartGraphScaleTest, RescaleSpansBeforeScaling)
{
    CChartTrace t;
    t.SetPoints({{100, -63.2}, {150, -30}, {200, -0.4}});
    CChartGraph g(-1);
    g.SetViewFormat(0, true);
    g.xAxis.SetRange(0, 1);
    g.AddTrace(t);
    g.Rescale(true, true, false);
    ExpectRange(g.xAxis, 100, 200);
    ExpectRange(g.leftAxis, -80, 0);

    CChartGraph stale(-1);
    stale.SetViewFormat(0, true);
    stale.xAxis.SetRange(0, 1);
    stale.AddTrace(t);
    stale.Rescale(false, true, false);
    ExpectRange(stale.xAxis, 0, 1);
    ExpectRange(stale.leftAxis, -10, 10);  // nothing in the old window
}

TEST(ChartGraphScaleTest, RescaleShowsAxesThatCarryTraces)
{
    CChartGraph g = Graph(0, {Trace({1, 2})});
    g.Rescale(false, false, false);
    EXPECT_TRUE(g.leftAxis.visible);
    EXPECT_FALSE(g.rightAxis.visible);
    EXPECT_TRUE(g.xAxis.visible);

    CChartGraph right = Graph(0, {Trace({1, 2}, false)});
    right.Rescale(false, false, false);
    EXPECT_FALSE(right.leftAxis.visible);
    EXPECT_TRUE(right.rightAxis.visible);
    EXPECT_TRUE(right.xAxis.visible);

    CChartGraph none = Graph(3, {});
    none.Rescale(false, false, false);
    EXPECT_FALSE(none.leftAxis.visible);
    EXPECT_FALSE(none.rightAxis.visible);
    EXPECT_FALSE(none.xAxis.visible);
}

TEST(ChartGraphScaleTest, RescaleColoursAxesLikeTheirFirstTrace)
{
    CChartTrace r1 = Trace({1, 2}, false);
    r1.color = Rgb(1, 0, 0);
    CChartTrace l1 = Trace({1, 2});
    l1.color = Rgb(2, 0, 0);
    CChartTrace l2 = Trace({1, 2});
    l2.color = Rgb(3, 0, 0);
    CChartGraph g = Graph(0, {r1, l1, l2});
    g.Rescale(false, false, false);
    EXPECT_EQ(g.leftAxis.color, Rgb(0, 0, 64));
    EXPECT_EQ(g.rightAxis.color, Rgb(0, 0, 64));
    g.Rescale(false, false, true);
    EXPECT_EQ(g.leftAxis.color, Rgb(2, 0, 0));
    EXPECT_EQ(g.rightAxis.color, Rgb(1, 0, 0));

    CChartGraph leftOnly = Graph(0, {l2});
    leftOnly.Rescale(false, false, true);
    EXPECT_EQ(leftOnly.leftAxis.color, Rgb(3, 0, 0));
    EXPECT_EQ(leftOnly.rightAxis.color, Rgb(0, 0, 64));
}

}  // namespace
