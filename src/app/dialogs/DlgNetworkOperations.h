// "Network operations": a loaded file, and what to do to it (de-embed fixtures, cascade a
// two-port, close ports with loads, put the ports in another order, new reference
// impedances), in that order. OK applies them (onApply); the result becomes a new slot.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/cli/NetworkOptions.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CDlgNetworkOperations : public QDialog {
    Q_OBJECT

public:
    // files: the loaded slots (number, name), in slot order.
    CDlgNetworkOperations(const std::vector<std::pair<int, std::string>>& files,
                          QWidget* parent = nullptr);

    // The slot chosen, and the operations its fields spell (null when a field is bad or all
    // are empty; problem then says why).
    int Source() const;
    std::shared_ptr<const CNetworkOptions> Operations(std::string* problem = nullptr) const;

    QComboBox* source = nullptr;
    QLineEdit* deembedLeft = nullptr;
    QLineEdit* deembedRight = nullptr;
    QLineEdit* cascade = nullptr;
    QLineEdit* terminate = nullptr;
    QLineEdit* reorder = nullptr;
    QLineEdit* renormalize = nullptr;
    QLabel* problemLabel = nullptr;
    QPushButton* okButton = nullptr;

    // Run by OK: true when the operations were applied; else why, and the dialog stays open
    // with the message shown.
    std::function<bool(std::string& why)> onApply;

private:
    void OnOk();
    void UpdateControls();
    // A line for a file with a "Browse..." button beside it.
    QLineEdit* FileRow(const char* name, QWidget* parent, class QFormLayout* form,
                       const char* caption);
};
