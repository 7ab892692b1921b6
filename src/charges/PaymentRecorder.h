#pragma once

#include "charges/PaymentRow.h"

#include <QtGlobal>

namespace quorvale {

namespace db {
class Connection;
}

// `ProcessPayment`: writes row as a new tblPayments row in one transaction on
// cnnLink and returns its PaymentID. Throws QvError when it cannot; nothing is
// written then.
qint64 ProcessPayment(db::Connection &cnnLink, const PaymentRow &row);

} // namespace quorvale
