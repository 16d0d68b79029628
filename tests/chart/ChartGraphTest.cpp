#include "chart/ChartGraph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/ChartFlags.h"

namespace {

// keepMarkers is program-wide; every test that depends on it sets it and puts it back.
class KeepMarkers {
public:
    explicit KeepMarkers(bool on) : saved_(keepMarkers) { keepMarkers = on; }
    ~KeepMarkers() { keepMarkers = saved_; }

private:
    bool saved_;
};

CChartTrace Named(const std::string& traceName)
{
    CChartTrace t;
    t.name = traceName;
    return t;
}

void ExpectFont(const CChartFont& font, const std::string& face, int size, COLORREF color)
{
    EXPECT_EQ(font.faceName, face);
    EXPECT_EQ(font.pointSize, size);
    EXPECT_EQ(font.color, color);
    EXPECT_TRUE(font.dirty);
    EXPECT_FALSE(font.created);
}

void ExpectArea(const CChartArea& area, COLORREF fill, COLORREF border)
{
    EXPECT_EQ(area.fillColor, fill);
    EXPECT_EQ(area.borderColor, border);
    EXPECT_TRUE(area.visible);
}

TEST(ChartGraphTest, DefaultsWithoutViewFormat)
{
    const CChartGraph g(-1);
    EXPECT_TRUE(g.traces.empty());
    EXPECT_TRUE(g.markers.empty());
    EXPECT_EQ(g.title, "chart");
    EXPECT_EQ(g.xShortTitle, "X-axis");
    EXPECT_TRUE(g.showMarkers);
    EXPECT_EQ(g.lineType, 1);
    EXPECT_EQ(g.viewFormat, 0);
    EXPECT_EQ(g.graphArea.rect, CRect(0, 0, 200, 200));
    EXPECT_EQ(g.plotArea.rect, CRect(50, 50, 150, 150));
    ExpectArea(g.graphArea, Rgb(244, 244, 244), Rgb(244, 244, 244));
    ExpectArea(g.titleArea, Rgb(244, 244, 244), Rgb(244, 244, 244));
    ExpectArea(g.plotArea, Rgb(255, 255, 255), Rgb(112, 128, 144));
    ExpectArea(g.legendArea, Rgb(255, 255, 255), Rgb(112, 128, 144));
    EXPECT_EQ(g.majorGridColor, Rgb(229, 229, 229));
    EXPECT_EQ(g.minorGridColor, Rgb(243, 243, 243));
    ExpectFont(g.titleFont, "Trebuchet MS", 110, Rgb(0, 0, 64));
    ExpectFont(g.axisTitleFont, "Trebuchet MS", 100, Rgb(0, 0, 64));
    ExpectFont(g.verticalAxisTitleFont, "Trebuchet MS", 100, Rgb(0, 0, 64));
    ExpectFont(g.tickFont, "Verdana", 80, Rgb(51, 51, 51));
    ExpectFont(g.legendFont, "Verdana", 80, Rgb(0, 0, 0));
    ExpectFont(g.markerFont, "Arial", 80, Rgb(0, 0, 0));
    for (const CChartAxis* axis : {&g.leftAxis, &g.rightAxis, &g.xAxis}) {
        EXPECT_EQ(axis->min, 0);
        EXPECT_EQ(axis->max, 1);
        EXPECT_EQ(axis->title, "");
        EXPECT_EQ(axis->color, Rgb(0, 0, 64));
        EXPECT_TRUE(axis->visible);
        EXPECT_TRUE(axis->allowNegative);
    }
    EXPECT_EQ(g.yMinorDivisions, 4);
    EXPECT_EQ(g.yMajorDivisions, 8);
    EXPECT_EQ(g.xMinorDivisions, 4);
    EXPECT_EQ(g.xMajorDivisions, 4);
}

TEST(ChartGraphTest, ConstructorWithFormatAppliesIt)
{
    const CChartGraph g(7);
    EXPECT_EQ(g.viewFormat, 7);
    EXPECT_EQ(g.title, "Ins.Loss and Return Loss");
    EXPECT_EQ(g.yMajorDivisions, 10);
    EXPECT_EQ(g.xAxis.max, 100);
}

TEST(ChartGraphTest, ViewFormatTable)
{
    struct AxisRow {
        bool visible;
        const char* title;
        double min, max;
        bool reversed;
    };
    struct Row {
        int format;
        const char* title;
        AxisRow left, right;
    };
    const AxisRow hidden = {false, "", 0, 1, false};
    const std::vector<Row> rows = {
        {1, "Insertion Loss", {true, "Ins. Loss [dB]", 0, 80, false}, hidden},
        {2, "Return Loss", {true, "Ret. Loss [dB]", 0, 40, false}, hidden},
        {3, "Phase", {true, "Phase [deg]", -180, 180, true}, hidden},
        {4, "Group Delay", {true, "Delay [nsec]", 0, 100, true}, hidden},
        {5, "Phase variation", {true, "Phase var.[deg]", -20, 20, true}, hidden},
        {6, "VSWR", {true, "VSWR", 0, 10, true}, hidden},
        {7,
         "Ins.Loss and Return Loss",
         {true, "Ins. Loss [dB]", 0, 80, false},
         {true, "Ret. Loss [dB]", 0, 40, false}},
        {8,
         "Phase and Delay",
         {true, "Phase [deg]", -180, 180, true},
         {true, "Delay [nsec]", 0, 100, true}},
        {9, "S2p Data", {true, "S11-S22 [dB]", 0, 1, true}, {true, "S21-S12 [dB]", 0, 1, true}},
        {0, "", hidden, hidden},
        {10, "", hidden, hidden},
        {12, "", hidden, hidden},
        {-3, "", hidden, hidden},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.format);
        CChartGraph g(-1);
        g.SetViewFormat(r.format, true);
        EXPECT_EQ(g.viewFormat, r.format);
        EXPECT_EQ(g.title, r.title);
        const std::pair<const CChartAxis*, const AxisRow*> axes[] = {{&g.leftAxis, &r.left},
                                                                     {&g.rightAxis, &r.right}};
        for (const auto& [axis, want] : axes) {
            EXPECT_EQ(axis->visible, want->visible);
            EXPECT_EQ(axis->title, want->title);
            EXPECT_EQ(axis->min, want->min);
            EXPECT_EQ(axis->max, want->max);
            EXPECT_EQ(axis->reversed, want->reversed);
        }
        EXPECT_EQ(g.xAxis.min, 0);
        EXPECT_EQ(g.xAxis.max, 100);
        EXPECT_EQ(g.xAxis.title, "Frequency");
        EXPECT_EQ(g.xShortTitle, "Freq");
        EXPECT_FALSE(g.xAxis.reversed);
        EXPECT_FALSE(g.xAxis.allowNegative);
    }
}

