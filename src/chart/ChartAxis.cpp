#include "chart/ChartAxis.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/NiceScale.h"

namespace {

// The grid a snapped minimum lies on: a fifth of the division step after a zoom, so the
// labels carry at most one digit more than the step; a tenth while dragging, so the plot
// follows the mouse closely.
constexpr double kZoomGrid = 5.0;
constexpr double kDragGrid = 10.0;
constexpr double kFinestStep = 1e-9;  // relative to the axis's values

double SnapToGrid(double v, double step, double parts = kZoomGrid)
{
    const double grid = step / parts;
    return std::round(v / grid) * grid;
}

}  // namespace

CChartAxis::CChartAxis(double lo, double hi, const std::string& axisTitle) : title(axisTitle)
{
    SetRange(lo, hi);
}

void CChartAxis::SetRange(double lo, double hi)
{
    min = (!allowNegative && lo <= 0.0) ? 0.0 : lo;
    max = hi > lo ? hi : lo + 1.0;
}

void CChartAxis::SetUp(const std::string& axisTitle, double lo, double hi, bool reversedFlag)
{
    title = axisTitle;
    SetRange(lo, hi);
    reversed = reversedFlag;
    visible = true;
}

double CChartAxis::HeldMin() const
{
    return min == heldFor[0] && max == heldFor[1] ? heldMin : min;
}

void CChartAxis::SetSnapped(double raw, double step, double parts, double n)
{
    double lo = SnapToGrid(raw, step, parts);
    // Against zero nothing is held back, or the way back would wait for it.
    if (!allowNegative && lo < 0.0)
        lo = raw = 0.0;
    SetRange(lo, lo + n * step);
    heldMin = raw;
    heldFor[0] = min;
    heldFor[1] = max;
}

void CChartAxis::ZoomAtFraction(double fraction, double factor, std::int32_t divisions)
{
    const double n = std::max<std::int32_t>(divisions, 1);
    const double step = (max - min) / n;
    if (!(factor > 0.0) || factor == 1.0 || !(step > 0.0) || !std::isfinite(fraction))
        return;
    // At least one nice step in the wheel's direction; more when factor asks for them.
    double next = factor < 1.0 ? PreviousNiceStep(step) : NextNiceStep(step);
    const double wanted = step * factor;
    if (factor < 1.0) {
        while (PreviousNiceStep(next) >= wanted * (1.0 - 1e-9))
            next = PreviousNiceStep(next);
    } else {
        while (next < wanted * (1.0 - 1e-9))
            next = NextNiceStep(next);
    }
    // Far below the values' own size a step is lost in the rounding of the doubles.
    const double finest = kFinestStep * std::max(std::fabs(min), std::fabs(max));
    if (next < finest)
        return;
    // The value at the fraction stays there, measured on the range the gesture would have
    // reached without snapping, so that snapping errors do not add up from step to step.
    const double held = HeldMin();
    const double span = max - min;
    const double about = reversed ? held + (1.0 - fraction) * span : held + fraction * span;
    SetSnapped(about - (about - held) * (next / step), next, kZoomGrid, n);
}

void CChartAxis::FitSnapped(double lo, double hi, std::int32_t divisions)
{
    const double n = std::max<std::int32_t>(divisions, 1);
    const double a = std::min(lo, hi), b = std::max(lo, hi);
    if (!(b > a) || !std::isfinite(b - a))
        return;
    // The nice step nearest on a log scale to the one asked for.
    const double wanted = (b - a) / n;
    const double up = NiceStepAtLeast(wanted);
    const double down = PreviousNiceStep(up);
    const double step = up / wanted <= wanted / down ? up : down;
    SetSnapped((a + b) / 2.0 - n * step / 2.0, step, kZoomGrid, n);
}

void CChartAxis::ShiftSnapped(double shift, std::int32_t divisions)
{
    const double n = std::max<std::int32_t>(divisions, 1);
    const double step = NiceStepAtLeast((max - min) / n * (1.0 - 1e-9));
    if (!std::isfinite(shift) || !(step > 0.0))
        return;
    // Small steps of a drag add up on the unsnapped minimum.
    SetSnapped(HeldMin() + shift, step, kDragGrid, n);
}

double CChartAxis::TickValue(std::int32_t j, std::int32_t m) const
{
    const double v = ValueAt(static_cast<double>(j) / m);
    const double roundOff =
        16.0 * std::numeric_limits<double>::epsilon() * std::max(std::fabs(min), std::fabs(max));
    return std::fabs(v) <= roundOff ? 0.0 : v;
}
