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

const QString Hostile = "Robert'); DROP TABLE tblUsers;--";

TEST_F(MaintenanceCommandsTest, UsersWithAwkwardNamesAreStoredAsTyped)
{
    // Without directory options the commands find the database through the settings.
    EXPECT_TRUE(ok({"user", "add", "Pat O'Brien"}).out.contains("Pat O'Brien"));
    ok({"user", "add", Hostile, "--inactive"});
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblUsers"), 3);
    EXPECT_EQ(count("SELECT Active FROM tblUsers WHERE UserName = ?", {Hostile}), 0);
    // A new user takes the staff level's rates and permission set.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblUsers u JOIN tblStaff s ON "
                                   "s.StaffID = u.StaffID WHERE u.UserName = ? AND "
                                   "u.Rate3 = s.Rate3 AND u.PermissionID = s.PermissionID"),
                    {"Pat O'Brien"}),
              1);

    const QString list = ok({"user", "list"}).out;
    EXPECT_TRUE(list.contains(Hostile));
    const QStringList lines = list.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5); // heading, rule, three users
    // The columns line up: every row has its "Active" text where the heading has it.
    const qsizetype activeColumn = lines[0].indexOf("Active");
    EXPECT_EQ(lines[2].mid(activeColumn, 3), "Yes");
    EXPECT_EQ(lines[4].mid(activeColumn, 2), "No");
}

TEST_F(MaintenanceCommandsTest, UserAddRefusesDuplicatesAndUnknownReferences)
{
    const CommandOutput duplicate = run({"user", "add", "Ann O'Hara"});
    EXPECT_NE(duplicate.result, 0);
    EXPECT_TRUE(duplicate.err.contains("already exists"));
    EXPECT_NE(run({"user", "add", "X", "--staff", "99"}).result, 0);
    EXPECT_NE(run({"user", "add", "Y", "--permission", "99"}).result, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblUsers"), 1);

    ok({"user", "add", "Z", "--permission", "3"});
    EXPECT_EQ(count("SELECT PermissionID FROM tblUsers WHERE UserName = 'Z'"), 3);
}

TEST_F(MaintenanceCommandsTest, UserAddRefusesWhenThereIsNoStaffLevel)
{
    // Without a staff level there are no rates and no permission set to take.
    openData()->execute("DELETE FROM tblStaff");
    for (const QStringList &extra : {QStringList{}, QStringList{"--permission", "1"}}) {
        const CommandOutput o = run(QStringList{"user", "add", "Nobody"} + extra);
        EXPECT_NE(o.result, 0);
        EXPECT_TRUE(o.err.contains("staff level")) << o.err.toStdString();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblUsers WHERE UserName = 'Nobody'"), 0);
}

TEST_F(MaintenanceCommandsTest, ContactsAndActivities)
{
    ok({"contact", "add", "O'Malley's \"Pub\"", "--account", "A-1'"});
    ok({"contact", "add", Hostile, "--inactive"});
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts WHERE ContactAccount = ?", {"A-1'"}), 1);
    EXPECT_EQ(count("SELECT Active FROM tblContacts WHERE ContactName = ?", {Hostile}), 0);
    const QString contacts = ok({"contact", "list"}).out;
    EXPECT_TRUE(contacts.contains("O'Malley's \"Pub\""));
    EXPECT_TRUE(contacts.contains(Hostile));

    const int contactId =
        scalar("SELECT ContactID FROM tblContacts WHERE ContactAccount = ?", {"A-1'"}).toInt();
    ok({"activity", "add", "Audit'; --", "--level", "2", "--number", "P-1", "--contact",
        QString::number(contactId)});
    ok({"activity", "add", "Consulting"});
    EXPECT_EQ(
        count("SELECT ContactID FROM tblSubActivities WHERE ActivityName = ?", {"Audit'; --"}),
        contactId);
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM tblMainActivities WHERE "
                             "ActivityName = 'Consulting' AND ContactID IS NULL AND Active = -1")),
        1);
    EXPECT_NE(run({"activity", "add", "Q", "--contact", "999"}).result, 0);
    EXPECT_NE(run({"activity", "add", "Q", "--level", "3"}).result, 0);

    const QString level2 = ok({"activity", "list", "--level", "2"}).out;
    EXPECT_TRUE(level2.contains("Audit'; --"));
    EXPECT_FALSE(level2.contains("Consulting"));
    const QString both = ok({"activity", "list"}).out;
    EXPECT_TRUE(both.contains("Consulting"));
    EXPECT_TRUE(both.contains("Audit'; --"));
}

