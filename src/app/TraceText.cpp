#include "app/TraceText.h"

#include "chart/ChartGraph.h"
#include "platform/NumberFormat.h"

#include <cstddef>
#include <vector>

namespace {

std::string G17(double v)
{
    return FormatValue("%.17g", v);
}

std::vector<CChartTrace::XYpair> Samples(const CChartTrace& trace)
{
    std::vector<CChartTrace::XYpair> out;
    for (std::size_t i = 0; i < trace.PointCount(); ++i)
        out.push_back(trace.Sample(i));
    return out;
}

bool SameX(const std::vector<CChartTrace::XYpair>& a, const std::vector<CChartTrace::XYpair>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x)
            return false;
    return true;
}

}  // namespace

std::string TracesAsText(const CChartGraph& graph, const std::string& xColumn)
{
    std::vector<std::vector<CChartTrace::XYpair>> samples;
    for (const CChartTrace& trace : graph.traces)
        samples.push_back(Samples(trace));
    if (samples.empty())
        return std::string();
    bool shared = true;
    for (std::size_t t = 1; t < samples.size() && shared; ++t)
        shared = SameX(samples[0], samples[t]);

    const std::string& freq = xColumn;
    std::string text;
    if (shared) {
        text = freq;
        for (const CChartTrace& trace : graph.traces)
            text += '\t' + trace.name;
        text += '\n';
        for (std::size_t i = 0; i < samples[0].size(); ++i) {
            text += G17(samples[0][i].x);
            for (const auto& s : samples)
                text += '\t' + G17(s[i].y);
            text += '\n';
        }
        return text;
    }
    for (std::size_t t = 0; t < samples.size(); ++t) {
        if (t > 0)
            text += '\n';
        text += freq + '\t' + graph.traces[t].name + '\n';
        for (const auto& point : samples[t])
            text += G17(point.x) + '\t' + G17(point.y) + '\n';
    }
    return text;
}
