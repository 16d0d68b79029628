#include "chart/ChartArea.h"

void CChartArea::Draw(CDC& dc) const
{
    if (!visible)
        return;
    dc.FillSolidRect(rect, fillColor);
    DrawFrame(dc);
}

void CChartArea::DrawFrame(CDC& dc) const
{
    if (!visible)
        return;
    const CPen previous = dc.SelectPen(CPen{borderColor, 1});
    const std::int32_t left = rect.left - 1;
    const std::int32_t top = rect.top - 1;
    const std::int32_t right = rect.right + 1;
    const std::int32_t bottom = rect.bottom + 1;
    dc.MoveToEx(left, top);
    dc.LineTo(left, bottom);
    dc.LineTo(right, bottom);
    dc.LineTo(right, top);
    dc.LineTo(left, top);
    dc.SelectPen(previous);
}
