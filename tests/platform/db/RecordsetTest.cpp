#include "platform/db/Recordset.h"

#include "DbFixture.h"
#include "platform/core/QvError.h"
#include "platform/db/Transaction.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::db;
using namespace quorvale::db::test;
using quorvale::test::TempDir;

namespace {

const QString WorkingSet = QStringLiteral(
    "SELECT tblTimeCards.* FROM tblContacts RIGHT JOIN tblTimeCards ON tblContacts.ContactID = "
    "tblTimeCards.ContactID WHERE (tblContacts.Active<>0 OR tblTimeCards.ContactID Is Null) AND "
    "tblTimeCards.InvoiceID Is Null AND tblTimeCards.Inactive=False AND tblTimeCards.UserID=");

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = makeDataFile(dir);
        conn.open(jetString(path));
        conn.execute("INSERT INTO tblContacts (ContactID, Name, Active) VALUES (1, 'Active', -1), "
                     "(2, 'Gone', 0)");
        Transaction t(conn);
        // Users 1 and 2; user 1 has 5 cards in the set, and some that are not.
        for (int i = 1; i <= 10; ++i)
            conn.execute("INSERT INTO tblTimeCards (TimeCardID, UserID, ContactID, Subject, Value, "
                         "StartDate) VALUES (?, ?, ?, ?, ?, ?)",
                         {i * 10, i <= 7 ? 1 : 2,
                          i % 3 == 0 ? QVariant() : QVariant(i == 2 ? 2 : 1),
                          QStringLiteral("card %1").arg(i), 100 - i, QDate(2024, 1, i)});
        conn.execute("UPDATE tblTimeCards SET InvoiceID = 5 WHERE TimeCardID = 70");
        conn.execute("UPDATE tblTimeCards SET Inactive = True WHERE TimeCardID = 50");
        t.commit();
        // User 1's set: 10, 30, 40, 60 (20: inactive contact, 50 hidden, 70 invoiced).
    }

    QList<int> keysOf(Recordset &rs)
    {
        QList<int> keys;
        if (rs.recordCount() == 0)
            return keys;
        rs.moveFirst();
        while (!rs.eof()) {
            keys << rs.value("TimeCardID").toInt();
            rs.moveNext();
        }
        return keys;
    }

    TempDir dir;
    QString path;
    Connection conn;
};

} // namespace

TEST_F(RecordsetTest, WorkingSetIsAKeysetInItsOrder)
{
    Recordset rs;
    rs.open(conn, WorkingSet + "1 ORDER BY tblTimeCards.[Value] ASC", CursorType::Keyset,
            LockType::Optimistic);
    EXPECT_TRUE(rs.isKeyset());
    EXPECT_EQ(rs.keyColumn(), "TimeCardID");
    EXPECT_EQ(rs.recordCount(), 4);
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 60); // opened on the first row
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_EQ(keysOf(rs), QList<int>({60, 40, 30, 10}));
    EXPECT_TRUE(rs.eof());
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.absolutePosition(), -3);
    EXPECT_THROW(rs.moveNext(), QvError);
    rs.moveLast();
    EXPECT_EQ(rs.collect(0).toInt(), 10);
    rs.movePrevious();
    rs.movePrevious();
    rs.movePrevious();
    EXPECT_EQ(rs.value("tblTimeCards.Subject").toString(), "card 6");
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(rs.absolutePosition(), -2);
    rs.move(2);
    EXPECT_EQ(rs.value("timecardid").toInt(), 40);
    EXPECT_EQ(rs.fieldName(4), "Subject");
    EXPECT_EQ(rs.fieldCount(), 10);
}

TEST_F(RecordsetTest, EmptyAndOneRowSets)
{
    Recordset rs;
    rs.open(conn, WorkingSet + "99", CursorType::Keyset, LockType::Optimistic);
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_EQ(rs.fieldCount(), 10); // columns known without a row
    try {
        rs.value("Subject");
        FAIL();
    } catch (const QvError &e) {
        EXPECT_EQ(e.number(), ErrorNumber::NoCurrentRecord);
    }
    rs.moveFirst(); // allowed, stays BOF/EOF
    EXPECT_TRUE(rs.bof() && rs.eof());

    rs.open(conn, "SELECT * FROM tblTimeCards WHERE TimeCardID = ?", CursorType::Keyset,
            LockType::ReadOnly, {30});
    EXPECT_FALSE(rs.bof() || rs.eof());
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    rs.movePrevious();
    EXPECT_EQ(rs.value("Subject").toString(), "card 3");
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    EXPECT_FALSE(rs.eof());
}

