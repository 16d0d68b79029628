// Searches on one trace. Every search works inside an X window [xLow, xHigh] (the visible
// X axis range, or a span the caller gives), cut to the trace's own X range. Maximum and
// minimum (also the peak of a bandwidth) are stored samples, never a value the file does
// not hold; crossings of a level are found on the trace as drawn, straight lines between
// its samples and interpolated at the window's ends. NaN and infinite values take no part.
#pragma once

#include <vector>

#include "chart/ChartTrace.h"

// A point found on a trace; found is false when the window holds no value of it.
struct TracePoint {
    bool found = false;
    double x = 0.0;
    double y = 0.0;
};

// What a peak has to stand above its surroundings on both sides to count, in the trace's
// unit (dB for the traces it is meant for).
constexpr double kDefaultPeakExcursion = 3.0;

// The samples a search looks at, ascending in X: the value at the window's lower end, every
// stored sample strictly inside, the value at its upper end (one sample when the ends meet).
// Empty when the window misses the trace's X range or the trace has fewer than two samples.
std::vector<CChartTrace::XYpair> TraceSamples(const CChartTrace& trace, double xLow, double xHigh);

// The stored samples from xLow to xHigh, both ends included, ascending in X.
std::vector<CChartTrace::XYpair> StoredSamples(const CChartTrace& trace, double xLow, double xHigh);

// Largest and smallest stored value in the window; of equal values, the one of lowest X.
// Nothing is found in a window that holds no stored sample.
TracePoint TraceMaximum(const CChartTrace& trace, double xLow, double xHigh);
TracePoint TraceMinimum(const CChartTrace& trace, double xLow, double xHigh);

// The nearest peak strictly right (toRight) or left of fromX inside the window. A peak is a
// local maximum (the first sample of a flat top) from which the trace falls by at least
// excursion on each side before it rises above the peak or the window ends; so a peak
// cut off by the window's edge does not count. Nothing is found from a NaN fromX.
TracePoint NextPeak(const CChartTrace& trace, double fromX, bool toRight, double xLow, double xHigh,
                    double excursion = kDefaultPeakExcursion);

// The band around the maximum where the trace stays above (maximum - dbBelow).
struct BandwidthResult {
    TracePoint peak;       // the maximum in the window (TraceMaximum); nothing else is set
                           // without it
    bool hasLow = false;   // the trace falls to the level below the peak
    bool hasHigh = false;  // ... above the peak
    double low = 0.0;      // the crossings nearest the peak, interpolated linearly
    double high = 0.0;
    // Set only with both crossings: (low + high) / 2, high - low, center / bandwidth.
    bool complete = false;
    double center = 0.0;
    double bandwidth = 0.0;
    double q = 0.0;
};

// dbBelow must be above 0; otherwise (and for a NaN) no crossing is searched.
BandwidthResult TraceBandwidth(const CChartTrace& trace, double dbBelow, double xLow, double xHigh);
