// qvadmin reimburse on the demo database: what it records and prints, what it
// refuses, and the reimbursement report that shrinks by what was paid back.

#include "AdminFixture.h"
#include "platform/core/Money.h"

#include <QFile>
#include <QSqlQuery>

using namespace quorvale;
using namespace quorvale::test;

namespace {

class ReimburseCommandTest : public AdminFixture {
protected:
    void SetUp() override
    {
        initHere({"--demo"});
        user = int(count("SELECT UserID FROM tblExpenses GROUP BY UserID ORDER BY COUNT(*) DESC, "
                         "UserID LIMIT 1"));
        other = int(count("SELECT MIN(UserID) FROM tblExpenses WHERE UserID <> ?", {user}));
    }

    std::vector<qlonglong> ids(const QString &sql, const QVariantList &params) const
    {
        std::vector<qlonglong> found;
        auto db = openData();
        QSqlQuery q = db->prepare(sql);
        db->run(q, params);
        while (q.next())
            found.push_back(q.value(0).toLongLong());
        return found;
    }
    // The expense IDs the reimbursement report lists for the user, read from
    // its CSV file (the first column).
    std::vector<qlonglong> reported() const
    {
        const CommandOutput o = runHere({"report", "reimbursement", "--user", QString::number(user),
                                         "--out", m_tmp.filePath("out")});
        EXPECT_EQ(o.result, 0) << o.err.toStdString();
        QFile csv(o.out.split(u'\n', Qt::SkipEmptyParts).value(0));
        EXPECT_TRUE(csv.open(QIODevice::ReadOnly)) << o.out.toStdString();
        std::vector<qlonglong> found;
        const QStringList lines =
            QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        for (qsizetype i = 1; i < lines.size(); ++i)
            found.push_back(lines[i].section(u',', 0, 0).remove(u'"').toLongLong());
        return found;
    }
    QString state() const
    {
        QString text;
        auto db = openData();
        QSqlQuery q = db->prepare("SELECT ExpenseID, ReimbursementID FROM tblExpenses ORDER BY 1");
        db->run(q, {});
        while (q.next())
            text += q.value(0).toString() + "=" + q.value(1).toString() + ";";
        return text + QString::number(count("SELECT COUNT(*) FROM tblReimbursements"));
    }

    int user = 0;
    int other = 0;
};

TEST_F(ReimburseCommandTest, PaysBackTheOpenExpensesUpToTheDateAndTheReportShrinks)
{
    const std::vector<qlonglong> open = ids(
        "SELECT ExpenseID FROM tblExpenses WHERE UserID = ? ORDER BY StartDate, ExpenseID", {user});
    ASSERT_GE(open.size(), 3u);
    EXPECT_EQ(reported(), open);
    // Up to the day of the newest but one: the newest stays owed.
    const QString upTo =
        scalar("SELECT StartDate FROM tblExpenses WHERE ExpenseID = ?", {open[open.size() - 2]})
            .toString();
    const std::vector<qlonglong> due = ids(
        "SELECT ExpenseID FROM tblExpenses WHERE UserID = ? AND StartDate <= ? ORDER BY StartDate, "
        "ExpenseID",
        {user, upTo});
    ASSERT_LT(due.size(), open.size());
    Money sum;
    for (qlonglong id : due)
        sum +=
            Money::fromStored(scalar("SELECT Amount FROM tblExpenses WHERE ExpenseID = ?", {id}));

    const CommandOutput o = runHere({"reimburse", "--user", QString::number(user), "--to", upTo,
                                     "--reference", "Transfer 77", "--date", "2026-12-07"});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    const qlonglong id = count("SELECT MAX(ReimbursementID) FROM tblReimbursements");
    EXPECT_TRUE(o.out.startsWith(QString("Reimbursement %1 for Ann O'Hara (user %2), paid "
                                         "2026-12-07, reference \"Transfer 77\"")
                                     .arg(id)
                                     .arg(user)))
        << o.out.toStdString();
    EXPECT_TRUE(o.out.contains(
        QString("Total: %1 (%2 expenses)").arg(sum.toDisplayString()).arg(due.size())))
        << o.out.toStdString();
    EXPECT_EQ(count("SELECT Amount FROM tblReimbursements WHERE ReimbursementID = ?", {id}),
              sum.units());
    EXPECT_EQ(ids("SELECT ExpenseID FROM tblExpenses WHERE ReimbursementID = ? ORDER BY "
                  "StartDate, ExpenseID",
                  {id}),
              due);

    const std::vector<qlonglong> left(open.begin() + qsizetype(due.size()), open.end());
    EXPECT_EQ(reported(), left);

    // Nothing left up to that day: said so, and no empty reimbursement.
    const CommandOutput again =
        runHere({"reimburse", "--user", QString::number(user), "--to", upTo});
    EXPECT_EQ(again.result, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.startsWith("Nothing to reimburse")) << again.out.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblReimbursements"), 1);
}

TEST_F(ReimburseCommandTest, ChosenExpensesAreAllPaidBackOrNoneIs)
{
    const std::vector<qlonglong> mine =
        ids("SELECT ExpenseID FROM tblExpenses WHERE UserID = ? ORDER BY ExpenseID", {user});
    const std::vector<qlonglong> theirs =
        ids("SELECT ExpenseID FROM tblExpenses WHERE UserID = ? ORDER BY ExpenseID", {other});
    ASSERT_GE(mine.size(), 3u);
    ASSERT_FALSE(theirs.empty());
    const QString u = QString::number(user);
    const QString a = QString::number(mine[0]), b = QString::number(mine[1]);

    const CommandOutput paid =
        runHere({"reimburse", "--user", u, "--expense", a, "--expense=" + b});
    ASSERT_EQ(paid.result, 0) << paid.err.toStdString();
    EXPECT_TRUE(paid.out.contains("(2 expenses)")) << paid.out.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblExpenses WHERE ReimbursementID IS NOT NULL"), 2);
    const QString before = state();

    const QString c = QString::number(mine[2]);
    const struct {
        QStringList args;
        QString says;
    } refused[] = {
        {{"--expense", c, "--expense", a}, QString("Expense %1 was already reimbursed").arg(a)},
        {{"--expense", c, "--expense", QString::number(theirs[0])},
         QString("Expense %1 belongs to another user").arg(theirs[0])},
        {{"--expense", c, "--expense", "987654"}, "There is no expense 987654"},
        {{"--expense", c, "--to", "2026-12-01"}, "either --expense IDs or --to"},
        {{"--expense", "x7"}, "takes an expense ID, not 'x7'"},
    };
    for (const auto &r : refused) {
        SCOPED_TRACE(r.args.join(' ').toStdString());
        const CommandOutput o = runHere(QStringList{"reimburse", "--user", u} + r.args);
        EXPECT_NE(o.result, 0);
        EXPECT_TRUE(o.err.contains(r.says)) << o.err.toStdString();
        EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
        EXPECT_EQ(state(), before);
    }
    const CommandOutput nobody = runHere({"reimburse", "--user", "4242"});
    EXPECT_NE(nobody.result, 0);
    EXPECT_TRUE(nobody.err.contains("There is no user 4242")) << nobody.err.toStdString();
    EXPECT_EQ(state(), before);
}

} // namespace
