#include "app/dialogs/DlgLoadData.h"
#include "app/dialogs/DlgSelectData.h"
#include "app/DlgTorvex.h"

#include "app/AppFlags.h"
#include "app/ChartWidget.h"
#include "app/dialogs/DialogUnits.h"
#include "app/dialogs/DlgOpenFile.h"
#include "app/dialogs/FileChooser.h"
#include "app/TorvexApp.h"
#include "app/WindowFit.h"
#include "chart/ChartFlags.h"
#include "data/LineFile.h"
#include "platform/MessageBox.h"
#include "platform/QtDC.h"

#include "TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <QApplication>
#include <QDir>
#include <QExposeEvent>
#include <QWindow>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <thread>

extern char** environ;

namespace {

const std::string testdata = TORVEX_TESTDATA;
const std::string bandpass = testdata + "/bandpass.s2p";
const std::string splitter = testdata + "/splitter.s3p";
const std::string coupler = testdata + "/coupler.s4p";

class DlgTorvexTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        persistXScale = persistYScale = keepMarkers = false;
        // A 1920 x 1200 screen: the offscreen one is smaller than the window.
        window.availableArea = [] { return QRect(0, 0, 1920, 1200); };
        window.show();  // the window start: measures the chart and fits the example
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        CDlgOpenFile::runHook = nullptr;
        persistXScale = persistYScale = keepMarkers = false;
    }

    QPushButton* Button(const char* name) { return window.findChild<QPushButton*>(name); }
    QPlainTextEdit* Readout() { return window.findChild<QPlainTextEdit*>("readout"); }
    CChartWidget* Chart() { return window.findChild<CChartWidget*>("chart"); }
    CTorvexSession& Session() { return window.Session(); }
    void Click(const char* name)
    {
        QPushButton* button = Button(name);
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
    void SendMouse(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton)
    {
        QMouseEvent event(type, QPointF(at), Chart()->mapToGlobal(QPointF(at)), button,
                          button == Qt::NoButton ? Qt::NoButton : Qt::MouseButtons(button),
                          Qt::NoModifier);
        QApplication::sendEvent(Chart(), &event);
    }
    // The point a quarter across and halfway down the chart widget: inside the plot.
    QPoint InsidePlot() { return QPoint(Chart()->width() / 2, Chart()->height() / 3); }
    void PaintChart() { Chart()->repaint(); }  // the read-out uses the last paint's layout

    CRecordingMessageSink messages;
    CDlgTorvex window;
};

TEST_F(DlgTorvexTest, ButtonsStandInTwoRowsInTheirOrder)
{
    EXPECT_EQ(window.windowTitle(), "Torvex v2.32");
    const std::vector<std::pair<const char*, const char*>> top = {
        {"openFilesButton", "Open Files..."},
        {"selectViewButton", "Select View..."},
        {"settingsButton", "Settings..."},
        {"tracesButton", "Traces..."},
        {"autoSpanButton", "Auto Span"},
        {"incSpanButton", "Inc Span"},
        {"incFmaxButton", "Inc Fmax"},
        {"enlargeButton", "Enlarge"},
        {"printButton", "Print"}};
    const std::vector<std::pair<const char*, const char*>> bottom = {
        {"openFileButton", "Open File"}, {"markersButton", "Markers..."},
        {"legendButton", "Legend"},      {"autoScaleButton", "Auto Scale"},
        {"decSpanButton", "Dec Span"},   {"decFmaxButton", "Dec Fmax"},
        {"reduceButton", "Reduce"},      {"aboutButton", "About..."}};
    for (const auto* row : {&top, &bottom}) {
        int previousRight = -1;
        const int y = Button(row->front().first)->y();
        for (const auto& [name, caption] : *row) {
            SCOPED_TRACE(name);
            QPushButton* button = Button(name);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text(), caption);
            EXPECT_EQ(button->y(), y);
            EXPECT_GT(button->x(), previousRight);
            previousRight = button->geometry().right();
        }
    }
    EXPECT_GT(Button("openFileButton")->y(), Button("openFilesButton")->geometry().bottom());
    // Bottom-row buttons share the columns of the top row; the second place stays empty.
    EXPECT_EQ(Button("markersButton")->x(), Button("settingsButton")->x());
    EXPECT_EQ(Button("reduceButton")->x(), Button("enlargeButton")->x());

    // The read-out spans both rows between "Inc Fmax" and "Enlarge"; the chart lies below.
    const QRect box = Readout()->geometry();
    EXPECT_TRUE(Readout()->isReadOnly());
    EXPECT_GT(box.left(), Button("incFmaxButton")->geometry().right());
    EXPECT_LT(box.right(), Button("enlargeButton")->x());
    EXPECT_EQ(box.top(), Button("incFmaxButton")->y());
    EXPECT_EQ(box.bottom(), Button("decFmaxButton")->geometry().bottom());
    EXPECT_GT(Chart()->y(), Button("openFileButton")->geometry().bottom());
}

