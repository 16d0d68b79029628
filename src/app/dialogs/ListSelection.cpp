#include "app/dialogs/ListSelection.h"

#include <QListWidget>
#include <QSignalBlocker>

void CListSelection::Refill(QListWidget* list, const QStringList& entries, int sel)
{
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(entries);
    if (sel >= 0 && list->count() > 0)
        list->setCurrentRow(sel < list->count() ? sel : 0);
}

void CListSelection::EnsureSelection(QListWidget* list)
{
    if (list->count() > 0 && list->currentRow() < 0) {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(0);
    }
}

int CListSelection::Selected(const QListWidget* list, std::size_t count)
{
    const int index = list->currentRow();
    return index >= 0 && static_cast<std::size_t>(index) < count ? index : -1;
}
