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

TEST(TimeFieldRules, CompleteDurationTextIsStoredWhileTyping)
{
    const DurationContext billed{false, true, QStringLiteral("Staff Rates")};
    const auto spent =
        durationFieldChanged(DurationField::TimeSpent, QStringLiteral("001:30:00"), billed);
    EXPECT_TRUE(spent.store);
    EXPECT_EQ(spent.column, QLatin1String("Quantity"));
    EXPECT_EQ(spent.storedText, QLatin1String("0013000"));
    EXPECT_TRUE(spent.recomputeValue);
    EXPECT_FALSE(spent.fieldChanged);

    const auto estimated =
        durationFieldChanged(DurationField::TimeEstimated, QStringLiteral("0013000"), billed);
    EXPECT_EQ(estimated.column, QLatin1String("TimeEstimated"));
    EXPECT_FALSE(estimated.recomputeValue);

    const DurationContext flat{false, true, QStringLiteral("Flat Fee")};
    EXPECT_FALSE(durationFieldChanged(DurationField::TimeSpent, QStringLiteral("0013000"), flat)
                     .recomputeValue);
    const DurationContext running{true, true, QStringLiteral("Staff Rates")};
    EXPECT_FALSE(
        durationFieldChanged(DurationField::TimeSpent, QStringLiteral("0013000"), running).store);
    for (const char *partial : {"001:3", "001 3000", "00130", "001:3_:00"})
        EXPECT_FALSE(
            durationFieldChanged(DurationField::TimeSpent, QLatin1String(partial), billed).store)
            << partial;
}

TEST(TimeFieldRules, LeavingADurationFieldNormalisesOrRestoresIt)
{
    const DurationContext billed{false, true, QStringLiteral("Staff Rates")};
    const auto padded = durationFieldLeft(DurationField::TimeSpent, QStringLiteral("  130 0"),
                                          QStringLiteral("0000500"), billed);
    EXPECT_EQ(padded.text, QLatin1String("0013000"));
    EXPECT_TRUE(padded.fieldChanged);
    EXPECT_EQ(padded.storedText, QLatin1String("0013000"));
    EXPECT_TRUE(padded.recomputeValue);

    const auto refused = durationFieldLeft(DurationField::TimeEstimated, QStringLiteral("12345678"),
                                           QStringLiteral("0000500"), billed);
    EXPECT_EQ(refused.text, QLatin1String("0000500"));
    EXPECT_TRUE(refused.fieldChanged);
}