TEST_F(DlgTorvexTest, SizesComeFromDialogUnitsAndTheChartMatchesChartRect)
{
    const DialogUnitScale du = DialogUnitsOf(window.font());
    // The height is the layout's; the width too, unless the captions need more.
    EXPECT_EQ(window.height(), du.Y(327));
    EXPECT_GE(window.width(), du.X(515));
    EXPECT_EQ(Chart()->geometry().topLeft(), QPoint(du.X(7), du.Y(43)));
    EXPECT_EQ(Chart()->height(), du.Y(277));
    EXPECT_EQ(Chart()->width(), std::max(du.X(501), window.width() - 2 * du.X(7)));
    const CRect& rect = Session().chartRect;
    EXPECT_EQ(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
              Chart()->geometry());
    EXPECT_EQ(Session().sheet.sheetRect.right, rect.right);
    // Not resizable by the user.
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    // No caption is cut, and the read-out box holds a long read-out line.
    for (QPushButton* button : window.findChildren<QPushButton*>())
        EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
    EXPECT_GT(Readout()->width(), Readout()->fontMetrics().horizontalAdvance("YR= -1.2345e-05"));
    EXPECT_LE(Button("printButton")->geometry().right(), window.width() - du.X(7));
}

TEST_F(DlgTorvexTest, DataCommandsAndHintFollowTheLoad)
{
    EXPECT_FALSE(Button("printButton")->isEnabled());
    EXPECT_FALSE(Button("selectViewButton")->isEnabled());
    for (const char* name : {"openFileButton", "openFilesButton", "settingsButton", "markersButton",
                             "tracesButton", "aboutButton"})
        EXPECT_TRUE(Button(name)->isEnabled()) << name;
    EXPECT_EQ(Readout()->placeholderText(), CDlgTorvex::LOAD_HINT);
    EXPECT_FALSE(Session().dataLoaded);

    window.OpenPaths({bandpass});
    ASSERT_TRUE(Session().dataLoaded);
    EXPECT_TRUE(Button("printButton")->isEnabled());
    EXPECT_TRUE(Button("selectViewButton")->isEnabled());
    EXPECT_TRUE(Readout()->placeholderText().isEmpty());

    // A file that fails afterwards leaves no data: the commands go, the hint stays away.
    TempDir dir;
    window.OpenPaths({dir.Write("bad.s2p", "not touchstone\n")});
    EXPECT_FALSE(Session().dataLoaded);
    EXPECT_FALSE(Button("printButton")->isEnabled());
    EXPECT_FALSE(Button("selectViewButton")->isEnabled());
    EXPECT_TRUE(Readout()->placeholderText().isEmpty());
    EXPECT_FALSE(messages.texts.empty());
}

