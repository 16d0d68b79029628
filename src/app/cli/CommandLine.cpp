#include "app/cli/CommandLine.h"

#include "app/ChartExport.h"
#include "app/SelectionGrid.h"
#include "app/TorvexApp.h"
#include "app/TorvexSession.h"
#include "app/dialogs/DialogUnits.h"
#include "chart/ComplexChart.h"
#include "chart/LimitMask.h"
#include "chart/Reflection.h"
#include "chart/TraceSearch.h"
#include "data/MixedMode.h"
#include "data/S2pData.h"
#include "platform/AsciiText.h"
#include "platform/MessageBox.h"
#include "platform/NumberFormat.h"

#include <QApplication>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <complex>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <locale>
#include <memory>
#include <ostream>
#include <sstream>

namespace {

const char* const usage =
    "Usage: torvex [FILE...]\n"
    "       torvex --check FILE...\n"
    "       torvex --dump FILE\n"
    "       torvex --export OUT.csv [--view LIST] [--pairing 13|12] FILE...\n"
    "       torvex --export OUT.png|OUT.svg|OUT.pdf [--view LIST] [--pairing 13|12]\n"
    "              [--size WxH] [--markers F1,F2,...] [FILE...]\n"
    "       torvex --table --markers F1,F2,... [--view LIST] [--pairing 13|12] FILE...\n"
    "       torvex --measure peak|min|bw:N [--view LIST] [--pairing 13|12]\n"
    "              [--span F1,F2] FILE...\n"
    "       torvex --limits MASK [--view LIST] [--pairing 13|12] FILE...\n"
    "       torvex --help | --version\n"
    "\n"
    "Plots Touchstone files (.s1p to .s99p, .ts, .out; versions 1, 2.0 and 2.1), at most\n"
    "five at a time.\n"
    "  FILE...          open the window with these files in slots 1..5\n"
    "  --check FILE...  load each file and print one line about it\n"
    "  --dump FILE      print the loaded data set as text\n"
    "  --export OUT     write the chart's traces (.csv) or the chart itself (.png, .svg,\n"
    "                   .pdf) without a window; without FILE an image shows the example\n"
    "  --view LIST      quantities to plot: Sij:db, Sij:phase, Sij:delay, Sij:lin,\n"
    "                   Sij:vswr, Sij:re, Sij:im, and of reflections Sii:r, Sii:x, Sii:z\n"
    "                   (ohms) (i, j ports of the files; Si_j where one has two digits,\n"
    "                   S10_2; mixed-mode Sdd21, Scd11, ...), comma-separated, or one\n"
    "                   preset: il+rl, il+phase, il+delay, rl+phase, splitter, coupler,\n"
    "                   all-rl, all-il (default S11:db,S21:db). Sii:smith items make a\n"
    "                   Smith chart, Sij:polar items a polar chart; neither mixes with\n"
    "                   other formats\n"
    "  --pairing 13|12  ports of the differential pairs of single-ended files for Sdd,\n"
    "                   Scc, Sdc and Scd: 13 pairs 1-3, 2-4 (k and k+n, the default),\n"
    "                   12 pairs 1-2, 3-4\n"
    "  --size WxH       image size in pixels (default: the window's chart size)\n"
    "  --table          print the marker value table as CSV (empty outside a trace);\n"
    "                   for Smith and polar views re, im, r_ohm, x_ohm and vswr\n"
    "  --markers F,...  marker frequencies in the data's unit\n"
    "  --measure WHAT   print per trace the maximum (peak), the minimum (min) or the band\n"
    "                   N dB below the maximum (bw:N) as CSV\n"
    "  --span F1,F2     search only from F1 to F2 (default: all the data)\n"
    "  --limits MASK    judge the traces against a mask file (lines 'upper|lower F1 F2\n"
    "                   V1 [V2] [Sij:db|phase|delay]'); exit status 1 when any fails\n"
    "  --help           show this help\n"
    "  --version        show the version\n";

const char* const viewForms =
    "use Sij:db, Sij:phase or Sij:delay (also :lin, :vswr, :re, :im, :polar, and for Sii "
    ":r, :x, :z, :smith) with i and j the ports (Si_j, Sddij, ... as the "
    "traces are named), comma-separated, or one of "
    "il+rl, il+phase, il+delay, rl+phase, splitter, coupler, all-rl, all-il";

// The --view spelling of every display format, by format code.
const char* const formatWords[ValueFormat::COUNT] = {
    "db", "phase", "delay", "lin", "re", "im", "vswr", "r", "x", "z", "smith", "polar",
};

int FormatOfWord(const std::string& word)
{
    for (int f = 0; f < ValueFormat::COUNT; ++f)
        if (word == formatWords[f])
            return f;
    return -1;
}

std::vector<std::string> SplitCommas(const std::string& text)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        items.push_back(Trim(text.substr(start, comma - start)));
        if (comma == std::string::npos)
            return items;
        start = comma + 1;
    }
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

