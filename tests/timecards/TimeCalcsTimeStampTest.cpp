#include "testsupport/QtPrinters.h"
#include "timecards/Clock.h"
#include "timecards/TimeStamp.h"

#include <gtest/gtest.h>

using namespace quorvale;

TEST(InsertTimeStamp, BuildsEachKeysStampFromTheClock)
{
    const FixedClock clock(QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9)));
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const struct {
        Qt::Key key;
        const char *text;
    } cases[] = {
        {Qt::Key_1, "[3/7/26] "},          {Qt::Key_2, "\n\n[3/7/26] "},
        {Qt::Key_3, "[3/7/26 02:05 PM] "}, {Qt::Key_4, "\n\n[3/7/26 02:05 PM] "},
        {Qt::Key_5, "[02:05 PM] "},        {Qt::Key_6, "\n\n[02:05 PM] "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(InsertTimeStamp(c.key, Qt::ControlModifier, clock, us), QLatin1String(c.text));

    // The date follows the locale's short format.
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(InsertTimeStamp(Qt::Key_1, Qt::ControlModifier, clock, de),
              QLatin1String("[07.03.26] "));
}

TEST(InsertTimeStamp, OtherKeysInsertNothing)
{
    const FixedClock clock(QDateTime(QDate(2026, 3, 7), QTime(9, 0)));
    using Press = std::pair<Qt::Key, Qt::KeyboardModifiers>;
    for (const auto &[key, modifiers] :
         {Press{Qt::Key_7, Qt::ControlModifier}, Press{Qt::Key_0, Qt::ControlModifier},
          Press{Qt::Key_1, Qt::NoModifier},
          Press{Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier}})
        EXPECT_FALSE(InsertTimeStamp(key, modifiers, clock)) << key;
}
