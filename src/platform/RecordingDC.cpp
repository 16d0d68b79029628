#include "platform/RecordingDC.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

namespace {

constexpr std::int32_t kDefaultFontHeight = 16;

std::int32_t CodePoints(const std::string& text)
{
    long long count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)  // not a continuation byte
            ++count;
    return static_cast<std::int32_t>(
        std::min<long long>(count, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t ClampToInt32(long long v)
{
    return static_cast<std::int32_t>(std::clamp<long long>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

CRecordingDC::CRecordingDC(bool isPrinting, int deviceDpiY) : printing(isPrinting), dpiY(deviceDpiY)
{
}

CRecordingDC::Record& CRecordingDC::Add(Kind kind) const
{
    Record& r = records.emplace_back();
    r.kind = kind;
    r.pen = pen;
    r.brush = brush;
    r.hasFont = static_cast<bool>(font);
    if (font)
        r.font = font->GetLogFont();
    r.align = textAlign;
    r.textColor = textColor;
    r.bkColor = bkColor;
    r.clipped = clipped;
    r.clip = clip;
    return r;
}

std::int32_t CRecordingDC::FontHeight() const
{
    if (!font)
        return kDefaultFontHeight;
    const long long h = std::llabs(static_cast<long long>(font->GetLogFont().height));
    return static_cast<std::int32_t>(
        std::clamp<long long>(h, 1, std::numeric_limits<std::int32_t>::max()));
}

void CRecordingDC::FillSolidRect(const CRect& rect, COLORREF color)
{
    Record& r = Add(Kind::FillSolidRect);
    r.rect = rect;
    r.color = color;
}

CPen CRecordingDC::SelectPen(const CPen& newPen)
{
    const CPen previous = std::exchange(pen, newPen);
    Add(Kind::SelectPen).color = newPen.color;
    return previous;
}

CBrush CRecordingDC::SelectBrush(const CBrush& newBrush)
{
    const CBrush previous = std::exchange(brush, newBrush);
    Add(Kind::SelectBrush).color = newBrush.color;
    return previous;
}

FontHandle CRecordingDC::SelectFont(FontHandle newFont)
{
    FontHandle previous = std::exchange(font, std::move(newFont));
    Record& r = Add(Kind::SelectFont);
    r.text = r.font.faceName;
    return previous;
}

CPoint CRecordingDC::MoveToEx(std::int32_t x, std::int32_t y)
{
    const CPoint previous = std::exchange(current, CPoint{x, y});
    Add(Kind::MoveToEx).point = current;
    return previous;
}

void CRecordingDC::LineTo(std::int32_t x, std::int32_t y)
{
    Record& r = Add(Kind::LineTo);
    r.from = current;
    current = CPoint{x, y};
    r.point = current;
}

void CRecordingDC::SetPixel(std::int32_t x, std::int32_t y, COLORREF color)
{
    Record& r = Add(Kind::SetPixel);
    r.point = CPoint{x, y};
    r.color = color;
}

void CRecordingDC::Ellipse(const CRect& box)
{
    Add(Kind::Ellipse).rect = box;
}

void CRecordingDC::Arc(const CRect& box, CPoint start, CPoint end)
{
    Record& r = Add(Kind::Arc);
    r.rect = box;
    r.point = start;
    r.from = end;
}

unsigned CRecordingDC::SetTextAlign(unsigned flags)
{
    const unsigned previous = std::exchange(textAlign, flags);
    Add(Kind::SetTextAlign).value = static_cast<std::int32_t>(flags);
    return previous;
}

COLORREF CRecordingDC::SetTextColor(COLORREF color)
{
    const COLORREF previous = std::exchange(textColor, color);
    Add(Kind::SetTextColor).color = color;
    return previous;
}

COLORREF CRecordingDC::SetBkColor(COLORREF color)
{
    const COLORREF previous = std::exchange(bkColor, color);
    Add(Kind::SetBkColor).color = color;
    return previous;
}

CRect CRecordingDC::TextCell(std::int32_t x, std::int32_t y, const std::string& text) const
{
    const long long width = Extent(text).cx;
    const long long height = FontHeight();
    long long left = 0;
    if ((textAlign & TA_HORZ_MASK) == TA_RIGHT)
        left = -width;
    else if ((textAlign & TA_HORZ_MASK) == TA_CENTER)
        left = -(width / 2);
    const long long top = (textAlign & TA_VERT_MASK) == TA_BOTTOM ? -height : 0;

    // Turn the cell counter-clockwise by the escapement about the reference point: the
    // text's own x axis (u) and its downward axis (v) on a y-down device.
    const int escapement = font ? font->GetLogFont().escapement % 3600 : 0;
    const double angle = escapement / 1800.0 * 3.14159265358979323846;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    long long minX = std::numeric_limits<long long>::max();
    long long minY = minX;
    long long maxX = std::numeric_limits<long long>::min();
    long long maxY = maxX;
    for (long long u : {left, left + width}) {
        for (long long v : {top, top + height}) {
            const long long dx = std::llround(u * c + v * s);
            const long long dy = std::llround(-u * s + v * c);
            minX = std::min(minX, dx);
            maxX = std::max(maxX, dx);
            minY = std::min(minY, dy);
            maxY = std::max(maxY, dy);
        }
    }
    return CRect(ClampToInt32(x + minX), ClampToInt32(y + minY), ClampToInt32(x + maxX),
                 ClampToInt32(y + maxY));
}

void CRecordingDC::TextOut(std::int32_t x, std::int32_t y, const std::string& text)
{
    const CRect cell = TextCell(x, y, text);
    Record& r = Add(Kind::TextOut);
    r.point = CPoint{x, y};
    r.text = text;
    r.cell = cell;
}

void CRecordingDC::ExtTextOut(std::int32_t x, std::int32_t y, const CRect& clipRect,
                              const std::string& text)
{
    const CRect cell = TextCell(x, y, text);
    Record& r = Add(Kind::ExtTextOut);
    r.point = CPoint{x, y};
    r.rect = clipRect;
    r.text = text;
    r.cell = cell;
}

TextMetrics CRecordingDC::GetTextMetrics() const
{
    Add(Kind::GetTextMetrics);
    const std::int32_t h = FontHeight();
    TextMetrics tm;
    tm.height = h;
    tm.descent = h / 4;
    tm.ascent = h - tm.descent;
    tm.aveCharWidth = std::max(1, h / 2);
    tm.maxCharWidth = h;
    return tm;
}

CSize CRecordingDC::GetTextExtent(const std::string& text) const
{
    Add(Kind::GetTextExtent).text = text;
    return Extent(text);
}

CSize CRecordingDC::Extent(const std::string& text) const
{
    const std::int32_t h = FontHeight();
    const long long width = static_cast<long long>(CodePoints(text)) * std::max(1, h / 2);
    return CSize{ClampToInt32(width), h};
}

FontHandle CRecordingDC::CreatePointFont(std::int32_t tenthsOfPoint, const std::string& faceName)
{
    LogFont logFont;
    logFont.faceName = faceName;
    logFont.height = FontPixelHeight(tenthsOfPoint, dpiY);
    Record& r = Add(Kind::CreatePointFont);
    r.value = tenthsOfPoint;
    r.text = faceName;
    r.createdFont = logFont;
    return std::make_shared<Font>(logFont);
}

FontHandle CRecordingDC::CreateFontIndirect(const LogFont& logFont)
{
    Record& r = Add(Kind::CreateFontIndirect);
    r.text = logFont.faceName;
    r.createdFont = logFont;
    return std::make_shared<Font>(logFont);
}

void CRecordingDC::SetClipRect(const CRect& rect)
{
    clipped = true;
    clip = rect;
    Add(Kind::SetClipRect).rect = rect;
}

void CRecordingDC::ResetClip()
{
    clipped = false;
    clip = CRect();
    Add(Kind::ResetClip);
}

std::size_t CRecordingDC::Count(Kind kind) const
{
    return static_cast<std::size_t>(std::count_if(
        records.begin(), records.end(), [kind](const Record& r) { return r.kind == kind; }));
}

std::vector<CRecordingDC::Record> CRecordingDC::Find(Kind kind) const
{
    std::vector<Record> found;
    for (const Record& r : records)
        if (r.kind == kind)
            found.push_back(r);
    return found;
}

std::vector<CRecordingDC::Record> CRecordingDC::Texts() const
{
    std::vector<Record> found;
    for (const Record& r : records)
        if (r.kind == Kind::TextOut || r.kind == Kind::ExtTextOut)
            found.push_back(r);
    return found;
}

const CRecordingDC::Record* CRecordingDC::FindText(const std::string& text) const
{
    for (const Record& r : records)
        if ((r.kind == Kind::TextOut || r.kind == Kind::ExtTextOut) && r.text == text)
            return &r;
    return nullptr;
}

std::vector<CPoint> CRecordingDC::LinePoints() const
{
    std::vector<CPoint> points;
    for (const Record& r : records)
        if (r.kind == Kind::MoveToEx || r.kind == Kind::LineTo)
            points.push_back(r.point);
    return points;
}

std::vector<std::vector<CPoint>> CRecordingDC::Polylines() const
{
    std::vector<std::vector<CPoint>> runs;
    std::vector<CPoint> run;
    auto finish = [&]() {
        if (run.size() >= 2)
            runs.push_back(run);
        run.clear();
    };
    for (const Record& r : records) {
        if (r.kind == Kind::MoveToEx) {
            finish();
            run.push_back(r.point);
        } else if (r.kind == Kind::LineTo) {
            if (run.empty())
                run.push_back(r.from);
            run.push_back(r.point);
        }
    }
    finish();
    return runs;
}
