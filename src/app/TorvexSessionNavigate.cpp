// The span buttons, the mouse zoom and pan and the range history: CChartNavigator changes
// the graph, the session repaints.
#include "app/TorvexSession.h"

void CTorvexSession::IncSpan()
{
    CChartNavigator::IncSpan(Graph().xAxis);
    Repaint();
}

void CTorvexSession::DecSpan()
{
    CChartNavigator::DecSpan(Graph().xAxis);
    Repaint();
}

void CTorvexSession::IncFmax()
{
    CChartNavigator::IncFmax(Graph().xAxis);
    Repaint();
}

void CTorvexSession::DecFmax()
{
    CChartNavigator::DecFmax(Graph().xAxis);
    Repaint();
}

void CTorvexSession::AutoSpan()
{
    Graph().AutoSpan();
    Repaint();
}

void CTorvexSession::AutoScale()
{
    Graph().AutoScale();
    Repaint();
}

void CTorvexSession::ToggleLegend()
{
    Graph().showMarkers = !Graph().showMarkers;
    RepaintOverlay();
}

void CTorvexSession::ZoomXAt(CPoint point, double factor)
{
    if (CChartNavigator::ZoomXAt(Graph(), point, factor))
        Repaint();
}

void CTorvexSession::ZoomYAt(CPoint point, double factor)
{
    if (CChartNavigator::ZoomYAt(Graph(), point, factor))
        Repaint();
}

void CTorvexSession::PanBy(std::int32_t dx, std::int32_t dy)
{
    if (CChartNavigator::PanBy(Graph(), dx, dy))
        Repaint();
}

bool CTorvexSession::ZoomToRect(const CRect& rect)
{
    if (!navigator.ZoomToRect(Graph(), rect))
        return false;
    Repaint();
    return true;
}

void CTorvexSession::PushRange()
{
    navigator.PushRange(Graph());
}

bool CTorvexSession::ZoomBack()
{
    if (!navigator.ZoomBack(Graph()))
        return false;
    Repaint();
    return true;
}
