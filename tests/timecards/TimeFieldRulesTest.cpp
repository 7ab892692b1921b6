#include "timecards/TimeFieldRules.h"

#include "testsupport/QtPrinters.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace quorvale;

TEST(TimeFieldRules, EmptyDateAndTimeFieldsComeBackFromTheRowOrTheClock)
{
    const QDate today(2026, 3, 7), stored(2026, 2, 1), typed(2026, 1, 5);
    const QTime now(14, 0), storedTime(9, 30);
    EXPECT_EQ(dateForLeftField(typed, stored, today), typed);
    EXPECT_EQ(dateForLeftField(QDate(), stored, today), stored);
    EXPECT_EQ(dateForLeftField(QDate(), QDateTime(stored, storedTime), today), stored);
    EXPECT_EQ(dateForLeftField(QDate(), QVariant(), today), today);
    EXPECT_EQ(timeForLeftField(QTime(), QDateTime(stored, storedTime), now), storedTime);
    EXPECT_EQ(timeForLeftField(QTime(), QStringLiteral("2026-02-01T09:30:00"), now), storedTime);
    EXPECT_EQ(timeForLeftField(QTime(), QVariant(), now), now);
}

TEST(TimeFieldRules, EndBeforeStart)
{
    const QDate d(2026, 3, 7);
    EXPECT_TRUE(endBeforeStart(d, QTime(9, 0), d.addDays(-1), QTime(23, 0)));
    EXPECT_TRUE(endBeforeStart(d, QTime(9, 0), d, QTime(8, 59)));
    EXPECT_FALSE(endBeforeStart(d, QTime(9, 0), d.addDays(1), QTime(1, 0)));
}

TEST(TimeFieldRules, LeavingADurationFieldStoresWhatWasTypedOrRefusesIt)
{
    const DurationContext billed{true, QStringLiteral("Staff Rates")};
    const QVariant stored = QStringLiteral("0000500");
    // Typed through the old edit mask this became "100:30:00": a hundred hours.
    const auto spent =
        durationFieldLeft(DurationField::TimeSpent, QStringLiteral("1:30:00"), stored, billed);
    EXPECT_FALSE(spent.refused);
    EXPECT_TRUE(spent.store);
    EXPECT_EQ(spent.column, QLatin1String("Quantity"));
    EXPECT_EQ(spent.storedText, QLatin1String("0013000"));
    EXPECT_EQ(spent.text, QLatin1String("001:30:00"));
    EXPECT_TRUE(spent.recomputeValue);

    const auto estimated =
        durationFieldLeft(DurationField::TimeEstimated, QStringLiteral("1.5"), stored, billed);
    EXPECT_EQ(estimated.column, QLatin1String("TimeEstimated"));
    EXPECT_EQ(estimated.storedText, QLatin1String("0013000"));
    EXPECT_FALSE(estimated.recomputeValue);

    const DurationContext flat{true, QStringLiteral("Flat Fee")};
    EXPECT_FALSE(durationFieldLeft(DurationField::TimeSpent, QStringLiteral("45m"), stored, flat)
                     .recomputeValue);
    // The same time again changes nothing in the row.
    EXPECT_FALSE(durationFieldLeft(DurationField::TimeSpent, QStringLiteral("5:00"),
                                   QStringLiteral("0050000"), billed)
                     .store);

    // Whatever the old mask left of "1:00:00" is refused, not read as another time.
    const auto refused =
        durationFieldLeft(DurationField::TimeSpent, QStringLiteral("1  :00:00"), stored, billed);
    EXPECT_TRUE(refused.refused);
    EXPECT_FALSE(refused.store);
    EXPECT_TRUE(refused.message.contains(QStringLiteral("Enter a time such as 1:30:00")))
        << refused.message.toStdString();
}

TEST(TimeFieldRules, TimeSpentByHandEndsTheTimeCardThatLongAfterItsStart)
{
    const auto end =
        endFromStart(QDate(2026, 3, 7), QTime(22, 45), Duration::fromSeconds(2 * 3600 + 30 * 60));
    EXPECT_TRUE(end.problem.isEmpty());
    EXPECT_EQ(end.endDate, QDate(2026, 3, 8));
    EXPECT_EQ(end.endTime, QTime(1, 15));
    const auto stamped =
        endFromStart(QDateTime(QDate(2026, 3, 7), QTime(9, 0)),
                     QDateTime(QDate(1899, 12, 30), QTime(9, 0)), Duration::fromSeconds(90 * 60));
    EXPECT_EQ(stamped.endTime, QTime(10, 30));
    EXPECT_FALSE(endFromStart(QVariant(), QTime(9, 0), Duration()).problem.isEmpty());
}
