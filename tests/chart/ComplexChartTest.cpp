// Smith and polar charts against independent computations.
#include "chart/ChartSheet.h"
#include "chart/PolarChart.h"
#include "chart/SmithChart.h"
#include "platform/RecordingDC.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <string>
#include <vector>

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
        bool reflection;
        const char* expect;
        const char* absent;  // nullptr: nothing checked
    };
    const double w = 2.0 * kPi * 2e9;
    const Row rows[] = {
        {"series R-L", {25.0, w * 3e-9}, true, "L=3nH", nullptr},
        {"series R-C", {75.0, -1.0 / (w * 2e-12)}, true, "C=2pF", nullptr},
        {"tiny inductance", {50.0, w * 0.5429e-12}, true, "L=0.5429pH", "nH"},
        {"large capacitance",
         {50.0, -1.0 / (w * 2.2e-6)},
         true,
         "C=2.2\xC2\xB5"
         "F",
         "pF"},
        {"matched", {50.0, 0.0}, true, "VSWR=1", nullptr},
        {"transmission", {25.0, w * 3e-9}, false, "dB", "VSWR"},
        {"transmission has no impedance", {25.0, w * 3e-9}, false, "deg", "ohm"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::complex<double> g = (row.z - 50.0) / (row.z + 50.0);
        const std::string text =
            CComplexChart::Reading(g.real(), g.imag(), 50.0, 2e9, row.reflection);
        EXPECT_NE(text.find(row.expect), std::string::npos) << text;
        if (row.absent) {
            EXPECT_EQ(text.find(row.absent), std::string::npos) << text;
        }
    }
    // The table column of a marker holds the reading of the trace at that frequency.
    CChartGraph graph = Smith(Reflection(
        [w](double f) { return std::complex<double>(25.0, 2.0 * kPi * f * 1e9 * 3e-9); }));
    (void)w;
    graph.markers = {2.0, 9.0};  // the second lies outside the data
    CRecordingDC dc(false, 96);
    graph.Draw(dc);
    bool shown = false;
    for (const auto& r : dc.Find(CRecordingDC::Kind::ExtTextOut))
        shown = shown || r.text.find("L=3nH") != std::string::npos;
    EXPECT_TRUE(shown);
}

// The points of the lines drawn with a pen of this colour, in drawing order.
std::vector<CPoint> DrawnIn(const CRecordingDC& dc, COLORREF color)
{
    std::vector<CPoint> points;
    for (const auto& r : dc.records)
        if ((r.kind == CRecordingDC::Kind::MoveToEx || r.kind == CRecordingDC::Kind::LineTo)
            && r.pen.color == color)
            points.push_back(r.point);
    return points;
}

// Gamma of a read-out's first line, "G= 0.25 - j0.5".
std::complex<double> ReadGamma(const std::string& text)
{
    const std::string line = text.substr(0, text.find('\n'));
    const std::size_t j = line.find('j');
    if (line.rfind("G= ", 0) != 0 || j == std::string::npos)
        return {std::nan(""), std::nan("")};
    const double im = std::stod(line.substr(j + 1));
    return {std::stod(line.substr(3)), line[j - 2] == '-' ? -im : im};
}

