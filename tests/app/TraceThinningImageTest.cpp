// Traces are thinned to a few samples per pixel column before they are drawn. These tests
// paint real and random traces both ways, thinned by the chart and every sample straight onto
// the surface, and compare the images.
#include "chart/ChartGraph.h"
#include "chart/NiceScale.h"
#include "data/S2pData.h"
#include "platform/QtDC.h"
#include "platform/RecordingDC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <QImage>
#include <QPainter>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kImageWidth = 700;
constexpr int kImageHeight = 420;

CChartGraph GraphWith(const CRect& plot, double xMin, double xMax, double yMin, double yMax)
{
    CChartGraph graph(-1);
    graph.showMarkers = false;
    graph.plotArea.rect = plot;
    graph.plotArea.visible = true;
    graph.xAxis.SetRange(xMin, xMax);
    graph.leftAxis.SetRange(yMin, yMax);
    graph.rightAxis.SetRange(yMin, yMax);
    return graph;
}

QImage Blank()
{
    QImage image(kImageWidth, kImageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QImage Thinned(CChartGraph& graph)
{
    QImage image = Blank();
    QPainter painter(&image);
    CQtDC dc(painter, false);
    graph.DrawTraces(dc);
    return image;
}

// What the chart draws without thinning: every sample handed to the surface, wide lines as
// one polyline, as the surface then draws them.
QImage EverySample(const CChartGraph& graph)
{
    QImage image = Blank();
    QPainter painter(&image);
    const CRect p = graph.plotArea.rect;
    const std::int32_t width = p.right - p.left;
    const std::int32_t height = p.bottom - p.top;
    for (const CChartTrace& trace : graph.traces) {
        const CChartAxis& axis = trace.onLeftAxis ? graph.leftAxis : graph.rightAxis;
        std::vector<std::vector<QPoint>> runs(1);
        auto add = [&](double x, double value) {
            const double pixels = (value - axis.min) / (axis.max - axis.min) * height;
            if (std::isnan(pixels)) {
                if (!runs.back().empty())
                    runs.emplace_back();
                return;
            }
            const double f = (x - graph.xAxis.min) / (graph.xAxis.max - graph.xAxis.min);
            const std::int32_t dy = TruncInt32(std::clamp(pixels, -1e6, height + 1e6));
            runs.back().emplace_back(p.left + TruncInt32(f * width),
                                     axis.reversed ? p.bottom - dy : p.top + dy);
        };
        const std::size_t n = trace.PointCount();
        const double lo = graph.xAxis.min;
        const double hi = graph.xAxis.max;
        if (graph.lineType < 2) {
            // Lines: every stored point on the axis, and the trace where the axis cuts it.
            bool started = false;
            for (std::size_t i = 0; i < n; ++i) {
                const CChartTrace::XYpair s = trace.Sample(i);
                if (s.x < lo || s.x > hi)
                    continue;
                if (!started && i > 0 && s.x > lo)
                    add(lo, trace.ValueAt(lo));
                started = true;
                add(s.x, s.y);
                if (i + 1 < n && trace.Sample(i + 1).x > hi && s.x < hi)
                    add(hi, trace.ValueAt(hi));
            }
        } else {
            // Marks: as many as the trace has points, over the part of the axis it covers.
            const double from = std::max(lo, trace.xMin);
            const double to = std::min(hi, trace.xMax);
            for (std::size_t j = 0; j < n && from <= to; ++j) {
                const double x = j + 1 == n
                    ? to
                    : from + (to - from) * (static_cast<double>(j) / static_cast<double>(n - 1));
                add(x, trace.ValueAt(x));
            }
        }
        const COLORREF c = trace.color;
        if (graph.lineType == 1) {
            QPen pen(QColor(RgbRed(c), RgbGreen(c), RgbBlue(c)));
            pen.setWidth(2);
            pen.setCapStyle(Qt::FlatCap);
            pen.setJoinStyle(Qt::SvgMiterJoin);
            painter.setPen(pen);
            painter.setClipRect(QRect(p.left, p.top, width, height));
            for (const auto& run : runs)
                painter.drawPolyline(run.data(), static_cast<int>(run.size()));
            painter.setClipping(false);
            continue;
        }
        CQtDC dc(painter, false);
        dc.SetClipRect(p);
        dc.SelectPen(CPen{c, 1});
        for (const auto& run : runs) {
            for (std::size_t i = 0; i < run.size(); ++i) {
                const int x = run[i].x();
                const int y = run[i].y();
                if (graph.lineType == 3) {
                    dc.Arc(CRect(x - 3, y - 3, x + 3, y + 3), CPoint{x + 3, y}, CPoint{x + 3, y});
                } else if (graph.lineType == 2) {
                    for (const CPoint d : {CPoint{0, 0}, CPoint{1, 0}, CPoint{0, 1}, CPoint{1, 1}})
                        dc.SetPixel(x + d.x, y + d.y, c);
                } else if (i == 0) {
                    dc.MoveToEx(x, y);
                } else {
                    dc.LineTo(x, y);
                }
            }
        }
        dc.ResetClip();
    }
    return image;
}

int DifferingPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            count += rowA[x] != rowB[x] ? 1 : 0;
    }
    return count;
}