enum class ExportKind { Unknown, Csv, Image };

ExportKind KindOf(const std::string& path)
{
    const std::string ext = AsciiLower(std::filesystem::path(path).extension().string());
    if (ext == ".csv")
        return ExportKind::Csv;
    if (ext == ".png" || ext == ".svg" || ext == ".pdf")
        return ExportKind::Image;
    return ExportKind::Unknown;
}

// Fonts and the chart's default size need a QApplication; an export must run without a
// display, so the offscreen platform is chosen unless the caller chose one.
std::unique_ptr<QApplication> EnsureApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "torvex";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

// Passes messages on to the error stream and remembers them for the summary line.
class CCollectingSink : public CMessageSink {
public:
    explicit CCollectingSink(std::ostream& stream) : err(stream), previous(SetMessageSink(this)) {}
    ~CCollectingSink() override { SetMessageSink(previous); }
    CCollectingSink(const CCollectingSink&) = delete;
    CCollectingSink& operator=(const CCollectingSink&) = delete;

    void Show(const std::string& text, MessageIcon) override
    {
        std::string line = OneLine(text);
        err << line << '\n';
        if (count++ == 0)
            first = line;
    }
    static std::string OneLine(const std::string& text)
    {
        std::string line;
        for (char c : text) {
            if (c == '\r')
                continue;
            line += c == '\n' ? ' ' : c;
        }
        return line;
    }

    std::string first;  // the first message, empty when none was shown
    int count = 0;

private:
    std::ostream& err;
    CMessageSink* previous;
};

std::string G17(double v)
{
    return FormatValue("%.17g", v);
}

// A field of 17 significant digits, or empty.
std::string G17If(bool have, double v)
{
    return have ? G17(v) : std::string();
}

// Loads a file as a file slot does; returns the result code and, on failure, the
// reader's own first message (empty when it showed none).
int LoadAsSlot(CS2pData& data, const std::string& path, CCollectingSink& sink,
               std::string* readerMessage = nullptr)
{
    const int rc = data.Load(path);
    if (rc == 0) {
        data.NormalizeFreqUnit();
        return rc;
    }
    if (readerMessage)
        *readerMessage = sink.first;
    sink.Show(CTorvexSession::LOAD_FAILED + path, MessageIcon::Error);
    return rc;
}

}  // namespace

CCommandLine::CCommandLine(std::ostream& outStream, std::ostream& errStream)
    : out(outStream), err(errStream)
{
}

int CCommandLine::Check(const std::vector<std::string>& paths)
{
    int status = 0;
    for (const std::string& path : paths) {
        CCollectingSink sink(err);
        CS2pData data;
        std::string reason;
        const int rc = LoadAsSlot(data, path, sink, &reason);
        if (rc == 0) {
            out << path << ": ok, " << data.RecordCount() << " records, " << data.PortCount()
                << "-port, v" << data.version << ", " << data.GetFreqUnitLabel() << ", "
                << CS2pData::ParamLetter(data.paramKind) << "-parameters, "
                << FormatValue("%g", data.refImpedance) << " ohm\n";
            continue;
        }
        if (reason.empty())
            reason = rc == FILE_READ_ERROR ? "option line after data or a second option line"
                                           : "cannot read the file";
        out << path << ": error: " << reason << " (code " << rc << ")\n";
        status = 1;
    }
    return status;
}

