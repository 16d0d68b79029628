#include "platform/QtDC.h"

#include "platform/QtFont.h"
#include "platform/SegmentClip.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <QFontInfo>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QString>
#include <utility>

namespace {

// Points of a wide line Qt fills at one go; see DrawWideRunInChunks.
constexpr std::size_t kWideChunk = 32;

constexpr double kDegreesPerRadian = 57.295779513082320876798;

QColor ToQColor(COLORREF color)
{
    return QColor(RgbRed(color), RgbGreen(color), RgbBlue(color));
}

QPen MakeQPen(const CPen& pen)
{
    // Solid, flat ends and mitred corners: a line stops at its end point instead of running
    // half the pen width past it. Where a line turns back sharply the corner is cut off
    // instead: a plain mitre there runs up to twice the pen width past the point, and a
    // trace zig-zagging between two pixel rows would show as a band several pixels thick.
    QPen qpen(ToQColor(pen.color));
    qpen.setWidth(std::max(1, pen.width));
    qpen.setStyle(Qt::SolidLine);
    qpen.setCapStyle(Qt::FlatCap);
    qpen.setJoinStyle(Qt::SvgMiterJoin);
    return qpen;
}

// The pixels of a non-empty rectangle; built from its corners so that no width is computed
// from coordinates far apart.
QRect ToQRect(const CRect& rect)
{
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
}

bool IsEmpty(const CRect& rect)
{
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

CRect Normalized(const CRect& rect)
{
    return CRect(std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
                 std::max(rect.left, rect.right), std::max(rect.top, rect.bottom));
}

// Qt's raster engine draws a lone 1-pixel segment over [min, max) of its major axis whatever
// its direction; the device context draws from the start and leaves out the end. They agree
// for segments running toward larger coordinates ("positive") and differ by the two end pixels
// otherwise. Within a polyline Qt's join control moves some end pixels too; Flush makes up
// for both.
bool RunsNegative(const QPoint& from, const QPoint& to)
{
    const long long dx = static_cast<long long>(to.x()) - from.x();
    const long long dy = static_cast<long long>(to.y()) - from.y();
    return std::llabs(dx) >= std::llabs(dy) ? dx < 0 : dy < 0;
}

// Angle in degrees of the ellipse parameter (what QPainter::drawArc takes) for the ray from
// the centre in direction (dx, dyUp).
double ParamAngle(double dx, double dyUp, double radiusX, double radiusY)
{
    if (radiusX <= 0.0 || radiusY <= 0.0)
        return std::atan2(dyUp, dx) * kDegreesPerRadian;
    return std::atan2(dyUp / radiusY, dx / radiusX) * kDegreesPerRadian;
}

bool HasPixelGrid(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    if (!engine)
        return false;
    switch (engine->type()) {
    case QPaintEngine::Pdf:
    case QPaintEngine::SVG:
    case QPaintEngine::MacPrinter: return false;
    default: return painter.deviceTransform().type() <= QTransform::TxTranslate;
    }
}

// Qt's SVG writer drops clip rectangles, so what leaves a box there would still show.
bool IgnoresClipping(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    return engine && engine->type() == QPaintEngine::SVG;
}

// The part of segment a..b inside box (edges included); false when none.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box)
{
    double x0 = a.x(), y0 = a.y(), x1 = b.x(), y1 = b.y();
    if (!::ClipSegment(box.left(), box.top(), box.right(), box.bottom(), x0, y0, x1, y1))
        return false;
    a = QPointF(x0, y0);
    b = QPointF(x1, y1);
    return true;
}

// The pixels of a clip rectangle as an area: pixel i covers [i, i + 1).
QRectF PixelArea(const QRect& clip)
{
    return QRectF(clip.left(), clip.top(), clip.width(), clip.height());
}

}  // namespace

CQtDC::CQtDC(QPainter& target, bool isPrinting, int dpiOverride)
    : painter(target),
      printing(isPrinting),
      dpiY(dpiOverride > 0 ? dpiOverride : (target.device() ? target.device()->logicalDpiY() : 96)),
      pixelGrid(HasPixelGrid(target)),
      softClip(IgnoresClipping(target)),
      qpen(MakeQPen(pen)),
      defaultFont(target.font()),
      qfont(defaultFont),
      metrics(qfont, target.device())
{
    painter.save();
    hadClip = painter.hasClipping();
    if (hadClip)
        originalClip = painter.clipRegion();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode);  // text cells are filled by DrawText
    painter.setPen(qpen);
    painter.setBrush(Qt::NoBrush);
    run.reserve(1024);
}

