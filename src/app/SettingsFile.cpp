#include "app/SettingsFile.h"

#include "app/AppFlags.h"
#include "app/ExactNumber.h"
#include "chart/ChartGraph.h"
#include "data/MixedMode.h"
#include "data/S2pData.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

namespace {

const char* const KEY_LAST_PATH = "LastPath= ";
const char* const KEY_LAST_FILE = "LastFile= ";
const char* const KEY_PERS_X = "PersXscale= ";
const char* const KEY_PERS_Y = "PersYscale= ";
const char* const KEY_X_MAJOR = "X-major= ";
const char* const KEY_X_MINOR = "X-minor= ";
const char* const KEY_Y_MAJOR = "Y-major= ";
const char* const KEY_Y_MINOR = "Y-minor= ";
const char* const KEY_XA_MIN = "XA-min= ";
const char* const KEY_XA_MAX = "XA-max= ";
const char* const KEY_YL_MIN = "YL-min= ";
const char* const KEY_YL_MAX = "YL-max= ";
const char* const KEY_YR_MIN = "YR-min= ";
const char* const KEY_YR_MAX = "YR-max= ";
// The window's lines, after the fourteen.
const char* const KEY_VIEW = "View= ";  // value:format pairs, blank-separated
const char* const KEY_LINE_TYPE = "LineType= ";
const char* const KEY_LEGEND = "Legend= ";
const char* const KEY_CHART_KIND = "ChartKind= ";  // 0 rectangular, 1 Smith, 2 polar
const char* const KEY_FOLLOW = "FollowFiles= ";
const char* const KEY_PAIRING = "Pairing= ";         // mixed-mode port pairs: 13 or 12
const char* const KEY_RECENT = "Recent= ";           // one line per file, the latest first
const char* const KEY_FILE_FILTER = "FileFilter= ";  // the data choosers' filter, by name
// Time domain: the window, the shown range (ns; empty: all), the velocity factor of a
// distance axis (empty: time), the gate's span and whether it is on, its shape.
const char* const KEY_TIME_WINDOW = "TimeWindow= ";
const char* const KEY_TIME_RANGE = "TimeRange= ";
const char* const KEY_DISTANCE = "Distance= ";
const char* const KEY_GATE = "Gate= ";
const char* const KEY_GATE_ON = "GateOn= ";
const char* const KEY_GATE_SHAPE = "GateShape= ";

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// A time-domain line; false when the line is none. A value the parsers refuse changes
// nothing.
bool ApplyTimeLine(std::string_view line, TimeDomainSettings& time, bool& gateUnset)
{
    const auto value = [&line](const char* key) {
        return TrimView(line.substr(std::string_view(key).size() - 1));
    };
    if (StartsWith(line, KEY_TIME_WINDOW)) {
        TimeWindow::Parse(value(KEY_TIME_WINDOW), time.window);
    } else if (StartsWith(line, KEY_TIME_RANGE)) {
        TimeTraceOptions::Range range;
        if (value(KEY_TIME_RANGE).empty())
            time.range.reset();
        else if (ParseTimeRange(value(KEY_TIME_RANGE), range.fromNs, range.toNs))
            time.range = range;
    } else if (StartsWith(line, KEY_DISTANCE)) {
        double factor = 1.0;
        if (value(KEY_DISTANCE).empty())
            time.velocityFactor.reset();
        else if (ParseVelocityFactor(value(KEY_DISTANCE), factor))
            time.velocityFactor = factor;
    } else if (StartsWith(line, KEY_GATE_ON)) {
        time.gateOn = value(KEY_GATE_ON) == "YES";
    } else if (StartsWith(line, KEY_GATE_SHAPE)) {
        TimeGate::ParseShape(value(KEY_GATE_SHAPE), time.gate.shape);
    } else if (StartsWith(line, KEY_GATE)) {
        gateUnset = !TimeGate::Parse(value(KEY_GATE), time.gate);
    } else if (line == TrimView(KEY_GATE)) {
        gateUnset = true;  // written so, trimmed when read
    } else {
        return false;
    }
    return true;
}

void AddTimeLines(const TimeDomainSettings& time, bool gateUnset, LineList& lines)
{
    lines.push_back(KEY_TIME_WINDOW + time.window.Spelling());
    lines.push_back(KEY_TIME_RANGE
                    + (time.range
                           ? FormatExact(time.range->fromNs) + "," + FormatExact(time.range->toNs)
                           : std::string()));
    lines.push_back(KEY_DISTANCE + (time.velocityFactor ? FormatExact(*time.velocityFactor) : ""));
    // A gate never set stays unset rather than becoming the dialog's suggestion.
    lines.push_back(gateUnset ? std::string(KEY_GATE)
                              : KEY_GATE + FormatExact(time.gate.startNs) + ","
                            + FormatExact(time.gate.stopNs) + (time.gate.notch ? ",notch" : ""));
    lines.push_back(std::string(KEY_GATE_ON) + (time.gateOn ? "YES" : "NO"));
    lines.push_back(KEY_GATE_SHAPE + TimeGate::ShapeName(time.gate.shape));
}

// A whole value is a finite decimal number, its fraction dropped and kept to lo..hi; a
// value with anything else in it ("12abc", "nan") is no value, and the line changes
// nothing.
bool ReadInteger(std::string_view text, int lo, int hi, int& value)
{
    double number = 0.0;
    if (!ParseDouble(text, number))
        return false;
    value = static_cast<int>(std::clamp(std::trunc(number), double(lo), double(hi)));
    return true;
}

// A division count from the file. The Settings dialog allows 1..11; a hand-edited file
// with a count in the millions would make every paint draw millions of grid lines, so
// counts are kept to a number a plot can still show.
bool ReadDivisions(std::string_view line, int& count)
{
    return ReadInteger(TrimView(line.substr(std::min<std::size_t>(9, line.size()))), 1,
                       CSettingsFile::MAX_DIVISIONS, count);
}

// An axis limit: a decimal number, so the fractions shown on the axes survive. NaN,
// infinity and anything that is no number leave the limit as it was: no axis can show
// such a span.
void ReadLimit(std::string_view line, double& limit)
{
    double value = 0.0;
    if (ParseDouble(line.substr(std::min<std::size_t>(8, line.size())), value))
        limit = value;
}

// An axis limit as written: nothing after the key for a limit no file can hold, so that
// the line is ignored on reading rather than read as some other number.
std::string LimitText(double value)
{
    return std::isfinite(value) ? FormatExact(value) : std::string();
}

// Whether a line may be applied: control bytes (NUL, escape, ...) mean it was damaged or
// the file is no settings file at all. A tab is as good as a blank.
bool IsGoodLine(std::string_view line)
{
    return std::none_of(line.begin(), line.end(), [](char c) {
        const unsigned char u = static_cast<unsigned char>(c);
        return (u < 0x20 && u != '\t') || u == 0x7F;
    });
}

ViewSelection ParseView(std::string_view text)
{
    ViewSelection view;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = std::min(text.find(' ', i), text.size());
        const std::string_view item = text.substr(i, end - i);
        const std::size_t colon = item.find(':');
        int value = 0;
        int format = 0;
        if (colon != std::string_view::npos
            && ReadInteger(item.substr(0, colon), -1, INT_MAX, value)
            && ReadInteger(item.substr(colon + 1), -1, ValueFormat::COUNT, format) && value >= 0
            && format >= 0 && format < ValueFormat::COUNT)
            view.emplace_back(value, format);
        i = end + 1;
    }
    return view;
}

