#include "app/dialogs/DlgLoadData.h"

#include "app/dialogs/DialogButtons.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>

#include "app/dialogs/FileChooser.h"

CDlgLoadData::CDlgLoadData(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Open File(s)");

    auto* grid = new QGridLayout;
    for (int i = 0; i < kEntries; ++i) {
        const int entry = i + 1;
        auto* label = new QLabel(QString("File %1").arg(entry), this);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("pathEdit%1").arg(entry));
        // A path typed or pasted here counts as one chosen with "Load...".
        edit->setMinimumWidth(360);
        label->setBuddy(edit);
        auto* load = new QPushButton("Load...", this);
        load->setObjectName(QString("loadButton%1").arg(entry));
        auto* clear = new QPushButton("Clear", this);
        clear->setObjectName(QString("clearButton%1").arg(entry));
        connect(load, &QPushButton::clicked, this, [this, entry] { OnLoad(entry); });
        connect(clear, &QPushButton::clicked, this, [this, entry] { OnClear(entry); });
        grid->addWidget(label, i, 0);
        grid->addWidget(edit, i, 1);
        grid->addWidget(load, i, 2);
        grid->addWidget(clear, i, 3);
        pathEdits[i] = edit;
        loadButtons[i] = load;
        clearButtons[i] = clear;
    }
    grid->setColumnStretch(1, 1);

    CDialogButtons::Create(this, okButton, cancelButton);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    QWidget* previous = nullptr;
    for (int i = 0; i < kEntries; ++i)
        for (QWidget* w :
             {static_cast<QWidget*>(pathEdits[i]), static_cast<QWidget*>(loadButtons[i]),
              static_cast<QWidget*>(clearButtons[i])}) {
            if (previous)
                setTabOrder(previous, w);
            previous = w;
        }
    setTabOrder(previous, okButton);
    setTabOrder(okButton, cancelButton);
}

void CDlgLoadData::showEvent(QShowEvent* event)
{
    ShowPaths();
    QDialog::showEvent(event);
}

void CDlgLoadData::ShowPaths()
{
    for (int i = 0; i < kEntries; ++i) {
        pathEdits[i]->setText(QString::fromStdString(paths[i]));
        pathEdits[i]->setToolTip(pathEdits[i]->text());
        pathEdits[i]->setCursorPosition(0);
    }
}

void CDlgLoadData::ReadTypedPaths()
{
    for (int i = 0; i < kEntries; ++i) {
        QString typed = pathEdits[i]->text().trimmed();
        if (typed.toStdString() == paths[i])
            continue;  // as shown: the chooser's path and name stay
        if (typed.startsWith("file://"))
            typed = QUrl(typed).toLocalFile();
        else if (typed == "~" || typed.startsWith("~/"))
            typed = QDir::homePath() + typed.mid(1);
        if (typed.isEmpty()) {
            paths[i].clear();
            names[i].clear();
            continue;
        }
        // Stored absolute, as the chooser gives it, so the settings find it from anywhere.
        const QFileInfo info(typed);
        paths[i] = QDir::cleanPath(info.absoluteFilePath()).toStdString();
        names[i] = info.fileName().toStdString();
    }
}

void CDlgLoadData::accept()
{
    ReadTypedPaths();
    QDialog::accept();
}

void CDlgLoadData::OnLoad(int entry)
{
    if (entry < 1 || entry > kEntries)
        return;
    ReadTypedPaths();  // what was typed into the other entries stays
    const std::string path = GetFileChooser().OpenFile(this, TouchstoneFilter(), "s2p");
    if (!path.empty()) {
        paths[entry - 1] = path;
        names[entry - 1] = std::filesystem::path(path).filename().string();
    }
    ShowPaths();
}

void CDlgLoadData::OnClear(int entry)
{
    if (entry < 1 || entry > kEntries)
        return;
    ReadTypedPaths();
    paths[entry - 1].clear();
    names[entry - 1].clear();
    ShowPaths();
}
