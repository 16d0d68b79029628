// Writing a data set as a Touchstone file, version 1 (.sNp) or version 2 (.ts), so that the
// readers take it back as it was: RI numbers to the last bit, MA and DB to rounding.
#pragma once

#include <string>
#include <vector>

class CS2pData;

namespace TouchstoneWriter {

struct Options {
    int version = 1;  // 1 or 2
    int format = -1;  // RI, MA or DB; -1: the file's own (CS2pData::fileFormat)
    int unit = -1;    // a CS2pData::FreqUnit; -1: the file's own (fileFreqUnit, else freqUnit)
    // Written first, each as a comment line ("! " and the line, control bytes as blanks).
    std::vector<std::string> comments;
};

// Write's result for data that the version cannot hold (why says what to do).
constexpr int REFUSED = -1;

// The file's text. Numbers have 17 significant digits; frequencies are converted to the
// unit only when it is not the data's own. Version 1: the option line "# GHZ S RI R 50",
// 1 and 2 ports a record a line (2 ports in the order 11 21 12 22), more ports a matrix row
// from a new line, 4 pairs a line. Version 2: [Version] 2.0, the option line, [Number of
// Ports], [Two-Port Data Order] 12_21 for 2 ports (records then in row order, as all port
// counts), [Number of Frequencies], [Reference] when a port's reference is not R,
// [Mixed-Mode Order] for mixed-mode data, [Network Data], the records as in version 1, [End];
// Z, Y, H and G in ohms and siemens, as version 2 holds them. DB values are floored at
// -400 dB, so that a zero is a finite number too.
// False, with why, for data the version cannot hold (per-port references that differ or
// mixed-mode data in version 1), no records, and numbers that are not finite.
bool Format(const CS2pData& data, const Options& options, std::string& text, std::string& why);

// Format, written atomically a piece at a time (WriteChunksAtomic): FILE_OK, REFUSED with why
// (the file, if any, as it was), or the file's FILE_CANNOT_OPEN or FILE_WRITE_ERROR (its
// message shown).
int Write(const std::string& path, const CS2pData& data, const Options& options, std::string& why);

}  // namespace TouchstoneWriter