std::string Number(double value)
{
    return FormatNumber(value, -1, -1);
}

// Sets quietFileErrors for its lifetime: the settings file never shows a message.
class CQuietFiles {
public:
    CQuietFiles() : previous(quietFileErrors) { quietFileErrors = true; }
    ~CQuietFiles() { quietFileErrors = previous; }
    CQuietFiles(const CQuietFiles&) = delete;
    CQuietFiles& operator=(const CQuietFiles&) = delete;

private:
    bool previous;
};

}  // namespace

CSettingsFile::CSettingsFile(std::string filePath) : path(std::move(filePath)) {}

std::string CSettingsFile::DefaultPath()
{
    namespace fs = std::filesystem;
    fs::path base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && *home ? home : ".") / ".config";
    }
    return (base / "torvex" / "torvex.ini").string();
}

bool CSettingsFile::ApplyLine(const std::string& rawLine, std::string& lastPath,
                              std::string& lastFile, CChartGraph& graph, WindowPrefs* prefs)
{
    const std::string_view line = TrimView(rawLine);
    const auto after = [&line](const char* key) {
        return TrimView(line.substr(std::string_view(key).size() - 1));
    };
    int n = 0;
    if (prefs && StartsWith(line, KEY_VIEW)) {
        prefs->viewSelection = ParseView(after(KEY_VIEW));
    } else if (prefs && StartsWith(line, KEY_LINE_TYPE)) {
        if (ReadInteger(after(KEY_LINE_TYPE), 0, 3, n))
            graph.lineType = n;
    } else if (prefs && StartsWith(line, KEY_CHART_KIND)) {
        if (ReadInteger(after(KEY_CHART_KIND), 0, 2, n))
            prefs->chartKind = n;
    } else if (prefs && StartsWith(line, KEY_LEGEND)) {
        graph.showMarkers = after(KEY_LEGEND) != "NO";
    } else if (prefs && StartsWith(line, KEY_PAIRING)) {
        prefs->pairing = after(KEY_PAIRING) == "12" ? PortPairing::NEIGHBOURS : PortPairing::ACROSS;
    } else if (prefs && StartsWith(line, KEY_FOLLOW)) {
        prefs->followFiles = after(KEY_FOLLOW) != "NO";
    } else if (prefs && StartsWith(line, KEY_FILE_FILTER)) {
        prefs->fileFilter = std::string(after(KEY_FILE_FILTER));
    } else if (prefs && ApplyTimeLine(line, prefs->timeDomain, prefs->gateUnset)) {
    } else if (prefs && StartsWith(line, KEY_RECENT)) {
        const std::string_view recent = after(KEY_RECENT);
        if (!recent.empty() && prefs->recentFiles.size() < 5)
            prefs->recentFiles.emplace_back(recent);
    } else if (StartsWith(line, KEY_LAST_PATH)) {
        lastPath = std::string(TrimView(line.substr(10)));
    } else if (StartsWith(line, KEY_LAST_FILE)) {
        lastFile = std::string(TrimView(line.substr(10)));
    } else if (StartsWith(line, KEY_PERS_X)) {
        persistXScale = line.find("YES") != std::string_view::npos;
    } else if (StartsWith(line, KEY_PERS_Y)) {
        persistYScale = line.find("YES") != std::string_view::npos;
    } else if (StartsWith(line, KEY_X_MAJOR)) {
        if (ReadDivisions(line, n))
            graph.xMajorDivisions = n;
    } else if (StartsWith(line, KEY_X_MINOR)) {
        if (ReadDivisions(line, n))
            graph.SetXMinorDivisions(n);
    } else if (StartsWith(line, KEY_Y_MAJOR)) {
        if (ReadDivisions(line, n))
            graph.SetYMajorDivisions(n);
    } else if (StartsWith(line, KEY_Y_MINOR)) {
        if (ReadDivisions(line, n))
            graph.SetYMinorDivisions(n);
    } else if (StartsWith(line, KEY_XA_MIN)) {
        // Limits go in as stored, without the range rule: the file holds what was shown.
        ReadLimit(line, graph.xAxis.min);
    } else if (StartsWith(line, KEY_XA_MAX)) {
        ReadLimit(line, graph.xAxis.max);
    } else if (StartsWith(line, KEY_YL_MIN)) {
        ReadLimit(line, graph.leftAxis.min);
    } else if (StartsWith(line, KEY_YL_MAX)) {
        ReadLimit(line, graph.leftAxis.max);
    } else if (StartsWith(line, KEY_YR_MIN)) {
        ReadLimit(line, graph.rightAxis.min);
    } else if (StartsWith(line, KEY_YR_MAX)) {
        ReadLimit(line, graph.rightAxis.max);
    } else {
        return false;
    }
    return true;
}

