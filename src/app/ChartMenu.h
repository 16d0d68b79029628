// The chart's right-button menu: searches on the trace nearest the click, the mixed-mode
// choices, the chart kind, markers, limits, copies and exports, zoom, reload and following,
// recent files. What only the session changes it does itself; the window's own commands
// (dialogs, clipboard, following) come in as callbacks, so tests build the menu headless.
#pragma once

#include "platform/DC.h"

#include <functional>
#include <string>

class CTorvexSession;
class QMenu;
class QString;

class CChartMenu {
public:
    struct Commands {
        std::function<void()> mixedMode, deleteLastMarker, clearMarkers, loadLimits;
        std::function<void()> dataQuality, timeDomain, networkOperations, saveTouchstone;
        std::function<void()> copyImage, copyData, saveImageAs, exportCsv;
        std::function<void()> zoomOut, autoSpanAndScale, reload;
        std::function<void(bool)> setFollowing;
        std::function<void(const std::string&)> openRecent;
        // Repaints the chart after a change of the graph's settings.
        std::function<void()> update;
        // Shows the read-out text (a bandwidth result at once).
        std::function<void(const QString&)> showReadout;
        // Asks for the level of "Bandwidth at level..." in dB; false when cancelled.
        std::function<bool(double&)> askLevel;
    };

    CChartMenu(CTorvexSession& menuSession, Commands menuCommands);

    // Fills menu for a click at client (the chart's client coordinates).
    void Build(QMenu& menu, CPoint client) const;

private:
    void AddSearches(QMenu& menu, CPoint client) const;
    void AddMixedMode(QMenu& menu) const;
    void AddChartKinds(QMenu& menu) const;
    void AddCommands(QMenu& menu) const;

    CTorvexSession& session;
    Commands commands;
};
