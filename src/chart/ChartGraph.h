// One rectangular plot: its traces and markers, titles, boxes, fonts, three axes and grid
// division counts. Pixel rectangles are device pixels; X values are in the data's unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "chart/ChartArea.h"
#include "chart/ChartAxis.h"
#include "chart/ChartFont.h"
#include "chart/ChartTrace.h"
#include "chart/LimitMask.h"

class CChartGraph {
public:
    static constexpr std::size_t kMaxTraces = 16;

    // format >= 0 applies that view format (with an X reset); -1 applies none.
    explicit CChartGraph(int format = -1);
    CChartGraph(const CChartGraph&) = default;
    CChartGraph& operator=(const CChartGraph&) = default;
    virtual ~CChartGraph() = default;

    // --- Model ---

    // Applies a numbered preset: removes the traces (and the markers unless keepMarkers is
    // set), resets the divisions and X axis, and sets the chart and Y-axis titles, ranges and
    // orientations of the format. Formats outside 1..9 have no title and no Y axes.
    void SetViewFormat(int format, bool resetX);
    // Each count is stored as at least 1.
    void SetDivisions(std::int32_t yMajor, std::int32_t yMinor, std::int32_t xMajor,
                      std::int32_t xMinor);
    void SetYMajorDivisions(std::int32_t n);
    void SetYMinorDivisions(std::int32_t n);
    void SetXMinorDivisions(std::int32_t n);

    // Appends a copy; with kMaxTraces already held, the oldest one goes first.
    void AddTrace(const CChartTrace& trace);
    // Out-of-range indexes are ignored.
    void DeleteTrace(int index);
    void ClearTraces();
    // nullptr when index is out of range.
    CChartTrace* TraceAt(int index);
    const CChartTrace* TraceAt(int index) const;

    void GetMarkers(std::vector<double>& out) const;
    void SetMarkers(const std::vector<double>& in);

    // All six fonts are realised anew at the next drawing (for a new device).
    void MarkFontsDirty();

    // --- Axis scaling ---

    // Fits the X axis to the X extents of all traces (0..1 without traces).
    void AutoSpan();
    // Fits both Y axes to the values inside the current X range, rounded to nice values and
    // snapped to tens by the view format, and sets yMajorDivisions.
    void AutoScale();
    // One major Y division per ten units of the left axis while that makes at most 12,
    // else the first of 20, 30, 45, 60 or 90 units that makes at most 12.
    void FitYMajorDivisions();
    // AutoSpan and/or AutoScale (in that order), then shows the axes that carry traces and,
    // when asked, colours each Y axis like its first trace.
    void Rescale(bool autoSpan, bool autoScale, bool updateAxisColors);

    // limitMask judged against the traces as they are now (CLimitMask::Evaluate); the
    // traces are numbered as in `traces`.
    std::vector<LimitResult> LimitResults() const { return limitMask.Evaluate(traces); }

    // --- Painting (ChartGraphDraw.cpp, ChartGraphTraces.cpp, ChartGraphLegend.cpp) ---

