// --measure peak|min|bw:N: per trace a point or a band, as CSV.
#include "app/cli/CommandLine.h"

#include <cstddef>
#include <limits>
#include <ostream>
#include <string>
#include <vector>
#include "app/cli/BatchOptions.h"
#include "app/cli/ChartOptions.h"
#include "app/cli/CollectingSink.h"
#include "app/cli/CsvTables.h"
#include "app/cli/FileCommand.h"
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

// The search once its words are read, on any files.
class CMeasureRun : public CFileCommand {
public:
    int Run(const std::vector<std::string>& files, std::ostream& out,
            std::ostream& err) const override;

    CChartOptions opts;
    std::string what;  // "peak", "min" or "bw:N"
    double below = 0.0;
    bool bandwidth = false;
    bool haveSpan = false;
    double low = 0.0;
    double high = 0.0;
};

int CMeasureRun::Run(const std::vector<std::string>& files, std::ostream& out,
                     std::ostream& err) const
{
    const CChartOptions fileOpts = opts.On(files);
    CCollectingSink sink(err);
    CTorvexSession session;
    if (const int status = fileOpts.Load(session, err))
        return status;
    const CChartGraph& graph = session.Graph();
    if (bandwidth && session.ShowsTime()) {
        err << "torvex: bw:N measures a band of frequencies; a time view has peak and min\n";
        return 2;
    }
    // All the data: the X axis of a Smith or polar chart is never fitted to it.
    const double from = haveSpan ? low : -std::numeric_limits<double>::infinity();
    const double to = haveSpan ? high : std::numeric_limits<double>::infinity();
    const std::string unit = FreqUnitLabel(session.Slot(1).freqUnit);
    if (bandwidth)
        WriteBandwidthTable(graph, below, from, to, unit, out);
    else
        WriteExtremeTable(graph, what == "peak", from, to, session.XColumn(), out);
    return 0;
}

}  // namespace

int CCommandLine::Measure(const std::vector<std::string>& argList)
{
    std::vector<std::string> args = argList;
    CBatchOptions batch;
    if (!batch.Take(args, err) || !batch.FitMode("--measure", err))
        return 2;
    CMeasureRun run;
    run.what = args.empty() ? std::string() : AsciiLower(args[0]);
    if (run.what.rfind("bw:", 0) == 0) {
        std::vector<double> n;
        run.bandwidth = ParseMarkers(run.what.substr(3), n) && n.size() == 1 && n[0] > 0.0;
        if (!run.bandwidth) {
            err << "torvex: bad --measure '" << EscapeName(args[0])
                << "': N of bw:N is a number above 0\n";
            return 2;
        }
        run.below = n[0];
    } else if (run.what != "peak" && run.what != "min") {
        err << "torvex: --measure needs peak, min or bw:N (N dB below the maximum)\n";
        return 2;
    }
    if (!args.empty())
        args.erase(args.begin());
    run.opts.anyFileCount = batch.each;
    if (!TakeSpan(args, run.haveSpan, run.low, run.high, err)
        || !run.opts.ParseAnalysis(args, "--measure", err))
        return 2;
    return RunFiles(run, run.opts.files, batch);
}
