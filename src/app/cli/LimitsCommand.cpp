// --limits MASK: every mask segment judged against its traces, as CSV.
#include "app/cli/CommandLine.h"

#include <filesystem>
#include <fstream>
#include <iterator>
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
#include "chart/LimitMask.h"
#include "data/LineFile.h"
#include "platform/AsciiText.h"

namespace {

// The mask file as text: regular files only, and nothing a mask could never be.
bool ReadMaskText(const std::string& path, std::string& text)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)
        || std::filesystem::file_size(path, ec) > MAX_READ_BYTES || ec)
        return false;
    std::ifstream in(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The mask, read, against any files.
class CLimitsRun : public CFileCommand {
public:
    int Run(const std::vector<std::string>& files, std::ostream& out,
            std::ostream& err) const override
    {
        const CChartOptions fileOpts = opts.On(files);
        CCollectingSink sink(err);
        CTorvexSession session;
        if (const int status = fileOpts.Load(session, err))
            return status;
        const CChartGraph& graph = session.Graph();
        const std::vector<LimitResult> results = mask.Evaluate(graph.traces);
        WriteLimitTable(graph, mask, results, session.XColumn(), out);
        return CLimitMask::AllPass(results) ? 0 : 1;
    }
    bool Judges() const override { return true; }

    CChartOptions opts;
    CLimitMask mask;
};

}  // namespace

int CCommandLine::Limits(const std::vector<std::string>& argList)
{
    std::vector<std::string> args = argList;
    CBatchOptions batch;
    if (!batch.Take(args, err) || !batch.FitMode("--limits", err))
        return 2;
    if (args.empty() || args[0].empty() || args[0][0] == '-') {
        err << "torvex: --limits needs a MASK file\n";
        return 2;
    }
    const std::string& maskPath = args[0];
    CLimitsRun run;
    run.opts.anyFileCount = batch.each;
    if (!run.opts.ParseAnalysis({args.begin() + 1, args.end()}, "--limits", err))
        return 2;
    std::string text;
    if (!ReadMaskText(maskPath, text)) {
        err << "torvex: cannot read the mask '" << EscapeName(maskPath) << "'\n";
        return 2;
    }
    std::vector<CLimitMask::ParseError> errors;
    if (!run.mask.Parse(text, errors)) {
        for (const CLimitMask::ParseError& e : errors) {
            err << "torvex: " << EscapeName(maskPath);
            if (e.line > 0)
                err << ':' << e.line;
            err << ": " << e.message << '\n';
        }
        return 2;
    }
    return RunFiles(run, run.opts.files, batch);
}
