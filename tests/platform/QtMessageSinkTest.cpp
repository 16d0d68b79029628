#include "platform/QtMessageSink.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace {

struct SeenBox {
    bool found = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
};

// Shows one message through the sink and answers the modal box with its OK button.
SeenBox ShowAndAccept(CQtMessageSink& sink, const std::string& text, MessageIcon icon)
{
    SeenBox seen;
    QTimer::singleShot(0, [&seen]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;  // the test fails on found; a missing box cannot block here
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.parent = box->parentWidget();
        box->button(QMessageBox::Ok)->click();
    });
    sink.Show(text, icon);
    return seen;
}

}  // namespace

TEST(QtMessageSinkTest, ShowsAModalBoxWithOkOnlyAndTheMappedIcon)
{
    struct Case {
        MessageIcon icon;
        QMessageBox::Icon expected;
    } cases[] = {
        {MessageIcon::None, QMessageBox::NoIcon},
        {MessageIcon::Error, QMessageBox::Critical},
        {MessageIcon::Warning, QMessageBox::Warning},
        {MessageIcon::Information, QMessageBox::Information},
    };
    CQtMessageSink sink;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.icon));
        const SeenBox seen = ShowAndAccept(sink, "Cannot open file: /tmp/x.s2p", c.icon);
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.title, "Torvex");
        EXPECT_EQ(seen.text, "Cannot open file: /tmp/x.s2p");
        EXPECT_EQ(seen.icon, c.expected);
        EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

TEST(QtMessageSinkTest, BoxBelongsToTheParentWhileItLives)
{
    CQtMessageSink sink;
    auto* window = new QWidget;
    sink.SetParent(window);
    EXPECT_EQ(ShowAndAccept(sink, "one", MessageIcon::Warning).parent, window);
    delete window;
    EXPECT_EQ(sink.GetParent(), nullptr);
    const SeenBox seen = ShowAndAccept(sink, "two", MessageIcon::Warning);
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.parent, nullptr);
}

TEST(QtMessageSinkTest, ReachedThroughShowMessageBoxWhenInstalled)
{
    CQtMessageSink sink;
    CMessageSink* previous = SetMessageSink(&sink);
    SeenBox seen;
    QTimer::singleShot(0, [&seen]() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.found = true;
            seen.text = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    ShowMessageBox("Too many data lines", MessageIcon::Error);
    SetMessageSink(previous);
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "Too many data lines");
}
