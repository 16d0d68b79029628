#include "app/AppFlags.h"
#include "app/dialogs/DlgDataQuality.h"
#include "app/dialogs/DlgNetworkOperations.h"
#include "app/dialogs/DlgTimeDomain.h"
#include "app/StartLoader.h"
#include "app/TorvexSession.h"
#include "chart/ChartFlags.h"
#include "chart/ChartTrace.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "platform/Progress.h"
#include "platform/RecordingDC.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <string>
#include <vector>

namespace {

std::string TestFile(const std::string& name)
{
    return std::string(TORVEX_TESTDATA) + "/" + name;
}

std::vector<std::string> TraceNames(const CChartGraph& g)
{
    std::vector<std::string> names;
    for (const CChartTrace& t : g.traces)
        names.push_back(t.name);
    return names;
}

// Counts the busy-cursor calls and keeps the program-wide flags as they were.
class SessionTest : public ::testing::Test, public CBusyCursorHook {
protected:
    void SetUp() override
    {
        previousHook = SetBusyCursorHook(this);
        session.onRepaint = [this] { ++repaints; };
        session.onDataCommandsEnabled = [this](bool on) { enabled.push_back(on); };
    }
    void TearDown() override
    {
        SetBusyCursorHook(previousHook);
        keepMarkers = false;
        persistXScale = false;
        persistYScale = false;
    }
    void Begin() override { ++busyBegin; }
    void End() override { ++busyEnd; }

    void LoadBandpass() { session.OpenSingleFile("bandpass.s2p", TestFile("bandpass.s2p")); }

    CRecordingMessageSink messages;
    CTorvexSession session;
    int repaints = 0;
    std::vector<bool> enabled;
    int busyBegin = 0;
    int busyEnd = 0;
    CBusyCursorHook* previousHook = nullptr;
};

TEST_F(SessionTest, StartsWithTheExample)
{
    EXPECT_EQ(session.viewSelection, (ViewSelection{{0, 0}, {4, 0}}));
    EXPECT_EQ(session.sheet.title, "11th order Bandpass Filter Example");
    EXPECT_EQ(TraceNames(session.Graph()), (std::vector<std::string>{"S21", "S11"}));
    EXPECT_FALSE(session.dataLoaded);
    // Without data a rebuild changes nothing.
    session.RebuildPlot(true, true);
    EXPECT_EQ(session.Graph().traces.size(), 2u);
    EXPECT_EQ(session.MaxPortKind(), CS2pData::TWO_PORT);

    session.Graph().leftAxis.SetRange(-3, 3);
    session.Start();
    EXPECT_DOUBLE_EQ(session.Graph().leftAxis.min, -100.0);
    EXPECT_DOUBLE_EQ(session.Graph().leftAxis.max, 0.0);
    EXPECT_DOUBLE_EQ(session.Graph().rightAxis.min, -50.0);
    EXPECT_DOUBLE_EQ(session.Graph().rightAxis.max, 0.0);
    EXPECT_EQ(session.Graph().yMajorDivisions, 10);  // whole-number labels on both axes
    EXPECT_DOUBLE_EQ(session.Graph().xAxis.min, 80.0);
    EXPECT_DOUBLE_EQ(session.Graph().xAxis.max, 120.0);
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(SessionTest, StartReloadsTheLastFile)
{
    session.lastPath = TestFile("bandpass.s2p");
    session.lastFile = "bandpass.s2p";
    session.Start();
    EXPECT_TRUE(session.dataLoaded);
    EXPECT_EQ(session.sheet.title, "bandpass.s2p");
    EXPECT_EQ(TraceNames(session.Graph()), (std::vector<std::string>{"S11[dB](1)", "S21[dB](1)"}));
    EXPECT_EQ(session.Graph().xAxis.title, "Frequency [MHz]");
    EXPECT_EQ(session.Graph().xShortTitle, "Freq[MHz]");
    EXPECT_EQ(session.Graph().leftAxis.title, "LogMag[dB]");
    EXPECT_FALSE(session.Graph().rightAxis.visible);
    EXPECT_EQ(enabled, std::vector<bool>{true});
    EXPECT_EQ(busyBegin, 1);
    EXPECT_EQ(busyEnd, 1);
}

TEST_F(SessionTest, StartFitsTheExampleWhenTheLastFileNoLongerLoads)
{
    session.lastPath = TestFile("no-such-file.s2p");
    session.lastFile = "no-such-file.s2p";
    // Scales the settings file kept from that file: they must not show with the example.
    session.Graph().xAxis.SetRange(1800, 2600);
    session.Graph().rightAxis.SetRange(-1000000010, -1000000000);
    session.Start();
    EXPECT_FALSE(session.dataLoaded);
    EXPECT_EQ(session.sheet.title, "11th order Bandpass Filter Example");
    EXPECT_DOUBLE_EQ(session.Graph().xAxis.min, 80.0);
    EXPECT_DOUBLE_EQ(session.Graph().xAxis.max, 120.0);
    EXPECT_DOUBLE_EQ(session.Graph().rightAxis.min, -50.0);
    EXPECT_DOUBLE_EQ(session.Graph().rightAxis.max, 0.0);
    EXPECT_FALSE(messages.texts.empty());
}

TEST_F(SessionTest, SpanCommands)
{
    struct Row {
        const char* name;
        void (CTorvexSession::*command)();
        double lo, hi, newLo, newHi;
    };
    const Row rows[] = {
        {"Inc Span", &CTorvexSession::IncSpan, 0, 100, 0, 150},
        {"Dec Span", &CTorvexSession::DecSpan, 0, 100, 25, 75},
        {"Inc Fmax", &CTorvexSession::IncFmax, 0, 100, 0, 150},
        {"Dec Fmax", &CTorvexSession::DecFmax, 0, 100, 0, 75},
        {"Inc Span", &CTorvexSession::IncSpan, 90, 110, 80, 120},
        {"Dec Span", &CTorvexSession::DecSpan, 90, 110, 95, 105},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " from " + std::to_string(row.lo));
        session.Graph().xAxis.SetRange(row.lo, row.hi);
        const int before = repaints;
        (session.*row.command)();
        EXPECT_DOUBLE_EQ(session.Graph().xAxis.min, row.newLo);
        EXPECT_DOUBLE_EQ(session.Graph().xAxis.max, row.newHi);
        EXPECT_EQ(repaints, before + 1);
    }
}

TEST_F(SessionTest, FitAndLegendCommands)
{
    CChartGraph& g = session.Graph();
    g.xAxis.SetRange(0, 10);
    session.AutoSpan();
    EXPECT_DOUBLE_EQ(g.xAxis.min, 80.0);
    EXPECT_DOUBLE_EQ(g.xAxis.max, 120.0);
    g.leftAxis.SetRange(5, 6);
    session.AutoScale();
    EXPECT_LE(g.leftAxis.min, -100.0);
    const bool shown = g.showMarkers;
    session.ToggleLegend();
    EXPECT_EQ(g.showMarkers, !shown);
    session.ToggleLegend();
    EXPECT_EQ(g.showMarkers, shown);
    EXPECT_EQ(repaints, 4);
}

TEST_F(SessionTest, AxisAssignment)
{
    struct Row {
        const char* shown;
        ViewSelection selection;
        const char* leftTitle;
        const char* rightTitle;  // nullptr: right axis hidden
        std::vector<bool> onLeft;
    };
    const Row rows[] = {
        {"dB only", {{0, 0}, {4, 0}}, "LogMag[dB]", nullptr, {true, true}},
        {"dB and phase", {{0, 0}, {4, 0}, {4, 1}}, "LogMag[dB]", "Phase[deg]", {true, true, false}},
        {"dB and delay", {{4, 0}, {4, 2}}, "LogMag[dB]", "Delay[ns]", {true, false}},
        {"dB, phase and delay",
         {{4, 0}, {4, 1}, {4, 2}},
         "LogMag[dB]",
         "Phase[deg] and/or Delay[nS]",
         {true, false, false}},
        {"phase only", {{4, 1}, {0, 1}}, "Phase[deg]", nullptr, {true, true}},
        {"phase and delay", {{4, 1}, {4, 2}}, "Phase[deg]", "Delay[ns]", {true, false}},
        {"delay only", {{4, 2}}, "Delay[ns]", nullptr, {true}},
        // Not grouped by format: dB must still keep the left axis to itself.
        {"delay before dB", {{4, 2}, {4, 0}}, "LogMag[dB]", "Delay[ns]", {false, true}},
    };
    LoadBandpass();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shown);
        session.ApplySelection(row.selection);
        const CChartGraph& g = session.Graph();
        EXPECT_TRUE(g.leftAxis.visible);
        EXPECT_EQ(g.leftAxis.title, row.leftTitle);
        EXPECT_TRUE(g.leftAxis.reversed);
        EXPECT_EQ(g.rightAxis.visible, row.rightTitle != nullptr);
        if (row.rightTitle) {
            EXPECT_EQ(g.rightAxis.title, row.rightTitle);
            EXPECT_TRUE(g.rightAxis.reversed);
        }
        ASSERT_EQ(g.traces.size(), row.onLeft.size());
        for (std::size_t i = 0; i < row.onLeft.size(); ++i)
            EXPECT_EQ(g.traces[i].onLeftAxis, row.onLeft[i]) << g.traces[i].name;
        // Phase and delay are never drawn off their axis.
        EXPECT_EQ(g.leftAxis.fitsAllValues, std::string(row.leftTitle) != "LogMag[dB]");
        EXPECT_EQ(g.rightAxis.fitsAllValues, row.rightTitle != nullptr);
        for (const CChartTrace& t : g.traces) {
            const CChartAxis& axis = t.onLeftAxis ? g.leftAxis : g.rightAxis;
            if (!axis.fitsAllValues)
                continue;
            const auto [lo, hi] = t.ValueRange(g.xAxis.min, g.xAxis.max);
            EXPECT_LE(axis.min, lo) << t.name;
            EXPECT_GE(axis.max, hi) << t.name;
        }
    }
}

