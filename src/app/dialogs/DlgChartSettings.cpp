#include "app/dialogs/DlgChartSettings.h"

#include "app/dialogs/DialogButtons.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include <charconv>
#include <cmath>
#include <limits>

#include "app/AppFlags.h"
#include "chart/ChartGraph.h"
#include "data/LineFile.h"
#include "platform/MessageBox.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"

namespace {

// Fifteen significant digits: every value typed back in reads as the same double
// for all practical purposes, and no binary noise is shown.
QString ShowDouble(double v)
{
    return QString::fromStdString(FormatValue("%.15g", v));
}

QLineEdit* MakeEdit(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

// The trimmed text when it is a whole number (sign allowed), else false. Parsing is
// independent of the process locale.
bool ParseWhole(const std::string& text, long long& value)
{
    std::string s = Trim(text);
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    if (s.empty())
        return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec == std::errc::result_out_of_range) {
        value = s[0] == '-' ? std::numeric_limits<long long>::min()
                            : std::numeric_limits<long long>::max();
        return end == s.data() + s.size();
    }
    return ec == std::errc() && end == s.data() + s.size();
}

bool ParseReal(const std::string& text, double& value)
{
    // "nan" and "inf" are no numbers a user means to give; a number too large in magnitude
    // is outside the range, and one too small as good as zero.
    double v = 0.0;
    if (ParseDecimal(text, v) == DecimalKind::None)
        return false;
    value = v;
    return true;
}

}  // namespace

