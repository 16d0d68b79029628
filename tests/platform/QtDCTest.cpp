// Pixel-level checks that CQtDC paints where the classic device context would.
#include "platform/QtDC.h"
#include "platform/QtFont.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <QBuffer>
#include <QFontInfo>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr COLORREF kRed = Rgb(255, 0, 0);
constexpr COLORREF kGreen = Rgb(0, 200, 0);
constexpr COLORREF kBlue = Rgb(0, 0, 255);

QRgb ToQRgb(COLORREF c)
{
    return qRgb(RgbRed(c), RgbGreen(c), RgbBlue(c));
}

QImage Paint(int width, int height, const std::function<void(CQtDC&)>& draw, int dpiY = 0)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kWhite);
    QPainter painter(&image);
    {
        CQtDC dc(painter, false, dpiY);
        draw(dc);
    }
    painter.end();
    return image;
}

using PixelSet = std::set<std::pair<int, int>>;

PixelSet PixelsWhere(const QImage& image, const std::function<bool(QRgb)>& pred)
{
    PixelSet pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pred(image.pixel(x, y)))
                pixels.insert({x, y});
    return pixels;
}

PixelSet NonWhite(const QImage& image)
{
    return PixelsWhere(image, [](QRgb p) { return p != kWhite; });
}

// Bounds of a pixel set as a CRect with exclusive right and bottom; empty set gives (0,0,0,0).
CRect Bounds(const PixelSet& pixels)
{
    if (pixels.empty())
        return CRect();
    CRect r(pixels.begin()->first, pixels.begin()->second, pixels.begin()->first,
            pixels.begin()->second);
    for (const auto& [x, y] : pixels) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
    }
    return r;
}

PixelSet RectPixels(const CRect& r)
{
    PixelSet pixels;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            pixels.insert({x, y});
    return pixels;
}

}  // namespace

// Found by argument-dependent lookup, so failures print rectangles readably.
static void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

