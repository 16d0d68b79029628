#include "rf/TimeWindow.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TimeWindowTest, ParsesThePresetsAndRefusesTheRest)
{
    struct Row {
        const char* text;
        bool ok;
        TimeWindow::Kind kind;
        double beta;
    };
    const Row rows[] = {
        {"rect", true, TimeWindow::Kind::RECT, 0},
        {"HANN", true, TimeWindow::Kind::HANN, 0},
        {"min", true, TimeWindow::Kind::KAISER, 0},
        {"normal", true, TimeWindow::Kind::KAISER, 6},
        {"max", true, TimeWindow::Kind::KAISER, 13},
        {"kaiser:2.5", true, TimeWindow::Kind::KAISER, 2.5},
        {"kaiser:", false, TimeWindow::Kind::KAISER, 0},
        {"kaiser:-1", false, TimeWindow::Kind::KAISER, 0},
        {"kaiser:nan", false, TimeWindow::Kind::KAISER, 0},
        {"kaiser:6x", false, TimeWindow::Kind::KAISER, 0},
        {"hamming", false, TimeWindow::Kind::KAISER, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        TimeWindow w;
        ASSERT_EQ(TimeWindow::Parse(row.text, w), row.ok);
        if (row.ok) {
            EXPECT_EQ(w.kind, row.kind);
            EXPECT_DOUBLE_EQ(w.beta, row.beta);
        }
    }
}

// Against the closed forms: Hann is 0 at its ends and 1 at its middle, Kaiser 6 falls to
// 1/I0(6) = 0.0148733 at its ends, and the low-pass half starts at the peak.
TEST(TimeWindowTest, ShapesMatchTheirClosedForms)
{
    const TimeWindow hann{TimeWindow::Kind::HANN, 0};
    const auto h = hann.Symmetric(5);
    ASSERT_EQ(h.size(), 5u);
    EXPECT_NEAR(h[0], 0.0, 1e-15);
    EXPECT_NEAR(h[1], 0.5, 1e-15);
    EXPECT_NEAR(h[2], 1.0, 1e-15);
    EXPECT_NEAR(h[4], 0.0, 1e-15);

    const TimeWindow kaiser{TimeWindow::Kind::KAISER, 6};
    const auto k = kaiser.Symmetric(101);
    EXPECT_NEAR(k[0], 1.0 / 67.23440697647798, 1e-12);
    EXPECT_NEAR(k[50], 1.0, 1e-15);
    EXPECT_NEAR(k[100], k[0], 1e-15);

    const auto half = kaiser.RightHalf(51);
    ASSERT_EQ(half.size(), 51u);
    EXPECT_NEAR(half[0], 1.0, 1e-15);
    EXPECT_NEAR(half[50], k[100], 1e-15);
    EXPECT_EQ(TimeWindow{}.Symmetric(1), std::vector<double>{1.0});
}