CDlgChartSettings::CDlgChartSettings(CChartGraph& editedGraph, QWidget* parent)
    : QDialog(parent),
      graph(editedGraph),
      yMajor(editedGraph.yMajorDivisions),
      yMinor(editedGraph.yMinorDivisions),
      xMajor(editedGraph.xMajorDivisions),
      xMinor(editedGraph.xMinorDivisions),
      xMin(editedGraph.xAxis.min),
      xMax(editedGraph.xAxis.max),
      leftMin(editedGraph.leftAxis.visible ? editedGraph.leftAxis.min : 0.0),
      leftMax(editedGraph.leftAxis.visible ? editedGraph.leftAxis.max : 1.0),
      rightMin(editedGraph.rightAxis.visible ? editedGraph.rightAxis.min : 0.0),
      rightMax(editedGraph.rightAxis.visible ? editedGraph.rightAxis.max : 1.0),
      chartTitle(editedGraph.title),
      xTitle(editedGraph.xAxis.title),
      leftTitle(editedGraph.leftAxis.title),
      rightTitle(editedGraph.rightAxis.title)
{
    setWindowTitle("Torvex - Settings");

    titleEdit = MakeEdit("titleEdit", this);
    auto* titleLabel = new QLabel("Title", this);
    titleLabel->setBuddy(titleEdit);

    auto* grids = new QGroupBox(" Grids (Divisions) ", this);
    grids->setObjectName("gridsGroup");
    auto* gridLayout = new QGridLayout(grids);
    yMajorEdit = MakeEdit("yMajorEdit", grids);
    yMinorEdit = MakeEdit("yMinorEdit", grids);
    xMajorEdit = MakeEdit("xMajorEdit", grids);
    xMinorEdit = MakeEdit("xMinorEdit", grids);
    const struct {
        const char* label;
        QLineEdit* edit;
    } divisionFields[] = {{"Y-major", yMajorEdit},
                          {"Y-minor", yMinorEdit},
                          {"X-major", xMajorEdit},
                          {"X-minor", xMinorEdit}};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(divisionFields[i].label, grids);
        label->setBuddy(divisionFields[i].edit);
        divisionFields[i].edit->setMaximumWidth(60);
        gridLayout->addWidget(label, i / 2, (i % 2) * 2);
        gridLayout->addWidget(divisionFields[i].edit, i / 2, (i % 2) * 2 + 1);
    }

    auto axisGroup = [this](const char* title, const char* name, QLineEdit*& minEdit,
                            QLineEdit*& maxEdit, QLineEdit*& axisTitleEdit, const char* prefix) {
        auto* group = new QGroupBox(title, this);
        group->setObjectName(name);
        auto* form = new QFormLayout(group);
        minEdit = MakeEdit((std::string(prefix) + "MinEdit").c_str(), group);
        maxEdit = MakeEdit((std::string(prefix) + "MaxEdit").c_str(), group);
        axisTitleEdit = MakeEdit((std::string(prefix) + "TitleEdit").c_str(), group);
        form->addRow("Min", minEdit);
        form->addRow("Max", maxEdit);
        form->addRow("Title", axisTitleEdit);
        return group;
    };
    QGroupBox* xGroup = axisGroup(" X-axis ", "xAxisGroup", xMinEdit, xMaxEdit, xTitleEdit, "x");
    QGroupBox* leftGroup = axisGroup(" Left Y-axis ", "leftAxisGroup", leftMinEdit, leftMaxEdit,
                                     leftTitleEdit, "left");
    QGroupBox* rightGroup = axisGroup(" Right Y-axis ", "rightAxisGroup", rightMinEdit,
                                      rightMaxEdit, rightTitleEdit, "right");

    persistYCheck = new QCheckBox("Keep Y-scales persistent when new data is loaded", this);
    persistYCheck->setObjectName("persistYCheck");
    persistXCheck = new QCheckBox("Keep X-scales persistent when new data is loaded", this);
    persistXCheck->setObjectName("persistXCheck");

    CDialogButtons::Create(this, okButton, cancelButton);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(titleLabel);
    titleRow->addWidget(titleEdit, 1);

    auto* axes = new QHBoxLayout;
    axes->addWidget(xGroup);
    axes->addWidget(leftGroup);
    axes->addWidget(rightGroup);

    auto* gridsRow = new QHBoxLayout;
    gridsRow->addWidget(grids);
    gridsRow->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(titleRow);
    layout->addLayout(gridsRow);
    layout->addLayout(axes);
    layout->addWidget(persistYCheck);
    layout->addWidget(persistXCheck);
    layout->addLayout(buttons);

    QWidget* order[] = {titleEdit,     yMajorEdit,   yMinorEdit,   xMajorEdit,     xMinorEdit,
                        xMinEdit,      xMaxEdit,     xTitleEdit,   leftMinEdit,    leftMaxEdit,
                        leftTitleEdit, rightMinEdit, rightMaxEdit, rightTitleEdit, persistYCheck,
                        persistXCheck, okButton,     cancelButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Dialog start.
    yMajorEdit->setText(QString::number(yMajor));
    yMinorEdit->setText(QString::number(yMinor));
    xMajorEdit->setText(QString::number(xMajor));
    xMinorEdit->setText(QString::number(xMinor));
    xMinEdit->setText(ShowDouble(xMin));
    xMaxEdit->setText(ShowDouble(xMax));
    leftMinEdit->setText(ShowDouble(leftMin));
    leftMaxEdit->setText(ShowDouble(leftMax));
    rightMinEdit->setText(ShowDouble(rightMin));
    rightMaxEdit->setText(ShowDouble(rightMax));
    titleEdit->setText(QString::fromStdString(chartTitle));
    xTitleEdit->setText(QString::fromStdString(xTitle));
    leftTitleEdit->setText(QString::fromStdString(leftTitle));
    rightTitleEdit->setText(QString::fromStdString(rightTitle));

    for (QLineEdit* e : {xMinEdit, xMaxEdit, xTitleEdit})
        e->setEnabled(graph.xAxis.visible);
    for (QLineEdit* e : {leftMinEdit, leftMaxEdit, leftTitleEdit})
        e->setEnabled(graph.leftAxis.visible);
    for (QLineEdit* e : {rightMinEdit, rightMaxEdit, rightTitleEdit})
        e->setEnabled(graph.rightAxis.visible);

    persistYCheck->setChecked(persistYScale);
    persistXCheck->setChecked(persistXScale);

    titleEdit->selectAll();
    titleEdit->setFocus();
}

void CDlgChartSettings::Fail(QLineEdit* edit, const std::string& message, bool rangeCheck)
{
    // The range checks are errors of the values; a malformed field is a warning, as the
    // framework's own validation messages are.
    ShowMessageBox(message, rangeCheck ? MessageIcon::Error : MessageIcon::Warning);
    edit->selectAll();
    edit->setFocus();
}

