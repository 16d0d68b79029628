#include "app/dialogs/Hyperlink.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace {

void OpenWithDesktop(const std::string& url)
{
    // A link that cannot be opened does nothing visible.
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

CHyperlink::UrlOpener& Opener()
{
    static CHyperlink::UrlOpener opener = OpenWithDesktop;
    return opener;
}

}  // namespace

CHyperlink::CHyperlink(QWidget* parent) : QLabel(parent)
{
    // Moves must arrive without a pressed button, for the hand cursor.
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
}

CHyperlink::UrlOpener CHyperlink::SetUrlOpener(UrlOpener opener)
{
    UrlOpener previous = Opener();
    Opener() = opener ? std::move(opener) : UrlOpener(OpenWithDesktop);
    return previous;
}

void CHyperlink::SetUrl(const std::string& target)
{
    url = target;
}

void CHyperlink::SetText(const std::string& shown)
{
    text = shown;
    extentValid = false;
    // The label's own text gives the layout its size hint and screen readers the name.
    setText(QString::fromStdString(shown));
}

void CHyperlink::CreateFont()
{
    underlineFont = font();
    underlineFont.setUnderline(true);
    fontCreated = true;
}

void CHyperlink::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        fontCreated = false;
        extentValid = false;
    }
    QLabel::changeEvent(event);
}

void CHyperlink::Measure()
{
    if (!fontCreated)
        CreateFont();
    const QFontMetrics metrics(underlineFont);
    textWidth = metrics.horizontalAdvance(QString::fromStdString(text));
    textHeight = metrics.height();
    extentValid = true;
}

bool CHyperlink::HitTest(const QPoint& point) const
{
    return extentValid && point.x() >= 0 && point.x() < textWidth && point.y() >= 0
        && point.y() < textHeight;
}

void CHyperlink::paintEvent(QPaintEvent*)
{
    if (!fontCreated)
        CreateFont();
    QPainter painter(this);
    painter.setFont(underlineFont);
    painter.setPen(QColor(0, 0, 255));
    painter.drawText(QRect(0, 0, width(), height()), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromStdString(text));
}

void CHyperlink::mouseMoveEvent(QMouseEvent* event)
{
    if (!tracking) {
        // The first move only starts watching for the pointer leaving.
        tracking = true;
    } else {
        if (!extentValid || !fontCreated)
            Measure();
        setCursor(HitTest(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
    QLabel::mouseMoveEvent(event);
}

void CHyperlink::leaveEvent(QEvent* event)
{
    tracking = false;
    setCursor(Qt::ArrowCursor);
    QLabel::leaveEvent(event);
}

void CHyperlink::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (!extentValid || !fontCreated)
            Measure();
        if (HitTest(event->position().toPoint()))
            Opener()(url);
    }
    QLabel::mousePressEvent(event);
}
