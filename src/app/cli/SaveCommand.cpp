// --save OUT [--format ri|ma|db] [--unit hz|khz|mhz|ghz] [operations] FILE: one file, after
// the operations, as a Touchstone file of version 1 (OUT.sNp) or 2 (OUT.ts).
#include "app/cli/CommandLine.h"

#include "app/cli/CollectingSink.h"
#include "app/cli/NetworkOptions.h"
#include "data/LineFile.h"
#include "data/S2pData.h"
#include "data/TouchstoneWriter.h"
#include "platform/AsciiText.h"

#include <ostream>
#include <set>

namespace {

// The version OUT's name asks for (1 with its port count, 2 for .ts); 0 for any other name.
int VersionOfName(const std::string& path, int& ports)
{
    ports = CS2pData::PortsFromName(path);
    if (ports > 0)
        return 1;
    const std::string lower = AsciiLower(path);
    return lower.size() > 3 && lower.compare(lower.size() - 3, 3, ".ts") == 0 ? 2 : 0;
}

bool FormatOfWord(const std::string& word, int& format)
{
    const std::string w = AsciiLower(word);
    format = w == "ri" ? RI : w == "ma" ? MA : w == "db" ? DB : -1;
    return format >= 0;
}

bool UnitOfWord(const std::string& word, int& unit)
{
    const std::string w = AsciiLower(word);
    unit = w == "hz" ? CS2pData::HZ
        : w == "khz" ? CS2pData::KHZ
        : w == "mhz" ? CS2pData::MHZ
        : w == "ghz" ? CS2pData::GHZ
                     : -1;
    return unit >= 0;
}

}  // namespace

int CCommandLine::Save(const std::vector<std::string>& args)
{
    if (args.empty() || (args[0].size() > 1 && args[0][0] == '-')) {
        err << "torvex: --save needs an output file OUT.sNp or OUT.ts\n";
        return 2;
    }
    const std::string outPath = args[0];
    int namedPorts = 0;
    const int version = VersionOfName(outPath, namedPorts);
    if (version == 0) {
        err << "torvex: --save writes OUT.sNp (Touchstone 1, N the port count, 1 to 99) or "
               "OUT.ts (Touchstone 2), not '"
            << EscapeName(outPath) << "'\n";
        return 2;
    }
    TouchstoneWriter::Options options;
    options.version = version;
    CNetworkOptions operations;
    std::vector<std::string> files;
    bool optionsEnd = false;
    std::set<std::string> given;  // --format and --unit, each at most once
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (optionsEnd || word.size() < 2 || word.compare(0, 2, "--") != 0) {
            files.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnd = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name =
            word.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const bool known = name == "format" || name == "unit" || CNetworkOptions::IsOperation(name);
        if (name == "save"
            || ((name == "format" || name == "unit") && !given.insert(name).second)) {
            err << "torvex: --" << name << " is given twice\n";
            return 2;
        }
        if (!known) {
            err << "torvex: unknown option '" << EscapeName(word) << "' for --save (try --help)\n";
            return 2;
        }
        std::string value;
        if (equals != std::string::npos)
            value = word.substr(equals + 1);
        else if (i + 1 < args.size())
            value = args[++i];
        else {
            err << "torvex: --" << name << " needs a value\n";
            return 2;
        }
        if (name == "format") {
            if (!FormatOfWord(value, options.format)) {
                err << "torvex: bad --format '" << EscapeName(value) << "': use ri, ma or db\n";
                return 2;
            }
        } else if (name == "unit") {
            if (!UnitOfWord(value, options.unit)) {
                err << "torvex: bad --unit '" << EscapeName(value)
                    << "': use hz, khz, mhz or ghz\n";
                return 2;
            }
        } else if (!operations.Take(name, value, err)) {
            return 2;
        }
    }
    if (files.size() != 1) {
        err << "torvex: --save writes exactly one FILE (" << files.size() << " given)\n";
        return 2;
    }

    CCollectingSink sink(err);
    CS2pData data;
    if (LoadAsSlot(data, files[0], sink) != 0)
        return 1;
    std::string why;
    bool unreadable = false;
    if (!operations.Apply(data, why, unreadable)) {
        err << "torvex: " << why << '\n';
        return unreadable ? 1 : 2;
    }
    if (version == 1 && namedPorts != data.PortCount()) {
        err << "torvex: '" << EscapeName(outPath) << "' names " << namedPorts
            << (namedPorts == 1 ? " port" : " ports") << ", the result has " << data.PortCount()
            << ": use .s" << data.PortCount() << "p\n";
        return 2;
    }
    options.comments = {std::string("Torvex ") + TORVEX_VERSION, "Source: " + files[0]};
    std::string done;
    for (const std::string& step : operations.Descriptions())
        done += (done.empty() ? "" : "; ") + step;
    options.comments.push_back("Operations: " + (done.empty() ? std::string("none") : done));
    const int rc = TouchstoneWriter::Write(outPath, data, options, why);
    if (rc == TouchstoneWriter::REFUSED) {
        err << "torvex: cannot save '" << EscapeName(outPath) << "': " << why << '\n';
        return 2;
    }
    return rc == FILE_OK ? 0 : 1;
}
