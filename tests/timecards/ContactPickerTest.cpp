// The contact picker's list on a real program database: what it offers and how
// typing narrows it, including text that would break a statement built from it.

#include "timecards/ContactPicker.h"

#include "data/DatabaseSettings.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "testsupport/ProgramFiles.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

struct ContactPickerTest : ::testing::Test {
    test::ProgramFiles files;
    db::Connection cnn;

    void SetUp() override { cnn.open(files.programConnectString()); }

    qint32 add(const QString &name, const QString &account, bool active = true)
    {
        return static_cast<qint32>(cnn.insertReturningKey(
            QStringLiteral("INSERT INTO tblContacts (ContactName, ContactAccount, Active) "
                           "VALUES (?, ?, ?)"),
            {name, account, active ? -1 : 0}, QStringLiteral("ContactID")));
    }

    static QStringList names(const ContactPicker &picker)
    {
        QStringList list;
        for (const int i : picker.matches())
            list << picker.contacts().at(static_cast<std::size_t>(i)).name;
        return list;
    }
};

TEST_F(ContactPickerTest, OffersOnlyActiveContactsByAccountThenName)
{
    add("Zeta Ltd", "A-2");
    add("Beta Inc", "A-1");
    add("Alpha Co", "A-2");
    add("Gone Away", "A-0", false);
    ContactPicker picker(cnn);
    EXPECT_EQ(names(picker), (QStringList{"Beta Inc", "Alpha Co", "Zeta Ltd"}));
}

TEST_F(ContactPickerTest, TypingMatchesNameOrAccountAnywhereWithoutRegardToCase)
{
    add("Harbour Works", "HW-100");
    add("Northwind", "NW-200");
    const qint32 acme = add("ACME Widgets", "ZZ-1");
    ContactPicker picker(cnn);

    picker.filter("  acme ");
    EXPECT_EQ(names(picker), QStringList{"ACME Widgets"});
    EXPECT_EQ(picker.picked(0), (PickedContact{acme, "ACME Widgets"}));

    picker.filter("nw-2");
    EXPECT_EQ(names(picker), QStringList{"Northwind"});

    // Typing on narrows; deleting back widens again.
    picker.filter("w");
    EXPECT_EQ(picker.matches().size(), 3u);
    picker.filter("wo");
    EXPECT_EQ(names(picker), QStringList{"Harbour Works"});
    picker.filter("w");
    EXPECT_EQ(picker.matches().size(), 3u);
    picker.filter("");
    EXPECT_EQ(picker.matches().size(), 3u);
    picker.filter("no such contact");
    EXPECT_TRUE(picker.matches().empty());
}

TEST_F(ContactPickerTest, TypedQuotesSemicolonsAndSqlAreOnlyText)
{
    add("O'Brien & Sons", "OB-1");
    add("Semi; Colon", "SC-1");
    add("Percent 100% Ltd", "P_1");
    add("Plain", "PL-1");
    ContactPicker picker(cnn);

    picker.filter("o'b");
    EXPECT_EQ(names(picker), QStringList{"O'Brien & Sons"});
    picker.filter("; colon");
    EXPECT_EQ(names(picker), QStringList{"Semi; Colon"});
    // LIKE's wild cards mean nothing here.
    picker.filter("%");
    EXPECT_EQ(names(picker), QStringList{"Percent 100% Ltd"});
    picker.filter("_");
    EXPECT_EQ(names(picker), QStringList{"Percent 100% Ltd"});
    picker.filter("' OR 1=1; DROP TABLE tblContacts; --");
    EXPECT_TRUE(picker.matches().empty());

    ContactPicker again(cnn);
    EXPECT_EQ(again.contacts().size(), 4u);
}

TEST_F(ContactPickerTest, ALongListOpensOnItsHeadAndTheWholeListKeepsWhatWasTyped)
{
    // Firm 0 to Firm 259: the ones after the head are the 250s.
    static_assert(ContactPicker::FirstRows < 250);
    const int total = 260;
    {
        db::Transaction tx(cnn);
        for (int i = 0; i < total; ++i)
            add(QStringLiteral("Firm %1").arg(i),
                QStringLiteral("AC-%1").arg(i, 4, 10, QChar(u'0')));
        tx.commit();
    }
    ContactPicker picker(cnn);
    EXPECT_FALSE(picker.complete());
    ASSERT_EQ(picker.contacts().size(), std::size_t(ContactPicker::FirstRows));
    EXPECT_EQ(picker.contacts().back().account,
              QStringLiteral("AC-%1").arg(ContactPicker::FirstRows - 1, 4, 10, QChar(u'0')));

    // Typed before the rest came: only the head of the list matches...
    picker.filter("9");
    const std::vector<int> early = picker.matches();
    ASSERT_FALSE(early.empty());
    EXPECT_EQ(picker.picked(0).ContactName, QStringLiteral("Firm 9"));

    // ...and that head stays where it was once the whole list is in.
    picker.takeAll(ContactPicker::readAll(cnn));
    EXPECT_TRUE(picker.complete());
    EXPECT_EQ(picker.contacts().size(), std::size_t(total));
    const std::vector<int> late = picker.matches();
    ASSERT_GT(late.size(), early.size());
    EXPECT_TRUE(std::equal(early.begin(), early.end(), late.begin()));
    EXPECT_EQ(names(picker).last(), QStringLiteral("Firm 259"));
    // Typing on searches the whole list.
    picker.filter("firm 25");
    EXPECT_EQ(names(picker),
              (QStringList{"Firm 25", "Firm 250", "Firm 251", "Firm 252", "Firm 253", "Firm 254",
                           "Firm 255", "Firm 256", "Firm 257", "Firm 258", "Firm 259"}));

    // A read nobody wants any more stops with nothing.
    const std::atomic<bool> stop{true};
    EXPECT_TRUE(ContactPicker::readAll(cnn, &stop).empty());
}

} // namespace

// A big firm's contacts are read in the picker's order from one index: nothing
// is sorted and no row of the table is touched.
TEST_F(ContactPickerTest, ReadsItsOrderFromAnIndexWithNothingToSort)
{
    QV_EMBEDDED_ONLY("the plan is SQLite\'s; the server\'s is checked by WorkingSetPlanOnServer");
    QSqlQuery plan = cnn.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + ContactPicker::listSql());
    cnn.run(plan, {});
    QStringList steps;
    while (plan.next())
        steps << plan.value(3).toString();
    EXPECT_EQ(steps, QStringList{QStringLiteral(
                         "SCAN tblContacts USING COVERING INDEX IX_Contacts_AccountName")});
}
