#include "app/dialogs/DlgChartMarkers.h"

#include "app/dialogs/DialogButtons.h"
#include "app/dialogs/ListSelection.h"
#include "app/ExactNumber.h"
#include "app/MarkerFile.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "app/dialogs/FileChooser.h"
#include "chart/ChartFlags.h"
#include "chart/ChartGraph.h"
#include "data/LineFile.h"
#include "platform/AsciiText.h"
#include "platform/MessageBox.h"
#include "platform/NumberFormat.h"

const char* const CDlgChartMarkers::kMarkerFilter = "Marker files (*.txt)|*.txt||";

namespace {

QPushButton* MakeButton(const char* text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

CDlgChartMarkers::CDlgChartMarkers(CChartGraph& editedGraph, QWidget* parent)
    : QDialog(parent), graph(editedGraph)
{
    setWindowTitle("Torvex - Markers");
    graph.GetMarkers(markers);

    list = new QListWidget(this);
    list->setObjectName("markerList");
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMinimumWidth(140);
    connect(list, &QListWidget::currentRowChanged, this, &CDlgChartMarkers::OnSelChange);

    valueLabel = new QLabel("Frequency", this);
    valueLabel->setObjectName("valueLabel");
    valueEdit = new QLineEdit(this);
    valueEdit->setObjectName("valueEdit");
    valueLabel->setBuddy(valueEdit);

    changeButton = MakeButton("Change", "changeButton", this);
    addButton = MakeButton("Add", "addButton", this);
    deleteButton = MakeButton("Delete", "deleteButton", this);
    loadButton = MakeButton("Load from File", "loadButton", this);
    saveButton = MakeButton("Save to File", "saveButton", this);
    connect(changeButton, &QPushButton::clicked, this, &CDlgChartMarkers::OnChange);
    connect(addButton, &QPushButton::clicked, this, &CDlgChartMarkers::OnAdd);
    connect(deleteButton, &QPushButton::clicked, this, &CDlgChartMarkers::OnDelete);
    connect(loadButton, &QPushButton::clicked, this, &CDlgChartMarkers::OnLoadFromFile);
    connect(saveButton, &QPushButton::clicked, this, &CDlgChartMarkers::OnSaveToFile);

    showMarkersBox = new QCheckBox("Show markers", this);
    showMarkersBox->setObjectName("showMarkersCheck");
    keepMarkersBox = new QCheckBox("Keep markers persistent when new data is loaded", this);
    keepMarkersBox->setObjectName("keepMarkersCheck");

    CDialogButtons::Create(this, okButton, cancelButton);

    auto* editColumn = new QVBoxLayout;
    editColumn->addWidget(valueLabel);
    editColumn->addWidget(valueEdit);
    auto* editButtons = new QGridLayout;
    editButtons->addWidget(addButton, 0, 0);
    editButtons->addWidget(changeButton, 0, 1);
    editButtons->addWidget(deleteButton, 1, 0);
    editColumn->addLayout(editButtons);
    editColumn->addSpacing(12);
    editColumn->addWidget(loadButton);
    editColumn->addWidget(saveButton);
    editColumn->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(list, 1);
    top->addLayout(editColumn);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(showMarkersBox);
    layout->addWidget(keepMarkersBox);
    layout->addLayout(buttons);

    setTabOrder(valueEdit, addButton);
    setTabOrder(addButton, changeButton);
    setTabOrder(changeButton, deleteButton);
    setTabOrder(deleteButton, loadButton);
    setTabOrder(loadButton, saveButton);
    setTabOrder(saveButton, list);
    setTabOrder(list, showMarkersBox);
    setTabOrder(showMarkersBox, keepMarkersBox);
    setTabOrder(keepMarkersBox, okButton);
    setTabOrder(okButton, cancelButton);

    // Dialog start: every input is known at construction.
    valueLabel->setText(QString::fromStdString(graph.xShortTitle));
    keepMarkersCheck = keepMarkers ? 1 : 0;
    showMarkersCheck = graph.showMarkers ? 1 : 0;
    keepMarkersBox->setChecked(keepMarkersCheck != 0);
    showMarkersBox->setChecked(showMarkersCheck != 0);
    RefillList(0);
    valueEdit->selectAll();
    valueEdit->setFocus();
}

void CDlgChartMarkers::RefillList(int sel)
{
    QStringList entries;
    for (double m : markers)
        entries << QString::fromStdString(FormatValue("%.5g", m));
    CListSelection::Refill(list, entries, sel);
    if (sel >= 0)
        OnSelChange();
}

int CDlgChartMarkers::SelectedMarker() const
{
    return CListSelection::Selected(list, markers.size());
}

void CDlgChartMarkers::OnSelChange()
{
    CListSelection::EnsureSelection(list);
    const int index = SelectedMarker();
    if (index >= 0)
        valueEdit->setText(QString::fromStdString(FormatValue("%.5g", markers[index])));
    else
        valueEdit->clear();
    changeButton->setEnabled(index >= 0);
    deleteButton->setEnabled(index >= 0);
}

double CDlgChartMarkers::EditValue() const
{
    const double x = ParseLeadingDouble(Trim(valueEdit->text().toStdString()));
    // A number too large for a double reads as infinity, which no axis can show.
    return std::isfinite(x) ? x : 0.0;
}

void CDlgChartMarkers::OnAdd()
{
    const double x = EditValue();
    if (x == 0.0)
        return;
    for (double m : markers)
        if (std::fabs(x - m) < 1e-6)
            return;
    markers.push_back(x);
    std::sort(markers.begin(), markers.end());
    RefillList(0);
}

void CDlgChartMarkers::OnChange()
{
    const double x = EditValue();
    if (x == 0.0)
        return;
    const int index = SelectedMarker();
    if (index < 0)
        return;
    markers[index] = x;
    std::sort(markers.begin(), markers.end());
    RefillList(index);
}

void CDlgChartMarkers::OnDelete()
{
    const int index = SelectedMarker();
    if (index < 0)
        return;
    markers.erase(markers.begin() + index);
    RefillList(index);
}

void CDlgChartMarkers::OnLoadFromFile()
{
    const std::string path = GetFileChooser().OpenFile(this, kMarkerFilter, "txt");
    if (path.empty())
        return;
    std::vector<double> values;
    if (CMarkerFile::Read(path, values) != FILE_OK)
        return;
    if (values.empty()) {
        ShowMessageBox("No marker frequencies in file: " + EscapeInput(path, path.size()),
                       MessageIcon::Warning);
        return;
    }
    markers = std::move(values);
    std::sort(markers.begin(), markers.end());
    RefillList(0);
}

void CDlgChartMarkers::OnSaveToFile()
{
    const std::string path = GetFileChooser().SaveFile(this, kMarkerFilter, "txt");
    if (path.empty())
        return;
    LineList lines;
    for (double m : markers)
        lines.push_back(FormatExact(m));  // the list reads back the same frequencies
    // Through a temporary file: a failed write keeps the previous marker file intact.
    WriteLinesAtomic(path, lines);
}

void CDlgChartMarkers::accept()
{
    showMarkersCheck = showMarkersBox->isChecked() ? 1 : 0;
    keepMarkersCheck = keepMarkersBox->isChecked() ? 1 : 0;
    graph.SetMarkers(markers);
    graph.showMarkers = showMarkersCheck != 0;
    keepMarkers = keepMarkersCheck == 1;
    QDialog::accept();
}
