#include "app/dialogs/Hyperlink.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QMouseEvent>

namespace {

// Records the opened targets instead of starting a browser or mail program.
class OpenerRecorder {
public:
    OpenerRecorder()
    {
        previous =
            CHyperlink::SetUrlOpener([this](const std::string& url) { opened.push_back(url); });
    }
    ~OpenerRecorder() { CHyperlink::SetUrlOpener(previous); }
    std::vector<std::string> opened;

private:
    CHyperlink::UrlOpener previous;
};

void Send(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton)
{
    QMouseEvent event(type, QPointF(at), QPointF(w.mapToGlobal(at)), button,
                      type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

void Leave(QWidget& w)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&w, &event);
}

class HyperlinkTest : public ::testing::Test {
protected:
    HyperlinkTest()
    {
        link.SetUrl("https://torvex.example.org");
        link.SetText("https://torvex.example.org");
        // Wider and taller than the text, so that points beside it exist.
        link.resize(link.sizeHint() + QSize(200, 20));
        link.show();
        link.Measure();
    }
    OpenerRecorder recorder;
    CHyperlink link;
};

TEST_F(HyperlinkTest, HitTestCoversTheTextOnly)
{
    ASSERT_GT(link.textWidth, 0);
    ASSERT_GT(link.textHeight, 0);
    const int w = link.textWidth;
    const int h = link.textHeight;
    const struct {
        QPoint at;
        bool hit;
    } cases[] = {{{0, 0}, true},   {{w - 1, h - 1}, true}, {{w, 0}, false},     {{0, h}, false},
                 {{-1, 0}, false}, {{0, -1}, false},       {{w + 50, 2}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.at.x()) + "," + std::to_string(c.at.y()));
        EXPECT_EQ(link.HitTest(c.at), c.hit);
    }
    link.SetText("other");  // a new text must be measured before anything is hit
    EXPECT_FALSE(link.HitTest({0, 0}));
}

TEST_F(HyperlinkTest, HandCursorFromTheSecondMoveOn)
{
    const QPoint onText(2, 2);
    Send(link, QEvent::MouseMove, onText);
    EXPECT_TRUE(link.tracking);
    EXPECT_EQ(link.cursor().shape(), Qt::ArrowCursor);
    Send(link, QEvent::MouseMove, onText);
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    Send(link, QEvent::MouseMove, QPoint(link.textWidth + 10, 2));  // beside the text
    EXPECT_EQ(link.cursor().shape(), Qt::ArrowCursor);
    Send(link, QEvent::MouseMove, onText);
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    Leave(link);
    EXPECT_FALSE(link.tracking);
    EXPECT_EQ(link.cursor().shape(), Qt::ArrowCursor);
    Send(link, QEvent::MouseMove, onText);  // back in: tracking starts again first
    EXPECT_EQ(link.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(HyperlinkTest, LeftClickOnTextOpensTarget)
{
    Send(link, QEvent::MouseButtonPress, QPoint(link.textWidth + 10, 2), Qt::LeftButton);
    Send(link, QEvent::MouseButtonPress, QPoint(2, link.textHeight + 2), Qt::LeftButton);
    Send(link, QEvent::MouseButtonPress, QPoint(2, 2), Qt::RightButton);
    EXPECT_TRUE(recorder.opened.empty());
    Send(link, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton);
    EXPECT_EQ(recorder.opened, std::vector<std::string>({"https://torvex.example.org"}));
}

}  // namespace
