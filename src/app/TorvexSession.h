// The main window's logic without the window: the chart, the five file slots, the view
// selection, loading and rebuilding, and the effects of the window's commands. The
// window owns one and stays a thin shell; tests and the command line use it directly.
#pragma once

#include "app/ValueFormatPair.h"
#include "chart/ChartSheet.h"
#include "data/S2pData.h"
#include "platform/DC.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class CTorvexSession {
public:
    static constexpr int SLOT_COUNT = 5;

    // Builds the chart with the start-up example and the default view selection.
    CTorvexSession();
    CTorvexSession(const CTorvexSession&) = delete;
    CTorvexSession& operator=(const CTorvexSession&) = delete;

    // The chart's only graph.
    CChartGraph& Graph();
    const CChartGraph& Graph() const;
    // Slot n = 1..5.
    CS2pData& Slot(int n) { return dataSlots[n - 1]; }
    const CS2pData& Slot(int n) const { return dataSlots[n - 1]; }

    // Window start: with no last file the example is fitted (S21 on -100..0 dB, S11 on
    // -50..0 dB); otherwise the last file is loaded again.
    void Start();
    // Fits the start-up example: X to its two traces, S21 on -100..0 dB, S11 on -50..0 dB.
    void FitExample();
    // Slot 1 gets the file, slots 2..5 are cleared; then LoadSlots.
    void OpenSingleFile(const std::string& name, const std::string& path);
    // Open Files OK: entries (path, name) with a non-empty path go to slots 1, 2, ... in
    // order; the other slots are cleared; then LoadSlots.
    void OpenFiles(const std::vector<std::pair<std::string, std::string>>& entries);
    // Loads slots 1..5 until an empty slot or a failure, then rebuilds the plot.
    void LoadSlots();
    // Derives the traces of the view selection from the loaded slots; nothing while no
    // data is loaded.
    void RebuildPlot(bool resetX, bool resetY);
    // Select View OK: an unchanged selection rebuilds without resets, a new one with both.
    void ApplySelection(const ViewSelection& selection);
    // Largest port kind among the loaded slots (TWO_PORT when none is larger).
    int MaxPortKind() const;

    void IncSpan();
    void DecSpan();
    void IncFmax();
    void DecFmax();
    void AutoSpan();
    void AutoScale();
    void ToggleLegend();

    // Read-out text for a point of the chart (lines separated by "\n"; empty outside).
    std::string Readout(CPoint point) const;
    // A left click: adds the frequency under the point as a marker when it is above 0.
    bool AddMarkerAt(CPoint point);

    // The chart rectangle in window coordinates; also the sheet's rectangle.
    void SetChartRect(const CRect& rect);

    // Called whenever the chart must be repainted, and when the data commands ("Select
    // View...", "Print") become enabled or disabled.
    std::function<void()> onRepaint;
    // Called instead when only the markers or the legend changed: the traces, axes and line
    // type are as they were painted last. Without it, onRepaint is called.
    std::function<void()> onRepaintOverlay;
    std::function<void(bool)> onDataCommandsEnabled;

    ViewSelection viewSelection;  // (S11, dB), (S21, dB) at start
    CChartSheet sheet;
    CS2pData dataSlots[SLOT_COUNT];
    bool dataLoaded = false;
    CRect chartRect;
    std::string lastPath;  // full path of the file in slot 1
    std::string lastFile;  // its name without folder

private:
    void Repaint();
    void RepaintOverlay();
};
