#include "chart/ChartTrace.h"
#include "data/S2pData.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double pi = std::acos(-1.0);

// A 2-port data set whose records hold the given S21 (and S11) at the given frequencies.
CS2pData TwoPort(const std::vector<double>& freqs, const std::vector<CComplex>& s21,
                 CComplex s11 = {0.1, 0})
{
    CS2pData data;
    data.portKind = CS2pData::TWO_PORT;
    for (std::size_t i = 0; i < freqs.size(); ++i) {
        CS2pData::DataLine line;
        line.freq = freqs[i];
        line.s[0] = s11;
        line.s[2] = s21[i];
        data.lines2.push_back(line);
    }
    return data;
}

CComplex Polar(double mag, double deg)
{
    return {mag * std::cos(deg * pi / 180), mag * std::sin(deg * pi / 180)};
}

TEST(BuildTrace, AvailabilityByPortCount)
{
    CS2pData two = TwoPort({1, 2, 3}, {Polar(1, 0), Polar(1, 0), Polar(1, 0)});
    CS2pData three;
    three.portKind = CS2pData::THREE_PORT;
    three.lines3.resize(3);
    CS2pData four;
    four.portKind = CS2pData::FOUR_PORT;
    four.lines4.resize(3);

    CChartTrace trace;
    trace.name = "untouched";
    ResetTraceColors();
    EXPECT_FALSE(two.BuildTrace(trace, 1, 2, 0));    // S13 of a 2-port file
    EXPECT_FALSE(three.BuildTrace(trace, 1, 3, 0));  // S14 of a 3-port file
    EXPECT_FALSE(four.BuildTrace(trace, 1, 22, 0));
    EXPECT_FALSE(four.BuildTrace(trace, 1, -1, 0));
    EXPECT_EQ(trace.name, "untouched");
    EXPECT_EQ(NextTraceColor(), Rgb(255, 64, 64));  // the palette did not move
    for (const CS2pData* d : {&two, &three, &four})
        EXPECT_TRUE(d->BuildTrace(trace, 1, 16, 0));
    EXPECT_TRUE(three.BuildTrace(trace, 1, 10, 0));
    EXPECT_TRUE(four.BuildTrace(trace, 1, 15, 2));
}

TEST(BuildTrace, LossesArePositiveAndNamedWithoutUnit)
{
    CS2pData data = TwoPort({1, 2, 3}, {Polar(0.5, 10), Polar(0.5, 20), Polar(0.5, 30)});
    CChartTrace trace;
    ASSERT_TRUE(data.BuildTrace(trace, 1, 16, 1));  // the format is forced to dB
    EXPECT_EQ(trace.name, "IL[dB](1)");
    EXPECT_NEAR(trace.points[0].y, 6.0206, 1e-4);
    ASSERT_TRUE(data.BuildTrace(trace, 2, 17, 0));
    EXPECT_EQ(trace.name, "RL[dB](2)");
    EXPECT_NEAR(trace.points[1].y, 20.0, 1e-9);
}

