#include "app/dialogs/DlgChartSettings.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/AppFlags.h"
#include "chart/ChartGraph.h"
#include "platform/MessageBox.h"

namespace {

class DlgChartSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        persistXScale = false;
        persistYScale = false;
        graph.title = "chart";
        graph.SetDivisions(8, 4, 4, 4);
        graph.xAxis.SetUp("Frequency", 100, 200, false);
        graph.leftAxis.SetUp("dB", -40, 0, false);
        graph.rightAxis.SetUp("deg", -180, 180, false);
    }
    void TearDown() override
    {
        persistXScale = false;
        persistYScale = false;
    }

    QLineEdit* Edit(const CDlgChartSettings& dialog, const char* name)
    {
        auto* edit = dialog.findChild<QLineEdit*>(name);
        EXPECT_NE(edit, nullptr) << name;
        return edit;
    }
    void Ok(const CDlgChartSettings& dialog)
    {
        dialog.findChild<QPushButton*>("okButton")->click();
    }

    CChartGraph graph;
};

TEST_F(DlgChartSettingsTest, StartShowsValuesAndDisablesHiddenAxes)
{
    graph.rightAxis.visible = false;
    graph.xAxis.SetRange(0.1, 1234.56789012345678);
    persistYScale = true;
    CDlgChartSettings dialog(graph);
    EXPECT_EQ(Edit(dialog, "xMinEdit")->text(), "0.1");
    EXPECT_EQ(Edit(dialog, "xMaxEdit")->text(), "1234.56789012346");
    EXPECT_EQ(Edit(dialog, "leftMinEdit")->text(), "-40");
    EXPECT_EQ(Edit(dialog, "rightMinEdit")->text(), "0");  // hidden: 0..1
    EXPECT_EQ(Edit(dialog, "rightMaxEdit")->text(), "1");
    EXPECT_EQ(Edit(dialog, "yMajorEdit")->text(), "8");
    for (const char* name : {"rightMinEdit", "rightMaxEdit", "rightTitleEdit"})
        EXPECT_FALSE(Edit(dialog, name)->isEnabled()) << name;
    for (const char* name : {"xMinEdit", "leftTitleEdit"})
        EXPECT_TRUE(Edit(dialog, name)->isEnabled()) << name;
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("persistYCheck")->isChecked());
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("persistXCheck")->isChecked());
    EXPECT_EQ(dialog.focusWidget(), Edit(dialog, "titleEdit"));
}

TEST_F(DlgChartSettingsTest, ValidationMessagesKeepDialogOpen)
{
    const struct {
        const char* edit;
        QString text;
        std::string message;
    } cases[] = {
        {"xMajorEdit", "12", "Enter an integer between 1 and 11."},
        {"xMajorEdit", "0", "Enter an integer between 1 and 11."},
        {"yMinorEdit", "4.5", "Enter an integer."},
        {"yMajorEdit", "", "Enter an integer."},
        {"xMinorEdit", "99999999999999999999", "Enter an integer between 1 and 11."},
        {"xMinEdit", "abc", "Enter a number."},
        {"leftMaxEdit", "12x", "Enter a number."},
        {"rightMinEdit", "nan", "Enter a number."},
        {"xMaxEdit", "2e9", "Enter a number between -1000000000 and 1000000000."},
        {"rightMaxEdit", "-1e999", "Enter a number between -1000000000 and 1000000000."},
        {"titleEdit", QString(101, 'a'), "Enter no more than 100 characters."},
        {"leftTitleEdit", QString(101, QChar(0x00e9)), "Enter no more than 100 characters."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit + (" = " + c.text.toStdString()));
        CRecordingMessageSink sink;
        const CChartGraph before = graph;
        CDlgChartSettings dialog(graph);
        dialog.show();
        Edit(dialog, c.edit)->setText(c.text);
        Ok(dialog);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        ASSERT_EQ(sink.texts.size(), 1u);
        EXPECT_EQ(sink.texts[0], c.message);
        EXPECT_EQ(dialog.focusWidget(), Edit(dialog, c.edit));
        EXPECT_EQ(graph.xMajorDivisions, before.xMajorDivisions);
        EXPECT_EQ(graph.title, before.title);
        dialog.reject();
    }
}

