#include "app/dialogs/DlgChartTraces.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "chart/ChartGraph.h"

namespace {

class DlgChartTracesTest : public ::testing::Test {
protected:
    void AddTrace(const std::string& name, double yMin = 0.0, double yMax = 1.0)
    {
        CChartTrace trace;
        trace.name = name;
        trace.yMin = yMin;
        trace.yMax = yMax;
        graph.AddTrace(trace);
    }
    template <class T>
    T* Find(const CDlgChartTraces& dialog, const char* name)
    {
        T* w = dialog.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::vector<std::string> GraphNames() const
    {
        std::vector<std::string> names;
        for (const CChartTrace& t : graph.traces)
            names.push_back(t.name);
        return names;
    }
    void Select(const CDlgChartTraces& dialog, int row)
    {
        Find<QListWidget>(dialog, "traceList")->setCurrentRow(row);
    }
    void Rename(const CDlgChartTraces& dialog, const QString& text)
    {
        Find<QLineEdit>(dialog, "nameEdit")->setText(text);
        Find<QPushButton>(dialog, "renameButton")->click();
    }
    void Delete(const CDlgChartTraces& dialog)
    {
        Find<QPushButton>(dialog, "deleteButton")->click();
    }
    void Ok(const CDlgChartTraces& dialog) { Find<QPushButton>(dialog, "okButton")->click(); }

    CChartGraph graph;
};

TEST_F(DlgChartTracesTest, StartShowsFirstTraceAndExtent)
{
    AddTrace("S21[dB](1)", -35.5, -0.01);
    AddTrace("S11[dB](1)");
    graph.lineType = 2;
    CDlgChartTraces dialog(graph);
    auto* list = Find<QListWidget>(dialog, "traceList");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(Find<QLineEdit>(dialog, "nameEdit")->text(), "S21[dB](1)");
    EXPECT_EQ(Find<QLabel>(dialog, "extentLabel")->text(), "min:\t-35.5\nmax:\t-0.01");
    EXPECT_TRUE(Find<QRadioButton>(dialog, "pointsRadio")->isChecked());
    EXPECT_EQ(dialog.focusWidget(), Find<QLineEdit>(dialog, "nameEdit"));
    Select(dialog, 1);
    EXPECT_EQ(Find<QLabel>(dialog, "extentLabel")->text(), "min:\t0\nmax:\t1");
}

TEST_F(DlgChartTracesTest, DeleteMarksOnceAndRenameUnmarks)
{
    AddTrace("S21[dB](1)");
    CDlgChartTraces dialog(graph);
    Delete(dialog);
    EXPECT_EQ(dialog.names[0], "~deleted~S21[dB](1)");
    Delete(dialog);
    EXPECT_EQ(dialog.names[0], "~deleted~S21[dB](1)");
    EXPECT_EQ(Find<QLineEdit>(dialog, "nameEdit")->text(), "~deleted~S21[dB](1)");
    Rename(dialog, "  S21 filter ");
    EXPECT_EQ(dialog.names[0], "S21 filter");
    Rename(dialog, "~deleted~x");  // a name with the mark is a deletion too
    Ok(dialog);
    EXPECT_TRUE(graph.traces.empty());
}

TEST_F(DlgChartTracesTest, OkAppliesNamesAndDeletionsInOnePass)
{
    const struct {
        const char* name;
        std::vector<int> deleted;
        std::vector<std::pair<int, const char*>> renamed;
        std::vector<std::string> expected;
    } cases[] = {
        {"all deleted", {0, 1, 2}, {}, {}},
        {"middle deleted, last renamed", {1}, {{2, "D"}}, {"A", "D"}},
        {"first deleted, others renamed", {0}, {{1, "X"}, {2, "Y"}}, {"X", "Y"}},
        {"last two deleted", {1, 2}, {{0, "Z"}}, {"Z"}},
        {"nothing", {}, {}, {"A", "B", "C"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        graph.ClearTraces();
        AddTrace("A");
        AddTrace("B");
        AddTrace("C");
        CDlgChartTraces dialog(graph);
        for (const auto& [row, name] : c.renamed) {
            Select(dialog, row);
            Rename(dialog, name);
        }
        for (int row : c.deleted) {
            Select(dialog, row);
            Delete(dialog);
        }
        Ok(dialog);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(GraphNames(), c.expected);
    }
}

TEST_F(DlgChartTracesTest, LineTypeAndCancel)
{
    AddTrace("A");
    graph.lineType = 1;
    {
        CDlgChartTraces dialog(graph);
        Find<QRadioButton>(dialog, "circlesRadio")->setChecked(true);
        Rename(dialog, "B");
        Find<QPushButton>(dialog, "cancelButton")->click();
        EXPECT_EQ(graph.lineType, 1);
        EXPECT_EQ(GraphNames(), std::vector<std::string>({"A"}));
    }
    {
        CDlgChartTraces dialog(graph);
        Find<QRadioButton>(dialog, "thinLineRadio")->setChecked(true);
        Ok(dialog);
        EXPECT_EQ(graph.lineType, 0);
    }
    graph.lineType = 7;  // no radio button for it: OK stores thin lines
    CDlgChartTraces dialog(graph);
    Ok(dialog);
    EXPECT_EQ(graph.lineType, 0);
}

TEST_F(DlgChartTracesTest, EmptyGraphDisablesEditing)
{
    graph.lineType = 3;
    CDlgChartTraces dialog(graph);
    EXPECT_EQ(Find<QListWidget>(dialog, "traceList")->count(), 0);
    EXPECT_TRUE(Find<QLineEdit>(dialog, "nameEdit")->text().isEmpty());
    EXPECT_TRUE(Find<QLabel>(dialog, "extentLabel")->text().isEmpty());
    EXPECT_FALSE(Find<QPushButton>(dialog, "renameButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(dialog, "deleteButton")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(dialog, "nameEdit")->isEnabled());
    Find<QRadioButton>(dialog, "thickLineRadio")->setChecked(true);
    Ok(dialog);
    EXPECT_EQ(graph.lineType, 1);
    EXPECT_TRUE(graph.traces.empty());
}

}  // namespace
