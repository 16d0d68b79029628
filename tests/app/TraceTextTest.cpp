#include "app/TraceText.h"
#include "chart/ChartGraph.h"

#include <gtest/gtest.h>

namespace {

CChartTrace Named(const std::string& name, const std::vector<CChartTrace::XYpair>& points)
{
    CChartTrace t;
    t.SetPoints(points);
    t.name = name;
    return t;
}

TEST(TraceTextTest, SharedFrequenciesMakeOneTableElseOneBlockEach)
{
    CChartGraph graph;
    graph.AddTrace(Named("S11[dB](1)", {{1, -0.5}, {2, -1.25}}));
    graph.AddTrace(Named("S21[dB](1)", {{1, -30}, {2, 0.1}}));
    EXPECT_EQ(TracesAsText(graph, "freq_MHz"),
              "freq_MHz\tS11[dB](1)\tS21[dB](1)\n"
              "1\t-0.5\t-30\n"
              "2\t-1.25\t0.10000000000000001\n");
    graph.AddTrace(Named("S21[dB](2)", {{1.5, -3}}));
    EXPECT_EQ(TracesAsText(graph, "freq_GHz"),
              "freq_GHz\tS11[dB](1)\n1\t-0.5\n2\t-1.25\n\n"
              "freq_GHz\tS21[dB](1)\n1\t-30\n2\t0.10000000000000001\n\n"
              "freq_GHz\tS21[dB](2)\n1.5\t-3\n");
    EXPECT_EQ(TracesAsText(CChartGraph(), "freq_MHz"), "");
}

}  // namespace