TEST(QtDCTest, FillSolidRectCoversLeftTopButNotRightBottom)
{
    struct Case {
        const char* name;
        CRect rect;
        CRect painted;  // exclusive bounds, empty when nothing shows
    } cases[] = {
        {"ordinary", CRect(10, 20, 30, 25), CRect(10, 20, 30, 25)},
        {"one pixel", CRect(5, 6, 6, 7), CRect(5, 6, 6, 7)},
        {"zero width", CRect(10, 10, 10, 20), CRect()},
        {"inverted", CRect(30, 30, 20, 20), CRect()},
        {"partly outside", CRect(-5, -5, 3, 2), CRect(0, 0, 3, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = Paint(60, 40, [&](CQtDC& dc) { dc.FillSolidRect(c.rect, kRed); });
        const PixelSet painted = NonWhite(image);
        EXPECT_EQ(painted, RectPixels(c.painted));
        for (const auto& [x, y] : painted)
            EXPECT_EQ(image.pixel(x, y), ToQRgb(kRed));
    }
}

TEST(QtDCTest, OnePixelLinesDrawTheirStartAndLeaveOutTheirEnd)
{
    struct Case {
        const char* name;
        QPoint from;
        QPoint to;
    } cases[] = {
        {"right", {2, 5}, {9, 5}},          {"left", {9, 5}, {2, 5}},
        {"down", {4, 1}, {4, 12}},          {"up", {4, 12}, {4, 1}},
        {"shallow right", {2, 2}, {12, 6}}, {"shallow left", {12, 6}, {2, 2}},
        {"steep down", {3, 1}, {6, 13}},    {"steep up", {6, 13}, {3, 1}},
        {"diagonal", {2, 12}, {12, 2}},     {"diagonal back", {12, 2}, {2, 12}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = Paint(16, 16, [&](CQtDC& dc) {
            dc.SelectPen(CPen{kBlue, 1});
            dc.MoveToEx(c.from.x(), c.from.y());
            dc.LineTo(c.to.x(), c.to.y());
        });
        const PixelSet pixels = NonWhite(image);
        const int length =
            std::max(std::abs(c.to.x() - c.from.x()), std::abs(c.to.y() - c.from.y()));
        EXPECT_EQ(static_cast<int>(pixels.size()), length);
        EXPECT_EQ(pixels.count({c.from.x(), c.from.y()}), 1u) << "start pixel missing";
        EXPECT_EQ(pixels.count({c.to.x(), c.to.y()}), 0u) << "end pixel drawn";
        // Every pixel lies within the segment's box.
        const CRect box(std::min(c.from.x(), c.to.x()), std::min(c.from.y(), c.to.y()),
                        std::max(c.from.x(), c.to.x()) + 1, std::max(c.from.y(), c.to.y()) + 1);
        for (const auto& [x, y] : pixels) {
            EXPECT_TRUE(x >= box.left && x < box.right && y >= box.top && y < box.bottom)
                << x << "," << y;
            EXPECT_EQ(image.pixel(x, y), ToQRgb(kBlue));
        }
    }
}

TEST(QtDCTest, ClosedFrameHasAllFourCorners)
{
    // The outline an area frame draws: down, along, up and back, one run of LineTo.
    const CRect r(5, 4, 20, 14);
    const QImage image = Paint(30, 20, [&](CQtDC& dc) {
        dc.MoveToEx(r.left, r.top);
        dc.LineTo(r.left, r.bottom);
        dc.LineTo(r.right, r.bottom);
        dc.LineTo(r.right, r.top);
        dc.LineTo(r.left, r.top);
    });
    PixelSet expected;
    for (int x = r.left; x <= r.right; ++x) {
        expected.insert({x, r.top});
        expected.insert({x, r.bottom});
    }
    for (int y = r.top; y <= r.bottom; ++y) {
        expected.insert({r.left, y});
        expected.insert({r.right, y});
    }
    EXPECT_EQ(NonWhite(image), expected);
}

TEST(QtDCTest, RunPaintsWhatItsSegmentsPaintOneByOne)
{
    // On the device context a run is the union of its segments, each from its start pixel up
    // to its end pixel excluded; the batched polyline must agree, whatever the directions.
    // Slanted segments may round their ties the other way after a join (Qt's join control),
    // so there every pixel need only lie next to one of the segments'; every vertex is still
    // drawn, and the run's end only when another segment covers it.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(1, 62);
    for (int trial = 0; trial < 600; ++trial) {
        SCOPED_TRACE(trial);
        const bool axisAligned = trial % 2 == 0;  // like frames and grids
        std::vector<QPoint> points;
        const int count = 2 + trial % 7;
        for (int i = 0; i < count; ++i) {
            QPoint p(coordinate(random), coordinate(random));
            if (axisAligned && !points.empty())
                (i % 2 ? p.setY(points.back().y()) : p.setX(points.back().x()));
            // Short steps, as a trace with more samples than pixels makes.
            if (trial % 5 == 0 && !points.empty())
                p = QPoint(std::clamp(points.back().x() + p.x() % 3 - 1, 0, 63),
                           std::clamp(points.back().y() + p.y() % 3 - 1, 0, 63));
            if (points.empty() || p != points.back())
                points.push_back(p);
        }
        if (points.size() < 2)
            continue;
        const QImage run = Paint(64, 64, [&](CQtDC& dc) {
            dc.MoveToEx(points[0].x(), points[0].y());
            for (std::size_t i = 1; i < points.size(); ++i)
                dc.LineTo(points[i].x(), points[i].y());
        });
        const QImage separate = Paint(64, 64, [&](CQtDC& dc) {
            for (std::size_t i = 1; i < points.size(); ++i) {
                dc.MoveToEx(points[i - 1].x(), points[i - 1].y());
                dc.LineTo(points[i].x(), points[i].y());
                dc.Flush();  // a move to the run's end would continue it
            }
        });
        const PixelSet inRun = NonWhite(run);
        const PixelSet oneByOne = NonWhite(separate);
        if (axisAligned) {
            EXPECT_EQ(inRun, oneByOne);
            continue;
        }
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            EXPECT_EQ(inRun.count({points[i].x(), points[i].y()}), 1u) << "vertex " << i;
        const std::pair<int, int> last{points.back().x(), points.back().y()};
        EXPECT_EQ(inRun.count(last), oneByOne.count(last));
        auto near = [](const PixelSet& pixels, std::pair<int, int> p) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (pixels.count({p.first + dx, p.second + dy}))
                        return true;
            return false;
        };
        for (const auto& p : inRun)
            EXPECT_TRUE(near(oneByOne, p)) << p.first << "," << p.second;
        for (const auto& p : oneByOne)
            EXPECT_TRUE(near(inRun, p)) << p.first << "," << p.second;
    }
}

TEST(QtDCTest, WidePenLineIsThatWideAndStopsAtItsEnd)
{
    const QImage image = Paint(20, 20, [](CQtDC& dc) {
        dc.SelectPen(CPen{kRed, 2});
        dc.MoveToEx(3, 10);
        dc.LineTo(15, 10);
    });
    const PixelSet pixels = NonWhite(image);
    EXPECT_EQ(pixels.size(), 12u * 2u);
    const CRect bounds = Bounds(pixels);
    EXPECT_EQ(bounds.left, 3);
    EXPECT_EQ(bounds.right, 15);
    EXPECT_EQ(bounds.Height(), 2);
}

TEST(QtDCTest, SetPixelPaintsOnePixel)
{
    const QImage image = Paint(10, 10, [](CQtDC& dc) { dc.SetPixel(3, 7, kGreen); });
    EXPECT_EQ(NonWhite(image), (PixelSet{{3, 7}}));
    EXPECT_EQ(image.pixel(3, 7), ToQRgb(kGreen));
}

TEST(QtDCTest, EllipseIsFilledAndOutlinedInsideItsBox)
{
    const CRect box(10, 10, 21, 21);
    const QImage image = Paint(30, 30, [&](CQtDC& dc) {
        dc.SelectPen(CPen{kBlue, 1});
        dc.SelectBrush(CBrush{kRed});
        dc.Ellipse(box);
    });
    EXPECT_EQ(Bounds(NonWhite(image)), box);
    EXPECT_EQ(Bounds(PixelsWhere(image, [](QRgb p) { return p == ToQRgb(kBlue); })), box);
    EXPECT_EQ(image.pixel(15, 15), ToQRgb(kRed));
}

TEST(QtDCTest, ArcRunsCounterClockwiseFromStartToEnd)
{
    const CRect box(10, 10, 31, 31);  // centre (20, 20)
    struct Case {
        const char* name;
        CPoint start;
        CPoint end;
        CRect within;  // where every pixel must lie
    } cases[] = {
        {"upper right quarter", {40, 20}, {20, 0}, CRect(20, 10, 31, 21)},
        {"upper half", {40, 20}, {0, 20}, CRect(10, 10, 31, 21)},
        {"whole", {40, 20}, {40, 20}, box},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = Paint(40, 40, [&](CQtDC& dc) { dc.Arc(box, c.start, c.end); });
        const PixelSet pixels = NonWhite(image);
        ASSERT_FALSE(pixels.empty());
        for (const auto& [x, y] : pixels)
            EXPECT_TRUE(x >= c.within.left && x < c.within.right && y >= c.within.top
                        && y < c.within.bottom)
                << x << "," << y;
    }
    const QImage whole = Paint(40, 40, [&](CQtDC& dc) { dc.Arc(box, {40, 20}, {40, 20}); });
    EXPECT_EQ(Bounds(NonWhite(whole)), box);
}

namespace {

struct TextResult {
    QImage image;
    CSize extent;
    TextMetrics tm;
};

TextResult PaintText(unsigned align, int x, int y, const std::string& text, int escapement = 0)
{
    TextResult result;
    result.image = Paint(240, 160, [&](CQtDC& dc) {
        LogFont lf;
        lf.faceName = "Verdana";
        lf.height = 15;
        lf.escapement = escapement;
        lf.orientation = escapement;
        dc.SelectFont(dc.CreateFontIndirect(lf));
        dc.SetTextAlign(align);
        dc.SetBkColor(kGreen);
        dc.SetTextColor(Rgb(0, 0, 0));
        dc.TextOut(x, y, text);
        result.extent = dc.GetTextExtent(text);
        result.tm = dc.GetTextMetrics();
    });
    return result;
}

}  // namespace

TEST(QtDCTest, TextCellIsFilledWithTheBackgroundAndPlacedByTheAlignment)
{
    const std::string text = "Hello 12";
    struct Case {
        const char* name;
        unsigned align;
    } cases[] = {
        {"left top", TA_LEFT | TA_TOP},         {"right top", TA_RIGHT | TA_TOP},
        {"centre top", TA_CENTER | TA_TOP},     {"left bottom", TA_LEFT | TA_BOTTOM},
        {"right bottom", TA_RIGHT | TA_BOTTOM},
    };
    const int x = 120;
    const int y = 80;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TextResult r = PaintText(c.align, x, y, text);
        const int w = r.extent.cx;
        const int h = r.tm.height;
        int left = x;
        if ((c.align & TA_HORZ_MASK) == TA_RIGHT)
            left = x - w;
        else if ((c.align & TA_HORZ_MASK) == TA_CENTER)
            left = x - w / 2;
        const int top = (c.align & TA_VERT_MASK) == TA_BOTTOM ? y - h : y;
        const CRect cell(left, top, left + w, top + h);
        EXPECT_EQ(Bounds(NonWhite(r.image)), cell);
        // The cell's corners keep the background; the glyphs are drawn inside.
        EXPECT_EQ(r.image.pixel(cell.left, cell.top), ToQRgb(kGreen));
        EXPECT_EQ(r.image.pixel(cell.right - 1, cell.bottom - 1), ToQRgb(kGreen));
        EXPECT_GT(PixelsWhere(r.image, [](QRgb p) { return qGray(p) < 100; }).size(), 20u);
    }
}

TEST(QtDCTest, TurnedTextStandsOnTheLineAccordingToItsAlignment)
{
    // Ink only in the first half of the advance, to tell the reading direction.
    const std::string text = "WW            ";
    const int x = 120;
    const int y = 80;
    struct Case {
        const char* name;
        unsigned align;
        bool leftOfLine;
    } cases[] = {
        {"bottom: left of the line", TA_CENTER | TA_BOTTOM, true},
        {"top: right of the line", TA_CENTER | TA_TOP, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TextResult r = PaintText(c.align, x, y, text, 900);
        const int w = r.extent.cx;
        const int h = r.tm.height;
        // Turned counter-clockwise: the text runs upward, centred on y.
        const CRect cell = c.leftOfLine ? CRect(x - h, y - (w - w / 2), x, y + w / 2)
                                        : CRect(x, y - (w - w / 2), x + h, y + w / 2);
        EXPECT_EQ(Bounds(NonWhite(r.image)), cell);
        // Reading upward, the first (inked) half of the text is the lower half of the cell.
        const PixelSet ink = PixelsWhere(r.image, [](QRgb p) { return qGray(p) < 100; });
        ASSERT_FALSE(ink.empty());
        const int middle = (cell.top + cell.bottom) / 2;
        for (const auto& [px, py] : ink)
            EXPECT_GE(py, middle - 1) << px << "," << py;
    }
}

TEST(QtDCTest, TurnedFontMeasuresAsTheUprightOne)
{
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    CQtDC dc(painter, false);
    LogFont lf;
    lf.faceName = "Trebuchet MS";
    lf.height = 13;
    const FontHandle upright = dc.CreateFontIndirect(lf);
    lf.escapement = lf.orientation = 900;
    lf.underline = true;
    const FontHandle turned = dc.CreateFontIndirect(lf);
    EXPECT_EQ(turned->GetLogFont().escapement, 900);
    EXPECT_TRUE(turned->GetLogFont().underline);
    EXPECT_TRUE(static_cast<const CQtFont&>(*turned).GetQFont().underline());

    dc.SelectFont(upright);
    const TextMetrics a = dc.GetTextMetrics();
    const CSize ea = dc.GetTextExtent("Frequency / MHz");
    dc.SelectFont(turned);
    const TextMetrics b = dc.GetTextMetrics();
    const CSize eb = dc.GetTextExtent("Frequency / MHz");
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.aveCharWidth, b.aveCharWidth);
    EXPECT_EQ(ea.cx, eb.cx);
    EXPECT_EQ(a.height, a.ascent + a.descent);
    EXPECT_EQ(ea.cy, a.height);
    EXPECT_GE(a.height, 13);
}

TEST(QtDCTest, ClipRectLimitsDrawingUntilReset)
{
    const QImage image = Paint(60, 60, [](CQtDC& dc) {
        dc.SetClipRect(CRect(10, 10, 20, 25));
        dc.FillSolidRect(CRect(0, 0, 60, 60), kRed);
        dc.MoveToEx(0, 40);
        dc.LineTo(60, 40);  // wholly outside the clip
        dc.ResetClip();
        dc.FillSolidRect(CRect(40, 40, 45, 45), kBlue);
    });
    PixelSet expected = RectPixels(CRect(10, 10, 20, 25));
    const PixelSet blue = RectPixels(CRect(40, 40, 45, 45));
    expected.insert(blue.begin(), blue.end());
    EXPECT_EQ(NonWhite(image), expected);
}

TEST(QtDCTest, EmptyClipRectShowsNothing)
{
    const QImage image = Paint(30, 30, [](CQtDC& dc) {
        dc.SetClipRect(CRect(10, 10, 10, 20));
        dc.FillSolidRect(CRect(0, 0, 30, 30), kRed);
        dc.SetPixel(10, 12, kRed);
    });
    EXPECT_TRUE(NonWhite(image).empty());
}

TEST(QtDCTest, ExtTextOutClipsToItsRectAndToTheActiveClip)
{
    const std::string text = "Clipped text that runs long";
    struct Case {
        const char* name;
        bool activeClip;
        CRect expected;
    } cases[] = {
        {"own rect only", false, CRect(50, 10, 90, 30)},
        {"intersected with the clip", true, CRect(50, 10, 70, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = Paint(200, 60, [&](CQtDC& dc) {
            if (c.activeClip)
                dc.SetClipRect(CRect(0, 0, 70, 60));
            dc.SetBkColor(kGreen);
            dc.ExtTextOut(40, 12, CRect(50, 10, 90, 30), text);
            // The text's own clip is gone afterwards; the active one stays.
            dc.FillSolidRect(CRect(0, 40, 200, 42), kRed);
        });
        const PixelSet red = PixelsWhere(image, [](QRgb p) { return p == ToQRgb(kRed); });
        EXPECT_EQ(Bounds(red), CRect(0, 40, c.activeClip ? 70 : 200, 42));
        const PixelSet text_pixels =
            PixelsWhere(image, [](QRgb p) { return p != kWhite && p != ToQRgb(kRed); });
        const CRect bounds = Bounds(text_pixels);
        EXPECT_EQ(bounds.left, c.expected.left);
        EXPECT_EQ(bounds.right, c.expected.right);
        EXPECT_GE(bounds.top, c.expected.top);
        EXPECT_LE(bounds.bottom, c.expected.bottom);
    }
}

TEST(QtDCTest, PainterClipAndStateSurviveTheDC)
{
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(kWhite);
    QPainter painter(&image);
    painter.setClipRect(QRect(0, 0, 30, 30));
    const QPen pen(QColor(1, 2, 3), 5);
    painter.setPen(pen);
    painter.setRenderHint(QPainter::Antialiasing, true);
    {
        CQtDC dc(painter, true);
        EXPECT_TRUE(dc.IsPrinting());
        dc.SetClipRect(CRect(20, 20, 50, 50));
        dc.FillSolidRect(CRect(0, 0, 60, 60), kRed);
        dc.ResetClip();  // back to the painter's clip, not to none
        dc.FillSolidRect(CRect(40, 0, 60, 20), kBlue);
        dc.SelectPen(CPen{kGreen, 3});
        dc.MoveToEx(0, 5);
        dc.LineTo(10, 5);
    }
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_TRUE(painter.testRenderHint(QPainter::Antialiasing));
    EXPECT_TRUE(painter.hasClipping());
    painter.end();
    const PixelSet red = PixelsWhere(image, [](QRgb p) { return p == ToQRgb(kRed); });
    EXPECT_EQ(red, RectPixels(CRect(20, 20, 30, 30)));
    EXPECT_TRUE(PixelsWhere(image, [](QRgb p) { return p == ToQRgb(kBlue); }).empty());
}

TEST(QtDCTest, FontPixelHeightFollowsTheDeviceResolution)
{
    EXPECT_EQ(FontPixelHeight(80, 96), 11);
    EXPECT_EQ(FontPixelHeight(100, 600), 83);
    EXPECT_EQ(FontPixelHeight(130, 96), 17);

    struct Case {
        int dpi;  // 0: the image's own
        int tenths;
        int pixelHeight;
    } cases[] = {{0, 80, 11}, {96, 80, 11}, {600, 100, 83}, {600, 80, 67}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        QImage image(10, 10, QImage::Format_RGB32);
        image.setDotsPerMeterY(3780);  // 96 dpi
        QPainter painter(&image);
        CQtDC dc(painter, false, c.dpi);
        EXPECT_EQ(dc.GetDeviceDpiY(), c.dpi ? c.dpi : 96);
        const FontHandle font = dc.CreatePointFont(c.tenths, "Verdana");
        EXPECT_EQ(font->GetLogFont().height, c.pixelHeight);
        EXPECT_EQ(font->GetLogFont().faceName, "Verdana");
        EXPECT_EQ(font->GetLogFont().escapement, 0);
        const QFont& qfont = static_cast<const CQtFont&>(*font).GetQFont();
        EXPECT_EQ(qfont.pixelSize(), c.pixelHeight);
        EXPECT_FALSE(qfont.italic());
        EXPECT_EQ(qfont.weight(), QFont::Normal);
    }
}

TEST(QtDCTest, MissingWindowsFacesFallBackToSansFaces)
{
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    CQtDC dc(painter, false, 96);
    for (const char* face : {"Trebuchet MS", "Verdana", "Arial"}) {
        SCOPED_TRACE(face);
        const FontHandle font = dc.CreatePointFont(100, face);
        const QFontInfo info(static_cast<const CQtFont&>(*font).GetQFont());
        const QString family = info.family();
        EXPECT_FALSE(family.contains("Serif") && !family.contains("Sans")) << family.toStdString();
        EXPECT_FALSE(info.fixedPitch()) << family.toStdString();
        EXPECT_EQ(info.pixelSize(), 13);
    }
}

namespace {

void DrawCrispnessProbe(CDC& dc)
{
    dc.MoveToEx(5, 10);
    dc.LineTo(35, 10);
    dc.MoveToEx(20, 2);
    dc.LineTo(20, 8);
    dc.FillSolidRect(CRect(30, 2, 34, 6), Rgb(0, 0, 0));
}

// The probe drawn through SVG and shown at 1:1.
QImage CrispnessThroughSvg()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(40, 20));
    svg.setViewBox(QRect(0, 0, 40, 20));
    svg.setResolution(96);
    {
        QPainter painter(&svg);
        CQtDC dc(painter, false);
        DrawCrispnessProbe(dc);
    }
    QSvgRenderer renderer(buffer.data());
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(kWhite);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, 40, 20));
    return image;
}

