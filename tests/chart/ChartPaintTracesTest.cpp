// Traces, marker dots, legend, marker value table and cursor read-out of a painted graph, on
// a recording surface at 72 dots per inch (8 pt fonts: height 8, average width 4).
#include "chart/ChartGraph.h"
#include "platform/RecordingDC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace {

using Kind = CRecordingDC::Kind;

constexpr COLORREF kRed = Rgb(200, 0, 0);
constexpr COLORREF kBlue = Rgb(0, 0, 200);

// Plot (5, 5, 205, 305): 200 x 300 pixels, X 0..10, left Y 0..100 with its minimum at the top.
CChartGraph TraceGraph()
{
    CChartGraph graph(-1);
    graph.title.clear();
    graph.leftAxis.visible = false;
    graph.rightAxis.visible = false;
    graph.xAxis.visible = false;
    graph.showMarkers = false;
    graph.SetDivisions(10, 4, 4, 4);
    graph.xAxis.SetRange(0, 10);
    graph.leftAxis.SetRange(0, 100);
    graph.rightAxis.SetRange(0, 100);
    graph.graphArea.rect = CRect(0, 0, 210, 310);
    return graph;
}

CChartTrace XYTrace(const std::vector<CChartTrace::XYpair>& points, COLORREF color,
                    const std::string& name = "t")
{
    CChartTrace trace;
    trace.SetPoints(points);
    trace.color = color;
    trace.name = name;
    trace.inLegend = false;  // keeps the legend out of the plot's way
    return trace;
}

// Line runs drawn with a pen of this colour.
std::vector<std::vector<CPoint>> RunsIn(const CRecordingDC& dc, COLORREF color)
{
    std::vector<std::vector<CPoint>> runs;
    for (const auto& r : dc.records) {
        if (r.kind == Kind::MoveToEx && r.pen.color == color)
            runs.push_back({r.point});
        else if (r.kind == Kind::LineTo && r.pen.color == color && !runs.empty())
            runs.back().push_back(r.point);
    }
    return runs;
}

TEST(ChartPaintTracesTest, TwoPointTraceJoinsThePlotEdges)
{
    for (bool reversed : {false, true}) {
        SCOPED_TRACE(reversed ? "reversed" : "minimum at the top");
        CChartGraph graph = TraceGraph();
        graph.leftAxis.reversed = reversed;
        graph.AddTrace(XYTrace({{0, 0}, {10, 100}}, kRed));
        CRecordingDC dc(false, 72);
        graph.Draw(dc);
        ASSERT_EQ(graph.plotArea.rect, CRect(5, 5, 205, 305));
        const std::vector<std::vector<CPoint>> expected = reversed
            ? std::vector<std::vector<CPoint>>{{{5, 305}, {205, 5}}}
            : std::vector<std::vector<CPoint>>{{{5, 5}, {205, 305}}};
        EXPECT_EQ(RunsIn(dc, kRed), expected);
        // Drawn inside the restriction to the plot.
        for (const auto& r : dc.Find(Kind::LineTo)) {
            if (r.pen.color == kRed) {
                EXPECT_TRUE(r.clipped);
                EXPECT_EQ(r.clip, graph.plotArea.rect);
            }
        }
    }
}

// A line runs through the stored points on the axis and is cut where the axis ends, at any
// zoom: zoomed between two stored points it is the straight segment they give.
TEST(ChartPaintTracesTest, ZoomedLineRunsThroughTheStoredPoints)
{
    struct Row {
        double from, to;
        std::size_t samples;
    };
    const Row rows[] = {{90, 110, 21}, {90.25, 90.75, 2}, {89.5, 91.5, 4}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.from);
        CChartGraph graph = TraceGraph();
        std::vector<double> values;
        for (int k = 0; k <= 200; ++k)
            values.push_back(k);
        CChartTrace trace(values, 0, 200, "t", true);
        trace.color = kRed;
        trace.inLegend = false;
        graph.AddTrace(trace);
        graph.xAxis.SetRange(row.from, row.to);
        graph.leftAxis.SetRange(0, 200);
        CRecordingDC dc(false, 72);
        graph.Draw(dc);

        const auto runs = RunsIn(dc, kRed);
        ASSERT_EQ(runs.size(), 1u);
        ASSERT_EQ(runs[0].size(), row.samples);
        EXPECT_EQ(runs[0].front().x, 5);
        EXPECT_EQ(runs[0].back().x, 205);
        for (const CPoint& point : runs[0]) {
            const double x = row.from + (point.x - 5) / 200.0 * (row.to - row.from);
            EXPECT_NEAR(point.y, 5 + x * 1.5, 1.0);  // value equals X
        }
    }
}

