// One axis of a graph: its range, orientation, title and tick-label format.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/DC.h"

class CChartAxis {
public:
    CChartAxis() : CChartAxis(0.0, 1.0, "") {}
    CChartAxis(double lo, double hi, const std::string& axisTitle);
    CChartAxis(const CChartAxis&) = default;
    CChartAxis& operator=(const CChartAxis&) = default;
    virtual ~CChartAxis() = default;

    // The range rule every change of a range goes through: min = lo (0 when negatives are
    // not allowed and lo <= 0); max = hi when hi > lo (the lo given), else lo + 1.
    void SetRange(double lo, double hi);
    // Title, range and orientation at once; also shows the axis.
    void SetUp(const std::string& axisTitle, double lo, double hi, bool reversedFlag);
    // --- Zoom and pan: each leaves a range whose division step (span / divisions) is 1, 2,
    // 2.5 or 5 x 10^k and whose minimum is a multiple of a fifth (a drag: a tenth) of that
    // step, so the labels stay short. ---

    // Scales the span about the value at a fraction of the axis (measured as ValueAt does,
    // not clamped) by about factor: to the next such step below the current one (factor
    // < 1) or above it (factor > 1), further when factor asks for it.
    void ZoomAtFraction(double fraction, double factor, std::int32_t divisions);
    // lo..hi (either order) with the nearest such step.
    void FitSnapped(double lo, double hi, std::int32_t divisions);
    // Moves the range by shift.
    void ShiftSnapped(double shift, std::int32_t divisions);

    // The value at a fraction of the axis length (clamped to [0, 1]), measured from min,
    // or from max when reversed.
    // Inline: the trace drawing asks it once per sample.
    double ValueAt(double fraction) const
    {
        const double f = std::clamp(fraction, 0.0, 1.0);
        return reversed ? max - f * (max - min) : min + f * (max - min);
    }
    // The value of grid line j of m divisions, for its label. A line that should be zero
    // comes out of min + j / m * span as a few ulps of the range (2.8e-17 for -0.1..0.5);
    // within that round-off it is 0.
    double TickValue(std::int32_t j, std::int32_t m) const;

    bool visible = true;
    bool reversed = false;      // fraction 0 maps to max
    bool allowNegative = true;  // when clear, a minimum of zero or below is stored as 0
    // Not a dB axis: auto scale keeps every value in view (no dB caps), in multiples of ten.
    bool fitsAllValues = false;
    // With fitsAllValues: whole steps of 1, 2, 2.5 or 5 x 10^k of the values' own size
    // instead (linear magnitude, real and imaginary parts, VSWR, R, X, |Z|), one grid
    // division a step.
    bool niceSteps = false;
    // With niceSteps: a range the axis shows whole while the values lie within it (0..1 for
    // |S|, -1..1 for its real and imaginary parts); keepLow < keepHigh when there is one.
    double keepLow = 0.0;
    double keepHigh = 0.0;
    double min = 0.0;
    double max = 1.0;
    std::string title;
    std::string labelFormat = "%.5g";  // printf format of the tick labels
    COLORREF color = Rgb(0, 0, 0);     // colour of the title

private:
    // The minimum the zooms and drags since the range was last set otherwise would have
    // reached without snapping: they go on from there, so a drag of single pixels moves
    // and the value under the wheel stays put. `min` when the range has changed since.
    double HeldMin() const;
    // min = raw snapped to parts of step, n steps wide; raw held for the next gesture.
    void SetSnapped(double raw, double step, double parts, double n);

    double heldMin = 0.0;
    double heldFor[2] = {0.0, 0.0};  // the range heldMin belongs to
};
