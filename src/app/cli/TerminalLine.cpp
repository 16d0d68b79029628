#include "app/cli/TerminalLine.h"

#include <algorithm>
#include <ostream>

void CTerminalLine::Show(const std::string& text, bool now)
{
    if (!out)
        return;
    const auto time = std::chrono::steady_clock::now();
    // A terminal that scrolls thousands of lines slows the run more than the work does.
    if (width > 0 && !now && time - last < std::chrono::milliseconds(100))
        return;
    last = time;
    std::string padded = text;
    if (padded.size() < width)
        padded.append(width - padded.size(), ' ');
    width = std::max(width, text.size());
    *out << '\r' << padded << std::flush;
}

void CTerminalLine::Erase()
{
    if (!out || width == 0)
        return;
    *out << '\r' << std::string(width, ' ') << '\r' << std::flush;
    width = 0;
}
