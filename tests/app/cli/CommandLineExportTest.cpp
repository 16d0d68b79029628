#include "app/cli/CommandLine.h"
#include "app/cli/CsvTables.h"
#include "app/TorvexSession.h"
#include "platform/MessageBox.h"
#include "TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

std::string TestFile(const std::string& name)
{
    return std::string(TORVEX_TESTDATA) + "/" + name;
}

struct ExportRun {
    int status;
    std::string err;
};

ExportRun Export(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    CCommandLine cli(out, err);
    const int status = cli.Export(args);
    EXPECT_EQ(out.str(), "");
    return {status, err.str()};
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// Trace names of a CSV export, in the order they first appear, with their axes.
std::vector<std::string> TracesOf(const std::string& csv)
{
    std::vector<std::string> traces;
    const std::vector<std::string> lines = Lines(csv);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t second = lines[i].find(',', lines[i].find(',') + 1);
        const std::string head = lines[i].substr(0, second);
        if (traces.empty() || traces.back() != head)
            traces.push_back(head);
    }
    return traces;
}

TEST(CommandLineExport, ParseViewLists)
{
    struct Row {
        const char* text;
        ViewSelection selection;
        int preset;
    };
    const Row rows[] = {
        {"S11:db,S21:db", {{0, 0}, {4, 0}}, -1},
        // Grouped by format, then in the dialog's column order; case does not matter.
        {"s21:PHASE, S11:dB", {{0, 0}, {4, 1}}, -1},
        {"S44:delay,S12:db,S31:db,S12:db", {{1, 0}, {8, 0}, {15, 2}}, -1},
        {"S21:phase,S21:delay,S21:db", {{4, 0}, {4, 1}, {4, 2}}, -1},
        // Elements without a dialog column follow those with one, within their format.
        {"S10_2:db,sdd21:DB,S56:phase,S11:db,S10_2:db",
         {{0, 0},
          {ValueCode::Element(10, 2), 0},
          {ValueCode::MixedMode('d', 2, 'd', 1), 0},
          {ValueCode::Element(5, 6), 1}},
         -1},
        // The further formats follow dB, phase and delay, in code order.
        {"S22:z,S11:VSWR,S21:lin,S11:r,S12:im,Sdd11:x,S21:re,S11:db",
         {{0, ValueFormat::DB},
          {4, ValueFormat::LIN_MAG},
          {4, ValueFormat::REAL},
          {1, ValueFormat::IMAG},
          {0, ValueFormat::VSWR},
          {0, ValueFormat::RESISTANCE},
          {ValueCode::MixedMode('d', 1, 'd', 1), ValueFormat::REACTANCE},
          {5, ValueFormat::IMPEDANCE}},
         -1},
        {"S22:smith,S11:Smith,S22:smith", {{0, ValueFormat::SMITH}, {5, ValueFormat::SMITH}}, -1},
        {"S21:polar,Scd21:polar",
         {{4, ValueFormat::POLAR}, {ValueCode::MixedMode('c', 2, 'd', 1), ValueFormat::POLAR}},
         -1},
        {"il+rl", {}, 0},
        {"IL+Delay", {}, 2},
        {"splitter", {}, 4},
        {"all-il", {}, 7},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        ViewSelection selection{{9, 9}};
        int preset = 99;
        std::string bad;
        ASSERT_TRUE(CCommandLine::ParseView(row.text, selection, preset, bad));
        EXPECT_EQ(selection, row.selection);
        EXPECT_EQ(preset, row.preset);
    }
}

