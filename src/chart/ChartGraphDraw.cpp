// Painting of one graph: fonts, layout, grid, labels, titles and the logo.
#include "chart/ChartGraph.h"

#include "chart/ComplexChart.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>
#include <system_error>
#include <utility>

namespace {

// The logo: 15 x 9 dots, one period of a sine wave.
constexpr int kLogoColumns = 15;
constexpr int kLogoRows = 9;
constexpr std::array<const char*, kLogoRows> kLogo = {{
    "...##..........",
    "..#..#.........",
    ".#....#........",
    ".#....#........",
    "#......#......#",
    "........#....#.",
    "........#....#.",
    ".........#..#..",
    "..........##...",
}};

// A tick label resolves a hundredth of its step: a snapped axis (Zoom, Pan) starts on a
// fraction of the step, and its labels then read exactly.
constexpr double kLabelDigitsPerStep = 100.0;

// The pens of the grid: thin and light on screen, 2 pixels and darker on paper.
struct GridPens {
    CPen major;
    CPen minor;
};

}  // namespace

std::string CChartGraph::FormatLabel(const std::string& format, double value)
{
    return FormatValue(format, value);
}

std::string CChartGraph::FormatResolved(const std::string& format, double value, double resolution)
{
    std::string text = FormatValue(format, value);
    // Only the "%.Ng" formats of the axes grow: a format of another kind is the user's.
    int digits = 0;
    const bool general = format.size() >= 4 && format.compare(0, 2, "%.") == 0
        && format.back() == 'g' && std::sscanf(format.c_str(), "%%.%dg", &digits) == 1;
    if (!general || !(resolution > 0.0) || !std::isfinite(value))
        return text;
    for (; digits <= 17; ++digits) {
        text = FormatValue("%." + std::to_string(digits) + "g", value);
        double shown = 0.0;
        if (ParseDouble(text, shown) && std::fabs(shown - value) <= resolution / 2.0)
            break;
    }
    return text;
}

void CChartGraph::Draw(CDC& dc)
{
    DrawPlotLayer(dc);
    DrawOverlay(dc);
}

void CChartGraph::DrawPlotLayer(CDC& dc)
{
    // The complex charts are drawn whole in the plot layer: they have no overlay.
    if (const auto complex = CComplexChart::For(*this)) {
        complex->Draw(dc);
        return;
    }
    RealizeFonts(dc);
    Layout(dc);
    graphArea.Draw(dc);
    DrawAxes(dc);
    DrawBands(dc);
    DrawTraceLines(dc);
    DrawLimits(dc);
}

void CChartGraph::DrawOverlay(CDC& dc)
{
    if (chartKind != RECTANGULAR)
        return;
    DrawMarkerDots(dc);
    plotArea.DrawFrame(dc);  // again, over the ends of the traces
    if (showMarkers) {
        DrawLegend(dc);
        legendArea.DrawFrame(dc);
    }
    DrawLogo(dc);
}

void CChartGraph::RealizeFonts(CDC& dc)
{
    titleFont.Realize(dc);
    axisTitleFont.Realize(dc);
    tickFont.Realize(dc);
    legendFont.Realize(dc);
    markerFont.Realize(dc);
    verticalAxisTitleFont.RealizeRotated(dc, axisTitleFont);
}

void CChartGraph::Layout()
{
    // As the recording surface measures: characters times the average width.
    const auto counted = [](std::int32_t a) {
        return [a](const std::string& text) {
            std::int32_t n = 0;
            for (unsigned char c : text)
                n += (c & 0xC0) != 0x80;  // UTF-8 code points
            return n * a;
        };
    };
    Layout(counted(legendFont.metrics.aveCharWidth), counted(tickFont.metrics.aveCharWidth), 1);
}

void CChartGraph::Layout(CDC& dc)
{
    const FontHandle previous = dc.SelectFont(legendFont.font);
    const auto measured = [&dc](const CChartFont& font) {
        return [&dc, &font](const std::string& text) {
            const FontHandle before = dc.SelectFont(font.font);
            const std::int32_t cx = dc.GetTextExtent(text).cx;
            dc.SelectFont(before);
            return cx;
        };
    };
    Layout(measured(legendFont), measured(tickFont), PageScale(dc));
    dc.SelectFont(previous);
}

void CChartGraph::Layout(const TextWidth& width, const TextWidth& tickWidth, std::int32_t s)
{
    // The Smith and polar charts have no axes or grid divisions: their plane fills the
    // plot box. Every caller (paint, overlay, read-out, zoom) gets the same boxes.
    if (chartKind != RECTANGULAR)
        LayoutBoxes(false, false, 1, 1, width, tickWidth, s);
    else
        LayoutBoxes(xAxis.visible, leftAxis.visible || rightAxis.visible,
                    std::max(xMajorDivisions, 1), std::max(yMajorDivisions, 1), width, tickWidth,
                    s);
}

