// --table: the marker value table as CSV.
#include "app/cli/CommandLine.h"

#include <ostream>
#include "app/cli/BatchOptions.h"
#include "app/cli/ChartOptions.h"
#include "app/cli/CollectingSink.h"
#include "app/cli/CsvTables.h"
#include "app/cli/FileCommand.h"
#include "app/dialogs/DialogUnits.h"
#include "app/TorvexSession.h"

namespace {

// The marker table of any files.
class CTableRun : public CFileCommand {
public:
    int Run(const std::vector<std::string>& files, std::ostream& out,
            std::ostream& err) const override
    {
        const CChartOptions fileOpts = opts.On(files);
        CCollectingSink sink(err);
        CTorvexSession session;
        if (const int status = fileOpts.Load(session, err))
            return status;
        WriteMarkerTable(session.Graph(), opts.markers, session.XColumn(), out);
        return 0;
    }

    CChartOptions opts;
};

}  // namespace

int CCommandLine::Table(const std::vector<std::string>& argList)
{
    std::vector<std::string> args = argList;
    CBatchOptions batch;
    if (!batch.Take(args, err) || !batch.FitMode("--table", err))
        return 2;
    CTableRun run;
    CChartOptions& opts = run.opts;
    opts.anyFileCount = batch.each;
    if (!opts.Parse(args, 0, err))
        return 2;
    if (!opts.haveMarkers || opts.files.empty()) {
        err << "torvex: --table needs --markers F1,F2,... and at least one FILE\n";
        return 2;
    }
    if (opts.haveSize) {
        err << "torvex: --size applies to image exports only\n";
        return 2;
    }
    return RunFiles(run, opts.files, batch);
}
