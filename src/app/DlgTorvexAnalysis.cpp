// The window's commands for analyses over whole files: each runs its dialog and leaves the
// work to the session.
#include "app/DlgTorvex.h"

#include "platform/MessageBox.h"

#include "app/dialogs/DlgDataQuality.h"
#include "app/dialogs/DlgNetworkOperations.h"
#include "app/dialogs/DlgSaveTouchstone.h"
#include "app/dialogs/DlgTimeDomain.h"
#include "app/dialogs/FileChooser.h"
#include "data/LineFile.h"

#include <filesystem>

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

namespace {

// The loaded slots as the dialogs list them.
std::vector<std::pair<int, std::string>> LoadedFiles(const CTorvexSession& session)
{
    std::vector<std::pair<int, std::string>> files;
    for (int n = 1; n <= CTorvexSession::SLOT_COUNT; ++n)
        if (session.Slot(n).loaded)
            files.emplace_back(n, session.SlotTitle(n));
    return files;
}

}  // namespace

void CDlgTorvex::OnNetworkOperations()
{
    if (!session.dataLoaded)
        return;
    CDlgNetworkOperations dialog(LoadedFiles(session), this);
    dialog.onApply = [this, &dialog](std::string& why) {
        const auto operations = dialog.Operations(&why);
        if (operations && session.AddDerivedSlot(dialog.Source(), operations, why))
            return true;
        why = "The operations cannot be applied: " + why;
        return false;
    };
    runDialog(dialog);
}

void CDlgTorvex::OnSaveTouchstone()
{
    if (!session.dataLoaded)
        return;
    CDlgSaveTouchstone dialog(LoadedFiles(session), this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    const int n = dialog.Source();
    const TouchstoneWriter::Options options = dialog.Options();
    const int ports = session.Slot(n).PortCount();
    const std::string suffix = options.version == 2 ? "ts" : "s" + std::to_string(ports) + "p";
    const std::string filter = options.version == 2
        ? "Touchstone 2 files (*.ts)|*.ts||"
        : "Touchstone 1 files (*." + suffix + ")|*." + suffix + "||";
    // Proposed: the slot's file under the new suffix, in its folder.
    const std::filesystem::path from(session.Slot(n).fileName);
    const std::string suggestion = (from.parent_path() / from.stem()).string() + "." + suffix;
    const std::string path = GetFileChooser().SaveFile(this, filter, suffix, suggestion);
    if (path.empty())
        return;
    std::string why;
    const int rc = session.SaveSlot(n, path, options, why);
    if (rc == TouchstoneWriter::REFUSED)
        ShowMessageBox("The file cannot be saved: " + why, MessageIcon::Error);
    // A failed write has shown its own message.
}
