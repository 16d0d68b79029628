#include "app/SettingsFile.h"

#include "app/AppFlags.h"
#include "chart/ChartGraph.h"
#include "platform/MessageBox.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

// Resets the program-wide flags around each test: the settings file writes to them.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { ResetFlags(); }
    void TearDown() override { ResetFlags(); }
    static void ResetFlags()
    {
        persistXScale = false;
        persistYScale = false;
        quietFileErrors = false;
    }
};

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* variable, const char* value) : name(variable)
    {
        if (const char* old = std::getenv(variable))
            previous = old;
        if (value)
            setenv(variable, value, 1);
        else
            unsetenv(variable);
    }
    ~ScopedEnv()
    {
        if (previous)
            setenv(name, previous->c_str(), 1);
        else
            unsetenv(name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name;
    std::optional<std::string> previous;
};

TEST_F(SettingsFileTest, SingleLinesChangeOnlyTheirOwnSetting)
{
    struct Row {
        const char* line;
        const char* changedLine;  // the one written line that differs, nullptr: none
    };
    const Row rows[] = {
        {"PersYscale= YES", "PersYscale= YES"},
        {"PersXscale= yes", nullptr},  // case-sensitive
        {"PersXscale= NOYES", "PersXscale= YES"},
        {"X-major= 0", "X-major= 1"},
        {"X-major= 7", "X-major= 7"},
        {"Y-minor= -3", "Y-minor= 1"},
        {"X-minor= abc", nullptr},  // no number: the default stays
        {"Y-major= 12abc", nullptr},
        {"Y-major= 12.5", "Y-major= 12"},
        {"Y-major= 2000000000", "Y-major= 100"},  // a grid a paint can still draw
        {"X-minor= 99999999999", "X-minor= 100"},
        {"XA-min= 1e+06", "XA-min= 1000000"},
        {"YL-min= -45.7", "YL-min= -45.7"},
        {"XA-max= 7.5GHz", nullptr},
        {"YR-max= 1e999", nullptr},  // no double holds it: the limit stays
        {"YL-max= nan", nullptr},    // not 0
        {"YL-min= -inf", nullptr},
        {"YR-max=    33   ", "YR-max= 33"},
        {"   XA-min= 5", "XA-min= 5"},    // blanks before the key are trimmed
        {"LastPath=C:\\x.s2p", nullptr},  // no blank after the equals sign
        {"lastpath= /x.s2p", nullptr},    // keys are case-sensitive
        {"Note X-major= 7", nullptr},     // the key must start the line
        {"LastPath= /data/f.s2p", "LastPath= /data/f.s2p"},
    };
    const CChartGraph builtIn;
    const LineList before = CSettingsFile::BuildLines("", "", builtIn);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        ResetFlags();
        CChartGraph graph;
        std::string lastPath, lastFile;
        CSettingsFile::ApplyLine(row.line, lastPath, lastFile, graph);
        const LineList after = CSettingsFile::BuildLines(lastPath, lastFile, graph);
        ASSERT_EQ(after.size(), before.size());
        int changes = 0;
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (after[i] == before[i])
                continue;
            ++changes;
            ASSERT_NE(row.changedLine, nullptr) << "unexpected change: " << after[i];
            EXPECT_EQ(after[i], row.changedLine);
        }
        EXPECT_EQ(changes, row.changedLine ? 1 : 0);
    }
}

TEST_F(SettingsFileTest, AxisLimitsBypassTheRangeRule)
{
    CChartGraph graph;
    graph.xAxis.allowNegative = false;
    std::string lastPath, lastFile;
    for (const char* line : {"XA-min= -20", "XA-max= -30", "YL-min= 10", "YL-max= 10"})
        CSettingsFile::ApplyLine(line, lastPath, lastFile, graph);
    EXPECT_EQ(graph.xAxis.min, -20.0);
    EXPECT_EQ(graph.xAxis.max, -30.0);
    EXPECT_EQ(graph.leftAxis.min, 10.0);
    EXPECT_EQ(graph.leftAxis.max, 10.0);
}

