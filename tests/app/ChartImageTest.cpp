// The chart painted through the real Qt surface into images and files.
#include "app/ChartExport.h"
#include "app/SheetPrinter.h"
#include "chart/ChartSheet.h"
#include "platform/QtDC.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <fstream>
#include <iterator>
#include <memory>
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
        {dir.Path("chart.bmp"), 100, 100},
        {dir.Path("chart"), 100, 100},
        {dir.Path("chart.png"), 0, 100},
        {dir.Path("missing/chart.png"), 100, 100},
        {dir.Path("missing/chart.svg"), 100, 100},
        {dir.Path("missing/chart.pdf"), 100, 100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        std::string error;
        EXPECT_FALSE(ExportChart(*sheet, row.path, row.width, row.height, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(sheet->sheetRect, screen);
    }
}

}  // namespace
