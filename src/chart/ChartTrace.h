// One curve of a graph: evenly spaced Y values or a list of XY points sorted by X,
// with its extents, legend name, colour and Y axis. Also the program-wide trace palette.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/DC.h"

class CChartTrace {
public:
    struct XYpair {
        XYpair() = default;
        XYpair(double px, double py) : x(px), y(py) {}
        XYpair(const XYpair&) = default;
        XYpair& operator=(const XYpair&) = default;

        double x = 0.0;
        double y = 0.0;
    };

    CChartTrace() = default;
    CChartTrace(const CChartTrace&) = default;
    CChartTrace& operator=(const CChartTrace&) = default;
    CChartTrace(CChartTrace&&) = default;
    CChartTrace& operator=(CChartTrace&&) = default;
    // An evenly spaced trace; takes the next palette colour.
    CChartTrace(const std::vector<double>& yValues, double firstX, double lastX,
                const std::string& traceName, bool leftAxis);
    virtual ~CChartTrace() = default;

    // Makes this an evenly spaced trace from firstX to lastX; `points` is left alone.
    void SetValues(const std::vector<double>& yValues, double firstX, double lastX);
    // Makes this an XY trace; the points are stored sorted by X (stable). `values` is left alone.
    void SetPoints(const std::vector<XYpair>& xyPoints);

    // Smallest and largest Y of the samples whose X lies in [xLow, xHigh] (both ends
    // included); (0, 1) when there is none. NaN and infinite Y values are not counted.
    std::pair<double, double> ValueRange(double xLow, double xHigh) const;

    // What the chart shows of the trace between xLow and xHigh: the Y range of the stored
    // samples there and of the trace where the window cuts it, so a window between two
    // samples still has the line's values. False when the trace shows nothing there.
    // Values equal to `skip` are left out (the -300 dB that stands for an exact zero).
    bool ShownRange(double xLow, double xHigh, double& low, double& high,
                    double skip = std::numeric_limits<double>::quiet_NaN()) const;

    // Stored pairs of an XY trace, else stored values.
    std::size_t PointCount() const { return isXY ? points.size() : values.size(); }
    // Stored sample i (below PointCount) as an (x, y) pair, evenly spaced traces included.
    XYpair Sample(std::size_t i) const { return isXY ? points[i] : XYpair(UniformX(i), values[i]); }
    bool Covers(double x) const { return xMin <= x && x <= xMax; }
    // Y at x, interpolated linearly; 0 for fewer than two samples, NaN for a NaN x.
    double ValueAt(double x) const;
    // The same value, found from where the last call left `hint` (start it at 0): a run of
    // ascending x then costs a step or two each instead of a search.
    double ValueAt(double x, std::size_t& hint) const;

    std::vector<XYpair> points;  // XY trace, ascending in x
    std::vector<double> values;  // evenly spaced trace
    std::vector<XYpair> gamma;   // complex value (re, im) at each of points: Smith and polar
    double refImpedance = 50.0;  // ohms, of the port a reflection belongs to
    bool reflection = true;      // Smith and polar: a reflection (Sii), else a transmission
    double xMin = 0.0;
    double xMax = 1.0;
    double yMin = 0.0;
    double yMax = 1.0;
    std::string name;
    std::string numberFormat = "%.3g";  // printf format of the values in the marker table
    COLORREF color = Rgb(0, 0, 0);
    bool inLegend = true;
    bool isXY = false;
    bool onLeftAxis = true;

private:
    // The line through a and b at x; a's value when the two stand at one X.
    static double Interpolate(const XYpair& a, const XYpair& b, double x);
    // X of value i of an evenly spaced trace; a lone value stands at xMin.
    double UniformX(std::size_t i) const;
    // Widens [low, high] by the finite stored samples with X in [xLow, xHigh]; false for none.
    bool StoredRange(double xLow, double xHigh, double& low, double& high,
                     double skip = std::numeric_limits<double>::quiet_NaN()) const;
    double XYValueAt(double x) const;
    double XYValueNear(double x, std::size_t& hint) const;
    double UniformValueAt(double x) const;
};

// The sixteen-colour palette new traces take their colours from, in turn.
COLORREF NextTraceColor();
// Restarts the palette: the next colour is the first one.
void ResetTraceColors();
// Restarts the palette at colour k: the next NextTraceColor gives TraceColorAt(k), as after
// a restart and k calls.
void StartTraceColorsAt(std::size_t k);
// The colour the k-th NextTraceColor after a restart gives (0-based).
COLORREF TraceColorAt(std::size_t k);
