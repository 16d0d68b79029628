#include "rf/TimeTrace.h"

#include "data/MixedMode.h"
#include "platform/NumberParse.h"

#include <cmath>
#include <complex>
#include <vector>

namespace {

std::string Label(TimeMode mode)
{
    switch (mode) {
    case TimeMode::IMPULSE: return "[impulse]";
    case TimeMode::STEP: return "[step]";
    case TimeMode::BANDPASS: return "[bandpass]";
    default: return "[TDR ohm]";
    }
}

bool ValidFactor(double factor)
{
    return factor >= MIN_VELOCITY_FACTOR && factor <= 1.0;
}

// The element at every record, frequencies in Hz, and the palette colour its trace takes.
// An S file's own elements and the mixed-mode ones computed from them are read straight from
// the records; anything else goes through BuildTrace, which converts the file's parameters.
// The direct way saves building and sorting a frequency trace that is thrown away.
bool ReadElement(const CS2pData& data, int code, PortPairing pairing, std::vector<double>& freqHz,
                 std::vector<std::complex<double>>& samples, COLORREF& color)
{
    const double unit = CS2pData::UnitFactor(data.freqUnit);
    const std::size_t n = data.RecordCount();
    int row = 0;
    int col = 0;
    const bool stored = data.PositionOf(code, row, col);
    if (data.paramKind == CS2pData::S && (stored || code > ValueCode::MIXED_BASE)) {
        // A mixed-mode code: modes (d 0, c 1, s 2) of row and column, then the logical ports.
        static const char modes[] = {'d', 'c', 's'};
        const int m = (code - ValueCode::MIXED_BASE) / 10000;
        freqHz.resize(n);
        samples.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            freqHz[i] = data.FreqAt(i) * unit;
            samples[i] = stored
                ? data.Element(i, row, col).ToStd()
                : MixedMode::Element(data.Matrix(i), data.PortCount(), modes[m / 3],
                                     code / 100 % 100, modes[m % 3], code % 100, pairing)
                      .ToStd();
        }
        color = NextTraceColor();
        return true;
    }
    CChartTrace source;
    if (!data.BuildTrace(source, -1, code, ValueFormat::POLAR, pairing))
        return false;
    freqHz.resize(source.points.size());
    samples.resize(source.points.size());
    for (std::size_t i = 0; i < freqHz.size(); ++i) {
        freqHz[i] = source.points[i].x * unit;
        samples[i] = {source.gamma[i].x, source.gamma[i].y};
    }
    color = source.color;
    return true;
}

}  // namespace

bool ParseVelocityFactor(std::string_view text, double& factor)
{
    double value = 0.0;
    if (!ParseDouble(text, value) || !ValidFactor(value))
        return false;
    factor = value;
    return true;
}

bool ReturnsToItsPort(int code)
{
    if (!ValueCode::IsElement(code))
        return false;
    if (code <= 15)
        return code / 4 == code % 4;
    if (code < ValueCode::MIXED_BASE)
        return (code - ValueCode::LARGE_BASE) / 100 == code % 100;
    return code / 100 % 100 == code % 100;
}

std::string TimeTraceName(int fileNumber, int code, TimeMode mode)
{
    std::string name = ValueCode::Name(code) + Label(mode);
    if (fileNumber >= 0)
        name += "(" + std::to_string(fileNumber) + ")";
    return name;
}

bool BuildTimeTrace(const CS2pData& data, int fileNumber, int code, TimeMode mode,
                    const TimeTraceOptions& options, PortPairing pairing, CChartTrace& trace,
                    bool& resampled, std::string& why)
{
    const std::string element = ValueCode::Name(code);
    if (!ValueCode::IsElement(code) || !data.HasCode(code)) {
        why = element.empty() ? "no matrix element to transform"
                              : "the file has no element " + element;
        return false;
    }
    if (mode == TimeMode::TDR && !ValueCode::IsReflection(code)) {
        why = "an impedance profile needs a reflection; " + element + " is none";
        return false;
    }
    if (options.velocityFactor && !ValidFactor(*options.velocityFactor)) {
        why = "the velocity factor has to be from 0.01 to 1";
        return false;
    }
    std::vector<double> freqHz;
    std::vector<std::complex<double>> samples;
    COLORREF color = 0;
    if (!ReadElement(data, code, pairing, freqHz, samples, color)) {
        why = "the file has no element " + element;
        return false;
    }
    const double z0 = data.ReferenceOf(code, pairing);
    TimeResponse response;
    if (!TimeTransform(freqHz, samples, mode, options.window, z0, response, why)) {
        why = element + ": " + why;
        return false;
    }

    std::size_t first = 0;
    std::size_t last = response.values.size() - 1;
    if (options.range) {
        // Samples on the range's ends count as inside despite rounding.
        const double slack = 1e-9 * response.stepNs;
        while (first < response.values.size()
               && response.TimeAt(first) < options.range->fromNs - slack)
            ++first;
        while (last > 0 && response.TimeAt(last) > options.range->toNs + slack)
            --last;
        if (first >= response.values.size() || last <= first) {
            why = element + ": the time range keeps fewer than two samples of the response";
            return false;
        }
    }
    // ns to metres, one way.
    double scale = 1.0;
    if (options.velocityFactor)
        scale =
            *options.velocityFactor * SPEED_OF_LIGHT * 1e-9 / (ReturnsToItsPort(code) ? 2.0 : 1.0);

    trace.points.clear();
    trace.gamma.clear();
    std::vector<double>& kept = response.values;
    kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(last) + 1, kept.end());
    kept.erase(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(first));
    trace.SetValues(kept, response.TimeAt(first) * scale, response.TimeAt(last) * scale);
    trace.name = TimeTraceName(fileNumber, code, mode);
    trace.color = color;
    trace.numberFormat = mode == TimeMode::TDR ? "%.2f" : "%.4g";
    trace.refImpedance = z0;
    trace.reflection = ValueCode::IsReflection(code);
    resampled = response.resampled;
    return true;
}
