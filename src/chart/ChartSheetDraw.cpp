// Painting of the sheet: the notice line, the sheet title and the row of graphs.
#include "chart/ChartSheet.h"

#include <array>
#include <cstddef>

namespace {

// The notice line, kept scrambled so that it does not stand in the binary as plain text:
// byte i is the character XOR 0x5A XOR ((7 i) & 0x3F).
constexpr std::array<unsigned char, 48> kNotice = {{
    0x0E, 0x32, 0x26, 0x39, 0x23, 0x01, 0x50, 0x59, 0x4C, 0x56, 0x6E, 0x77, 0x63, 0x61, 0x2B, 0x5E,
    0x1A, 0x0C, 0x16, 0x3E, 0x3B, 0x2C, 0x34, 0x1E, 0x00, 0x55, 0x1C, 0x0B, 0x31, 0x25, 0x3B, 0x63,
    0x1C, 0x12, 0x06, 0x4F, 0x34, 0x1F, 0x70, 0x2E, 0x2C, 0x22, 0x15, 0x19, 0x0B, 0x04, 0x2A, 0x20,
}};

}  // namespace

std::string CChartSheet::NoticeText()
{
    std::string text(kNotice.size(), ' ');
    for (std::size_t i = 0; i < kNotice.size(); ++i)
        text[i] = static_cast<char>(kNotice[i] ^ 0x5A ^ ((7 * i) & 0x3F));
    return text;
}

void CChartSheet::Layout()
{
    const CRect s = sheetRect;
    const std::int32_t hN = noticeFont.metrics.height;
    const std::int32_t hS = titleFont.metrics.height;

    titleArea.rect = s;
    titleArea.visible = false;
    noticeArea.rect = s;
    noticeArea.rect.bottom = s.top + 2 * hN;
    noticeArea.visible = true;
    std::int32_t y = noticeArea.rect.bottom + 1;

    if (!title.empty()) {
        titleArea.rect.top = y;
        titleArea.rect.bottom = y + 2 * hS;
        titleArea.visible = true;
        y = titleArea.rect.bottom + 1;
    }

    if (graphs.empty())
        return;
    const std::int32_t n = static_cast<std::int32_t>(graphs.size());
    const std::int32_t w = (s.right - s.left) / n;
    for (std::int32_t i = 0; i < n; ++i)
        graphs[static_cast<std::size_t>(i)]->graphArea.rect =
            CRect(s.left + i * w, y, s.left + (i + 1) * w, s.bottom);
}

void CChartSheet::Draw(CDC& dc)
{
    DrawPlotLayer(dc);
    for (const auto& graph : graphs)
        graph->DrawOverlay(dc);
}

void CChartSheet::PrepareLayout(CDC& dc)
{
    noticeFont.Realize(dc);
    titleFont.Realize(dc);
    Layout();
    for (const auto& graph : graphs) {
        graph->RealizeFonts(dc);
        graph->Layout(dc);
    }
}

void CChartSheet::DrawOverlay(CDC& dc)
{
    PrepareLayout(dc);
    for (const auto& graph : graphs)
        graph->DrawOverlay(dc);
}

void CChartSheet::DrawPlotLayer(CDC& dc)
{
    noticeFont.Realize(dc);
    titleFont.Realize(dc);
    Layout();

    const std::int32_t hS = titleFont.metrics.height;
    const std::int32_t aS = titleFont.metrics.aveCharWidth;

    noticeArea.Draw(dc);
    const FontHandle previousFont = dc.SelectFont(noticeFont.font);
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    dc.SetBkColor(noticeArea.fillColor);
    dc.SetTextColor(noticeFont.color);
    const CRect n = noticeArea.rect;
    dc.ExtTextOut(n.right - aS, (n.top + n.bottom) / 2 - hS / 2, n, NoticeText());

    if (!title.empty()) {
        titleArea.Draw(dc);
        dc.SelectFont(titleFont.font);
        dc.SetTextAlign(TA_CENTER | TA_TOP);
        dc.SetBkColor(titleArea.fillColor);
        dc.SetTextColor(titleFont.color);
        const CRect t = titleArea.rect;
        dc.ExtTextOut((t.left + t.right) / 2, (t.top + t.bottom) / 2 - hS / 2, t, title);
    }
    dc.SelectFont(previousFont);

    for (const auto& graph : graphs)
        graph->DrawPlotLayer(dc);
}
