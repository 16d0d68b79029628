// A command that, its words read, runs on a list of files: --measure, --limits, --table
// and --check. --each runs it on every file alone.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class CFileCommand {
public:
    virtual ~CFileCommand() = default;
    // The command on files: its output on out, messages on err; the exit status it gives
    // for them. Safe to run on several threads at once, each with its own streams.
    virtual int Run(const std::vector<std::string>& files, std::ostream& out,
                    std::ostream& err) const = 0;
    // Whether out is a CSV table (a header line, then rows).
    virtual bool Tabular() const { return true; }
    // Whether the exit status passes or fails the files (a yield is worth a line).
    virtual bool Judges() const { return false; }
};
