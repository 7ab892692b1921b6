#pragma once

#include "platform/core/Money.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace quorvale {

namespace db {
class Connection;
}

// An expense a user paid and has not been paid back for yet.
struct ReimbursableExpense {
    qint64 expenseId = 0;
    QDate startDate;
    QString description;
    Money amount;
};

// The expenses of userId that no reimbursement covers yet, oldest first; with
// upTo, only those that started on or before it (the same dates the
// reimbursement report goes by).
std::vector<ReimbursableExpense> unreimbursedExpenses(db::Connection &cnnLink, qint32 userId,
                                                      std::optional<QDate> upTo = std::nullopt);

Money totalOf(const std::vector<ReimbursableExpense> &expenses);

struct ReimbursementRequest {
    qint32 userId = 0; // whose expenses are paid back
    std::vector<qint64> expenseIds;
    QDate date;
    QString reference;     // a cheque number, a transfer reference: free text
    qint32 recordedBy = 0; // 0: nobody of the program (an administrator's run)
};

struct RecordedReimbursement {
    qint64 reimbursementId = 0;
    Money amount;
    std::vector<qint64> expenseIds; // each once, in the order asked
};

// The source of the QvError a refused request throws, to tell it from a
// database failure.
inline constexpr const char *ReimbursementRefusal = "Reimbursement";

// Records that the chosen expenses were paid back: one tblReimbursements row for
// their exact sum and its id on each of them, in one transaction on cnnLink.
// Throws QvError, with nothing written, when none is chosen, the date is not a
// date, or any of them is missing, another user's or already reimbursed.
RecordedReimbursement recordReimbursement(db::Connection &cnnLink,
                                          const ReimbursementRequest &request);

} // namespace quorvale
