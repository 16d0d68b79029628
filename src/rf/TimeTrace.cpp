#include "rf/TimeTrace.h"

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
    return std::isfinite(factor) && factor > 0.0 && factor <= 1.0;
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
        why = "the velocity factor has to be above 0 and at most 1";
        return false;
    }
    CChartTrace source;
    if (!data.BuildTrace(source, fileNumber, code, ValueFormat::POLAR, pairing)) {
        why = "the file has no element " + element;
        return false;
    }
    const double unit = CS2pData::UnitFactor(data.freqUnit);
    const std::size_t n = source.points.size();
    std::vector<double> freqHz(n);
    std::vector<std::complex<double>> samples(n);
    for (std::size_t i = 0; i < n; ++i) {
        freqHz[i] = source.points[i].x * unit;
        samples[i] = {source.gamma[i].x, source.gamma[i].y};
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
    trace.SetValues(
        std::vector<double>(response.values.begin() + static_cast<std::ptrdiff_t>(first),
                            response.values.begin() + static_cast<std::ptrdiff_t>(last) + 1),
        response.TimeAt(first) * scale, response.TimeAt(last) * scale);
    trace.name = TimeTraceName(fileNumber, code, mode);
    trace.color = source.color;
    trace.numberFormat = mode == TimeMode::TDR ? "%.2f" : "%.4g";
    trace.refImpedance = z0;
    trace.reflection = ValueCode::IsReflection(code);
    resampled = response.resampled;
    return true;
}
