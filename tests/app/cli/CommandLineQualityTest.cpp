// --quality run as the real program: its CSV, its messages and its exit status.
#include "platform/NumberFormat.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Cx = std::complex<double>;

// A 0.1 ns line at 1, 1.1, ... 3 GHz: e^{-jw tau}, clockwise as a causal element turns.
Cx Delay(int record)
{
    return std::polar(1.0, -2.0 * 3.141592653589793 * (1.0 + 0.1 * record) * 0.1);
}

// A version 1 file of 21 records in GHz, RI; at gives a record's row-major matrix.
void WriteFile(const TempDir& dir, const std::string& name, const char* kind,
               const std::function<std::vector<Cx>(int record)>& at)
{
    std::string text = std::string("# GHz ") + kind + " RI R 50\n";
    for (int r = 0; r < 21; ++r) {
        text += FormatValue("%.17g", 1.0 + 0.1 * r);
        int column = 0;
        for (const Cx& v : at(r)) {
            // Four values a line at most, as version 1 wraps the larger matrices.
            if (column++ == 4) {
                text += "\n";
                column = 1;
            }
            text += " " + FormatValue("%.17g", v.real()) + " " + FormatValue("%.17g", v.imag());
        }
        text += "\n";
    }
    dir.Write(name, text);
}

struct ProgramRun {
    int status;
    std::vector<std::string> lines;  // standard output
    std::string err;
};

// The program in the folder of the files, so that their names are given as they are here.
ProgramRun Quality(const TempDir& dir, const std::vector<std::string>& args)
{
    std::string command = "cd '" + dir.Root().string() + "' && '" + TORVEX_BINARY + "' --quality";
    for (const std::string& a : args)
        command += " '" + a + "'";
    command += " >out.txt 2>err.txt";
    const int rc = std::system(command.c_str());
    ProgramRun run{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, {}, TempDir::Read(dir.Path("err.txt"))};
    std::istringstream out(TempDir::Read(dir.Path("out.txt")));
    for (std::string line; std::getline(out, line);)
        run.lines.push_back(line);
    return run;
}

TEST(CommandLineQuality, RowsPerFileAndExitStatus)
{
    ASSERT_TRUE(std::filesystem::exists(TORVEX_BINARY)) << TORVEX_BINARY;
    TempDir dir;
    const auto thru = [](int r) { return std::vector<Cx>{0.0, Delay(r), Delay(r), 0.0}; };
    WriteFile(dir, "thru.s2p", "S", thru);
    WriteFile(dir, "a,b.s2p", "S", thru);
    WriteFile(dir, "iso.s2p", "S", [](int r) { return std::vector<Cx>{0.0, 0.0, Delay(r), 0.0}; });
    WriteFile(dir, "one.s1p", "S", [](int r) { return std::vector<Cx>{0.5 * Delay(r)}; });
    // PM = 1.01 at every record: passivity (1 - 0.0999) * 100 %.
    WriteFile(dir, "active.s2p", "S", [](int r) {
        return std::vector<Cx>{0.0, 1.01 * Delay(r), 1.01 * Delay(r), 0.0};
    });
    // Lines 1-3 and 2-4: a differential and a common thru between the pairs 1-2 and 3-4.
    WriteFile(dir, "quad.s4p", "S", [](int r) {
        std::vector<Cx> s(16);
        s[2] = s[8] = s[7] = s[13] = Delay(r);
        return s;
    });
    // Z = -1 has no S: the record at 1.5 GHz is left out, every record of the other file.
    WriteFile(dir, "hole.s1p", "Z",
              [](int r) { return std::vector<Cx>{r == 5 ? Cx(-1.0, 0.0) : Cx(1.0, 0.1 * r)}; });
    WriteFile(dir, "void.s1p", "Z", [](int) { return std::vector<Cx>{Cx(-1.0, 0.0)}; });

    const std::string header =
        "file,causality,passivity,reciprocity,causality_rating,passivity_rating,"
        "reciprocity_rating";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> rows;  // after the header; none at all for bad usage
        const char* err;                // a part of standard error; "" for none at all
    };
    const Case cases[] = {
        {{"thru.s2p", "iso.s2p", "one.s1p", "a,b.s2p"},
         0,
         {"thru.s2p,100,100,100,good,good,good", "iso.s2p,100,100,0,good,good,poor",
          "one.s1p,100,100,,good,good,", "\"a,b.s2p\",100,100,100,good,good,good"},
         ""},
        {{"--mixed", "--pairing", "12", "quad.s4p", "thru.s2p"},
         0,
         {"quad.s4p,100,100,100,good,good,good", "quad.s4p:dd,100,100,100,good,good,good",
          "quad.s4p:cc,100,100,100,good,good,good", "thru.s2p,100,100,100,good,good,good"},
         "thru.s2p: no mixed-mode parameters"},
        {{"hole.s1p"}, 0, {"hole.s1p,100,100,,good,good,"}, "1 of 21 records left out"},
        {{"missing.s2p", "thru.s2p"}, 1, {"thru.s2p,100,100,100,good,good,good"}, "missing.s2p"},
        {{"void.s1p"}, 1, {}, "void.s1p: no finite S matrix"},
        {{}, 2, {}, "needs at least one FILE"},
        {{"--bogus", "thru.s2p"}, 2, {}, "unknown option '--bogus'"},
        {{"--pairing=14", "thru.s2p"}, 2, {}, "bad --pairing '14'"},
    };
    for (const Case& c : cases) {
        std::string label;
        for (const std::string& a : c.args)
            label += a + " ";
        SCOPED_TRACE(label);
        const ProgramRun run = Quality(dir, c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.status == 2) {
            EXPECT_TRUE(run.lines.empty());
        } else {
            ASSERT_EQ(run.lines.size(), c.rows.size() + 1);
            EXPECT_EQ(run.lines[0], header);
            for (std::size_t i = 0; i < c.rows.size(); ++i)
                EXPECT_EQ(run.lines[i + 1], c.rows[i]);
        }
        if (*c.err == '\0')
            EXPECT_EQ(run.err, "");
        else
            EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("nan"), std::string::npos);
    }

    // A value that is no round number comes with all its digits.
    const ProgramRun active = Quality(dir, {"active.s2p"});
    ASSERT_EQ(active.lines.size(), 2u);
    EXPECT_EQ(active.lines[1].rfind("active.s2p,100,90.0", 0), 0u) << active.lines[1];
    EXPECT_NEAR(std::stod(active.lines[1].substr(15)), 90.01, 1e-9);
    const std::string tail = ",100,good,inconclusive,good";
    ASSERT_GT(active.lines[1].size(), tail.size());
    EXPECT_EQ(active.lines[1].substr(active.lines[1].size() - tail.size()), tail);
}

}  // namespace
