#include "chart/NiceScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

struct Row {
    double in;
    double expected;
};

const std::vector<double> kLadder = {
    0,    0.001, 0.002, 0.005, 0.01,  0.02,  0.05,   0.1,    0.2,     0.5,     1,        2,   3,
    4,    5,     6,     7,     8,     9,     10,     12,     16,      20,      30,       40,  50,
    60,   70,    80,    90,    100,   180,   200,    300,    360,     400,     500,      750, 1000,
    2000, 4000,  5000,  10000, 20000, 50000, 100000, 500000, 1000000, 5000000, 10000000,
};

TEST(NiceScaleTest, FloorRoundsDownTheLadder)
{
    const std::vector<Row> rows = {
        {7.5, 7},
        {8, 8},
        {0.0005, 0},
        {20000000, 20000000},
        {-7.5, -8},
        {-20000000, -10000000},
        {0.0015, 0.001},
        {361, 360},
        {17, 16},
        {-17, -20},
        {-0.4, -0.5},
        {-63.2, -70},
        {0, 0},
        {-0.0, 0},
        {10000001, 10000001},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.in);
        EXPECT_EQ(NiceFloor(r.in), r.expected);
    }
}

TEST(NiceScaleTest, CeilRoundsUpTheLadder)
{
    const std::vector<Row> rows = {
        {7.5, 8},
        {0, 0},
        {20000000, 10000000},
        {-7.5, -7},
        {-0.0005, 0},
        {-20000000, -20000000},
        {0.0015, 0.002},
        {361, 400},
        {17, 20},
        {-17, -16},
        {-0.4, -0.2},
        {-63.2, -60},
        {-0.0001, 0},
        {10000000, 10000000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.in);
        EXPECT_EQ(NiceCeil(r.in), r.expected);
    }
}

TEST(NiceScaleTest, LadderValuesStayPut)
{
    for (double v : kLadder) {
        SCOPED_TRACE(v);
        EXPECT_EQ(NiceFloor(v), v);
        EXPECT_EQ(NiceCeil(v), v);
        EXPECT_EQ(NiceFloor(-v), -v);
        EXPECT_EQ(NiceCeil(-v), -v);
    }
}

TEST(NiceScaleTest, NonFiniteInputsAreWellDefined)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isnan(NiceFloor(nan)));
    EXPECT_TRUE(std::isnan(NiceCeil(nan)));
    EXPECT_EQ(NiceFloor(inf), inf);
    EXPECT_EQ(NiceCeil(inf), 10000000);
    EXPECT_EQ(NiceFloor(-inf), -10000000);
    EXPECT_EQ(NiceCeil(-inf), -inf);
}

TEST(NiceScaleTest, TruncInt32SaturatesAndMapsNanToZero)
{
    constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(TruncInt32(2.9), 2);
    EXPECT_EQ(TruncInt32(-2.9), -2);
    EXPECT_EQ(TruncInt32(-0.0), 0);
    EXPECT_EQ(TruncInt32(2147483647.5), hi);
    EXPECT_EQ(TruncInt32(-2147483648.5), lo);
    EXPECT_EQ(TruncInt32(1e12), hi);
    EXPECT_EQ(TruncInt32(-1e12), lo);
    EXPECT_EQ(TruncInt32(std::numeric_limits<double>::infinity()), hi);
    EXPECT_EQ(TruncInt32(-std::numeric_limits<double>::infinity()), lo);
    EXPECT_EQ(TruncInt32(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(NiceScaleTest, ClampInt32)
{
    EXPECT_EQ(ClampInt32(-21474836480LL), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ClampInt32(21474836470LL), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ClampInt32(-123), -123);
}

}  // namespace