TEST(ChartPaintTracesTest, PartlyCoveringTraceStartsAtItsFirstPoint)
{
    CChartGraph graph = TraceGraph();
    std::vector<CChartTrace::XYpair> points;
    for (int k = 0; k <= 10; ++k)
        points.emplace_back(5 + 0.5 * k, 50);
    graph.AddTrace(XYTrace(points, kRed));
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    const auto runs = RunsIn(dc, kRed);
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].size(), 11u);
    EXPECT_EQ(runs[0].front(), (CPoint{105, 155}));
    EXPECT_EQ(runs[0].back(), (CPoint{205, 155}));
}

// Files of different ranges share an axis: a short trace reaches its last point, and a dense
// one over a tenth of the axis keeps a one-point spike.
TEST(ChartPaintTracesTest, TracesOfOtherRangesAreDrawnWhole)
{
    CChartGraph graph = TraceGraph();
    graph.AddTrace(XYTrace({{0, 10}, {3, 10}, {6.25, 10}}, kRed));
    std::vector<CChartTrace::XYpair> dense;
    for (int k = 0; k <= 1000; ++k)
        dense.emplace_back(8 + 0.001 * k, k == 333 ? 90 : 20);
    graph.AddTrace(XYTrace(dense, kBlue));
    for (int lineType : {0, 2}) {
        SCOPED_TRACE(lineType);
        graph.lineType = lineType;
        CRecordingDC dc(false, 72);
        graph.Draw(dc);
        if (lineType == 0) {
            const auto red = RunsIn(dc, kRed);
            ASSERT_EQ(red.size(), 1u);
            EXPECT_EQ(red[0].back(), (CPoint{130, 35}));
            int deepest = 0;
            for (const auto& run : RunsIn(dc, kBlue))
                for (const CPoint& point : run)
                    deepest = std::max(deepest, point.y);
            EXPECT_EQ(deepest, 5 + 270);
        } else {
            int rightmost = 0;
            for (const auto& r : dc.Find(Kind::SetPixel))
                if (r.color == kRed)
                    rightmost = std::max(rightmost, r.point.x);
            EXPECT_EQ(rightmost, 131);  // the last of the 2 x 2 pixels at 130
        }
    }
}

TEST(ChartPaintTracesTest, NaNSampleBreaksTheLine)
{
    CChartGraph graph = TraceGraph();
    graph.xAxis.SetRange(0, 4);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    graph.AddTrace(XYTrace({{0, 10}, {1, 20}, {2, nan}, {3, 40}, {4, 50}}, kRed));
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    const auto runs = RunsIn(dc, kRed);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (std::vector<CPoint>{{5, 35}, {55, 65}}));
    EXPECT_EQ(runs[1], (std::vector<CPoint>{{155, 125}, {205, 155}}));
}

TEST(ChartPaintTracesTest, ValuesFarOffTheAxisAreClampedNotConverted)
{
    CChartGraph graph = TraceGraph();
    graph.showMarkers = true;
    const double inf = std::numeric_limits<double>::infinity();
    graph.AddTrace(XYTrace({{0, 1e300}, {2.5, -1e300}, {5, inf}, {7.5, -inf}, {10, 1e18}}, kRed));
    graph.markers = {0.0, 5.0, 10.0};
    for (int lineType : {1, 2, 3}) {
        SCOPED_TRACE(lineType);
        graph.lineType = lineType;
        CRecordingDC dc(false, 72);
        graph.Draw(dc);
        for (const auto& r : dc.records) {
            if (r.kind != Kind::LineTo && r.kind != Kind::MoveToEx && r.kind != Kind::SetPixel
                && r.kind != Kind::Arc && r.kind != Kind::Ellipse)
                continue;
            const CPoint pt = r.kind == Kind::Arc || r.kind == Kind::Ellipse
                ? CPoint{r.rect.left, r.rect.top}
                : r.point;
            EXPECT_GE(pt.y, 5 - 1000010);
            EXPECT_LE(pt.y, 305 + 1000010);
        }
    }
}

