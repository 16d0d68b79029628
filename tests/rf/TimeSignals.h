// Closed-form responses the time-domain tests transform.
#pragma once

#include <cmath>
#include <complex>
#include <vector>

namespace TimeSignals {

using Cx = std::complex<double>;
const double pi = 3.14159265358979323846;

// first, first + step, ... (count frequencies), Hz.
inline std::vector<double> Grid(double first, double step, std::size_t count)
{
    std::vector<double> f(count);
    for (std::size_t i = 0; i < count; ++i)
        f[i] = first + step * static_cast<double>(i);
    return f;
}

// An echo of amplitude a after delayNs: a e^{-j w t}.
inline Cx Echo(double fHz, double a, double delayNs)
{
    return std::polar(a, -2.0 * pi * fHz * delayNs * 1e-9);
}

// S11 of a lossless line of zLine between ports of z0 whose round trip takes roundTripNs:
// rho (1 - e^{-2j b l}) / (1 - rho^2 e^{-2j b l}), rho = (zLine - z0) / (zLine + z0).
inline Cx LineReflection(double fHz, double zLine, double z0, double roundTripNs)
{
    const double rho = (zLine - z0) / (zLine + z0);
    const Cx e = Echo(fHz, 1.0, roundTripNs);
    return rho * (1.0 - e) / (1.0 - rho * rho * e);
}

template <class F>
std::vector<Cx> Sampled(const std::vector<double>& freqHz, F f)
{
    std::vector<Cx> s(freqHz.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = f(freqHz[i]);
    return s;
}

}  // namespace TimeSignals
