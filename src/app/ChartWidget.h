// The chart area of the main window. It covers the session's chartRect exactly and works
// in the window's client coordinates, the coordinates of the sheet's rectangle: painting is
// shifted by the widget's offset and mouse positions are shifted back.
#pragma once

#include "platform/DC.h"

#include <functional>
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

class CTorvexSession;
class QRubberBand;

class CChartWidget : public QWidget {
    Q_OBJECT

public:
    CChartWidget(CTorvexSession& session, QWidget* parent);

    // A widget position in the window's client coordinates.
    CPoint ToClient(const QPoint& widgetPoint) const;

    // The plot layer (everything up to the trace lines) is kept in an image between paints.
    // A paint asked for by UpdateOverlay draws only the marker dots, legend and logo over the
    // kept layer, for a change of markers or of the legend alone; every other paint, and any
    // after InvalidatePlotLayer, draws the layer anew. A change of the plot's size or place
    // always does.
    void UpdateOverlay();
    void InvalidatePlotLayer();

    // Receives the read-out text for every mouse movement, lines separated by "\n"
    // (empty outside the plot).
    std::function<void(const QString&)> onReadout;
    // A right click: the menu at a global position, for a point in client coordinates.
    std::function<void(const QPoint& global, CPoint client)> onContextMenu;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Drag { None, Pan, Zoom };
    void RenderPlotLayer();

    CTorvexSession& session;
    Drag drag = Drag::None;
    QPoint dragStart;  // widget coordinates
    QPoint dragLast;
    QRubberBand* band = nullptr;
    QElapsedTimer lastWheel;  // wheel steps in quick succession are one zoom to go back from
    QImage plotLayer;
    bool overlayOnly = false;  // the next paint may reuse plotLayer
    // What the layer was drawn for.
    CRect layerSheetRect;
    CRect layerPlotRect;
};
