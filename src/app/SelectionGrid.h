// The view selection as a grid of 3 display formats by 16 S-parameters, with the
// column rules of the port counts and the eight presets. Std-only: the Select Data
// dialog shows it, the command line's --view uses it.
#pragma once

#include "app/ValueFormatPair.h"

#include <string>
#include <vector>

class CSelectionGrid {
public:
    static constexpr int ROWS = 3;  // Log-Mag, Phase, Delay
    static constexpr int COLUMNS = 16;

    enum Preset {
        IL_RL = 0,
        IL_PHASE,
        IL_DELAY,
        RL_PHASE,
        SPLITTER,
        COUPLER,
        ALL_RETURN_LOSS,
        ALL_INSERTION_LOSS,
        PRESET_COUNT
    };

    // S-parameter value of a column (S11, S21, S12, S22, S13, S23, S31, ...).
    static int ColumnValue(int column);
    // Column of an S-parameter value 0..15, or -1.
    static int ColumnOf(int value);
    static std::string ColumnHeading(int column);  // "S11", "S21", ...
    static std::string RowLabel(int row);          // "Log-Mag", "Phase", "Delay"
    // Whether the loaded files of the largest port kind can supply a column; maxPorts 1
    // (only one-port files loaded) leaves S11 alone.
    static bool ColumnEnabled(int column, int maxPortKind, int maxPorts = 0);
    static std::string PresetCaption(int preset);  // "IL + RL", ...
    static std::string PresetName(int preset);     // "il+rl", ... (command line)

    // One box of a preset as a position in a file's matrix, whatever its port count.
    struct PresetBox {
        int format;  // row of the grid: 0 dB, 1 phase, 2 delay
        int row;     // matrix row and column, 1-based
        int col;
    };
    // The boxes of a preset on a matrix of n ports: the listed elements that an n-port
    // matrix has; "All Return Loss" is every reflection, "All Insertion Loss" every
    // transmission from port 1. The grid applies them with n = 4, larger files' matrices
    // with their own n, so both mean the same.
    static std::vector<PresetBox> PresetBoxes(int preset, int n);

    // Checks the box of every pair of the selection; other formats and values are skipped.
    void SetSelection(const ViewSelection& selection);
    // The checked boxes, row by row and within a row column by column, enabled or not.
    ViewSelection Selection() const;
    void Clear();
    // Clears, then checks the preset's boxes whose columns are enabled. With only one-port
    // files (maxPorts 1) a preset falls back to S11 in its formats: those files have no
    // transmission to show.
    void ApplyPreset(int preset, int maxPortKind, int maxPorts = 0);
    bool AnyChecked() const;

    bool IsChecked(int row, int column) const { return checked[row][column]; }
    void SetChecked(int row, int column, bool on) { checked[row][column] = on; }

private:
    bool checked[ROWS][COLUMNS] = {};
};
