// Drawing of the traces and of the numbered marker dots on them.
#include "chart/ChartGraph.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

#include "chart/ColumnReducer.h"

namespace {

// Pixels a point may lie beyond the plot; clipping cuts it off anyway, and this keeps a value
// far outside the axis range (or an infinite one) within what an int32 and the device hold.
constexpr double kMaxOverhang = 1e6;

// Offset in pixels of value v on an axis from lo to hi that spans `span` pixels, truncated
// toward zero like the rest of the layout. False for a NaN value: that sample is not drawn.
bool PixelOffset(double v, double lo, double hi, std::int32_t span, std::int32_t& offset)
{
    const double range = hi - lo;
    // The model keeps hi > lo; a degenerate range maps everything onto the start.
    const double fraction = range > 0.0 ? (v - lo) / range : 0.0;
    const double pixels = fraction * span;
    if (std::isnan(pixels))
        return false;
    // Clamped, the value fits an int32, so the plain conversion truncates as TruncInt32 does.
    offset = static_cast<std::int32_t>(std::clamp(pixels, -kMaxOverhang, span + kMaxOverhang));
    return true;
}

}  // namespace

void CChartGraph::DrawTraces(CDC& dc)
{
    DrawTraceLines(dc);
    DrawMarkerDots(dc);
}

void CChartGraph::DrawTraceLines(CDC& dc)
{
    DrawTracePass(dc, true);
}

void CChartGraph::DrawMarkerDots(CDC& dc)
{
    if (showMarkers)
        DrawTracePass(dc, false);
}

void CChartGraph::DrawTracePass(CDC& dc, bool drawLines)
{
    if (!plotArea.visible)
        return;
    const CRect p = plotArea.rect;
    const std::int32_t width = p.right - p.left;
    const std::int32_t height = p.bottom - p.top;
    const bool printing = dc.IsPrinting();
    const std::int32_t s = PageScale(dc);

    const FontHandle previousFont = dc.SelectFont(markerFont.font);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.SetBkColor(plotArea.fillColor);
    dc.SetClipRect(p);

    const bool lines = lineType != 2 && lineType != 3;
    CColumnReducer reducer(lines ? CColumnReducer::Mode::Line : CColumnReducer::Mode::Marks);
    bool penSelected = false;
    CPen previousPen;
    for (const CChartTrace& trace : traces) {
        const CChartAxis& yAxis = trace.onLeftAxis ? leftAxis : rightAxis;
        std::int32_t penWidth = lineType == 1 ? 2 : 1;
        if (printing)
            penWidth *= 2;
        const CPen tracePen{trace.color, penWidth};
        if (!penSelected) {
            previousPen = dc.SelectPen(tracePen);
            penSelected = true;
        } else {
            dc.SelectPen(tracePen);
        }

        const std::size_t n = trace.PointCount();
        if (n <= 1)
            continue;

        // Y pixel of a value on this trace's axis; false for a NaN value.
        auto yPixel = [&](double value, std::int32_t& y) {
            std::int32_t dy = 0;
            if (!PixelOffset(value, yAxis.min, yAxis.max, height, dy))
                return false;
            y = yAxis.reversed ? p.bottom - dy : p.top + dy;
            return true;
        };

        if (drawLines) {
            // n samples spread evenly over the whole X axis, whatever the zoom, thinned to what
            // can change a pixel before they reach the device.
            reducer.Clear();
            std::size_t hint = 0;
            const double last = static_cast<double>(n - 1);
            for (std::size_t j = 0; j < n; ++j) {
                const double f = static_cast<double>(j) / last;
                const double xValue = xAxis.ValueAt(f);
                if (!trace.Covers(xValue))
                    continue;
                std::int32_t y = 0;
                if (!yPixel(trace.ValueAt(xValue, hint), y)) {
                    reducer.Break();  // a gap in the data breaks the line
                    continue;
                }
                reducer.Add(p.left + static_cast<std::int32_t>(f * width), y);  // 0 <= f <= 1
            }
            for (const CColumnReducer::Sample& sample : reducer.Finish()) {
                const std::int32_t x = sample.point.x;
                const std::int32_t y = sample.point.y;
                switch (lineType) {
                case 3:
                    dc.Arc(CRect(x - 3 * s, y - 3 * s, x + 3 * s, y + 3 * s), CPoint{x + 3 * s, y},
                           CPoint{x + 3 * s, y});
                    break;
                case 2:
                    if (s == 1) {
                        dc.SetPixel(x, y, trace.color);
                        dc.SetPixel(x + 1, y, trace.color);
                        dc.SetPixel(x, y + 1, trace.color);
                        dc.SetPixel(x + 1, y + 1, trace.color);
                    } else {
                        dc.FillSolidRect(CRect(x, y, x + 2 * s, y + 2 * s), trace.color);
                    }
                    break;
                default:
                    if (sample.startsRun)
                        dc.MoveToEx(x, y);
                    else
                        dc.LineTo(x, y);
                    break;
                }
            }
        }

        if (drawLines)
            continue;

        // Dots go over all the lines, so that a later trace never hides them.
        const CBrush previousBrush = dc.SelectBrush(CBrush{trace.color});
        for (std::size_t i = 0; i < markers.size(); ++i) {
            const double xValue = markers[i];
            if (!trace.Covers(xValue))
                continue;
            std::int32_t dx = 0;
            std::int32_t y = 0;
            if (!PixelOffset(xValue, xAxis.min, xAxis.max, width, dx) ||
                !yPixel(trace.ValueAt(xValue), y))
                continue;
            const std::int32_t x = xAxis.reversed ? p.right - dx : p.left + dx;
            dc.Ellipse(CRect(x - 4 * s, y - 4 * s, x + 4 * s, y + 4 * s));
            dc.SetTextColor(trace.color);
            dc.TextOut(x + 5 * s, y + 5 * s, std::to_string(i + 1));
        }
        dc.SelectBrush(previousBrush);
    }

    dc.ResetClip();
    if (penSelected)
        dc.SelectPen(previousPen);
    dc.SelectFont(previousFont);
}
