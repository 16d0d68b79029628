#include "chart/Reflection.h"

#include <cmath>
#include <limits>

std::complex<double> ReflectionImpedance(std::complex<double> gamma, double z0)
{
    const std::complex<double> den = 1.0 - gamma;
    if (den == 0.0) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan};
    }
    return z0 * (1.0 + gamma) / den;
}

double StandingWaveRatio(double magnitude)
{
    if (std::isnan(magnitude))
        return magnitude;
    return magnitude < 1.0 ? (1.0 + magnitude) / (1.0 - magnitude)
                           : std::numeric_limits<double>::infinity();
}