void CSettingsFile::ApplyLines(const LineList& lines, std::string& lastPath, std::string& lastFile,
                               CChartGraph& graph, WindowPrefs* prefs)
{
    if (prefs)
        prefs->recentFiles.clear();
    for (const std::string& line : lines)
        ApplyLine(line, lastPath, lastFile, graph, prefs);
    // Gating switched on with no usable gate would gate at a span nobody chose.
    if (prefs && prefs->gateUnset)
        prefs->timeDomain.gateOn = false;
}

LineList CSettingsFile::GoodLines(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);  // a UTF-8 byte-order mark, as an editor may write it
    // One line at a time, and no more lines than the program ever writes many times over:
    // a huge file of junk must cost neither memory nor start-up time.
    constexpr std::size_t kMaxGoodLines = 1024;
    CLineCursor cursor(text);
    LineList lines;
    std::string_view line;
    while (lines.size() < kMaxGoodLines && cursor.Next(line))
        if (IsGoodLine(line))
            lines.emplace_back(line);
    return lines;
}

LineList CSettingsFile::BuildLines(const std::string& lastPath, const std::string& lastFile,
                                   const CChartGraph& graph, const WindowPrefs* prefs)
{
    LineList lines = {
        KEY_LAST_PATH + lastPath,
        KEY_LAST_FILE + lastFile,
        std::string(KEY_PERS_X) + (persistXScale ? "YES" : "NO"),
        std::string(KEY_PERS_Y) + (persistYScale ? "YES" : "NO"),
        KEY_X_MAJOR + Number(graph.xMajorDivisions),
        KEY_X_MINOR + Number(graph.xMinorDivisions),
        KEY_Y_MAJOR + Number(graph.yMajorDivisions),
        KEY_Y_MINOR + Number(graph.yMinorDivisions),
        KEY_XA_MIN + LimitText(graph.xAxis.min),
        KEY_XA_MAX + LimitText(graph.xAxis.max),
        KEY_YL_MIN + LimitText(graph.leftAxis.min),
        KEY_YL_MAX + LimitText(graph.leftAxis.max),
        KEY_YR_MIN + LimitText(graph.rightAxis.min),
        KEY_YR_MAX + LimitText(graph.rightAxis.max),
    };
    if (!prefs)
        return lines;
    std::string view;
    for (const ValueFormatPair& pair : prefs->viewSelection)
        view += (view.empty() ? "" : " ") + std::to_string(pair.value) + ":"
            + std::to_string(pair.valueFormat);
    lines.push_back(KEY_VIEW + view);
    lines.push_back(KEY_LINE_TYPE + std::to_string(graph.lineType));
    lines.push_back(std::string(KEY_LEGEND) + (graph.showMarkers ? "YES" : "NO"));
    lines.push_back(KEY_CHART_KIND + std::to_string(prefs->chartKind));
    lines.push_back(std::string(KEY_FOLLOW) + (prefs->followFiles ? "YES" : "NO"));
    lines.push_back(std::string(KEY_PAIRING)
                    + (prefs->pairing == PortPairing::NEIGHBOURS ? "12" : "13"));
    lines.push_back(KEY_FILE_FILTER + prefs->fileFilter);
    AddTimeLines(prefs->timeDomain, prefs->gateUnset, lines);
    for (const std::string& recent : prefs->recentFiles)
        lines.push_back(KEY_RECENT + recent);
    return lines;
}

int CSettingsFile::Read(std::string& lastPath, std::string& lastFile, CChartGraph& graph,
                        WindowPrefs* prefs) const
{
    const CQuietFiles quiet;
    // Read as bytes and sorted line by line: one damaged line costs that line only.
    std::string text;
    const int rc = ReadBytes(path, text);
    if (rc == FILE_OK)
        ApplyLines(GoodLines(text), lastPath, lastFile, graph, prefs);
    return rc;
}

int CSettingsFile::Write(const std::string& lastPath, const std::string& lastFile,
                         const CChartGraph& graph, const WindowPrefs* prefs) const
{
    const CQuietFiles quiet;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
        std::error_code ec;  // a folder that cannot be made shows up as a write failure
        std::filesystem::create_directories(folder, ec);
    }
    return WriteLinesAtomic(path, BuildLines(lastPath, lastFile, graph, prefs));
}
