// The legend box under the plot (trace legend or marker value table) and the cursor read-out.
#include "chart/ChartGraph.h"

#include "chart/ComplexChart.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace {

const char* const kNoValue = "-";       // a marker outside a trace's data
const std::string kDelta = "\xCE\x94";  // UTF-8 Greek capital delta: a difference column
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
    std::int32_t y;  // below the first row
    int rows;
};

}  // namespace

std::vector<std::string> CChartGraph::MarkerColumn(
    std::size_t i, double xValue, const std::vector<const CChartTrace*>& rows) const
{
    if (const auto complex = CComplexChart::For(const_cast<CChartGraph&>(*this)))
        return complex->MarkerColumn(i, xValue, rows);
    // Markers off the X axis get no column (a NaN one neither).
    if (!(xValue >= xAxis.min && xValue <= xAxis.max))
        return std::vector<std::string>();
    const bool delta = referenceMarker;
    const double refX = markers[0];
    // With a reference every column after the first shows differences to it.
    const bool diff = delta && i > 1;
    std::vector<std::string> texts;
    texts.push_back(diff        ? kDelta + std::to_string(i)
                        : delta ? std::to_string(i) + kReference
                                : std::to_string(i));
    texts.push_back(FormatLabel(xAxis.labelFormat, diff ? Difference(xValue, refX) : xValue));
    for (const CChartTrace* trace : rows) {
        if (diff)
            texts.push_back(
                trace->Covers(xValue) && trace->Covers(refX) ? FormatLabel(
                    trace->numberFormat, Difference(trace->ValueAt(xValue), trace->ValueAt(refX)))
                                                             : std::string(kNoValue));
        else  // a value beyond the trace's data would be an extrapolation
            texts.push_back(trace->Covers(xValue)
                                ? FormatLabel(trace->numberFormat, trace->ValueAt(xValue))
                                : std::string(kNoValue));
    }
    return texts;
}

std::string CChartGraph::DroppedNote() const
{
    if (tracesOffered <= traces.size())
        return std::string();
    return std::to_string(traces.size()) + " of " + std::to_string(tracesOffered) + " traces shown";
}

std::vector<CChartGraph::LegendCell> CChartGraph::PlanLegend(const CRect& l, const TextWidth& width,
                                                             std::int32_t s, int& rows) const
{
    return markers.empty() ? PlanLegendEntries(l, width, s, rows)
                           : PlanMarkerTable(l, width, s, rows);
}

std::vector<CChartGraph::LegendCell> CChartGraph::PlanLegendEntries(const CRect& l,
                                                                    const TextWidth& width,
                                                                    std::int32_t s, int& rows) const
{
    const std::int32_t hL = legendFont.metrics.height;
    const std::int32_t aL = legendFont.metrics.aveCharWidth;
    const std::int32_t pitch = hL + 1;
    const std::string note = DroppedNote();
    std::vector<LegendCell> cells;
    rows = 0;

    // Entries flow in rows, as many as they need: left-axis traces from the left,
    // right-axis ones from the middle (left-axis ones use the whole width while no
    // right axis and no right-axis entry shows).
    const std::int32_t mid = (l.left + l.right) / 2;
    LegendColumn left{l.left + 14, l.left + 14, 0, 1};
    LegendColumn right{mid + 10, mid + 10, 0, 1};
    bool anyRight = false;
    for (const CChartTrace& trace : traces)
        anyRight = anyRight || (trace.inLegend && !trace.onLeftAxis);
    const bool split = rightAxis.visible || anyRight;
    const auto place = [&](LegendColumn& column, std::int32_t limit, std::int32_t entry) {
        if (column.x != column.start && column.x + entry >= limit) {
            ++column.rows;
            column.x = column.start;
            column.y += pitch;
        }
        const CPoint at{column.x, l.top + pitch / 4 + column.y};
        column.x += entry;
        return at;
    };
    for (const CChartTrace& trace : traces) {
        if (!trace.inLegend)
            continue;
        const std::int32_t entry = width(trace.name) + 2 * aL + 12 * s;
        LegendColumn& column = trace.onLeftAxis ? left : right;
        const std::int32_t limit = trace.onLeftAxis && split ? mid : l.right;
        const CPoint at = place(column, limit, entry);
        LegendCell cell;
        cell.swatch = CRect(at.x, at.y + pitch / 8, at.x + 6 * s, at.y + pitch / 8 + 6 * s);
        cell.at = CPoint{cell.swatch.left + 12 * s, cell.swatch.top - pitch / 4};
        cell.text = trace.name;
        cell.color = trace.color;
        cells.push_back(cell);
    }
    if (!note.empty()) {
        const CPoint at = place(left, split ? mid : l.right, width(note) + 2 * aL);
        LegendCell cell;
        cell.at = CPoint{at.x, at.y + pitch / 8 - pitch / 4};
        cell.text = note;
        cell.color = legendFont.color;
        cells.push_back(cell);
    }
    rows = std::max(left.rows, anyRight ? right.rows : 0);
    if (traces.empty() && note.empty())
        rows = 0;  // nothing to list: no box
    return cells;
}

