// Paying a user back for expenses, against a real program database: which
// expenses are still owed, the reimbursement row and the marks it leaves, and
// the requests that must leave everything as it was.

#include "charges/Reimbursement.h"

#include "data/DataStore.h"
#include "platform/core/QvError.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/DemoStore.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QSqlQuery>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

struct Reimbursements : ::testing::Test {
    test::EngineDatabase engine;
    test::TempDir tmp;
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, tmp.filePath("reports")};
    ErrorHandler errors{report};
    std::unique_ptr<DataStore> store;
    qint32 userId = 0;
    qint32 otherUser = 0;

    void SetUp() override
    {
        errors.terminate = [](int) {};
        userId = test::openDemoStore(tmp, engine, prompts, errors, store);
        ASSERT_TRUE(store);
        cnn().execute("DELETE FROM tblExpenses");
        otherUser =
            static_cast<qint32>(cnn().scalar("SELECT MAX(UserID) FROM tblUsers").toInt() + 1);
    }

    db::Connection &cnn() { return store->cnnLink(); }
    qint64 addExpense(qint32 user, QDate start, qint64 amountUnits, const QString &description)
    {
        return cnn().insertReturningKey(
            "INSERT INTO tblExpenses (UserID, Description, StartDate, EndDate, Amount) "
            "VALUES (?, ?, ?, ?, ?)",
            {user, description, start, start, QVariant::fromValue(Money::fromUnits(amountUnits))},
            "ExpenseID");
    }
    // Every expense's reimbursement mark and every reimbursement, as one text
    // to compare before and after.
    QString snapshot()
    {
        QString text;
        QSqlQuery q(cnn().database());
        EXPECT_TRUE(q.exec("SELECT ExpenseID, ReimbursementID FROM tblExpenses ORDER BY 1"));
        while (q.next())
            text += q.value(0).toString() + "=" + q.value(1).toString() + ";";
        EXPECT_TRUE(q.exec("SELECT ReimbursementID, Amount FROM tblReimbursements ORDER BY 1"));
        while (q.next())
            text += "R" + q.value(0).toString() + ":" + q.value(1).toString() + ";";
        return text;
    }
};

std::vector<qint64> idsOf(const std::vector<ReimbursableExpense> &rows)
{
    std::vector<qint64> ids;
    for (const ReimbursableExpense &r : rows)
        ids.push_back(r.expenseId);
    return ids;
}

} // namespace

TEST_F(Reimbursements, RecordingMarksTheChosenExpensesWithOneRowForTheirExactSum)
{
    const qint64 taxi = addExpense(userId, {2026, 11, 3}, 123456, "Taxi");    // 12.3456
    const qint64 stamp = addExpense(userId, {2026, 11, 20}, 1, "Stamp");      // 0.0001
    const qint64 hotel = addExpense(userId, {2026, 12, 2}, 1999999, "Hotel"); // 199.9999
    const qint64 others = addExpense(otherUser, {2026, 11, 1}, 50000, "Not hers");

    EXPECT_EQ(idsOf(unreimbursedExpenses(cnn(), userId)),
              (std::vector<qint64>{taxi, stamp, hotel}));
    const auto upToNovember = unreimbursedExpenses(cnn(), userId, QDate(2026, 11, 30));
    EXPECT_EQ(idsOf(upToNovember), (std::vector<qint64>{taxi, stamp}));
    EXPECT_EQ(totalOf(upToNovember), Money::fromUnits(123457));

    ReimbursementRequest request;
    request.userId = userId;
    request.expenseIds = {hotel, taxi, hotel}; // asked twice, paid once
    request.date = QDate(2026, 12, 8);
    request.reference = "  Cheque 1042 ";
    request.recordedBy = userId;
    const RecordedReimbursement done = recordReimbursement(cnn(), request);
    EXPECT_EQ(done.amount, Money::fromUnits(1999999 + 123456));
    EXPECT_EQ(done.expenseIds, (std::vector<qint64>{hotel, taxi}));

    QSqlQuery q = cnn().prepare("SELECT UserID, ReimbursementDate, Amount, Reference, RecordedBy "
                                "FROM tblReimbursements WHERE ReimbursementID = ?");
    cnn().run(q, {done.reimbursementId});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), userId);
    EXPECT_EQ(q.value(1).toDate(), QDate(2026, 12, 8));
    EXPECT_EQ(q.value(2).toLongLong(), 1999999 + 123456);
    EXPECT_EQ(q.value(3).toString(), "Cheque 1042");
    EXPECT_EQ(q.value(4).toInt(), userId);
    EXPECT_EQ(cnn().scalar("SELECT COUNT(*) FROM tblReimbursements").toInt(), 1);

    const auto markOf = [this](qint64 id) {
        return cnn().scalar("SELECT ReimbursementID FROM tblExpenses WHERE ExpenseID = ?", {id});
    };
    EXPECT_EQ(markOf(taxi).toLongLong(), done.reimbursementId);
    EXPECT_EQ(markOf(hotel).toLongLong(), done.reimbursementId);
    EXPECT_TRUE(markOf(stamp).isNull());
    EXPECT_TRUE(markOf(others).isNull());
    EXPECT_EQ(idsOf(unreimbursedExpenses(cnn(), userId)), (std::vector<qint64>{stamp}));
}

TEST_F(Reimbursements, ARequestWithAnyBadExpenseWritesNothingAndSaysWhich)
{
    const qint64 mine = addExpense(userId, {2026, 11, 3}, 10000, "Parking");
    const qint64 paid = addExpense(userId, {2026, 11, 4}, 20000, "Train");
    const qint64 others = addExpense(otherUser, {2026, 11, 5}, 30000, "Not hers");
    ReimbursementRequest first{userId, {paid}, QDate(2026, 11, 30), "T-1", userId};
    recordReimbursement(cnn(), first);
    const QString before = snapshot();

    struct Case {
        const char *what;
        std::vector<qint64> ids;
        QDate date;
        QString says;
    };
    const Case cases[] = {
        {"already reimbursed",
         {mine, paid},
         {2026, 12, 8},
         QString("Expense %1 was already").arg(paid)},
        {"another user's",
         {mine, others},
         {2026, 12, 8},
         QString("Expense %1 belongs to another").arg(others)},
        {"missing", {mine, 999999}, {2026, 12, 8}, "There is no expense 999999."},
        {"none chosen", {}, {2026, 12, 8}, "No expense was chosen"},
        {"no date", {mine}, {}, "needs the date"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ReimbursementRequest request{userId, c.ids, c.date, "R-2", userId};
        try {
            recordReimbursement(cnn(), request);
            ADD_FAILURE() << "recorded";
        } catch (const QvError &e) {
            EXPECT_TRUE(e.description().contains(c.says)) << e.description().toStdString();
            EXPECT_TRUE(e.description().endsWith("Nothing was recorded."));
        }
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(cnn().transactionDepth(), 0);
    }
    EXPECT_EQ(idsOf(unreimbursedExpenses(cnn(), userId)), (std::vector<qint64>{mine}));
}
