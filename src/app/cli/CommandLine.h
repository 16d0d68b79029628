// Entry point of the program: the command-line modes, or the window.
#pragma once

#include "app/ValueFormatPair.h"
#include "data/MixedMode.h"

#include <iosfwd>
#include <string>
#include <vector>

class CBatchOptions;
class CChartOptions;
class CCollectingSink;
class CFileCommand;
class CS2pData;

// Runs the program for the given arguments; returns the exit status.
int RunTorvex(int argc, char** argv);

// The command-line modes without a window, for scripts and quick checks. Output goes
// to out, messages that the window would show to err.
class CCommandLine {
public:
    CCommandLine(std::ostream& out, std::ostream& err);

    // --check [--each] [--jobs N] FILE...: one line per file. Exit status 0 when every
    // file loaded, 1 otherwise, 2 on bad usage.
    int Check(const std::vector<std::string>& args);
    int Dump(const std::string& path);
    // --table, --measure, --limits and --check also take --each: every file on its own,
    // as if alone in slot 1, on --jobs N worker threads (default: one per core). The CSV
    // rows gain a first column "file", in the order the files were given; a file's
    // messages on err name it. The exit status is the largest any file gives, and --limits
    // ends with the line "N files: P passed, F failed (yield Y %)" on err.
    //
    // --export OUT [--view LIST] [--pairing 13|12] [--size WxH] [--markers F1,F2,...]
    // [FILE...]: args are the words after "--export". CSV needs files; images without files
    // show the example. --pairing applies to --table, --measure and --limits alike.
    // Exit status 0 on success, 1 when nothing loaded or the output failed, 2 on bad usage
    // or when nothing of an explicit --view is left to plot.
    int Export(const std::vector<std::string>& args);
    // --table --markers F1,F2,... [--view LIST] FILE...: the marker value table as CSV on
    // out. Exit status as for Export.
    int Table(const std::vector<std::string>& args);
    // --measure peak|min|bw:N [--view LIST] [--span F1,F2] FILE...: per trace the maximum,
    // the minimum, or the band N dB below the maximum, searched within the span (default:
    // all the data), as CSV on out. Exit status as for Export.
    int Measure(const std::vector<std::string>& args);
    // --limits MASK [--view LIST] FILE...: every mask segment against the traces it applies
    // to, as CSV on out. Exit status 0 when all pass, 1 when any fails, has no data or no file
    // loaded, 2 on bad usage or a mask that cannot be read.
    int Limits(const std::vector<std::string>& args);
    // --quality [--mixed] [--pairing 13|12] FILE...: causality, passivity and reciprocity
    // (QualityMetrics) of each file as CSV on out, and with --mixed of its Sdd and Scc
    // ("FILE:dd", "FILE:cc"). Exit status 0 when every file has its rows, 1 otherwise (the
    // causes on err), 2 on bad usage.
    int Quality(const std::vector<std::string>& args);
    // --save OUT [--format ri|ma|db] [--unit hz|khz|mhz|ghz] [operations] FILE: the file
    // after the network operations, as Touchstone 1 (OUT.sNp) or 2 (OUT.ts). Exit status 0,
    // 1 when a file cannot be read or OUT written, 2 on bad usage or a refused operation.
    int Save(const std::vector<std::string>& args);
    void PrintHelp();
    void PrintVersion();

    // A --view argument: a preset name (preset set to its number, selection empty) or a
    // comma-separated list of element:format in any letter case, the formats db, phase,
    // delay, lin, re, im, vswr, polar, and for reflections r, x, z, smith, as codes of
    // ValueFormat (preset -1, selection by format in the Select Data dialog's order).
    // Smith and polar items take no other format beside them. False with the bad item in
    // badItem and, where the usual list of forms would not say why, the cause in reason.
    static bool ParseView(const std::string& text, ViewSelection& selection, int& preset,
                          std::string& badItem, std::string* reason = nullptr);
    // The --view spelling of a pair: "S21:db", "Sdd11:smith"; the code when it has none.
    static std::string ViewItemName(const ValueFormatPair& pair);
    // "13" (pairs 1-3, 2-4) or "12" (pairs 1-2, 3-4), as --pairing takes them.
    static bool ParsePairing(const std::string& text, PortPairing& pairing);
    // "WxH" with both sides 1..MAX_IMAGE_SIDE pixels.
    static bool ParseSize(const std::string& text, int& width, int& height);
    // Comma-separated finite numbers with a decimal point whatever the locale.
    static bool ParseMarkers(const std::string& text, std::vector<double>& markers);
    // "F1,F2": two such numbers with F1 < F2.
    static bool ParseSpan(const std::string& text, double& low, double& high);
    static constexpr int MAX_IMAGE_SIDE = 16384;

    // Loads a file as a file slot does; returns the result code and, on failure, the
    // reader's own first message (empty when it showed none).
    static int LoadAsSlot(CS2pData& data, const std::string& path, CCollectingSink& sink,
                          std::string* readerMessage = nullptr);

    // A progress line on err while --each or --envelope runs over the files; the program
    // sets it when standard error is a terminal.
    bool showProgress = false;
    // Whether out is a terminal: then the rows of --each show the progress themselves.
    bool outIsTerminal = false;

private:
    // The command on its files: as one run, or with --each on each file alone.
    int RunFiles(const CFileCommand& command, const std::vector<std::string>& files,
                 const CBatchOptions& batch);
    int RunEach(const CFileCommand& command, const std::vector<std::string>& files,
                const CBatchOptions& batch);
    // --export --envelope: the min, max and mean of the files' traces.
    int ExportEnvelope(const std::string& outPath, bool image, const CChartOptions& opts,
                       const CBatchOptions& batch);

    std::ostream& out;
    std::ostream& err;
};
