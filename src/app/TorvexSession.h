// The main window's logic without the window: the chart, the five file slots, the view
// selection, loading and rebuilding, and the effects of the window's commands. The
// window owns one and stays a thin shell; tests and the command line use it directly.
#pragma once

#include "app/cli/NetworkOptions.h"
#include "app/ValueFormatPair.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartSheet.h"
#include "data/S2pData.h"
#include "data/TouchstoneWriter.h"
#include "platform/DC.h"
#include "rf/QualityMetrics.h"
#include "rf/TraceBuilder.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CStartLoader;

class CTorvexSession {
public:
    static constexpr int SLOT_COUNT = 5;
    // Shown, followed by the path, when a file cannot be loaded.
    static const char* const LOAD_FAILED;

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
    // The start with files named on the command line (path, name), in place of the last file.
    void StartWith(const std::vector<std::pair<std::string, std::string>>& entries);
    // Slot 1 gets the file, slots 2..5 are cleared; then LoadSlots.
    void OpenSingleFile(const std::string& name, const std::string& path);
    // Open Files OK: entries (path, name) with a non-empty path go to slots 1, 2, ... in
    // order; the other slots are cleared; then LoadSlots.
    void OpenFiles(const std::vector<std::pair<std::string, std::string>>& entries);
    // Loads slots 1..5 until an empty slot or a failure, then rebuilds the plot. False,
    // with no slot's data changed, when the user cancelled a read.
    bool LoadSlots();
    // Derives the traces of the view selection from the loaded slots; nothing while no
    // data is loaded.
    void RebuildPlot(bool resetX, bool resetY);
    // Select View OK: an unchanged selection rebuilds without resets, a new one with both.
    void ApplySelection(const ViewSelection& selection);
    // Largest port kind among the loaded slots (TWO_PORT when none is larger).
    int MaxPortKind() const;
    // A preset of the view dialogs (CSelectionGrid::Preset) for the loaded files, as the
    // view dialog the window offers for them applies it: the 16-column grid's columns, or
    // the positions in the widest file's matrix. Empty while nothing is loaded.
    ViewSelection PresetSelection(int preset) const;
    // The selection as the plot shows it: the view selection, or, when one-port or
    // mixed-mode files can show nothing of it and substituteView is set, its formats of
    // their own elements.
    ViewSelection ShownSelection() const;
    // The selection's items that no loaded file can plot.
    ViewSelection MissingItems() const;
    // What builds the traces, with the session's pairing and time-domain settings.
    CTraceBuilder Builder() const;
    // Largest port count among the loaded slots (0 when none is loaded).
    int MaxPortCount() const;
    // The loaded slot whose matrix the view dialog shows: the one of most ports, a
    // mixed-mode file first; nullptr when none is loaded.
    const CS2pData* WidestSlot() const;
    // The widest loaded file when it is single-ended with an even port count of four or
    // more, so that mixed-mode parameters can be computed from it; nullptr otherwise.
    const CS2pData* MixedModeSource() const;
    // Whether the classic 16-column view dialog can show what is loaded (four ports at
    // most and no mixed-mode file).
    bool FitsClassicGrid() const;

    void IncSpan();
    void DecSpan();
    void IncFmax();
    void DecFmax();
    void AutoSpan();
    void AutoScale();
    void ToggleLegend();

    // --- Mouse navigation (points in the chart's client coordinates) ---

    // Scales the X span by factor (below 1 zooms in) about the frequency under point.
    void ZoomXAt(CPoint point, double factor);
    // Scales both Y spans by factor about the values under point.
    void ZoomYAt(CPoint point, double factor);
    // Moves the axes so that the plot follows a drag of (dx, dy) pixels.
    void PanBy(std::int32_t dx, std::int32_t dy);
    // Zooms all three axes (a Smith or polar plane: its view) to a rectangle drawn on the
    // plot, remembering the ranges before; false (and nothing changed) for a rectangle too
    // small to be meant.
    bool ZoomToRect(const CRect& rect);
    // Remembers the axis ranges before a zoom or pan, for ZoomBack.
    void PushRange();
    // The ranges before the last zoom or pan; false when there is none.
    bool ZoomBack();
    // Moves the last marker to the previous (step -1) or next (+1) stored point of the
    // first trace; false without a marker or trace.
    bool StepLastMarker(int step);

    // Rectangular, Smith or polar chart (CChartGraph::ChartKind); rebuilds the plot.
    void SetChartKind(int kind);
    // The chart kind a selection names by its smith or polar items; -1 for none.
    static int ComplexKindOf(const ViewSelection& selection);

    // --- Measurements on the visible X range; results land as markers ---

    // The trace whose value at the X under point lies nearest to it in pixels (0 when the
    // point is off the plot); -1 without traces.
    int TraceNearest(CPoint point) const;
    // A marker on the maximum or minimum of a trace; false when nothing was found.
    bool MarkPeak(int trace);
    bool MarkMinimum(int trace);
    // A marker on the next peak left or right of the last marker (of fromX without one).
    bool MarkNextPeak(int trace, bool toRight, double fromX);
    // The band dbBelow under the maximum: its crossings become markers and measurement
    // holds the centre, bandwidth and Q. False when the trace has no maximum in view.
    bool MarkBandwidth(int trace, double dbBelow);
    // Reads a limit mask file for the chart; false with the reason (the bad lines by
    // number) in error, and the previous mask kept.
    bool LoadLimits(const std::string& path, std::string& error);

