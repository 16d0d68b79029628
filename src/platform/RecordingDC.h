// A drawing surface that paints nothing and remembers every call, so that layout tests can
// check what the chart drew where. Std-only.
//
// Its text metrics are fixed, in device pixels, so that expected positions can be worked out
// by hand. Let h be the height of the selected font: the LogFont height (CreatePointFont gives
// FontPixelHeight(tenths, dpiY)), its absolute value if negative, 16 with no font selected,
// and never less than 1. Then
//   GetTextMetrics: height = h, ascent = h - h/4, descent = h/4, internalLeading = 0,
//                   externalLeading = 0, aveCharWidth = max(1, h/2), maxCharWidth = h;
//   GetTextExtent:  cx = characters x aveCharWidth (characters = UTF-8 code points), cy = h.
// A turned font measures as the upright one.
//
// IsPrinting and GetDeviceDpiY are not recorded; every other call is, queries included.
#pragma once

#include "platform/DC.h"

#include <cstddef>
#include <string>
#include <vector>

class CRecordingDC : public CDC {
public:
    enum class Kind {
        FillSolidRect,
        SelectPen,
        SelectBrush,
        SelectFont,
        MoveToEx,
        LineTo,
        SetPixel,
        Ellipse,
        Arc,
        SetTextAlign,
        SetTextColor,
        SetBkColor,
        TextOut,
        ExtTextOut,
        GetTextMetrics,
        GetTextExtent,
        CreatePointFont,
        CreateFontIndirect,
        SetClipRect,
        ResetClip,
    };

    // One call. The state fields hold the state after the call, so a SelectPen record carries
    // the new pen and a SetTextColor record the new text colour.
    struct Record {
        Kind kind = Kind::FillSolidRect;
        CPoint point;  // MoveToEx, LineTo, SetPixel, TextOut, ExtTextOut: the point; Arc: start
        CPoint from;   // LineTo: the current point it starts from; Arc: end
        CRect rect;    // FillSolidRect; Ellipse and Arc: the box; ExtTextOut, SetClipRect: clip
        COLORREF color = 0;  // FillSolidRect, SetPixel: the colour; SelectPen, SelectBrush: theirs
        std::int32_t value = 0;  // SetTextAlign: flags; CreatePointFont: tenths of a point
        std::string text;        // TextOut, ExtTextOut, GetTextExtent: text; font calls: face name
        CRect cell;  // TextOut, ExtTextOut: the text cell in device pixels, before clipping
        LogFont createdFont;  // CreatePointFont, CreateFontIndirect: the description made

        CPen pen;
        CBrush brush;
        bool hasFont = false;  // false: no font selected
        LogFont font;          // the selected font's description
        unsigned align = TA_LEFT | TA_TOP;
        COLORREF textColor = 0;
        COLORREF bkColor = 0;
        bool clipped = false;
        CRect clip;  // as given to SetClipRect, while clipped
    };

    // The fonts this surface makes: only a description.
    class Font : public CPlatformFont {
    public:
        explicit Font(const LogFont& description) : logFont(description) {}
        LogFont GetLogFont() const override { return logFont; }

    private:
        LogFont logFont;
    };

    explicit CRecordingDC(bool printing = false, int dpiY = 96);

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

    // Current state.
    const CPen& GetPen() const { return pen; }
    const CBrush& GetBrush() const { return brush; }
    const FontHandle& GetFont() const { return font; }
    unsigned GetTextAlign() const { return textAlign; }
    COLORREF GetTextColor() const { return textColor; }
    COLORREF GetBkColor() const { return bkColor; }
    CPoint GetCurrentPosition() const { return current; }
    bool IsClipped() const { return clipped; }
    const CRect& GetClip() const { return clip; }

    // Helpers for tests.
    std::size_t Count(Kind kind) const;
    std::vector<Record> Find(Kind kind) const;
    std::vector<Record> Texts() const;  // TextOut and ExtTextOut, in order
    // The first TextOut or ExtTextOut of exactly this text, or nullptr.
    const Record* FindText(const std::string& text) const;
    std::vector<CPoint> LinePoints() const;  // MoveToEx and LineTo points, in order
    // The connected line runs: each MoveToEx starts one, each LineTo extends the current one.
    // Runs without any LineTo are left out.
    std::vector<std::vector<CPoint>> Polylines() const;
    void Clear() { records.clear(); }  // forgets the records, keeps the state

    // Written by const queries too.
    mutable std::vector<Record> records;

private:
    Record& Add(Kind kind) const;
    std::int32_t FontHeight() const;
    CSize Extent(const std::string& text) const;  // GetTextExtent without the record
    CRect TextCell(std::int32_t x, std::int32_t y, const std::string& text) const;

    bool printing;
    int dpiY;
    CPen pen;
    CBrush brush;
    FontHandle font;
    unsigned textAlign = TA_LEFT | TA_TOP;
    COLORREF textColor = Rgb(0, 0, 0);
    COLORREF bkColor = Rgb(255, 255, 255);
    CPoint current;
    bool clipped = false;
    CRect clip;
};