std::vector<CChartGraph::LegendCell> CChartGraph::PlanMarkerTable(const CRect& l,
                                                                  const TextWidth& width,
                                                                  std::int32_t s, int& rows) const
{
    const std::int32_t hL = legendFont.metrics.height;
    const std::int32_t aL = legendFont.metrics.aveCharWidth;
    const std::int32_t pitch = hL + 1;
    const std::string note = DroppedNote();
    std::vector<LegendCell> cells;
    rows = 0;

    std::vector<const CChartTrace*> listed;
    for (const CChartTrace& trace : traces)
        if (trace.inLegend)
            listed.push_back(&trace);
    // Every marker column's texts: number, X, one value per listed trace.
    std::vector<std::vector<std::string>> columns;
    for (std::size_t i = 1; i <= markers.size(); ++i) {
        std::vector<std::string> texts = MarkerColumn(i, markers[i - 1], listed);
        if (texts.empty())
            continue;
        texts.resize(listed.size() + 2);
        columns.push_back(std::move(texts));
    }
    const int noteRows = note.empty() ? 0 : 1;

    // More traces than the box has rows for go into tables side by side, as many as it
    // takes while they fit the width: every listed trace keeps its row.
    const int roomRows = LegendRowsIn(l.Height());
    const std::size_t n = listed.size();
    for (std::size_t blocks = 2; n > 1 && static_cast<int>(n) + 2 + noteRows > roomRows
                                 && blocks <= n;
         ++blocks) {
        std::vector<LegendCell> side;
        if (!PlanMarkerBlocks(l, width, s, listed, columns, blocks, side))
            break;
        cells = std::move(side);
        rows = static_cast<int>((n + blocks - 1) / blocks) + 2;
        if (rows + noteRows <= roomRows)
            break;
    }

    if (rows == 0) {
        // One table: a header column, then one column per marker; columns that do not fit
        // go on in a further band below, under the header column again.
        std::vector<std::string> header = {"Marker", xShortTitle};
        std::int32_t headerWidth = std::max({12 * aL, width(header[0]), width(header[1])});
        for (const CChartTrace* trace : listed) {
            header.push_back(trace->name);
            headerWidth = std::max(headerWidth, 10 * s + width(trace->name));
        }
        const int bandRows = static_cast<int>(listed.size()) + 2;
        int bands = 0;
        std::int32_t x = l.left + 10;
        const auto column = [&](const std::vector<std::string>& texts, std::int32_t w,
                                bool isHeader) {
            AddTableColumn(texts, listed, x, l.top + 4 + (bands - 1) * bandRows * pitch, w,
                           isHeader, s, cells);
            x += w + aL;
        };
        const auto startBand = [&] {
            ++bands;
            x = l.left + 10;
            column(header, headerWidth, true);
        };
        startBand();
        bool bandHasMarkers = false;
        for (const std::vector<std::string>& texts : columns) {
            // A marker column is as wide as its widest text, so no number is ever cut.
            std::int32_t w = 8 * aL;
            for (const std::string& text : texts)
                w = std::max(w, width(text));
            if (bandHasMarkers && x + w >= l.right)
                startBand();
            column(texts, w, false);
            bandHasMarkers = true;
        }
        rows = bands * bandRows;
    }
    if (!note.empty()) {
        LegendCell cell;
        cell.clip =
            CRect(l.left + 10, l.top + 4 + rows * pitch, l.right, l.top + 4 + (rows + 1) * pitch);
        cell.at = CPoint{cell.clip.left, cell.clip.top};
        cell.text = note;
        cell.color = legendFont.color;
        cells.push_back(cell);
        ++rows;
    }
    if (listed.empty() && note.empty())
        rows = 0;  // a table of no trace takes no room (its box is not shown)
    return cells;
}

