#include "platform/core/Duration.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

constexpr qint64 H = 3600;
constexpr qint64 M = 60;

} // namespace

TEST(Duration, TypedFormsAndRefusals)
{
    // seconds < 0: refused.
    const struct {
        const char *typed;
        qint64 seconds;
    } cases[] = {
        // hours:minutes:seconds and hours:minutes
        {"1:30:00", H + 30 * M},
        {"001:30:00", H + 30 * M},
        {" 1:30:00 ", H + 30 * M},
        {"1:30", H + 30 * M},
        {"0:45", 45 * M},
        {"12:05:09", 12 * H + 5 * M + 9},
        {"999:59:59", Duration::MaxStoredSeconds},
        {"1:60", -1},
        {"1:30:75", -1},
        {"1:300", -1},
        {"1:2:3:4", -1},
        {":30", -1},
        {"1::00", -1},
        {"1 : 30", -1},
        {"1000:00:00", -1},
        // decimal hours
        {"1.5", H + 30 * M},
        {"1,5", H + 30 * M},
        {".25", 15 * M},
        {"2.", 2 * H},
        {"0.333", 1199}, // 1198.8 s rounds to the second
        {".", -1},
        {"1.5.0", -1},
        // units
        {"1h30m", H + 30 * M},
        {"1h 30m", H + 30 * M},
        {"1 hour 30 minutes", H + 30 * M},
        {"45m", 45 * M},
        {"45 min", 45 * M},
        {"2H", 2 * H},
        {"1.5h", H + 30 * M},
        {"90s", 90},
        {"1h30m15s", H + 30 * M + 15},
        {"1h30", H + 30 * M},
        {"1h75", -1},
        {"h", -1},
        {"30m1h", -1},
        {"1d", -1},
        // a bare run of digits keeps the stored padding rule
        {"123", M + 23},
        {"001000", 10 * M},
        {"0013000", H + 30 * M},
        {"0009000", 90 * M},
        {"10000000", -1}, // 1000 hours: more than the column holds
        // empty is no time; the rest is not a time at all
        {"", 0},
        {"   ", 0},
        {"1  :00:00", -1}, // what the old edit mask made of a typed "1:00:00"
        {"-1:00", -1},
        {"1:3x", -1},
        {"abc", -1},
        {"1 30", -1},
    };
    for (const auto &c : cases) {
        const auto d = Duration::fromTyped(QString::fromLatin1(c.typed));
        if (c.seconds < 0) {
            EXPECT_FALSE(d) << '"' << c.typed << "\" read as " << d->seconds();
        } else {
            ASSERT_TRUE(d) << '"' << c.typed << '"';
            EXPECT_EQ(d->seconds(), c.seconds) << '"' << c.typed << '"';
        }
    }
}

TEST(Duration, RefusalsSayWhatWasWrong)
{
    EXPECT_EQ(Duration::refusal(QStringLiteral(" 1:3x ")),
              QStringLiteral("\"1:3x\" is not a time. Enter a time such as 1:30:00, 1:30, "
                             "1.5 (hours) or 1h30m."));
    EXPECT_EQ(Duration::refusal(QStringLiteral("1000:00:00")),
              QStringLiteral("\"1000:00:00\" is more than 999:59:59, the longest time a "
                             "TimeCard holds."));
}

TEST(Duration, StoredTextsReadTheSameEverywhere)
{
    const struct {
        const char *stored;
        qint64 seconds;
    } cases[] = {
        {"0012345", H + 23 * M + 45},
        {"  130 0", H + 30 * M}, // blanks left by the old edit mask stand for zeros
        {"123", M + 23},         // short text is left-padded
        {"", 0},
        {"0009000", 90 * M},       // minutes above 59 count as they stand
        {"10000000", 1000 * H},    // a peer's 1000 hours
        {"001:30:00", H + 30 * M}, // the shown form
        {"  1:30:00", H + 30 * M},
        {"12a4567", -1},
        {"1:30", -1},
        {"-000100", -1},
        {"1234567890123", -1},
    };
    for (const auto &c : cases) {
        const auto d = Duration::fromStored(QString::fromLatin1(c.stored));
        if (c.seconds < 0) {
            EXPECT_FALSE(d) << '"' << c.stored << '"';
            EXPECT_EQ(Duration::fromColumnOrZero(QString::fromLatin1(c.stored)), Duration());
        } else {
            ASSERT_TRUE(d) << '"' << c.stored << '"';
            EXPECT_EQ(d->seconds(), c.seconds) << '"' << c.stored << '"';
        }
    }
    EXPECT_EQ(Duration::fromColumn(QVariant()), Duration());
}

TEST(Duration, WritesTheStoredAndTheShownForm)
{
    const Duration d = Duration::fromSeconds(4425);
    EXPECT_EQ(d.toStored(), QStringLiteral("0011345"));
    EXPECT_EQ(d.toShown(), QStringLiteral("001:13:45"));
    EXPECT_EQ(Duration::fromStored(d.toStored()), d);
    EXPECT_EQ(Duration::fromTyped(d.toShown()), d);
    EXPECT_EQ(Duration().toStored(), QStringLiteral("0000000"));
    EXPECT_EQ(Duration::fromSeconds(-5).toStored(), QStringLiteral("0000000"));
    EXPECT_EQ(Duration::fromSeconds(-5).toShown(), QStringLiteral("-000:00:05"));
    // 90 minutes written the long way come back in their own places.
    EXPECT_EQ(Duration::fromStored(QStringLiteral("0009000"))->toStored(),
              QStringLiteral("0013000"));
    // 1000 hours: the column keeps the most it can hold, the shown form all of it.
    const Duration long_ = Duration::fromSeconds(1000 * H);
    EXPECT_FALSE(long_.fitsStored());
    EXPECT_EQ(long_.toStored(), QStringLiteral("9995959"));
    EXPECT_EQ(long_.toShown(), QStringLiteral("1000:00:00"));
    EXPECT_EQ(Duration::fromSeconds(89).roundedMinutes(), 1);
    EXPECT_EQ(Duration::fromSeconds(90).roundedMinutes(), 2);
}
