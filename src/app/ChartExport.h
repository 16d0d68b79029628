// Drawing the chart sheet into files: PNG and SVG images at a pixel size, and a PDF page
// made exactly as the Print command makes a printed page.
#pragma once

#include <QImage>
#include <string>

class CChartSheet;

// Writes the sheet to path; the format follows the extension (.png, .svg, .pdf, any case).
// width and height are the image size in pixels (ignored for PDF: one A4 page). Returns
// false with a reason in error when the file cannot be written or the format is unknown.
bool ExportChart(CChartSheet& sheet, const std::string& path, int width, int height,
                 std::string& error);

// The sheet drawn into an image of width x height pixels as a PNG export draws it (for the
// clipboard); the sheet keeps its rectangle and fonts. A null image for a bad size.
QImage ChartImage(CChartSheet& sheet, int width, int height);
