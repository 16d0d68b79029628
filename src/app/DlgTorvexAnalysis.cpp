// The window's commands for analyses over whole files: each runs its dialog and leaves the
// work to the session.
#include "app/DlgTorvex.h"

#include "platform/MessageBox.h"

#include "app/dialogs/DlgDataQuality.h"
#include "app/dialogs/DlgTimeDomain.h"

void CDlgTorvex::OnDataQuality()
{
    if (!session.dataLoaded)
        return;
    CDlgDataQuality dialog(session.QualityOfSlots(),
                           QString::fromStdString(FreqUnitLabel(session.Slot(1).freqUnit)), this);
    dialog.onAddTrace = [this](int code) {
        session.AddViewItem(ValueFormatPair(code, ValueFormat::LIN_MAG));
    };
    runDialog(dialog);
}

void CDlgTorvex::OnTimeDomain()
{
    if (!session.dataLoaded)
        return;
    CDlgTimeDomain dialog(session.ShownSelection(), session.timeDomain, this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    session.ApplyTimeDomain(dialog.Settings(), dialog.View());
    ShowBuildProblems();
}

void CDlgTorvex::ShowBuildProblems()
{
    if (session.buildProblems.empty())
        return;
    std::string text = "Some traces cannot be shown:";
    for (const std::string& problem : session.buildProblems)
        text += "\n" + problem;
    ShowMessageBox(text, MessageIcon::Warning);
}
