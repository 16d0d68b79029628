#include "platform/QtBusyCursor.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCursor>

TEST(QtBusyCursorTest, WaitCursorLastsAsLongAsTheBusyCursors)
{
    CQtBusyCursorHook hook;
    CBusyCursorHook* previous = SetBusyCursorHook(&hook);
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        CBusyCursor outer;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            CBusyCursor inner;
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        // The inner one ending must not take the cursor away from the outer one.
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    SetBusyCursorHook(previous);
}