    // --- Time domain ---

    TimeDomainSettings timeDomain;
    // The time-domain dialog's OK: its settings, and the view it asks for; a time view is
    // fitted anew, a frequency view keeps its span.
    void ApplyTimeDomain(const TimeDomainSettings& settings, const ViewSelection& view);
    // Whether every item of a selection is a time format (and it has any).
    static bool IsTimeView(const ViewSelection& selection);
    // Whether the chart shows a time view (time or distance on X).
    bool ShowsTime() const { return dataLoaded && axesShowTime; }
    // The name of the X column of tables: "freq_MHz", or "time_ns" or "distance_m" for a
    // time view.
    std::string XColumn() const;
    // What the last rebuild could not build, each with its file ("(2) S21: ...").
    std::vector<std::string> buildProblems;

    // --- Network operations and saving ---

    // The operations on slot `source`, the result put into the first slot without a file,
    // named after the source and what was done ("dut.s2p, de-embedded"); it follows its
    // source as a loaded file does. Returns that slot, or 0 with why (nothing changed) when
    // no slot is free or the operations refuse.
    int AddDerivedSlot(int source, std::shared_ptr<const CNetworkOptions> operations,
                       std::string& why);
    // Slot n as a Touchstone file; comments name the program, the source file and the
    // operations. TouchstoneWriter::Write's result.
    int SaveSlot(int n, const std::string& path, TouchstoneWriter::Options options,
                 std::string& why) const;
    // The operations that made slot n; null for a file as it is.
    const CNetworkOptions* DerivedBy(int n) const { return derived[n - 1].get(); }

    // --- Data quality ---

    // The quality metrics of one loaded file's S matrix.
    struct SlotQuality {
        int slot = 0;
        std::string name;  // as the chart names the file
        bool judged = false;
        std::string why;  // when not judged
        QualityMetrics::Result result;
    };
    // One row per loaded slot, in slot order.
    std::vector<SlotQuality> QualityOfSlots() const;
    // Adds an item to the view and rebuilds: beside the view's own items on a rectangular
    // frequency chart, else in place of a Smith, polar or time view.
    void AddViewItem(const ValueFormatPair& item);

    // --- Following the loaded files on disk ---

    // Loads every loaded slot's file again, keeping the view, markers and axis ranges.
    // All or nothing: when any file fails (a rewrite in progress) the old data stay and
    // false is returned, so the caller can try again; quiet shows no message for it.
    // With markStale (the last try, or a reload asked for by hand) every file that reads
    // is taken, and each one that does not keeps its old data and is marked stale; false
    // when any failed.
    bool Reload(bool quiet = true, bool markStale = false);
    // Whether slot n shows older data than its file holds: the file changed and could not
    // be read again. Cleared when it reads again and by every load.
    bool SlotStale(int n) const { return n >= 1 && n <= SLOT_COUNT && stale[n - 1]; }
    // Follows a stale file's name wherever the chart names the file.
    static const char* const STALE_MARK;
    // Slot n's name as the chart shows it: its display name, with STALE_MARK when stale.
    std::string SlotTitle(int n) const;
    // The read-out's line about stale files ("Stale: (1) a.s2p, (3) c.s2p"), short for the
    // small box; empty when none is.
    std::string StaleLine() const;
    // Whether a loaded file's size or modification time differs from when it was last
    // read; a stale file stays changed until it reads again.
    bool FilesChanged() const;

    // Read-out text for a point of the chart (lines separated by "\n"; empty outside).
    // While a bandwidth measurement holds, each line is "cursor\tmeasurement": two
    // columns. A measurement ends with a change of the markers or of its trace's data.
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
    // The start files, read while the window was made (none: every file is read on load).
    CStartLoader* startLoader = nullptr;