int PixelsOfColour(const QImage& image, COLORREF color)
{
    const QRgb wanted = qRgb(RgbRed(color), RgbGreen(color), RgbBlue(color));
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += (row[x] & 0xFFFFFF) == (wanted & 0xFFFFFF) ? 1 : 0;
    }
    return count;
}

CChartTrace Trace(std::vector<CChartTrace::XYpair> points, COLORREF color)
{
    CChartTrace trace;
    trace.SetPoints(points);
    trace.color = color;
    return trace;
}

struct Case {
    std::string name;
    CChartTrace trace;
    double xMin, xMax, yMin, yMax;
    CRect plot;
};

// Random traces of several kinds, and every quantity of a real 4-port file.
std::vector<Case> Cases()
{
    std::vector<Case> cases;
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 1.0);
    const CRect wide(20, 15, 680, 405);
    const CRect narrow(40, 30, 137, 330);

    std::vector<CChartTrace::XYpair> walk;
    std::vector<CChartTrace::XYpair> spikes;
    std::vector<CChartTrace::XYpair> gappy;
    double y = 0.0;
    for (int i = 0; i < 9001; ++i) {
        y += noise(random);
        walk.emplace_back(i, y);
        spikes.emplace_back(i, i % 97 == 0 ? 40.0 * noise(random) : 0.3 * noise(random));
        gappy.emplace_back(i,
                           i % 1500 < 40 ? std::numeric_limits<double>::quiet_NaN()
                                         : 10.0 * std::sin(i / 300.0) + noise(random));
    }
    const COLORREF red = Rgb(200, 0, 0);
    cases.push_back({"random walk", Trace(walk, red), 0, 9000, -150, 150, wide});
    cases.push_back({"random walk zoomed", Trace(walk, red), 3000, 3400, -150, 150, wide});
    cases.push_back({"random walk off the axis", Trace(walk, red), -2000, 7000, -20, 20, wide});
    cases.push_back({"spikes", Trace(spikes, red), 0, 9000, -30, 30, narrow});
    cases.push_back({"gaps", Trace(gappy, red), 0, 9000, -15, 15, wide});

    CS2pData filter;
    if (filter.Load(TORVEX_TESTDATA "/filter.s4p") == 0) {
        for (int value = 0; value < 16; ++value) {
            for (int format : {0, 1, 2}) {
                CChartTrace trace;
                if (!filter.BuildTrace(trace, 1, value, format))
                    continue;
                trace.color = Rgb(0, 0, 200);
                // A margin keeps a flat trace off the plot's excluded bottom edge.
                const double margin = std::max(1.0, (trace.yMax - trace.yMin) / 20.0);
                const double low = trace.yMin - margin;
                const double high = trace.yMax + margin;
                cases.push_back({"filter " + std::to_string(value) + "/" + std::to_string(format),
                                 trace, trace.xMin, trace.xMax, low, high, narrow});
            }
        }
    }
    return cases;
}