TEST(ChartGraphTest, ViewFormatZeroKeepsXRangeWithoutReset)
{
    CChartGraph g(-1);
    g.title = "old";
    g.xAxis.SetRange(100, 18000);
    g.xAxis.reversed = true;
    g.SetDivisions(2, 2, 2, 2);
    g.SetViewFormat(0, false);
    EXPECT_EQ(g.xAxis.min, 100);
    EXPECT_EQ(g.xAxis.max, 18000);
    EXPECT_FALSE(g.xAxis.reversed);
    EXPECT_FALSE(g.leftAxis.visible);
    EXPECT_FALSE(g.rightAxis.visible);
    EXPECT_EQ(g.title, "");
    EXPECT_EQ(g.xAxis.title, "Frequency");
    EXPECT_EQ(g.xShortTitle, "Freq");
    EXPECT_EQ(g.yMajorDivisions, 10);
    EXPECT_EQ(g.yMinorDivisions, 4);
    EXPECT_EQ(g.xMajorDivisions, 4);
    EXPECT_EQ(g.xMinorDivisions, 4);
}

TEST(ChartGraphTest, ViewFormatLeavesUnnamedAxisAsItWas)
{
    CChartGraph g(8);
    g.SetViewFormat(3, true);
    EXPECT_FALSE(g.rightAxis.visible);
    EXPECT_EQ(g.rightAxis.title, "Delay [nsec]");
    EXPECT_EQ(g.rightAxis.min, 0);
    EXPECT_EQ(g.rightAxis.max, 100);
    EXPECT_TRUE(g.rightAxis.reversed);
}

TEST(ChartGraphTest, ViewFormatMakesXMinimumNonNegative)
{
    CChartGraph g(-1);
    g.SetViewFormat(0, false);
    g.xAxis.SetRange(-5, 10);
    EXPECT_EQ(g.xAxis.min, 0);
    EXPECT_EQ(g.xAxis.max, 10);
}