// Each dialog button runs its dialog on the window's chart and acts on OK only.
TEST_F(DlgTorvexTest, DialogButtonsRunTheirDialogs)
{
    window.OpenPaths({bandpass});
    ASSERT_TRUE(Session().dataLoaded);
    std::vector<std::string> titles;
    int answer = QDialog::Rejected;
    std::function<void(QDialog&)> onShow;
    window.runDialog = [&](QDialog& dialog) {
        titles.push_back(dialog.windowTitle().toStdString());
        if (onShow)
            onShow(dialog);
        return answer;
    };
    const ViewSelection before = Session().viewSelection;
    Button("selectViewButton")->click();
    EXPECT_EQ(Session().viewSelection, before);  // cancelled

    answer = QDialog::Accepted;
    onShow = [](QDialog& dialog) {
        auto& select = static_cast<CDlgSelectData&>(dialog);
        select.selection = {{4, 0}, {4, 1}};
    };
    Button("selectViewButton")->click();
    EXPECT_EQ(Session().viewSelection, (ViewSelection{{4, 0}, {4, 1}}));
    ASSERT_EQ(Session().Graph().traces.size(), 2u);
    EXPECT_EQ(Session().Graph().traces[1].name, "S21[deg](1)");

    // Open Files: the dialog shows the loaded file in entry 1; a second entry loads both.
    onShow = [&](QDialog& dialog) {
        auto& load = static_cast<CDlgLoadData&>(dialog);
        EXPECT_EQ(load.paths[0], bandpass);
        load.paths[1] = load.paths[0];
        load.names[1] = "again.s2p";
    };
    Button("openFilesButton")->click();
    EXPECT_TRUE(Session().Slot(2).loaded);
    EXPECT_EQ(Session().Graph().traces.size(), 4u);

    onShow = nullptr;
    for (const char* name : {"settingsButton", "markersButton", "tracesButton", "aboutButton"})
        Button(name)->click();
    EXPECT_EQ(titles,
              (std::vector<std::string>{
                  "Torvex - Select Data to View", "Torvex - Select Data to View", "Open File(s)",
                  "Torvex - Settings", "Torvex - Markers", "Torvex - Traces", "About Torvex"}));
}

TEST_F(DlgTorvexTest, SpanButtonsChangeTheXAxis)
{
    struct Row {
        const char* button;
        double min, max, newMin, newMax;
    };
    const Row rows[] = {
        {"incSpanButton", 0, 100, 0, 150},   {"decSpanButton", 0, 100, 25, 75},
        {"incFmaxButton", 0, 100, 0, 150},   {"decFmaxButton", 0, 100, 0, 75},
        {"incSpanButton", 90, 110, 80, 120}, {"decSpanButton", 90, 110, 95, 105},
    };
    CChartAxis& x = Session().Graph().xAxis;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button);
        x.min = row.min;
        x.max = row.max;
        Click(row.button);
        EXPECT_DOUBLE_EQ(x.min, row.newMin);
        EXPECT_DOUBLE_EQ(x.max, row.newMax);
    }
    // Auto Span fits the example's traces again.
    x.min = 0;
    x.max = 1;
    Click("autoSpanButton");
    EXPECT_GT(x.max, 1.0);
}

TEST_F(DlgTorvexTest, LegendToggles)
{
    const bool before = Session().Graph().showMarkers;
    Click("legendButton");
    EXPECT_EQ(Session().Graph().showMarkers, !before);
    Click("legendButton");
    EXPECT_EQ(Session().Graph().showMarkers, before);
}

TEST_F(DlgTorvexTest, EnlargeAndReduceStayWithinTheirLimits)
{
    const QSize start = window.size();
    EXPECT_EQ(window.MinWindowSize(), start);
    const QSize chartStart = Chart()->size();

    Click("reduceButton");
    EXPECT_EQ(window.size(), start);
    EXPECT_EQ(Chart()->size(), chartStart);

    Click("enlargeButton");
    EXPECT_EQ(window.size(), start + QSize(160, 80));
    EXPECT_EQ(Chart()->size(), chartStart + QSize(160, 80));
    EXPECT_EQ(Session().chartRect.right - Session().chartRect.left, chartStart.width() + 160);
    EXPECT_EQ(Session().sheet.sheetRect.bottom, Session().chartRect.bottom);

    for (int i = 0; i < 20; ++i)
        Click("enlargeButton");
    EXPECT_EQ(window.frameGeometry().size(), QSize(CDlgTorvex::MAX_WIDTH, CDlgTorvex::MAX_HEIGHT));
    EXPECT_TRUE(window.availableArea().contains(window.frameGeometry()));  // moved up
    EXPECT_EQ(Chart()->size() - chartStart, window.size() - start);

    for (int i = 0; i < 20; ++i)
        Click("reduceButton");
    EXPECT_EQ(window.size(), start);
    EXPECT_EQ(Chart()->size(), chartStart);
}

