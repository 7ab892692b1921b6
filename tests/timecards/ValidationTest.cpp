#include "timecards/Validation.h"

#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "timecards/TimeCardDefaults.h"

#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::ValidationCode;

namespace {

ValidationOptions everyRuleOn()
{
    ValidationOptions o;
    o.contactInUse = o.contactRequired = true;
    o.activity1InUse = o.activity1Required = true;
    o.activity2InUse = o.activity2Required = true;
    o.endBeforeStart = o.noTimeSpent = o.noHourlyRate = o.noDescription = o.noJobOrder = true;
    o.terms = {"Client", "Service", "Project"};
    o.jobOrderTerm = "Matter Number";
    return o;
}

TimeCardEntry validEntry()
{
    TimeCardEntry e;
    e.contactChosen = e.activity1Chosen = e.activity2Chosen = true;
    e.startDate = e.endDate = QDate(2026, 3, 2);
    e.startTime = QTime(9, 0);
    e.endTime = QTime(10, 30);
    e.timeSpent = "0013000";
    e.rateSource = "Staff Rates";
    e.hourlyRate = "$150.00";
    e.flatFee = "$0.00";
    e.description = "Reviewed the draft";
    e.jobOrder = "123-45-6789";
    return e;
}

} // namespace

TEST(ValidationError, MendingEachRuleInTurnRevealsTheNextInOrder)
{
    const ValidationOptions o = everyRuleOn();
    TimeCardEntry e;
    e.startDate = QDate(2026, 3, 2);
    e.endDate = QDate(2026, 3, 1);
    e.timeSpent = "0000000";
    e.rateSource = "Flat Fee";
    e.jobOrder = "___-__-____";
    const std::vector<std::function<void()>> mend = {
        [&] { e.contactChosen = true; },   [&] { e.activity1Chosen = true; },
        [&] { e.activity2Chosen = true; }, [&] { e.endDate = e.startDate; },
        [&] { e.timeSpent = "0000100"; },  [&] { e.flatFee = "$25.00"; },
        [&] { e.description = "x"; },      [&] { e.jobOrder = "123-45-6789"; },
    };
    const std::vector<int> expected = {NoContact,   NoActivity1, NoActivity2,   EndBeforeStart,
                                       NoTimeSpent, NoFlatFee,   NoDescription, NoJobOrder};
    for (std::size_t i = 0; i < mend.size(); ++i) {
        EXPECT_EQ(ValidationError(e, o), expected[i]) << "step " << i;
        mend[i]();
    }
    EXPECT_EQ(ValidationError(e, o), Valid);
    e.rateSource = "Staff Rates";
    e.hourlyRate = "";
    EXPECT_EQ(ValidationError(e, o), NoHourlyRate);
}

TEST(ValidationError, EdgesOfTheTimeAndAmountRules)
{
    const ValidationOptions o = everyRuleOn();
    TimeCardEntry e = validEntry();
    e.endTime = QTime(8, 59);
    EXPECT_EQ(ValidationError(e, o), EndBeforeStart);
    e.endTime = e.startTime;
    EXPECT_EQ(ValidationError(e, o), Valid);
    // An earlier end date fails whatever the times.
    e.endDate = e.startDate.addDays(-1);
    e.endTime = QTime(23, 0);
    EXPECT_EQ(ValidationError(e, o), EndBeforeStart);
    e = validEntry();

    e.timeSpent = "0000000";
    EXPECT_EQ(ValidationError(e, o), NoTimeSpent);
    e.timerRunsHere = true;
    EXPECT_EQ(ValidationError(e, o), Valid);

    for (const char *rate : {"", "abc", "$0.99", "-5", "0"}) {
        e.hourlyRate = rate;
        EXPECT_EQ(ValidationError(e, o), NoHourlyRate) << rate;
    }
    for (const char *rate : {"1", "$1,250.00", "150"}) {
        e.hourlyRate = rate;
        EXPECT_EQ(ValidationError(e, o), Valid) << rate;
    }
    e.jobOrder = "   ";
    EXPECT_EQ(ValidationError(e, o), NoJobOrder);

    // Required fields that are not in use, and an administrator-fixed rate
    // source, are not the person's to mend.
    ValidationOptions off;
    off.contactRequired = off.activity1Required = off.activity2Required = true;
    EXPECT_EQ(ValidationError(TimeCardEntry{}, off), Valid);
    ValidationOptions fixed = o;
    fixed.rateSourceFixed = true;
    e = validEntry();
    e.hourlyRate.clear();
    EXPECT_EQ(ValidationError(e, fixed), Valid);
}

