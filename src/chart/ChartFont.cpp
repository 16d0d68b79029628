#include "chart/ChartFont.h"

#include <utility>

void CChartFont::SetFont(const std::string& face, int tenthsOfPoint, COLORREF textColor)
{
    faceName = face;
    pointSize = tenthsOfPoint;
    color = textColor;
    dirty = true;
}

void CChartFont::Realize(CDC& dc)
{
    if (!dirty)
        return;
    ReleaseFont();
    Adopt(dc, dc.CreatePointFont(pointSize, faceName));
}

void CChartFont::RealizeRotated(CDC& dc, const CChartFont& source)
{
    if (!dirty)
        return;
    LogFont logFont;
    if (source.font) {
        logFont = source.font->GetLogFont();
    } else {
        // Not realised yet: describe it as Realize would create it rather than fail.
        logFont.faceName = source.faceName;
        logFont.height = FontPixelHeight(source.pointSize, dc.GetDeviceDpiY());
    }
    logFont.escapement = 900;  // tenths of a degree, counter-clockwise
    logFont.orientation = 900;
    ReleaseFont();
    Adopt(dc, dc.CreateFontIndirect(logFont));
}

void CChartFont::ReleaseFont()
{
    font.reset();
    created = false;
}

void CChartFont::Adopt(CDC& dc, FontHandle newFont)
{
    // A failed creation is not an error: the drawing goes on with what the device selects.
    font = std::move(newFont);
    created = true;
    dirty = false;
    const FontHandle previous = dc.SelectFont(font);
    metrics = dc.GetTextMetrics();
    dc.SelectFont(previous);
}
