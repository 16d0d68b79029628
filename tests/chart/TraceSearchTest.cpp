// Maximum, minimum, peak and bandwidth searches on traces, inside X windows.
#include "chart/TraceSearch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using XY = CChartTrace::XYpair;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

CChartTrace XYTrace(const std::vector<XY>& points)
{
    CChartTrace t;
    t.SetPoints(points);
    return t;
}

// -0.5 dB per unit away from 0 dB at 100, sampled at whole units from 80 to 120.
CChartTrace Triangle(bool uniform)
{
    std::vector<XY> points;
    std::vector<double> values;
    for (int f = 80; f <= 120; ++f) {
        points.emplace_back(f, -0.5 * std::abs(f - 100));
        values.push_back(points.back().y);
    }
    CChartTrace t;
    if (uniform)
        t.SetValues(values, 80, 120);
    else
        t.SetPoints(points);
    return t;
}

TEST(TraceSearchTest, MaximumAndMinimumInAWindow)
{
    // Rising from 0 at x = 0 to 10 at x = 10, with a dip to -5 at x = 4 and a NaN at x = 6.
    const CChartTrace t = XYTrace({{0, 0}, {2, 2}, {4, -5}, {6, kNan}, {8, 8}, {10, 10}});
    struct Row {
        double lo, hi;
        bool found;
        double maxX, maxY, minX, minY;
    };
    const Row rows[] = {
        {-100, 100, true, 10, 10, 4, -5},
        // Only stored samples count, never the line between them at a window's end: not
        // -1.5 at 3 here, and not 9 at 9 on the rise to 10.
        {0, 3, true, 2, 2, 0, 0},
        {7, 9, true, 8, 8, 8, 8},
        {2, 2, true, 2, 2, 2, 2},
        // A window between two samples holds none.
        {1, 1.5, false, 0, 0, 0, 0},
        {9, 9, false, 0, 0, 0, 0},
        // The NaN is no sample; the segments next to it give none either.
        {5.5, 6.5, false, 0, 0, 0, 0},
        {11, 20, false, 0, 0, 0, 0},
        {3, 2, false, 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.lo << ".." << r.hi);
        const TracePoint max = TraceMaximum(t, r.lo, r.hi);
        const TracePoint min = TraceMinimum(t, r.lo, r.hi);
        ASSERT_EQ(max.found, r.found);
        ASSERT_EQ(min.found, r.found);
        if (!r.found)
            continue;
        EXPECT_DOUBLE_EQ(max.x, r.maxX);
        EXPECT_DOUBLE_EQ(max.y, r.maxY);
        EXPECT_DOUBLE_EQ(min.x, r.minX);
        EXPECT_DOUBLE_EQ(min.y, r.minY);
    }
    // Of equal values the lowest X wins, on uniform traces too.
    CChartTrace flat;
    flat.SetValues({1, 3, 3, 1, 1}, 0, 4);
    EXPECT_DOUBLE_EQ(TraceMaximum(flat, 0, 4).x, 1);
    EXPECT_DOUBLE_EQ(TraceMinimum(flat, 0, 4).x, 0);
    EXPECT_DOUBLE_EQ(TraceMaximum(XYTrace({{1, 1}}), 0, 4).y, 1);
}

TEST(TraceSearchTest, NextPeakNeedsTheExcursionOnBothSides)
{
    // Base -20 dB from 0 to 40 with a peak of 0 dB at 10, a 1 dB bump at 20, a flat top of
    // -14 dB at 25..26, a peak of -5 dB at 30, and a rise to -5 dB at the upper end.
    std::vector<XY> points;
    for (int x = 0; x <= 40; ++x)
        points.emplace_back(x, -20.0);
    const std::vector<XY> shape = {{9, -10},  {10, 0},  {11, -10}, {20, -19}, {25, -14}, {26, -14},
                                   {29, -12}, {30, -5}, {31, -12}, {38, -15}, {39, -10}, {40, -5}};
    for (const XY& p : shape)
        points[static_cast<std::size_t>(p.x)].y = p.y;
    const CChartTrace t = XYTrace(points);

    struct Row {
        double from;
        bool right;
        double excursion, lo, hi;
        bool found;
        double x;
    };
    const Row rows[] = {
        {0, true, 3, 0, 40, true, 10},
        {10, true, 3, 0, 40, true, 25},  // strictly beyond fromX; a flat top at its first sample
        {25, true, 3, 0, 40, true, 30},
        {30, true, 3, 0, 40, false, 0},  // the rise at the end is cut off by the window
        {40, false, 3, 0, 40, true, 30},
        {30, false, 3, 0, 40, true, 25},
        {25, false, 3, 0, 40, true, 10},
        {10, false, 3, 0, 40, false, 0},
        {10, true, 0.5, 0, 40, true, 20},
        {10, true, 10, 0, 40, true, 30},
        {10, true, 3, 0, 24, false, 0},
        // The window's end is a sample: at 30.5 the trace has fallen 3.5 dB, at 30.2 1.4 dB.
        {26, true, 3, 0, 30.5, true, 30},
        {26, true, 3, 0, 30.2, false, 0},
        {kNan, false, 3, 0, 40, false, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "from " << r.from << (r.right ? " right" : " left") << " excursion "
                     << r.excursion << " in " << r.lo << ".." << r.hi);
        const TracePoint p = NextPeak(t, r.from, r.right, r.lo, r.hi, r.excursion);
        ASSERT_EQ(p.found, r.found);
        if (r.found) {
            EXPECT_DOUBLE_EQ(p.x, r.x);
        }
    }
}