TEST_F(RecordsetTest, UnknownFieldsAreItemNotFound)
{
    Recordset rs;
    rs.open(conn, "SELECT TimeCardID, Subject FROM tblTimeCards", CursorType::Keyset,
            LockType::ReadOnly);
    EXPECT_EQ(rs.fieldCount(), 2);
    for (auto probe : {std::function<void()>([&] { rs.value("Value"); }),
                       std::function<void()>([&] { rs.collect(2); }),
                       std::function<void()>([&] { rs.value("tblContacts.Subject"); })}) {
        try {
            probe();
            FAIL();
        } catch (const QvError &e) {
            EXPECT_EQ(e.number(), ErrorNumber::ItemNotFound);
            EXPECT_EQ(e.description(), "Item cannot be found in the collection corresponding to "
                                       "the requested name or ordinal.");
        }
    }
}

TEST_F(RecordsetTest, KeysetSeesChangesButNotNewRowsAndSkipsDeletedOnes)
{
    Recordset rs;
    rs.open(conn, WorkingSet + "1 ORDER BY tblTimeCards.TimeCardID", CursorType::Keyset,
            LockType::Optimistic);
    Connection other;
    other.open(jetString(path));
    other.execute("INSERT INTO tblTimeCards (UserID, Subject) VALUES (1, 'late')");
    other.execute("UPDATE tblTimeCards SET Subject = 'changed' WHERE TimeCardID = 40");
    other.execute("DELETE FROM tblTimeCards WHERE TimeCardID = 30");
    rs.moveNext(); // 30 is gone: lands on 40 and shows its new value
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 40);
    EXPECT_EQ(rs.value("Subject").toString(), "changed");
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(keysOf(rs), QList<int>({10, 40, 60}));
    rs.requery();
    EXPECT_EQ(keysOf(rs).size(), 4); // now with the late one
}

TEST_F(RecordsetTest, BookmarksFindAndFilter)
{
    Recordset rs;
    rs.open(conn, "SELECT * FROM tblTimeCards ORDER BY TimeCardID", CursorType::Keyset,
            LockType::Optimistic);
    rs.move(3);
    const QVariant mark = rs.bookmark();
    EXPECT_EQ(mark.toInt(), 40);
    rs.moveLast();
    rs.setBookmark(mark);
    EXPECT_EQ(rs.value("Subject").toString(), "card 4");
    EXPECT_THROW(rs.setBookmark(12345), QvError);

    rs.moveFirst();
    rs.find("TimeCardID", 80); // by key
    EXPECT_EQ(rs.absolutePosition(), 8);
    rs.find("TimeCardID", 20); // behind the current row
    EXPECT_TRUE(rs.eof());
    rs.moveFirst();
    rs.find("ContactID", QVariant()); // null matches null
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 30);
    rs.moveNext();
    rs.find("ContactID", QVariant());
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 60);
    rs.find("Subject", "card 6"); // the current row counts
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 60);
    rs.find("Subject", "no such card");
    EXPECT_TRUE(rs.eof());

    rs.setFilter("UserID = ? AND Subject <> ?", {1, "card 2"});
    EXPECT_EQ(keysOf(rs), QList<int>({10, 30, 40, 50, 60, 70}));
    rs.setFilter("ContactID Is Null");
    EXPECT_EQ(keysOf(rs), QList<int>({30, 60, 90}));
    rs.clearFilter();
    EXPECT_EQ(rs.recordCount(), 10);
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 10);
}

