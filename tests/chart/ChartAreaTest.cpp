#include "chart/ChartArea.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/RecordingDC.h"

namespace {

using Kind = CRecordingDC::Kind;

TEST(ChartAreaTest, Defaults)
{
    const CChartArea area;
    EXPECT_EQ(area.fillColor, Rgb(255, 255, 255));
    EXPECT_EQ(area.borderColor, Rgb(255, 255, 255));
    EXPECT_TRUE(area.visible);
    const CChartArea placed(CRect(1, 2, 3, 4));
    EXPECT_EQ(placed.rect, CRect(1, 2, 3, 4));
    EXPECT_EQ(placed.fillColor, Rgb(255, 255, 255));
}

TEST(ChartAreaTest, DrawFillsThenFramesOnePixelOutside)
{
    CChartArea area(CRect(10, 20, 110, 70));
    area.fillColor = Rgb(1, 2, 3);
    area.borderColor = Rgb(4, 5, 6);
    CRecordingDC dc;
    const CPen before{Rgb(9, 9, 9), 3};
    dc.SelectPen(before);
    dc.Clear();

    area.Draw(dc);

    const std::vector<CRecordingDC::Record>& r = dc.records;
    ASSERT_EQ(r.size(), 8u);
    EXPECT_EQ(r[0].kind, Kind::FillSolidRect);
    EXPECT_EQ(r[0].rect, CRect(10, 20, 110, 70));
    EXPECT_EQ(r[0].color, Rgb(1, 2, 3));
    EXPECT_EQ(r[1].kind, Kind::SelectPen);
    EXPECT_EQ(r[1].pen.color, Rgb(4, 5, 6));
    EXPECT_EQ(r[1].pen.width, 1);
    EXPECT_EQ(r[2].kind, Kind::MoveToEx);
    const std::vector<CPoint> path = {{9, 19}, {9, 71}, {111, 71}, {111, 19}, {9, 19}};
    EXPECT_EQ(dc.LinePoints(), path);
    EXPECT_EQ(r[7].kind, Kind::SelectPen);
    EXPECT_EQ(dc.GetPen().color, before.color);
    EXPECT_EQ(dc.GetPen().width, before.width);
}

TEST(ChartAreaTest, DrawFrameDoesNotFill)
{
    CChartArea area(CRect(0, 0, 5, 5));
    CRecordingDC dc;
    area.DrawFrame(dc);
    EXPECT_EQ(dc.Count(Kind::FillSolidRect), 0u);
    EXPECT_EQ(dc.Count(Kind::LineTo), 4u);
    EXPECT_EQ(dc.Count(Kind::SelectPen), 2u);
}

TEST(ChartAreaTest, InvisibleAreaDrawsNothing)
{
    CChartArea area(CRect(0, 0, 5, 5));
    area.visible = false;
    CRecordingDC dc;
    area.Draw(dc);
    area.DrawFrame(dc);
    EXPECT_TRUE(dc.records.empty());
}

}  // namespace
