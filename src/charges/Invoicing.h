#pragma once

#include "platform/core/Money.h"
#include "timecards/BillingRounding.h"
#include "timecards/BillingStatus.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace quorvale::db {
class Connection;
}

namespace quorvale {

struct BillingOptions;

// One client's open work in a period, to be put on one invoice.
struct InvoiceRequest {
    int contactId = 0;
    std::optional<int> userId; // one person's work of that client only
    std::optional<QDate> from;
    std::optional<QDate> to;
    std::optional<int> invoiceId; // the number to use; else the next free one
    QDate invoiceDate;            // invalid: today
    int issuedBy = 0;             // the user who issues it
};

struct InvoiceLine {
    enum class Kind { TimeCard, Expense, FixedCharge };
    Kind kind = Kind::TimeCard;
    int id = 0;
    QDate date;
    QString activity; // a TimeCard's first activity
    QString description;
    QString quantity; // a TimeCard's time spent, a charge's units
    Money rate;
    BillingTreatment treatment = BillingTreatment::Charged;
    Money amount;
    // Why a line bills nothing: "No charge", or the fixed charge that covers it.
    QString note;
};

struct Invoice {
    int number = 0; // 0: nothing to invoice (or a preview), no number used
    int contactId = 0;
    QString contactName;
    QDate invoiceDate;
    QDate dueDate;
    std::optional<QDate> periodFrom;
    std::optional<QDate> periodTo;
    std::vector<InvoiceLine> lines;
    // How the client's time is billed; its TimeCard lines show the time billed.
    BillingRounding rounding;
    QString taxRate; // percent, as the options held it when issued
    QString taxNumber;
    Money tax;
    Money paid; // payments applied to it
    bool voided = false;
    QString voidReason;
    QStringList warnings;

    Money subtotal() const;
    Money total() const { return subtotal() + tax; }
    Money balanceDue() const { return voided ? Money() : total() - paid; }
    int count(InvoiceLine::Kind kind) const;
};

// The lines an invoice for the request would hold, and its totals, without
// marking anything or using a number: what a person checks before issuing.
Invoice previewInvoice(db::Connection &db, const InvoiceRequest &request,
                       const BillingOptions &options);

// Called with the invoice as issued while its rows are marked but not yet
// committed: the invoice document is written here. A throw undoes everything,
// so a document that could not be written leaves no number used and nothing
// marked.
using InvoiceDocumentWriter = std::function<void(const Invoice &)>;

// Puts every open row of the client in the period that its billing status sends
// to an invoice on one invoice, records it in tblInvoices with its tax and due
// date, all in one transaction, and returns it as it now stands. Two runs at
// once never take the same row: the second waits for the first and finds those
// rows invoiced. Nothing to invoice gives number 0 and uses no number.
Invoice invoiceContact(db::Connection &db, const InvoiceRequest &request,
                       const BillingOptions &options, const InvoiceDocumentWriter &write = {});

// An invoice issued earlier, with its lines and the payments applied to it.
// Throws QvError when there is none of that number.
Invoice readInvoice(db::Connection &db, int number);

// Voids an invoice: its rows return to open work (expenses and fixed charges
// lose the amount fixed for it) and it keeps its number, totals and the
// reason. Refused (nothing changed) without a reason, for an invoice already
// void, and for one with payments applied.
void voidInvoice(db::Connection &db, int number, const QString &reason, const QDate &date);

// The client's invoices, newest first, without their lines.
struct InvoiceSummary {
    int number = 0;
    QDate invoiceDate;
    QDate dueDate;
    Money total;
    Money paid;
    bool voided = false;
    Money balanceDue() const { return voided ? Money() : total - paid; }
};
std::vector<InvoiceSummary> invoicesOf(db::Connection &db, int contactId);

// "Invoice 1004 (12 Nov 2026)" style label for lists.
QString invoiceLabel(const InvoiceSummary &invoice);

} // namespace quorvale
