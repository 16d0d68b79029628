// The legend box under the plot (trace legend or marker value table) and the cursor read-out.
#include "chart/ChartGraph.h"

#include "chart/ComplexChart.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxTableTraces = 6;  // trace rows of the marker value table
constexpr int kMaxLegendRows = 3;      // rows of each trace legend column
constexpr std::size_t kTableNameChars = 10;
const char* const kNoValue = "-";  // a marker outside a trace's data
const std::string kDelta = "\xCE\x94";   // UTF-8 Greek capital delta: a difference column
const char* const kReference = " ref";  // after the reference marker's number

// a - b for the reference table. Values interpolated at different X carry rounding of
// the interpolation; a difference lost in it is shown as 0, not as 1e-15.
double Difference(double a, double b)
{
    const double d = a - b;
    return std::fabs(d) <= 1e-9 * std::max(std::fabs(a), std::fabs(b)) ? 0.0 : d;
}

// Inside the plot: left and top edges belong to it, right and bottom edges do not.
bool Inside(const CRect& r, CPoint point)
{
    return point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
}

// One column of the trace legend: where its next entry goes and how many rows it uses.
struct LegendColumn {
    std::int32_t start;  // x of a row's first entry
    std::int32_t x;
    std::int32_t y;
    int rows;
};

}  // namespace

void CChartGraph::DrawLegend(CDC& dc)
{
    const bool delta = referenceMarker;
    DrawLegend(dc, [this, delta](std::size_t i, double xValue,
                                 const std::vector<const CChartTrace*>& rows) {
        // Markers off the X axis get no column (a NaN one neither).
        if (!(xValue >= xAxis.min && xValue <= xAxis.max))
            return std::vector<std::string>();
        const double refX = markers[0];
        // With a reference every column after the first shows differences to it.
        const bool diff = delta && i > 1;
        std::vector<std::string> texts;
        texts.push_back(diff ? kDelta + std::to_string(i)
                        : delta ? std::to_string(i) + kReference
                                : std::to_string(i));
        texts.push_back(
            FormatLabel(xAxis.labelFormat, diff ? Difference(xValue, refX) : xValue));
        for (const CChartTrace* trace : rows) {
            if (diff)
                texts.push_back(trace->Covers(xValue) && trace->Covers(refX)
                                    ? FormatLabel(trace->numberFormat,
                                                  Difference(trace->ValueAt(xValue),
                                                             trace->ValueAt(refX)))
                                    : std::string(kNoValue));
            else  // a value beyond the trace's data would be an extrapolation
                texts.push_back(trace->Covers(xValue)
                                    ? FormatLabel(trace->numberFormat, trace->ValueAt(xValue))
                                    : std::string(kNoValue));
        }
        return texts;
    });
}

