// Time gating: keep (or, as a notch, remove) one span of an element's band-pass response and
// take what is left back to the frequencies it came from.
//
// The gate weighs the response 1 from startNs to stopNs and falls to 0 outside them over an edge
// of raised cosine, so a reflection inside the span passes whole. The edge is a number of time
// resolutions dt = 1 / (f_last - f_first): min 1, normal 2, wide 4, max 8 (a wider edge rings
// less in frequency, a narrower one lets less of a neighbouring echo in). A notch weighs 1 - that.
//
// Gating S(f_i), i = 0 .. M-1 (uniform; any other grid is resampled to M uniform points first and
// the result interpolated back, |S| and unwrapped phase linearly):
//   X_k = W_k S_k, zero-padded to P >= 2M (Fft::FastLength) for a finer time grid;
//   h = ifft(X), h_n *= gate(t_n), t_n = n' / (P df) with n' = n or n - P, whichever is nearer 0;
//   S'_k = fft(h)_k / W_k.
// The times are those of the band-pass response, -1/(2 df) to 1/(2 df); a gate beyond them holds
// nothing of it.
// W is the window's symmetric shape of M + 2 points without its two ends, so that no weight is
// zero and every frequency can be divided back. When the span holds an echo's whole main lobe
// (about +-2.2 dt with the normal window) and the other echoes lie beyond the edges, the middle
// of the band matches what the gate holds within a few hundredths of a dB; the band's ends carry
// the division by the window's small end weights. A rectangular window rings across any gate
// (sidelobes of -13 dB) and misses by tenths of a dB: gate with the normal window or a stronger.
#pragma once

#include "data/S2pData.h"
#include "rf/TimeWindow.h"

#include <complex>
#include <string>
#include <string_view>
#include <vector>

struct TimeGate {
    enum class Shape { MIN, NORMAL, WIDE, MAX };
    double startNs = 0.0;
    double stopNs = 0.0;
    Shape shape = Shape::NORMAL;
    bool notch = false;  // remove the span instead of keeping it

    // "T1,T2" or "T1,T2,notch" (notch in any letter case), ns, T1 < T2 both finite; sets the
    // span and notch, leaves the shape. False, gate untouched, for anything else.
    static bool Parse(std::string_view text, TimeGate& gate);
    // "min", "normal", "wide" or "max" in any letter case.
    static bool ParseShape(std::string_view text, Shape& shape);
    static std::string ShapeName(Shape shape);
    // Width of one edge in time resolutions: 1, 2, 4 or 8.
    static double EdgeResolutions(Shape shape);

    // The weight at tNs for edges edgeNs wide (0: a sharp gate).
    double Weight(double tNs, double edgeNs) const;
};

// Gates one element given at ascending frequencies (Hz); gated receives one value per
// frequency. False, with why, for what a band-pass transform refuses (BandPassSamples).
bool GateSeries(const std::vector<double>& freqHz, const std::vector<std::complex<double>>& samples,
                const TimeGate& gate, const TimeWindow& window,
                std::vector<std::complex<double>>& gated, std::string& why);

// A copy of data with every element gated. Z, Y, H and G files are converted to S first and the
// copy's paramKind is S, so every format and every mixed-mode element (linear in the elements at
// each frequency) can be built from it with BuildTrace. False, with why, copy unspecified, when
// an element cannot be gated.
bool GatedCopy(const CS2pData& data, const TimeGate& gate, const TimeWindow& window, CS2pData& copy,
               std::string& why);
