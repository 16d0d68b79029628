// --save and the network operations on the command line.
#include "app/cli/CommandLine.h"
#include "data/S2pData.h"
#include "platform/MessageBox.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
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
    std::string err;
};

Outcome Save(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    CCommandLine cli(out, err);
    const int status = cli.Save(args);
    EXPECT_EQ(out.str(), "");
    return {status, err.str()};
}

// Saved in RI, a file reads back to the same doubles; there and back through 75 ohm, and
// through a cascade with a thru, it is the file again.
TEST(CommandLineSave, WritesWhatReadsBack)
{
    TempDir dir;
    const std::string coupler = TestFile("coupler.s4p");
    CRecordingMessageSink quiet;
    CS2pData original;
    ASSERT_EQ(original.Load(coupler), 0);
    struct Row {
        std::vector<std::string> options;
        const char* out;
        double tolerance;
    };
    const Row rows[] = {
        {{"--format", "ri"}, "a.s4p", 0.0},
        {{"--format=ri", "--unit", "ghz"}, "b.ts", 0.0},
        {{"--renormalize", "75,60,75,50", "--renormalize", "50"}, "c.s4p", 1e-12},
        {{"--reorder", "2,1,4,3", "--reorder", "2,1,4,3"}, "d.s4p", 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.out);
        std::vector<std::string> args = {dir.Path(row.out)};
        args.insert(args.end(), row.options.begin(), row.options.end());
        args.push_back(coupler);
        const Outcome r = Save(args);
        ASSERT_EQ(r.status, 0) << r.err;
        CS2pData back;
        ASSERT_EQ(back.Load(dir.Path(row.out)), 0);
        back.ConvertFreqUnit(original.freqUnit);
        ASSERT_EQ(back.RecordCount(), original.RecordCount());
        for (std::size_t i = 0; i < back.RecordCount(); ++i)
            for (int k = 0; k < 16; ++k) {
                const double d =
                    std::abs(back.Matrix(i)[k].ToStd() - original.Matrix(i)[k].ToStd());
                EXPECT_LE(d, row.tolerance) << i << " " << k;
            }
        EXPECT_NE(TempDir::Read(dir.Path(row.out)).find("! Source: " + coupler), std::string::npos);
    }
}

TEST(CommandLineSave, RefusalsAndUsage)
{
    TempDir dir;
    const std::string two = TestFile("bandpass.s2p");
    const std::string four = TestFile("coupler.s4p");
    struct Row {
        std::vector<std::string> args;
        int status;
        const char* message;
    };
    const Row rows[] = {
        {{}, 2, "needs an output file"},
        {{dir.Path("a.txt"), two}, 2, "OUT.sNp"},
        {{dir.Path("a.s2p")}, 2, "exactly one FILE"},
        {{dir.Path("a.s2p"), two, two}, 2, "exactly one FILE"},
        {{dir.Path("a.s3p"), two}, 2, "use .s2p"},
        {{dir.Path("a.s2p"), "--format", "xx", two}, 2, "bad --format"},
        {{dir.Path("a.s2p"), "--unit", "thz", two}, 2, "bad --unit"},
        {{dir.Path("a.s2p"), "--frob", two}, 2, "unknown option"},
        {{dir.Path("a.s2p"), "--cascade", four, two}, 2, "only 2-ports"},
        {{dir.Path("a.s4p"), "--deembed", two, four}, 2, "only 2-ports"},
        {{dir.Path("a.s2p"), "--terminate", "3=open", two}, 2, "no port 3"},
        {{dir.Path("a.s2p"), "--terminate", "1=open,x", two}, 2, "bad --terminate"},
        {{dir.Path("a.s2p"), "--renormalize", "0", two}, 2, "bad --renormalize"},
        {{dir.Path("a.s2p"), "--renormalize", "50,1e308", two}, 2, "1e308 ohm is outside"},
        {{dir.Path("a.s2p"), "--renormalize", "4.9e-324", two}, 2, "4.9e-324 ohm is outside"},
        {{dir.Path("a.s2p"), "--reorder", "2.0,1", two}, 2, "bad --reorder"},
        {{dir.Path("a.s2p"), "--reorder", "1e0,2", two}, 2, "bad --reorder"},
        {{dir.Path("a.s2p"), "--save", dir.Path("b.s2p"), two}, 2, "--save is given twice"},
        {{dir.Path("a.s2p"), "--format", "ma", "--format", "db", two},
         2,
         "--format is given twice"},
        {{dir.Path("a.s2p"), "--unit=ghz", "--unit", "hz", two}, 2, "--unit is given twice"},
        {{dir.Path("a.s4p"), "--reorder", "1,2", four}, 2, "every one of the 4"},
        {{dir.Path("a.s4p"), "--renormalize", "50,75,50,75", four}, 2, "use .ts"},
        {{dir.Path("a.s2p"), "--cascade", dir.Path("missing.s2p"), two}, 1, "cannot read"},
        {{dir.Path("a.s2p"), dir.Path("missing.s2p")}, 1, "Cannot open"},
    };
    CRecordingMessageSink quiet;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        const Outcome r = Save(row.args);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    }
}

}  // namespace
