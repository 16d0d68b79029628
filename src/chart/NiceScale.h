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

// v truncated toward zero to a 32-bit integer, saturating at the int32 limits; NaN gives 0.
// A plain cast of a double outside that range is undefined behaviour.
std::int32_t TruncInt32(double v);
// A 64-bit integer clamped to the int32 range.
std::int32_t ClampInt32(std::int64_t v);