TEST(TraceThinningImageTest, LinesAndMarksLookAsWhenEverySampleIsDrawn)
{
    const std::vector<Case> cases = Cases();
    ASSERT_GT(cases.size(), 40u) << "the real file did not load";
    for (const Case& c : cases) {
        for (bool reversed : {false, true}) {
            for (int lineType : {0, 1, 2, 3}) {
                SCOPED_TRACE(c.name + (reversed ? " reversed" : "") + " line type "
                             + std::to_string(lineType));
                CChartGraph graph = GraphWith(c.plot, c.xMin, c.xMax, c.yMin, c.yMax);
                graph.leftAxis.reversed = reversed;
                graph.lineType = lineType;
                graph.AddTrace(c.trace);
                const QImage expected = EverySample(graph);
                const QImage actual = Thinned(graph);
                ASSERT_GT(PixelsOfColour(actual, c.trace.color), 50);
                // Wide lines too: their corners and the spikes where they turn back stay.
                EXPECT_EQ(DifferingPixels(expected, actual), 0);
            }
        }
    }
}

TEST(TraceThinningImageTest, ThickTracesOfTheLargestFileLookTheSame)
{
    // 16001 points of a 1920-pixel chart: nine samples a column, sixteen traces over each other.
    CChartGraph graph = GraphWith(CRect(10, 10, 690, 410), 0, 16000, 0, 80);
    graph.lineType = 1;
    for (int t = 0; t < 16; ++t) {
        std::vector<CChartTrace::XYpair> points;
        for (int i = 0; i < 16001; ++i) {
            const double f = i / 16000.0;
            points.emplace_back(
                16000.0 * f,
                80.0
                    * (0.05 + 0.055 * t + 0.03 * std::sin(f * 60 + t) + 0.01 * std::sin(f * 2300)));
        }
        graph.AddTrace(Trace(points, NextTraceColor()));
    }
    EXPECT_EQ(DifferingPixels(EverySample(graph), Thinned(graph)), 0);
}

TEST(TraceThinningImageTest, MarksAreDrawnOncePerPosition)
{
    std::vector<CChartTrace::XYpair> points;
    for (int i = 0; i < 5001; ++i)
        points.emplace_back(i, std::round(std::sin(i / 40.0) * 3.0));
    for (int lineType : {2, 3}) {
        SCOPED_TRACE(lineType);
        CChartGraph graph = GraphWith(CRect(10, 10, 210, 110), 0, 5000, -10, 10);
        graph.lineType = lineType;
        graph.AddTrace(Trace(points, Rgb(200, 0, 0)));
        CRecordingDC dc(false, 96);
        graph.DrawTraces(dc);
        std::vector<std::pair<int, int>> drawn;
        std::size_t pixels = 0;
        for (const auto& r : dc.records) {
            if (r.kind == CRecordingDC::Kind::Arc)
                drawn.emplace_back(r.rect.left, r.rect.top);
            else if (r.kind == CRecordingDC::Kind::SetPixel && pixels++ % 4 == 0)
                drawn.emplace_back(r.point.x, r.point.y);  // the top left one of a point
        }
        const std::set<std::pair<int, int>> distinct(drawn.begin(), drawn.end());
        EXPECT_EQ(drawn.size(), distinct.size());
        // Every column of the plot holds some, and no column more than the 7 rows it spans.
        EXPECT_GE(distinct.size(), 200u);
        EXPECT_LE(distinct.size(), 200u * 7u);
    }
}

}  // namespace
