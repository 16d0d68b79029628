#include "data/S2pData.h"
#include "rf/QualityMetrics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <vector>

namespace {

namespace QM = QualityMetrics;
using Cx = std::complex<double>;
using Matrix = std::vector<Cx>;  // row-major
const double pi = 4.0 * std::atan(1.0);

// Records from 1 GHz in steps of 0.1 GHz of a network given at each frequency.
CS2pData Network(int ports, int records, const std::function<Matrix(double ghz)>& at,
                 CS2pData::ParamKind kind = CS2pData::S)
{
    CS2pData data;
    data.paramKind = kind;
    data.ResetRecords(ports);
    for (int r = 0; r < records; ++r) {
        const double ghz = 1.0 + 0.1 * r;
        const Matrix s = at(ghz);
        const std::vector<CComplex> m(s.begin(), s.end());
        data.AppendRecord(ghz, m.data());
    }
    return data;
}

// A line of 0.1 ns: e^{-jw tau}, turning clockwise with frequency.
Cx Delay(double ghz)
{
    return std::polar(1.0, -2.0 * pi * ghz * 0.1);
}

QM::Result Judge(const CS2pData& data, QM::Block block = QM::Block::SINGLE_ENDED,
                 PortPairing pairing = PortPairing::ACROSS)
{
    QM::Result result;
    EXPECT_EQ(QM::Compute(data, block, pairing, result), QM::Outcome::OK);
    return result;
}

void ExpectMetrics(const QM::Result& r, double causality, double passivity, double reciprocity)
{
    EXPECT_NEAR(r.causality, causality, 1e-9);
    EXPECT_NEAR(r.passivity, passivity, 1e-9);
    EXPECT_NEAR(r.reciprocity, reciprocity, 1e-9);
}

// S21 = g21 L + a21, S12 = g12 L, S11 = S22 = 0, L the line or its anticlockwise mirror.
TEST(QualityMetricsTest, TwoPortsOfKnownQuality)
{
    struct Row {
        const char* name;
        double g21, g12, a21;
        bool anticlockwise;
        double causality, passivity, reciprocity;
        const char* ratings[3];
    };
    const Row rows[] = {
        {"lossless line", 1, 1, 0, false, 100, 100, 100, {"good", "good", "good"}},
        {"gain stage", 2, 0, 0, false, 100, 0, 0, {"good", "poor", "poor"}},
        {"isolator", 1, 0, 0, false, 100, 100, 0, {"good", "good", "poor"}},
        {"anticlockwise line", 1, 1, 0, true, 0, 100, 100, {"poor", "good", "good"}},
        // PM = 1.01 everywhere: each record weighs (1.01 - 1.00001) / 0.1 = 0.0999.
        {"active", 1.01, 1.01, 0, false, 100, 90.01, 100, {"good", "inconclusive", "good"}},
        // RM = 2 * 0.001 / 2: each record weighs (0.001 - 1e-6) / 0.1 = 0.00999.
        {"asymmetric", 0.5, 0.5, 0.001, false, 100, 100, 99.001, {"good", "good", "acceptable"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QM::Result r = Judge(Network(2, 101, [&](double f) {
            const Cx line = row.anticlockwise ? std::conj(Delay(f)) : Delay(f);
            return Matrix{0.0, row.g12 * line, row.g21 * line + row.a21, 0.0};
        }));
        ExpectMetrics(r, row.causality, row.passivity, row.reciprocity);
        EXPECT_EQ(r.records, 101u);
        EXPECT_STREQ(QM::Rating(QM::Metric::CAUSALITY, r.causality), row.ratings[0]);
        EXPECT_STREQ(QM::Rating(QM::Metric::PASSIVITY, r.passivity), row.ratings[1]);
        EXPECT_STREQ(QM::Rating(QM::Metric::RECIPROCITY, r.reciprocity), row.ratings[2]);
    }
}

// The largest singular value of a 2x2 by its closed form: the square root of the larger
// eigenvalue of the Hermitian A = S^H S, (a + d) / 2 + sqrt(((a - d) / 2)^2 + |b|^2).
TEST(QualityMetricsTest, PerRecordValuesMatchTheClosedFormOfATwoPort)
{
    const auto at = [](double f) {
        return Matrix{Cx(0.3 * std::cos(7 * f), -0.2), Cx(0.1, 0.9 * std::sin(3 * f)),
                      Cx(-0.7 + 0.2 * f, 0.4), Cx(0.05, 0.6 * std::cos(f))};
    };
    const CS2pData data = Network(2, 31, at);
    QM::Result result;
    QM::PerRecord per;
    ASSERT_EQ(QM::Compute(data, QM::Block::SINGLE_ENDED, PortPairing::ACROSS, result, &per),
              QM::Outcome::OK);
    ASSERT_EQ(per.sigma.size(), 31u);
    ASSERT_EQ(per.reciprocity.size(), 31u);
    double worstSigma = -1.0, worstSigmaFreq = 0.0, worstRm = -1.0, worstRmFreq = 0.0;
    for (std::size_t r = 0; r < 31; ++r) {
        SCOPED_TRACE(r);
        const Matrix s = at(data.FreqAt(r));
        const double a = std::norm(s[0]) + std::norm(s[2]);
        const double d = std::norm(s[1]) + std::norm(s[3]);
        const Cx b = std::conj(s[0]) * s[1] + std::conj(s[2]) * s[3];
        const double sigma =
            std::sqrt((a + d) / 2 + std::sqrt((a - d) * (a - d) / 4 + std::norm(b)));
        const double rm = std::abs(s[1] - s[2]);
        EXPECT_NEAR(per.sigma[r], sigma, 1e-12);
        EXPECT_NEAR(per.reciprocity[r], rm, 1e-12);
        if (sigma > worstSigma)
            worstSigma = sigma, worstSigmaFreq = data.FreqAt(r);
        if (rm > worstRm)
            worstRm = rm, worstRmFreq = data.FreqAt(r);
    }
    EXPECT_NEAR(result.largestSigma, worstSigma, 1e-12);
    EXPECT_DOUBLE_EQ(result.worstPassivityFreq, worstSigmaFreq);
    EXPECT_NEAR(result.largestReciprocity, worstRm, 1e-12);
    EXPECT_DOUBLE_EQ(result.worstReciprocityFreq, worstRmFreq);
}

// A permutation with gains d_k has the singular values |d_k|: the largest is known for every
// size, the fixed-size ones and the general one alike.
TEST(QualityMetricsTest, LargestSingularValueOfEverySize)
{
    for (int ports : {1, 3, 4, 5, 99}) {
        SCOPED_TRACE(ports);
        const auto at = [ports](double f) {
            Matrix s(static_cast<std::size_t>(ports * ports));
            for (int k = 0; k < ports; ++k) {
                const double gain = k == ports / 2 ? 1.5 : 0.2 + 0.01 * k;
                s[static_cast<std::size_t>(k * ports + (k + 1) % ports)] =
                    gain * std::polar(1.0, -f * (k + 1));
            }
            return s;
        };
        QM::Result result;
        QM::PerRecord per;
        ASSERT_EQ(QM::Compute(Network(ports, 5, at), QM::Block::SINGLE_ENDED, PortPairing::ACROSS,
                              result, &per),
                  QM::Outcome::OK);
        for (double sigma : per.sigma)
            EXPECT_NEAR(sigma, 1.5, 1e-12);
        EXPECT_EQ(result.ports, ports);
    }
}

// A 75 ohm lossless line in a 50 ohm system: its singular values are 1 at every frequency,
// and the round-off of S^H S must not make them 1 + 2e-16 (a mask at 1 would fail it).
TEST(QualityMetricsTest, LosslessMismatchedLineIsExactlyOne)
{
    const double g = (75.0 - 50.0) / (75.0 + 50.0);
    const auto at = [g](double f) {
        const Cx t = std::polar(1.0, -2.0 * pi * f * 0.37);
        const Cx d = 1.0 - g * g * t * t;
        const Cx s11 = g * (1.0 - t * t) / d, s21 = (1.0 - g * g) * t / d;
        return Matrix{s11, s21, s21, s11};
    };
    QM::Result result;
    QM::PerRecord per;
    ASSERT_EQ(QM::Compute(Network(2, 400, at), QM::Block::SINGLE_ENDED, PortPairing::ACROSS, result,
                          &per),
              QM::Outcome::OK);
    for (double sigma : per.sigma)
        ASSERT_EQ(sigma, 1.0);
    EXPECT_EQ(result.largestSigma, 1.0);
}

// Sdd a lossless line between the pairs, Scc a gain stage: the single-ended 4-port is
// M^T blockdiag(Sdd, Scc) M, M with rows (a+ - a-)/sqrt 2 and (a+ + a-)/sqrt 2.
TEST(QualityMetricsTest, DifferentialAndCommonBlocks)
{
    // Rows and columns d1, d2, c1, c2: Sdd21 = Sdd12 the line, Scc21 twice the line.
    const auto modes = [](double f) {
        Matrix s(16);
        s[1] = s[4] = Delay(f);
        s[14] = 2.0 * Delay(f);
        return s;
    };
    // Mode row k holds +h at the pair's first port, -h (d) or +h (c) at its second.
    const auto singleEnded = [&](PortPairing pairing) {
        const int pairs[2][2] = {{1, pairing == PortPairing::ACROSS ? 3 : 2},
                                 {pairing == PortPairing::ACROSS ? 2 : 3, 4}};
        const double h = 1.0 / std::sqrt(2.0);
        double m[4][4] = {};
        for (int k = 0; k < 2; ++k) {
            m[k][pairs[k][0] - 1] = m[k + 2][pairs[k][0] - 1] = m[k + 2][pairs[k][1] - 1] = h;
            m[k][pairs[k][1] - 1] = -h;
        }
        return Network(4, 41, [&](double f) {
            const Matrix mm = modes(f);
            Matrix s(16);
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j)
                    for (int a = 0; a < 4; ++a)
                        for (int b = 0; b < 4; ++b)
                            s[static_cast<std::size_t>(i * 4 + j)] +=
                                m[a][i] * mm[static_cast<std::size_t>(a * 4 + b)] * m[b][j];
            return s;
        });
    };
    struct Case {
        const char* name;
        CS2pData data;
        PortPairing pairing;
    };
    // Each with its own pairing (a mixed-mode file has none); judged with the other one, the
    // gain stage would leave Scc.
    Case cases[] = {
        {"pairs 1-3, 2-4", singleEnded(PortPairing::ACROSS), PortPairing::ACROSS},
        {"pairs 1-2, 3-4", singleEnded(PortPairing::NEIGHBOURS), PortPairing::NEIGHBOURS},
        {"mixed-mode file", Network(4, 41, modes), PortPairing::NEIGHBOURS}};
    cases[2].data.portModes = {{'d', 1}, {'d', 2}, {'c', 1}, {'c', 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QM::HasBlock(c.data, QM::Block::COMMON));
        const QM::Result dd = Judge(c.data, QM::Block::DIFFERENTIAL, c.pairing);
        EXPECT_EQ(dd.ports, 2);
        ExpectMetrics(dd, 100, 100, 100);
        ExpectMetrics(Judge(c.data, QM::Block::COMMON, c.pairing), 100, 0, 0);
        // The whole matrix has the gain stage's singular value too.
        EXPECT_NEAR(Judge(c.data).largestSigma, 2.0, 1e-12);
    }

    QM::Result unused;
    EXPECT_EQ(QM::Compute(Network(3, 3, [](double) { return Matrix(9); }), QM::Block::COMMON,
                          PortPairing::ACROSS, unused),
              QM::Outcome::NO_BLOCK);
}

// A singular Z -> S conversion gives NaN: that record is left out, as if the file lacked it;
// values too large to sum give no result rather than a NaN one.
TEST(QualityMetricsTest, NonFiniteAndHugeMatrices)
{
    // Z = -1 has no S; around it a resistance that wiggles, so that the element turns both
    // ways and the causality depends on which steps are taken.
    const auto z = [](double f) {
        return Matrix{std::abs(f - 1.5) < 1e-9 ? Cx(-1.0, 0.0)
                                               : Cx(1.0 + 0.5 * std::cos(9 * f), 0.3 * f)};
    };
    const CS2pData withHole = Network(1, 11, z, CS2pData::Z);
    QM::Result result;
    QM::PerRecord per;
    ASSERT_EQ(QM::Compute(withHole, QM::Block::SINGLE_ENDED, PortPairing::ACROSS, result, &per),
              QM::Outcome::OK);
    EXPECT_EQ(result.skipped, 1u);
    EXPECT_EQ(result.records, 10u);
    EXPECT_TRUE(std::isnan(per.sigma[5]));
    CS2pData without;
    without.paramKind = CS2pData::Z;
    without.ResetRecords(1);
    for (std::size_t r = 0; r < withHole.RecordCount(); ++r)
        if (r != 5)
            without.AppendRecord(withHole.FreqAt(r), withHole.Matrix(r));
    const QM::Result expected = Judge(without);
    ExpectMetrics(result, expected.causality, expected.passivity, expected.reciprocity);
    EXPECT_LT(result.causality, 90.0);

    const auto nothing = [](double) { return Matrix{Cx(-1.0, 0.0)}; };
    EXPECT_EQ(QM::Compute(Network(1, 5, nothing, CS2pData::Z), QM::Block::SINGLE_ENDED,
                          PortPairing::ACROSS, result),
              QM::Outcome::NO_FINITE_MATRIX);

    const auto scaled = [](double scale) {
        return [scale](double f) { return Matrix{0.0, scale * Delay(f), scale * Delay(f), 0.0}; };
    };
    const QM::Result large = Judge(Network(2, 11, scaled(1e100)));
    EXPECT_NEAR(large.largestSigma / 1e100, 1.0, 1e-12);
    ExpectMetrics(large, 100, 0, 100);
    EXPECT_EQ(QM::Compute(Network(2, 11, scaled(1e200)), QM::Block::SINGLE_ENDED,
                          PortPairing::ACROSS, result),
              QM::Outcome::OUT_OF_RANGE);
}

TEST(QualityMetricsTest, RatingsChangeJustAboveTheirBounds)
{
    struct Row {
        QM::Metric metric;
        double percent;
        const char* rating;
    };
    const Row rows[] = {
        {QM::Metric::CAUSALITY, 80.0001, "good"},      {QM::Metric::CAUSALITY, 80, "acceptable"},
        {QM::Metric::CAUSALITY, 50, "inconclusive"},   {QM::Metric::CAUSALITY, 20, "poor"},
        {QM::Metric::PASSIVITY, 99.95, "good"},        {QM::Metric::PASSIVITY, 99.9, "acceptable"},
        {QM::Metric::RECIPROCITY, 99, "inconclusive"}, {QM::Metric::RECIPROCITY, 80, "poor"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.percent);
        EXPECT_STREQ(QM::Rating(row.metric, row.percent), row.rating);
    }
}

}  // namespace
