#include "rf/TimeTrace.h"

#include "TimeSignals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace TimeSignals;

namespace {

// x of sample i of an evenly spaced trace.
double XAt(const CChartTrace& t, std::size_t i)
{
    return t.xMin
        + (t.xMax - t.xMin) * static_cast<double>(i) / static_cast<double>(t.values.size() - 1);
}

std::size_t Peak(const CChartTrace& t)
{
    return static_cast<std::size_t>(std::max_element(t.values.begin(), t.values.end())
                                    - t.values.begin());
}

// A line's profile with a round trip of 1 ns: zLine from 0.3 to 0.7 ns, z0 before -0.3 ns and
// after 1.3 ns, away from the edges the window rounds.
void ExpectLineProfile(const CChartTrace& t, double zLine, double z0, double tolerance)
{
    for (std::size_t i = 0; i < t.values.size(); ++i) {
        const double x = XAt(t, i);
        const bool onLine = x > 0.3 && x < 0.7;
        if (onLine || x > 1.3 || x < -0.3) {
            EXPECT_NEAR(t.values[i], onLine ? zLine : z0, tolerance) << x;
        }
    }
}

// A file of the port count whose records hold what fill(f in Hz, matrix) puts there; MHz.
template <class F>
CS2pData File(int ports, const std::vector<double>& freqHz, F fill)
{
    CS2pData data;
    data.ResetRecords(ports);
    data.freqUnit = CS2pData::MHZ;
    for (double f : freqHz) {
        std::vector<CComplex> m(static_cast<std::size_t>(ports * ports));
        fill(f, m.data());
        data.AppendRecord(f / 1e6, m.data());
    }
    return data;
}

}  // namespace

// A 1-port file of a 75 ohm line reads 75 ohm, then 50, whether it holds S, or Z or Y (which
// are converted first); it has no S21.
TEST(TimeTraceTest, OnePortFileGivesItsImpedanceProfile)
{
    const std::vector<double> f = Grid(10e6, 10e6, 1000);
    for (int kind : {CS2pData::S, CS2pData::Z, CS2pData::Y}) {
        SCOPED_TRACE(CS2pData::ParamLetter(kind));
        CS2pData data = File(1, f, [kind](double fHz, CComplex* m) {
            const Cx s = LineReflection(fHz, 75, 50, 1.0);
            const Cx z = (1.0 + s) / (1.0 - s);  // normalised
            m[0] = kind == CS2pData::S ? s : (kind == CS2pData::Z ? z : 1.0 / z);
        });
        data.paramKind = static_cast<CS2pData::ParamKind>(kind);
        CChartTrace trace;
        bool resampled = true;
        std::string why;
        ASSERT_TRUE(BuildTimeTrace(data, 1, 0, TimeMode::TDR, {}, PortPairing::ACROSS, trace,
                                   resampled, why))
            << why;
        EXPECT_FALSE(resampled);
        EXPECT_EQ(trace.name, "S11[TDR ohm](1)");
        EXPECT_EQ(trace.numberFormat, "%.2f");
        EXPECT_FALSE(trace.isXY);
        EXPECT_DOUBLE_EQ(trace.refImpedance, 50.0);
        EXPECT_NEAR(trace.xMin, -50.0, 0.1);  // ns: +-1 / (2 df)
        EXPECT_NEAR(trace.xMax, 50.0, 0.1);
        ExpectLineProfile(trace, 75.0, 50.0, 2.0);

        trace.name = "untouched";
        EXPECT_FALSE(BuildTimeTrace(data, 1, ValueCode::Element(2, 1), TimeMode::IMPULSE, {},
                                    PortPairing::ACROSS, trace, resampled, why));
        EXPECT_EQ(why, "the file has no element S21");
        EXPECT_EQ(trace.name, "untouched");
    }
}

