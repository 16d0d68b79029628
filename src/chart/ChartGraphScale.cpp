// The automatic scale of a graph: the span of its traces and the Y axes fitted to their
// values by each view's rules.
#include "chart/ChartGraph.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstddef>
#include <iterator>

#include "chart/NiceScale.h"

namespace {

// Start values of the range searches; they stay when an axis has no trace.
constexpr double kNoLow = 1e9;
constexpr double kNoHigh = -1e9;

// The snapping works in 32-bit integers. The collected limits stay within the +-1e9 start
// values, but a cast of a double beyond the int32 range is undefined behaviour, so the
// truncation saturates (NaN gives 0) and the products by ten are formed in 64 bits and
// clamped back, whatever reaches them.
double TenTimes(double v)  // 10 x T(v)
{
    return ClampInt32(10LL * TruncInt32(v));
}

double LowTen(double v)  // -10 x T(v / -10) - 10: the next multiple of ten below
{
    return ClampInt32(-10LL * TruncInt32(v / -10.0) - 10);
}

double HighTenFromZero(double v)  // 10 - 10 x T(v / -10): the next multiple of ten above
{
    return ClampInt32(10 - 10LL * TruncInt32(v / -10.0));
}

// Phase and delay must never be cut by the dB rules: their range holds every value, widened
// to multiples of ten (in doubles, so no value is large enough to wrap).
void FitAllValues(double& lo, double& hi)
{
    lo = 10.0 * std::floor(lo / 10.0);
    hi = 10.0 * std::ceil(hi / 10.0);
}

constexpr double kMaxMajorDivisions = 12.0;
constexpr int kMaxNiceDivisions = 8;  // a linear axis: the coarser step of two that fit
// Deeper dB values stay out of an auto-scaled view: exact zeros (-300 dB) would flatten
// everything else.
constexpr double kDbFloor = -200.0;
// What a dB trace holds for an exact zero (CComplex::GetDb).
constexpr double kExactZeroDb = -300.0;
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

// The candidate units per major division, in order: ten, the steps that divide a phase
// axis of -180..180 evenly, then 100, 200, 500, 1000 ... for wide delay axes.
double StepCandidate(int i)
{
    static const double first[] = {10.0, 20.0, 30.0, 45.0, 60.0, 90.0};
    constexpr int n = static_cast<int>(std::size(first));
    if (i < n)
        return first[i];
    static const double mantissa[] = {1.0, 2.0, 5.0};
    return mantissa[(i - n) % 3] * std::pow(10.0, 2 + (i - n) / 3);
}

// Units per major division of lo..hi: the first candidate that needs at most twelve
// divisions once lo is moved down to a multiple of it.
double MajorStep(double lo, double hi)
{
    double step = 10.0;
    for (int i = 0; i < 900; ++i) {
        step = StepCandidate(i);
        if (!std::isfinite(step))
            break;
        const double base = step * std::floor(lo / step);
        if ((hi - base) / step <= kMaxMajorDivisions + 1e-9)
            break;
    }
    return step;
}

// A trace that is flat but for the last digits of its numbers (0.2999994..0.3000006) is
// flat: fitted as it stands, its axis would label the rounding noise.
void MergeRoundingNoise(double& lo, double& hi)
{
    if (lo < hi && hi - lo <= 1e-5 * std::max(std::fabs(lo), std::fabs(hi)))
        lo = hi = lo + (hi - lo) / 2;
}

// The values a linear axis is fitted to: its kept range while they lie in it, else at least
// a twentieth of their size wide, so that the last digits of a flat trace's numbers (a
// |S21| of 0.8600 +- 0.00005) are not spread over the whole chart.
void LinearExtent(const CChartAxis& axis, double& lo, double& hi)
{
    if (axis.keepLow < axis.keepHigh && axis.keepLow <= lo && hi <= axis.keepHigh) {
        lo = axis.keepLow;
        hi = axis.keepHigh;
        return;
    }
    const double least = 0.05 * std::max(std::fabs(lo), std::fabs(hi));
    if (lo < hi && hi - lo < least) {
        const double mid = lo + (hi - lo) / 2;
        lo = mid - least / 2;
        hi = mid + least / 2;
    }
}

}  // namespace

void CChartGraph::AutoSpan()
{
    double low = 0.0;
    double high = 1.0;
    if (!traces.empty()) {
        low = kNoLow;
        high = kNoHigh;
        for (const CChartTrace& t : traces) {
            // An infinite end (given to SetValues) would make the axis unusable.
            if (std::isfinite(t.xMin) && low > t.xMin)
                low = t.xMin;
            if (std::isfinite(t.xMax) && high < t.xMax)
                high = t.xMax;
        }
    }
    xAxis.SetRange(low, high);
}