int CCommandLine::Dump(const std::string& path)
{
    CCollectingSink sink(err);
    CS2pData data;
    if (LoadAsSlot(data, path, sink) != 0)
        return 1;
    const std::size_t n = data.RecordCount();
    const int ports = data.PortCount();
    out << "ports=" << ports << " unit=" << data.GetFreqUnitLabel()
        << " param=" << CS2pData::ParamLetter(data.paramKind) << " r=" << G17(data.refImpedance)
        << " records=" << n;
    // Per-port references only where they say more than r.
    const std::vector<double>& refs = data.refImpedances;
    if (std::any_of(refs.begin(), refs.end(), [&](double r) { return r != refs.front(); })) {
        out << " refs=";
        for (std::size_t p = 0; p < refs.size(); ++p)
            out << (p ? "," : "") << G17(refs[p]);
    }
    out << '\n';
    std::string line;
    for (std::size_t i = 0; i < n; ++i) {
        line = G17(data.FreqAt(i));
        for (int r = 1; r <= ports; ++r) {
            for (int c = 1; c <= ports; ++c) {
                const CComplex z = data.Element(i, r, c);
                line += ' ';
                line += G17(z.re);
                line += ' ';
                line += G17(z.im);
            }
        }
        line += '\n';
        out << line;
    }
    return 0;
}

bool CCommandLine::ParseView(const std::string& text, ViewSelection& selection, int& preset,
                             std::string& badItem, std::string* reason)
{
    selection.clear();
    preset = -1;
    const std::string lower = AsciiLower(Trim(text));
    for (int p = 0; p < CSelectionGrid::PRESET_COUNT; ++p) {
        if (lower == CSelectionGrid::PresetName(p)) {
            preset = p;
            return true;
        }
    }
    ViewSelection list;
    std::string firstItem;
    for (const std::string& item : SplitCommas(text)) {
        const std::string word = AsciiLower(item);
        const std::size_t colon = word.find(':');
        const std::string param = word.substr(0, colon);
        const std::string format = colon == std::string::npos ? "" : word.substr(colon + 1);
        const int valueFormat = FormatOfWord(format);
        const int value = ValueCode::Parse(param);
        if (value < 0 || valueFormat < 0 ||
            (ValueFormat::NeedsReflection(valueFormat) && !ValueCode::IsReflection(value))) {
            badItem = item;
            if (reason)
                *reason = value >= 0 && valueFormat >= 0
                              ? ":" + format + " needs a reflection such as S11 or Sdd22"
                              : std::string();
            return false;
        }
        // One chart shows them all: a Smith or polar chart has no room for other formats.
        if (!list.empty()) {
            const int before = list.front().valueFormat;
            if ((ValueFormat::IsComplex(before) || ValueFormat::IsComplex(valueFormat)) &&
                before != valueFormat) {
                badItem = item;
                if (reason)
                    *reason = "smith and polar items cannot be mixed with other formats";
                return false;
            }
        }
        list.emplace_back(value, valueFormat);
    }
    // The order the Select Data dialog gives: by format, then by its column order; the
    // elements it has no column for follow within their format, in ascending code.
    for (int f = 0; f < ValueFormat::COUNT; ++f) {
        std::vector<std::pair<int, int>> ordered;  // (column, or COLUMNS for none; value)
        for (const ValueFormatPair& pair : list) {
            if (pair.valueFormat != f)
                continue;
            const int column = CSelectionGrid::ColumnOf(pair.value);
            ordered.emplace_back(column < 0 ? CSelectionGrid::COLUMNS : column, pair.value);
        }
        std::sort(ordered.begin(), ordered.end());
        ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
        for (const auto& entry : ordered)
            selection.emplace_back(entry.second, f);
    }
    return true;
}

bool CCommandLine::ParseSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = AsciiLower(text).find('x');
    if (x == std::string::npos)
        return false;
    const auto side = [](const std::string& digits, int& value) {
        if (digits.empty() || digits.size() > 5 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        value = std::stoi(digits);
        return value >= 1 && value <= MAX_IMAGE_SIDE;
    };
    return side(text.substr(0, x), width) && side(text.substr(x + 1), height);
}

bool CCommandLine::ParseMarkers(const std::string& text, std::vector<double>& markers)
{
    markers.clear();
    for (const std::string& item : SplitCommas(text)) {
        std::istringstream in(item);
        in.imbue(std::locale::classic());
        double value = 0.0;
        if (item.empty() || !(in >> value) || !in.eof() || !std::isfinite(value))
            return false;
        markers.push_back(value);
    }
    return true;
}

