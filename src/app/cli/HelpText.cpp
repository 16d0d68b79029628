#include "app/cli/HelpText.h"

#include <cstring>
#include <sstream>

namespace HelpText {

const std::vector<const char*>& Synopsis()
{
    static const std::vector<const char*> lines = {
        "torvex [FILE...]",
        "torvex --export OUT.csv|OUT.png|OUT.svg|OUT.pdf [chart options] [FILE...]",
        "torvex --table --markers X1,X2,... [chart options] FILE...",
        "torvex --measure peak|min|bw:N [--span X1,X2] [chart options] FILE...",
        "torvex --limits MASK [chart options] FILE...",
        "torvex --quality [--mixed] [--pairing 13|12] FILE...",
        "torvex --save OUT.sNp|OUT.ts [--format ri|ma|db] [--unit hz|khz|mhz|ghz] "
        "[operations] FILE",
        "torvex --measure|--limits|--table|--check ... --each [--jobs N] FILE...",
        "torvex --export OUT --envelope [--jobs N] [chart options] FILE...",
        "torvex --check FILE...",
        "torvex --dump FILE",
        "torvex --help | --version",
    };
    return lines;
}

const std::vector<Group>& Groups()
{
    static const std::vector<Group> groups = {
        {"Window",
         {
             {"FILE...",
              "Open the window with these files in slots 1 to 5 (at most five). Without FILE "
              "the window reloads the last file of the previous run. Touchstone files .s1p to "
              ".s99p, .ts and .out, versions 1, 2.0 and 2.1."},
         }},
        {"Export",
         {
             {"--export OUT",
              "Write the chart without a window: its traces as CSV (.csv), or the chart itself "
              "(.png, .svg, .pdf). Without FILE an image shows the start-up example."},
             {"--view LIST",
              "The quantities to plot: comma-separated ELEMENT:FORMAT items or one preset "
              "(il+rl, il+phase, il+delay, rl+phase, splitter, coupler, all-rl, all-il); default "
              "S11:db,S21:db. ELEMENT is Sij (Si_j where a port has two digits), a mixed-mode "
              "Sddij, Sccij, Sdcij or Scdij, or S:sigma and S:recip (the largest singular value "
              "and the reciprocity measure of the whole matrix). FORMAT is db, phase, delay, "
              "lin, re, im, vswr, polar; for reflections also r, x, z (ohms) and smith; and the "
              "time responses impulse, step, bandpass and, for reflections, tdr (ohms). Smith, "
              "polar and time items do not mix with other formats."},
             {"--pairing 13|12",
              "The single-ended ports of the differential pairs of computed mixed-mode "
              "elements: 13 pairs 1-3, 2-4 (the default), 12 pairs 1-2, 3-4."},
             {"--size WxH", "Image size in pixels (default: the window's chart size)."},
             {"--markers X1,X2,...",
              "Marker positions in the data's frequency unit (ns on a time view)."},
         }},
        {"Measurement",
         {
             {"--table", "Print the marker value table as CSV (needs --markers)."},
             {"--measure peak|min|bw:N",
              "Print per trace its maximum, its minimum, or the band N dB below its maximum, "
              "as CSV."},
             {"--span X1,X2", "Search only from X1 to X2 (default: all the data)."},
             {"--limits MASK",
              "Judge the traces against a mask file (lines 'upper|lower X1 X2 V1 [V2] [ITEM]'); "
              "exit status 1 when any segment fails or finds no data."},
         }},
        {"Batch",
         {
             {"--each",
              "With --measure, --limits, --table or --check: any number of files, each on its "
              "own as if alone; CSV rows gain a first column 'file', in the order given. "
              "--limits ends with 'N files: P passed, F failed (yield Y %)' on standard error "
              "and exits 0 only when every file passed; a file that cannot be read fails."},
             {"--envelope",
              "With --export: any number of files; per view item the traces 'ITEM min', "
              "'ITEM max' and 'ITEM mean' of the shown values (dB for :db) at the first file's "
              "frequencies, drawn as a filled band with the mean as a line."},
             {"--jobs N",
              "With --each or --envelope: N worker threads (default: one per core); the output "
              "is the same for any N."},
         }},
        {"Time domain",
         {
             {"--window W",
              "The frequency window of the time responses and the gate: rect, hann, kaiser:BETA, "
              "min, normal (Kaiser 6, the default) or max."},
             {"--time T1,T2", "A time view's shown range in ns."},
             {"--distance VF",
              "A time view over distance in metres, one way, with velocity factor VF (0.01 "
              "to 1)."},
             {"--gate T1,T2[,notch]",
              "Pass the frequency items through a time gate from T1 to T2 ns (notch: remove "
              "that span instead)."},
             {"--gate-shape min|normal|wide|max", "The width of the gate's edges."},
         }},
        {"Quality",
         {
             {"--quality",
              "Print the causality, passivity and reciprocity of each file (IEEE 370 "
              "frequency-domain metrics) with their ratings as CSV."},
             {"--mixed", "With --quality: also the differential and common-mode blocks."},
         }},
        {"Network operations and saving",
         {
             {"--save OUT",
              "Write FILE, after the operations, as Touchstone 1 (OUT.sNp) or 2 (OUT.ts)."},
             {"--format ri|ma|db", "With --save: the numbers (default: the file's own)."},
             {"--unit hz|khz|mhz|ghz", "With --save: the frequency unit (default: the file's)."},
             {"--renormalize Z[,Z2,...]",
              "New reference impedances in ohms, one for all ports or one per port."},
             {"--cascade FILE2", "Connect the 2-port FILE2 after port 2 of each 2-port file."},
             {"--deembed LEFT[,RIGHT]",
              "Remove a 2-port fixture from port 1 (and one from port 2; ,RIGHT: port 2 only)."},
             {"--terminate P=Z[,Q=Z...]",
              "Close ports with loads (ohms, open or short) and remove them."},
             {"--reorder p1,p2,...", "Port k of the result is port p_k of the file."},
         }},
        {"Files",
         {
             {"--check FILE...", "Load each file as the window does and print one line about it."},
             {"--dump FILE", "Print the loaded data set as text."},
         }},
        {"Other",
         {
             {"--help", "Show this help."},
             {"--version", "Show the version."},
         }},
    };
    return groups;
}

namespace {

// Words of text wrapped into lines of at most width characters.
std::vector<std::string> Wrap(const std::string& text, std::size_t width)
{
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word, line;
    while (words >> word) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// Roff text: a backslash doubled, a leading dot or quote escaped, dashes as minus signs.
std::string Roff(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out = "\\&" + out;
    return out;
}

constexpr std::size_t kColumn = 26;  // where the texts of --help start

}  // namespace

std::string Help()
{
    std::string text = "Usage:";
    for (const char* line : Synopsis()) {
        const std::vector<std::string> parts = Wrap(line, 72);
        for (std::size_t i = 0; i < parts.size(); ++i)
            text += std::string(i > 0                ? "              "
                                : text.back() == ':' ? " "
                                                     : "       ")
                + parts[i] + "\n";
    }
    text +=
        "\nPlots Touchstone network-parameter files. The chart options are --view,\n"
        "--pairing, --size, --markers, the time-domain options and the operations.\n";
    for (const Group& group : Groups()) {
        text += "\n" + std::string(group.title) + ":\n";
        for (const Entry& entry : group.entries) {
            std::string head = "  " + std::string(entry.option);
            const std::vector<std::string> body = Wrap(entry.text, 80 - kColumn);
            std::size_t i = 0;
            if (head.size() + 1 < kColumn) {
                head.resize(kColumn, ' ');
                text += head + (body.empty() ? "" : body[0]) + "\n";
                i = 1;
            } else {
                text += head + "\n";
            }
            for (; i < body.size(); ++i)
                text += std::string(kColumn, ' ') + body[i] + "\n";
        }
    }
    return text;
}

std::string ManPage(const std::string& version, const std::string& date)
{
    std::string t;
    t += ".TH TORVEX 1 \"" + date + "\" \"torvex " + version + "\" \"User Commands\"\n";
    t += ".SH NAME\ntorvex \\- plot Touchstone S\\-parameter files\n";
    t += ".SH SYNOPSIS\n.nf\n";
    for (const char* line : Synopsis())
        t += Roff(line) + "\n";
    t += ".fi\n";
    t += ".SH DESCRIPTION\n"
         "Torvex plots any element of Touchstone network\\-parameter files (.s1p to .s99p, .ts, "
         ".out; versions 1, 2.0 and 2.1) against frequency or time: in dB, phase, group delay, "
         "linear and complex formats, on Smith and polar charts, as mixed\\-mode parameters and "
         "time\\-domain responses, with markers, searches, limit masks and quality metrics. "
         "Without options it opens its window; with a mode option it works without one and "
         "writes to standard output or to the file given. Files of up to 1 GiB and 1000001 "
         "frequency records are read whole. When standard error is a terminal, a read that "
         "takes more than half a second shows its progress there, and a run over many files "
         "counts them; nothing of it reaches a pipe or a file.\n";
    t += ".SH OPTIONS\n";
    for (const Group& group : Groups()) {
        t += ".SS " + Roff(group.title) + "\n";
        for (const Entry& entry : group.entries)
            t += ".TP\n.B " + Roff(entry.option) + "\n" + Roff(entry.text) + "\n";
    }
    t += ".SH VIEW ITEMS\n"
         "An item is ELEMENT:FORMAT. Frequency formats: db, phase (degrees), delay (ns), lin, re, "
         "im, vswr, polar; of reflections r, x, z (ohms) and smith. Time formats: impulse, step, "
         "bandpass and, of reflections, tdr (ohms). S:sigma and S:recip need no element.\n";
    t += ".SH EXIT STATUS\n"
         ".TP\n.B 0\nSuccess (for \\-\\-limits: every segment passed).\n"
         ".TP\n.B 1\nA file could not be read or written, or a limit failed or found no data.\n"
         ".TP\n.B 2\nBad usage, a refused operation, or nothing of an explicit view to plot.\n";
    t += ".SH FILES\n"
         ".TP\n.I ~/.config/torvex/torvex.ini\n"
         "The window's remembered settings ($XDG_CONFIG_HOME/torvex/torvex.ini when that is "
         "set); read at start and written at the end.\n"
         ".TP\n.I *.s1p ... *.s99p, *.ts, *.out\n"
         "Touchstone files, read; \\-\\-save writes them.\n"
         ".TP\n.I MASK\nLimit masks, read by \\-\\-limits and the window's Load limits.\n"
         ".TP\n.I marker files\nMarker lists, read and written by the Markers dialog.\n"
         ".TP\n.I OUT\nCSV, PNG, SVG and PDF files written by \\-\\-export.\n";
    t += ".SH EXAMPLES\n"
         "Export a filter's insertion loss and delay as an image:\n"
         ".PP\n.nf\ntorvex \\-\\-export filter.png \\-\\-view S21:db,S21:delay filter.s2p\n.fi\n"
         ".PP\nJudge a lot of parts against a mask and print its yield:\n"
         ".PP\n.nf\ntorvex \\-\\-limits mask.txt \\-\\-each lot/*.s2p > results.csv\n.fi\n"
         ".PP\nThe spread of a lot's insertion loss:\n"
         ".PP\n.nf\ntorvex \\-\\-export spread.png \\-\\-envelope \\-\\-view S21:db lot/*.s2p\n"
         ".fi\n"
         ".PP\nThe impedance profile of a cable, its first 5 ns:\n"
         ".PP\n.nf\ntorvex \\-\\-export tdr.png \\-\\-view S11:tdr \\-\\-time 0,5 cable.s2p\n.fi\n"
         ".PP\nCheck models before a simulation:\n"
         ".PP\n.nf\ntorvex \\-\\-quality \\-\\-mixed channel*.s4p\n.fi\n"
         ".PP\nRemove test fixtures and save the device:\n"
         ".PP\n.nf\ntorvex \\-\\-save dut.s2p \\-\\-deembed left.s2p,right.s2p measured.s2p\n"
         ".fi\n";
    t += ".SH LICENSE\nGPL\\-3.0\\-or\\-later.\n";
    return t;
}

}  // namespace HelpText