TEST_F(RecordsetTest, AddNewUpdateAndDelete)
{
    Recordset rs;
    rs.open(conn, WorkingSet + "1", CursorType::Keyset, LockType::Optimistic);
    rs.addNew();
    EXPECT_EQ(rs.editMode(), EditMode::Add);
    EXPECT_EQ(rs.value("BillStatus").toString(), "Billable"); // the column default
    EXPECT_EQ(rs.value("Inactive").toInt(), 0);
    rs.setValue("UserID", 1);
    rs.setValue("Subject", "it's \"quoted\" -- and ; SELECT");
    rs.setValue("StartDate", QDate(2024, 12, 31));
    rs.update();
    EXPECT_EQ(rs.editMode(), EditMode::None);
    EXPECT_EQ(rs.recordCount(), 5);
    EXPECT_EQ(rs.absolutePosition(), 5);
    const int newKey = rs.value("TimeCardID").toInt();
    EXPECT_GT(newKey, 100);
    EXPECT_EQ(rs.value("Subject").toString(), "it's \"quoted\" -- and ; SELECT");
    EXPECT_EQ(rs.value("StartDate").toDate(), QDate(2024, 12, 31));
    EXPECT_EQ(rs.value("BillStatus").toString(), "Billable");

    rs.moveFirst();
    rs.setValue("Subject", "edited");
    EXPECT_EQ(rs.editMode(), EditMode::InProgress);
    rs.moveNext(); // a move saves the pending edit
    EXPECT_EQ(conn.scalar("SELECT Subject FROM tblTimeCards WHERE TimeCardID = 10").toString(),
              "edited");

    rs.setValue("Subject", "dropped");
    rs.cancelUpdate();
    EXPECT_EQ(rs.value("Subject").toString(), "card 3");

    rs.deleteCurrent();
    EXPECT_THROW(rs.value("Subject"), QvError);
    EXPECT_EQ(rs.recordCount(), 4);
    rs.moveNext();
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 40);
    EXPECT_EQ(conn.scalar("SELECT count(*) FROM tblTimeCards WHERE TimeCardID = 30").toInt(), 0);

    Recordset ro;
    ro.open(conn, "SELECT * FROM tblTimeCards", CursorType::Keyset, LockType::ReadOnly);
    EXPECT_THROW(ro.setValue("Subject", "x"), QvError);
    EXPECT_THROW(ro.addNew(), QvError);
}

TEST_F(RecordsetTest, OptimisticUpdateNeverOverwritesAnotherUsersChange)
{
    Connection other;
    other.open(jetString(path));
    Recordset mine, theirs;
    mine.open(conn, "SELECT * FROM tblTimeCards ORDER BY TimeCardID", CursorType::Keyset,
              LockType::Optimistic);
    theirs.open(other, "SELECT * FROM tblTimeCards ORDER BY TimeCardID", CursorType::Keyset,
                LockType::Optimistic);
    theirs.setValue("Value", 5000);
    theirs.update();

    mine.setValue("Subject", "mine");
    try {
        mine.update();
        FAIL() << "overwrote a row changed by someone else";
    } catch (const QvError &e) {
        EXPECT_EQ(e.number(), ErrorNumber::RowChanged);
        EXPECT_EQ(e.description(), "Row cannot be located for updating. Some values may have "
                                   "been changed since it was last read.");
    }
    EXPECT_EQ(mine.editMode(), EditMode::InProgress);
    EXPECT_EQ(conn.scalar("SELECT Subject FROM tblTimeCards WHERE TimeCardID = 10").toString(),
              "card 1");
    mine.move(0); // re-read, then the edit goes through
    EXPECT_EQ(mine.value("Value").toInt(), 5000);
    mine.setValue("Subject", "mine");
    mine.update();
    EXPECT_EQ(
        other.scalar("SELECT Subject || Value FROM tblTimeCards WHERE TimeCardID = 10").toString(),
        "mine5000");

    // Their copy is stale now: a delete is refused too.
    EXPECT_THROW(theirs.deleteCurrent(), QvError);
    EXPECT_EQ(conn.scalar("SELECT count(*) FROM tblTimeCards").toInt(), 10);
}

