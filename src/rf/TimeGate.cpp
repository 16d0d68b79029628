#include "rf/TimeGate.h"

#include "platform/NumberParse.h"
#include "rf/Fft.h"
#include "rf/TimeDomain.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

using Cx = std::complex<double>;

const double pi = 3.14159265358979323846;

std::string Lower(std::string_view text)
{
    std::string s(text);
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// The gating of every element on one uniform grid: the window and the gate's weights are the
// same for all of them.
class Gating {
public:
    Gating(std::size_t points, double stepHz, double spanHz, const TimeGate& gate,
           const TimeWindow& window)
        : m(points), p(Fft::FastLength(2 * points))
    {
        const std::vector<double> wider = window.Symmetric(m + 2);
        w.assign(wider.begin() + 1, wider.end() - 1);
        const double edgeNs = TimeGate::EdgeResolutions(gate.shape) * 1e9 / spanHz;
        const double stepNs = 1e9 / (static_cast<double>(p) * stepHz);
        halfSpanNs = 0.5e9 / stepHz;
        weights.resize(p);
        for (std::size_t n = 0; n < p; ++n) {
            const double index = n <= p / 2 ? static_cast<double>(n)
                                            : static_cast<double>(n) - static_cast<double>(p);
            weights[n] = gate.Weight(index * stepNs, edgeNs);
        }
    }

    // False, with why, for a gate that keeps fewer than two samples of the response (or a
    // notch that removes none): it would leave nothing, or change nothing, without a word.
    bool Holds(const TimeGate& gate, std::string& why) const
    {
        std::size_t touched = 0;
        for (double weight : weights)
            touched += gate.notch ? (weight < 1.0) : (weight > 0.0);
        if (touched >= (gate.notch ? 1u : 2u))
            return true;
        char text[200];
        std::snprintf(text, sizeof text,
                      "the %s from %.6g to %.6g ns %s of the response, which spans %.6g to "
                      "%.6g ns",
                      gate.notch ? "notch" : "gate", gate.startNs, gate.stopNs,
                      gate.notch ? "removes no sample" : "keeps fewer than two samples",
                      -halfSpanNs, halfSpanNs);
        why = text;
        return false;
    }

    void Apply(const std::vector<Cx>& in, std::vector<Cx>& out) const
    {
        std::vector<Cx> x(p, Cx(0.0, 0.0));
        for (std::size_t k = 0; k < m; ++k)
            x[k] = w[k] * in[k];
        std::vector<Cx> h;
        Fft::Inverse(x, h);
        for (std::size_t n = 0; n < p; ++n)
            h[n] *= weights[n];
        Fft::Forward(h, x);
        out.resize(m);
        for (std::size_t k = 0; k < m; ++k)
            out[k] = x[k] / w[k];
    }

private:
    std::size_t m;
    std::size_t p;
    std::vector<double> w;        // frequency window, m points, none zero
    std::vector<double> weights;  // gate at each of the p time samples
    double halfSpanNs = 0.0;      // the response's times run from -halfSpanNs to halfSpanNs
};

// Gates one element's samples with a gating made for the grid; the grid is made from the
// first element and holds for the rest (same frequencies).
bool GateOne(const std::vector<double>& freqHz, const std::vector<Cx>& samples,
             const TimeGate& gate, const TimeWindow& window, std::unique_ptr<Gating>& gating,
             std::vector<Cx>& gated, std::string& why, bool& gateAtFault)
{
    gateAtFault = false;
    // Gated on values brought to about 1, as the transforms work, and scaled back.
    const int exponent = TransformScale(samples);
    UniformSamples grid;
    if (!BandPassSamples(freqHz, Scaled(samples, -exponent), grid, why))
        return false;
    if (!gating) {
        gating = std::make_unique<Gating>(grid.values.size(), grid.stepHz,
                                          freqHz.back() - freqHz.front(), gate, window);
        if (!gating->Holds(gate, why)) {
            gating.reset();
            gateAtFault = true;
            return false;
        }
    }
    gating->Apply(grid.values, gated);
    if (grid.resampled) {
        std::vector<double> uniform(gated.size());
        for (std::size_t k = 0; k < uniform.size(); ++k)
            uniform[k] = grid.firstHz + grid.stepHz * static_cast<double>(k);
        uniform.back() = freqHz.back();
        gated = InterpolatePolar(uniform, gated, freqHz);
    }
    for (Cx& v : gated) {
        v = {std::ldexp(v.real(), exponent), std::ldexp(v.imag(), exponent)};
        if (!std::isfinite(v.real()) || !std::isfinite(v.imag())) {
            why = "the gated values are too large to be finite";
            return false;
        }
    }
    return true;
}

}  // namespace