TEST(TraceSearchTest, BandwidthOfATriangleInterpolatesTheCrossings)
{
    struct Row {
        bool uniform;
        double db, lo, hi;
        bool hasLow, hasHigh;
        double low, high;
    };
    const Row rows[] = {
        {false, 2.75, 80, 120, true, true, 94.5, 105.5},
        {true, 2.75, 80, 120, true, true, 94.5, 105.5},
        {false, 3, 80, 120, true, true, 94, 106},  // on stored samples
        {false, 2.75, 97, 120, false, true, 0, 105.5},
        {false, 2.75, 80, 103, true, false, 94.5, 0},
        {false, 30, 80, 120, false, false, 0, 0},
        {false, 0, 80, 120, false, false, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << (r.uniform ? "uniform " : "xy ") << r.db << " dB in "
                                        << r.lo << ".." << r.hi);
        const BandwidthResult b = TraceBandwidth(Triangle(r.uniform), r.db, r.lo, r.hi);
        ASSERT_TRUE(b.peak.found);
        EXPECT_DOUBLE_EQ(b.peak.x, 100);
        EXPECT_DOUBLE_EQ(b.peak.y, 0);
        ASSERT_EQ(b.hasLow, r.hasLow);
        ASSERT_EQ(b.hasHigh, r.hasHigh);
        if (r.hasLow) {
            EXPECT_NEAR(b.low, r.low, 1e-9);
        }
        if (r.hasHigh) {
            EXPECT_NEAR(b.high, r.high, 1e-9);
        }
        EXPECT_EQ(b.complete, r.hasLow && r.hasHigh);
        if (b.complete) {
            EXPECT_NEAR(b.center, (r.low + r.high) / 2, 1e-9);
            EXPECT_NEAR(b.bandwidth, r.high - r.low, 1e-9);
            EXPECT_NEAR(b.q, b.center / b.bandwidth, 1e-9);
        }
    }
    EXPECT_FALSE(TraceBandwidth(Triangle(false), 3, 130, 140).peak.found);
    // The peak is a stored sample also where the line rises on to the window's end.
    const BandwidthResult cut = TraceBandwidth(Triangle(false), 3, 80, 99.5);
    EXPECT_DOUBLE_EQ(cut.peak.x, 99);
    EXPECT_NEAR(cut.low, 93, 1e-9);
    EXPECT_FALSE(cut.hasHigh);

    // A polar trace holds |S| (here the triangle's dB as magnitude): its band is the same.
    CChartTrace polar = Triangle(false);
    for (XY& p : polar.points) {
        polar.gamma.emplace_back(std::pow(10.0, p.y / 20), 0.0);
        p.y = polar.gamma.back().x;
    }
    const BandwidthResult linear = TraceBandwidth(polar, 3, 80, 120);
    ASSERT_TRUE(linear.complete);
    EXPECT_NEAR(linear.low, 94, 1e-9);
    EXPECT_NEAR(linear.high, 106, 1e-9);
}

TEST(TraceSearchTest, BandwidthOfAResonance)
{
    // |H|^2 = 1 / (1 + (2 (f - f0) / B)^2) is half its peak at f0 +- B/2: centre 1000,
    // bandwidth 20, Q 50 at 10 log10(2) dB below the peak of -1 dB.
    const double f0 = 1000, bw = 20;
    std::vector<XY> points;
    for (int i = 0; i <= 16000; ++i) {
        const double f = 920 + 0.01 * i;
        const double u = 2 * (f - f0) / bw;
        points.emplace_back(f, -1 - 10 * std::log10(1 + u * u));
    }
    const BandwidthResult b = TraceBandwidth(XYTrace(points), 10 * std::log10(2.0), 900, 1100);
    ASSERT_TRUE(b.complete);
    EXPECT_NEAR(b.peak.x, f0, 1e-9);
    EXPECT_NEAR(b.peak.y, -1, 1e-12);
    EXPECT_NEAR(b.low, 990, 1e-4);
    EXPECT_NEAR(b.high, 1010, 1e-4);
    EXPECT_NEAR(b.center, 1000, 1e-4);
    EXPECT_NEAR(b.bandwidth, 20, 1e-4);
    EXPECT_NEAR(b.q, 50, 1e-3);
}

}  // namespace