TEST_F(SessionTest, KeepsTheLastSixteenTraces)
{
    session.OpenFiles({{TestFile("bandpass.s2p"), "bandpass.s2p"},
                       {TestFile("splitter.s3p"), "splitter.s3p"},
                       {TestFile("coupler.s4p"), "coupler.s4p"}});
    ASSERT_TRUE(session.dataLoaded);
    // The title says which file is (1), (2), (3), as the trace names number them.
    EXPECT_EQ(session.sheet.title, "(1) bandpass.s2p  (2) splitter.s3p  (3) coupler.s4p");
    EXPECT_EQ(session.MaxPortKind(), CS2pData::FOUR_PORT);
    session.ApplySelection({{0, 0}, {4, 0}, {1, 0}, {5, 0}, {0, 1}, {4, 1}});
    const std::vector<std::string> names = TraceNames(session.Graph());
    ASSERT_EQ(names.size(), 16u);
    EXPECT_EQ(names.front(), "S11[dB](3)");
    EXPECT_EQ(names[1], "S21[dB](1)");
    EXPECT_EQ(names.back(), "S21[deg](3)");
    // The graph and the command line can say what the cap left out.
    EXPECT_EQ(session.Graph().tracesOffered, 18u);
    EXPECT_EQ(session.droppedTraces, (std::vector<std::string>{"S11[dB](1)", "S11[dB](2)"}));

    // Only the kept ones are derived, yet each is as when every candidate is derived in
    // turn: the same data and the palette colour it would have reached.
    ResetTraceColors();
    std::vector<CChartTrace> all;
    for (const ValueFormatPair& pair : session.viewSelection) {
        for (int n = 1; n <= CTorvexSession::SLOT_COUNT; ++n) {
            CChartTrace trace;
            if (session.Slot(n).loaded
                && session.Slot(n).BuildTrace(trace, n, pair.value, pair.valueFormat))
                all.push_back(trace);
        }
    }
    ASSERT_GT(all.size(), 16u);  // some are skipped
    const COLORREF nextColour = NextTraceColor();
    all.erase(all.begin(), all.end() - 16);
    const std::vector<CChartTrace>& kept = session.Graph().traces;
    for (std::size_t i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kept[i].name, all[i].name);
        EXPECT_EQ(kept[i].color, all[i].color);
        ASSERT_EQ(kept[i].points.size(), all[i].points.size());
        EXPECT_EQ(kept[i].points.back().y, all[i].points.back().y);
    }
    session.RebuildPlot(false, false);
    EXPECT_EQ(NextTraceColor(), nextColour) << "the palette stands where it did";
}

