#include "app/DlgTorvex.h"

#include "app/ChartExport.h"
#include "app/ChartWidget.h"
#include "app/cli/CsvTables.h"
#include "app/dialogs/DialogUnits.h"
#include "app/dialogs/DlgAbout.h"
#include "app/dialogs/DlgChartMarkers.h"
#include "app/dialogs/DlgChartSettings.h"
#include "app/dialogs/DlgChartTraces.h"
#include "app/dialogs/DlgLoadData.h"
#include "app/dialogs/DlgOpenFile.h"
#include "app/dialogs/DlgSelectData.h"
#include "app/dialogs/DlgSelectMatrix.h"
#include "app/dialogs/FileChooser.h"
#include "app/FileFollower.h"
#include "app/SheetPrinter.h"
#include "app/WindowFit.h"
#include "data/MixedMode.h"
#include "platform/MessageBox.h"

#include <fstream>
#include <QFileDialog>

#include <algorithm>
#include <climits>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QWindow>
#include <utility>

const char* const CDlgTorvex::LOAD_HINT = "Please load a file to plot its data...";

namespace {

// The window layout in dialog units: 515 x 327, two rows of 14-unit high
// buttons, the read-out box between the seventh and eighth column, the chart below.
constexpr int DLG_WIDTH = 515;
constexpr int DLG_HEIGHT = 327;
constexpr int MARGIN = 7;
constexpr int BUTTON_WIDTH = 45;
constexpr int BUTTON_HEIGHT = 14;
constexpr int BUTTON_PITCH = 48;  // button width plus the gap between columns
constexpr int TOP_ROW_Y = 7;
constexpr int BOTTOM_ROW_Y = 24;
constexpr int CHART_X = 7;
constexpr int CHART_Y = 43;
constexpr int LEFT_COLUMNS = 7;
const char* const READOUT_SAMPLE = "YR= -1.2345e-05";
// The bandwidth measurement stands in a second column beside the cursor lines.
const char* const MEASUREMENT_SAMPLE = "BW10.5= 1234.56 MHz";
constexpr int READOUT_COLUMN_GAP = 8;  // pixels between the columns

}  // namespace

CDlgTorvex::CDlgTorvex(QWidget* parent) : QDialog(parent)
{
    setObjectName("torvexWindow");
    setWindowTitle("Torvex v" TORVEX_VERSION);
    // A fixed frame with caption and system menu: only Enlarge and Reduce change the size.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setSizeGripEnabled(false);
    setAcceptDrops(true);

    // Created in the order of the keyboard focus chain: column by column.
    openFilesButton = AddButton("Open Files...", "openFilesButton", &CDlgTorvex::OnOpenFiles);
    openFileButton = AddButton("Open File", "openFileButton", &CDlgTorvex::OnOpenFile);
    selectViewButton = AddButton("Select View...", "selectViewButton", &CDlgTorvex::OnSelectView);
    settingsButton = AddButton("Settings...", "settingsButton", &CDlgTorvex::OnSettings);
    markersButton = AddButton("Markers...", "markersButton", &CDlgTorvex::OnMarkers);
    tracesButton = AddButton("Traces...", "tracesButton", &CDlgTorvex::OnTraces);
    legendButton = AddButton("Legend", "legendButton", &CDlgTorvex::OnLegend);
    autoSpanButton = AddButton("Auto Span", "autoSpanButton", &CDlgTorvex::OnAutoSpan);
    autoScaleButton = AddButton("Auto Scale", "autoScaleButton", &CDlgTorvex::OnAutoScale);
    incSpanButton = AddButton("Inc Span", "incSpanButton", &CDlgTorvex::OnIncSpan);
    decSpanButton = AddButton("Dec Span", "decSpanButton", &CDlgTorvex::OnDecSpan);
    incFmaxButton = AddButton("Inc Fmax", "incFmaxButton", &CDlgTorvex::OnIncFmax);
    decFmaxButton = AddButton("Dec Fmax", "decFmaxButton", &CDlgTorvex::OnDecFmax);

    readout = new QPlainTextEdit(this);
    readout->setObjectName("readout");
    readout->setReadOnly(true);
    readout->setFocusPolicy(Qt::NoFocus);
    readout->setLineWrapMode(QPlainTextEdit::NoWrap);
    readout->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    readout->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    readout->document()->setDocumentMargin(2);  // three read-out lines fit the two rows
    readout->setPlaceholderText(LOAD_HINT);

    enlargeButton = AddButton("Enlarge", "enlargeButton", &CDlgTorvex::OnEnlarge);
    reduceButton = AddButton("Reduce", "reduceButton", &CDlgTorvex::OnReduce);
    printButton = AddButton("Print", "printButton", &CDlgTorvex::OnPrint);
    aboutButton = AddButton("About...", "aboutButton", &CDlgTorvex::OnAbout);

    chart = new CChartWidget(session, this);
    chart->onReadout = [this](const QString& text) { SetReadout(text); };
    chart->onContextMenu = [this](const QPoint& global, CPoint client) {
        ShowChartMenu(global, client);
    };

    follower = new CFileFollower(session, this);
    follower->onReloaded = [this] { ShowReadout(); };
    chartMenu = std::make_unique<CChartMenu>(session, ChartMenuCommands());
    AddShortcuts();

    selectViewButton->setEnabled(false);
    printButton->setEnabled(false);

    session.onRepaint = [this] {
        chart->InvalidatePlotLayer();
        chart->update();
    };
    session.onRepaintOverlay = [this] { chart->UpdateOverlay(); };
    session.onDataCommandsEnabled = [this](bool enabled) {
        OnDataCommandsEnabled(enabled);
        follower->WatchLoadedFiles();
        ShowReadout();  // a load leaves nothing stale
        ShowBuildProblems();
    };
    availableArea = [this] {
        const QScreen* current = screen();
        return current ? current->availableGeometry() : QRect();
    };

    LayOutControls(QSize(INT_MAX, INT_MAX));
}

