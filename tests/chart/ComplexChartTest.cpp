// Smith and polar charts against independent computations.
#include "chart/PolarChart.h"
#include "chart/SmithChart.h"
#include "platform/RecordingDC.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A reflection trace over 1..3 GHz of the load z(f) (ohms) on 50 ohms.
template <typename Load>
CChartTrace Reflection(Load load)
{
    CChartTrace t;
    std::vector<CChartTrace::XYpair> points;
    for (int i = 0; i <= 20; ++i) {
        const double f = 1.0 + i * 0.1;
        const std::complex<double> g = (load(f) - 50.0) / (load(f) + 50.0);
        points.emplace_back(f, std::abs(g));
        t.gamma.emplace_back(g.real(), g.imag());
    }
    t.SetPoints(points);
    t.name = "S11";
    t.inLegend = true;
    return t;
}

CChartGraph Smith(const CChartTrace& trace)
{
    CChartGraph g(-1);
    g.chartKind = CChartGraph::SMITH;
    g.graphArea.rect = CRect(0, 0, 600, 600);
    g.xUnitHz = 1e9;
    g.AddTrace(trace);
    return g;
}

TEST(ComplexChartTest, HundredOhmsSitsOnTheR2CircleWithVswrTwo)
{
    CChartGraph g = Smith(Reflection([](double) { return std::complex<double>(100.0, 0.0); }));
    CRecordingDC dc(false, 96);
    g.Draw(dc);
    ASSERT_TRUE(g.plotArea.visible);
    CSmithChart chart(g);
    const CPoint p = chart.ToPixel(1.0 / 3.0, 0.0);
    const CPoint centre = chart.ToPixel(0.0, 0.0);
    const CPoint edge = chart.ToPixel(1.0, 0.0);
    // A third of the way from the centre to the unit circle, on the real axis.
    EXPECT_NEAR(p.x - centre.x, (edge.x - centre.x) / 3.0, 1.0);
    EXPECT_EQ(p.y, centre.y);
    const std::string text = g.Readout(p);
    // Within the pixel the point was rounded to.
    const auto after = [&text](const std::string& key) {
        const std::size_t at = text.find(key);
        return at == std::string::npos ? -1.0 : std::stod(text.substr(at + key.size()));
    };
    EXPECT_NEAR(after("VSWR= "), 2.0, 0.02) << text;
    EXPECT_NEAR(after("Z= "), 100.0, 1.0) << text;
    // A click there picks the trace's frequency.
    EXPECT_GE(g.XAtPoint(p), 1.0);
}

TEST(ComplexChartTest, MarkerReadingsGiveTheSeriesElement)
{
    struct Row {
        const char* name;
        std::complex<double> z;  // at 2 GHz
        const char* expect;
    };
    const double w = 2.0 * kPi * 2e9;
    const Row rows[] = {
        {"series R-L", {25.0, w * 3e-9}, "L=3nH"},
        {"series R-C", {75.0, -1.0 / (w * 2e-12)}, "C=2pF"},
        {"matched", {50.0, 0.0}, "VSWR=1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::complex<double> g = (row.z - 50.0) / (row.z + 50.0);
        const std::string text = CComplexChart::Reading(g.real(), g.imag(), 50.0, 2e9);
        EXPECT_NE(text.find(row.expect), std::string::npos) << text;
    }
    // The table column of a marker holds the reading of the trace at that frequency.
    CChartGraph graph = Smith(Reflection([w](double f) {
        return std::complex<double>(25.0, 2.0 * kPi * f * 1e9 * 3e-9);
    }));
    (void)w;
    graph.markers = {2.0, 9.0};  // the second lies outside the data
    CRecordingDC dc(false, 96);
    graph.Draw(dc);
    bool shown = false;
    for (const auto& r : dc.Find(CRecordingDC::Kind::ExtTextOut))
        shown = shown || r.text.find("L=3nH") != std::string::npos;
    EXPECT_TRUE(shown);
}

TEST(ComplexChartTest, PolarRingFitsTheLargestMagnitude)
{
    EXPECT_EQ(CPolarChart::OuterRing(0.3), 1.0);
    EXPECT_EQ(CPolarChart::OuterRing(1.0), 1.0);
    EXPECT_EQ(CPolarChart::OuterRing(1.7), 2.0);
    EXPECT_EQ(CPolarChart::OuterRing(31.0), 50.0);
    EXPECT_EQ(CPolarChart::OuterRing(std::nan("")), 1.0);
}

}  // namespace
