// The chart area of the main window. It covers the session's chartRect exactly and works
// in the window's client coordinates, the coordinates of the sheet's rectangle: painting is
// shifted by the widget's offset and mouse positions are shifted back.
#pragma once

#include "platform/DC.h"

#include <QString>
#include <QWidget>
#include <functional>

class CTorvexSession;

class CChartWidget : public QWidget {
    Q_OBJECT

public:
    CChartWidget(CTorvexSession& session, QWidget* parent);

    // A widget position in the window's client coordinates.
    CPoint ToClient(const QPoint& widgetPoint) const;

    // Receives the read-out text for every mouse movement, lines separated by "\n"
    // (empty outside the plot).
    std::function<void(const QString&)> onReadout;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CTorvexSession& session;
};