void CChartGraph::AutoScale()
{
    double leftMin = 0.0;
    double leftMax = 1.0;
    double rightMin = 0.0;
    double rightMax = 1.0;
    if (!traces.empty()) {
        leftMin = rightMin = kNoLow;
        leftMax = rightMax = kNoHigh;
        bool leftTraces = false, rightTraces = false;
        for (const CChartTrace& t : traces) {
            (t.onLeftAxis ? leftTraces : rightTraces) = true;
            // What the trace shows in the span, also between two stored points; a trace
            // with nothing there leaves the axis to the others.
            // On a dB axis an exact zero (-300 dB) is no level to fit: it stays out.
            const bool db = !(t.onLeftAxis ? leftAxis : rightAxis).fitsAllValues;
            double lo = 0.0, hi = 0.0;
            if (!t.ShownRange(xAxis.min, xAxis.max, lo, hi, db ? kExactZeroDb : kNan))
                continue;
            double& axisMin = t.onLeftAxis ? leftMin : rightMin;
            double& axisMax = t.onLeftAxis ? leftMax : rightMax;
            if (lo < axisMin)
                axisMin = lo;
            if (hi > axisMax)
                axisMax = hi;
        }
        // An axis whose traces show nothing at all keeps the range of nothing found.
        if (leftTraces && leftMin > leftMax) {
            leftMin = 0.0;
            leftMax = 1.0;
        }
        if (rightTraces && rightMin > rightMax) {
            rightMin = 0.0;
            rightMax = 1.0;
        }
    }

    const bool leftFound = leftMin <= leftMax;  // else the start values are untouched
    const bool rightFound = rightMin <= rightMax;
    MergeRoundingNoise(leftMin, leftMax);
    MergeRoundingNoise(rightMin, rightMax);
    const double leftLow = leftMin, leftHigh = leftMax;
    const double rightLow = rightMin, rightHigh = rightMax;

    leftMin = NiceFloor(leftMin);
    leftMax = NiceCeil(leftMax);
    rightMin = NiceFloor(rightMin);
    rightMax = NiceCeil(rightMax);

    // Down to -100 dB a ten below the rounded minimum; deeper values (isolation, a
    // mixed-mode term) the next ten below them, down to the floor.
    const auto snapMin = [](double rounded, double raw) {
        return rounded >= -100.0 ? LowTen(rounded) : std::max(LowTen(raw), kDbFloor);
    };
    switch (viewFormat) {
    case 1:
    case 2:  // loss views: 0 dB at the top
        leftMax = 0.0;
        leftMin = snapMin(leftMin, leftLow);
        break;
    case 7:
        leftMax = 0.0;
        leftMin = snapMin(leftMin, leftLow);
        rightMax = 0.0;
        rightMin = snapMin(rightMin, rightLow);
        break;
    default:
        if (leftMax > 100.0)
            leftMax = 100.0;
        else if (leftMax < 0.0)
            leftMax = TenTimes(leftMax / 10.0);
        else
            leftMax = HighTenFromZero(leftMax);
        leftMin = snapMin(leftMin, leftLow);
        rightMax = rightMax > 100.0 ? 100.0 : TenTimes(rightMax / 10.0);
        rightMin = snapMin(rightMin, rightLow);
        break;
    }
    if (leftAxis.fitsAllValues && leftFound) {
        leftMin = leftLow;
        leftMax = leftHigh;
        FitAllValues(leftMin, leftMax);
    }
    if (rightAxis.fitsAllValues && rightFound) {
        rightMin = rightLow;
        rightMax = rightHigh;
        FitAllValues(rightMin, rightMax);
    }

    // At least ten units per axis.
    if (leftMin > leftMax - 10.0)
        leftMin = leftMax - 10.0;
    if (rightMin > rightMax - 10.0)
        rightMin = rightMax - 10.0;

    const bool leftNice = leftAxis.fitsAllValues && leftAxis.niceSteps && leftFound;
    if (leftNice) {
        // Linear quantities: whole steps of their own size, the grid one per step.
        double lo = leftLow, hi = leftHigh;
        LinearExtent(leftAxis, lo, hi);
        const NiceRange r = FitNiceRange(lo, hi, kMaxNiceDivisions);
        leftAxis.SetRange(r.min, r.max);
        yMajorDivisions = std::max(r.divisions, 2);
    } else {
        // A wide left axis gets a wider step; it then starts on a multiple of the step and
        // spans a whole number of them, so that every label stays a whole number.
        const double step = MajorStep(leftMin, leftMax);
        if (step > 10.0) {
            leftMin = step * std::floor(leftMin / step);
            leftMax = leftMin + step * std::ceil((leftMax - leftMin) / step - 1e-9);
        }
        leftAxis.SetRange(leftMin, leftMax);
        FitYMajorDivisions();
    }
    if (rightAxis.fitsAllValues && rightAxis.niceSteps && rightFound) {
        // On the left axis's grid: as many whole steps as it has divisions.
        double lo = rightLow, hi = rightHigh;
        LinearExtent(rightAxis, lo, hi);
        const NiceRange r = FitNiceRangeTo(lo, hi, yMajorDivisions);
        rightMin = r.min;
        rightMax = r.max;
    }
    rightAxis.SetRange(rightMin, rightMax);
}

void CChartGraph::FitYMajorDivisions()
{
    const double span = std::fabs(leftAxis.max - leftAxis.min + 0.1);
    const double step = MajorStep(0.0, span - 0.1);
    yMajorDivisions = std::max(TruncInt32(span / step), 2);
}
