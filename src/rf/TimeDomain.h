// Time-domain responses of one element S(f) of a file: the low-pass impulse, step and impedance
// profile, and the band-pass impulse. Frequencies are in Hz, times in ns.
//
// Low-pass (IMPULSE, STEP, TDR) works on the harmonic grid f_k = k df, k = 0 .. L-1, from DC:
//   df = (f_last - f_first) / (M - 1) for M frequencies. A uniform grid whose f_first is a whole
//   multiple of df (within 1e-6 df) is on it already; the points below f_first are filled by
//   extrapolating |S| (not below 0) and the unwrapped phase linearly from the first two points.
//   Any other grid is resampled to f_k = k df', df' = f_last / K, K = round(f_last / df), by
//   linear interpolation of |S| and the unwrapped phase, then filled the same way (`resampled`).
//   The DC value is made real: its magnitude with the sign of the cosine of its phase.
//   N = 2L - 1, h = fftshift(irfft(W S, N)) with the 1/N of the inverse transform, and
//   t_k = (k - (N-1)/2) / (N df), k = 0 .. N-1; W is TimeWindow::RightHalf(L).
//   STEP: the running trapezoid sum of h, 0 at the first sample (so it ends near S(DC)).
//   TDR: Z = z0 (1 + rho) / (1 - rho) with rho the step, |rho| clamped to 0.999, in ohms.
// Band-pass (BANDPASS) works on the file's own band, no DC: N = M, h = fftshift(ifft(W S)) with
//   its 1/N, t_k = (k - floor(N/2)) / (N df), shown as |h|; W is TimeWindow::Symmetric(M). A
//   non-uniform grid is first resampled to M uniform points (`resampled`).
// Times are as the element sees them: a reflection's echo stands at its round trip.
#pragma once

#include "rf/TimeWindow.h"

#include <complex>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class TimeMode { IMPULSE, STEP, BANDPASS, TDR };

// A response on a uniform time grid.
struct TimeResponse {
    double firstNs = 0.0;        // time of values[0]
    double stepNs = 0.0;         // time from one value to the next
    std::vector<double> values;  // impulse and step: per unit; band-pass: |h|; TDR: ohms
    bool resampled = false;      // the frequencies were interpolated onto another grid first

    double TimeAt(std::size_t i) const { return firstNs + stepNs * static_cast<double>(i); }
};

// An element's samples at f_k = firstHz + k stepHz, k = 0 .. values.size() - 1.
struct UniformSamples {
    double firstHz = 0.0;
    double stepHz = 0.0;
    std::vector<std::complex<double>> values;
    bool resampled = false;  // interpolated, not the file's own points
};

// The low-pass grid from DC (firstHz = 0) as described above. False, with why, for fewer than
// two frequencies, frequencies that are negative, not finite, not ascending or span nothing,
// samples that are not finite, and grids whose transform would exceed Fft::MAX_LENGTH points.
bool LowPassSamples(const std::vector<double>& freqHz,
                    const std::vector<std::complex<double>>& samples, UniformSamples& grid,
                    std::string& why);
// The band-pass grid: the file's points when uniform (within 1e-6 of a step), else M points
// from f_first to f_last interpolated as above. False, with why, as LowPassSamples.
bool BandPassSamples(const std::vector<double>& freqHz,
                     const std::vector<std::complex<double>>& samples, UniformSamples& grid,
                     std::string& why);

// The element at the ascending frequencies `at` (Hz): |S| and the unwrapped phase interpolated
// linearly, extrapolated linearly below the first frequency (|S| not below 0), held beyond the
// last. freqHz ascending with a positive span, as many as samples.
std::vector<std::complex<double>> InterpolatePolar(const std::vector<double>& freqHz,
                                                   const std::vector<std::complex<double>>& samples,
                                                   const std::vector<double>& at);

// The power of two that brings the largest real or imaginary part of samples to [0.5, 1) when
// divided out (0 when all are zero or one is not finite); Scaled multiplies by 2^exponent.
int TransformScale(const std::vector<std::complex<double>>& samples);
std::vector<std::complex<double>> Scaled(const std::vector<std::complex<double>>& samples,
                                         int exponent);

// The response of one element in a mode; z0 (ohms, finite and positive) serves TDR only. False,
// with why, for what the grids refuse, for a bad z0 in TDR and for a response too large to be
// finite (the transform itself works on scaled values). Every value is finite.
bool TimeTransform(const std::vector<double>& freqHz,
                   const std::vector<std::complex<double>>& samples, TimeMode mode,
                   const TimeWindow& window, double z0, TimeResponse& response, std::string& why);

// "T1,T2" in ns, both finite and T1 < T2 (blanks around the numbers allowed); false otherwise.
bool ParseTimeRange(std::string_view text, double& fromNs, double& toNs);
