#include "app/SheetPrinter.h"

#include "chart/ChartSheet.h"
#include "platform/QtDC.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace {

const char* const kDocumentName = "Torvex";

// The document name goes to the device before the painter starts the document.
void NameDocument(QPagedPaintDevice& device)
{
    if (auto* printer = dynamic_cast<QPrinter*>(&device))
        printer->setDocName(kDocumentName);
    else if (auto* writer = dynamic_cast<QPdfWriter*>(&device))
        writer->setTitle(kDocumentName);
}

}  // namespace

CRect CSheetPrinter::PageSheetRect(int width, int height)
{
    const CRect page(0, 0, width, height);
    const std::int32_t dx = page.Width() / 10;
    const std::int32_t dy = page.Height() / 10;
    return CRect(page.left + dx, page.top + dy, page.right - dx, page.bottom - dy);
}

void CSheetPrinter::SetUpPrinter(QPrinter& printer)
{
    printer.setDocName(kDocumentName);
    printer.setPageOrientation(QPageLayout::Landscape);
}

bool CSheetPrinter::Print(CChartSheet& sheet, QPagedPaintDevice& device)
{
    const CRect screenRect = sheet.sheetRect;
    return Print(sheet, device, screenRect);
}

bool CSheetPrinter::Print(CChartSheet& sheet, QPagedPaintDevice& device, const CRect& screenRect)
{
    NameDocument(device);
    bool printed = false;
    // QPainter::begin starts the document and its first page.
    QPainter painter;
    if (painter.begin(&device)) {
        const CRect page = PageSheetRect(device.width(), device.height());
        sheet.MarkFontsDirty();  // realised anew for the printer's resolution
        sheet.sheetRect = page;
        {
            CQtDC dc(painter, true);
            sheet.Draw(dc);
        }
        auto* printer = dynamic_cast<QPrinter*>(&device);
        if (printer && printer->printerState() == QPrinter::Error) {
            printer->abort();
            painter.end();
        } else {
            printed = painter.end();  // ends the page and the document
        }
    }
    // The screen gets its fonts and rectangle back whatever happened.
    sheet.MarkFontsDirty();
    sheet.sheetRect = screenRect;
    return printed;
}
