#include "timecards/InterruptTimer.h"

#include "testsupport/QtPrinters.h"
#include "timecards/Clock.h"
#include "timecards/Timer.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

const QDateTime Nine(QDate(2024, 3, 5), QTime(9, 0, 0));

// The main window's side, settling runs through the real timer.
struct RecordingHost : InterruptTimerHost {
    explicit RecordingHost(Timer &t) : timer(t) {}
    TimerValueInputs valueInputs() const override { return {}; }
    QString timeSegmentNote() const override { return "main note"; }
    bool processActiveCard() override
    {
        return ++settled, answer && timer.PauseTimer(true, {}, {});
    }
    void runEnded(const TimerEnded &e) override { ended.push_back(e); }
    void pasteToNewTimeCard(const InterruptPaste &p) override { pasted = p; }
    std::optional<QString> currentTimeSpent() const override { return current; }
    void pasteToCurrentTimeCard(const InterruptPaste &p) override { pasted = p; }
    void resumeTimer(qint64 id) override { resumed = id; }
    void timerInterfaceChanged() override
    {
        startTimerEnabled = timer.ProcessTimerInterface().startTimerEnabled;
    }

    Timer &timer;
    bool answer = true;
    int settled = 0;
    std::optional<QString> current = QStringLiteral("  10000"); // blanks read as zeros
    std::vector<TimerEnded> ended;
    std::optional<InterruptPaste> pasted;
    std::optional<qint64> resumed;
    bool startTimerEnabled = true;
};

struct InterruptTimerTest : ::testing::Test {
    FixedClock clock{Nine};
    Timer timer{clock};
    RecordingHost host{timer};
    InterruptTimer interrupt{timer, clock, host};

    void timeCardFive() { timer.StartTimer({5, "0000000", {}}, {}); }
    bool atRest() const
    {
        const InterruptTools &t = interrupt.tools();
        return t.startEnabled && t.startCaption == "&Start" && !t.pasteToNewEnabled &&
               !t.pasteToCurrentEnabled && !t.resumeEnabled && !t.cancelEnabled &&
               timer.mode() == TimerMode::Idle && host.startTimerEnabled;
    }
};

} // namespace

TEST_F(InterruptTimerTest, StartEndsTheShownRunAndCountsPausesAndContinues)
{
    timeCardFive();
    clock.advance(300);
    ASSERT_TRUE(interrupt.mnuStartTempTimer());
    ASSERT_EQ(host.ended.size(), 1u);
    EXPECT_EQ(host.ended[0].segment, (TimeSegment{Nine, Nine.addSecs(300), 300, "main note"}));
    EXPECT_EQ(host.settled, 0);
    const InterruptTools &t = interrupt.tools();
    EXPECT_TRUE(t.pasteToNewEnabled && t.pasteToCurrentEnabled && t.cancelEnabled &&
                t.resumeEnabled && !host.startTimerEnabled);
    EXPECT_EQ(interrupt.display(), " 000:00:00");

    clock.advance(125);
    EXPECT_EQ(interrupt.display(), " 000:02:05");
    interrupt.mnuStartTempTimer();
    clock.advance(1000);
    EXPECT_EQ(interrupt.display(), " 000:02:05");
    interrupt.mnuStartTempTimer();
    clock.advance(5);
    EXPECT_EQ(interrupt.display(), " 000:02:10");

    interrupt.mnuResume(); // drops the interruption
    EXPECT_EQ(host.resumed, 5);
    EXPECT_TRUE(atRest());
}

TEST_F(InterruptTimerTest, AnotherTimeCardsRunIsSettledFirst)
{
    timeCardFive();
    timer.setShownTimeCard(6);
    host.answer = false;
    EXPECT_FALSE(interrupt.mnuStartTempTimer());
    EXPECT_EQ(timer.activeTimeCardId(), 5);
    EXPECT_TRUE(host.ended.empty());

    host.answer = true;
    EXPECT_TRUE(interrupt.mnuStartTempTimer());
    EXPECT_FALSE(interrupt.tools().resumeEnabled); // it was not the shown TimeCard
    interrupt.cancel();
    EXPECT_TRUE(atRest());
    EXPECT_FALSE(host.pasted || host.resumed);
}

TEST_F(InterruptTimerTest, PastesTakeTheTimeUpToTheClickNotTheLastDisplay)
{
    interrupt.mnuStartTempTimer();
    clock.advance(90);
    interrupt.display();
    clock.advance(1);
    ASSERT_TRUE(interrupt.pasteToNewTimeCard("Ann rang"));
    EXPECT_EQ(host.pasted->note, "Ann rang");
    EXPECT_EQ(host.pasted->timeSpent, "0000131");
    EXPECT_EQ(QDateTime(host.pasted->endDate, host.pasted->endTime), Nine.addSecs(91));
    EXPECT_TRUE(atRest());
    EXPECT_FALSE(interrupt.pasteToNewTimeCard("again"));

    interrupt.mnuStartTempTimer();
    clock.advance(3 * 3600 + 25 * 60 + 7);
    ASSERT_TRUE(interrupt.pasteToCurrentTimeCard("Bob"));
    EXPECT_EQ(host.pasted->timeSpent, "0042507");
    EXPECT_FALSE(host.pasted->capped);

    interrupt.mnuStartTempTimer();
    host.current.reset(); // no TimeCard shown: the interruption keeps counting
    EXPECT_FALSE(interrupt.pasteToCurrentTimeCard("x"));
    EXPECT_TRUE(interrupt.counting());
    host.current = QStringLiteral("9995900");
    clock.advance(120);
    interrupt.pasteToCurrentTimeCard("x");
    EXPECT_EQ(host.pasted->timeSpent, "9995959");
    EXPECT_TRUE(host.pasted->capped);
}
