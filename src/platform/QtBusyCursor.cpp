#include "platform/QtBusyCursor.h"

#include <QApplication>
#include <QCursor>

void CQtBusyCursorHook::Begin()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CQtBusyCursorHook::End()
{
    QApplication::restoreOverrideCursor();
}
