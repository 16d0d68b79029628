// Opening and loading files into the slots (a part of CTorvexSession): read into data sets
// of their own, put into the slots only when no read was cancelled.
#include "app/TorvexSession.h"

#include "app/AppFlags.h"
#include "app/StartLoader.h"
#include "chart/ChartFlags.h"
#include "data/LineFile.h"
#include "platform/AsciiText.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

// Loads a slot's file as the chart takes it: Hz and kHz become MHz, and files after the
// first take the first one's unit, since all traces share one X axis titled in it (a GHz
// file next to a MHz file would otherwise be plotted a thousand times off).
// The reader's result (FILE_OK, or why not).
int LoadForChart(CS2pData& data, const std::string& path, const CS2pData* first,
                 CStartLoader* started)
{
    CS2pData read;
    int result = 0;
    std::vector<std::pair<std::string, MessageIcon>> messages;
    if (started && started->Take(path, read, result, messages)) {
        // Read while the window was made: what it said is said now, as if read here.
        const std::string name = data.displayName;
        data = std::move(read);
        data.fileName = path;
        data.displayName = name;
        for (const auto& [text, icon] : messages)
            ShowMessageBox(text, icon);
    } else {
        result = data.Load(path);
    }
    if (result != 0)
        return result;
    data.NormalizeFreqUnit();
    if (first && data.freqUnit != first->freqUnit)
        data.ConvertFreqUnit(first->freqUnit);
    return FILE_OK;
}

}  // namespace

const char* const CTorvexSession::LOAD_FAILED = "Cannot read file or invalid data format:\n";

bool CTorvexSession::LoadSlotFile(int n, CS2pData& data, const CS2pData* first) const
{
    const std::string path = data.fileName;
    const int result = LoadForChart(data, path, first, startLoader);
    loadCancelled = result == FILE_CANCELLED;
    if (result != FILE_OK)
        return false;
    // A slot made by network operations makes itself again from its source.
    const auto& operations = derived[n - 1];
    if (!operations)
        return true;
    const std::string name = data.displayName;
    std::string why;
    bool unreadable = false;
    if (!operations->Apply(data, why, unreadable, CNetworkOptions::Wording::WINDOW)) {
        ShowMessageBox(name + ": " + why, MessageIcon::Error);
        return false;
    }
    data.fileName = path;
    data.displayName = name;
    return true;
}

void CTorvexSession::Start()
{
    if (!lastPath.empty())
        OpenSingleFile(lastFile, lastPath);
    // A last file that no longer loads leaves the example, which is fitted as at a start
    // without one: the remembered scales were the file's, and would show it off its axes.
    if (!dataLoaded)
        FitExample();
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

void CTorvexSession::StartWith(const std::vector<std::pair<std::string, std::string>>& entries)
{
    // The files take the remembered scales, as the last file does at a start without them;
    // should none of them load, the example is fitted as at any start without a last file.
    CChartGraph& graph = Graph();
    const RectangularRanges remembered = RectangularRanges::Of(graph);
    FitExample();
    remembered.PutInto(graph);
    OpenFiles(entries);
    if (!dataLoaded)
        FitExample();
}

void CTorvexSession::OpenSingleFile(const std::string& name, const std::string& path)
{
    const std::vector<SlotNames> before = Names();
    for (auto& operations : derived)
        operations.reset();
    for (int n = 2; n <= SLOT_COUNT; ++n) {
        Slot(n).loaded = false;
        Slot(n).displayName.clear();
        Slot(n).fileName.clear();
    }
    Slot(1).displayName = name;
    Slot(1).fileName = path;
    if (!LoadSlots())
        PutBack(before);
}

void CTorvexSession::OpenFiles(const std::vector<std::pair<std::string, std::string>>& entries)
{
    const std::vector<SlotNames> before = Names();
    for (auto& operations : derived)
        operations.reset();
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
    if (!LoadSlots())
        PutBack(before);
}

std::vector<CTorvexSession::SlotNames> CTorvexSession::Names() const
{
    std::vector<SlotNames> names;
    for (int n = 1; n <= SLOT_COUNT; ++n)
        names.push_back({Slot(n).fileName, Slot(n).displayName, Slot(n).loaded, derived[n - 1]});
    return names;
}

void CTorvexSession::PutBack(const std::vector<SlotNames>& names)
{
    for (int n = 1; n <= SLOT_COUNT; ++n) {
        const SlotNames& slot = names[static_cast<std::size_t>(n - 1)];
        Slot(n).fileName = slot.fileName;
        Slot(n).displayName = slot.displayName;
        Slot(n).loaded = slot.loaded;
        derived[n - 1] = slot.derived;
    }
}

bool CTorvexSession::LoadSlots()
{
    const CBusyCursor busy;
    const ReadingScope scope(reading);
    // Read into data sets of their own first: a read the user cancels changes no slot.
    std::vector<CS2pData> fresh;
    fresh.reserve(SLOT_COUNT);
    bool failed = false;
    for (int n = 1; n <= SLOT_COUNT && !failed; ++n) {
        if (Slot(n).fileName.empty())
            break;
        CS2pData data;
        data.fileName = Slot(n).fileName;
        data.displayName = Slot(n).displayName;
        if (!LoadSlotFile(n, data, n > 1 ? &fresh[0] : nullptr)) {
            if (loadCancelled)
                return false;
            ShowMessageBox(LOAD_FAILED + EscapeName(data.fileName), MessageIcon::Error);
            failed = true;
        }
        fresh.push_back(std::move(data));
    }
    dataLoaded = false;
    measurement.clear();
    for (CS2pData& slot : dataSlots)
        slot.loaded = false;
    int count = 0;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        const bool read = fresh[i].loaded;
        Slot(static_cast<int>(i) + 1) = std::move(fresh[i]);
        if (read) {
            RememberRecent(Slot(static_cast<int>(i) + 1).fileName);
            ++count;
        }
    }
    dataLoaded = count > 0;
    ResetFollowState();

    if (count > 0) {
        UpdateTitle();
        if (!keepMarkers) {
            Graph().markers.clear();
            otherDomainMarkers.clear();
        }
        RebuildPlot(!persistXScale, !persistYScale);
    }
    if (onDataCommandsEnabled)
        onDataCommandsEnabled(dataLoaded);
    lastFile = Slot(1).displayName;
    lastPath = Slot(1).fileName;
    return true;
}

void CTorvexSession::RememberRecent(const std::string& path)
{
    recentFiles.erase(std::remove(recentFiles.begin(), recentFiles.end(), path), recentFiles.end());
    recentFiles.insert(recentFiles.begin(), path);
    if (recentFiles.size() > RECENT_COUNT)
        recentFiles.resize(RECENT_COUNT);
}
