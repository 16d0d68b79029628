// The three quality metrics of the largest files: a 4-port of 16001 records (goal: at most
// 30 ms) and a 99-port of 1000 records (goal: at most 3 s).
#include "data/S2pData.h"
#include "rf/QualityMetrics.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

namespace {

// Every element a delay line of its own length and loss, the losses drawn so that the
// matrix stays near passive, as a measured multi-port is.
CS2pData DelayNetwork(int ports, std::size_t records)
{
    CS2pData data;
    data.ResetRecords(ports);
    data.ReserveRecords(records);
    const std::size_t cells = static_cast<std::size_t>(ports) * static_cast<std::size_t>(ports);
    std::vector<double> gain(cells);
    std::vector<double> delay(cells);  // ns
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / static_cast<double>(1u << 24);
    };
    for (std::size_t k = 0; k < cells; ++k) {
        gain[k] = next() / std::sqrt(static_cast<double>(ports));
        delay[k] = 0.1 + 2.0 * next();
    }
    std::vector<CComplex> matrix(cells);
    const double pi = 4.0 * std::atan(1.0);
    for (std::size_t r = 0; r < records; ++r) {
        const double ghz = 0.01 + 40.0 * static_cast<double>(r) / static_cast<double>(records);
        for (std::size_t k = 0; k < cells; ++k)
            matrix[k] = CComplex(std::polar(gain[k], -2.0 * pi * ghz * delay[k]));
        data.AppendRecord(ghz, matrix.data());
    }
    return data;
}

void Run(benchmark::State& state, const CS2pData& data)
{
    for (auto _ : state) {
        QualityMetrics::Result result;
        const QualityMetrics::Outcome outcome = QualityMetrics::Compute(
            data, QualityMetrics::Block::SINGLE_ENDED, PortPairing::ACROSS, result);
        benchmark::DoNotOptimize(outcome);
        benchmark::DoNotOptimize(result.causality);
    }
}

void BM_Quality4Port16001(benchmark::State& state)
{
    static const CS2pData data = DelayNetwork(4, 16001);
    Run(state, data);
}
BENCHMARK(BM_Quality4Port16001)->Unit(benchmark::kMillisecond);

void BM_Quality99Port1000(benchmark::State& state)
{
    static const CS2pData data = DelayNetwork(99, 1000);
    Run(state, data);
}
BENCHMARK(BM_Quality99Port1000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
