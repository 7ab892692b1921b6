#pragma once

#include "qvadmin/Location.h"

#include <QStringList>
#include <optional>

class QTextStream;

namespace quorvale::db {
class Connection;
}

namespace quorvale::admin {

struct InvoiceResult {
    int invoiceId = 0;
    int timeCards = 0;
    int expenses = 0;
    int fixedCharges = 0;

    int total() const { return timeCards + expenses + fixedCharges; }
};

// Marks every uninvoiced TimeCard, expense and fixed charge of the user as billed
// on one invoice, all in one transaction. Without a number the invoice gets the
// next one after the highest in use. Rows already invoiced are never touched, so
// running it again invoices only what was added since.
InvoiceResult invoiceUser(db::Connection &db, int userId, std::optional<int> invoiceId);

// "invoice --user ID [--invoice N]".
int runInvoice(const QStringList &args, const GlobalOptions &globals, QTextStream &out);

} // namespace quorvale::admin