// The probe drawn on an image of twice the resolution, as on a high-DPI screen.
QImage CrispnessOnDoubleResolution()
{
    QImage image(80, 40, QImage::Format_RGB32);
    image.setDevicePixelRatio(2.0);
    image.fill(kWhite);
    QPainter painter(&image);
    {
        CQtDC dc(painter, false);
        DrawCrispnessProbe(dc);
    }
    return image;
}

}  // namespace

TEST(QtDCTest, OnePixelLinesCoverTheirPixelWithoutAPixelGrid)
{
    // Vector output and scaled painters have no pixel rules: a 1-pixel line must still cover
    // exactly its pixel row or column, not half of two.
    struct Device {
        const char* name;
        QImage image;
        int scale;  // image pixels per drawing pixel
    } devices[] = {
        {"svg", CrispnessThroughSvg(), 1},
        {"double resolution", CrispnessOnDoubleResolution(), 2},
    };
    struct Probe {
        int x, y;
        bool dark;
    } probes[] = {
        {20, 10, true}, {20, 9, false}, {20, 11, false},  // horizontal line on row 10
        {20, 5, true},  {19, 5, false}, {21, 5, false},   // vertical line on column 20
        {30, 2, true},  {33, 5, true},  {34, 5, false},  {33, 6, false},  // fill
    };
    for (const Device& d : devices) {
        for (const Probe& p : probes) {
            SCOPED_TRACE(std::string(d.name) + " " + std::to_string(p.x) + ","
                         + std::to_string(p.y));
            for (int sy = 0; sy < d.scale; ++sy) {
                for (int sx = 0; sx < d.scale; ++sx) {
                    const int gray = qGray(d.image.pixel(p.x * d.scale + sx, p.y * d.scale + sy));
                    if (p.dark)
                        EXPECT_LT(gray, 20);
                    else
                        EXPECT_GT(gray, 235);
                }
            }
        }
    }
}

