// Drawing a full chart's traces (16 traces of 16001 samples, the largest the program loads)
// through CQtDC's LineTo against handing the same points to QPainter::drawPolyline directly,
// the floor for any drawing surface over QPainter. Argument: pen width (1 thin, 2 thick).
#include "platform/QtDC.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1200;
constexpr int kTraces = 16;
constexpr int kPoints = 16001;

// Ripple-like traces across the whole image, each at its own level.
const std::vector<std::vector<QPoint>>& Traces()
{
    static const std::vector<std::vector<QPoint>> traces = [] {
        std::vector<std::vector<QPoint>> all(kTraces);
        for (int t = 0; t < kTraces; ++t) {
            all[t].reserve(kPoints);
            for (int i = 0; i < kPoints; ++i) {
                const double f = static_cast<double>(i) / (kPoints - 1);
                const double y = kHeight * (0.05 + 0.055 * t) + 40.0 * std::sin(f * 60.0 + t)
                    + 15.0 * std::sin(f * 2300.0);
                all[t].emplace_back(static_cast<int>(f * (kWidth - 1)), static_cast<int>(y));
            }
        }
        return all;
    }();
    return traces;
}

QImage& Image()
{
    static QImage image(kWidth, kHeight, QImage::Format_RGB32);
    return image;
}

void BM_DirectPolyline(benchmark::State& state)
{
    const auto& traces = Traces();
    QImage& image = Image();
    image.fill(Qt::white);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        QPen pen(Qt::darkBlue);
        pen.setWidth(static_cast<int>(state.range(0)));
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        for (const auto& trace : traces)
            painter.drawPolyline(trace.data(), static_cast<int>(trace.size()));
        painter.end();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTraces * kPoints);
}
BENCHMARK(BM_DirectPolyline)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_QtDCLineTo(benchmark::State& state)
{
    const auto& traces = Traces();
    QImage& image = Image();
    image.fill(Qt::white);
    for (auto _ : state) {
        QPainter painter(&image);
        {
            CQtDC dc(painter, false);
            const CPen old = dc.SelectPen(CPen{Rgb(0, 0, 128), static_cast<int>(state.range(0))});
            for (const auto& trace : traces) {
                dc.MoveToEx(trace[0].x(), trace[0].y());
                for (std::size_t i = 1; i < trace.size(); ++i)
                    dc.LineTo(trace[i].x(), trace[i].y());
            }
            dc.SelectPen(old);
        }
        painter.end();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTraces * kPoints);
}
BENCHMARK(BM_QtDCLineTo)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