bool CDlgChartSettings::ReadInt(QLineEdit* edit, std::int32_t& value, std::int32_t shown)
{
    long long v = 0;
    if (!ParseWhole(edit->text().toStdString(), v)) {
        Fail(edit, "Enter an integer.", false);
        return false;
    }
    // The automatic scale may choose more divisions than a user may type (12 for phase):
    // the count the dialog opened with is always accepted back.
    const int most = std::max<int>(kMaxDivisions, shown);
    if (v < kMinDivisions || v > most) {
        Fail(edit,
             "Enter an integer between " + std::to_string(kMinDivisions) + " and "
                 + std::to_string(most) + ".",
             false);
        return false;
    }
    value = static_cast<std::int32_t>(v);
    return true;
}

bool CDlgChartSettings::ReadDouble(QLineEdit* edit, double& value)
{
    double v = 0.0;
    if (!ParseReal(edit->text().toStdString(), v)) {
        Fail(edit, "Enter a number.", false);
        return false;
    }
    if (v < -kLimit || v > kLimit) {
        Fail(edit,
             "Enter a number between " + FormatValue("%.15g", -kLimit) + " and "
                 + FormatValue("%.15g", kLimit) + ".",
             false);
        return false;
    }
    value = v;
    return true;
}

bool CDlgChartSettings::ReadText(QLineEdit* edit, std::string& value)
{
    const QString text = edit->text();
    if (text.toUcs4().size() > kMaxTitleLength) {
        Fail(edit, "Enter no more than " + std::to_string(kMaxTitleLength) + " characters.", false);
        return false;
    }
    value = text.toStdString();
    return true;
}

bool CDlgChartSettings::ExchangeFromControls()
{
    // Into locals first: a failed OK must leave the fields as they were.
    std::int32_t ints[4] = {};
    double limits[6] = {};
    std::string titles[4];
    QLineEdit* const intEdits[4] = {yMajorEdit, yMinorEdit, xMajorEdit, xMinorEdit};
    QLineEdit* const limitEdits[6] = {xMinEdit,    xMaxEdit,     leftMinEdit,
                                      leftMaxEdit, rightMinEdit, rightMaxEdit};
    QLineEdit* const titleEdits[4] = {titleEdit, xTitleEdit, leftTitleEdit, rightTitleEdit};
    const std::int32_t shown[4] = {graph.yMajorDivisions, graph.yMinorDivisions,
                                   graph.xMajorDivisions, graph.xMinorDivisions};
    for (int i = 0; i < 4; ++i)
        if (!ReadInt(intEdits[i], ints[i], shown[i]))
            return false;
    for (int i = 0; i < 6; ++i)
        if (!ReadDouble(limitEdits[i], limits[i]))
            return false;
    for (int i = 0; i < 4; ++i)
        if (!ReadText(titleEdits[i], titles[i]))
            return false;
    yMajor = ints[0];
    yMinor = ints[1];
    xMajor = ints[2];
    xMinor = ints[3];
    xMin = limits[0];
    xMax = limits[1];
    leftMin = limits[2];
    leftMax = limits[3];
    rightMin = limits[4];
    rightMax = limits[5];
    chartTitle = titles[0];
    xTitle = titles[1];
    leftTitle = titles[2];
    rightTitle = titles[3];
    return true;
}

void CDlgChartSettings::accept()
{
    if (!ExchangeFromControls())
        return;
    if (graph.xAxis.visible && xMax <= xMin) {
        Fail(xMinEdit, "X-axis: Min should be less than Max.", true);
        return;
    }
    if (graph.leftAxis.visible && leftMax <= leftMin) {
        Fail(leftMinEdit, "Left Y-axis: Min should be less than Max.", true);
        return;
    }
    if (graph.rightAxis.visible && rightMax <= rightMin) {
        Fail(rightMinEdit, "Right Y-axis: Min should be less than Max.", true);
        return;
    }
    chartTitle = Trim(chartTitle);
    xTitle = Trim(xTitle);
    leftTitle = Trim(leftTitle);
    rightTitle = Trim(rightTitle);

    graph.title = chartTitle;
    graph.SetDivisions(yMajor, yMinor, xMajor, xMinor);
    graph.xAxis.SetRange(xMin, xMax);
    graph.xAxis.title = xTitle;
    graph.leftAxis.SetRange(leftMin, leftMax);
    graph.leftAxis.title = leftTitle;
    graph.rightAxis.SetRange(rightMin, rightMax);
    graph.rightAxis.title = rightTitle;
    persistYScale = persistYCheck->isChecked();
    persistXScale = persistXCheck->isChecked();
    QDialog::accept();
}
