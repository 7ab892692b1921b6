#pragma once

#include "platform/core/Money.h"

#include <QString>
#include <optional>

namespace quorvale::db {
class Connection;
}

namespace quorvale {

// The firm as its invoices name it, set by the administrator.
struct BillingOptions {
    QString firmName;
    QString firmAddress; // lines as typed
    QString firmTaxNumber;
    QString taxRate; // percent as typed ("20", "7.25"); empty: no tax
    int paymentTermsDays = 30;
    QString invoiceNote;

    // Empty when an invoice can be made; else what is missing, for a person.
    QString missingForInvoice() const;
};

BillingOptions readBillingOptions(db::Connection &db);
// Refuses (QvError, nothing written) a tax rate that is not a percentage from
// 0 to 100 or payment terms outside 0 to 3650 days.
void writeBillingOptions(db::Connection &db, const BillingOptions &options);

// The rate as ten-thousandths of a percent ("7.25" -> 72500); nullopt for a
// rate that is not one. Empty reads as 0.
std::optional<qint64> taxRateUnits(const QString &rate);
// Tax on an amount at that rate, to the cent, rounded half away from zero once.
Money taxOn(Money amount, const QString &rate);

} // namespace quorvale