CQtDC::~CQtDC()
{
    Flush();
    painter.restore();
}

bool CQtDC::NeedsHalfPixelOffset() const
{
    return !pixelGrid && qpen.width() % 2 == 1;
}

void CQtDC::Flush()
{
    if (run.size() < 2) {
        run.clear();
        return;
    }
    painter.setPen(qpen);
    if (SoftClipping()) {
        DrawSoftClippedRun();
        run.clear();
        return;
    }
    const bool offset = NeedsHalfPixelOffset();
    if (offset)
        painter.translate(0.5, 0.5);

    fixPixels.clear();
    bool fractionalEnd = false;
    QPointF end;
    if (pixelGrid && qpen.width() == 1) {
        // Add the start pixels Qt leaves out: a vertex is missing when the segment leaving it
        // runs negative and the one arriving (if any) runs positive.
        bool previousNegative = false;
        for (std::size_t i = 0; i + 1 < run.size(); ++i) {
            const bool negative = RunsNegative(run[i], run[i + 1]);
            if (negative && (i == 0 || !previousNegative))
                fixPixels.push_back(run[i]);
            previousNegative = negative;
        }
        // The last segment must not paint the run's end pixel.
        const QPoint from = run[run.size() - 2];
        const QPoint to = run.back();
        const long long dx = static_cast<long long>(from.x()) - to.x();
        const long long dy = static_cast<long long>(from.y()) - to.y();
        const long long major = std::max(std::llabs(dx), std::llabs(dy));
        if (major == 1) {
            // It is its start pixel alone. Qt would paint the end pixel instead when the start
            // pixel already ends the segment before (its join control skips the duplicate).
            run.pop_back();
            if (!previousNegative)
                fixPixels.push_back(from);
        } else if (previousNegative) {
            // Qt paints [min, max) of the major axis: stop the segment one pixel short of its
            // end, on the same line.
            if (dx % major == 0 && dy % major == 0) {
                run.back() = QPoint(to.x() + static_cast<int>(dx / major),
                                    to.y() + static_cast<int>(dy / major));
            } else {
                fractionalEnd = true;
                end = QPointF(to.x() + static_cast<double>(dx) / static_cast<double>(major),
                              to.y() + static_cast<double>(dy) / static_cast<double>(major));
            }
        }
    }

    if (fractionalEnd) {
        std::vector<QPointF> points(run.begin(), run.end());
        points.back() = end;
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    } else if (pixelGrid && qpen.width() > 1 && run.size() > kWideChunk) {
        DrawWideRunInChunks();
    } else if (run.size() >= 2) {
        painter.drawPolyline(run.data(), static_cast<int>(run.size()));
    }
    if (!fixPixels.empty())
        painter.drawPoints(fixPixels.data(), static_cast<int>(fixPixels.size()));

    if (offset)
        painter.translate(-0.5, -0.5);
    run.clear();
}

void CQtDC::DrawWideRunInChunks()
{
    // Qt fills a wide polyline as one polygon, and its scanline fill slows down with the
    // number of edges a scanline meets: a long dense trace costs far more than its pieces.
    // Neighbouring pieces share a segment, so that every corner lies whole inside one piece
    // and keeps its join; together the pieces cover what the whole line would.
    for (std::size_t start = 0;; start += kWideChunk - 1) {
        const std::size_t count = std::min(kWideChunk + 1, run.size() - start);
        painter.drawPolyline(run.data() + start, static_cast<int>(count));
        if (start + count >= run.size())
            break;
    }
}

