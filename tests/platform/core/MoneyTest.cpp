#include "platform/core/Money.h"

#include <gtest/gtest.h>
#include <limits>

using quorvale::Money;

TEST(Money, ParsesAndPrintsExactly)
{
    EXPECT_EQ(Money::parse(QStringLiteral("1234.5"))->units(), 12345000);
    EXPECT_EQ(Money::parse(QStringLiteral("-0.0001"))->units(), -1);
    EXPECT_EQ(Money::parse(QStringLiteral("1,234.50"))->toString(), QStringLiteral("1234.5000"));
    EXPECT_EQ(Money::parse(QStringLiteral(".25"))->toString(), QStringLiteral("0.2500"));
    // A fifth decimal rounds half away from zero, on both signs.
    EXPECT_EQ(Money::parse(QStringLiteral("0.00005"))->units(), 1);
    EXPECT_EQ(Money::parse(QStringLiteral("-0.00005"))->units(), -1);
    // 0.1 + 0.2 is exactly 0.3: the reason money is never a double.
    EXPECT_EQ(*Money::parse(QStringLiteral("0.1")) + *Money::parse(QStringLiteral("0.2")),
              *Money::parse(QStringLiteral("0.3")));
}

TEST(Money, RejectsWhatIsNotANumber)
{
    for (const char *bad : {"", "abc", "1.2.3", "--1", "1e5", "12a", "."})
        EXPECT_FALSE(Money::parse(QString::fromLatin1(bad)).has_value()) << bad;
}

TEST(Money, MulDivRoundsOnceAtTheEnd)
{
    // 1 h 25 min 7 s at 150.00 an hour: 212.7916666.. -> 212.7917
    const Money rate = Money::fromWhole(150);
    EXPECT_EQ(rate.mulDiv(5107, 3600).toString(), QStringLiteral("212.7917"));
    EXPECT_EQ(Money::fromUnits(-5).mulDiv(1, 10).units(), -1);
    EXPECT_EQ(Money::fromUnits(12345).toDisplayString(), QStringLiteral("1.23"));
    EXPECT_EQ(Money::fromUnits(-12350).toDisplayString(), QStringLiteral("-1.24"));
    EXPECT_EQ(Money().toDisplayString(), QStringLiteral("0.00"));
    EXPECT_EQ(Money::fromUnits(-49).toDisplayString(), QStringLiteral("0.00")); // no "-0.00"
    EXPECT_EQ(Money::fromUnits(500).toDisplayString(), QStringLiteral("0.05"));
    EXPECT_EQ(Money::fromUnits(-1000000).toDisplayString(), QStringLiteral("-100.00"));
    EXPECT_EQ(Money::fromUnits(std::numeric_limits<std::int64_t>::min()).toDisplayString(),
              QStringLiteral("-922337203685477.58"));
}

TEST(Money, StoredFormRoundTripsAndToleratesText)
{
    const Money m = Money::fromUnits(9'999'999'999'999);
    EXPECT_EQ(Money::fromStored(m.toStored()), m);
    EXPECT_EQ(Money::fromStored(QVariant(QStringLiteral("1500000"))), Money::fromWhole(150));
    EXPECT_EQ(Money::fromStored(QVariant()), Money());
}
