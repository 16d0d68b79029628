// Layout and grid of a painted graph and sheet, checked pixel for pixel on a recording
// surface. At 72 dots per inch the recording fonts measure: 8 pt height 8, average width 4;
// 9 pt 9; 10 pt 10 (width 5); 11 pt 11; 13 pt 13 (width 6).
#include "chart/ChartSheet.h"
#include "platform/RecordingDC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using Kind = CRecordingDC::Kind;

// A graph with nothing around the plot: no title, no axes, no legend.
CChartGraph BareGraph(const CRect& area)
{
    CChartGraph graph(-1);
    graph.title.clear();
    graph.leftAxis.visible = false;
    graph.rightAxis.visible = false;
    graph.xAxis.visible = false;
    graph.showMarkers = false;
    graph.graphArea.rect = area;
    return graph;
}

std::vector<CRecordingDC::Record> LinesIn(const CRecordingDC& dc, COLORREF color)
{
    std::vector<CRecordingDC::Record> lines;
    for (const auto& r : dc.Find(Kind::LineTo))
        if (r.pen.color == color)
            lines.push_back(r);
    return lines;
}

std::vector<std::int32_t> HorizontalYs(const std::vector<CRecordingDC::Record>& lines)
{
    std::vector<std::int32_t> ys;
    for (const auto& r : lines)
        if (r.from.y == r.point.y)
            ys.push_back(r.point.y);
    return ys;
}

TEST(ChartPaintLayoutTest, PlotRectangleFromFontMetrics)
{
    CChartGraph graph(-1);
    graph.title = "Title";
    graph.leftAxis.visible = true;
    graph.rightAxis.visible = false;  // the right margin is reserved all the same
    graph.xAxis.visible = true;
    graph.showMarkers = false;
    graph.graphArea.rect = CRect(0, 0, 400, 300);
    CRecordingDC dc(false, 72);
    graph.Draw(dc);

    // Title: 7 x 11 / 4 = 19. Y margins: 3 x 10 / 2 + 8 x 4 = 47 each side. X: 2 x 8 + 15.
    EXPECT_EQ(graph.titleArea.rect, CRect(0, 0, 400, 19));
    EXPECT_TRUE(graph.titleArea.visible);
    // (52, 20, 348, 264): W 296 = 4 x 74, H 244 -> 8 x 30 = 240, shifted down by 2.
    EXPECT_EQ(graph.plotArea.rect, CRect(52, 22, 348, 262));
    EXPECT_TRUE(graph.plotArea.visible);
    EXPECT_FALSE(graph.legendArea.visible);
}

TEST(ChartPaintLayoutTest, EmptyTitleStartsThePlotFivePixelsDown)
{
    CChartGraph graph = BareGraph(CRect(10, 20, 210, 420));
    graph.title.clear();
    graph.SetDivisions(1, 1, 1, 1);  // no rounding shift
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    EXPECT_FALSE(graph.titleArea.visible);
    EXPECT_EQ(graph.plotArea.rect.top, 25);
    EXPECT_EQ(graph.plotArea.rect.left, 15);
}

TEST(ChartPaintLayoutTest, GridSpacingOfTenDivisionsOverThreeHundredPixels)
{
    CChartGraph graph = BareGraph(CRect(0, 0, 210, 310));
    graph.SetDivisions(10, 4, 4, 4);
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    ASSERT_EQ(graph.plotArea.rect, CRect(5, 5, 205, 305));

    std::vector<std::int32_t> major = HorizontalYs(LinesIn(dc, graph.majorGridColor));
    std::vector<std::int32_t> expectedMajor;
    for (int j = 0; j <= 10; ++j)
        expectedMajor.push_back(5 + 30 * j);
    EXPECT_EQ(major, expectedMajor);

    std::vector<std::int32_t> minor = HorizontalYs(LinesIn(dc, graph.minorGridColor));
    std::vector<std::int32_t> expectedMinor;
    for (int j = 0; j < 10; ++j)
        for (int k : {6, 12, 18, 24})
            expectedMinor.push_back(5 + 30 * j + k);
    EXPECT_EQ(minor, expectedMinor);

    // Vertical lines run from the plot's top to its bottom, every 50 pixels, minor every 10.
    std::vector<std::int32_t> verticalMajor;
    for (const auto& r : LinesIn(dc, graph.majorGridColor))
        if (r.from.x == r.point.x) {
            EXPECT_EQ(r.from.y, 5);
            EXPECT_EQ(r.point.y, 305);
            verticalMajor.push_back(r.point.x);
        }
    EXPECT_EQ(verticalMajor, (std::vector<std::int32_t>{5, 55, 105, 155, 205}));
}