TEST_F(DlgChartSettingsTest, RangeChecksInOrderWithErrorIcon)
{
    const struct {
        const char* minEdit;
        const char* maxEdit;
        const char* min;
        const char* max;
        std::string message;
    } cases[] = {
        {"xMinEdit", "xMaxEdit", "100", "100", "X-axis: Min should be less than Max."},
        {"leftMinEdit", "leftMaxEdit", "0", "-10", "Left Y-axis: Min should be less than Max."},
        {"rightMinEdit", "rightMaxEdit", "5", "5", "Right Y-axis: Min should be less than Max."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        CRecordingMessageSink sink;
        CDlgChartSettings dialog(graph);
        dialog.show();
        Edit(dialog, c.minEdit)->setText(c.min);
        Edit(dialog, c.maxEdit)->setText(c.max);
        Edit(dialog, "titleEdit")->setText("changed");
        Ok(dialog);
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(sink.texts.size(), 1u);
        EXPECT_EQ(sink.texts[0], c.message);
        EXPECT_EQ(sink.icons[0], MessageIcon::Error);
        EXPECT_EQ(dialog.focusWidget(), Edit(dialog, c.minEdit));
        EXPECT_EQ(Edit(dialog, c.minEdit)->selectedText(), c.min);
        EXPECT_EQ(graph.title, "chart");
        dialog.reject();
    }
}

TEST_F(DlgChartSettingsTest, HiddenAxisSkipsRangeCheckAndTakesRangeRule)
{
    graph.leftAxis.visible = false;
    CRecordingMessageSink sink;
    CDlgChartSettings dialog(graph);
    Edit(dialog, "leftMinEdit")->setText("0");
    Edit(dialog, "leftMaxEdit")->setText("-10");
    Ok(dialog);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(graph.leftAxis.min, 0.0);
    EXPECT_EQ(graph.leftAxis.max, 1.0);
}

TEST_F(DlgChartSettingsTest, OkWritesEverythingBack)
{
    graph.xAxis.allowNegative = false;
    CDlgChartSettings dialog(graph);
    Edit(dialog, "titleEdit")->setText("   ");
    Edit(dialog, "xTitleEdit")->setText("  Freq [MHz] ");
    Edit(dialog, "leftTitleEdit")->setText(QString(100, 'L'));  // exactly the limit
    Edit(dialog, "yMajorEdit")->setText(" 11 ");
    Edit(dialog, "yMinorEdit")->setText("1");
    Edit(dialog, "xMajorEdit")->setText("+5");
    Edit(dialog, "xMinorEdit")->setText("2");
    Edit(dialog, "xMinEdit")->setText("-5");
    Edit(dialog, "xMaxEdit")->setText("1e3");
    Edit(dialog, "rightMinEdit")->setText("-1e9");
    Edit(dialog, "rightMaxEdit")->setText("1000000000");
    dialog.findChild<QCheckBox*>("persistYCheck")->setChecked(true);
    dialog.findChild<QCheckBox*>("persistXCheck")->setChecked(true);
    Ok(dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(graph.title, "");
    EXPECT_EQ(graph.xAxis.title, "Freq [MHz]");
    EXPECT_EQ(graph.leftAxis.title, std::string(100, 'L'));
    EXPECT_EQ(graph.yMajorDivisions, 11);
    EXPECT_EQ(graph.yMinorDivisions, 1);
    EXPECT_EQ(graph.xMajorDivisions, 5);
    EXPECT_EQ(graph.xMinorDivisions, 2);
    EXPECT_EQ(graph.xAxis.min, 0.0);  // no negative frequencies
    EXPECT_EQ(graph.xAxis.max, 1000.0);
    EXPECT_EQ(graph.rightAxis.min, -1e9);
    EXPECT_EQ(graph.rightAxis.max, 1e9);
    EXPECT_TRUE(persistXScale);
    EXPECT_TRUE(persistYScale);
}

TEST_F(DlgChartSettingsTest, CancelChangesNothing)
{
    persistYScale = true;
    CDlgChartSettings dialog(graph);
    Edit(dialog, "titleEdit")->setText("other");
    dialog.findChild<QCheckBox*>("persistYCheck")->setChecked(false);
    dialog.findChild<QPushButton*>("cancelButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(graph.title, "chart");
    EXPECT_TRUE(persistYScale);
}

// The phase scale sets 12 Y divisions, more than may be typed: OK takes them back
// unchanged, and only more than that is refused.
TEST_F(DlgChartSettingsTest, DivisionsTheScaleChoseAreAcceptedBack)
{
    graph.yMajorDivisions = 12;
    {
        CRecordingMessageSink sink;
        CDlgChartSettings dialog(graph);
        Ok(dialog);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(sink.texts.empty());
        EXPECT_EQ(graph.yMajorDivisions, 12);
    }
    CRecordingMessageSink sink;
    CDlgChartSettings dialog(graph);
    dialog.show();
    Edit(dialog, "yMajorEdit")->setText("13");
    Ok(dialog);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(sink.texts, std::vector<std::string>{"Enter an integer between 1 and 12."});
    dialog.reject();
}

}  // namespace
