// The application object's guards, on real widgets offscreen.

#include "ui/GuardedApplication.h"

#include <QDialog>
#include <QProgressDialog>
#include <QTest>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {
Qt::CursorShape pointer()
{
    return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                          : Qt::BlankCursor;
}
} // namespace

// A command runs under the busy pointer; a dialog it opens waits for the person
// and must show the normal one, while a progress window keeps the busy one.
TEST(GuardedApplication, ADialogOpenedByBusyWorkShowsTheNormalPointer)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        QDialog dialog;
        dialog.show();
        EXPECT_EQ(pointer(), Qt::ArrowCursor);
        {
            QDialog inner(&dialog);
            inner.show();
            EXPECT_EQ(pointer(), Qt::ArrowCursor);
            inner.hide();
        }
        EXPECT_EQ(pointer(), Qt::ArrowCursor);
        dialog.hide();
        EXPECT_EQ(pointer(), Qt::WaitCursor);

        QProgressDialog progress;
        progress.show();
        EXPECT_EQ(pointer(), Qt::WaitCursor);
        progress.hide();

        // Destroyed while shown: its arrow goes with it.
        auto shown = std::make_unique<QDialog>();
        shown->show();
        EXPECT_EQ(pointer(), Qt::ArrowCursor);
        shown.reset();
        EXPECT_EQ(pointer(), Qt::WaitCursor);
    }
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