void CCommandLine::WriteCsv(const CChartGraph& graph, const std::string& unit, std::ostream& csv)
{
    csv << "trace,axis,freq_" << unit << ",value\n";
    std::string row;
    for (const CChartTrace& trace : graph.traces) {
        const std::string head =
            CsvField(trace.name) + (trace.onLeftAxis ? ",left," : ",right,");
        const std::size_t n = trace.PointCount();
        for (std::size_t i = 0; i < n; ++i) {
            const CChartTrace::XYpair sample = trace.Sample(i);
            row = head;
            row += G17(sample.x);
            row += ',';
            row += G17(sample.y);
            row += '\n';
            csv << row;
        }
    }
}

namespace {

// The options that --export and --table share, and the files after them.
struct ChartOptions {
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
};

// Reads args from index first on; false (a usage error, already reported) on a bad word.
bool ParseChartOptions(const std::vector<std::string>& args, std::size_t first,
                       ChartOptions& opts, std::ostream& err)
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
            if (!CCommandLine::ParseView(args[++i], opts.selection, opts.preset, badItem,
                                         &reason)) {
                err << "torvex: bad --view item '" << badItem
                    << "': " << (reason.empty() ? viewForms : reason.c_str()) << '\n';
                return false;
            }
            opts.haveView = true;
        } else if (word == "--pairing") {
            if (!CCommandLine::ParsePairing(args[++i], opts.pairing)) {
                err << "torvex: bad --pairing '" << args[i]
                    << "': use 13 (pairs 1-3, 2-4) or 12 (pairs 1-2, 3-4)\n";
                return false;
            }
        } else if (word == "--size") {
            if (!CCommandLine::ParseSize(args[++i], opts.width, opts.height)) {
                err << "torvex: bad --size '" << args[i] << "': use WxH with 1.."
                    << CCommandLine::MAX_IMAGE_SIDE << " pixels each\n";
                return false;
            }
            opts.haveSize = true;
        } else if (word == "--markers") {
            if (!CCommandLine::ParseMarkers(args[++i], opts.markers)) {
                err << "torvex: bad --markers '" << args[i]
                    << "': use comma-separated numbers such as 1900,2000.5\n";
                return false;
            }
            opts.haveMarkers = true;
        } else if (word.size() > 1 && word[0] == '-') {
            err << "torvex: unknown option '" << word << "' (try --help)\n";
            return false;
        } else {
            opts.files.push_back(word);
        }
    }
    if (opts.files.size() > static_cast<std::size_t>(CTorvexSession::SLOT_COUNT)) {
        err << "torvex: at most " << CTorvexSession::SLOT_COUNT << " files can be plotted\n";
        return false;
    }
    return true;
}

// Loads the files into the session's slots and applies the view; false when none loaded.
bool LoadChart(CTorvexSession& session, const ChartOptions& opts)
{
    // Set before the traces are built, and every time, so one run cannot leak into the next.
    SetPortPairing(opts.pairing);
    if (opts.haveView && opts.preset < 0)
        session.viewSelection = opts.selection;
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& path : opts.files)
        entries.emplace_back(path, std::filesystem::path(path).filename().string());
    session.OpenFiles(entries);
    if (!session.dataLoaded)
        return false;
    // A preset depends on the port counts of the files actually loaded.
    if (opts.preset >= 0) {
        CSelectionGrid grid;
        grid.ApplyPreset(opts.preset, session.MaxPortKind(), session.MaxPortCount());
        session.ApplySelection(grid.Selection());
    }
    return true;
}

}  // namespace

int CCommandLine::Export(const std::vector<std::string>& args)
{
    if (args.empty() || args[0].empty() || args[0][0] == '-') {
        err << "torvex: --export needs an output file (.csv, .png, .svg or .pdf)\n";
        return 2;
    }
    const std::string& outPath = args[0];
    const ExportKind kind = KindOf(outPath);
    if (kind == ExportKind::Unknown) {
        err << "torvex: cannot tell the format of '" << outPath
            << "': use .csv, .png, .svg or .pdf\n";
        return 2;
    }

    ChartOptions opts;
    if (!ParseChartOptions(args, 1, opts, err))
        return 2;
    if (kind == ExportKind::Csv && opts.files.empty()) {
        err << "torvex: a CSV export needs at least one FILE\n";
        return 2;
    }
    if (kind == ExportKind::Csv && (opts.haveSize || opts.haveMarkers)) {
        err << "torvex: --size and --markers apply to image exports only\n";
        return 2;
    }

    const std::unique_ptr<QApplication> app =
        kind == ExportKind::Image ? EnsureApplication() : nullptr;
    CCollectingSink sink(err);
    CTorvexSession session;
    if (opts.files.empty())
        session.Start();
    else if (!LoadChart(session, opts))
        return 1;

    if (kind == ExportKind::Csv) {
        std::ofstream csv(outPath, std::ios::binary | std::ios::trunc);
        if (csv)
            WriteCsv(session.Graph(), FreqUnitLabel(session.Slot(1).freqUnit), csv);
        csv.close();
        if (!csv) {
            err << "torvex: cannot write '" << outPath << "'\n";
            return 1;
        }
        return 0;
    }

    if (opts.haveMarkers)
        session.Graph().SetMarkers(opts.markers);
    int width = opts.width;
    int height = opts.height;
    if (!opts.haveSize)
        ChartSizeAtStart(width, height);
    std::string error;
    if (!ExportChart(session.sheet, outPath, width, height, error)) {
        err << "torvex: " << error << '\n';
        return 1;
    }
    return 0;
}