std::int32_t CChartGraph::LegendHeight(int rows) const
{
    // Two rows get a little air each; further rows only their pitch.
    const std::int32_t hL = legendFont.metrics.height;
    return (hL + 4) * std::min(rows, 2) + (hL + 1) * std::max(rows - 2, 0) + hL / 8;
}

int CChartGraph::LegendRowsIn(std::int32_t height) const
{
    int rows = 0;
    while (LegendHeight(rows + 1) <= height)
        ++rows;
    return rows;
}

std::string CChartGraph::YLabel(const CChartAxis& axis, std::int32_t j, std::int32_t m)
{
    const double step = (axis.max - axis.min) / m / kLabelDigitsPerStep;
    return FormatResolved(axis.labelFormat, axis.TickValue(j, m), step);
}

void CChartGraph::LayoutBoxes(bool xLabels, bool yLabels, std::int32_t xDiv, std::int32_t yDiv,
                              const TextWidth& width, const TextWidth& tickWidth, std::int32_t s)
{
    const CRect g = graphArea.rect;
    const std::int32_t hT = titleFont.metrics.height;
    const std::int32_t hX = axisTitleFont.metrics.height;
    const std::int32_t hV = verticalAxisTitleFont.metrics.height;
    const std::int32_t hK = tickFont.metrics.height;
    const std::int32_t aK = tickFont.metrics.aveCharWidth;
    const std::int32_t hL = legendFont.metrics.height;

    CRect plot(g.left + 5, g.top + 5, g.right - 5, g.bottom - 5);
    titleArea.rect = g;
    legendArea.rect = g;
    titleArea.visible = false;
    legendArea.visible = false;

    if (!title.empty()) {
        titleArea.rect.bottom = g.top + (7 * hT) / 4;
        titleArea.visible = true;
        plot.top = titleArea.rect.bottom + 1;
    }
    // Both sides get the Y margin as soon as either Y axis shows, so the plot stays centred.
    // It is eight characters, or wider where a label is, so no label covers a title.
    yTitleOffset = 8 * aK;
    if (yLabels) {
        std::int32_t widest = 0;
        for (const CChartAxis* axis : {&leftAxis, &rightAxis})
            for (std::int32_t j = 0; axis->visible && j <= yDiv; ++j)
                widest = std::max(widest, tickWidth(YLabel(*axis, j, yDiv)));
        yTitleOffset = std::max(yTitleOffset, widest + hK / 2 + aK);
        plot.left += (3 * hV) / 2 + yTitleOffset;
        plot.right -= yTitleOffset + (3 * hV) / 2;
    }
    if (xLabels)
        plot.bottom -= 2 * hK + (3 * hX) / 2;
    if (plot.left > plot.right)
        std::swap(plot.left, plot.right);

    if (showMarkers) {
        // The legend is as wide as the plot will be once it falls on whole divisions; it
        // takes the rows its entries need, but leaves the plot at least half the height.
        const std::int32_t w = plot.right - plot.left;
        const std::int32_t left = plot.left + (w % xDiv) / 2;
        int rows = 0;
        const std::int32_t most = std::max(0, (plot.bottom - plot.top) / 2);
        PlanLegend(CRect(left, 0, left + xDiv * (w / xDiv), most), width, s, rows);
        if (rows > 0) {
            const std::int32_t c = std::min<std::int32_t>(LegendHeight(rows), most);
            plot.bottom -= c;
            legendArea.rect.bottom = g.bottom - (3 * hL) / 4;
            legendArea.rect.top = legendArea.rect.bottom - c;
            legendArea.visible = true;
        }
    }

    if (plot.top > plot.bottom)
        std::swap(plot.top, plot.bottom);

    // The grid falls on whole pixels: the plot shrinks to a multiple of the divisions.
    const std::int32_t w = plot.right - plot.left;
    const std::int32_t h = plot.bottom - plot.top;
    plot.right = plot.left + xDiv * (w / xDiv);
    plot.bottom = plot.top + yDiv * (h / yDiv);
    plotArea.rect = plot;

    if (w < 50 || h < 50) {
        plotArea.visible = false;
        legendArea.visible = false;
        return;
    }

    // Centre the plot in the space the rounding freed.
    const std::int32_t dx = (w % xDiv) / 2;
    const std::int32_t dy = (h % yDiv) / 2;
    plotArea.rect = CRect(plot.left + dx, plot.top + dy, plot.right + dx, plot.bottom + dy);
    legendArea.rect.left = plotArea.rect.left;
    legendArea.rect.right = plotArea.rect.right;
    plotArea.visible = true;
}

