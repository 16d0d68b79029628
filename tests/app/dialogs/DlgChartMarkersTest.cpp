#include "app/dialogs/DlgChartMarkers.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/dialogs/FileChooser.h"
#include "app/MarkerFile.h"
#include "chart/ChartFlags.h"
#include "chart/ChartGraph.h"
#include "data/LineFile.h"
#include "platform/MessageBox.h"
#include "TempDir.h"

namespace {

// Answers every chooser with a fixed path and remembers what it was asked.
class FakeChooser : public CFileChooser {
public:
    FakeChooser() { previous = SetFileChooser(this); }
    ~FakeChooser() override { SetFileChooser(previous); }

    std::string OpenFile(QWidget*, const std::string& f, const std::string& suffix) override
    {
        filter = f;
        defaultSuffix = suffix;
        ++opens;
        return path;
    }
    std::string SaveFile(QWidget*, const std::string& f, const std::string& suffix,
                         const std::string&) override
    {
        filter = f;
        defaultSuffix = suffix;
        ++saves;
        return path;
    }

    std::string path;
    std::string filter;
    std::string defaultSuffix;
    int opens = 0;
    int saves = 0;

private:
    CFileChooser* previous;
};

class DlgChartMarkersTest : public ::testing::Test {
protected:
    void SetUp() override { keepMarkers = false; }
    void TearDown() override { keepMarkers = false; }

