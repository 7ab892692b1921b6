#include "timecards/TimeCardValue.h"

#include "data/DatabaseSettings.h"
#include "platform/db/Connection.h"
#include "testsupport/ProgramFiles.h"
#include "testsupport/QtPrinters.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

Money units(std::int64_t tenThousandths)
{
    return Money::fromUnits(tenThousandths);
}

Money value(const char *quantity, Money rate, int percent = 100)
{
    return CalculateTimeSpentValue(
        {"Staff Rates", quantity, rate, Money(), Realization::fromPercent(percent), true});
}

} // namespace

TEST(TimeCardValue, TimeAtARateRoundedOnceToTheCent)
{
    EXPECT_EQ(value("0013000", Money::fromWhole(120)), Money::fromWhole(180));
    EXPECT_EQ(value("0000001", Money::fromWhole(120)), units(300)); // 0.0333.. -> 0.03
    EXPECT_EQ(value("0000001", units(180000)), units(100));         // 0.005 -> 0.01
    // 0.0049995: rounding to four decimals first would give 0.0050 and then 0.01.
    EXPECT_EQ(value("0000001", units(179982)), Money());
    EXPECT_EQ(value("0000000", Money::fromWhole(120)), Money());

    // 999:59:59 at 9,999.9999: 3,599,999 s x 99,999,999 / 3600 ten-thousandths.
    const std::int64_t exact = 3599999LL * 99999999LL; // over 3600 x 100 gives cents
    const std::int64_t cents = (exact + 180000) / 360000;
    EXPECT_EQ(value("9995959", units(99999999)), units(cents * 100));
    EXPECT_EQ(value("9995959", units(99999999)).toString(), "9999997.1200");

    // Blanks read as zeros, short texts are padded, a null time is none.
    EXPECT_EQ(timeSpentSeconds(QString(" 01 000")), 3600);
    EXPECT_EQ(timeSpentSeconds(QString("13000")), 5400);
    EXPECT_EQ(timeSpentSeconds(QVariant()), 0);
    EXPECT_EQ(timeSpentSeconds(QString("12x4567")), 0);
}

TEST(TimeCardValue, RealizationAndTheFlatFee)
{
    EXPECT_EQ(value("0010000", Money::fromWhole(100), 85), Money::fromWhole(85));
    // 1 h 1 s at 37.1234 realized at 33.33 %: 12.3766... -> 12.38
    EXPECT_EQ(CalculateTimeSpentValue({"Staff Rates", "0010001", units(371234), Money(),
                                       Realization::fromHundredthsOfPercent(3333), true}),
              units(123800));
    ValueInputs inputs{"Client Rates",
                       "0013000",
                       Money::fromWhole(120),
                       Money::fromWhole(250),
                       Realization::fromPercent(50),
                       false};
    EXPECT_EQ(CalculateTimeSpentValue(inputs), Money::fromWhole(180)); // not in use: full
    inputs.rateSource = "Flat Fee";
    inputs.realizationInUse = true;
    EXPECT_EQ(CalculateTimeSpentValue(inputs), Money::fromWhole(250)); // whatever the time
    inputs.flatRate = units(2501250);
    EXPECT_EQ(CalculateTimeSpentValue(inputs), units(2501300));
}

TEST(TimeCardValue, TypedRealizationIsAPercentage)
{
    const std::pair<const char *, std::int64_t> accepted[] = {
        {"85", 8500},   {"85%", 8500},  {"%8%5%", 8500},  {" 85 ", 8500},
        {"0.85", 85},   {"85.5", 8550}, {"85.555", 8556}, {".5", 50},
        {"100", 10000}, {"0", 0},       {"007", 700},     {"100.00", 10000}};
    for (const auto &[typed, hundredths] : accepted)
        EXPECT_EQ(parseTypedRealization(typed), Realization::fromHundredthsOfPercent(hundredths))
            << typed;
    for (const char *refused : {"", ".", "%", "%%", "1.2.3", "abc", "8 5", "-5", "100.01", "850"})
        EXPECT_EQ(parseTypedRealization(refused), std::nullopt) << refused;

    const Realization stored = Realization::fromPercent(90);
    RealizationEntry entry = txtRealization_LostFocus(".", stored);
    EXPECT_EQ(entry.realization, stored);
    EXPECT_FALSE(entry.changed);
    EXPECT_EQ(entry.shown, "90%");
    entry = txtRealization_LostFocus("85.5%", stored);
    EXPECT_TRUE(entry.changed);
    EXPECT_EQ(entry.realization.toStored().toDouble(), 0.855);
    EXPECT_EQ(entry.shown, "86%");
}

TEST(TimeCardValue, StoredRealizationAndTheContactsRealization)
{
    EXPECT_EQ(Realization::fromStored(0.855).hundredthsOfPercent(), 8550);
    EXPECT_EQ(Realization::fromStored(QVariant()), Realization::fromPercent(100));
    EXPECT_EQ(Realization::fromStored(QString("x")), Realization::fromPercent(100));
    EXPECT_EQ(Realization::fromPercent(0).toDisplayString(), "0%");

    test::ProgramFiles files;
    const qint32 contact = files.addContact("Harrow & Pike");
    files.exec(files.dataFile(),
               "UPDATE tblContacts SET TimeRealization = 0.9, ExpenseRealization = 0.75, "
               "FixedChargeRealization = NULL WHERE ContactID = ?",
               {contact});
    db::Connection cnn;
    cnn.open(files.programConnectString());
    EXPECT_EQ(GetRealization(cnn, RealizationKind::Time, contact), Realization::fromPercent(90));
    EXPECT_EQ(GetRealization(cnn, RealizationKind::Expense, contact), Realization::fromPercent(75));
    EXPECT_EQ(GetRealization(cnn, RealizationKind::FixedCharge, contact), std::nullopt);
    EXPECT_EQ(GetRealization(cnn, RealizationKind::Time, contact + 1), std::nullopt);

    const Realization full = Realization::fromPercent(100);
    EXPECT_EQ(applicableRealization(cnn, RealizationKind::Time, contact, true),
              Realization::fromPercent(90));
    EXPECT_EQ(applicableRealization(cnn, RealizationKind::Time, contact, false), full);
    EXPECT_EQ(applicableRealization(cnn, RealizationKind::Time, std::nullopt, true), full);
    EXPECT_EQ(applicableRealization(cnn, RealizationKind::FixedCharge, contact, true), full);
}
