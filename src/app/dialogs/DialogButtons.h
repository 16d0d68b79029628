// The OK and Cancel buttons every dialog ends with.
#pragma once

class QDialog;
class QPushButton;

class CDialogButtons {
public:
    // Makes "OK" (the default button, named "okButton") and "Cancel" ("cancelButton") on
    // dialog, connected to its accept and reject.
    static void Create(QDialog* dialog, QPushButton*& okButton, QPushButton*& cancelButton);
};
