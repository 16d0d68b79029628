// A label that draws its text underlined in blue, shows a hand cursor over the text and
// opens its target (a web address or a "mailto:" address) when the text is clicked.
#pragma once

#include <QCursor>
#include <QFont>
#include <QLabel>

#include <cstdint>
#include <functional>
#include <string>

class CHyperlink : public QLabel {
    Q_OBJECT

public:
    using UrlOpener = std::function<void(const std::string& url)>;

    explicit CHyperlink(QWidget* parent = nullptr);

    void SetUrl(const std::string& target);
    void SetText(const std::string& shown);
    const std::string& Url() const { return url; }
    const std::string& Text() const { return text; }

    // Whether a point in control coordinates lies on the drawn text (false before the
    // text was measured).
    bool HitTest(const QPoint& point) const;
    // Measures the text in the underline font when the stored extent is out of date.
    void Measure();

    // How links are opened: the desktop's handler unless replaced (tests, to keep a
    // browser from starting). Returns the previous opener; an empty one restores the default.
    static UrlOpener SetUrlOpener(UrlOpener opener);

    std::string text;
    std::string url;
    QFont underlineFont;
    std::int32_t textWidth = 0;   // pixels
    std::int32_t textHeight = 0;  // pixels
    bool fontCreated = false;
    bool extentValid = false;
    bool tracking = false;  // set on the first move; the cursor changes from the second

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateFont();
};
