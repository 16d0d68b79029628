#include "app/ChartWidget.h"

#include "app/TorvexSession.h"
#include "chart/ChartSheet.h"
#include "platform/QtDC.h"

#include <cmath>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QWheelEvent>

namespace {

constexpr double kZoomPerStep = 0.8;  // span factor of one wheel step toward the user
constexpr qint64 kWheelGestureMs = 700;

}  // namespace

CChartWidget::CChartWidget(CTorvexSession& owner, QWidget* parent) : QWidget(parent), session(owner)
{
    setObjectName("chart");
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
}

CPoint CChartWidget::ToClient(const QPoint& widgetPoint) const
{
    return CPoint{widgetPoint.x() + session.chartRect.left,
                  widgetPoint.y() + session.chartRect.top};
}

void CChartWidget::UpdateOverlay()
{
    overlayOnly = !plotLayer.isNull();
    update();
}

void CChartWidget::InvalidatePlotLayer()
{
    overlayOnly = false;
    plotLayer = QImage();
}

void CChartWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.translate(-session.chartRect.left, -session.chartRect.top);
    CQtDC dc(painter, false, logicalDpiY());
    CChartSheet& sheet = session.sheet;
    sheet.PrepareLayout(dc);
    const CChartGraph* graph = sheet.GraphAt(0);
    const CRect plot = graph ? graph->plotArea.rect : CRect();
    const qreal ratio = devicePixelRatioF();
    const bool reuse = overlayOnly && layerSheetRect == sheet.sheetRect && layerPlotRect == plot
        && plotLayer.size() == size() * ratio && plotLayer.devicePixelRatio() == ratio;
    overlayOnly = false;
    if (!reuse)
        RenderPlotLayer();
    dc.Flush();
    painter.drawImage(QPoint(session.chartRect.left, session.chartRect.top), plotLayer);
    sheet.DrawOverlay(dc);
    // A zoom, a pan or another chart kind moves the values under a resting cursor: the
    // read-out follows with the layout this paint made, not with the next mouse move.
    if (!reuse && onReadout && underMouse())
        onReadout(QString::fromStdString(session.Readout(ToClient(mapFromGlobal(QCursor::pos())))));
}

void CChartWidget::RenderPlotLayer()
{
    const qreal ratio = devicePixelRatioF();
    plotLayer = QImage(size() * ratio, QImage::Format_RGB32);
    plotLayer.setDevicePixelRatio(ratio);
    // Fonts are sized by the device's resolution: the image must measure as the window does.
    plotLayer.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    plotLayer.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    plotLayer.fill(Qt::white);
    QPainter painter(&plotLayer);
    painter.translate(-session.chartRect.left, -session.chartRect.top);
    CQtDC dc(painter, false, logicalDpiY());
    session.sheet.DrawPlotLayer(dc);
    layerSheetRect = session.sheet.sheetRect;
    const CChartGraph* graph = session.sheet.GraphAt(0);
    layerPlotRect = graph ? graph->plotArea.rect : CRect();
}

void CChartWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (drag == Drag::Pan) {
        const QPoint delta = at - dragLast;
        dragLast = at;
        session.PanBy(delta.x(), delta.y());
    } else if (drag == Drag::Zoom && band) {
        band->setGeometry(QRect(dragStart, at).normalized());
    }
    if (onReadout)
        onReadout(QString::fromStdString(session.Readout(ToClient(at))));
}

void CChartWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool left = event->button() == Qt::LeftButton;
    if (event->button() == Qt::MiddleButton || (left && (mods & Qt::ShiftModifier))) {
        session.PushRange();
        drag = Drag::Pan;
        dragStart = dragLast = at;
    } else if (left && (mods & Qt::ControlModifier)) {
        drag = Drag::Zoom;
        dragStart = at;
        if (!band)
            band = new QRubberBand(QRubberBand::Rectangle, this);
        band->setGeometry(QRect(at, QSize()));
        band->show();
    } else if (left) {
        session.AddMarkerAt(ToClient(at));
    }
}

void CChartWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag == Drag::Zoom) {
        if (band)
            band->hide();
        const CPoint a = ToClient(dragStart);
        const CPoint b = ToClient(event->position().toPoint());
        session.ZoomToRect(CRect(a.x, a.y, b.x, b.y));
    }
    drag = Drag::None;
}

void CChartWidget::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0.0) {
        event->ignore();
        return;
    }
    if (!lastWheel.isValid() || lastWheel.elapsed() > kWheelGestureMs)
        session.PushRange();
    lastWheel.start();
    const CPoint at = ToClient(event->position().toPoint());
    const double factor = std::pow(kZoomPerStep, steps);
    if (event->modifiers() & Qt::ControlModifier)
        session.ZoomYAt(at, factor);
    else
        session.ZoomXAt(at, factor);
    event->accept();
}

void CChartWidget::contextMenuEvent(QContextMenuEvent* event)
{
    if (onContextMenu)
        onContextMenu(event->globalPos(), ToClient(event->pos()));
}

void CChartWidget::leaveEvent(QEvent*)
{
    // Off the chart the cursor is outside the plot: the read-out shows what it shows there.
    if (onReadout)
        onReadout(QString::fromStdString(session.Readout(CPoint{-1, -1})));
}