CDlgTorvex::~CDlgTorvex()
{
    // The session outlives nothing that it could call back into.
    session.onRepaint = nullptr;
    session.onRepaintOverlay = nullptr;
    session.onDataCommandsEnabled = nullptr;
}

QPushButton* CDlgTorvex::AddButton(const char* caption, const char* name,
                                   void (CDlgTorvex::*slot)())
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, slot);
    return button;
}

void CDlgTorvex::LayOutControls(const QSize& room)
{
    const DialogUnitScale du = DialogUnitsOf(font());
    // Buttons are as wide as the layout says, or as their widest caption needs in the
    // font in use: captions must never be cut. When the rows then need more room than
    // the layout's width, the window and the chart widen with them.
    int buttonWidth = du.X(BUTTON_WIDTH);
    const QList<QPushButton*> buttons = findChildren<QPushButton*>();
    for (const QPushButton* button : buttons)
        buttonWidth = std::max(buttonWidth, button->sizeHint().width());
    const int buttonHeight = du.Y(BUTTON_HEIGHT);
    const int gap = du.X(BUTTON_PITCH - BUTTON_WIDTH);
    const int pitch = buttonWidth + gap;
    const int margin = du.X(MARGIN);
    const int topY = du.Y(TOP_ROW_Y);
    const int bottomY = du.Y(BOTTOM_ROW_Y);

    // Room for three read-out lines such as "YR= -1.2345e-05" and, beside them, three of
    // a measurement; the second column starts at a tab stop.
    const QFontMetrics readoutFont = readout->fontMetrics();
    const int cursorColumn = readoutFont.horizontalAdvance(READOUT_SAMPLE) + READOUT_COLUMN_GAP;
    readout->setTabStopDistance(cursorColumn);
    const int readoutMin = cursorColumn + readoutFont.horizontalAdvance(MEASUREMENT_SAMPLE)
        + 2 * (readout->frameWidth() + 4);
    const int readoutX = margin + LEFT_COLUMNS * pitch;
    const int rowsWidth = readoutX + readoutMin + gap + 2 * pitch - gap + margin;
    const int fullWidth = std::max(du.X(DLG_WIDTH), rowsWidth);
    const int fullHeight = du.Y(DLG_HEIGHT);
    // A window that would not fit the room gives up the difference from the read-out box
    // and the chart; the buttons keep their size.
    const int clientWidth = std::min(fullWidth, room.width());
    const int clientHeight = std::min(fullHeight, room.height());

    QPushButton* const topRow[LEFT_COLUMNS] = {openFilesButton, selectViewButton, settingsButton,
                                               tracesButton,    autoSpanButton,   incSpanButton,
                                               incFmaxButton};
    // The second place of the bottom row stays empty.
    QPushButton* const bottomRow[LEFT_COLUMNS] = {openFileButton, nullptr,         markersButton,
                                                  legendButton,   autoScaleButton, decSpanButton,
                                                  decFmaxButton};
    for (int i = 0; i < LEFT_COLUMNS; ++i) {
        topRow[i]->setGeometry(margin + i * pitch, topY, buttonWidth, buttonHeight);
        if (bottomRow[i])
            bottomRow[i]->setGeometry(margin + i * pitch, bottomY, buttonWidth, buttonHeight);
    }
    const int lastX = clientWidth - margin - buttonWidth;
    const int sizeX = lastX - pitch;
    printButton->setGeometry(lastX, topY, buttonWidth, buttonHeight);
    aboutButton->setGeometry(lastX, bottomY, buttonWidth, buttonHeight);
    enlargeButton->setGeometry(sizeX, topY, buttonWidth, buttonHeight);
    reduceButton->setGeometry(sizeX, bottomY, buttonWidth, buttonHeight);
    readout->setGeometry(readoutX, topY, std::max(0, sizeX - gap - readoutX),
                         bottomY + buttonHeight - topY);

    const int chartWidth =
        std::max(du.X(CHART_WIDTH_DLU), fullWidth - 2 * du.X(CHART_X)) - (fullWidth - clientWidth);
    const int chartHeight = du.Y(CHART_HEIGHT_DLU) - (fullHeight - clientHeight);
    chart->setGeometry(du.X(CHART_X), du.Y(CHART_Y), std::max(0, chartWidth),
                       std::max(0, chartHeight));
    setFixedSize(clientWidth, clientHeight);
}

