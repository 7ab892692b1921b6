// The contact picker's list on a real program database: what it offers and how
// typing narrows it, including text that would break a statement built from it.

#include "timecards/ContactPicker.h"

#include "data/DatabaseSettings.h"
#include "platform/db/Connection.h"
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