TEST(WindowFitTest, SizeStaysWithinLimitsAndTheWindowWithinTheScreen)
{
    const QRect screen(0, 0, 1920, 1200);
    const QSize maxSize(1920, 1200);
    struct Row {
        const char* name;
        QRect frame;
        int dx, dy;
        QSize minSize, maxSize;
        QRect available;
        QRect expected;
    };
    const Row rows[] = {
        {"grows in place",
         {100, 100, 1000, 600},
         160,
         80,
         {1000, 600},
         maxSize,
         screen,
         {100, 100, 1160, 680}},
        {"moves up and left for room",
         {200, 100, 1800, 1100},
         160,
         80,
         {1000, 600},
         maxSize,
         screen,
         {0, 20, 1920, 1180}},
        {"a panel takes the top",
         {0, 32, 1900, 1100},
         160,
         80,
         {1000, 600},
         maxSize,
         {0, 32, 1920, 1168},
         {0, 32, 1920, 1168}},
        {"reduce stops at the start size",
         {10, 10, 1000, 600},
         -160,
         -80,
         {1000, 600},
         maxSize,
         screen,
         {10, 10, 1000, 600}},
        {"start on a scale-2 screen",
         {0, 0, 978, 576},
         0,
         0,
         {0, 0},
         {978, 576},
         {0, 0, 960, 570},
         {0, 0, 960, 570}},
        {"never pushed right",
         {-50, 10, 1000, 600},
         160,
         80,
         {1000, 600},
         maxSize,
         screen,
         {-50, 10, 1160, 680}},
        {"second screen",
         {2500, 100, 1000, 600},
         160,
         80,
         {1000, 600},
         maxSize,
         {1920, 0, 1280, 1024},
         {2040, 100, 1160, 680}},
        {"no screen known",
         {0, 0, 1900, 1100},
         160,
         80,
         {1000, 600},
         maxSize,
         QRect(),
         {0, 0, 1920, 1180}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FitWindow(row.frame, row.dx, row.dy, row.minSize, row.maxSize, row.available),
                  row.expected);
    }
}

TEST_F(DlgTorvexTest, WindowStartsAndGrowsWithinASmallScreen)
{
    const QRect screen(0, 0, 800, 500);
    CDlgTorvex small;
    small.availableArea = [screen] { return screen; };
    small.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(screen.contains(small.frameGeometry()));
    auto* chart = small.findChild<CChartWidget*>("chart");
    EXPECT_LE(chart->geometry().right(), small.width());
    EXPECT_LE(chart->geometry().bottom(), small.height());
    EXPECT_LE(small.findChild<QPushButton*>("printButton")->geometry().right(), small.width());
    const CRect& rect = small.Session().chartRect;
    EXPECT_EQ(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
              chart->geometry());

    const QSize start = small.size();
    small.ResizeWindow(160, 80);
    EXPECT_EQ(small.size(), start);
    EXPECT_TRUE(screen.contains(small.frameGeometry()));
}

TEST_F(DlgTorvexTest, MouseMoveFillsTheReadout)
{
    PaintChart();
    const QPoint inside = InsidePlot();
    SendMouse(QEvent::MouseMove, inside);
    const CPoint client = Chart()->ToClient(inside);
    EXPECT_EQ(client.x, inside.x() + Chart()->x());
    const std::string expected = Session().Readout(client);
    ASSERT_FALSE(expected.empty());
    // Each "\n" ends one line of the box: X and the two Y values of the example.
    EXPECT_EQ(Readout()->toPlainText().toStdString(), expected);
    EXPECT_EQ(Readout()->document()->blockCount(), 4);  // three lines and the last line end
    EXPECT_TRUE(Readout()->toPlainText().startsWith("X= "));

    SendMouse(QEvent::MouseMove, QPoint(1, 1));  // the chart's corner is off the plot
    EXPECT_TRUE(Readout()->toPlainText().isEmpty());
}

TEST_F(DlgTorvexTest, LeftClickInsideThePlotAddsAMarker)
{
    PaintChart();
    std::vector<double>& markers = Session().Graph().markers;
    markers.clear();
    SendMouse(QEvent::MouseButtonPress, QPoint(1, 1), Qt::LeftButton);
    EXPECT_TRUE(markers.empty());
    SendMouse(QEvent::MouseButtonPress, InsidePlot(), Qt::RightButton);
    EXPECT_TRUE(markers.empty());

    SendMouse(QEvent::MouseButtonPress, InsidePlot(), Qt::LeftButton);
    ASSERT_EQ(markers.size(), 1u);
    const CChartAxis& x = Session().Graph().xAxis;
    EXPECT_GT(markers[0], x.min);
    EXPECT_LT(markers[0], x.max);
}

