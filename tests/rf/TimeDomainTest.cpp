#include "rf/TimeDomain.h"

#include "rf/TimeGate.h"

#include "TimeSignals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace TimeSignals;

namespace {

// Index of the largest value.
std::size_t Peak(const std::vector<double>& v)
{
    return static_cast<std::size_t>(std::max_element(v.begin(), v.end()) - v.begin());
}

// The values whose times lie in [fromNs, toNs].
std::vector<double> Between(const TimeResponse& r, double fromNs, double toNs)
{
    std::vector<double> kept;
    for (std::size_t i = 0; i < r.values.size(); ++i)
        if (r.TimeAt(i) >= fromNs && r.TimeAt(i) <= toNs)
            kept.push_back(r.values[i]);
    return kept;
}

}  // namespace

// Both transforms against the sums they stand for, computed term by term: the low-pass from
// DC with its conjugate half, the band-pass over the file's own bins (an even and an odd count,
// for the middle sample of fftshift; lengths of small factors and of a large prime, 103 and 101,
// which take another way).
TEST(TimeDomainTest, TransformsEqualDirectSums)
{
    const double df = 50e6;
    for (std::size_t m : {6u, 7u, 52u, 101u}) {
        SCOPED_TRACE(m);
        const std::vector<double> f = Grid(0.0, df, m);
        std::vector<Cx> s(m);
        for (std::size_t k = 0; k < m; ++k)
            s[k] = Cx(std::cos(0.7 * k) / (1.0 + k), std::sin(1.3 * k) * 0.4);
        s[0] = Cx(0.3, 0.0);
        const TimeWindow window;  // Kaiser 6

        TimeResponse low;
        std::string why;
        ASSERT_TRUE(TimeTransform(f, s, TimeMode::IMPULSE, window, 50, low, why)) << why;
        const std::size_t n = 2 * m - 1;
        ASSERT_EQ(low.values.size(), n);
        EXPECT_FALSE(low.resampled);
        EXPECT_NEAR(low.stepNs, 1e9 / (n * df), 1e-12);
        const std::vector<double> w = window.RightHalf(m);
        for (std::size_t i = 0; i < n; ++i) {
            const double t = (static_cast<double>(i) - (n - 1) / 2.0) / (n * df);
            EXPECT_NEAR(low.TimeAt(i), t * 1e9, 1e-9);
            double sum = w[0] * s[0].real();
            for (std::size_t k = 1; k < m; ++k)
                sum += 2.0 * (w[k] * s[k] * std::polar(1.0, 2 * pi * k * df * t)).real();
            EXPECT_NEAR(low.values[i], sum / n, 1e-12) << i;
        }

        TimeResponse band;
        ASSERT_TRUE(TimeTransform(f, s, TimeMode::BANDPASS, window, 50, band, why)) << why;
        ASSERT_EQ(band.values.size(), m);
        const std::vector<double> wb = window.Symmetric(m);
        for (std::size_t i = 0; i < m; ++i) {
            const double shift = static_cast<double>(i) - static_cast<double>(m / 2);
            EXPECT_NEAR(band.TimeAt(i), shift / (m * df) * 1e9, 1e-9);
            Cx sum = 0;
            for (std::size_t k = 0; k < m; ++k)
                sum += wb[k] * s[k] * std::polar(1.0, 2 * pi * k * shift / m);
            EXPECT_NEAR(band.values[i], std::abs(sum) / m, 1e-12) << i;
        }
    }
}