TEST(ChartPaintTracesTest, LineTypesAndPens)
{
    struct Row {
        int lineType;
        bool printing;
        std::int32_t penWidth;
    };
    const Row rows[] = {
        {0, false, 1}, {1, false, 2}, {2, false, 1}, {3, false, 1},
        {0, true, 2},  {1, true, 4},  {2, true, 2},  {3, true, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.lineType << (row.printing ? " printer" : ""));
        CChartGraph graph = TraceGraph();
        graph.lineType = row.lineType;
        graph.AddTrace(XYTrace({{0, 0}, {5, 50}, {10, 100}}, kRed));
        CRecordingDC dc(row.printing, 72);
        graph.Draw(dc);
        // Samples at (5, 5), (105, 155), (205, 305).
        const std::vector<CPoint> samples = {{5, 5}, {105, 155}, {205, 305}};
        std::vector<CPoint> drawn;
        switch (row.lineType) {
        case 0:
        case 1:
            ASSERT_EQ(RunsIn(dc, kRed).size(), 1u);
            EXPECT_EQ(RunsIn(dc, kRed)[0], samples);
            for (const auto& r : dc.Find(Kind::LineTo)) {
                if (r.pen.color == kRed) {
                    EXPECT_EQ(r.pen.width, row.penWidth);
                }
            }
            break;
        case 2: {
            const auto pixels = dc.Find(Kind::SetPixel);
            std::vector<CPoint> traced;
            for (const auto& r : pixels)
                if (r.color == kRed)
                    traced.push_back(r.point);
            std::vector<CPoint> expected;
            for (const CPoint& s : samples)
                for (const CPoint& d : {CPoint{0, 0}, CPoint{1, 0}, CPoint{0, 1}, CPoint{1, 1}})
                    expected.push_back(CPoint{s.x + d.x, s.y + d.y});
            EXPECT_EQ(traced, expected);
            break;
        }
        case 3: {
            const auto arcs = dc.Find(Kind::Arc);
            ASSERT_EQ(arcs.size(), 3u);
            for (std::size_t i = 0; i < arcs.size(); ++i) {
                const CPoint s = samples[i];
                EXPECT_EQ(arcs[i].rect, CRect(s.x - 3, s.y - 3, s.x + 3, s.y + 3));
                EXPECT_EQ(arcs[i].point, arcs[i].from);  // the whole circle
                EXPECT_EQ(arcs[i].pen.color, kRed);
                EXPECT_EQ(arcs[i].pen.width, row.penWidth);
            }
            break;
        }
        default: break;
        }
        if (row.lineType >= 2) {
            EXPECT_TRUE(RunsIn(dc, kRed).empty());
        }
    }
}

TEST(ChartPaintTracesTest, MarkerDotsWithNumbers)
{
    for (int lineType : {0, 1, 2, 3}) {
        SCOPED_TRACE(lineType);
        CChartGraph graph = TraceGraph();
        graph.lineType = lineType;
        graph.showMarkers = true;
        graph.AddTrace(XYTrace({{0, 0}, {10, 100}}, kRed));
        graph.AddTrace(XYTrace({{0, 100}, {4, 60}}, kBlue));  // covers 0..4 only
        graph.markers = {5.0, 2.0};
        CRecordingDC dc(false, 72);
        graph.Draw(dc);
        ASSERT_EQ(graph.plotArea.rect, CRect(5, 5, 205, 305));

        const auto dots = dc.Find(Kind::Ellipse);
        ASSERT_EQ(dots.size(), 3u);
        // Red: marker 1 at (105, 155), marker 2 at (45, 65); blue: marker 2 only, (45, 245).
        const CPoint centres[] = {{105, 155}, {45, 65}, {45, 245}};
        const COLORREF colors[] = {kRed, kRed, kBlue};
        const char* numbers[] = {"1", "2", "2"};
        const auto texts = dc.Find(Kind::TextOut);
        ASSERT_EQ(texts.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            const CPoint c = centres[i];
            EXPECT_EQ(dots[i].rect, CRect(c.x - 4, c.y - 4, c.x + 4, c.y + 4));
            EXPECT_EQ(dots[i].brush.color, colors[i]);
            EXPECT_EQ(dots[i].pen.color, colors[i]);
            EXPECT_EQ(texts[i].text, numbers[i]);
            EXPECT_EQ(texts[i].point, (CPoint{c.x + 5, c.y + 5}));
            EXPECT_EQ(texts[i].textColor, colors[i]);
            EXPECT_EQ(texts[i].align, TA_LEFT | TA_TOP);
            EXPECT_EQ(texts[i].bkColor, graph.plotArea.fillColor);
            EXPECT_EQ(texts[i].font.faceName, "Arial");
        }
    }
}

TEST(ChartPaintTracesTest, NoDotsWithMarkersHiddenOrTooFewPoints)
{
    CChartGraph graph = TraceGraph();
    graph.AddTrace(XYTrace({{0, 0}, {10, 100}}, kRed));
    graph.markers = {5.0};
    {
        CRecordingDC dc(false, 72);
        graph.Draw(dc);
        EXPECT_EQ(dc.Count(Kind::Ellipse), 0u);
        EXPECT_EQ(RunsIn(dc, kRed).size(), 1u);
    }
    graph.showMarkers = true;
    graph.ClearTraces();
    graph.AddTrace(XYTrace({{5, 50}}, kRed));
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    EXPECT_EQ(dc.Count(Kind::Ellipse), 0u);
    EXPECT_TRUE(RunsIn(dc, kRed).empty());
}

// --- Legend ---

// No Y axes, X axis hidden: the plot spans 5..405 when the X divisions allow.
CChartGraph LegendGraph(std::int32_t graphWidth = 410)
{
    CChartGraph graph = TraceGraph();
    graph.showMarkers = true;
    graph.xAxis.SetRange(0, 10);
    graph.graphArea.rect = CRect(0, 0, graphWidth, 300);
    return graph;
}

CChartTrace Listed(const std::string& name, bool left, COLORREF color = kRed)
{
    CChartTrace trace = XYTrace({{0, 0}, {10, 100}}, color, name);
    trace.inLegend = true;
    trace.onLeftAxis = left;
    return trace;
}

