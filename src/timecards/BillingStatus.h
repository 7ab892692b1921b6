#pragma once

#include "platform/core/Money.h"

#include <QString>
#include <QStringList>

namespace quorvale {

class Realization;

// What a row's billing status means for an invoice, for TimeCards, expenses and
// fixed charges alike. The stored value keeps its own formula; the status decides
// what is billed of it. Invoicing, the billing reports and the windows all ask
// here, so that an invoice and the reports about it can never disagree.
enum class BillingTreatment {
    Charged,   // "Billable": a line at its value
    NoCharge,  // "No Charge" / "No charge": a line at nothing, shown as no charge
    Covered,   // "Subject to fixed charge": a line at nothing, naming the fixed charge
    Held,      // "Hold" (and a row with no or an unknown status): stays open, still owed
    NotBilled, // "Do not bill": stays open, never work in process nor receivable
};

BillingTreatment billingTreatment(const QString &status);

// Whether an invoice run puts the row on the invoice (and so closes it).
bool goesOnInvoice(BillingTreatment treatment);

// A line's words for a person: "Billable", "No charge", "Held, not invoiced"...
QString billingTreatmentText(BillingTreatment treatment);

// One sentence on what the status does at the next invoice, for the windows.
QString billingTreatmentHelp(BillingTreatment treatment);

// What an expense or fixed charge bills: its amount times its realization (a
// markup above 100 %, a write-down below), to the cent, half away from zero.
// A TimeCard's stored value already carries its realization.
Money chargeBilledAmount(Money amount, Realization realization);

// The same rule as SQL over a table alias's columns, for statements that sum many
// rows. The status texts are the program's own constants, not typed text.

// "<status> IN ('Billable', ...)": rows an invoice run takes.
QString invoicedConditionSql(const QString &status);
// Rows that count as work in process while open, and as receivable once billed.
QString owedConditionSql(const QString &status);
// A TimeCard's billed amount: its value when charged, else 0.
QString billedTimeValueSql(const QString &status, const QString &value);
// A TimeCard's value while it is open work: charged and held work at its value.
QString openTimeValueSql(const QString &status, const QString &value);
// An expense's or fixed charge's billed amount, computed exactly as
// chargeBilledAmount() does (in whole ten-thousandths, no binary fractions).
QString billedChargeAmountSql(const QString &status, const QString &amount,
                              const QString &realization);
// The same while open: held charges count at what they would bill.
QString openChargeAmountSql(const QString &status, const QString &amount,
                            const QString &realization);

} // namespace quorvale
