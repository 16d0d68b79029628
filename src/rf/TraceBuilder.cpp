#include "rf/TraceBuilder.h"

#include "chart/ChartTrace.h"
#include "data/S2pData.h"
#include "rf/QualityMetrics.h"

#include <vector>

bool CTraceBuilder::CanBuild(const CS2pData& data, int value, int valueFormat) const
{
    // Time formats wait for their transforms.
    return data.CanBuildTrace(value, valueFormat) && !ValueFormat::IsTime(valueFormat);
}

bool CTraceBuilder::Build(const CS2pData& data, int fileNumber, int value, int valueFormat,
                          CChartTrace& trace, std::string* why) const
{
    if (!CanBuild(data, value, valueFormat))
        return false;
    if (ValueCode::IsQuality(value))
        return BuildQuality(data, fileNumber, value, trace, why);
    return data.BuildTrace(trace, fileNumber, value, valueFormat, pairing);
}

bool CTraceBuilder::BuildQuality(const CS2pData& data, int fileNumber, int value,
                                 CChartTrace& trace, std::string* why) const
{
    QualityMetrics::Result result;
    QualityMetrics::PerRecord perRecord;
    const QualityMetrics::Outcome outcome = QualityMetrics::Compute(
        data, QualityMetrics::Block::SINGLE_ENDED, pairing, result, &perRecord);
    if (outcome != QualityMetrics::Outcome::OK) {
        if (why)
            *why = outcome == QualityMetrics::Outcome::NO_FINITE_MATRIX
                ? "no frequency has a finite S matrix"
                : "its values are too large to judge";
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
