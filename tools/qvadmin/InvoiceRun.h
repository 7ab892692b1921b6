#pragma once

#include "platform/core/Money.h"
#include "timecards/BillingStatus.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace quorvale::db {
class Connection;
}

namespace quorvale::admin {

// One client's open work in a period, to be put on one invoice.
struct InvoiceRequest {
    int contactId = 0;
    std::optional<int> userId; // one person's work of that client only
    std::optional<QDate> from;
    std::optional<QDate> to;
    std::optional<int> invoiceId; // the number to use; else the next free one
};

struct InvoiceLine {
    enum class Kind { TimeCard, Expense, FixedCharge };
    Kind kind = Kind::TimeCard;
    int id = 0;
    QDate date;
    QString description;
    QString quantity; // a TimeCard's time spent, a charge's units
    BillingTreatment treatment = BillingTreatment::Charged;
    Money amount;
    // Why a line bills nothing: "No charge", or the fixed charge that covers it.
    QString note;
};

struct Invoice {
    int number = 0; // 0: there was nothing to invoice and no number was used
    QString contactName;
    std::vector<InvoiceLine> lines;
    QStringList warnings;

    Money total() const;
    int count(InvoiceLine::Kind kind) const;
};

// Puts every open row of the client in the period that its billing status sends
// to an invoice on one invoice, in one transaction, and returns its lines as they
// now stand in the database. Two runs at once never take the same row: the
// second waits for the first and finds those rows invoiced.
Invoice invoiceContact(db::Connection &db, const InvoiceRequest &request);

} // namespace quorvale::admin
