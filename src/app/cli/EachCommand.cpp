// --each: a table command on every file alone, spread over worker threads, its rows in the
// order the files were given.
#include "app/cli/CommandLine.h"

#include "app/cli/BatchOptions.h"
#include "app/cli/BatchRunner.h"
#include "app/cli/CsvText.h"
#include "app/cli/FileCommand.h"
#include "platform/AsciiText.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <exception>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// What one file gave: its exit status, its output and its messages.
struct FileOutcome {
    int status = 0;
    std::string out;
    std::string err;
};

// Each message line names the file it is about: "torvex: FILE: ...".
void WriteMessages(const std::string& text, const std::string& name, std::ostream& err)
{
    static const std::string prefix = "torvex: ";
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            line.erase(0, prefix.size());
        err << prefix << name << ": " << line << '\n';
    }
}

// Merges the files' tables under one header with a first column "file".
class CTableMerger {
public:
    explicit CTableMerger(std::ostream& stream) : out(stream) {}

    // False (its rows left out) when the file's columns differ from those before it: the
    // same column would hold frequencies in two units.
    bool Add(const std::string& path, const std::string& table, std::string& why)
    {
        if (table.empty())
            return true;
        const std::size_t end = table.find('\n');
        const std::string header = table.substr(0, end);
        if (!haveHeader) {
            out << "file," << header << '\n';
            first = header;
            haveHeader = true;
        } else if (header != first) {
            why = "its columns " + header + " differ from " + first
                + " of the files before it; its rows are left out";
            return false;
        }
        const std::string field = CsvField(path) + ',';
        std::size_t start = end == std::string::npos ? table.size() : end + 1;
        while (start < table.size()) {
            std::size_t stop = table.find('\n', start);
            if (stop == std::string::npos)
                stop = table.size();
            out << field;
            out.write(table.data() + start, static_cast<std::streamsize>(stop - start));
            out << '\n';
            start = stop + 1;
        }
        return true;
    }

private:
    std::ostream& out;
    std::string first;
    bool haveHeader = false;
};

}  // namespace

int CCommandLine::RunFiles(const CFileCommand& command, const std::vector<std::string>& files,
                           const CBatchOptions& batch)
{
    if (batch.each)
        return RunEach(command, files, batch);
    return command.Run(files, out, err);
}

int CCommandLine::RunEach(const CFileCommand& command, const std::vector<std::string>& files,
                          const CBatchOptions& batch)
{
    std::vector<FileOutcome> outcomes(files.size());
    const auto work = [&](std::size_t i) {
        std::ostringstream fileOut;
        std::ostringstream fileErr;
        FileOutcome& outcome = outcomes[i];
        try {
            outcome.status = command.Run({files[i]}, fileOut, fileErr);
        } catch (const std::exception& e) {
            fileErr << "torvex: " << e.what() << '\n';
            outcome.status = 1;
        }
        outcome.out = fileOut.str();
        outcome.err = fileErr.str();
    };
    const CBatchRunner runner(batch.jobs);
    CTableMerger merger(out);
    int status = 0;
    std::size_t passed = 0;
    const auto take = [&](std::size_t i) {
        FileOutcome outcome = std::move(outcomes[i]);
        const std::string name = EscapeName(files[i]);
        std::string why;
        if (!outcome.err.empty()) {
            runner.EraseProgress();
            WriteMessages(outcome.err, name, err);
        }
        if (!command.Tabular()) {
            out << outcome.out;
        } else if (!merger.Add(files[i], outcome.out, why)) {
            runner.EraseProgress();
            err << "torvex: " << name << ": " << why << '\n';
            outcome.status = std::max(outcome.status, 1);
        }
        status = std::max(status, outcome.status);
        passed += outcome.status == 0 ? 1 : 0;
    };
    runner.Run(files.size(), work, take, showProgress && !outIsTerminal ? &err : nullptr);
    if (command.Judges()) {
        const std::size_t failed = files.size() - passed;
        err << files.size() << " files: " << passed << " passed, " << failed << " failed (yield "
            << FormatValue("%.1f",
                           100.0 * static_cast<double>(passed) / static_cast<double>(files.size()))
            << " %)\n";
    }
    return status;
}
