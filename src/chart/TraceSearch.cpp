#include "chart/TraceSearch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

using XY = CChartTrace::XYpair;

void AddFinite(std::vector<XY>& samples, double x, double y)
{
    if (std::isfinite(x) && std::isfinite(y))
        samples.emplace_back(x, y);
}

// X where the straight line from a to b reaches level; a.x for a flat line.
double Crossing(const XY& a, const XY& b, double level)
{
    if (b.y == a.y)
        return a.x;
    return a.x + (level - a.y) * (b.x - a.x) / (b.y - a.y);
}

// Index of the first sample holding the largest (or, with lowest set, the smallest) value.
std::size_t Extreme(const std::vector<XY>& s, bool lowest)
{
    std::size_t best = 0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (lowest ? s[i].y < s[best].y : s[i].y > s[best].y)
            best = i;
    }
    return best;
}

TracePoint PointOf(const std::vector<XY>& s, std::size_t i)
{
    return TracePoint{true, s[i].x, s[i].y};
}

// The smallest value met walking from index `from` by step until the trace rises above
// top or the samples end.
double LowestBefore(const std::vector<XY>& s, std::ptrdiff_t from, std::ptrdiff_t step, double top)
{
    double lowest = top;
    for (std::ptrdiff_t k = from; k >= 0 && k < static_cast<std::ptrdiff_t>(s.size()); k += step) {
        const double y = s[static_cast<std::size_t>(k)].y;
        if (y > top)
            break;
        lowest = std::min(lowest, y);
    }
    return lowest;
}

}  // namespace

std::vector<XY> TraceSamples(const CChartTrace& trace, double xLow, double xHigh)
{
    std::vector<XY> samples;
    const std::size_t n = trace.PointCount();
    const double lo = std::max(xLow, trace.xMin);
    const double hi = std::min(xHigh, trace.xMax);
    if (n < 2 || !(lo <= hi))
        return samples;

    AddFinite(samples, lo, trace.ValueAt(lo));
    if (trace.isXY) {
        auto it = std::upper_bound(trace.points.begin(), trace.points.end(), lo,
                                   [](double x, const XY& p) { return x < p.x; });
        for (; it != trace.points.end() && it->x < hi; ++it)
            AddFinite(samples, it->x, it->y);
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            const XY sample = trace.Sample(i);
            if (lo < sample.x && sample.x < hi)
                AddFinite(samples, sample.x, sample.y);
        }
    }
    if (hi > lo)
        AddFinite(samples, hi, trace.ValueAt(hi));
    return samples;
}

std::vector<XY> StoredSamples(const CChartTrace& trace, double xLow, double xHigh)
{
    std::vector<XY> samples;
    if (!(xLow <= xHigh))
        return samples;
    if (trace.isXY) {
        auto it = std::lower_bound(trace.points.begin(), trace.points.end(), xLow,
                                   [](const XY& p, double x) { return p.x < x; });
        for (; it != trace.points.end() && it->x <= xHigh; ++it)
            AddFinite(samples, it->x, it->y);
        return samples;
    }
    const std::size_t n = trace.PointCount();
    for (std::size_t i = 0; i < n; ++i) {
        const XY sample = trace.Sample(i);
        if (xLow <= sample.x && sample.x <= xHigh)
            AddFinite(samples, sample.x, sample.y);
    }
    return samples;
}

TracePoint TraceMaximum(const CChartTrace& trace, double xLow, double xHigh)
{
    const std::vector<XY> s = StoredSamples(trace, xLow, xHigh);
    return s.empty() ? TracePoint{} : PointOf(s, Extreme(s, false));
}

TracePoint TraceMinimum(const CChartTrace& trace, double xLow, double xHigh)
{
    const std::vector<XY> s = StoredSamples(trace, xLow, xHigh);
    return s.empty() ? TracePoint{} : PointOf(s, Extreme(s, true));
}

TracePoint NextPeak(const CChartTrace& trace, double fromX, bool toRight, double xLow, double xHigh,
                    double excursion)
{
    TracePoint found;
    if (std::isnan(fromX))
        return found;
    const std::vector<XY> s = TraceSamples(trace, xLow, xHigh);
    // The ends of the window are never peaks: each needs a sample on both sides.
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        if (!(s[i - 1].y < s[i].y))
            continue;
        std::size_t last = i;  // a flat top counts once, at its first sample
        while (last + 1 < s.size() && s[last + 1].y == s[i].y)
            ++last;
        if (last + 1 >= s.size() || !(s[last + 1].y < s[i].y)) {
            i = last;
            continue;
        }
        if (!toRight && s[i].x >= fromX)
            break;
        const double top = s[i].y;
        const bool wanted = toRight ? s[i].x > fromX : true;
        if (wanted
            && top - LowestBefore(s, static_cast<std::ptrdiff_t>(i) - 1, -1, top) >= excursion
            && top - LowestBefore(s, static_cast<std::ptrdiff_t>(last) + 1, 1, top) >= excursion) {
            found = PointOf(s, i);
            if (toRight)
                break;  // the first one right of fromX is the nearest
        }
        i = last;
    }
    return found;
}

BandwidthResult TraceBandwidth(const CChartTrace& trace, double dbBelow, double xLow, double xHigh)
{
    BandwidthResult r;
    r.peak = TraceMaximum(trace, xLow, xHigh);
    if (!r.peak.found || !(dbBelow > 0.0))
        return r;
    // The crossings may lie between the window's ends and the stored samples next to
    // them: they are searched on the trace as drawn, from the stored peak outward.
    const std::vector<XY> s = TraceSamples(trace, xLow, xHigh);
    std::size_t m = 0;
    while (m + 1 < s.size() && s[m].x < r.peak.x)
        ++m;
    // Smith and polar traces hold |S|, not dB: N dB below is a ratio there.
    const double level =
        trace.gamma.empty() ? r.peak.y - dbBelow : r.peak.y * std::pow(10.0, -dbBelow / 20.0);
    for (std::size_t k = m; k-- > 0;) {
        if (s[k].y <= level) {
            r.hasLow = true;
            r.low = Crossing(s[k], s[k + 1], level);
            break;
        }
    }
    for (std::size_t k = m + 1; k < s.size(); ++k) {
        if (s[k].y <= level) {
            r.hasHigh = true;
            r.high = Crossing(s[k - 1], s[k], level);
            break;
        }
    }
    if (r.hasLow && r.hasHigh) {
        r.complete = true;
        r.center = (r.low + r.high) / 2.0;
        r.bandwidth = r.high - r.low;
        r.q = r.center / r.bandwidth;  // infinite for a band of no width
    }
    return r;
}