TEST_F(SettingsFileTest, NamesAreTrimmedButKeepInnerBlanksAndLaterLinesWin)
{
    CChartGraph graph;
    std::string lastPath, lastFile;
    CSettingsFile::ApplyLines(
        {"  LastFile=    a b.s2p  ", "LastPath= /one.s2p", "LastPath= /two.s2p"}, lastPath,
        lastFile, graph);
    EXPECT_EQ(lastFile, "a b.s2p");
    EXPECT_EQ(lastPath, "/two.s2p");
}

TEST_F(SettingsFileTest, DamagedLinesAreDroppedAndTheOthersKept)
{
    TempDir dir;
    const std::string text = std::string(
        "LastPath= /data/a.s2p\n"
        "X-major= 7\r"  // an old Mac line end
        "Y-major= \0"
        "9\n"                       // a NUL byte: dropped
        "LastFile= a\x1b[2J.s2p\n"  // an escape: dropped
        "XA-min= 12.5\r\n"
        "\xff\xfe\0\0\n"
        "YL-min= nan\n",
        96);
    const CSettingsFile file(dir.Write("torvex.ini", text));
    CChartGraph graph;
    const CChartGraph builtIn;
    std::string lastPath, lastFile = "kept";
    ASSERT_EQ(file.Read(lastPath, lastFile, graph), 0);
    EXPECT_EQ(lastPath, "/data/a.s2p");
    EXPECT_EQ(lastFile, "kept");
    EXPECT_EQ(graph.xMajorDivisions, 7);
    EXPECT_EQ(graph.yMajorDivisions, builtIn.yMajorDivisions);
    EXPECT_EQ(graph.xAxis.min, 12.5);
    EXPECT_EQ(graph.leftAxis.min, builtIn.leftAxis.min);
    // A file of endless junk is read no further than a settings file ever goes.
    std::string junk = "X-major= 3\n";
    for (int i = 0; i < 200000; ++i)
        junk += "x\n";
    const CSettingsFile junkFile(dir.Write("junk.ini", junk + "X-major= 9\n"));
    CChartGraph junkGraph;
    ASSERT_EQ(junkFile.Read(lastPath, lastFile, junkGraph), 0);
    EXPECT_EQ(junkGraph.xMajorDivisions, 3);

    // A limit no file can hold is written as nothing, and reading that keeps the default.
    graph.leftAxis.min = std::nan("");
    graph.rightAxis.max = HUGE_VAL;
    const LineList lines = CSettingsFile::BuildLines("", "", graph);
    EXPECT_EQ(lines[10], "YL-min= ");
    EXPECT_EQ(lines[13], "YR-max= ");
    CChartGraph back;
    CSettingsFile::ApplyLines(lines, lastPath, lastFile, back);
    EXPECT_EQ(back.leftAxis.min, builtIn.leftAxis.min);
    EXPECT_EQ(back.rightAxis.max, builtIn.rightAxis.max);
}

TEST_F(SettingsFileTest, WritesTheFourteenLinesInOrder)
{
    CChartGraph graph;
    graph.xMajorDivisions = 4;
    graph.SetXMinorDivisions(4);
    graph.SetYMajorDivisions(10);
    graph.SetYMinorDivisions(4);
    graph.xAxis.min = 80;
    graph.xAxis.max = 120;
    graph.leftAxis.min = -100;
    graph.leftAxis.max = 0;
    graph.rightAxis.min = -50;
    graph.rightAxis.max = 0.5;
    persistYScale = true;
    const LineList expected = {"LastPath= /data/filter.s2p",
                               "LastFile= filter.s2p",
                               "PersXscale= NO",
                               "PersYscale= YES",
                               "X-major= 4",
                               "X-minor= 4",
                               "Y-major= 10",
                               "Y-minor= 4",
                               "XA-min= 80",
                               "XA-max= 120",
                               "YL-min= -100",
                               "YL-max= 0",
                               "YR-min= -50",
                               "YR-max= 0.5"};
    const LineList lines = CSettingsFile::BuildLines("/data/filter.s2p", "filter.s2p", graph);
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(CSettingsFile::LINE_COUNT));
}

