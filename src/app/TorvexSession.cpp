#include "app/TorvexSession.h"

#include "app/AppFlags.h"
#include "app/ExampleResponse.h"
#include "app/SelectionGrid.h"
#include "chart/ChartFlags.h"
#include "platform/AsciiText.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <memory>

namespace {

// Which Y axis each display format goes to: dB always on the left; without dB the
// lowest other format present (phase before delay before the linear ones) takes the left
// axis; every other format shares the right one. Decided by which formats are present
// rather than by their order, so an ungrouped selection cannot put dB and delay on one axis.
struct AxisAssignment {
    int left = -1;           // format of the left axis; -1: none
    std::vector<int> right;  // formats sharing the right axis, ascending

    explicit AxisAssignment(const ViewSelection& selection)
    {
        std::vector<int> present;
        for (const ValueFormatPair& pair : selection)
            if (std::find(present.begin(), present.end(), pair.valueFormat) == present.end())
                present.push_back(pair.valueFormat);
        std::sort(present.begin(), present.end());
        if (present.empty())
            return;
        left = present.front();  // dB, the lowest code, whenever present
        right.assign(present.begin() + 1, present.end());
    }

    bool OnLeft(int valueFormat) const { return valueFormat == left || left < 0; }
};

const char* const kPhaseAndDelayTitle = "Phase[deg] and/or Delay[nS]";

// The start range of an axis of a format; the auto scale of the rebuild replaces it.
std::pair<double, double> StartRange(int format)
{
    switch (format) {
    case ValueFormat::DB: return {0.0, -100.0};
    case ValueFormat::PHASE: return {-180.0, 180.0};
    case ValueFormat::DELAY: return {0.0, 100.0};
    default: return {0.0, 1.0};
    }
}

// Y axes grow upward.
void SetUpAxes(CChartGraph& graph, const AxisAssignment& axes)
{
    if (axes.left >= 0) {
        const auto [lo, hi] = StartRange(axes.left);
        graph.leftAxis.SetUp(ValueFormat::AxisTitle(axes.left), lo, hi, true);
    }
    if (!axes.right.empty()) {
        std::string title;
        if (axes.right == std::vector<int>{ValueFormat::PHASE, ValueFormat::DELAY}) {
            title = kPhaseAndDelayTitle;
        } else {
            for (int format : axes.right)
                title += (title.empty() ? "" : " and/or ") + ValueFormat::AxisTitle(format);
        }
        const auto [lo, hi] = StartRange(axes.right.front());
        graph.rightAxis.SetUp(title, lo, hi, true);
    }
    // Only the dB axis keeps the dB rules of auto scale; every other one holds all values.
    graph.leftAxis.fitsAllValues = axes.left > ValueFormat::DB;
    graph.rightAxis.fitsAllValues = !axes.right.empty();
    // Multiples of ten suit degrees and nanoseconds; the linear formats take steps of
    // their own size (the right axis's formats ascend: its first decides).
    graph.leftAxis.niceSteps = axes.left > ValueFormat::DELAY;
    graph.rightAxis.niceSteps = !axes.right.empty() && axes.right.front() > ValueFormat::DELAY;
    // |S| and its parts have the unit circle's own range.
    const auto keep = [](CChartAxis& axis, const std::vector<int>& formats) {
        const bool all = !formats.empty();
        const auto every = [&](std::initializer_list<int> kinds) {
            return all && std::all_of(formats.begin(), formats.end(), [&](int f) {
                       return std::find(kinds.begin(), kinds.end(), f) != kinds.end();
                   });
        };
        axis.keepLow = axis.keepHigh = 0.0;
        if (every({ValueFormat::LIN_MAG}))
            axis.keepHigh = 1.0;
        else if (every({ValueFormat::LIN_MAG, ValueFormat::REAL, ValueFormat::IMAG})) {
            axis.keepLow = -1.0;
            axis.keepHigh = 1.0;
        }
    };
    keep(graph.leftAxis, axes.left >= 0 ? std::vector<int>{axes.left} : std::vector<int>{});
    keep(graph.rightAxis, axes.right);
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

CTraceBuilder CTorvexSession::Builder() const
{
    CTraceBuilder builder;
    builder.pairing = portPairing;
    builder.time.window = timeDomain.window;
    builder.time.range = timeDomain.range;
    builder.time.velocityFactor = timeDomain.velocityFactor;
    if (timeDomain.gateOn)
        builder.gate = timeDomain.gate;
    return builder;
}

void CTorvexSession::RebuildPlot(bool resetX, bool resetY)
{
    if (!dataLoaded)
        return;
    CChartGraph& graph = Graph();
    const std::string unit = FreqUnitLabel(Slot(1).freqUnit);

    const ViewSelection shown = ShownSelection();
    const bool timeView = IsTimeView(shown);
    std::vector<double> saved;
    graph.GetMarkers(saved);
    // Time and frequency share no axis: a change between them fits both again, and the
    // markers of the one put away are those of the other (0.5 ns is no 0.5 GHz).
    if (timeView != axesShowTime) {
        resetX = resetY = true;
        axesShowTime = timeView;
        std::swap(saved, otherDomainMarkers);
    }
    if (!timeView)
        frequencyView = viewSelection;
    if (resetY) {
        graph.SetViewFormat(0, resetX);
        graph.title = "";
    } else {
        graph.ClearTraces();
    }
    graph.xAxis.title = Formatted("Frequency [%s]", unit);
    graph.gateLines.clear();
    buildProblems.clear();

    graph.xUnitHz = CS2pData::UnitFactor(Slot(1).freqUnit);
    graph.chartKind = timeView ? CChartGraph::RECTANGULAR : chartKind;
    if (graph.chartKind != CChartGraph::RECTANGULAR || ComplexKindOf(shown) >= 0) {
        BuildComplexTraces(shown);
        axesShowData = false;
        graph.xShortTitle = Formatted("Freq[%s]", unit);
        graph.SetMarkers(saved);
        Repaint();
        return;
    }
    const AxisAssignment axes(shown);
    if (resetY) {
        SetUpAxes(graph, axes);
    } else if (!axesShowData) {
        // Kept ranges (from the settings, or from before a Smith or polar chart) on the
        // axes of this view: its titles and rules, their numbers.
        const CChartAxis left = graph.leftAxis;
        const CChartAxis right = graph.rightAxis;
        SetUpAxes(graph, axes);
        graph.leftAxis.SetRange(left.min, left.max);
        graph.rightAxis.SetRange(right.min, right.max);
    }

    // Every selected quantity of every loaded slot is a candidate, in that order, and the
    // graph keeps only the last kMaxTraces of them: derive just those.
    const std::vector<Candidate> candidates = Candidates(shown);
    const std::size_t skipped = SkipDropped(candidates);
    // Colours as if every candidate had been derived: the first kept trace takes the
    // colour of its place among them.
    std::size_t colour = skipped;
    const CTraceBuilder builder = Builder();
    for (std::size_t i = skipped; i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        CChartTrace trace;
        if (!builder.Build(Slot(c.slot), c.slot, c.value, c.valueFormat, trace))
            continue;
        trace.color = TraceColorAt(colour++);
        trace.onLeftAxis = axes.OnLeft(c.valueFormat);
        graph.AddTrace(trace);
    }
    // The program-wide palette goes on after the last trace, as after deriving them all.
    StartTraceColorsAt(colour);

    graph.xShortTitle = Formatted("Freq[%s]", unit);
    NoteBuild(builder, timeView);
    graph.Rescale(resetX, resetY, true);
    // A shown time range is the X axis itself, as asked, not the samples' own ends.
    if (timeView && resetX && timeDomain.range && !graph.traces.empty()) {
        const double scale = TimeScale();
        graph.xAxis.SetRange(timeDomain.range->fromNs * scale, timeDomain.range->toNs * scale);
        if (resetY)
            graph.AutoScale();
    }
    axesShowData = true;
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
        if (slot.loaded && slot.GetPortKind() > kind)
            kind = slot.GetPortKind();
    return kind;
}

ViewSelection CTorvexSession::PresetSelection(int preset) const
{
    const CS2pData* widest = WidestSlot();
    if (!widest)
        return {};
    if (FitsClassicGrid()) {
        CSelectionGrid grid;
        grid.ApplyPreset(preset, MaxPortKind(), MaxPortCount());
        return grid.Selection();
    }
    ViewSelection selection;
    const int n = widest->PortCount();
    for (const CSelectionGrid::PresetBox& b : CSelectionGrid::PresetBoxes(preset, n))
        selection.emplace_back(widest->CodeAt(b.row, b.col), b.format);
    return selection;
}

ViewSelection CTorvexSession::ShownSelection() const
{
    const CS2pData* widest = WidestSlot();
    if (!substituteView || !widest || (widest->PortCount() != 1 && !widest->IsMixedMode()))
        return viewSelection;
    for (const ValueFormatPair& pair : viewSelection)
        for (const CS2pData& slot : dataSlots)
            if (slot.loaded && slot.HasCode(pair.value))
                return viewSelection;
    // A one-port file has no transmission, a mixed-mode file no single-ended element: the
    // selection's formats of the reflection at port 1 (and for mixed-mode files the first
    // transmission) take their place.
    ViewSelection fallback;
    for (int code : {widest->CodeAt(1, 1), widest->CodeAt(2, 1)}) {
        if (code < 0)
            continue;
        for (const ValueFormatPair& pair : viewSelection) {
            const ValueFormatPair candidate(code, pair.valueFormat);
            if (std::find(fallback.begin(), fallback.end(), candidate) == fallback.end())
                fallback.push_back(candidate);
        }
    }
    return fallback;
}

std::vector<CTorvexSession::Candidate> CTorvexSession::Candidates(const ViewSelection& shown) const
{
    std::vector<Candidate> candidates;
    for (const ValueFormatPair& pair : shown) {
        for (int n = 1; n <= SLOT_COUNT; ++n) {
            if (Slot(n).loaded && Builder().CanBuild(Slot(n), pair.value, pair.valueFormat))
                candidates.push_back(Candidate{pair.value, pair.valueFormat, n});
        }
    }
    return candidates;
}

std::size_t CTorvexSession::SkipDropped(const std::vector<Candidate>& candidates)
{
    Graph().tracesOffered = candidates.size();
    droppedTraces.clear();
    const std::size_t skipped = candidates.size() > CChartGraph::kMaxTraces
        ? candidates.size() - CChartGraph::kMaxTraces
        : 0;
    for (std::size_t i = 0; i < skipped; ++i) {
        const Candidate& c = candidates[i];
        droppedTraces.push_back(Slot(c.slot).TraceName(c.slot, c.value, c.valueFormat));
    }
    return skipped;
}

ViewSelection CTorvexSession::MissingItems() const
{
    ViewSelection missing;
    for (const ValueFormatPair& pair : viewSelection) {
        bool found = false;
        for (const CS2pData& slot : dataSlots)
            found =
                found || (slot.loaded && Builder().CanBuild(slot, pair.value, pair.valueFormat));
        if (!found)
            missing.push_back(pair);
    }
    return missing;
}

int CTorvexSession::ComplexKindOf(const ViewSelection& selection)
{
    for (const ValueFormatPair& pair : selection) {
        if (pair.valueFormat == ValueFormat::SMITH)
            return CChartGraph::SMITH;
        if (pair.valueFormat == ValueFormat::POLAR)
            return CChartGraph::POLAR;
    }
    return -1;
}

void CTorvexSession::BuildComplexTraces(const ViewSelection& shown)
{
    CChartGraph& graph = Graph();
    const int named = ComplexKindOf(shown);
    if (named >= 0)
        graph.chartKind = chartKind = named;
    const bool smith = graph.chartKind == CChartGraph::SMITH;
    // The elements of the selection, each once: the reflections on a Smith chart.
    std::vector<int> codes;
    for (const ValueFormatPair& pair : shown) {
        if (std::find(codes.begin(), codes.end(), pair.value) != codes.end())
            continue;
        // Computed mixed-mode reflections (Sdd11 of a single-ended 4-port) have no
        // position in the file but are reflections all the same.
        if (!smith || ValueCode::IsReflection(pair.value))
            codes.push_back(pair.value);
    }
    if (codes.empty() && WidestSlot() && substituteView)
        codes.push_back(WidestSlot()->CodeAt(1, 1));
    // A trace keeps the colour it has on the rectangular chart: that of the first
    // candidate of its element and file there, in the rebuild's order.
    const auto colourOf = [this, &shown](int code, int n) {
        std::size_t k = 0;
        for (const ValueFormatPair& pair : shown)
            for (int m = 1; m <= SLOT_COUNT; ++m) {
                if (!Slot(m).loaded || !Builder().CanBuild(Slot(m), pair.value, pair.valueFormat))
                    continue;
                if (pair.value == code && m == n)
                    return TraceColorAt(k);
                ++k;
            }
        return TraceColorAt(k);
    };
    const int format = smith ? ValueFormat::SMITH : ValueFormat::POLAR;
    ViewSelection pairs;
    for (int code : codes)
        pairs.emplace_back(code, format);
    const std::vector<Candidate> candidates = Candidates(pairs);
    const CTraceBuilder builder = Builder();
    for (std::size_t i = SkipDropped(candidates); i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        const CS2pData& slot = Slot(c.slot);
        CChartTrace trace;
        if (builder.Build(slot, c.slot, c.value, c.valueFormat, trace)) {
            trace.color = colourOf(c.value, c.slot);
            trace.reflection = ValueCode::IsReflection(c.value);
            graph.AddTrace(trace);
        }
    }
    graph.leftAxis.visible = graph.rightAxis.visible = false;
    graph.xAxis.visible = true;
    NoteBuild(builder, false);
}

void CTorvexSession::SetChartKind(int kind)
{
    CChartGraph& graph = Graph();
    chartKind = kind;
    if (!dataLoaded)
        return;  // the example is always rectangular; the choice waits for data
    if (kind == graph.chartKind)
        return;
    // A plane chart shows frequencies: a time view goes back to its elements' dB first.
    if (kind != CChartGraph::RECTANGULAR && IsTimeView(viewSelection)) {
        for (ValueFormatPair& pair : viewSelection)
            pair.valueFormat = ValueFormat::DB;
    }
    RectangularRanges& kept = rectangularRanges;
    if (graph.chartKind == CChartGraph::RECTANGULAR)
        kept = RectangularRanges::Of(graph);
    graph.chartKind = kind;
    graph.planeZoom = 1.0;
    graph.planeCentreRe = graph.planeCentreIm = 0.0;
    // Leaving a view named smith or polar items: back to the formats of its elements.
    if (kind == CChartGraph::RECTANGULAR && ComplexKindOf(viewSelection) >= 0) {
        ViewSelection plain;
        for (const ValueFormatPair& pair : viewSelection)
            plain.emplace_back(pair.value, 0);
        viewSelection = plain;
    } else if (kind != CChartGraph::RECTANGULAR && ComplexKindOf(viewSelection) >= 0) {
        for (ValueFormatPair& pair : viewSelection)
            pair.valueFormat = kind == CChartGraph::SMITH ? ValueFormat::SMITH : ValueFormat::POLAR;
    }
    if (kind == CChartGraph::RECTANGULAR && kept.valid && (persistXScale || persistYScale)) {
        // Back from a Smith or polar chart, the kept scales are those of before.
        kept.PutInto(graph);
        RebuildPlot(!persistXScale, !persistYScale);
        return;
    }
    RebuildPlot(true, true);
}

int CTorvexSession::MaxPortCount() const
{
    int ports = 0;
    for (const CS2pData& slot : dataSlots)
        if (slot.loaded)
            ports = std::max(ports, slot.PortCount());
    return ports;
}

const CS2pData* CTorvexSession::WidestSlot() const
{
    const CS2pData* widest = nullptr;
    for (const CS2pData& slot : dataSlots) {
        if (!slot.loaded)
            continue;
        if (!widest || (slot.IsMixedMode() && !widest->IsMixedMode())
            || (slot.IsMixedMode() == widest->IsMixedMode()
                && slot.PortCount() > widest->PortCount()))
            widest = &slot;
    }
    return widest;
}

const CS2pData* CTorvexSession::MixedModeSource() const
{
    const CS2pData* widest = WidestSlot();
    const bool pairs = widest && !widest->IsMixedMode() && widest->PortCount() >= 4
        && widest->PortCount() % 2 == 0;
    return pairs ? widest : nullptr;
}

bool CTorvexSession::FitsClassicGrid() const
{
    for (const CS2pData& slot : dataSlots)
        if (slot.loaded && (slot.PortCount() > 4 || slot.IsMixedMode()))
            return false;
    return true;
}

void CTorvexSession::SetChartRect(const CRect& rect)
{
    chartRect = rect;
    sheet.sheetRect = rect;
}

void CTorvexSession::RepaintOverlay()
{
    // The complex charts have no separate overlay.
    if (onRepaintOverlay && Graph().chartKind == CChartGraph::RECTANGULAR)
        onRepaintOverlay();
    else
        Repaint();
}

void CTorvexSession::Repaint()
{
    if (onRepaint)
        onRepaint();
}
