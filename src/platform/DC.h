// The drawing surface the chart paints on. Std-only: the chart sees nothing of Qt.
// Semantics follow the classic device context: one current pen, brush and font,
// selected and restored by the caller; integer device pixels; opaque text cells.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

using COLORREF = std::uint32_t;  // 0x00BBGGRR

constexpr COLORREF Rgb(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RgbRed(COLORREF c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int RgbGreen(COLORREF c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int RgbBlue(COLORREF c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

struct CPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
};

struct CSize {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

// Device pixels; right and bottom are exclusive where a fill or clip uses them.
struct CRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    CRect() = default;
    CRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
        : left(l), top(t), right(r), bottom(b)
    {
    }
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    bool operator==(const CRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }
};

// Metrics of the selected font, in device pixels.
struct TextMetrics {
    std::int32_t height = 0;  // full cell height (ascent + descent)
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t internalLeading = 0;
    std::int32_t externalLeading = 0;
    std::int32_t aveCharWidth = 0;
    std::int32_t maxCharWidth = 0;
};

// A complete font description, enough to create the same font again turned.
struct LogFont {
    std::string faceName;
    std::int32_t height = 0;       // character height in device pixels, without internal leading
    std::int32_t escapement = 0;   // tenths of a degree, counter-clockwise
    std::int32_t orientation = 0;  // tenths of a degree
    std::int32_t weight = 400;
    bool italic = false;
    bool underline = false;
};

// A font realised for one device.
class CPlatformFont {
public:
    virtual ~CPlatformFont() = default;
    virtual LogFont GetLogFont() const = 0;
};
using FontHandle = std::shared_ptr<CPlatformFont>;

struct CPen {
    COLORREF color = 0;
    std::int32_t width = 1;
};

struct CBrush {
    COLORREF color = Rgb(255, 255, 255);
};

// Text alignment flags (combine one horizontal with one vertical flag).
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_HORZ_MASK = 6;
constexpr unsigned TA_VERT_MASK = 8;

class CDC {
public:
    virtual ~CDC() = default;

    // True on a printer page (and on the PDF page the export makes like one).
    virtual bool IsPrinting() const = 0;
    // Vertical pixels per inch of the device; fonts are sized with it.
    virtual int GetDeviceDpiY() const = 0;

    virtual void FillSolidRect(const CRect& rect, COLORREF color) = 0;

    // Select a pen, brush or font; the previously selected one is returned.
    virtual CPen SelectPen(const CPen& pen) = 0;
    virtual CBrush SelectBrush(const CBrush& brush) = 0;
    virtual FontHandle SelectFont(FontHandle font) = 0;

    // Lines run from the current point; the end pixel is not drawn.
    virtual CPoint MoveToEx(std::int32_t x, std::int32_t y) = 0;
    virtual void LineTo(std::int32_t x, std::int32_t y) = 0;
    virtual void SetPixel(std::int32_t x, std::int32_t y, COLORREF color) = 0;
    // Filled with the current brush, outlined with the current pen.
    virtual void Ellipse(const CRect& box) = 0;
    // Outline of the ellipse in box from start to end, counter-clockwise, current pen;
    // equal start and end give the whole ellipse.
    virtual void Arc(const CRect& box, CPoint start, CPoint end) = 0;

    virtual unsigned SetTextAlign(unsigned flags) = 0;
    virtual COLORREF SetTextColor(COLORREF color) = 0;
    virtual COLORREF SetBkColor(COLORREF color) = 0;
    // Text cells are filled with the background colour (opaque mode).
    virtual void TextOut(std::int32_t x, std::int32_t y, const std::string& text) = 0;
    // As TextOut, with the text cut off at clip.
    virtual void ExtTextOut(std::int32_t x, std::int32_t y, const CRect& clip,
                            const std::string& text) = 0;
    virtual TextMetrics GetTextMetrics() const = 0;
    virtual CSize GetTextExtent(const std::string& text) const = 0;

    // Pixel height = tenths of a point x device DPI / 720, rounded.
    virtual FontHandle CreatePointFont(std::int32_t tenthsOfPoint, const std::string& faceName) = 0;
    virtual FontHandle CreateFontIndirect(const LogFont& logFont) = 0;

    // Restrict drawing to rect (right and bottom excluded); ResetClip lifts it.
    virtual void SetClipRect(const CRect& rect) = 0;
    virtual void ResetClip() = 0;
};

// Pixel height of a font of the given size for a device (rounded to nearest).
inline std::int32_t FontPixelHeight(std::int32_t tenthsOfPoint, int dpiY)
{
    const long long num = static_cast<long long>(tenthsOfPoint) * dpiY;
    return static_cast<std::int32_t>(num >= 0 ? (num + 360) / 720 : -((-num + 360) / 720));
}
