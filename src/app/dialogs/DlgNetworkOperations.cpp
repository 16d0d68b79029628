#include "app/dialogs/DlgNetworkOperations.h"

#include "app/dialogs/FileChooser.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <sstream>

CDlgNetworkOperations::CDlgNetworkOperations(const std::vector<std::pair<int, std::string>>& files,
                                             QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle("Network operations");
    auto* form = new QFormLayout;
    source = new QComboBox(this);
    source->setObjectName("source");
    for (const auto& [slot, name] : files)
        source->addItem(QString("(%1) %2").arg(slot).arg(QString::fromStdString(name)), slot);
    form->addRow("File:", source);

    deembedLeft = FileRow("deembedLeft", this, form, "De-embed fixture on port 1:");
    deembedRight = FileRow("deembedRight", this, form, "De-embed fixture on port 2:");
    cascade = FileRow("cascade", this, form, "Cascade after port 2:");
    const auto line = [&](const char* name, const char* caption, const char* hint) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setPlaceholderText(hint);
        form->addRow(caption, edit);
        connect(edit, &QLineEdit::textChanged, this, [this] { UpdateControls(); });
        return edit;
    };
    terminate = line("terminate", "Terminate ports:", "P=Z, e.g. 3=50,4=open");
    reorder = line("reorder", "Reorder ports:", "p1,p2,..., e.g. 2,1,4,3");
    renormalize = line("renormalize", "Reference impedances:", "Z or Z1,Z2,... ohm, e.g. 75");

    auto* note = new QLabel(
        "The operations are applied from top to bottom; the result is added as a new file.", this);
    note->setObjectName("orderNote");
    problemLabel = new QLabel(this);
    problemLabel->setObjectName("problemLabel");
    problemLabel->setStyleSheet("color: #b00000");
    problemLabel->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton = buttons->button(QDialogButtonBox::Ok);
    okButton->setObjectName("okButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgNetworkOperations::OnOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(problemLabel);
    layout->addWidget(buttons);
    setMinimumWidth(520);
    UpdateControls();
}

QLineEdit* CDlgNetworkOperations::FileRow(const char* name, QWidget* parent, QFormLayout* form,
                                          const char* caption)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setPlaceholderText("a 2-port file");
    auto* browse = new QPushButton("Browse...", parent);
    browse->setObjectName(QString(name) + "Browse");
    connect(browse, &QPushButton::clicked, this, [this, edit] {
        const std::string path = GetFileChooser().OpenFile(this, TouchstoneFilter(), "s2p");
        if (!path.empty())
            edit->setText(QString::fromStdString(path));
    });
    connect(edit, &QLineEdit::textChanged, this, [this] { UpdateControls(); });
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(browse);
    form->addRow(caption, row);
    return edit;
}

int CDlgNetworkOperations::Source() const
{
    return source->currentData().toInt();
}

std::shared_ptr<const CNetworkOptions> CDlgNetworkOperations::Operations(std::string* problem) const
{
    auto operations = std::make_shared<CNetworkOptions>();
    std::ostringstream err;
    const auto text = [](const QLineEdit* edit) { return edit->text().trimmed().toStdString(); };
    const std::string left = text(deembedLeft), right = text(deembedRight);
    bool ok = true;
    if (!left.empty() || !right.empty())
        ok = operations->Take("deembed", right.empty() ? left : left + "," + right, err,
                              CNetworkOptions::Wording::WINDOW);
    const std::pair<const char*, const QLineEdit*> rest[] = {{"cascade", cascade},
                                                             {"terminate", terminate},
                                                             {"reorder", reorder},
                                                             {"renormalize", renormalize}};
    for (const auto& [name, edit] : rest)
        if (ok && !text(edit).empty())
            ok = operations->Take(name, text(edit), err, CNetworkOptions::Wording::WINDOW);
    if (ok && operations->Empty()) {
        err << "torvex: fill in at least one operation\n";
        ok = false;
    }
    if (!ok) {
        if (problem) {
            std::string message = err.str();
            if (message.rfind("torvex: ", 0) == 0)
                message = message.substr(8);
            while (!message.empty() && message.back() == '\n')
                message.pop_back();
            *problem = message;
        }
        return nullptr;
    }
    return operations;
}

void CDlgNetworkOperations::OnOk()
{
    // The dialog closes only on success: after an error everything typed is still there to
    // be put right.
    std::string why;
    if (onApply && !onApply(why)) {
        problemLabel->setText(QString::fromStdString(why));
        ShowMessageBox(why, MessageIcon::Error);
        return;
    }
    accept();
}

void CDlgNetworkOperations::UpdateControls()
{
    std::string problem;
    const bool ok = Operations(&problem) != nullptr;
    problemLabel->setText(ok ? QString() : QString::fromStdString(problem));
    okButton->setEnabled(ok && source->count() > 0);
}