TEST(BuildTrace, FormatsNamesAndPalette)
{
    CS2pData data = TwoPort({1, 2, 3}, {{0, -1}, {-1, 0}, {3, 4}});
    CChartTrace trace;
    ResetTraceColors();
    ASSERT_TRUE(data.BuildTrace(trace, 1, 4, 1));
    EXPECT_EQ(trace.name, "S21[deg](1)");
    EXPECT_DOUBLE_EQ(trace.points[0].y, -90.0);
    EXPECT_DOUBLE_EQ(trace.points[1].y, 180.0);
    EXPECT_EQ(trace.color, Rgb(255, 64, 64));
    ASSERT_TRUE(data.BuildTrace(trace, -1, 4, 3));
    EXPECT_EQ(trace.name, "S21(mag)");
    EXPECT_DOUBLE_EQ(trace.points[2].y, 5.0);
    EXPECT_EQ(trace.color, Rgb(0, 127, 255));
    ASSERT_TRUE(data.BuildTrace(trace, 3, 4, 4));
    EXPECT_EQ(trace.name, "S21(re)(3)");
    EXPECT_DOUBLE_EQ(trace.points[2].y, 3.0);
    ASSERT_TRUE(data.BuildTrace(trace, 3, 4, 5));
    EXPECT_DOUBLE_EQ(trace.points[2].y, 4.0);
    ASSERT_TRUE(data.BuildTrace(trace, 3, 4, 9));
    EXPECT_EQ(trace.name, "S21(3)");
    EXPECT_DOUBLE_EQ(trace.points[2].y, 0.0);
    ASSERT_TRUE(data.BuildTrace(trace, 1, 0, 0));
    EXPECT_EQ(trace.name, "S11[dB](1)");
    EXPECT_NEAR(trace.points[0].y, -20.0, 1e-12);
    EXPECT_TRUE(trace.isXY);
    EXPECT_EQ(trace.points[2].x, 3.0);
}

TEST(BuildTrace, ZeroElementGivesMinus300DbAndZeroPhase)
{
    CS2pData data = TwoPort({1, 2, 3}, {{0, 0}, {0, 0}, {0, 0}});
    CChartTrace trace;
    ASSERT_TRUE(data.BuildTrace(trace, 1, 4, 0));
    EXPECT_EQ(trace.points[0].y, -300.0);
    ASSERT_TRUE(data.BuildTrace(trace, 1, 4, 1));
    EXPECT_EQ(trace.points[0].y, 0.0);
}

TEST(BuildTrace, GroupDelayOfALinearPhaseIsConstant)
{
    // -36 degrees per 0.1 GHz is 1 ns, across the wrap at -180 degrees.
    std::vector<double> f;
    std::vector<CComplex> s21;
    for (int i = 0; i < 20; ++i) {
        f.push_back(1.0 + 0.1 * i);
        s21.push_back(Polar(1, -36.0 * i));
    }
    CS2pData data = TwoPort(f, s21);
    data.freqUnit = CS2pData::GHZ;
    CChartTrace trace;
    ASSERT_TRUE(data.BuildTrace(trace, 1, 4, 2));
    EXPECT_EQ(trace.name, "S21[ns](1)");
    for (const auto& p : trace.points)
        EXPECT_NEAR(p.y, 1.0, 1e-9) << "at " << p.x;

    // The same phase against MHz frequencies: 100 MHz steps.
    for (auto& line : data.lines2)
        line.freq *= 1000;
    data.freqUnit = CS2pData::MHZ;
    ASSERT_TRUE(data.BuildTrace(trace, 1, 4, 2));
    EXPECT_NEAR(trace.points[5].y, 1.0, 1e-9);
}

TEST(BuildTrace, UnwrapsAJumpBetweenTheFirstRecords)
{
    // 170, -170, -150 degrees unwrap to 170, 190, 210: a rising phase, negative delay.
    CS2pData data = TwoPort({1, 2, 3}, {Polar(1, 170), Polar(1, -170), Polar(1, -150)});
    CChartTrace trace;
    ASSERT_TRUE(data.BuildTrace(trace, 1, 4, 2));
    const double expected = -20.0 / 360.0;  // ns for 20 degrees per GHz
    for (const auto& p : trace.points)
        EXPECT_NEAR(p.y, expected, 1e-12);
}