void CQtDC::DrawSoftClippedRun()
{
    // Vertices stand for pixels, drawn through their centres on such devices: the segments
    // are cut at the outermost pixel centres of the clip.
    const QRectF box(clipRect.left(), clipRect.top(), clipRect.width() - 1.0,
                     clipRect.height() - 1.0);
    if (clipRect.isEmpty())
        return;
    const bool offset = NeedsHalfPixelOffset();
    if (offset)
        painter.translate(0.5, 0.5);
    std::vector<QPointF> piece;
    const auto drawPiece = [&] {
        if (piece.size() >= 2)
            painter.drawPolyline(piece.data(), static_cast<int>(piece.size()));
        piece.clear();
    };
    for (std::size_t i = 0; i + 1 < run.size(); ++i) {
        QPointF a(run[i]);
        QPointF b(run[i + 1]);
        if (!ClipSegment(a, b, box)) {
            drawPiece();
            continue;
        }
        if (!piece.empty() && piece.back() != a)
            drawPiece();
        if (piece.empty())
            piece.push_back(a);
        piece.push_back(b);
        if (b != QPointF(run[i + 1]))
            drawPiece();
    }
    drawPiece();
    if (offset)
        painter.translate(-0.5, -0.5);
}

void CQtDC::FillClipped(const QPainterPath& shape, const QBrush& fill, const QRect& clip)
{
    // The clip is in device pixels; the shape in the painter's current frame.
    QPainterPath area;
    area.addRect(PixelArea(clip));
    painter.fillPath(shape.intersected(painter.transform().inverted().map(area)), fill);
}

void CQtDC::FillSolidRect(const CRect& rect, COLORREF color)
{
    Flush();
    if (IsEmpty(rect))
        return;
    QRect r = ToQRect(rect);
    if (SoftClipping()) {
        r = r.intersected(clipRect);
        if (r.isEmpty())
            return;
    }
    painter.fillRect(r, ToQColor(color));
}

CPen CQtDC::SelectPen(const CPen& newPen)
{
    const CPen previous = pen;
    if (newPen.color != pen.color || std::max(1, newPen.width) != std::max(1, pen.width)) {
        Flush();
        qpen = MakeQPen(newPen);
    }
    pen = newPen;
    return previous;
}

CBrush CQtDC::SelectBrush(const CBrush& newBrush)
{
    const CBrush previous = brush;
    brush = newBrush;
    return previous;
}

FontHandle CQtDC::SelectFont(FontHandle newFont)
{
    FontHandle previous = std::move(font);
    font = std::move(newFont);
    if (!font) {
        qfont = defaultFont;
        escapement = 0;
    } else if (const auto* qtFont = dynamic_cast<const CQtFont*>(font.get())) {
        qfont = qtFont->GetQFont();
        escapement = qtFont->GetLogFont().escapement;
    } else {
        // A font made by another kind of device: realise its description here.
        const FontHandle realised = CreateFontIndirect(font->GetLogFont());
        const auto* qtRealised = static_cast<const CQtFont*>(realised.get());
        qfont = qtRealised->GetQFont();
        escapement = qtRealised->GetLogFont().escapement;
    }
    metrics = QFontMetrics(qfont, painter.device());
    return previous;
}

CPoint CQtDC::MoveToEx(std::int32_t x, std::int32_t y)
{
    const CPoint previous = current;
    // Moving to where the run already stands continues it unbroken.
    if (!(run.size() >= 2 && run.back() == QPoint(x, y)))
        Flush();
    current = CPoint{x, y};
    return previous;
}

void CQtDC::LineTo(std::int32_t x, std::int32_t y)
{
    const QPoint point(x, y);
    if (run.empty())
        run.emplace_back(current.x, current.y);
    if (run.back() != point)  // a zero-length line draws nothing
        run.push_back(point);
    current = CPoint{x, y};
}