// The chart keeps its plot layer while only markers or the legend change; what shows must
// stay what a paint of the whole sheet gives, also after commands that change the plot.
TEST_F(DlgTorvexTest, ChartShowsTheWholeSheetWhetherOrNotItKeepsThePlotLayer)
{
    Session().OpenSingleFile("coupler.s4p", coupler);
    const auto wholeSheet = [this] {
        QImage image(Chart()->size(), QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(Chart()->logicalDpiX() / 0.0254));
        image.setDotsPerMeterY(qRound(Chart()->logicalDpiY() / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(-Session().chartRect.left, -Session().chartRect.top);
        CQtDC dc(painter, false, Chart()->logicalDpiY());
        Session().sheet.Draw(dc);
        return image;
    };
    // Painted as the window would, without letting a queued paint go first.
    const auto shown = [this] {
        return Chart()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    PaintChart();
    SendMouse(QEvent::MouseButtonPress, InsidePlot(), Qt::LeftButton);
    EXPECT_EQ(shown(), wholeSheet()) << "first marker: the table replaces the legend";
    SendMouse(QEvent::MouseButtonPress, InsidePlot() + QPoint(40, 0), Qt::LeftButton);
    EXPECT_EQ(shown(), wholeSheet()) << "second marker";
    Click("decSpanButton");
    SendMouse(QEvent::MouseButtonPress, InsidePlot() - QPoint(40, 0), Qt::LeftButton);
    EXPECT_EQ(shown(), wholeSheet()) << "marker after a span change";
    Click("legendButton");
    EXPECT_EQ(shown(), wholeSheet()) << "legend off";
    Click("legendButton");
    EXPECT_EQ(shown(), wholeSheet()) << "legend on";
}

TEST_F(DlgTorvexTest, OpenFileLoadsEachSelectionAtOnce)
{
    std::vector<std::string> loadedWhileBrowsing;
    CDlgOpenFile::runHook = [&](CDlgOpenFile& dialog) {
        EXPECT_EQ(dialog.owner, &Session());
        EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
        emit dialog.currentChanged(QString::fromStdString(testdata));  // a folder: no load
        EXPECT_FALSE(dialog.previewLoaded);
        for (const std::string& path : {bandpass, splitter, coupler}) {
            emit dialog.currentChanged(QString::fromStdString(path));
            loadedWhileBrowsing.push_back(Session().Slot(1).displayName);
        }
        EXPECT_TRUE(dialog.previewLoaded);
        dialog.selectFile(QString::fromStdString(bandpass));
        return int(QDialog::Accepted);
    };
    Click("openFileButton");
    EXPECT_EQ(loadedWhileBrowsing,
              (std::vector<std::string>{"bandpass.s2p", "splitter.s3p", "coupler.s4p"}));
    // OK after browsing loads nothing more: the last file clicked stays.
    EXPECT_EQ(Session().lastFile, "coupler.s4p");
    EXPECT_TRUE(Session().dataLoaded);
    EXPECT_TRUE(messages.texts.empty());

    // Cancel keeps what browsing loaded.
    CDlgOpenFile::runHook = [&](CDlgOpenFile& dialog) {
        emit dialog.currentChanged(QString::fromStdString(splitter));
        return int(QDialog::Rejected);
    };
    Click("openFileButton");
    EXPECT_EQ(Session().lastFile, "splitter.s3p");
}

TEST_F(DlgTorvexTest, OpenFileLoadsATypedNameOnOk)
{
    CDlgOpenFile::runHook = [&](CDlgOpenFile& dialog) {
        dialog.setDirectory(QString::fromStdString(testdata));
        dialog.selectFile("coupler.s4p");
        return int(QDialog::Accepted);
    };
    Click("openFileButton");
    EXPECT_EQ(Session().lastFile, "coupler.s4p");
    EXPECT_EQ(Session().lastPath, std::filesystem::canonical(coupler).string());
    EXPECT_TRUE(Session().dataLoaded);

    // Cancel without browsing changes nothing.
    CDlgOpenFile::runHook = [](CDlgOpenFile& dialog) {
        dialog.selectFile(QString::fromStdString(bandpass));
        return int(QDialog::Rejected);
    };
    Click("openFileButton");
    EXPECT_EQ(Session().lastFile, "coupler.s4p");
}

TEST_F(DlgTorvexTest, StartFilesAndDroppedFilesOpenIntoTheSlots)
{
    CDlgTorvex started;
    started.SetStartFiles({bandpass, splitter});
    started.show();
    QCoreApplication::processEvents();
    CTorvexSession& session = started.Session();
    EXPECT_TRUE(session.Slot(1).loaded);
    EXPECT_TRUE(session.Slot(2).loaded);
    EXPECT_FALSE(session.Slot(3).loaded);
    EXPECT_EQ(session.Slot(2).displayName, "splitter.s3p");

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(coupler))});
    QDropEvent drop(QPointF(100, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the window: Qt drops events that no drag in progress announced.
    static_cast<QObject&>(started).event(&drop);
    EXPECT_EQ(session.Slot(1).displayName, "coupler.s4p");
    EXPECT_TRUE(session.Slot(1).loaded);
    EXPECT_FALSE(session.Slot(2).loaded);
}

TEST_F(DlgTorvexTest, StartFilesAreInTheSlotsBeforeTheFirstExposeIsHandled)
{
    // The window maps before the files are taken; an expose that comes before the queued
    // start must still find the data, or the first paint shows the example.
    CDlgTorvex started;
    started.SetStartFiles({bandpass});
    started.show();
    ASSERT_NE(started.windowHandle(), nullptr);
    QExposeEvent expose(QRegion(0, 0, 10, 10));
    QCoreApplication::sendEvent(started.windowHandle(), &expose);
    EXPECT_TRUE(started.Session().Slot(1).loaded);
    EXPECT_TRUE(started.Session().dataLoaded);
    QCoreApplication::processEvents();  // the queued start finds nothing left to do
    EXPECT_EQ(started.Session().Slot(1).displayName, "bandpass.s2p");
}

TEST_F(DlgTorvexTest, StartFocusesOpenFilesAndFitsTheExampleWhenStartFilesFail)
{
    EXPECT_EQ(window.focusWidget(), Button("openFilesButton"));

    CDlgTorvex started;
    // Limits as a settings file might leave them: they must not show with the example.
    started.Session().Graph().leftAxis.min = -3;
    started.Session().Graph().leftAxis.max = 7;
    TempDir dir;
    started.SetStartFiles({dir.Path("missing.s2p")});
    started.show();
    QCoreApplication::processEvents();
    const CTorvexSession& session = started.Session();
    EXPECT_FALSE(session.dataLoaded);
    EXPECT_EQ(session.Graph().leftAxis.min, -100.0);
    EXPECT_EQ(session.Graph().leftAxis.max, 0.0);
    EXPECT_EQ(session.Graph().rightAxis.min, -50.0);
    EXPECT_FALSE(messages.texts.empty());  // the fixture records the load failure
}

TEST_F(DlgTorvexTest, MoreThanFiveFilesOpenTheFirstFive)
{
    window.OpenPaths({bandpass, bandpass, splitter, splitter, coupler, coupler});
    for (int n = 1; n <= CTorvexSession::SLOT_COUNT; ++n)
        EXPECT_TRUE(Session().Slot(n).loaded) << n;
    EXPECT_EQ(Session().Slot(5).displayName, "coupler.s4p");
}

TEST(DlgOpenFileTest, FilterShowsEveryReadableFileAndIsRemembered)
{
    EXPECT_EQ(CDlgOpenFile::QtNameFilters("Text (*.txt)|*.txt|All files|*||"),
              (QStringList{"Text (*.txt)", "All files (*)"}));
    const QStringList filters = CDlgOpenFile::QtNameFilters(TouchstoneFilter());
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[1], "2- to 4-port files: .s2p, .s3p, .s4p, .out (*.s2p *.s3p *.s4p *.out)");
    EXPECT_EQ(filters[2], "All files (*)");  // other names read as 2-port files

    SetTouchstoneFilterChoice("");
    CDlgOpenFile dialog(true, "s2p", QString(), TouchstoneFilter(), nullptr);
    EXPECT_EQ(dialog.nameFilters().size(), 3);
    // With the details hidden Qt names the filter in use by its description.
    EXPECT_EQ(dialog.selectedNameFilter(), "Touchstone files: .s1p to .s99p, .ts, .out");
    EXPECT_TRUE(dialog.testOption(QFileDialog::HideNameFilterDetails));
    EXPECT_EQ(dialog.defaultSuffix(), "s2p");
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    EXPECT_FALSE(dialog.filter() & QDir::CaseSensitive);

    // The default filter on a folder: every port count and kind the reader takes, in any
    // case, and nothing that only looks like one.
    TempDir dir;
    for (const char* name : {"a.s1p", "FILTER.S2P", "Mixed.S3p", "e.s5p", "w.S99P", "v2.ts",
                             "sim.OUT", "x.sxp", "y.s0p", "z.s100p", "notes.txt", "t.tsx"})
        dir.Write(name, "");
    QDir folder(QString::fromStdString(dir.Root().string()));
    const QString shown = filters[0];
    folder.setNameFilters(shown.mid(shown.lastIndexOf('(') + 1).chopped(1).split(' '));
    folder.setFilter((dialog.filter() & ~QDir::AllDirs) | QDir::Files);
    folder.setSorting(QDir::Name | QDir::IgnoreCase);
    EXPECT_EQ(
        folder.entryList(),
        (QStringList{"a.s1p", "e.s5p", "FILTER.S2P", "Mixed.S3p", "sim.OUT", "v2.ts", "w.S99P"}));

    // The filter in use at OK is where the next chooser starts; Cancel leaves it.
    CDlgOpenFile::runHook = [&](CDlgOpenFile& d) {
        d.selectNameFilter(filters[1]);
        return int(QDialog::Accepted);
    };
    EXPECT_EQ(dialog.Run(), QDialog::Accepted);
    EXPECT_EQ(TouchstoneFilterChoice(), "2- to 4-port files: .s2p, .s3p, .s4p, .out");
    CDlgOpenFile next(true, "s2p", QString(), TouchstoneFilter(), nullptr);
    EXPECT_EQ(next.selectedNameFilter(), "2- to 4-port files: .s2p, .s3p, .s4p, .out");
    CDlgOpenFile::runHook = [&](CDlgOpenFile& d) {
        d.selectNameFilter(filters[0]);
        return int(QDialog::Rejected);
    };
    next.Run();
    EXPECT_EQ(TouchstoneFilterChoice(), "2- to 4-port files: .s2p, .s3p, .s4p, .out");
    CDlgOpenFile::runHook = nullptr;
    SetTouchstoneFilterChoice("");
}

TEST(DlgOpenFileTest, UpperCaseFileLoadsThroughThePreview)
{
    TempDir dir;
    const std::string upper = dir.Path("FILTER.S2P");
    std::filesystem::copy_file(bandpass, upper);
    CTorvexSession session;
    CRecordingMessageSink messages;
    CDlgOpenFile dialog(true, "s2p", QString(), TouchstoneFilter(), nullptr);
    emit dialog.currentChanged(QString::fromStdString(upper));
    EXPECT_FALSE(dialog.previewLoaded);  // no owner: browsing loads nothing
    dialog.owner = &session;
    emit dialog.currentChanged(QString::fromStdString(upper));
    EXPECT_TRUE(dialog.previewLoaded);
    EXPECT_TRUE(session.dataLoaded);
    EXPECT_EQ(session.lastFile, "FILTER.S2P");
    EXPECT_TRUE(messages.texts.empty());
}

TEST(TorvexAppTest, WindowTitlesGetNoApplicationSuffix)
{
    const QString name = QCoreApplication::applicationName();
    SetApplicationIdentity();
    // Qt appends a display name that was set to every title; one left unset just follows
    // the application name.
    QCoreApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
    QCoreApplication::setApplicationName(name);
}

// The whole start: settings read, window run, settings written.
TEST(TorvexAppTest, ReloadsTheLastFileAndWritesTheSettingsAtExit)
{
    persistXScale = persistYScale = false;
    TempDir dir;
    const std::string settings = dir.Path("config/torvex/torvex.ini");
    dir.Write("config/torvex/torvex.ini",
              "LastPath= " + bandpass + "\nLastFile= bandpass.s2p\nPersYscale= YES\n");
    bool sawWindow = false;
    std::string slotName;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* torvex = qobject_cast<CDlgTorvex*>(widget);
            if (!torvex || !torvex->isVisible())
                continue;
            sawWindow = true;
            slotName = torvex->Session().Slot(1).displayName;
            torvex->Session().Graph().xMajorDivisions = 7;
            torvex->accept();
        }
    });
    EXPECT_EQ(CTorvexApp(settings).Run({}), 0);
    EXPECT_TRUE(sawWindow);
    EXPECT_EQ(slotName, "bandpass.s2p");

    LineList lines;
    ASSERT_EQ(ReadLines(settings, lines), 0);
    // The fourteen classic lines first, then the window's own.
    ASSERT_GT(lines.size(), 14u);
    EXPECT_EQ(lines[14].rfind("View= ", 0), 0u);
    EXPECT_EQ(lines[0], "LastPath= " + bandpass);
    EXPECT_EQ(lines[1], "LastFile= bandpass.s2p");
    EXPECT_EQ(lines[3], "PersYscale= YES");
    EXPECT_EQ(lines[4], "X-major= 7");
    persistXScale = persistYScale = false;
}

