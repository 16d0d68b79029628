#include "chart/PolarChart.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/NumberFormat.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRings = 5;
constexpr int kSamples = 240;

}  // namespace

double CPolarChart::OuterRing(double largest)
{
    if (!(largest > 0.0) || !std::isfinite(largest) || largest <= 1.0)
        return 1.0;
    const double decade = std::pow(10.0, std::floor(std::log10(largest)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * decade >= largest)
            return m * decade;
    return 10.0 * decade;
}

double CPolarChart::PlaneRadius() const
{
    double largest = 0.0;
    for (const CChartTrace& trace : graph.traces)
        for (const auto& g : trace.gamma)
            if (std::isfinite(g.x) && std::isfinite(g.y))
                largest = std::max(largest, std::hypot(g.x, g.y));
    return OuterRing(largest);
}

void CPolarChart::DrawGrid(CDC& dc)
{
    const double outer = Radius();
    const CPen previous = dc.SelectPen(CPen{Rgb(170, 170, 170), dc.IsPrinting() ? 2 : 1});
    std::vector<double> re(kSamples + 1), im(kSamples + 1);
    for (int ring = 1; ring <= kRings; ++ring) {
        const double radius = outer * ring / kRings;
        if (ring == kRings)
            dc.SelectPen(CPen{graph.plotArea.borderColor, dc.IsPrinting() ? 2 : 1});
        for (int i = 0; i <= kSamples; ++i) {
            re[i] = radius * std::cos(2.0 * kPi * i / kSamples);
            im[i] = radius * std::sin(2.0 * kPi * i / kSamples);
        }
        PlanePolyline(dc, re.data(), im.data(), re.size());
    }
    dc.SelectPen(CPen{Rgb(170, 170, 170), dc.IsPrinting() ? 2 : 1});
    for (int spoke = 0; spoke < 12; ++spoke) {
        const double a = spoke * kPi / 6.0;
        const double sr[] = {0.0, outer * std::cos(a)}, si[] = {0.0, outer * std::sin(a)};
        PlanePolyline(dc, sr, si, 2);
    }
    dc.SelectPen(previous);

    const FontHandle previousFont = dc.SelectFont(graph.tickFont.font);
    dc.SetTextColor(graph.tickFont.color);
    dc.SetBkColor(graph.plotArea.fillColor);
    for (int ring = 1; ring <= kRings; ++ring) {
        const CPoint p = ToPixel(outer * ring / kRings, 0.0);
        dc.SetTextAlign(TA_RIGHT | TA_TOP);
        dc.TextOut(p.x - 2, p.y + 1, FormatValue("%g", outer * ring / kRings));
    }
    for (int spoke = 0; spoke < 12; ++spoke) {
        const double a = spoke * kPi / 6.0;
        const double c = std::cos(a), s = std::sin(a);
        const CPoint p = ToPixel(outer * 1.05 * c, outer * 1.05 * s);
        dc.SetTextAlign((c < -0.1      ? TA_RIGHT
                             : c > 0.1 ? TA_LEFT
                                       : TA_CENTER)
                        | (s > 0.1 ? TA_BOTTOM : TA_TOP));
        const int degrees = spoke <= 6 ? spoke * 30 : spoke * 30 - 360;
        // Labels beside the horizontal spokes are centred on them.
        const bool level = std::fabs(s) <= 0.1;
        dc.TextOut(p.x, p.y - (level ? graph.tickFont.metrics.height / 2 : 0),
                   std::to_string(degrees));
    }
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.SelectFont(previousFont);
}
