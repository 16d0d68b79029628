// Version 2 values in ohms or siemens become the normalised values version 1 files hold,
// so that a value and its normalised twin come out the same to the last bit.
#pragma once

#include "data/Complex.h"

#include <vector>

namespace Version2Values {
// How a Z, Y, H or G value of element (row, col), 0-based, becomes the normalised value
// that version 1 files hold (v = V / sqrt(R), i = I sqrt(R) at each port): the factor,
// and whether the value is divided by it (else multiplied); r the ports' references.
double NormalisingFactor(int kind, int row, int col, const std::vector<double>& r, bool& divide);
// The pair (a, b) of the given format scaled by f (or 1 / f) before it becomes complex.
CComplex ScaledPair(double a, double b, int format, double f, bool divide);
// The other way, for a writer: the pair in ohms or siemens that ScaledPair takes back to the
// value of the normalised pair (a, b), in place. RI parts come back to the last bit where a
// double does so, MA and DB to rounding.
void UnscalePair(double& a, double& b, int format, double f, bool divide);
}  // namespace Version2Values
