// Reading limit masks and judging traces against them.
#include "chart/LimitMask.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

using XY = CChartTrace::XYpair;

TEST(LimitMaskTest, ParsesSegmentsAndReportsEveryBadLine)
{
    const std::string text =
        "\xEF\xBB\xBF! a filter mask\r\n"
        "upper 1900 2000 -1\r\n"
        "LOWER 1.5e3 2e3 -40 -30.5 s21:DB ! sloped, one item\n"
        "\n"
        "lower 10 20 +3 S11:phase\n"
        "middle 1 2 3\n"
        "upper 1 2\n"
        "upper 1 2 3,5\n"
        "upper 1 2 3 4 S21:dB extra\n"
        "upper 1 2 3 S5:db\n"
        "upper 2 1 0\n"
        "upper 1 1 0 1\n"
        "upper 5 5 -3 -3 S21:delay\n"
        "lower 1 nan 0\n"
        "\tupper\t1\t2\t3";
    CLimitMask mask;
    std::vector<CLimitMask::ParseError> errors;
    EXPECT_FALSE(mask.Parse(text, errors));

    struct Seg {
        bool upper;
        double f1, f2, v1, v2;
        const char* item;
        int line;
    };
    const std::vector<Seg> expected = {
        {true, 1900, 2000, -1, -1, "", 2},
        {false, 1500, 2000, -40, -30.5, "S21:db", 3},
        {false, 10, 20, 3, 3, "S11:phase", 5},
        {true, 5, 5, -3, -3, "S21:delay", 13},
        {true, 1, 2, 3, 3, "", 15},
    };
    ASSERT_EQ(mask.segments.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const CLimitMask::Segment& s = mask.segments[i];
        EXPECT_EQ(s.upper, expected[i].upper);
        EXPECT_EQ(s.f1, expected[i].f1);
        EXPECT_EQ(s.f2, expected[i].f2);
        EXPECT_EQ(s.v1, expected[i].v1);
        EXPECT_EQ(s.v2, expected[i].v2);
        EXPECT_EQ(s.item, expected[i].item);
        EXPECT_EQ(s.line, expected[i].line);
    }
    std::vector<int> lines;
    for (const auto& e : errors) {
        EXPECT_FALSE(e.message.empty());
        lines.push_back(e.line);
    }
    EXPECT_EQ(lines, (std::vector<int>{6, 7, 8, 9, 10, 11, 12, 14}));

    // Numbers keep their decimal point whatever the locale.
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        EXPECT_TRUE(mask.Parse("upper 1.5 2.5 -0.25", errors));
        ASSERT_EQ(mask.segments.size(), 1u);
        EXPECT_EQ(mask.segments[0].v1, -0.25);
        std::setlocale(LC_ALL, "C");
    }
    EXPECT_FALSE(mask.Parse("! nothing but a comment\n\n", errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].line, 0);
}

TEST(LimitMaskTest, ForeignTextIsQuotedSafelyAndSummedUp)
{
    // A binary file: control bytes come out escaped, and after twenty lines one summary.
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "\x1b[2J\x01 1 2 3\n";
    text += std::string("upper 1 2 \x7f") + std::string(100, 'x') + "\n";
    CLimitMask mask;
    std::vector<CLimitMask::ParseError> errors;
    EXPECT_FALSE(mask.Parse(text, errors));
    ASSERT_EQ(errors.size(), 21u);
    EXPECT_EQ(errors[0].message, "expected 'upper' or 'lower', not '\\x1B[2J\\x01'");
    EXPECT_EQ(errors[20].line, 0);
    EXPECT_EQ(errors[20].message, "11 more malformed lines");
    // Old Mac line ends count lines as the other two kinds do.
    EXPECT_TRUE(mask.Parse("upper 1 2 3\rlower 1 2 4\r\n\rlower 3 4 5", errors));
    ASSERT_EQ(mask.segments.size(), 3u);
    EXPECT_EQ(mask.segments[1].line, 2);
    EXPECT_EQ(mask.segments[2].line, 4);
    EXPECT_FALSE(mask.Parse(std::string("upper 1 2 \x7f") + std::string(100, 'x'), errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].message, "'\\x7F" + std::string(39, 'x') + "...' is not a number");
}

