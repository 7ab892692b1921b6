#include "timecards/TimeCalcs.h"

#include "platform/core/QvError.h"
#include "testsupport/QtPrinters.h"

#include <gtest/gtest.h>

using namespace quorvale;

TEST(TimeCalcs, ConvertsStoredTextsAndRefusesOthers)
{
    EXPECT_EQ(ConvertTimeToSeconds(QStringLiteral("0012345")), 5025);
    EXPECT_EQ(ConvertTimeToSeconds(QStringLiteral("  130 0")), 5400);
    EXPECT_EQ(ConvertTimeToSeconds(QStringLiteral("123")), 83);
    for (const char *text : {"00a0100", "-000100", "1:30"})
        EXPECT_THROW(ConvertTimeToSeconds(QString::fromLatin1(text)), QvError) << text;
}

TEST(TimeCalcs, WritesSecondsAsSevenDigits)
{
    EXPECT_EQ(ConvertSecondsToTime(4425), QLatin1String("0011345"));
    EXPECT_EQ(ConvertSecondsToTime(0), QLatin1String("0000000"));
    EXPECT_EQ(ConvertSecondsToTime(-5), QLatin1String("0000000"));
    // 1000 hours would need eight digits; the column keeps the most it can hold.
    EXPECT_EQ(ConvertSecondsToTime(3600000), QLatin1String("9995959"));
    for (qint64 seconds : {1, 60, 3599, 3600, 12 * 3600 + 7})
        EXPECT_EQ(ConvertTimeToSeconds(ConvertSecondsToTime(seconds)), seconds);
}
