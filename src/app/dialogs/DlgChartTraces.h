// "Torvex - Traces": renames traces, marks them for deletion and sets the line type of
// all traces. Work is done on a list of names; OK applies it to the graph in one pass.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class CChartGraph;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class CDlgChartTraces : public QDialog {
    Q_OBJECT

public:
    CDlgChartTraces(CChartGraph& editedGraph, QWidget* parent = nullptr);

    // A name that begins with this stands for a trace removed at OK.
    static const char* const kDeletedMark;

    CChartGraph& graph;
    std::vector<std::string> names;  // one per trace of the graph, in trace order
    int lineType = 0;                // 0 thin line, 1 thick line, 2 points, 3 circles; -1 none set

    void RefillList(int sel);

public slots:
    void accept() override;
    void OnSelChange();
    void OnRename();
    void OnDelete();

private:
    int SelectedName() const;

    QListWidget* list = nullptr;
    QLineEdit* nameEdit = nullptr;
    QPushButton* renameButton = nullptr;
    QPushButton* deleteButton = nullptr;
    QLabel* extentLabel = nullptr;
    QButtonGroup* lineTypeGroup = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
