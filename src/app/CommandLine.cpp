#include "app/CommandLine.h"

#include "data/NumberFormat.h"
#include "data/S2pData.h"
#include "platform/MessageBox.h"

#include <cstring>
#include <iostream>
#include <ostream>

namespace {

const char* const usage =
    "Usage: torvex [FILE...]\n"
    "       torvex --check FILE...\n"
    "       torvex --dump FILE\n"
    "       torvex --help | --version\n"
    "\n"
    "Plots Touchstone files (.s2p, .s3p, .s4p, .out).\n"
    "  --check FILE...  load each file and print one line about it\n"
    "  --dump FILE      print the loaded data set as text\n"
    "  --help           show this help\n"
    "  --version        show the version\n";

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
    sink.Show("Cannot read file or invalid data format:\n" + path, MessageIcon::Error);
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
                << "-port, " << data.GetFreqUnitLabel() << ", "
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
        << " records=" << n << '\n';
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
    if (args.empty()) {
        cli.PrintHelp();
        return 0;
    }
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
    if (mode.size() > 1 && mode[0] == '-') {
        std::cerr << "torvex: unknown option '" << mode << "' (try --help)\n";
        return 2;
    }
    cli.PrintHelp();
    return 0;
}
