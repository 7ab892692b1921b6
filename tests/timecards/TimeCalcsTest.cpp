#include "timecards/TimeCalcs.h"

#include "platform/core/QvError.h"
#include "testsupport/QtPrinters.h"

#include <gtest/gtest.h>

using namespace quorvale;

TEST(TimeCalcs, ReadsAndNormalisesDurationTexts)
{
    const struct {
        const char *typed, *normal;
        qint64 seconds;
    } cases[] = {
        {"0012345", "0012345", 5025}, // 1 x 3600 + 23 x 60 + 45
        {"  130 0", "0013000", 5400}, // blanks stand for zeros
        {"123", "0000123", 83},       // short text is left-padded
        {"", "0000000", 0},
        {"___:__:__", "0000000", 0},    // an untouched mask
        {"001:30:00", "0013000", 5400}, // the mask's separators
        {"1:5:00", "0010500", 3900},    // each part padded on its own
        {"5:00", "0000500", 300},
        {"00012345", "0012345", 5025}, // a zero beyond seven digits changes nothing
        {"0009000", "0009000", 5400},  // 90 minutes, left as typed
        {"9995959", "9995959", MaxDurationSeconds},
    };
    for (const auto &c : cases) {
        QString text = QString::fromLatin1(c.typed);
        EXPECT_EQ(ConvertTimeToSeconds(text), c.seconds) << c.typed;
        EXPECT_EQ(text, QLatin1String(c.normal)) << c.typed;
    }
}

TEST(TimeCalcs, RefusesTextThatIsNoDurationAndLeavesIt)
{
    for (const char *typed :
         {"12345678", "1000:00:00", "1:2:3:4", "12:345:00", "00a0100", "-000100"}) {
        QString text = QString::fromLatin1(typed);
        EXPECT_FALSE(normaliseDurationText(text)) << typed;
        EXPECT_THROW(ConvertTimeToSeconds(text), QvError) << typed;
        EXPECT_EQ(text, QLatin1String(typed));
    }
}

TEST(TimeCalcs, WritesSecondsAsSevenDigits)
{
    EXPECT_EQ(ConvertSecondsToTime(5025), QLatin1String("0012345"));
    EXPECT_EQ(ConvertSecondsToTime(4425), QLatin1String("0011345"));
    EXPECT_EQ(ConvertSecondsToTime(59), QLatin1String("0000059"));
    EXPECT_EQ(ConvertSecondsToTime(0), QLatin1String("0000000"));
    EXPECT_EQ(ConvertSecondsToTime(-5), QLatin1String("0000000"));
    EXPECT_EQ(ConvertSecondsToTime(MaxDurationSeconds), QLatin1String("9995959"));
    // 1000 hours would need eight digits; the column keeps the most it can hold.
    EXPECT_EQ(ConvertSecondsToTime(3600000), QLatin1String("9995959"));
    for (qint64 seconds : {1, 60, 3599, 3600, 12 * 3600 + 7}) {
        QString text = ConvertSecondsToTime(seconds);
        EXPECT_EQ(ConvertTimeToSeconds(text), seconds);
    }
}
