// A font realised for a Qt paint device: the description it was made from and the QFont
// that draws it. The rotation (escapement) is not part of QFont; the DC turns the text.
#pragma once

#include "platform/DC.h"

#include <QFont>

class CQtFont : public CPlatformFont {
public:
    // logFont.height must already be the wanted character height in device pixels (> 0).
    explicit CQtFont(const LogFont& logFont);

    LogFont GetLogFont() const override;
    const QFont& GetQFont() const { return font; }

private:
    LogFont logFont;
    QFont font;
};
