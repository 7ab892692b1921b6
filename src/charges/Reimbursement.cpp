#include "Reimbursement.h"

#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace quorvale {

namespace {

constexpr int ReferenceLength = 255; // the column's size

[[noreturn]] void refuse(const QString &why)
{
    throw QvError(ErrorNumber::Generic, why + QStringLiteral(" Nothing was recorded."),
                  QLatin1String(ReimbursementRefusal));
}

std::vector<qint64> eachOnce(const std::vector<qint64> &ids)
{
    std::vector<qint64> once;
    for (qint64 id : ids)
        if (std::find(once.begin(), once.end(), id) == once.end())
            once.push_back(id);
    return once;
}

} // namespace

std::vector<ReimbursableExpense> unreimbursedExpenses(db::Connection &cnnLink, qint32 userId,
                                                      std::optional<QDate> upTo)
{
    QString sql =
        QStringLiteral("SELECT ExpenseID, StartDate, Description, Amount FROM tblExpenses "
                       "WHERE UserID = ? AND ReimbursementID IS NULL");
    QVariantList params{userId};
    if (upTo) {
        sql += QStringLiteral(" AND StartDate <= ?");
        params << *upTo;
    }
    sql += QStringLiteral(" ORDER BY StartDate, ExpenseID");
    QSqlQuery query = cnnLink.prepare(sql);
    cnnLink.run(query, params, sql);
    std::vector<ReimbursableExpense> rows;
    while (query.next())
        rows.push_back({query.value(0).toLongLong(), query.value(1).toDate(),
                        query.value(2).toString(), Money::fromStored(query.value(3))});
    return rows;
}

Money totalOf(const std::vector<ReimbursableExpense> &expenses)
{
    Money total;
    for (const ReimbursableExpense &e : expenses)
        total += e.amount;
    return total;
}

RecordedReimbursement recordReimbursement(db::Connection &cnnLink,
                                          const ReimbursementRequest &request)
{
    RecordedReimbursement done;
    done.expenseIds = eachOnce(request.expenseIds);
    if (done.expenseIds.empty())
        refuse(QStringLiteral("No expense was chosen to be reimbursed."));
    if (!request.date.isValid())
        refuse(QStringLiteral("The reimbursement needs the date it was paid."));
    const QString reference = request.reference.trimmed();
    if (reference.size() > ReferenceLength)
        refuse(QStringLiteral("The reference may be at most %1 characters long.")
                   .arg(ReferenceLength));

    db::Transaction work(cnnLink);
    // Read inside the transaction, so what is summed is what gets marked.
    const QString read = QStringLiteral(
        "SELECT UserID, ReimbursementID, Amount FROM tblExpenses WHERE ExpenseID = ?");
    QSqlQuery row = cnnLink.prepare(read);
    for (qint64 id : done.expenseIds) {
        cnnLink.run(row, {id}, read);
        if (!row.next())
            refuse(QStringLiteral("There is no expense %1.").arg(id));
        if (row.value(0).toLongLong() != request.userId)
            refuse(QStringLiteral("Expense %1 belongs to another user.").arg(id));
        if (!row.value(1).isNull())
            refuse(QStringLiteral("Expense %1 was already reimbursed (reimbursement %2).")
                       .arg(id)
                       .arg(row.value(1).toLongLong()));
        done.amount += Money::fromStored(row.value(2));
        row.finish();
    }

    done.reimbursementId = cnnLink.insertReturningKey(
        QStringLiteral("INSERT INTO tblReimbursements (UserID, ReimbursementDate, Amount, "
                       "Reference, RecordedBy) VALUES (?, ?, ?, ?, ?)"),
        {request.userId, request.date, QVariant::fromValue(done.amount),
         reference.isEmpty() ? QVariant() : QVariant(reference),
         request.recordedBy == 0 ? QVariant() : QVariant(request.recordedBy)},
        QStringLiteral("ReimbursementID"));
    // The conditions again: another program may have paid a row back since it was read.
    const QString mark = QStringLiteral("UPDATE tblExpenses SET ReimbursementID = ? WHERE "
                                        "ExpenseID = ? AND UserID = ? AND ReimbursementID IS NULL");
    QSqlQuery update = cnnLink.prepare(mark);
    for (qint64 id : done.expenseIds) {
        cnnLink.run(update, {done.reimbursementId, id, request.userId}, mark);
        if (update.numRowsAffected() != 1)
            refuse(QStringLiteral("Expense %1 was reimbursed by someone else meanwhile.").arg(id));
    }
    work.commit();
    return done;
}

} // namespace quorvale