TEST_F(MaintenanceCommandsTest, InvoiceMarksOpenRowsOnceInOneInvoice)
{
    ASSERT_EQ(runHere({"init", "--demo", "--force", "--user", "Ann O'Hara"}).result, 0);
    const QString billed = " AND BillStatus IN ('Billable', 'No Charge', 'No charge', "
                           "'Subject to fixed charge')";
    const QString unbilled = " AND (BillStatus IN ('Hold', 'Do not bill') OR BillStatus IS NULL)";
    const qlonglong openCards =
        count("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 1 AND InvoiceID IS NULL" + billed);
    const qlonglong keptOpen = count(
        "SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 1 AND InvoiceID IS NULL" + unbilled);
    const qlonglong openExpenses =
        count("SELECT COUNT(*) FROM tblExpenses WHERE UserID = 1 AND InvoiceID IS NULL" + billed);
    const qlonglong otherOpen = count(QStringLiteral(
        "SELECT COUNT(*) FROM tblTimeCards WHERE UserId <> 1 AND InvoiceID IS NULL"));
    const qlonglong highest = count("SELECT MAX(InvoiceID) FROM tblTimeCards");
    ASSERT_GT(openCards, 0);
    // The demo holds work on hold and work not to be billed: neither may be invoiced.
    ASSERT_GT(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NULL" + unbilled), 0);
    const QString invoicedUnbilled[] = {
        "SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NOT NULL",
        "SELECT COUNT(*) FROM tblExpenses WHERE InvoiceID IS NOT NULL",
        "SELECT COUNT(*) FROM tblFixedCharges WHERE InvoiceID IS NOT NULL"};
    qlonglong invoicedBefore[3];
    for (int i = 0; i < 3; ++i)
        invoicedBefore[i] = count(invoicedUnbilled[i] + unbilled);

    const QString first = ok({"invoice", "--user", "1"}).out;
    EXPECT_TRUE(first.contains(
        QStringLiteral("%1 TimeCards, %2 expenses").arg(openCards).arg(openExpenses)))
        << first.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID = ?", {highest + 1}),
              openCards);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE UserId <> 1 AND "
                                   "InvoiceID IS NULL")),
              otherOpen);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 1 AND InvoiceID IS NULL"),
              keptOpen);

    const QString again = ok({"invoice", "--user", "1"}).out;
    EXPECT_TRUE(again.contains("Nothing to invoice")) << again.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID = ?", {highest + 1}),
              openCards);

    ok({"invoice", "--user", "2", "--invoice", "7"});
    EXPECT_EQ(
        count("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 2 AND InvoiceID IS NULL" + billed),
        0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(count(invoicedUnbilled[i] + unbilled), invoicedBefore[i])
            << invoicedUnbilled[i].toStdString()
            << ": work on hold or not to be billed was invoiced";
    EXPECT_GT(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID = 7"), 0);

    const CommandOutput nobody = run({"invoice", "--user", "99"});
    EXPECT_NE(nobody.result, 0);
    EXPECT_TRUE(nobody.err.contains("no user")) << nobody.err.toStdString();
}

TEST_F(MaintenanceCommandsTest, InvoiceNumbersRunOut)
{
    ASSERT_EQ(runHere({"init", "--demo", "--force", "--user", "Ann O'Hara"}).result, 0);
    openData()->execute(QStringLiteral("UPDATE tblExpenses SET InvoiceID = 2147483647 WHERE "
                                       "ExpenseID = (SELECT MIN(ExpenseID) FROM tblExpenses "
                                       "WHERE UserID = 2)"));
    const qlonglong open =
        count("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 1 AND InvoiceID IS NULL");
    ASSERT_GT(open, 0);

    // No number follows the highest one: a number of one's own still works.
    const CommandOutput next = run({"invoice", "--user", "1"});
    EXPECT_NE(next.result, 0);
    EXPECT_TRUE(next.err.contains("--invoice")) << next.err.toStdString();
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 1 AND InvoiceID IS NULL")),
              open);

    ok({"invoice", "--user", "1", "--invoice", "42"});
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID = 42"),
              open - count("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 1 AND InvoiceID "
                           "IS NULL AND (BillStatus IN ('Hold', 'Do not bill') OR BillStatus IS "
                           "NULL)"));
}

