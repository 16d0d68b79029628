// The settings file: the last file loaded, the two scale-persistence flags, the grid
// division counts and the six axis limits, one "Key= value" line each. Std only, so the
// reading and writing rules can be tested without a window.
#pragma once

#include "data/LineFile.h"

#include <string>

class CChartGraph;

class CSettingsFile {
public:
    // The number of lines written.
    static constexpr int LINE_COUNT = 14;
    // Division counts read from the file are kept to 1..MAX_DIVISIONS.
    static constexpr int MAX_DIVISIONS = 100;

    explicit CSettingsFile(std::string filePath);

    // $XDG_CONFIG_HOME/torvex/torvex.ini, or ~/.config/torvex/torvex.ini when that
    // variable is unset or empty (the working folder when HOME is unset too).
    static std::string DefaultPath();

    // Reads the file and applies every line it knows; a missing or unreadable file
    // changes nothing and shows nothing. Returns the read result (0, 101 or 102).
    int Read(std::string& lastPath, std::string& lastFile, CChartGraph& graph) const;
    // Creates the folder when missing and replaces the file as a whole, so a failed
    // write keeps the previous file. Nothing is shown; returns 0 or the write error.
    int Write(const std::string& lastPath, const std::string& lastFile,
              const CChartGraph& graph) const;

    // One line as read from the file: the first key the trimmed line begins with
    // (case-sensitive) decides; other lines are ignored. Returns true when a key matched.
    static bool ApplyLine(const std::string& line, std::string& lastPath,
                          std::string& lastFile, CChartGraph& graph);
    static void ApplyLines(const LineList& lines, std::string& lastPath, std::string& lastFile,
                           CChartGraph& graph);
    // The fourteen lines in their fixed order.
    static LineList BuildLines(const std::string& lastPath, const std::string& lastFile,
                               const CChartGraph& graph);

    const std::string& Path() const { return path; }

private:
    std::string path;
};
