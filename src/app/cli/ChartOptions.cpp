#include "app/cli/ChartOptions.h"

#include "app/TorvexSession.h"
#include "app/cli/CommandLine.h"

#include <filesystem>
#include <ostream>
#include <utility>

namespace {

const char* const viewForms =
    "use Sij:db, Sij:phase or Sij:delay (also :lin, :vswr, :re, :im, :polar, and for Sii "
    ":r, :x, :z, :smith) with i and j the ports (Si_j, Sddij, ... as the "
    "traces are named), comma-separated, or one of "
    "il+rl, il+phase, il+delay, rl+phase, splitter, coupler, all-rl, all-il";

// Names in a message: all of a few, else the first ones, "..." and the last.
std::string NameList(const std::vector<std::string>& names)
{
    constexpr std::size_t kShown = 4;
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names.size() > kShown && i == kShown - 1) {
            list += ", ...";
            i = names.size() - 1;
        }
        list += (list.empty() ? "" : ", ") + names[i];
    }
    return list;
}

}  // namespace

bool CChartOptions::Parse(const std::vector<std::string>& args, std::size_t first,
                          std::ostream& err)
{
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool takesValue = word == "--view" || word == "--size" || word == "--markers" ||
                                word == "--pairing";
        if (takesValue && i + 1 >= args.size()) {
            err << "torvex: " << word << " needs a value\n";
            return false;
        }
        if (word == "--view") {
            std::string badItem;
            std::string reason;
            if (!CCommandLine::ParseView(args[++i], selection, preset, badItem, &reason)) {
                err << "torvex: bad --view item '" << badItem
                    << "': " << (reason.empty() ? viewForms : reason.c_str()) << '\n';
                return false;
            }
            haveView = true;
        } else if (word == "--pairing") {
            if (!CCommandLine::ParsePairing(args[++i], pairing)) {
                err << "torvex: bad --pairing '" << args[i]
                    << "': use 13 (pairs 1-3, 2-4) or 12 (pairs 1-2, 3-4)\n";
                return false;
            }
        } else if (word == "--size") {
            if (!CCommandLine::ParseSize(args[++i], width, height)) {
                err << "torvex: bad --size '" << args[i] << "': use WxH with 1.."
                    << CCommandLine::MAX_IMAGE_SIDE << " pixels each\n";
                return false;
            }
            haveSize = true;
        } else if (word == "--markers") {
            if (!CCommandLine::ParseMarkers(args[++i], markers)) {
                err << "torvex: bad --markers '" << args[i]
                    << "': use comma-separated numbers such as 1900,2000.5\n";
                return false;
            }
            haveMarkers = true;
        } else if (word.size() > 1 && word[0] == '-') {
            err << "torvex: unknown option '" << word << "' (try --help)\n";
            return false;
        } else {
            files.push_back(word);
        }
    }
    if (files.size() > static_cast<std::size_t>(CTorvexSession::SLOT_COUNT)) {
        err << "torvex: at most " << CTorvexSession::SLOT_COUNT << " files can be plotted\n";
        return false;
    }
    return true;
}

int CChartOptions::Load(CTorvexSession& session, std::ostream& err) const
{
    session.portPairing = pairing;  // before the traces are built
    // Only the default view may fall back to what the files have, as the window's does.
    session.substituteView = !haveView;
    if (haveView && preset < 0)
        session.viewSelection = selection;
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& path : files)
        entries.emplace_back(path, std::filesystem::path(path).filename().string());
    session.OpenFiles(entries);
    if (!session.dataLoaded)
        return 1;
    // A preset depends on the port counts of the files actually loaded.
    if (preset >= 0)
        session.ApplySelection(session.PresetSelection(preset));

    // The default view asks for nothing in particular.
    std::vector<std::string> missing;
    for (const ValueFormatPair& pair : session.MissingItems())
        missing.push_back(CCommandLine::ViewItemName(pair));
    if (haveView && !missing.empty())
        err << "torvex: no loaded file has " << NameList(missing) << '\n';
    const CChartGraph& graph = session.Graph();
    if (graph.traces.empty()) {
        err << "torvex: nothing to plot: the loaded files have nothing of the view\n";
        return 2;
    }
    const std::vector<std::string>& dropped = session.droppedTraces;
    if (!dropped.empty()) {
        err << "torvex: " << graph.tracesOffered << " traces asked for, a chart shows at most "
            << CChartGraph::kMaxTraces << ": the oldest " << dropped.size() << " ("
            << NameList(dropped) << ") are left out\n";
    }
    return 0;
}
