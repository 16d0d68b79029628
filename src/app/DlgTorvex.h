// The program's window: two rows of command buttons, the read-out box and the chart. The
// logic lives in the session; this class connects the controls to it, places them in
// dialog units and paints.
#pragma once

#include "app/ChartMenu.h"
#include "app/dialogs/DlgSelectMatrix.h"
#include "app/TorvexSession.h"

#include <functional>
#include <memory>
#include <QDialog>
#include <QRect>
#include <QSize>
#include <string>
#include <utility>
#include <vector>

class CChartWidget;
class CFileFollower;
class QPlainTextEdit;
class QPushButton;

class CDlgTorvex : public QDialog {
    Q_OBJECT

public:
    static constexpr int MAX_WIDTH = 1920;  // outer window size limits of "Enlarge", pixels
    static constexpr int MAX_HEIGHT = 1200;
    static constexpr int MAX_START_FILES = CTorvexSession::SLOT_COUNT;

    explicit CDlgTorvex(QWidget* parent = nullptr);
    ~CDlgTorvex() override;

    CTorvexSession& Session() { return session; }

    // Files (full or relative paths) to open into slots 1.. at window start instead of the
    // last file of the previous run; beyond five are left out.
    void SetStartFiles(const std::vector<std::string>& paths);
    // Opens up to five files into slots 1.. (the start files and dropped files).
    void OpenPaths(const std::vector<std::string>& paths);
    // The files of paths as the session takes them (absolute path, name), at most as many as
    // the slots.
    static std::vector<std::pair<std::string, std::string>> PathEntries(
        const std::vector<std::string>& paths);

    // Grows the window by dx, dy pixels within MAX_WIDTH x MAX_HEIGHT, its start size and
    // the screen's available area, moving it up or left when it needs the room; the chart
    // takes up the change.
    void ResizeWindow(int dx, int dy);
    // The client size at window start (Reduce never goes below it).
    QSize MinWindowSize() const { return minWindowSize; }
    // While the window's start runs (it may show message boxes): the window's own modal
    // loop has not begun yet, so closing the window now would only hide it.
    bool IsStarting() const { return starting; }
    // Shown the first time, the window takes its data once it is on its way to the screen.
    void setVisible(bool visible) override;

    // The hint shown in the read-out box until data is loaded.
    static const char* const LOAD_HINT;

    // Runs a modal dialog and returns its result; tests replace it to answer dialogs
    // without a nested event loop.
    std::function<int(QDialog&)> runDialog = [](QDialog& dialog) { return dialog.exec(); };
    // The screen area the window must stay in (a null rectangle: no limit); the available
    // area of the window's screen unless a test sets another.
    std::function<QRect()> availableArea;

public slots:
    void OnOpenFiles();
    void OnOpenFile();
    void OnSelectView();
    void OnSettings();
    void OnMarkers();
    void OnTraces();
    void OnAbout();
    void OnLegend();
    void OnAutoSpan();
    void OnAutoScale();
    void OnIncSpan();
    void OnDecSpan();
    void OnIncFmax();
    void OnDecFmax();
    void OnEnlarge();
    void OnReduce();
    void OnPrint();
    // Shortcut and chart-menu commands.
    void OnCopyImage();
    void OnCopyData();
    void OnSaveImageAs();
    void OnExportCsv();
    void OnReload();
    void OnZoomOut();
    void OnAutoSpanAndScale();
    void OnDeleteLastMarker();
    void OnClearMarkers();
    void OnZoomBack();
    void OnLoadLimits();
    void OnMixedMode();
    // Analyses of whole files (DlgTorvexAnalysis.cpp).
    void OnDataQuality();
    void OnTimeDomain();
    void OnNetworkOperations();
    void OnSaveTouchstone();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The framework's dialog start: fits the window and measures the chart, before the
    // window is mapped.
    void StartWindow();
    // Then shows the example or loads the files: once the window is on its way to the
    // screen, but always before its first paint.
    void StartData();
    QPushButton* AddButton(const char* caption, const char* name, void (CDlgTorvex::*slot)());
    // Lays out for the natural size, or for room when that is smaller.
    void LayOutControls(const QSize& room);
    // Window start: the window shrinks to the screen's available area and moves into it.
    void FitToScreen();
    void SetReadout(const QString& text);
    // The read-out box: the stale files' line, then the last read-out text.
    void ShowReadout();
    void OnDataCommandsEnabled(bool enabled);
    // Names what the last rebuild could not build, in a message box.
    void ShowBuildProblems();
    void AddShortcuts();
    static std::vector<CDlgSelectMatrix::Format> MatrixFormats();
    void RunMatrixDialog(int n, const std::vector<int>& codes,
                         const std::vector<std::string>& names);
    // The chart's right-button menu at a global position, for a point of the chart.
    void ShowChartMenu(const QPoint& global, CPoint client);
    // What the chart menu runs of the window's own.
    CChartMenu::Commands ChartMenuCommands();

    CTorvexSession session;
    std::vector<std::string> startFiles;
    bool started = false;
    bool dataPending = false;
    bool starting = false;
    QSize minWindowSize;

    QPushButton* openFilesButton = nullptr;
    QPushButton* openFileButton = nullptr;
    QPushButton* selectViewButton = nullptr;
    QPushButton* settingsButton = nullptr;
    QPushButton* markersButton = nullptr;
    QPushButton* tracesButton = nullptr;
    QPushButton* legendButton = nullptr;
    QPushButton* autoSpanButton = nullptr;
    QPushButton* autoScaleButton = nullptr;
    QPushButton* incSpanButton = nullptr;
    QPushButton* decSpanButton = nullptr;
    QPushButton* incFmaxButton = nullptr;
    QPushButton* decFmaxButton = nullptr;
    QPlainTextEdit* readout = nullptr;
    QPushButton* enlargeButton = nullptr;
    QPushButton* reduceButton = nullptr;
    QPushButton* printButton = nullptr;
    QPushButton* aboutButton = nullptr;
    CChartWidget* chart = nullptr;
    CFileFollower* follower = nullptr;
    std::unique_ptr<CChartMenu> chartMenu;
    QString readoutText;  // as the chart or a measurement last set it
};
