#include "data/WorkingSet.h"

#include "data/DataStore.h"
#include "testsupport/ProgramFiles.h"

#include <gtest/gtest.h>

using namespace quorvale;
using quorvale::test::ProgramFiles;

namespace {

constexpr qint32 kUser = 7;

std::vector<qint32> keysOf(db::Recordset &rs)
{
    std::vector<qint32> keys;
    if (rs.recordCount() == 0)
        return keys;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        keys.push_back(rs.value("TimeCardID").toInt());
    return keys;
}

struct Fixture {
    ProgramFiles files;
    DataStore store{files.databaseSettings(0), files.programDir(), files.prompts, files.errors};
    WorkingSet set{files.errors};
    WorkingSetContext context{true, Terms{}, kUser, "Dana O'Neil"};

    bool open(bool includeHidden)
    {
        if (!store.cnnLink().isOpen() && !store.OpenDB())
            return false;
        return set.SetRecordSet(includeHidden, store.cnnLink(), context);
    }
};

} // namespace

TEST(SetRecordSet, UserWithoutOpenWorkGetsAnEmptyOpenSet)
{
    Fixture f;
    f.files.addTimeCard(kUser + 1, 0);
    f.files.addTimeCard(kUser, 0, false, 99);
    ASSERT_TRUE(f.store.OpenDB());
    ASSERT_TRUE(f.open(true));
    EXPECT_TRUE(f.set.timeCards().isOpen());
    EXPECT_EQ(f.set.timeCards().recordCount(), 0);
    EXPECT_TRUE(f.set.timeCards().bof());
    EXPECT_TRUE(f.set.timeCards().eof());
    EXPECT_EQ(f.set.windowCaption(), " Quorvale:  Dana O'Neil");
}

TEST(SetRecordSet, MembershipFollowsContactsInvoicesAndHiddenCards)
{
    Fixture f;
    const qint32 active = f.files.addContact("Active Ltd");
    const qint32 inactive = f.files.addContact("Gone Ltd", false);
    const qint32 noContact = f.files.addTimeCard(kUser, 0);
    const qint32 withActive = f.files.addTimeCard(kUser, active);
    const qint32 withInactive = f.files.addTimeCard(kUser, inactive);
    const qint32 hidden = f.files.addTimeCard(kUser, active, true);
    f.files.addTimeCard(kUser, active, false, 12); // invoiced
    f.files.addTimeCard(kUser, 0, true, 13);       // invoiced and hidden
    f.files.addTimeCard(kUser + 1, active);        // someone else's
    ASSERT_TRUE(f.store.OpenDB());

    ASSERT_TRUE(f.open(false));
    EXPECT_EQ(keysOf(f.set.timeCards()), (std::vector<qint32>{noContact, withActive}));
    ASSERT_TRUE(f.open(true));
    EXPECT_EQ(keysOf(f.set.timeCards()), (std::vector<qint32>{noContact, withActive, hidden}));

    // Without contacts in use a contact's state does not matter.
    f.context.contactInUse = false;
    ASSERT_TRUE(f.open(false));
    EXPECT_EQ(keysOf(f.set.timeCards()),
              (std::vector<qint32>{noContact, withActive, withInactive}));
    ASSERT_TRUE(f.open(true));
    EXPECT_EQ(keysOf(f.set.timeCards()),
              (std::vector<qint32>{noContact, withActive, withInactive, hidden}));
}

