#pragma once

#include "platform/core/Money.h"

#include <QDate>
#include <QString>
#include <optional>

namespace quorvale {

// One new row of tblPayments. The amount carries its sign already: a payment
// on account lowers what the contact owes, so it is stored negative.
struct PaymentRow {
    qint32 UserID = 0;
    qint32 ContactID = 0;
    Money PaymentAmount;
    QDate PaymentDate;
    QString PaymentDescription;
    // Written as typed, empty texts when the method takes no card. They never go
    // into a log, a message or an error report.
    QString CreditCardNumber;
    QString CardholdersName;
    QString CCExpirationDate; // MMYY
    QString AuthorizationCode;
    qint32 PaymentMethodID = 0;
    bool FundContribution = false;
    // The invoice a payment on account settles; none: the account as a whole.
    std::optional<qint32> InvoiceID;
};

} // namespace quorvale
