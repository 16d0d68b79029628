// --each over a lot of files and --export --envelope: rows in file order whatever the
// number of threads, the yield line, and envelopes of files of known offsets.
#include "app/cli/CommandLine.h"
#include "platform/NumberFormat.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows SplitCsv(const std::string& text)
{
    Rows rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos;
             start = comma + 1)
            fields.push_back(line.substr(start, comma - start));
        fields.push_back(line.substr(start));
        rows.push_back(fields);
    }
    return rows;
}

// S21 in dB over whole MHz from 80 to 120: a peak of -drop dB at centre, falling 0.5 dB
// per MHz on both sides. S11 a flat -30 dB.
std::string PeakFile(const TempDir& dir, const std::string& name, int centre, double drop)
{
    std::string text = "# MHz S DB R 50\n";
    for (int f = 80; f <= 120; ++f) {
        const std::string s21 = FormatValue("%.10g", -drop - 0.5 * std::abs(f - centre));
        text += std::to_string(f) + " -30 0 " + s21 + " 0 " + s21 + " 0 -30 0\n";
    }
    return dir.Write(name, text);
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Call(const char* mode, const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    CCommandLine cli(out, err);
    const std::string m = mode;
    const int status = m == "limits" ? cli.Limits(args)
        : m == "measure"             ? cli.Measure(args)
        : m == "check"               ? cli.Check(args)
        : m == "table"               ? cli.Table(args)
                                     : cli.Export(args);
    return {status, out.str(), err.str()};
}

TEST(CommandLineBatch, EachFileAloneInFileOrderForAnyJobs)
{
    TempDir dir;
    // File k peaks at 95 + k % 11 MHz, 0.1 (k % 7) dB down; an upper limit of -0.25 dB
    // passes it from k % 7 = 3 on, with the margin at the peak. File 17 cannot be read.
    constexpr int kCount = 40;
    constexpr int kUnreadable = 17;
    std::vector<std::string> files;
    for (int k = 0; k < kCount; ++k) {
        const std::string name = "f" + std::to_string(k) + ".s2p";
        files.push_back(k == kUnreadable ? dir.Write(name, "# MHz S DB R 50\nnot numbers\n")
                                         : PeakFile(dir, name, 95 + k % 11, 0.1 * (k % 7)));
    }
    const std::string mask = dir.Write("mask.txt", "upper 80 120 -0.25 S21:db\n");
    int passed = 0;
    std::string firstOut;  // of --jobs 1
    for (const char* jobs : {"1", "4"}) {
        SCOPED_TRACE(std::string("--jobs ") + jobs);
        std::vector<std::string> limitsArgs = {mask, "--each", "--jobs", jobs};
        limitsArgs.insert(limitsArgs.end(), files.begin(), files.end());
        const Outcome limits = Call("limits", limitsArgs);
        std::vector<std::string> peakArgs = {"peak", "--view", "S21:db", "--each",
                                             "--jobs=" + std::string(jobs)};
        peakArgs.insert(peakArgs.end(), files.begin(), files.end());
        const Outcome peaks = Call("measure", peakArgs);
        EXPECT_EQ(limits.status, 1);
        EXPECT_EQ(peaks.status, 1);  // the unreadable file
        const Rows limitRows = SplitCsv(limits.out);
        const Rows peakRows = SplitCsv(peaks.out);
        ASSERT_EQ(limitRows.size(), kCount);  // a header, no rows of the unreadable file
        ASSERT_EQ(peakRows.size(), kCount);
        EXPECT_EQ(
            limitRows[0],
            (std::vector<std::string>{"file", "segment", "trace", "result", "margin", "freq_MHz"}));
        EXPECT_EQ(peakRows[0], (std::vector<std::string>{"file", "trace", "freq_MHz", "value"}));
        passed = 0;
        for (int k = 0, row = 1; k < kCount; ++k) {
            if (k == kUnreadable)
                continue;
            SCOPED_TRACE(k);
            const bool pass = k % 7 >= 3;
            passed += pass ? 1 : 0;
            const std::vector<std::string>& l = limitRows[static_cast<std::size_t>(row)];
            const std::vector<std::string>& p = peakRows[static_cast<std::size_t>(row)];
            ++row;
            ASSERT_EQ(l.size(), 6u);
            ASSERT_EQ(p.size(), 4u);
            EXPECT_EQ(l[0], files[static_cast<std::size_t>(k)]);
            EXPECT_EQ(l[2], "S21[dB](1)");  // as if alone in slot 1
            EXPECT_EQ(l[3], pass ? "pass" : "fail");
            EXPECT_NEAR(std::stod(l[4]), 0.1 * (k % 7) - 0.25, 1e-6);
            EXPECT_EQ(l[5], std::to_string(95 + k % 11));
            EXPECT_EQ(p[0], files[static_cast<std::size_t>(k)]);
            EXPECT_EQ(p[2], std::to_string(95 + k % 11));
            EXPECT_NEAR(std::stod(p[3]), -0.1 * (k % 7), 1e-6);
        }
        // The unreadable file is named, and counted, but stops nothing.
        EXPECT_NE(limits.err.find("torvex: " + files[kUnreadable] + ": "), std::string::npos)
            << limits.err;
        const std::string summary = std::to_string(kCount) + " files: " + std::to_string(passed)
            + " passed, " + std::to_string(kCount - passed) + " failed (yield "
            + FormatValue("%.1f", 100.0 * passed / kCount) + " %)\n";
        ASSERT_GE(limits.err.size(), summary.size());
        EXPECT_EQ(limits.err.substr(limits.err.size() - summary.size()), summary);
        EXPECT_EQ(limits.err.find('\r'), std::string::npos);
        if (std::string(jobs) == "1")
            firstOut = limits.out + peaks.out;
        else
            EXPECT_EQ(limits.out + peaks.out, firstOut);
    }

    // Every file passing: exit 0; --check --each keeps --check's lines.
    const std::string mask2 = dir.Write("loose.txt", "upper 80 120 0 S21:db\n");
    EXPECT_EQ(Call("limits", {mask2, "--each", files[0], files[1], files[2]}).status, 0);
    const Outcome check =
        Call("check", {"--each", "--jobs", "3", files[0], files[kUnreadable], files[1]});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, Call("check", {files[0], files[kUnreadable], files[1]}).out);
}

