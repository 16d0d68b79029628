#include "chart/ChartTrace.h"
#include "data/MixedMode.h"
#include "data/S2pData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace {

using Cx = std::complex<double>;
using Matrix = std::vector<Cx>;  // row-major, n x n

// Two identical lines, each reflection r and transmission t, between the given port pairs
// of a 4-port (1-based): nothing couples one line to the other.
CS2pData TwoLines(Cx r, Cx t, int a1, int a2, int b1, int b2, std::vector<double> refs = {})
{
    Matrix s(16);
    const auto set = [&](int i, int j, Cx v) {
        s[static_cast<std::size_t>((i - 1) * 4 + j - 1)] = v;
    };
    for (const auto& [p, q] : {std::pair<int, int>(a1, a2), std::pair<int, int>(b1, b2)}) {
        set(p, p, r);
        set(q, q, r);
        set(p, q, t);
        set(q, p, t);
    }
    CS2pData data;
    data.ResetRecords(4);
    std::vector<CComplex> m(s.begin(), s.end());
    for (int f = 1; f <= 3; ++f)
        data.AppendRecord(f, m.data());
    data.refImpedances = refs.empty() ? std::vector<double>(4, 50.0) : refs;
    return data;
}

// M of the transform written out: row k of the differential half holds +1/sqrt 2 at the
// pair's first port and -1/sqrt 2 at its second, the common half +1/sqrt 2 at both.
Matrix ModeMatrix(int ports, const std::vector<std::pair<int, int>>& pairs)
{
    const int n = ports / 2;
    const double h = 1.0 / std::sqrt(2.0);
    Matrix m(static_cast<std::size_t>(ports * ports));
    for (int k = 0; k < n; ++k) {
        m[static_cast<std::size_t>(k * ports + pairs[k].first - 1)] = h;
        m[static_cast<std::size_t>(k * ports + pairs[k].second - 1)] = -h;
        m[static_cast<std::size_t>((n + k) * ports + pairs[k].first - 1)] = h;
        m[static_cast<std::size_t>((n + k) * ports + pairs[k].second - 1)] = h;
    }
    return m;
}

Matrix Product(const Matrix& a, const Matrix& b, int n)
{
    Matrix c(a.size());
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < n; ++k)
                c[static_cast<std::size_t>(i * n + j)] +=
                    a[static_cast<std::size_t>(i * n + k)] * b[static_cast<std::size_t>(k * n + j)];
    return c;
}

// Inverse by Gauss-Jordan elimination, so the check does not lean on M being orthogonal.
Matrix Inverse(Matrix a, int n)
{
    Matrix inv(a.size());
    for (int i = 0; i < n; ++i)
        inv[static_cast<std::size_t>(i * n + i)] = 1.0;
    for (int c = 0; c < n; ++c) {
        int p = c;
        for (int r = c + 1; r < n; ++r)
            if (std::abs(a[static_cast<std::size_t>(r * n + c)])
                > std::abs(a[static_cast<std::size_t>(p * n + c)]))
                p = r;
        for (int k = 0; k < n; ++k) {
            std::swap(a[static_cast<std::size_t>(p * n + k)],
                      a[static_cast<std::size_t>(c * n + k)]);
            std::swap(inv[static_cast<std::size_t>(p * n + k)],
                      inv[static_cast<std::size_t>(c * n + k)]);
        }
        const Cx d = a[static_cast<std::size_t>(c * n + c)];
        for (int k = 0; k < n; ++k) {
            a[static_cast<std::size_t>(c * n + k)] /= d;
            inv[static_cast<std::size_t>(c * n + k)] /= d;
        }
        for (int r = 0; r < n; ++r) {
            if (r == c)
                continue;
            const Cx f = a[static_cast<std::size_t>(r * n + c)];
            for (int k = 0; k < n; ++k) {
                a[static_cast<std::size_t>(r * n + k)] -=
                    f * a[static_cast<std::size_t>(c * n + k)];
                inv[static_cast<std::size_t>(r * n + k)] -=
                    f * inv[static_cast<std::size_t>(c * n + k)];
            }
        }
    }
    return inv;
}

TEST(MixedModeTest, UncoupledLinesOfADifferentialPair)
{
    const Cx r = std::polar(0.1, 0.5);
    const Cx t = std::polar(0.8, -1.0);
    // Pairs 1-3 and 2-4: one line from 1 to 2, the other from 3 to 4. Numbered 1-2 / 3-4,
    // the same network has its lines from 1 to 3 and from 2 to 4.
    struct Case {
        const char* label;
        CS2pData data;
        PortPairing pairing;
        bool matches;  // whether the pairing fits the numbering
    };
    const Case cases[] = {
        {"13 numbering, 13 pairing", TwoLines(r, t, 1, 2, 3, 4), PortPairing::ACROSS, true},
        {"12 numbering, 12 pairing", TwoLines(r, t, 1, 3, 2, 4), PortPairing::NEIGHBOURS, true},
        {"12 numbering, 13 pairing", TwoLines(r, t, 1, 3, 2, 4), PortPairing::ACROSS, false},
        {"13 numbering, 12 pairing", TwoLines(r, t, 1, 2, 3, 4), PortPairing::NEIGHBOURS, false},
    };
    struct Expect {
        const char* name;
        Cx value;
    };
    const Expect expect[] = {
        {"Sdd21", t},   {"Scc21", t},   {"Sdd12", t},   {"Sdd11", r},   {"Scc22", r},
        {"Sdc21", 0.0}, {"Scd21", 0.0}, {"Sdc11", 0.0}, {"Scd22", 0.0},
    };
    CChartTrace trace;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const Expect& e : expect) {
            SCOPED_TRACE(e.name);
            const int code = ValueCode::Parse(e.name);
            ASSERT_TRUE(c.data.HasCode(code));
            ASSERT_TRUE(c.data.BuildTrace(trace, 1, code, ValueFormat::POLAR, c.pairing));
            EXPECT_EQ(trace.name, std::string(e.name) + "(1)");
            ASSERT_EQ(trace.gamma.size(), 3u);
            const Cx got(trace.gamma[1].x, trace.gamma[1].y);
            if (c.matches) {
                EXPECT_NEAR(std::abs(got - e.value), 0.0, 1e-12);
            }
        }
        // With the wrong pairing a pair joins the two ends of one line: nothing passes
        // from pair 1 to pair 2 in differential mode.
        ASSERT_TRUE(c.data.BuildTrace(trace, 1, ValueCode::Parse("Sdd21"), ValueFormat::LIN_MAG,
                                      c.pairing));
        EXPECT_NEAR(trace.points[1].y, c.matches ? std::abs(t) : 0.0, 1e-12);
    }
}

