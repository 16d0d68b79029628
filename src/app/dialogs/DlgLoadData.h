// "Open File(s)": five file entries, each filled through the file chooser or by typing a
// path, and emptied with "Clear". The caller pre-fills the entries and reads them back
// after OK.
#pragma once

#include <QDialog>

#include <array>
#include <string>

class QLineEdit;
class QPushButton;

class CDlgLoadData : public QDialog {
    Q_OBJECT

public:
    static constexpr int kEntries = 5;

    explicit CDlgLoadData(QWidget* parent = nullptr);

    // Entry k (1..5) is paths[k - 1] and names[k - 1]: full path and file name alone.
    std::array<std::string, kEntries> paths;
    std::array<std::string, kEntries> names;

    // Shows the five paths in the edits.
    void ShowPaths();
    // Takes what was typed into the edits: an edited entry gets the typed path (made
    // absolute; "~" is the home folder) and its file name; an emptied one is cleared.
    void ReadTypedPaths();

public slots:
    void accept() override;
    void OnLoad(int entry);   // 1..5
    void OnClear(int entry);  // 1..5

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::array<QLineEdit*, kEntries> pathEdits = {};
    std::array<QPushButton*, kEntries> loadButtons = {};
    std::array<QPushButton*, kEntries> clearButtons = {};
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
