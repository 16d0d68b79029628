// A read that takes more than half a second shows how far it has come on a terminal: one
// line, written over as it grows and wiped at the end, so that what follows starts clean.
#pragma once

#include "app/cli/TerminalLine.h"
#include "platform/Progress.h"

#include <chrono>
#include <iosfwd>
#include <string>

class CTerminalProgress : public CProgressHook {
public:
    explicit CTerminalProgress(std::ostream& terminal) : line(&terminal) {}

    void Begin(const std::string& label) override;
    bool Advance(std::uintmax_t done, std::uintmax_t total) override;
    void End() override;

private:
    CTerminalLine line;
    std::string name;
    std::chrono::steady_clock::time_point start;
};
