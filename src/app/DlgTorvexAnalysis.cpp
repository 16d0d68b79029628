// The window's commands for analyses over whole files: each runs its dialog and leaves the
// work to the session.
#include "app/DlgTorvex.h"

#include "app/dialogs/DlgDataQuality.h"

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