bool CChartGraph::PlanMarkerBlocks(const CRect& l, const TextWidth& width, std::int32_t s,
                                   const std::vector<const CChartTrace*>& listed,
                                   const std::vector<std::vector<std::string>>& columns,
                                   std::size_t blocks, std::vector<LegendCell>& cells) const
{
    const std::int32_t aL = legendFont.metrics.aveCharWidth;
    const std::size_t per = (listed.size() + blocks - 1) / blocks;
    std::int32_t x = l.left + 10;
    for (std::size_t first = 0; first < listed.size(); first += per) {
        const std::size_t last = std::min(listed.size(), first + per);
        const std::vector<const CChartTrace*> part(listed.begin() + first, listed.begin() + last);
        // The block's rows of a column: number, X, then its own traces.
        const auto rowsOf = [&](const std::vector<std::string>& texts) {
            std::vector<std::string> kept = {texts[0], texts[1]};
            kept.insert(kept.end(), texts.begin() + 2 + first, texts.begin() + 2 + last);
            return kept;
        };
        std::vector<std::string> header = {"Marker", xShortTitle};
        std::int32_t w = std::max({12 * aL, width(header[0]), width(header[1])});
        for (const CChartTrace* trace : part) {
            header.push_back(trace->name);
            w = std::max(w, 10 * s + width(trace->name));
        }
        AddTableColumn(header, part, x, l.top + 4, w, true, s, cells);
        x += w + aL;
        for (const std::vector<std::string>& texts : columns) {
            const std::vector<std::string> kept = rowsOf(texts);
            std::int32_t cw = 8 * aL;
            for (const std::string& text : kept)
                cw = std::max(cw, width(text));
            AddTableColumn(kept, part, x, l.top + 4, cw, false, s, cells);
            x += cw + aL;
        }
        x += 2 * aL;  // a gap between the tables
        if (x - 3 * aL >= l.right)
            return false;
    }
    return true;
}

void CChartGraph::AddTableColumn(const std::vector<std::string>& texts,
                                 const std::vector<const CChartTrace*>& listed, std::int32_t x,
                                 std::int32_t y0, std::int32_t w, bool isHeader, std::int32_t s,
                                 std::vector<LegendCell>& cells) const
{
    const std::int32_t pitch = legendFont.metrics.height + 1;
    for (std::size_t r = 0; r < texts.size(); ++r) {
        LegendCell cell;
        cell.clip = CRect(x, y0 + static_cast<std::int32_t>(r) * pitch, x + w,
                          y0 + static_cast<std::int32_t>(r + 1) * pitch);
        cell.at = CPoint{cell.clip.left, cell.clip.top};
        cell.text = texts[r];
        cell.color = r == 0 ? legendFont.color
            : r == 1        ? axisTitleFont.color
                            : listed[r - 2]->color;
        if (isHeader && r >= 2) {
            const std::int32_t top = (cell.clip.top + cell.clip.bottom) / 2 - 3 * s;
            cell.swatch = CRect(cell.clip.left, top, cell.clip.left + 6 * s, top + 6 * s);
            cell.clip.left += 10 * s;
            cell.at.x = cell.clip.left;
        }
        cells.push_back(cell);
    }
}

void CChartGraph::DrawLegend(CDC& dc)
{
    if (!legendArea.visible || !showMarkers)
        return;
    const CRect l = legendArea.rect;
    dc.SetClipRect(l);
    legendArea.Draw(dc);
    dc.SetBkColor(legendArea.fillColor);
    const FontHandle previousFont = dc.SelectFont(legendFont.font);
    dc.SetTextAlign(TA_LEFT | TA_TOP);

    int rows = 0;
    const std::vector<LegendCell> cells = PlanLegend(
        l, [&dc](const std::string& text) { return dc.GetTextExtent(text).cx; }, PageScale(dc),
        rows);
    for (const LegendCell& cell : cells) {
        if (cell.swatch.Width() > 0)
            dc.FillSolidRect(cell.swatch, cell.color);
        dc.SetTextColor(cell.color);
        dc.SetBkColor(legendArea.fillColor);
        if (cell.clip.Width() > 0)
            dc.ExtTextOut(cell.at.x, cell.at.y, cell.clip, cell.text);
        else
            dc.TextOut(cell.at.x, cell.at.y, cell.text);
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
        text += "YL= "
            + FormatResolved(leftAxis.labelFormat, leftAxis.ValueAt(fy),
                             yPixel * (leftAxis.max - leftAxis.min))
            + "\n";
    if (rightAxis.visible)
        text += "YR= "
            + FormatResolved(rightAxis.labelFormat, rightAxis.ValueAt(fy),
                             yPixel * (rightAxis.max - rightAxis.min))
            + "\n";
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
