// The list box behaviour the Markers and Traces dialogs share: refill with a selection
// kept in range, and an entry always selected while the list has any.
#pragma once

#include <QStringList>

#include <cstddef>

class QListWidget;

class CListSelection {
public:
    // Replaces the entries without selection signals; with sel >= 0 selects entry sel, or
    // entry 0 when sel is beyond the end.
    static void Refill(QListWidget* list, const QStringList& entries, int sel);
    // Selects entry 0 when the list has entries and none is selected.
    static void EnsureSelection(QListWidget* list);
    // The selected index when it lies below count, else -1.
    static int Selected(const QListWidget* list, std::size_t count);
};
