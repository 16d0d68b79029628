#include "data/Complex.h"

#include <cmath>

double CComplex::GetDb() const
{
    const double p = re * re + im * im;
    if (std::fabs(p - 1.0) < 0.00001)
        return 0.0;
    if (p < 1e-30)
        return -300.0;
    return 10.0 * std::log10(p);
}

CComplex ComplexFromPair(double a, double b, int format)
{
    const double pi = 4.0 * std::atan(1.0);
    switch (format) {
    case MA: return {a * std::cos(b * pi / 180.0), a * std::sin(b * pi / 180.0)};
    case DB: {
        const double m = std::pow(10.0, a / 20.0);
        return {m * std::cos(b * pi / 180.0), m * std::sin(b * pi / 180.0)};
    }
    default: return {a, b};
    }
}
