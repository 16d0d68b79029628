// Discrete Fourier transforms on FFTW. Every length and kind is planned once (FFTW_ESTIMATE)
// and the plan kept for the next call; planning is serialised, so the transforms may run on
// several threads at once. Lengths with a prime factor above 100 are done by Bluestein's
// convolution on fast lengths, which FFTW's own way for them is several times slower than.
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace Fft {

// The longest transform any caller may ask for; the time-domain code refuses grids beyond it.
constexpr std::size_t MAX_LENGTH = std::size_t{1} << 22;

// Inverse real transform of length n, with its 1/n:
//   out[m] = (1/n) sum_{k=0}^{n-1} X_k e^{+2 pi j k m / n},  m = 0 .. n-1,
// X_k = spectrum[k] for k <= n/2 (spectrum holds n/2 + 1 bins) and X_{n-k} = conj(X_k). The
// imaginary parts of X_0 and, for even n, of X_{n/2} do not count. 1 <= n <= MAX_LENGTH.
void InverseReal(const std::vector<std::complex<double>>& spectrum, std::size_t n,
                 std::vector<double>& out);
// Inverse complex transform of length in.size(), with its 1/n:
//   out[m] = (1/n) sum_k in[k] e^{+2 pi j k m / n}.
void Inverse(const std::vector<std::complex<double>>& in, std::vector<std::complex<double>>& out);
// Forward complex transform, unscaled: out[k] = sum_m in[m] e^{-2 pi j k m / n}.
void Forward(const std::vector<std::complex<double>>& in, std::vector<std::complex<double>>& out);
// The smallest length of at least n whose prime factors are all 2, 3, 5 or 7: the lengths
// FFTW transforms fastest, for zero-padding.
std::size_t FastLength(std::size_t n);

}  // namespace Fft