TEST(SetRecordSet, StatementsKeepTheirShapeForTheFilters)
{
    Fixture f;
    ASSERT_TRUE(f.store.OpenDB());
    ASSERT_TRUE(f.open(false));
    const WorkingSetSql &sql = f.set.sql();
    EXPECT_EQ(sql.timeCardBase,
              QStringLiteral("SELECT tblTimeCards.* FROM tblContacts RIGHT JOIN tblTimeCards ON "
                             "tblContacts.ContactID = tblTimeCards.ContactID WHERE "
                             "(tblContacts.Active<>0 OR tblTimeCards.ContactID Is Null) AND "
                             "tblTimeCards.InvoiceID Is Null AND tblTimeCards.Inactive=False AND "
                             "tblTimeCards.UserID=7"));
    EXPECT_TRUE(sql.timeCardBase.endsWith(
        sql.timeCardWhere.mid(sql.timeCardWhere.indexOf("(tblContacts"))));
    EXPECT_TRUE(sql.timeCardWhere.startsWith(" WHERE "));
    EXPECT_EQ(f.set.openedSql(), sql.timeCardBase + " ORDER BY tblTimeCards.TimeCardID ASC");
    // The expense and fixed-charge statements run as they stand.
    db::Recordset expenses;
    expenses.open(f.store.cnnLink(), sql.expenses, db::CursorType::Keyset, db::LockType::ReadOnly);
    EXPECT_EQ(expenses.recordCount(), 0);
    db::Recordset charges;
    charges.open(f.store.cnnLink(), sql.fixedCharges, db::CursorType::Keyset,
                 db::LockType::ReadOnly);
    EXPECT_EQ(charges.recordCount(), 0);

    f.context.contactInUse = false;
    ASSERT_TRUE(f.open(false));
    EXPECT_EQ(f.set.sql().timeCardWhere,
              QStringLiteral(" WHERE tblTimeCards.InvoiceID Is Null AND tblTimeCards.Inactive=0 "
                             "AND tblTimeCards.UserID=7"));
}

TEST(SetRecordSet, EverySortOrderOpensWithItsCaptionAndTool)
{
    Fixture f;
    f.files.addTimeCard(kUser, 0, false, QVariant(), "2026-03-01");
    f.files.addTimeCard(kUser, 0, false, QVariant(), "2026-01-01");
    f.files.addTimeCard(kUser, 0, false, QVariant(), "2026-02-01");
    f.context.terms = Terms{"Matter", "Task", "Phase"};
    ASSERT_TRUE(f.store.OpenDB());
    for (const SortOrder &order : SortOrders::all()) {
        f.set.setOrderBy(QString::fromLatin1(order.clause));
        ASSERT_TRUE(f.open(true)) << order.clause;
        EXPECT_EQ(f.set.sortToolId(), order.toolId);
        EXPECT_EQ(f.set.timeCards().recordCount(), 3);
    }
    f.set.setOrderBy(" ORDER BY tblTimeCards.ContactID DESC");
    ASSERT_TRUE(f.open(true));
    EXPECT_EQ(f.set.sortCaption(), "Matter ID");

    f.set.setOrderBy(" ORDER BY tblTimeCards.StartDate DESC");
    ASSERT_TRUE(f.open(true));
    EXPECT_EQ(f.set.sortCaption(), "Start Date");
    EXPECT_EQ(keysOf(f.set.timeCards()), (std::vector<qint32>{1, 3, 2}));
}

TEST(SetRecordSet, UnknownStoredSortIsNeverRunAndLeavesTheSetUnsorted)
{
    Fixture f;
    f.files.addTimeCard(kUser, 0);
    ASSERT_TRUE(f.store.OpenDB());
    for (const char *stored : {" ORDER BY tblTimeCards.TimeCardID asc", "; DROP TABLE tblTimeCards",
                               " ORDER BY Nonsense"}) {
        f.set.setOrderBy(QString::fromLatin1(stored));
        ASSERT_TRUE(f.open(false)) << stored;
        EXPECT_EQ(f.set.orderBy(), QString());
        EXPECT_EQ(f.set.sortCaption(), QString());
        EXPECT_EQ(f.set.sortToolId(), 6024);
        EXPECT_EQ(f.set.timeCards().recordCount(), 1);
    }
}

TEST(SetRecordSet, FailureIsHandedToTheErrorHandler)
{
    Fixture f;
    ASSERT_TRUE(f.store.OpenDB());
    f.store.cnnLink().execute("DROP TABLE tblTimeCards");
    EXPECT_FALSE(f.set.SetRecordSet(false, f.store.cnnLink(), f.context));
    EXPECT_FALSE(f.set.timeCards().isOpen());
    EXPECT_NE(f.files.endedWith, 0);
}
