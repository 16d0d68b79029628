// What a reflection coefficient says about its port: the impedance and the standing-wave
// ratio. Shared by the traces, the Smith chart's readings and the command line's tables.
#pragma once

#include <complex>

// Z = z0 (1 + gamma) / (1 - gamma), ohms; NaN (both parts) for gamma = 1, an open end.
std::complex<double> ReflectionImpedance(std::complex<double> gamma, double z0);
// (1 + |gamma|) / (1 - |gamma|); infinite from |gamma| = 1 on, NaN for a NaN magnitude.
double StandingWaveRatio(double magnitude);
