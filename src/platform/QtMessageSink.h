// Message boxes of the window: a modal QMessageBox titled "Torvex" with an OK button.
#pragma once

#include "platform/MessageBox.h"

#include <QPointer>
#include <QWidget>

class CQtMessageSink : public CMessageSink {
public:
    explicit CQtMessageSink(QWidget* parent = nullptr);

    // The window the boxes are modal to (nullptr: application modal, no parent).
    void SetParent(QWidget* parent);
    QWidget* GetParent() const { return parent; }

    void Show(const std::string& text, MessageIcon icon) override;

private:
    QPointer<QWidget> parent;  // the window may go before the sink
};