TEST(ChartPaintLayoutTest, RemainderOfTheDivisionsCentresThePlot)
{
    struct Row {
        CRect area;
        CRect plot;
    };
    const Row rows[] = {
        {CRect(0, 0, 210, 317), CRect(5, 8, 205, 308)},  // 307 high -> 300, down by 3
        {CRect(0, 0, 217, 310), CRect(6, 5, 210, 305)},  // 207 wide -> 204 (4 x 51), right 1
        {CRect(0, 0, 211, 311), CRect(5, 5, 205, 305)},  // 1 pixel over: shift of 0
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.area.right << "x" << row.area.bottom);
        CChartGraph graph = BareGraph(row.area);
        graph.SetDivisions(10, 4, 4, 4);
        CRecordingDC dc(false, 72);
        graph.Draw(dc);
        EXPECT_EQ(graph.plotArea.rect, row.plot);
    }
}

TEST(ChartPaintLayoutTest, PlotUnderFiftyPixelsDrawsOnlyTheGraphArea)
{
    CChartGraph graph(-1);
    graph.title = "Title";
    graph.xAxis.visible = true;
    graph.graphArea.rect = CRect(0, 0, 400, 60);
    graph.markers = {0.5};
    CChartTrace trace({1, 2, 3}, 0, 1, "t", true);
    graph.AddTrace(trace);
    CRecordingDC dc(false, 72);
    graph.Draw(dc);

    EXPECT_FALSE(graph.plotArea.visible);
    EXPECT_FALSE(graph.legendArea.visible);
    const auto fills = dc.Find(Kind::FillSolidRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, graph.graphArea.rect);
    EXPECT_TRUE(dc.Texts().empty());
    EXPECT_EQ(dc.Count(Kind::Ellipse), 0u);
    EXPECT_EQ(dc.Count(Kind::SetPixel), 0u);
    // Only the graph area's frame: four lines.
    EXPECT_EQ(dc.Count(Kind::LineTo), 4u);
}

TEST(ChartPaintLayoutTest, TitleAndAxisTitleAnchors)
{
    CChartGraph graph(-1);
    graph.title = "Title";
    graph.leftAxis.visible = true;
    graph.leftAxis.title = "Left";
    graph.leftAxis.color = Rgb(1, 2, 3);
    graph.rightAxis.visible = true;
    graph.rightAxis.title = "Right";
    graph.rightAxis.color = Rgb(4, 5, 6);
    graph.xAxis.visible = true;
    graph.xAxis.title = "Freq";
    graph.xAxis.color = Rgb(7, 8, 9);
    graph.showMarkers = false;
    graph.graphArea.rect = CRect(0, 0, 400, 300);
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    const CRect p = graph.plotArea.rect;
    ASSERT_EQ(p, CRect(52, 22, 348, 262));

    const auto* title = dc.FindText("Title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->kind, Kind::ExtTextOut);
    EXPECT_EQ(title->point, (CPoint{200, 19 / 2 - 11 / 2}));
    EXPECT_EQ(title->rect, graph.titleArea.rect);
    EXPECT_EQ(title->align, TA_CENTER | TA_TOP);
    EXPECT_EQ(title->textColor, graph.titleFont.color);
    EXPECT_EQ(title->bkColor, graph.titleArea.fillColor);

    const auto* left = dc.FindText("Left");
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->kind, Kind::TextOut);
    EXPECT_EQ(left->point, (CPoint{52 - 32, 142}));
    EXPECT_EQ(left->align, TA_CENTER | TA_BOTTOM);
    EXPECT_EQ(left->font.escapement, 900);
    EXPECT_EQ(left->textColor, Rgb(1, 2, 3));
    EXPECT_EQ(left->bkColor, graph.graphArea.fillColor);

    const auto* right = dc.FindText("Right");
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->point, (CPoint{348 + 32, 142}));
    EXPECT_EQ(right->align, TA_CENTER | TA_TOP);
    EXPECT_EQ(right->textColor, Rgb(4, 5, 6));

    const auto* x = dc.FindText("Freq");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->point, (CPoint{200, 262 + 12}));
    EXPECT_EQ(x->align, TA_CENTER | TA_TOP);
    EXPECT_EQ(x->font.escapement, 0);
    EXPECT_EQ(x->textColor, Rgb(7, 8, 9));

    // Tick labels carry the colour of the last axis title drawn: the X axis's.
    const auto* tick = dc.FindText("0.5");
    ASSERT_NE(tick, nullptr);
    EXPECT_EQ(tick->textColor, Rgb(7, 8, 9));
    EXPECT_EQ(tick->bkColor, graph.graphArea.fillColor);
}

