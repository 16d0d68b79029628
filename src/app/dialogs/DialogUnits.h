// Dialog units of a window layout turned into pixels with the dialog font's metrics:
// a horizontal unit is a quarter of the average character width, a vertical unit an
// eighth of the character height.
#pragma once

class QFont;

struct DialogUnitScale {
    int averageCharWidth = 0;  // pixels
    int charHeight = 0;        // pixels

    int X(int units) const { return (units * averageCharWidth + 2) / 4; }
    int Y(int units) const { return (units * charHeight + 4) / 8; }
};

// The scale of the given font (the application's dialog font when none is given).
DialogUnitScale DialogUnitsOf(const QFont& font);
DialogUnitScale DialogUnitsOfApplicationFont();

// Size in pixels of the main window's chart placeholder (501 x 277 dialog units), the
// chart size at start; exports without a window use it as their default size.
constexpr int CHART_WIDTH_DLU = 501;
constexpr int CHART_HEIGHT_DLU = 277;
void ChartSizeAtStart(int& width, int& height);
