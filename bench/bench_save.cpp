// Saving a 16001-point 4-port file as Touchstone: formatting 17-digit numbers and writing
// them through a temporary file, in RI (version 1) and DB (version 2).
#include "data/LineFile.h"
#include "data/S2pData.h"
#include "data/TouchstoneWriter.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cmath>
#include <complex>
#include <filesystem>
#include <string>
#include <vector>

namespace {

CS2pData FourPort(int records)
{
    CS2pData data;
    data.freqUnit = CS2pData::GHZ;
    data.ResetRecords(4);
    data.ReserveRecords(static_cast<std::size_t>(records));
    std::vector<CComplex> m(16);
    for (int i = 0; i < records; ++i) {
        for (int k = 0; k < 16; ++k)
            m[static_cast<std::size_t>(k)] =
                CComplex(std::polar(0.5 / (1 + k % 5), -0.013 * (k + 1) * i));
        data.AppendRecord(0.01 + 0.001 * i, m.data());
    }
    return data;
}

void BM_Save4Port16001(benchmark::State& state)
{
    const CS2pData data = FourPort(16001);
    TouchstoneWriter::Options options;
    options.version = static_cast<int>(state.range(0));
    options.format = options.version == 1 ? RI : DB;
    const std::string path = (std::filesystem::temp_directory_path()
                              / ("torvex-bench-save-" + std::to_string(getpid())
                                 + (options.version == 1 ? ".s4p" : ".ts")))
                                 .string();
    std::string why;
    for (auto _ : state) {
        if (TouchstoneWriter::Write(path, data, options, why) != FILE_OK) {
            state.SkipWithError("the file was not written");
            break;
        }
    }
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(path, ec);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations())
                            * static_cast<std::int64_t>(bytes));
    std::filesystem::remove(path, ec);
}
BENCHMARK(BM_Save4Port16001)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
