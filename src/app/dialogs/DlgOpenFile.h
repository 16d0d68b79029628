// The file chooser of "Open File" and of the "Load..." buttons: Qt's own (non-native)
// file dialog, which reports every change of the selection. Given an owner, each file
// the user selects is loaded into it at once, so the chart follows the selection.
#pragma once

#include <functional>
#include <QFileDialog>
#include <QStringList>
#include <string>

class CTorvexSession;

class CDlgOpenFile : public QFileDialog {
    Q_OBJECT

public:
    // openDialog: choose an existing file to open (else a file name to save under).
    // filter: "description|pattern; pattern|...||" pairs; with TouchstoneFilter() the
    // dialog starts with the filter chosen last and, on OK, remembers the one in use.
    CDlgOpenFile(bool openDialog, const QString& defaultExtension, const QString& initialName,
                 const std::string& filter, QWidget* parent);

    // "description|patterns||" pairs turned into Qt's "description (patterns)" entries.
    static QStringList QtNameFilters(const std::string& filter);

    // Runs the dialog modally; returns QDialog::Accepted or Rejected. Tests replace the
    // modal loop through runHook, which drives the dialog and gives the result.
    int Run();
    static std::function<int(CDlgOpenFile&)> runHook;

    // The confirmed file: its full path and its name without folder (empty when none).
    std::string ChosenPath() const;
    std::string ChosenName() const;

    CTorvexSession* owner = nullptr;  // not owned; nullptr: no loading while browsing
    bool previewLoaded = false;       // a file was loaded into owner while browsing

private:
    void OnCurrentChanged(const QString& path);

    bool remembersFilter = false;
};
