// The session's analyses over whole files: the quality of their matrices, the time domain.
#include "app/TorvexSession.h"

#include <algorithm>
#include <cstdio>

std::vector<CTorvexSession::SlotQuality> CTorvexSession::QualityOfSlots() const
{
    std::vector<SlotQuality> rows;
    for (int n = 1; n <= SLOT_COUNT; ++n) {
        const CS2pData& slot = Slot(n);
        if (!slot.loaded)
            continue;
        SlotQuality row;
        row.slot = n;
        row.name = SlotTitle(n);
        switch (QualityMetrics::Compute(slot, QualityMetrics::Block::SINGLE_ENDED, portPairing,
                                        row.result)) {
        case QualityMetrics::Outcome::OK: row.judged = true; break;
        case QualityMetrics::Outcome::NO_FINITE_MATRIX:
            row.why = "no frequency has a finite S matrix";
            break;
        default: row.why = "its values are too large to judge"; break;
        }
        rows.push_back(row);
    }
    return rows;
}

void CTorvexSession::AddViewItem(const ValueFormatPair& item)
{
    // A frequency item on a time view goes back to the frequency view shown before it.
    const bool time =
        std::any_of(viewSelection.begin(), viewSelection.end(),
                    [](const ValueFormatPair& p) { return ValueFormat::IsTime(p.valueFormat); });
    const ViewSelection& base = time ? frequencyView : viewSelection;
    const bool plain = ComplexKindOf(base) < 0 && chartKind == CChartGraph::RECTANGULAR
        && std::none_of(base.begin(), base.end(), [](const ValueFormatPair& p) {
                           return ValueFormat::IsTime(p.valueFormat);
                       });
    ViewSelection selection = plain ? base : ViewSelection{};
    if (std::find(selection.begin(), selection.end(), item) == selection.end())
        selection.push_back(item);
    if (!plain)
        chartKind = CChartGraph::RECTANGULAR;
    ApplySelection(selection);
}

bool CTorvexSession::IsTimeView(const ViewSelection& selection)
{
    return !selection.empty()
        && std::all_of(selection.begin(), selection.end(),
                       [](const ValueFormatPair& p) { return ValueFormat::IsTime(p.valueFormat); });
}

namespace {

std::string Ns(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

}  // namespace

void CTorvexSession::NoteBuild(const CTraceBuilder& builder, bool timeView)
{
    CChartGraph& graph = Graph();
    buildProblems.insert(buildProblems.end(), builder.problems.begin(), builder.problems.end());
    const TimeGate& gate = timeDomain.gate;
    const std::string gateNote = "gate " + Ns(gate.startNs) + " to " + Ns(gate.stopNs) + " ns ("
        + TimeGate::ShapeName(gate.shape) + (gate.notch ? ", notch)" : ")");
    if (!timeView) {
        graph.title = timeDomain.gateOn ? gateNote : std::string();
        return;
    }
    const bool distance = timeDomain.velocityFactor.has_value();
    graph.xAxis.title = distance ? "Distance [m]" : "Time [ns]";
    graph.xShortTitle = distance ? "Dist[m]" : "Time[ns]";
    graph.xAxis.allowNegative = true;
    graph.title = "window " + timeDomain.window.Spelling()
        + (builder.resampled ? ", resampled" : "")
        + (timeDomain.gateOn ? ", " + gateNote : std::string());
    if (timeDomain.gateOn)
        graph.gateLines = {gate.startNs * TimeScale(), gate.stopNs * TimeScale()};
}

double CTorvexSession::TimeScale() const
{
    // Times of the response stand on a distance axis where the first item's echoes do.
    const ViewSelection shown = ShownSelection();
    if (!timeDomain.velocityFactor || shown.empty())
        return 1.0;
    const bool returns = ReturnsToItsPort(shown.front().value);
    return *timeDomain.velocityFactor * SPEED_OF_LIGHT * 1e-9 / (returns ? 2.0 : 1.0);
}

std::string CTorvexSession::XColumn() const
{
    if (ShowsTime())
        return timeDomain.velocityFactor ? "distance_m" : "time_ns";
    return "freq_" + FreqUnitLabel(Slot(1).freqUnit);
}

void CTorvexSession::ApplyTimeDomain(const TimeDomainSettings& settings, const ViewSelection& view)
{
    timeDomain = settings;
    const bool time = IsTimeView(view);
    if (time)
        chartKind = CChartGraph::RECTANGULAR;
    const bool changed = view != viewSelection;
    viewSelection = view;
    RebuildPlot(changed || time, true);
}

int CTorvexSession::AddDerivedSlot(int source, std::shared_ptr<const CNetworkOptions> operations,
                                   std::string& why)
{
    if (source < 1 || source > SLOT_COUNT || !Slot(source).loaded || !operations) {
        why = "choose a loaded file";
        return 0;
    }
    int free = 0;
    for (int n = 1; n <= SLOT_COUNT && !free; ++n)
        free = Slot(n).fileName.empty() ? n : 0;
    if (!free) {
        why = "all " + std::to_string(SLOT_COUNT) + " slots hold files: close one first";
        return 0;
    }
    CS2pData result = Slot(source);
    bool unreadable = false;
    if (!operations->Apply(result, why, unreadable, CNetworkOptions::Wording::WINDOW))
        return 0;
    std::string done;
    for (const std::string& step : operations->Descriptions())
        done += ", " + step;
    // Its recipe: the source's file, its own steps after those that made the source.
    std::shared_ptr<CNetworkOptions> recipe = std::make_shared<CNetworkOptions>();
    if (const CNetworkOptions* before = DerivedBy(source))
        *recipe = *before;
    recipe->Append(*operations);
    result.fileName = Slot(source).fileName;
    result.displayName = Slot(source).displayName + done;
    result.loaded = true;
    Slot(free) = std::move(result);
    derived[free - 1] = recipe;
    stale[free - 1] = false;
    stamps[free - 1] = stamps[source - 1];
    UpdateTitle();
    RebuildPlot(false, true);
    return free;
}

int CTorvexSession::SaveSlot(int n, const std::string& path, TouchstoneWriter::Options options,
                             std::string& why) const
{
    const CS2pData& slot = Slot(n);
    std::string done;
    if (const CNetworkOptions* operations = DerivedBy(n))
        for (const std::string& step : operations->Descriptions())
            done += (done.empty() ? "" : "; ") + step;
    options.comments = {std::string("Torvex ") + TORVEX_VERSION, "Source: " + slot.fileName,
                        "Operations: " + (done.empty() ? std::string("none") : done)};
    return TouchstoneWriter::Write(path, slot, options, why);
}
