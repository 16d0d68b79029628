// --limits --each over 3000 small 2-port files, on one worker thread and on two: the
// second should take well under two thirds of the time of the first.
#include "app/cli/CommandLine.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 3000;
constexpr int kRecords = 201;

// A folder of generated files, removed at the end of the run.
class CGeneratedLot {
public:
    CGeneratedLot()
        : dir(std::filesystem::temp_directory_path()
              / ("torvex-bench-each-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(dir);
        char buf[96];
        for (int n = 0; n < kFiles; ++n) {
            const std::string path = (dir / ("dut" + std::to_string(n) + ".s2p")).string();
            std::ofstream out(path);
            out << "! generated\n# MHz S DB R 50\n";
            const double offset = 0.001 * (n % 100);
            for (int i = 0; i < kRecords; ++i) {
                const double f = 1000.0 + 5.0 * i;
                const double s21 = -0.002 * std::fabs(f - 1500.0) - offset;
                const double s11 = -25.0 + 0.01 * std::fabs(f - 1500.0) + offset;
                std::snprintf(buf, sizeof buf, "%g %.4f %.2f %.4f %.2f %.4f %.2f %.4f %.2f\n", f,
                              s11, -0.1 * i, s21, -0.3 * i, s21, -0.3 * i, s11, 0.1 * i);
                out << buf;
            }
            files.push_back(path);
        }
        mask = (dir / "mask.txt").string();
        std::ofstream(mask) << "lower 1100 1900 -1.0 S21:db\nupper 1100 1900 -15 S11:db\n";
    }
    ~CGeneratedLot() { std::filesystem::remove_all(dir); }
    CGeneratedLot(const CGeneratedLot&) = delete;
    CGeneratedLot& operator=(const CGeneratedLot&) = delete;

    std::filesystem::path dir;
    std::vector<std::string> files;
    std::string mask;
};

const CGeneratedLot& Lot()
{
    static const CGeneratedLot lot;
    return lot;
}

void BM_Each3000(benchmark::State& state)
{
    const CGeneratedLot& lot = Lot();
    std::vector<std::string> args = {lot.mask, "--each", "--jobs", std::to_string(state.range(0))};
    args.insert(args.end(), lot.files.begin(), lot.files.end());
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        CCommandLine cli(out, err);
        const int status = cli.Limits(args);
        if (status > 1)
            state.SkipWithError(err.str().c_str());
        benchmark::DoNotOptimize(out.str().size());
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_Each3000)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
