// Printing the chart sheet on one page: the Print command after its dialog, and the PDF
// export, which makes its page exactly the same way.
#pragma once

#include "platform/DC.h"

class CChartSheet;
class QPagedPaintDevice;
class QPrinter;

class CSheetPrinter {
public:
    // The sheet's rectangle on a page of width x height printable device pixels: a tenth of
    // the width off the left and right, a tenth of the height off the top and bottom.
    static CRect PageSheetRect(int width, int height);

    // Before the print dialog: the document name, and a landscape page, as the chart is
    // wider than high; the user may still turn it in the dialog.
    static void SetUpPrinter(QPrinter& printer);

    // Paints the sheet on one page of device (a QPrinter or a QPdfWriter) with every font
    // realised for it, then marks the fonts dirty again and gives the sheet screenRect.
    // False when the document could not be started or the page not ended; nothing is shown.
    static bool Print(CChartSheet& sheet, QPagedPaintDevice& device, const CRect& screenRect);
    // As above; the sheet's rectangle before printing is the screen rectangle.
    static bool Print(CChartSheet& sheet, QPagedPaintDevice& device);
};
