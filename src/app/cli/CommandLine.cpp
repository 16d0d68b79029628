#include "app/cli/CommandLine.h"

#include "app/StartLoader.h"

#include "app/ChartExport.h"
#include "app/cli/BatchOptions.h"
#include "app/cli/ChartOptions.h"
#include "app/cli/CollectingSink.h"
#include "app/cli/CsvTables.h"
#include "app/cli/HelpText.h"
#include "app/cli/TerminalProgress.h"
#include "app/dialogs/DialogUnits.h"
#include "app/SelectionGrid.h"
#include "app/TorvexApp.h"
#include "app/TorvexSession.h"
#include "data/MixedMode.h"
#include "data/S2pData.h"
#include "platform/AsciiText.h"
#include "platform/MessageBox.h"
#include "platform/NumberFormat.h"

#include <QApplication>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <locale>
#include <memory>
#include <ostream>
#include <sstream>

#include <unistd.h>

namespace {

// The --view spelling of every display format, by format code.
const char* const formatWords[ValueFormat::COUNT] = {
    "db", "phase", "delay", "lin",   "re",      "im",   "vswr",     "r",
    "x",  "z",     "smith", "polar", "impulse", "step", "bandpass", "tdr",
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

// The command line says only its own words: Qt's notes (a missing XDG_RUNTIME_DIR, font
// and platform remarks) stay off standard error. What Qt calls critical or fatal is
// still reported, since the run may fail for it.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << "torvex: " << message.toStdString() << '\n';
}

// Keeps Qt's chatter off standard error while a command-line mode runs.
class CQuietQt {
public:
    CQuietQt() : previous(qInstallMessageHandler(QuietQtMessages)) {}
    ~CQuietQt() { qInstallMessageHandler(previous); }
    CQuietQt(const CQuietQt&) = delete;
    CQuietQt& operator=(const CQuietQt&) = delete;

private:
    QtMessageHandler previous;
};

}  // namespace

// Loads a file as a file slot does; returns the result code and, on failure, the
// reader's own first message (empty when it showed none).
int CCommandLine::LoadAsSlot(CS2pData& data, const std::string& path, CCollectingSink& sink,
                             std::string* readerMessage)
{
    const int rc = data.Load(path);
    if (rc == 0) {
        data.NormalizeFreqUnit();
        return rc;
    }
    if (readerMessage)
        *readerMessage = sink.first;
    sink.Show(CTorvexSession::LOAD_FAILED + EscapeName(path), MessageIcon::Error);
    return rc;
}

