#include "chart/ChartTrace.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <type_traits>

// A trace stores one of these per sample: two doubles, no vtable pointer.
static_assert(std::is_trivially_copyable_v<
                  CChartTrace::XYpair> && sizeof(CChartTrace::XYpair) == 2 * sizeof(double),
              "a sample point is two plain doubles");

namespace {

// Start values of the extent searches; they stay when nothing is found.
constexpr double kNoLow = 1e9;
constexpr double kNoHigh = -1e9;

// Sixteen, one for each trace a graph holds: the classic twelve, then four more.
const std::array<COLORREF, 16> kPalette = {
    Rgb(255, 64, 64),   Rgb(0, 127, 255), Rgb(0, 127, 64),    Rgb(255, 127, 64),
    Rgb(127, 0, 255),   Rgb(0, 127, 127), Rgb(255, 0, 127),   Rgb(64, 64, 127),
    Rgb(192, 127, 127), Rgb(255, 0, 255), Rgb(127, 127, 192), Rgb(64, 127, 64),
    Rgb(140, 70, 0),    Rgb(0, 0, 160),   Rgb(190, 150, 0),   Rgb(32, 32, 32),
};
// Per thread: the command line builds charts of several files at once, each its own.
thread_local int paletteIndex = -1;

// Widens [low, high] by v. A NaN or infinite sample (a 0/0 in a conversion) would poison
// the range or, once scaled to pixels, overflow an integer, so it is left out.
// Returns whether v was counted.
bool Widen(double v, double& low, double& high)
{
    if (!std::isfinite(v))
        return false;
    if (low > v)
        low = v;
    if (high < v)
        high = v;
    return true;
}

// Orders by x; a NaN x sorts after every number so the order stays a strict weak one.
bool XLess(const CChartTrace::XYpair& a, const CChartTrace::XYpair& b)
{
    return !std::isnan(a.x) && (std::isnan(b.x) || a.x < b.x);
}

}  // namespace

CChartTrace::CChartTrace(const std::vector<double>& yValues, double firstX, double lastX,
                         const std::string& traceName, bool leftAxis)
    : name(traceName), onLeftAxis(leftAxis)
{
    SetValues(yValues, firstX, lastX);
    color = NextTraceColor();
}

void CChartTrace::SetValues(const std::vector<double>& yValues, double firstX, double lastX)
{
    isXY = false;
    values = yValues;
    xMin = firstX;
    xMax = lastX;
    yMin = kNoLow;
    yMax = kNoHigh;
    for (double v : values)
        Widen(v, yMin, yMax);
}

void CChartTrace::SetPoints(const std::vector<XYpair>& xyPoints)
{
    isXY = true;
    points = xyPoints;
    std::stable_sort(points.begin(), points.end(), XLess);
    xMin = kNoLow;
    xMax = kNoHigh;
    yMin = kNoLow;
    yMax = kNoHigh;
    for (const XYpair& p : points) {
        Widen(p.x, xMin, xMax);
        Widen(p.y, yMin, yMax);
    }
}

bool CChartTrace::StoredRange(double xLow, double xHigh, double& low, double& high,
                              double skip) const
{
    bool found = false;
    if (isXY) {
        for (const XYpair& p : points) {
            if (xLow <= p.x && p.x <= xHigh && p.y != skip && Widen(p.y, low, high))
                found = true;
        }
    } else {
        for (std::size_t i = 0; i < values.size(); ++i) {
            const double x = UniformX(i);
            if (xLow <= x && x <= xHigh && values[i] != skip && Widen(values[i], low, high))
                found = true;
        }
    }
    return found;
}

std::pair<double, double> CChartTrace::ValueRange(double xLow, double xHigh) const
{
    double low = kNoLow;
    double high = kNoHigh;
    if (!StoredRange(xLow, xHigh, low, high))
        return {0.0, 1.0};
    return {low, high};
}

bool CChartTrace::ShownRange(double xLow, double xHigh, double& low, double& high,
                             double skip) const
{
    low = kNoLow;
    high = kNoHigh;
    if (PointCount() < 2 || !(xLow <= xMax && xMin <= xHigh))
        return false;
    bool found = StoredRange(xLow, xHigh, low, high, skip);
    for (double edge : {xLow, xHigh}) {
        const double value = Covers(edge) ? ValueAt(edge) : skip;
        if (value != skip && Widen(value, low, high))
            found = true;
    }
    return found;
}

