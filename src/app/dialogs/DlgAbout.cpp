#include "app/dialogs/DlgAbout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>

#include "app/dialogs/Hyperlink.h"

const char* const CDlgAbout::kMakerName = "Torvex Project";
const char* const CDlgAbout::kMakerAddress = "1 Example Street, 12345 Example Town";
const char* const CDlgAbout::kWebAddress = "https://torvex.example.org";
const char* const CDlgAbout::kMailAddress = "support@torvex.example.org";

CDlgAbout::CDlgAbout(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("About Torvex");

    auto* name = new QLabel(QString("Torvex %1").arg(TORVEX_VERSION), this);
    name->setObjectName("nameLabel");
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    name->setAlignment(Qt::AlignHCenter);

    auto* purpose = new QLabel(
        "Plots Touchstone network-parameter files of 1 to 99 ports\n"
        "(.s1p to .s99p, .out, and version 2 files such as .ts):\n"
        "dB, phase, group delay, linear magnitude, real and imaginary part,\n"
        "VSWR and the port impedance R, X, |Z| against frequency,\n"
        "on Smith and polar charts, and mixed-mode parameters.",
        this);
    purpose->setObjectName("purposeLabel");
    purpose->setAlignment(Qt::AlignHCenter);

    // The licence FFTW's licence asks of a program that links it.
    auto* licence = new QLabel("SPDX-License-Identifier: GPL-3.0-or-later", this);
    licence->setObjectName("licenceLabel");
    licence->setAlignment(Qt::AlignHCenter);

    auto* maker = new QLabel(QString("%1\n%2").arg(kMakerName, kMakerAddress), this);
    maker->setObjectName("makerLabel");
    maker->setAlignment(Qt::AlignHCenter);

    webLink = new CHyperlink(this);
    webLink->setObjectName("webLink");
    webLink->SetUrl(kWebAddress);
    webLink->SetText(kWebAddress);
    mailLink = new CHyperlink(this);
    mailLink->setObjectName("mailLink");
    mailLink->SetUrl(std::string("mailto:") + kMailAddress);
    mailLink->SetText(kMailAddress);

    okButton = new QPushButton("OK", this);
    okButton->setObjectName("okButton");
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &CDlgAbout::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    layout->addWidget(name);
    layout->addWidget(purpose);
    layout->addWidget(licence);
    layout->addSpacing(8);
    layout->addWidget(maker);
    // Each link is only as wide as its text, so that the clickable area is the text.
    layout->addWidget(webLink, 0, Qt::AlignHCenter);
    layout->addWidget(mailLink, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
