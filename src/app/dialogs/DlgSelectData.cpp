#include "app/dialogs/DlgSelectData.h"

#include "app/dialogs/DialogButtons.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const presetObjectNames[CSelectionGrid::PRESET_COUNT] = {
    "presetIlRl",     "presetIlPhase", "presetIlDelay", "presetRlPhase",
    "presetSplitter", "presetCoupler", "presetAllRl",   "presetAllIl"};

}  // namespace

CDlgSelectData::CDlgSelectData(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Torvex - Select Data to View");
    QGroupBox* traces = AddTraceGrid();
    QGroupBox* more = AddMoreFormats();
    QGroupBox* presets = AddPresets();

    clearAllButton = new QPushButton("Clear all", this);
    clearAllButton->setObjectName("clearAllButton");
    connect(clearAllButton, &QPushButton::clicked, this, &CDlgSelectData::OnClearAll);

    CDialogButtons::Create(this, okButton, cancelButton);

    auto* presetRow = new QHBoxLayout;
    presetRow->addWidget(presets, 1);
    auto* clearColumn = new QVBoxLayout;
    clearColumn->addStretch();
    clearColumn->addWidget(clearAllButton);
    presetRow->addLayout(clearColumn);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(traces);
    layout->addWidget(more);
    layout->addLayout(presetRow);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ChainTabOrder();
}

QGroupBox* CDlgSelectData::AddTraceGrid()
{
    auto* traces = new QGroupBox(" Available Traces ", this);
    traces->setObjectName("tracesGroup");
    auto* grid = new QGridLayout(traces);
    grid->setHorizontalSpacing(6);
    for (int c = 0; c < CSelectionGrid::COLUMNS; ++c) {
        auto* heading =
            new QLabel(QString::fromStdString(CSelectionGrid::ColumnHeading(c)), traces);
        heading->setObjectName(QString("heading_%1").arg(c));
        grid->addWidget(heading, 0, c + 1, Qt::AlignHCenter);
    }
    for (int r = 0; r < CSelectionGrid::ROWS; ++r) {
        auto* label = new QLabel(QString::fromStdString(CSelectionGrid::RowLabel(r)), traces);
        label->setObjectName(QString("rowLabel_%1").arg(r));
        grid->addWidget(label, r + 1, 0);
        for (int c = 0; c < CSelectionGrid::COLUMNS; ++c) {
            auto* box = new QCheckBox(traces);
            box->setObjectName(QString("box_%1_%2").arg(r).arg(c));
            box->setAccessibleName(QString::fromStdString(CSelectionGrid::RowLabel(r) + " "
                                                          + CSelectionGrid::ColumnHeading(c)));
            grid->addWidget(box, r + 1, c + 1, Qt::AlignHCenter);
            connect(box, &QCheckBox::toggled, this, &CDlgSelectData::UpdateOkState);
            boxes[r][c] = box;
        }
    }
    return traces;
}

QGroupBox* CDlgSelectData::AddMoreFormats()
{
    // The further formats, below the grid and in its columns.
    auto* more = new QGroupBox(" More formats ", this);
    more->setObjectName("moreFormatsGroup");
    auto* moreGrid = new QGridLayout(more);
    moreGrid->setHorizontalSpacing(6);
    for (int c = 0; c < CSelectionGrid::COLUMNS; ++c) {
        auto* heading = new QLabel(QString::fromStdString(CSelectionGrid::ColumnHeading(c)), more);
        moreGrid->addWidget(heading, 0, c + 1, Qt::AlignHCenter);
    }
    for (int r = 0; r < MORE_ROWS; ++r) {
        const int format = MORE_FIRST + r;
        const std::string label = ValueFormat::AxisTitle(format);
        moreGrid->addWidget(new QLabel(QString::fromStdString(label), more), r + 1, 0);
        for (int c = 0; c < CSelectionGrid::COLUMNS; ++c) {
            auto* box = new QCheckBox(more);
            box->setObjectName(QString("more_%1_%2").arg(format).arg(c));
            box->setAccessibleName(
                QString::fromStdString(label + " " + CSelectionGrid::ColumnHeading(c)));
            moreGrid->addWidget(box, r + 1, c + 1, Qt::AlignHCenter);
            connect(box, &QCheckBox::toggled, this, &CDlgSelectData::UpdateOkState);
            moreBoxes[r][c] = box;
        }
    }
    return more;
}

QGroupBox* CDlgSelectData::AddPresets()
{
    auto* presets = new QGroupBox("Preset Configurations", this);
    presets->setObjectName("presetsGroup");
    auto* presetLayout = new QGridLayout(presets);
    for (int p = 0; p < CSelectionGrid::PRESET_COUNT; ++p) {
        auto* button =
            new QPushButton(QString::fromStdString(CSelectionGrid::PresetCaption(p)), presets);
        button->setObjectName(presetObjectNames[p]);
        connect(button, &QPushButton::clicked, this, [this, p] { OnPreset(p); });
        presetLayout->addWidget(button, p / 4, p % 4);
        presetButtons[p] = button;
    }
    return presets;
}

