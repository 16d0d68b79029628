// The analysis modes of the command line: --measure and --limits.
#include "app/cli/CommandLine.h"

#include "app/TorvexSession.h"
#include "app/cli/ChartOptions.h"
#include "app/cli/CollectingSink.h"
#include "app/cli/CsvTables.h"
#include "chart/LimitMask.h"
#include "data/LineFile.h"
#include "platform/AsciiText.h"

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

bool CCommandLine::ParseSpan(const std::string& text, double& low, double& high)
{
    std::vector<double> ends;
    if (!ParseMarkers(text, ends) || ends.size() != 2 || !(ends[0] < ends[1]))
        return false;
    low = ends[0];
    high = ends[1];
    return true;
}

namespace {

// Takes "--span F1,F2" out of args for the searches; false (reported) when it is bad.
bool TakeSpan(std::vector<std::string>& args, bool& haveSpan, double& low, double& high,
              std::ostream& err)
{
    haveSpan = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--span")
            continue;
        if (i + 1 >= args.size() || !CCommandLine::ParseSpan(args[i + 1], low, high)) {
            err << "torvex: bad --span" << (i + 1 < args.size() ? " '" + args[i + 1] + "'" : "")
                << ": use two numbers F1,F2 with F1 below F2\n";
            return false;
        }
        haveSpan = true;
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        --i;
    }
    return true;
}

// Options and files of --measure and --limits: --view and FILE... only.
bool ParseAnalysisOptions(const std::vector<std::string>& args, const char* mode,
                          CChartOptions& opts, std::ostream& err)
{
    if (!opts.Parse(args, 0, err))
        return false;
    if (opts.haveSize || opts.haveMarkers) {
        err << "torvex: --size and --markers do not apply to " << mode << '\n';
        return false;
    }
    if (opts.files.empty()) {
        err << "torvex: " << mode << " needs at least one FILE\n";
        return false;
    }
    return true;
}

// The mask file as text: regular files only, and nothing a mask could never be.
bool ReadMaskText(const std::string& path, std::string& text)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) ||
        std::filesystem::file_size(path, ec) > MAX_READ_BYTES || ec)
        return false;
    std::ifstream in(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

int CCommandLine::Measure(const std::vector<std::string>& argList)
{
    std::vector<std::string> args = argList;
    const std::string what = args.empty() ? std::string() : AsciiLower(args[0]);
    double below = 0.0;
    bool bandwidth = false;
    if (what.rfind("bw:", 0) == 0) {
        std::vector<double> n;
        bandwidth = ParseMarkers(what.substr(3), n) && n.size() == 1 && n[0] > 0.0;
        if (!bandwidth) {
            err << "torvex: bad --measure '" << args[0] << "': N of bw:N is a number above 0\n";
            return 2;
        }
        below = n[0];
    } else if (what != "peak" && what != "min") {
        err << "torvex: --measure needs peak, min or bw:N (N dB below the maximum)\n";
        return 2;
    }
    if (!args.empty())
        args.erase(args.begin());
    bool haveSpan = false;
    double low = 0.0;
    double high = 0.0;
    CChartOptions opts;
    if (!TakeSpan(args, haveSpan, low, high, err) ||
        !ParseAnalysisOptions(args, "--measure", opts, err))
        return 2;

    CCollectingSink sink(err);
    CTorvexSession session;
    if (const int status = opts.Load(session, err))
        return status;
    const CChartGraph& graph = session.Graph();
    // All the data: the X axis of a Smith or polar chart is never fitted to it.
    if (!haveSpan) {
        low = -std::numeric_limits<double>::infinity();
        high = std::numeric_limits<double>::infinity();
    }
    const std::string unit = FreqUnitLabel(session.Slot(1).freqUnit);
    if (bandwidth)
        WriteBandwidthTable(graph, below, low, high, unit, out);
    else
        WriteExtremeTable(graph, what == "peak", low, high, unit, out);
    return 0;
}

int CCommandLine::Limits(const std::vector<std::string>& args)
{
    if (args.empty() || args[0].empty() || args[0][0] == '-') {
        err << "torvex: --limits needs a MASK file\n";
        return 2;
    }
    const std::string& maskPath = args[0];
    CChartOptions opts;
    if (!ParseAnalysisOptions({args.begin() + 1, args.end()}, "--limits", opts, err))
        return 2;
    std::string text;
    if (!ReadMaskText(maskPath, text)) {
        err << "torvex: cannot read the mask '" << maskPath << "'\n";
        return 2;
    }
    CLimitMask mask;
    std::vector<CLimitMask::ParseError> errors;
    if (!mask.Parse(text, errors)) {
        for (const CLimitMask::ParseError& e : errors) {
            err << "torvex: " << maskPath;
            if (e.line > 0)
                err << ':' << e.line;
            err << ": " << e.message << '\n';
        }
        return 2;
    }

    CCollectingSink sink(err);
    CTorvexSession session;
    if (const int status = opts.Load(session, err))
        return status;
    const CChartGraph& graph = session.Graph();
    const std::vector<LimitResult> results = mask.Evaluate(graph.traces);
    WriteLimitTable(graph, mask, results, FreqUnitLabel(session.Slot(1).freqUnit), out);
    return CLimitMask::AllPass(results) ? 0 : 1;
}
