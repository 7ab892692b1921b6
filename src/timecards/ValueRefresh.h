#pragma once

#include "timecards/Rates.h"

#include <QtGlobal>
#include <optional>

namespace quorvale {

namespace db {
class Connection;
}

// What a stored TimeCard's rate and value are recomputed with.
struct ValueRefreshContext {
    RateOptions options;
    RatesLookup lookup;
    bool realizationInUse = false;
    std::optional<qint32> staffId;
    // The contact changed: the realization becomes the new contact's.
    bool contactChanged = false;
};

// After columns of a stored TimeCard were set behind the window's back (a mass
// edit): the hourly rate looked up again for its source and level, the
// realization taken from its contact when that changed, and the value computed
// from them. A rate that cannot be looked up (flat fee, nothing chosen for the
// source) stays. Nothing happens to an invoiced or missing TimeCard.
void refreshTimeCardValue(db::Connection &cnnLink, qint64 timeCardId,
                          const ValueRefreshContext &context);

} // namespace quorvale