// Names in every mode; what is refused before any transform.
TEST(TimeTraceTest, NamesAndRefusals)
{
    const std::vector<double> f = Grid(10e6, 10e6, 200);
    const CS2pData data = File(2, f, [](double fHz, CComplex* m) {
        m[0] = Echo(fHz, 0.2, 0.5);
        m[2] = Echo(fHz, 0.9, 1.0);
    });
    const int s21 = ValueCode::Element(2, 1);
    struct Row {
        int code;
        TimeMode mode;
        int fileNumber;
        TimeTraceOptions options;
        const char* name;  // empty: refused
    } rows[] = {
        {s21, TimeMode::IMPULSE, 2, {}, "S21[impulse](2)"},
        {s21, TimeMode::STEP, 2, {}, "S21[step](2)"},
        {s21, TimeMode::BANDPASS, -1, {}, "S21[bandpass]"},
        {0, TimeMode::TDR, 3, {}, "S11[TDR ohm](3)"},
        {s21, TimeMode::TDR, 1, {}, ""},
        {ValueCode::INSERTION_LOSS, TimeMode::IMPULSE, 1, {}, ""},
        {s21, TimeMode::IMPULSE, 1, {TimeWindow{}, std::nullopt, 0.0}, ""},
        {s21, TimeMode::IMPULSE, 1, {TimeWindow{}, std::nullopt, 1.01}, ""},
        {s21, TimeMode::IMPULSE, 1, {TimeWindow{}, TimeTraceOptions::Range{100, 200}, {}}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(TimeTraceName(row.fileNumber, row.code, row.mode));
        CChartTrace trace;
        bool resampled = false;
        std::string why;
        const bool built = BuildTimeTrace(data, row.fileNumber, row.code, row.mode, row.options,
                                          PortPairing::ACROSS, trace, resampled, why);
        ASSERT_EQ(built, *row.name != '\0') << why;
        if (built)
            EXPECT_EQ(trace.name, row.name);
        else
            EXPECT_FALSE(why.empty());
    }
}

// A distance axis is one way: a reflection's round trip is halved, a transmission's delay is
// not; a time range keeps the samples within it.
TEST(TimeTraceTest, DistanceAxisAndTimeRange)
{
    const std::vector<double> f = Grid(10e6, 10e6, 1000);
    const CS2pData data = File(2, f, [](double fHz, CComplex* m) {
        m[0] = -Echo(fHz, 1.0, 2.0);  // a short 2 ns away and back
        m[2] = Echo(fHz, 1.0, 3.0);   // a line of 3 ns
    });
    TimeTraceOptions options;
    options.velocityFactor = 0.66;
    options.range = TimeTraceOptions::Range{-1.0, 10.0};
    const double metresPerNs = 0.66 * SPEED_OF_LIGHT * 1e-9;
    struct Row {
        int code;
        double peakMetres;
    } rows[] = {{0, metresPerNs * 2.0 / 2}, {ValueCode::Element(2, 1), metresPerNs * 3.0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        CChartTrace trace;
        bool resampled = false;
        std::string why;
        ASSERT_TRUE(BuildTimeTrace(data, 1, row.code, TimeMode::BANDPASS, options,
                                   PortPairing::ACROSS, trace, resampled, why))
            << why;
        const double perNs = ReturnsToItsPort(row.code) ? metresPerNs / 2 : metresPerNs;
        EXPECT_GE(trace.xMin, -1.0 * perNs - 1e-9);
        EXPECT_LT(trace.xMin, -1.0 * perNs + 0.05 * perNs);
        EXPECT_LE(trace.xMax, 10.0 * perNs + 1e-9);
        EXPECT_GT(trace.xMax, 10.0 * perNs - 0.05 * perNs);
        EXPECT_NEAR(XAt(trace, Peak(trace)), row.peakMetres, 0.05 * perNs);
    }
}

// Sdd11 of a 4-port whose pairs (1,3) and (2,4) see a 150 ohm line in their 100 ohm
// differential reference: its profile reads 150 ohm, then 100, taken from the single-ended
// elements S11 = S33 = G/2, S13 = S31 = -G/2.
TEST(TimeTraceTest, MixedModeReflectionUsesTheModesReference)
{
    const std::vector<double> f = Grid(10e6, 10e6, 1000);
    const CS2pData data = File(4, f, [](double fHz, CComplex* m) {
        const Cx g = LineReflection(fHz, 150, 100, 1.0);
        m[0] = m[10] = 0.5 * g;
        m[2] = m[8] = -0.5 * g;
    });
    const int sdd11 = ValueCode::MixedMode('d', 1, 'd', 1);
    CChartTrace trace;
    bool resampled = false;
    std::string why;
    ASSERT_TRUE(BuildTimeTrace(data, 1, sdd11, TimeMode::TDR, {}, PortPairing::ACROSS, trace,
                               resampled, why))
        << why;
    EXPECT_EQ(trace.name, "Sdd11[TDR ohm](1)");
    EXPECT_DOUBLE_EQ(trace.refImpedance, 100.0);
    ExpectLineProfile(trace, 150.0, 100.0, 3.0);
}
