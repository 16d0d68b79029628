// "Data quality": the passivity, reciprocity and causality of every loaded file with their
// ratings, where each goes worst, and buttons that add the per-frequency traces to the view.
#pragma once

#include <QDialog>

#include <functional>
#include <vector>

#include "app/TorvexSession.h"

class QPushButton;
class QTableWidget;

class CDlgDataQuality : public QDialog {
    Q_OBJECT

public:
    // rows: one per loaded file; unit names the frequencies' unit ("MHz").
    CDlgDataQuality(const std::vector<CTorvexSession::SlotQuality>& rows, const QString& unit,
                    QWidget* parent = nullptr);

    // Called with ValueCode::SIGMA or ValueCode::RECIPROCITY by the add buttons.
    std::function<void(int)> onAddTrace;

    QTableWidget* table = nullptr;
    QPushButton* sigmaButton = nullptr;
    QPushButton* recipButton = nullptr;
    QPushButton* closeButton = nullptr;
};