// A file named at start takes the remembered Y scale the settings keep, as the last file does.
TEST(TorvexAppTest, StartFilesKeepTheRememberedYScale)
{
    persistXScale = persistYScale = false;
    TempDir dir;
    const std::string settings = dir.Path("config/torvex/torvex.ini");
    dir.Write("config/torvex/torvex.ini", "PersYscale= YES\nYL-min= -37\nYL-max= 3\n");
    double low = 0.0, high = 0.0;
    std::string title;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* torvex = qobject_cast<CDlgTorvex*>(widget);
            if (!torvex || !torvex->isVisible())
                continue;
            low = torvex->Session().Graph().leftAxis.min;
            high = torvex->Session().Graph().leftAxis.max;
            title = torvex->Session().Graph().leftAxis.title;
            torvex->accept();
        }
    });
    EXPECT_EQ(CTorvexApp(settings).Run({bandpass}), 0);
    EXPECT_EQ(low, -37.0);
    EXPECT_EQ(high, 3.0);
    EXPECT_FALSE(title.empty());
    persistXScale = persistYScale = false;
}

// Whether process pid has a handler for signal (its SigCgt mask in /proc).
bool CatchesSignal(pid_t pid, int signal)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

// A session ended by a signal (a logout, kill) writes the settings as a closed window does,
// also while the start's error box is open (the last file no longer loads).
TEST(TorvexAppTest, EndingSignalsWriteTheSettings)
{
    // The suite builds the program first: a missing binary is a failure, not a skip.
    ASSERT_TRUE(std::filesystem::exists(TORVEX_BINARY)) << TORVEX_BINARY;
    struct Case {
        int signal;
        bool lastFileFails;
    };
    for (const Case& c : {Case{SIGTERM, false}, Case{SIGINT, false}, Case{SIGHUP, false},
                          Case{SIGTERM, true}, Case{SIGHUP, true}}) {
        const int signal = c.signal;
        SCOPED_TRACE(std::to_string(signal) + (c.lastFileFails ? " with an error box" : ""));
        TempDir dir;
        const std::string missing = dir.Path("gone.s2p");
        if (c.lastFileFails)
            dir.Write("config/torvex/torvex.ini",
                      "LastPath= " + missing + "\nLastFile= gone.s2p\n");
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("XDG_CONFIG_HOME=", 0) != 0 && entry.rfind("QT_QPA_PLATFORM=", 0) != 0)
                env.push_back(entry);
        }
        env.push_back("XDG_CONFIG_HOME=" + dir.Path("config"));
        env.push_back("QT_QPA_PLATFORM=offscreen");
        std::vector<char*> envp;
        for (std::string& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::string program = TORVEX_BINARY, file = bandpass;
        char* argv[] = {program.data(), c.lastFileFails ? nullptr : file.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);

        // Sent only once the program handles it: before that it would just end the process.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!CatchesSignal(pid, signal) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (c.lastFileFails)  // the box is up by now
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        kill(pid, signal);
        int status = 0;
        bool ended = false;
        while (!(ended = waitpid(pid, &status, WNOHANG) == pid)
               && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!ended) {  // a status of 0 would read as a clean exit
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            FAIL() << "the program did not end";
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

        LineList lines;
        ASSERT_EQ(ReadLines(dir.Path("config/torvex/torvex.ini"), lines), 0);
        ASSERT_GT(lines.size(), 14u);
        EXPECT_EQ(lines[0], "LastPath= " + (c.lastFileFails ? missing : bandpass));
    }
}

}  // namespace