    template <class T>
    T* Find(const CDlgChartMarkers& dialog, const char* name)
    {
        T* w = dialog.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QStringList ListTexts(const CDlgChartMarkers& dialog)
    {
        QStringList texts;
        auto* list = Find<QListWidget>(dialog, "markerList");
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }
    void Type(const CDlgChartMarkers& dialog, const QString& text)
    {
        Find<QLineEdit>(dialog, "valueEdit")->setText(text);
    }
    void Click(const CDlgChartMarkers& dialog, const char* name)
    {
        Find<QPushButton>(dialog, name)->click();
    }

    CChartGraph graph;
};

TEST_F(DlgChartMarkersTest, StartShowsGraphStateInListOrder)
{
    graph.xShortTitle = "Freq[MHz]";
    graph.SetMarkers({110, 90});  // added by clicks, not yet sorted
    graph.showMarkers = false;
    keepMarkers = true;
    CDlgChartMarkers dialog(graph);
    EXPECT_EQ(Find<QLabel>(dialog, "valueLabel")->text(), "Freq[MHz]");
    EXPECT_EQ(ListTexts(dialog), QStringList({"110", "90"}));
    EXPECT_EQ(Find<QListWidget>(dialog, "markerList")->currentRow(), 0);
    EXPECT_EQ(Find<QLineEdit>(dialog, "valueEdit")->text(), "110");
    EXPECT_FALSE(Find<QCheckBox>(dialog, "showMarkersCheck")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(dialog, "keepMarkersCheck")->isChecked());
    EXPECT_EQ(dialog.focusWidget(), Find<QLineEdit>(dialog, "valueEdit"));
}

TEST_F(DlgChartMarkersTest, AddRefusesZeroAndNearDuplicates)
{
    graph.SetMarkers({100});
    CDlgChartMarkers dialog(graph);
    const struct {
        const char* text;
        std::vector<double> expected;
    } steps[] = {
        {"0", {100}},
        {"abc", {100}},
        {"1e999", {100}},
        {"100.0000005", {100}},
        {"  100.00001 ", {100, 100.00001}},
        {"-5", {-5, 100, 100.00001}},
        {"50", {-5, 50, 100, 100.00001}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.text);
        Type(dialog, step.text);
        Click(dialog, "addButton");
        EXPECT_EQ(dialog.markers, step.expected);
    }
    // After an add the first marker is selected and shown.
    EXPECT_EQ(Find<QListWidget>(dialog, "markerList")->currentRow(), 0);
    EXPECT_EQ(Find<QLineEdit>(dialog, "valueEdit")->text(), "-5");
    EXPECT_EQ(graph.markers, std::vector<double>({100}));  // nothing reaches the graph yet
}

TEST_F(DlgChartMarkersTest, ChangeSortsAndKeepsPosition)
{
    graph.SetMarkers({10, 20, 30});
    CDlgChartMarkers dialog(graph);
    Find<QListWidget>(dialog, "markerList")->setCurrentRow(0);
    Type(dialog, "25");
    Click(dialog, "changeButton");
    EXPECT_EQ(dialog.markers, std::vector<double>({20, 25, 30}));
    EXPECT_EQ(Find<QListWidget>(dialog, "markerList")->currentRow(), 0);
    EXPECT_EQ(Find<QLineEdit>(dialog, "valueEdit")->text(), "20");
    Type(dialog, "0");
    Click(dialog, "changeButton");
    EXPECT_EQ(dialog.markers, std::vector<double>({20, 25, 30}));
}

TEST_F(DlgChartMarkersTest, DeleteMovesSelectionAndEmptiesAtEnd)
{
    graph.SetMarkers({1, 2, 3});
    CDlgChartMarkers dialog(graph);
    auto* list = Find<QListWidget>(dialog, "markerList");
    list->setCurrentRow(1);
    Click(dialog, "deleteButton");
    EXPECT_EQ(dialog.markers, std::vector<double>({1, 3}));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(Find<QLineEdit>(dialog, "valueEdit")->text(), "3");
    Click(dialog, "deleteButton");  // the last one: entry 0 is selected
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(Find<QLineEdit>(dialog, "valueEdit")->text(), "1");
    Click(dialog, "deleteButton");
    EXPECT_TRUE(dialog.markers.empty());
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(Find<QLineEdit>(dialog, "valueEdit")->text().isEmpty());
    EXPECT_FALSE(Find<QPushButton>(dialog, "changeButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(dialog, "deleteButton")->isEnabled());
}

TEST_F(DlgChartMarkersTest, LoadFromFileExamples)
{
    std::string thirty;
    for (int i = 1; i <= 30; ++i)
        thirty += std::to_string(i) + (i < 30 ? "," : "\n");
    std::vector<double> oneToTwentyOne;
    for (int i = 1; i <= 21; ++i)
        oneToTwentyOne.push_back(i);

    const struct {
        const char* name;
        std::string content;
        std::vector<double> expected;
    } cases[] = {
        {"mixed", "100\n0\n-5\nabc\n150,200\n", {100, 150, 200}},
        {"thirty", thirty, oneToTwentyOne},
        {"blanks", "100 200\n", {100}},
        {"crlf", "300\r\n200\r\n100", {100, 200, 300}},
        {"tabs", "5\t3\n", {3, 5}},
        {"spread", " 7 , 2 \n\n1e-6,4\n", {2, 4, 7}},
        {"nothing", "0\n-1\nabc\n", {42}},  // no usable value: working copy unchanged
    };
    TempDir dir;
    FakeChooser chooser;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        graph.SetMarkers({42});
        CDlgChartMarkers dialog(graph);
        chooser.path = dir.Write(std::string(c.name) + ".txt", c.content);
        Click(dialog, "loadButton");
        EXPECT_EQ(dialog.markers, c.expected);
        EXPECT_EQ(chooser.filter, "Marker files (*.txt)|*.txt||");
        EXPECT_EQ(chooser.defaultSuffix, "txt");
    }
}

TEST_F(DlgChartMarkersTest, LoadStopsAfterTwentyOneValuesAcrossLines)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= 25; ++i)
        lines.push_back(std::to_string(i));
    EXPECT_EQ(CMarkerFile::Parse(lines).size(), 21u);
    EXPECT_EQ(CMarkerFile::Parse(lines).back(), 21.0);
}

TEST_F(DlgChartMarkersTest, LoadFailureAndCancelLeaveEverything)
{
    CRecordingMessageSink sink;
    TempDir dir;
    FakeChooser chooser;
    graph.SetMarkers({7});
    CDlgChartMarkers dialog(graph);
    chooser.path = "";  // the user cancels the chooser
    Click(dialog, "loadButton");
    EXPECT_EQ(dialog.markers, std::vector<double>({7}));
    chooser.path = dir.Path("missing.txt");
    Click(dialog, "loadButton");
    EXPECT_EQ(dialog.markers, std::vector<double>({7}));
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], "Cannot open file for reading: " + chooser.path);
    // A file without a single frequency says so and changes nothing.
    chooser.path = dir.Write("junk.txt", std::string(100000, 'x') + "\nhello, -5\n");
    Click(dialog, "loadButton");
    EXPECT_EQ(dialog.markers, std::vector<double>({7}));
    ASSERT_EQ(sink.texts.size(), 2u);
    EXPECT_EQ(sink.texts[1], "No marker frequencies in file: " + chooser.path);
    // Reading stops at the last value a dialog takes, however long the file goes on.
    std::string many;
    for (int i = 1; i <= 50000; ++i)
        many += std::to_string(i) + (i % 3 ? "," : "\n");
    chooser.path = dir.Write("many.txt", many);
    Click(dialog, "loadButton");
    EXPECT_EQ(dialog.markers.size(), CMarkerFile::MAX_VALUES);
    EXPECT_EQ(dialog.markers.back(), 21.0);

    // Cancel after a load: the graph keeps its markers and switches.
    chooser.path = dir.Write("m.txt", "1,2,3\n");
    Click(dialog, "loadButton");
    EXPECT_EQ(dialog.markers.size(), 3u);
    Find<QCheckBox>(dialog, "keepMarkersCheck")->setChecked(true);
    Click(dialog, "cancelButton");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(graph.markers, std::vector<double>({7}));
    EXPECT_FALSE(keepMarkers);
}

