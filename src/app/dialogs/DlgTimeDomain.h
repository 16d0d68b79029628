// "Time domain": the response each element of the view shows over time (impulse, step,
// band-pass, impedance), the window, the shown range or a distance axis, and the gate that
// the frequency items pass through. OK hands back the settings and the view to show.
#pragma once

#include <QDialog>

#include <vector>

#include "app/ValueFormatPair.h"
#include "rf/TimeTrace.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;

class CDlgTimeDomain : public QDialog {
    Q_OBJECT

public:
    // view: the items shown now; their elements get a row each.
    CDlgTimeDomain(const ViewSelection& view, const TimeDomainSettings& settings,
                   QWidget* parent = nullptr);

    // After OK: the settings, and the view (the elements' time formats, or with "Show the
    // time domain" cleared the frequency items they came from).
    TimeDomainSettings Settings() const;
    ViewSelection View() const;

    QCheckBox* showTime = nullptr;
    std::vector<QComboBox*> modes;  // one per element, in row order
    QComboBox* windowChoice = nullptr;
    QDoubleSpinBox* beta = nullptr;
    QCheckBox* rangeOn = nullptr;
    QDoubleSpinBox* rangeFrom = nullptr;
    QDoubleSpinBox* rangeTo = nullptr;
    QCheckBox* distanceOn = nullptr;
    QDoubleSpinBox* velocityFactor = nullptr;
    QCheckBox* gateOn = nullptr;
    QDoubleSpinBox* gateFrom = nullptr;
    QDoubleSpinBox* gateTo = nullptr;
    QComboBox* gateShape = nullptr;
    QCheckBox* notch = nullptr;
    QPushButton* okButton = nullptr;

private:
    void UpdateControls();

    std::vector<int> codes;       // the elements of the rows
    ViewSelection frequencyView;  // what a view without time shows
};
