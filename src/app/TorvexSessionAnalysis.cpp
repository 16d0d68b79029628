// The session's analyses over whole files: the quality of their matrices.
#include "app/TorvexSession.h"

#include <algorithm>

std::vector<CTorvexSession::SlotQuality> CTorvexSession::QualityOfSlots() const
{
    std::vector<SlotQuality> rows;
    for (int n = 1; n <= SLOT_COUNT; ++n) {
        const CS2pData& slot = Slot(n);
        if (!slot.loaded)
            continue;
        SlotQuality row;
        row.slot = n;
        row.name = SlotTitle(n);
        switch (QualityMetrics::Compute(slot, QualityMetrics::Block::SINGLE_ENDED, portPairing,
                                        row.result)) {
        case QualityMetrics::Outcome::OK: row.judged = true; break;
        case QualityMetrics::Outcome::NO_FINITE_MATRIX:
            row.why = "no frequency has a finite S matrix";
            break;
        default: row.why = "its values are too large to judge"; break;
        }
        rows.push_back(row);
    }
    return rows;
}

void CTorvexSession::AddViewItem(const ValueFormatPair& item)
{
    const bool plain = ComplexKindOf(viewSelection) < 0 && chartKind == CChartGraph::RECTANGULAR
        && std::none_of(viewSelection.begin(), viewSelection.end(),
                        [](const ValueFormatPair& p) { return ValueFormat::IsTime(p.valueFormat); });
    ViewSelection selection = plain ? viewSelection : ViewSelection{};
    if (std::find(selection.begin(), selection.end(), item) == selection.end())
        selection.push_back(item);
    if (!plain)
        chartKind = CChartGraph::RECTANGULAR;
    ApplySelection(selection);
}