void CDlgTorvex::SetStartFiles(const std::vector<std::string>& paths)
{
    startFiles.assign(paths.begin(),
                      paths.begin() + std::min<std::size_t>(paths.size(), MAX_START_FILES));
}

void CDlgTorvex::OpenPaths(const std::vector<std::string>& paths)
{
    const auto entries = PathEntries(paths);
    if (!entries.empty())
        session.OpenFiles(entries);
}

std::vector<std::pair<std::string, std::string>> CDlgTorvex::PathEntries(
    const std::vector<std::string>& paths)
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& path : paths) {
        if (entries.size() == static_cast<std::size_t>(MAX_START_FILES))
            break;
        // Stored absolute, so the settings file finds the file again from any folder.
        const QFileInfo info(QString::fromStdString(path));
        entries.emplace_back(info.absoluteFilePath().toStdString(), info.fileName().toStdString());
    }
    return entries;
}

void CDlgTorvex::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (started)
        return;
    started = true;
    StartWindow();
    // The window is mapped without waiting for the data: Qt and the window were made while
    // the files were being read, and whatever is left of the reading and the chart's
    // building now overlaps the mapping. setVisible starts the data once the window is on
    // its way; an expose handled before that (some platforms expose within the show) starts
    // them first, as the first expose paints.
    dataPending = true;
    if (QWindow* handle = windowHandle())
        handle->installEventFilter(this);
}

void CDlgTorvex::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    if (visible)
        StartData();
}

bool CDlgTorvex::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Expose && watched == windowHandle())
        StartData();
    return QDialog::eventFilter(watched, event);
}

void CDlgTorvex::FitToScreen()
{
    const QRect outer = frameGeometry();
    const QRect fitted = FitWindow(outer, 0, 0, QSize(0, 0), outer.size(), availableArea());
    if (fitted.size() != outer.size())
        LayOutControls(fitted.size() - (outer.size() - size()));
    if (fitted.topLeft() != outer.topLeft())
        move(fitted.topLeft());
}

void CDlgTorvex::StartWindow()
{
    // A large font or scale factor can make the layout bigger than the screen.
    FitToScreen();
    minWindowSize = size();
    const QRect area = chart->geometry();
    session.SetChartRect(
        CRect(area.left(), area.top(), area.left() + area.width(), area.top() + area.height()));
    selectViewButton->setEnabled(false);
    printButton->setEnabled(false);
    openFilesButton->setFocus();
}

void CDlgTorvex::StartData()
{
    if (!dataPending)
        return;
    dataPending = false;
    // Whichever came first, the expose need not be watched any longer.
    if (QWindow* handle = windowHandle())
        handle->removeEventFilter(this);
    starting = true;
    if (startFiles.empty())
        session.Start();
    else
        session.StartWith(PathEntries(startFiles));
    starting = false;
}

void CDlgTorvex::SetReadout(const QString& text)
{
    readoutText = text;
    ShowReadout();
}