TEST_F(MaintenanceCommandsTest, FindsTheDatabaseThroughTheLinkCatalogue)
{
    // --program-dir alone: the data file is the one QVLink.db links to.
    const CommandOutput o = run({"--program-dir", programDir(), "contact", "add", "Linked Ltd"});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts WHERE ContactName = 'Linked Ltd'"), 1);
    EXPECT_NE(run({"--data-dir", m_tmp.filePath("nowhere"), "user", "list"}).result, 0);
}

// The control characters a terminal would obey: everything but the line ends
// of the tool's own output.
QString controlsIn(const QString &text)
{
    QString found;
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control && c != u'\n')
            found += QStringLiteral("U+%1 ").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return found;
}

TEST_F(MaintenanceCommandsTest, NamesWithControlCharactersAreStoredAsTypedAndShownAsEscapes)
{
    // ESC [2J clears the screen, ESC ]0; retitles the window, U+009B is a one-character ESC [.
    const QString name = QStringLiteral("Evil\x1b[2J\x1b]0;owned\x07") + QChar(0x9b) +
                         QStringLiteral("31m\x01\x7f\tTab\nNext");
    const QString shown =
        QStringLiteral("Evil\\x1b[2J\\x1b]0;owned\\x07\\x9b31m\\x01\\x7f\\tTab\\nNext");
    struct Kind {
        const char *command;
        const char *table;
        const char *column;
    } kinds[] = {{"contact", "tblContacts", "ContactName"},
                 {"user", "tblUsers", "UserName"},
                 {"activity", "tblMainActivities", "ActivityName"}};
    for (const Kind &kind : kinds) {
        SCOPED_TRACE(kind.command);
        const CommandOutput added = ok({kind.command, "add", name});
        EXPECT_EQ(controlsIn(added.out), QString());
        EXPECT_TRUE(added.out.contains(shown)) << added.out.toStdString();
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?")
                            .arg(QLatin1String(kind.table), QLatin1String(kind.column)),
                        {name}),
                  1);

        const QString list = ok({kind.command, "list"}).out;
        EXPECT_EQ(controlsIn(list), QString());
        EXPECT_TRUE(list.contains(shown)) << list.toStdString();
        // Still one row per line, its columns where the heading has them.
        const QStringList lines = list.split(u'\n', Qt::SkipEmptyParts);
        const qsizetype column = lines[0].indexOf(QLatin1String("Active"));
        for (const QString &line : lines.mid(2))
            EXPECT_TRUE(line.mid(column, 3) == QLatin1String("Yes") ||
                        line.mid(column, 2) == QLatin1String("No"))
                << line.toStdString();
    }
    // A message that names what was typed shows it the same way.
    const CommandOutput unknown = run({QStringLiteral("list\x1b[2J")});
    EXPECT_NE(unknown.result, 0);
    EXPECT_EQ(controlsIn(unknown.err), QString());
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("list\\x1b[2J"))) << unknown.err.toStdString();
}

} // namespace