TEST_F(SettingsFileTest, RoundTripThroughTheFile)
{
    TempDir dir;
    const CSettingsFile file(dir.Path("torvex.ini"));
    CChartGraph graph;
    graph.xMajorDivisions = 6;
    graph.SetXMinorDivisions(2);
    graph.SetYMajorDivisions(9);
    graph.SetYMinorDivisions(5);
    // Fractions and values that need all 17 digits come back as the same double.
    graph.xAxis.min = 2.9;
    graph.xAxis.max = 4.1247e9;
    graph.leftAxis.min = -80.25;
    graph.leftAxis.max = 0.1 + 0.2;
    graph.rightAxis.min = -1.0 / 3.0;
    graph.rightAxis.max = 1e-7;
    persistXScale = true;
    ASSERT_EQ(file.Write("/data/my filter.s2p", "my filter.s2p", graph), 0);

    ResetFlags();
    CChartGraph loaded;
    std::string lastPath, lastFile;
    ASSERT_EQ(file.Read(lastPath, lastFile, loaded), 0);
    EXPECT_EQ(lastPath, "/data/my filter.s2p");
    EXPECT_EQ(lastFile, "my filter.s2p");
    EXPECT_TRUE(persistXScale);
    EXPECT_FALSE(persistYScale);
    EXPECT_EQ(CSettingsFile::BuildLines(lastPath, lastFile, loaded),
              CSettingsFile::BuildLines(lastPath, lastFile, graph));
    EXPECT_EQ(loaded.xAxis.min, graph.xAxis.min);
    EXPECT_EQ(loaded.xAxis.max, graph.xAxis.max);
    EXPECT_EQ(loaded.leftAxis.min, graph.leftAxis.min);
    EXPECT_EQ(loaded.leftAxis.max, graph.leftAxis.max);
    EXPECT_EQ(loaded.rightAxis.min, graph.rightAxis.min);
    EXPECT_EQ(loaded.rightAxis.max, graph.rightAxis.max);
    EXPECT_FALSE(quietFileErrors);
}

