// The window's progress dialog: a read that takes longer than half a second shows how far
// it has come, with Cancel, over the window it belongs to.
#pragma once

#include "platform/Progress.h"

#include <memory>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

class QProgressDialog;

class CQtProgressHook : public CProgressHook {
public:
    CQtProgressHook();
    ~CQtProgressHook() override;
    CQtProgressHook(const CQtProgressHook&) = delete;
    CQtProgressHook& operator=(const CQtProgressHook&) = delete;

    void SetParent(QWidget* window) { parent = window; }

    void Begin(const std::string& label) override;
    bool Advance(std::uintmax_t done, std::uintmax_t total) override;
    void End() override;

    // The time after which a read shows the dialog.
    static constexpr int SHOW_AFTER_MS = 500;

private:
    QPointer<QWidget> parent;
    QString text;
    QElapsedTimer clock;
    std::unique_ptr<QProgressDialog> dialog;
};
