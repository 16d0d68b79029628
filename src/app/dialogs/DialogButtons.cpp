#include "app/dialogs/DialogButtons.h"

#include <QDialog>
#include <QPushButton>

void CDialogButtons::Create(QDialog* dialog, QPushButton*& okButton, QPushButton*& cancelButton)
{
    okButton = new QPushButton("OK", dialog);
    okButton->setObjectName("okButton");
    okButton->setDefault(true);
    cancelButton = new QPushButton("Cancel", dialog);
    cancelButton->setObjectName("cancelButton");
    QObject::connect(okButton, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
}
