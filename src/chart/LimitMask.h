// A limit mask: straight upper and lower limit lines over frequency ranges, read from text,
// and the pass or fail of a graph's traces against them.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "chart/ChartTrace.h"

enum class LimitStatus {
    Pass,    // every judged value on the right side of the limit (or on it)
    Fail,    // some value beyond it
    NoData,  // no trace, or no value of the trace, within the segment's range
};

// One segment of one trace (or of no trace) against the mask.
struct LimitResult {
    std::size_t segment = 0;  // index into CLimitMask::segments
    int trace = -1;           // index into the traces judged; -1: no trace matches the segment
    LimitStatus status = LimitStatus::NoData;
    // The smallest margin (positive inside the limit, in the trace's unit) and its X; both 0
    // without data.
    double margin = 0.0;
    double x = 0.0;
    // The X stretches where the trace lies beyond the limit, ascending; a stretch ends where
    // the trace crosses the limit (interpolated) or the segment ends.
    std::vector<std::pair<double, double>> failing;
};

class CLimitMask {
public:
    // upper|lower F1 F2 V1 [V2] [ITEM]: a line from (F1, V1) to (F2, V2), flat without V2,
    // for the traces of one view item (S21:db, S11:phase, S21:delay, S11:vswr, Sdd21:db and
    // the other --view spellings) or for every trace.
    struct Segment {
        bool upper = true;  // the trace must stay at or below the line; else at or above it
        double f1 = 0.0;
        double f2 = 0.0;
        double v1 = 0.0;
        double v2 = 0.0;
        std::string
            item;      // "S21:db", "Sdd21:lin" (element lower-case after the S); empty: every trace
        int line = 0;  // line of the text it was read from, counting from 1

        // The limit at x, on the straight line through both ends (v1 for f1 == f2).
        double LimitAt(double x) const;
        // Positive when value is inside the limit at x.
        double MarginAt(double x, double value) const;
    };

    struct ParseError {
        int line = 0;  // counting from 1; 0 when the text as a whole is wrong
        std::string message;
    };

    // Reads the text: one segment a line, "!" starts a comment, blank lines are allowed,
    // words are separated by blanks or tabs, numbers have a decimal point whatever the
    // locale, keywords and items are read in any letter case. Every malformed line is
    // reported and left out; a text without any segment is an error too. True when
    // errors stayed empty. segments is replaced in any case.
    bool Parse(const std::string& text, std::vector<ParseError>& errors);

    // True when a trace of this name belongs to the item: names as the data layer builds
    // them, "S21[dB]", "S21[deg]" (phase), "S21[ns]" (delay), with or without a file
    // number "(2)". An empty item matches every trace; a renamed trace matches only that.
    static bool Matches(const std::string& item, const std::string& traceName);

    // Every segment against every trace it applies to, in segment order, then trace order.
    // A trace is judged at its values at both ends of the segment's range (cut to the
    // trace's X range) and at its stored samples between them. A segment that applies to
    // no trace gives one NoData result with trace -1.
    std::vector<LimitResult> Evaluate(const std::vector<CChartTrace>& traces) const;
    // True when results is not empty and every result passes.
    static bool AllPass(const std::vector<LimitResult>& results);

    bool Empty() const { return segments.empty(); }
    void Clear() { segments.clear(); }

    std::vector<Segment> segments;
};