TEST(LimitMaskTest, ItemsMatchTraceNamesByElementAndUnit)
{
    struct Row {
        const char* item;
        const char* name;
        bool matches;
    };
    const Row rows[] = {
        {"S21:db", "S21[dB](1)", true},
        {"S21:db", "S21[dB]", true},
        {"S21:db", "S21[dB](12)", true},
        {"S21:phase", "S21[deg](2)", true},
        {"S21:delay", "S21[ns](1)", true},
        {"S21:db", "S21[deg](1)", false},
        {"S21:db", "S12[dB](1)", false},
        {"S21:db", "S21[dB] renamed", false},
        {"S21:db", "S21[dB](x)", false},
        {"S21:db", "IL[dB]", false},
        {"S11:vswr", "S11[VSWR](1)", true},
        {"S11:lin", "S11(mag)(2)", true},
        {"s11:Z", "S11[|Z|](1)", true},
        {"S10_2:db", "S10_2[dB](1)", true},
        {"Sdd21:db", "Sdd21[dB](1)", true},
        {"Sdd21:db", "Scc21[dB](1)", false},
        {"", "anything", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.item) + " / " + r.name);
        EXPECT_EQ(CLimitMask::Matches(r.item, r.name), r.matches);
    }
}

TEST(LimitMaskTest, MarginsFailingStretchesAndMissingData)
{
    // S21: -0.5 dB per MHz away from 0 dB at 100 MHz, at whole MHz from 80 to 120; S11: -20 dB.
    std::vector<XY> tri, flat;
    for (int f = 80; f <= 120; ++f) {
        tri.emplace_back(f, -0.5 * std::abs(f - 100));
        flat.emplace_back(f, -20);
    }
    std::vector<CChartTrace> traces(2);
    traces[0].SetPoints(tri);
    traces[0].name = "S21[dB](1)";
    traces[1].SetPoints(flat);
    traces[1].name = "S11[dB](1)";

    CLimitMask mask;
    std::vector<CLimitMask::ParseError> errors;
    ASSERT_TRUE(
        mask.Parse("lower 95 105 -3 S21:db\n"
                   "upper 90 110 -1\n"
                   "lower 100 120 0 -20 S21:db\n"
                   "lower 100.5 100.5 -0.2 S21:db\n"
                   "lower 110 150 -6 S21:db\n"
                   "upper 200 300 0 S21:db\n"
                   "upper 90 110 0 S11:phase\n"
                   "lower -1e308 1e308 -1e308 1e308 S21:db\n",
                   errors));

    using Stretches = std::vector<std::pair<double, double>>;
    struct Row {
        std::size_t segment;
        int trace;
        LimitStatus status;
        double margin, x;
        Stretches failing;
    };
    const std::vector<Row> expected = {
        {0, 0, LimitStatus::Pass, 0.5, 95, {}},
        {1, 0, LimitStatus::Fail, -1, 100, {{98, 102}}},
        {1, 1, LimitStatus::Pass, 19, 90, {}},
        {2, 0, LimitStatus::Pass, 0, 100, {}},  // on the limit passes
        {3, 0, LimitStatus::Fail, -0.05, 100.5, {{100.5, 100.5}}},
        // Judged where the trace has data only; failing from its crossing of -6 dB at 112.
        {4, 0, LimitStatus::Fail, -4, 120, {{112, 120}}},
        {5, 0, LimitStatus::NoData, 0, 0, {}},
        {6, -1, LimitStatus::NoData, 0, 0, {}},
        // Ends at the largest doubles: the limit is still a number (0 here, as close to
        // the line as those ends allow), so are the margins.
        {7, 0, LimitStatus::Fail, -10, 80, {{80, 100}, {100, 120}}},
    };
    const std::vector<LimitResult> results = mask.Evaluate(traces);
    ASSERT_EQ(results.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const LimitResult& r = results[i];
        const Row& e = expected[i];
        EXPECT_EQ(r.segment, e.segment);
        EXPECT_EQ(r.trace, e.trace);
        EXPECT_EQ(r.status, e.status);
        EXPECT_NEAR(r.margin, e.margin, 1e-12);
        EXPECT_NEAR(r.x, e.x, 1e-12);
        ASSERT_EQ(r.failing.size(), e.failing.size());
        for (std::size_t k = 0; k < e.failing.size(); ++k) {
            EXPECT_NEAR(r.failing[k].first, e.failing[k].first, 1e-12);
            EXPECT_NEAR(r.failing[k].second, e.failing[k].second, 1e-12);
        }
    }
    EXPECT_FALSE(CLimitMask::AllPass(results));
    EXPECT_TRUE(CLimitMask::AllPass({results[0], results[2]}));
    EXPECT_FALSE(CLimitMask::AllPass({}));
}

}  // namespace
