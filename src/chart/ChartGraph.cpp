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

// Start values of the range searches; they stay when an axis has no trace.
constexpr double kNoLow = 1e9;
constexpr double kNoHigh = -1e9;

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
    {"Ins.Loss and Return Loss", {"Ins. Loss [dB]", 0, 80, false},
     {"Ret. Loss [dB]", 0, 40, false}},
    {"Phase and Delay", {"Phase [deg]", -180, 180, true, true},
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

// The snapping works in 32-bit integers. The collected limits stay within the +-1e9 start
// values, but a cast of a double beyond the int32 range is undefined behaviour, so the
// truncation saturates (NaN gives 0) and the products by ten are formed in 64 bits and
// clamped back, whatever reaches them.
double TenTimes(double v)  // 10 x T(v)
{
    return ClampInt32(10LL * TruncInt32(v));
}

double LowTen(double v)  // -10 x T(v / -10) - 10: the next multiple of ten below
{
    return ClampInt32(-10LL * TruncInt32(v / -10.0) - 10);
}

double HighTenFromZero(double v)  // 10 - 10 x T(v / -10): the next multiple of ten above
{
    return ClampInt32(10 - 10LL * TruncInt32(v / -10.0));
}

// Phase and delay must never be cut by the dB rules: their range holds every value, widened
// to multiples of ten (in doubles, so no value is large enough to wrap).
void FitAllValues(double& lo, double& hi)
{
    lo = 10.0 * std::floor(lo / 10.0);
    hi = 10.0 * std::ceil(hi / 10.0);
}

constexpr double kMaxMajorDivisions = 12.0;
constexpr int kMaxNiceDivisions = 8;  // a linear axis: the coarser step of two that fit
// Deeper dB values stay out of an auto-scaled view: exact zeros (-300 dB) would flatten
// everything else.
constexpr double kDbFloor = -200.0;

// The candidate units per major division, in order: ten, the steps that divide a phase
// axis of -180..180 evenly, then 100, 200, 500, 1000 ... for wide delay axes.
double StepCandidate(int i)
{
    static const double first[] = {10.0, 20.0, 30.0, 45.0, 60.0, 90.0};
    constexpr int n = static_cast<int>(std::size(first));
    if (i < n)
        return first[i];
    static const double mantissa[] = {1.0, 2.0, 5.0};
    return mantissa[(i - n) % 3] * std::pow(10.0, 2 + (i - n) / 3);
}

// Units per major division of lo..hi: the first candidate that needs at most twelve
// divisions once lo is moved down to a multiple of it.
double MajorStep(double lo, double hi)
{
    double step = 10.0;
    for (int i = 0; i < 900; ++i) {
        step = StepCandidate(i);
        if (!std::isfinite(step))
            break;
        const double base = step * std::floor(lo / step);
        if ((hi - base) / step <= kMaxMajorDivisions + 1e-9)
            break;
    }
    return step;
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
    for (CChartFont* f : {&titleFont, &axisTitleFont, &verticalAxisTitleFont, &tickFont,
                          &legendFont, &markerFont})
        f->dirty = true;
}

void CChartGraph::AutoSpan()
{
    double low = 0.0;
    double high = 1.0;
    if (!traces.empty()) {
        low = kNoLow;
        high = kNoHigh;
        for (const CChartTrace& t : traces) {
            // An infinite end (given to SetValues) would make the axis unusable.
            if (std::isfinite(t.xMin) && low > t.xMin)
                low = t.xMin;
            if (std::isfinite(t.xMax) && high < t.xMax)
                high = t.xMax;
        }
    }
    xAxis.SetRange(low, high);
}

void CChartGraph::AutoScale()
{
    double leftMin = 0.0;
    double leftMax = 1.0;
    double rightMin = 0.0;
    double rightMax = 1.0;
    if (!traces.empty()) {
        leftMin = rightMin = kNoLow;
        leftMax = rightMax = kNoHigh;
        for (const CChartTrace& t : traces) {
            const auto [lo, hi] = t.ValueRange(xAxis.min, xAxis.max);
            double& axisMin = t.onLeftAxis ? leftMin : rightMin;
            double& axisMax = t.onLeftAxis ? leftMax : rightMax;
            if (lo < axisMin)
                axisMin = lo;
            if (hi > axisMax)
                axisMax = hi;
        }
    }

    const bool leftFound = leftMin <= leftMax;  // else the start values are untouched
    const bool rightFound = rightMin <= rightMax;
    const double leftLow = leftMin, leftHigh = leftMax;
    const double rightLow = rightMin, rightHigh = rightMax;

    leftMin = NiceFloor(leftMin);
    leftMax = NiceCeil(leftMax);
    rightMin = NiceFloor(rightMin);
    rightMax = NiceCeil(rightMax);

    // Down to -100 dB a ten below the rounded minimum; deeper values (isolation, a
    // mixed-mode term) the next ten below them, down to the floor.
    const auto snapMin = [](double rounded, double raw) {
        return rounded >= -100.0 ? LowTen(rounded) : std::max(LowTen(raw), kDbFloor);
    };
    switch (viewFormat) {
    case 1:
    case 2:  // loss views: 0 dB at the top
        leftMax = 0.0;
        leftMin = snapMin(leftMin, leftLow);
        break;
    case 7:
        leftMax = 0.0;
        leftMin = snapMin(leftMin, leftLow);
        rightMax = 0.0;
        rightMin = snapMin(rightMin, rightLow);
        break;
    default:
        if (leftMax > 100.0)
            leftMax = 100.0;
        else if (leftMax < 0.0)
            leftMax = TenTimes(leftMax / 10.0);
        else
            leftMax = HighTenFromZero(leftMax);
        leftMin = snapMin(leftMin, leftLow);
        rightMax = rightMax > 100.0 ? 100.0 : TenTimes(rightMax / 10.0);
        rightMin = snapMin(rightMin, rightLow);
        break;
    }
    if (leftAxis.fitsAllValues && leftFound) {
        leftMin = leftLow;
        leftMax = leftHigh;
        FitAllValues(leftMin, leftMax);
    }
    if (rightAxis.fitsAllValues && rightFound) {
        rightMin = rightLow;
        rightMax = rightHigh;
        FitAllValues(rightMin, rightMax);
    }

    // At least ten units per axis.
    if (leftMin > leftMax - 10.0)
        leftMin = leftMax - 10.0;
    if (rightMin > rightMax - 10.0)
        rightMin = rightMax - 10.0;

    const bool leftNice = leftAxis.fitsAllValues && leftAxis.niceSteps && leftFound;
    if (leftNice) {
        // Linear quantities: whole steps of their own size, the grid one per step.
        const NiceRange r = FitNiceRange(leftLow, leftHigh, kMaxNiceDivisions);
        leftAxis.SetRange(r.min, r.max);
        yMajorDivisions = std::max(r.divisions, 2);
    } else {
        // A wide left axis gets a wider step; it then starts on a multiple of the step and
        // spans a whole number of them, so that every label stays a whole number.
        const double step = MajorStep(leftMin, leftMax);
        if (step > 10.0) {
            leftMin = step * std::floor(leftMin / step);
            leftMax = leftMin + step * std::ceil((leftMax - leftMin) / step - 1e-9);
        }
        leftAxis.SetRange(leftMin, leftMax);
        FitYMajorDivisions();
    }
    if (rightAxis.fitsAllValues && rightAxis.niceSteps && rightFound) {
        // On the left axis's grid: as many whole steps as it has divisions.
        const NiceRange r = FitNiceRangeTo(rightLow, rightHigh, yMajorDivisions);
        rightMin = r.min;
        rightMax = r.max;
    }
    rightAxis.SetRange(rightMin, rightMax);
}

void CChartGraph::FitYMajorDivisions()
{
    const double span = std::fabs(leftAxis.max - leftAxis.min + 0.1);
    const double step = MajorStep(0.0, span - 0.1);
    yMajorDivisions = std::max(TruncInt32(span / step), 2);
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
