// A complex number of two doubles, as the data set stores every matrix element.
#pragma once

#include <complex>
#include <cstddef>

class CComplex {
public:
    CComplex() = default;
    CComplex(double realPart, double imagPart) : re(realPart), im(imagPart) {}
    CComplex(const std::complex<double>& c)
        : re(c.real()), im(c.imag()) {}  // NOLINT: implicit on purpose

    std::complex<double> ToStd() const { return {re, im}; }

    // Magnitude in dB; -300 for zero, exactly 0 within 0.00001 of unit power.
    double GetDb() const;

    double re = 0.0;
    double im = 0.0;
};

// How a number pair of a data line is to be read.
enum DataFormat { RI = 0, MA = 1, DB = 2 };

// A complex value from a pair (a, b) of a data line; angles in degrees.
CComplex ComplexFromPair(double a, double b, int format);
// Whether ComplexFromPair(a, b, format) is finite, for finite a and b, without its
// trigonometry: a reader checks every pair as it comes and converts them all later.
bool PairIsFinite(double a, double b, int format);
// ComplexFromPair of every element's (re, im) as a pair, in place.
void ConvertPairs(CComplex* first, std::size_t count, int format);
