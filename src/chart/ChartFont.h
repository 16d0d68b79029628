// A font description of the chart with the platform font realised from it for the device
// in use. Realisation is lazy: only when `dirty`, so fonts survive from paint to paint.
#pragma once

#include <string>

#include "platform/DC.h"

class CChartFont {
public:
    CChartFont() = default;
    CChartFont(const CChartFont&) = default;
    CChartFont& operator=(const CChartFont&) = default;
    virtual ~CChartFont() = default;  // the handle lets go of the platform font itself

    // Stores face, size (tenths of a point) and colour; the font is realised anew at next use.
    void SetFont(const std::string& face, int tenthsOfPoint, COLORREF textColor);
    // When dirty: creates the font for dc by point size and face, and measures it.
    void Realize(CDC& dc);
    // When dirty: creates a copy of the realised source font turned by 90 degrees (text
    // reading upwards) and measures it. The source should be realised first.
    void RealizeRotated(CDC& dc, const CChartFont& source);
    // Lets go of the platform font.
    void ReleaseFont();

    FontHandle font;
    std::string faceName;
    int pointSize = 12;    // tenths of a point; a placeholder until the owner sets it
    bool created = false;  // `font` holds a platform font
    bool dirty = true;     // to be realised before its next use
    COLORREF color = Rgb(0, 0, 0);
    TextMetrics metrics;  // of the realised font, device pixels

private:
    // Takes newFont as the realised font and reads its metrics with it selected.
    void Adopt(CDC& dc, FontHandle newFont);
};
