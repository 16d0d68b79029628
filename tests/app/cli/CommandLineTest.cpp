#include "app/cli/CommandLine.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun Check(const std::vector<std::string>& paths)
{
    std::ostringstream out, err;
    CCommandLine cli(out, err);
    const int status = cli.Check(paths);
    return {status, out.str(), err.str()};
}

CliRun Dump(const std::string& path)
{
    std::ostringstream out, err;
    CCommandLine cli(out, err);
    const int status = cli.Dump(path);
    return {status, out.str(), err.str()};
}

int Main(std::vector<std::string> args)
{
    std::vector<char*> argv;
    static char name[] = "torvex";
    argv.push_back(name);
    for (std::string& a : args)
        argv.push_back(a.data());
    return RunTorvex(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, CheckReportsEachFile)
{
    TempDir dir;
    const std::string good =
        dir.Write("f.s2p",
                  "# kHz Y RI R 75\n1000 1 0 0 0 0 0 1 0\n2000 1 0 0 0 0 0 1 0\n"
                  "3000 1 0 0 0 0 0 1 0\n");
    const std::string bad = dir.Write("g.s2p", "1 0 0 0 0 0 0 0 0\n2 0 0 0 0 0 0 0 0\n");
    const CliRun r = Check({good, bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              good + ": ok, 3 records, 2-port, v1, MHz, Y-parameters, 75 ohm\n" + bad
                  + ": error: File must contain at least 3 frequency data. (code 101)\n");
    EXPECT_EQ(r.err,
              "File must contain at least 3 frequency data.\n"
              "Cannot read file or invalid data format: "
                  + bad + "\n");
    EXPECT_EQ(Check({good}).status, 0);
    // An option it does not know is no file name, unless after "--".
    const CliRun mistyped = Check({"--opt", good});
    EXPECT_EQ(mistyped.status, 2);
    EXPECT_NE(mistyped.err.find("unknown option '--opt'"), std::string::npos) << mistyped.err;
    EXPECT_EQ(Check({"--", good}).status, 0);
    // A version 2 file's [Reference] replaces the option line's R.
    const std::string v2 =
        "[Version] 2.0\n# MHz S RI R 50\n[Number of Ports] 2\n"
        "[Two-Port Data Order] 12_21\n[Reference] REFS\n[Number of Frequencies] 3\n"
        "[Network Data]\n1 0 0 1 0 1 0 0 0\n2 0 0 1 0 1 0 0 0\n3 0 0 1 0 1 0 0 0\n[End]\n";
    for (const auto& [refs, shown] :
         {std::pair<const char*, const char*>{"75 75", "75 ohm"}, {"50 75", "50/75 ohm"}}) {
        std::string text = v2;
        text.replace(text.find("REFS"), 4, refs);
        const std::string ts = dir.Write("r.ts", text);
        EXPECT_EQ(Check({ts}).out,
                  ts + ": ok, 3 records, 2-port, v2, MHz, S-parameters, " + shown + "\n");
    }
    // A name's control bytes reach the terminal escaped, in the line and in the messages.
    const std::string odd = dir.Write("e\x1b[2Jx.s2p", "1 0 0 0 0 0 0 0 0\n");
    const std::string shown = odd.substr(0, odd.size() - 10) + "e\\x1B[2Jx.s2p";
    const CliRun escaped = Check({odd, dir.Path("no\x07.s2p")});
    EXPECT_EQ(escaped.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(escaped.err.find('\x07'), std::string::npos);
    EXPECT_EQ(escaped.out.substr(0, shown.size() + 6), shown + ": erro");
    EXPECT_NE(escaped.err.find("no\\x07.s2p"), std::string::npos);
}

TEST(CommandLine, CheckNamesAMisplacedOptionLine)
{
    TempDir dir;
    const std::string path = dir.Write("o.s1p", "1 0 0\n# GHz\n2 0 0\n3 0 0\n");
    const CliRun r = Check({path});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, path + ": error: Invalid Touchstone file: line 2 \"# GHz\": an option line after the data. "
                            "(code 102)\n");
}

TEST(CommandLine, DumpWritesEveryElementRowMajor)
{
    TempDir dir;
    const std::string path = dir.Write("d.s2p",
                                       "# GHz S RI R 50\n"
                                       "2 0.25 0 0.5 0 0.125 0 1 -1\n"
                                       "1 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8\n"
                                       "3 0 0 0 0 0 0 0 0\n");
    const CliRun r = Dump(path);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "ports=2 unit=GHz param=S r=50 records=3\n"
              "1 0.10000000000000001 0.20000000000000001 0.5 0.59999999999999998 "
              "0.29999999999999999 0.40000000000000002 0.69999999999999996 0.80000000000000004\n"
              "2 0.25 0 0.125 0 0.5 0 1 -1\n"
              "3 0 0 0 0 0 0 0 0\n");
}

TEST(CommandLine, DumpOfRealFilesOfEachPortCount)
{
    for (const char* name : {"bandpass.s2p", "splitter.s3p", "coupler.s4p"}) {
        SCOPED_TRACE(name);
        const CliRun r = Dump(std::string(TORVEX_TESTDATA) + "/" + name);
        ASSERT_EQ(r.status, 0);
        std::istringstream lines(r.out);
        std::string header;
        std::getline(lines, header);
        const int ports = header[6] - '0';
        std::string line;
        int records = 0;
        while (std::getline(lines, line)) {
            std::istringstream numbers(line);
            double v;
            int count = 0;
            while (numbers >> v)
                ++count;
            EXPECT_EQ(count, 1 + 2 * ports * ports);
            ++records;
        }
        EXPECT_NE(header.find("records=" + std::to_string(records)), std::string::npos);
    }
}

TEST(CommandLine, DumpOfAMissingFileFails)
{
    TempDir dir;
    const CliRun r = Dump(dir.Path("none.s2p"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("Cannot open file for reading: "), std::string::npos);
}

TEST(CommandLine, OptionsAndExitStatus)
{
    EXPECT_EQ(Main({"--version"}), 0);
    EXPECT_EQ(Main({"--help"}), 0);
    EXPECT_EQ(Main({"--frobnicate"}), 2);
    EXPECT_EQ(Main({"--dump"}), 2);
    EXPECT_EQ(Main({"--check"}), 2);
    // An option given before its mode is told where it goes.
    testing::internal::CaptureStderr();
    EXPECT_EQ(Main({"--view", "S21:db", "--export", "x.png"}), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "torvex: '--view' goes after the mode: put --export first (try --help)\n");
    // The project's version, as the window's title and the About box show it.
    std::ostringstream out, err;
    CCommandLine(out, err).PrintVersion();
    EXPECT_EQ(out.str(), "torvex 2.32\n");
}

}  // namespace
