// --measure and --limits on a file of known shape.
#include "app/cli/CommandLine.h"
#include "platform/AsciiText.h"
#include "platform/NumberFormat.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

// S21 falls 0.5 dB per MHz from 0 dB at 100 MHz; S11 rises 0.5 dB per MHz from -20 dB at
// 110 MHz; whole MHz from 80 to 120.
std::string ShapeFile(const TempDir& dir)
{
    std::string text = "# MHz S DB R 50\n";
    for (int f = 80; f <= 120; ++f) {
        const double s11 = -20 + 0.5 * std::abs(f - 110);
        const double s21 = -0.5 * std::abs(f - 100);
        text += std::to_string(f) + " " + FormatValue("%g", s11) + " 0 " + FormatValue("%g", s21)
            + " 0 " + FormatValue("%g", s21) + " 0 -30 0\n";
    }
    return dir.Write("shape.s2p", text);
}

struct CliRun {
    int status;
    std::vector<std::vector<std::string>> rows;  // CSV fields, header first
    std::string err;
};

CliRun Call(bool limits, const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    CCommandLine cli(out, err);
    const int status = limits ? cli.Limits(args) : cli.Measure(args);
    CliRun run{status, {}, err.str()};
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos;
             start = comma + 1)
            fields.push_back(line.substr(start, comma - start));
        fields.push_back(line.substr(start));
        run.rows.push_back(fields);
    }
    return run;
}

// Each field of a row: a number to 1e-6 (the file's dB go through linear and back), the
// text itself when it is not a number, "" for an empty field.
void ExpectRow(const std::vector<std::string>& row, const std::vector<std::string>& expected)
{
    ASSERT_EQ(row.size(), expected.size());
    for (std::size_t i = 0; i < row.size(); ++i) {
        SCOPED_TRACE(i);
        char* end = nullptr;
        const double want = std::strtod(expected[i].c_str(), &end);
        if (!expected[i].empty() && *end == '\0')
            EXPECT_NEAR(std::stod(row[i]), want, 1e-6);
        else
            EXPECT_EQ(row[i], expected[i]);
    }
}

