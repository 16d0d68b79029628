#include "chart/ComplexChart.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <limits>
#include <vector>

#include "chart/NiceScale.h"
#include "chart/PolarChart.h"
#include "chart/Reflection.h"
#include "chart/SmithChart.h"
#include "platform/NumberFormat.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMaxPixel = 1e6;  // plane points far off are drawn at most this far out
constexpr double kMaxZoom = 1000.0;

// The nearest pixel, so that a pixel reads back within half a pixel of what was drawn there.
std::int32_t ClampPixel(double v)
{
    return TruncInt32(std::floor(std::clamp(v, -kMaxPixel, kMaxPixel) + 0.5));
}

std::string Num(const char* format, double v)
{
    return FormatValue(format, v);
}

// A fixed-point format whose last decimal is finer than step (at least one decimal, at
// most nine).
std::string PixelFormat(double step)
{
    int decimals = 1;
    if (std::isfinite(step) && step > 0.0)
        decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(step))), 1, 9);
    return "%." + std::to_string(decimals) + "f";
}

}  // namespace

CRect CComplexChart::Square() const
{
    // The labels outside the outer circle need a margin of about two lines.
    const std::int32_t margin = 2 * graph.tickFont.metrics.height + 2;
    CRect p = graph.plotArea.rect;
    if (p.Width() > 4 * margin && p.Height() > 4 * margin)
        p = CRect(p.left + margin, p.top + margin, p.right - margin, p.bottom - margin);
    const std::int32_t side = std::min(p.Width(), p.Height());
    const std::int32_t left = p.left + (p.Width() - side) / 2;
    const std::int32_t top = p.top + (p.Height() - side) / 2;
    return CRect(left, top, left + side, top + side);
}

double CComplexChart::Radius() const
{
    if (!(cachedRadius > 0.0))
        cachedRadius = PlaneRadius();
    return cachedRadius;
}

CPoint CComplexChart::ToPixel(double re, double im) const
{
    const CRect s = Square();
    const double half = s.Width() / 2.0;
    const double scale = half * graph.planeZoom / Radius();
    return CPoint{ClampPixel(s.left + half + (re - graph.planeCentreRe) * scale),
                  ClampPixel(s.top + half - (im - graph.planeCentreIm) * scale)};
}

std::pair<double, double> CComplexChart::ToPlane(CPoint point) const
{
    const CRect s = Square();
    const double half = s.Width() / 2.0;
    const double scale = half * graph.planeZoom / Radius();
    if (!(scale > 0.0))
        return {0.0, 0.0};
    return {graph.planeCentreRe + (point.x - s.left - half) / scale,
            graph.planeCentreIm - (point.y - s.top - half) / scale};
}

void CComplexChart::ZoomAt(CPoint point, double factor)
{
    if (!(factor > 0.0))
        return;
    const auto [re, im] = ToPlane(point);
    // The point under the cursor stays put: the centre moves toward it as the view grows.
    const double zoom = std::clamp(graph.planeZoom / factor, 1.0, kMaxZoom);
    const double k = graph.planeZoom / zoom;
    graph.planeCentreRe = re - (re - graph.planeCentreRe) * k;
    graph.planeCentreIm = im - (im - graph.planeCentreIm) * k;
    graph.planeZoom = zoom;
    if (zoom == 1.0)
        graph.planeCentreRe = graph.planeCentreIm = 0.0;
}