void CDlgTorvex::ShowReadout()
{
    // A stale file is named first, above the cursor values: old data never pass silently.
    const QString stale = QString::fromStdString(session.StaleLine());
    readout->setToolTip(stale.isEmpty() ? QString()
                                        : stale + "\nThese files changed but cannot be read:"
                                                  " the chart shows their older data.");
    // The measurement column starts beyond the longest cursor line, however many digits a
    // deep zoom gives the cursor's frequency.
    const QFontMetrics metrics = readout->fontMetrics();
    int column = metrics.horizontalAdvance(READOUT_SAMPLE);
    for (const QString& line : readoutText.split('\n'))
        if (line.contains('\t'))
            column = std::max(column, metrics.horizontalAdvance(line.section('\t', 0, 0)));
    readout->setTabStopDistance(column + READOUT_COLUMN_GAP);
    if (stale.isEmpty())
        readout->setPlainText(readoutText);
    else
        readout->setPlainText(readoutText.isEmpty() ? stale : stale + "\n" + readoutText);
}

void CDlgTorvex::OnDataCommandsEnabled(bool enabled)
{
    printButton->setEnabled(enabled);
    selectViewButton->setEnabled(enabled);
    // The hint goes for good with the first data: a failed load later still shows the
    // old chart, so there is no "load a file" to ask for.
    if (enabled)
        readout->setPlaceholderText(QString());
}

void CDlgTorvex::ResizeWindow(int dx, int dy)
{
    // The limits are on the outer size; the frame adds the same amount before and after.
    const QRect outer = frameGeometry();
    const QSize frame = outer.size() - size();
    const QRect fitted = FitWindow(outer, dx, dy, minWindowSize + frame,
                                   QSize(MAX_WIDTH, MAX_HEIGHT), availableArea());
    if (fitted.topLeft() != outer.topLeft())
        move(fitted.topLeft());
    const int ax = fitted.width() - outer.width();
    const int ay = fitted.height() - outer.height();
    if (ax == 0 && ay == 0)
        return;
    setFixedSize(size() + QSize(ax, ay));
    chart->resize(chart->size() + QSize(ax, ay));
    CRect rect = session.chartRect;
    rect.right += ax;
    rect.bottom += ay;
    session.SetChartRect(rect);
    chart->update();
}

void CDlgTorvex::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CDlgTorvex::dropEvent(QDropEvent* event)
{
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    }
    if (paths.empty())
        return;
    event->acceptProposedAction();
    OpenPaths(paths);
}

void CDlgTorvex::OnOpenFiles()
{
    CDlgLoadData dialog(this);
    for (int n = 1; n <= CTorvexSession::SLOT_COUNT; ++n) {
        const CS2pData& slot = session.Slot(n);
        if (slot.loaded) {
            dialog.paths[n - 1] = slot.fileName;
            dialog.names[n - 1] = slot.displayName;
        }
    }
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    std::vector<std::pair<std::string, std::string>> entries;
    for (int k = 0; k < CTorvexSession::SLOT_COUNT; ++k)
        entries.emplace_back(dialog.paths[k], dialog.names[k]);
    session.OpenFiles(entries);
}

void CDlgTorvex::OnOpenFile()
{
    CDlgOpenFile dialog(true, "s2p", QString(), TouchstoneFilter(), this);
    // Start where the last file came from, as the system chooser remembers its folder.
    if (!session.lastPath.empty()) {
        const QFileInfo last(QString::fromStdString(session.lastPath));
        if (last.absoluteDir().exists())
            dialog.setDirectory(last.absoluteDir());
    }
    dialog.owner = &session;
    if (dialog.Run() != QDialog::Accepted || dialog.previewLoaded)
        return;
    const std::string path = dialog.ChosenPath();
    if (!path.empty())
        session.OpenSingleFile(dialog.ChosenName(), path);
}

void CDlgTorvex::OnSelectView()
{
    if (!session.dataLoaded)
        return;
    if (!session.FitsClassicGrid()) {
        // More than four ports, or mixed-mode data: the matrix of the widest file.
        const CS2pData& widest = *session.WidestSlot();
        const int n = widest.PortCount();
        std::vector<int> codes;
        std::vector<std::string> names;
        for (int r = 1; r <= n; ++r)
            for (int c = 1; c <= n; ++c) {
                codes.push_back(widest.CodeAt(r, c));
                names.push_back(widest.ElementName(r, c));
            }
        RunMatrixDialog(n, codes, names);
        return;
    }
    CDlgSelectData dialog(this);
    dialog.selection = session.viewSelection;
    dialog.maxPortKind = static_cast<CS2pData::PortKind>(session.MaxPortKind());
    dialog.maxPorts = session.MaxPortCount();
    if (runDialog(dialog) == QDialog::Accepted)
        session.ApplySelection(dialog.selection);
}