    // Paints the graph: fonts, layout, background, grid and labels, traces, marker dots,
    // legend, logo. The same as DrawPlotLayer followed by DrawOverlay.
    void Draw(CDC& dc);
    // Fonts, layout, background, grid, labels and the trace lines.
    void DrawPlotLayer(CDC& dc);
    // What lies over the trace lines: marker dots, plot frame, legend, logo; with the layout
    // of the last DrawPlotLayer or Layout.
    void DrawOverlay(CDC& dc);
    // Realises the fonts that are dirty for dc; the Y-title font as the X-title font turned.
    void RealizeFonts(CDC& dc);
    // Places the title, plot and legend boxes inside graphArea from the fonts' metrics. A plot
    // under 50 pixels wide or high is hidden, and everything that depends on it. With dc
    // the legend texts are measured as they will be drawn; without, from the average
    // character width.
    void Layout();
    void Layout(CDC& dc);
    // Plot box, grid, axis titles, tick labels and graph title.
    void DrawAxes(CDC& dc);
    // Every trace resampled across the X axis, then the marker dots on all of them.
    void DrawTraces(CDC& dc);
    void DrawTraceLines(CDC& dc);
    // On every trace, in trace order, when showMarkers is set.
    void DrawMarkerDots(CDC& dc);
    // The limit mask on the plot: its lines dashed, the stretches where a trace lies beyond
    // them solid red, and PASS or FAIL in the plot's top right corner. Nothing without a mask.
    void DrawLimits(CDC& dc);
    // Trace legend without markers, marker value table with them (differences to marker 1
    // while referenceMarker is set). Every listed trace gets its whole entry or row: the
    // box has the rows it needs (Layout), the table goes on in bands below when its
    // columns do not fit across, and a note says when the view offered more traces.
    void DrawLegend(CDC& dc);
    // The texts of marker i's table column (1-based, at X x): its heading, its X, then one
    // per row trace; none for a marker that gets no column.
    std::vector<std::string> MarkerColumn(std::size_t i, double x,
                                          const std::vector<const CChartTrace*>& rows) const;
    // "16 of 24 traces shown" when the view offered more traces than the graph keeps.
    std::string DroppedNote() const;
    // The small dot pattern in the plot's bottom-left corner.
    void DrawLogo(CDC& dc);
    // X and Y values under a point of the last paint's plot, one "name= value" line per
    // visible axis; empty outside the plot (right and bottom edges are outside).
    std::string Readout(CPoint point) const;
    // X value under a point of the plot, -1 outside it.
    double XAtPoint(CPoint point) const;
    // Device pixels per screen pixel for the fixed-size marks (dots, points, circles,
    // swatches, logo): 1 on screen, the printer's resolution over 96 dpi on a page, so that
    // the page looks like the screen.
    static std::int32_t PageScale(const CDC& dc);
    // One number with a printf format of one floating-point conversion, always with a
    // decimal point; a format that is not of that kind is replaced by "%g".
    static std::string FormatLabel(const std::string& format, double value);
    // The same, a "%.Ng" format given as many more digits as it takes to show the value
    // within half the resolution: neighbouring labels a step apart, or the values of
    // neighbouring pixels, then always read differently.
    static std::string FormatResolved(const std::string& format, double value, double resolution);

    // --- Fields ---

    enum ChartKind { RECTANGULAR = 0, SMITH = 1, POLAR = 2 };
    int chartKind = RECTANGULAR;  // Smith and polar draw the traces' complex values
    bool admittanceGrid = false;  // Smith: the admittance circles too
    double planeZoom = 1.0;       // Smith and polar: magnification about the centre below
    double planeCentreRe = 0.0;
    double planeCentreIm = 0.0;
    double xUnitHz = 1.0;  // Hz per X unit (the series L and C of the Smith table)

