#include "app/dialogs/DlgAbout.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "app/dialogs/Hyperlink.h"

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

TEST(DlgAboutTest, LinksShowAddressesAndOpenTargets)
{
    OpenerRecorder recorder;
    CDlgAbout dialog;
    dialog.show();
    ASSERT_NE(dialog.webLink, nullptr);
    ASSERT_NE(dialog.mailLink, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "About Torvex");
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("Torvex Project\n1 Example Street, 12345 Example Town"));
    EXPECT_TRUE(texts.contains("SPDX-License-Identifier: GPL-3.0-or-later"));
    // The kinds of file named are the ones the reader takes.
    const QString purpose = dialog.findChild<QLabel*>("purposeLabel")->text();
    for (const char* kind : {".s1p", ".s99p", ".out", ".ts", "Smith"})
        EXPECT_TRUE(purpose.contains(kind)) << kind;
    EXPECT_EQ(dialog.webLink->Text(), "https://torvex.example.org");
    EXPECT_EQ(dialog.webLink->Url(), "https://torvex.example.org");
    EXPECT_EQ(dialog.mailLink->Text(), "support@torvex.example.org");
    EXPECT_EQ(dialog.mailLink->Url(), "mailto:support@torvex.example.org");
    // The shown address is bare; the click opens the mail form.
    Send(*dialog.mailLink, QEvent::MouseButtonPress, QPoint(1, 1), Qt::LeftButton);
    EXPECT_EQ(recorder.opened, std::vector<std::string>({"mailto:support@torvex.example.org"}));
}

TEST(DlgAboutTest, OkCloses)
{
    CDlgAbout dialog;
    dialog.show();
    dialog.findChild<QPushButton*>("okButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
