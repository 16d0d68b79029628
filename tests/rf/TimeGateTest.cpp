#include "rf/TimeGate.h"

#include "chart/ChartTrace.h"
#include "TimeSignals.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace TimeSignals;

TEST(TimeGateTest, ParsesSpansAndShapes)
{
    struct Row {
        const char* text;
        bool ok;
        double start, stop;
        bool notch;
    } rows[] = {
        {"1,2.5", true, 1, 2.5, false},       {"-0.5, 3 ,NOTCH", true, -0.5, 3, true},
        {"1e-1,2,notch", true, 0.1, 2, true}, {"2,1", false, 0, 0, false},
        {"1,1", false, 0, 0, false},          {"1", false, 0, 0, false},
        {"1,2,", false, 0, 0, false},         {"1,2,gate", false, 0, 0, false},
        {"1,2,notch,3", false, 0, 0, false},  {"nan,2", false, 0, 0, false},
        {"1,1e999", false, 0, 0, false},      {"1;2", false, 0, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        TimeGate gate;
        gate.shape = TimeGate::Shape::WIDE;
        ASSERT_EQ(TimeGate::Parse(row.text, gate), row.ok);
        EXPECT_EQ(gate.shape, TimeGate::Shape::WIDE);
        if (row.ok) {
            EXPECT_DOUBLE_EQ(gate.startNs, row.start);
            EXPECT_DOUBLE_EQ(gate.stopNs, row.stop);
            EXPECT_EQ(gate.notch, row.notch);
        }
    }
    TimeGate::Shape shape = TimeGate::Shape::NORMAL;
    for (const char* name : {"min", "normal", "wide", "max"}) {
        ASSERT_TRUE(TimeGate::ParseShape(name, shape));
        EXPECT_EQ(TimeGate::ShapeName(shape), name);
    }
    EXPECT_TRUE(TimeGate::ParseShape("MAX", shape));
    EXPECT_EQ(shape, TimeGate::Shape::MAX);
    EXPECT_FALSE(TimeGate::ParseShape("maximum", shape));
    EXPECT_FALSE(TimeGate::ParseShape("", shape));
}

// S11 = 0.5 e^{-jw 1ns} + 0.3 e^{-jw 4ns}: gating either echo leaves that echo alone, a notch
// around the second leaves the first, every shape, within 0.1 dB and 1 degree in the middle 60 %
// of the band, on a uniform grid and on an uneven one.
TEST(TimeGateTest, GatingLeavesWhatTheGateHolds)
{
    std::vector<double> uneven = Grid(10e6, 10e6, 1000);
    for (std::size_t i = 1; i + 1 < uneven.size(); ++i)
        uneven[i] += 3e6 * std::sin(0.37 * i);
    struct Row {
        const char* name;
        double start, stop;
        bool notch;
        double amplitude, delayNs;  // what is left
    } rows[] = {
        {"first echo", 0.5, 1.5, false, 0.5, 1.0},
        {"second echo", 3.5, 4.5, false, 0.3, 4.0},
        {"notch of the second", 3.5, 4.5, true, 0.5, 1.0},
    };
    for (const std::vector<double>& f : {Grid(10e6, 10e6, 1000), uneven}) {
        const auto s11 = Sampled(f, [](double x) { return Echo(x, 0.5, 1.0) + Echo(x, 0.3, 4.0); });
        const std::size_t m = f.size();
        for (const Row& row : rows) {
            for (auto shape : {TimeGate::Shape::MIN, TimeGate::Shape::NORMAL, TimeGate::Shape::WIDE,
                               TimeGate::Shape::MAX}) {
                SCOPED_TRACE(std::string(row.name) + " " + TimeGate::ShapeName(shape)
                             + (f[1] == 20e6 ? " uniform" : " uneven"));
                const TimeGate gate{row.start, row.stop, shape, row.notch};
                std::vector<Cx> gated;
                std::string why;
                ASSERT_TRUE(GateSeries(f, s11, gate, TimeWindow{}, gated, why)) << why;
                ASSERT_EQ(gated.size(), m);
                for (std::size_t i = m / 5; i < m - m / 5; ++i) {
                    const Cx ratio = gated[i] / Echo(f[i], row.amplitude, row.delayNs);
                    ASSERT_NEAR(20 * std::log10(std::abs(ratio)), 0.0, 0.1) << f[i];
                    ASSERT_NEAR(std::arg(ratio) * 180 / pi, 0.0, 1.0) << f[i];
                }
                for (const Cx& v : gated)
                    ASSERT_TRUE(std::isfinite(v.real()) && std::isfinite(v.imag()));
            }
        }
    }
}

// A Z file is gated as S: the copy says S and holds the gated S-parameters.
TEST(TimeGateTest, CopyOfAnImpedanceFileIsGatedAsS)
{
    CS2pData z;
    z.ResetRecords(2);
    z.freqUnit = CS2pData::MHZ;
    z.paramKind = CS2pData::Z;
    const std::vector<double> f = Grid(10e6, 10e6, 300);
    std::vector<Cx> s11(f.size());
    for (std::size_t i = 0; i < f.size(); ++i) {
        // A normalised impedance that wanders with frequency, and a plain coupling.
        const Cx z11 = Cx(1.0, 0.0) + 0.4 * Echo(f[i], 1.0, 2.0);
        const CComplex m[4] = {z11, {0.2, 0}, {0.2, 0}, {1.5, 0.1}};
        z.AppendRecord(f[i] / 1e6, m);
        CComplex s[4] = {m[0], m[1], m[2], m[3]};
        CS2pData::ConvertMatrixToS(s, 2, CS2pData::Z);
        s11[i] = s[0].ToStd();
    }
    TimeGate gate;
    ASSERT_TRUE(TimeGate::Parse("-1,3", gate));
    std::vector<Cx> expected;
    CS2pData copy;
    std::string why;
    ASSERT_TRUE(GateSeries(f, s11, gate, TimeWindow{}, expected, why)) << why;
    ASSERT_TRUE(GatedCopy(z, gate, TimeWindow{}, copy, why)) << why;
    EXPECT_EQ(copy.paramKind, CS2pData::S);
    ASSERT_EQ(copy.RecordCount(), f.size());
    for (std::size_t i = 0; i < f.size(); ++i) {
        EXPECT_DOUBLE_EQ(copy.FreqAt(i), z.FreqAt(i));
        EXPECT_NEAR(std::abs(copy.Element(i, 1, 1).ToStd() - expected[i]), 0.0, 1e-12);
    }
}

// Mixed-mode elements are linear in the single-ended ones at each frequency, so Sdd11 of the
// gated copy of a 4-port equals Sdd11 gated by itself; the copy of a file with a non-finite
// value is refused with the element named.
TEST(TimeGateTest, MixedModeOfTheCopyEqualsTheGatedMixedMode)
{
    CS2pData data;
    data.ResetRecords(4);
    data.freqUnit = CS2pData::GHZ;
    const std::vector<double> f = Grid(20e6, 20e6, 400);
    for (std::size_t i = 0; i < f.size(); ++i) {
        CComplex m[16];
        for (int k = 0; k < 16; ++k)
            m[k] = Echo(f[i], 0.05 * (k + 1), 0.3 * (k % 5) + 0.1 * (k / 4));
        data.AppendRecord(f[i] / 1e9, m);
    }
    const int sdd11 = ValueCode::MixedMode('d', 1, 'd', 1);
    const TimeGate gate{0.2, 0.9, TimeGate::Shape::NORMAL, false};
    std::string why;
    for (PortPairing pairing : {PortPairing::ACROSS, PortPairing::NEIGHBOURS}) {
        SCOPED_TRACE(MixedMode::PairingName(pairing));
        CChartTrace before;
        ASSERT_TRUE(data.BuildTrace(before, 1, sdd11, ValueFormat::POLAR, pairing));
        std::vector<Cx> series(f.size());
        for (std::size_t i = 0; i < f.size(); ++i)
            series[i] = {before.gamma[i].x, before.gamma[i].y};
        std::vector<Cx> expected;
        ASSERT_TRUE(GateSeries(f, series, gate, TimeWindow{}, expected, why)) << why;

        CS2pData copy;
        CChartTrace after;
        ASSERT_TRUE(GatedCopy(data, gate, TimeWindow{}, copy, why)) << why;
        ASSERT_TRUE(copy.BuildTrace(after, 1, sdd11, ValueFormat::POLAR, pairing));
        for (std::size_t i = 0; i < f.size(); ++i)
            ASSERT_NEAR(std::abs(Cx(after.gamma[i].x, after.gamma[i].y) - expected[i]), 0.0, 1e-12);
    }

    data.Matrix(7)[6] = CComplex(std::nan(""), 0.0);
    CS2pData copy;
    EXPECT_FALSE(GatedCopy(data, gate, TimeWindow{}, copy, why));
    EXPECT_NE(why.find("S23"), std::string::npos) << why;
}
