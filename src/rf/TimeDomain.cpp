#include "rf/TimeDomain.h"

#include "platform/NumberParse.h"
#include "rf/Fft.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>

namespace {

using Cx = std::complex<double>;

const double pi = 3.14159265358979323846;
// How far a frequency may stand from its grid point, in steps, and still count as on it.
const double GRID_TOLERANCE = 1e-6;
const double MAX_REFLECTION = 0.999;
// Windows up to this many weights (2 MB) are kept for the next transform.
const std::size_t KEPT_WEIGHTS = std::size_t{1} << 18;

std::string Hz(double f)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9g Hz", f);
    return text;
}

// What every transform needs of its input; false with why.
bool CheckInput(const std::vector<double>& freqHz, const std::vector<Cx>& samples, std::string& why)
{
    if (freqHz.size() != samples.size()) {
        why = "the element has not one value per frequency";
        return false;
    }
    if (freqHz.size() < 2) {
        why = "a time-domain response needs at least two frequencies";
        return false;
    }
    for (std::size_t i = 0; i < freqHz.size(); ++i) {
        if (!std::isfinite(freqHz[i]) || freqHz[i] < 0.0 || (i > 0 && freqHz[i] < freqHz[i - 1])) {
            why = "the frequencies are not finite, ascending and at least 0 Hz";
            return false;
        }
        if (!std::isfinite(samples[i].real()) || !std::isfinite(samples[i].imag())) {
            why = "the element has a value that is not a finite number at " + Hz(freqHz[i]);
            return false;
        }
    }
    if (!(freqHz.back() > freqHz.front())) {
        why = "the frequencies span nothing";
        return false;
    }
    return true;
}

double MeanStep(const std::vector<double>& freqHz)
{
    return (freqHz.back() - freqHz.front()) / static_cast<double>(freqHz.size() - 1);
}

bool IsUniform(const std::vector<double>& freqHz, double step)
{
    const double tolerance = GRID_TOLERANCE * step;
    for (std::size_t i = 0; i < freqHz.size(); ++i)
        if (std::fabs(freqHz[i] - (freqHz.front() + step * static_cast<double>(i))) > tolerance)
            return false;
    return true;
}

// The longest run from DC a low-pass transform of at most Fft::MAX_LENGTH points can take.
bool LowPassFits(double points, double step, const std::vector<double>& freqHz, std::string& why)
{
    const double most = static_cast<double>((Fft::MAX_LENGTH + 1) / 2);
    if (points <= most)
        return true;
    char text[200];
    std::snprintf(text, sizeof text,
                  "frequencies from %s to %s in steps of %s would need a low-pass transform of "
                  "%.3g points; at most %zu are possible",
                  Hz(freqHz.front()).c_str(), Hz(freqHz.back()).c_str(), Hz(step).c_str(),
                  2.0 * points - 1.0, Fft::MAX_LENGTH);
    why = text;
    return false;
}

// Filling from DC may add at most this many points per record of the file, or the grid may be
// at most FREE_POINTS long: beyond both, a few records would be stretched over a grid so long
// that the transform costs seconds and its response says nothing the records did not.
const double FILL_PER_RECORD = 64.0;
const double FREE_POINTS = 65536.0;

// Whether a low-pass grid of `points` from DC is worth the records it comes from.
bool LowPassWorthIt(double points, double step, const std::vector<double>& freqHz, std::string& why)
{
    const double records = static_cast<double>(freqHz.size());
    if (points <= FREE_POINTS || points <= FILL_PER_RECORD * records)
        return true;
    char text[260];
    std::snprintf(text, sizeof text,
                  "%.0f frequencies from %s to %s in steps of %s would have to be filled out to "
                  "a low-pass grid of %.3g points from DC; too few records for a low-pass "
                  "response (a band-pass one works on the file's own band)",
                  records, Hz(freqHz.front()).c_str(), Hz(freqHz.back()).c_str(), Hz(step).c_str(),
                  points);
    why = text;
    return false;
}

// A real value for DC: the magnitude with the sign of the cosine of the phase.
Cx RealAtDc(const Cx& v)
{
    return {v.real() < 0.0 ? -std::abs(v) : std::abs(v), 0.0};
}