// Labels wider than the usual margin push the plot in and the Y titles out: no label is
// drawn over a title.
TEST(ChartPaintLayoutTest, WideYLabelsKeepClearOfTheTitles)
{
    CChartGraph graph(-1);
    graph.leftAxis.visible = graph.rightAxis.visible = graph.xAxis.visible = true;
    graph.leftAxis.title = "Left";
    graph.rightAxis.title = "Right";
    graph.showMarkers = false;
    graph.graphArea.rect = CRect(0, 0, 400, 300);
    graph.leftAxis.SetRange(-0.000123456, 0.000123456);
    graph.rightAxis.SetRange(1234567, 1234568);
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    const CRect p = graph.plotArea.rect;
    const auto* left = dc.FindText("Left");
    const auto* right = dc.FindText("Right");
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    int labels = 0;
    for (const auto& r : dc.Find(Kind::ExtTextOut)) {
        const auto width = static_cast<std::int32_t>(r.text.size()) * 4;
        if (r.align & TA_RIGHT && r.point.x < p.left) {
            EXPECT_GT(r.point.x - width, left->point.x) << r.text;
            ++labels;
        } else if (!(r.align & TA_CENTER) && r.point.x > p.right) {
            EXPECT_LT(r.point.x + width, right->point.x) << r.text;
            ++labels;
        }
    }
    EXPECT_GE(labels, 10);
}

TEST(ChartPaintLayoutTest, YTickLabelAnchorsAndClips)
{
    CChartGraph graph = BareGraph(CRect(0, 0, 400, 300));
    graph.leftAxis.visible = true;
    graph.rightAxis.visible = true;
    graph.leftAxis.SetRange(0, 80);
    graph.rightAxis.SetRange(0, 40);
    graph.rightAxis.reversed = true;
    graph.SetDivisions(4, 1, 4, 1);
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    const CRect p = graph.plotArea.rect;
    // 5 + 47 on each side; 290 high -> 4 x 72 = 288, down by 1.
    ASSERT_EQ(p, CRect(52, 6, 348, 294));
    const CRect g = graph.graphArea.rect;

    struct Row {
        int j;
        std::string left;
        std::string right;
        std::int32_t anchor;
        unsigned vertical;
    };
    // hK = 8: top label at y - 2 hanging below, bottom at y + 2 standing, others y - 4.
    const Row rows[] = {
        {0, "0", "40", 6 - 2, TA_TOP},
        {1, "20", "30", 78 - 4, TA_TOP},
        {2, "40", "20", 150 - 4, TA_TOP},
        {4, "80", "0", 294 + 2, TA_BOTTOM},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.j);
        // Found by text and side: the two axes share some texts.
        int found = 0;
        for (const auto& r : dc.Texts()) {
            if (r.text == row.left && r.point.x == p.left - 4) {
                ++found;
                EXPECT_EQ(r.point.y, row.anchor);
                EXPECT_EQ(r.align, TA_RIGHT | row.vertical);
                EXPECT_EQ(r.rect, CRect(g.left + 4, row.anchor - 8, p.left - 4, row.anchor + 8));
            } else if (r.text == row.right && r.point.x == p.right + 4) {
                ++found;
                EXPECT_EQ(r.point.y, row.anchor);
                EXPECT_EQ(r.align, TA_LEFT | row.vertical);
                EXPECT_EQ(r.rect, CRect(p.right + 4, row.anchor - 8, g.right - 4, row.anchor + 8));
            }
        }
        EXPECT_EQ(found, 2);
    }
    // No X labels: the X axis is hidden.
    EXPECT_EQ(dc.Texts().size(), 10u);
}

TEST(ChartPaintLayoutTest, OnlyRightAxisKeepsLeftMarginAndDrawsNoLeftLabels)
{
    CChartGraph graph = BareGraph(CRect(0, 0, 400, 300));
    graph.rightAxis.visible = true;
    graph.rightAxis.title = "R";
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    EXPECT_EQ(graph.plotArea.rect.left, 52);
    for (const auto& r : dc.Texts())
        EXPECT_GT(r.point.x, graph.plotArea.rect.right) << r.text;
}

