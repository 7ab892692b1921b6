#pragma once

#include <QStringList>

namespace quorvale {

// The entry types a TimeCard offers, stored as shown; the journal's entry types.
const QStringList &entryTypes();
// The billing statuses, stored as shown.
const QStringList &billingStatuses();

} // namespace quorvale
