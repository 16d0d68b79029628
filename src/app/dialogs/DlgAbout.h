// "About Torvex": name, version and purpose, the maker's address and two links.
#pragma once

#include <QDialog>

class CHyperlink;
class QPushButton;

class CDlgAbout : public QDialog {
    Q_OBJECT

public:
    explicit CDlgAbout(QWidget* parent = nullptr);

    static const char* const kMakerName;
    static const char* const kMakerAddress;
    static const char* const kWebAddress;
    static const char* const kMailAddress;

    CHyperlink* webLink = nullptr;
    CHyperlink* mailLink = nullptr;

private:
    QPushButton* okButton = nullptr;
};
