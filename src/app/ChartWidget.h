// The chart area of the main window. It covers the session's chartRect exactly and works
// in the window's client coordinates, the coordinates of the sheet's rectangle: painting is
// shifted by the widget's offset and mouse positions are shifted back.
#pragma once

#include "platform/DC.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>

class CTorvexSession;
class QRubberBand;

class CChartWidget : public QWidget {
    Q_OBJECT

public:
    CChartWidget(CTorvexSession& session, QWidget* parent);

    // A widget position in the window's client coordinates.
    CPoint ToClient(const QPoint& widgetPoint) const;

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

    CTorvexSession& session;
    Drag drag = Drag::None;
    QPoint dragStart;  // widget coordinates
    QPoint dragLast;
    QRubberBand* band = nullptr;
    QElapsedTimer lastWheel;  // wheel steps in quick succession are one zoom to go back from
};
