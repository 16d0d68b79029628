#include "app/ChartWidget.h"

#include "app/TorvexSession.h"
#include "chart/ChartSheet.h"
#include "platform/QtDC.h"

#include <QMouseEvent>
#include <QPainter>

CChartWidget::CChartWidget(CTorvexSession& owner, QWidget* parent)
    : QWidget(parent), session(owner)
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
    const bool reuse = overlayOnly && layerSheetRect == sheet.sheetRect && layerPlotRect == plot &&
                       plotLayer.size() == size() * ratio &&
                       plotLayer.devicePixelRatio() == ratio;
    overlayOnly = false;
    if (!reuse)
        RenderPlotLayer();
    dc.Flush();
    painter.drawImage(QPoint(session.chartRect.left, session.chartRect.top), plotLayer);
    sheet.DrawOverlay(dc);
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
    if (onReadout)
        onReadout(QString::fromStdString(session.Readout(ToClient(event->position().toPoint()))));
}

void CChartWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        session.AddMarkerAt(ToClient(event->position().toPoint()));
}

void CChartWidget::leaveEvent(QEvent*)
{
    // Off the chart the cursor is outside the plot: the read-out empties.
    if (onReadout)
        onReadout(QString());
}
