// Network operations by their round trips and closed forms.
#include "rf/NetworkOps.h"

#include "data/S2pData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <string>
#include <vector>

namespace {

using Cx = std::complex<double>;
constexpr double kPi = 3.14159265358979323846;

// A passive-looking n-port of 5 records at 1..5 GHz whose elements all differ.
CS2pData Network(int n, double seed)
{
    CS2pData data;
    data.freqUnit = CS2pData::GHZ;
    data.ResetRecords(n);
    std::vector<CComplex> m(static_cast<std::size_t>(n * n));
    for (int r = 0; r < 5; ++r) {
        for (int k = 0; k < n * n; ++k) {
            const double phase = seed * (k + 1) + 0.7 * r + 0.3 * k * r;
            m[static_cast<std::size_t>(k)] = std::polar(0.2 + 0.05 * ((k * 7 + r) % 5), phase);
        }
        data.AppendRecord(1.0 + r, m.data());
    }
    data.refImpedances.assign(static_cast<std::size_t>(n), 50.0);
    return data;
}

// An ideal line of delay tau (ns): S21 = S12 = e^{-jw tau}.
CS2pData Line(double tau)
{
    CS2pData data;
    data.freqUnit = CS2pData::GHZ;
    data.ResetRecords(2);
    for (int r = 0; r < 5; ++r) {
        const CComplex t(std::polar(1.0, -2.0 * kPi * (1.0 + r) * tau));
        const CComplex m[4] = {{0, 0}, t, t, {0, 0}};
        data.AppendRecord(1.0 + r, m);
    }
    data.refImpedances = {50.0, 50.0};
    return data;
}

void ExpectSame(const CS2pData& a, const CS2pData& b, double tolerance = 1e-12)
{
    ASSERT_EQ(a.PortCount(), b.PortCount());
    ASSERT_EQ(a.RecordCount(), b.RecordCount());
    for (std::size_t i = 0; i < a.RecordCount(); ++i)
        for (int k = 0; k < a.PortCount() * a.PortCount(); ++k)
            EXPECT_LE(std::abs(a.Matrix(i)[k].ToStd() - b.Matrix(i)[k].ToStd()), tolerance)
                << "record " << i << " element " << k;
}

TEST(NetworkOps, RoundTripsGiveTheNetworkBack)
{
    std::string why;
    // To 75 ohm (one port at 30) and back.
    const CS2pData three = Network(3, 0.37);
    CS2pData moved = three;
    ASSERT_TRUE(NetworkOps::Renormalize(moved, {75.0, 30.0, 75.0}, why)) << why;
    EXPECT_EQ(moved.refImpedances, (std::vector<double>{75.0, 30.0, 75.0}));
    ASSERT_TRUE(NetworkOps::Renormalize(moved, {50.0}, why)) << why;
    ExpectSame(moved, three);

    // Cascading an ideal thru changes nothing; de-embedding fixtures that were cascaded
    // gives the device back.
    const CS2pData dut = Network(2, 1.1);
    CS2pData through = dut;
    ASSERT_TRUE(NetworkOps::Cascade(through, Line(0.0), why)) << why;
    ExpectSame(through, dut);
    CS2pData left = Network(2, 0.2), right = Network(2, 2.9);
    CS2pData total = left;
    ASSERT_TRUE(NetworkOps::Cascade(total, dut, why)) << why;
    ASSERT_TRUE(NetworkOps::Cascade(total, right, why)) << why;
    CS2pData back = total;
    ASSERT_TRUE(NetworkOps::Deembed(back, &left, &right, why)) << why;
    ExpectSame(back, dut, 1e-9);
    CS2pData leftOnly = left;
    ASSERT_TRUE(NetworkOps::Cascade(leftOnly, dut, why)) << why;
    ASSERT_TRUE(NetworkOps::Deembed(leftOnly, &left, nullptr, why)) << why;
    ExpectSame(leftOnly, dut, 1e-9);

    // A port order and its inverse.
    const CS2pData four = Network(4, 0.61);
    CS2pData turned = four;
    turned.refImpedances = {50.0, 60.0, 70.0, 80.0};
    ASSERT_TRUE(NetworkOps::Reorder(turned, {3, 1, 4, 2}, why)) << why;
    EXPECT_EQ(turned.refImpedances, (std::vector<double>{70.0, 50.0, 80.0, 60.0}));
    EXPECT_EQ(turned.Element(2, 1, 3).ToStd(), four.Element(2, 3, 4).ToStd());
    ASSERT_TRUE(NetworkOps::Reorder(turned, {2, 4, 1, 3}, why)) << why;
    ExpectSame(turned, four, 0.0);
}

TEST(NetworkOps, ClosedForms)
{
    std::string why;
    // A matched 50 ohm load seen from 75 ohm reflects (50 - 75) / (50 + 75).
    CS2pData load;
    load.freqUnit = CS2pData::GHZ;
    load.ResetRecords(1);
    for (int r = 0; r < 3; ++r)
        load.AppendRecord(1.0 + r);
    ASSERT_TRUE(NetworkOps::Renormalize(load, {75.0}, why)) << why;
    EXPECT_NEAR(load.Element(1, 1, 1).re, -0.2, 1e-15);

    // A line closed by an open reflects e^{-2jw tau}, by a short its negative; a matched
    // termination of port 3 of a 3-port leaves the block of ports 1 and 2.
    for (const auto& [kind, sign] : {std::pair{NetworkOps::Load::Kind::OPEN, 1.0},
                                     std::pair{NetworkOps::Load::Kind::SHORT, -1.0}}) {
        CS2pData line = Line(0.1);
        ASSERT_TRUE(NetworkOps::Terminate(line, {{2, kind, 0.0}}, why)) << why;
        ASSERT_EQ(line.PortCount(), 1);
        const Cx expected = sign * std::polar(1.0, -2.0 * 2.0 * kPi * 2.0 * 0.1);
        EXPECT_LT(std::abs(line.Element(1, 1, 1).ToStd() - expected), 1e-12);
    }
    const CS2pData three = Network(3, 0.37);
    CS2pData block = three;
    ASSERT_TRUE(NetworkOps::Terminate(block, {{3, NetworkOps::Load::Kind::OHMS, 50.0}}, why));
    ASSERT_EQ(block.PortCount(), 2);
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 2; ++c)
            EXPECT_EQ(block.Element(4, r, c).ToStd(), three.Element(4, r, c).ToStd());
}

