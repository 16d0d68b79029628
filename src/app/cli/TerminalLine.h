// One line of a terminal written over as a run goes on (progress), at most ten times a
// second, and wiped when done, so that what follows starts on a clean line.
#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <string>

class CTerminalLine {
public:
    // The line goes to out (nothing when out is null).
    explicit CTerminalLine(std::ostream* stream = nullptr) : out(stream) {}

    // Writes text over the line, unless it was written less than a tenth of a second ago
    // (always when now is set).
    void Show(const std::string& text, bool now = false);
    // Wipes the line, if one is shown.
    void Erase();

private:
    std::ostream* out;
    std::size_t width = 0;  // of the widest text shown, 0: none
    std::chrono::steady_clock::time_point last;
};