namespace {

// The chart title and the three axis titles around plot p.
void DrawAxisTitles(CDC& dc, const CChartGraph& graph, const CRect& p)
{
    const std::int32_t hT = graph.titleFont.metrics.height;
    const std::int32_t hK = graph.tickFont.metrics.height;
    if (!graph.title.empty() && graph.titleArea.visible) {
        graph.titleArea.Draw(dc);
        dc.SetTextAlign(TA_CENTER | TA_TOP);
        dc.SetBkColor(graph.titleArea.fillColor);
        dc.SetTextColor(graph.titleFont.color);
        const CRect t = graph.titleArea.rect;
        dc.ExtTextOut((t.left + t.right) / 2, (t.top + t.bottom) / 2 - hT / 2, t, graph.title);
    }

    const std::int32_t midY = (p.top + p.bottom) / 2;
    if (graph.leftAxis.visible) {
        dc.SelectFont(graph.verticalAxisTitleFont.font);
        dc.SetTextAlign(TA_CENTER | TA_BOTTOM);
        dc.SetBkColor(graph.graphArea.fillColor);
        dc.SetTextColor(graph.leftAxis.color);
        if (!graph.leftAxis.title.empty())
            dc.TextOut(p.left - graph.yTitleOffset, midY, graph.leftAxis.title);
    }
    if (graph.rightAxis.visible) {
        dc.SelectFont(graph.verticalAxisTitleFont.font);
        dc.SetTextAlign(TA_CENTER | TA_TOP);
        dc.SetBkColor(graph.graphArea.fillColor);
        dc.SetTextColor(graph.rightAxis.color);
        if (!graph.rightAxis.title.empty())
            dc.TextOut(p.right + graph.yTitleOffset, midY, graph.rightAxis.title);
    }
    if (graph.xAxis.visible) {
        dc.SelectFont(graph.axisTitleFont.font);
        dc.SetTextAlign(TA_CENTER | TA_TOP);
        dc.SetBkColor(graph.graphArea.fillColor);
        dc.SetTextColor(graph.xAxis.color);
        if (!graph.xAxis.title.empty())
            dc.TextOut((p.left + p.right) / 2, p.bottom + (3 * hK) / 2, graph.xAxis.title);
    }
}

// The horizontal grid lines of plot p and the Y labels beside them.
void DrawYGrid(CDC& dc, const CChartGraph& graph, const CRect& p, const GridPens& pens)
{
    const CRect g = graph.graphArea.rect;
    const std::int32_t hK = graph.tickFont.metrics.height;
    const std::int32_t m = std::max(graph.yMajorDivisions, 1);
    const std::int32_t yStep = (p.bottom - p.top) / m;
    const std::int32_t yMinor = std::max(graph.yMinorDivisions, 1);
    for (std::int32_t j = 0; j <= m; ++j) {
        const std::int32_t y = p.top + j * yStep;
        dc.SelectPen(pens.major);
        dc.MoveToEx(p.left, y);
        dc.LineTo(p.right, y);
        if (j < m) {
            dc.SelectPen(pens.minor);
            for (std::int32_t k = 1; k <= yMinor; ++k) {
                const std::int32_t yk = y + (k * yStep) / (yMinor + 1);
                dc.MoveToEx(p.left, yk);
                dc.LineTo(p.right, yk);
            }
        }
        if (!graph.leftAxis.visible && !graph.rightAxis.visible)
            continue;
        // The top label hangs below its line, the bottom one stands on it, the rest centre.
        std::int32_t anchor = y - hK / 2;
        unsigned vertical = TA_TOP;
        if (j == 0) {
            anchor = y - hK / 4;
        } else if (j == m) {
            anchor = y + hK / 4;
            vertical = TA_BOTTOM;
        }
        // Labels carry the digits that tell neighbouring lines apart, and show the value
        // of a snapped line exactly.
        if (graph.leftAxis.visible) {
            dc.SetTextAlign(TA_RIGHT | vertical);
            const CRect clip(g.left + hK / 2, anchor - hK, p.left - hK / 2, anchor + hK);
            dc.ExtTextOut(p.left - hK / 2, anchor, clip, CChartGraph::YLabel(graph.leftAxis, j, m));
        }
        if (graph.rightAxis.visible) {
            dc.SetTextAlign(TA_LEFT | vertical);
            const CRect clip(p.right + hK / 2, anchor - hK, g.right - hK / 2, anchor + hK);
            dc.ExtTextOut(p.right + hK / 2, anchor, clip,
                          CChartGraph::YLabel(graph.rightAxis, j, m));
        }
    }
}

// The vertical grid lines of plot p and the X labels under them.
void DrawXGrid(CDC& dc, const CChartGraph& graph, const CRect& p, const GridPens& pens)
{
    const std::int32_t hK = graph.tickFont.metrics.height;
    const std::int32_t n = std::max(graph.xMajorDivisions, 1);
    const std::int32_t xStep = (p.right - p.left) / n;
    const std::int32_t xMinor = std::max(graph.xMinorDivisions, 1);
    for (std::int32_t i = 0; i <= n; ++i) {
        const std::int32_t x = p.left + i * xStep;
        dc.SelectPen(pens.major);
        dc.MoveToEx(x, p.top);
        dc.LineTo(x, p.bottom);
        if (i < n) {
            dc.SelectPen(pens.minor);
            for (std::int32_t k = 1; k <= xMinor; ++k) {
                const std::int32_t xk = x + (k * xStep) / (xMinor + 1);
                dc.MoveToEx(xk, p.top);
                dc.LineTo(xk, p.bottom);
            }
        }
        if (!graph.xAxis.visible)
            continue;
        // The end labels stay inside the plot's width; the others centre on their line.
        unsigned horizontal = TA_CENTER;
        CRect clip(x - xStep / 2, p.bottom + hK / 2, x + xStep / 2, p.bottom + 2 * hK);
        if (i == 0) {
            horizontal = TA_LEFT;
            clip.left = x;
        } else if (i == n) {
            horizontal = TA_RIGHT;
            clip.right = x;
        }
        dc.SetTextAlign(horizontal | TA_TOP);
        dc.ExtTextOut(x, p.bottom + hK / 2, clip,
                      CChartGraph::FormatResolved(
                          graph.xAxis.labelFormat, graph.xAxis.TickValue(i, n),
                          (graph.xAxis.max - graph.xAxis.min) / n / kLabelDigitsPerStep));
    }
}

}  // namespace

