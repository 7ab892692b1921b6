#include "PaymentRecorder.h"

#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <QVariant>

namespace quorvale {

qint64 ProcessPayment(db::Connection &cnnLink, const PaymentRow &row)
{
    db::Transaction work(cnnLink);
    const qint64 id = cnnLink.insertReturningKey(
        QStringLiteral("INSERT INTO tblPayments (UserID, ContactID, PaymentAmount, PaymentDate, "
                       "PaymentDescription, CreditCardNumber, CardholdersName, CCExpirationDate, "
                       "AuthorizationCode, PaymentMethodID, FundContribution) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {row.UserID, row.ContactID, QVariant::fromValue(row.PaymentAmount), row.PaymentDate,
         row.PaymentDescription, row.CreditCardNumber, row.CardholdersName, row.CCExpirationDate,
         row.AuthorizationCode, row.PaymentMethodID, row.FundContribution},
        QStringLiteral("PaymentID"));
    work.commit();
    return id;
}

} // namespace quorvale
