#include "app/dialogs/DlgDataQuality.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

using QualityMetrics::Metric;

constexpr double kReciprocalRoundOff = 1e-13;

// The colour of a rating, light enough to read black text on.
QColor RatingColour(const char* rating)
{
    const QString r(rating);
    if (r == "good")
        return QColor(190, 235, 190);
    if (r == "acceptable")
        return QColor(230, 240, 170);
    if (r == "inconclusive")
        return QColor(250, 215, 150);
    return QColor(245, 170, 170);
}

QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// "99.95 % good", coloured by its rating.
QTableWidgetItem* MetricCell(Metric metric, double percent)
{
    const char* rating = QualityMetrics::Rating(metric, percent);
    QTableWidgetItem* item =
        Cell(QString("%1 % %2").arg(QString::number(percent, 'f', 2), QString(rating)));
    item->setBackground(RatingColour(rating));
    item->setForeground(Qt::black);
    return item;
}

}  // namespace

CDlgDataQuality::CDlgDataQuality(const std::vector<CTorvexSession::SlotQuality>& rows,
                                 const QString& unit, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle("Data quality");
    table = new QTableWidget(static_cast<int>(rows.size()), 6, this);
    table->setObjectName("qualityTable");
    // The columns of the command line's quality table, in its order.
    table->setHorizontalHeaderLabels({"File", "Causality", "Passivity", "Reciprocity",
                                      "Largest |S| (sigma) at", "Worst reciprocity at"});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const CTorvexSession::SlotQuality& row = rows[static_cast<std::size_t>(r)];
        table->setItem(r, 0, Cell(QString::fromStdString(row.name)));
        if (!row.judged) {
            table->setItem(r, 1, Cell("not judged: " + QString::fromStdString(row.why)));
            table->setSpan(r, 1, 1, 5);
            continue;
        }
        const QualityMetrics::Result& q = row.result;
        table->setItem(r, 1, MetricCell(Metric::CAUSALITY, q.causality));
        table->setItem(r, 2, MetricCell(Metric::PASSIVITY, q.passivity));
        table->setItem(
            r, 3,
            q.hasReciprocity ? MetricCell(Metric::RECIPROCITY, q.reciprocity) : Cell("(one port)"));
        table->setItem(r, 4,
                       Cell(QString("%1 at %2 %3")
                                .arg(QString::number(q.largestSigma, 'g', 7),
                                     QString::number(q.worstPassivityFreq, 'g', 9), unit)));
        // A reciprocal file has no worst frequency: every one is as good (the round-off of a
        // conversion from Z or Y aside).
        QString worst = "-";
        if (q.hasReciprocity && q.largestReciprocity <= kReciprocalRoundOff)
            worst = "none";
        else if (q.hasReciprocity)
            worst = QString("%1 at %2 %3")
                        .arg(QString::number(q.largestReciprocity, 'g', 3),
                             QString::number(q.worstReciprocityFreq, 'g', 9), unit);
        table->setItem(r, 5, Cell(worst));
    }
    table->resizeColumnsToContents();
    table->setMinimumWidth(table->horizontalHeader()->length() + 2 * table->frameWidth() + 4);

    auto* note = new QLabel(
        "Passivity and reciprocity: good above 99.9 %, acceptable above 99, inconclusive above "
        "80.\nCausality: good above 80 %, acceptable above 50, inconclusive above 20.",
        this);
    note->setObjectName("ratingNote");

    sigmaButton = new QPushButton("Add S:sigma trace", this);
    sigmaButton->setObjectName("sigmaButton");
    sigmaButton->setToolTip(
        "The largest singular value of the matrix at every frequency:"
        " above 1 the data are not passive there.");
    recipButton = new QPushButton("Add S:recip trace", this);
    recipButton->setObjectName("recipButton");
    recipButton->setToolTip(
        "The mean |Sij - Sji| at every frequency: above 0 the data are not"
        " reciprocal there.");
    closeButton = new QPushButton("Close", this);
    closeButton->setObjectName("closeButton");
    closeButton->setDefault(true);
    const auto add = [this](int code) {
        if (onAddTrace)
            onAddTrace(code);
    };
    connect(sigmaButton, &QPushButton::clicked, this, [add] { add(ValueCode::SIGMA); });
    connect(recipButton, &QPushButton::clicked, this, [add] { add(ValueCode::RECIPROCITY); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    const bool anyJudged =
        std::any_of(rows.begin(), rows.end(), [](const auto& row) { return row.judged; });
    sigmaButton->setEnabled(anyJudged);
    recipButton->setEnabled(std::any_of(rows.begin(), rows.end(), [](const auto& row) {
        return row.judged && row.result.hasReciprocity;
    }));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addWidget(note);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sigmaButton);
    buttons->addWidget(recipButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
}
