// A box of the chart: a pixel rectangle with a fill colour and a 1-pixel frame.
#pragma once

#include "platform/DC.h"

class CChartArea {
public:
    CChartArea() = default;
    explicit CChartArea(const CRect& areaRect) : rect(areaRect) {}
    CChartArea(const CChartArea&) = default;
    CChartArea& operator=(const CChartArea&) = default;
    virtual ~CChartArea() = default;

    // When visible: fills rect, then draws the frame.
    void Draw(CDC& dc) const;
    // When visible: a 1-pixel line in borderColor around rect grown by 1 pixel on every side.
    // The previously selected pen is restored.
    void DrawFrame(CDC& dc) const;

    CRect rect;  // device pixels, set by the layout
    COLORREF fillColor = Rgb(255, 255, 255);
    COLORREF borderColor = Rgb(255, 255, 255);
    bool visible = true;
};