TEST(NetworkOps, RefusalsKeepTheDataAsItWas)
{
    const CS2pData two = Network(2, 0.5);
    CS2pData other;
    other.freqUnit = CS2pData::GHZ;
    other.ResetRecords(2);
    for (int r = 0; r < 5; ++r)
        other.AppendRecord(1.5 + r);
    // A hair apart, in another unit: the message must still show two different frequencies.
    CS2pData hair;
    hair.freqUnit = CS2pData::MHZ;
    hair.ResetRecords(2);
    for (int r = 0; r < 5; ++r)
        hair.AppendRecord(1000.0001 + 1000.0 * r);
    CS2pData blocked = Line(0.1);
    for (std::size_t i = 0; i < blocked.RecordCount(); ++i)
        blocked.Matrix(i)[2] = CComplex(0, 0);  // no S21
    const CS2pData three = Network(3, 0.4);
    struct Row {
        const char* name;
        std::function<bool(CS2pData&, std::string&)> run;
        CS2pData data;
        const char* why;
    };
    const Row rows[] = {
        {"cascade of a 3-port",
         [&](CS2pData& d, std::string& w) { return NetworkOps::Cascade(d, two, w); }, three,
         "only 2-ports"},
        {"frequencies apart",
         [&](CS2pData& d, std::string& w) { return NetworkOps::Cascade(d, other, w); }, two,
         "do not match"},
        {"frequencies a hair apart",
         [&](CS2pData& d, std::string& w) { return NetworkOps::Cascade(d, hair, w); }, two,
         "1 GHz of the file, 1.0000001 GHz of the cascaded file"},
        {"no transmission",
         [&](CS2pData& d, std::string& w) { return NetworkOps::Deembed(d, &blocked, nullptr, w); },
         two, "singular"},
        {"unknown port",
         [&](CS2pData& d, std::string& w) {
             return NetworkOps::Terminate(d, {{4, NetworkOps::Load::Kind::OPEN, 0}}, w);
         },
         three, "no port 4"},
        {"every port",
         [&](CS2pData& d, std::string& w) {
             return NetworkOps::Terminate(
                 d, {{1, NetworkOps::Load::Kind::OPEN, 0}, {2, NetworkOps::Load::Kind::SHORT, 0}},
                 w);
         },
         two, "nothing is left"},
        {"a port twice",
         [&](CS2pData& d, std::string& w) {
             return NetworkOps::Reorder(d, {1, 1, 3}, w);
         },
         three, "named twice"},
        {"not every port",
         [&](CS2pData& d, std::string& w) {
             return NetworkOps::Reorder(d, {2, 1}, w);
         },
         three, "every one of the 3"},
        {"no impedance",
         [&](CS2pData& d, std::string& w) { return NetworkOps::Renormalize(d, {-5.0}, w); }, two,
         "positive"},
        {"two references for three",
         [&](CS2pData& d, std::string& w) {
             return NetworkOps::Renormalize(d, {50.0, 75.0}, w);
         },
         three, "one for each"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CS2pData data = row.data;
        std::string why;
        EXPECT_FALSE(row.run(data, why));
        EXPECT_NE(why.find(row.why), std::string::npos) << why;
        ExpectSame(data, row.data, 0.0);
    }
}

}  // namespace
