#include "app/cli/ChartOptions.h"

#include "app/ChartExport.h"
#include "app/dialogs/DialogUnits.h"

#include "app/cli/CommandLine.h"
#include "app/TorvexSession.h"
#include "platform/AsciiText.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <utility>

namespace {

const char* const viewForms =
    "use Sij:db, Sij:phase or Sij:delay (also :lin, :vswr, :re, :im, :polar, the time "
    "responses :impulse, :step, :bandpass, and for Sii :r, :x, :z, :smith, :tdr) with i and j "
    "the ports (Si_j, Sddij, ... as the "
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

namespace {

const char* const valueOptions[] = {"view",       "pairing", "size",      "markers",  "window",
                                    "gate-shape", "gate",    "time",      "distance", "renormalize",
                                    "cascade",    "deembed", "terminate", "reorder"};

// Qt scans the words: "--view LIST", "--view=LIST" and "--" before FILEs named like
// options. Its own messages are never shown; ours name the word as it was given.
bool ScanWords(QCommandLineParser& parser, const std::vector<std::string>& args, std::size_t first,
               std::size_t count)
{
    for (const char* name : valueOptions)
        parser.addOption(QCommandLineOption(name, QString(), "value"));
    // Latin-1 both ways keeps every byte: a file name need not be valid UTF-8.
    QStringList words{"torvex"};  // parse() skips the program name
    for (std::size_t i = first; i < first + count; ++i)
        words.append(QString::fromLatin1(args[i].data(), static_cast<qsizetype>(args[i].size())));
    return parser.parse(words);
}

}  // namespace

bool CChartOptions::Parse(const std::vector<std::string>& args, std::size_t first,
                          std::ostream& err)
{
    const std::size_t count = args.size() > first ? args.size() - first : 0;
    QCommandLineParser all;
    ScanWords(all, args, first, count);
    if (all.unknownOptionNames().isEmpty())
        return TakeScanned(all, err);
    // Qt names unknown options but not where they stand. The words before the first one
    // are read first, as their errors come before it; the shortest prefix that holds an
    // unknown option ends with it.
    std::size_t upTo = 1;
    for (; upTo < count; ++upTo) {
        QCommandLineParser prefix;
        ScanWords(prefix, args, first, upTo);
        if (!prefix.unknownOptionNames().isEmpty())
            break;
    }
    QCommandLineParser before;
    ScanWords(before, args, first, upTo - 1);
    if (!TakeOptions(before, err))
        return false;
    err << "torvex: unknown option '" << EscapeName(args[first + upTo - 1]) << "' (try --help)\n";
    return false;
}

bool CChartOptions::TakeScanned(const QCommandLineParser& parser, std::ostream& err)
{
    if (!TakeOptions(parser, err))
        return false;
    for (const QString& file : parser.positionalArguments())
        files.push_back(file.toLatin1().toStdString());
    if (!anyFileCount && files.size() > static_cast<std::size_t>(CTorvexSession::SLOT_COUNT)) {
        err << "torvex: at most " << CTorvexSession::SLOT_COUNT << " files can be plotted\n";
        return false;
    }
    return true;
}

bool CChartOptions::TakeOptions(const QCommandLineParser& parser, std::ostream& err)
{
    // Each option's values in the order the words gave them; the first bad one is named.
    std::map<QString, int> taken;
    for (const QString& name : parser.optionNames()) {
        const QStringList values = parser.values(name);
        const int index = taken[name]++;
        if (index >= values.size()) {  // only the last word can lack its value
            err << "torvex: --" << name.toStdString() << " needs a value\n";
            return false;
        }
        if (!TakeValue(name.toStdString(), values[index].toLatin1().toStdString(), err))
            return false;
    }
    return true;
}

bool CChartOptions::TakeValue(const std::string& name, const std::string& value, std::ostream& err)
{
    if (name == "view") {
        std::string badItem;
        std::string reason;
        if (!CCommandLine::ParseView(value, selection, preset, badItem, &reason)) {
            err << "torvex: bad --view item '" << EscapeName(badItem)
                << "': " << (reason.empty() ? viewForms : reason.c_str()) << '\n';
            return false;
        }
        haveView = true;
    } else if (name == "pairing") {
        if (!CCommandLine::ParsePairing(value, pairing)) {
            err << "torvex: bad --pairing '" << EscapeName(value)
                << "': use 13 (pairs 1-3, 2-4) or 12 (pairs 1-2, 3-4)\n";
            return false;
        }
    } else if (TakeTimeValue(name, value, err)) {
        return !timeError;
    } else if (CNetworkOptions::IsOperation(name)) {
        return operations.Take(name, value, err);
    } else if (name == "size") {
        if (!CCommandLine::ParseSize(value, width, height)) {
            err << "torvex: bad --size '" << EscapeName(value) << "': use WxH with 1.."
                << CCommandLine::MAX_IMAGE_SIDE << " pixels each\n";
            return false;
        }
        haveSize = true;
    } else if (!CCommandLine::ParseMarkers(value, markers)) {
        err << "torvex: bad --markers '" << EscapeName(value)
            << "': use comma-separated numbers such as 1900,2000.5\n";
        return false;
    } else {
        haveMarkers = true;
    }
    return true;
}

bool CChartOptions::TakeTimeValue(const std::string& name, const std::string& value,
                                  std::ostream& err)
{
    const auto bad = [&](const char* forms) {
        err << "torvex: bad --" << name << " '" << EscapeName(value) << "': " << forms << '\n';
        timeError = true;
        return true;
    };
    if (name == "window") {
        if (!TimeWindow::Parse(value, time.window))
            return bad("use rect, hann, kaiser:BETA (0 to 100), min, normal or max");
        haveWindow = true;
    } else if (name == "gate") {
        if (!TimeGate::Parse(value, time.gate))
            return bad("use T1,T2 or T1,T2,notch in ns with T1 < T2");
        time.gateOn = true;
    } else if (name == "gate-shape") {
        if (!TimeGate::ParseShape(value, time.gate.shape))
            return bad("use min, normal, wide or max");
        haveGateShape = true;
    } else if (name == "time") {
        TimeTraceOptions::Range range;
        if (!ParseTimeRange(value, range.fromNs, range.toNs))
            return bad("use T1,T2 in ns with T1 < T2");
        time.range = range;
    } else if (name == "distance") {
        double factor = 1.0;
        if (!ParseVelocityFactor(value, factor))
            return bad("use a velocity factor from 0.01 to 1");
        time.velocityFactor = factor;
    } else {
        return false;
    }
    haveTime = true;
    return true;
}

bool CChartOptions::ParseAnalysis(const std::vector<std::string>& args, const char* mode,
                                  std::ostream& err)
{
    if (!Parse(args, 0, err))
        return false;
    if (haveSize || haveMarkers) {
        err << "torvex: --size and --markers do not apply to " << mode << '\n';
        return false;
    }
    if (files.empty()) {
        err << "torvex: " << mode << " needs at least one FILE\n";
        return false;
    }
    return true;
}

int CChartOptions::Load(CTorvexSession& session, std::ostream& err) const
{
    session.portPairing = pairing;  // before the traces are built
    session.timeDomain = time;
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
    if (const int status = ApplyOperations(session, err))
        return status;
    // A preset depends on the port counts of the files actually loaded.
    if (preset >= 0)
        session.ApplySelection(session.PresetSelection(preset));

    // The default view asks for nothing in particular.
    std::vector<std::string> missing;
    for (const ValueFormatPair& pair : session.MissingItems())
        missing.push_back(CCommandLine::ViewItemName(pair));
    if (haveView && !missing.empty())
        err << "torvex: no loaded file has " << NameList(missing) << '\n';
    for (const std::string& problem : session.buildProblems)
        err << "torvex: " << EscapeName(problem) << '\n';
    WarnUnusedTimeOptions(session, err);
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

void CChartOptions::WarnUnusedTimeOptions(const CTorvexSession& session, std::ostream& err) const
{
    const bool timeView = CTorvexSession::IsTimeView(session.ShownSelection());
    if (!timeView && (time.range || time.velocityFactor))
        err << "torvex: --time and --distance apply to time views (:impulse, :step, :bandpass,"
               " :tdr); this view shows frequencies\n";
    if (haveWindow && !timeView && !time.gateOn)
        err << "torvex: --window has no effect on a frequency view without --gate\n";
    if (haveGateShape && !time.gateOn)
        err << "torvex: --gate-shape has no effect without --gate\n";
    const ViewSelection shown = session.ShownSelection();
    if (time.gateOn && !timeView && !shown.empty()
        && std::all_of(shown.begin(), shown.end(),
                       [](const ValueFormatPair& p) { return ValueCode::IsQuality(p.value); }))
        err << "torvex: --gate applies to no item of this view: S:sigma and S:recip judge the"
               " files as they are\n";
    if (time.gateOn && timeView)
        err << "torvex: --gate changes the frequency items; on this time view its bounds are"
               " only drawn\n";
}

int CChartOptions::ApplyOperations(CTorvexSession& session, std::ostream& err) const
{
    if (operations.Empty())
        return 0;
    for (int n = 1; n <= CTorvexSession::SLOT_COUNT; ++n) {
        CS2pData& slot = session.Slot(n);
        if (!slot.loaded)
            continue;
        std::string why;
        bool unreadable = false;
        if (!operations.Apply(slot, why, unreadable)) {
            err << "torvex: " << EscapeName(slot.GetDisplayName()) << ": " << why << '\n';
            return unreadable ? 1 : 2;
        }
    }
    session.RebuildPlot(true, true);
    return 0;
}

int CChartOptions::WriteImage(CTorvexSession& session, const std::string& outPath,
                              std::ostream& err) const
{
    if (haveMarkers)
        session.Graph().SetMarkers(markers);
    int w = width;
    int h = height;
    if (!haveSize)
        ChartSizeAtStart(w, h);
    std::string error;
    if (!ExportChart(session.sheet, outPath, w, h, error)) {
        err << "torvex: " << error << '\n';
        return 1;
    }
    return 0;
}