TEST(ChartGraphTest, ViewFormatClearsMarkersUnlessKept)
{
    CChartGraph g(-1);
    {
        KeepMarkers keep(true);
        g.AddTrace(Named("a"));
        g.SetMarkers({1, 2});
        g.SetViewFormat(0, true);
        EXPECT_TRUE(g.traces.empty());
        EXPECT_EQ(g.markers, (std::vector<double>{1, 2}));
    }
    {
        KeepMarkers keep(false);
        g.AddTrace(Named("a"));
        g.SetViewFormat(0, true);
        EXPECT_TRUE(g.traces.empty());
        EXPECT_TRUE(g.markers.empty());
    }
}

TEST(ChartGraphTest, KeepMarkersIsClearAtStart)
{
    // No test leaves it changed (see KeepMarkers), so this sees the start value.
    EXPECT_FALSE(keepMarkers);
}

TEST(ChartGraphTest, DivisionsAreAtLeastOne)
{
    CChartGraph g(-1);
    g.SetDivisions(0, -3, 12, 2);
    EXPECT_EQ(g.yMajorDivisions, 1);
    EXPECT_EQ(g.yMinorDivisions, 1);
    EXPECT_EQ(g.xMajorDivisions, 12);
    EXPECT_EQ(g.xMinorDivisions, 2);
    g.SetYMajorDivisions(-1);
    g.SetYMinorDivisions(0);
    g.SetXMinorDivisions(-7);
    EXPECT_EQ(g.yMajorDivisions, 1);
    EXPECT_EQ(g.yMinorDivisions, 1);
    EXPECT_EQ(g.xMinorDivisions, 1);
    g.SetYMajorDivisions(6);
    g.SetYMinorDivisions(3);
    g.SetXMinorDivisions(9);
    EXPECT_EQ(g.yMajorDivisions, 6);
    EXPECT_EQ(g.yMinorDivisions, 3);
    EXPECT_EQ(g.xMinorDivisions, 9);
}

TEST(ChartGraphTest, SeventeenthTraceDropsTheOldest)
{
    CChartGraph g(-1);
    for (int i = 0; i < 17; ++i)
        g.AddTrace(Named(std::to_string(i)));
    ASSERT_EQ(g.traces.size(), 16u);
    EXPECT_EQ(g.traces.front().name, "1");
    EXPECT_EQ(g.traces.back().name, "16");
}

TEST(ChartGraphTest, AddTraceCopies)
{
    CChartGraph g(-1);
    CChartTrace t = Named("mine");
    g.AddTrace(t);
    t.name = "changed";
    EXPECT_EQ(g.traces[0].name, "mine");
}

TEST(ChartGraphTest, DeleteTrace)
{
    CChartGraph g(-1);
    for (const char* n : {"a", "b", "c"})
        g.AddTrace(Named(n));
    g.DeleteTrace(-1);
    g.DeleteTrace(3);
    EXPECT_EQ(g.traces.size(), 3u);
    g.DeleteTrace(1);
    ASSERT_EQ(g.traces.size(), 2u);
    EXPECT_EQ(g.traces[0].name, "a");
    EXPECT_EQ(g.traces[1].name, "c");
    g.ClearTraces();
    EXPECT_TRUE(g.traces.empty());
}

TEST(ChartGraphTest, TraceAt)
{
    CChartGraph g(-1);
    g.AddTrace(Named("a"));
    g.AddTrace(Named("b"));
    EXPECT_EQ(g.TraceAt(-1), nullptr);
    EXPECT_EQ(g.TraceAt(2), nullptr);
    ASSERT_NE(g.TraceAt(1), nullptr);
    g.TraceAt(1)->name = "renamed";
    const CChartGraph& cg = g;
    EXPECT_EQ(cg.TraceAt(1)->name, "renamed");
    EXPECT_EQ(cg.TraceAt(5), nullptr);
}

TEST(ChartGraphTest, MarkersAreCopiedInAndOut)
{
    CChartGraph g(-1);
    std::vector<double> in = {3, 1, 2};
    g.SetMarkers(in);
    in.push_back(9);
    std::vector<double> out = {7, 7, 7, 7, 7};
    g.GetMarkers(out);
    EXPECT_EQ(out, (std::vector<double>{3, 1, 2}));
    out.clear();
    EXPECT_EQ(g.markers.size(), 3u);
}

TEST(ChartGraphTest, MarkFontsDirtySetsAllSix)
{
    CChartGraph g(-1);
    CChartFont* fonts[] = {&g.titleFont, &g.axisTitleFont, &g.verticalAxisTitleFont,
                           &g.tickFont,  &g.legendFont,    &g.markerFont};
    for (CChartFont* f : fonts)
        f->dirty = false;
    g.MarkFontsDirty();
    for (CChartFont* f : fonts)
        EXPECT_TRUE(f->dirty);
}

}  // namespace
