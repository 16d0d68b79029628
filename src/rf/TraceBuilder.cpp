#include "rf/TraceBuilder.h"

#include "chart/ChartTrace.h"
#include "rf/QualityMetrics.h"

#include <algorithm>
#include <vector>

const char* const CTraceBuilder::GATED_MARK = " gated";

namespace {

TimeMode ModeOf(int valueFormat)
{
    switch (valueFormat) {
    case ValueFormat::IMPULSE: return TimeMode::IMPULSE;
    case ValueFormat::STEP: return TimeMode::STEP;
    case ValueFormat::BANDPASS: return TimeMode::BANDPASS;
    default: return TimeMode::TDR;
    }
}

}  // namespace

bool CTraceBuilder::CanBuild(const CS2pData& data, int value, int valueFormat) const
{
    return data.CanBuildTrace(value, valueFormat);
}

bool CTraceBuilder::Build(const CS2pData& data, int fileNumber, int value, int valueFormat,
                          CChartTrace& trace) const
{
    if (!CanBuild(data, value, valueFormat))
        return false;
    if (ValueCode::IsQuality(value))
        return BuildQuality(data, fileNumber, value, trace);
    if (ValueFormat::IsTime(valueFormat))
        return BuildTime(data, fileNumber, value, valueFormat, trace);
    if (!gate)
        return data.BuildTrace(trace, fileNumber, value, valueFormat, pairing);
    // The file's own Z, Y, H or G parameters stay as they are: the gate works on S.
    const bool own = value > ValueCode::RETURN_LOSS && value <= ValueCode::LAST_DERIVED;
    if (own && data.paramKind != CS2pData::S) {
        Problem("(" + std::to_string(fileNumber) + ") " + data.TraceName(-1, value, valueFormat)
                + " is shown ungated: the gate works on S-parameters");
        return data.BuildTrace(trace, fileNumber, value, valueFormat, pairing);
    }
    const CS2pData* gated = Gated(data);
    if (!gated || !gated->BuildTrace(trace, fileNumber, value, valueFormat, pairing))
        return false;
    // The data set's own name for what it showed before the gate.
    trace.name = data.TraceName(fileNumber, value, valueFormat) + GATED_MARK;
    return true;
}

bool CTraceBuilder::BuildTime(const CS2pData& data, int fileNumber, int value, int valueFormat,
                              CChartTrace& trace) const
{
    if (timePoints >= TIME_POINT_BUDGET) {
        Problem("(" + std::to_string(fileNumber) + ") " + data.TraceName(-1, value, valueFormat)
                + ": the view's time responses already hold " + std::to_string(timePoints)
                + " points, as many as one view computes; show fewer time items");
        return false;
    }
    bool wasResampled = false;
    std::string why;
    if (!BuildTimeTrace(data, fileNumber, value, ModeOf(valueFormat), time, pairing, trace,
                        wasResampled, why)) {
        Problem("(" + std::to_string(fileNumber) + ") " + why);
        return false;
    }
    resampled = resampled || wasResampled;
    timePoints += trace.points.size();
    return true;
}

bool CTraceBuilder::BuildQuality(const CS2pData& data, int fileNumber, int value,
                                 CChartTrace& trace) const
{
    QualityMetrics::Result result;
    QualityMetrics::PerRecord perRecord;
    const QualityMetrics::Outcome outcome = QualityMetrics::Compute(
        data, QualityMetrics::Block::SINGLE_ENDED, pairing, result, &perRecord);
    if (outcome != QualityMetrics::Outcome::OK) {
        Problem("(" + std::to_string(fileNumber) + ") "
                + (outcome == QualityMetrics::Outcome::NO_FINITE_MATRIX
                       ? "no frequency has a finite S matrix"
                       : "the values are too large to judge"));
        return false;
    }
    const std::vector<double>& y =
        value == ValueCode::SIGMA ? perRecord.sigma : perRecord.reciprocity;
    std::vector<CChartTrace::XYpair> points(data.RecordCount());
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = CChartTrace::XYpair(data.FreqAt(i), i < y.size() ? y[i] : 0.0);
    trace.SetPoints(points);
    trace.gamma.clear();
    // Passivity is judged against 1.00001: the table must show that many digits.
    trace.numberFormat = value == ValueCode::SIGMA ? "%.7g" : "%.3g";
    trace.name = data.TraceName(fileNumber, value, ValueFormat::LIN_MAG);
    trace.color = NextTraceColor();
    return true;
}

const CS2pData* CTraceBuilder::Gated(const CS2pData& data) const
{
    auto found = gatedCopies.find(&data);
    if (found == gatedCopies.end()) {
        CS2pData copy;
        std::string why;
        std::optional<CS2pData> made;
        if (GatedCopy(data, *gate, time.window, copy, why))
            made = std::move(copy);
        else
            Problem(data.GetDisplayName() + ": the gate cannot be applied: " + why);
        found = gatedCopies.emplace(&data, std::move(made)).first;
    }
    return found->second ? &*found->second : nullptr;
}

void CTraceBuilder::Problem(const std::string& text) const
{
    if (std::find(problems.begin(), problems.end(), text) == problems.end())
        problems.push_back(text);
}
