#include "data/Version2Values.h"

#include "data/S2pData.h"

#include <cmath>
#include <limits>

namespace Version2Values {

// How a version 2 Z, Y, H or G value of element (row, col), 0-based, becomes the
// normalised value that version 1 files hold: v = V / sqrt(R), i = I sqrt(R) at each port.
double NormalisingFactor(int kind, int row, int col, const std::vector<double>& r, bool& divide)
{
    const double ri = r[static_cast<std::size_t>(row)];
    const double rj = r[static_cast<std::size_t>(col)];
    divide = false;
    switch (kind) {
    case CS2pData::Z: divide = true; return std::sqrt(ri * rj);
    case CS2pData::Y: return std::sqrt(ri * rj);
    case CS2pData::H:
        if (row == 0 && col == 0) {
            divide = true;
            return ri;
        }
        if (row == 1 && col == 1)
            return ri;
        return std::sqrt(r[1] / r[0]);
    case CS2pData::G:
        if (row == 0 && col == 0)
            return ri;
        if (row == 1 && col == 1) {
            divide = true;
            return ri;
        }
        return std::sqrt(r[0] / r[1]);
    default: return 1.0;
    }
}

// The pair (a, b) scaled by f (or 1 / f) before it becomes complex, so that a value in
// ohms and its normalised twin in a version 1 file come out the same to the last bit.
CComplex ScaledPair(double a, double b, int format, double f, bool divide)
{
    const auto scale = [&](double v) { return divide ? v / f : v * f; };
    switch (format) {
    case RI: return ComplexFromPair(scale(a), scale(b), format);
    case DB: return ComplexFromPair(a + 20.0 * std::log10(divide ? 1.0 / f : f), b, format);
    default: return ComplexFromPair(scale(a), b, format);
    }
}

namespace {

// The x whose scaling (x / f, or x * f) is v: the plain inverse, or where its rounding misses
// v, one of its nearest neighbours that hits it.
double Unscaled(double v, double f, bool divide)
{
    const auto scale = [&](double x) { return divide ? x / f : x * f; };
    const double x = divide ? v * f : v / f;
    if (!std::isfinite(x) || scale(x) == v)
        return x;
    const double inf = std::numeric_limits<double>::infinity();
    double up = x;
    double down = x;
    for (int k = 0; k < 4; ++k) {
        up = std::nextafter(up, inf);
        down = std::nextafter(down, -inf);
        if (scale(up) == v)
            return up;
        if (scale(down) == v)
            return down;
    }
    return x;
}

}  // namespace

void UnscalePair(double& a, double& b, int format, double f, bool divide)
{
    switch (format) {
    case RI:
        a = Unscaled(a, f, divide);
        b = Unscaled(b, f, divide);
        return;
    case DB: a -= 20.0 * std::log10(divide ? 1.0 / f : f); return;
    default: a = Unscaled(a, f, divide); return;
    }
}

}  // namespace Version2Values