TEST_F(RecordsetTest, AggregatesAndJoinsAreReadOnlySnapshots)
{
    Recordset rs;
    rs.open(conn, "SELECT UserID, count(*) AS n FROM tblTimeCards GROUP BY UserID ORDER BY UserID",
            CursorType::Keyset, LockType::Optimistic);
    EXPECT_FALSE(rs.isKeyset());
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.value("n").toInt(), 7);
    rs.find("UserID", 2);
    EXPECT_EQ(rs.value("n").toInt(), 3);
    EXPECT_THROW(rs.setValue("n", 1), QvError);

    rs.open(conn,
            "SELECT t.Subject, c.Name FROM tblTimeCards t JOIN tblContacts c ON "
            "c.ContactID = t.ContactID WHERE t.TimeCardID = 20",
            CursorType::Static, LockType::ReadOnly);
    EXPECT_EQ(rs.value("c.Name").toString(), "Gone");
    EXPECT_EQ(rs.value("Subject").toString(), "card 2");
}

TEST_F(RecordsetTest, ClosingTheConnectionClosesItsRecordsets)
{
    Recordset rs;
    rs.open(conn, "SELECT * FROM tblTimeCards", CursorType::Keyset, LockType::Optimistic);
    conn.close();
    EXPECT_FALSE(rs.isOpen());
    EXPECT_THROW(rs.moveNext(), QvError);
}

TEST_F(RecordsetTest, ListenerHearsMovesAndChanges)
{
    struct Counter : RecordsetListener {
        int moves = 0, changes = 0;
        void moveComplete(Recordset &) override { ++moves; }
        void recordChangeComplete(Recordset &) override { ++changes; }
    } counter;
    Recordset rs;
    rs.setListener(&counter);
    rs.open(conn, "SELECT * FROM tblTimeCards", CursorType::Keyset, LockType::Optimistic);
    rs.moveNext();
    rs.setValue("Subject", "x");
    rs.update();
    EXPECT_EQ(counter.moves, 3); // open, move, re-read after the update
    EXPECT_EQ(counter.changes, 1);
}

TEST_F(RecordsetTest, ResyncedUnderlyingValuesLetAPendingEditSaveAndKeepIt)
{
    Recordset rs;
    rs.open(conn, "SELECT * FROM tblTimeCards ORDER BY TimeCardID", CursorType::Keyset,
            LockType::Optimistic);
    rs.setValue("Subject", "mine");
    // The program itself changes another column of the row while the edit is pending.
    conn.execute("UPDATE tblTimeCards SET Value = 5000 WHERE TimeCardID = 10");
    ASSERT_TRUE(rs.resyncUnderlyingValues());
    EXPECT_EQ(rs.value("Subject").toString(), "mine");
    EXPECT_EQ(rs.value("Value").toInt(), 5000);
    rs.update();
    EXPECT_EQ(
        conn.scalar("SELECT Subject || Value FROM tblTimeCards WHERE TimeCardID = 10").toString(),
        "mine5000");
}

// A set opened again on the same connection reuses what it learned of the
// statement, but a column added in between (a schema step) is seen, and an empty
// set still knows its columns.
TEST_F(RecordsetTest, ASetOpenedAgainSeesAColumnAddedSince)
{
    const QString sql = "SELECT * FROM tblTimeCards WHERE UserID = ? ORDER BY TimeCardID";
    Recordset rs;
    rs.open(conn, sql, CursorType::Keyset, LockType::Optimistic, {1});
    const int before = rs.fieldCount();
    rs.open(conn, sql, CursorType::Keyset, LockType::Optimistic, {99});
    EXPECT_EQ(rs.fieldCount(), before);

    conn.execute("ALTER TABLE tblTimeCards ADD COLUMN Mileage INTEGER");
    conn.execute("UPDATE tblTimeCards SET Mileage = 12 WHERE TimeCardID = 10");
    rs.open(conn, sql, CursorType::Keyset, LockType::Optimistic, {1});
    EXPECT_EQ(rs.fieldCount(), before + 1);
    EXPECT_EQ(rs.value("Mileage").toInt(), 12);
    EXPECT_EQ(rs.value("tblTimeCards.Subject").toString(), "card 1");
    rs.setValue("Mileage", 30);
    rs.update();
    EXPECT_EQ(conn.scalar("SELECT Mileage FROM tblTimeCards WHERE TimeCardID = 10").toInt(), 30);
}
