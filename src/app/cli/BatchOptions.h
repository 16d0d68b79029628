// The options that run a command over many files: --each, --jobs N and --envelope.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class CBatchOptions {
public:
    // Takes --each, --envelope and --jobs N (also --jobs=N) out of args, up to a "--";
    // false (reported on err) for a --jobs without a whole number of at least 1.
    bool Take(std::vector<std::string>& args, std::ostream& err);
    // False (reported) when the command `mode` takes neither of them: --each with a command
    // other than --measure, --limits, --table and --check, --envelope with other than
    // --export, or --jobs without one of them.
    bool FitMode(const std::string& mode, std::ostream& err) const;
    // "N" with 1 <= N <= MAX_JOBS.
    static bool ParseJobs(const std::string& text, int& count);
    // Whether args (the words after the mode, up to a "--") name a batch option.
    static bool Named(const std::vector<std::string>& args);

    static constexpr int MAX_JOBS = 256;
    bool each = false;
    bool envelope = false;
    bool haveJobs = false;
    int jobs = 0;  // 0: one per core
};