TEST(ChartPaintLayoutTest, XTickLabelsStayInsideThePlotWidth)
{
    CChartGraph graph = BareGraph(CRect(0, 0, 210, 300));
    graph.xAxis.visible = true;
    graph.xAxis.title.clear();
    graph.xAxis.SetRange(0, 4);
    graph.SetDivisions(8, 1, 4, 1);
    CRecordingDC dc(false, 72);
    graph.Draw(dc);
    const CRect p = graph.plotArea.rect;
    ASSERT_EQ(p.left, 5);
    ASSERT_EQ(p.right, 205);  // 4 x 50
    const std::int32_t top = p.bottom + 4;
    const std::int32_t bottom = p.bottom + 16;

    struct Row {
        std::string text;
        std::int32_t x;
        unsigned align;
        CRect clip;
    };
    const Row rows[] = {
        {"0", 5, TA_LEFT, CRect(5, top, 30, bottom)},
        {"1", 55, TA_CENTER, CRect(30, top, 80, bottom)},
        {"3", 155, TA_CENTER, CRect(130, top, 180, bottom)},
        {"4", 205, TA_RIGHT, CRect(180, top, 205, bottom)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const auto* r = dc.FindText(row.text);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->point, (CPoint{row.x, top}));
        EXPECT_EQ(r->align, row.align | TA_TOP);
        EXPECT_EQ(r->rect, row.clip);
    }
}

TEST(ChartPaintLayoutTest, PrinterPensAndLogo)
{
    for (bool printing : {false, true}) {
        SCOPED_TRACE(printing ? "printer" : "screen");
        CChartGraph graph = BareGraph(CRect(0, 0, 210, 310));
        CRecordingDC dc(printing, 72);
        graph.Draw(dc);
        const CRect p = graph.plotArea.rect;

        const COLORREF majorColor = printing ? graph.plotArea.borderColor : graph.majorGridColor;
        const COLORREF minorColor = printing ? graph.majorGridColor : graph.minorGridColor;
        const std::int32_t width = printing ? 2 : 1;
        int major = 0;
        int minor = 0;
        int frames = 0;
        for (const auto& r : dc.Find(Kind::LineTo)) {
            const bool grid = (r.from.x == r.point.x && r.from.x >= p.left && r.from.x <= p.right
                               && r.from.y == p.top && r.point.y == p.bottom)
                || (r.from.y == r.point.y && r.from.y >= p.top && r.from.y <= p.bottom
                    && r.from.x == p.left && r.point.x == p.right);
            if (!grid) {
                EXPECT_EQ(r.pen.width, 1);  // frames stay 1 pixel wide
                ++frames;
                continue;
            }
            EXPECT_EQ(r.pen.width, width);
            if (r.pen.color == majorColor)
                ++major;
            else if (r.pen.color == minorColor)
                ++minor;
            else
                ADD_FAILURE() << "grid line in another colour";
        }
        EXPECT_EQ(major, 9 + 5);  // 8 Y divisions, 4 X divisions
        EXPECT_EQ(minor, 8 * 4 + 4 * 4);
        EXPECT_EQ(frames, 4 * 3);  // graph area, plot, plot again

        // Logo: 17 x 12 (34 x 24 on paper) at the plot's bottom-left, plot colours.
        const std::int32_t s = printing ? 2 : 1;
        const CRect box(p.left + 2, p.bottom - 12 * s - 1, p.left + 2 + 17 * s, p.bottom - 1);
        const auto fills = dc.Find(Kind::FillSolidRect);
        const auto logo =
            std::find_if(fills.begin(), fills.end(), [&](const auto& r) { return r.rect == box; });
        ASSERT_NE(logo, fills.end());
        EXPECT_EQ(logo->color, graph.plotArea.fillColor);
        // Every dot lies inside the box, in the plot border colour.
        int dots = 0;
        for (auto it = logo + 1; it != fills.end(); ++it) {
            EXPECT_EQ(it->color, graph.plotArea.borderColor);
            EXPECT_EQ(it->rect.Width(), 2);
            EXPECT_GE(it->rect.left, box.left + 1);
            EXPECT_LE(it->rect.right, box.left + 1 + 15 * s);
            ++dots;
        }
        for (const auto& r : dc.Find(Kind::SetPixel)) {
            EXPECT_FALSE(printing);
            EXPECT_EQ(r.color, graph.plotArea.borderColor);
            EXPECT_GE(r.point.x, box.left + 1);
            EXPECT_LT(r.point.x, box.left + 1 + 15);
            EXPECT_GE(r.point.y, box.top + 1);
            EXPECT_LT(r.point.y, box.top + 1 + 9);
            ++dots;
        }
        EXPECT_GT(dots, 10);
    }
}