TEST(ChartPaintLegendTest, LegendRowsFromNamesAndMarkers)
{
    struct Row {
        const char* label;
        int leftTraces;
        int rightTraces;
        int listed;  // of all traces, the first ones are listed
        bool withMarker;
        int rows;  // 0: no legend
    };
    // Name of 10 characters: an entry of 10 x 4 + 2 x 4 + 12 = 60 pixels from left + 14;
    // the plot is 400 wide, a right-axis entry sends the left ones into the left half.
    const Row rows[] = {
        {"nothing", 0, 0, 0, false, 0},
        {"one left", 1, 0, 1, false, 1},
        {"six left fit", 6, 0, 6, false, 1},
        {"seven left overflow", 7, 0, 7, false, 2},
        {"unlisted take no room", 7, 0, 0, false, 1},
        {"half width with a right trace", 4, 1, 5, false, 2},
        {"three and one", 3, 1, 4, false, 1},
        {"markers, three listed", 3, 0, 3, true, 5},
        {"markers, nine listed", 9, 0, 9, true, 11},
        {"markers, none listed", 3, 0, 0, true, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        CChartGraph graph = LegendGraph();
        int n = 0;
        for (int i = 0; i < row.leftTraces + row.rightTraces; ++i) {
            CChartTrace trace = Listed("0123456789", i < row.leftTraces);
            trace.inLegend = n++ < row.listed;
            graph.AddTrace(trace);
        }
        if (row.withMarker)
            graph.markers = {5.0};
        CRecordingDC dc(false, 72);
        graph.Draw(dc);
        EXPECT_EQ(graph.legendArea.visible, row.rows > 0);
        if (row.rows == 0) {
            EXPECT_EQ(graph.plotArea.rect.bottom, 295);
            continue;
        }
        // Twelve pixels for each of the first two rows, the nine of the pitch for more.
        const std::int32_t c = 12 * std::min(row.rows, 2) + 9 * std::max(row.rows - 2, 0) + 1;
        EXPECT_EQ(graph.legendArea.rect, CRect(5, 294 - c, 405, 294));
        // The plot gave up c pixels, then shrank to whole 10-pixel divisions.
        const std::int32_t h = 290 - c;
        EXPECT_EQ(graph.plotArea.rect.bottom - graph.plotArea.rect.top, 10 * (h / 10));
    }
}

TEST(ChartPaintLegendTest, TraceLegendEntriesWrapIntoTheRowsTheyNeed)
{
    CChartGraph graph = LegendGraph();
    graph.rightAxis.visible = false;
    // 20 characters: entry width 20 x 4 + 2 x 4 + 12 = 100; three fit in a 400-pixel row.
    for (int i = 0; i < 10; ++i)
        graph.AddTrace(Listed(std::string(19, 'a') + static_cast<char>('0' + i), true));
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    const CRect l = graph.legendArea.rect;
    ASSERT_TRUE(graph.legendArea.visible);

    std::vector<CRecordingDC::Record> names;
    for (const auto& r : dc.Find(Kind::TextOut))
        if (r.text.size() == 20)
            names.push_back(r);
    ASSERT_EQ(names.size(), 10u);  // the tenth in a fourth row, which the box has
    EXPECT_EQ(l.bottom - l.top, 12 * 2 + 9 * 2 + 1);
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(i);
        const std::int32_t row = static_cast<std::int32_t>(i / 3);
        const std::int32_t col = static_cast<std::int32_t>(i % 3);
        // Row pitch 9: rows at top + 2 + 9 row; swatch 1 lower, name 2 above the swatch.
        const std::int32_t swatchX = l.left + 14 + 100 * col;
        const std::int32_t swatchY = l.top + 2 + 9 * row + 1;
        EXPECT_EQ(names[i].point, (CPoint{swatchX + 12, swatchY - 2}));
        EXPECT_EQ(names[i].clip, l);
        EXPECT_TRUE(names[i].clipped);
        EXPECT_EQ(names[i].textColor, kRed);
        EXPECT_EQ(names[i].bkColor, graph.legendArea.fillColor);
    }
    std::size_t swatches = 0;
    for (const auto& r : dc.Find(Kind::FillSolidRect))
        if (r.color == kRed && r.rect.Width() == 6 && r.rect.Height() == 6)
            ++swatches;
    EXPECT_EQ(swatches, 10u);
}

TEST(ChartPaintLegendTest, RightAxisTracesStartInTheMiddle)
{
    CChartGraph graph = LegendGraph();
    graph.rightAxis.visible = true;
    graph.leftAxis.visible = false;
    graph.graphArea.rect = CRect(0, 0, 410 + 2 * 47, 300);  // room for the Y margins
    graph.AddTrace(Listed("ABCDEFGHIJKLMN", true));
    graph.AddTrace(Listed("right", false, kBlue));
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    const CRect l = graph.legendArea.rect;
    const std::int32_t mid = (l.left + l.right) / 2;
    const auto* left = dc.FindText("ABCDEFGHIJKLMN");  // shown in full
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->point.x, l.left + 14 + 12);
    const auto* right = dc.FindText("right");
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->point, (CPoint{mid + 10 + 12, left->point.y}));
    EXPECT_EQ(right->textColor, kBlue);
}

