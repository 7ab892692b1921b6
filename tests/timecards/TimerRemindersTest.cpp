#include "timecards/TimerReminders.h"

#include "timecards/Clock.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// Monday 7 December 2026.
QDateTime monday(int hour, int minute = 0)
{
    return QDateTime(QDate(2026, 12, 7), QTime(hour, minute));
}

} // namespace

TEST(TimerReminders, ALongRunIsRemindedOnceAndANewRunStartsAfresh)
{
    FixedClock clock{monday(9)};
    TimerReminders reminders(clock);
    EXPECT_FALSE(reminders.check(std::nullopt, 0));
    EXPECT_FALSE(reminders.check(42, 4 * 3600 - 1));
    const std::optional<QString> told = reminders.check(42, 4 * 3600);
    ASSERT_TRUE(told);
    EXPECT_TRUE(told->contains(QStringLiteral("TimeCard 42 for 4 h 00 min")))
        << told->toStdString();
    EXPECT_FALSE(reminders.check(42, 5 * 3600)) << "once per run";
    // Paused and started again: a new run.
    EXPECT_FALSE(reminders.check(std::nullopt, 0));
    EXPECT_TRUE(reminders.check(42, 4 * 3600 + 60));

    reminders.setSettings(ReminderSettings{0, QTime(8, 0), QTime(18, 0)});
    EXPECT_FALSE(reminders.check(7, 10 * 3600)) << "0 minutes: no long-run reminder";
}

TEST(TimerReminders, ARunPastTheWorkingDayIsRemindedOncePerDay)
{
    FixedClock clock{monday(17, 59)};
    TimerReminders reminders(clock);
    EXPECT_FALSE(reminders.check(42, 600));
    clock.advance(60);
    const std::optional<QString> told = reminders.check(42, 660);
    ASSERT_TRUE(told);
    EXPECT_TRUE(told->startsWith(QStringLiteral("It is past 18:00"))) << told->toStdString();
    clock.advance(3600);
    EXPECT_FALSE(reminders.check(42, 4260));
    // Still on the next evening (a long run, reminded before as well).
    clock.set(monday(18, 30).addDays(1));
    EXPECT_TRUE(reminders.check(42, 3600));

    reminders.setSettings(ReminderSettings{0, QTime(8, 0), QTime()});
    clock.set(monday(23).addDays(2));
    EXPECT_FALSE(reminders.check(9, 60)) << "no end of day set: no evening reminder";
}

TEST(TimerReminders, AtStartUpOnlyWithinWorkingHoursOfAWorkingDayWithoutARun)
{
    FixedClock clock{monday(9, 15)};
    TimerReminders reminders(clock);
    EXPECT_TRUE(reminders.atStartUp(false));
    EXPECT_FALSE(reminders.atStartUp(true));
    clock.set(monday(7, 59));
    EXPECT_FALSE(reminders.atStartUp(false));
    clock.set(monday(18));
    EXPECT_FALSE(reminders.atStartUp(false));
    clock.set(monday(10).addDays(5)); // Saturday
    EXPECT_FALSE(reminders.atStartUp(false));
}