int CCommandLine::Table(const std::vector<std::string>& args)
{
    ChartOptions opts;
    if (!ParseChartOptions(args, 0, opts, err))
        return 2;
    if (!opts.haveMarkers || opts.files.empty()) {
        err << "torvex: --table needs --markers F1,F2,... and at least one FILE\n";
        return 2;
    }
    if (opts.haveSize) {
        err << "torvex: --size applies to image exports only\n";
        return 2;
    }
    CCollectingSink sink(err);
    CTorvexSession session;
    if (!LoadChart(session, opts))
        return 1;
    WriteMarkerTable(session.Graph(), opts.markers, FreqUnitLabel(session.Slot(1).freqUnit),
                     out);
    return 0;
}

void CCommandLine::WriteMarkerTable(const CChartGraph& graph, const std::vector<double>& markers,
                                    const std::string& unit, std::ostream& csv)
{
    // Smith and polar traces hold complex values: the table reads them as reflections.
    const bool complex = std::any_of(graph.traces.begin(), graph.traces.end(),
                                     [](const CChartTrace& t) { return !t.gamma.empty(); });
    csv << "marker,freq_" << unit << ",trace,"
        << (complex ? "re,im,r_ohm,x_ohm,vswr" : "value") << '\n';
    for (std::size_t m = 0; m < markers.size(); ++m) {
        const double x = markers[m];
        const std::string head = std::to_string(m + 1) + ',' + G17(x) + ',';
        for (const CChartTrace& trace : graph.traces) {
            if (!trace.inLegend)
                continue;
            csv << head << CsvField(trace.name) << ',';
            // Outside the trace's data the table shows no value, as the chart's does.
            if (!complex) {
                csv << (trace.Covers(x) ? G17(trace.ValueAt(x)) : std::string()) << '\n';
                continue;
            }
            double re = 0.0;
            double im = 0.0;
            if (!CComplexChart::GammaAt(trace, x, re, im)) {
                csv << ",,,,\n";
                continue;
            }
            // No impedance for G = 1 and no VSWR from |G| = 1 on.
            const std::complex<double> g(re, im);
            const std::complex<double> z = ReflectionImpedance(g, trace.refImpedance);
            const double vswr = StandingWaveRatio(std::abs(g));
            csv << G17(re) << ',' << G17(im) << ',' << G17If(std::isfinite(z.real()), z.real())
                << ',' << G17If(std::isfinite(z.imag()), z.imag()) << ','
                << G17If(std::isfinite(vswr), vswr) << '\n';
        }
    }
}

