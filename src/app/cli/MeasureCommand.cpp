// --measure peak|min|bw:N: per trace a point or a band, as CSV.
#include "app/cli/CommandLine.h"

#include <cstddef>
#include <limits>
#include <ostream>
#include <string>
#include <vector>
#include "app/cli/ChartOptions.h"
#include "app/cli/CollectingSink.h"
#include "app/cli/CsvTables.h"
#include "app/dialogs/DialogUnits.h"
#include "app/TorvexSession.h"
#include "platform/AsciiText.h"

namespace {

// Takes "--span F1,F2" out of args for the searches; false (reported) when it is bad.
bool TakeSpan(std::vector<std::string>& args, bool& haveSpan, double& low, double& high,
              std::ostream& err)
{
    haveSpan = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--")
            break;  // file names follow
        const bool joined = args[i].rfind("--span=", 0) == 0;
        if (args[i] != "--span" && !joined)
            continue;
        const bool given = joined || i + 1 < args.size();
        const std::string value = joined ? args[i].substr(7) : given ? args[i + 1] : std::string();
        if (!given || !CCommandLine::ParseSpan(value, low, high)) {
            err << "torvex: bad --span" << (given ? " '" + EscapeName(value) + "'" : "")
                << ": use two numbers F1,F2 with F1 below F2\n";
            return false;
        }
        haveSpan = true;
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + (joined ? 1 : 2));
        --i;
    }
    return true;
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
            err << "torvex: bad --measure '" << EscapeName(args[0])
                << "': N of bw:N is a number above 0\n";
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
    if (!TakeSpan(args, haveSpan, low, high, err) || !opts.ParseAnalysis(args, "--measure", err))
        return 2;

    CCollectingSink sink(err);
    CTorvexSession session;
    if (const int status = opts.Load(session, err))
        return status;
    const CChartGraph& graph = session.Graph();
    if (bandwidth && session.ShowsTime()) {
        err << "torvex: bw:N measures a band of frequencies; a time view has peak and min\n";
        return 2;
    }
    // All the data: the X axis of a Smith or polar chart is never fitted to it.
    if (!haveSpan) {
        low = -std::numeric_limits<double>::infinity();
        high = std::numeric_limits<double>::infinity();
    }
    const std::string unit = FreqUnitLabel(session.Slot(1).freqUnit);
    if (bandwidth)
        WriteBandwidthTable(graph, below, low, high, unit, out);
    else
        WriteExtremeTable(graph, what == "peak", low, high, session.XColumn(), out);
    return 0;
}
