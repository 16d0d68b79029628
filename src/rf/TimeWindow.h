// The frequency windows of the time-domain transforms: rectangular, Hann and Kaiser, with the
// presets analysers offer (min = Kaiser 0, normal = Kaiser 6, max = Kaiser 13).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct TimeWindow {
    enum class Kind { RECT, HANN, KAISER };
    Kind kind = Kind::KAISER;
    double beta = 6.0;  // Kaiser only

    // "rect", "hann", "kaiser:B" (B finite, 0..100), "min", "normal", "max" in any letter
    // case; false for anything else.
    static bool Parse(std::string_view text, TimeWindow& window);
    // The spelling Parse takes back: "rect", "hann" or "kaiser:6".
    std::string Spelling() const;

    // The symmetric window of `points` samples, 1 at its middle (every sample 1 for one point).
    std::vector<double> Symmetric(std::size_t points) const;
    // The right half, from its peak, of the symmetric window of 2 * points - 1 samples: the
    // weights of the frequencies from DC of a low-pass transform.
    std::vector<double> RightHalf(std::size_t points) const;

private:
    // Samples from..points-1 of the symmetric window of `points` samples.
    std::vector<double> Samples(std::size_t points, std::size_t from) const;
};
