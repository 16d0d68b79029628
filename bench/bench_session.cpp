// Loading five of the largest 4-port files into the slots and rebuilding the plot with a
// view of all sixteen S-parameters in dB: what "Open Files..." costs at the limit.
#include "app/TorvexSession.h"
#include "platform/MessageBox.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int RECORDS = 16001;
constexpr int FILES = 5;

// 4 pairs a line, 4 lines a record, as network analysers write 4-port files; each file
// differs a little so that no two traces are identical.
std::string MakeFourPortFile(const std::filesystem::path& dir, int n)
{
    const std::string path = (dir / ("slot" + std::to_string(n) + ".s4p")).string();
    std::ofstream out(path);
    out << "! generated\n# Hz S RI R 50\n";
    char buf[64];
    for (int i = 0; i < RECORDS; ++i) {
        out << 1e7 + i * 1e6;
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                const double a = -0.01 * (r + c + n) * i;
                const double m = 0.5 / (1 + r + c) / n;
                std::snprintf(buf, sizeof buf, " %.6e %.6e", std::cos(a) * m, std::sin(a) * m);
                out << buf;
            }
            out << '\n';
        }
    }
    return path;
}

class Files {
public:
    Files()
        : dir(std::filesystem::temp_directory_path() /
              ("torvex-bench-session-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(dir);
        for (int n = 1; n <= FILES; ++n)
            entries.emplace_back(MakeFourPortFile(dir, n), "slot" + std::to_string(n) + ".s4p");
    }
    ~Files()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;

    std::filesystem::path dir;
    std::vector<std::pair<std::string, std::string>> entries;  // (path, name)
};

const Files& TheFiles()
{
    static const Files files;
    return files;
}

ViewSelection AllDb()
{
    ViewSelection selection;
    for (int v = 0; v < 16; ++v)
        selection.emplace_back(v, 0);
    return selection;
}

void BM_LoadFiveFourPortFiles(benchmark::State& state)
{
    const Files& files = TheFiles();
    CRecordingMessageSink quiet;
    CTorvexSession session;
    session.viewSelection = AllDb();
    for (auto _ : state) {
        session.OpenFiles(files.entries);
        benchmark::DoNotOptimize(session.Graph().traces.data());
    }
    if (!session.dataLoaded || session.Graph().traces.size() != 16)
        state.SkipWithError("the files did not load");
    state.counters["records"] = FILES * RECORDS;
}
BENCHMARK(BM_LoadFiveFourPortFiles)->Unit(benchmark::kMillisecond);

void BM_RebuildSixteenTraces(benchmark::State& state)
{
    const Files& files = TheFiles();
    CRecordingMessageSink quiet;
    CTorvexSession session;
    session.viewSelection = AllDb();
    session.OpenFiles(files.entries);
    for (auto _ : state) {
        session.RebuildPlot(true, true);
        benchmark::DoNotOptimize(session.Graph().traces.data());
    }
    if (session.Graph().traces.size() != 16)
        state.SkipWithError("the plot was not rebuilt");
}
BENCHMARK(BM_RebuildSixteenTraces)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
