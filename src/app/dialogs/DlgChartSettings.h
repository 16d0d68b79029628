// "Torvex - Settings": chart title, grid divisions, the range and title of each axis and
// the two scale-persistence flags. The values are copied at construction and written
// back only when OK passes every validation.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

class CChartGraph;
class QCheckBox;
class QLineEdit;
class QPushButton;

class CDlgChartSettings : public QDialog {
    Q_OBJECT

public:
    CDlgChartSettings(CChartGraph& editedGraph, QWidget* parent = nullptr);

    static constexpr int kMinDivisions = 1;
    static constexpr int kMaxDivisions = 11;
    static constexpr double kLimit = 1e9;  // axis limits lie within -kLimit..kLimit
    static constexpr int kMaxTitleLength = 100;

    CChartGraph& graph;
    std::int32_t yMajor, yMinor, xMajor, xMinor;
    double xMin, xMax;
    double leftMin, leftMax;    // 0..1 when the left axis is hidden
    double rightMin, rightMax;  // 0..1 when the right axis is hidden
    std::string chartTitle, xTitle, leftTitle, rightTitle;

public slots:
    void accept() override;

private:
    // Reads every control into the fields with the validations; on a failure shows the
    // message, selects the failing edit and returns false.
    bool ExchangeFromControls();
    bool ReadInt(QLineEdit* edit, std::int32_t& value, std::int32_t shown);
    bool ReadDouble(QLineEdit* edit, double& value);
    bool ReadText(QLineEdit* edit, std::string& value);
    void Fail(QLineEdit* edit, const std::string& message, bool rangeCheck);

    QLineEdit* titleEdit = nullptr;
    QLineEdit* yMajorEdit = nullptr;
    QLineEdit* yMinorEdit = nullptr;
    QLineEdit* xMajorEdit = nullptr;
    QLineEdit* xMinorEdit = nullptr;
    QLineEdit* xMinEdit = nullptr;
    QLineEdit* xMaxEdit = nullptr;
    QLineEdit* xTitleEdit = nullptr;
    QLineEdit* leftMinEdit = nullptr;
    QLineEdit* leftMaxEdit = nullptr;
    QLineEdit* leftTitleEdit = nullptr;
    QLineEdit* rightMinEdit = nullptr;
    QLineEdit* rightMaxEdit = nullptr;
    QLineEdit* rightTitleEdit = nullptr;
    QCheckBox* persistYCheck = nullptr;
    QCheckBox* persistXCheck = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
