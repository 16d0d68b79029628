// A chart trace of one element of a data set in the time domain: impulse, step, band-pass or
// impedance profile, over time in ns or over distance in metres.
//
// The distance is one-way: d = VF c t / 2 for an element that returns to its own port (a
// reflection, round trip), VF c t for one between two ports, c = 299792458 m/s.
#pragma once

#include "chart/ChartTrace.h"
#include "data/S2pData.h"
#include "rf/TimeDomain.h"
#include "rf/TimeGate.h"
#include "rf/TimeWindow.h"

#include <optional>
#include <string>
#include <string_view>

struct TimeTraceOptions {
    struct Range {
        double fromNs = 0.0;
        double toNs = 0.0;
    };
    TimeWindow window;                     // normal: Kaiser 6
    std::optional<Range> range;            // keep the samples from fromNs to toNs (ns, also
                                           // on a distance axis)
    std::optional<double> velocityFactor;  // plot over distance, VF in [0.01, 1]
};

// How a view's time formats are computed and shown, and the gate of its frequency formats:
// what the window remembers and the command line's options set.
struct TimeDomainSettings {
    TimeWindow window;                             // normal: Kaiser 6
    std::optional<TimeTraceOptions::Range> range;  // the shown times, ns; all when unset
    std::optional<double> velocityFactor;          // over distance (m) when set
    bool gateOn = false;
    TimeGate gate{0.0, 1.0, TimeGate::Shape::NORMAL, false};
};

constexpr double SPEED_OF_LIGHT = 299792458.0;  // m/s

// No line is slower than a hundredth of light: below, the distances mean nothing.
constexpr double MIN_VELOCITY_FACTOR = 0.01;
// A velocity factor: a number from MIN_VELOCITY_FACTOR to 1.
bool ParseVelocityFactor(std::string_view text, double& factor);
// Whether an element's wave comes back to the port it left: S(i,i) and mixed-mode elements of
// one logical port whatever their modes (Sdc11 too).
bool ReturnsToItsPort(int code);

// Builds the trace of element `code` of data in mode: values evenly spaced from the first to
// the last kept time (ns) or distance (m), named "S11[TDR ohm](1)", "S21[impulse](1)",
// "S21[step](1)", "Sdd21[bandpass](1)" (no "(n)" for a negative fileNumber), one palette colour
// taken, refImpedance the element's reference. resampled tells whether the frequencies had to
// be interpolated onto another grid first. False, with why, trace untouched, for a code data has
// no element of (mixed-mode ones by pairing), TDR of anything but a reflection
// (ValueCode::IsReflection), a range that keeps fewer than two samples, a velocity factor
// outside [0.01, 1], and whatever TimeTransform refuses (that refusal comes after the element was
// read, so a palette colour has been taken).
bool BuildTimeTrace(const CS2pData& data, int fileNumber, int code, TimeMode mode,
                    const TimeTraceOptions& options, PortPairing pairing, CChartTrace& trace,
                    bool& resampled, std::string& why);
// The name BuildTimeTrace gives: "S11[TDR ohm](1)".
std::string TimeTraceName(int fileNumber, int code, TimeMode mode);
