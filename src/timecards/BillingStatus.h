#pragma once

#include <QString>
#include <QStringList>

namespace quorvale {

// What a row's billing status means for an invoice, for TimeCards, expenses and
// fixed charges alike: "Billable" goes on it at its value; "No Charge" and
// "Subject to fixed charge" go on it at nothing; "Hold", "Do not bill" and a row
// with no status stay open and are never billed. The stored value keeps its own
// formula; the status decides what is billed of it.

// The stored texts whose rows go on an invoice (TimeCards spell "No Charge",
// expenses and fixed charges "No charge").
const QStringList &invoicedStatuses();

// "<column> IN (?, ?, ...)", to be bound with invoicedStatuses().
QString invoicedCondition(const QString &column);

} // namespace quorvale