void CQtDC::SetPixel(std::int32_t x, std::int32_t y, COLORREF color)
{
    Flush();
    if (SoftClipping() && !clipRect.contains(x, y))
        return;
    painter.fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

void CQtDC::Ellipse(const CRect& box)
{
    Flush();
    const CRect r = Normalized(box);
    if (IsEmpty(r))
        return;
    painter.setPen(qpen);
    painter.setBrush(ToQColor(brush.color));
    const bool offset = NeedsHalfPixelOffset();
    if (offset)
        painter.translate(0.5, 0.5);
    // The outline's outermost pixels are the box's last column and row, as on the device
    // context; QRect(x, y, w, h) outlines reach x + w.
    const QRect outline =
        QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)).adjusted(0, 0, -1, -1);
    const QRect cover = ToQRect(r);
    if (!SoftClipping() || clipRect.contains(cover)) {
        painter.drawEllipse(outline);
    } else if (clipRect.intersects(cover)) {
        QPainterPath shape;
        shape.addEllipse(QRectF(outline));
        FillClipped(shape, ToQColor(brush.color), clipRect);
        FillClipped(QPainterPathStroker(qpen).createStroke(shape), qpen.brush(), clipRect);
    }
    if (offset)
        painter.translate(-0.5, -0.5);
    painter.setBrush(Qt::NoBrush);
}

void CQtDC::Arc(const CRect& box, CPoint start, CPoint end)
{
    Flush();
    const CRect r = Normalized(box);
    if (IsEmpty(r))
        return;
    const QRect outline =
        QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)).adjusted(0, 0, -1, -1);
    const double radiusX = outline.width() / 2.0;
    const double radiusY = outline.height() / 2.0;
    const double centreX = outline.left() + radiusX;
    const double centreY = outline.top() + radiusY;
    const double from = ParamAngle(start.x - centreX, centreY - start.y, radiusX, radiusY);
    const double to = ParamAngle(end.x - centreX, centreY - end.y, radiusX, radiusY);
    double span = std::fmod(to - from, 360.0);
    if (span <= 0.0)
        span += 360.0;  // counter-clockwise; equal rays give the whole ellipse

    painter.setPen(qpen);
    painter.setBrush(Qt::NoBrush);
    const bool offset = NeedsHalfPixelOffset();
    if (offset)
        painter.translate(0.5, 0.5);
    const int startAngle = static_cast<int>(std::lround(from * 16.0));
    const int spanAngle = static_cast<int>(std::lround(span * 16.0));
    const QRect cover = ToQRect(r);
    if (!SoftClipping() || clipRect.contains(cover)) {
        painter.drawArc(outline, startAngle, spanAngle);
    } else if (clipRect.intersects(cover)) {
        QPainterPath shape;
        shape.arcMoveTo(QRectF(outline), startAngle / 16.0);
        shape.arcTo(QRectF(outline), startAngle / 16.0, spanAngle / 16.0);
        FillClipped(QPainterPathStroker(qpen).createStroke(shape), qpen.brush(), clipRect);
    }
    if (offset)
        painter.translate(-0.5, -0.5);
}

unsigned CQtDC::SetTextAlign(unsigned flags)
{
    return std::exchange(textAlign, flags);
}

COLORREF CQtDC::SetTextColor(COLORREF color)
{
    return std::exchange(textColor, color);
}

COLORREF CQtDC::SetBkColor(COLORREF color)
{
    return std::exchange(bkColor, color);
}

void CQtDC::TextOut(std::int32_t x, std::int32_t y, const std::string& text)
{
    DrawText(x, y, text, nullptr);
}

void CQtDC::ExtTextOut(std::int32_t x, std::int32_t y, const CRect& clip, const std::string& text)
{
    if (IsEmpty(clip))
        return;  // nothing of the text can show
    const QRect qclip = ToQRect(clip);
    DrawText(x, y, text, &qclip);
}

