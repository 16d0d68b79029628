#include "app/dialogs/DlgOpenFile.h"

#include "app/dialogs/FileChooser.h"
#include "app/TorvexSession.h"

#include <QDir>
#include <QFileInfo>

std::function<int(CDlgOpenFile&)> CDlgOpenFile::runHook;

CDlgOpenFile::CDlgOpenFile(bool openDialog, const QString& defaultExtension,
                           const QString& initialName, const std::string& filter, QWidget* parent)
    : QFileDialog(parent)
{
    setObjectName("openFileDialog");
    // Only Qt's own dialog tells about every selection change, which the preview needs.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(openDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setFileMode(openDialog ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setDefaultSuffix(defaultExtension);
    remembersFilter = filter == TouchstoneFilter();
    // The Touchstone patterns are too many to show; their descriptions name the kinds.
    setOption(QFileDialog::HideNameFilterDetails, remembersFilter);
    const QStringList filters = QtNameFilters(filter);
    if (!filters.isEmpty())
        setNameFilters(filters);
    if (remembersFilter) {
        for (const QString& each : filters) {
            if (QtFilterDescription(each.toStdString()) == TouchstoneFilterChoice())
                selectNameFilter(each);
        }
    }
    // Files made on other systems often carry upper-case names (FILTER.S2P).
    setFilter(this->filter() & ~QDir::CaseSensitive);
    if (!initialName.isEmpty())
        selectFile(initialName);
    connect(this, &QFileDialog::currentChanged, this, &CDlgOpenFile::OnCurrentChanged);
}

QStringList CDlgOpenFile::QtNameFilters(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.isEmpty())
            break;  // the "||" that ends the list
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(';')) {
            if (!pattern.trimmed().isEmpty())
                patterns << pattern.trimmed();
        }
        // Qt reads the patterns from the parentheses at the end, separated by blanks.
        const int open = description.lastIndexOf('(');
        if (open > 0 && description.endsWith(')'))
            description = description.left(open).trimmed();
        result << description + " (" + patterns.join(' ') + ")";
    }
    return result;
}

int CDlgOpenFile::Run()
{
    const int result = runHook ? runHook(*this) : exec();
    if (result == QDialog::Accepted && remembersFilter)
        SetTouchstoneFilterChoice(QtFilterDescription(selectedNameFilter().toStdString()));
    return result;
}

std::string CDlgOpenFile::ChosenPath() const
{
    const QStringList files = selectedFiles();
    return files.isEmpty() ? std::string() : files.first().toStdString();
}

std::string CDlgOpenFile::ChosenName() const
{
    return QFileInfo(QString::fromStdString(ChosenPath())).fileName().toStdString();
}

void CDlgOpenFile::OnCurrentChanged(const QString& path)
{
    // Stepping onto a folder is browsing, not a choice of data.
    const QFileInfo info(path);
    if (!owner || !info.isFile())
        return;
    owner->OpenSingleFile(info.fileName().toStdString(), info.absoluteFilePath().toStdString());
    previewLoaded = true;
}