// A paint device that counts what reaches its engine.
namespace {

class CountingEngine : public QPaintEngine {
public:
    CountingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    Type type() const override { return QPaintEngine::User; }

    void drawPolygon(const QPointF*, int count, PolygonDrawMode mode) override
    {
        Count(count, mode);
    }
    void drawPolygon(const QPoint*, int count, PolygonDrawMode mode) override
    {
        Count(count, mode);
    }
    void drawLines(const QLine*, int count) override { lines += count; }
    void drawLines(const QLineF*, int count) override { lines += count; }
    void drawPoints(const QPointF*, int count) override { points += count; }
    void drawPoints(const QPoint*, int count) override { points += count; }

    std::vector<int> polylineSizes;
    int polygons = 0;
    int lines = 0;
    int points = 0;

private:
    void Count(int count, PolygonDrawMode mode)
    {
        if (mode == PolylineMode)
            polylineSizes.push_back(count);
        else
            ++polygons;
    }
};

class CountingDevice : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &engine; }
    mutable CountingEngine engine;

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
        case PdmHeight: return 1000;
        case PdmWidthMM:
        case PdmHeightMM: return 265;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 96;
        case PdmDepth: return 32;
        case PdmNumColors: return 256;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
        default: return 0;
        }
    }
};

}  // namespace