double CChartTrace::ValueAt(double x) const
{
    return isXY ? XYValueAt(x) : UniformValueAt(x);
}

double CChartTrace::ValueAt(double x, std::size_t& hint) const
{
    return isXY ? XYValueNear(x, hint) : UniformValueAt(x);
}

double CChartTrace::UniformX(std::size_t i) const
{
    const std::size_t n = values.size();
    if (n <= 1)
        return xMin;
    return xMin + (xMax - xMin) * static_cast<double>(i) / static_cast<double>(n - 1);
}

double CChartTrace::XYValueAt(double x) const
{
    const std::size_t n = points.size();
    if (n <= 1)
        return 0.0;
    if (std::isnan(x))
        return std::numeric_limits<double>::quiet_NaN();
    std::size_t lo = 0;
    std::size_t hi = n - 1;
    while (hi != lo + 1) {
        const std::size_t mid = (lo + hi) / 2;
        // Absolute tolerance in X units; only the pairs probed here are tested against it.
        if (std::fabs(points[mid].x - x) < 1e-5)
            return points[mid].y;
        if (x > points[mid].x)
            lo = mid;
        else
            hi = mid;
    }
    return Interpolate(points[lo], points[hi], x);
}

double CChartTrace::Interpolate(const XYpair& a, const XYpair& b, double x)
{
    if (std::fabs(a.x - b.x) < 1e-6)
        return a.y;
    const double u = (b.y - a.y) / (b.x - a.x);
    return b.y - b.x * u + x * u;
}

double CChartTrace::XYValueNear(double x, std::size_t& hint) const
{
    const std::size_t n = points.size();
    if (n <= 2 || std::isnan(x))
        return XYValueAt(x);
    // The search ends on the pair where "x lies beyond the point" turns false, whichever
    // points it probes: walk there from the hint instead. Sorted points make it one place.
    std::size_t lo = std::min(hint, n - 2);
    while (lo + 1 <= n - 2 && x > points[lo + 1].x)
        ++lo;
    while (lo > 0 && !(x > points[lo].x))
        --lo;
    hint = lo;
    const std::size_t hi = lo + 1;
    // What the search would do differently: stop at a probed point within its tolerance.
    // All but the two end points are probed on the way to the pair it ends on, so with at
    // most one point that near, that point decides; with more, the probing order does.
    const auto near = [&](std::size_t i) { return std::fabs(points[i].x - x) < 1e-5; };
    const bool nearLo = near(lo);
    const bool nearHi = near(hi);
    if ((nearLo && nearHi) || (nearLo && lo > 0 && near(lo - 1))
        || (nearHi && hi + 1 < n && near(hi + 1)))
        return XYValueAt(x);
    if (nearLo && lo > 0)
        return points[lo].y;
    if (nearHi && hi < n - 1)
        return points[hi].y;
    return Interpolate(points[lo], points[hi], x);
}

double CChartTrace::UniformValueAt(double x) const
{
    const std::size_t n = values.size();
    if (n <= 1)
        return 0.0;
    if (std::isnan(x))
        return std::numeric_limits<double>::quiet_NaN();
    if (x <= xMin)
        return values.front();
    if (x >= xMax)
        return values.back();
    const double pos = (x - xMin) / (xMax - xMin) * static_cast<double>(n - 1);
    if (!std::isfinite(pos))  // an infinite or NaN end of the X range
        return std::numeric_limits<double>::quiet_NaN();
    // Rounding can put pos on the last value; k + 1 must stay a valid index.
    const std::size_t k =
        static_cast<std::size_t>(std::clamp(pos, 0.0, static_cast<double>(n - 2)));
    const double xk = UniformX(k);
    const double xk1 = UniformX(k + 1);
    if (std::fabs(xk - xk1) < 1e-6)
        return values[k];
    const double u = (values[k + 1] - values[k]) / (xk1 - xk);
    return values[k + 1] - xk1 * u + x * u;
}

COLORREF NextTraceColor()
{
    ++paletteIndex;
    if (paletteIndex >= static_cast<int>(kPalette.size()))
        paletteIndex = 0;
    return kPalette[static_cast<std::size_t>(paletteIndex)];
}

void ResetTraceColors()
{
    paletteIndex = -1;
}

void StartTraceColorsAt(std::size_t k)
{
    paletteIndex = static_cast<int>(k % kPalette.size()) - 1;
}

COLORREF TraceColorAt(std::size_t k)
{
    return kPalette[k % kPalette.size()];
}
