// Choosing and clearing a TimeCard's contact on a real program database: the
// question about linked items, the activity lists refilled for the new contact,
// and the realization and rate that follow the contact.

#include "timecards/ContactChoice.h"

#include "data/DatabaseSettings.h"
#include "platform/db/Connection.h"
#include "settings/AdminSettings.h"
#include "settings/PreparedCommands.h"
#include "testsupport/ProgramFiles.h"
#include "timecards/Rates.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

struct ContactChoiceTest : ::testing::Test {
    test::ProgramFiles files;
    db::Connection cnn;
    PreparedCommands commands;
    qint32 alder = 0, birch = 0;
    qint32 shared = 0, alderOwn = 0, birchOwn = 0; // Activity 1
    qint32 card = 0;
    int rateLookups = 0;
    ContactChoiceOptions options{true, true, true, QStringLiteral("Client")};

    void SetUp() override
    {
        cnn.open(files.programConnectString());
        alder = contact("Alder & Co", 0.8, 150);
        birch = contact("Birch's Bakery", 0.6, 90);
        shared = activity("Consulting", std::nullopt);
        alderOwn = activity("Alder audit", alder);
        birchOwn = activity("Birch audit", birch);
        AdminOptions admin;
        ASSERT_TRUE(ProcessAdminOptions(cnn, admin, commands, files.errors));
        ASSERT_TRUE(commands.activity1ListTakesContact);
        card = files.addTimeCard(1, alder);
    }

    qint32 contact(const QString &name, double realization, int rate1)
    {
        return static_cast<qint32>(cnn.insertReturningKey(
            QStringLiteral("INSERT INTO tblContacts (ContactName, Active, TimeRealization, Rate1) "
                           "VALUES (?, -1, ?, ?)"),
            {name, realization, rate1}, QStringLiteral("ContactID")));
    }
    qint32 activity(const QString &name, std::optional<qint32> contactId)
    {
        return static_cast<qint32>(cnn.insertReturningKey(
            QStringLiteral("INSERT INTO tblMainActivities (ActivityName, ContactID, Active) "
                           "VALUES (?, ?, -1)"),
            {name, contactId ? QVariant(*contactId) : QVariant()}, QStringLiteral("ActivityID")));
    }
    QVariant field(const QString &column)
    {
        return cnn.scalar(QStringLiteral("SELECT ") + column +
                              QStringLiteral(" FROM tblTimeCards WHERE TimeCardID = ?"),
                          {card});
    }
    static std::optional<qint32> idOf(const QVariant &v)
    {
        return v.isNull() ? std::nullopt : std::optional<qint32>(v.toInt());
    }

    ContactChoice choice()
    {
        ContactChoiceHooks h;
        h.contactId = [this] { return idOf(field("ContactID")); };
        h.hasLinkedItems = [this] { return hasLinkedItems(cnn, card); };
        h.write = [this](const QString &column, const QVariant &value) {
            cnn.execute(QStringLiteral("UPDATE tblTimeCards SET ") + column +
                            QStringLiteral(" = ? WHERE TimeCardID = ?"),
                        {value, card});
            return true;
        };
        h.activityId = [this](int level) {
            return idOf(
                field(level == 1 ? QStringLiteral("Activity1ID") : QStringLiteral("Activity2ID")));
        };
        h.activities = [this](int level, std::optional<qint32> contactId) {
            return level == 1 ? activityEntries(*commands.activity1List,
                                                commands.activity1ListTakesContact, contactId)
                              : activityEntries(*commands.activity2List,
                                                commands.activity2ListTakesContact, contactId);
        };
        h.realization = [this](std::optional<qint32> contactId) {
            return applicableRealization(cnn, RealizationKind::Time, contactId, true);
        };
        h.rateSource = [this] { return field("RateSource").toString(); };
        h.lookUpRate = [this] { ++rateLookups; };
        return ContactChoice(h, options, files.prompts);
    }
};

TEST_F(ContactChoiceTest, ChangingTheContactDropsTheOldContactsActivityOnly)
{
    cnn.execute("UPDATE tblTimeCards SET Activity1ID = ? WHERE TimeCardID = ?", {alderOwn, card});
    ContactChange change = choice().choose(PickedContact{birch, "Birch's Bakery"});
    ASSERT_TRUE(change.changed);
    EXPECT_EQ(field("ContactID").toInt(), birch);
    EXPECT_TRUE(field("Activity1ID").isNull());
    EXPECT_TRUE(change.activities[0].cleared);
    EXPECT_EQ(change.activities[0].selected, 0);
    QStringList offered;
    for (const PickEntry &e : change.activities[0].entries)
        offered << e.text;
    EXPECT_EQ(offered, (QStringList{"", "Birch audit", "Consulting"}));

    // An activity of nobody stays with any contact.
    cnn.execute("UPDATE tblTimeCards SET Activity1ID = ? WHERE TimeCardID = ?", {shared, card});
    change = choice().choose(PickedContact{alder, "Alder & Co"});
    ASSERT_TRUE(change.changed);
    EXPECT_EQ(field("Activity1ID").toInt(), shared);
    EXPECT_FALSE(change.activities[0].cleared);
    EXPECT_EQ(
        change.activities[0].entries.at(static_cast<std::size_t>(change.activities[0].selected)).id,
        shared);
}