TEST(BuildTrace, RepeatedFrequencyRepeatsThePreviousDelay)
{
    CS2pData data = TwoPort({1, 2, 2, 3}, {Polar(1, 0), Polar(1, -36), Polar(1, -50), Polar(1, -86)});
    data.freqUnit = CS2pData::GHZ;
    CChartTrace trace;
    ASSERT_TRUE(data.BuildTrace(trace, 1, 4, 2));
    ASSERT_EQ(trace.points.size(), 4u);
    for (const auto& p : trace.points)
        EXPECT_TRUE(std::isfinite(p.y));
    EXPECT_NEAR(trace.points[2].y, trace.points[1].y, 1e-12);

    CS2pData first = TwoPort({1, 1, 2}, {Polar(1, 0), Polar(1, -10), Polar(1, -46)});
    ASSERT_TRUE(first.BuildTrace(trace, 1, 4, 2));
    EXPECT_EQ(trace.points[0].y, 0.0);  // no delay before the repeated frequency
    EXPECT_EQ(trace.points[1].y, 0.0);
    EXPECT_TRUE(std::isfinite(trace.points[2].y));
}

TEST(ConvertToS, TableOfParameterKinds)
{
    struct Case {
        int kind;
        CComplex x11, x12, x21, x22;
        CComplex s11, s12, s21, s22;
    };
    const Case cases[] = {
        // A matched termination in normalised impedance form.
        {CS2pData::Z, {1, 0}, {0, 0}, {0, 0}, {1, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}},
        // A short circuit at port 1.
        {CS2pData::Z, {0, 0}, {0, 0}, {0, 0}, {1, 0}, {-1, 0}, {0, 0}, {0, 0}, {0, 0}},
        {CS2pData::H, {0, 0}, {0.5, 0}, {0.5, 0}, {0, 0}, {-5.0 / 3, 0}, {4.0 / 3, 0}, {-4.0 / 3, 0}, {5.0 / 3, 0}},
        // Y of a matched load: normalised admittance 1 gives no reflection.
        {CS2pData::Y, {1, 0}, {0, 0}, {0, 0}, {1, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}},
        // A through line in T form: T11 = 1, T22 = 1.
        {CS2pData::G, {1, 0}, {0, 0}, {0, 0}, {1, 0}, {0, 0}, {1, 0}, {1, 0}, {0, 0}},
        {CS2pData::S, {1, 2}, {3, 4}, {5, 6}, {7, 8}, {1, 2}, {3, 4}, {5, 6}, {7, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind);
        CS2pData::DataLine line;
        line.freq = 2.5;
        line.s[0] = c.x11;
        line.s[1] = c.x12;
        line.s[2] = c.x21;
        line.s[3] = c.x22;
        const CS2pData::DataLine s = CS2pData::ConvertToS(line, c.kind);
        EXPECT_EQ(s.freq, 2.5);
        const CComplex expected[4] = {c.s11, c.s12, c.s21, c.s22};
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(s.s[k].re, expected[k].re, 1e-12) << "element " << k;
            EXPECT_NEAR(s.s[k].im, expected[k].im, 1e-12) << "element " << k;
        }
    }
}

TEST(ConvertToS, ZeroDenominatorGivesNaN)
{
    CS2pData::DataLine line;  // all zero: T11 = 0
    const CS2pData::DataLine s = CS2pData::ConvertToS(line, CS2pData::G);
    for (const CComplex& z : s.s) {
        EXPECT_TRUE(std::isnan(z.re));
        EXPECT_TRUE(std::isnan(z.im));
    }
}

TEST(BuildTrace, RawParametersAreNotConverted)
{
    CS2pData data = TwoPort({1, 2, 3}, {{0.25, 0}, {0.5, 0}, {0.75, 0}});
    data.paramKind = CS2pData::Y;
    CChartTrace trace;
    ASSERT_TRUE(data.BuildTrace(trace, 2, 18, 4));
    EXPECT_EQ(trace.name, "Y21(re)(2)");
    EXPECT_DOUBLE_EQ(trace.points[1].y, 0.5);
    // S21 of the same file is converted: -2 Y21 / D with Y11 = 0.1, Y22 = 0, Y12 = 0.
    ASSERT_TRUE(data.BuildTrace(trace, 2, 4, 4));
    EXPECT_NEAR(trace.points[1].y, -2 * 0.5 / 1.1, 1e-12);
}

}  // namespace
