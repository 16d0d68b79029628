#include "app/dialogs/DlgChartTraces.h"

#include "app/dialogs/DialogButtons.h"
#include "app/dialogs/ListSelection.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "chart/ChartGraph.h"
#include "data/LineFile.h"
#include "platform/NumberFormat.h"

const char* const CDlgChartTraces::kDeletedMark = "~deleted~";

namespace {

bool IsMarkedDeleted(const std::string& name)
{
    return name.rfind(CDlgChartTraces::kDeletedMark, 0) == 0;
}

}  // namespace

CDlgChartTraces::CDlgChartTraces(CChartGraph& editedGraph, QWidget* parent)
    : QDialog(parent), graph(editedGraph)
{
    setWindowTitle("Torvex - Traces");
    for (const CChartTrace& trace : graph.traces)
        names.push_back(trace.name);

    list = new QListWidget(this);
    list->setObjectName("traceList");
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMinimumWidth(180);
    connect(list, &QListWidget::currentRowChanged, this, &CDlgChartTraces::OnSelChange);

    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName("nameEdit");
    renameButton = new QPushButton("Rename", this);
    renameButton->setObjectName("renameButton");
    deleteButton = new QPushButton("Delete", this);
    deleteButton->setObjectName("deleteButton");
    connect(renameButton, &QPushButton::clicked, this, &CDlgChartTraces::OnRename);
    connect(deleteButton, &QPushButton::clicked, this, &CDlgChartTraces::OnDelete);

    extentLabel = new QLabel(this);
    extentLabel->setObjectName("extentLabel");
    extentLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    extentLabel->setTextFormat(Qt::PlainText);
    extentLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    extentLabel->setMinimumHeight(extentLabel->fontMetrics().lineSpacing() * 2 + 8);
    extentLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* lineTypeBox = new QGroupBox("Line Type for all Traces:", this);
    lineTypeBox->setObjectName("lineTypeGroup");
    auto* radios = new QVBoxLayout(lineTypeBox);
    lineTypeGroup = new QButtonGroup(this);
    const char* const captions[] = {"Thin Line", "Thick Line", "Points", "Circles"};
    const char* const objectNames[] = {"thinLineRadio", "thickLineRadio", "pointsRadio",
                                       "circlesRadio"};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(captions[i], lineTypeBox);
        radio->setObjectName(objectNames[i]);
        lineTypeGroup->addButton(radio, i);
        radios->addWidget(radio);
    }

    CDialogButtons::Create(this, okButton, cancelButton);

    auto* editButtons = new QHBoxLayout;
    editButtons->addWidget(renameButton);
    editButtons->addWidget(deleteButton);
    auto* right = new QVBoxLayout;
    right->addWidget(nameEdit);
    right->addLayout(editButtons);
    right->addWidget(extentLabel);
    right->addWidget(lineTypeBox);
    right->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(list, 1);
    top->addLayout(right);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    setTabOrder(nameEdit, renameButton);
    setTabOrder(renameButton, deleteButton);
    setTabOrder(deleteButton, list);
    setTabOrder(list, lineTypeGroup->button(0));
    setTabOrder(lineTypeGroup->button(3), okButton);
    setTabOrder(okButton, cancelButton);

    // Dialog start.
    RefillList(0);
    lineType = graph.lineType;
    if (QAbstractButton* radio = lineTypeGroup->button(lineType))
        radio->setChecked(true);
    nameEdit->selectAll();
    nameEdit->setFocus();
}

void CDlgChartTraces::RefillList(int sel)
{
    QStringList entries;
    for (const std::string& name : names)
        entries << QString::fromStdString(name);
    CListSelection::Refill(list, entries, sel);
    if (sel >= 0)
        OnSelChange();
}

int CDlgChartTraces::SelectedName() const
{
    return CListSelection::Selected(list, names.size());
}

void CDlgChartTraces::OnSelChange()
{
    CListSelection::EnsureSelection(list);
    const int index = SelectedName();
    const CChartTrace* trace = index >= 0 ? graph.TraceAt(index) : nullptr;
    if (index >= 0) {
        nameEdit->setText(QString::fromStdString(names[index]));
        extentLabel->setText(
            trace ? QString::fromStdString("min:\t" + FormatValue("%.9g", trace->yMin) + "\nmax:\t"
                                           + FormatValue("%.9g", trace->yMax))
                  : QString());
    } else {
        nameEdit->clear();
        extentLabel->clear();
    }
    renameButton->setEnabled(index >= 0);
    deleteButton->setEnabled(index >= 0);
    nameEdit->setEnabled(index >= 0);
}

void CDlgChartTraces::OnRename()
{
    const int index = SelectedName();
    if (index < 0)
        return;
    names[index] = Trim(nameEdit->text().toStdString());
    RefillList(index);
}

void CDlgChartTraces::OnDelete()
{
    const int index = SelectedName();
    if (index < 0)
        return;
    if (!IsMarkedDeleted(names[index]))
        names[index] = kDeletedMark + names[index];
    RefillList(index);
}

void CDlgChartTraces::accept()
{
    lineType = lineTypeGroup->checkedId();
    graph.lineType = lineType < 0 ? 0 : lineType;
    // i follows the graph's traces, which shrink as marked ones are removed.
    int i = 0;
    for (const std::string& name : names) {
        if (IsMarkedDeleted(name)) {
            graph.DeleteTrace(i);
        } else {
            if (CChartTrace* trace = graph.TraceAt(i))
                trace->name = name;
            ++i;
        }
    }
    QDialog::accept();
}