    std::vector<CChartTrace> traces;  // oldest first, at most kMaxTraces
    // How many traces the view asked for; more than traces.size() when the cap dropped the
    // oldest, so the chart can say so. 0: not known (traces added one by one).
    std::size_t tracesOffered = 0;
    std::vector<double> markers;  // marker X positions, in the caller's order
    std::string title = "chart";
    std::string xShortTitle = "X-axis";  // X name in the marker table and markers dialog
    bool showMarkers = true;             // marker dots and the legend box
    // Marker 1 is the reference: the marker table shows every other marker's X and values as
    // differences to it, under headings "Δ2", "Δ3", ...
    bool referenceMarker = false;
    // Drawn on the plot and judged at every paint while it holds segments; an empty mask
    // (the default, or after Clear) draws nothing.
    CLimitMask limitMask;
    // X values drawn as dashed vertical lines across the plot: the bounds of a time gate.
    std::vector<double> gateLines;
    // The area between two traces (by index in `traces`, on the lower one's Y axis), filled
    // under all the lines with a light tint of color: the band of an envelope.
    struct Band {
        std::size_t lower = 0;
        std::size_t upper = 0;
        COLORREF color = 0;
    };
    std::vector<Band> filledBands;  // cleared with the traces
    int lineType = 1;               // 0 thin line, 1 thick line, 2 points, 3 circles
    int viewFormat = 0;
    CChartArea graphArea;
    CChartArea titleArea;
    CChartArea plotArea;
    CChartArea legendArea;
    COLORREF majorGridColor = Rgb(229, 229, 229);  // on screen
    COLORREF minorGridColor = Rgb(243, 243, 243);
    CChartFont titleFont;
    CChartFont axisTitleFont;          // X title; source of the vertical font
    CChartFont verticalAxisTitleFont;  // Y titles: axisTitleFont turned 90 degrees
    CChartFont tickFont;
    CChartFont legendFont;
    CChartFont markerFont;  // traces and marker numbers
    CChartAxis leftAxis;
    CChartAxis rightAxis;
    CChartAxis xAxis;
    std::int32_t yMinorDivisions = 4;  // lines inside each major division (4 make 5 parts)
    std::int32_t yMajorDivisions = 8;
    std::int32_t xMinorDivisions = 4;
    std::int32_t xMajorDivisions = 4;
    // Pixels from the plot's side to the Y titles, beyond the widest Y label (set by the
    // layout).
    std::int32_t yTitleOffset = 0;
    // The label of Y division line j of m on an axis, with the digits that tell it from its
    // neighbours.
    static std::string YLabel(const CChartAxis& axis, std::int32_t j, std::int32_t m);

private:
    using TextWidth = std::function<std::int32_t(const std::string&)>;
    // One text of the legend box: drawn at `at`, clipped to `clip` when that is not empty
    // (else to the box), with a swatch in its colour when `swatch` is not empty.
    struct LegendCell {
        CPoint at;
        CRect clip;
        CRect swatch;
        std::string text;
        COLORREF color = 0;
    };
    // The cells of the legend in box l (its left, right and top; its height is what the box
    // may take at most), texts measured by width, fixed marks scaled by s; rows: the text rows
    // it needs.
    std::vector<LegendCell> PlanLegend(const CRect& l, const TextWidth& width, std::int32_t s,
                                       int& rows) const;
    // The height of a legend box of that many text rows, and the rows a height holds.
    std::int32_t LegendHeight(int rows) const;
    int LegendRowsIn(std::int32_t height) const;
    // The legend's entries in rows (no markers), or the marker value table.
    std::vector<LegendCell> PlanLegendEntries(const CRect& l, const TextWidth& width,
                                              std::int32_t s, int& rows) const;
    std::vector<LegendCell> PlanMarkerTable(const CRect& l, const TextWidth& width, std::int32_t s,
                                            int& rows) const;
    // The marker table with its traces in `blocks` tables side by side, each its own header
    // column and marker columns; false when they need more than the box's width.
    bool PlanMarkerBlocks(const CRect& l, const TextWidth& width, std::int32_t s,
                          const std::vector<const CChartTrace*>& listed,
                          const std::vector<std::vector<std::string>>& columns, std::size_t blocks,
                          std::vector<LegendCell>& cells) const;
    // The cells of one table column at x, its first row's top at y0, w wide: the header
    // column (swatches before the trace names) or a marker's.
    void AddTableColumn(const std::vector<std::string>& texts,
                        const std::vector<const CChartTrace*>& listed, std::int32_t x,
                        std::int32_t y0, std::int32_t w, bool isHeader, std::int32_t s,
                        std::vector<LegendCell>& cells) const;
    // width measures legend texts, tickWidth tick labels.
    void Layout(const TextWidth& width, const TextWidth& tickWidth, std::int32_t s);
    // Layout with or without room for the X and Y labels, the plot a multiple of the
    // division counts.
    void LayoutBoxes(bool xLabels, bool yLabels, std::int32_t xDiv, std::int32_t yDiv,
                     const TextWidth& width, const TextWidth& tickWidth, std::int32_t s);
    void DrawGateLines(CDC& dc);
    // The trace lines, or the marker dots, of every trace.
    void DrawTracePass(CDC& dc, bool drawLines);
    void DrawBands(CDC& dc);
};
