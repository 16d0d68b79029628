// Span, zoom, pan and the range history of a graph: what the span buttons, the mouse wheel,
// a drag and a drawn rectangle do to its axes (a Smith or polar graph: to its plane view,
// through CComplexChart). Points are in the chart's client pixels. Nothing here paints:
// each step says whether it changed the graph, and the caller repaints.
#pragma once

#include "chart/ChartGraph.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CChartNavigator {
public:
    static constexpr std::size_t kMaxRangeHistory = 64;
    static constexpr std::int32_t kMinZoomPixels = 5;  // a smaller rectangle is taken for a click

    // The span buttons on the X axis: Inc Span widens by half the span on either side, Dec
    // Span narrows by a quarter on either side; Inc and Dec Fmax move only the maximum.
    static void IncSpan(CChartAxis& x);
    static void DecSpan(CChartAxis& x);
    static void IncFmax(CChartAxis& x);
    static void DecFmax(CChartAxis& x);

    // Scales the X span by factor (below 1 zooms in) about the frequency under point; a
    // Smith or polar plane zooms as a whole. False when nothing changed (no plot to zoom).
    static bool ZoomXAt(CChartGraph& graph, CPoint point, double factor);
    // Scales both Y spans (a plane: its view) by factor about the values under point.
    static bool ZoomYAt(CChartGraph& graph, CPoint point, double factor);
    // Moves the axes so that the plot follows a drag of (dx, dy) pixels.
    static bool PanBy(CChartGraph& graph, std::int32_t dx, std::int32_t dy);

    // Zooms all three axes (a plane: its view) to a rectangle drawn on the plot,
    // remembering the ranges before; false (and nothing changed) for a rectangle too small
    // to be meant.
    bool ZoomToRect(CChartGraph& graph, const CRect& rect);
    // Remembers the graph's axis ranges and plane view, for ZoomBack; the oldest go beyond
    // kMaxRangeHistory.
    void PushRange(const CChartGraph& graph);
    // Puts back the ranges before the last zoom or pan; false when there is none.
    bool ZoomBack(CChartGraph& graph);
    std::size_t HistorySize() const { return history.size(); }

private:
    struct AxisRanges {
        double xMin, xMax, leftMin, leftMax, rightMin, rightMax;
        double planeZoom, planeRe, planeIm;
    };
    std::vector<AxisRanges> history;
};