void CQtDC::DrawText(std::int32_t x, std::int32_t y, const std::string& text, const QRect* clip)
{
    Flush();
    if (text.empty())
        return;
    const QString qtext = QString::fromStdString(text);
    const int width = metrics.horizontalAdvance(qtext);
    const int ascent = metrics.ascent();
    const int height = ascent + metrics.descent();

    // The cell in the text's own frame, the reference point at the origin.
    int left = 0;
    switch (textAlign & TA_HORZ_MASK) {
    case TA_RIGHT: left = -width; break;
    case TA_CENTER: left = -(width / 2); break;
    default: break;
    }
    const int top = (textAlign & TA_VERT_MASK) == TA_BOTTOM ? -height : 0;

    painter.save();
    const bool hasClip = clip || clipActive;
    const QRect effective = clip ? (clipActive ? clipRect.intersected(*clip) : *clip) : clipRect;
    if (clip && !softClip)
        SetPainterClip(effective);
    painter.translate(x, y);
    const int turn = escapement % 3600;
    if (turn != 0)
        painter.rotate(-turn / 10.0);  // counter-clockwise on a y-down device
    const QRect cell(left, top, width, height);
    const QRect onDevice = painter.transform().mapRect(cell);
    if (softClip && hasClip && !effective.contains(onDevice)) {
        // Cut the cell and the glyph outlines to the clip, in device coordinates.
        if (effective.intersects(onDevice)) {
            const QTransform toDevice = painter.transform();
            painter.resetTransform();
            QPainterPath background;
            background.addRect(QRectF(cell));
            FillClipped(toDevice.map(background), ToQColor(bkColor), effective);
            QPainterPath glyphs;
            glyphs.addText(QPointF(left, top + ascent), qfont, qtext);
            FillClipped(toDevice.map(glyphs), ToQColor(textColor), effective);
        }
        painter.restore();
        return;
    }
    painter.fillRect(cell, ToQColor(bkColor));
    painter.setFont(qfont);
    painter.setPen(ToQColor(textColor));
    painter.drawText(QPoint(left, top + ascent), qtext);
    painter.restore();
}

TextMetrics CQtDC::GetTextMetrics() const
{
    TextMetrics tm;
    tm.ascent = metrics.ascent();
    tm.descent = metrics.descent();
    tm.height = tm.ascent + tm.descent;
    int emHeight = qfont.pixelSize();
    if (emHeight <= 0)  // the painter's own font may be sized in points
        emHeight = static_cast<int>(std::lround(qfont.pointSizeF() * dpiY / 72.0));
    tm.internalLeading = std::max(0, tm.height - emHeight);
    tm.externalLeading = std::max(0, metrics.leading());
    tm.aveCharWidth = metrics.averageCharWidth();
    tm.maxCharWidth = metrics.maxWidth();
    return tm;
}

CSize CQtDC::GetTextExtent(const std::string& text) const
{
    return CSize{metrics.horizontalAdvance(QString::fromStdString(text)),
                 metrics.ascent() + metrics.descent()};
}

FontHandle CQtDC::CreatePointFont(std::int32_t tenthsOfPoint, const std::string& faceName)
{
    LogFont logFont;
    logFont.faceName = faceName;
    logFont.height = FontPixelHeight(tenthsOfPoint, dpiY);
    return CreateFontIndirect(logFont);
}

FontHandle CQtDC::CreateFontIndirect(const LogFont& logFont)
{
    LogFont realised = logFont;
    // Height 0 asks for a default size; a negative height means the same character height.
    if (realised.height == 0)
        realised.height = std::max(1, FontPixelHeight(100, dpiY));
    else if (realised.height < 0)
        realised.height = realised.height == INT32_MIN ? INT32_MAX : -realised.height;
    return std::make_shared<CQtFont>(realised);
}

void CQtDC::SetPainterClip(const QRect& rect)
{
    if (softClip)
        return;  // the device would only drop it
    painter.setClipRect(rect, Qt::ReplaceClip);
    if (hadClip)
        painter.setClipRegion(originalClip, Qt::IntersectClip);
}

void CQtDC::SetClipRect(const CRect& rect)
{
    Flush();
    const CRect r = Normalized(rect);  // as a rectangular region is built
    clipActive = true;
    clipRect = IsEmpty(r) ? QRect(r.left, r.top, 0, 0) : ToQRect(r);
    SetPainterClip(clipRect);
}

void CQtDC::ResetClip()
{
    Flush();
    clipActive = false;
    if (hadClip)
        painter.setClipRegion(originalClip);
    else
        painter.setClipping(false);
}