bool TimeGate::Parse(std::string_view text, TimeGate& gate)
{
    bool notch = false;
    const std::size_t first = text.find(',');
    const std::size_t second = first == std::string_view::npos ? first : text.find(',', first + 1);
    std::string_view span = text;
    if (second != std::string_view::npos) {
        if (Lower(Trimmed(text.substr(second + 1))) != "notch")
            return false;
        notch = true;
        span = text.substr(0, second);
    }
    double from = 0.0;
    double to = 0.0;
    if (!ParseTimeRange(span, from, to))
        return false;
    gate.startNs = from;
    gate.stopNs = to;
    gate.notch = notch;
    return true;
}

bool TimeGate::ParseShape(std::string_view text, Shape& shape)
{
    for (Shape s : {Shape::MIN, Shape::NORMAL, Shape::WIDE, Shape::MAX}) {
        if (Lower(text) == ShapeName(s)) {
            shape = s;
            return true;
        }
    }
    return false;
}

std::string TimeGate::ShapeName(Shape shape)
{
    switch (shape) {
    case Shape::MIN: return "min";
    case Shape::WIDE: return "wide";
    case Shape::MAX: return "max";
    default: return "normal";
    }
}

double TimeGate::EdgeResolutions(Shape shape)
{
    switch (shape) {
    case Shape::MIN: return 1.0;
    case Shape::WIDE: return 4.0;
    case Shape::MAX: return 8.0;
    default: return 2.0;
    }
}

double TimeGate::Weight(double tNs, double edgeNs) const
{
    const double outside = std::max(startNs - tNs, tNs - stopNs);
    double weight = 1.0;
    if (outside > 0.0)
        weight = outside >= edgeNs ? 0.0 : 0.5 * (1.0 + std::cos(pi * outside / edgeNs));
    return notch ? 1.0 - weight : weight;
}

bool GateSeries(const std::vector<double>& freqHz, const std::vector<Cx>& samples,
                const TimeGate& gate, const TimeWindow& window, std::vector<Cx>& gated,
                std::string& why)
{
    std::unique_ptr<Gating> gating;
    bool gateAtFault = false;
    return GateOne(freqHz, samples, gate, window, gating, gated, why, gateAtFault);
}

bool GatedCopy(const CS2pData& data, const TimeGate& gate, const TimeWindow& window, CS2pData& copy,
               std::string& why)
{
    copy = data;
    const int ports = copy.PortCount();
    const std::size_t records = copy.RecordCount();
    if (copy.paramKind != CS2pData::S) {
        for (std::size_t i = 0; i < records; ++i)
            CS2pData::ConvertMatrixToS(copy.Matrix(i), ports, copy.paramKind);
        copy.paramKind = CS2pData::S;
    }
    const double unit = CS2pData::UnitFactor(copy.freqUnit);
    std::vector<double> freqHz(records);
    for (std::size_t i = 0; i < records; ++i)
        freqHz[i] = copy.FreqAt(i) * unit;

    std::unique_ptr<Gating> gating;
    std::vector<Cx> series(records);
    std::vector<Cx> gated;
    const std::size_t cells = static_cast<std::size_t>(ports) * static_cast<std::size_t>(ports);
    for (std::size_t cell = 0; cell < cells; ++cell) {
        for (std::size_t i = 0; i < records; ++i)
            series[i] = copy.Matrix(i)[cell].ToStd();
        bool gateAtFault = false;
        if (!GateOne(freqHz, series, gate, window, gating, gated, why, gateAtFault)) {
            const int row = static_cast<int>(cell) / ports + 1;
            const int col = static_cast<int>(cell) % ports + 1;
            if (!gateAtFault)
                why = copy.ElementName(row, col) + ": " + why;
            return false;
        }
        for (std::size_t i = 0; i < records; ++i)
            copy.Matrix(i)[cell] = CComplex(gated[i]);
    }
    return true;
}
