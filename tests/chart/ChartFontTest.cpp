#include "chart/ChartFont.h"

#include <gtest/gtest.h>

#include "platform/RecordingDC.h"

namespace {

using Kind = CRecordingDC::Kind;

CChartFont Font(const char* face, int size)
{
    CChartFont f;
    f.SetFont(face, size, Rgb(1, 2, 3));
    return f;
}

TEST(ChartFontTest, Defaults)
{
    const CChartFont f;
    EXPECT_EQ(f.font, nullptr);
    EXPECT_EQ(f.faceName, "");
    EXPECT_EQ(f.pointSize, 12);
    EXPECT_FALSE(f.created);
    EXPECT_TRUE(f.dirty);
    EXPECT_EQ(f.color, Rgb(0, 0, 0));
    EXPECT_EQ(f.metrics.height, 0);
}

TEST(ChartFontTest, SetFontMarksDirty)
{
    CChartFont f;
    f.dirty = false;
    f.SetFont("Verdana", 80, Rgb(51, 51, 51));
    EXPECT_EQ(f.faceName, "Verdana");
    EXPECT_EQ(f.pointSize, 80);
    EXPECT_EQ(f.color, Rgb(51, 51, 51));
    EXPECT_TRUE(f.dirty);
}

TEST(ChartFontTest, RealizeCreatesMeasuresAndRestores)
{
    CRecordingDC dc(false, 96);
    const FontHandle before = dc.CreatePointFont(200, "Other");
    dc.SelectFont(before);
    dc.Clear();
    CChartFont f = Font("Trebuchet MS", 100);

    f.Realize(dc);

    ASSERT_EQ(dc.Count(Kind::CreatePointFont), 1u);
    const CRecordingDC::Record created = dc.Find(Kind::CreatePointFont)[0];
    EXPECT_EQ(created.value, 100);
    EXPECT_EQ(created.text, "Trebuchet MS");
    ASSERT_NE(f.font, nullptr);
    EXPECT_TRUE(f.created);
    EXPECT_FALSE(f.dirty);
    // Measured with the new font selected: 10 pt at 96 dpi is 13 pixels.
    const CRecordingDC::Record measured = dc.Find(Kind::GetTextMetrics)[0];
    EXPECT_EQ(measured.font.faceName, "Trebuchet MS");
    EXPECT_EQ(f.metrics.height, FontPixelHeight(100, 96));
    EXPECT_EQ(f.metrics.aveCharWidth, FontPixelHeight(100, 96) / 2);
    EXPECT_EQ(dc.GetFont(), before);
}

TEST(ChartFontTest, RealizeOnlyWhenDirty)
{
    CRecordingDC dc;
    CChartFont f = Font("Verdana", 80);
    f.Realize(dc);
    const FontHandle first = f.font;
    dc.Clear();
    f.Realize(dc);
    EXPECT_TRUE(dc.records.empty());
    EXPECT_EQ(f.font, first);

    f.SetFont("Verdana", 160, Rgb(0, 0, 0));
    f.Realize(dc);
    EXPECT_EQ(dc.Count(Kind::CreatePointFont), 1u);
    EXPECT_NE(f.font, first);
    EXPECT_EQ(f.metrics.height, FontPixelHeight(160, 96));
}

TEST(ChartFontTest, RealizeForANewDevice)
{
    CRecordingDC screen(false, 96);
    CRecordingDC printer(true, 600);
    CChartFont f = Font("Arial", 80);
    f.Realize(screen);
    f.dirty = true;
    f.Realize(printer);
    EXPECT_EQ(f.metrics.height, FontPixelHeight(80, 600));
}

TEST(ChartFontTest, RealizeRotatedTurnsTheSource)
{
    CRecordingDC dc;
    CChartFont source = Font("Trebuchet MS", 100);
    source.Realize(dc);
    dc.Clear();
    CChartFont vertical = Font("ignored", 10);

    vertical.RealizeRotated(dc, source);

    ASSERT_EQ(dc.Count(Kind::CreateFontIndirect), 1u);
    const LogFont made = dc.Find(Kind::CreateFontIndirect)[0].createdFont;
    EXPECT_EQ(made.faceName, "Trebuchet MS");
    EXPECT_EQ(made.height, source.font->GetLogFont().height);
    EXPECT_EQ(made.escapement, 900);
    EXPECT_EQ(made.orientation, 900);
    ASSERT_NE(vertical.font, nullptr);
    EXPECT_EQ(vertical.font->GetLogFont().escapement, 900);
    EXPECT_TRUE(vertical.created);
    EXPECT_FALSE(vertical.dirty);
    EXPECT_EQ(vertical.metrics.height, source.metrics.height);
    EXPECT_EQ(dc.GetFont(), nullptr);  // the previous selection is back
    EXPECT_EQ(source.font->GetLogFont().escapement, 0);
}

TEST(ChartFontTest, RealizeRotatedOnlyWhenDirty)
{
    CRecordingDC dc;
    CChartFont source = Font("Arial", 80);
    source.Realize(dc);
    CChartFont vertical;
    vertical.RealizeRotated(dc, source);
    dc.Clear();
    vertical.RealizeRotated(dc, source);
    EXPECT_TRUE(dc.records.empty());
}

TEST(ChartFontTest, RealizeRotatedOfAnUnrealisedSourceUsesItsDescription)
{
    CRecordingDC dc(false, 120);
    const CChartFont source = Font("Verdana", 80);
    CChartFont vertical;
    vertical.RealizeRotated(dc, source);
    const LogFont made = dc.Find(Kind::CreateFontIndirect)[0].createdFont;
    EXPECT_EQ(made.faceName, "Verdana");
    EXPECT_EQ(made.height, FontPixelHeight(80, 120));
    EXPECT_EQ(made.escapement, 900);
    EXPECT_FALSE(vertical.dirty);
}

TEST(ChartFontTest, ReleaseFont)
{
    CRecordingDC dc;
    CChartFont f = Font("Arial", 80);
    f.Realize(dc);
    f.ReleaseFont();
    EXPECT_EQ(f.font, nullptr);
    EXPECT_FALSE(f.created);
}

}  // namespace