TEST(CommandLineBatch, EnvelopeOfKnownOffsets)
{
    TempDir dir;
    // S21 = -0.1 f dB plus an offset: straight in f, so interpolation is exact. A at 0 dB
    // on every MHz, B at -2 dB on even MHz, C at +1 dB in GHz covering 80..100 MHz only.
    const auto file = [&](const std::string& name, const char* unit, double scale, int from, int to,
                          int step, double offset) {
        std::string text = std::string("# ") + unit + " S DB R 50\n";
        for (int f = from; f <= to; f += step) {
            const std::string s21 = FormatValue("%.12g", -0.1 * f + offset);
            text += FormatValue("%.12g", f * scale) + " -30 0 " + s21 + " 0 " + s21 + " 0 -30 0\n";
        }
        return dir.Write(name, text);
    };
    const std::string a = file("a.s2p", "MHz", 1, 80, 120, 1, 0);
    const std::string b = file("b.s2p", "MHz", 1, 80, 120, 2, -2);
    const std::string c = file("c.s2p", "GHz", 1e-3, 80, 100, 1, 1);
    const std::string bad = dir.Write("bad.s2p", "nothing\n");
    const std::string csv = dir.Path("env.csv");
    const Outcome run =
        Call("export", {csv, "--envelope", "--jobs", "2", "--view", "S21:db", a, bad, b, c});
    EXPECT_EQ(run.status, 1) << run.err;  // bad.s2p, reported; the rest still counts
    EXPECT_NE(run.err.find(bad), std::string::npos);
    const Rows rows = SplitCsv(TempDir::Read(csv));
    ASSERT_EQ(rows.size(), 1 + 3 * 41u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"trace", "axis", "freq_MHz", "value"}));
    const char* const names[] = {"S21:db min", "S21:db max", "S21:db mean"};
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::size_t which = (i - 1) / 41;
        const int f = 80 + static_cast<int>((i - 1) % 41);
        SCOPED_TRACE(std::string(names[which]) + " at " + std::to_string(f));
        const double base = -0.1 * f;
        const bool withC = f <= 100;
        const double expected[] = {base - 2, base + (withC ? 1 : 0),
                                   base + (withC ? -1.0 / 3 : -1.0)};
        EXPECT_EQ(rows[i][0], names[which]);
        EXPECT_EQ(std::stoi(rows[i][2]), f);
        EXPECT_NEAR(std::stod(rows[i][3]), expected[which], 1e-9);
    }
}

TEST(CommandLineBatch, UsageErrors)
{
    TempDir dir;
    const std::string f = PeakFile(dir, "f.s2p", 100, 0);
    const std::string mask = dir.Write("mask.txt", "upper 80 120 0\n");
    struct Case {
        const char* mode;
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {"export", {dir.Path("o.csv"), "--each", f}, "--each applies to"},
        {"export", {dir.Path("o.png"), "--envelope", "--view", "S11:smith", f}, "not S11:smith"},
        {"export", {dir.Path("o.csv"), "--envelope", "--view", "S21:step", f}, "not S21:step"},
        {"export", {dir.Path("o.csv"), "--jobs", "2", f}, "--jobs applies to"},
        {"measure", {"peak", "--envelope", f}, "--envelope applies to --export"},
        {"limits", {mask, "--each", "--jobs", "0", f}, "bad --jobs '0'"},
        {"limits", {mask, "--each", "--jobs", "two", f}, "bad --jobs 'two'"},
        {"table", {"--markers", "90", "--each", f, "--jobs"}, "bad --jobs"},
        {"check", {"--each"}, "needs at least one FILE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome run = Call(c.mode, c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    // The commands without a batch form say so through the program's own dispatch.
    char name[] = "torvex";
    for (std::string mode : {"--dump", "--quality", "--save"}) {
        SCOPED_TRACE(mode);
        std::string each = "--each";
        std::string file = f;
        char* argv[] = {name, mode.data(), each.data(), file.data()};
        EXPECT_EQ(RunTorvex(4, argv), 2);
    }
}

}  // namespace
