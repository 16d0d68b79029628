#include "app/dialogs/FileChooser.h"

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <vector>

#include "data/LineFile.h"

namespace {

CFileChooser* installed = nullptr;
std::string touchstoneChoice;

std::vector<std::string> SplitAtBars(const std::string& filter)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const std::size_t bar = filter.find('|', start);
        if (bar == std::string::npos) {
            parts.push_back(filter.substr(start));
            break;
        }
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    return parts;
}

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string RunDialog(QWidget* parent, const std::string& filter, const std::string& defaultSuffix,
                      bool save, const std::string& suggestedPath = std::string())
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const bool touchstone = filter == TouchstoneFilter();
    // The Touchstone patterns are too many to show; their descriptions name the kinds.
    dialog.setOption(QFileDialog::HideNameFilterDetails, touchstone);
    const QStringList filters =
        QString::fromStdString(QtFileFilter(filter)).split(";;", Qt::SkipEmptyParts);
    dialog.setNameFilters(filters);
    if (touchstone) {
        for (const QString& each : filters) {
            if (QtFilterDescription(each.toStdString()) == touchstoneChoice)
                dialog.selectNameFilter(each);
        }
    }
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setDefaultSuffix(QString::fromStdString(defaultSuffix));
    // Overwriting a marker file is the intended use of "Save to File"; a proposed name is
    // confirmed before it replaces a file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, suggestedPath.empty());
    if (!suggestedPath.empty())
        dialog.selectFile(QString::fromStdString(suggestedPath));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (touchstone)
        touchstoneChoice = QtFilterDescription(dialog.selectedNameFilter().toStdString());
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace

std::string CFileChooser::OpenFile(QWidget* parent, const std::string& filter,
                                   const std::string& defaultSuffix)
{
    return RunDialog(parent, filter, defaultSuffix, false);
}

std::string CFileChooser::SaveFile(QWidget* parent, const std::string& filter,
                                   const std::string& defaultSuffix,
                                   const std::string& suggestedPath)
{
    return RunDialog(parent, filter, defaultSuffix, true, suggestedPath);
}

const std::string& TouchstoneFilter()
{
    static const std::string filter = [] {
        std::string patterns;
        for (int ports = 1; ports <= 99; ++ports)
            patterns += "*.s" + std::to_string(ports) + "p; ";
        return "Touchstone files: .s1p to .s99p, .ts, .out|" + patterns +
               "*.ts; *.out|2- to 4-port files: .s2p, .s3p, .s4p, .out|"
               "*.s2p; *.s3p; *.s4p; *.out|"
               // A file of any other name reads as a 2-port file (or by its keywords).
               "All files|*||";
    }();
    return filter;
}

const std::string& TouchstoneFilterChoice()
{
    return touchstoneChoice;
}

void SetTouchstoneFilterChoice(const std::string& description)
{
    touchstoneChoice = description;
}

std::string QtFilterDescription(const std::string& qtFilter)
{
    const std::size_t open = qtFilter.rfind('(');
    if (open == std::string::npos || qtFilter.empty() || qtFilter.back() != ')')
        return Trim(qtFilter);
    return Trim(qtFilter.substr(0, open));
}

CFileChooser& GetFileChooser()
{
    static CFileChooser qtChooser;
    return installed ? *installed : qtChooser;
}

CFileChooser* SetFileChooser(CFileChooser* chooser)
{
    CFileChooser* previous = installed;
    installed = chooser;
    return previous;
}

std::string QtFileFilter(const std::string& filter)
{
    const std::vector<std::string> parts = SplitAtBars(filter);
    std::string result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string description = Trim(parts[i]);
        if (description.empty())
            break;  // the "||" that ends the list
        // The description usually repeats the patterns in parentheses; Qt takes the
        // patterns from the last parentheses, so those are replaced by the full list.
        if (!description.empty() && description.back() == ')') {
            const std::size_t open = description.rfind('(');
            if (open != std::string::npos)
                description = Trim(description.substr(0, open));
        }
        std::vector<std::string> patterns;
        std::string rest = parts[i + 1];
        std::size_t start = 0;
        while (start < rest.size()) {
            std::size_t end = rest.find_first_of("; ", start);
            if (end == std::string::npos)
                end = rest.size();
            const std::string pattern = Trim(rest.substr(start, end - start));
            if (!pattern.empty()
                && std::find(patterns.begin(), patterns.end(), pattern) == patterns.end())
                patterns.push_back(pattern);
            start = end + 1;
        }
        const std::size_t lowerCount = patterns.size();
        for (std::size_t p = 0; p < lowerCount; ++p) {
            const std::string upper = Upper(patterns[p]);
            if (std::find(patterns.begin(), patterns.end(), upper) == patterns.end())
                patterns.push_back(upper);
        }
        if (!result.empty())
            result += ";;";
        result += description + " (";
        for (std::size_t p = 0; p < patterns.size(); ++p)
            result += (p ? " " : "") + patterns[p];
        result += ")";
    }
    return result;
}
