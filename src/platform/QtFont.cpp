#include "platform/QtFont.h"

#include <algorithm>

CQtFont::CQtFont(const LogFont& description) : logFont(description)
{
    font.setFamily(QString::fromStdString(logFont.faceName));
    // The chart asks for Windows faces ("Trebuchet MS", "Verdana", "Arial"); where they are
    // missing the substitute must still be a sans face, never a serif default.
    font.setStyleHint(QFont::SansSerif);
    // Pixel size is the em height, i.e. the character height without internal leading.
    font.setPixelSize(std::max(1, logFont.height));
    // LOGFONT weights and QFont::Weight share the 100..900 scale; 0 means "don't care".
    const int weight = logFont.weight <= 0 ? 400 : std::clamp(logFont.weight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(logFont.italic);
    font.setUnderline(logFont.underline);
}

LogFont CQtFont::GetLogFont() const
{
    return logFont;
}