CCommandLine::CCommandLine(std::ostream& outStream, std::ostream& errStream)
    : out(outStream), err(errStream)
{
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
        int valueFormat = FormatOfWord(format);
        int value = ValueCode::Parse(param);
        // The quality of the whole matrix: one word each, linear values.
        if (param == "s" && (format == "sigma" || format == "recip")) {
            value = format == "sigma" ? ValueCode::SIGMA : ValueCode::RECIPROCITY;
            valueFormat = ValueFormat::LIN_MAG;
        }
        if (value < 0 || valueFormat < 0
            || (ValueFormat::NeedsReflection(valueFormat) && !ValueCode::IsReflection(value))) {
            badItem = item;
            if (reason)
                *reason = value >= 0 && valueFormat >= 0
                    ? ":" + format + " needs a reflection such as S11 or Sdd22"
                    : std::string();
            return false;
        }
        // One chart shows them all: a Smith or polar chart has no room for other formats,
        // and a time axis none for frequencies.
        if (!list.empty()) {
            const int before = list.front().valueFormat;
            if ((ValueFormat::IsComplex(before) || ValueFormat::IsComplex(valueFormat))
                && before != valueFormat) {
                badItem = item;
                if (reason)
                    *reason = "smith and polar items cannot be mixed with other formats";
                return false;
            }
            if (ValueFormat::IsTime(before) != ValueFormat::IsTime(valueFormat)) {
                badItem = item;
                if (reason)
                    *reason =
                        "time items (impulse, step, bandpass, tdr) cannot be mixed with"
                        " frequency items";
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

std::string CCommandLine::ViewItemName(const ValueFormatPair& pair)
{
    if (ValueCode::IsQuality(pair.value))
        return pair.value == ValueCode::SIGMA ? "S:sigma" : "S:recip";
    std::string element = ValueCode::Name(pair.value);
    if (element.empty())
        element = "code " + std::to_string(pair.value);
    const bool known = pair.valueFormat >= 0 && pair.valueFormat < ValueFormat::COUNT;
    return element + ":"
        + (known ? formatWords[pair.valueFormat] : std::to_string(pair.valueFormat));
}

bool CCommandLine::ParseSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = AsciiLower(text).find('x');
    if (x == std::string::npos)
        return false;
    const auto side = [](const std::string& digits, int& value) {
        if (digits.empty() || digits.size() > 5
            || digits.find_first_not_of("0123456789") != std::string::npos)
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

void CCommandLine::PrintHelp()
{
    out << HelpText::Help();
}

void CCommandLine::PrintVersion()
{
    out << "torvex " << TORVEX_VERSION << '\n';
}

namespace {

// A command: what follows its word is its own, the exit status its result.
using CommandHandler = int (*)(CCommandLine& cli, const std::vector<std::string>& rest);

struct Command {
    const char* word;
    CommandHandler run;
};

using Args = std::vector<std::string>;

int RunHelp(CCommandLine& cli, const Args&)
{
    cli.PrintHelp();
    return 0;
}

// Not in the help: the build makes the manual page with it, from the help's own source.
int RunManPage(CCommandLine&, const Args& rest)
{
    std::cout << HelpText::ManPage(TORVEX_VERSION, rest.empty() ? std::string() : rest[0]);
    return 0;
}

int RunVersion(CCommandLine& cli, const Args&)
{
    cli.PrintVersion();
    return 0;
}

int RunCheck(CCommandLine& cli, const Args& rest)
{
    if (rest.empty()) {
        std::cerr << "torvex: --check needs at least one FILE\n";
        return 2;
    }
    return cli.Check(rest);
}

int RunDump(CCommandLine& cli, const Args& rest)
{
    if (rest.size() != 1) {
        std::cerr << "torvex: --dump needs exactly one FILE\n";
        return 2;
    }
    return cli.Dump(rest[0]);
}

int RunExport(CCommandLine& cli, const Args& rest)
{
    return cli.Export(rest);
}
int RunTable(CCommandLine& cli, const Args& rest)
{
    return cli.Table(rest);
}
int RunMeasure(CCommandLine& cli, const Args& rest)
{
    return cli.Measure(rest);
}
int RunSave(CCommandLine& cli, const Args& rest)
{
    return cli.Save(rest);
}
int RunLimits(CCommandLine& cli, const Args& rest)
{
    return cli.Limits(rest);
}
int RunQuality(CCommandLine& cli, const Args& rest)
{
    return cli.Quality(rest);
}

// The modes without a window; a new command is a new file and one row here.
const Command commands[] = {
    {"--help", RunHelp},       {"-h", RunHelp},           {"--version", RunVersion},
    {"--check", RunCheck},     {"--dump", RunDump},       {"--export", RunExport},
    {"--table", RunTable},     {"--measure", RunMeasure}, {"--limits", RunLimits},
    {"--quality", RunQuality}, {"--save", RunSave},       {"--manpage", RunManPage},
};

// The modes that run on one file or one set of files only, and say so when asked for more.
bool RefusesBatch(const std::string& mode, const Args& rest)
{
    if (mode != "--dump" && mode != "--quality" && mode != "--save")
        return false;
    if (!CBatchOptions::Named(rest))
        return false;
    Args words = rest;
    CBatchOptions batch;
    return !batch.Take(words, std::cerr) || !batch.FitMode(mode, std::cerr);
}

// A mode word first: one of the modes without a window.
int RunCommandLine(const std::vector<std::string>& args)
{
    const CQuietQt quiet;
    CCommandLine cli(std::cout, std::cerr);
    // Progress belongs on a terminal; a pipe or a log gets the output alone. When the rows
    // themselves go to the terminal they show the progress.
    cli.showProgress = isatty(STDERR_FILENO) == 1;
    cli.outIsTerminal = isatty(STDOUT_FILENO) == 1;
    CTerminalProgress reading(std::cerr);
    CProgressHook* const previous = SetProgressHook(cli.showProgress ? &reading : nullptr);
    struct PutBack {
        CProgressHook* hook;
        ~PutBack() { SetProgressHook(hook); }
    } putBack{previous};
    const std::string& mode = args[0];
    for (const Command& command : commands) {
        if (mode != command.word)
            continue;
        const Args rest(args.begin() + 1, args.end());
        if (RefusesBatch(mode, rest))
            return 2;
        return command.run(cli, rest);
    }
    // An option before its mode ("--view X --export OUT"): say where it belongs.
    for (std::size_t i = 1; i < args.size(); ++i)
        for (const Command& command : commands)
            if (args[i] == command.word && command.word[1] == '-') {
                std::cerr << "torvex: '" << EscapeName(mode) << "' goes after the mode: put "
                          << command.word << " first (try --help)\n";
                return 2;
            }
    std::cerr << "torvex: unknown option '" << EscapeName(mode) << "' (try --help)\n";
    return 2;
}

}  // namespace

int RunTorvex(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0].size() > 1 && args[0][0] == '-')
        return RunCommandLine(args);
    for (const std::string& file : args) {
        if (file.size() > 1 && file[0] == '-') {
            std::cerr << "torvex: options do not mix with the window's FILE list (try --help)\n";
            return 2;
        }
    }
    if (args.size() > static_cast<std::size_t>(CTorvexSession::SLOT_COUNT)) {
        std::cerr << "torvex: at most " << CTorvexSession::SLOT_COUNT << " files can be opened\n";
        return 2;
    }
    // The fonts are loaded and the files read while Qt starts and the window is made.
    CStartLoader started;
    started.Start(args);
    return RunTorvexWindow(argc, argv, args, &started);
}