TEST_F(SessionTest, FilesOfDifferentUnitsShareSlotOnesUnit)
{
    // bandpass.s2p is in MHz, splitter.s3p in GHz: both are plotted in MHz.
    session.OpenFiles(
        {{TestFile("bandpass.s2p"), "bandpass.s2p"}, {TestFile("splitter.s3p"), "splitter.s3p"}});
    ASSERT_TRUE(session.Slot(2).loaded);
    EXPECT_EQ(session.Slot(2).freqUnit, CS2pData::MHZ);
    CS2pData alone;
    ASSERT_EQ(alone.Load(TestFile("splitter.s3p")), 0);
    EXPECT_DOUBLE_EQ(session.Slot(2).FreqAt(0), alone.FreqAt(0) * 1000.0);
    EXPECT_EQ(session.Graph().xAxis.title, "Frequency [MHz]");
}

TEST_F(SessionTest, StartFilesReadAheadLoadAsIfReadThen)
{
    // Read ahead under another spelling of their paths; the second file cannot be read and
    // says so once, when the window reaches it, as a file read then would.
    TempDir dir;
    const std::string bad = dir.Write("bad.s2p", "# GHz S RI R 50\n1 0 0 0 0 0 0 0 0\n1.5x\n");
    CStartLoader started;
    started.Start({std::string(TORVEX_TESTDATA) + "/../testdata/bandpass.s2p", bad});
    session.startLoader = &started;
    EXPECT_TRUE(messages.texts.empty());
    session.OpenFiles({{TestFile("bandpass.s2p"), "bandpass.s2p"}, {bad, "bad.s2p"}});
    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_NE(messages.texts[0].find("1.5x"), std::string::npos) << messages.texts[0];
    EXPECT_EQ(messages.texts[1], CTorvexSession::LOAD_FAILED + bad);
    EXPECT_TRUE(session.Slot(1).loaded);
    EXPECT_EQ(session.Slot(1).fileName, TestFile("bandpass.s2p"));
    EXPECT_EQ(session.Slot(1).displayName, "bandpass.s2p");
    CS2pData direct;
    ASSERT_EQ(direct.Load(TestFile("bandpass.s2p")), 0);
    ASSERT_EQ(session.Slot(1).RecordCount(), direct.RecordCount());
    EXPECT_EQ(session.Slot(1).Matrix(5)[1].re, direct.Matrix(5)[1].re);

    // Once taken, a file is read anew: a reload sees it as it is now.
    dir.Write("bad.s2p",
              "# GHz S RI R 50\n1 0 0 0 0 0 0 0 0\n2 0 0 0 0 0 0 0 0\n3 0 0 0 0 0 0 0 0\n");
    messages.texts.clear();
    session.OpenFiles({{bad, "bad.s2p"}});
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_TRUE(session.Slot(1).loaded);
    session.startLoader = nullptr;
}

TEST_F(SessionTest, CancelledLoadLeavesTheSlotsAsTheyWere)
{
    // The user presses Cancel in the progress dialog of the second file.
    struct Cancel : CProgressHook {
        int reads = 0;
        void Begin(const std::string&) override { ++reads; }
        bool Advance(std::uintmax_t, std::uintmax_t) override { return reads < 2; }
        void End() override {}
    } cancel;
    LoadBandpass();
    const std::vector<std::string> before = TraceNames(session.Graph());
    CProgressHook* const previous = SetProgressHook(&cancel);
    session.OpenFiles(
        {{TestFile("filter.s4p"), "filter.s4p"}, {TestFile("coupler.s4p"), "coupler.s4p"}});
    SetProgressHook(previous);
    EXPECT_EQ(cancel.reads, 2);
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(session.Slot(1).fileName, TestFile("bandpass.s2p"));
    EXPECT_EQ(session.Slot(1).displayName, "bandpass.s2p");
    EXPECT_TRUE(session.Slot(1).loaded);
    EXPECT_EQ(session.Slot(1).PortCount(), 2);
    EXPECT_TRUE(session.Slot(2).fileName.empty());
    EXPECT_EQ(TraceNames(session.Graph()), before);
}

TEST_F(SessionTest, OpenFilesCompactsTheEntries)
{
    session.OpenFiles({{TestFile("bandpass.s2p"), "bandpass.s2p"},
                       {"", ""},
                       {TestFile("splitter.s3p"), "splitter.s3p"}});
    EXPECT_EQ(session.Slot(1).displayName, "bandpass.s2p");
    EXPECT_EQ(session.Slot(2).displayName, "splitter.s3p");
    EXPECT_TRUE(session.Slot(1).loaded);
    EXPECT_TRUE(session.Slot(2).loaded);
    for (int n = 3; n <= 5; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(session.Slot(n).fileName, "");
        EXPECT_EQ(session.Slot(n).displayName, "");
        EXPECT_FALSE(session.Slot(n).loaded);
    }
    EXPECT_EQ(session.lastPath, TestFile("bandpass.s2p"));
    EXPECT_EQ(session.lastFile, "bandpass.s2p");

    // A single file clears the other slots again.
    LoadBandpass();
    EXPECT_FALSE(session.Slot(2).loaded);
    EXPECT_EQ(session.Slot(2).fileName, "");
    EXPECT_EQ(session.sheet.title, "bandpass.s2p");
}

