#include "app/cli/CsvTables.h"

#include "app/cli/CsvText.h"
#include "chart/ChartGraph.h"
#include "chart/ComplexChart.h"
#include "chart/LimitMask.h"
#include "chart/Reflection.h"
#include "chart/TraceSearch.h"

#include <algorithm>
#include <complex>
#include <ostream>

namespace {

const char* StatusWord(LimitStatus status)
{
    switch (status) {
    case LimitStatus::Pass: return "pass";
    case LimitStatus::Fail: return "fail";
    default: return "nodata";
    }
}

// The reflection columns of one marker row; empty where the trace has no data there.
void WriteReflectionFields(const CChartTrace& trace, double x, std::ostream& csv)
{
    double re = 0.0;
    double im = 0.0;
    if (!CComplexChart::GammaAt(trace, x, re, im)) {
        csv << ",,,,\n";
        return;
    }
    // A transmission has no impedance and no standing wave: those fields stay empty.
    if (!trace.reflection) {
        csv << CsvNumber(re) << ',' << CsvNumber(im) << ",,,\n";
        return;
    }
    // No impedance for G = 1 and no VSWR from |G| = 1 on.
    const std::complex<double> g(re, im);
    const std::complex<double> z = ReflectionImpedance(g, trace.refImpedance);
    const double vswr = StandingWaveRatio(std::abs(g));
    csv << CsvNumber(re) << ',' << CsvNumber(im) << ',' << CsvNumber(z.real()) << ','
        << CsvNumber(z.imag()) << ',' << CsvNumber(vswr) << '\n';
}

}  // namespace

void WriteCsv(const CChartGraph& graph, const std::string& xColumn, std::ostream& csv)
{
    csv << "trace,axis," << xColumn << ",value\n";
    std::string row;
    for (const CChartTrace& trace : graph.traces) {
        const std::string head = CsvField(trace.name) + (trace.onLeftAxis ? ",left," : ",right,");
        const std::size_t n = trace.PointCount();
        for (std::size_t i = 0; i < n; ++i) {
            const CChartTrace::XYpair sample = trace.Sample(i);
            row = head;
            row += CsvNumber(sample.x);
            row += ',';
            row += CsvNumber(sample.y);
            row += '\n';
            csv << row;
        }
    }
}

void WriteMarkerTable(const CChartGraph& graph, const std::vector<double>& markers,
                      const std::string& xColumn, std::ostream& csv)
{
    // Smith and polar traces hold complex values: the table reads them as reflections.
    const bool complex = std::any_of(graph.traces.begin(), graph.traces.end(),
                                     [](const CChartTrace& t) { return !t.gamma.empty(); });
    csv << "marker," << xColumn << ",trace," << (complex ? "re,im,r_ohm,x_ohm,vswr" : "value")
        << '\n';
    for (std::size_t m = 0; m < markers.size(); ++m) {
        const double x = markers[m];
        const std::string head = std::to_string(m + 1) + ',' + CsvNumber(x) + ',';
        for (const CChartTrace& trace : graph.traces) {
            if (!trace.inLegend)
                continue;
            csv << head << CsvField(trace.name) << ',';
            // Outside the trace's data the table shows no value, as the chart's does.
            if (complex)
                WriteReflectionFields(trace, x, csv);
            else
                csv << CsvNumberIf(trace.Covers(x), trace.ValueAt(x)) << '\n';
        }
    }
}

void WriteExtremeTable(const CChartGraph& graph, bool peak, double low, double high,
                       const std::string& xColumn, std::ostream& csv)
{
    csv << "trace," << xColumn << ",value\n";
    for (const CChartTrace& trace : graph.traces) {
        const TracePoint p = peak ? TraceMaximum(trace, low, high) : TraceMinimum(trace, low, high);
        csv << CsvField(trace.name) << ',' << CsvNumberIf(p.found, p.x) << ','
            << CsvNumberIf(p.found, p.y) << '\n';
    }
}

void WriteBandwidthTable(const CChartGraph& graph, double below, double low, double high,
                         const std::string& unit, std::ostream& csv)
{
    csv << "trace,center_" << unit << ",low_" << unit << ",high_" << unit << ",bandwidth_" << unit
        << ",q,peak\n";
    for (const CChartTrace& trace : graph.traces) {
        const BandwidthResult b = TraceBandwidth(trace, below, low, high);
        csv << CsvField(trace.name) << ',' << CsvNumberIf(b.complete, b.center) << ','
            << CsvNumberIf(b.hasLow, b.low) << ',' << CsvNumberIf(b.hasHigh, b.high) << ','
            << CsvNumberIf(b.complete, b.bandwidth) << ',' << CsvNumberIf(b.complete, b.q) << ','
            << CsvNumberIf(b.peak.found, b.peak.y) << '\n';
    }
}

void WriteLimitTable(const CChartGraph& graph, const CLimitMask& mask,
                     const std::vector<LimitResult>& results, const std::string& xColumn,
                     std::ostream& csv)
{
    csv << "segment,trace,result,margin," << xColumn << '\n';
    for (const LimitResult& r : results) {
        const bool judged = r.status != LimitStatus::NoData;
        csv << mask.segments[r.segment].line << ','
            << (r.trace >= 0 ? CsvField(graph.traces[static_cast<std::size_t>(r.trace)].name)
                             : std::string())
            << ',' << StatusWord(r.status) << ',' << CsvNumberIf(judged, r.margin) << ','
            << CsvNumberIf(judged, r.x) << '\n';
    }
}