TEST(QtDCTest, RunOfLineToReachesQtAsPolylines)
{
    // A long wide run goes out in pieces of 33 points, each sharing its first segment with
    // the last of the piece before.
    std::vector<int> pieces(32, 33);
    pieces.push_back(1001 - 32 * 31);
    CountingDevice device;
    {
        QPainter painter(&device);
        CQtDC dc(painter, false);
        dc.SelectPen(CPen{kRed, 2});
        dc.MoveToEx(0, 500);
        for (int i = 1; i <= 1000; ++i)
            dc.LineTo(i, 500 + (i % 7) * 10);
        EXPECT_TRUE(device.engine.polylineSizes.empty()) << "drawn before the run ended";
        dc.Flush();
        EXPECT_EQ(device.engine.polylineSizes, pieces);

        // Selecting the same pen again, or moving to where the run stands, keeps one run.
        dc.MoveToEx(0, 0);
        dc.LineTo(10, 0);
        dc.SelectPen(CPen{kRed, 2});
        dc.MoveToEx(10, 0);
        dc.LineTo(10, 10);
        dc.LineTo(10, 10);  // zero length: adds nothing
        // A different pen ends the run; the destructor flushes the last one.
        dc.SelectPen(CPen{kBlue, 2});
        dc.LineTo(20, 10);
    }
    pieces.insert(pieces.end(), {3, 2});
    EXPECT_EQ(device.engine.polylineSizes, pieces);
    EXPECT_EQ(device.engine.lines, 0);
}

TEST(QtDCTest, OtherDrawingFlushesThePendingRunFirst)
{
    // The fill must cover the line drawn before it, so the run goes out before the fill.
    const QImage image = Paint(20, 20, [](CQtDC& dc) {
        dc.SelectPen(CPen{kBlue, 1});
        dc.MoveToEx(0, 5);
        dc.LineTo(20, 5);
        dc.FillSolidRect(CRect(0, 0, 20, 10), kRed);
        dc.MoveToEx(0, 15);
        dc.LineTo(20, 15);
    });
    EXPECT_EQ(image.pixel(10, 5), ToQRgb(kRed));
    EXPECT_EQ(image.pixel(10, 15), ToQRgb(kBlue));
}
