// The drawing surface over a QPainter: the window, an image, an SVG generator, a printer or a
// PDF writer. Geometry follows the classic device context: integer device pixels, rectangles
// fill [left, right) x [top, bottom), lines leave out their end pixel, opaque text cells.
#pragma once

#include "platform/DC.h"

#include <QFont>
#include <QFontMetrics>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <vector>

class QBrush;
class QPainter;
class QPainterPath;

class CQtDC : public CDC {
public:
    // The painter must be active. dpiY > 0 replaces the device's logical DPI (exports that
    // want fonts sized for a resolution other than the target's). The painter's state is saved
    // here and restored by the destructor.
    CQtDC(QPainter& painter, bool printing, int dpiY = 0);
    ~CQtDC() override;
    CQtDC(const CQtDC&) = delete;
    CQtDC& operator=(const CQtDC&) = delete;

    // Sends the buffered line run to the painter. Every other drawing operation, a pen or clip
    // change and the destructor do it too; call it before painting on the QPainter directly.
    void Flush();

    bool IsPrinting() const override { return printing; }
    int GetDeviceDpiY() const override { return dpiY; }

    void FillSolidRect(const CRect& rect, COLORREF color) override;

    CPen SelectPen(const CPen& newPen) override;
    CBrush SelectBrush(const CBrush& newBrush) override;
    FontHandle SelectFont(FontHandle newFont) override;

    CPoint MoveToEx(std::int32_t x, std::int32_t y) override;
    void LineTo(std::int32_t x, std::int32_t y) override;
    void SetPixel(std::int32_t x, std::int32_t y, COLORREF color) override;
    void Ellipse(const CRect& box) override;
    void Arc(const CRect& box, CPoint start, CPoint end) override;

    unsigned SetTextAlign(unsigned flags) override;
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF SetBkColor(COLORREF color) override;
    void TextOut(std::int32_t x, std::int32_t y, const std::string& text) override;
    void ExtTextOut(std::int32_t x, std::int32_t y, const CRect& clip,
                    const std::string& text) override;
    TextMetrics GetTextMetrics() const override;
    CSize GetTextExtent(const std::string& text) const override;

    FontHandle CreatePointFont(std::int32_t tenthsOfPoint, const std::string& faceName) override;
    FontHandle CreateFontIndirect(const LogFont& logFont) override;

    void SetClipRect(const CRect& rect) override;
    void ResetClip() override;

private:
    void DrawText(std::int32_t x, std::int32_t y, const std::string& text, const QRect* clip);
    // Geometric clipping for devices that drop clip rectangles (Qt's SVG writer): the
    // clip in force, and the pieces of a shape inside it.
    bool SoftClipping() const { return softClip && clipActive; }
    void DrawSoftClippedRun();
    void DrawWideRunInChunks();
    void FillClipped(const QPainterPath& shape, const QBrush& fill, const QRect& clip);
    void SetPainterClip(const QRect& rect);
    // Offsets odd-width outlines by half a pixel where there is no pixel grid, so that a
    // 1-pixel line on an integer coordinate covers its pixel row instead of half of two.
    bool NeedsHalfPixelOffset() const;

    QPainter& painter;
    bool printing;
    int dpiY;
    // Our pixels are the raster engine's pixels (not PDF or SVG, no scaling such as a high-DPI
    // widget's): only then do Qt's pixel rules for 1-pixel lines apply.
    bool pixelGrid;
    bool softClip;  // the device ignores clip rectangles: clip every shape here

    CPen pen;
    QPen qpen;
    CBrush brush;
    FontHandle font;  // nullptr: the painter's own font, as it was handed to us
    QFont defaultFont;
    QFont qfont;           // what font draws with
    QFontMetrics metrics;  // of qfont on this device
    int escapement = 0;    // of the selected font, tenths of a degree counter-clockwise
    unsigned textAlign = TA_LEFT | TA_TOP;
    COLORREF textColor = Rgb(0, 0, 0);
    COLORREF bkColor = Rgb(255, 255, 255);

    CPoint current;
    std::vector<QPoint> run;        // pending LineTo points, run[0] the start point
    std::vector<QPoint> fixPixels;  // scratch for Flush, kept to avoid reallocation

    bool clipActive = false;
    QRect clipRect;
    bool hadClip = false;  // the painter came with a clip: ours is intersected with it
    QRegion originalClip;
};
