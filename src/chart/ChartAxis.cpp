#include "chart/ChartAxis.h"

#include <algorithm>

CChartAxis::CChartAxis(double lo, double hi, const std::string& axisTitle) : title(axisTitle)
{
    SetRange(lo, hi);
}

void CChartAxis::SetRange(double lo, double hi)
{
    min = (!allowNegative && lo <= 0.0) ? 0.0 : lo;
    max = hi > lo ? hi : lo + 1.0;
}

void CChartAxis::SetUp(const std::string& axisTitle, double lo, double hi, bool reversedFlag)
{
    title = axisTitle;
    SetRange(lo, hi);
    reversed = reversedFlag;
    visible = true;
}
