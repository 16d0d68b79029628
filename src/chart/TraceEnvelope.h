// The smallest, largest and mean value of many traces at the X values of the first.
#pragma once

#include "chart/ChartTrace.h"

#include <cstddef>
#include <vector>

class CTraceEnvelope {
public:
    // The reference trace gives the X values and the first value at each.
    explicit CTraceEnvelope(const CChartTrace& reference);

    // Adds a trace whose X unit is xScale reference units (1000 for a trace in GHz on a
    // reference in MHz): its value at each reference X, interpolated linearly; where it has
    // no data or a NaN it adds nothing.
    void Add(const CChartTrace& trace, double xScale = 1.0);

    // XY traces of the minimum, the maximum and the mean over the traces that had a value
    // there; X values where none had one are left out. Only points are set.
    CChartTrace Min() const { return Collect(low); }
    CChartTrace Max() const { return Collect(high); }
    CChartTrace Mean() const;

    std::size_t TraceCount() const { return traces; }

private:
    void Take(std::size_t i, double value);
    CChartTrace Collect(const std::vector<double>& values) const;

    std::vector<double> x;
    std::vector<double> low;
    std::vector<double> high;
    std::vector<double> sum;
    std::vector<std::size_t> count;
    std::size_t traces = 0;
};
