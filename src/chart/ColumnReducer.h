// Thins the samples of a trace, already in device pixels, to those that can change a pixel.
// A trace of many thousand samples covers only as many pixel columns as the plot is wide;
// drawing every sample makes the cost follow the data instead of the screen.
//
// Lines keep, of each run of samples in one pixel column, the first, the lowest, the highest
// and the last, in their order (the M4 aggregation of Jugel et al., VLDB 2014): the segments
// into and out of the column stay as they were and the vertical ones between them cover the
// same pixels. That is all a 1-pixel line shows. A wide pen also shows its corners: a line
// leaving and entering the column's ends keeps its direction (the sample that first leaves
// the first height and the one before the last height are kept too), and where it turns back
// inside the column it runs on past the turn. The turns that reach furthest, the lowest
// upward and the highest downward, are kept with their neighbours so that they stay turns;
// the others lie inside what these cover.
// Marks (points, circles) keep each distinct position of a column once.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/DC.h"

class CColumnReducer {
public:
    enum class Mode { Line, Marks };

    // A kept sample; startsRun marks the first one of a line (or of a part after a gap).
    struct Sample {
        CPoint point;
        bool startsRun = false;
    };

    explicit CColumnReducer(Mode mode);

    // Starts a new trace; the kept samples of the last one are dropped, the memory is kept.
    void Clear();
    // The next sample; x never decreases within a run.
    void Add(std::int32_t x, std::int32_t y)
    {
        // Most samples of a dense trace repeat the last one's pixel: it only moves on.
        if (open && x == columnX && y == last.y && mode == Mode::Line) {
            last.at = count++;
            return;
        }
        AddSample(x, y);
    }
    // A line's next sample on the pixel of the one before (the caller knows it is).
    void Repeat() { last.at = count++; }
    // A gap in the data: the next sample starts a new line. Marks have none to break.
    void Break();
    // The kept samples so far, in drawing order, with the last column completed.
    const std::vector<Sample>& Finish();

private:
    // A sample of the column: its order in the column and its Y.
    struct Pick {
        std::size_t at = 0;
        std::int32_t y = 0;
    };
    // A turn of the line inside the column, with the samples before and after it.
    struct Turn {
        bool found = false;
        Pick before;
        Pick at;
        Pick after;
    };

    void AddSample(std::int32_t x, std::int32_t y);
    void CloseColumn();
    void Emit(CPoint point);

    Mode mode;
    std::vector<Sample> kept;
    bool startRun = true;  // the next emitted sample starts a run

    // The column being gathered; a pick of order 0 is the first sample when nothing else fits.
    bool open = false;
    std::int32_t columnX = 0;
    std::size_t count = 0;  // samples seen in it
    Pick first;
    Pick second;  // the first sample at another height than the first
    Pick low;     // the first of the lowest and of the highest Y
    Pick high;
    Pick beforeLast;  // the sample before the last change of height
    Pick last;
    int direction = 0;             // of the last change of height: +1 to larger Y, -1 to smaller
    Turn peak;                     // the turn from larger to smaller Y at the largest Y
    Turn trough;                   // the turn from smaller to larger Y at the smallest Y
    std::vector<std::int32_t> ys;  // Marks: every Y of the column
};