TEST(CommandLineExport, ParseViewRejectsBadItems)
{
    struct Row {
        const char* text;
        const char* bad;
    };
    const Row rows[] = {
        {"S01:db", "S01:db"},
        {"S11:mag", "S11:mag"},
        {"S11", "S11"},
        {"S102:db", "S102:db"},
        {"S11:db,,S21:db", ""},
        {"", ""},
        {"S1:db", "S1:db"},
        {"il+rl,S11:db", "il+rl"},
        {"S10:db", "S10:db"},
        {"Y21:db", "Y21:db"},
        // Impedances and the Smith chart need a reflection; complex views take no others.
        {"S11:r,S21:x", "S21:x"},
        {"S12:z", "S12:z"},
        {"Sdc11:smith", "Sdc11:smith"},
        {"S11:smith,S11:db", "S11:db"},
        {"S21:db,S11:smith", "S11:smith"},
        {"S11:smith,S21:polar", "S21:polar"},
        {"S11:ohm", "S11:ohm"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        ViewSelection selection;
        int preset = -1;
        std::string bad = "unset";
        EXPECT_FALSE(CCommandLine::ParseView(row.text, selection, preset, bad));
        EXPECT_EQ(bad, row.bad);
    }
    const ExportRun r = Export({"out.csv", "--view", "S11:db,S0_5:db", TestFile("bandpass.s2p")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("'S0_5:db'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Sij:db, Sij:phase or Sij:delay"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("all-il"), std::string::npos) << r.err;
}

TEST(CommandLineExport, ParseSizeAndMarkers)
{
    int w = 0, h = 0;
    EXPECT_TRUE(CCommandLine::ParseSize("640x480", w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_TRUE(CCommandLine::ParseSize("1X1", w, h));
    for (const char* bad :
         {"640", "0x10", "10x", "x10", "-5x10", "10x16385", "1.5x2", "99999999x2"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(CCommandLine::ParseSize(bad, w, h));
    }
    std::vector<double> markers;
    EXPECT_TRUE(CCommandLine::ParseMarkers("1900,2000.5, 1e3", markers));
    EXPECT_EQ(markers, (std::vector<double>{1900.0, 2000.5, 1000.0}));
    for (const char* bad : {"", "1900,", "1,5x", "2000,5;", "nan", "inf", "1,,2"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(CCommandLine::ParseMarkers(bad, markers));
    }
}

TEST(CommandLineExport, CsvOfTheDefaultView)
{
    TempDir dir;
    const std::string out = dir.Path("bp.csv");
    const ExportRun r = Export({out, TestFile("bandpass.s2p")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string csv = TempDir::Read(out);
    const std::vector<std::string> lines = Lines(csv);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "trace,axis,freq_MHz,value");
    EXPECT_EQ(TracesOf(csv), (std::vector<std::string>{"S11[dB](1),left", "S21[dB](1),left"}));

    // Every point of every trace, written so that it reads back exactly.
    CTorvexSession session;
    session.OpenFiles({{TestFile("bandpass.s2p"), "bandpass.s2p"}});
    const CChartGraph& g = session.Graph();
    ASSERT_EQ(lines.size(), 1 + g.traces[0].PointCount() + g.traces[1].PointCount());
    EXPECT_EQ(lines[1].rfind("S11[dB](1),left,1800,", 0), 0u) << lines[1];
    for (std::size_t i : {std::size_t{1}, lines.size() - 1}) {
        const std::string& line = lines[i];
        const CChartTrace::XYpair& p =
            i == 1 ? g.traces[0].points.front() : g.traces[1].points.back();
        const std::size_t valueAt = line.rfind(',');
        const std::size_t freqAt = line.rfind(',', valueAt - 1);
        EXPECT_EQ(std::strtod(line.c_str() + freqAt + 1, nullptr), p.x) << line;
        EXPECT_EQ(std::strtod(line.c_str() + valueAt + 1, nullptr), p.y) << line;
    }
    std::ostringstream direct;
    WriteCsv(g, "freq_MHz", direct);
    EXPECT_EQ(direct.str(), csv);
}

TEST(CommandLineExport, CsvViewsAndPresets)
{
    struct Row {
        const char* view;
        std::vector<std::string> files;
        std::vector<std::string> traces;
    };
    const Row rows[] = {
        {"S21:phase,S11:db", {"bandpass.s2p"}, {"S11[dB](1),left", "S21[deg](1),right"}},
        {"S21:delay,S21:phase", {"bandpass.s2p"}, {"S21[deg](1),left", "S21[ns](1),right"}},
        // The preset follows the largest port count among the loaded files.
        {"coupler",
         {"coupler.s4p"},
         {"S11[dB](1),left", "S21[dB](1),left", "S31[dB](1),left", "S41[dB](1),left"}},
        {"coupler", {"bandpass.s2p"}, {"S11[dB](1),left", "S21[dB](1),left"}},
        {"all-rl",
         {"bandpass.s2p", "splitter.s3p"},
         {"S11[dB](1),left", "S11[dB](2),left", "S22[dB](1),left", "S22[dB](2),left",
          "S33[dB](2),left"}},
        // Beyond four ports as the window's matrix dialog has them: every reflection, every
        // transmission from port 1.
        {"all-rl",
         {"cst.s12p"},
         {"S11[dB](1),left", "S22[dB](1),left", "S33[dB](1),left", "S44[dB](1),left",
          "S55[dB](1),left", "S66[dB](1),left", "S77[dB](1),left", "S88[dB](1),left",
          "S99[dB](1),left", "S10_10[dB](1),left", "S11_11[dB](1),left", "S12_12[dB](1),left"}},
        {"all-il",
         {"hfss.s6p"},
         {"S21[dB](1),left", "S31[dB](1),left", "S41[dB](1),left", "S51[dB](1),left",
          "S61[dB](1),left"}},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.view);
        const std::string out = dir.Path("v.csv");
        std::vector<std::string> args{out, "--view", row.view};
        for (const std::string& f : row.files)
            args.push_back(TestFile(f));
        const ExportRun r = Export(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(TracesOf(TempDir::Read(out)), row.traces);
    }
}

// The window's session and the command line put every view on the same axes, and the
// window's CSV export writes what the command line writes.
TEST(CommandLineExport, WindowAndCommandLineShareTheAxes)
{
    const char* const views[] = {
        "S21:phase,S21:delay", "S21:db,S21:phase,S21:delay", "S11:db,S21:delay",
        "S21:lin,S21:phase",   "S11:vswr,S11:r,S11:x",       "il+phase",
    };
    TempDir dir;
    for (const char* view : views) {
        SCOPED_TRACE(view);
        const std::string out = dir.Path("v.csv");
        ASSERT_EQ(Export({out, "--view", view, TestFile("bandpass.s2p")}).status, 0);
        const std::string csv = TempDir::Read(out);

        CTorvexSession window;
        window.OpenSingleFile("bandpass.s2p", TestFile("bandpass.s2p"));
        ViewSelection selection;
        int preset = -1;
        std::string bad;
        ASSERT_TRUE(CCommandLine::ParseView(view, selection, preset, bad));
        window.ApplySelection(preset >= 0 ? window.PresetSelection(preset) : selection);
        std::vector<std::string> axes;
        for (const CChartTrace& t : window.Graph().traces)
            axes.push_back(t.name + (t.onLeftAxis ? ",left" : ",right"));
        EXPECT_EQ(TracesOf(csv), axes);
        std::ostringstream windowCsv;
        WriteCsv(window.Graph(), "freq_MHz", windowCsv);
        EXPECT_EQ(windowCsv.str(), csv);
    }
}

// An explicit --view is done, or its missing items are named; nothing is put in their place.
TEST(CommandLineExport, AnExplicitViewIsNeverSubstituted)
{
    struct Row {
        std::vector<std::string> view;  // empty: the default view
        const char* file;
        int status;
        const char* message;  // on standard error; "" for none
        std::vector<std::string> traces;
    };
    const Row rows[] = {
        {{"S33:db"}, "bandpass.s2p", 2, "no loaded file has S33:db", {}},
        {{"S33:db,S21:db"}, "bandpass.s2p", 0, "no loaded file has S33:db", {"S21[dB](1),left"}},
        {{"S21:db,S21:delay"}, "termination.s1p", 2, "S21:db, S21:delay", {}},
        {{"S22:smith"}, "termination.s1p", 2, "nothing to plot", {}},
        // The default view falls back to what a one-port file has, as the window's does.
        {{}, "termination.s1p", 0, "", {"S11[dB](1),left"}},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE((row.view.empty() ? "default" : row.view[0]) + " of " + row.file);
        const std::string out = dir.Path("v.csv");
        std::filesystem::remove(out);
        std::vector<std::string> args{out};
        if (!row.view.empty())
            args.insert(args.end(), {"--view", row.view[0]});
        args.push_back(TestFile(row.file));
        const ExportRun r = Export(args);
        EXPECT_EQ(r.status, row.status) << r.err;
        if (*row.message)
            EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
        else
            EXPECT_EQ(r.err, "");
        if (row.status == 0)
            EXPECT_EQ(TracesOf(TempDir::Read(out)), row.traces);
        else
            EXPECT_FALSE(std::filesystem::exists(out));
    }
}

// The newest 16 traces stay; the command line says which it left out.
TEST(CommandLineExport, TheTraceCapIsNamed)
{
    TempDir dir;
    const std::string out = dir.Path("cap.csv");
    const ExportRun r =
        Export({out, "--view", "all-rl", TestFile("cst.s12p"), TestFile("cst.s12p")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err,
              "torvex: 24 traces asked for, a chart shows at most 16: the oldest 8 (S11[dB](1), "
              "S11[dB](2), S22[dB](1), ..., S44[dB](2)) are left out\n");
    const std::vector<std::string> traces = TracesOf(TempDir::Read(out));
    ASSERT_EQ(traces.size(), 16u);
    EXPECT_EQ(traces.front(), "S55[dB](1),left");
}

TEST(CommandLineExport, UsageErrors)
{
    const std::string f = TestFile("bandpass.s2p");
    struct Row {
        std::vector<std::string> args;
        const char* message;
    };
    const Row rows[] = {
        {{}, "needs an output file"},
        {{"out.txt", f}, "cannot tell the format"},
        {{"out.csv"}, "needs at least one FILE"},
        {{"out.csv", f, f, f, f, f, f}, "at most 5 files"},
        {{"out.png", f, f, f, f, f, f}, "at most 5 files"},
        {{"out.csv", "--size", "10x10", f}, "image exports only"},
        {{"out.png", "--size", "ten", f}, "bad --size"},
        {{"out.png", "--markers", "a", f}, "bad --markers"},
        {{"out.png", "--view"}, "--view needs a value"},
        {{"out.png", "--frobnicate", f}, "unknown option"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        const ExportRun r = Export(row.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    }
}

// "--view=LIST" reads as "--view LIST", "--" ends the options, and of two wrong words
// the first is named, as when the words were scanned one by one.
TEST(CommandLineExport, OptionWordsAndTheEndOfOptions)
{
    TempDir dir;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path(""));
    std::filesystem::copy_file(TestFile("bandpass.s2p"), "-x.s2p");
    std::filesystem::copy_file(TestFile("bandpass.s2p"), "caf\xe9.s2p");  // not UTF-8
    EXPECT_EQ(Export({"spaced.csv", "--view", "S21:db", "-x.s2p"}).err,
              "torvex: unknown option '-x.s2p' (try --help)\n");
    ExportRun r = Export({"spaced.csv", "--view", "S21:db", "--", "-x.s2p"});
    EXPECT_EQ(r.status, 0) << r.err;
    r = Export({"joined.csv", "--view=S21:db", "--", "-x.s2p"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string csv = TempDir::Read("joined.csv");
    EXPECT_EQ(TracesOf(csv), (std::vector<std::string>{"S21[dB](1),left"}));
    EXPECT_EQ(csv, TempDir::Read("spaced.csv"));
    r = Export({"latin.csv", "--view=S21:db", "caf\xe9.s2p"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(TempDir::Read("latin.csv"), csv);
    struct Row {
        std::vector<std::string> args;
        const char* err;
    };
    const Row rows[] = {
        {{"o.csv", "--frob", "--view", "bad", "-x.s2p"}, "unknown option '--frob'"},
        {{"o.csv", "--view", "bad", "--frob", "-x.s2p"}, "bad --view item 'bad'"},
        {{"o.csv", "--size", "0x0", "--frob=1", "--"}, "bad --size '0x0'"},
        {{"o.csv", "--view", "S11:db", "-vw", "--view"}, "unknown option '-vw'"},
        {{"o.csv", "--view", "--frob", "-x.s2p"}, "bad --view item '--frob'"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.err);
        r = Export(row.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    }
    std::filesystem::current_path(before);
}

TEST(CommandLineExport, FilesThatFailToLoad)
{
    TempDir dir;
    const std::string missing = dir.Path("missing.s2p");
    const std::string out = dir.Path("x.csv");
    ExportRun r = Export({out, missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Cannot read file or invalid data format: " + missing), std::string::npos)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    // A failing second file stops loading there; what loaded is still written.
    r = Export({out, TestFile("bandpass.s2p"), missing, TestFile("splitter.s3p")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Cannot read file or invalid data format: " + missing), std::string::npos);
    EXPECT_EQ(TracesOf(TempDir::Read(out)),
              (std::vector<std::string>{"S11[dB](1),left", "S21[dB](1),left"}));

    EXPECT_EQ(Export({dir.Path("img.png"), missing}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("img.png")));
    EXPECT_EQ(Export({dir.Path("no/such/dir/x.csv"), TestFile("bandpass.s2p")}).status, 1);
}

TEST(CommandLineExport, Images)
{
    TempDir dir;
    const std::string example = dir.Path("example.png");
    ExportRun r = Export({example, "--size", "320x200"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage image(QString::fromStdString(example));
    EXPECT_EQ(image.width(), 320);
    EXPECT_EQ(image.height(), 200);

    const std::string svg = dir.Path("bp.SVG");
    r = Export({svg, "--view", "il+phase", "--markers", "1900,2000", TestFile("bandpass.s2p")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(TempDir::Read(svg).find("<svg"), std::string::npos);

    const std::string pdf = dir.Path("bp.pdf");
    r = Export({pdf, TestFile("bandpass.s2p")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(TempDir::Read(pdf).rfind("%PDF", 0), 0u);
}

// The real program must export without any display to connect to.
TEST(CommandLineExport, ProgramExportsWithoutADisplay)
{
    // The suite builds the program first: a missing binary is a failure, not a skip.
    ASSERT_TRUE(std::filesystem::exists(TORVEX_BINARY)) << TORVEX_BINARY;
    TempDir dir;
    const std::string out = dir.Path("headless.png");
    const std::string errors = dir.Path("stderr.txt");
    // Without XDG_RUNTIME_DIR too, where Qt would have a word to say.
    const std::string command =
        "env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR '"
        + std::string(TORVEX_BINARY) + "' --export '" + out + "' '" + TestFile("splitter.s3p")
        + "' 2>'" + errors + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_FALSE(QImage(QString::fromStdString(out)).isNull());
    EXPECT_EQ(TempDir::Read(errors), "") << "the command line prints only its own words";
}

TEST(CommandLineExport, WindowModeTakesAtMostFiveFiles)
{
    std::vector<std::string> args{"torvex", "a.s2p", "b.s2p", "c.s2p", "d.s2p", "e.s2p", "f.s2p"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    EXPECT_EQ(RunTorvex(static_cast<int>(argv.size()), argv.data()), 2);
}

}  // namespace

namespace {

TEST(CommandLineTable, MarkerRowsPerTraceEmptyOutsideTheData)
{
    std::ostringstream out, err;
    CCommandLine cli(out, err);
    ASSERT_EQ(cli.Table({"--markers", "1800,50,2600", "--view", "S11:db,S21:db",
                         TestFile("bandpass.s2p")}),
              0)
        << err.str();
    struct Row {
        const char* head;  // marker, frequency and trace
        double value;      // NaN: the field is empty
    };
    const double none = std::nan("");
    const Row rows[] = {
        {"1,1800,S11[dB](1),", -0.4}, {"1,1800,S21[dB](1),", -81.3526},
        {"2,50,S11[dB](1),", none},   {"2,50,S21[dB](1),", none},
        {"3,2600,S11[dB](1),", -0.4}, {"3,2600,S21[dB](1),", -78.0204},
    };
    const std::vector<std::string> lines = Lines(out.str());
    ASSERT_EQ(lines.size(), std::size(rows) + 1);
    EXPECT_EQ(lines[0], "marker,freq_MHz,trace,value");
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(lines[i + 1]);
        const std::string head = rows[i].head;
        ASSERT_EQ(lines[i + 1].substr(0, head.size()), head);
        const std::string value = lines[i + 1].substr(head.size());
        if (std::isnan(rows[i].value))
            EXPECT_EQ(value, "");
        else
            EXPECT_NEAR(std::stod(value), rows[i].value, 1e-9);
    }

    struct Usage {
        const char* label;
        std::vector<std::string> args;
    };
    const Usage bad[] = {
        {"no markers", {TestFile("bandpass.s2p")}},
        {"no file", {"--markers", "1"}},
        {"size", {"--markers", "1", "--size", "10x10", TestFile("bandpass.s2p")}},
        {"bad view", {"--markers", "1", "--view", "S05:db", TestFile("bandpass.s2p")}},
    };
    for (const Usage& u : bad) {
        SCOPED_TRACE(u.label);
        std::ostringstream o, e;
        EXPECT_EQ(CCommandLine(o, e).Table(u.args), 2);
        EXPECT_EQ(o.str(), "");
    }
}

}  // namespace

namespace {

// A file of the given records, each "freq" followed by its elements' re, im pairs.
std::string WriteFile(TempDir& dir, const std::string& name, const std::string& records)
{
    return dir.Write(name, "# GHz S RI R 50\n" + records);
}

TEST(CommandLineTable, SmithViewsReadReflections)
{
    using Cx = std::complex<double>;
    // S11 of 30 + j40 ohms at 1 GHz and of 100 ohms at 2 GHz; S22 matched throughout.
    const Cx g1 = (Cx(30, 40) - 50.0) / (Cx(30, 40) + 50.0);
    const Cx g2 = (100.0 - 50.0) / (100.0 + 50.0);
    std::string records;
    for (const auto& [f, g] : {std::pair<int, Cx>(1, g1), {2, g2}, {3, g2}}) {
        char line[160];
        std::snprintf(line, sizeof line, "%d %.17g %.17g 0 0 0 0 0 0\n", f, g.real(), g.imag());
        records += line;
    }
    TempDir dir;
    const std::string file = WriteFile(dir, "loads.s2p", records);
    std::ostringstream out, err;
    ASSERT_EQ(CCommandLine(out, err).Table(
                  {"--markers", "1,1.5,5", "--view", "S11:smith,S22:smith", file}),
              0)
        << err.str();
    const std::vector<std::string> lines = Lines(out.str());
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "marker,freq_GHz,trace,re,im,r_ohm,x_ohm,vswr");
    EXPECT_EQ(lines[5], "3,5,S11(1),,,,,");  // beyond the data
    EXPECT_EQ(lines[6], "3,5,S22(1),,,,,");
    const Cx mid = (g1 + g2) / 2.0;  // the element interpolated half-way
    const Cx zMid = 50.0 * (1.0 + mid) / (1.0 - mid);
    struct Row {
        std::size_t line;
        const char* head;
        double re, im, r, x, vswr;
    };
    const Row rows[] = {
        {1, "1,1,S11(1),", g1.real(), g1.imag(), 30, 40, 3},
        {2, "1,1,S22(1),", 0, 0, 50, 0, 1},
        {3, "2,1.5,S11(1),", mid.real(), mid.imag(), zMid.real(), zMid.imag(),
         (1 + std::abs(mid)) / (1 - std::abs(mid))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(lines[row.line]);
        const std::string head = row.head;
        ASSERT_EQ(lines[row.line].substr(0, head.size()), head);
        std::istringstream fields(lines[row.line].substr(head.size()));
        std::vector<double> v;
        for (std::string field; std::getline(fields, field, ',');)
            v.push_back(std::stod(field));
        ASSERT_EQ(v.size(), 5u);
        const double want[] = {row.re, row.im, row.r, row.x, row.vswr};
        for (std::size_t k = 0; k < 5; ++k)
            EXPECT_NEAR(v[k], want[k], 1e-9) << k;
    }
    // A transmission on a polar chart has no impedance and no VSWR.
    std::ostringstream polar, polarErr;
    ASSERT_EQ(CCommandLine(polar, polarErr).Table({"--markers", "1", "--view", "S21:polar", file}),
              0)
        << polarErr.str();
    EXPECT_EQ(Lines(polar.str()).at(1), "1,1,S21(1),0,0,,,");
}

TEST(CommandLineTable, PairingChoosesThePortsOfTheDifferentialPairs)
{
    // Two uncoupled lines of transmission 0.5, from port 1 to 2 and from 3 to 4: pairs 1-3
    // and 2-4 see the lines' transmission, pairs 1-2 and 3-4 each join one line's ends.
    std::string records;
    for (int f = 1; f <= 3; ++f)
        records += std::to_string(f) + " 0 0 0.5 0 0 0 0 0\n 0.5 0 0 0 0 0 0 0\n"
            + " 0 0 0 0 0 0 0.5 0\n 0 0 0 0 0.5 0 0 0\n";
    TempDir dir;
    const std::string file = WriteFile(dir, "lines.s4p", records);
    struct Row {
        std::vector<std::string> pairing;
        const char* line;
    };
    const Row rows[] = {
        {{}, "1,2,Sdd21(mag)(1),0.5"},  // 13 when not given
        {{"--pairing", "13"}, "1,2,Sdd21(mag)(1),0.5"},
        {{"--pairing", "12"}, "1,2,Sdd21(mag)(1),0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        std::vector<std::string> args = {"--markers", "2", "--view", "Sdd21:lin", file};
        args.insert(args.begin(), row.pairing.begin(), row.pairing.end());
        std::ostringstream out, err;
        ASSERT_EQ(CCommandLine(out, err).Table(args), 0) << err.str();
        const std::vector<std::string> lines = Lines(out.str());
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[1], row.line);
    }
    for (const char* bad : {"14", "", "1-3"}) {
        SCOPED_TRACE(bad);
        std::ostringstream out, err;
        EXPECT_EQ(CCommandLine(out, err).Table({"--markers", "2", "--pairing", bad, file}), 2);
        EXPECT_NE(err.str().find("bad --pairing"), std::string::npos) << err.str();
        std::ostringstream o2, e2;
        EXPECT_EQ(CCommandLine(o2, e2).Measure({"peak", "--pairing", bad, file}), 2);
    }
    std::ostringstream out, err;
    EXPECT_EQ(
        CCommandLine(out, err).Measure({"peak", "--pairing", "12", "--view", "Sdd21:db", file}), 0)
        << err.str();
}

}  // namespace