std::vector<CDlgSelectMatrix::Format> CDlgTorvex::MatrixFormats()
{
    std::vector<CDlgSelectMatrix::Format> formats = {{ValueFormat::DB, "Log-Mag", false},
                                                     {ValueFormat::PHASE, "Phase", false},
                                                     {ValueFormat::DELAY, "Delay", false}};
    for (int f = ValueFormat::LIN_MAG; f <= ValueFormat::IMPEDANCE; ++f)
        formats.push_back({f, ValueFormat::AxisTitle(f), ValueFormat::NeedsReflection(f)});
    return formats;
}

void CDlgTorvex::RunMatrixDialog(int n, const std::vector<int>& codes,
                                 const std::vector<std::string>& names)
{
    CDlgSelectMatrix dialog(n, codes, names, MatrixFormats(), this);
    dialog.selection = session.viewSelection;
    if (runDialog(dialog) == QDialog::Accepted)
        session.ApplySelection(dialog.selection);
}

void CDlgTorvex::OnMixedMode()
{
    // The differential and common modes of the pairs of the widest single-ended file.
    const CS2pData* widest = session.MixedModeSource();
    if (!widest)
        return;
    const int pairs = widest->PortCount() / 2;
    std::vector<int> codes;
    std::vector<std::string> names;
    for (char rowMode : {'d', 'c'})
        for (int i = 1; i <= pairs; ++i)
            for (char colMode : {'d', 'c'})
                for (int j = 1; j <= pairs; ++j) {
                    const int code = ValueCode::MixedMode(rowMode, i, colMode, j);
                    codes.push_back(code);
                    names.push_back(ValueCode::Name(code));
                }
    RunMatrixDialog(2 * pairs, codes, names);
}

void CDlgTorvex::OnSettings()
{
    CDlgChartSettings dialog(session.Graph(), this);
    if (runDialog(dialog) == QDialog::Accepted)
        chart->update();
}

void CDlgTorvex::OnMarkers()
{
    CDlgChartMarkers dialog(session.Graph(), this);
    if (runDialog(dialog) == QDialog::Accepted)
        chart->update();
}

void CDlgTorvex::OnTraces()
{
    CDlgChartTraces dialog(session.Graph(), this);
    if (runDialog(dialog) == QDialog::Accepted)
        chart->update();
}

void CDlgTorvex::OnAbout()
{
    CDlgAbout dialog(this);
    runDialog(dialog);
}

void CDlgTorvex::OnLegend()
{
    session.ToggleLegend();
}

void CDlgTorvex::OnAutoSpan()
{
    session.AutoSpan();
}

void CDlgTorvex::OnAutoScale()
{
    session.AutoScale();
}

void CDlgTorvex::OnIncSpan()
{
    session.IncSpan();
}

void CDlgTorvex::OnDecSpan()
{
    session.DecSpan();
}

void CDlgTorvex::OnIncFmax()
{
    session.IncFmax();
}

void CDlgTorvex::OnDecFmax()
{
    session.DecFmax();
}

void CDlgTorvex::OnEnlarge()
{
    ResizeWindow(160, 80);
}

void CDlgTorvex::OnReduce()
{
    ResizeWindow(-160, -80);
}

void CDlgTorvex::OnPrint()
{
    QPrinter printer(QPrinter::HighResolution);
    CSheetPrinter::SetUpPrinter(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName("printDialog");
    if (dialog.exec() != QDialog::Accepted || !session.dataLoaded)
        return;
    // The printer gives the sheet back its screen rectangle and screen fonts.
    CSheetPrinter::Print(session.sheet, printer, session.chartRect);
    chart->update();
}

void CDlgTorvex::OnExportCsv()
{
    if (!session.dataLoaded)
        return;
    const QString path =
        QFileDialog::getSaveFileName(this, "Export CSV", QString(), "CSV file (*.csv)");
    if (path.isEmpty())
        return;
    std::ofstream csv(path.toStdString(), std::ios::binary | std::ios::trunc);
    if (csv)
        WriteCsv(session.Graph(), session.XColumn(), csv);
    csv.close();
    if (!csv)
        ShowMessageBox("Cannot write file:\n" + path.toStdString(), MessageIcon::Error);
}
