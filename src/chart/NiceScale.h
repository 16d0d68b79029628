// Rounding of axis limits to a ladder of nice values, and the integer truncation the
// scaling works in.
#pragma once

#include <cstdint>

// The next ladder value at or below x; the rungs below zero are the negated ladder values.
// Rounding away from zero stops at -10000000; a value beyond the ladder rounding toward zero,
// and a NaN, is returned unchanged.
double NiceFloor(double x);
// The next ladder value at or above x; mirror image of NiceFloor.
double NiceCeil(double x);

// The division steps of a readable axis: 1, 2, 2.5 and 5 times a power of ten. The
// smallest of them at or above x, and the ones strictly above and below a step (nice or
// not); 1 for an x that is not a positive finite number.
double NiceStepAtLeast(double x);
double NextNiceStep(double step);
double PreviousNiceStep(double step);

// A range of whole nice steps around lo..hi.
struct NiceRange {
    double min = 0.0;
    double max = 1.0;
    int divisions = 1;
};
// The finest nice step that covers lo..hi in at most maxDivisions whole steps, the range
// starting and ending on multiples of it. An empty or reversed lo..hi is widened first.
NiceRange FitNiceRange(double lo, double hi, int maxDivisions);
// Exactly `divisions` whole steps from a multiple of the step that cover lo..hi, with the
// finest nice step that does it: an axis that shares a grid of that many divisions.
NiceRange FitNiceRangeTo(double lo, double hi, int divisions);

// v truncated toward zero to a 32-bit integer, saturating at the int32 limits; NaN gives 0.
// A plain cast of a double outside that range is undefined behaviour.
std::int32_t TruncInt32(double v);
// A 64-bit integer clamped to the int32 range.
std::int32_t ClampInt32(std::int64_t v);
