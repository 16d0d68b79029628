// Loading the largest files instruments write, against reading the same bytes and
// converting every number with std::from_chars (the floor for any reader).
#include "data/PairConversion.h"
#include "data/S2pData.h"
#include "platform/MessageBox.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int RECORDS = 16001;
// The most records a file may hold.
constexpr int MAX_FILE_RECORDS = 1000001;

std::string MakeFourPortFile()
{
    const std::string path =
        (std::filesystem::temp_directory_path() / "torvex-bench-16001.s4p").string();
    WriteFourPortFile(path, RECORDS, 1);
    return path;
}

std::string MakeNPortFile(int ports)
{
    const std::string name = "torvex-bench-16001.s" + std::to_string(ports) + "p";
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    WriteNPortFile(path, ports, RECORDS, 1);
    return path;
}

std::string MakeTwoPortFile(int records = RECORDS)
{
    const std::string name = "torvex-bench-" + std::to_string(records) + ".s2p";
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream out(path);
    out << "! generated\n# MHz S DB R 50\n";
    char buf[160];
    for (int i = 0; i < records; ++i) {
        std::snprintf(buf, sizeof buf, "%.4f %.4f %.3f %.4f %.3f %.4f %.3f %.4f %.3f\n",
                      10.0 + i * 0.5, -20.0 - i * 1e-3, -i * 0.1, -0.5, i * 0.2, -0.5, i * 0.2,
                      -18.0, i * 0.05);
        out << buf;
    }
    return path;
}

const std::string& FourPortPath()
{
    static const std::string path = MakeFourPortFile();
    return path;
}

const std::string& EightPortPath()
{
    static const std::string path = MakeNPortFile(8);
    return path;
}

const std::string& SixteenPortPath()
{
    static const std::string path = MakeNPortFile(16);
    return path;
}

const std::string& TwoPortPath()
{
    static const std::string path = MakeTwoPortFile();
    return path;
}

const std::string& LargestTwoPortPath()
{
    static const std::string path = MakeTwoPortFile(MAX_FILE_RECORDS);
    return path;
}

void Load(benchmark::State& state, const std::string& path)
{
    CRecordingMessageSink quiet;
    for (auto _ : state) {
        CS2pData data;
        if (data.Load(path) != 0)
            state.SkipWithError("load failed");
        data.NormalizeFreqUnit();
        benchmark::DoNotOptimize(data.RecordCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations())
                            * static_cast<int64_t>(std::filesystem::file_size(path)));
}

void Baseline(benchmark::State& state, const std::string& path)
{
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::string text;
        char buf[1 << 16];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            text.append(buf, n);
        std::fclose(f);
        double sum = 0;
        const char* p = text.data();
        const char* end = p + text.size();
        while (p < end) {
            if (*p == '!' || *p == '#') {
                while (p < end && *p != '\n')
                    ++p;
                continue;
            }
            if (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t') {
                ++p;
                continue;
            }
            double v = 0;
            const auto r = std::from_chars(p, end, v);
            sum += v;
            p = r.ptr == p ? p + 1 : r.ptr;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations())
                            * static_cast<int64_t>(std::filesystem::file_size(path)));
}

void BM_Load4Port(benchmark::State& state)
{
    Load(state, FourPortPath());
}
void BM_Baseline4Port(benchmark::State& state)
{
    Baseline(state, FourPortPath());
}
void BM_Load2Port(benchmark::State& state)
{
    Load(state, TwoPortPath());
}
void BM_Load8Port(benchmark::State& state)
{
    Load(state, EightPortPath());
}
void BM_Load16Port(benchmark::State& state)
{
    Load(state, SixteenPortPath());
}
void BM_Baseline2Port(benchmark::State& state)
{
    Baseline(state, TwoPortPath());
}
// The largest file the readers take whole (about 70 MB); goal: at least 400 MB/s.
void BM_Load2Port1000001(benchmark::State& state)
{
    Load(state, LargestTwoPortPath());
}
// The same on one core: what the second core adds.
void BM_Load2Port1000001OneCore(benchmark::State& state)
{
    CPairConversion::SetMaxThreads(1);
    Load(state, LargestTwoPortPath());
    CPairConversion::SetMaxThreads(0);
}
void BM_Baseline2Port1000001(benchmark::State& state)
{
    Baseline(state, LargestTwoPortPath());
}

// A tiny file: what a process takes to start and end, subtracted from the others.
const std::string& TinyPath()
{
    static const std::string path = [] {
        const std::string p =
            (std::filesystem::temp_directory_path() / "torvex-bench-tiny.s2p").string();
        std::ofstream out(p);
        out << "# GHz S RI R 50\n1 0 0 0 0 0 0 0 0\n2 0 0 0 0 0 0 0 0\n3 0 0 0 0 0 0 0 0\n";
        return p;
    }();
    return path;
}

// Runs a program to its end, its output discarded; the peak memory of the child (MB) goes
// into a counter.
void RunProcess(benchmark::State& state, std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    long peakKb = 0;
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot start the program");
            break;
        }
        int status = 0;
        struct rusage usage {};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program failed");
            break;
        }
        peakKb = std::max(peakKb, static_cast<long>(usage.ru_maxrss));
    }
    posix_spawn_file_actions_destroy(&actions);
    state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024.0;
}

void BM_CheckProcessStartup(benchmark::State& state)
{
    RunProcess(state, {TORVEX_PROGRAM, "--check", TinyPath()});
}
void BM_CheckProcess4Port(benchmark::State& state)
{
    RunProcess(state, {TORVEX_PROGRAM, "--check", FourPortPath()});
}
void BM_CheckProcess16Port(benchmark::State& state)
{
    RunProcess(state, {TORVEX_PROGRAM, "--check", SixteenPortPath()});
}
// The largest 2-port file: its peak memory (peak_MB) against its size (file_MB); the goal
// is at most the file's size and 150 MB more.
void BM_CheckProcess2Port1000001(benchmark::State& state)
{
    RunProcess(state, {TORVEX_PROGRAM, "--check", LargestTwoPortPath()});
    state.counters["file_MB"] =
        static_cast<double>(std::filesystem::file_size(LargestTwoPortPath())) / (1 << 20);
}
void BM_NumbersProcessStartup(benchmark::State& state)
{
    RunProcess(state, {READ_NUMBERS_PROGRAM, TinyPath()});
}
void BM_NumbersProcess4Port(benchmark::State& state)
{
    RunProcess(state, {READ_NUMBERS_PROGRAM, FourPortPath()});
}

}  // namespace

// Whole processes: compare each with its startup run, (check - startup) against
// (numbers - startup).
BENCHMARK(BM_CheckProcessStartup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckProcess4Port)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckProcess16Port)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckProcess2Port1000001)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NumbersProcessStartup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NumbersProcess4Port)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Load4Port)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline4Port)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load2Port)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline2Port)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load8Port)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load16Port)->Unit(benchmark::kMillisecond);
// Real time: the reader uses more than one core.
BENCHMARK(BM_Load2Port1000001)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Load2Port1000001OneCore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline2Port1000001)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
