// The chart shown before any file is loaded: the ideal response of an 11th-order
// Chebyshev band-pass filter (0.01 dB ripple, 90..110 band edges), computed at start.
#pragma once

#include <vector>

class CChartSheet;

class CExampleResponse {
public:
    static constexpr int ORDER = 11;
    static constexpr int POINTS = 201;  // samples i = 0..200
    static constexpr double F_LOW = 80.0;
    static constexpr double F_HIGH = 120.0;

    // Computes both value lists.
    CExampleResponse();

    // Frequency of sample i (no unit): 80 to 120 in steps of 0.2.
    static double Frequency(int i);
    // Transmitted power fraction g at a frequency.
    static double PowerTransmission(double f);

    // Replaces the sheet's graphs by one graph holding the traces "S21" (left axis) and
    // "S11" (right axis), titled as the example.
    void Assemble(CChartSheet& sheet) const;

    std::vector<double> s21;  // dB, 10 log10(g)
    std::vector<double> s11;  // dB, 10 log10(1 - g)
};