void CChartGraph::DrawLegend(CDC& dc, const MarkerColumnTexts& columnTexts)
{
    if (!legendArea.visible || !showMarkers)
        return;
    const CRect l = legendArea.rect;
    const std::int32_t hL = legendFont.metrics.height;
    const std::int32_t aL = legendFont.metrics.aveCharWidth;
    const std::int32_t pitch = hL + 1;
    const std::int32_t s = PageScale(dc);  // swatch size and the gap after it

    dc.SetClipRect(l);
    legendArea.Draw(dc);
    dc.SetBkColor(legendArea.fillColor);
    const FontHandle previousFont = dc.SelectFont(legendFont.font);
    dc.SetTextAlign(TA_LEFT | TA_TOP);

    if (markers.empty()) {
        const std::int32_t mid = (l.left + l.right) / 2;
        LegendColumn left{l.left + 14, l.left + 14, l.top + pitch / 4, 1};
        LegendColumn right{mid + 10, mid + 10, l.top + pitch / 4, 1};
        for (const CChartTrace& trace : traces) {
            if (!trace.inLegend)
                continue;
            const std::int32_t entry = dc.GetTextExtent(trace.name).cx + 2 * aL + 12 * s;
            // Left-axis traces may use the whole width while no right axis shows.
            LegendColumn& column = trace.onLeftAxis ? left : right;
            const std::int32_t limit = trace.onLeftAxis && rightAxis.visible ? mid : l.right;
            if (column.x + entry >= limit) {
                if (column.rows >= kMaxLegendRows)
                    continue;
                ++column.rows;
                column.x = column.start;
                column.y += pitch;
            }
            const CRect swatch(column.x, column.y + pitch / 8, column.x + 6 * s,
                               column.y + pitch / 8 + 6 * s);
            dc.FillSolidRect(swatch, trace.color);
            dc.SetTextColor(trace.color);
            dc.SetBkColor(legendArea.fillColor);
            dc.TextOut(swatch.left + 12 * s, swatch.top - pitch / 4, trace.name);
            column.x += entry;
        }
    } else {
        std::int32_t x = l.left + 10;
        const std::int32_t y0 = l.top + 4;
        std::vector<const CChartTrace*> rows;
        for (const CChartTrace& trace : traces) {
            if (rows.size() == kMaxTableTraces)
                break;
            if (trace.inLegend)
                rows.push_back(&trace);
        }
        for (std::size_t i = 0; i <= markers.size(); ++i) {
            const bool header = i == 0;
            // The marker number, X, then one text per trace row; none: no column.
            std::vector<std::string> texts;
            if (header) {
                texts = {"Marker", xShortTitle};
                for (const CChartTrace* trace : rows)
                    texts.push_back(trace->name.substr(0, kTableNameChars));
            } else {
                texts = columnTexts(i, markers[i - 1], rows);
                if (texts.empty())
                    continue;
                texts.resize(rows.size() + 2);
            }

            // A marker column is as wide as its widest text, so no number is ever cut.
            std::int32_t width = (header ? 12 : 8) * aL;
            if (!header)
                for (const std::string& text : texts)
                    width = std::max(width, dc.GetTextExtent(text).cx);
            const std::int32_t right = x + width;
            if (right >= l.right)
                break;
            CRect cell(x, y0, right, y0 + pitch);
            dc.SetTextColor(legendFont.color);
            dc.ExtTextOut(cell.left, cell.top, cell, texts[0]);

            cell.top += pitch;
            cell.bottom += pitch;
            dc.SetTextColor(axisTitleFont.color);
            dc.ExtTextOut(cell.left, cell.top, cell, texts[1]);

            for (std::size_t r = 0; r < rows.size(); ++r) {
                const CChartTrace& trace = *rows[r];
                cell.top += pitch;
                cell.bottom += pitch;
                dc.SetTextColor(trace.color);
                dc.SetBkColor(legendArea.fillColor);
                if (header) {
                    const std::int32_t swatchTop = (cell.top + cell.bottom) / 2 - 3 * s;
                    dc.FillSolidRect(
                        CRect(cell.left, swatchTop, cell.left + 6 * s, swatchTop + 6 * s),
                        trace.color);
                    const CRect nameClip(cell.left + 10 * s, cell.top, cell.right, cell.bottom);
                    dc.ExtTextOut(nameClip.left, nameClip.top, nameClip, texts[2 + r]);
                } else {
                    dc.ExtTextOut(cell.left, cell.top, cell, texts[2 + r]);
                }
            }
            x = right + aL;
        }
    }

    dc.ResetClip();
    dc.SelectFont(previousFont);
}

std::string CChartGraph::Readout(CPoint point) const
{
    // The complex charts only read the graph here.
    if (const auto complex = CComplexChart::For(const_cast<CChartGraph&>(*this)))
        return complex->Readout(point);
    // A plot too small to be drawn shows nothing to read.
    const CRect& p = plotArea.rect;
    if (!plotArea.visible || !Inside(p, point))
        return std::string();
    const double fx = static_cast<double>(point.x - p.left) / (p.right - p.left);
    const double fy = static_cast<double>(point.y - p.top) / (p.bottom - p.top);
    // Enough digits that the next pixel reads differently.
    const double xPixel = (xAxis.max - xAxis.min) / (p.right - p.left);
    const double yPixel = 1.0 / (p.bottom - p.top);
    std::string text;
    if (xAxis.visible)
        text = "X= " + FormatResolved(xAxis.labelFormat, xAxis.ValueAt(fx), xPixel) + "\n";
    if (leftAxis.visible)
        text += "YL= " +
                FormatResolved(leftAxis.labelFormat, leftAxis.ValueAt(fy),
                               yPixel * (leftAxis.max - leftAxis.min)) +
                "\n";
    if (rightAxis.visible)
        text += "YR= " +
                FormatResolved(rightAxis.labelFormat, rightAxis.ValueAt(fy),
                               yPixel * (rightAxis.max - rightAxis.min)) +
                "\n";
    return text;
}

double CChartGraph::XAtPoint(CPoint point) const
{
    if (const auto complex = CComplexChart::For(const_cast<CChartGraph&>(*this)))
        return complex->XAtPoint(point);
    const CRect& p = plotArea.rect;
    if (!plotArea.visible || !Inside(p, point))
        return -1.0;
    return xAxis.ValueAt(static_cast<double>(point.x - p.left) / (p.right - p.left));
}