TEST_F(SessionTest, AFailingFileStopsLoading)
{
    TempDir dir;
    const std::string bad = dir.Write("bad.s2p", "# GHz S RI R 50\n1 0 0 0 0 0 0 0 0\n");
    session.OpenFiles({{TestFile("bandpass.s2p"), "bandpass.s2p"},
                       {bad, "bad.s2p"},
                       {TestFile("splitter.s3p"), "splitter.s3p"}});
    ASSERT_FALSE(messages.texts.empty());
    EXPECT_EQ(messages.texts.back(), "Cannot read file or invalid data format:\n" + bad);
    EXPECT_TRUE(session.dataLoaded);
    EXPECT_TRUE(session.Slot(1).loaded);
    EXPECT_FALSE(session.Slot(2).loaded);
    EXPECT_FALSE(session.Slot(3).loaded);
    EXPECT_EQ(session.Slot(3).RecordCount(), 0u);  // never read
    EXPECT_EQ(TraceNames(session.Graph()), (std::vector<std::string>{"S11[dB](1)", "S21[dB](1)"}));
    EXPECT_EQ(session.sheet.title, "bandpass.s2p");
    EXPECT_EQ(enabled, std::vector<bool>{true});
}

TEST_F(SessionTest, NothingLoadedKeepsTheChart)
{
    TempDir dir;
    const std::string missing = dir.Path("missing.s2p");
    session.OpenSingleFile("missing.s2p", missing);
    EXPECT_FALSE(session.dataLoaded);
    EXPECT_EQ(messages.texts.back(), "Cannot read file or invalid data format:\n" + missing);
    EXPECT_EQ(TraceNames(session.Graph()), (std::vector<std::string>{"S21", "S11"}));
    EXPECT_EQ(session.sheet.title, "11th order Bandpass Filter Example");
    EXPECT_EQ(enabled, std::vector<bool>{false});
    EXPECT_EQ(session.lastPath, missing);
    EXPECT_EQ(session.lastFile, "missing.s2p");
    EXPECT_EQ(busyBegin, 1);
    EXPECT_EQ(busyEnd, 1);

    // After a good load, a failed one disables the data commands and plots nothing new.
    LoadBandpass();
    session.OpenSingleFile("missing.s2p", missing);
    EXPECT_FALSE(session.dataLoaded);
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(session.Graph().traces.size(), 2u);
}

TEST_F(SessionTest, MarkersSurviveRebuildsButNotLoads)
{
    LoadBandpass();
    session.Graph().markers = {1900.0, 2000.0};
    session.ApplySelection({{4, 0}, {4, 1}});
    EXPECT_EQ(session.Graph().markers, (std::vector<double>{1900.0, 2000.0}));
    session.ApplySelection({{4, 0}, {4, 1}});
    EXPECT_EQ(session.Graph().markers, (std::vector<double>{1900.0, 2000.0}));

    keepMarkers = true;
    LoadBandpass();
    EXPECT_EQ(session.Graph().markers, (std::vector<double>{1900.0, 2000.0}));
    keepMarkers = false;
    LoadBandpass();
    EXPECT_TRUE(session.Graph().markers.empty());
}

TEST_F(SessionTest, SelectionAndPersistFlagsDecideTheResets)
{
    LoadBandpass();
    CChartGraph& g = session.Graph();
    const double fullMax = g.xAxis.max;
    g.xAxis.SetRange(1900, 2000);
    g.leftAxis.SetRange(-7, -3);

    // The same selection again: nothing is refitted.
    session.ApplySelection({{0, 0}, {4, 0}});
    EXPECT_DOUBLE_EQ(g.xAxis.min, 1900.0);
    EXPECT_DOUBLE_EQ(g.leftAxis.min, -7.0);
    EXPECT_EQ(g.traces.size(), 2u);

    // A loaded file keeps the scales the settings ask to keep.
    persistXScale = true;
    persistYScale = true;
    LoadBandpass();
    EXPECT_DOUBLE_EQ(g.xAxis.min, 1900.0);
    EXPECT_DOUBLE_EQ(g.leftAxis.min, -7.0);
    persistXScale = false;
    LoadBandpass();
    EXPECT_DOUBLE_EQ(g.xAxis.max, fullMax);
    EXPECT_DOUBLE_EQ(g.leftAxis.min, -7.0);

    // Kept scales survive a Smith chart and the way back, on the view's titled axes.
    g.leftAxis.SetRange(-9, 1);
    g.yMajorDivisions = 5;
    session.SetChartKind(CChartGraph::SMITH);
    g.yMajorDivisions = 10;  // as the plane's layout may leave it
    session.SetChartKind(CChartGraph::RECTANGULAR);
    EXPECT_DOUBLE_EQ(g.leftAxis.min, -9.0);
    EXPECT_DOUBLE_EQ(g.leftAxis.max, 1.0);
    EXPECT_EQ(g.yMajorDivisions, 5);
    EXPECT_FALSE(g.leftAxis.title.empty());

    // A new selection refits both.
    session.ApplySelection({{4, 0}});
    EXPECT_NE(g.leftAxis.min, -7.0);
    EXPECT_EQ(session.viewSelection, (ViewSelection{{4, 0}}));
}

TEST_F(SessionTest, KeptScalesOfTheFirstFileAreTitledForItsView)
{
    // At start the axes hold the remembered ranges, not yet set up for data.
    persistYScale = true;
    session.Graph().leftAxis.SetRange(-37, 3);
    session.Graph().leftAxis.title.clear();
    LoadBandpass();
    EXPECT_DOUBLE_EQ(session.Graph().leftAxis.min, -37.0);
    EXPECT_DOUBLE_EQ(session.Graph().leftAxis.max, 3.0);
    EXPECT_FALSE(session.Graph().leftAxis.title.empty());
    persistYScale = false;
}

