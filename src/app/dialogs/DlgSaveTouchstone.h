// "Save as Touchstone": which loaded file, and its version, number format and unit. OK hands
// back the choices; the window asks for the file name next.
#pragma once

#include <QDialog>

#include <string>
#include <utility>
#include <vector>

#include "data/TouchstoneWriter.h"

class QComboBox;
class QPushButton;

class CDlgSaveTouchstone : public QDialog {
    Q_OBJECT

public:
    // files: the loaded slots (number, name), in slot order.
    CDlgSaveTouchstone(const std::vector<std::pair<int, std::string>>& files,
                       QWidget* parent = nullptr);

    int Source() const;
    // Version, format and unit (-1: the file's own).
    TouchstoneWriter::Options Options() const;

    QComboBox* source = nullptr;
    QComboBox* version = nullptr;
    QComboBox* format = nullptr;
    QComboBox* unit = nullptr;
    QPushButton* okButton = nullptr;
};
