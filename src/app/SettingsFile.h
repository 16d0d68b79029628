// The settings file: the last file loaded, the two scale-persistence flags, the grid
// division counts and the six axis limits, one "Key= value" line each. Std only, so the
// reading and writing rules can be tested without a window.
#pragma once

#include "app/ValueFormatPair.h"
#include "data/LineFile.h"
#include "data/MixedMode.h"
#include "rf/TimeTrace.h"

#include <string>
#include <string_view>
#include <vector>

class CChartGraph;

// What the window remembers beyond the fourteen classic lines; written after them, so
// files of the old form read as before.
struct WindowPrefs {
    ViewSelection viewSelection;  // empty: the file named none
    bool followFiles = true;
    int chartKind = 0;                          // CChartGraph::ChartKind of the data's chart
    PortPairing pairing = PortPairing::ACROSS;  // of the computed mixed-mode traces
    std::vector<std::string> recentFiles;       // the latest first
    std::string fileFilter;         // the data choosers' last filter, by description; "": the first
    TimeDomainSettings timeDomain;  // the time-domain dialog's choices
    bool gateUnset = false;         // the file's gate was empty or unusable: gating is off
};

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

    // Reads the file and applies every good line it knows (GoodLines); a missing or
    // unreadable file changes nothing and shows nothing. Returns the read result (0, 101
    // or 102).
    // prefs, when given, receives the window's lines (the line type and legend switch go
    // to the graph).
    int Read(std::string& lastPath, std::string& lastFile, CChartGraph& graph,
             WindowPrefs* prefs = nullptr) const;
    // Creates the folder when missing and replaces the file as a whole, so a failed
    // write keeps the previous file. Nothing is shown; returns 0 or the write error.
    int Write(const std::string& lastPath, const std::string& lastFile, const CChartGraph& graph,
              const WindowPrefs* prefs = nullptr) const;

    // The trimmed, non-empty lines of a file's bytes without those holding control bytes
    // (NUL, escape, ...): a damaged line is dropped, the others are kept.
    static LineList GoodLines(std::string_view text);
    // One line as read from the file: the first key the trimmed line begins with
    // (case-sensitive) decides; other lines are ignored, and so is a value that is no
    // number where one belongs. Returns true when a key matched.
    static bool ApplyLine(const std::string& line, std::string& lastPath, std::string& lastFile,
                          CChartGraph& graph, WindowPrefs* prefs = nullptr);
    static void ApplyLines(const LineList& lines, std::string& lastPath, std::string& lastFile,
                           CChartGraph& graph, WindowPrefs* prefs = nullptr);
    // The fourteen lines in their fixed order, then the window's lines when prefs is given.
    static LineList BuildLines(const std::string& lastPath, const std::string& lastFile,
                               const CChartGraph& graph, const WindowPrefs* prefs = nullptr);

    const std::string& Path() const { return path; }

private:
    std::string path;
};