TEST_F(SessionTest, ClicksAddMarkersInsideThePlotOnly)
{
    CChartGraph& g = session.Graph();
    g.plotArea.rect = CRect(100, 100, 300, 200);
    g.xAxis.SetRange(0, 100);
    g.markers.clear();
    struct Row {
        CPoint point;
        bool added;
    };
    const Row rows[] = {
        {{150, 150}, true},   // 25
        {{50, 150}, false},   // left of the plot
        {{150, 250}, false},  // below it
        {{100, 150}, false},  // the left edge is 0, not above 0
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.point.x) + "," + std::to_string(row.point.y));
        const int before = repaints;
        EXPECT_EQ(session.AddMarkerAt(row.point), row.added);
        EXPECT_EQ(repaints, before + (row.added ? 1 : 0));
    }
    EXPECT_EQ(g.markers, std::vector<double>{25.0});
    EXPECT_EQ(session.Readout({50, 150}), "");
    EXPECT_NE(session.Readout({150, 150}).find("X= 25"), std::string::npos);
}

TEST_F(SessionTest, MouseZoomPanAndBack)
{
    LoadBandpass();  // 1800..2600 MHz
    session.SetChartRect(CRect(0, 0, 900, 600));
    CRecordingDC dc(false, 96);
    session.sheet.Draw(dc);
    CChartGraph& g = session.Graph();
    const CRect p = g.plotArea.rect;
    ASSERT_TRUE(g.plotArea.visible);
    const double x0 = g.xAxis.min, x1 = g.xAxis.max;
    const double l0 = g.leftAxis.min, l1 = g.leftAxis.max;

    // The wheel keeps the frequency under the cursor where it is.
    const CPoint quarter{p.left + (p.right - p.left) / 4, (p.top + p.bottom) / 2};
    const double under = g.XAtPoint(quarter);
    session.PushRange();
    session.ZoomXAt(quarter, 0.5);
    EXPECT_NEAR(g.XAtPoint(quarter), under, 1e-9 * (x1 - x0));
    EXPECT_NEAR(g.xAxis.max - g.xAxis.min, (x1 - x0) / 2, 1e-9);

    // A drag moves the plot with the mouse: half the plot width is half the span.
    session.PushRange();
    const double span = g.xAxis.max - g.xAxis.min;
    const double before = g.xAxis.min;
    session.PanBy((p.right - p.left) / 2, 0);
    EXPECT_NEAR(g.xAxis.min, before - span / 2, 1e-6 * span);

    // A rectangle zooms every axis to it; one too small changes nothing.
    const CRect tiny(p.left + 10, p.top + 10, p.left + 12, p.top + 12);
    const double keep = g.xAxis.min;
    EXPECT_FALSE(session.ZoomToRect(tiny));
    EXPECT_EQ(g.xAxis.min, keep);
    EXPECT_TRUE(session.ZoomToRect(CRect(p.left, p.top, (p.left + p.right) / 2, p.bottom)));
    EXPECT_NEAR(g.xAxis.max - g.xAxis.min, span / 2, 1e-6 * span);

    // Backspace walks back through every step to the start.
    EXPECT_TRUE(session.ZoomBack());
    EXPECT_TRUE(session.ZoomBack());
    EXPECT_TRUE(session.ZoomBack());
    EXPECT_FALSE(session.ZoomBack());
    EXPECT_EQ(g.xAxis.min, x0);
    EXPECT_EQ(g.xAxis.max, x1);
    EXPECT_EQ(g.leftAxis.min, l0);
    EXPECT_EQ(g.leftAxis.max, l1);

    // The arrows step the last marker along the stored points of the first trace.
    g.markers = {2001.0};
    EXPECT_TRUE(session.StepLastMarker(1));
    EXPECT_DOUBLE_EQ(g.markers.back(), 2004.0);
    EXPECT_TRUE(session.StepLastMarker(-1));
    EXPECT_DOUBLE_EQ(g.markers.back(), 2000.0);
    g.markers = {2600.0};
    EXPECT_FALSE(session.StepLastMarker(1));
}

TEST_F(SessionTest, ReloadKeepsTheViewAndSurvivesAHalfWrittenFile)
{
    TempDir dir;
    const std::string original = TempDir::Read(TestFile("bandpass.s2p"));
    const std::string path = dir.Write("live.s2p", original);
    session.OpenSingleFile("live.s2p", path);
    ASSERT_TRUE(session.dataLoaded);
    CChartGraph& g = session.Graph();
    g.markers = {2000.0};
    g.xAxis.SetRange(1900, 2100);
    const double before = g.traces[0].ValueAt(2000.0);

    // Caught in the middle of a rewrite: the old data stay, nothing is shown.
    dir.Write("live.s2p", "# MHz S DB R 50\n1800 -1");
    EXPECT_FALSE(session.Reload());
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(g.traces[0].ValueAt(2000.0), before);

    // The finished file: new values, same view, markers and range.
    std::string louder = original;
    for (std::size_t at = louder.find("-0.4000"); at != std::string::npos;
         at = louder.find("-0.4000", at + 1))
        louder.replace(at, 7, "-3.0000");
    dir.Write("live.s2p", louder);
    EXPECT_TRUE(session.Reload());
    EXPECT_EQ(g.markers, (std::vector<double>{2000.0}));
    EXPECT_EQ(g.xAxis.min, 1900);
    EXPECT_EQ(g.xAxis.max, 2100);
    EXPECT_NEAR(g.traces[0].ValueAt(2000.0), -3.0, 1e-9);  // S11[dB]

    // Asked for by hand, a failure names the file.
    dir.Write("live.s2p", "garbage");
    EXPECT_FALSE(session.Reload(false));
    ASSERT_FALSE(messages.texts.empty());  // the reader's reason, then the file
    EXPECT_NE(messages.texts.back().find(path), std::string::npos);
    EXPECT_EQ(session.recentFiles, (std::vector<std::string>{path}));
}

