// "Torvex - Select Data to View": the view selection as 3 x 16 check boxes (display
// format by S-parameter) with eight presets. Columns the loaded files cannot supply
// are disabled, and clear, by the largest port kind among them.
#pragma once

#include <QDialog>

#include "app/SelectionGrid.h"
#include "app/ValueFormatPair.h"
#include "data/S2pData.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

class CDlgSelectData : public QDialog {
    Q_OBJECT

public:
    explicit CDlgSelectData(QWidget* parent = nullptr);

    // Set by the caller before the dialog is shown.
    CS2pData::PortKind maxPortKind = CS2pData::TWO_PORT;
    int maxPorts = 0;  // 1 when only one-port files are loaded: S11 alone is offered
    // In: the current view selection; out after OK: the new one, grouped by format.
    ViewSelection selection;

    // Shows selection and maxPortKind in the boxes; runs once when the dialog is first
    // shown, and may be called earlier (tests).
    void InitDialog();

    QCheckBox* Box(int row, int column) const { return boxes[row][column]; }
    // The "More formats" boxes: linear magnitude, real and imaginary part, VSWR, and for
    // reflections R, X and |Z|; row r holds format MORE_FIRST + r.
    static constexpr int MORE_FIRST = 3;
    static constexpr int MORE_ROWS = 7;
    QCheckBox* MoreBox(int row, int column) const { return moreBoxes[row][column]; }

public slots:
    void accept() override;
    void OnClearAll();
    void OnPreset(int preset);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The constructor's parts, in the order of the dialog from top to bottom.
    QGroupBox* AddTraceGrid();
    QGroupBox* AddMoreFormats();
    QGroupBox* AddPresets();
    // Tab order: the grid row by row, the presets, "Clear all", OK, Cancel.
    void ChainTabOrder();
    void GridFromBoxes(CSelectionGrid& grid) const;
    void BoxesFromGrid(const CSelectionGrid& grid);
    // OK is enabled exactly while a box is ticked: an empty view cannot be confirmed.
    void UpdateOkState();
    // A disabled box is also cleared.
    static void EnableBox(QCheckBox* box, bool enabled);

    QCheckBox* boxes[CSelectionGrid::ROWS][CSelectionGrid::COLUMNS] = {};
    QCheckBox* moreBoxes[MORE_ROWS][CSelectionGrid::COLUMNS] = {};
    void ClearMoreBoxes();
    QPushButton* presetButtons[CSelectionGrid::PRESET_COUNT] = {};
    QPushButton* clearAllButton = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    bool initialized = false;
};
