#include "app/ChartWidget.h"

#include "app/TorvexSession.h"
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

void CChartWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.translate(-session.chartRect.left, -session.chartRect.top);
    CQtDC dc(painter, false);
    session.sheet.Draw(dc);
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
