// The chart window's content: a row of graphs under a notice line and a sheet title.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/ChartArea.h"
#include "chart/ChartFont.h"
#include "chart/ChartGraph.h"

class CChartSheet {
public:
    // Holds the graph of layout 6 (one graph of view format 7).
    CChartSheet();
    CChartSheet(const CChartSheet&) = delete;
    CChartSheet& operator=(const CChartSheet&) = delete;
    virtual ~CChartSheet() = default;

    // --- Model ---

    // Replaces the graphs by those of layout n: 0..7 one graph of format n + 1, 8 two graphs
    // of formats 7 and 8, any other none. Returns false, changing nothing, when n equals
    // `layout` (which this never changes, so only -1 is refused).
    bool SetLayout(std::int32_t n);
    void DeleteGraphs();
    // The sheet owns the graph from now on; returns it (nullptr is not added).
    CChartGraph* AddGraph(std::unique_ptr<CChartGraph> graph);
    // nullptr when index is out of range.
    CChartGraph* GraphAt(int index);
    const CChartGraph* GraphAt(int index) const;
    // The sheet's fonts and those of every graph are realised anew at the next drawing.
    void MarkFontsDirty();

    // --- Painting (defined with the drawing code) ---

    // Notice line, sheet title and every graph, laid out anew from sheetRect.
    void Draw(CDC& dc);
    // Draw in two layers, for a window that keeps the first while only markers change:
    // the plot layer (everything up to the trace lines) and the overlay (marker dots, plot
    // frame, legend or marker table, logo). DrawOverlay lays the sheet out again first.
    void DrawPlotLayer(CDC& dc);
    void DrawOverlay(CDC& dc);
    // Realises the fonts for dc and lays out the sheet and its graphs, drawing nothing.
    void PrepareLayout(CDC& dc);
    // Places the notice line, the title and the graphs side by side inside sheetRect.
    void Layout();
    // The notice line as drawn (it is kept scrambled in the program).
    static std::string NoticeText();

    // --- Fields ---

    std::vector<std::unique_ptr<CChartGraph>> graphs;  // drawn in order
    std::string title = "chartsheet";
    CChartFont titleFont;
    CChartArea titleArea;
    CChartFont noticeFont;
    CChartArea noticeArea;
    CRect sheetRect{0, 0, 200, 200};  // device pixels, set by the main window
    std::int32_t layout = -1;
};
