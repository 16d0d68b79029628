#include "app/SelectionGrid.h"

#include "data/S2pData.h"

namespace {

constexpr int columnValues[CSelectionGrid::COLUMNS] = {0,  4, 1, 5,  2,  6,  8,  9,
                                                       10, 3, 7, 11, 12, 13, 14, 15};

}  // namespace

int CSelectionGrid::ColumnValue(int column)
{
    return column >= 0 && column < COLUMNS ? columnValues[column] : -1;
}

int CSelectionGrid::ColumnOf(int value)
{
    for (int c = 0; c < COLUMNS; ++c)
        if (columnValues[c] == value)
            return c;
    return -1;
}

std::string CSelectionGrid::ColumnHeading(int column)
{
    const int v = ColumnValue(column);
    if (v < 0)
        return {};
    return "S" + std::to_string(v / 4 + 1) + std::to_string(v % 4 + 1);
}

std::string CSelectionGrid::RowLabel(int row)
{
    switch (row) {
    case 0: return "Log-Mag";
    case 1: return "Phase";
    case 2: return "Delay";
    default: return {};
    }
}

bool CSelectionGrid::ColumnEnabled(int column, int maxPortKind, int maxPorts)
{
    if (maxPorts == 1)
        return column == 0;
    if (column >= 9)
        return maxPortKind == CS2pData::FOUR_PORT;
    if (column >= 4)
        return maxPortKind == CS2pData::THREE_PORT || maxPortKind == CS2pData::FOUR_PORT;
    return column >= 0;
}

std::string CSelectionGrid::PresetCaption(int preset)
{
    static const char* const captions[PRESET_COUNT] = {
        "IL + RL",        "IL + Phase",     "IL + Delay",      "RL + Phase",
        "2-way Splitter", "4-port Coupler", "All Return Loss", "All Insertion Loss"};
    return preset >= 0 && preset < PRESET_COUNT ? captions[preset] : "";
}

std::string CSelectionGrid::PresetName(int preset)
{
    static const char* const names[PRESET_COUNT] = {"il+rl",    "il+phase", "il+delay", "rl+phase",
                                                    "splitter", "coupler",  "all-rl",   "all-il"};
    return preset >= 0 && preset < PRESET_COUNT ? names[preset] : "";
}

void CSelectionGrid::SetSelection(const ViewSelection& selection)
{
    for (const ValueFormatPair& pair : selection) {
        const int column = ColumnOf(pair.value);
        if (pair.valueFormat >= 0 && pair.valueFormat < ROWS && column >= 0)
            checked[pair.valueFormat][column] = true;
    }
}

ViewSelection CSelectionGrid::Selection() const
{
    ViewSelection selection;
    for (int r = 0; r < ROWS; ++r)
        for (int c = 0; c < COLUMNS; ++c)
            if (checked[r][c])
                selection.emplace_back(columnValues[c], r);
    return selection;
}

void CSelectionGrid::Clear()
{
    for (auto& row : checked)
        for (bool& box : row)
            box = false;
}

std::vector<CSelectionGrid::PresetBox> CSelectionGrid::PresetBoxes(int preset, int n)
{
    std::vector<PresetBox> boxes;
    if (preset == ALL_RETURN_LOSS) {
        for (int k = 1; k <= n; ++k)
            boxes.push_back({0, k, k});
        return boxes;
    }
    if (preset == ALL_INSERTION_LOSS) {
        for (int r = 2; r <= n; ++r)
            boxes.push_back({0, r, 1});
        return boxes;
    }
    // Format, row and column of each box.
    static const std::vector<PresetBox> fixed[PRESET_COUNT] = {
        {{0, 1, 1}, {0, 2, 1}},
        {{0, 2, 1}, {1, 2, 1}},
        {{0, 2, 1}, {2, 2, 1}},
        {{0, 1, 1}, {1, 1, 1}},
        {{0, 1, 1}, {0, 2, 1}, {0, 3, 1}},
        {{0, 1, 1}, {0, 2, 1}, {0, 3, 1}, {0, 4, 1}},
        {},
        {},
    };
    if (preset < 0 || preset >= PRESET_COUNT)
        return boxes;
    for (const PresetBox& b : fixed[preset])
        if (b.row <= n && b.col <= n)
            boxes.push_back(b);
    return boxes;
}

void CSelectionGrid::ApplyPreset(int preset, int maxPortKind, int maxPorts)
{
    Clear();
    for (const PresetBox& b : PresetBoxes(preset, 4)) {
        const int column = maxPorts == 1 ? 0 : ColumnOf(ValueCode::Element(b.row, b.col));
        if (ColumnEnabled(column, maxPortKind, maxPorts))
            checked[b.format][column] = true;
    }
}

bool CSelectionGrid::AnyChecked() const
{
    for (const auto& row : checked)
        for (bool box : row)
            if (box)
                return true;
    return false;
}