// The window's weights of one transform. A view rebuilds the same lengths with the same
// window over and over, and a Kaiser window of 16001 weights costs as much as the transform.
std::shared_ptr<const std::vector<double>> Weights(const TimeWindow& window, std::size_t bins,
                                                   bool lowPass)
{
    struct Entry {
        TimeWindow window;
        std::size_t bins;
        bool lowPass;
        std::shared_ptr<const std::vector<double>> weights;
    };
    static std::mutex mutex;
    static std::vector<Entry> entries;  // most recently made first
    {
        const std::lock_guard<std::mutex> lock(mutex);
        for (const Entry& e : entries)
            if (e.window.kind == window.kind && e.window.beta == window.beta && e.bins == bins
                && e.lowPass == lowPass)
                return e.weights;
    }
    auto weights = std::make_shared<const std::vector<double>>(lowPass ? window.RightHalf(bins)
                                                                       : window.Symmetric(bins));
    if (bins > KEPT_WEIGHTS)
        return weights;
    const std::lock_guard<std::mutex> lock(mutex);
    entries.insert(entries.begin(), Entry{window, bins, lowPass, weights});
    if (entries.size() > 8)
        entries.pop_back();
    return weights;
}

}  // namespace

int TransformScale(const std::vector<Cx>& samples)
{
    double largest = 0.0;
    for (const Cx& v : samples)
        largest = std::max({largest, std::fabs(v.real()), std::fabs(v.imag())});
    if (!(largest > 0.0) || !std::isfinite(largest))
        return 0;
    int exponent = 0;
    std::frexp(largest, &exponent);
    return exponent;
}