TEST(ChartPaintLegendTest, NoEntriesWhenNothingIsListed)
{
    CChartGraph graph = LegendGraph();
    CChartTrace trace = Listed("hidden", true);
    trace.inLegend = false;
    graph.AddTrace(trace);
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    ASSERT_TRUE(graph.legendArea.visible);
    EXPECT_EQ(dc.FindText("hidden"), nullptr);
    const auto fills = dc.Find(Kind::FillSolidRect);
    bool boxFilled = false;
    for (const auto& r : fills)
        boxFilled = boxFilled || r.rect == graph.legendArea.rect;
    EXPECT_TRUE(boxFilled);
}

TEST(ChartPaintLegendTest, MarkerTableColumns)
{
    CChartGraph graph = LegendGraph();
    graph.xAxis.SetRange(2, 10);
    graph.xShortTitle = "Freq";
    graph.axisTitleFont.color = Rgb(0, 0, 64);
    CChartTrace trace = Listed("ABCDEFGHIJKLMN", true);
    graph.AddTrace(trace);
    graph.markers = {1.5, 3.0};
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    const CRect l = graph.legendArea.rect;
    ASSERT_TRUE(graph.legendArea.visible);
    const std::int32_t y0 = l.top + 4;

    struct Expected {
        std::string text;
        CRect clip;
        COLORREF color;
    };
    // Header column from left + 10, as wide as the swatch and the whole name (10 + 14 x 4);
    // marker 2's column 8 x 4 wide, 4 further on.
    const std::int32_t h = l.left + 10;
    const std::int32_t m = h + 66 + 4;
    const Expected cells[] = {
        {"Marker", CRect(h, y0, h + 66, y0 + 9), graph.legendFont.color},
        {"Freq", CRect(h, y0 + 9, h + 66, y0 + 18), Rgb(0, 0, 64)},
        {"ABCDEFGHIJKLMN", CRect(h + 10, y0 + 18, h + 66, y0 + 27), kRed},
        {"2", CRect(m, y0, m + 32, y0 + 9), graph.legendFont.color},
        {"3", CRect(m, y0 + 9, m + 32, y0 + 18), Rgb(0, 0, 64)},
        {"30", CRect(m, y0 + 18, m + 32, y0 + 27), kRed},
    };
    std::vector<CRecordingDC::Record> texts;
    for (const auto& r : dc.Find(Kind::ExtTextOut))
        if (r.clipped && r.clip == l)
            texts.push_back(r);
    ASSERT_EQ(texts.size(), std::size(cells));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(cells[i].text);
        EXPECT_EQ(texts[i].text, cells[i].text);
        EXPECT_EQ(texts[i].rect, cells[i].clip);
        EXPECT_EQ(texts[i].point, (CPoint{cells[i].clip.left, cells[i].clip.top}));
        EXPECT_EQ(texts[i].textColor, cells[i].color);
        EXPECT_EQ(texts[i].align, TA_LEFT | TA_TOP);
    }
    // The swatch: 6 x 6 at the row's left, centred on it.
    bool swatch = false;
    for (const auto& r : dc.Find(Kind::FillSolidRect))
        swatch = swatch || (r.color == kRed && r.rect == CRect(h, y0 + 22 - 3, h + 6, y0 + 25));
    EXPECT_TRUE(swatch);
}

TEST(ChartPaintTracesTest, FixedMarksScaleWithThePage)
{
    // At 600 dpi a page pixel is a sixth of a screen pixel: dots, circles, points and
    // swatches grow six times, so that they keep their size on paper.
    struct Row {
        bool printing;
        int dpi;
        std::int32_t scale;
    };
    for (const Row& row : {Row{false, 600, 1}, Row{true, 72, 1}, Row{true, 600, 6}}) {
        SCOPED_TRACE(testing::Message() << row.printing << " " << row.dpi);
        for (int lineType : {2, 3}) {
            CChartGraph graph = LegendGraph(2000);
            graph.lineType = lineType;
            graph.AddTrace(Listed("t", true));
            graph.markers = {5.0};
            CRecordingDC dc(row.printing, row.dpi);
            graph.Draw(dc);
            const auto dots = dc.Find(Kind::Ellipse);
            ASSERT_EQ(dots.size(), 1u);
            EXPECT_EQ(dots[0].rect.Width(), 8 * row.scale);
            bool swatch = false;
            for (const auto& r : dc.Find(Kind::FillSolidRect))
                swatch = swatch
                    || (r.color == kRed && r.rect.Width() == 6 * row.scale
                        && r.rect.Height() == 6 * row.scale);
            EXPECT_TRUE(swatch);
            if (lineType == 3) {
                ASSERT_FALSE(dc.Find(Kind::Arc).empty());
                EXPECT_EQ(dc.Find(Kind::Arc)[0].rect.Width(), 6 * row.scale);
            } else if (row.scale > 1) {
                bool point = false;
                for (const auto& r : dc.Find(Kind::FillSolidRect))
                    point = point || (r.color == kRed && r.rect.Width() == 2 * row.scale);
                EXPECT_TRUE(point);
            }
        }
    }
}

