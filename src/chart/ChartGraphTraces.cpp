// Drawing of the traces and of the numbered marker dots on them.
#include "chart/ChartGraph.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "chart/ColumnReducer.h"
#include "chart/NiceScale.h"
#include "platform/ParallelFor.h"
#include "platform/SegmentClip.h"

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

// A line through the stored points that lie on the X axis, begun and ended where the axis
// cuts the trace: the straight segments between stored points are exactly what the trace
// says between them, so nothing is lost to sampling, whatever the zoom and however little
// of the axis the trace covers.
template <typename Add>
void AddVisibleLine(const CChartTrace& trace, const CChartAxis& xAxis, Add&& add)
{
    const std::size_t n = trace.PointCount();
    if (!(trace.xMin <= xAxis.max && xAxis.min <= trace.xMax))
        return;
    auto firstAtOrAbove = [&](double x) {
        std::size_t lo = 0, hi = n;  // the first stored point with X >= x
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (trace.Sample(mid).x < x)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    const std::size_t first = firstAtOrAbove(xAxis.min);
    if (first > 0 && (first == n || trace.Sample(first).x > xAxis.min))
        add(xAxis.min, trace.ValueAt(xAxis.min));
    std::size_t i = first;
    for (; i < n; ++i) {
        const CChartTrace::XYpair point = trace.Sample(i);
        if (point.x > xAxis.max)
            break;
        add(point.x, point.y);
    }
    if (i < n && i > 0 && trace.Sample(i - 1).x < xAxis.max)
        add(xAxis.max, trace.ValueAt(xAxis.max));
}

// Points and circles: as many evenly spaced samples as the trace has stored points, spread
// over the part of the X axis the trace covers, so their density follows the data.
template <typename Add>
void AddEvenSamples(const CChartTrace& trace, const CChartAxis& xAxis, Add&& add)
{
    const std::size_t n = trace.PointCount();
    const double lo = std::max(xAxis.min, trace.xMin);
    const double hi = std::min(xAxis.max, trace.xMax);
    if (!(lo <= hi))
        return;
    std::size_t hint = 0;
    const double last = static_cast<double>(n - 1);
    for (std::size_t j = 0; j < n; ++j) {
        const double xValue = j + 1 == n ? hi : lo + (hi - lo) * (static_cast<double>(j) / last);
        add(xValue, trace.ValueAt(xValue, hint));
    }
}

// PixelOffset of many values on one axis, with a multiplication where it gives the same
// pixel: a division per sample is most of what thinning a trace of a million samples costs.
// The product differs from the quotient by a few units in the last place, so only a result
// that close to a pixel boundary is worked out by the division.
class CPixelScale {
public:
    CPixelScale(double axisLow, double axisHigh, std::int32_t pixels)
        : lo(axisLow), hi(axisHigh), span(pixels)
    {
        const double range = hi - lo;
        inverse = range > 0.0 ? 1.0 / range : 0.0;
        fast = std::isnormal(inverse) && std::isfinite(inverse * span);
    }
    bool Offset(double v, std::int32_t& offset) const
    {
        if (fast) {
            const double pixels = (v - lo) * inverse * span;
            if (std::fabs(pixels) < kMaxOverhang) {
                const auto whole = static_cast<std::int32_t>(pixels);  // truncated
                const double part = std::fabs(pixels - whole);
                const double margin = 1e-12 * (std::fabs(pixels) + 1.0);
                if (part > margin && 1.0 - part > margin) {
                    offset = whole;
                    return true;
                }
            }
        }
        return PixelOffset(v, lo, hi, span, offset);
    }
    // An open interval of values that surely have the offset given, by either way of
    // working it out (kept a millionth of a pixel and the rounding of the ends inside);
    // false when there is none to trust.
    bool Interval(std::int32_t offset, double& low, double& high) const
    {
        if (!fast || offset < 0 || offset >= kMaxOverhang)
            return false;
        const double step = (hi - lo) / span;
        const double a = lo + offset * step;
        const double b = lo + (offset + 1.0) * step;
        const double margin = 1e-6 * step
            + 8.0 * std::numeric_limits<double>::epsilon()
                * (std::fabs(lo) + std::fabs(a) + std::fabs(b));
        low = a + margin;
        high = b - margin;
        return low < high;
    }
    // The pixel of a fraction (v - lo) / (hi - lo) clamped to 0..1, as the trace lines take X.
    std::int32_t ClampedOffset(double v) const
    {
        if (fast) {
            const double pixels = std::clamp((v - lo) * inverse, 0.0, 1.0) * span;
            const auto whole = static_cast<std::int32_t>(pixels);
            const double part = pixels - whole;
            const double margin = 1e-12 * (pixels + 1.0);
            if (part > margin && 1.0 - part > margin)
                return whole;
        }
        const double f = (v - lo) / (hi - lo);
        return static_cast<std::int32_t>(std::clamp(f, 0.0, 1.0) * span);
    }

private:
    double lo;
    double hi;
    std::int32_t span;
    double inverse = 0.0;
    bool fast = false;
};

// The samples of a trace that can change a pixel of its line or marks (CColumnReducer).
std::vector<CColumnReducer::Sample> ReducedSamples(const CChartTrace& trace,
                                                   const CChartAxis& xAxis, const CChartAxis& yAxis,
                                                   const CRect& p, bool lines)
{
    CColumnReducer reducer(lines ? CColumnReducer::Mode::Line : CColumnReducer::Mode::Marks);
    const CPixelScale xScale(xAxis.min, xAxis.max, p.right - p.left);
    const CPixelScale yScale(yAxis.min, yAxis.max, p.bottom - p.top);
    // The values that land on the pixel of the line's last sample: a dense trace's next
    // samples mostly do, and then four comparisons tell what working out the pixel would.
    double xLow = 1.0, xHigh = 0.0, yLow = 1.0, yHigh = 0.0;
    auto add = [&](double xValue, double yValue) {
        if (xValue > xLow && xValue < xHigh && yValue > yLow && yValue < yHigh) {
            reducer.Repeat();
            return;
        }
        xLow = 1.0;
        xHigh = 0.0;
        std::int32_t dy = 0;
        if (!yScale.Offset(yValue, dy)) {
            reducer.Break();  // a gap in the data breaks the line
            return;
        }
        const std::int32_t y = yAxis.reversed ? p.bottom - dy : p.top + dy;
        const std::int32_t dx = xScale.ClampedOffset(xValue);
        reducer.Add(p.left + dx, y);
        if (lines && !(xScale.Interval(dx, xLow, xHigh) && yScale.Interval(dy, yLow, yHigh))) {
            xLow = 1.0;
            xHigh = 0.0;
        }
    };
    if (lines)
        AddVisibleLine(trace, xAxis, add);
    else
        AddEvenSamples(trace, xAxis, add);
    return reducer.Finish();
}

// Samples from which on the traces are thinned on every core: below, a thread costs more
// than it saves.
constexpr std::size_t kParallelSamples = 200000;

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
    // The thinning of each trace is its own; the drawing goes in the traces' order.
    std::vector<std::vector<CColumnReducer::Sample>> reduced(drawLines ? traces.size() : 0);
    if (drawLines) {
        std::size_t work = 0;
        for (const CChartTrace& trace : traces)
            work += trace.PointCount();
        const std::size_t threads =
            work < kParallelSamples ? 1 : std::max(1u, std::thread::hardware_concurrency());
        ParallelFor(traces.size(), threads, [&](std::size_t t) {
            const CChartTrace& trace = traces[t];
            if (trace.PointCount() > 1)
                reduced[t] =
                    ReducedSamples(trace, xAxis, trace.onLeftAxis ? leftAxis : rightAxis, p, lines);
        });
    }
    bool penSelected = false;
    CPen previousPen;
    for (std::size_t t = 0; t < traces.size(); ++t) {
        const CChartTrace& trace = traces[t];
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
            for (const CColumnReducer::Sample& sample : reduced[t]) {
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
            if (!PixelOffset(xValue, xAxis.min, xAxis.max, width, dx)
                || !yPixel(trace.ValueAt(xValue), y))
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

namespace {

// A tint of color on the background: a quarter of the colour, the rest background.
COLORREF Tint(COLORREF color, COLORREF background)
{
    const auto mix = [](int c, int b) { return (c + 3 * b) / 4; };
    return Rgb(mix(RgbRed(color), RgbRed(background)), mix(RgbGreen(color), RgbGreen(background)),
               mix(RgbBlue(color), RgbBlue(background)));
}

}  // namespace

// One vertical line per pixel column where both traces have a value: the plot's own
// resolution, whatever the number of stored points.
void CChartGraph::DrawBands(CDC& dc)
{
    if (!plotArea.visible || filledBands.empty())
        return;
    const CRect p = plotArea.rect;
    const std::int32_t width = p.right - p.left;
    const std::int32_t height = p.bottom - p.top;
    if (width <= 0 || height <= 0 || !(xAxis.max > xAxis.min))
        return;
    dc.SetClipRect(p);
    const CPen previousPen = dc.SelectPen(CPen{plotArea.fillColor, 1});
    for (const Band& band : filledBands) {
        if (band.lower >= traces.size() || band.upper >= traces.size())
            continue;
        const CChartTrace& lower = traces[band.lower];
        const CChartTrace& upper = traces[band.upper];
        const CChartAxis& yAxis = lower.onLeftAxis ? leftAxis : rightAxis;
        dc.SelectPen(CPen{Tint(band.color, plotArea.fillColor), 1});
        std::size_t lowHint = 0;
        std::size_t highHint = 0;
        for (std::int32_t column = 0; column < width; ++column) {
            const double x = xAxis.min + (xAxis.max - xAxis.min) * column / width;
            if (!lower.Covers(x) || !upper.Covers(x))
                continue;
            std::int32_t a = 0;
            std::int32_t b = 0;
            if (!PixelOffset(lower.ValueAt(x, lowHint), yAxis.min, yAxis.max, height, a)
                || !PixelOffset(upper.ValueAt(x, highHint), yAxis.min, yAxis.max, height, b))
                continue;
            if (a > b)
                std::swap(a, b);
            const std::int32_t top = yAxis.reversed ? p.bottom - b : p.top + a;
            const std::int32_t bottom = yAxis.reversed ? p.bottom - a : p.top + b;
            dc.MoveToEx(p.left + column, top);
            dc.LineTo(p.left + column, bottom + 1);
        }
    }
    dc.SelectPen(previousPen);
    dc.ResetClip();
}

namespace {

constexpr COLORREF kMaskColor = Rgb(64, 64, 64);
constexpr COLORREF kNoDataColor = Rgb(150, 150, 150);  // a segment that judged nothing
constexpr COLORREF kFailColor = Rgb(210, 0, 0);
constexpr COLORREF kPassColor = Rgb(0, 140, 0);

std::int32_t Pixel(double v)
{
    return TruncInt32(std::floor(v + 0.5));
}

// Dashes of 6 pixels with gaps of 4 from a to b (s device pixels a pixel); a line shorter
// than a pixel, a segment of one frequency, is a short tick.
void DashedLine(CDC& dc, double ax, double ay, double bx, double by, std::int32_t s)
{
    const double length = std::hypot(bx - ax, by - ay);
    if (length < 1.0) {
        dc.MoveToEx(Pixel(ax) - 2 * s, Pixel(ay));
        dc.LineTo(Pixel(ax) + 3 * s, Pixel(ay));
        return;
    }
    const double dash = 6.0 * s;
    const double period = 10.0 * s;
    for (double t = 0.0; t < length; t += period) {
        const double u0 = t / length;
        const double u1 = std::min(t + dash, length) / length;
        dc.MoveToEx(Pixel(ax + u0 * (bx - ax)), Pixel(ay + u0 * (by - ay)));
        dc.LineTo(Pixel(ax + u1 * (bx - ax)), Pixel(ay + u1 * (by - ay)));
    }
}

// " no data: mask line 3 " (or "lines 3, 7") for the segments with a result that judged
// nothing; empty when every segment found data.
std::string NoDataText(const CLimitMask& mask, const std::vector<LimitResult>& results)
{
    std::vector<int> lines;
    for (const LimitResult& r : results) {
        const int line = mask.segments[r.segment].line;
        if (r.status == LimitStatus::NoData
            && std::find(lines.begin(), lines.end(), line) == lines.end())
            lines.push_back(line);
    }
    if (lines.empty())
        return std::string();
    std::string text = lines.size() == 1 ? " no data: mask line " : " no data: mask lines ";
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? ", " : "") + std::to_string(lines[i]);
    return text + " ";
}

}  // namespace

void CChartGraph::DrawGateLines(CDC& dc)
{
    if (!plotArea.visible || gateLines.empty())
        return;
    const CRect p = plotArea.rect;
    const std::int32_t s = PageScale(dc);
    dc.SetClipRect(p);
    const CPen previousPen = dc.SelectPen(CPen{kMaskColor, dc.IsPrinting() ? 2 : 1});
    for (double x : gateLines) {
        const double px = p.left + (x - xAxis.min) / (xAxis.max - xAxis.min) * p.Width();
        if (std::isfinite(px) && px >= p.left && px <= p.right)
            DashedLine(dc, px, p.top, px, p.bottom, s);
    }
    dc.SelectPen(previousPen);
    dc.ResetClip();
}

void CChartGraph::DrawLimits(CDC& dc)
{
    DrawGateLines(dc);
    if (!plotArea.visible || limitMask.Empty())
        return;
    const std::vector<LimitResult> results = LimitResults();
    const CRect p = plotArea.rect;
    const std::int32_t s = PageScale(dc);
    const std::int32_t thin = dc.IsPrinting() ? 2 : 1;

    // Pixel coordinates of (x, value) on a Y axis, unrounded.
    const double xSpan = xAxis.max - xAxis.min;
    auto at = [&](const CChartAxis& axis, double x, double value, double& px, double& py) {
        px = p.left + (x - xAxis.min) / xSpan * p.Width();
        const double dy = (value - axis.min) / (axis.max - axis.min) * p.Height();
        py = axis.reversed ? p.bottom - dy : p.top + dy;
        return std::isfinite(px) && std::isfinite(py);
    };
    // The limit of segment seg from x0 to x1 on an axis, cut to the plot; false if unseen.
    auto line = [&](const CLimitMask::Segment& seg, const CChartAxis& axis, double x0, double x1,
                    double& ax, double& ay, double& bx, double& by) {
        return at(axis, x0, seg.LimitAt(x0), ax, ay) && at(axis, x1, seg.LimitAt(x1), bx, by)
            && ClipSegment(p.left, p.top, p.right, p.bottom, ax, ay, bx, by);
    };

    dc.SetClipRect(p);
    const CPen previousPen = dc.SelectPen(CPen{kMaskColor, thin});
    const FontHandle previousFont = dc.SelectFont(tickFont.font);
    const unsigned previousAlign = dc.SetTextAlign(TA_CENTER | TA_BOTTOM);
    const COLORREF previousText = dc.SetTextColor(kNoDataColor);
    const COLORREF previousBk = dc.SetBkColor(plotArea.fillColor);

    // Each segment once on every Y axis that carries a trace it applies to: dashed, and
    // grey with "no data" where none of those traces has a value in its range.
    for (std::size_t si = 0; si < limitMask.segments.size(); ++si) {
        const CLimitMask::Segment& seg = limitMask.segments[si];
        int state[2] = {0, 0};  // per axis: 0 no trace, 1 traces without data, 2 judged
        for (const LimitResult& r : results) {
            if (r.segment != si || r.trace < 0)
                continue;
            int& axisState = state[traces[static_cast<std::size_t>(r.trace)].onLeftAxis ? 0 : 1];
            axisState = std::max(axisState, r.status == LimitStatus::NoData ? 1 : 2);
        }
        for (int a = 0; a < 2; ++a) {
            double ax = 0, ay = 0, bx = 0, by = 0;
            if (state[a] == 0
                || !line(seg, a == 0 ? leftAxis : rightAxis, seg.f1, seg.f2, ax, ay, bx, by))
                continue;
            const bool judged = state[a] == 2;
            dc.SelectPen(CPen{judged ? kMaskColor : kNoDataColor, thin});
            DashedLine(dc, ax, ay, bx, by, s);
            if (!judged)
                dc.TextOut(Pixel((ax + bx) / 2), Pixel((ay + by) / 2) - 2 * s, "no data");
        }
    }

    // The failing stretches, solid and thick along the limit they break.
    dc.SelectPen(CPen{kFailColor, 3 * thin});
    for (const LimitResult& r : results) {
        if (r.trace < 0)
            continue;
        const CLimitMask::Segment& seg = limitMask.segments[r.segment];
        const CChartAxis& axis =
            traces[static_cast<std::size_t>(r.trace)].onLeftAxis ? leftAxis : rightAxis;
        for (const auto& [from, to] : r.failing) {
            double ax = 0, ay = 0, bx = 0, by = 0;
            if (!line(seg, axis, from, to, ax, ay, bx, by))
                continue;
            const CPoint a{Pixel(ax), Pixel(ay)};
            CPoint b{Pixel(bx), Pixel(by)};
            if (a == b)  // a stretch of one frequency still shows
                b.x += 2 * s;
            dc.MoveToEx(a.x, a.y);
            dc.LineTo(b.x, b.y);
        }
    }
    dc.SelectPen(previousPen);

    // The verdict, white on green or red, in the plot's top right corner; below it, white
    // on grey, the mask lines that found no data, a failure the lines alone do not show.
    const bool pass = CLimitMask::AllPass(results);
    dc.SelectFont(axisTitleFont.font);
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    dc.SetTextColor(Rgb(255, 255, 255));
    dc.SetBkColor(pass ? kPassColor : kFailColor);
    dc.TextOut(p.right - 4 * s, p.top + 4 * s, pass ? " PASS " : " FAIL ");
    const std::string noData = NoDataText(limitMask, results);
    if (!noData.empty()) {
        const std::int32_t below = p.top + 6 * s + dc.GetTextMetrics().height;
        dc.SelectFont(tickFont.font);
        dc.SetBkColor(kNoDataColor);
        dc.TextOut(p.right - 4 * s, below, noData);
    }
    dc.SetBkColor(previousBk);
    dc.SetTextColor(previousText);
    dc.SetTextAlign(previousAlign);
    dc.SelectFont(previousFont);
    dc.ResetClip();
}
