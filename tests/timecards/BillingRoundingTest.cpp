// Billing rounding: the time billed for the time recorded, in each direction
// and at the edges of a step, and the value billed in proportion to it.

#include "timecards/BillingRounding.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

Duration minutes(qint64 m, qint64 s = 0)
{
    return Duration::fromSeconds(m * 60 + s);
}

BillingRounding steps(int increment, RoundingDirection direction)
{
    return BillingRounding{increment, direction};
}

TEST(BillingRoundingTest, TimeIsBilledInWholeStepsInTheChosenDirection)
{
    const auto up = steps(15, RoundingDirection::Up);
    const auto nearest = steps(15, RoundingDirection::Nearest);
    const auto down = steps(15, RoundingDirection::Down);
    // A whole number of steps stays as it is in every direction.
    for (const auto &r : {up, nearest, down})
        EXPECT_EQ(billedTime(minutes(45), r), minutes(45));
    // One second past a step.
    EXPECT_EQ(billedTime(minutes(45, 1), up), minutes(60));
    EXPECT_EQ(billedTime(minutes(45, 1), nearest), minutes(45));
    EXPECT_EQ(billedTime(minutes(45, 1), down), minutes(45));
    // Half a step goes up to the nearest; just under half goes down.
    EXPECT_EQ(billedTime(minutes(52, 30), nearest), minutes(60));
    EXPECT_EQ(billedTime(minutes(52, 29), nearest), minutes(45));
    // Down may bill nothing; nothing recorded bills nothing.
    EXPECT_EQ(billedTime(minutes(5), down), Duration());
    EXPECT_EQ(billedTime(Duration(), up), Duration());
    EXPECT_EQ(billedTime(minutes(7, 3), steps(6, RoundingDirection::Up)), minutes(12));
    EXPECT_EQ(billedTime(minutes(7, 3), steps(1, RoundingDirection::Up)), minutes(8));
    // Without an increment the time is billed as recorded.
    EXPECT_EQ(billedTime(minutes(7, 3), BillingRounding{}), minutes(7, 3));
}

TEST(BillingRoundingTest, TheValueFollowsTheTimeBilledExactlyButAFlatFeeStays)
{
    const auto up = steps(30, RoundingDirection::Up);
    // 40 min worth 100.00, billed as 60 min: 150.00.
    EXPECT_EQ(billedValue(Money::fromWhole(100), minutes(40), up, false), Money::fromWhole(150));
    // 7 min worth 10.00 billed as 30: 42.857142..., rounded once to 42.8571.
    EXPECT_EQ(billedValue(Money::fromWhole(10), minutes(7), up, false), Money::fromUnits(428571));
    EXPECT_EQ(billedValue(Money::fromWhole(100), minutes(40), up, true), Money::fromWhole(100));
    EXPECT_EQ(billedValue(Money::fromWhole(100), Duration(), up, false), Money::fromWhole(100));
    EXPECT_EQ(billedValue(Money::fromWhole(100), minutes(40), BillingRounding{}, false),
              Money::fromWhole(100));
}

TEST(BillingRoundingTest, StoredValuesOutsideTheOfferedStepsReadAsAsRecorded)
{
    EXPECT_FALSE(BillingRounding::fromStored(QVariant(7), QVariant(0)).active());
    EXPECT_FALSE(BillingRounding::fromStored(QVariant(), QVariant()).active());
    const BillingRounding r = BillingRounding::fromStored(QVariant(6), QVariant(2));
    EXPECT_EQ(r, steps(6, RoundingDirection::Down));
    EXPECT_EQ(BillingRounding::fromStored(QVariant(15), QVariant(9)).direction,
              RoundingDirection::Up);
    EXPECT_EQ(r.text(), QStringLiteral("6-minute steps, rounded down"));
}

} // namespace