bool CCommandLine::ParsePairing(const std::string& text, PortPairing& pairing)
{
    const std::string word = Trim(text);
    for (const PortPairing p : {PortPairing::ACROSS, PortPairing::NEIGHBOURS}) {
        if (word == MixedMode::PairingName(p)) {
            pairing = p;
            return true;
        }
    }
    return false;
}

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
                          ChartOptions& opts, std::ostream& err)
{
    if (!ParseChartOptions(args, 0, opts, err))
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

const char* StatusWord(LimitStatus status)
{
    switch (status) {
    case LimitStatus::Pass: return "pass";
    case LimitStatus::Fail: return "fail";
    default: return "nodata";
    }
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
    ChartOptions opts;
    if (!TakeSpan(args, haveSpan, low, high, err) ||
        !ParseAnalysisOptions(args, "--measure", opts, err))
        return 2;

    CCollectingSink sink(err);
    CTorvexSession session;
    if (!LoadChart(session, opts))
        return 1;
    const CChartGraph& graph = session.Graph();
    if (!haveSpan) {
        low = graph.xAxis.min;
        high = graph.xAxis.max;
    }
    const std::string unit = FreqUnitLabel(session.Slot(1).freqUnit);
    if (bandwidth) {
        out << "trace,center_" << unit << ",low_" << unit << ",high_" << unit << ",bandwidth_"
            << unit << ",q,peak\n";
        for (const CChartTrace& trace : graph.traces) {
            const BandwidthResult b = TraceBandwidth(trace, below, low, high);
            out << CsvField(trace.name) << ',' << G17If(b.complete, b.center) << ','
                << G17If(b.hasLow, b.low) << ',' << G17If(b.hasHigh, b.high) << ','
                << G17If(b.complete, b.bandwidth) << ',' << G17If(b.complete, b.q) << ','
                << G17If(b.peak.found, b.peak.y) << '\n';
        }
        return 0;
    }
    out << "trace,freq_" << unit << ",value\n";
    for (const CChartTrace& trace : graph.traces) {
        const TracePoint p =
            what == "peak" ? TraceMaximum(trace, low, high) : TraceMinimum(trace, low, high);
        out << CsvField(trace.name) << ',' << G17If(p.found, p.x) << ',' << G17If(p.found, p.y)
            << '\n';
    }
    return 0;
}

int CCommandLine::Limits(const std::vector<std::string>& args)
{
    if (args.empty() || args[0].empty() || args[0][0] == '-') {
        err << "torvex: --limits needs a MASK file\n";
        return 2;
    }
    const std::string& maskPath = args[0];
    ChartOptions opts;
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
    if (!LoadChart(session, opts))
        return 1;
    const CChartGraph& graph = session.Graph();
    const std::vector<LimitResult> results = mask.Evaluate(graph.traces);
    out << "segment,trace,result,margin,freq_" << FreqUnitLabel(session.Slot(1).freqUnit)
        << '\n';
    for (const LimitResult& r : results) {
        const bool judged = r.status != LimitStatus::NoData;
        out << mask.segments[r.segment].line << ','
            << (r.trace >= 0 ? CsvField(graph.traces[static_cast<std::size_t>(r.trace)].name)
                             : std::string())
            << ',' << StatusWord(r.status) << ',' << G17If(judged, r.margin) << ','
            << G17If(judged, r.x) << '\n';
    }
    return CLimitMask::AllPass(results) ? 0 : 1;
}

void CCommandLine::PrintHelp()
{
    out << usage;
}

void CCommandLine::PrintVersion()
{
    out << "torvex " << TORVEX_VERSION << '\n';
}

int RunTorvex(int argc, char** argv)
{
    CCommandLine cli(std::cout, std::cerr);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return RunTorvexWindow(argc, argv, args);
    const std::string& mode = args[0];
    if (mode == "--help" || mode == "-h") {
        cli.PrintHelp();
        return 0;
    }
    if (mode == "--version") {
        cli.PrintVersion();
        return 0;
    }
    if (mode == "--check") {
        if (args.size() < 2) {
            std::cerr << "torvex: --check needs at least one FILE\n";
            return 2;
        }
        return cli.Check({args.begin() + 1, args.end()});
    }
    if (mode == "--dump") {
        if (args.size() != 2) {
            std::cerr << "torvex: --dump needs exactly one FILE\n";
            return 2;
        }
        return cli.Dump(args[1]);
    }
    if (mode == "--export")
        return cli.Export({args.begin() + 1, args.end()});
    if (mode == "--table")
        return cli.Table({args.begin() + 1, args.end()});
    if (mode == "--measure")
        return cli.Measure({args.begin() + 1, args.end()});
    if (mode == "--limits")
        return cli.Limits({args.begin() + 1, args.end()});
    if (mode.size() > 1 && mode[0] == '-') {
        std::cerr << "torvex: unknown option '" << mode << "' (try --help)\n";
        return 2;
    }
    for (const std::string& file : args) {
        if (file.size() > 1 && file[0] == '-') {
            std::cerr << "torvex: options do not mix with the window's FILE list (try --help)\n";
            return 2;
        }
    }
    if (args.size() > static_cast<std::size_t>(CTorvexSession::SLOT_COUNT)) {
        std::cerr << "torvex: at most " << CTorvexSession::SLOT_COUNT
                  << " files can be opened\n";
        return 2;
    }
    return RunTorvexWindow(argc, argv, args);
}
