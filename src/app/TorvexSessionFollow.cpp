// Following the loaded files on disk: reloads, stale files and file stamps.
#include "app/TorvexSession.h"

#include "data/LineFile.h"
#include "platform/MessageBox.h"

#include <filesystem>
#include <memory>
#include <system_error>

bool CTorvexSession::Reload(bool quiet, bool markStale)
{
    if (!dataLoaded || reading)
        return false;
    const ReadingScope scope(reading);
    CS2pData fresh[SLOT_COUNT];
    bool read[SLOT_COUNT] = {};
    std::string freshStamps[SLOT_COUNT];
    std::string failed;  // the paths that did not read, one per line
    loadCancelled = false;
    {
        // A file caught half-written is tried again later: no message for it.
        const bool previousQuiet = quietFileErrors;
        quietFileErrors = quietFileErrors || quiet;
        std::unique_ptr<CRecordingMessageSink> silence;
        if (quiet)
            silence = std::make_unique<CRecordingMessageSink>();
        for (int n = 1; n <= SLOT_COUNT && (markStale || failed.empty()); ++n) {
            const CS2pData& slot = Slot(n);
            if (!slot.loaded)
                continue;
            CS2pData& data = fresh[n - 1];
            data.fileName = slot.fileName;
            data.displayName = slot.displayName;
            // Stamped before reading: a write during the read shows as a later change.
            freshStamps[n - 1] = FileStamp(n);
            // Every slot takes the unit of slot 1 as it will be shown: new when it read.
            const CS2pData* first = n == 1 ? nullptr : read[0] ? &fresh[0] : &Slot(1);
            read[n - 1] = LoadSlotFile(n, data, first);
            if (loadCancelled)
                break;
            if (!read[n - 1])
                failed += "\n" + slot.fileName;
        }
        quietFileErrors = previousQuiet;
    }
    if (loadCancelled)
        return false;  // as it was: the user stopped it
    if (!failed.empty() && !quiet)
        ShowMessageBox(LOAD_FAILED + failed.substr(1), MessageIcon::Error);
    if (!failed.empty() && !markStale)
        return false;
    for (int n = 1; n <= SLOT_COUNT; ++n) {
        CS2pData& slot = Slot(n);
        if (!slot.loaded)
            continue;
        stale[n - 1] = !read[n - 1];
        if (read[n - 1]) {
            slot = std::move(fresh[n - 1]);
            stamps[n - 1] = freshStamps[n - 1];
        } else if (n > 1 && slot.freqUnit != Slot(1).freqUnit) {
            slot.ConvertFreqUnit(Slot(1).freqUnit);  // one X axis for old and new data
        }
    }
    UpdateTitle();
    RebuildPlot(false, false);
    return failed.empty();
}

const char* const CTorvexSession::STALE_MARK = " (stale)";

std::string CTorvexSession::SlotTitle(int n) const
{
    if (n < 1 || n > SLOT_COUNT)
        return {};
    return Slot(n).displayName + (SlotStale(n) ? STALE_MARK : "");
}

std::string CTorvexSession::StaleLine() const
{
    std::string names;
    for (int n = 1; n <= SLOT_COUNT; ++n) {
        if (SlotStale(n) && Slot(n).loaded)
            names += (names.empty() ? "" : ", ") + ("(" + std::to_string(n) + ") ")
                + Slot(n).displayName;
    }
    return names.empty() ? names : "Stale: " + names;
}

bool CTorvexSession::FilesChanged() const
{
    for (int n = 1; n <= SLOT_COUNT; ++n) {
        if (Slot(n).loaded && (stale[n - 1] || FileStamp(n) != stamps[n - 1]))
            return true;
    }
    return false;
}

std::string CTorvexSession::FileStamp(int n) const
{
    std::error_code error;
    const std::filesystem::path path(Slot(n).fileName);
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return "missing";
    const auto time = std::filesystem::last_write_time(path, error);
    if (error)
        return "missing";
    return std::to_string(size) + "@" + std::to_string(time.time_since_epoch().count());
}

void CTorvexSession::ResetFollowState()
{
    for (int n = 1; n <= SLOT_COUNT; ++n) {
        stale[n - 1] = false;
        stamps[n - 1] = Slot(n).loaded ? FileStamp(n) : std::string();
    }
}

void CTorvexSession::UpdateTitle()
{
    // With several files the title says which is (1), (2), ...: the trace names carry
    // those numbers. A stale file is marked where it is named.
    int count = 0;
    for (int n = 1; n <= SLOT_COUNT; ++n)
        count += Slot(n).loaded ? 1 : 0;
    if (count == 0)
        return;
    sheet.title = count == 1 ? SlotTitle(1) : std::string();
    for (int n = 1; count > 1 && n <= SLOT_COUNT; ++n) {
        if (Slot(n).loaded)
            sheet.title +=
                (sheet.title.empty() ? "(" : "  (") + std::to_string(n) + ") " + SlotTitle(n);
    }
}