// Painted as the window paints (plot layer, then the overlay laid out again), every pixel
// on a drawn trace point reads that point within a pixel, and a click there picks its
// frequency, for Smith and polar charts, zoomed and panned, at several sheet sizes.
TEST(ComplexChartTest, APixelOnADrawnPointReadsThatPoint)
{
    const COLORREF colour = Rgb(200, 0, 0);
    const CChartTrace base = Reflection(
        [](double f) { return std::complex<double>(20.0 + 30.0 * f, 120.0 * (f - 2.0)); });
    for (int kind : {CChartGraph::SMITH, CChartGraph::POLAR}) {
        for (const CRect& rect :
             {CRect(0, 0, 500, 420), CRect(7, 43, 967, 520), CRect(100, 80, 1700, 1100)}) {
            for (int view = 0; view < 3; ++view) {  // whole, zoomed, zoomed and panned
                SCOPED_TRACE(std::to_string(kind) + " " + std::to_string(rect.Width()) + " "
                             + std::to_string(view));
                CChartSheet sheet;
                sheet.DeleteGraphs();
                sheet.title = "a.s2p";
                sheet.sheetRect = rect;
                auto owned = std::make_unique<CChartGraph>(-1);
                CChartGraph& g = *sheet.AddGraph(std::move(owned));
                g.chartKind = kind;
                g.title = "Smith";
                g.xUnitHz = 1e9;
                CChartTrace trace = base;
                trace.color = colour;
                g.AddTrace(trace);
                g.markers = {1.5, 2.5};  // the marker table takes room below the plot
                const auto paint = [&sheet] {
                    CRecordingDC dc(false, 96);
                    sheet.DrawPlotLayer(dc);
                    sheet.DrawOverlay(dc);
                    return dc;
                };
                CRecordingDC dc = paint();
                std::vector<CPoint> drawn = DrawnIn(dc, colour);
                ASSERT_EQ(drawn.size(), trace.gamma.size());
                if (view > 0) {
                    CComplexChart::For(g)->ZoomAt(drawn[12], 0.25);
                    const CPoint before = drawn[12];
                    dc = paint();
                    drawn = DrawnIn(dc, colour);
                    // The point under the wheel stays where it was, but for its rounding
                    // to the pixel grown fourfold.
                    EXPECT_LE(std::abs(drawn[12].x - before.x), 3);
                    EXPECT_LE(std::abs(drawn[12].y - before.y), 3);
                }
                if (view > 1) {
                    const CPoint before = drawn[8];
                    CComplexChart::For(g)->PanBy(-37, 21);
                    dc = paint();
                    drawn = DrawnIn(dc, colour);
                    EXPECT_LE(std::abs(drawn[8].x - (before.x - 37)), 1);
                    EXPECT_LE(std::abs(drawn[8].y - (before.y + 21)), 1);
                }
                const double pixel = CComplexChart::For(g)->PlanePerPixel();
                ASSERT_GT(pixel, 0.0);
                const CRect square = CComplexChart::For(g)->Square();
                int inView = 0;
                for (std::size_t i = 0; i < drawn.size(); ++i) {
                    const CPoint q = drawn[i];
                    if (q.x < square.left || q.x >= square.right || q.y < square.top
                        || q.y >= square.bottom)
                        continue;  // zoomed out of view
                    ++inView;
                    const std::string text = g.Readout(drawn[i]);
                    const std::complex<double> read = ReadGamma(text);
                    EXPECT_NEAR(read.real(), trace.gamma[i].x, pixel) << text;
                    EXPECT_NEAR(read.imag(), trace.gamma[i].y, pixel) << text;
                    EXPECT_DOUBLE_EQ(g.XAtPoint(drawn[i]), trace.points[i].x);
                }
                EXPECT_GE(inView, 5);
            }
        }
    }
}

// A matched load or a pad's constant S21 stays at one plane point: it is still seen, as a
// dot of the trace's colour where it sits, on both chart kinds.
TEST(ComplexChartTest, AConstantTraceIsDrawnAsADot)
{
    for (bool polar : {false, true}) {
        SCOPED_TRACE(polar ? "polar" : "smith");
        CChartTrace trace = Reflection([](double) { return std::complex<double>(50.0, 0.0); });
        trace.color = Rgb(0, 150, 0);
        CChartSheet sheet;
        sheet.DeleteGraphs();
        sheet.sheetRect = CRect(0, 0, 600, 600);
        CChartGraph& g = *sheet.AddGraph(std::make_unique<CChartGraph>(-1));
        g.chartKind = polar ? CChartGraph::POLAR : CChartGraph::SMITH;
        g.xUnitHz = 1e9;
        g.AddTrace(trace);
        CRecordingDC dc(false, 96);
        sheet.Draw(dc);
        const CPoint centre = CComplexChart::For(g)->ToPixel(0.0, 0.0);
        int dots = 0;
        for (const auto& r : dc.Find(CRecordingDC::Kind::FillSolidRect))
            if (r.color == trace.color && r.rect.left < centre.x && centre.x < r.rect.right
                && r.rect.top < centre.y && centre.y < r.rect.bottom)
                ++dots;
        EXPECT_EQ(dots, 1);
    }
}

// The polar read-out names an impedance only while every trace is a reflection: with a
// transmission on the chart the point under the mouse may be one of its.
TEST(ComplexChartTest, PolarReadoutReadsImpedanceOfReflectionsOnly)
{
    for (bool withTransmission : {false, true}) {
        SCOPED_TRACE(withTransmission);
        CChartGraph g = Smith(Reflection([](double) { return std::complex<double>(100.0, 0.0); }));
        g.chartKind = CChartGraph::POLAR;
        if (withTransmission) {
            CChartTrace s21 = Reflection([](double) { return std::complex<double>(30.0, 0.0); });
            s21.reflection = false;
            g.AddTrace(s21);
        }
        CRecordingDC dc(false, 96);
        g.Draw(dc);
        const std::string text = g.Readout(CComplexChart::For(g)->ToPixel(0.3, 0.1));
        EXPECT_EQ(text.find("G= ") == 0, true) << text;
        EXPECT_EQ(text.find("Z= ") != std::string::npos, !withTransmission) << text;
    }
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