TEST_F(SettingsFileTest, WindowLinesFollowTheFourteenAndRoundTrip)
{
    TempDir dir;
    const CSettingsFile file(dir.Path("torvex.ini"));
    CChartGraph graph;
    graph.lineType = 3;
    graph.showMarkers = false;
    WindowPrefs prefs;
    // Every format comes back, the linear and Smith ones too.
    prefs.viewSelection = {{0, 0}, {4, 1}, {4, 2}, {0, 4}, {0, 6}, {0, 11}};
    prefs.followFiles = false;
    prefs.pairing = PortPairing::NEIGHBOURS;
    prefs.recentFiles = {"/a/one.s2p", "/b/two words.s4p"};
    prefs.fileFilter = "2- to 4-port files: .s2p, .s3p, .s4p, .out";
    prefs.viewSelection.emplace_back(0, ValueFormat::TDR);
    prefs.timeDomain.window = {TimeWindow::Kind::KAISER, 2.5};
    prefs.timeDomain.range = TimeTraceOptions::Range{-0.1, 0.30000000000000004};
    prefs.timeDomain.velocityFactor = 0.66;
    prefs.timeDomain.gateOn = true;
    prefs.timeDomain.gate = {1.5, 2.25, TimeGate::Shape::WIDE, true};
    ASSERT_EQ(file.Write("/a/one.s2p", "one.s2p", graph, &prefs), 0);
    const LineList lines = CSettingsFile::BuildLines("/a/one.s2p", "one.s2p", graph, &prefs);
    ASSERT_EQ(lines.size(), 14u + 15u);
    EXPECT_EQ(LineList(lines.begin(), lines.begin() + 14),
              CSettingsFile::BuildLines("/a/one.s2p", "one.s2p", graph));

    CChartGraph loaded;
    WindowPrefs back;
    std::string lastPath, lastFile;
    ASSERT_EQ(file.Read(lastPath, lastFile, loaded, &back), 0);
    EXPECT_EQ(back.viewSelection, prefs.viewSelection);
    EXPECT_FALSE(back.followFiles);
    EXPECT_EQ(back.pairing, PortPairing::NEIGHBOURS);
    EXPECT_EQ(back.recentFiles, prefs.recentFiles);
    EXPECT_EQ(back.fileFilter, prefs.fileFilter);
    // The time-domain choices come back exactly.
    EXPECT_EQ(back.timeDomain.window.Spelling(), "kaiser:2.5");
    ASSERT_TRUE(back.timeDomain.range && back.timeDomain.velocityFactor);
    EXPECT_EQ(back.timeDomain.range->toNs, 0.30000000000000004);
    EXPECT_EQ(*back.timeDomain.velocityFactor, 0.66);
    EXPECT_TRUE(back.timeDomain.gateOn);
    EXPECT_EQ(back.timeDomain.gate.stopNs, 2.25);
    EXPECT_EQ(back.timeDomain.gate.shape, TimeGate::Shape::WIDE);
    EXPECT_TRUE(back.timeDomain.gate.notch);
    EXPECT_EQ(loaded.lineType, 3);
    EXPECT_FALSE(loaded.showMarkers);

    // A file of the old form leaves the window's settings as they were.
    TempDir old;
    const CSettingsFile oldFile(old.Write("torvex.ini", "LastPath= /x.s2p\nLineType= 2\n"));
    WindowPrefs untouched;
    CChartGraph g2;
    ASSERT_EQ(oldFile.Read(lastPath, lastFile, g2, &untouched), 0);
    EXPECT_TRUE(untouched.followFiles);
    EXPECT_EQ(untouched.pairing, PortPairing::ACROSS);
    EXPECT_TRUE(untouched.viewSelection.empty());
    EXPECT_FALSE(untouched.timeDomain.gateOn || untouched.timeDomain.range);

    // Gating on with a gate that cannot be read is off, and no made-up gate is written back.
    for (const char* gate : {"nan,nan", "1e308,1e309", "2,1", "junk", ""}) {
        for (bool onFirst : {false, true}) {
            SCOPED_TRACE(std::string(gate) + (onFirst ? ", GateOn first" : ""));
            const std::string gateLine = std::string("Gate= ") + gate + "\n";
            const CSettingsFile bad(old.Write(
                "bad.ini", onFirst ? "GateOn= YES\n" + gateLine : gateLine + "GateOn= YES\n"));
            WindowPrefs read;
            CChartGraph g3;
            ASSERT_EQ(bad.Read(lastPath, lastFile, g3, &read), 0);
            EXPECT_FALSE(read.timeDomain.gateOn);
            const LineList written = CSettingsFile::BuildLines("", "", g3, &read);
            EXPECT_NE(std::find(written.begin(), written.end(), "Gate= "), written.end());
        }
    }
    EXPECT_EQ(g2.lineType, 2);
}

TEST_F(SettingsFileTest, EmptyNamesAreWrittenBlankAndIgnoredOnRead)
{
    TempDir dir;
    const CSettingsFile file(dir.Path("torvex.ini"));
    CChartGraph graph;
    ASSERT_EQ(file.Write("", "", graph), 0);
    const std::string text = TempDir::Read(file.Path());
    EXPECT_EQ(text.rfind("LastPath= \nLastFile= \nPersXscale= NO\n", 0), 0u) << text;

    // Read back trimmed to "LastPath=", these match no key and keep what was there.
    std::string lastPath = "/kept.s2p", lastFile = "kept.s2p";
    ASSERT_EQ(file.Read(lastPath, lastFile, graph), 0);
    EXPECT_EQ(lastPath, "/kept.s2p");
    EXPECT_EQ(lastFile, "kept.s2p");
}

