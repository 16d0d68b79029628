#include "app/cli/BatchOptions.h"

#include "platform/AsciiText.h"

#include <cstddef>
#include <ostream>

namespace {

bool IsJobsWord(const std::string& word)
{
    return word == "--jobs" || word.rfind("--jobs=", 0) == 0;
}

}  // namespace

bool CBatchOptions::ParseJobs(const std::string& text, int& count)
{
    if (text.empty() || text.size() > 3
        || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = std::stoi(text);
    return count >= 1 && count <= MAX_JOBS;
}

bool CBatchOptions::Named(const std::vector<std::string>& args)
{
    for (const std::string& word : args) {
        if (word == "--")
            return false;
        if (word == "--each" || word == "--envelope" || IsJobsWord(word))
            return true;
    }
    return false;
}

bool CBatchOptions::Take(std::vector<std::string>& args, std::ostream& err)
{
    for (std::size_t i = 0; i < args.size();) {
        const std::string& word = args[i];
        if (word == "--")
            break;  // file names follow
        std::size_t taken = 1;
        if (word == "--each") {
            each = true;
        } else if (word == "--envelope") {
            envelope = true;
        } else if (IsJobsWord(word)) {
            const bool joined = word.size() > 6;
            const bool given = joined || i + 1 < args.size();
            const std::string value = joined ? word.substr(7) : given ? args[i + 1] : std::string();
            if (!given || !ParseJobs(value, jobs)) {
                err << "torvex: bad --jobs" << (given ? " '" + EscapeName(value) + "'" : "")
                    << ": use a whole number of worker threads from 1 to " << MAX_JOBS << '\n';
                return false;
            }
            haveJobs = true;
            taken = joined ? 1 : 2;
        } else {
            ++i;
            continue;
        }
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i + taken));
    }
    return true;
}

bool CBatchOptions::FitMode(const std::string& mode, std::ostream& err) const
{
    const bool eachMode =
        mode == "--measure" || mode == "--limits" || mode == "--table" || mode == "--check";
    if (each && !eachMode) {
        err << "torvex: --each applies to --measure, --limits, --table and --check, not to " << mode
            << '\n';
        return false;
    }
    if (envelope && mode != "--export") {
        err << "torvex: --envelope applies to --export, not to " << mode << '\n';
        return false;
    }
    if (haveJobs && !each && !envelope) {
        err << "torvex: --jobs applies to --each and --envelope\n";
        return false;
    }
    return true;
}
