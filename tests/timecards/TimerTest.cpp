#include "timecards/Timer.h"

#include "testsupport/QtPrinters.h"
#include "timecards/Clock.h"
#include "timecards/TimeCalcs.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

const QDateTime Nine(QDate(2024, 3, 5), QTime(9, 0, 0));

TimerValueInputs rate(std::optional<Money> hourly, const char *source = "Staff Rates",
                      int percent = 100, bool realizationInUse = false)
{
    return {true, source, hourly, Realization::fromPercent(percent), realizationInUse};
}

struct TimerTest : ::testing::Test {
    FixedClock clock{Nine};
    Timer timer{clock};
    const TimerValueInputs rate120 = rate(Money::fromWhole(120));
};

} // namespace

TEST_F(TimerTest, TheTimeSpentIsTheRecordedTimePlusTheClocksTimeSinceTheStart)
{
    auto started = timer.StartTimer({1, "0000000", {}}, {});
    EXPECT_TRUE(started->setStartFields);
    EXPECT_EQ(started->startDate, Nine.date());
    EXPECT_EQ(started->startTime, Nine.time());
    timer.PauseTimer(true, {}, {});

    started = timer.StartTimer({1, "0010000", {}}, {});
    EXPECT_FALSE(started->setStartFields);
    clock.advance(3 * 3600 + 25 * 60 + 7); // no tick on the way
    const TimerTick tick = timer.MainTimer_Timer(rate120);
    EXPECT_EQ(tick.timeSpent, "0042507");
    EXPECT_EQ(tick.display, " 004:25:07");
    EXPECT_EQ(tick.value, Money::parse("530.23"));
    // A clock set back never takes recorded time away; the text stops at its longest.
    clock.advance(-24 * 3600);
    EXPECT_EQ(timer.MainTimer_Timer({}).timeSpent, "0010000");
    clock.advance(1100 * 3600);
    EXPECT_EQ(timer.MainTimer_Timer(rate120).value,
              timeSpentValue(MaxDurationSeconds, Money::fromWhole(120), {}));
}

TEST_F(TimerTest, ValueFollowsRateSourceRateAndRealization)
{
    timer.StartTimer({1, "0013000", Money::fromWhole(5)}, {});
    EXPECT_EQ(timer.MainTimer_Timer(rate120).value, Money::fromWhole(180));
    EXPECT_EQ(timer.MainTimer_Timer(rate(std::nullopt)).value, Money()); // rate text no number
    EXPECT_EQ(timer.MainTimer_Timer(rate(Money::fromWhole(9), "Flat Fee")).value, std::nullopt);
    EXPECT_EQ(timer.MainTimer_Timer({}).value, std::nullopt); // billing not in use
    const Money rate120 = Money::fromWhole(120);
    EXPECT_EQ(timer.MainTimer_Timer(rate(rate120, "Staff Rates", 50, true)).value,
              Money::fromWhole(90));
    EXPECT_EQ(timer.MainTimer_Timer(rate(rate120, "Staff Rates", 50, false)).value,
              Money::fromWhole(180));
}

TEST_F(TimerTest, PauseSavesUpToTheClockOrBringsBackTheStartValues)
{
    timer.StartTimer({7, "0010000", Money::parse("12.3456")}, {});
    clock.advance(600);
    timer.MainTimer_Timer(rate120);
    clock.advance(5); // since the last tick
    const auto saved = timer.PauseTimer(true, "call with Ann", rate120);
    EXPECT_TRUE(saved->saved);
    EXPECT_EQ(saved->timeCardId, 7);
    EXPECT_EQ(saved->final.timeSpent, "0011005");
    EXPECT_EQ(saved->final.value, Money::parse("140.17"));
    EXPECT_EQ(QDateTime(saved->endDate, saved->endTime), Nine.addSecs(605));
    EXPECT_EQ(saved->segment.start, Nine);
    EXPECT_EQ(saved->segment.end, Nine.addSecs(605));
    EXPECT_EQ(saved->segment.seconds, 605);
    EXPECT_EQ(saved->segment.note, "call with Ann");
    EXPECT_FALSE(timer.PauseTimer(true, {}, {}));

    timer.StartTimer({7, "0010000", Money::parse("12.3456")}, {});
    clock.advance(4000);
    const auto discarded = timer.PauseTimer(false, {}, rate120);
    EXPECT_FALSE(discarded->saved);
    EXPECT_EQ(discarded->restoredTimeSpent, "0010000");
    EXPECT_EQ(discarded->restoredValue, Money::parse("12.3456"));
}

TEST_F(TimerTest, InterfaceAndCaptionFollowTheRunAndTheShownRow)
{
    EXPECT_EQ(timer.ProcessTimerInterface().startTimerCaption, "&Start Timer");
    EXPECT_EQ(timer.windowCaption("Ann", true), "  Quorvale:  Ann");
    timer.StartTimer({1, "0000000", {}}, {});
    clock.advance(3723);
    TimerInterface ui = timer.ProcessTimerInterface();
    EXPECT_EQ(ui.startTimerCaption, "&Pause Timer");
    EXPECT_EQ(ui.startTimerTip, "Pause Timer");
    EXPECT_TRUE(ui.running && ui.isCurrent && ui.timeSegmentEnabled && ui.cancelTimerEnabled);
    EXPECT_EQ(timer.windowCaption("Ann", false), "  Quorvale:  Ann");
    EXPECT_EQ(timer.windowCaption("Ann", true), " 001:02:03  Quorvale");

    timer.setShownTimeCard(2); // ticks leave another row alone
    EXPECT_FALSE(timer.ProcessTimerInterface().isCurrent);
    EXPECT_FALSE(timer.MainTimer_Timer(rate120).showOnCard || timer.MainTimer_Timer(rate120).value);
    timer.setShownTimeCard(1);
    EXPECT_TRUE(timer.MainTimer_Timer(rate120).showOnCard);

    timer.PauseTimer(true, {}, {});
    EXPECT_EQ(timer.ProcessTimerInterface().startTimerTip, "Start Timer");
    ASSERT_TRUE(timer.startInterruption());
    ui = timer.ProcessTimerInterface();
    EXPECT_FALSE(ui.running || ui.startTimerEnabled || timer.MainTimer_Timer(rate120).showOnCard);
}

TEST_F(TimerTest, StartingElsewhereSettlesTheActiveRunFirst)
{
    timer.StartTimer({1, "0000000", {}}, {});
    // "Save Changes?" cancelled, or a settler that leaves the run on: nothing starts.
    EXPECT_FALSE(timer.StartTimer({2, "0000000", {}}, [] { return false; }));
    EXPECT_FALSE(timer.StartTimer({2, "0000000", {}}, [] { return true; }));
    EXPECT_EQ(timer.activeTimeCardId(), 1);
    EXPECT_TRUE(timer.StartTimer({2, "0000000", {}},
                                 [&] { return timer.PauseTimer(true, {}, {}).has_value(); }));
    EXPECT_EQ(timer.activeTimeCardId(), 2);
}
