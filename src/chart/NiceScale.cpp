#include "chart/NiceScale.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

// Index 0 is negative zero. Small negative values round up to -0.0 (the negated rung 1),
// which compares equal to 0.
constexpr std::array<double, 51> kLadder = {
    -0.0,   0.0,    0.001,  0.002,   0.005,   0.01,    0.02,    0.05,     0.1,
    0.2,    0.5,    1.0,    2.0,     3.0,     4.0,     5.0,     6.0,      7.0,
    8.0,    9.0,    10.0,   12.0,    16.0,    20.0,    30.0,    40.0,     50.0,
    60.0,   70.0,   80.0,   90.0,    100.0,   180.0,   200.0,   300.0,    360.0,
    400.0,  500.0,  750.0,  1000.0,  2000.0,  4000.0,  5000.0,  10000.0,  20000.0,
    50000.0, 100000.0, 500000.0, 1000000.0, 5000000.0, 10000000.0,
};
constexpr std::size_t kTop = kLadder.size() - 2;  // last i of the searches (49)

}  // namespace

double NiceFloor(double x)
{
    if (x >= 0.0) {
        for (std::size_t i = 0; i <= kTop; ++i)
            if (x < kLadder[i + 1])
                return kLadder[i];
        return x;
    }
    // x < 0 or NaN
    for (std::size_t i = kTop + 1; i-- > 0;)
        if (-kLadder[i + 1] > x)
            return i == kTop ? -kLadder[kTop + 1] : -kLadder[i + 2];
    return x;
}

double NiceCeil(double x)
{
    if (x >= 0.0) {
        for (std::size_t i = kTop + 1; i-- > 0;)
            if (x > kLadder[i + 1])
                return i == kTop ? kLadder[kTop + 1] : kLadder[i + 2];
        return x;
    }
    for (std::size_t i = 0; i <= kTop; ++i)
        if (-kLadder[i + 1] < x)
            return i == 0 ? kLadder[0] : -kLadder[i];
    return x;
}

std::int32_t TruncInt32(double v)
{
    if (std::isnan(v))
        return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (v <= lo)
        return std::numeric_limits<std::int32_t>::min();
    if (v >= hi)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

std::int32_t ClampInt32(std::int64_t v)
{
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}