TEST(ChartPaintLegendTest, MarkerTableNeverCutsOrExtrapolatesValues)
{
    CChartGraph graph = LegendGraph();
    CChartTrace narrow = XYTrace({{5, -2020.123}, {10, -2.86e-09}}, kRed, "narrow");
    narrow.inLegend = true;
    narrow.numberFormat = "%.6g";
    graph.AddTrace(narrow);
    graph.markers = {1.0, 5.0, 10.0};  // the first lies before the trace's data
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    std::vector<CRecordingDC::Record> values;
    for (const auto& r : dc.Find(Kind::ExtTextOut))
        if (r.textColor == kRed && r.rect.left > graph.legendArea.rect.left + 60)
            values.push_back(r);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].text, "-");
    EXPECT_EQ(values[1].text, "-2020.12");
    EXPECT_EQ(values[2].text.substr(0, 5), "-2.85");
    dc.SelectFont(graph.legendFont.font);
    for (const auto& v : values) {
        SCOPED_TRACE(v.text);
        EXPECT_GE(v.rect.Width(), dc.GetTextExtent(v.text).cx);
    }
}

TEST(ChartPaintLegendTest, MarkerTableGoesOnInABandBelowTheEdge)
{
    // One X division, so the plot and the legend are 382 wide: columns end at left + 58,
    // then every 36 pixels from left + 94; the ninth marker column would end at the edge,
    // so it and the tenth go into a second band, three rows further down.
    CChartGraph graph = LegendGraph(392);
    graph.SetDivisions(10, 4, 1, 4);
    graph.AddTrace(Listed("t", true));
    for (int i = 0; i < 10; ++i)
        graph.markers.push_back(1.0 + 0.5 * i);
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    ASSERT_EQ(graph.legendArea.rect.right - graph.legendArea.rect.left, 382);
    std::vector<std::string> numbers;
    for (const auto& r : dc.Find(Kind::ExtTextOut))
        if (r.rect.top == graph.legendArea.rect.top + 4 && r.text != "Marker")
            numbers.push_back(r.text);
    EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
    std::vector<std::string> below;
    for (const auto& r : dc.Find(Kind::ExtTextOut))
        if (r.rect.top == graph.legendArea.rect.top + 4 + 3 * 9)
            below.push_back(r.text);
    EXPECT_EQ(below, (std::vector<std::string>{"Marker", "9", "10"}));
    EXPECT_EQ(graph.legendArea.rect.bottom - graph.legendArea.rect.top, 12 * 2 + 9 * 4 + 1);
}

TEST(ChartPaintLegendTest, MarkerTableListsEveryListedTrace)
{
    CChartGraph graph = LegendGraph();
    for (int i = 0; i < 7; ++i)
        graph.AddTrace(Listed("trace" + std::to_string(i), true));
    CChartTrace unlisted = Listed("unlisted", true);
    unlisted.inLegend = false;
    graph.traces.insert(graph.traces.begin() + 1, unlisted);
    graph.markers = {5.0};
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    for (int i = 0; i < 7; ++i)
        EXPECT_NE(dc.FindText("trace" + std::to_string(i)), nullptr) << i;
    EXPECT_EQ(dc.FindText("unlisted"), nullptr);
    // Nine rows: "Marker", the X row and seven traces.
    EXPECT_EQ(graph.legendArea.rect.bottom - graph.legendArea.rect.top, 12 * 2 + 9 * 7 + 1);
}

