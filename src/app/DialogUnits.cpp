#include "app/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

DialogUnitScale DialogUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    DialogUnitScale scale;
    scale.averageCharWidth = metrics.averageCharWidth();
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
