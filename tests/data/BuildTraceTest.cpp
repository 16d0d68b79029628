#include "chart/ChartTrace.h"
#include "data/S2pData.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>

namespace {

const double pi = std::acos(-1.0);

// A 2-port data set whose records hold the given S21 (and S11) at the given frequencies.
CS2pData TwoPort(const std::vector<double>& freqs, const std::vector<CComplex>& s21,
                 CComplex s11 = {0.1, 0})
{
    CS2pData data;
    data.ResetRecords(2);
    for (std::size_t i = 0; i < freqs.size(); ++i) {
        const CComplex s[4] = {s11, {}, s21[i], {}};
        data.AppendRecord(freqs[i], s);
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
    three.ResetRecords(3);
    for (int i = 0; i < 3; ++i)
        three.AppendRecord(i + 1.0);
    CS2pData four;
    four.ResetRecords(4);
    for (int i = 0; i < 3; ++i)
        four.AppendRecord(i + 1.0);

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
    ASSERT_TRUE(data.BuildTrace(trace, 3, 4, ValueFormat::COUNT));  // no such format: zeros
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
    data.freqUnit = CS2pData::GHZ;
    data.ConvertFreqUnit(CS2pData::MHZ);
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
    CS2pData data =
        TwoPort({1, 2, 2, 3}, {Polar(1, 0), Polar(1, -36), Polar(1, -50), Polar(1, -86)});
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
        {CS2pData::H,
         {0, 0},
         {0.5, 0},
         {0.5, 0},
         {0, 0},
         {-5.0 / 3, 0},
         {4.0 / 3, 0},
         {-4.0 / 3, 0},
         {5.0 / 3, 0}},
        // Y of a matched load: normalised admittance 1 gives no reflection.
        {CS2pData::Y, {1, 0}, {0, 0}, {0, 0}, {1, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}},
        // A series normalised impedance of 1: G = H^-1 with H = (1, 1; -1, 0).
        {CS2pData::G,
         {0, 0},
         {-1, 0},
         {1, 0},
         {1, 0},
         {1.0 / 3, 0},
         {2.0 / 3, 0},
         {2.0 / 3, 0},
         {1.0 / 3, 0}},
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
    // X11 = X22 = -1 and nothing else makes D zero for every kind but S.
    for (int kind : {CS2pData::Z, CS2pData::Y, CS2pData::H, CS2pData::G}) {
        SCOPED_TRACE(testing::Message() << "kind " << kind);
        CS2pData::DataLine line;
        line.s[0] = {-1, 0};
        line.s[3] = {-1, 0};
        const CS2pData::DataLine s = CS2pData::ConvertToS(line, kind);
        for (const CComplex& z : s.s) {
            EXPECT_TRUE(std::isnan(z.re));
            EXPECT_TRUE(std::isnan(z.im));
        }
    }
    CS2pData::DataLineS3P line;  // z = -I: z + I is singular
    for (int k : {0, 4, 8})
        line.s[k] = {-1, 0};
    for (const CComplex& z : CS2pData::ConvertToS(line, CS2pData::Z).s)
        EXPECT_TRUE(std::isnan(z.re) && std::isnan(z.im));
}

TEST(ConvertToS, GOfANetworkIsItsHInverted)
{
    using Cx = std::complex<double>;
    const Cx h11(0.3, 0.2), h12(0.7, -0.1), h21(-1.2, 0.4), h22(0.05, 0.3);
    const Cx det = h11 * h22 - h12 * h21;
    CS2pData::DataLine h;
    h.s[0] = h11;
    h.s[1] = h12;
    h.s[2] = h21;
    h.s[3] = h22;
    CS2pData::DataLine g;
    g.s[0] = h22 / det;
    g.s[1] = -h12 / det;
    g.s[2] = -h21 / det;
    g.s[3] = h11 / det;
    const CS2pData::DataLine fromH = CS2pData::ConvertToS(h, CS2pData::H);
    const CS2pData::DataLine fromG = CS2pData::ConvertToS(g, CS2pData::G);
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(fromG.s[k].re, fromH.s[k].re, 1e-12) << "element " << k;
        EXPECT_NEAR(fromG.s[k].im, fromH.s[k].im, 1e-12) << "element " << k;
    }
}

// Z and Y files made from a known S read back as that S. The file's matrix is made the
// other way round, z = (I + S)(I - S)^-1 and y = (I - S)(I + S)^-1, with the inverse
// summed as a power series (S is small), not solved as the reader does.
TEST(BuildTrace, ZAndYFilesOfEveryPortCountGiveTheirS)
{
    using Cx = std::complex<double>;
    using Matrix = std::vector<Cx>;
    TempDir dir;
    for (int n = 2; n <= 4; ++n) {
        const auto product = [n](const Matrix& a, const Matrix& b) {
            Matrix c(n * n);
            for (int r = 0; r < n; ++r)
                for (int k = 0; k < n; ++k)
                    for (int j = 0; j < n; ++j)
                        c[r * n + j] += a[r * n + k] * b[k * n + j];
            return c;
        };
        Matrix s(n * n);
        Matrix identity(n * n);
        for (int r = 0; r < n; ++r) {
            identity[r * n + r] = 1.0;
            for (int c = 0; c < n; ++c) {  // not symmetric, so a transposition shows
                const double deg = 30.0 * r - 17.0 * c + 5;
                s[r * n + c] = std::polar(0.04 * (1 + r + 0.5 * c), deg * pi / 180);
            }
        }
        for (int kind : {CS2pData::Z, CS2pData::Y}) {
            const double sign = kind == CS2pData::Z ? 1.0 : -1.0;
            // (I - sign S)^-1 = sum of (sign S)^k.
            Matrix inverse = identity;
            Matrix power = identity;
            for (int k = 1; k < 200; ++k) {
                power = product(power, s);
                for (int e = 0; e < n * n; ++e)
                    inverse[e] += std::pow(sign, k) * power[e];
            }
            Matrix numerator(n * n);
            for (int e = 0; e < n * n; ++e)
                numerator[e] = identity[e] + sign * s[e];
            const Matrix x = product(numerator, inverse);

            const char* letter = kind == CS2pData::Z ? "Z" : "Y";
            SCOPED_TRACE(testing::Message() << n << "-port " << letter);
            std::string text = std::string("# GHz ") + letter + " RI R 50\n";
            for (int f = 1; f <= 3; ++f) {
                text += std::to_string(f);
                for (int r = 0; r < n; ++r) {
                    for (int c = 0; c < n; ++c) {
                        // A 2-port file lists N21 before N12.
                        const Cx v = n == 2 ? x[c * n + r] : x[r * n + c];
                        char pair[64];
                        std::snprintf(pair, sizeof pair, " %.17g %.17g", v.real(), v.imag());
                        text += pair;
                    }
                    if (n > 2 || r == n - 1)  // a 2-port record stands on one line
                        text += "\n";
                }
            }
            CS2pData data;
            ASSERT_EQ(data.Load(dir.Write("x.s" + std::to_string(n) + "p", text)), 0);
            ASSERT_EQ(data.paramKind, kind);
            CChartTrace trace;
            for (int r = 0; r < n; ++r)
                for (int c = 0; c < n; ++c) {
                    const int value = r * 4 + c;
                    ASSERT_TRUE(data.BuildTrace(trace, 1, value, 4));
                    EXPECT_NEAR(trace.points[2].y, s[r * n + c].real(), 1e-12) << trace.name;
                    ASSERT_TRUE(data.BuildTrace(trace, 1, value, 5));
                    EXPECT_NEAR(trace.points[2].y, s[r * n + c].imag(), 1e-12) << trace.name;
                }
        }
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

// Reflections built from known loads, so every format is checked against the load it came
// from: Gamma = (Z - Z0) / (Z + Z0).
TEST(BuildTrace, RectangularFormatsOfKnownLoads)
{
    using Cx = std::complex<double>;
    const auto gammaOf = [](Cx z, double z0) { return (z - z0) / (z + z0); };
    // Port 1 sees 30 + j40 ohms at 50 (|Gamma| = 0.5), port 2 150 ohms at 75 (1/3).
    const Cx g1 = gammaOf({30, 40}, 50);
    const Cx g2 = gammaOf({150, 0}, 75);
    const Cx t(0.6, -0.3);
    CS2pData data;
    data.ResetRecords(2);
    for (int f = 1; f <= 3; ++f) {
        const CComplex s[4] = {g1, t, t, g2};
        data.AppendRecord(f, s);
    }
    data.refImpedances = {50, 75};

    struct Row {
        int value;
        int format;
        double y;
        const char* name;
    };
    const Row rows[] = {
        {0, ValueFormat::LIN_MAG, 0.5, "S11(mag)(1)"},
        {0, ValueFormat::VSWR, 3.0, "S11[VSWR](1)"},
        {5, ValueFormat::VSWR, 2.0, "S22[VSWR](1)"},
        {0, ValueFormat::RESISTANCE, 30.0, "S11[R](1)"},
        {0, ValueFormat::REACTANCE, 40.0, "S11[X](1)"},
        {0, ValueFormat::IMPEDANCE, 50.0, "S11[|Z|](1)"},
        {5, ValueFormat::RESISTANCE, 150.0, "S22[R](1)"},  // port 2's own reference
        {5, ValueFormat::REACTANCE, 0.0, "S22[X](1)"},
        {4, ValueFormat::REAL, 0.6, "S21(re)(1)"},
        {4, ValueFormat::IMAG, -0.3, "S21(im)(1)"},
        {4, ValueFormat::VSWR, (1 + std::abs(t)) / (1 - std::abs(t)), "S21[VSWR](1)"},
    };
    CChartTrace trace;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(data.BuildTrace(trace, 1, row.value, row.format));
        EXPECT_EQ(trace.name, row.name);
        ASSERT_EQ(trace.points.size(), 3u);
        EXPECT_NEAR(trace.points[1].y, row.y, 1e-9);
        EXPECT_TRUE(trace.gamma.empty());
    }

    // Impedances exist for reflections only; the trace stays as it was.
    trace.name = "untouched";
    for (int format : {ValueFormat::RESISTANCE, ValueFormat::REACTANCE, ValueFormat::IMPEDANCE,
                       ValueFormat::SMITH}) {
        EXPECT_FALSE(data.BuildTrace(trace, 1, 4, format)) << format;
        EXPECT_FALSE(data.BuildTrace(trace, 1, 20, format)) << format;  // raw X11
    }
    EXPECT_EQ(trace.name, "untouched");

    // A total reflection has no finite VSWR, and an open no finite impedance.
    CS2pData open = TwoPort({1, 2, 3}, {{0, 0}, {0, 0}, {0, 0}}, {1, 0});
    ASSERT_TRUE(open.BuildTrace(trace, 1, 0, ValueFormat::VSWR));
    EXPECT_TRUE(std::isinf(trace.points[0].y));
    ASSERT_TRUE(open.BuildTrace(trace, 1, 0, ValueFormat::RESISTANCE));
    EXPECT_TRUE(std::isnan(trace.points[0].y));
}

TEST(BuildTrace, ComplexTracesCarryTheElementInFrequencyOrder)
{
    // Records out of order: gamma has to follow the points as they are sorted.
    const double freqs[] = {3, 1, 2};
    CS2pData data;
    data.ResetRecords(2);
    for (double f : freqs) {
        const CComplex s[4] = {{0.1 * f, -0.2}, {0.5, 0}, {0.3, 0.4 * f}, {0, 0.05 * f}};
        data.AppendRecord(f, s);
    }
    data.refImpedances = {50, 75};
    struct Row {
        int value;
        int format;
        double z0;
        const char* name;
    };
    const Row rows[] = {
        {0, ValueFormat::SMITH, 50.0, "S11(2)"},
        {5, ValueFormat::SMITH, 75.0, "S22(2)"},
        {4, ValueFormat::POLAR, 75.0, "S21(2)"},  // a transmission: the output port's
    };
    CChartTrace trace;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(data.BuildTrace(trace, 2, row.value, row.format));
        EXPECT_EQ(trace.name, row.name);
        EXPECT_EQ(trace.refImpedance, row.z0);
        ASSERT_EQ(trace.points.size(), 3u);
        ASSERT_EQ(trace.gamma.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            const double f = trace.points[i].x;
            EXPECT_EQ(f, i + 1.0);
            std::size_t k = 0;
            while (freqs[k] != f)
                ++k;
            const CComplex z = data.Matrix(k)[row.value == 0 ? 0 : row.value == 5 ? 3 : 2];
            EXPECT_EQ(trace.gamma[i].x, z.re);
            EXPECT_EQ(trace.gamma[i].y, z.im);
            EXPECT_DOUBLE_EQ(trace.points[i].y, std::hypot(z.re, z.im));
        }
    }
    // The same trace used for a rectangular format loses its complex values.
    ASSERT_TRUE(data.BuildTrace(trace, 2, 0, ValueFormat::DB));
    EXPECT_TRUE(trace.gamma.empty());
}

TEST(BuildTrace, FormatTitlesAndReflectionNeeds)
{
    EXPECT_EQ(ValueFormat::AxisTitle(ValueFormat::DB), "LogMag[dB]");
    EXPECT_EQ(ValueFormat::AxisTitle(ValueFormat::IMPEDANCE), "|Z|[ohm]");
    EXPECT_EQ(ValueFormat::AxisTitle(ValueFormat::COUNT), "");
    int reflectionOnly = 0;
    for (int f = 0; f < ValueFormat::COUNT; ++f) {
        EXPECT_FALSE(ValueFormat::AxisTitle(f).empty()) << f;
        reflectionOnly += ValueFormat::NeedsReflection(f) ? 1 : 0;
    }
    EXPECT_EQ(reflectionOnly, 5);  // R, X, |Z|, Smith and TDR
    EXPECT_TRUE(ValueCode::IsReflection(ValueCode::Element(12, 12)));
    EXPECT_FALSE(ValueCode::IsReflection(ValueCode::Element(12, 2)));
    EXPECT_TRUE(ValueCode::IsReflection(ValueCode::Parse("Scc22")));
    EXPECT_FALSE(ValueCode::IsReflection(ValueCode::Parse("Sdc11")));
    EXPECT_FALSE(ValueCode::IsReflection(ValueCode::Parse("Sdd12")));
    EXPECT_FALSE(ValueCode::IsReflection(ValueCode::RETURN_LOSS));
}

}  // namespace
