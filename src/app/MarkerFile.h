// Marker files: marker frequencies, one or more a line. Std only, so that the reading
// rules can be tested and fuzzed without a window.
#pragma once

#include "data/LineFile.h"

#include <cstddef>
#include <string>
#include <vector>

class CMarkerFile {
public:
    // A file gives at most this many values; more are ignored.
    static constexpr std::size_t MAX_VALUES = 21;

    // The values of a marker file's lines (as ReadLines gives them): numbers separated by
    // commas (or tabs), read like atof, only those above 0.00001 and finite, at most
    // MAX_VALUES, in file order.
    static std::vector<double> Parse(const LineList& lines);
    // Reads the file a piece at a time up to its MAX_VALUES-th value, so that a huge file
    // costs neither memory nor time: ReadLines' result code (its message shown).
    static int Read(const std::string& path, std::vector<double>& values);
};