// A 75 ohm line between 50 ohm ports reads 75 ohm until its round trip (1 ns) and 50 after,
// whether the file starts on the harmonic grid, off it, or on no uniform grid at all.
TEST(TimeDomainTest, LineReadsItsImpedanceOnEveryGrid)
{
    std::vector<double> uneven = Grid(10e6, 10e6, 1000);
    for (std::size_t i = 1; i + 1 < uneven.size(); ++i)
        uneven[i] += 3e6 * std::sin(0.37 * i);  // within a third of a step
    struct Row {
        const char* name;
        std::vector<double> freqHz;
        bool resampled;
    } rows[] = {
        {"harmonic", Grid(10e6, 10e6, 1000), false},
        {"from DC", Grid(0.0, 10e6, 1001), false},
        {"off the harmonic grid", Grid(15e6, 10e6, 1000), true},
        {"uneven", uneven, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto s11 =
            Sampled(row.freqHz, [](double f) { return LineReflection(f, 75, 50, 1.0); });
        TimeResponse r;
        std::string why;
        ASSERT_TRUE(TimeTransform(row.freqHz, s11, TimeMode::TDR, TimeWindow{}, 50, r, why)) << why;
        EXPECT_EQ(r.resampled, row.resampled);
        for (double z : Between(r, 0.3, 0.7))
            EXPECT_NEAR(z, 75.0, 2.0);
        for (double z : Between(r, 1.3, 20.0))
            EXPECT_NEAR(z, 50.0, 2.0);
        for (double z : Between(r, -20.0, -0.3))
            EXPECT_NEAR(z, 50.0, 2.0);
        for (double z : r.values)
            ASSERT_TRUE(std::isfinite(z));
    }
}

// A thru delayed by 2.5 ns peaks at 2.5 ns, low-pass and band-pass alike; a short's step falls
// to -1 and its impedance to 0 (the clamp keeps it finite).
TEST(TimeDomainTest, ThruPeaksAtItsDelayAndShortStepsToMinusOne)
{
    const std::vector<double> f = Grid(10e6, 10e6, 800);
    const auto thru = Sampled(f, [](double fHz) { return Echo(fHz, 1.0, 2.5); });
    std::string why;
    for (TimeMode mode : {TimeMode::IMPULSE, TimeMode::BANDPASS}) {
        for (const char* w : {"rect", "hann", "max"}) {
            SCOPED_TRACE(w);
            TimeWindow window;
            ASSERT_TRUE(TimeWindow::Parse(w, window));
            TimeResponse r;
            ASSERT_TRUE(TimeTransform(f, thru, mode, window, 50, r, why)) << why;
            EXPECT_NEAR(r.TimeAt(Peak(r.values)), 2.5, 0.5 * r.stepNs);
        }
    }

    const std::vector<Cx> shortCircuit(f.size(), Cx(-1.0, 0.0));
    TimeResponse step;
    TimeResponse z;
    ASSERT_TRUE(TimeTransform(f, shortCircuit, TimeMode::STEP, TimeWindow{}, 50, step, why));
    ASSERT_TRUE(TimeTransform(f, shortCircuit, TimeMode::TDR, TimeWindow{}, 50, z, why));
    EXPECT_NEAR(step.values.front(), 0.0, 1e-12);
    for (double v : Between(step, -30.0, -0.5))
        EXPECT_NEAR(v, 0.0, 1e-3);
    for (double v : Between(step, 0.5, 30.0))
        EXPECT_NEAR(v, -1.0, 1e-3);
    for (double v : Between(z, 0.5, 30.0))
        EXPECT_NEAR(v, 0.0, 0.05);
}

// What cannot be transformed is refused with a reason, before anything large is allocated.
TEST(TimeDomainTest, RefusesWhatItCannotTransform)
{
    const double nan = std::nan("");
    struct Row {
        const char* name;
        std::vector<double> freqHz;
        std::vector<Cx> s;
        TimeMode mode;
        double z0;
    } rows[] = {
        {"a low-pass grid of a billion points",
         {1e9, 1e9 + 1, 1e9 + 2},
         {1, 1, 1},
         TimeMode::STEP,
         50},
        {"three records filled out to two million points from DC",
         {2.09e9, 2.09e9 + 1e3, 2.09e9 + 2e3},
         {1, 1, 1},
         TimeMode::IMPULSE,
         50},
        {"one frequency", {1e9}, {1}, TimeMode::BANDPASS, 50},
        {"no frequency", {}, {}, TimeMode::IMPULSE, 50},
        {"a value that is no number", {1e9, 2e9, 3e9}, {1, Cx(nan, 0), 1}, TimeMode::IMPULSE, 50},
        {"descending frequencies", {3e9, 2e9, 1e9}, {1, 1, 1}, TimeMode::BANDPASS, 50},
        {"one frequency thrice", {1e9, 1e9, 1e9}, {1, 1, 1}, TimeMode::IMPULSE, 50},
        {"fewer values than frequencies", {1e9, 2e9, 3e9}, {1, 1}, TimeMode::IMPULSE, 50},
        {"no reference impedance", {1e9, 2e9, 3e9}, {1, 1, 1}, TimeMode::TDR, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TimeResponse r;
        std::string why;
        EXPECT_FALSE(TimeTransform(row.freqHz, row.s, row.mode, TimeWindow{}, row.z0, r, why));
        EXPECT_FALSE(why.empty());
    }
}

// Values near the top of the range overflowed the transforms' sums and the gate's: each
// response of data scaled by 1e307 is the response of the data, scaled.
TEST(TimeDomainTest, HugeValuesGiveTheScaledResponse)
{
    const std::vector<double> f = Grid(10e6, 10e6, 201);
    const auto s = Sampled(f, [](double x) { return Echo(x, 0.9, 1.0) + Echo(x, 0.6, 3.0); });
    std::vector<Cx> huge(s);
    for (Cx& v : huge)
        v *= 1e307;
    for (TimeMode mode : {TimeMode::IMPULSE, TimeMode::STEP, TimeMode::BANDPASS}) {
        SCOPED_TRACE(static_cast<int>(mode));
        TimeResponse small, big;
        std::string why;
        ASSERT_TRUE(TimeTransform(f, s, mode, TimeWindow{}, 50, small, why)) << why;
        ASSERT_TRUE(TimeTransform(f, huge, mode, TimeWindow{}, 50, big, why)) << why;
        ASSERT_EQ(big.values.size(), small.values.size());
        const double top = *std::max_element(small.values.begin(), small.values.end());
        for (std::size_t i = 0; i < big.values.size(); ++i)
            ASSERT_NEAR(big.values[i] / 1e307, small.values[i], 1e-12 * top) << i;
    }
    std::vector<Cx> gatedSmall, gatedBig;
    std::string why;
    const TimeGate gate{0.5, 1.5, TimeGate::Shape::NORMAL, false};
    ASSERT_TRUE(GateSeries(f, s, gate, TimeWindow{}, gatedSmall, why)) << why;
    ASSERT_TRUE(GateSeries(f, huge, gate, TimeWindow{}, gatedBig, why)) << why;
    for (std::size_t i = 0; i < f.size(); ++i)
        ASSERT_NEAR(std::abs(gatedBig[i] / 1e307 - gatedSmall[i]), 0.0, 1e-12) << i;

    // A gate beyond the response's times keeps nothing of it, a notch there removes nothing.
    for (bool notch : {false, true}) {
        SCOPED_TRACE(notch ? "notch" : "gate");
        why.clear();
        EXPECT_FALSE(GateSeries(f, s, {1000, 2000, TimeGate::Shape::NORMAL, notch}, TimeWindow{},
                                gatedSmall, why));
        EXPECT_NE(why.find("spans -50 to 50 ns"), std::string::npos) << why;
    }
}
