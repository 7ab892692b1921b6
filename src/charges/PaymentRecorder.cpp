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
                       "AuthorizationCode, PaymentMethodID, FundContribution, InvoiceID) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {row.UserID, row.ContactID, QVariant::fromValue(row.PaymentAmount), row.PaymentDate,
         row.PaymentDescription, row.CreditCardNumber, row.CardholdersName, row.CCExpirationDate,
         row.AuthorizationCode, row.PaymentMethodID, row.FundContribution,
         row.InvoiceID ? QVariant(*row.InvoiceID) : QVariant(QMetaType::fromType<int>())},
        QStringLiteral("PaymentID"));
    work.commit();
    return id;
}

} // namespace quorvale