// Sixteen kept traces of 24, on screen and on a 600 dpi page, with and without markers:
// every name is drawn whole inside the box (and inside its table cell), and the box says
// how many traces the view offered.
TEST(ChartPaintLegendTest, EveryKeptTraceIsListedWholeAndTheDropIsSaid)
{
    struct Row {
        const char* name;
        bool printing;
        int dpi;
        std::int32_t width, height;
        bool markers;
    };
    const Row rows[] = {
        {"screen", false, 96, 900, 560, false}, {"screen, table", false, 96, 900, 560, true},
        {"narrow", false, 96, 500, 560, false}, {"narrow, table", false, 96, 500, 700, true},
        {"page", true, 600, 5600, 4000, false}, {"page, table", true, 600, 5600, 4000, true},
        // Too low for a table of 16 rows: two tables side by side.
        {"low, table", false, 96, 1200, 380, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CChartGraph graph = LegendGraph();
        graph.graphArea.rect = CRect(0, 0, row.width, row.height);
        std::vector<std::string> names;
        for (int i = 0; i < 16; ++i) {
            names.push_back("S" + std::to_string(i % 8 + 1) + "1[|Z|](" + std::to_string(i / 8 + 1)
                            + ")");
            graph.AddTrace(Listed(names.back(), i % 3 != 0, i % 2 ? kRed : kBlue));
        }
        graph.rightAxis.visible = true;
        graph.tracesOffered = 24;
        if (row.markers)
            graph.markers = {2.0, 4.0, 6.0, 8.0};
        CRecordingDC dc(row.printing, row.dpi);
        graph.Draw(dc);
        ASSERT_TRUE(graph.plotArea.visible);
        const CRect l = graph.legendArea.rect;
        const auto inside = [](const CRect& cell, const CRect& box) {
            return cell.left >= box.left && cell.right <= box.right && cell.top >= box.top
                && cell.bottom <= box.bottom;
        };
        for (const std::string& name : names) {
            const CRecordingDC::Record* r = dc.FindText(name);
            ASSERT_NE(r, nullptr) << name;
            EXPECT_TRUE(inside(r->cell, l)) << name;
            if (r->kind == Kind::ExtTextOut) {
                EXPECT_TRUE(inside(r->cell, r->rect)) << name;
            }
        }
        const CRecordingDC::Record* note = dc.FindText("16 of 24 traces shown");
        ASSERT_NE(note, nullptr);
        EXPECT_TRUE(inside(note->cell, l));
    }
}

TEST(ChartPaintLegendTest, ReferenceMarkerTableShowsDifferences)
{
    // The trace is 10 x X; marker 1 at 2 is the reference, marker 3 lies before the data.
    CChartGraph graph = LegendGraph();
    graph.AddTrace(Listed("t", true));
    graph.traces[0].SetPoints({{1, 10}, {10, 100}});
    graph.markers = {2.0, 5.5, 0.5, 9.0};
    struct Row {
        bool reference;
        std::vector<std::string> texts;  // each marker column from the top
    };
    const Row rows[] = {
        {false, {"1", "2", "20", "2", "5.5", "55", "3", "0.5", "-", "4", "9", "90"}},
        {true,
         {"1 ref", "2", "20",
          "\xCE\x94"
          "2",
          "3.5", "35",
          "\xCE\x94"
          "3",
          "-1.5", "-",
          "\xCE\x94"
          "4",
          "7", "70"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reference ? "reference" : "plain");
        graph.referenceMarker = row.reference;
        CRecordingDC dc(false, 72);
        graph.Draw(dc);
        std::vector<std::string> texts;
        for (const auto& r : dc.Find(Kind::ExtTextOut))
            if (r.clipped && r.clip == graph.legendArea.rect
                && r.rect.left > graph.legendArea.rect.left + 60)
                texts.push_back(r.text);
        EXPECT_EQ(texts, row.texts);
    }
}

TEST(ChartPaintTracesTest, LimitMaskLinesFailingStretchesAndVerdict)
{
    // Plot (5, 5, 205, 305), X 0..10, Y 0..100 downward: the trace rises from 0 to 100 and
    // lies above 50 from X = 5 on.
    const COLORREF kMask = Rgb(64, 64, 64);
    const COLORREF kFail = Rgb(210, 0, 0);
    struct Row {
        const char* mask;
        const char* verdict;
        std::vector<std::vector<CPoint>> failing;
        std::size_t dashes;
    };
    const Row rows[] = {
        {"upper 0 10 50", " FAIL ", {{{105, 155}, {205, 155}}}, 20},
        {"upper 0 10 100", " PASS ", {}, 20},
        // Half the segment is off the axis: only what shows is dashed.
        {"upper 5 15 100", " PASS ", {}, 10},
        // A mask for another item judges no trace: nothing to draw, and no pass.
        {"upper 0 10 100 S11:db", " FAIL ", {}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mask);
        CChartGraph graph = TraceGraph();
        graph.AddTrace(XYTrace({{0, 0}, {10, 100}}, kRed, "S21[dB](1)"));
        std::vector<CLimitMask::ParseError> errors;
        ASSERT_TRUE(graph.limitMask.Parse(row.mask, errors));
        CRecordingDC dc(false, 72);
        graph.Draw(dc);
        EXPECT_EQ(RunsIn(dc, kFail), row.failing);
        const auto dashes = RunsIn(dc, kMask);
        EXPECT_EQ(dashes.size(), row.dashes);
        for (const auto& d : dashes) {
            ASSERT_EQ(d.size(), 2u);
            EXPECT_EQ(d[1].x - d[0].x, 6);
        }
        const CRecordingDC::Record* verdict = dc.FindText(row.verdict);
        ASSERT_NE(verdict, nullptr);
        EXPECT_EQ(verdict->point, (CPoint{201, 9}));
        EXPECT_EQ(verdict->align, TA_RIGHT | TA_TOP);
        EXPECT_TRUE(verdict->clipped);
    }
}

TEST(ChartPaintTracesTest, LimitSegmentsWithoutDataAreDrawnAndNamed)
{
    // S21 has data from 0 to 10 only, S11 from 0 to 40 on the same axis; X shows 0..40.
    const COLORREF kMask = Rgb(64, 64, 64);
    const COLORREF kNoData = Rgb(150, 150, 150);
    CChartGraph graph = TraceGraph();
    graph.xAxis.SetRange(0, 40);
    graph.AddTrace(XYTrace({{0, 0}, {10, 100}}, kRed, "S21[dB](1)"));
    graph.AddTrace(XYTrace({{0, 50}, {40, 50}}, kRed, "S11[dB](1)"));
    std::vector<CLimitMask::ParseError> errors;
    ASSERT_TRUE(
        graph.limitMask.Parse("upper 0 40 100 S11:db\n"
                              "upper 20 30 60 S21:db\n"
                              "upper 0 10 100 S33:db\n",
                              errors));
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    EXPECT_EQ(RunsIn(dc, kMask).size(), 20u);   // the judged segment, across the plot
    EXPECT_EQ(RunsIn(dc, kNoData).size(), 5u);  // 20..30 of 0..40 over 200 pixels
    const CRecordingDC::Record* label = dc.FindText("no data");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->point.x, 5 + 125);
    EXPECT_NE(dc.FindText(" FAIL "), nullptr);
    EXPECT_NE(dc.FindText(" no data: mask lines 2, 3 "), nullptr);
}

// --- Read-out ---

TEST(ChartPaintReadoutTest, LinesPerVisibleAxis)
{
    CChartGraph graph(-1);
    graph.plotArea.rect = CRect(100, 50, 300, 250);
    graph.xAxis.SetRange(0, 10);
    graph.leftAxis.SetRange(0, 80);
    graph.rightAxis.SetRange(-20, 20);
    graph.rightAxis.reversed = true;
    const CPoint point{150, 150};  // a quarter across, halfway down

    graph.xAxis.visible = true;
    graph.leftAxis.visible = true;
    graph.rightAxis.visible = true;
    EXPECT_EQ(graph.Readout(point), "X= 2.5\nYL= 40\nYR= 0\n");
    graph.rightAxis.visible = false;
    EXPECT_EQ(graph.Readout(point), "X= 2.5\nYL= 40\n");
    graph.leftAxis.visible = false;
    EXPECT_EQ(graph.Readout(point), "X= 2.5\n");
    graph.xAxis.labelFormat = "%.2f MHz";
    EXPECT_EQ(graph.Readout(point), "X= 2.50 MHz\n");
    EXPECT_EQ(graph.Readout(CPoint{150, 40}), "");
}

TEST(ChartPaintReadoutTest, PlotEdges)
{
    CChartGraph graph(-1);
    graph.plotArea.rect = CRect(100, 50, 300, 250);
    graph.xAxis.SetRange(1, 5);
    struct Row {
        CPoint point;
        double x;  // -1: outside
    };
    const Row rows[] = {
        {{100, 50}, 1.0},  {{100, 249}, 1.0}, {{299, 100}, 1.0 + 4.0 * 199 / 200},
        {{200, 100}, 3.0}, {{300, 100}, -1},  {{200, 250}, -1},
        {{99, 100}, -1},   {{200, 49}, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.point.x << "," << row.point.y);
        EXPECT_DOUBLE_EQ(graph.XAtPoint(row.point), row.x);
        EXPECT_EQ(graph.Readout(row.point).empty(), row.x < 0);
    }
}

TEST(ChartPaintReadoutTest, UsesThePlotOfTheLastPaint)
{
    CChartGraph graph = TraceGraph();
    graph.xAxis.visible = true;
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    const CRect p = graph.plotArea.rect;
    EXPECT_DOUBLE_EQ(graph.XAtPoint(CPoint{p.left, p.top}), 0.0);
    EXPECT_DOUBLE_EQ(graph.XAtPoint(CPoint{p.right, p.top}), -1.0);
    EXPECT_DOUBLE_EQ(graph.XAtPoint(CPoint{(p.left + p.right) / 2, p.top}), 5.0);
}

}  // namespace

namespace {

TEST(ChartPaintReadoutTest, APlotTooSmallToDrawHasNothingToReadOrClick)
{
    CChartGraph graph(-1);
    graph.xAxis.SetRange(1, 5);
    graph.graphArea.rect = CRect(0, 0, 400, 40);  // leaves a plot lower than 50 pixels
    CRecordingDC dc(false, 96);
    graph.Draw(dc);
    ASSERT_FALSE(graph.plotArea.visible);
    const CRect p = graph.plotArea.rect;
    const CPoint inside{(p.left + p.right) / 2, p.top};
    EXPECT_EQ(graph.Readout(inside), "");
    EXPECT_EQ(graph.XAtPoint(inside), -1.0);
}

}  // namespace
