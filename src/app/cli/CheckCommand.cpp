// --check FILE...: one line per file.
#include "app/cli/CommandLine.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>
#include "app/cli/BatchOptions.h"
#include "app/cli/CollectingSink.h"
#include "app/cli/FileCommand.h"
#include "data/S2pData.h"
#include "platform/AsciiText.h"
#include "platform/NumberFormat.h"

namespace {

// The references the data are read against: the option line's R, unless the ports have
// their own ([Reference], port impedance comments); then theirs, one per port where they
// differ.
std::string ReferenceText(const CS2pData& data)
{
    const std::vector<double>& refs = data.refImpedances;
    if (refs.empty())
        return FormatValue("%g", data.refImpedance);
    std::string text = FormatValue("%g", refs.front());
    if (std::all_of(refs.begin(), refs.end(), [&](double r) { return r == refs.front(); }))
        return text;
    for (std::size_t p = 1; p < refs.size(); ++p)
        text += "/" + FormatValue("%g", refs[p]);
    return text;
}

// One line per file, in the order given.
class CCheckRun : public CFileCommand {
public:
    int Run(const std::vector<std::string>& paths, std::ostream& out,
            std::ostream& err) const override;
    bool Tabular() const override { return false; }
};

int CCheckRun::Run(const std::vector<std::string>& paths, std::ostream& out,
                   std::ostream& err) const
{
    int status = 0;
    for (const std::string& path : paths) {
        CCollectingSink sink(err);
        CS2pData data;
        std::string reason;
        const int rc = CCommandLine::LoadAsSlot(data, path, sink, &reason);
        if (rc == 0) {
            out << EscapeName(path) << ": ok, " << data.RecordCount() << " records, "
                << data.PortCount() << "-port, v" << data.version << ", " << data.GetFreqUnitLabel()
                << ", " << CS2pData::ParamLetter(data.paramKind) << "-parameters, "
                << ReferenceText(data) << " ohm\n";
            continue;
        }
        if (reason.empty())
            reason = "cannot read the file";  // the reader names its causes itself
        out << EscapeName(path) << ": error: " << reason << " (code " << rc << ")\n";
        status = 1;
    }
    return status;
}

}  // namespace

int CCommandLine::Check(const std::vector<std::string>& argList)
{
    std::vector<std::string> paths = argList;
    CBatchOptions batch;
    if (!batch.Take(paths, err) || !batch.FitMode("--check", err))
        return 2;
    // Files named like options follow "--"; before it, such a word is a mistyped option.
    std::vector<std::string> files;
    bool optionsEnd = false;
    for (const std::string& word : paths) {
        if (!optionsEnd && word == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && word.size() > 1 && word[0] == '-') {
            err << "torvex: unknown option '" << EscapeName(word) << "' for --check (try --help)\n";
            return 2;
        } else {
            files.push_back(word);
        }
    }
    paths = files;
    if (paths.empty()) {
        err << "torvex: --check needs at least one FILE\n";
        return 2;
    }
    return RunFiles(CCheckRun(), paths, batch);
}
