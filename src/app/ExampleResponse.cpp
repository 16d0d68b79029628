#include "app/ExampleResponse.h"

#include "chart/ChartSheet.h"

#include <cmath>
#include <memory>

namespace {

// Centre frequency: the geometric mean of the band edges 90 and 110.
const double f0 = std::sqrt(9900.0);
// Ripple factor of 0.01 dB, formed as the square of its square root.
const double epsilonSquared = std::pow(std::sqrt(std::pow(10.0, 0.001) - 1.0), 2.0);
// Band-pass scaling factor 2 pi.
const double k = 8.0 * std::atan(1.0);

}  // namespace

CExampleResponse::CExampleResponse()
{
    s21.reserve(POINTS);
    s11.reserve(POINTS);
    for (int i = 0; i < POINTS; ++i) {
        const double g = PowerTransmission(Frequency(i));
        s21.push_back(10.0 * std::log10(g));
        s11.push_back(10.0 * std::log10(1.0 - g));
    }
}

double CExampleResponse::Frequency(int i)
{
    return i * (F_HIGH - F_LOW) / (POINTS - 1) + F_LOW;
}

double CExampleResponse::PowerTransmission(double f)
{
    const double x = std::fabs(k * (f / f0 - f0 / f));
    // Chebyshev polynomial of order N at x, by its trigonometric and hyperbolic forms.
    const double t = x < 1.0 ? std::cos(ORDER * std::acos(x))
                             : std::cosh(ORDER * std::log(x + std::sqrt(x * x - 1.0)));
    return 1.0 / (1.0 + epsilonSquared * t * t);
}

void CExampleResponse::Assemble(CChartSheet& sheet) const
{
    // Restart the palette so the example always takes its first two colours.
    ResetTraceColors();
    const CChartTrace traceS21(s21, F_LOW, F_HIGH, "S21", true);
    CChartTrace traceS11(s11, F_LOW, F_HIGH, "S11", true);
    traceS11.onLeftAxis = false;

    auto graph = std::make_unique<CChartGraph>(-1);
    graph->SetViewFormat(0, true);
    graph->title = "";
    graph->AddTrace(traceS21);
    graph->AddTrace(traceS11);
    graph->Rescale(true, true, true);
    graph->leftAxis.reversed = true;
    graph->rightAxis.reversed = true;
    graph->leftAxis.SetRange(-100.0, 0.0);
    graph->rightAxis.SetRange(-50.0, 0.0);

    sheet.DeleteGraphs();
    sheet.title = "11th order Bandpass Filter Example";
    sheet.AddGraph(std::move(graph));
}
