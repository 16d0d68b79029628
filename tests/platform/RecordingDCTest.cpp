#include "platform/RecordingDC.h"

#include <gtest/gtest.h>

using Kind = CRecordingDC::Kind;

TEST(RecordingDCTest, SelectsReturnThePreviousObjectsAndRestoreThem)
{
    CRecordingDC dc;
    const CPen screenPen = dc.SelectPen(CPen{Rgb(1, 2, 3), 2});
    EXPECT_EQ(screenPen.color, Rgb(0, 0, 0));
    EXPECT_EQ(screenPen.width, 1);
    const CPen second = dc.SelectPen(CPen{Rgb(4, 5, 6), 4});
    EXPECT_EQ(second.color, Rgb(1, 2, 3));
    EXPECT_EQ(second.width, 2);
    dc.SelectPen(screenPen);
    EXPECT_EQ(dc.GetPen().width, 1);

    EXPECT_EQ(dc.SelectBrush(CBrush{Rgb(9, 9, 9)}).color, Rgb(255, 255, 255));
    EXPECT_EQ(dc.SelectBrush(CBrush{}).color, Rgb(9, 9, 9));

    const FontHandle a = dc.CreatePointFont(80, "Verdana");
    const FontHandle b = dc.CreatePointFont(100, "Arial");
    EXPECT_EQ(dc.SelectFont(a), nullptr);
    EXPECT_EQ(dc.SelectFont(b), a);
    EXPECT_EQ(dc.SelectFont(a), b);
    EXPECT_EQ(dc.SelectFont(nullptr), a);
    EXPECT_EQ(dc.GetFont(), nullptr);

    EXPECT_EQ(dc.SetTextAlign(TA_CENTER | TA_BOTTOM), TA_LEFT | TA_TOP);
    EXPECT_EQ(dc.SetTextAlign(TA_RIGHT), TA_CENTER | TA_BOTTOM);
    EXPECT_EQ(dc.SetTextColor(Rgb(1, 1, 1)), Rgb(0, 0, 0));
    EXPECT_EQ(dc.SetTextColor(Rgb(2, 2, 2)), Rgb(1, 1, 1));
    EXPECT_EQ(dc.SetBkColor(Rgb(3, 3, 3)), Rgb(255, 255, 255));
    EXPECT_EQ(dc.SetBkColor(Rgb(4, 4, 4)), Rgb(3, 3, 3));
    EXPECT_EQ(dc.MoveToEx(5, 6), (CPoint{0, 0}));
    dc.LineTo(7, 8);
    EXPECT_EQ(dc.MoveToEx(1, 1), (CPoint{7, 8}));
}

TEST(RecordingDCTest, FontsAreSizedForTheDeviceAndMeasureByTheDocumentedRules)
{
    struct Case {
        int dpi;
        int tenths;
        int height;
    } cases[] = {{96, 80, 11}, {96, 100, 13}, {600, 100, 83}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi * 1000 + c.tenths);
        CRecordingDC dc(true, c.dpi);
        EXPECT_TRUE(dc.IsPrinting());
        EXPECT_EQ(dc.GetDeviceDpiY(), c.dpi);
        dc.SelectFont(dc.CreatePointFont(c.tenths, "Verdana"));
        const TextMetrics tm = dc.GetTextMetrics();
        EXPECT_EQ(tm.height, c.height);
        EXPECT_EQ(tm.ascent + tm.descent, c.height);
        EXPECT_EQ(tm.aveCharWidth, c.height / 2);
        const CSize extent = dc.GetTextExtent("12.5 dB");
        EXPECT_EQ(extent.cx, 7 * (c.height / 2));
        EXPECT_EQ(extent.cy, c.height);
    }
    CRecordingDC dc;
    EXPECT_EQ(dc.GetTextMetrics().height, 16);           // no font selected
    EXPECT_EQ(dc.GetTextExtent("\xC2\xB5s").cx, 2 * 8);  // "µs": two characters
}

