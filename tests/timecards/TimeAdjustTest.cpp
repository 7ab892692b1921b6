#include "timecards/TimeAdjust.h"

#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"

#include <gtest/gtest.h>

using namespace quorvale;
using quorvale::test::ScriptedPrompts;

namespace {

AdjustTimeInput input(AdjustTarget target, AdjustDirection direction, QVariant current)
{
    return {target, direction, std::move(current), QStringLiteral("5 minutes")};
}

} // namespace

TEST(TimeAdjust, AmountButtonsFollowTheBillingInterval)
{
    const auto six = adjustAmounts(QStringLiteral("6 minutes"));
    const auto five = adjustAmounts(QStringLiteral("5 minutes"));
    const qint64 sixMinutes[] = {6, 12, 18, 30, 60, 120}, fiveMinutes[] = {5, 10, 20, 30, 60, 120};
    ASSERT_EQ(six.size(), 6u);
    ASSERT_EQ(five.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(six[i].seconds, sixMinutes[i] * 60);
        EXPECT_EQ(five[i].seconds, fiveMinutes[i] * 60);
    }
    EXPECT_EQ(six[0].tip, QLatin1String("Click to add or subtract 6 minutes."));
    EXPECT_EQ(five[5].tip, QLatin1String("Click to add or subtract 2 hours."));
}

TEST(TimeAdjust, AddsAndSubtractsTheChosenOrTypedAmount)
{
    ScriptedPrompts prompts;
    TimeAdjust add(input(AdjustTarget::TimeSpent, AdjustDirection::Add, QStringLiteral("0010000")),
                   prompts);
    add.chooseAmount(1); // 10 minutes
    ASSERT_TRUE(add.accept());
    EXPECT_EQ(add.result(), QVariant(QStringLiteral("0011000")));

    add.typeAmount(QStringLiteral("0:00:45")); // a typed amount wins over the button
    EXPECT_FALSE(add.chosenAmount());
    ASSERT_TRUE(add.accept());
    EXPECT_EQ(add.result(), QVariant(QStringLiteral("0010045")));
    // Typed as people write times: an hour and a half each way.
    for (const char *typed : {"1:30", "1.5", "1h30m", "0013000"}) {
        add.typeAmount(QLatin1String(typed));
        ASSERT_TRUE(add.accept()) << typed;
        EXPECT_EQ(add.result(), QVariant(QStringLiteral("0023000"))) << typed;
    }

    TimeAdjust toZero(
        input(AdjustTarget::TimeEstimated, AdjustDirection::Subtract, QStringLiteral("  1 000")),
        prompts);
    toZero.chooseAmount(4); // 1 hour
    ASSERT_TRUE(toZero.accept());
    EXPECT_EQ(toZero.result(), QVariant(QStringLiteral("0000000")));
    EXPECT_TRUE(prompts.messages().isEmpty());
}

TEST(TimeAdjust, RefusedResultsWarnAndKeepTheDialogOpen)
{
    const struct {
        AdjustDirection direction;
        const char *current, *typed;
        QString warning;
    } cases[] = {
        {AdjustDirection::Subtract, "0000959", "10m", QLatin1String(TimeAdjustTexts::Negative)},
        {AdjustDirection::Add, "9990000", "1:00:00", QLatin1String(TimeAdjustTexts::TooLong)},
        {AdjustDirection::Add, "0000000", "12:345:00",
         QStringLiteral("\"12:345:00\" is not a time. Enter a time such as 1:30:00, 1:30, "
                        "1.5 (hours) or 1h30m.")},
    };
    for (const auto &c : cases) {
        ScriptedPrompts prompts;
        TimeAdjust adjust(input(AdjustTarget::TimeSpent, c.direction, QLatin1String(c.current)),
                          prompts);
        adjust.typeAmount(QLatin1String(c.typed));
        EXPECT_FALSE(adjust.accept()) << c.typed;
        ASSERT_EQ(prompts.messages().size(), 1);
        EXPECT_EQ(prompts.messages()[0].title, QLatin1String("Warning"));
        EXPECT_EQ(prompts.messages()[0].text, c.warning);
        EXPECT_FALSE(adjust.result().isValid());
    }
}

TEST(TimeAdjust, TimeDetailMinutesMoveByWholeMinutes)
{
    ScriptedPrompts prompts;
    TimeAdjust add(input(AdjustTarget::TimeDetail, AdjustDirection::Add, 40), prompts);
    EXPECT_FALSE(add.explainsOwnFields());
    add.typeAmount(QStringLiteral("000:01:30")); // rounds half up to 2 minutes
    ASSERT_TRUE(add.accept());
    EXPECT_EQ(add.result().toLongLong(), 42);

    TimeAdjust subtract(input(AdjustTarget::TimeDetail, AdjustDirection::Subtract, 40), prompts);
    subtract.chooseAmount(4);
    EXPECT_FALSE(subtract.accept());
    EXPECT_EQ(prompts.messages().size(), 1);
}

TEST(TimeAdjust, TimeAddSubtractPausesTheTimerBeforeReadingTheTimeSpent)
{
    ScriptedPrompts prompts;
    QString field = QStringLiteral("0000100");
    const AdjustTimeSource source{[&] { return QVariant(field); },
                                  [&] { field = QStringLiteral("0000230"); }};
    prompts.answerDialog(true, {{QLatin1String(AdjustTimeResultKey), QStringLiteral("0000730")}});
    const auto result = TimeAddSubtract(prompts, AdjustTarget::TimeSpent, AdjustDirection::Add,
                                        QStringLiteral("6 minutes"), source);
    EXPECT_EQ(result, QVariant(QStringLiteral("0000730")));
    const AdjustTimeInput sent = fromDialogValues(prompts.dialogs()[0].valuesIn);
    EXPECT_EQ(prompts.dialogs()[0].name, QLatin1String(AdjustTimeDialogName));
    EXPECT_EQ(sent.current, QVariant(QStringLiteral("0000230")));
    EXPECT_EQ(sent.defaultBillingInterval, QLatin1String("6 minutes"));

    // The estimate does not stop the timer; a cancelled dialog changes nothing.
    field = QStringLiteral("0000100");
    prompts.answerDialog(false);
    EXPECT_FALSE(TimeAddSubtract(prompts, AdjustTarget::TimeEstimated, AdjustDirection::Subtract,
                                 QString(), source));
    EXPECT_EQ(fromDialogValues(prompts.dialogs()[1].valuesIn).current,
              QVariant(QStringLiteral("0000100")));
    EXPECT_EQ(fromDialogValues(prompts.dialogs()[1].valuesIn).direction, AdjustDirection::Subtract);
}
