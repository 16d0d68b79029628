// --table: the marker value table as CSV.
#include "app/cli/CommandLine.h"

#include <ostream>
#include "app/cli/ChartOptions.h"
#include "app/cli/CollectingSink.h"
#include "app/cli/CsvTables.h"
#include "app/dialogs/DialogUnits.h"
#include "app/TorvexSession.h"

int CCommandLine::Table(const std::vector<std::string>& args)
{
    CChartOptions opts;
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
    CCollectingSink sink(err);
    CTorvexSession session;
    if (const int status = opts.Load(session, err))
        return status;
    WriteMarkerTable(session.Graph(), opts.markers, session.XColumn(), out);
    return 0;
}