TEST(RecordingDCTest, RecordsCarryTheStateOfTheMoment)
{
    CRecordingDC dc;
    dc.SelectPen(CPen{Rgb(10, 0, 0), 2});
    dc.SetTextColor(Rgb(0, 10, 0));
    dc.SetBkColor(Rgb(0, 0, 10));
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    dc.SetClipRect(CRect(1, 2, 30, 40));
    dc.FillSolidRect(CRect(3, 4, 5, 6), Rgb(7, 7, 7));
    dc.ResetClip();
    dc.TextOut(100, 50, "abc");

    const auto fills = dc.Find(Kind::FillSolidRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, CRect(3, 4, 5, 6));
    EXPECT_EQ(fills[0].color, Rgb(7, 7, 7));
    EXPECT_TRUE(fills[0].clipped);
    EXPECT_EQ(fills[0].clip, CRect(1, 2, 30, 40));
    EXPECT_EQ(fills[0].pen.width, 2);

    const CRecordingDC::Record* text = dc.FindText("abc");
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(text->clipped);
    EXPECT_EQ(text->align, TA_RIGHT | TA_TOP);
    EXPECT_EQ(text->textColor, Rgb(0, 10, 0));
    EXPECT_EQ(text->bkColor, Rgb(0, 0, 10));
    EXPECT_EQ(text->point, (CPoint{100, 50}));
    EXPECT_EQ(text->cell, CRect(100 - 3 * 8, 50, 100, 66));
    EXPECT_EQ(dc.FindText("ab"), nullptr);
    EXPECT_EQ(dc.Count(Kind::SetClipRect), 1u);
    EXPECT_EQ(dc.Count(Kind::ResetClip), 1u);
}

TEST(RecordingDCTest, TextCellFollowsAlignmentAndTurn)
{
    // Height 20: aveCharWidth 10, so "abcd" is 40 wide.
    struct Case {
        const char* name;
        unsigned align;
        int escapement;
        CRect cell;
    } cases[] = {
        {"left top", TA_LEFT | TA_TOP, 0, CRect(100, 100, 140, 120)},
        {"centre bottom", TA_CENTER | TA_BOTTOM, 0, CRect(80, 80, 120, 100)},
        {"turned, centre bottom: left of x", TA_CENTER | TA_BOTTOM, 900, CRect(80, 80, 100, 120)},
        {"turned, centre top: right of x", TA_CENTER | TA_TOP, 900, CRect(100, 80, 120, 120)},
        {"turned, left top: runs up from y", TA_LEFT | TA_TOP, 900, CRect(100, 60, 120, 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingDC dc;
        LogFont lf;
        lf.faceName = "Trebuchet MS";
        lf.height = 20;
        lf.escapement = lf.orientation = c.escapement;
        dc.SelectFont(dc.CreateFontIndirect(lf));
        dc.SetTextAlign(c.align);
        dc.ExtTextOut(100, 100, CRect(0, 0, 10, 10), "abcd");
        const auto texts = dc.Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].kind, Kind::ExtTextOut);
        EXPECT_EQ(texts[0].cell, c.cell);
        EXPECT_EQ(texts[0].rect, CRect(0, 0, 10, 10));
        EXPECT_EQ(texts[0].font.escapement, c.escapement);
    }
}

TEST(RecordingDCTest, LineHelpersSplitRunsAtEachMove)
{
    CRecordingDC dc;
    dc.MoveToEx(0, 0);
    dc.LineTo(10, 0);
    dc.LineTo(10, 10);
    dc.MoveToEx(50, 50);  // a move with no line after it makes no run
    dc.MoveToEx(20, 20);
    dc.LineTo(30, 20);
    EXPECT_EQ(dc.LinePoints(),
              (std::vector<CPoint>{{0, 0}, {10, 0}, {10, 10}, {50, 50}, {20, 20}, {30, 20}}));
    const auto runs = dc.Polylines();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (std::vector<CPoint>{{0, 0}, {10, 0}, {10, 10}}));
    EXPECT_EQ(runs[1], (std::vector<CPoint>{{20, 20}, {30, 20}}));
    const auto lines = dc.Find(Kind::LineTo);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].from, (CPoint{10, 0}));
    dc.Clear();
    EXPECT_TRUE(dc.records.empty());
    EXPECT_EQ(dc.GetCurrentPosition(), (CPoint{30, 20}));
}