// A followed file that stays unreadable is marked, never shown as silent old data; a file
// changed while nobody followed it counts as changed until it is read.
TEST_F(SessionTest, UnreadableReloadMarksTheFileStale)
{
    TempDir dir;
    const std::string original = TempDir::Read(TestFile("bandpass.s2p"));
    const std::string a = dir.Write("a.s2p", original);
    const std::string b = dir.Write("b.s2p", original);
    session.OpenFiles({{a, "a.s2p"}, {b, "b.s2p"}});
    ASSERT_TRUE(session.Slot(2).loaded);
    EXPECT_FALSE(session.FilesChanged());
    EXPECT_EQ(session.StaleLine(), "");

    std::string louder = original;
    for (std::size_t at = louder.find("-0.4000"); at != std::string::npos;
         at = louder.find("-0.4000", at + 1))
        louder.replace(at, 7, "-3.00000");
    dir.Write("a.s2p", louder);
    dir.Write("b.s2p", "# MHz S DB R 50\n1800 -1");
    EXPECT_TRUE(session.FilesChanged());
    // A try between retries changes nothing.
    EXPECT_FALSE(session.Reload());
    EXPECT_FALSE(session.SlotStale(2));
    // The last try: a is taken, b keeps its old data and says so.
    EXPECT_FALSE(session.Reload(true, true));
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_FALSE(session.SlotStale(1));
    EXPECT_TRUE(session.SlotStale(2));
    EXPECT_NEAR(session.Slot(1).Element(0, 1, 1).GetDb(), -3.0, 1e-9);
    EXPECT_EQ(session.SlotTitle(2), "b.s2p (stale)");
    EXPECT_EQ(session.StaleLine(), "Stale: (2) b.s2p");
    EXPECT_TRUE(session.FilesChanged());  // b is still to be read

    dir.Write("b.s2p", original);
    EXPECT_TRUE(session.Reload());
    EXPECT_FALSE(session.SlotStale(2));
    EXPECT_FALSE(session.FilesChanged());

    // One file: its name in the title carries the mark while it is stale.
    session.OpenSingleFile("a.s2p", a);
    EXPECT_EQ(session.sheet.title, "a.s2p");
    dir.Write("a.s2p", "garbage");
    EXPECT_FALSE(session.Reload(false, true));
    ASSERT_FALSE(messages.texts.empty());
    EXPECT_NE(messages.texts.back().find(a), std::string::npos);
    EXPECT_EQ(session.sheet.title, "a.s2p (stale)");
    dir.Write("a.s2p", original);
    EXPECT_TRUE(session.Reload(true, true));
    EXPECT_EQ(session.sheet.title, "a.s2p");
}

TEST_F(SessionTest, SearchesPlaceMarkersAndMasksReportBadLines)
{
    LoadBandpass();
    session.ApplySelection({{4, 0}});  // S21 only
    CChartGraph& g = session.Graph();
    ASSERT_TRUE(session.MarkPeak(0));
    ASSERT_EQ(g.markers.size(), 1u);
    const double peak = g.markers[0];
    EXPECT_GE(g.traces[0].ValueAt(peak), g.traces[0].ValueAt(peak + 8.0));
    g.markers.clear();
    ASSERT_TRUE(session.MarkBandwidth(0, 3.0));
    ASSERT_EQ(g.markers.size(), 2u);
    EXPECT_LT(g.markers[0], peak);
    EXPECT_GT(g.markers[1], peak);
    EXPECT_NE(session.measurement.find("Q= "), std::string::npos) << session.measurement;
    // The measurement stands whole beside the cursor lines until a marker changes.
    EXPECT_EQ(session.Readout(CPoint{-1, -1}),
              "\tBW3= 252.174 MHz\n\tFc= 2200 MHz\n\tQ= 8.72414\n");
    session.SetChartRect(CRect(0, 0, 900, 600));
    CRecordingDC dc(false, 96);
    session.sheet.Draw(dc);
    const CRect p = g.plotArea.rect;
    const CPoint inside{(p.left + p.right) / 2, (p.top + p.bottom) / 2};
    const std::string both = session.Readout(inside);
    EXPECT_EQ(both.rfind("X= ", 0), 0u) << both;
    EXPECT_NE(both.find("\tBW3= 252.174 MHz\n"), std::string::npos) << both;
    EXPECT_NE(both.find("\tQ= 8.72414\n"), std::string::npos) << both;
    EXPECT_TRUE(session.AddMarkerAt(inside));
    EXPECT_EQ(session.Readout(inside), g.Readout(inside));
    EXPECT_FALSE(session.MarkPeak(7));  // no such trace

    TempDir dir;
    std::string error;
    // Blank lines count, as on the command line.
    EXPECT_FALSE(
        session.LoadLimits(dir.Write("bad.lim", "upper 1 2 -3\n\n  \nlower x 2 3\n"), error));
    EXPECT_NE(error.find("line 4"), std::string::npos) << error;
    EXPECT_TRUE(g.limitMask.Empty());
    EXPECT_TRUE(session.LoadLimits(dir.Write("ok.lim", "lower 1900 2100 -200 S21:db\n"), error));
    EXPECT_FALSE(g.limitMask.Empty());
}

TEST_F(SessionTest, OnePortAndNPortFilesShowWhatTheyHave)
{
    session.viewSelection = {{4, 0}, {4, 2}};  // S21 dB and delay: nothing of a 1-port
    session.OpenSingleFile("termination.s1p", TestFile("termination.s1p"));
    ASSERT_TRUE(session.dataLoaded);
    EXPECT_EQ(TraceNames(session.Graph()), (std::vector<std::string>{"S11[dB](1)", "S11[ns](1)"}));
    EXPECT_EQ(session.viewSelection, (ViewSelection{{4, 0}, {4, 2}}));  // kept for later files
    EXPECT_EQ(session.MaxPortCount(), 1);
    EXPECT_TRUE(session.FitsClassicGrid());

    session.OpenSingleFile("cst.s12p", TestFile("cst.s12p"));
    ASSERT_TRUE(session.dataLoaded);
    EXPECT_FALSE(session.FitsClassicGrid());
    EXPECT_EQ(session.WidestSlot()->PortCount(), 12);
    session.ApplySelection({{session.Slot(1).CodeAt(10, 2), 0}});
    EXPECT_EQ(TraceNames(session.Graph()), (std::vector<std::string>{"S10_2[dB](1)"}));
}

