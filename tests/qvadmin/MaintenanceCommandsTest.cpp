#include "AdminFixture.h"

using namespace quorvale;
using namespace quorvale::test;

namespace {

class MaintenanceCommandsTest : public AdminFixture {
protected:
    void SetUp() override { initHere(); }
    CommandOutput ok(const QStringList &args) const
    {
        const CommandOutput o = run(args);
        EXPECT_EQ(o.result, 0) << o.err.toStdString();
        return o;
    }
};

const QString Hostile = QStringLiteral("Robert'); DROP TABLE tblUsers;--");

TEST_F(MaintenanceCommandsTest, UsersWithAwkwardNamesAreStoredAsTyped)
{
    // Without directory options the commands find the database through the settings.
    EXPECT_TRUE(ok({QStringLiteral("user"), QStringLiteral("add"), QStringLiteral("Pat O'Brien")})
                    .out.contains(QStringLiteral("Pat O'Brien")));
    ok({QStringLiteral("user"), QStringLiteral("add"), Hostile, QStringLiteral("--inactive")});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblUsers")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT Active FROM tblUsers WHERE UserName = ?"), {Hostile}),
              0);
    // A new user takes the staff level's rates and permission set.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblUsers u JOIN tblStaff s ON "
                                   "s.StaffID = u.StaffID WHERE u.UserName = ? AND "
                                   "u.Rate3 = s.Rate3 AND u.PermissionID = s.PermissionID"),
                    {QStringLiteral("Pat O'Brien")}),
              1);

    const QString list = ok({QStringLiteral("user"), QStringLiteral("list")}).out;
    EXPECT_TRUE(list.contains(Hostile));
    const QStringList lines = list.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5); // heading, rule, three users
    // The columns line up: every row has its "Active" text where the heading has it.
    const qsizetype activeColumn = lines[0].indexOf(QStringLiteral("Active"));
    EXPECT_EQ(lines[2].mid(activeColumn, 3), QStringLiteral("Yes"));
    EXPECT_EQ(lines[4].mid(activeColumn, 2), QStringLiteral("No"));
}

TEST_F(MaintenanceCommandsTest, UserAddRefusesDuplicatesAndUnknownReferences)
{
    const CommandOutput duplicate =
        run({QStringLiteral("user"), QStringLiteral("add"), QStringLiteral("Ann O'Hara")});
    EXPECT_NE(duplicate.result, 0);
    EXPECT_TRUE(duplicate.err.contains(QStringLiteral("already exists")));
    EXPECT_NE(run({QStringLiteral("user"), QStringLiteral("add"), QStringLiteral("X"),
                   QStringLiteral("--staff"), QStringLiteral("99")})
                  .result,
              0);
    EXPECT_NE(run({QStringLiteral("user"), QStringLiteral("add"), QStringLiteral("Y"),
                   QStringLiteral("--permission"), QStringLiteral("99")})
                  .result,
              0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblUsers")), 1);

    ok({QStringLiteral("user"), QStringLiteral("add"), QStringLiteral("Z"),
        QStringLiteral("--permission"), QStringLiteral("3")});
    EXPECT_EQ(count(QStringLiteral("SELECT PermissionID FROM tblUsers WHERE UserName = 'Z'")), 3);
}

TEST_F(MaintenanceCommandsTest, UserAddRefusesWhenThereIsNoStaffLevel)
{
    // Without a staff level there are no rates and no permission set to take.
    openData()->execute(QStringLiteral("DELETE FROM tblStaff"));
    for (const QStringList &extra :
         {QStringList{}, QStringList{QStringLiteral("--permission"), QStringLiteral("1")}}) {
        const CommandOutput o = run(
            QStringList{QStringLiteral("user"), QStringLiteral("add"), QStringLiteral("Nobody")} +
            extra);
        EXPECT_NE(o.result, 0);
        EXPECT_TRUE(o.err.contains(QStringLiteral("staff level"))) << o.err.toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblUsers WHERE UserName = 'Nobody'")), 0);
}

TEST_F(MaintenanceCommandsTest, ContactsAndActivities)
{
    ok({QStringLiteral("contact"), QStringLiteral("add"), QStringLiteral("O'Malley's \"Pub\""),
        QStringLiteral("--account"), QStringLiteral("A-1'")});
    ok({QStringLiteral("contact"), QStringLiteral("add"), Hostile, QStringLiteral("--inactive")});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblContacts WHERE ContactAccount = ?"),
                    {QStringLiteral("A-1'")}),
              1);
    EXPECT_EQ(
        count(QStringLiteral("SELECT Active FROM tblContacts WHERE ContactName = ?"), {Hostile}),
        0);
    const QString contacts = ok({QStringLiteral("contact"), QStringLiteral("list")}).out;
    EXPECT_TRUE(contacts.contains(QStringLiteral("O'Malley's \"Pub\"")));
    EXPECT_TRUE(contacts.contains(Hostile));

    const int contactId =
        scalar(QStringLiteral("SELECT ContactID FROM tblContacts WHERE ContactAccount = ?"),
               {QStringLiteral("A-1'")})
            .toInt();
    ok({QStringLiteral("activity"), QStringLiteral("add"), QStringLiteral("Audit'; --"),
        QStringLiteral("--level"), QStringLiteral("2"), QStringLiteral("--number"),
        QStringLiteral("P-1"), QStringLiteral("--contact"), QString::number(contactId)});
    ok({QStringLiteral("activity"), QStringLiteral("add"), QStringLiteral("Consulting")});
    EXPECT_EQ(count(QStringLiteral("SELECT ContactID FROM tblSubActivities WHERE ActivityName = ?"),
                    {QStringLiteral("Audit'; --")}),
              contactId);
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM tblMainActivities WHERE "
                             "ActivityName = 'Consulting' AND ContactID IS NULL AND Active = -1")),
        1);
    EXPECT_NE(run({QStringLiteral("activity"), QStringLiteral("add"), QStringLiteral("Q"),
                   QStringLiteral("--contact"), QStringLiteral("999")})
                  .result,
              0);
    EXPECT_NE(run({QStringLiteral("activity"), QStringLiteral("add"), QStringLiteral("Q"),
                   QStringLiteral("--level"), QStringLiteral("3")})
                  .result,
              0);

    const QString level2 = ok({QStringLiteral("activity"), QStringLiteral("list"),
                               QStringLiteral("--level"), QStringLiteral("2")})
                               .out;
    EXPECT_TRUE(level2.contains(QStringLiteral("Audit'; --")));
    EXPECT_FALSE(level2.contains(QStringLiteral("Consulting")));
    const QString both = ok({QStringLiteral("activity"), QStringLiteral("list")}).out;
    EXPECT_TRUE(both.contains(QStringLiteral("Consulting")));
    EXPECT_TRUE(both.contains(QStringLiteral("Audit'; --")));
}

