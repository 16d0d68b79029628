#include "app/ChartMenu.h"

#include "app/TorvexSession.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <utility>

namespace {

// A command: runs its callback when there is one.
QAction* AddCommand(QMenu& menu, const QString& text, const std::function<void()>& run,
                    bool enabled)
{
    QAction* action = menu.addAction(text);
    QObject::connect(action, &QAction::triggered, action, [run] {
        if (run)
            run();
    });
    action->setEnabled(enabled);
    return action;
}

// A check mark; in a group only the choice made reports, with true.
void AddCheck(QMenu* into, const QString& text, bool on, QActionGroup* group,
              std::function<void(bool)> set)
{
    QAction* action = into->addAction(text);
    action->setCheckable(true);
    action->setChecked(on);
    if (group)
        action->setActionGroup(group);
    QObject::connect(action, &QAction::toggled, action, [set, group](bool now) {
        if (now || !group)
            set(now);
    });
}

}  // namespace

CChartMenu::CChartMenu(CTorvexSession& menuSession, Commands menuCommands)
    : session(menuSession), commands(std::move(menuCommands))
{
}

void CChartMenu::Build(QMenu& menu, CPoint client) const
{
    AddSearches(menu, client);
    if (session.MixedModeSource())
        AddMixedMode(menu);
    CChartGraph& graph = session.Graph();
    AddCheck(&menu, "Reference marker", graph.referenceMarker, nullptr, [this](bool on) {
        session.Graph().referenceMarker = on;
        commands.update();
    });
    menu.addSeparator();
    AddChartKinds(menu);
    menu.addSeparator();
    AddCommands(menu);
}

void CChartMenu::AddSearches(QMenu& menu, CPoint client) const
{
    // Searches work on the trace nearest the click, within the visible span.
    const int trace = session.TraceNearest(client);
    const double clickX = session.Graph().XAtPoint(client);
    const bool traces = !session.Graph().traces.empty();
    CTorvexSession& s = session;
    const auto search = [&](const QString& text, std::function<bool()> run) {
        AddCommand(
            menu, text, [run] { run(); }, traces);
    };
    search("Peak", [&s, trace] { return s.MarkPeak(trace); });
    search("Minimum", [&s, trace] { return s.MarkMinimum(trace); });
    search("Next peak left", [&s, trace, clickX] { return s.MarkNextPeak(trace, false, clickX); });
    search("Next peak right", [&s, trace, clickX] { return s.MarkNextPeak(trace, true, clickX); });
    // The result stands beside the cursor lines, as the next mouse move shows it.
    const Commands& c = commands;
    search("Bandwidth -3 dB", [&s, &c, trace, client] {
        const bool found = s.MarkBandwidth(trace, 3.0);
        c.showReadout(QString::fromStdString(s.Readout(client)));
        return found;
    });
    search("Bandwidth at level...", [&s, &c, trace, client] {
        double level = 6.0;
        if (!c.askLevel(level))
            return false;
        const bool found = s.MarkBandwidth(trace, level);
        c.showReadout(QString::fromStdString(s.Readout(client)));
        return found;
    });
}

void CChartMenu::AddMixedMode(QMenu& menu) const
{
    menu.addSeparator();
    AddCommand(menu, "Mixed-mode parameters...", commands.mixedMode, true);
    QMenu* pairing = menu.addMenu("Port pairing");
    auto* pairings = new QActionGroup(pairing);
    const std::pair<PortPairing, const char*> choices[] = {{PortPairing::ACROSS, "1-3 / 2-4"},
                                                           {PortPairing::NEIGHBOURS, "1-2 / 3-4"}};
    for (const auto& [value, caption] : choices) {
        const PortPairing chosen = value;
        AddCheck(pairing, caption, session.portPairing == chosen, pairings, [this, chosen](bool) {
            session.portPairing = chosen;
            session.RebuildPlot(false, false);
        });
    }
    menu.addSeparator();
}

void CChartMenu::AddChartKinds(QMenu& menu) const
{
    auto* kinds = new QActionGroup(&menu);
    const char* const kindNames[] = {"Rectangular", "Smith", "Polar"};
    for (int kind = 0; kind < 3; ++kind)
        AddCheck(&menu, kindNames[kind], session.chartKind == kind, kinds,
                 [this, kind](bool) { session.SetChartKind(kind); });
    if (session.Graph().chartKind == CChartGraph::SMITH) {
        AddCheck(&menu, "Admittance grid", session.Graph().admittanceGrid, nullptr,
                 [this](bool on) {
                     session.Graph().admittanceGrid = on;
                     commands.update();
                 });
    }
}

void CChartMenu::AddCommands(QMenu& menu) const
{
    const bool loaded = session.dataLoaded;
    const bool markers = !session.Graph().markers.empty();
    AddCommand(menu, "Delete last marker", commands.deleteLastMarker, markers);
    AddCommand(menu, "Clear markers", commands.clearMarkers, markers);
    AddCommand(menu, "Load limits...", commands.loadLimits, true);
    if (!session.Graph().limitMask.Empty()) {
        AddCommand(
            menu, "Clear limits",
            [this] {
                session.Graph().limitMask.Clear();
                commands.update();
            },
            true);
    }
    menu.addSeparator();
    AddCommand(menu, "Time domain...", commands.timeDomain, loaded);
    AddCommand(menu, "Data quality...", commands.dataQuality, loaded);
    AddCommand(menu, "Network operations...", commands.networkOperations, loaded);
    AddCommand(menu, "Save as Touchstone...", commands.saveTouchstone, loaded);
    menu.addSeparator();
    AddCommand(menu, "Copy image", commands.copyImage, true);
    AddCommand(menu, "Copy data", commands.copyData, !session.Graph().traces.empty());
    AddCommand(menu, "Save image as...", commands.saveImageAs, true);
    AddCommand(menu, "Export CSV...", commands.exportCsv, loaded);
    menu.addSeparator();
    AddCommand(menu, "Zoom out", commands.zoomOut, true);
    AddCommand(menu, "Auto span and scale", commands.autoSpanAndScale, true);
    menu.addSeparator();
    AddCommand(menu, "Reload files", commands.reload, loaded);
    AddCheck(&menu, "Follow file changes", session.followFiles, nullptr, commands.setFollowing);
    QMenu* recent = menu.addMenu("Recent files");
    recent->setEnabled(!session.recentFiles.empty());
    for (const std::string& path : session.recentFiles) {
        const std::function<void(const std::string&)> open = commands.openRecent;
        AddCommand(
            *recent, QString::fromStdString(path), [open, path] { open(path); }, true);
    }
}
