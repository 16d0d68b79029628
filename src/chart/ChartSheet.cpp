#include "chart/ChartSheet.h"

#include <cstddef>
#include <utility>

CChartSheet::CChartSheet() : titleArea(CRect(50, 50, 150, 150)), noticeArea(CRect(50, 50, 150, 150))
{
    titleFont.SetFont("Trebuchet MS", 130, Rgb(0, 64, 0));
    noticeFont.SetFont("Trebuchet MS", 90, Rgb(64, 64, 64));
    for (CChartArea* area : {&titleArea, &noticeArea}) {
        area->fillColor = Rgb(244, 244, 244);
        area->borderColor = Rgb(244, 244, 244);
    }
    SetLayout(6);
}

bool CChartSheet::SetLayout(std::int32_t n)
{
    if (n == layout)
        return false;
    DeleteGraphs();
    if (n >= 0 && n <= 7) {
        AddGraph(std::make_unique<CChartGraph>(n + 1));
    } else if (n == 8) {
        AddGraph(std::make_unique<CChartGraph>(7));
        AddGraph(std::make_unique<CChartGraph>(8));
    }
    return true;
}

void CChartSheet::DeleteGraphs()
{
    graphs.clear();
}

CChartGraph* CChartSheet::AddGraph(std::unique_ptr<CChartGraph> graph)
{
    if (!graph)
        return nullptr;
    graphs.push_back(std::move(graph));
    return graphs.back().get();
}

CChartGraph* CChartSheet::GraphAt(int index)
{
    return const_cast<CChartGraph*>(std::as_const(*this).GraphAt(index));
}

const CChartGraph* CChartSheet::GraphAt(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= graphs.size())
        return nullptr;
    return graphs[static_cast<std::size_t>(index)].get();
}

void CChartSheet::MarkFontsDirty()
{
    titleFont.dirty = true;
    noticeFont.dirty = true;
    for (const auto& graph : graphs)
        graph->MarkFontsDirty();
}