TEST(MixedModeTest, EveryElementMatchesTheMatrixTransform)
{
    for (const int ports : {4, 6}) {
        const int n = ports / 2;
        Matrix s(static_cast<std::size_t>(ports * ports));
        for (std::size_t k = 0; k < s.size(); ++k)
            s[k] = Cx(std::sin(1.0 + 0.7 * k), std::cos(2.0 + 1.3 * k)) * 0.4;
        std::vector<CComplex> stored(s.begin(), s.end());
        for (const PortPairing pairing : {PortPairing::ACROSS, PortPairing::NEIGHBOURS}) {
            SCOPED_TRACE(testing::Message()
                         << ports << " ports, pairing " << MixedMode::PairingName(pairing));
            std::vector<std::pair<int, int>> pairs;
            for (int k = 1; k <= n; ++k)
                pairs.emplace_back(pairing == PortPairing::ACROSS
                                       ? std::pair<int, int>(k, k + n)
                                       : std::pair<int, int>(2 * k - 1, 2 * k));
            const Matrix m = ModeMatrix(ports, pairs);
            const Matrix mm = Product(Product(m, s, ports), Inverse(m, ports), ports);
            for (int row = 1; row <= n; ++row)
                for (int col = 1; col <= n; ++col)
                    for (const char rm : {'d', 'c'})
                        for (const char cm : {'d', 'c'}) {
                            const int r = (rm == 'd' ? 0 : n) + row - 1;
                            const int c = (cm == 'd' ? 0 : n) + col - 1;
                            const Cx want = mm[static_cast<std::size_t>(r * ports + c)];
                            const Cx got =
                                MixedMode::Element(stored.data(), ports, rm, row, cm, col, pairing)
                                    .ToStd();
                            EXPECT_NEAR(std::abs(got - want), 0.0, 1e-12)
                                << "S" << rm << cm << row << col;
                        }
        }
    }
}

TEST(MixedModeTest, OfferedOnSingleEndedFilesOfPairsOnly)
{
    const int sdd21 = ValueCode::Parse("Sdd21");
    for (const int ports : {2, 3, 4, 5, 6}) {
        CS2pData data;
        data.ResetRecords(ports);
        for (int f = 1; f <= 3; ++f)
            data.AppendRecord(f);
        SCOPED_TRACE(ports);
        const bool pairs = ports % 2 == 0 && ports >= 4;
        EXPECT_EQ(data.HasCode(sdd21), pairs);
        EXPECT_EQ(data.HasCode(ValueCode::Parse("Scd33")), ports == 6);
        EXPECT_FALSE(data.HasCode(ValueCode::Parse("Sds21")));
        CChartTrace trace;
        EXPECT_EQ(data.BuildTrace(trace, 1, sdd21, ValueFormat::DB), pairs);
    }
}

TEST(MixedModeTest, ModeReferencesAndImpedances)
{
    // Port 1 and 3 at 50 ohms, 2 and 4 at 75: which ports pair up sets the mode references.
    const CS2pData data = TwoLines(0.0, 1.0, 1, 2, 3, 4, {50, 75, 50, 75});
    struct Row {
        PortPairing pairing;
        const char* name;
        double z0;
    };
    const Row rows[] = {
        {PortPairing::ACROSS, "Sdd11", 100.0},    {PortPairing::ACROSS, "Scc11", 25.0},
        {PortPairing::ACROSS, "Sdd22", 150.0},    {PortPairing::NEIGHBOURS, "Sdd11", 125.0},
        {PortPairing::NEIGHBOURS, "Scc11", 30.0},
    };
    CChartTrace trace;
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name << " " << MixedMode::PairingName(row.pairing));
        const int code = ValueCode::Parse(row.name);
        EXPECT_DOUBLE_EQ(data.ReferenceOf(code, row.pairing), row.z0);
        ASSERT_TRUE(data.BuildTrace(trace, 1, code, ValueFormat::SMITH, row.pairing));
        EXPECT_DOUBLE_EQ(trace.refImpedance, row.z0);
    }
    // A matched differential reflection reads as the mode's reference in ohms (pairs 1-3, 2-4).
    ASSERT_TRUE(data.BuildTrace(trace, 1, ValueCode::Parse("Sdd11"), ValueFormat::RESISTANCE));
    EXPECT_NEAR(trace.points[0].y, 100.0, 1e-12);
    EXPECT_FALSE(data.BuildTrace(trace, 1, ValueCode::Parse("Sdc11"), ValueFormat::RESISTANCE));
}

}  // namespace
