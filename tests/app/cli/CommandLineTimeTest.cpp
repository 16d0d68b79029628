// Time views on the command line: the time columns, the shown range, the gate, and every
// time option done, warned about or refused.
#include "app/cli/CommandLine.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::string TestFile(const std::string& name)
{
    return std::string(TORVEX_TESTDATA) + "/" + name;
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Command(int (CCommandLine::*command)(const std::vector<std::string>&),
                const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    CCommandLine cli(out, err);
    const int status = (cli.*command)(args);
    return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(CommandLineTime, ExportTableAndMeasureOverTime)
{
    TempDir dir;
    const std::string f = TestFile("bandpass.s2p");
    const std::string csv = dir.Path("t.csv");
    // The whole response, then the part --time keeps, over time and over distance.
    struct Row {
        std::vector<std::string> options;
        const char* header;
        double from, to;  // every row's X lies within
    };
    const Row rows[] = {
        {{"--view", "S11:tdr,S21:step"}, "trace,axis,time_ns,value", -130, 130},
        {{"--view", "S21:impulse", "--time", "0,20"}, "trace,axis,time_ns,value", 0, 20},
        {{"--view", "S11:tdr", "--time", "0,20", "--distance", "0.5"},
         "trace,axis,distance_m,value",
         0,
         0.5 * 0.299792458 * 20 / 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.options[1]);
        std::vector<std::string> args = {csv};
        args.insert(args.end(), row.options.begin(), row.options.end());
        args.push_back(f);
        const Outcome r = Command(&CCommandLine::Export, args);
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::string> lines = Lines(TempDir::Read(csv));
        ASSERT_GT(lines.size(), 20u);
        EXPECT_EQ(lines[0], row.header);
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const std::size_t a = lines[i].find(',', lines[i].find(',') + 1) + 1;
            const double x = std::stod(lines[i].substr(a, lines[i].find(',', a) - a));
            EXPECT_GE(x, row.from - 1e-9);
            EXPECT_LE(x, row.to + 1e-9);
        }
    }
    // A TDR of a matched start reads the reference at 0 ns.
    const Outcome table =
        Command(&CCommandLine::Table, {"--markers", "-1,0", "--view", "S22:tdr", f});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(Lines(table.out)[0], "marker,time_ns,trace,value");
    const Outcome peak = Command(&CCommandLine::Measure, {"peak", "--view", "S21:bandpass", f});
    ASSERT_EQ(peak.status, 0) << peak.err;
    EXPECT_EQ(Lines(peak.out)[0], "trace,time_ns,value");
    EXPECT_EQ(Lines(peak.out)[1].rfind("S21[bandpass](1),", 0), 0u);
}

TEST(CommandLineTime, TimeOptionsAreDoneWarnedOrRefused)
{
    TempDir dir;
    const std::string f = TestFile("bandpass.s2p");
    const std::string csv = dir.Path("t.csv");
    struct Row {
        std::vector<std::string> args;
        int status;
        const char* message;  // on standard error; "" for none
    };
    const Row rows[] = {
        {{csv, "--view", "S21:db,S21:impulse", f}, 2, "cannot be mixed with frequency items"},
        {{csv, "--view", "S21:tdr", f}, 2, "needs a reflection"},
        {{csv, "--window", "kaiser:x", f}, 2, "bad --window"},
        {{csv, "--gate", "2,1", f}, 2, "bad --gate"},
        {{csv, "--gate-shape", "round", f}, 2, "bad --gate-shape"},
        {{csv, "--time", "5", f}, 2, "bad --time"},
        {{csv, "--distance", "1.5", f}, 2, "bad --distance"},
        {{csv, "--distance", "1e-320", f}, 2, "bad --distance"},
        {{csv, "--gate", "1000,2000", f}, 2, "keeps fewer than two samples"},
        {{csv, "--gate", "0,5", "--view", "S:sigma", f}, 0, "--gate applies to no item"},
        {{csv, "--time", "0,5", f}, 0, "apply to time views"},
        {{csv, "--window", "hann", f}, 0, "--window has no effect"},
        {{csv, "--gate-shape", "wide", f}, 0, "--gate-shape has no effect"},
        {{csv, "--gate", "0,5", "--view", "S21:impulse", f}, 0, "only drawn"},
        {{csv, "--gate", "0,5,notch", "--gate-shape", "max", f}, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        const Outcome r = Command(&CCommandLine::Export, row.args);
        EXPECT_EQ(r.status, row.status) << r.err;
        if (*row.message)
            EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
        else
            EXPECT_EQ(r.err, "");
    }
    const Outcome bw = Command(&CCommandLine::Measure, {"bw:3", "--view", "S21:impulse", f});
    EXPECT_EQ(bw.status, 2);
    EXPECT_NE(bw.err.find("time view has peak and min"), std::string::npos) << bw.err;
    // Gated traces say so, and masks still find them by their item.
    const Outcome gated = Command(&CCommandLine::Measure, {"peak", "--gate", "0,5", f});
    EXPECT_NE(gated.out.find("S21[dB](1) gated,"), std::string::npos) << gated.out;
}

}  // namespace
