// The file-open and file-save choosers of the dialogs. Filters come in the program's
// "description|patterns||" form; the answer is the chosen full path, or empty on Cancel.
// The virtual operations show Qt's file dialog; tests install a fake through
// SetFileChooser so that no chooser ever waits for a user.
#pragma once

#include <string>

class QWidget;

class CFileChooser {
public:
    CFileChooser() = default;
    CFileChooser(const CFileChooser&) = delete;
    CFileChooser& operator=(const CFileChooser&) = delete;
    virtual ~CFileChooser() = default;

    // An existing file to read.
    virtual std::string OpenFile(QWidget* parent, const std::string& filter,
                                 const std::string& defaultSuffix);
    // A file to write. Without a suggested path an existing file is overwritten without
    // asking; a suggested one (its folder and name proposed) may name an existing file, the
    // source itself, so the chooser then asks first.
    virtual std::string SaveFile(QWidget* parent, const std::string& filter,
                                 const std::string& defaultSuffix,
                                 const std::string& suggestedPath = std::string());
};

// The chooser in use (a Qt one unless another was installed).
CFileChooser& GetFileChooser();
// Installs chooser (nullptr restores the Qt one); returns the previous one, or nullptr
// when the Qt one was in use.
CFileChooser* SetFileChooser(CFileChooser* chooser);

// The filter of the choosers of data files: first every kind of file the program reads
// (.s1p to .s99p, .ts and .out, in any letter case), then the 2- to 4-port kinds alone.
// Each port count is its own pattern: "*.s?p" would also offer "a.sxp".
const std::string& TouchstoneFilter();
// The description of the Touchstone filter chosen last ("" for the first one); the
// choosers start with it, and the settings file keeps it from one run to the next.
const std::string& TouchstoneFilterChoice();
void SetTouchstoneFilterChoice(const std::string& description);
// The description of a Qt filter "Text files (*.txt)": "Text files".
std::string QtFilterDescription(const std::string& qtFilter);

// Turns "Marker files (*.txt)|*.txt||" into Qt's "Marker files (*.txt *.TXT)"; several
// pairs become filters separated by ";;". Qt matches patterns by case on most systems,
// so every pattern is given in upper case too.
std::string QtFileFilter(const std::string& filter);