TEST_F(DlgChartMarkersTest, SaveWritesValuesThatReadBackExactlyInListOrder)
{
    TempDir dir;
    FakeChooser chooser;
    const std::vector<double> saved = {1234.567, 0.5, 4.1247, 0.1 + 0.2};
    graph.SetMarkers(saved);
    CDlgChartMarkers dialog(graph);
    EXPECT_EQ(ListTexts(dialog), QStringList({"1234.6", "0.5", "4.1247", "0.3"}));
    chooser.path = dir.Write("markers.txt", "old content\n");
    Click(dialog, "saveButton");
    EXPECT_EQ(chooser.saves, 1);
    LineList lines;
    ASSERT_EQ(ReadLines(chooser.path, lines), FILE_OK);
    EXPECT_EQ(lines, LineList({"1234.567", "0.5", "4.1247", "0.30000000000000004"}));
    EXPECT_EQ(CMarkerFile::Parse(lines), saved);
}

TEST_F(DlgChartMarkersTest, SaveToUnwritablePlaceReports)
{
    CRecordingMessageSink sink;
    TempDir dir;
    FakeChooser chooser;
    graph.SetMarkers({1});
    CDlgChartMarkers dialog(graph);
    chooser.path = dir.Path("no/such/folder/m.txt");
    Click(dialog, "saveButton");
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_NE(sink.texts[0].find(chooser.path), std::string::npos);
}

TEST_F(DlgChartMarkersTest, OkWritesMarkersAndSwitches)
{
    graph.SetMarkers({5});
    graph.showMarkers = true;
    CDlgChartMarkers dialog(graph);
    Type(dialog, "3");
    Click(dialog, "addButton");
    Find<QCheckBox>(dialog, "showMarkersCheck")->setChecked(false);
    Find<QCheckBox>(dialog, "keepMarkersCheck")->setChecked(true);
    Click(dialog, "okButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(graph.markers, std::vector<double>({3, 5}));
    EXPECT_FALSE(graph.showMarkers);
    EXPECT_TRUE(keepMarkers);
}

}  // namespace
