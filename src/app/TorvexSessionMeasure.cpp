// The measurements of the session: searches and bandwidth as markers, the read-out, limit
// masks and the marker steps.
#include "app/TorvexSession.h"

#include "chart/TraceSearch.h"
#include "data/LineFile.h"
#include "platform/AsciiText.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

bool CTorvexSession::StepLastMarker(int step)
{
    CChartGraph& graph = Graph();
    if (graph.markers.empty() || graph.traces.empty() || step == 0)
        return false;
    const CChartTrace& trace = graph.traces.front();
    const std::size_t n = trace.PointCount();
    if (n == 0)
        return false;
    const auto xOf = [&trace](std::size_t i) { return trace.Sample(i).x; };
    double& marker = graph.markers.back();
    // The stored point at or next beyond the marker in the direction of the step.
    std::size_t i = 0;
    if (step > 0) {
        while (i < n && xOf(i) <= marker)
            ++i;
        if (i == n)
            return false;
    } else {
        i = n;
        while (i > 0 && xOf(i - 1) >= marker)
            --i;
        if (i == 0)
            return false;
        --i;
    }
    marker = xOf(i);
    Repaint();
    return true;
}

int CTorvexSession::TraceNearest(CPoint point) const
{
    const CChartGraph& graph = Graph();
    if (graph.traces.empty())
        return -1;
    const double x = graph.XAtPoint(point);
    const CRect& p = graph.plotArea.rect;
    int best = 0;
    double distance = -1.0;
    for (std::size_t i = 0; x > 0.0 && i < graph.traces.size(); ++i) {
        const CChartTrace& t = graph.traces[i];
        if (!t.Covers(x))
            continue;
        const CChartAxis& axis = t.onLeftAxis ? graph.leftAxis : graph.rightAxis;
        const double span = axis.max - axis.min;
        if (!(span > 0.0))
            continue;
        double f = (t.ValueAt(x) - axis.min) / span;
        if (axis.reversed)
            f = 1.0 - f;
        const double d = std::fabs(p.top + f * (p.bottom - p.top) - point.y);
        if (std::isfinite(d) && (distance < 0.0 || d < distance)) {
            distance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void CTorvexSession::SearchRange(double& low, double& high) const
{
    // A Smith or polar chart shows every frequency of its traces; its X axis is never fitted.
    const CChartGraph& graph = Graph();
    const bool plane = graph.chartKind != CChartGraph::RECTANGULAR;
    low = plane ? -std::numeric_limits<double>::infinity() : graph.xAxis.min;
    high = plane ? std::numeric_limits<double>::infinity() : graph.xAxis.max;
}

bool CTorvexSession::MarkExtreme(int trace, bool maximum)
{
    const CChartTrace* t = Graph().TraceAt(trace);
    if (!t)
        return false;
    double lo = 0.0, hi = 0.0;
    SearchRange(lo, hi);
    const TracePoint p = maximum ? TraceMaximum(*t, lo, hi) : TraceMinimum(*t, lo, hi);
    if (!p.found)
        return false;
    Graph().markers.push_back(p.x);
    Repaint();
    return true;
}

bool CTorvexSession::MarkPeak(int trace)
{
    return MarkExtreme(trace, true);
}

bool CTorvexSession::MarkMinimum(int trace)
{
    return MarkExtreme(trace, false);
}

bool CTorvexSession::MarkNextPeak(int trace, bool toRight, double fromX)
{
    CChartGraph& graph = Graph();
    const CChartTrace* t = graph.TraceAt(trace);
    if (!t)
        return false;
    const bool fromMarker = !graph.markers.empty();
    const double from = fromMarker ? graph.markers.back() : fromX;
    double lo = 0.0, hi = 0.0;
    SearchRange(lo, hi);
    const TracePoint p = NextPeak(*t, from, toRight, lo, hi);
    if (!p.found)
        return false;
    // The search walks with the last marker, as on an analyser.
    if (fromMarker)
        graph.markers.back() = p.x;
    else
        graph.markers.push_back(p.x);
    Repaint();
    return true;
}

bool CTorvexSession::MarkBandwidth(int trace, double dbBelow)
{
    CChartGraph& graph = Graph();
    const CChartTrace* t = graph.TraceAt(trace);
    if (!t)
        return false;
    double lo = 0.0, hi = 0.0;
    SearchRange(lo, hi);
    const BandwidthResult r = TraceBandwidth(*t, dbBelow, lo, hi);
    if (!r.peak.found)
        return false;
    measured = Measured{};
    const auto g = [](double v) { return FormatValue("%.6g", v); };
    const std::string unit = dataLoaded ? FreqUnitLabel(Slot(1).freqUnit) : std::string();
    if (r.hasLow)
        graph.markers.push_back(r.low);
    if (r.hasHigh)
        graph.markers.push_back(r.high);
    if (r.complete)
        measurement = "BW" + g(dbBelow) + "= " + g(r.bandwidth) + " " + unit
            + "\nFc= " + g(r.center) + " " + unit + "\nQ= " + g(r.q);
    else  // short lines: the read-out box is narrow
        measurement = "BW" + g(dbBelow) + ": " + (r.hasLow || r.hasHigh ? "one edge" : "no edge")
            + "\nPeak= " + g(r.peak.y) + "\nat " + g(r.peak.x) + " " + unit;
    // The result holds while its markers and its trace's data stay as they are.
    measured.markers = graph.markers;
    measured.trace = trace;
    measured.points = t->points;
    measured.values = t->values;
    Repaint();
    return true;
}

bool CTorvexSession::LoadLimits(const std::string& path, std::string& error)
{
    // The bytes as they are, as the command line reads them: blank and bad lines keep
    // their place, so both name the same line numbers.
    std::string text;
    if (ReadBytes(path, text) != FILE_OK) {
        error = "Cannot read file:\n" + EscapeName(path);
        return false;
    }
    CLimitMask mask;
    std::vector<CLimitMask::ParseError> errors;
    if (!mask.Parse(text, errors)) {
        error = "Invalid limit mask " + EscapeName(path) + ":";
        for (const CLimitMask::ParseError& e : errors)
            error += "\n" + (e.line > 0 ? "line " + std::to_string(e.line) + ": " : "") + e.message;
        return false;
    }
    Graph().limitMask = mask;
    Repaint();
    return true;
}

bool CTorvexSession::MeasurementHolds() const
{
    if (measurement.empty())
        return false;
    const CChartGraph& graph = Graph();
    const CChartTrace* t = graph.TraceAt(measured.trace);
    const auto same = [](const CChartTrace::XYpair& a, const CChartTrace::XYpair& b) {
        return a.x == b.x && a.y == b.y;
    };
    return t && graph.markers == measured.markers && t->values == measured.values
        && std::equal(t->points.begin(), t->points.end(), measured.points.begin(),
                      measured.points.end(), same);
}

std::string CTorvexSession::Readout(CPoint point) const
{
    const std::string cursor = Graph().Readout(point);
    // A search, a marker or new data ends the measurement; until then it stands beside
    // the cursor lines, one column each, so neither hides the other.
    if (!MeasurementHolds())
        return cursor;
    const auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            out.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return out;
    };
    const std::vector<std::string> left = lines(cursor), right = lines(measurement);
    std::string text;
    for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i)
        text += (i < left.size() ? left[i] : "") + "\t" + (i < right.size() ? right[i] : "") + "\n";
    return text;
}

bool CTorvexSession::AddMarkerAt(CPoint point)
{
    const double x = Graph().XAtPoint(point);
    // Frequencies are above 0; times of a time view may lie before 0, so there the point
    // itself must lie on the plot.
    const CRect& p = Graph().plotArea.rect;
    const bool onPlot = Graph().plotArea.visible && point.x >= p.left && point.x < p.right
        && point.y >= p.top && point.y < p.bottom;
    if (ShowsTime() ? !(onPlot && std::isfinite(x)) : !(x > 0.0))  // also refuses NaN
        return false;
    Graph().markers.push_back(x);
    RepaintOverlay();
    return true;
}