std::vector<Cx> Scaled(const std::vector<Cx>& samples, int exponent)
{
    std::vector<Cx> out(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        out[i] = {std::ldexp(samples[i].real(), exponent), std::ldexp(samples[i].imag(), exponent)};
    return out;
}

std::vector<Cx> InterpolatePolar(const std::vector<double>& freqHz, const std::vector<Cx>& samples,
                                 const std::vector<double>& at)
{
    const std::size_t n = freqHz.size();
    std::vector<double> mag(n);
    std::vector<double> phase(n);
    for (std::size_t i = 0; i < n; ++i) {
        mag[i] = std::abs(samples[i]);
        phase[i] = std::arg(samples[i]);
        if (i > 0)
            phase[i] = phase[i - 1] + std::remainder(phase[i] - phase[i - 1], 2.0 * pi);
    }
    // Below the band: the line through the first two points of distinct frequency.
    std::size_t second = 1;
    while (second + 1 < n && !(freqHz[second] > freqHz[0]))
        ++second;
    const auto line = [&](std::size_t a, std::size_t b, double f, bool clamp) {
        const double width = freqHz[b] - freqHz[a];
        const double u = width > 0.0 ? (f - freqHz[a]) / width : 0.0;
        double m = mag[a] + u * (mag[b] - mag[a]);
        if (clamp)
            m = std::max(m, 0.0);
        return std::polar(m, phase[a] + u * (phase[b] - phase[a]));
    };
    std::vector<Cx> out(at.size());
    std::size_t segment = 0;  // at ascends, so the segment only moves up
    for (std::size_t k = 0; k < at.size(); ++k) {
        const double f = at[k];
        if (f <= freqHz[0]) {
            out[k] = f == freqHz[0] ? samples[0] : line(0, second, f, true);
            continue;
        }
        if (f >= freqHz[n - 1]) {
            out[k] = samples[n - 1];
            continue;
        }
        while (segment + 2 < n && freqHz[segment + 1] < f)
            ++segment;
        out[k] = line(segment, segment + 1, f, false);
    }
    return out;
}

bool LowPassSamples(const std::vector<double>& freqHz, const std::vector<Cx>& samples,
                    UniformSamples& grid, std::string& why)
{
    if (!CheckInput(freqHz, samples, why))
        return false;
    const std::size_t m = freqHz.size();
    const double step = MeanStep(freqHz);
    const double below = std::round(freqHz.front() / step);
    const bool harmonic = IsUniform(freqHz, step)
        && std::fabs(freqHz.front() - below * step) <= GRID_TOLERANCE * step;
    grid.firstHz = 0.0;
    grid.resampled = !harmonic;
    std::vector<double> at;
    if (harmonic) {
        if (!LowPassFits(below + static_cast<double>(m), step, freqHz, why)
            || !LowPassWorthIt(below + static_cast<double>(m), step, freqHz, why))
            return false;
        grid.stepHz = step;
        // The file's own points as they are; only the missing ones below are computed.
        const std::size_t fill = static_cast<std::size_t>(below);
        for (std::size_t k = 0; k < fill; ++k)
            at.push_back(step * static_cast<double>(k));
        // The first two points are all the filling needs (the grid ascends strictly).
        grid.values = InterpolatePolar({freqHz[0], freqHz[1]}, {samples[0], samples[1]}, at);
        grid.values.insert(grid.values.end(), samples.begin(), samples.end());
    } else {
        const double count = std::max(1.0, std::round(freqHz.back() / step));
        if (!LowPassFits(count + 1.0, step, freqHz, why)
            || !LowPassWorthIt(count + 1.0, step, freqHz, why))
            return false;
        const std::size_t last = static_cast<std::size_t>(count);
        grid.stepHz = freqHz.back() / count;
        at.resize(last + 1);
        for (std::size_t k = 0; k <= last; ++k)
            at[k] = grid.stepHz * static_cast<double>(k);
        at[last] = freqHz.back();  // no extrapolation at the top through rounding
        grid.values = InterpolatePolar(freqHz, samples, at);
    }
    grid.values[0] = RealAtDc(grid.values[0]);
    return true;
}

bool BandPassSamples(const std::vector<double>& freqHz, const std::vector<Cx>& samples,
                     UniformSamples& grid, std::string& why)
{
    if (!CheckInput(freqHz, samples, why))
        return false;
    if (freqHz.size() > Fft::MAX_LENGTH) {
        why = "too many frequencies for a band-pass transform";
        return false;
    }
    const double step = MeanStep(freqHz);
    grid.firstHz = freqHz.front();
    grid.stepHz = step;
    grid.resampled = !IsUniform(freqHz, step);
    if (!grid.resampled) {
        grid.values = samples;
        return true;
    }
    std::vector<double> at(freqHz.size());
    for (std::size_t k = 0; k < at.size(); ++k)
        at[k] = freqHz.front() + step * static_cast<double>(k);
    at.back() = freqHz.back();
    grid.values = InterpolatePolar(freqHz, samples, at);
    return true;
}

bool TimeTransform(const std::vector<double>& freqHz, const std::vector<Cx>& samples, TimeMode mode,
                   const TimeWindow& window, double z0, TimeResponse& response, std::string& why)
{
    if (mode == TimeMode::TDR && !(std::isfinite(z0) && z0 > 0.0)) {
        why = "an impedance profile needs a positive reference impedance";
        return false;
    }
    // The transform's sums overflow near the top of the range and lose digits near the bottom:
    // it works on the values brought to about 1 by a power of two, exact both ways.
    const int exponent = TransformScale(samples);
    const std::vector<Cx> scaled = Scaled(samples, -exponent);
    UniformSamples grid;
    const bool lowPass = mode != TimeMode::BANDPASS;
    if (!(lowPass ? LowPassSamples(freqHz, scaled, grid, why)
                  : BandPassSamples(freqHz, scaled, grid, why)))
        return false;

    const std::size_t bins = grid.values.size();
    const std::size_t n = lowPass ? 2 * bins - 1 : bins;
    const std::shared_ptr<const std::vector<double>> weights = Weights(window, bins, lowPass);
    std::vector<Cx>& x = grid.values;
    for (std::size_t k = 0; k < bins; ++k)
        x[k] *= (*weights)[k];

    // fftshift: sample k of the response is sample k - n/2 (modulo n) of the transform.
    const std::size_t half = n / 2;
    std::vector<double>& v = response.values;
    if (lowPass) {
        Fft::InverseReal(x, n, v);
    } else {
        std::vector<Cx> h;
        Fft::Inverse(x, h);
        v.resize(n);
        for (std::size_t k = 0; k < n; ++k)
            v[k] = std::abs(h[k]);
    }
    std::rotate(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n - half), v.end());
    if (mode == TimeMode::STEP || mode == TimeMode::TDR) {
        double sum = 0.0;
        double previous = v[0];
        v[0] = 0.0;
        for (std::size_t k = 1; k < n; ++k) {
            sum += 0.5 * (previous + v[k]);
            previous = v[k];
            v[k] = sum;
        }
    }
    for (double& value : v) {
        value = std::ldexp(value, exponent);
        if (!std::isfinite(value)) {
            why = "the values are too large for a time-domain response";
            return false;
        }
    }
    if (mode == TimeMode::TDR) {
        for (double& rho : v) {
            const double r = std::clamp(rho, -MAX_REFLECTION, MAX_REFLECTION);
            rho = z0 * (1.0 + r) / (1.0 - r);
        }
    }
    response.stepNs = 1e9 / (static_cast<double>(n) * grid.stepHz);
    response.firstNs = -static_cast<double>(half) * response.stepNs;
    response.resampled = grid.resampled;
    return true;
}

bool ParseTimeRange(std::string_view text, double& fromNs, double& toNs)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return false;
    double a = 0.0;
    double b = 0.0;
    if (!ParseDouble(text.substr(0, comma), a) || !ParseDouble(text.substr(comma + 1), b)
        || !(a < b))
        return false;
    fromNs = a;
    toNs = b;
    return true;
}