TEST_F(SettingsFileTest, MissingFileChangesNothingAndShowsNothing)
{
    TempDir dir;
    CRecordingMessageSink messages;
    const CSettingsFile file(dir.Path("none/torvex.ini"));
    CChartGraph graph;
    std::string lastPath = "/a.s2p", lastFile = "a.s2p";
    EXPECT_NE(file.Read(lastPath, lastFile, graph), 0);
    EXPECT_EQ(lastPath, "/a.s2p");
    EXPECT_EQ(CSettingsFile::BuildLines("", "", graph),
              CSettingsFile::BuildLines("", "", CChartGraph()));
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_FALSE(quietFileErrors);
}

TEST_F(SettingsFileTest, WriteCreatesMissingFolders)
{
    TempDir dir;
    const CSettingsFile file(dir.Path("config/torvex/torvex.ini"));
    ASSERT_EQ(file.Write("/x.s2p", "x.s2p", CChartGraph()), 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(file.Path()));
}

TEST_F(SettingsFileTest, FailedWriteKeepsTheOldFileAndShowsNothing)
{
    TempDir dir;
    CRecordingMessageSink messages;
    const std::string folder = dir.Path("torvex");
    const CSettingsFile file(folder + "/torvex.ini");
    ASSERT_EQ(file.Write("/old.s2p", "old.s2p", CChartGraph()), 0);
    const std::string old = TempDir::Read(file.Path());

    // A folder that takes no new files: the temporary file cannot be made.
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    const int rc = file.Write("/new.s2p", "new.s2p", CChartGraph());
    chmod(folder.c_str(), 0755);
    EXPECT_NE(rc, 0);
    EXPECT_EQ(TempDir::Read(file.Path()), old);
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(SettingsFileTest, FullDiskKeepsTheOldFile)
{
    TempDir dir;
    CRecordingMessageSink messages;
    const CSettingsFile file(dir.Path("torvex.ini"));
    ASSERT_EQ(file.Write("/old.s2p", "old.s2p", CChartGraph()), 0);
    const std::string old = TempDir::Read(file.Path());

    // A file size limit makes the write run out of room part way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const int rc =
        file.Write("/a/much/longer/path/than/sixteen/bytes.s2p", "bytes.s2p", CChartGraph());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(rc, 0);
    EXPECT_EQ(TempDir::Read(file.Path()), old);
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(SettingsFileTest, UnwritablePathFailsQuietlyWithoutLeftovers)
{
    TempDir dir;
    CRecordingMessageSink messages;
    // The settings path names a folder: the finished temporary file cannot replace it.
    std::filesystem::create_directories(dir.Path("torvex.ini"));
    const CSettingsFile file(dir.Path("torvex.ini"));
    EXPECT_NE(file.Write("/x.s2p", "x.s2p", CChartGraph()), 0);
    EXPECT_TRUE(std::filesystem::is_directory(file.Path()));
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(SettingsFileTest, DefaultPathFollowsXdgConfigHome)
{
    {
        const ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg");
        EXPECT_EQ(CSettingsFile::DefaultPath(), "/tmp/cfg/torvex/torvex.ini");
    }
    {
        const ScopedEnv config("XDG_CONFIG_HOME", "");
        const ScopedEnv home("HOME", "/home/user");
        EXPECT_EQ(CSettingsFile::DefaultPath(), "/home/user/.config/torvex/torvex.ini");
    }
    {
        const ScopedEnv config("XDG_CONFIG_HOME", nullptr);
        const ScopedEnv home("HOME", "/home/user");
        EXPECT_EQ(CSettingsFile::DefaultPath(), "/home/user/.config/torvex/torvex.ini");
    }
}

}  // namespace