TEST_F(SessionTest, SmithAndPolarShowTheSelectionsElements)
{
    session.SetChartKind(CChartGraph::SMITH);  // no data yet: the example stays as it is
    EXPECT_EQ(session.Graph().chartKind, CChartGraph::RECTANGULAR);
    session.viewSelection = {{0, 0}, {4, 0}, {4, 1}};  // S11 dB, S21 dB and phase
    session.OpenSingleFile("filter.s4p", TestFile("filter.s4p"));
    ASSERT_TRUE(session.dataLoaded);
    CChartGraph& g = session.Graph();
    EXPECT_EQ(g.chartKind, CChartGraph::SMITH);
    ASSERT_EQ(TraceNames(g), (std::vector<std::string>{"S11(1)"}));  // reflections only
    EXPECT_EQ(g.traces[0].gamma.size(), g.traces[0].points.size());

    session.SetChartKind(CChartGraph::POLAR);
    EXPECT_EQ(TraceNames(g), (std::vector<std::string>{"S11(1)", "S21(1)"}));
    session.SetChartKind(CChartGraph::RECTANGULAR);
    EXPECT_EQ(TraceNames(g), (std::vector<std::string>{"S11[dB](1)", "S21[dB](1)", "S21[deg](1)"}));

    // Every element keeps its colour on each kind of chart, a skipped transmission
    // included; a polar transmission is marked so that no impedance is read from it.
    session.viewSelection = {{4, 0}, {0, 0}};  // S21 first
    session.RebuildPlot(true, true);
    const COLORREF s21 = g.traces[0].color, s11 = g.traces[1].color;
    ASSERT_NE(s21, s11);
    session.SetChartKind(CChartGraph::SMITH);
    ASSERT_EQ(TraceNames(g), (std::vector<std::string>{"S11(1)"}));
    EXPECT_EQ(g.traces[0].color, s11);
    session.SetChartKind(CChartGraph::POLAR);
    ASSERT_EQ(TraceNames(g), (std::vector<std::string>{"S21(1)", "S11(1)"}));
    EXPECT_EQ(g.traces[0].color, s21);
    EXPECT_EQ(g.traces[1].color, s11);
    EXPECT_FALSE(g.traces[0].reflection);
    EXPECT_TRUE(g.traces[1].reflection);

    // A mixed-mode reflection computed from the single-ended ports is one on both charts.
    session.viewSelection = {{ValueCode::MixedMode('d', 1, 'd', 1), 0}};
    session.RebuildPlot(true, true);
    for (int kind : {CChartGraph::SMITH, CChartGraph::POLAR}) {
        session.SetChartKind(kind);
        ASSERT_EQ(TraceNames(g), (std::vector<std::string>{"Sdd11(1)"}));
        EXPECT_TRUE(g.traces[0].reflection);
    }
    session.viewSelection = {{4, 0}, {0, 0}};
    session.RebuildPlot(true, true);

    // The plane's X axis is never fitted: a search reads every frequency of the trace.
    g.xAxis.SetRange(0.0, 1.0);
    g.markers.clear();
    ASSERT_TRUE(session.MarkPeak(0));
    const CChartTrace& s21Trace = g.traces[0];
    double best = s21Trace.points.front().y, at = s21Trace.points.front().x;
    for (const CChartTrace::XYpair& p : s21Trace.points)
        if (p.y > best) {
            best = p.y;
            at = p.x;
        }
    EXPECT_EQ(g.markers.back(), at);
}

}  // namespace

namespace {

// The quality of every loaded file, and its traces added beside the view from the dialog.
TEST_F(SessionTest, DataQualityRowsAndTraces)
{
    session.OpenFiles({{TestFile("coupler.s4p"), "coupler.s4p"},
                       {TestFile("termination.s1p"), "termination.s1p"}});
    ASSERT_TRUE(session.dataLoaded);
    const auto rows = session.QualityOfSlots();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].judged);
    EXPECT_TRUE(rows[0].result.hasReciprocity);
    EXPECT_GT(rows[0].result.largestSigma, 1.0);  // the coupler file is not passive
    EXPECT_FALSE(rows[1].result.hasReciprocity);

    CDlgDataQuality dialog(rows, "MHz");
    EXPECT_EQ(dialog.table->rowCount(), 2);
    EXPECT_TRUE(dialog.table->item(0, 2)->text().endsWith("poor"));
    dialog.onAddTrace = [this](int code) {
        session.AddViewItem(ValueFormatPair(code, ValueFormat::LIN_MAG));
    };
    dialog.sigmaButton->click();
    dialog.recipButton->click();
    EXPECT_EQ(TraceNames(session.Graph()),
              (std::vector<std::string>{"S11[dB](1)", "S11[dB](2)", "S21[dB](1)", "S:sigma(1)",
                                        "S:sigma(2)", "S:recip(1)"}));
    EXPECT_FALSE(session.Graph().traces[3].onLeftAxis);
}

}  // namespace

