#include "app/cli/TerminalProgress.h"

#include "platform/AsciiText.h"

void CTerminalProgress::Begin(const std::string& label)
{
    const std::size_t slash = label.find_last_of('/');
    name = EscapeName(slash == std::string::npos ? label : label.substr(slash + 1));
    start = std::chrono::steady_clock::now();
}

bool CTerminalProgress::Advance(std::uintmax_t done, std::uintmax_t total)
{
    // A quick read shows nothing.
    if (total == 0 || std::chrono::steady_clock::now() - start < std::chrono::milliseconds(500))
        return true;
    const unsigned percent = static_cast<unsigned>(done >= total ? 100 : done * 100 / total);
    line.Show("torvex: reading " + name + "  " + std::to_string(percent) + " %");
    return true;
}

void CTerminalProgress::End()
{
    line.Erase();
}