void CChartGraph::DrawAxes(CDC& dc)
{
    if (!plotArea.visible)
        return;
    const CRect p = plotArea.rect;

    plotArea.Draw(dc);

    const bool printing = dc.IsPrinting();
    const GridPens pens = printing
        ? GridPens{CPen{plotArea.borderColor, 2}, CPen{majorGridColor, 2}}
        : GridPens{CPen{majorGridColor, 1}, CPen{minorGridColor, 1}};
    const CPen previousPen = dc.SelectPen(pens.major);
    const FontHandle previousFont = dc.SelectFont(titleFont.font);
    DrawAxisTitles(dc, *this, p);

    // Tick labels keep the text colour of the last axis title, on the graph's fill.
    dc.SelectFont(tickFont.font);
    dc.SetBkColor(graphArea.fillColor);
    DrawYGrid(dc, *this, p, pens);
    DrawXGrid(dc, *this, p, pens);

    dc.SelectPen(previousPen);
    dc.SelectFont(previousFont);
}

std::int32_t CChartGraph::PageScale(const CDC& dc)
{
    constexpr double kScreenDpi = 96.0;
    if (!dc.IsPrinting())
        return 1;
    const double ratio = dc.GetDeviceDpiY() / kScreenDpi;
    return ratio > 1.0 && ratio < 1000.0 ? static_cast<std::int32_t>(std::lround(ratio)) : 1;
}

void CChartGraph::DrawLogo(CDC& dc)
{
    if (!plotArea.visible)
        return;
    // Twice the screen size on paper at the least.
    const std::int32_t s = dc.IsPrinting() ? std::max<std::int32_t>(2, PageScale(dc)) : 1;
    const std::int32_t left = plotArea.rect.left + 2;
    const std::int32_t top = plotArea.rect.bottom - 12 * s - 1;
    dc.FillSolidRect(CRect(left, top, left + 17 * s, top + 12 * s), plotArea.fillColor);
    for (int r = 0; r < kLogoRows; ++r) {
        for (int c = 0; c < kLogoColumns; ++c) {
            if (kLogo[static_cast<std::size_t>(r)][c] != '#')
                continue;
            const std::int32_t x = left + 1 + c * s;
            const std::int32_t y = top + 1 + r * s;
            if (s == 1)
                dc.SetPixel(x, y, plotArea.borderColor);
            else
                dc.FillSolidRect(CRect(x, y, x + s, y + s), plotArea.borderColor);
        }
    }
}
