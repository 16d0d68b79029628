#include "app/cli/TerminalProgress.h"

#include "platform/AsciiText.h"

#include <ostream>

namespace {
constexpr auto SHOW_AFTER = std::chrono::milliseconds(500);
constexpr auto STEP = std::chrono::milliseconds(100);  // between two updates of the line
}  // namespace

CTerminalProgress::CTerminalProgress(std::ostream& terminal) : out(terminal) {}

void CTerminalProgress::Begin(const std::string& label)
{
    const std::size_t slash = label.find_last_of('/');
    name = EscapeName(slash == std::string::npos ? label : label.substr(slash + 1));
    start = last = Clock::now();
    width = 0;
}

bool CTerminalProgress::Advance(std::uintmax_t done, std::uintmax_t total)
{
    const Clock::time_point now = Clock::now();
    if (now - start < SHOW_AFTER || (width > 0 && now - last < STEP) || total == 0)
        return true;
    last = now;
    const unsigned percent = static_cast<unsigned>(done >= total ? 100 : done * 100 / total);
    std::string text = "torvex: reading " + name + "  " + std::to_string(percent) + " %";
    const std::size_t length = text.size();
    if (length < width)
        text.append(width - length, ' ');
    width = std::max(width, length);
    out << '\r' << text << std::flush;
    return true;
}

void CTerminalProgress::End()
{
    if (width > 0)
        out << '\r' << std::string(width, ' ') << '\r' << std::flush;
    width = 0;
}
