// --check FILE...: one line per file.
#include "app/cli/CommandLine.h"

#include <ostream>
#include <string>
#include <vector>
#include "app/cli/CollectingSink.h"
#include "data/S2pData.h"
#include "platform/AsciiText.h"
#include "platform/NumberFormat.h"

int CCommandLine::Check(const std::vector<std::string>& paths)
{
    int status = 0;
    for (const std::string& path : paths) {
        CCollectingSink sink(err);
        CS2pData data;
        std::string reason;
        const int rc = LoadAsSlot(data, path, sink, &reason);
        if (rc == 0) {
            out << EscapeName(path) << ": ok, " << data.RecordCount() << " records, "
                << data.PortCount() << "-port, v" << data.version << ", " << data.GetFreqUnitLabel()
                << ", " << CS2pData::ParamLetter(data.paramKind) << "-parameters, "
                << FormatValue("%g", data.refImpedance) << " ohm\n";
            continue;
        }
        if (reason.empty())
            reason = "cannot read the file";  // the reader names its causes itself
        out << EscapeName(path) << ": error: " << reason << " (code " << rc << ")\n";
        status = 1;
    }
    return status;
}
