#include "chart/SmithChart.h"

#include <cmath>
#include <vector>

#include "platform/NumberFormat.h"

namespace {

constexpr double kGridValues[] = {0.2, 0.5, 1.0, 2.0, 5.0};
constexpr int kSamples = 240;
constexpr COLORREF kImpedanceGrid = Rgb(170, 170, 170);
constexpr COLORREF kAdmittanceGrid = Rgb(212, 212, 212);

// Gamma of the normalised impedance r + jx.
void Reflection(double r, double x, double& re, double& im)
{
    const double den = (r + 1.0) * (r + 1.0) + x * x;
    re = (r * r + x * x - 1.0) / den;
    im = 2.0 * x / den;
}

// A parameter t in [0, 1) spread over 0..infinity, dense near the centre of the chart.
double Spread(double t)
{
    return t / (1.0 - t);
}

}  // namespace

void CSmithChart::DrawGrid(CDC& dc)
{
    const CPen previous = dc.SelectPen(CPen{graph.plotArea.borderColor, 1});
    // The admittance circles lighter than the impedance ones and, like them, without hue:
    // no grid line may pass for a trace.
    if (graph.admittanceGrid)
        DrawImpedanceGrid(dc, -1.0, kAdmittanceGrid, false);
    DrawImpedanceGrid(dc, 1.0, kImpedanceGrid, true);

    // The unit circle (r = 0) and the real axis, darker than the rest.
    dc.SelectPen(CPen{graph.plotArea.borderColor, dc.IsPrinting() ? 2 : 1});
    std::vector<double> re(kSamples + 1), im(kSamples + 1);
    for (int i = 0; i <= kSamples; ++i) {
        const double a = 2.0 * 3.14159265358979323846 * i / kSamples;
        re[i] = std::cos(a);
        im[i] = std::sin(a);
    }
    PlanePolyline(dc, re.data(), im.data(), re.size());
    const double axisRe[] = {-1.0, 1.0}, axisIm[] = {0.0, 0.0};
    PlanePolyline(dc, axisRe, axisIm, 2);
    dc.SelectPen(previous);
}

void CSmithChart::DrawImpedanceGrid(CDC& dc, double sign, COLORREF color, bool labels)
{
    const CPen previous = dc.SelectPen(CPen{color, dc.IsPrinting() ? 2 : 1});
    std::vector<double> re(kSamples), im(kSamples);
    for (double value : kGridValues) {
        // The circle of constant resistance: x over the whole line.
        for (int i = 0; i < kSamples; ++i) {
            const double t = -1.0 + 2.0 * (i + 0.5) / kSamples;  // -1..1
            const double x = t / (1.0 - std::fabs(t)) * 4.0;
            Reflection(value, x, re[i], im[i]);
            re[i] *= sign;
            im[i] *= sign;
        }
        PlanePolyline(dc, re.data(), im.data(), re.size());
        // The arcs of constant reactance +x and -x: r from 0 outward.
        for (double x : {value, -value}) {
            for (int i = 0; i < kSamples; ++i) {
                Reflection(Spread(static_cast<double>(i) / kSamples) * 4.0, x, re[i], im[i]);
                re[i] *= sign;
                im[i] *= sign;
            }
            PlanePolyline(dc, re.data(), im.data(), re.size());
        }
    }
    dc.SelectPen(previous);
    if (!labels)
        return;

    const FontHandle previousFont = dc.SelectFont(graph.tickFont.font);
    dc.SetTextColor(graph.tickFont.color);
    dc.SetBkColor(graph.plotArea.fillColor);
    const std::int32_t h = graph.tickFont.metrics.height;
    for (double value : kGridValues) {
        const std::string text = FormatValue("%g", value);
        double gr = 0.0, gi = 0.0;
        // Resistance: where the circle meets the real axis, just above it.
        Reflection(value, 0.0, gr, gi);
        CPoint p = ToPixel(gr, gi);
        dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
        dc.TextOut(p.x + 2, p.y - 1, text);
        // Reactance: where the arcs meet the unit circle, outside it.
        for (double x : {value, -value}) {
            Reflection(0.0, x, gr, gi);
            p = ToPixel(gr * 1.04, gi * 1.04);
            dc.SetTextAlign((gr < -0.1      ? TA_RIGHT
                                 : gr > 0.1 ? TA_LEFT
                                            : TA_CENTER)
                            | (gi >= 0 ? TA_BOTTOM : TA_TOP));
            dc.TextOut(p.x, p.y + (gi >= 0 ? h / 4 : -h / 4), (x > 0 ? "+j" : "-j") + text);
        }
    }
    const CPoint zero = ToPixel(-1.0, 0.0);
    dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    dc.TextOut(zero.x - 2, zero.y - 1, "0");
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.SelectFont(previousFont);
}
