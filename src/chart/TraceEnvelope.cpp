#include "chart/TraceEnvelope.h"

#include <cmath>

CTraceEnvelope::CTraceEnvelope(const CChartTrace& reference)
{
    const std::size_t n = reference.PointCount();
    x.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        x.push_back(reference.Sample(i).x);
    low.assign(n, 0.0);
    high.assign(n, 0.0);
    sum.assign(n, 0.0);
    count.assign(n, 0);
    // Its own samples as they are, not interpolated at their own X.
    for (std::size_t i = 0; i < n; ++i)
        Take(i, reference.Sample(i).y);
    traces = 1;
}

void CTraceEnvelope::Take(std::size_t i, double value)
{
    if (!std::isfinite(value))
        return;
    if (count[i] == 0 || value < low[i])
        low[i] = value;
    if (count[i] == 0 || value > high[i])
        high[i] = value;
    sum[i] += value;
    ++count[i];
}

void CTraceEnvelope::Add(const CChartTrace& trace, double xScale)
{
    ++traces;
    if (trace.PointCount() < 2 || !(xScale > 0.0))
        return;
    std::size_t hint = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double at = x[i] / xScale;
        if (trace.Covers(at))
            Take(i, trace.ValueAt(at, hint));
    }
}

CChartTrace CTraceEnvelope::Collect(const std::vector<double>& values) const
{
    std::vector<CChartTrace::XYpair> points;
    points.reserve(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        if (count[i] > 0)
            points.emplace_back(x[i], values[i]);
    CChartTrace trace;
    trace.SetPoints(points);
    return trace;
}

CChartTrace CTraceEnvelope::Mean() const
{
    std::vector<double> mean(x.size(), 0.0);
    for (std::size_t i = 0; i < x.size(); ++i)
        if (count[i] > 0)
            mean[i] = sum[i] / static_cast<double>(count[i]);
    return Collect(mean);
}