namespace {

// The time-domain dialog's choices shown on a time axis, the gate on frequency items, and a
// plane chart of a time view's elements.
TEST_F(SessionTest, TimeViewsAndTheGate)
{
    LoadBandpass();
    CDlgTimeDomain dialog(session.viewSelection, session.timeDomain);
    ASSERT_EQ(dialog.modes.size(), 2u);
    const ViewSelection time{{0, ValueFormat::TDR}, {4, ValueFormat::IMPULSE}};
    EXPECT_EQ(dialog.View(), time);  // a reflection's profile, a transmission's impulse
    dialog.gateOn->setChecked(true);
    dialog.gateTo->setValue(5.0);
    session.ApplyTimeDomain(dialog.Settings(), dialog.View());

    CChartGraph& g = session.Graph();
    EXPECT_TRUE(session.ShowsTime());
    EXPECT_EQ(TraceNames(g), (std::vector<std::string>{"S11[TDR ohm](1)", "S21[impulse](1)"}));
    EXPECT_EQ(g.xAxis.title, "Time [ns]");
    EXPECT_LT(g.xAxis.min, 0.0);  // the whole response, before 0 too
    EXPECT_EQ(g.gateLines, (std::vector<double>{0.0, 5.0}));
    EXPECT_EQ(g.title, "window kaiser:6, gate 0 to 5 ns (normal)");
    EXPECT_EQ(session.XColumn(), "time_ns");
    g.plotArea.rect = CRect(100, 100, 300, 200);
    g.plotArea.visible = true;
    g.markers.clear();
    EXPECT_TRUE(session.AddMarkerAt(CPoint{110, 150}));  // before 0 ns
    ASSERT_EQ(g.markers.size(), 1u);
    EXPECT_LT(g.markers[0], 0.0);

    // Back to the frequencies: the gated traces say so, the title names the gate.
    dialog.showTime->setChecked(false);
    session.ApplyTimeDomain(dialog.Settings(), dialog.View());
    EXPECT_EQ(TraceNames(g), (std::vector<std::string>{"S11[dB](1) gated", "S21[dB](1) gated"}));
    EXPECT_EQ(g.title, "gate 0 to 5 ns (normal)");
    EXPECT_EQ(g.xAxis.title.rfind("Frequency", 0), 0u);
    EXPECT_TRUE(g.gateLines.empty());
    // Markers keep their domain: the one before 0 ns is no frequency, and comes back.
    EXPECT_TRUE(g.markers.empty());
    ASSERT_TRUE(session.AddMarkerAt(CPoint{250, 150}));
    const std::vector<double> frequencyMarkers = g.markers;
    session.ApplyTimeDomain(TimeDomainSettings(), time);
    ASSERT_EQ(g.markers.size(), 1u);
    EXPECT_LT(g.markers[0], 0.0);
    // A frequency item asked for on a time view joins the frequency view shown before.
    session.AddViewItem(ValueFormatPair(ValueCode::SIGMA, ValueFormat::LIN_MAG));
    EXPECT_EQ(TraceNames(g), (std::vector<std::string>{"S11[dB](1)", "S21[dB](1)", "S:sigma(1)"}));
    EXPECT_EQ(g.markers, frequencyMarkers);

    // A Smith chart of a time view shows its elements' reflections.
    session.ApplyTimeDomain(TimeDomainSettings(), time);
    session.SetChartKind(CChartGraph::SMITH);
    EXPECT_EQ(TraceNames(g), (std::vector<std::string>{"S11(1)"}));
    session.SetChartKind(CChartGraph::RECTANGULAR);
}

}  // namespace

namespace {

// Network operations make a slot of their own that follows its source, and a slot saves as
// Touchstone with what was done to it.
TEST_F(SessionTest, NetworkOperationsMakeASlotThatFollowsItsSource)
{
    TempDir dir;
    const std::string path = dir.Write("bp.s2p", TempDir::Read(TestFile("bandpass.s2p")));
    session.OpenSingleFile("bp.s2p", path);
    CDlgNetworkOperations dialog({{1, "bp.s2p"}});
    dialog.terminate->setText("3=open");
    EXPECT_TRUE(dialog.okButton->isEnabled());  // the port is checked against the file later
    dialog.terminate->setText("x");
    EXPECT_FALSE(dialog.okButton->isEnabled());
    EXPECT_NE(dialog.problemLabel->text().toStdString().find("Terminating ports: 'x'"),
              std::string::npos);
    dialog.terminate->clear();
    dialog.renormalize->setText("75");
    // A refusal keeps the dialog open with everything typed, and says why in its words.
    dialog.onApply = [](std::string& why) {
        why = "De-embedding: refused";
        return false;
    };
    messages.texts.clear();
    dialog.okButton->click();
    EXPECT_EQ(messages.texts, (std::vector<std::string>{"De-embedding: refused"}));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.problemLabel->text(), "De-embedding: refused");
    EXPECT_EQ(dialog.renormalize->text(), "75");
    const auto operations = dialog.Operations();
    ASSERT_TRUE(operations);

    std::string why;
    ASSERT_EQ(session.AddDerivedSlot(1, operations, why), 2) << why;
    EXPECT_EQ(session.Slot(2).GetDisplayName(), "bp.s2p, renormalised to 75 ohm");
    EXPECT_EQ(session.Slot(2).refImpedances, (std::vector<double>{75.0, 75.0}));
    EXPECT_EQ(TraceNames(session.Graph()).size(), 4u);
    ASSERT_TRUE(session.Reload(true));
    EXPECT_EQ(session.Slot(2).refImpedances, (std::vector<double>{75.0, 75.0}));
    EXPECT_EQ(session.Slot(2).GetDisplayName(), "bp.s2p, renormalised to 75 ohm");

    TouchstoneWriter::Options options;
    options.version = 2;
    ASSERT_EQ(session.SaveSlot(2, dir.Path("out.ts"), options, why), FILE_OK) << why;
    const std::string text = TempDir::Read(dir.Path("out.ts"));
    EXPECT_NE(text.find("! Operations: renormalised to 75 ohm"), std::string::npos) << text;
    CS2pData back;
    ASSERT_EQ(back.Load(dir.Path("out.ts")), 0);
    EXPECT_EQ(back.refImpedance, 75.0);
    // A new file clears the slots and what made them.
    session.OpenSingleFile("bp.s2p", path);
    EXPECT_FALSE(session.Slot(2).loaded);
    EXPECT_EQ(session.DerivedBy(2), nullptr);
}

}  // namespace
