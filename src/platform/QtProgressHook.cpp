#include "platform/QtProgressHook.h"

#include <QApplication>
#include <QFileInfo>
#include <QProgressDialog>

CQtProgressHook::CQtProgressHook() = default;
CQtProgressHook::~CQtProgressHook() = default;

void CQtProgressHook::Begin(const std::string& label)
{
    text = "Reading " + QFileInfo(QString::fromStdString(label)).fileName() + "...";
    clock.start();
}

bool CQtProgressHook::Advance(std::uintmax_t done, std::uintmax_t total)
{
    if (!dialog && clock.isValid() && clock.elapsed() >= SHOW_AFTER_MS) {
        dialog = std::make_unique<QProgressDialog>(text, "Cancel", 0, 1000, parent.data());
        dialog->setWindowTitle("Torvex");
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setMinimumDuration(0);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->show();
    }
    if (!dialog)
        return true;
    const double part = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0.0;
    // A window-modal dialog takes the events while it is set, Cancel among them.
    dialog->setValue(static_cast<int>(std::min(part, 1.0) * 1000.0));
    QApplication::processEvents();
    return !dialog->wasCanceled();
}

void CQtProgressHook::End()
{
    dialog.reset();
    clock.invalidate();
}
