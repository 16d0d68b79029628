// The time domain at the limit of a file: sixteen impedance profiles of a 16001-point file, and
// the gating of all sixteen elements of a 16001-point 4-port.
#include "rf/TimeGate.h"
#include "rf/TimeTrace.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

namespace {

constexpr int RECORDS = 16001;

// Every element a few echoes, reflections a little stronger: 10 MHz to 160.01 GHz in 10 MHz
// steps, on the harmonic grid as analysers sweep for time-domain work.
CS2pData MakeFile(int ports)
{
    CS2pData data;
    data.ResetRecords(ports);
    data.freqUnit = CS2pData::MHZ;
    data.ReserveRecords(RECORDS);
    const double pi = 3.14159265358979323846;
    std::vector<CComplex> m(static_cast<std::size_t>(ports * ports));
    for (int i = 0; i < RECORDS; ++i) {
        const double fHz = 10e6 * (i + 1);
        for (int r = 0; r < ports; ++r)
            for (int c = 0; c < ports; ++c) {
                const double a = r == c ? 0.2 : 0.05;
                const double t1 = 0.3 + 0.1 * (r + c);  // ns
                const std::complex<double> v = std::polar(a, -2 * pi * fHz * t1 * 1e-9)
                    + std::polar(0.5 * a, -2 * pi * fHz * 2 * t1 * 1e-9);
                m[static_cast<std::size_t>(r * ports + c)] = CComplex(v);
            }
        data.AppendRecord(fHz / 1e6, m.data());
    }
    return data;
}

// The eight single-ended reflections of an 8-port and the eight mixed-mode ones of its pairs.
std::vector<int> SixteenReflections()
{
    std::vector<int> codes;
    for (int p = 1; p <= 8; ++p)
        codes.push_back(ValueCode::Element(p, p));
    for (int p = 1; p <= 4; ++p) {
        codes.push_back(ValueCode::MixedMode('d', p, 'd', p));
        codes.push_back(ValueCode::MixedMode('c', p, 'c', p));
    }
    return codes;
}

void BM_TimeDomain16x16001(benchmark::State& state)
{
    const CS2pData data = MakeFile(8);
    const std::vector<int> codes = SixteenReflections();
    const TimeTraceOptions options;  // the normal window
    CChartTrace trace;
    bool resampled = false;
    std::string why;
    for (auto _ : state) {
        for (int code : codes) {
            if (!BuildTimeTrace(data, 1, code, TimeMode::TDR, options, PortPairing::ACROSS, trace,
                                resampled, why)) {
                state.SkipWithError(why.c_str());
                return;
            }
            benchmark::DoNotOptimize(trace.values.data());
        }
    }
    state.counters["points"] = static_cast<double>(trace.values.size());
}
BENCHMARK(BM_TimeDomain16x16001)->Unit(benchmark::kMillisecond);

void BM_Gate16x16001(benchmark::State& state)
{
    const CS2pData data = MakeFile(4);
    TimeGate gate;
    TimeGate::Parse("0.2,1.5", gate);
    CS2pData copy;
    std::string why;
    for (auto _ : state) {
        if (!GatedCopy(data, gate, TimeWindow{}, copy, why)) {
            state.SkipWithError(why.c_str());
            return;
        }
        benchmark::DoNotOptimize(copy.Matrix(0));
    }
}
BENCHMARK(BM_Gate16x16001)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