TEST(ChartPaintLayoutTest, SheetLayoutPlacesNoticeTitleAndGraphsSideBySide)
{
    CChartSheet sheet;
    sheet.SetLayout(8);  // two graphs
    sheet.title = "Sheet";
    sheet.sheetRect = CRect(10, 20, 811, 620);
    CRecordingDC dc(false, 72);
    sheet.Draw(dc);

    // Notice: 2 x 9 high; title 2 x 13 high below it; graphs share the rest, 400 wide each.
    EXPECT_EQ(sheet.noticeArea.rect, CRect(10, 20, 811, 38));
    EXPECT_EQ(sheet.titleArea.rect, CRect(10, 39, 811, 65));
    ASSERT_EQ(sheet.graphs.size(), 2u);
    EXPECT_EQ(sheet.graphs[0]->graphArea.rect, CRect(10, 66, 410, 620));
    EXPECT_EQ(sheet.graphs[1]->graphArea.rect, CRect(410, 66, 810, 620));

    const auto* notice = dc.FindText(CChartSheet::NoticeText());
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->point, (CPoint{811 - 6, 29 - 6}));
    EXPECT_EQ(notice->align, TA_RIGHT | TA_TOP);
    EXPECT_EQ(notice->rect, sheet.noticeArea.rect);
    EXPECT_EQ(notice->textColor, Rgb(64, 64, 64));
    EXPECT_EQ(notice->font.height, 9);

    const auto* title = dc.FindText("Sheet");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->point, (CPoint{410, 52 - 6}));
    EXPECT_EQ(title->align, TA_CENTER | TA_TOP);
    EXPECT_EQ(title->textColor, Rgb(0, 64, 0));
    EXPECT_EQ(title->rect, sheet.titleArea.rect);
}

TEST(ChartPaintLayoutTest, SheetWithoutGraphsOrTitle)
{
    CChartSheet sheet;
    sheet.DeleteGraphs();
    sheet.sheetRect = CRect(0, 0, 300, 200);
    {
        CRecordingDC dc(false, 72);
        sheet.Draw(dc);
        ASSERT_EQ(dc.Texts().size(), 2u);
        EXPECT_EQ(dc.Texts()[0].text, CChartSheet::NoticeText());
        EXPECT_EQ(dc.Texts()[1].text, "chartsheet");
        EXPECT_EQ(dc.Count(Kind::FillSolidRect), 2u);
    }
    sheet.title.clear();
    CRecordingDC dc(false, 72);
    sheet.Draw(dc);
    EXPECT_FALSE(sheet.titleArea.visible);
    ASSERT_EQ(dc.Texts().size(), 1u);
    EXPECT_EQ(dc.Count(Kind::FillSolidRect), 1u);
}

TEST(ChartPaintLayoutTest, NoticeTextIsReadable)
{
    const std::string notice = CChartSheet::NoticeText();
    EXPECT_EQ(notice.rfind("Torvex ", 0), 0u);
    for (char c : notice)
        EXPECT_TRUE(c >= ' ' && c <= '~');
}

TEST(ChartPaintLayoutTest, FontsAreRealisedOnceUntilMarkedDirty)
{
    CChartSheet sheet;
    sheet.sheetRect = CRect(0, 0, 600, 400);
    CRecordingDC dc(false, 72);
    sheet.Draw(dc);
    // Two sheet fonts and five graph fonts by size, the turned one from a description.
    EXPECT_EQ(dc.Count(Kind::CreatePointFont), 7u);
    EXPECT_EQ(dc.Count(Kind::CreateFontIndirect), 1u);
    dc.Clear();
    sheet.Draw(dc);
    EXPECT_EQ(dc.Count(Kind::CreatePointFont), 0u);
    sheet.MarkFontsDirty();
    CRecordingDC printer(true, 600);
    sheet.Draw(printer);
    EXPECT_EQ(printer.Count(Kind::CreatePointFont), 7u);
    EXPECT_EQ(sheet.GraphAt(0)->tickFont.metrics.height, FontPixelHeight(80, 600));
}

TEST(ChartPaintLayoutTest, FormatLabelKeepsToOneDoubleConversion)
{
    struct Row {
        const char* format;
        double value;
        const char* expected;
    };
    const Row rows[] = {
        {"%.5g", 2.5, "2.5"},
        {"%.3g", 1234.5, "1.23e+03"},
        {"%6.1f dB", -3.25, "  -3.2 dB"},
        {"%%%.1f", 5.0, "%5.0"},
        {"%s", 1.0, "1"},  // not a double: replaced by %g
        {"%d", 2.0, "2"},
        {"%g %g", 3.0, "3"},
        {"%*g", 4.0, "4"},
        {"%n", 5.0, "5"},
        {"no conversion", 6.0, "6"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.format);
        EXPECT_EQ(CChartGraph::FormatLabel(row.format, row.value), row.expected);
    }
    EXPECT_EQ(CChartGraph::FormatLabel("%.0f", 1e300).size(), 301u);
}

}  // namespace
