// The real interrupt-timer window, offscreen, over the real timer and a fixed
// clock: its tools, display and note as the person uses them.

#include "ui/frmInterruptTimer.h"

#include "testsupport/QtPrinters.h"
#include "timecards/Clock.h"
#include "timecards/InterruptTimer.h"
#include "timecards/Timer.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

const QDateTime Nine(QDate(2024, 3, 5), QTime(9, 0, 0));

struct PasteHost : InterruptTimerHost {
    TimerValueInputs valueInputs() const override { return {}; }
    QString timeSegmentNote() const override { return {}; }
    bool processActiveCard() override { return true; }
    void runEnded(const TimerEnded &) override {}
    void pasteToNewTimeCard(const InterruptPaste &p) override { pasted = p; }
    std::optional<QString> currentTimeSpent() const override { return QStringLiteral("0000100"); }
    void pasteToCurrentTimeCard(const InterruptPaste &p) override { pasted = p; }
    void resumeTimer(qint64) override {}
    void timerInterfaceChanged() override {}
    std::optional<InterruptPaste> pasted;
};

} // namespace

TEST(frmInterruptTimer, CountsPastesWithTheNoteAndReturnsToRest)
{
    FixedClock clock(Nine);
    Timer timer(clock);
    PasteHost host;
    InterruptTimer logic(timer, clock, host);
    frmInterruptTimer window(logic, clock);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(window.findChild<QToolBar *>("InterruptTimerMenu")->actions().size(), 5);
    EXPECT_EQ(window.display()->text(), " 000:00:00");
    EXPECT_EQ(window.mnuResume()->text(), "Cancel && Resume");
    EXPECT_FALSE(window.pasteToNewTool()->isEnabled() || window.cancelTool()->isEnabled());

    window.mnuStartTempTimer()->trigger();
    EXPECT_TRUE(window.pasteToCurrentTool()->isEnabled() && !window.mnuResume()->isEnabled());
    EXPECT_EQ(window.mnuStartTempTimer()->text(), "&Pause");
    clock.advance(42);
    window.refresh(); // the main window's tick
    EXPECT_EQ(window.display()->text(), " 000:00:42");

    window.note()->setFocus();
    QTest::keyClicks(window.note(), "Ann rang ");
    QTest::keyClick(window.note(), Qt::Key_5, Qt::ControlModifier);
    const QString note = window.note()->toPlainText();
    EXPECT_TRUE(note.startsWith("Ann rang [")) << note.toStdString();
    window.pasteToCurrentTool()->trigger();
    ASSERT_TRUE(host.pasted);
    EXPECT_EQ(host.pasted->note, note);
    EXPECT_EQ(host.pasted->timeSpent, "0000142");
    EXPECT_TRUE(window.note()->toPlainText().isEmpty());
    EXPECT_EQ(window.display()->text(), " 000:00:00");
    EXPECT_FALSE(window.pasteToCurrentTool()->isEnabled());
    EXPECT_EQ(window.mnuStartTempTimer()->text(), "&Start");
}
