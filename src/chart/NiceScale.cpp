#include "chart/NiceScale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

namespace {

// Index 0 is negative zero. Small negative values round up to -0.0 (the negated rung 1),
// which compares equal to 0.
constexpr std::array<double, 51> kLadder = {
    -0.0,    0.0,      0.001,    0.002,     0.005,     0.01,       0.02,   0.05,    0.1,
    0.2,     0.5,      1.0,      2.0,       3.0,       4.0,        5.0,    6.0,     7.0,
    8.0,     9.0,      10.0,     12.0,      16.0,      20.0,       30.0,   40.0,    50.0,
    60.0,    70.0,     80.0,     90.0,      100.0,     180.0,      200.0,  300.0,   360.0,
    400.0,   500.0,    750.0,    1000.0,    2000.0,    4000.0,     5000.0, 10000.0, 20000.0,
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

double NiceStepAtLeast(double x)
{
    if (!(x > 0.0) || !std::isfinite(x))
        return 1.0;
    const double decade = std::pow(10.0, std::floor(std::log10(x)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        // A little slack: x itself may carry rounding of the division that produced it.
        if (m * decade >= x * (1.0 - 1e-12))
            return m * decade;
    }
    return 10.0 * decade;
}

double NextNiceStep(double step)
{
    return NiceStepAtLeast(step * (1.0 + 1e-9));
}

double PreviousNiceStep(double step)
{
    if (!(step > 0.0) || !std::isfinite(step))
        return 1.0;
    const double decade = std::pow(10.0, std::floor(std::log10(step)));
    double below = decade / 2.0;  // 5 x the decade under it
    for (double m : {1.0, 2.0, 2.5, 5.0})
        if (m * decade < step * (1.0 - 1e-9))
            below = m * decade;
    return below;
}

namespace {

// lo..hi with room on both sides when it is a single value (or reversed, or not finite).
void Widen(double& lo, double& hi)
{
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        lo = 0.0;
        hi = 1.0;
    }
    if (hi < lo)
        std::swap(lo, hi);
    if (hi == lo) {
        const double d = lo != 0.0 ? std::fabs(lo) * 0.1 : 1.0;
        lo -= d;
        hi += d;
    }
}

// Whole steps of `step` from below lo to above hi; a value within rounding of a multiple
// counts as that multiple, so 0.3 / 0.1 does not cost a further step.
double StepsBelow(double v, double step)
{
    return std::floor(v / step + 1e-9);
}

double StepsAbove(double v, double step)
{
    return std::ceil(v / step - 1e-9);
}

constexpr int kMaxSearch = 80;  // nice steps tried, about 27 decades

}  // namespace

NiceRange FitNiceRange(double lo, double hi, int maxDivisions)
{
    Widen(lo, hi);
    maxDivisions = std::max(maxDivisions, 1);
    double step = NiceStepAtLeast((hi - lo) / maxDivisions);
    NiceRange r;
    for (int i = 0; i < kMaxSearch; ++i, step = NextNiceStep(step)) {
        const double first = StepsBelow(lo, step);
        const double last = StepsAbove(hi, step);
        if (last - first <= maxDivisions) {
            r.min = first * step;
            r.max = last * step;
            r.divisions = std::max(1, static_cast<int>(last - first));
            break;
        }
    }
    return r;
}

NiceRange FitNiceRangeTo(double lo, double hi, int divisions)
{
    Widen(lo, hi);
    divisions = std::max(divisions, 1);
    double step = NiceStepAtLeast((hi - lo) / divisions);
    NiceRange r;
    for (int i = 0; i < kMaxSearch; ++i, step = NextNiceStep(step)) {
        const double first = StepsBelow(lo, step);
        if (first + divisions >= StepsAbove(hi, step)) {
            r.min = first * step;
            r.max = (first + divisions) * step;
            r.divisions = divisions;
            break;
        }
    }
    return r;
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
