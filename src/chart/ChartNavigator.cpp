#include "chart/ChartNavigator.h"

#include "chart/ComplexChart.h"

#include <algorithm>

namespace {

// The value at a fraction of an axis measured from the plot's top or left edge; unlike
// CChartAxis::ValueAt not clamped, so that points beyond the plot can anchor a zoom.
double AxisValue(const CChartAxis& axis, double fraction)
{
    return axis.reversed ? axis.max - fraction * (axis.max - axis.min)
                         : axis.min + fraction * (axis.max - axis.min);
}

// Moves an axis so that its content follows the mouse by a fraction of the plot.
void ShiftAxis(CChartAxis& axis, double fraction, std::int32_t divisions)
{
    axis.ShiftSnapped((axis.reversed ? 1.0 : -1.0) * fraction * (axis.max - axis.min), divisions);
}

}  // namespace

void CChartNavigator::IncSpan(CChartAxis& x)
{
    const double s = x.max - x.min;
    x.SetRange(x.min - 0.5 * s, x.max + 0.5 * s);
}

void CChartNavigator::DecSpan(CChartAxis& x)
{
    const double s = x.max - x.min;
    x.SetRange(x.min + 0.25 * s, x.max - 0.25 * s);
}

void CChartNavigator::IncFmax(CChartAxis& x)
{
    const double s = x.max - x.min;
    x.SetRange(x.min, x.max + 0.5 * s);
}

void CChartNavigator::DecFmax(CChartAxis& x)
{
    const double s = x.max - x.min;
    x.SetRange(x.min, x.max - 0.25 * s);
}

bool CChartNavigator::ZoomXAt(CChartGraph& graph, CPoint point, double factor)
{
    if (graph.chartKind != CChartGraph::RECTANGULAR)
        return ZoomYAt(graph, point, factor);  // the complex plane has one scale
    const CRect& p = graph.plotArea.rect;
    if (!graph.plotArea.visible || p.right <= p.left || !(factor > 0.0))
        return false;
    const double fx = static_cast<double>(point.x - p.left) / (p.right - p.left);
    graph.xAxis.ZoomAtFraction(fx, factor, graph.xMajorDivisions);
    return true;
}

bool CChartNavigator::ZoomYAt(CChartGraph& graph, CPoint point, double factor)
{
    if (const auto complex = CComplexChart::For(graph)) {
        complex->ZoomAt(point, factor);
        return true;
    }
    const CRect& p = graph.plotArea.rect;
    if (!graph.plotArea.visible || p.bottom <= p.top || !(factor > 0.0))
        return false;
    const double fy = static_cast<double>(point.y - p.top) / (p.bottom - p.top);
    for (CChartAxis* axis : {&graph.leftAxis, &graph.rightAxis})
        axis->ZoomAtFraction(fy, factor, graph.yMajorDivisions);
    return true;
}

bool CChartNavigator::PanBy(CChartGraph& graph, std::int32_t dx, std::int32_t dy)
{
    const CRect& p = graph.plotArea.rect;
    if (!graph.plotArea.visible || p.right <= p.left || p.bottom <= p.top)
        return false;
    if (const auto complex = CComplexChart::For(graph)) {
        complex->PanBy(dx, dy);  // the plane point under the mouse follows it
        return true;
    }
    if (dx != 0)
        ShiftAxis(graph.xAxis, static_cast<double>(dx) / (p.right - p.left), graph.xMajorDivisions);
    if (dy != 0) {
        const double fy = static_cast<double>(dy) / (p.bottom - p.top);
        ShiftAxis(graph.leftAxis, fy, graph.yMajorDivisions);
        ShiftAxis(graph.rightAxis, fy, graph.yMajorDivisions);
    }
    return true;
}

bool CChartNavigator::ZoomToRect(CChartGraph& graph, const CRect& rect)
{
    const CRect& p = graph.plotArea.rect;
    const std::int32_t left = std::max(std::min(rect.left, rect.right), p.left);
    const std::int32_t right = std::min(std::max(rect.left, rect.right), p.right);
    const std::int32_t top = std::max(std::min(rect.top, rect.bottom), p.top);
    const std::int32_t bottom = std::min(std::max(rect.top, rect.bottom), p.bottom);
    if (!graph.plotArea.visible || right - left < kMinZoomPixels || bottom - top < kMinZoomPixels)
        return false;
    PushRange(graph);
    if (const auto complex = CComplexChart::For(graph)) {
        complex->ZoomToRect(CRect(left, top, right, bottom));
        return true;
    }
    const double w = p.right - p.left;
    const double h = p.bottom - p.top;
    CChartAxis& x = graph.xAxis;
    x.FitSnapped(AxisValue(x, (left - p.left) / w), AxisValue(x, (right - p.left) / w),
                 graph.xMajorDivisions);
    for (CChartAxis* y : {&graph.leftAxis, &graph.rightAxis})
        y->FitSnapped(AxisValue(*y, (top - p.top) / h), AxisValue(*y, (bottom - p.top) / h),
                      graph.yMajorDivisions);
    return true;
}

void CChartNavigator::PushRange(const CChartGraph& g)
{
    if (history.size() == kMaxRangeHistory)
        history.erase(history.begin());
    history.push_back({g.xAxis.min, g.xAxis.max, g.leftAxis.min, g.leftAxis.max, g.rightAxis.min,
                       g.rightAxis.max, g.planeZoom, g.planeCentreRe, g.planeCentreIm});
}

bool CChartNavigator::ZoomBack(CChartGraph& g)
{
    if (history.empty())
        return false;
    const AxisRanges r = history.back();
    history.pop_back();
    g.xAxis.SetRange(r.xMin, r.xMax);
    g.leftAxis.SetRange(r.leftMin, r.leftMax);
    g.rightAxis.SetRange(r.rightMin, r.rightMax);
    g.planeZoom = r.planeZoom;
    g.planeCentreRe = r.planeRe;
    g.planeCentreIm = r.planeIm;
    return true;
}
