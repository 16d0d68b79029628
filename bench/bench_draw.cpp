// Painting the whole sheet in the worst case the program allows (16 traces of 16001 XY
// points, and of 1000001 as the largest files give them, "Thick Line", markers on, 1920 x 1200
// pixels) against the floor: the same samples handed to QPainter::drawPolyline, one call per trace,
// with the same pen and clipping. Also the same data on a 1000 x 600 chart, and the window's
// repaint after a marker click, which keeps the plot layer.
#include "app/ChartWidget.h"
#include "app/TorvexSession.h"
#include "chart/ChartSheet.h"
#include "platform/QtDC.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1200;
constexpr int kTraces = 16;
constexpr int kPoints = 16001;
constexpr double kFreqMax = 16000.0;

// Ripple-like responses spread over the left axis (0..80) and the right one (0..40).
std::unique_ptr<CChartGraph> MakeGraph(int pointCount = kPoints)
{
    auto graph = std::make_unique<CChartGraph>(7);
    graph->lineType = 1;
    graph->showMarkers = true;
    ResetTraceColors();
    for (int t = 0; t < kTraces; ++t) {
        const bool left = t % 2 == 0;
        const double scale = left ? 80.0 : 40.0;
        std::vector<CChartTrace::XYpair> points;
        points.reserve(static_cast<std::size_t>(pointCount));
        for (int i = 0; i < pointCount; ++i) {
            const double f = static_cast<double>(i) / (pointCount - 1);
            const double y = scale
                * (0.05 + 0.055 * t + 0.03 * std::sin(f * 60.0 + t) + 0.01 * std::sin(f * 2300.0));
            points.emplace_back(f * kFreqMax, y);
        }
        CChartTrace trace;
        trace.SetPoints(points);
        trace.name = "S21 trace " + std::to_string(t);
        trace.color = NextTraceColor();
        trace.onLeftAxis = left;
        graph->AddTrace(trace);
    }
    graph->xAxis.SetRange(0, kFreqMax);
    graph->markers = {1000.0, 4000.0, 8000.0, 12000.0, 15000.0};
    return graph;
}

std::unique_ptr<CChartSheet> MakeSheet(int width = kWidth, int height = kHeight,
                                       int pointCount = kPoints)
{
    auto sheet = std::make_unique<CChartSheet>();
    sheet->DeleteGraphs();
    sheet->title = "Worst case";
    sheet->AddGraph(MakeGraph(pointCount));
    sheet->sheetRect = CRect(0, 0, width, height);
    return sheet;
}

QImage& Image()
{
    static QImage image(kWidth, kHeight, QImage::Format_RGB32);
    return image;
}

// Arg: the points of each trace.
void BM_SheetDraw(benchmark::State& state)
{
    const int pointCount = static_cast<int>(state.range(0));
    auto sheet = MakeSheet(kWidth, kHeight, pointCount);
    QImage& image = Image();
    for (auto _ : state) {
        QPainter painter(&image);
        {
            CQtDC dc(painter, false);
            sheet->Draw(dc);
        }
        painter.end();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTraces * pointCount);
}
BENCHMARK(BM_SheetDraw)->Arg(kPoints)->Arg(1000001)->Unit(benchmark::kMillisecond);

void BM_SheetDrawSmall(benchmark::State& state)
{
    auto sheet = MakeSheet(1000, 600);
    QImage image(1000, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        {
            CQtDC dc(painter, false);
            sheet->Draw(dc);
        }
        painter.end();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SheetDrawSmall)->Unit(benchmark::kMillisecond);

void BM_RepaintAfterMarker(benchmark::State& state)
{
    // The window's chart with the worst-case graph, painted once; then a click adds a marker
    // and the chart paints again. The marker goes away unpainted, so every round is alike.
    CTorvexSession session;
    session.sheet.DeleteGraphs();
    session.sheet.title = "Worst case";
    session.sheet.AddGraph(MakeGraph());
    session.SetChartRect(CRect(0, 0, kWidth, kHeight));
    CChartWidget chart(session, nullptr);
    chart.resize(kWidth, kHeight);
    session.onRepaint = [&chart] {
        chart.InvalidatePlotLayer();
        chart.update();
    };
    session.onRepaintOverlay = [&chart] { chart.UpdateOverlay(); };
    QImage& image = Image();
    chart.render(&image);
    const CRect p = session.Graph().plotArea.rect;
    const CPoint click{(p.left + p.right) / 3, (p.top + p.bottom) / 2};
    for (auto _ : state) {
        if (!session.AddMarkerAt(click))
            state.SkipWithError("the click added no marker");
        chart.render(&image);
        session.Graph().markers.pop_back();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RepaintAfterMarker)->Unit(benchmark::kMillisecond);

void BM_PolylineFloor(benchmark::State& state)
{
    // The samples the chart draws, worked out once from a painted layout.
    auto sheet = MakeSheet();
    QImage& image = Image();
    {
        QPainter painter(&image);
        CQtDC dc(painter, false);
        sheet->Draw(dc);
    }
    const CChartGraph& graph = *sheet->GraphAt(0);
    const CRect p = graph.plotArea.rect;
    const int width = p.right - p.left;
    const int height = p.bottom - p.top;
    std::vector<std::vector<QPoint>> runs;
    std::vector<QColor> colors;
    for (const CChartTrace& trace : graph.traces) {
        const CChartAxis& axis = trace.onLeftAxis ? graph.leftAxis : graph.rightAxis;
        std::vector<QPoint> run;
        for (int j = 0; j < kPoints; ++j) {
            const double f = static_cast<double>(j) / (kPoints - 1);
            const double v = trace.ValueAt(graph.xAxis.ValueAt(f));
            const int dy = static_cast<int>((v - axis.min) / (axis.max - axis.min) * height);
            run.emplace_back(p.left + static_cast<int>(f * width),
                             axis.reversed ? p.bottom - dy : p.top + dy);
        }
        runs.push_back(std::move(run));
        colors.emplace_back(RgbRed(trace.color), RgbGreen(trace.color), RgbBlue(trace.color));
    }

    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setClipRect(QRect(p.left, p.top, width, height));
        for (std::size_t t = 0; t < runs.size(); ++t) {
            QPen pen(colors[t]);
            pen.setWidth(2);
            pen.setCapStyle(Qt::FlatCap);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.drawPolyline(runs[t].data(), static_cast<int>(runs[t].size()));
        }
        painter.end();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTraces * kPoints);
}
BENCHMARK(BM_PolylineFloor)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
