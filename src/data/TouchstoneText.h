// Pieces of Touchstone lines that both readers (version 1 and version 2) cut the same way.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CNumberReader;

namespace TouchstoneText {
// The numbers part of a data line: a "!" starts a comment that runs to the line end.
std::string_view WithoutComment(std::string_view line);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// A line as a message names it: `line 7 "1 0.5x 0"`, its start quoted with control bytes
// escaped.
std::string LineRef(std::size_t number, std::string_view line);
// Why the word that tokens read last is refused as a number: `"0.5x" is not a number`.
std::string BadNumber(const CNumberReader& tokens);
// Why pair number `pair` (from 1) of a record is refused: its value is no finite number
// (a magnitude of 1e400 in dB, say).
std::string PairOutOfRange(double a, double b, int pair);
// Why a line of noise parameters is refused (five finite numbers from a frequency of 0 on),
// without the line's name; empty when it is sound.
std::string NoiseLineFault(std::string_view line);
}  // namespace TouchstoneText
