// The window's shortcut and chart-menu commands: clipboard, image, zoom, markers, limits
// and reload.
#include "app/DlgTorvex.h"

#include "app/ChartExport.h"
#include "app/ChartWidget.h"
#include "app/FileFollower.h"
#include "app/TraceText.h"
#include "platform/MessageBox.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeySequence>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

void CDlgTorvex::AddShortcuts()
{
    struct Binding {
        QKeySequence keys;
        QPushButton* button;  // shows the keys in its tooltip; nullptr: none
        void (CDlgTorvex::*slot)();
    };
    const Binding bindings[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_O), openFileButton, &CDlgTorvex::OnOpenFile},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), openFilesButton, &CDlgTorvex::OnOpenFiles},
        {QKeySequence(Qt::CTRL | Qt::Key_P), printButton, &CDlgTorvex::OnPrint},
        {QKeySequence(Qt::CTRL | Qt::Key_C), nullptr, &CDlgTorvex::OnCopyImage},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), nullptr, &CDlgTorvex::OnCopyData},
        {QKeySequence(Qt::Key_F5), nullptr, &CDlgTorvex::OnReload},
        {QKeySequence(Qt::Key_Plus), incSpanButton, &CDlgTorvex::OnIncSpan},
        {QKeySequence(Qt::KeypadModifier | Qt::Key_Plus), nullptr, &CDlgTorvex::OnIncSpan},
        {QKeySequence(Qt::Key_Minus), decSpanButton, &CDlgTorvex::OnDecSpan},
        {QKeySequence(Qt::KeypadModifier | Qt::Key_Minus), nullptr, &CDlgTorvex::OnDecSpan},
        {QKeySequence(Qt::Key_Delete), nullptr, &CDlgTorvex::OnDeleteLastMarker},
        {QKeySequence(Qt::Key_Backspace), nullptr, &CDlgTorvex::OnZoomBack},
    };
    for (const Binding& b : bindings) {
        auto* shortcut = new QShortcut(b.keys, this);
        connect(shortcut, &QShortcut::activated, this, b.slot);
        if (b.button)
            b.button->setToolTip(b.keys.toString(QKeySequence::NativeText));
    }
    // The arrows step the last marker along the first trace.
    for (int step : {-1, 1}) {
        auto* shortcut = new QShortcut(QKeySequence(step < 0 ? Qt::Key_Left : Qt::Key_Right), this);
        connect(shortcut, &QShortcut::activated, this,
                [this, step] { session.StepLastMarker(step); });
    }
}

void CDlgTorvex::ShowChartMenu(const QPoint& global, CPoint client)
{
    QMenu menu(this);
    menu.setObjectName("chartMenu");
    chartMenu->Build(menu, client);
    menu.exec(global);
}

CChartMenu::Commands CDlgTorvex::ChartMenuCommands()
{
    CChartMenu::Commands c;
    c.mixedMode = [this] { OnMixedMode(); };
    c.deleteLastMarker = [this] { OnDeleteLastMarker(); };
    c.clearMarkers = [this] { OnClearMarkers(); };
    c.loadLimits = [this] { OnLoadLimits(); };
    c.dataQuality = [this] { OnDataQuality(); };
    c.timeDomain = [this] { OnTimeDomain(); };
    c.networkOperations = [this] { OnNetworkOperations(); };
    c.saveTouchstone = [this] { OnSaveTouchstone(); };
    c.copyImage = [this] { OnCopyImage(); };
    c.copyData = [this] { OnCopyData(); };
    c.saveImageAs = [this] { OnSaveImageAs(); };
    c.exportCsv = [this] { OnExportCsv(); };
    c.zoomOut = [this] { OnZoomOut(); };
    c.autoSpanAndScale = [this] { OnAutoSpanAndScale(); };
    c.reload = [this] { OnReload(); };
    c.setFollowing = [this](bool on) { follower->SetFollowing(on); };
    c.openRecent = [this](const std::string& path) { OpenPaths({path}); };
    c.update = [this] { chart->update(); };
    c.showReadout = [this](const QString& text) { SetReadout(text); };
    c.askLevel = [this](double& level) {
        bool ok = false;
        level = QInputDialog::getDouble(this, "Bandwidth", "dB below the maximum:", level, 0.01,
                                        200.0, 2, &ok);
        return ok;
    };
    return c;
}

void CDlgTorvex::OnCopyImage()
{
    const QImage image = ChartImage(session.sheet, chart->width(), chart->height());
    if (!image.isNull())
        QGuiApplication::clipboard()->setImage(image);
}

void CDlgTorvex::OnCopyData()
{
    const std::string text = TracesAsText(session.Graph(), session.XColumn());
    if (!text.empty())
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void CDlgTorvex::OnSaveImageAs()
{
    const QString path = QFileDialog::getSaveFileName(
        this, "Save Image As", QString(), "PNG image (*.png);;SVG image (*.svg);;PDF (*.pdf)");
    if (path.isEmpty())
        return;
    std::string error;
    if (!ExportChart(session.sheet, path.toStdString(), chart->width(), chart->height(), error))
        ShowMessageBox(error, MessageIcon::Error);
    chart->update();
}

void CDlgTorvex::OnZoomOut()
{
    session.PushRange();
    const CRect& p = session.Graph().plotArea.rect;
    session.ZoomXAt(CPoint{(p.left + p.right) / 2, (p.top + p.bottom) / 2}, 2.0);
}

void CDlgTorvex::OnAutoSpanAndScale()
{
    session.PushRange();
    session.Graph().Rescale(true, true, false);
    chart->update();
}

void CDlgTorvex::OnDeleteLastMarker()
{
    std::vector<double>& markers = session.Graph().markers;
    if (markers.empty())
        return;
    markers.pop_back();
    chart->update();
}

void CDlgTorvex::OnClearMarkers()
{
    session.Graph().markers.clear();
    session.measurement.clear();
    chart->update();
}

void CDlgTorvex::OnLoadLimits()
{
    const QString path = QFileDialog::getOpenFileName(this, "Load Limits", QString(),
                                                      "Limit masks (*.lim *.txt);;All files (*)");
    if (path.isEmpty())
        return;
    std::string error;
    if (!session.LoadLimits(path.toStdString(), error))
        ShowMessageBox(error, MessageIcon::Error);
}

void CDlgTorvex::OnReload()
{
    follower->ReloadNow();
}

void CDlgTorvex::OnZoomBack()
{
    session.ZoomBack();
}
