#include "app/dialogs/DlgSaveTouchstone.h"

#include "data/Complex.h"
#include "data/S2pData.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

CDlgSaveTouchstone::CDlgSaveTouchstone(const std::vector<std::pair<int, std::string>>& files,
                                       QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle("Save as Touchstone");
    auto* form = new QFormLayout;
    const auto combo = [&](const char* name, const char* caption,
                           const std::vector<std::pair<QString, int>>& items) {
        auto* box = new QComboBox(this);
        box->setObjectName(name);
        for (const auto& [text, value] : items)
            box->addItem(text, value);
        form->addRow(caption, box);
        return box;
    };
    std::vector<std::pair<QString, int>> entries;
    for (const auto& [slot, name] : files)
        entries.emplace_back(QString("(%1) %2").arg(slot).arg(QString::fromStdString(name)), slot);
    source = combo("source", "File:", entries);
    version = combo("version", "Version:", {{"Touchstone 1 (.sNp)", 1}, {"Touchstone 2 (.ts)", 2}});
    format = combo("format", "Numbers:",
                   {{"As the file has them", -1},
                    {"Real and imaginary (RI)", RI},
                    {"Magnitude and angle (MA)", MA},
                    {"dB and angle (DB)", DB}});
    unit = combo("unit", "Frequencies in:",
                 {{"The file's unit", -1},
                  {"Hz", CS2pData::HZ},
                  {"kHz", CS2pData::KHZ},
                  {"MHz", CS2pData::MHZ},
                  {"GHz", CS2pData::GHZ}});
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton = buttons->button(QDialogButtonBox::Ok);
    okButton->setObjectName("okButton");
    okButton->setText("Save...");
    okButton->setEnabled(!files.empty());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

int CDlgSaveTouchstone::Source() const
{
    return source->currentData().toInt();
}

TouchstoneWriter::Options CDlgSaveTouchstone::Options() const
{
    TouchstoneWriter::Options options;
    options.version = version->currentData().toInt();
    options.format = format->currentData().toInt();
    options.unit = unit->currentData().toInt();
    return options;
}
