// Every trace a view can ask for, of any loaded data set: the element formats the data set
// derives itself, and the quantities over all its frequencies that the rf mathematics
// derives (the quality of the whole matrix). The session, the command line and the window's
// exports all build through one of these, so each shows the same numbers.
#pragma once

#include "data/MixedMode.h"

#include <string>

class CChartTrace;
class CS2pData;

class CTraceBuilder {
public:
    // Whether Build would derive the quantity from the data set.
    bool CanBuild(const CS2pData& data, int value, int valueFormat) const;
    // Derives the trace; false when the data set has no such quantity or it cannot be
    // computed (why, when given, says so). The trace takes the data set's name for it and
    // the next palette colour, as CS2pData::BuildTrace does.
    bool Build(const CS2pData& data, int fileNumber, int value, int valueFormat,
               CChartTrace& trace, std::string* why = nullptr) const;

    PortPairing pairing = PortPairing::ACROSS;

private:
    bool BuildQuality(const CS2pData& data, int fileNumber, int value, CChartTrace& trace,
                      std::string* why) const;
};