bool CComplexChart::ZoomToRect(const CRect& rect)
{
    const std::int32_t w = std::abs(rect.right - rect.left);
    const std::int32_t h = std::abs(rect.bottom - rect.top);
    const std::int32_t side = Square().Width();
    if (std::max(w, h) <= 0 || side <= 0)
        return false;
    // The drawn rectangle's centre becomes the view's centre, its longer side the square's.
    const auto [re, im] =
        ToPlane(CPoint{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    const double zoom =
        std::clamp(graph.planeZoom * side / static_cast<double>(std::max(w, h)), 1.0, kMaxZoom);
    graph.planeZoom = zoom;
    graph.planeCentreRe = zoom == 1.0 ? 0.0 : re;
    graph.planeCentreIm = zoom == 1.0 ? 0.0 : im;
    return true;
}

std::unique_ptr<CComplexChart> CComplexChart::For(CChartGraph& graph)
{
    switch (graph.chartKind) {
    case CChartGraph::SMITH: return std::make_unique<CSmithChart>(graph);
    case CChartGraph::POLAR: return std::make_unique<CPolarChart>(graph);
    default: return nullptr;
    }
}

void CComplexChart::PanBy(std::int32_t dx, std::int32_t dy)
{
    const CRect s = Square();
    const CPoint from{(s.left + s.right) / 2, (s.top + s.bottom) / 2};
    const auto [re0, im0] = ToPlane(from);
    const auto [re1, im1] = ToPlane(CPoint{from.x + dx, from.y + dy});
    graph.planeCentreRe -= re1 - re0;
    graph.planeCentreIm -= im1 - im0;
}

void CComplexChart::PlanePolyline(CDC& dc, const double* re, const double* im, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const CPoint p = ToPixel(re[i], im[i]);
        if (i == 0)
            dc.MoveToEx(p.x, p.y);
        else
            dc.LineTo(p.x, p.y);
    }
}

bool CComplexChart::GammaAt(const CChartTrace& trace, double freq, double& re, double& im)
{
    const std::size_t n = std::min(trace.points.size(), trace.gamma.size());
    if (n == 0 || !(freq >= trace.points.front().x && freq <= trace.points[n - 1].x))
        return false;
    std::size_t k = 0;
    while (k + 1 < n && trace.points[k + 1].x < freq)
        ++k;
    if (k + 1 >= n || trace.points[k + 1].x == trace.points[k].x) {
        re = trace.gamma[k].x;
        im = trace.gamma[k].y;
        return true;
    }
    const double t = (freq - trace.points[k].x) / (trace.points[k + 1].x - trace.points[k].x);
    re = trace.gamma[k].x + t * (trace.gamma[k + 1].x - trace.gamma[k].x);
    im = trace.gamma[k].y + t * (trace.gamma[k + 1].y - trace.gamma[k].y);
    return true;
}

std::string CComplexChart::Engineering(double value, const char* unit, double smallest)
{
    // The prefix that puts the number at 1 or above (below 1 on the smallest one).
    static const std::pair<double, const char*> prefixes[] = {
        {1e-15, "f"}, {1e-12, "p"}, {1e-9, "n"}, {1e-6, "\xC2\xB5"}, {1e-3, "m"}, {1.0, ""}};
    std::size_t k = 0;
    while (k + 1 < std::size(prefixes) && prefixes[k].first < smallest * 0.5)
        ++k;
    while (k + 1 < std::size(prefixes) && std::fabs(value) >= prefixes[k + 1].first * 0.9995)
        ++k;
    return Num("%.4g", value / prefixes[k].first) + prefixes[k].second + unit;
}

std::string CComplexChart::Reading(double re, double im, double refImpedance, double freqHz,
                                   bool reflection)
{
    const std::complex<double> gamma(re, im);
    std::string text =
        Num("%.3g", std::abs(gamma)) + "/" + Num("%.1f", std::arg(gamma) * 180.0 / kPi) + "deg";
    if (!reflection) {
        // A transmission has no port impedance or standing wave: its magnitude in dB.
        if (std::abs(gamma) > 0.0)
            text += " " + Num("%.2f", 20.0 * std::log10(std::abs(gamma))) + "dB";
        return text;
    }
    const std::complex<double> z = ReflectionImpedance(gamma, refImpedance);
    const double vswr = StandingWaveRatio(std::abs(gamma));
    if (std::isfinite(z.real())) {
        text += " " + Num("%.4g", z.real()) + (z.imag() < 0 ? "-j" : "+j")
            + Num("%.4g", std::fabs(z.imag())) + "ohm";
        // The series element that gives this reactance at this frequency.
        if (freqHz > 0.0 && z.imag() != 0.0) {
            const double w = 2.0 * kPi * freqHz;
            // Inductance from pH (no one winds a femtohenry), capacitance from fF.
            text += z.imag() > 0 ? " L=" + Engineering(z.imag() / w, "H", 1e-12)
                                 : " C=" + Engineering(-1.0 / (w * z.imag()), "F");
        }
    }
    if (std::isfinite(vswr))
        text += " VSWR=" + Num("%.3g", vswr);
    return text;
}

double CComplexChart::PlanePerPixel() const
{
    const double half = Square().Width() / 2.0;
    const double scale = half * graph.planeZoom / Radius();
    return scale > 0.0 ? 1.0 / scale : 0.0;
}

std::string CComplexChart::Readout(CPoint point) const
{
    const CRect s = Square();
    if (!graph.plotArea.visible || point.x < s.left || point.x >= s.right || point.y < s.top
        || point.y >= s.bottom)
        return std::string();
    const auto [re, im] = ToPlane(point);
    // Impedance and VSWR of the first reflection's port. A polar chart that holds any
    // transmission has neither: the point under the mouse may be on one.
    const CChartTrace* port = nullptr;
    bool allReflections = true;
    for (const CChartTrace& trace : graph.traces) {
        if (!port && trace.reflection)
            port = &trace;
        allReflections = allReflections && trace.reflection;
    }
    const bool reflection = graph.chartKind == CChartGraph::SMITH || (port && allReflections);
    const double z0 = port ? port->refImpedance : 50.0;
    const std::complex<double> gamma(re, im);
    const std::complex<double> z = ReflectionImpedance(gamma, z0);
    const double magnitude = std::abs(gamma);
    const double vswr = StandingWaveRatio(magnitude);
    // Enough decimals that the next pixel reads differently, however far the view is
    // zoomed; Z and VSWR change by their derivative's worth of one pixel.
    const double pixel = PlanePerPixel();
    const double slope = 1.0 / std::norm(1.0 - gamma);  // |dZ/dGamma| / 2 z0
    const std::string g = PixelFormat(pixel);
    const std::string zf = PixelFormat(2.0 * z0 * pixel * slope);
    const std::string vf = PixelFormat(2.0 * pixel / ((1.0 - magnitude) * (1.0 - magnitude)));
    std::string text = "G= " + Num(g.c_str(), re) + (im < 0 ? " - j" : " + j")
        + Num(g.c_str(), std::fabs(im)) + "\n";
    if (reflection && std::isfinite(z.real()))
        text += "Z= " + Num(zf.c_str(), z.real()) + (z.imag() < 0 ? " - j" : " + j")
            + Num(zf.c_str(), std::fabs(z.imag())) + "\n";
    if (reflection && std::isfinite(vswr))
        text += "VSWR= " + Num(vf.c_str(), vswr) + "\n";
    return text;
}

double CComplexChart::XAtPoint(CPoint point) const
{
    const CRect s = Square();
    if (!graph.plotArea.visible || point.x < s.left || point.x >= s.right || point.y < s.top
        || point.y >= s.bottom)
        return -1.0;
    double best = std::numeric_limits<double>::infinity();
    double freq = -1.0;
    for (const CChartTrace& trace : graph.traces) {
        const std::size_t n = std::min(trace.points.size(), trace.gamma.size());
        for (std::size_t i = 0; i < n; ++i) {
            const CPoint p = ToPixel(trace.gamma[i].x, trace.gamma[i].y);
            const double d =
                std::hypot(static_cast<double>(p.x - point.x), static_cast<double>(p.y - point.y));
            if (d < best) {
                best = d;
                freq = trace.points[i].x;
            }
        }
    }
    return freq;
}

void CComplexChart::Draw(CDC& dc)
{
    graph.RealizeFonts(dc);
    graph.Layout(dc);
    graph.graphArea.Draw(dc);
    if (graph.titleArea.visible) {
        const FontHandle previous = dc.SelectFont(graph.titleFont.font);
        dc.SetTextAlign(TA_CENTER | TA_TOP);
        dc.SetTextColor(graph.titleFont.color);
        dc.SetBkColor(graph.graphArea.fillColor);
        const CRect t = graph.titleArea.rect;
        dc.TextOut((t.left + t.right) / 2, t.top + graph.titleFont.metrics.height / 2, graph.title);
        dc.SelectFont(previous);
        dc.SetTextAlign(TA_LEFT | TA_TOP);
    }
    if (!graph.plotArea.visible)
        return;
    graph.plotArea.Draw(dc);
    dc.SetClipRect(graph.plotArea.rect);
    DrawGrid(dc);
    DrawTraces(dc);
    dc.ResetClip();
    graph.plotArea.DrawFrame(dc);
    if (graph.showMarkers) {
        graph.DrawLegend(dc);
        graph.legendArea.DrawFrame(dc);
    }
    graph.DrawLogo(dc);
}

std::vector<std::string> CComplexChart::MarkerColumn(
    std::size_t i, double freq, const std::vector<const CChartTrace*>& rows) const
{
    // One reading per trace and marker.
    std::vector<std::string> texts = {std::to_string(i),
                                      CChartGraph::FormatLabel(graph.xAxis.labelFormat, freq)};
    for (const CChartTrace* trace : rows) {
        double re = 0.0, im = 0.0;
        texts.push_back(GammaAt(*trace, freq, re, im) ? Reading(
                            re, im, trace->refImpedance, freq * graph.xUnitHz, trace->reflection)
                                                      : std::string("-"));
    }
    return texts;
}

void CComplexChart::DrawTraces(CDC& dc)
{
    const std::int32_t s = CChartGraph::PageScale(dc);
    const std::int32_t penWidth = (graph.lineType == 1 ? 2 : 1) * (dc.IsPrinting() ? 2 : 1);
    const FontHandle previousFont = dc.SelectFont(graph.markerFont.font);
    dc.SetBkColor(graph.plotArea.fillColor);
    CPen previousPen;
    bool selected = false;
    for (const CChartTrace& trace : graph.traces) {
        const CPen pen{trace.color, penWidth};
        if (selected) {
            dc.SelectPen(pen);
        } else {
            previousPen = dc.SelectPen(pen);
            selected = true;
        }
        const std::size_t n = std::min(trace.points.size(), trace.gamma.size());
        bool run = false;
        bool moved = false;  // the run left its first pixel
        CPoint runStart{0, 0};
        // A run that never leaves its pixel (a matched load, a constant transmission) would
        // be a line of no length, which draws nothing: it gets a dot of the pen's width.
        auto endRun = [&]() {
            if (run && !moved) {
                const std::int32_t r = std::max<std::int32_t>(penWidth, 2 * s);
                dc.FillSolidRect(CRect(runStart.x - r, runStart.y - r, runStart.x + r + 1,
                                       runStart.y + r + 1),
                                 trace.color);
            }
            run = false;
        };
        for (std::size_t i = 0; i < n; ++i) {
            const double re = trace.gamma[i].x, im = trace.gamma[i].y;
            if (!std::isfinite(re) || !std::isfinite(im)) {
                endRun();
                continue;
            }
            const CPoint p = ToPixel(re, im);
            if (graph.lineType == 2) {
                dc.FillSolidRect(CRect(p.x, p.y, p.x + 2 * s, p.y + 2 * s), trace.color);
            } else if (graph.lineType == 3) {
                dc.Arc(CRect(p.x - 3 * s, p.y - 3 * s, p.x + 3 * s, p.y + 3 * s),
                       CPoint{p.x + 3 * s, p.y}, CPoint{p.x + 3 * s, p.y});
            } else if (run) {
                dc.LineTo(p.x, p.y);
                moved = moved || p.x != runStart.x || p.y != runStart.y;
            } else {
                dc.MoveToEx(p.x, p.y);
                run = true;
                moved = false;
                runStart = p;
            }
        }
        endRun();
        if (!graph.showMarkers)
            continue;
        const CBrush previousBrush = dc.SelectBrush(CBrush{trace.color});
        for (std::size_t m = 0; m < graph.markers.size(); ++m) {
            double re = 0.0, im = 0.0;
            if (!GammaAt(trace, graph.markers[m], re, im))
                continue;
            const CPoint p = ToPixel(re, im);
            dc.Ellipse(CRect(p.x - 4 * s, p.y - 4 * s, p.x + 4 * s, p.y + 4 * s));
            dc.SetTextColor(trace.color);
            dc.TextOut(p.x + 5 * s, p.y + 5 * s, std::to_string(m + 1));
        }
        dc.SelectBrush(previousBrush);
    }
    if (selected)
        dc.SelectPen(previousPen);
    dc.SelectFont(previousFont);
}
