#include "app/dialogs/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

DialogUnitScale DialogUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    DialogUnitScale scale;
    // Dialog layouts are measured against the average width of the alphabet, which is
    // wider than a font's own average character width.
    const int alphabet =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    scale.averageCharWidth = (alphabet / 26 + 1) / 2;
    scale.charHeight = metrics.height();
    return scale;
}

DialogUnitScale DialogUnitsOfApplicationFont()
{
    return DialogUnitsOf(QApplication::font());
}

void ChartSizeAtStart(int& width, int& height)
{
    const DialogUnitScale scale = DialogUnitsOfApplicationFont();
    width = scale.X(CHART_WIDTH_DLU);
    height = scale.Y(CHART_HEIGHT_DLU);
}