TEST_F(MaintenanceCommandsTest, InvoiceMarksOpenRowsOnceInOneInvoice)
{
    ASSERT_EQ(runHere({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--force"),
                       QStringLiteral("--user"), QStringLiteral("Ann O'Hara")})
                  .result,
              0);
    const qlonglong openCards = count(
        QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 1 AND InvoiceID IS NULL"));
    const qlonglong openExpenses = count(
        QStringLiteral("SELECT COUNT(*) FROM tblExpenses WHERE UserID = 1 AND InvoiceID IS NULL"));
    const qlonglong otherOpen = count(QStringLiteral(
        "SELECT COUNT(*) FROM tblTimeCards WHERE UserId <> 1 AND InvoiceID IS NULL"));
    const qlonglong highest = count(QStringLiteral("SELECT MAX(InvoiceID) FROM tblTimeCards"));
    ASSERT_GT(openCards, 0);

    const QString first =
        ok({QStringLiteral("invoice"), QStringLiteral("--user"), QStringLiteral("1")}).out;
    EXPECT_TRUE(first.contains(
        QStringLiteral("%1 TimeCards, %2 expenses").arg(openCards).arg(openExpenses)))
        << first.toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID = ?"),
                    {highest + 1}),
              openCards);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE UserId <> 1 AND "
                                   "InvoiceID IS NULL")),
              otherOpen);

    const QString again =
        ok({QStringLiteral("invoice"), QStringLiteral("--user"), QStringLiteral("1")}).out;
    EXPECT_TRUE(again.contains(QStringLiteral("Nothing to invoice"))) << again.toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID = ?"),
                    {highest + 1}),
              openCards);

    ok({QStringLiteral("invoice"), QStringLiteral("--user"), QStringLiteral("2"),
        QStringLiteral("--invoice"), QStringLiteral("7")});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 2 AND "
                                   "InvoiceID IS NULL")),
              0);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID = 7")), 0);

    const CommandOutput nobody =
        run({QStringLiteral("invoice"), QStringLiteral("--user"), QStringLiteral("99")});
    EXPECT_NE(nobody.result, 0);
    EXPECT_TRUE(nobody.err.contains(QStringLiteral("no user"))) << nobody.err.toStdString();
}

TEST_F(MaintenanceCommandsTest, InvoiceNumbersRunOut)
{
    ASSERT_EQ(runHere({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--force"),
                       QStringLiteral("--user"), QStringLiteral("Ann O'Hara")})
                  .result,
              0);
    openData()->execute(QStringLiteral("UPDATE tblExpenses SET InvoiceID = 2147483647 WHERE "
                                       "ExpenseID = (SELECT MIN(ExpenseID) FROM tblExpenses "
                                       "WHERE UserID = 2)"));
    const qlonglong open = count(
        QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 1 AND InvoiceID IS NULL"));
    ASSERT_GT(open, 0);

    // No number follows the highest one: a number of one's own still works.
    const CommandOutput next =
        run({QStringLiteral("invoice"), QStringLiteral("--user"), QStringLiteral("1")});
    EXPECT_NE(next.result, 0);
    EXPECT_TRUE(next.err.contains(QStringLiteral("--invoice"))) << next.err.toStdString();
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 1 AND InvoiceID IS NULL")),
              open);

    ok({QStringLiteral("invoice"), QStringLiteral("--user"), QStringLiteral("1"),
        QStringLiteral("--invoice"), QStringLiteral("42")});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID = 42")),
              open);
}

TEST_F(MaintenanceCommandsTest, FindsTheDatabaseThroughTheLinkCatalogue)
{
    // --program-dir alone: the data file is the one QVLink.db links to.
    const CommandOutput o =
        run({QStringLiteral("--program-dir"), programDir(), QStringLiteral("contact"),
             QStringLiteral("add"), QStringLiteral("Linked Ltd")});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM tblContacts WHERE ContactName = 'Linked Ltd'")),
        1);
    EXPECT_NE(run({QStringLiteral("--data-dir"), m_tmp.filePath(QStringLiteral("nowhere")),
                   QStringLiteral("user"), QStringLiteral("list")})
                  .result,
              0);
}

} // namespace
