// Every trace a view can ask for, of any loaded data set: the element formats the data set
// derives itself, and the quantities over all its frequencies that the rf mathematics
// derives (the time-domain responses, the quality of the whole matrix), with the time gate
// applied to the frequency formats when one is set. The session, the command line and the
// window's exports all build through one of these, so each shows the same numbers.
#pragma once

#include "data/MixedMode.h"
#include "data/S2pData.h"
#include "rf/TimeGate.h"
#include "rf/TimeTrace.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class CChartTrace;

class CTraceBuilder {
public:
    // Follows the names of traces built from gated data.
    static const char* const GATED_MARK;

    // Whether Build would derive the quantity from the data set.
    bool CanBuild(const CS2pData& data, int value, int valueFormat) const;
    // Derives the trace; false when the data set has no such quantity or it cannot be
    // computed (the reason is added to problems). The trace takes the data set's name for it
    // and the next palette colour, as CS2pData::BuildTrace does.
    bool Build(const CS2pData& data, int fileNumber, int value, int valueFormat,
               CChartTrace& trace) const;

    PortPairing pairing = PortPairing::ACROSS;
    TimeTraceOptions time;         // of the time formats, and the gate's window
    std::optional<TimeGate> gate;  // applied to the frequency formats

    // What the builds so far could not do, each once ("S21: ..."), and whether a time
    // response had to resample its frequencies first.
    mutable std::vector<std::string> problems;
    mutable bool resampled = false;

    // The time traces of one builder hold at most about this many points in all (the last
    // may overshoot): beyond it, further time items are refused, so no view runs for minutes.
    static constexpr std::size_t TIME_POINT_BUDGET = std::size_t{1} << 24;
    mutable std::size_t timePoints = 0;

private:
    bool BuildQuality(const CS2pData& data, int fileNumber, int value, CChartTrace& trace) const;
    bool BuildTime(const CS2pData& data, int fileNumber, int value, int valueFormat,
                   CChartTrace& trace) const;
    // The gated copy of a data set, made once per builder; nullptr when it cannot be gated.
    const CS2pData* Gated(const CS2pData& data) const;
    void Problem(const std::string& text) const;

    mutable std::map<const CS2pData*, std::optional<CS2pData>> gatedCopies;
};
