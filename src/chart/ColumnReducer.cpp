#include "chart/ColumnReducer.h"

#include <algorithm>
#include <iterator>

CColumnReducer::CColumnReducer(Mode reducerMode) : mode(reducerMode) {}

void CColumnReducer::Clear()
{
    kept.clear();
    ys.clear();
    open = false;
    startRun = true;
}

void CColumnReducer::AddSample(std::int32_t x, std::int32_t y)
{
    if (!open || x != columnX) {
        CloseColumn();
        open = true;
        columnX = x;
        if (mode == Mode::Marks) {
            ys.push_back(y);
            return;
        }
        count = 1;
        first = second = low = high = beforeLast = last = Pick{0, y};
        direction = 0;
        peak = trough = Turn{};
        return;
    }
    if (mode == Mode::Marks) {
        ys.push_back(y);
        return;
    }
    const Pick sample{count++, y};
    // Strict comparisons keep the first of equal extremes: that keeps the pixel the run
    // ends on covered exactly when it was covered before its end.
    if (y < low.y)
        low = sample;
    if (y > high.y)
        high = sample;
    if (y != first.y && second.at == 0)
        second = sample;
    if (y != last.y) {
        const int now = y > last.y ? 1 : -1;
        if (direction > 0 && now < 0 && (!peak.found || last.y > peak.at.y))
            peak = Turn{true, beforeLast, last, sample};
        if (direction < 0 && now > 0 && (!trough.found || last.y < trough.at.y))
            trough = Turn{true, beforeLast, last, sample};
        direction = now;
        beforeLast = last;
    }
    last = sample;
}

void CColumnReducer::Break()
{
    if (mode == Mode::Marks)
        return;  // the column goes on: its positions stay distinct across the gap
    CloseColumn();
    startRun = true;
}

const std::vector<CColumnReducer::Sample>& CColumnReducer::Finish()
{
    CloseColumn();
    return kept;
}

void CColumnReducer::CloseColumn()
{
    if (!open)
        return;
    open = false;
    if (mode == Mode::Marks) {
        std::sort(ys.begin(), ys.end());
        ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
        for (std::int32_t y : ys)
            kept.push_back(Sample{CPoint{columnX, y}, false});
        ys.clear();
        return;
    }
    // Where the line turns back at its highest or lowest point inside the column, that turn
    // reaches furthest and the other turns add nothing.
    // A turn not kept stands in as the first sample.
    if (!peak.found || (high.at > 0 && last.y < high.y))
        peak = Turn{false, first, first, first};
    if (!trough.found || (low.at > 0 && last.y > low.y))
        trough = Turn{false, first, first, first};
    Pick picks[12] = {first,      second,        low,       high,         peak.before, peak.at,
                      peak.after, trough.before, trough.at, trough.after, beforeLast,  last};
    // Picks of one order are one sample, so their order among themselves does not matter.
    std::sort(std::begin(picks), std::end(picks),
              [](const Pick& a, const Pick& b) { return a.at < b.at; });
    std::size_t n = 0;
    for (std::size_t i = 0; i < std::size(picks); ++i) {
        if (i == 0 || picks[i].at != picks[n - 1].at)
            picks[n++] = picks[i];
    }
    // Inside the column a pick at the height before it, or on the way from there to the
    // next, adds no corner: the line runs on straight through it.
    std::int32_t previous = picks[0].y;
    Emit(CPoint{columnX, previous});
    for (std::size_t i = 1; i < n; ++i) {
        const std::int32_t y = picks[i].y;
        if (i + 1 < n) {
            const std::int32_t next = picks[i + 1].y;
            if (y == previous || (previous < y && y < next) || (previous > y && y > next))
                continue;
        }
        Emit(CPoint{columnX, y});
        previous = y;
    }
}

void CColumnReducer::Emit(CPoint point)
{
    kept.push_back(Sample{point, startRun});
    startRun = false;
}
