#include "chart/ChartSheet.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<int> Formats(const CChartSheet& sheet)
{
    std::vector<int> formats;
    for (const auto& g : sheet.graphs)
        formats.push_back(g->viewFormat);
    return formats;
}

TEST(ChartSheetTest, Defaults)
{
    const CChartSheet sheet;
    EXPECT_EQ(Formats(sheet), (std::vector<int>{7}));
    EXPECT_EQ(sheet.title, "chartsheet");
    EXPECT_EQ(sheet.titleFont.faceName, "Trebuchet MS");
    EXPECT_EQ(sheet.titleFont.pointSize, 130);
    EXPECT_EQ(sheet.titleFont.color, Rgb(0, 64, 0));
    EXPECT_EQ(sheet.noticeFont.faceName, "Trebuchet MS");
    EXPECT_EQ(sheet.noticeFont.pointSize, 90);
    EXPECT_EQ(sheet.noticeFont.color, Rgb(64, 64, 64));
    for (const CChartArea* area : {&sheet.titleArea, &sheet.noticeArea}) {
        EXPECT_EQ(area->rect, CRect(50, 50, 150, 150));
        EXPECT_EQ(area->fillColor, Rgb(244, 244, 244));
        EXPECT_EQ(area->borderColor, Rgb(244, 244, 244));
        EXPECT_TRUE(area->visible);
    }
    EXPECT_EQ(sheet.sheetRect, CRect(0, 0, 200, 200));
    EXPECT_EQ(sheet.layout, -1);
}

TEST(ChartSheetTest, SetLayoutBuildsGraphsOfTheLayout)
{
    struct Row {
        int layout;
        std::vector<int> formats;
    };
    const std::vector<Row> rows = {
        {0, {1}}, {1, {2}}, {2, {3}},    {3, {4}}, {4, {5}}, {5, {6}},
        {6, {7}}, {7, {8}}, {8, {7, 8}}, {9, {}},  {-2, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.layout);
        CChartSheet sheet;
        EXPECT_TRUE(sheet.SetLayout(r.layout));
        EXPECT_EQ(Formats(sheet), r.formats);
        EXPECT_EQ(sheet.layout, -1);
    }
}

TEST(ChartSheetTest, SetLayoutMinusOneChangesNothing)
{
    CChartSheet sheet;
    sheet.SetLayout(8);
    const CChartGraph* first = sheet.GraphAt(0);
    EXPECT_FALSE(sheet.SetLayout(-1));
    EXPECT_EQ(Formats(sheet), (std::vector<int>{7, 8}));
    EXPECT_EQ(sheet.GraphAt(0), first);
}

TEST(ChartSheetTest, DeleteAndAddGraphs)
{
    CChartSheet sheet;
    sheet.DeleteGraphs();
    EXPECT_TRUE(sheet.graphs.empty());
    auto graph = std::make_unique<CChartGraph>(-1);
    CChartGraph* raw = graph.get();
    EXPECT_EQ(sheet.AddGraph(std::move(graph)), raw);
    EXPECT_EQ(sheet.AddGraph(nullptr), nullptr);
    ASSERT_EQ(sheet.graphs.size(), 1u);
    EXPECT_EQ(sheet.GraphAt(0), raw);
}

TEST(ChartSheetTest, GraphAtOutOfRangeIsNone)
{
    CChartSheet sheet;
    sheet.SetLayout(8);
    EXPECT_EQ(sheet.GraphAt(-1), nullptr);
    EXPECT_EQ(sheet.GraphAt(2), nullptr);
    ASSERT_NE(sheet.GraphAt(1), nullptr);
    EXPECT_EQ(sheet.GraphAt(1)->viewFormat, 8);
    const CChartSheet& cs = sheet;
    EXPECT_EQ(cs.GraphAt(0)->viewFormat, 7);
    EXPECT_EQ(cs.GraphAt(3), nullptr);
}

TEST(ChartSheetTest, MarkFontsDirtyReachesEveryGraph)
{
    CChartSheet sheet;
    sheet.SetLayout(8);
    sheet.titleFont.dirty = false;
    sheet.noticeFont.dirty = false;
    for (const auto& g : sheet.graphs) {
        g->titleFont.dirty = false;
        g->markerFont.dirty = false;
    }
    sheet.MarkFontsDirty();
    EXPECT_TRUE(sheet.titleFont.dirty);
    EXPECT_TRUE(sheet.noticeFont.dirty);
    for (const auto& g : sheet.graphs) {
        EXPECT_TRUE(g->titleFont.dirty);
        EXPECT_TRUE(g->markerFont.dirty);
    }
}

}  // namespace
