// What the Smith and polar charts share: a square plot of the complex plane inside the
// graph's plot box, traces and marker dots from the traces' complex values, a marker table
// of reflection readings, the read-out and the zoom about a point. Draws through CDC only.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "chart/ChartGraph.h"

class CComplexChart {
public:
    explicit CComplexChart(CChartGraph& chartGraph) : graph(chartGraph) {}
    CComplexChart(const CComplexChart&) = delete;
    CComplexChart& operator=(const CComplexChart&) = delete;
    virtual ~CComplexChart() = default;

    // The Smith or polar chart of the graph's chartKind; nullptr for a rectangular graph.
    static std::unique_ptr<CComplexChart> For(CChartGraph& graph);

    // Paints the whole graph: box, title, grid, traces, marker dots, legend or table, logo.
    void Draw(CDC& dc);

    // The square of the last layout, and the plane point at its centre and its edge.
    CRect Square() const;
    // Pixel of a plane point, and plane point of a pixel, for the current zoom.
    CPoint ToPixel(double re, double im) const;
    std::pair<double, double> ToPlane(CPoint point) const;
    // Plane units per pixel at the current zoom.
    double PlanePerPixel() const;
    // Gamma, Z = R + jX (with the first trace's reference impedance) and VSWR under a point
    // of the square; empty outside it.
    std::string Readout(CPoint point) const;
    // The frequency of the trace point nearest to a point of the square, -1 outside it or
    // without a trace.
    double XAtPoint(CPoint point) const;
    // Scales the view by factor (below 1 zooms in) about the plane point under point.
    void ZoomAt(CPoint point, double factor);
    // Zooms to a rectangle drawn on the chart (its centre and longer side); false for an
    // empty one.
    bool ZoomToRect(const CRect& rect);
    // Moves the view so that the plane follows a drag of (dx, dy) pixels.
    void PanBy(std::int32_t dx, std::int32_t dy);

    // The marker table's column of marker i (1-based) at freq: number, frequency, then
    // one reading per row trace.
    std::vector<std::string> MarkerColumn(std::size_t i, double freq,
                                          const std::vector<const CChartTrace*>& rows) const;

    // The value of a trace at a frequency, interpolated between stored points; false
    // outside its data.
    static bool GammaAt(const CChartTrace& trace, double freq, double& re, double& im);
    // The readings of the marker table for one value: magnitude and angle, and for a
    // reflection Z = R + jX, its series L or C and the VSWR (for a transmission its dB).
    static std::string Reading(double re, double im, double refImpedance, double freqHz,
                               bool reflection = true);
    // A value with the SI prefix (from `smallest`, at least f, to none) that puts it at 1 or
    // above: "0.5429pH", "3nH", "2.2µF".
    static std::string Engineering(double value, const char* unit, double smallest = 1e-15);

protected:
    // Half the width of the square in plane units at zoom 1.
    virtual double PlaneRadius() const = 0;
    virtual void DrawGrid(CDC& dc) = 0;

    // PlaneRadius, found once per chart object: the polar chart's looks at every value.
    double Radius() const;
    // A polyline of plane points, for grid curves.
    void PlanePolyline(CDC& dc, const double* re, const double* im, std::size_t n);
    CChartGraph& graph;

private:
    void DrawTraces(CDC& dc);

    mutable double cachedRadius = 0.0;  // 0: not yet found
};
