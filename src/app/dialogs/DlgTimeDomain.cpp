#include "app/dialogs/DlgTimeDomain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The time formats in the order of the mode lists.
constexpr int kModes[] = {ValueFormat::IMPULSE, ValueFormat::STEP, ValueFormat::BANDPASS,
                          ValueFormat::TDR};
const char* const kModeNames[] = {"Impulse", "Step", "Band-pass", "Impedance (TDR)"};
// The window list: presets, then the shapes; the last takes a free beta.
const char* const kWindowNames[] = {
    "Minimum (Kaiser 0)", "Normal (Kaiser 6)", "Maximum (Kaiser 13)", "Rectangular", "Hann",
    "Kaiser, beta:"};
const char* const kShapeNames[] = {"Minimum edges", "Normal edges", "Wide edges", "Maximum edges"};

QDoubleSpinBox* NumberBox(QWidget* parent, const char* name, double lo, double hi, double value,
                          const char* suffix)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setDecimals(4);
    box->setRange(lo, hi);
    box->setValue(value);
    box->setSuffix(suffix);
    box->setLocale(QLocale::c());  // a decimal point whatever the desktop's language
    return box;
}

int WindowIndex(const TimeWindow& w)
{
    if (w.kind == TimeWindow::Kind::RECT)
        return 3;
    if (w.kind == TimeWindow::Kind::HANN)
        return 4;
    if (w.beta == 0.0)
        return 0;
    if (w.beta == 6.0)
        return 1;
    return w.beta == 13.0 ? 2 : 5;
}

}  // namespace

