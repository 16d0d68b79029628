// Loading five of the largest 4-port files into the slots and rebuilding the plot with a
// view of all sixteen S-parameters in dB: what "Open Files..." costs at the limit.
#include "app/TorvexSession.h"
#include "platform/MessageBox.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int RECORDS = 16001;
constexpr int FILES = 5;

std::string MakeFourPortFile(const std::filesystem::path& dir, int n)
{
    const std::string path = (dir / ("slot" + std::to_string(n) + ".s4p")).string();
    WriteFourPortFile(path, RECORDS, n);
    return path;
}

class Files {
public:
    Files()
        : dir(std::filesystem::temp_directory_path()
              / ("torvex-bench-session-" + std::to_string(getpid())))
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
