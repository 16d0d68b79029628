#include "chart/ChartGraph.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

#include "chart/ChartFlags.h"
#include "chart/NiceScale.h"

namespace {

void SetColors(CChartArea& area, COLORREF fill, COLORREF border)
{
    area.fillColor = fill;
    area.borderColor = border;
}

struct AxisPreset {
    const char* title;  // nullptr: the format leaves this axis hidden
    double first;
    double second;
    bool reversed;
    bool fitsAllValues = false;  // phase, delay and linear axes
    bool niceSteps = false;      // linear axes
};

struct ViewPreset {
    const char* chartTitle;
    AxisPreset left;
    AxisPreset right;
};

constexpr AxisPreset kHidden = {nullptr, 0.0, 0.0, false};

// Formats 1..9; every other number has no title and no Y axes.
const std::array<ViewPreset, 9> kViewPresets = {{
    {"Insertion Loss", {"Ins. Loss [dB]", 0, 80, false}, kHidden},
    {"Return Loss", {"Ret. Loss [dB]", 0, 40, false}, kHidden},
    {"Phase", {"Phase [deg]", -180, 180, true, true}, kHidden},
    {"Group Delay", {"Delay [nsec]", 0, 100, true, true}, kHidden},
    {"Phase variation", {"Phase var.[deg]", -20, 20, true, true}, kHidden},
    {"VSWR", {"VSWR", 0, 10, true, true, true}, kHidden},
    {"Ins.Loss and Return Loss",
     {"Ins. Loss [dB]", 0, 80, false},
     {"Ret. Loss [dB]", 0, 40, false}},
    {"Phase and Delay",
     {"Phase [deg]", -180, 180, true, true},
     {"Delay [nsec]", 0, 100, true, true}},
    {"S2p Data", {"S11-S22 [dB]", 0, -50, true}, {"S21-S12 [dB]", 0, -100, true}},
}};

void Apply(CChartAxis& axis, const AxisPreset& preset)
{
    if (preset.title) {
        axis.SetUp(preset.title, preset.first, preset.second, preset.reversed);
        axis.fitsAllValues = preset.fitsAllValues;
        axis.niceSteps = preset.niceSteps;
    }
}

}  // namespace

CChartGraph::CChartGraph(int format)
    : graphArea(CRect(0, 0, 200, 200)), plotArea(CRect(50, 50, 150, 150))
{
    SetColors(graphArea, Rgb(244, 244, 244), Rgb(244, 244, 244));
    SetColors(titleArea, Rgb(244, 244, 244), Rgb(244, 244, 244));
    SetColors(plotArea, Rgb(255, 255, 255), Rgb(112, 128, 144));
    SetColors(legendArea, Rgb(255, 255, 255), Rgb(112, 128, 144));
    titleFont.SetFont("Trebuchet MS", 110, Rgb(0, 0, 64));
    axisTitleFont.SetFont("Trebuchet MS", 100, Rgb(0, 0, 64));
    verticalAxisTitleFont.SetFont("Trebuchet MS", 100, Rgb(0, 0, 64));
    tickFont.SetFont("Verdana", 80, Rgb(51, 51, 51));
    legendFont.SetFont("Verdana", 80, Rgb(0, 0, 0));
    markerFont.SetFont("Arial", 80, Rgb(0, 0, 0));
    leftAxis.color = verticalAxisTitleFont.color;
    rightAxis.color = verticalAxisTitleFont.color;
    xAxis.color = axisTitleFont.color;
    if (format >= 0)
        SetViewFormat(format, true);
}

void CChartGraph::SetViewFormat(int format, bool resetX)
{
    ClearTraces();
    if (!keepMarkers)
        markers.clear();
    viewFormat = format;
    SetDivisions(10, 4, 4, 4);
    xShortTitle = "Freq";
    xAxis.title = "Frequency";
    if (resetX)
        xAxis.SetRange(0.0, 100.0);
    xAxis.reversed = false;
    xAxis.allowNegative = false;
    leftAxis.visible = false;
    rightAxis.visible = false;
    leftAxis.fitsAllValues = false;
    rightAxis.fitsAllValues = false;
    leftAxis.niceSteps = false;
    rightAxis.niceSteps = false;
    if (format >= 1 && format <= static_cast<int>(kViewPresets.size())) {
        const ViewPreset& preset = kViewPresets[static_cast<std::size_t>(format - 1)];
        Apply(leftAxis, preset.left);
        Apply(rightAxis, preset.right);
        title = preset.chartTitle;
    } else {
        title.clear();
    }
}

void CChartGraph::SetDivisions(std::int32_t yMajor, std::int32_t yMinor, std::int32_t xMajor,
                               std::int32_t xMinor)
{
    SetYMajorDivisions(yMajor);
    SetYMinorDivisions(yMinor);
    xMajorDivisions = std::max(xMajor, 1);
    SetXMinorDivisions(xMinor);
}

void CChartGraph::SetYMajorDivisions(std::int32_t n)
{
    yMajorDivisions = std::max(n, 1);
}

void CChartGraph::SetYMinorDivisions(std::int32_t n)
{
    yMinorDivisions = std::max(n, 1);
}

void CChartGraph::SetXMinorDivisions(std::int32_t n)
{
    xMinorDivisions = std::max(n, 1);
}

void CChartGraph::AddTrace(const CChartTrace& trace)
{
    if (traces.size() >= kMaxTraces)
        traces.erase(traces.begin());
    traces.push_back(trace);
}

void CChartGraph::DeleteTrace(int index)
{
    if (TraceAt(index))
        traces.erase(traces.begin() + index);
}

void CChartGraph::ClearTraces()
{
    traces.clear();
    filledBands.clear();  // they name traces by index
}

CChartTrace* CChartGraph::TraceAt(int index)
{
    return const_cast<CChartTrace*>(std::as_const(*this).TraceAt(index));
}

const CChartTrace* CChartGraph::TraceAt(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= traces.size())
        return nullptr;
    return &traces[static_cast<std::size_t>(index)];
}

void CChartGraph::GetMarkers(std::vector<double>& out) const
{
    out = markers;
}

void CChartGraph::SetMarkers(const std::vector<double>& in)
{
    markers = in;
}

void CChartGraph::MarkFontsDirty()
{
    for (CChartFont* f :
         {&titleFont, &axisTitleFont, &verticalAxisTitleFont, &tickFont, &legendFont, &markerFont})
        f->dirty = true;
}

void CChartGraph::Rescale(bool autoSpan, bool autoScale, bool updateAxisColors)
{
    if (autoSpan)
        AutoSpan();
    if (autoScale)
        AutoScale();

    const CChartTrace* firstLeft = nullptr;
    const CChartTrace* firstRight = nullptr;
    for (const CChartTrace& t : traces) {
        const CChartTrace*& first = t.onLeftAxis ? firstLeft : firstRight;
        if (!first)
            first = &t;
    }
    leftAxis.visible = firstLeft != nullptr;
    rightAxis.visible = firstRight != nullptr;
    xAxis.visible = leftAxis.visible || rightAxis.visible;
    if (updateAxisColors) {
        if (firstLeft)
            leftAxis.color = firstLeft->color;
        if (firstRight)
            rightAxis.color = firstRight->color;
    }
}