CDlgTimeDomain::CDlgTimeDomain(const ViewSelection& view, const TimeDomainSettings& settings,
                               QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle("Time domain");
    const bool timeNow = !view.empty()
        && std::all_of(view.begin(), view.end(),
                       [](const ValueFormatPair& p) { return ValueFormat::IsTime(p.valueFormat); });

    showTime = new QCheckBox("Show the time domain", this);
    showTime->setObjectName("showTime");
    showTime->setChecked(true);

    // One row per element of the view, with the mode it has, or a fitting one.
    auto* items = new QGroupBox("Items", this);
    auto* itemGrid = new QGridLayout(items);
    for (const ValueFormatPair& pair : view) {
        if (std::find(codes.begin(), codes.end(), pair.value) != codes.end()
            || !ValueCode::IsElement(pair.value))
            continue;
        codes.push_back(pair.value);
        if (!ValueFormat::IsTime(pair.valueFormat))
            frequencyView.push_back(pair);
        const int row = static_cast<int>(modes.size());
        auto* mode = new QComboBox(items);
        mode->setObjectName(QString("mode_%1").arg(row));
        const bool reflection = ValueCode::IsReflection(pair.value);
        for (int m = 0; m < 4; ++m)
            if (kModes[m] != ValueFormat::TDR || reflection)
                mode->addItem(kModeNames[m], kModes[m]);
        const int wanted =
            timeNow ? pair.valueFormat : (reflection ? ValueFormat::TDR : ValueFormat::IMPULSE);
        mode->setCurrentIndex(std::max(0, mode->findData(wanted)));
        itemGrid->addWidget(new QLabel(QString::fromStdString(ValueCode::Name(pair.value)), items),
                            row, 0);
        itemGrid->addWidget(mode, row, 1);
        modes.push_back(mode);
    }
    if (frequencyView.empty())
        for (int code : codes)
            frequencyView.emplace_back(code, ValueFormat::DB);

    auto* shown = new QGroupBox("Window and axis", this);
    auto* form = new QFormLayout(shown);
    windowChoice = new QComboBox(shown);
    windowChoice->setObjectName("windowChoice");
    for (const char* name : kWindowNames)
        windowChoice->addItem(name);
    windowChoice->setCurrentIndex(WindowIndex(settings.window));
    beta = NumberBox(shown, "beta", 0.0, 100.0,
                     settings.window.kind == TimeWindow::Kind::KAISER ? settings.window.beta : 6.0,
                     "");
    auto* windowRow = new QHBoxLayout;
    windowRow->addWidget(windowChoice);
    windowRow->addWidget(beta);
    form->addRow("Window:", windowRow);
    rangeOn = new QCheckBox("Show from", shown);
    rangeOn->setObjectName("rangeOn");
    rangeOn->setChecked(settings.range.has_value());
    rangeFrom = NumberBox(shown, "rangeFrom", -1e6, 1e6,
                          settings.range ? settings.range->fromNs : 0.0, " ns");
    rangeTo =
        NumberBox(shown, "rangeTo", -1e6, 1e6, settings.range ? settings.range->toNs : 10.0, " ns");
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(rangeOn);
    rangeRow->addWidget(rangeFrom);
    rangeRow->addWidget(new QLabel("to", shown));
    rangeRow->addWidget(rangeTo);
    form->addRow("Times:", rangeRow);
    distanceOn = new QCheckBox("Distance in metres, velocity factor", shown);
    distanceOn->setObjectName("distanceOn");
    distanceOn->setChecked(settings.velocityFactor.has_value());
    velocityFactor =
        NumberBox(shown, "velocityFactor", 0.01, 1.0, settings.velocityFactor.value_or(1.0), "");
    auto* distanceRow = new QHBoxLayout;
    distanceRow->addWidget(distanceOn);
    distanceRow->addWidget(velocityFactor);
    form->addRow("Axis:", distanceRow);

    auto* gate = new QGroupBox("Gate of the frequency items", this);
    auto* gateForm = new QFormLayout(gate);
    gateOn = new QCheckBox("Gate from", gate);
    gateOn->setObjectName("gateOn");
    gateOn->setChecked(settings.gateOn);
    gateFrom = NumberBox(gate, "gateFrom", -1e6, 1e6, settings.gate.startNs, " ns");
    gateTo = NumberBox(gate, "gateTo", -1e6, 1e6, settings.gate.stopNs, " ns");
    auto* gateRow = new QHBoxLayout;
    gateRow->addWidget(gateOn);
    gateRow->addWidget(gateFrom);
    gateRow->addWidget(new QLabel("to", gate));
    gateRow->addWidget(gateTo);
    gateForm->addRow(gateRow);
    gateShape = new QComboBox(gate);
    gateShape->setObjectName("gateShape");
    for (const char* name : kShapeNames)
        gateShape->addItem(name);
    gateShape->setCurrentIndex(static_cast<int>(settings.gate.shape));
    notch = new QCheckBox("Notch: remove the span instead", gate);
    notch->setObjectName("notch");
    notch->setChecked(settings.gate.notch);
    auto* shapeRow = new QHBoxLayout;
    shapeRow->addWidget(gateShape);
    shapeRow->addWidget(notch);
    gateForm->addRow(shapeRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton = buttons->button(QDialogButtonBox::Ok);
    okButton->setObjectName("okButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(showTime);
    layout->addWidget(items);
    layout->addWidget(shown);
    layout->addWidget(gate);
    layout->addWidget(buttons);

    for (QCheckBox* box : {showTime, rangeOn, distanceOn, gateOn})
        connect(box, &QCheckBox::toggled, this, [this] { UpdateControls(); });
    for (QDoubleSpinBox* box : {rangeFrom, rangeTo, gateFrom, gateTo})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { UpdateControls(); });
    connect(windowChoice, &QComboBox::currentIndexChanged, this, [this] { UpdateControls(); });
    items->setEnabled(!codes.empty());
    UpdateControls();
}

void CDlgTimeDomain::UpdateControls()
{
    const bool time = showTime->isChecked();
    for (QComboBox* mode : modes)
        mode->setEnabled(time);
    beta->setEnabled(windowChoice->currentIndex() == 5);
    rangeFrom->setEnabled(rangeOn->isChecked());
    rangeTo->setEnabled(rangeOn->isChecked());
    velocityFactor->setEnabled(distanceOn->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{gateFrom, gateTo, gateShape, notch})
        w->setEnabled(gateOn->isChecked());
    // A span must run forward, and a time view needs an element to show.
    const bool rangeOk = !rangeOn->isChecked() || rangeFrom->value() < rangeTo->value();
    const bool gateOk = !gateOn->isChecked() || gateFrom->value() < gateTo->value();
    okButton->setEnabled(rangeOk && gateOk && (!time || !codes.empty()));
}

TimeDomainSettings CDlgTimeDomain::Settings() const
{
    TimeDomainSettings s;
    switch (windowChoice->currentIndex()) {
    case 0: s.window = {TimeWindow::Kind::KAISER, 0.0}; break;
    case 1: s.window = {TimeWindow::Kind::KAISER, 6.0}; break;
    case 2: s.window = {TimeWindow::Kind::KAISER, 13.0}; break;
    case 3: s.window = {TimeWindow::Kind::RECT, 0.0}; break;
    case 4: s.window = {TimeWindow::Kind::HANN, 0.0}; break;
    default: s.window = {TimeWindow::Kind::KAISER, beta->value()}; break;
    }
    if (rangeOn->isChecked())
        s.range = TimeTraceOptions::Range{rangeFrom->value(), rangeTo->value()};
    if (distanceOn->isChecked())
        s.velocityFactor = velocityFactor->value();
    s.gateOn = gateOn->isChecked();
    s.gate.startNs = gateFrom->value();
    s.gate.stopNs = gateTo->value();
    s.gate.shape = static_cast<TimeGate::Shape>(gateShape->currentIndex());
    s.gate.notch = notch->isChecked();
    return s;
}

ViewSelection CDlgTimeDomain::View() const
{
    if (!showTime->isChecked())
        return frequencyView;
    ViewSelection view;
    for (std::size_t i = 0; i < codes.size(); ++i)
        view.emplace_back(codes[i], modes[i]->currentData().toInt());
    return view;
}
