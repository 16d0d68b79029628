// "Torvex - Markers": edits a working copy of the graph's marker frequencies (add,
// change, delete, load from and save to a marker file) and the two marker switches;
// only OK writes them back to the graph.
#pragma once

#include <QDialog>

#include <vector>

class CChartGraph;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class CDlgChartMarkers : public QDialog {
    Q_OBJECT

public:
    CDlgChartMarkers(CChartGraph& editedGraph, QWidget* parent = nullptr);

    static const char* const kMarkerFilter;

    CChartGraph& graph;
    std::vector<double> markers;  // the working copy
    int keepMarkersCheck = 0;
    int showMarkersCheck = 0;

    // Fills the list from the working copy and, when sel >= 0, selects entry sel (entry 0
    // when sel is past the end) and runs the selection handler.
    void RefillList(int sel);

public slots:
    void accept() override;
    void OnSelChange();
    void OnAdd();
    void OnChange();
    void OnDelete();
    void OnLoadFromFile();
    void OnSaveToFile();

private:
    // The edit text as a marker value; 0 for no usable value.
    double EditValue() const;
    // Index of the selected entry when it lies inside the working copy, else -1.
    int SelectedMarker() const;

    QListWidget* list = nullptr;
    QLabel* valueLabel = nullptr;
    QLineEdit* valueEdit = nullptr;
    QPushButton* changeButton = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* deleteButton = nullptr;
    QPushButton* loadButton = nullptr;
    QPushButton* saveButton = nullptr;
    QCheckBox* showMarkersBox = nullptr;
    QCheckBox* keepMarkersBox = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
