// The chart menu built headless: every action is triggered and its effect checked.
#include "app/ChartMenu.h"
#include "app/TorvexSession.h"
#include "platform/MessageBox.h"
#include "platform/RecordingDC.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QMenu>

#include <map>
#include <string>
#include <vector>

namespace {

std::string TestFile(const std::string& name)
{
    return std::string(TORVEX_TESTDATA) + "/" + name;
}

// The action of a caption, in the menu or one of its submenus; nullptr when there is none.
QAction* Find(const QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
        if (action->menu())
            if (QAction* inner = Find(*action->menu(), text))
                return inner;
    }
    return nullptr;
}

class ChartMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.OpenSingleFile("bandpass.s2p", TestFile("bandpass.s2p"));
        ASSERT_TRUE(session.dataLoaded);
        session.SetChartRect(CRect(0, 0, 900, 600));
        CRecordingDC dc(false, 96);
        session.sheet.Draw(dc);
        const CRect p = session.Graph().plotArea.rect;
        centre = CPoint{(p.left + p.right) / 2, (p.top + p.bottom) / 2};
    }
    // A menu whose window commands count their calls under their captions.
    CChartMenu Menu()
    {
        CChartMenu::Commands c;
        const auto count = [this](const char* name) { return [this, name] { ++calls[name]; }; };
        c.mixedMode = count("Mixed-mode parameters...");
        c.deleteLastMarker = count("Delete last marker");
        c.clearMarkers = count("Clear markers");
        c.loadLimits = count("Load limits...");
        c.copyImage = count("Copy image");
        c.copyData = count("Copy data");
        c.saveImageAs = count("Save image as...");
        c.exportCsv = count("Export CSV...");
        c.zoomOut = count("Zoom out");
        c.autoSpanAndScale = count("Auto span and scale");
        c.reload = count("Reload files");
        c.update = count("update");
        c.setFollowing = [this](bool on) { following.push_back(on); };
        c.openRecent = [this](const std::string& path) { opened.push_back(path); };
        c.showReadout = [this](const QString& text) { readouts.push_back(text.toStdString()); };
        c.askLevel = [this](double& level) {
            level = askedLevel;
            return askedLevel > 0.0;
        };
        return CChartMenu(session, c);
    }

    CRecordingMessageSink messages;
    CTorvexSession session;
    CPoint centre;
    std::map<std::string, int> calls;
    std::vector<bool> following;
    std::vector<std::string> opened;
    std::vector<std::string> readouts;
    double askedLevel = 0.0;  // 0: the level dialog is cancelled
};

}  // namespace

TEST_F(ChartMenuTest, WindowCommandsRunTheirCallbacks)
{
    session.Graph().markers = {2000.0};
    const CChartMenu chartMenu = Menu();
    QMenu menu;
    chartMenu.Build(menu, centre);
    for (const char* name :
         {"Delete last marker", "Clear markers", "Load limits...", "Copy image", "Copy data",
          "Save image as...", "Export CSV...", "Zoom out", "Auto span and scale", "Reload files"}) {
        SCOPED_TRACE(name);
        QAction* action = Find(menu, name);
        ASSERT_NE(action, nullptr);
        EXPECT_TRUE(action->isEnabled());
        action->trigger();
        EXPECT_EQ(calls[name], 1);
    }
    // Offered only for a file whose ports pair up.
    EXPECT_EQ(Find(menu, "Mixed-mode parameters..."), nullptr);
    EXPECT_EQ(Find(menu, "Clear limits"), nullptr);
    EXPECT_EQ(Find(menu, "Admittance grid"), nullptr);

    ASSERT_NE(Find(menu, "Follow file changes"), nullptr);
    EXPECT_TRUE(Find(menu, "Follow file changes")->isChecked());
    Find(menu, "Follow file changes")->trigger();
    EXPECT_EQ(following, std::vector<bool>{false});
    const QString recent = QString::fromStdString(TestFile("bandpass.s2p"));
    ASSERT_NE(Find(menu, recent), nullptr);
    Find(menu, recent)->trigger();
    EXPECT_EQ(opened, std::vector<std::string>{TestFile("bandpass.s2p")});
}

TEST_F(ChartMenuTest, SearchesAndChoicesChangeTheSession)
{
    CChartGraph& g = session.Graph();
    const CChartMenu chartMenu = Menu();
    {
        QMenu menu;
        chartMenu.Build(menu, centre);
        EXPECT_FALSE(Find(menu, "Delete last marker")->isEnabled());  // no marker yet
        Find(menu, "Peak")->trigger();
        EXPECT_EQ(g.markers.size(), 1u);
        Find(menu, "Bandwidth at level...")->trigger();  // cancelled: nothing
        EXPECT_EQ(g.markers.size(), 1u);
        EXPECT_TRUE(readouts.empty());
        Find(menu, "Bandwidth -3 dB")->trigger();
        ASSERT_EQ(readouts.size(), 1u);
        EXPECT_NE(readouts[0].find("BW3"), std::string::npos);
        Find(menu, "Reference marker")->trigger();
        EXPECT_TRUE(g.referenceMarker);
        EXPECT_EQ(calls["update"], 1);
        Find(menu, "Smith")->trigger();
        EXPECT_EQ(session.chartKind, CChartGraph::SMITH);
    }
    QMenu smith;
    chartMenu.Build(smith, centre);
    EXPECT_TRUE(Find(smith, "Smith")->isChecked());
    ASSERT_NE(Find(smith, "Admittance grid"), nullptr);
    Find(smith, "Admittance grid")->trigger();
    EXPECT_TRUE(g.admittanceGrid);
    Find(smith, "Rectangular")->trigger();
    EXPECT_EQ(session.chartKind, CChartGraph::RECTANGULAR);

    std::vector<CLimitMask::ParseError> errors;
    ASSERT_TRUE(g.limitMask.Parse("upper 1800 2600 -1\n", errors));
    QMenu limits;
    chartMenu.Build(limits, centre);
    ASSERT_NE(Find(limits, "Clear limits"), nullptr);
    Find(limits, "Clear limits")->trigger();
    EXPECT_TRUE(g.limitMask.Empty());
}

TEST_F(ChartMenuTest, PairedPortsOfferMixedModeAndThePairing)
{
    session.OpenSingleFile("coupler.s4p", TestFile("coupler.s4p"));
    ASSERT_NE(session.MixedModeSource(), nullptr);
    const CChartMenu chartMenu = Menu();
    QMenu menu;
    chartMenu.Build(menu, centre);
    Find(menu, "Mixed-mode parameters...")->trigger();
    EXPECT_EQ(calls["Mixed-mode parameters..."], 1);
    EXPECT_TRUE(Find(menu, "1-3 / 2-4")->isChecked());
    Find(menu, "1-2 / 3-4")->trigger();
    EXPECT_EQ(session.portPairing, PortPairing::NEIGHBOURS);
    EXPECT_FALSE(Find(menu, "1-3 / 2-4")->isChecked());
}
