#include "app/ChartExport.h"

#include "app/SheetPrinter.h"
#include "chart/ChartSheet.h"
#include "platform/AsciiText.h"
#include "platform/QtDC.h"

#include <algorithm>
#include <cctype>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>

namespace {

// Images are drawn at the usual screen resolution, so that fonts come out as in the window.
constexpr int kImageDpi = 96;
// The PDF page stands in for a printer page; this resolution is a common laser printer's.
constexpr int kPdfDpi = 600;

std::string LowerExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// Draws the sheet filling a paint device of width x height pixels, fonts realised for it.
void PaintSheet(CChartSheet& sheet, QPainter& painter, int width, int height)
{
    sheet.MarkFontsDirty();
    sheet.sheetRect = CRect(0, 0, width, height);
    CQtDC dc(painter, false);
    sheet.Draw(dc);
}

QImage DrawImage(CChartSheet& sheet, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const int dotsPerMeter = static_cast<int>(kImageDpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintSheet(sheet, painter, width, height);
    }
    return image;
}

bool ExportPng(CChartSheet& sheet, const QString& path, int width, int height, std::string& error)
{
    const QImage image = DrawImage(sheet, width, height);
    if (image.isNull()) {
        error = "cannot make an image of " + std::to_string(width) + "x" + std::to_string(height)
            + " pixels";
        return false;
    }
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        error = "cannot write " + path.toStdString() + ": " + writer.errorString().toStdString();
        return false;
    }
    return true;
}

bool ExportSvg(CChartSheet& sheet, const QString& path, int width, int height, std::string& error)
{
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setSize(QSize(width, height));
    generator.setViewBox(QRect(0, 0, width, height));
    generator.setResolution(kImageDpi);
    generator.setTitle(QString::fromStdString(sheet.title));
    QPainter painter;
    if (!painter.begin(&generator)) {
        error = "cannot write " + path.toStdString();
        return false;
    }
    PaintSheet(sheet, painter, width, height);
    if (!painter.end()) {
        error = "cannot write " + path.toStdString();
        return false;
    }
    return true;
}

bool ExportPdf(CChartSheet& sheet, const QString& path, const CRect& screenRect, std::string& error)
{
    QPdfWriter writer(path);
    writer.setResolution(kPdfDpi);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
    writer.setCreator("Torvex");
    if (!CSheetPrinter::Print(sheet, writer, screenRect)) {
        error = "cannot write " + path.toStdString();
        return false;
    }
    return true;
}

}  // namespace

bool ExportChart(CChartSheet& sheet, const std::string& path, int width, int height,
                 std::string& error)
{
    const std::string ext = LowerExtension(path);
    if (ext != "png" && ext != "svg" && ext != "pdf") {
        error = "unknown image format of " + EscapeName(path) + " (use .png, .svg or .pdf)";
        return false;
    }
    if (ext != "pdf" && (width <= 0 || height <= 0)) {
        error = "the image size must be positive";
        return false;
    }
    const QString qpath = QString::fromStdString(path);
    const CRect screenRect = sheet.sheetRect;
    bool written = false;
    if (ext == "png")
        written = ExportPng(sheet, qpath, width, height, error);
    else if (ext == "svg")
        written = ExportSvg(sheet, qpath, width, height, error);
    else
        written = ExportPdf(sheet, qpath, screenRect, error);
    // The window's fonts and rectangle come back.
    sheet.MarkFontsDirty();
    sheet.sheetRect = screenRect;
    return written;
}

QImage ChartImage(CChartSheet& sheet, int width, int height)
{
    const CRect screenRect = sheet.sheetRect;
    QImage image = width > 0 && height > 0 ? DrawImage(sheet, width, height) : QImage();
    sheet.MarkFontsDirty();
    sheet.sheetRect = screenRect;
    return image;
}