TEST(CommandLineAnalysis, MeasurePeakMinAndBandwidth)
{
    TempDir dir;
    const std::string file = ShapeFile(dir);
    using Rows = std::vector<std::vector<std::string>>;
    struct Case {
        std::vector<std::string> args;
        Rows rows;
    };
    const Case cases[] = {
        {{"peak", file},
         {{"trace", "freq_MHz", "value"}, {"S11[dB](1)", "80", "-5"}, {"S21[dB](1)", "100", "0"}}},
        // Of equal values the lowest frequency.
        {{"MIN", file},
         {{"trace", "freq_MHz", "value"},
          {"S11[dB](1)", "110", "-20"},
          {"S21[dB](1)", "80", "-10"}}},
        // A stored point, not the higher value the line reaches at the span's end.
        {{"peak", "--span", "104.5,120", "--view", "S21:db", file},
         {{"trace", "freq_MHz", "value"}, {"S21[dB](1)", "105", "-2.5"}}},
        {{"peak", "--span=104.5,120", "--view=S21:db", file},
         {{"trace", "freq_MHz", "value"}, {"S21[dB](1)", "105", "-2.5"}}},
        {{"min", "--view", "S21:db", "--span", "130,140", file},
         {{"trace", "freq_MHz", "value"}, {"S21[dB](1)", "", ""}}},
        // S11's maximum is at the data's lower end: no lower crossing, so no centre either.
        {{"bw:3", file},
         {{"trace", "center_MHz", "low_MHz", "high_MHz", "bandwidth_MHz", "q", "peak"},
          {"S11[dB](1)", "", "", "86", "", "", "-5"},
          {"S21[dB](1)", "100", "94", "106", "12", "8.3333333333", "0"}}},
        // Smith and polar traces hold |S|, searched over all the data.
        {{"peak", "--view", "S21:polar", file},
         {{"trace", "freq_MHz", "value"}, {"S21(1)", "100", "1"}}},
        {{"min", "--view", "S11:smith", file},
         {{"trace", "freq_MHz", "value"}, {"S11(1)", "110", "0.1"}}},
        {{"bw:2.75", "--view", "S21:db", file},
         {{"trace", "center_MHz", "low_MHz", "high_MHz", "bandwidth_MHz", "q", "peak"},
          {"S21[dB](1)", "100", "94.5", "105.5", "11", "9.0909090909", "0"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + (c.args.size() > 2 ? " " + c.args[1] + " " + c.args[2] : ""));
        const CliRun run = Call(false, c.args);
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(run.rows.size(), c.rows.size());
        EXPECT_EQ(run.rows[0], c.rows[0]);
        for (std::size_t i = 1; i < c.rows.size(); ++i)
            ExpectRow(run.rows[i], c.rows[i]);
    }
}

TEST(CommandLineAnalysis, LimitsReportEverySegmentAndSetTheExitStatus)
{
    TempDir dir;
    const std::string file = ShapeFile(dir);
    const std::string mask = dir.Write("mask.txt",
                                       "upper 90 110 -1 S21:db\n"
                                       "lower 80 120 -30   ! every trace\n"
                                       "! S11 phase is not shown\n"
                                       "upper 95 105 0 S11:phase\n");
    CliRun run = Call(true, {mask, file});
    EXPECT_EQ(run.status, 1) << run.err;
    ASSERT_EQ(run.rows.size(), 5u);
    EXPECT_EQ(run.rows[0],
              (std::vector<std::string>{"segment", "trace", "result", "margin", "freq_MHz"}));
    ExpectRow(run.rows[1], {"1", "S21[dB](1)", "fail", "-1", "100"});
    ExpectRow(run.rows[2], {"2", "S11[dB](1)", "pass", "10", "110"});
    ExpectRow(run.rows[3], {"2", "S21[dB](1)", "pass", "20", "80"});
    ExpectRow(run.rows[4], {"4", "", "nodata", "", ""});

    const std::string passing = dir.Write("pass.txt", "lower 80 120 -30\r\nupper 80 120 0\r\n");
    run = Call(true, {passing, "--view", "S21:db", file});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.rows.size(), 3u);

    // No file loaded.
    run = Call(true, {passing, dir.Path("missing.s2p")});
    EXPECT_EQ(run.status, 1);

    // The program's own dispatch reaches both modes.
    char name[] = "torvex";
    std::string words[] = {"--limits", passing, file};
    char* argv[] = {name, words[0].data(), words[1].data(), words[2].data()};
    EXPECT_EQ(RunTorvex(4, argv), 0);
    std::string measure[] = {"--measure", "peak", file};
    char* argv2[] = {name, measure[0].data(), measure[1].data(), measure[2].data()};
    EXPECT_EQ(RunTorvex(4, argv2), 0);
}

TEST(CommandLineAnalysis, FieldsHoldFiniteNumbersOrNothing)
{
    TempDir dir;
    const std::string file = ShapeFile(dir);
    // A band of no width has no Q; a mask at the largest doubles still has margins.
    CliRun run = Call(false, {"bw:1e-320", "--view", "S21:db", file});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.rows.size(), 2u);
    ExpectRow(run.rows[1], {"S21[dB](1)", "100", "100", "100", "0", "", "0"});
    const std::string huge = dir.Write("huge.txt", "lower -1e308 1e308 -1e308 1e308 S21:db\n");
    run = Call(true, {huge, "--view", "S21:db", file});
    ASSERT_EQ(run.rows.size(), 2u);
    ExpectRow(run.rows[1], {"1", "S21[dB](1)", "fail", "-10", "80"});
    // S21 reaches 0 dB at 100 MHz: an infinite VSWR there, which the CSV leaves empty.
    std::ostringstream out, err;
    CCommandLine cli(out, err);
    const std::string csv = dir.Path("vswr.csv");
    ASSERT_EQ(cli.Export({csv, "--view", "S21:vswr", file}), 0) << err.str();
    const std::string text = TempDir::Read(csv);
    EXPECT_NE(text.find("S21[VSWR](1),left,100,\n"), std::string::npos);
    for (const char* word : {"nan", "inf"})
        EXPECT_EQ(AsciiLower(text).find(word), std::string::npos) << word;
}

TEST(CommandLineAnalysis, UsageErrors)
{
    TempDir dir;
    const std::string file = ShapeFile(dir);
    const std::string mask = dir.Write("mask.txt", "upper 80 120 0\n");
    const std::string bad = dir.Write("bad.txt", "upper 80 120 0\nupper 80 x 0\nside 1 2 3\n");
    struct Case {
        bool limits;
        std::vector<std::string> args;
        const char* message;  // part of the error text
    };
    const Case cases[] = {
        {false, {}, "peak, min or bw:N"},
        {false, {"max", file}, "peak, min or bw:N"},
        {false, {"bw:0", file}, "above 0"},
        {false, {"bw:x", file}, "above 0"},
        {false, {"peak", "--span", "5", file}, "--span"},
        {false, {"peak", "--span", "5,1", file}, "--span"},
        {false, {"peak", file, "--span"}, "--span"},
        {false, {"peak"}, "FILE"},
        {false, {"peak", "--markers", "1", file}, "--markers"},
        {true, {}, "MASK"},
        {true, {mask}, "FILE"},
        {true, {mask, "--size", "10x10", file}, "--size"},
        {true, {mask, "--span", "1,2", file}, "--span"},
        {true, {dir.Path("none.txt"), file}, "cannot read the mask"},
        {true, {bad, file}, "bad.txt:2: 'x' is not a number"},
        {true, {bad, file}, "bad.txt:3: expected 'upper' or 'lower'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const CliRun run = Call(c.limits, c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.rows.empty());
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

}  // namespace
