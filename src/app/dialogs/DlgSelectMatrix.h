// "Torvex - Select Data to View" for files the 16-column grid cannot show: more than four
// ports, or mixed-mode data. One tab per display format holds the file's N x N matrix as
// check boxes (a table, so that 32 ports scroll instead of filling the screen), with the
// presets' meanings generalised: every reflection, the transmissions from port 1.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/ValueFormatPair.h"

class QPushButton;
class QTabWidget;
class QTableWidget;

class CDlgSelectMatrix : public QDialog {
    Q_OBJECT

public:
    struct Format {
        int code;              // valueFormat
        std::string label;     // tab caption: "Log-Mag", "Phase", ...
        bool reflectionsOnly;  // only the diagonal can show it
    };

    // codes: the matrix's value codes row by row (n x n); names: their element names.
    CDlgSelectMatrix(int n, std::vector<int> codes, std::vector<std::string> names,
                     std::vector<Format> formats, QWidget* parent = nullptr);

    // In: the current view selection; out after OK: the new one, by format, then row by
    // row (pairs the matrix cannot show are dropped).
    ViewSelection selection;

    // Shows the selection in the boxes; runs when first shown, tests may call it earlier.
    void InitDialog();
    QTableWidget* Table(int formatIndex) const
    {
        return tables[static_cast<std::size_t>(formatIndex)];
    }

public slots:
    void accept() override;
    void OnClearAll();
    void OnAllReflections();
    void OnTransmissionsFromPortOne();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetBox(std::size_t format, int row, int col, bool on);
    bool AnyChecked() const;

    int n;
    std::vector<int> codes;
    std::vector<std::string> names;
    std::vector<Format> formats;
    std::vector<QTableWidget*> tables;
    QTabWidget* tabs = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    bool initialized = false;
};