    ViewSelection viewSelection;  // (S11, dB), (S21, dB) at start
    CChartSheet sheet;
    CS2pData dataSlots[SLOT_COUNT];
    bool dataLoaded = false;
    CRect chartRect;
    std::string lastPath;     // full path of the file in slot 1
    std::string lastFile;     // its name without folder
    std::string measurement;  // the last bandwidth result, lines separated by "\n"
    // Whether a view of which the loaded files have nothing shows something of theirs
    // instead (ShownSelection). The window does; the command line, which must do what it
    // is asked or say why not, clears it.
    bool substituteView = true;
    // Legend names of the candidate traces the last rebuild left out because the graph
    // keeps only the newest CChartGraph::kMaxTraces, oldest first.
    std::vector<std::string> droppedTraces;
    bool followFiles = true;  // reload a loaded file when it changes on disk
    // The ports that form the pairs of the mixed-mode traces computed from single-ended
    // files; the settings file and the command line's --pairing give it.
    PortPairing portPairing = PortPairing::ACROSS;
    int chartKind = CChartGraph::RECTANGULAR;  // for data; the start-up example is rectangular
    std::vector<std::string> recentFiles;      // full paths, the latest first, at most RECENT_COUNT
    static constexpr std::size_t RECENT_COUNT = 5;

private:
    // A trace the view asks for: a quantity of one loaded slot.
    struct Candidate {
        int value;
        int valueFormat;
        int slot;
    };
    void Repaint();
    void RepaintOverlay();
    bool MarkExtreme(int trace, bool maximum);
    // Where the searches look: the visible X range, or all the data of a Smith or polar chart.
    void SearchRange(double& low, double& high) const;
    // Smith or polar traces of the selection's elements (the reflections on a Smith chart).
    void BuildComplexTraces(const ViewSelection& shown);
    void RememberRecent(const std::string& path);
    // After a rebuild: the builder's problems, the time axis or the gate's mark, the notes
    // in the graph's title.
    void NoteBuild(const CTraceBuilder& builder, bool timeView);
    // Metres per ns of the time view's X axis (1 when it shows time).
    double TimeScale() const;
    // The traces the pairs ask for, pair by pair and within a pair slot by slot.
    std::vector<Candidate> Candidates(const ViewSelection& shown) const;
    // Records the graph's tracesOffered and the names of the candidates the cap leaves
    // out; returns how many those are (they lead the list).
    std::size_t SkipDropped(const std::vector<Candidate>& candidates);

    // What the measurement was taken on.
    struct Measured {
        std::vector<double> markers;
        int trace = -1;
        std::vector<CChartTrace::XYpair> points;
        std::vector<double> values;
    };
    bool MeasurementHolds() const;

    // Loads a file as the chart takes it, in the unit of first when given.
    // Slot n's file into data (its fileName and displayName set), and for a slot made by
    // network operations those applied again.
    bool LoadSlotFile(int n, CS2pData& data, const CS2pData* first) const;
    // The last LoadSlotFile failed because the user cancelled the read.
    mutable bool loadCancelled = false;
    // Files are being read: the progress dialog lets timers run meanwhile, and a reload
    // then waits for its next turn.
    bool reading = false;
    // Sets reading for its lifetime.
    struct ReadingScope {
        explicit ReadingScope(bool& flag) : reading(flag) { reading = true; }
        ~ReadingScope() { reading = false; }
        ReadingScope(const ReadingScope&) = delete;
        ReadingScope& operator=(const ReadingScope&) = delete;
        bool& reading;
    };
    // The slots' files, names and operations, to put back when a load is cancelled.
    struct SlotNames {
        std::string fileName;
        std::string displayName;
        bool loaded = false;
        std::shared_ptr<const CNetworkOptions> derived;
    };
    std::vector<SlotNames> Names() const;
    void PutBack(const std::vector<SlotNames>& names);
    // Size and modification time of slot n's file, to tell a real change from a touch of
    // its folder; "missing" when it is gone.
    std::string FileStamp(int n) const;
    // After a load: nothing stale, every loaded file's stamp taken.
    void ResetFollowState();
    // The sheet title from the loaded slots: the file's name, or "(1) a.s2p  (2) b.s2p ..."
    // with several; stale files carry the mark.
    void UpdateTitle();

    CChartNavigator navigator;  // the span, zoom and pan steps and their history
    bool axesShowTime = false;  // the last rebuild showed a time view
    // The markers of the domain not shown (ns or m while frequencies are shown, and the other
    // way round): a marker keeps its domain and comes back with it.
    std::vector<double> otherDomainMarkers;
    // The view of the last rebuild that showed frequencies, for going back to it.
    ViewSelection frequencyView;
    // The network operations that made a slot from its file (null: the file as it is).
    std::shared_ptr<const CNetworkOptions> derived[SLOT_COUNT];
    Measured measured;
    bool stale[SLOT_COUNT] = {};
    std::string stamps[SLOT_COUNT];  // of the files as last read
    // The Y axes are those of data on the rectangular chart (not the example's, nor left
    // from a Smith or polar chart): only then can a rebuild keep them as they are.
    bool axesShowData = false;
    // The rectangular ranges when a Smith or polar chart took over, for the way back.
    struct RectangularRanges {
        bool valid = false;
        double xMin = 0, xMax = 0, leftMin = 0, leftMax = 0, rightMin = 0, rightMax = 0;
        std::int32_t yMajor = 8, xMajor = 4;  // the kept ranges' divisions go with them
        static RectangularRanges Of(const CChartGraph& graph)
        {
            return {true,
                    graph.xAxis.min,
                    graph.xAxis.max,
                    graph.leftAxis.min,
                    graph.leftAxis.max,
                    graph.rightAxis.min,
                    graph.rightAxis.max,
                    graph.yMajorDivisions,
                    graph.xMajorDivisions};
        }
        void PutInto(CChartGraph& graph) const
        {
            graph.xAxis.SetRange(xMin, xMax);
            graph.leftAxis.SetRange(leftMin, leftMax);
            graph.rightAxis.SetRange(rightMin, rightMax);
            graph.yMajorDivisions = yMajor;
            graph.xMajorDivisions = xMajor;
        }
    } rectangularRanges;
};
