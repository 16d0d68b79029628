#include "app/ExampleResponse.h"
#include "chart/ChartSheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

TEST(ExampleResponse, ReferenceValues)
{
    struct Row {
        int i;
        double f, s21, s11;
    };
    const Row rows[] = {
        {0, 80, -127.6326, -0.0000},    {50, 90, -35.4632, -0.0012},  {60, 92, -0.0008, -37.1309},
        {100, 100, -0.0041, -30.2471},  {140, 108, -0.5778, -9.0457}, {150, 110, -35.4632, -0.0012},
        {200, 120, -111.6234, -0.0000},
    };
    const CExampleResponse example;
    ASSERT_EQ(example.s21.size(), 201u);
    ASSERT_EQ(example.s11.size(), 201u);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.i);
        EXPECT_NEAR(CExampleResponse::Frequency(row.i), row.f, 1e-12);
        EXPECT_NEAR(example.s21[row.i], row.s21, 5e-5);
        EXPECT_NEAR(example.s11[row.i], row.s11, 5e-5);
    }
}

TEST(ExampleResponse, ShapeOfTheResponse)
{
    const CExampleResponse example;
    // 90 x 110 is the centre frequency squared, so both edges respond alike.
    EXPECT_NEAR(example.s21[50], example.s21[150], 1e-9);
    // Inside the equal-ripple band (about 91.90 to 107.73) S21 stays within 0.01 dB.
    for (int i = 0; i < CExampleResponse::POINTS; ++i) {
        const double f = CExampleResponse::Frequency(i);
        if (f > 91.95 && f < 107.7) {
            SCOPED_TRACE(f);
            EXPECT_LE(example.s21[i], 0.0);
            EXPECT_GE(example.s21[i], -0.01);
        }
        EXPECT_TRUE(std::isfinite(example.s11[i])) << i;
    }
    const auto s21 = std::minmax_element(example.s21.begin(), example.s21.end());
    EXPECT_EQ(s21.first - example.s21.begin(), 0);
    EXPECT_NEAR(*s21.second, -0.00004, 0.00002);
    EXPECT_NEAR(*std::min_element(example.s11.begin(), example.s11.end()), -50.18, 0.01);
}

TEST(ExampleResponse, AssembledGraph)
{
    CChartSheet sheet;
    // Traces made before must not shift the example's colours.
    NextTraceColor();
    NextTraceColor();
    NextTraceColor();
    CExampleResponse().Assemble(sheet);
    ResetTraceColors();
    const COLORREF first = NextTraceColor();
    const COLORREF second = NextTraceColor();

    ASSERT_EQ(sheet.graphs.size(), 1u);
    EXPECT_EQ(sheet.title, "11th order Bandpass Filter Example");
    const CChartGraph& g = *sheet.GraphAt(0);
    EXPECT_EQ(g.title, "");
    EXPECT_EQ(g.viewFormat, 0);
    EXPECT_EQ(g.xAxis.title, "Frequency");
    EXPECT_EQ(g.xShortTitle, "Freq");
    ASSERT_EQ(g.traces.size(), 2u);
    EXPECT_EQ(g.traces[0].name, "S21");
    EXPECT_TRUE(g.traces[0].onLeftAxis);
    EXPECT_EQ(g.traces[0].color, first);
    EXPECT_EQ(g.traces[1].name, "S11");
    EXPECT_FALSE(g.traces[1].onLeftAxis);
    EXPECT_EQ(g.traces[1].color, second);
    EXPECT_DOUBLE_EQ(g.traces[1].xMin, 80.0);
    EXPECT_DOUBLE_EQ(g.traces[1].xMax, 120.0);
    EXPECT_DOUBLE_EQ(g.xAxis.min, 80.0);
    EXPECT_DOUBLE_EQ(g.xAxis.max, 120.0);
    EXPECT_TRUE(g.leftAxis.reversed);
    EXPECT_TRUE(g.rightAxis.reversed);
    EXPECT_DOUBLE_EQ(g.leftAxis.min, -100.0);
    EXPECT_DOUBLE_EQ(g.leftAxis.max, 0.0);
    EXPECT_DOUBLE_EQ(g.rightAxis.min, -50.0);
    EXPECT_DOUBLE_EQ(g.rightAxis.max, 0.0);
    EXPECT_TRUE(g.leftAxis.visible);
    EXPECT_TRUE(g.rightAxis.visible);
    EXPECT_EQ(g.leftAxis.title, "");
    EXPECT_EQ(g.rightAxis.title, "");
}

}  // namespace
