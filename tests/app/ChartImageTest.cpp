// The chart painted through the real Qt surface into images and files.
#include "app/ChartExport.h"
#include "app/SheetPrinter.h"
#include "chart/ChartSheet.h"
#include "platform/QtDC.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgRenderer>
#include <string>

namespace {

constexpr COLORREF kTraceColor = Rgb(220, 30, 40);

// A sheet with one graph of two 201-point traces, titles and markers.
std::unique_ptr<CChartSheet> MakeSheet(int lineType = 0)
{
    auto sheet = std::make_unique<CChartSheet>();
    sheet->DeleteGraphs();
    sheet->title = "Image test";
    auto graph = std::make_unique<CChartGraph>(7);
    graph->xAxis.SetRange(0, 200);
    graph->leftAxis.SetUp("Left [dB]", 0, 100, false);
    graph->rightAxis.SetUp("Right [dB]", 0, 40, false);
    graph->lineType = lineType;
    std::vector<double> flat(201, 50.0);
    CChartTrace a(flat, 0, 200, "flat", true);
    a.color = kTraceColor;
    graph->AddTrace(a);
    std::vector<double> ramp;
    for (int i = 0; i <= 200; ++i)
        ramp.push_back(i / 5.0);
    graph->AddTrace(CChartTrace(ramp, 0, 200, "ramp", false));
    graph->markers = {50.0, 150.0};
    sheet->AddGraph(std::move(graph));
    return sheet;
}

QImage Paint(CChartSheet& sheet, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    CQtDC dc(painter, false);
    sheet.sheetRect = CRect(0, 0, width, height);
    sheet.Draw(dc);
    return image;
}

COLORREF PixelAt(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return Rgb(c.red(), c.green(), c.blue());
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ChartImageTest, PlotFrameLiesAroundTheComputedPlot)
{
    auto sheet = MakeSheet();
    const QImage image = Paint(*sheet, 900, 600);
    const CChartGraph& graph = *sheet->GraphAt(0);
    ASSERT_TRUE(graph.plotArea.visible);
    const CRect p = graph.plotArea.rect;
    const COLORREF border = graph.plotArea.borderColor;
    const int midY = (p.top + p.bottom) / 2 + 3;
    const int midX = (p.left + p.right) / 2 + 3;
    EXPECT_EQ(PixelAt(image, p.left - 1, midY), border);
    EXPECT_EQ(PixelAt(image, p.right + 1, midY), border);
    EXPECT_EQ(PixelAt(image, midX, p.top - 1), border);
    EXPECT_EQ(PixelAt(image, midX, p.bottom + 1), border);
    // Just outside the frame lies the graph area.
    EXPECT_EQ(PixelAt(image, p.left - 3, midY), graph.graphArea.fillColor);
    // The notice line's box runs along the top.
    EXPECT_EQ(PixelAt(image, 2, 2), sheet->noticeArea.fillColor);
}

TEST(ChartImageTest, FlatTraceOnItsPixelRow)
{
    auto sheet = MakeSheet(0);
    const QImage image = Paint(*sheet, 900, 600);
    const CRect p = sheet->GraphAt(0)->plotArea.rect;
    // 50 on 0..100 with the minimum at the top: halfway down.
    const int y = p.top + (p.bottom - p.top) / 2;
    int onRow = 0;
    for (int x = p.left + 20; x < p.right - 20; x += 37)
        onRow += PixelAt(image, x, y) == kTraceColor ? 1 : 0;
    EXPECT_GE(onRow, 15);
    int off = 0;
    for (int x = p.left + 20; x < p.right - 20; x += 37)
        off += PixelAt(image, x, y - 3) == kTraceColor ? 1 : 0;
    EXPECT_EQ(off, 0);
}

TEST(ChartImageTest, PageSheetRect)
{
    EXPECT_EQ(CSheetPrinter::PageSheetRect(4800, 6600), CRect(480, 660, 4320, 5940));
    EXPECT_EQ(CSheetPrinter::PageSheetRect(99, 19), CRect(9, 1, 90, 18));
    EXPECT_EQ(CSheetPrinter::PageSheetRect(0, 0), CRect(0, 0, 0, 0));
}

TEST(ChartImageTest, PrinterStartsLandscape)
{
    QPrinter printer(QPrinter::HighResolution);
    CSheetPrinter::SetUpPrinter(printer);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_GT(printer.width(), printer.height());
    EXPECT_EQ(printer.docName(), "Torvex");
}

TEST(ChartImageTest, PrintingRestoresTheScreenState)
{
    TempDir dir;
    auto sheet = MakeSheet();
    const CRect screen(0, 0, 640, 480);
    sheet->sheetRect = screen;
    QPdfWriter writer(QString::fromStdString(dir.Path("page.pdf")));
    writer.setResolution(600);
    ASSERT_TRUE(CSheetPrinter::Print(*sheet, writer, screen));
    EXPECT_EQ(sheet->sheetRect, screen);
    const CChartGraph& graph = *sheet->GraphAt(0);
    // The page was painted with fonts for 600 dots per inch; they are due again for the screen.
    EXPECT_GT(graph.tickFont.metrics.height, 40);
    EXPECT_TRUE(graph.tickFont.dirty);
    EXPECT_TRUE(sheet->noticeFont.dirty);
    EXPECT_EQ(ReadFile(dir.Path("page.pdf")).rfind("%PDF", 0), 0u);
}

TEST(ChartImageTest, ExportWritesEachFormat)
{
    TempDir dir;
    auto sheet = MakeSheet(1);
    const CRect screen(3, 4, 500, 400);
    sheet->sheetRect = screen;
    struct Row {
        std::string name;
        std::string magic;  // at the start of the file, or anywhere for SVG
    };
    const Row rows[] = {
        {"chart.png", "\x89PNG"},
        {"chart.PNG", "\x89PNG"},
        {"chart.svg", "<svg"},
        {"chart.Pdf", "%PDF"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string error;
        const std::string path = dir.Path(row.name);
        ASSERT_TRUE(ExportChart(*sheet, path, 640, 400, error)) << error;
        const std::string content = ReadFile(path);
        if (row.name.find(".svg") != std::string::npos) {
            EXPECT_NE(content.find(row.magic), std::string::npos);
            EXPECT_NE(content.find("viewBox=\"0 0 640 400\""), std::string::npos);
        } else {
            EXPECT_EQ(content.rfind(row.magic, 0), 0u);
        }
        EXPECT_EQ(sheet->sheetRect, screen);
    }
    const QImage png(QString::fromStdString(dir.Path("chart.png")));
    EXPECT_EQ(png.size(), QSize(640, 400));
}

TEST(ChartImageTest, ExportRefusesWhatItCannotWrite)
{
    TempDir dir;
    auto sheet = MakeSheet();
    const CRect screen = sheet->sheetRect;
    struct Row {
        std::string path;
        int width;
        int height;
    };
    const Row rows[] = {
        {dir.Path("chart.bmp"), 100, 100},         {dir.Path("chart"), 100, 100},
        {dir.Path("chart.png"), 0, 100},           {dir.Path("missing/chart.png"), 100, 100},
        {dir.Path("missing/chart.svg"), 100, 100}, {dir.Path("missing/chart.pdf"), 100, 100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        std::string error;
        EXPECT_FALSE(ExportChart(*sheet, row.path, row.width, row.height, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(sheet->sheetRect, screen);
    }
}

// Qt's SVG writer drops clip rectangles: a trace far beyond its axis would cross the title,
// and long legend names and marker values would run out of their cells and the box.
TEST(ChartImageTest, SvgClipsAsTheImageDoes)
{
    TempDir dir;
    auto sheet = MakeSheet(1);
    CChartGraph& graph = *sheet->GraphAt(0);
    std::vector<double> wild;
    for (int i = 0; i <= 200; ++i)
        wild.push_back(i % 2 ? 900.0 : -900.0);
    CChartTrace beyond(wild, 0, 200, "beyond the axis", true);
    beyond.color = kTraceColor;
    graph.traces[0] = beyond;
    for (int i = 0; i < 12; ++i)
        graph.AddTrace(CChartTrace(std::vector<double>(201, 20.0), 0, 200,
                                   "a rather long trace name " + std::to_string(i), false));
    const int width = 700, height = 450;
    std::string error;
    ASSERT_TRUE(ExportChart(*sheet, dir.Path("c.png"), width, height, error)) << error;
    ASSERT_TRUE(ExportChart(*sheet, dir.Path("c.svg"), width, height, error)) << error;
    const QImage png(QString::fromStdString(dir.Path("c.png")));
    QSvgRenderer renderer(QString::fromStdString(dir.Path("c.svg")));
    ASSERT_TRUE(renderer.isValid());
    QImage svg(width, height, QImage::Format_RGB32);
    svg.fill(Qt::white);
    {
        QPainter painter(&svg);
        renderer.render(&painter, QRectF(0, 0, width, height));
    }
    ASSERT_EQ(png.size(), svg.size());

    // The layout of the export, as ExportChart paints it at this size.
    Paint(*sheet, width, height);
    const CRect plot = graph.plotArea.rect;
    const CRect legend = graph.legendArea.rect;
    const auto tracePixels = [&](const QImage& image, int top, int bottom) {
        int count = 0;
        for (int y = std::max(0, top); y < std::min(height, bottom); ++y)
            for (int x = 0; x < width; ++x) {
                const QColor c = image.pixelColor(x, y);
                count += std::abs(c.red() - 220) < 40 && c.green() < 90 && c.blue() < 100;
            }
        return count;
    };
    // Above the plot (title and notice line) and below the legend box: nothing of a trace.
    EXPECT_EQ(tracePixels(png, 0, plot.top - 12), 0);
    EXPECT_EQ(tracePixels(svg, 0, plot.top - 12), 0);
    EXPECT_EQ(tracePixels(png, legend.bottom + 2, height), 0);
    EXPECT_EQ(tracePixels(svg, legend.bottom + 2, height), 0);
    // Inside the plot both show the trace alike.
    const int inPng = tracePixels(png, plot.top + 2, plot.bottom - 2);
    const int inSvg = tracePixels(svg, plot.top + 2, plot.bottom - 2);
    EXPECT_GT(inSvg, 1000);
    EXPECT_NEAR(inSvg, inPng, inPng / 2);
}

}  // namespace