TEST(ProcessValidationError, TellsTheProblemInTheTermsAndSaysWhereToMend)
{
    const ValidationOptions o = everyRuleOn();
    const QStringList messages = {"No client selected.",      "No service selected.",
                                  "No project selected.",     "End time before the start time.",
                                  "No time spent.",           "No flat rate entry.",
                                  "No hourly rate selected.", "No description provided.",
                                  "No matter number entered."};
    for (int code = 1; code <= 9; ++code)
        EXPECT_EQ(validationMessage(code, o), messages[code - 1]);
    EXPECT_EQ(validationMessage(Valid, o), "");
    // Without the administrator's term the message names the field as it shows.
    ValidationOptions untermed = o;
    untermed.jobOrderTerm.clear();
    EXPECT_EQ(validationMessage(NoJobOrder, untermed), "No job order entered.");

    test::ScriptedPrompts prompts;
    TimeCardEntry e = validEntry();
    EXPECT_EQ(ProcessValidationError(EndBeforeStart, e, o, prompts),
              (FocusTarget{3, FocusField::StartTime}));
    e.endDate = e.startDate.addDays(-1);
    EXPECT_EQ(ProcessValidationError(EndBeforeStart, e, o, prompts),
              (FocusTarget{3, FocusField::StartDate}));
    EXPECT_EQ(ProcessValidationError(NoContact, e, o, prompts),
              (FocusTarget{0, FocusField::Description}));
    EXPECT_EQ(ProcessValidationError(NoFlatFee, e, o, prompts),
              (FocusTarget{4, FocusField::FlatFee}));
    EXPECT_EQ(ProcessValidationError(Valid, e, o, prompts), FocusTarget{});
    ASSERT_EQ(prompts.messages().size(), 4);
    const auto &m = prompts.messages().at(2); // the contact's
    EXPECT_EQ(m.title, " Validation Error");
    EXPECT_EQ(m.text,
              "Quorvale cannot perform the requested action until the following problem with the "
              "current TimeCard is resolved:\n\nProblem:\nNo client selected.\n\nIf you want to "
              "save this TimeCard, please correct this problem before proceeding.  Otherwise, "
              "delete this TimeCard using the Menu or the TimeCard Navigator.");
}

TEST(SetFieldDefaultValues, DefaultsFollowTheSettingsAndTheAdministrator)
{
    NewCardSettings s;
    s.entryType = "Phone call";
    s.billingStatus = "Hold";
    s.category = "Business";
    s.rateSource = "Client Rates";
    s.rateLevel = "2";
    s.mainActivity = 7;
    s.subActivity = 9;
    NewCardOptions o;
    o.activity1InUse = o.activity2InUse = true;
    const QDateTime now(QDate(2026, 5, 4), QTime(16, 5, 59));
    const auto listed = [](int level, qint32 id) { return level == 1 && id == 7; };

    // Billing off: its columns stay Null.
    TimeCardDefaults d = SetFieldDefaultValues(s, o, 3, now, listed, {});
    EXPECT_EQ(d.activity1Id, 7);
    EXPECT_TRUE(d.activity2Id.isNull()); // not offered by its list
    EXPECT_EQ(d.startTime, QTime(16, 5));
    EXPECT_EQ(d.entryType + "/" + d.category, "Phone call/Business");
    EXPECT_TRUE(d.billStatus.isNull());
    EXPECT_FALSE(d.value);

    // The default source's rate at the default level is the rate timed at.
    o.billingInUse = true;
    d = SetFieldDefaultValues(s, o, 3, now, listed, [](const QString &src, const QString &lvl) {
        return std::optional<Money>(Money::fromWhole(src == "Client Rates" && lvl == "2" ? 85 : 1));
    });
    EXPECT_EQ(d.billStatus, "Hold");
    EXPECT_EQ(d.rateSource, "Client Rates");
    EXPECT_TRUE(d.fillRateList);
    EXPECT_EQ(d.rate, Money::fromWhole(85));
    EXPECT_EQ(d.flatRate, Money());

    // A fixed source with no fixed rate takes the rate of the lookup.
    o.rateSourceFixed = true;
    o.fixedRateSource = "Staff Rates";
    o.fixedRateLevel = "4";
    d = SetFieldDefaultValues(s, o, 3, now, listed, [&](const QString &src, const QString &lvl) {
        return std::optional<Money>(Money::fromWhole(src == "Staff Rates" && lvl == "4" ? 95 : 1));
    });
    EXPECT_EQ(d.rate, Money::fromWhole(95));
    o.fixedHourlyRate = Money::fromWhole(120);
    EXPECT_EQ(SetFieldDefaultValues(s, o, 3, now, listed, {}).rate, Money::fromWhole(120));
}
