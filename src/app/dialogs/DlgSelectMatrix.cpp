#include "app/dialogs/DlgSelectMatrix.h"

#include "app/dialogs/DialogButtons.h"

#include <algorithm>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>
#include <utility>

CDlgSelectMatrix::CDlgSelectMatrix(int size, std::vector<int> matrixCodes,
                                   std::vector<std::string> elementNames,
                                   std::vector<Format> displayFormats, QWidget* parent)
    : QDialog(parent),
      n(size),
      codes(std::move(matrixCodes)),
      names(std::move(elementNames)),
      formats(std::move(displayFormats))
{
    setWindowTitle("Torvex - Select Data to View");
    setObjectName("selectMatrix");
    tabs = new QTabWidget(this);
    tabs->setObjectName("formatTabs");
    for (const Format& format : formats) {
        auto* table = new QTableWidget(n, n, tabs);
        table->setObjectName(QString::fromStdString("table_" + format.label));
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionMode(QAbstractItemView::NoSelection);
        for (int r = 0; r < n; ++r) {
            for (int c = 0; c < n; ++c) {
                const std::size_t k = static_cast<std::size_t>(r * n + c);
                auto* item = new QTableWidgetItem(
                    QString::fromStdString(k < names.size() ? names[k] : std::string()));
                Qt::ItemFlags flags = Qt::ItemIsUserCheckable;
                if (!format.reflectionsOnly || r == c)
                    flags |= Qt::ItemIsEnabled;
                item->setFlags(flags);
                item->setCheckState(Qt::Unchecked);
                table->setItem(r, c, item);
            }
        }
        table->resizeColumnsToContents();
        // OK follows every tick by hand: it is enabled exactly while one box is ticked.
        connect(table, &QTableWidget::itemChanged, this,
                [this] { okButton->setEnabled(AnyChecked()); });
        tabs->addTab(table, QString::fromStdString(format.label));
        tables.push_back(table);
    }

    auto* reflections = new QPushButton("All Return Loss", this);
    reflections->setObjectName("presetAllRl");
    connect(reflections, &QPushButton::clicked, this, &CDlgSelectMatrix::OnAllReflections);
    auto* transmissions = new QPushButton("All Insertion Loss", this);
    transmissions->setObjectName("presetAllIl");
    connect(transmissions, &QPushButton::clicked, this,
            &CDlgSelectMatrix::OnTransmissionsFromPortOne);
    auto* clearAll = new QPushButton("Clear all", this);
    clearAll->setObjectName("clearAllButton");
    connect(clearAll, &QPushButton::clicked, this, &CDlgSelectMatrix::OnClearAll);
    CDialogButtons::Create(this, okButton, cancelButton);

    auto* presets = new QHBoxLayout;
    presets->addWidget(reflections);
    presets->addWidget(transmissions);
    presets->addStretch();
    presets->addWidget(clearAll);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(presets);
    layout->addLayout(buttons);
    // Big enough for a 6-port matrix at once; larger ones scroll.
    resize(std::min(900, 120 + 70 * n), std::min(640, 200 + 30 * n));
}

void CDlgSelectMatrix::InitDialog()
{
    initialized = true;
    for (const ValueFormatPair& pair : selection) {
        const auto at = std::find(codes.begin(), codes.end(), pair.value);
        for (std::size_t f = 0; f < formats.size() && at != codes.end(); ++f) {
            if (formats[f].code != pair.valueFormat)
                continue;
            const int k = static_cast<int>(at - codes.begin());
            SetBox(f, k / n, k % n, true);
        }
    }
    okButton->setEnabled(AnyChecked());
}

void CDlgSelectMatrix::showEvent(QShowEvent* event)
{
    if (!initialized)
        InitDialog();
    QDialog::showEvent(event);
}

void CDlgSelectMatrix::SetBox(std::size_t format, int row, int col, bool on)
{
    QTableWidgetItem* item = tables[format]->item(row, col);
    if (item && (item->flags() & Qt::ItemIsEnabled))
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

bool CDlgSelectMatrix::AnyChecked() const
{
    for (const QTableWidget* table : tables)
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c)
                if (table->item(r, c)->checkState() == Qt::Checked)
                    return true;
    return false;
}

void CDlgSelectMatrix::OnClearAll()
{
    for (QTableWidget* table : tables) {
        const QSignalBlocker quiet(table);  // one update of OK, not one per box
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c)
                table->item(r, c)->setCheckState(Qt::Unchecked);
        table->viewport()->update();
    }
    okButton->setEnabled(false);
}

void CDlgSelectMatrix::OnAllReflections()
{
    OnClearAll();
    for (int k = 0; k < n; ++k)
        SetBox(0, k, k, true);
    tabs->setCurrentIndex(0);
    okButton->setEnabled(AnyChecked());
}

void CDlgSelectMatrix::OnTransmissionsFromPortOne()
{
    OnClearAll();
    for (int r = 1; r < n; ++r)
        SetBox(0, r, 0, true);
    tabs->setCurrentIndex(0);
    okButton->setEnabled(AnyChecked());
}

void CDlgSelectMatrix::accept()
{
    ViewSelection chosen;
    for (std::size_t f = 0; f < formats.size(); ++f)
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c)
                if (tables[f]->item(r, c)->checkState() == Qt::Checked)
                    chosen.emplace_back(codes[static_cast<std::size_t>(r * n + c)],
                                        formats[f].code);
    if (chosen.empty())
        return;  // an empty view cannot be confirmed
    selection = chosen;
    QDialog::accept();
}
