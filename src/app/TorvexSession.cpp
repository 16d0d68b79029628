#include "app/TorvexSession.h"

#include "app/AppFlags.h"
#include "app/ExampleResponse.h"
#include "app/SelectionGrid.h"
#include "chart/ChartFlags.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"

#include <cmath>

namespace {

enum class AxisSide { None, Left, Right };

// Which Y axis each display format goes to: dB always on the left, phase on the left
// only without dB, delay on the left only when shown alone. Decided by which formats are
// present rather than by their order, so an ungrouped selection cannot put dB and delay
// on one axis.
struct AxisAssignment {
    AxisSide db = AxisSide::None;
    AxisSide phase = AxisSide::None;
    AxisSide delay = AxisSide::None;

    explicit AxisAssignment(const ViewSelection& selection)
    {
        bool hasDb = false, hasPhase = false, hasDelay = false;
        for (const ValueFormatPair& pair : selection) {
            hasDb = hasDb || pair.valueFormat == 0;
            hasPhase = hasPhase || pair.valueFormat == 1;
            hasDelay = hasDelay || pair.valueFormat == 2;
        }
        if (hasDb)
            db = AxisSide::Left;
        if (hasPhase)
            phase = hasDb ? AxisSide::Right : AxisSide::Left;
        if (hasDelay)
            delay = (hasDb || hasPhase) ? AxisSide::Right : AxisSide::Left;
    }

    bool OnLeft(int valueFormat) const
    {
        switch (valueFormat) {
        case 1: return phase == AxisSide::Left;
        case 2: return delay == AxisSide::Left;
        default: return true;
        }
    }
};

const char* const dbTitle = "LogMag[dB]";
const char* const phaseTitle = "Phase[deg]";
const char* const delayTitle = "Delay[ns]";

// Y axes grow upward; the auto scale of the rebuild replaces these ranges.
void SetUpAxes(CChartGraph& graph, const AxisAssignment& axes)
{
    const bool db = axes.db != AxisSide::None;
    const bool phase = axes.phase != AxisSide::None;
    const bool delay = axes.delay != AxisSide::None;
    if (db) {
        graph.leftAxis.SetUp(dbTitle, 0.0, -100.0, true);
        if (phase && delay)
            graph.rightAxis.SetUp("Phase[deg] and/or Delay[nS]", -180.0, 180.0, true);
        else if (phase)
            graph.rightAxis.SetUp(phaseTitle, -180.0, 180.0, true);
        else if (delay)
            graph.rightAxis.SetUp(delayTitle, 0.0, 100.0, true);
    } else if (phase) {
        graph.leftAxis.SetUp(phaseTitle, -180.0, 180.0, true);
        if (delay)
            graph.rightAxis.SetUp(delayTitle, 0.0, 100.0, true);
    } else if (delay) {
        graph.leftAxis.SetUp(delayTitle, 0.0, 100.0, true);
    }
    // Every axis but the dB one shows phase or delay.
    graph.leftAxis.fitsAllValues = !db && (phase || delay);
    graph.rightAxis.fitsAllValues = db ? (phase || delay) : (phase && delay);
}

std::string Formatted(const char* pattern, const std::string& unit)
{
    std::string text = pattern;
    text.replace(text.find("%s"), 2, unit);
    return text;
}

}  // namespace

CTorvexSession::CTorvexSession() : viewSelection{{0, 0}, {4, 0}}
{
    CExampleResponse().Assemble(sheet);
}

CChartGraph& CTorvexSession::Graph()
{
    return *sheet.GraphAt(0);
}

const CChartGraph& CTorvexSession::Graph() const
{
    return *sheet.GraphAt(0);
}

void CTorvexSession::Start()
{
    if (lastPath.empty())
        FitExample();
    else
        OpenSingleFile(lastFile, lastPath);
}

void CTorvexSession::FitExample()
{
    CChartGraph& graph = Graph();
    graph.Rescale(true, true, true);
    graph.leftAxis.SetRange(-100.0, 0.0);
    graph.rightAxis.SetRange(-50.0, 0.0);
    graph.FitYMajorDivisions();  // the fit's divisions would label -100..0 in elevenths
    Repaint();
}

void CTorvexSession::OpenSingleFile(const std::string& name, const std::string& path)
{
    for (int n = 2; n <= SLOT_COUNT; ++n) {
        Slot(n).loaded = false;
        Slot(n).displayName.clear();
        Slot(n).fileName.clear();
    }
    Slot(1).displayName = name;
    Slot(1).fileName = path;
    LoadSlots();
}

void CTorvexSession::OpenFiles(const std::vector<std::pair<std::string, std::string>>& entries)
{
    int n = 1;
    for (const auto& entry : entries) {
        if (entry.first.empty() || n > SLOT_COUNT)
            continue;
        Slot(n).fileName = entry.first;
        Slot(n).displayName = entry.second;
        ++n;
    }
    for (; n <= SLOT_COUNT; ++n) {
        Slot(n).fileName.clear();
        Slot(n).displayName.clear();
        Slot(n).loaded = false;
    }
    LoadSlots();
}

