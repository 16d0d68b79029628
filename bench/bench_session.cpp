// Loading five of the largest 4-port files into the slots and rebuilding the plot with a
// view of all sixteen S-parameters in dB: what "Open Files..." costs at the limit.
#include "app/TorvexSession.h"
#include "platform/MessageBox.h"
#include "platform/QtDC.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

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

// The time-domain dialog's OK with another window or gate: sixteen items of one 16001-point
// 4-port file rebuilt and the whole chart painted at 1000 x 600, as the window then does. The
// time view (0) transforms every item; the gated frequency view (1) gates the file and derives
// dB, as the plain one (2) does without the gate.
void BM_TimeDomainRedraw(benchmark::State& state)
{
    const bool gated = state.range(0) == 1;
    const bool frequency = state.range(0) >= 1;
    const Files& files = TheFiles();
    CRecordingMessageSink quiet;
    CTorvexSession session;
    session.OpenFiles({files.entries.front()});
    ViewSelection view;
    for (int v = 0; v < 16; ++v)
        view.emplace_back(v, frequency ? ValueFormat::DB : ValueFormat::IMPULSE);
    QImage image(1000, 600, QImage::Format_RGB32);
    TimeDomainSettings settings;
    settings.gateOn = gated;
    settings.gate = {0.0, 2.0, TimeGate::Shape::NORMAL, false};
    int turn = 0;
    for (auto _ : state) {
        settings.window.beta = ++turn % 2 ? 6.0 : 13.0;  // a change each time
        session.ApplyTimeDomain(settings, view);
        image.fill(Qt::white);
        QPainter painter(&image);
        CQtDC dc(painter, false);
        session.sheet.sheetRect = CRect(0, 0, 1000, 600);
        session.sheet.Draw(dc);
    }
    if (session.Graph().traces.size() != 16)
        state.SkipWithError("the view was not built");
}
BENCHMARK(BM_TimeDomainRedraw)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
