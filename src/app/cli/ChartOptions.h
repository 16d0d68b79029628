// What the command-line modes that build a chart share: their options, the files after
// them, and loading both into a session the way the window would.
#pragma once

#include "app/cli/NetworkOptions.h"
#include "app/TorvexSession.h"
#include "app/ValueFormatPair.h"
#include "data/MixedMode.h"

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

class CTorvexSession;
class QCommandLineParser;

class CChartOptions {
public:
    // Reads args from index first on: --view, --pairing, --size, --markers (each also as
    // --name=value) and the files; after "--" every word is a file. False (a usage error,
    // already reported on err) on a bad word or too many files.
    bool Parse(const std::vector<std::string>& args, std::size_t first, std::ostream& err);

    // Parse for --measure and --limits (mode names it): --view, --pairing and FILE... only,
    // at least one FILE.
    bool ParseAnalysis(const std::vector<std::string>& args, const char* mode, std::ostream& err);

    // Loads the files into the session's slots and applies the view. A --view is taken as
    // it is: its items no loaded file has are named on err, and so are the traces the
    // chart's cap leaves out. Returns 0 when there is something to plot, 1 when no file
    // loaded, 2 when nothing of the view is left (reported).
    int Load(CTorvexSession& session, std::ostream& err) const;
    // These options for other files: what a command runs on each file of a lot.
    CChartOptions On(const std::vector<std::string>& otherFiles) const
    {
        CChartOptions copy = *this;
        copy.files = otherFiles;
        return copy;
    }
    // Writes the session's chart as the image OUT names, with --markers and --size (default:
    // the window's chart size at start); 0, or 1 with the cause on err.
    int WriteImage(CTorvexSession& session, const std::string& outPath, std::ostream& err) const;

    // Any number of files (--each, --envelope), not at most the five slots.
    bool anyFileCount = false;
    ViewSelection selection;
    int preset = -1;
    bool haveView = false;
    bool haveSize = false;
    bool haveMarkers = false;
    int width = 0;
    int height = 0;
    std::vector<double> markers;
    std::vector<std::string> files;
    PortPairing pairing = PortPairing::ACROSS;
    // --window, --gate, --gate-shape, --time, --distance.
    TimeDomainSettings time;
    bool haveTime = false;
    // --renormalize, --cascade, --deembed, --terminate, --reorder: applied to every loaded
    // file, in the order given, before the chart is built.
    CNetworkOptions operations;

private:
    // The time-domain options; false when name is none of them, timeError when its value
    // is bad (reported).
    bool TakeTimeValue(const std::string& name, const std::string& value, std::ostream& err);
    // The operations on every loaded slot, then the chart built anew: 0, or the exit status
    // of a refusal (2) or a file that cannot be read (1), reported.
    int ApplyOperations(CTorvexSession& session, std::ostream& err) const;
    // Time-domain options the view gives nothing to do are named on err.
    void WarnUnusedTimeOptions(const CTorvexSession& session, std::ostream& err) const;
    bool haveGateShape = false;
    bool haveWindow = false;
    bool timeError = false;
    bool TakeScanned(const QCommandLineParser& parser, std::ostream& err);
    bool TakeOptions(const QCommandLineParser& parser, std::ostream& err);
    bool TakeValue(const std::string& name, const std::string& value, std::ostream& err);
};