void CTorvexSession::LoadSlots()
{
    const CBusyCursor busy;
    dataLoaded = false;
    for (CS2pData& slot : dataSlots)
        slot.loaded = false;

    int count = 0;
    for (int n = 1; n <= SLOT_COUNT; ++n) {
        CS2pData& slot = Slot(n);
        if (slot.fileName.empty())
            break;
        const std::string path = slot.fileName;
        if (slot.Load(path) != 0) {
            ShowMessageBox("Cannot read file or invalid data format:\n" + path,
                           MessageIcon::Error);
            break;
        }
        slot.NormalizeFreqUnit();
        // All traces share one X axis titled in slot 1's unit; a GHz file next to a MHz
        // file would otherwise be plotted a thousand times off.
        if (n > 1 && slot.freqUnit != Slot(1).freqUnit)
            slot.ConvertFreqUnit(Slot(1).freqUnit);
        ++count;
    }
    dataLoaded = count > 0;

    if (count > 0) {
        sheet.title = count == 1 ? Slot(1).displayName : "";
        if (!keepMarkers)
            Graph().markers.clear();
        RebuildPlot(!persistXScale, !persistYScale);
    }
    if (onDataCommandsEnabled)
        onDataCommandsEnabled(dataLoaded);
    lastFile = Slot(1).displayName;
    lastPath = Slot(1).fileName;
}

void CTorvexSession::RebuildPlot(bool resetX, bool resetY)
{
    if (!dataLoaded)
        return;
    CChartGraph& graph = Graph();
    const std::string unit = FreqUnitLabel(Slot(1).freqUnit);

    ResetTraceColors();
    std::vector<double> saved;
    graph.GetMarkers(saved);
    if (resetY) {
        graph.SetViewFormat(0, resetX);
        graph.title = "";
    } else {
        graph.ClearTraces();
    }
    graph.xAxis.title = Formatted("Frequency [%s]", unit);

    const AxisAssignment axes(viewSelection);
    if (resetY)
        SetUpAxes(graph, axes);

    // Every selected quantity of every loaded slot is a candidate, in that order, and the
    // graph keeps only the last kMaxTraces of them: derive just those. Whether a slot has a
    // quantity depends on its port count alone, so a slot without records tells cheaply.
    struct Candidate {
        const ValueFormatPair* pair;
        int slot;
    };
    std::vector<Candidate> candidates;
    for (const ValueFormatPair& pair : viewSelection) {
        for (int n = 1; n <= SLOT_COUNT; ++n) {
            if (!Slot(n).loaded)
                continue;
            CS2pData probe;
            probe.portKind = Slot(n).portKind;
            CChartTrace unused;
            if (probe.BuildTrace(unused, n, pair.value, pair.valueFormat))
                candidates.push_back(Candidate{&pair, n});
        }
    }
    // The palette turns as if every candidate had been derived.
    const std::size_t skipped = candidates.size() > CChartGraph::kMaxTraces
                                    ? candidates.size() - CChartGraph::kMaxTraces
                                    : 0;
    ResetTraceColors();
    for (std::size_t i = 0; i < skipped; ++i)
        NextTraceColor();
    for (std::size_t i = skipped; i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        CChartTrace trace;
        if (!Slot(c.slot).BuildTrace(trace, c.slot, c.pair->value, c.pair->valueFormat))
            continue;
        trace.onLeftAxis = axes.OnLeft(c.pair->valueFormat);
        graph.AddTrace(trace);
    }

    graph.xShortTitle = Formatted("Freq[%s]", unit);
    graph.Rescale(resetX, resetY, true);
    graph.SetMarkers(saved);
    Repaint();
}

void CTorvexSession::ApplySelection(const ViewSelection& selection)
{
    if (selection == viewSelection) {
        RebuildPlot(false, false);
        return;
    }
    viewSelection = selection;
    RebuildPlot(true, true);
}

int CTorvexSession::MaxPortKind() const
{
    int kind = CS2pData::TWO_PORT;
    for (const CS2pData& slot : dataSlots)
        if (slot.loaded && slot.portKind > kind)
            kind = slot.portKind;
    return kind;
}

void CTorvexSession::IncSpan()
{
    CChartAxis& x = Graph().xAxis;
    const double s = x.max - x.min;
    x.SetRange(x.min - 0.5 * s, x.max + 0.5 * s);
    Repaint();
}

void CTorvexSession::DecSpan()
{
    CChartAxis& x = Graph().xAxis;
    const double s = x.max - x.min;
    x.SetRange(x.min + 0.25 * s, x.max - 0.25 * s);
    Repaint();
}

void CTorvexSession::IncFmax()
{
    CChartAxis& x = Graph().xAxis;
    const double s = x.max - x.min;
    x.SetRange(x.min, x.max + 0.5 * s);
    Repaint();
}

void CTorvexSession::DecFmax()
{
    CChartAxis& x = Graph().xAxis;
    const double s = x.max - x.min;
    x.SetRange(x.min, x.max - 0.25 * s);
    Repaint();
}

void CTorvexSession::AutoSpan()
{
    Graph().AutoSpan();
    Repaint();
}

void CTorvexSession::AutoScale()
{
    Graph().AutoScale();
    Repaint();
}

void CTorvexSession::ToggleLegend()
{
    Graph().showMarkers = !Graph().showMarkers;
    RepaintOverlay();
}

std::string CTorvexSession::Readout(CPoint point) const
{
    return Graph().Readout(point);
}

bool CTorvexSession::AddMarkerAt(CPoint point)
{
    const double x = Graph().XAtPoint(point);
    if (!(x > 0.0))  // also refuses NaN
        return false;
    Graph().markers.push_back(x);
    RepaintOverlay();
    return true;
}

void CTorvexSession::SetChartRect(const CRect& rect)
{
    chartRect = rect;
    sheet.sheetRect = rect;
}

void CTorvexSession::RepaintOverlay()
{
    if (onRepaintOverlay)
        onRepaintOverlay();
    else
        Repaint();
}

void CTorvexSession::Repaint()
{
    if (onRepaint)
        onRepaint();
}