TEST_F(ContactChoiceTest, TheSameContactOrNoneChosenChangesAndAsksNothing)
{
    cnn.execute("INSERT INTO tblTasks (TimeCardID, EntryID) VALUES (?, 'task-1')", {card});
    cnn.execute("UPDATE tblTimeCards SET Activity1ID = ?, Realization = 0.5 WHERE TimeCardID = ?",
                {alderOwn, card});
    ContactChoice c = choice();
    EXPECT_FALSE(c.choose(PickedContact{alder, "Alder & Co"}).changed);
    EXPECT_FALSE(c.choose(std::nullopt).changed);
    EXPECT_TRUE(files.prompts.dialogs().isEmpty());
    EXPECT_EQ(field("Activity1ID").toInt(), alderOwn);
    EXPECT_DOUBLE_EQ(field("Realization").toDouble(), 0.5);
    EXPECT_EQ(rateLookups, 0);
}

TEST_F(ContactChoiceTest, LinkedItemsAreAskedAboutFirstAndCancelKeepsEverything)
{
    cnn.execute("INSERT INTO tblTasks (TimeCardID, EntryID) VALUES (?, 'task-1')", {card});
    files.prompts.answerDialog(false);
    ContactChange change = choice().choose(PickedContact{birch, "Birch's Bakery"});
    EXPECT_FALSE(change.changed);
    EXPECT_TRUE(change.cancelled);
    EXPECT_EQ(field("ContactID").toInt(), alder);

    files.prompts.answerDialog(true, {{ModifySubjectKey, true}});
    change = choice().choose(PickedContact{birch, "Birch's Bakery"});
    EXPECT_TRUE(change.changed);
    EXPECT_TRUE(change.update.asked);
    EXPECT_TRUE(change.update.modifySubject);
    EXPECT_FALSE(change.update.modifyBody);
    EXPECT_EQ(field("ContactID").toInt(), birch);
    ASSERT_EQ(files.prompts.dialogs().size(), 2);
    EXPECT_EQ(files.prompts.dialogs().at(0).name, UpdatePromptDialogName);
}

TEST_F(ContactChoiceTest, RealizationAndContactRatesFollowTheContact)
{
    cnn.execute("UPDATE tblTimeCards SET RateSource = ? WHERE TimeCardID = ?",
                {termRates(options.contactTerm), card});
    ContactChange change = choice().choose(PickedContact{birch, "Birch's Bakery"});
    ASSERT_TRUE(change.realization);
    EXPECT_EQ(change.realization->hundredthsOfPercent(), 6000);
    EXPECT_DOUBLE_EQ(field("Realization").toDouble(), 0.6);
    EXPECT_TRUE(change.rateLookedUp);
    EXPECT_EQ(rateLookups, 1);

    // Another source keeps its rate; billing not in use leaves billing alone.
    cnn.execute("UPDATE tblTimeCards SET RateSource = 'Staff Rates' WHERE TimeCardID = ?", {card});
    EXPECT_FALSE(choice().choose(PickedContact{alder, "Alder & Co"}).rateLookedUp);
    EXPECT_DOUBLE_EQ(field("Realization").toDouble(), 0.8);
    options.billingInUse = false;
    change = choice().choose(PickedContact{birch, "Birch's Bakery"});
    EXPECT_TRUE(change.changed);
    EXPECT_FALSE(change.realization);
    EXPECT_DOUBLE_EQ(field("Realization").toDouble(), 0.8);
    EXPECT_EQ(rateLookups, 1);
}

TEST_F(ContactChoiceTest, ClearingTheContactHasTheSameFollowUps)
{
    cnn.execute("UPDATE tblTimeCards SET Activity1ID = ?, Realization = 0.5 WHERE TimeCardID = ?",
                {alderOwn, card});
    ContactChange change = choice().clear();
    ASSERT_TRUE(change.changed);
    EXPECT_TRUE(field("ContactID").isNull());
    EXPECT_TRUE(field("Activity1ID").isNull());
    EXPECT_DOUBLE_EQ(field("Realization").toDouble(), 1.0);
    // Nothing left to clear the second time.
    EXPECT_FALSE(choice().clear().changed);
}

TEST_F(ContactChoiceTest, ALockedTimeCardIsNotTouched)
{
    ContactChoiceHooks h;
    h.locked = [] { return true; };
    h.contactId = [this] { return idOf(field("ContactID")); };
    h.write = [](const QString &, const QVariant &) {
        ADD_FAILURE() << "a locked TimeCard was written";
        return false;
    };
    EXPECT_FALSE(ContactChoice(h, options, files.prompts).clear().changed);
    EXPECT_EQ(field("ContactID").toInt(), alder);
}

} // namespace
