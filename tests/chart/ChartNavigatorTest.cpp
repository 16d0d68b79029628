// The span, zoom, pan and range-history steps on a bare graph: no session, no paint.
#include "chart/ChartNavigator.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A rectangular graph whose plot box is 400 x 300 pixels at (100, 50), X 0..80 (nice steps of
// 20 on its four divisions), Y -100..0.
CChartGraph PlainGraph()
{
    CChartGraph g;
    g.plotArea.rect = CRect(100, 50, 500, 350);
    g.plotArea.visible = true;
    g.xAxis.SetRange(0.0, 80.0);
    g.leftAxis.SetRange(-100.0, 0.0);
    g.rightAxis.SetRange(-100.0, 0.0);
    return g;
}

}  // namespace

TEST(ChartNavigator, SpanSteps)
{
    struct Row {
        const char* name;
        void (*step)(CChartAxis&);
        double lo, hi, newLo, newHi;
    };
    const Row rows[] = {
        {"Inc Span", &CChartNavigator::IncSpan, 0, 100, -50, 150},
        {"Dec Span", &CChartNavigator::DecSpan, 0, 100, 25, 75},
        {"Inc Fmax", &CChartNavigator::IncFmax, 0, 100, 0, 150},
        {"Dec Fmax", &CChartNavigator::DecFmax, 0, 100, 0, 75},
        {"Dec Span", &CChartNavigator::DecSpan, 90, 110, 95, 105},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " from " + std::to_string(row.lo));
        CChartAxis x;
        x.SetRange(row.lo, row.hi);
        row.step(x);
        EXPECT_DOUBLE_EQ(x.min, row.newLo);
        EXPECT_DOUBLE_EQ(x.max, row.newHi);
    }
}

TEST(ChartNavigator, ZoomAndPanNeedAPlotAndKeepThePointUnderTheMouse)
{
    CChartGraph g = PlainGraph();
    const CPoint quarter{200, 200};  // X 20, mid-height
    ASSERT_TRUE(CChartNavigator::ZoomXAt(g, quarter, 0.5));
    EXPECT_NEAR(g.xAxis.max - g.xAxis.min, 40.0, 1e-9);
    EXPECT_NEAR(g.xAxis.min + 0.25 * (g.xAxis.max - g.xAxis.min), 20.0, 1e-9);
    EXPECT_FALSE(CChartNavigator::ZoomXAt(g, quarter, 0.0));
    EXPECT_FALSE(CChartNavigator::ZoomYAt(g, quarter, -1.0));

    // Half the plot width dragged right shows what lay half a span to the left.
    const double span = g.xAxis.max - g.xAxis.min, before = g.xAxis.min;
    ASSERT_TRUE(CChartNavigator::PanBy(g, 200, 0));
    EXPECT_NEAR(g.xAxis.min, before - span / 2, 1e-6 * span);

    g.plotArea.visible = false;
    const double keep = g.xAxis.min;
    EXPECT_FALSE(CChartNavigator::ZoomXAt(g, quarter, 0.5));
    EXPECT_FALSE(CChartNavigator::PanBy(g, 10, 10));
    EXPECT_EQ(g.xAxis.min, keep);
}

TEST(ChartNavigator, RectangleZoomRemembersAndHistoryWalksBackWithinItsCap)
{
    CChartGraph g = PlainGraph();
    CChartNavigator nav;
    // Smaller than kMinZoomPixels on a side: a click, nothing remembered.
    EXPECT_FALSE(nav.ZoomToRect(g, CRect(110, 60, 114, 200)));
    EXPECT_EQ(nav.HistorySize(), 0u);
    ASSERT_TRUE(nav.ZoomToRect(g, CRect(300, 350, 100, 50)));  // drawn right to left
    EXPECT_NEAR(g.xAxis.min, 0.0, 1e-6);
    EXPECT_NEAR(g.xAxis.max, 40.0, 1e-6);
    EXPECT_EQ(nav.HistorySize(), 1u);
    ASSERT_TRUE(nav.ZoomBack(g));
    EXPECT_EQ(g.xAxis.min, 0.0);
    EXPECT_EQ(g.xAxis.max, 80.0);
    EXPECT_FALSE(nav.ZoomBack(g));

    // The oldest ranges go beyond the cap; the newest come back first.
    for (std::size_t i = 0; i < CChartNavigator::kMaxRangeHistory + 3; ++i) {
        g.xAxis.SetRange(static_cast<double>(i), 1000.0);
        nav.PushRange(g);
    }
    EXPECT_EQ(nav.HistorySize(), CChartNavigator::kMaxRangeHistory);
    ASSERT_TRUE(nav.ZoomBack(g));
    EXPECT_EQ(g.xAxis.min, CChartNavigator::kMaxRangeHistory + 2.0);
    while (nav.ZoomBack(g)) {
    }
    EXPECT_EQ(g.xAxis.min, 3.0);
}