void CDlgSelectData::ChainTabOrder()
{
    // Tab order: the grid row by row, the presets, "Clear all", OK, Cancel.
    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* w) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    };
    for (auto& row : boxes)
        for (QCheckBox* box : row)
            chain(box);
    for (auto& row : moreBoxes)
        for (QCheckBox* box : row)
            chain(box);
    for (QPushButton* button : presetButtons)
        chain(button);
    chain(clearAllButton);
    chain(okButton);
    chain(cancelButton);
}

void CDlgSelectData::InitDialog()
{
    initialized = true;
    CSelectionGrid model;
    model.SetSelection(selection);
    BoxesFromGrid(model);
    for (const ValueFormatPair& pair : selection) {
        const int column = CSelectionGrid::ColumnOf(pair.value);
        const int row = pair.valueFormat - MORE_FIRST;
        if (column >= 0 && row >= 0 && row < MORE_ROWS)
            moreBoxes[row][column]->setChecked(true);
    }
    // What the loaded files cannot supply (S33 of a 2-port file, left from an earlier
    // 4-port one) shows clear: a ticked box that cannot be used would claim a trace that
    // is not there. OK returns what the boxes show.
    for (int c = 0; c < CSelectionGrid::COLUMNS; ++c) {
        const bool enabled = CSelectionGrid::ColumnEnabled(c, maxPortKind, maxPorts);
        for (int r = 0; r < CSelectionGrid::ROWS; ++r)
            EnableBox(boxes[r][c], enabled);
        const int value = CSelectionGrid::ColumnValue(c);
        for (int r = 0; r < MORE_ROWS; ++r) {
            const bool reflectionOnly = ValueFormat::NeedsReflection(MORE_FIRST + r);
            EnableBox(moreBoxes[r][c],
                      enabled && (!reflectionOnly || ValueCode::IsReflection(value)));
        }
    }
    UpdateOkState();
    presetButtons[CSelectionGrid::IL_RL]->setFocus();
}

void CDlgSelectData::EnableBox(QCheckBox* box, bool enabled)
{
    box->setEnabled(enabled);
    if (!enabled)
        box->setChecked(false);
}

void CDlgSelectData::showEvent(QShowEvent* event)
{
    if (!initialized)
        InitDialog();
    QDialog::showEvent(event);
}

void CDlgSelectData::GridFromBoxes(CSelectionGrid& model) const
{
    for (int r = 0; r < CSelectionGrid::ROWS; ++r)
        for (int c = 0; c < CSelectionGrid::COLUMNS; ++c)
            model.SetChecked(r, c, boxes[r][c]->isChecked());
}

void CDlgSelectData::BoxesFromGrid(const CSelectionGrid& model)
{
    for (int r = 0; r < CSelectionGrid::ROWS; ++r)
        for (int c = 0; c < CSelectionGrid::COLUMNS; ++c)
            boxes[r][c]->setChecked(model.IsChecked(r, c));
}

void CDlgSelectData::UpdateOkState()
{
    CSelectionGrid model;
    GridFromBoxes(model);
    bool more = false;
    for (const auto& row : moreBoxes)
        for (const QCheckBox* box : row)
            more = more || box->isChecked();
    okButton->setEnabled(model.AnyChecked() || more);
}

void CDlgSelectData::ClearMoreBoxes()
{
    for (auto& row : moreBoxes)
        for (QCheckBox* box : row)
            box->setChecked(false);
}

void CDlgSelectData::OnClearAll()
{
    BoxesFromGrid(CSelectionGrid());
    ClearMoreBoxes();
    UpdateOkState();
}

void CDlgSelectData::OnPreset(int preset)
{
    CSelectionGrid model;
    model.ApplyPreset(preset, maxPortKind, maxPorts);
    BoxesFromGrid(model);
    ClearMoreBoxes();
    UpdateOkState();
}

void CDlgSelectData::accept()
{
    CSelectionGrid model;
    GridFromBoxes(model);
    selection = model.Selection();
    // The further formats follow, by format, then column, as the grid orders its own.
    for (int r = 0; r < MORE_ROWS; ++r)
        for (int c = 0; c < CSelectionGrid::COLUMNS; ++c)
            if (moreBoxes[r][c]->isChecked())
                selection.emplace_back(CSelectionGrid::ColumnValue(c), MORE_FIRST + r);
    if (selection.empty())
        return;  // an empty view cannot be confirmed
    QDialog::accept();
}
