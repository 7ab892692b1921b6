#pragma once

#include "platform/core/Duration.h"
#include "platform/core/Money.h"

#include <QString>
#include <QVariant>

namespace quorvale {

// How a client's time is billed: in steps of a few minutes, rounded up, to
// the nearest step or down. It changes what is billed of a TimeCard, never
// the time recorded on it.
enum class RoundingDirection { Up = 0, Nearest = 1, Down = 2 };

struct BillingRounding {
    int incrementMinutes = 0; // 0: billed as recorded
    RoundingDirection direction = RoundingDirection::Up;

    bool active() const { return incrementMinutes > 0; }
    // "15-minute steps, rounded up"; empty when not active.
    QString text() const;
    bool operator==(const BillingRounding &) const = default;

    // From the stored columns (tblContacts, tblInvoices); anything unknown
    // reads as billed as recorded.
    static BillingRounding fromStored(const QVariant &increment, const QVariant &direction);
};

// The steps offered: none, 1, 6, 15 and 30 minutes.
inline constexpr int BillingIncrements[] = {0, 1, 6, 15, 30};

// The time billed for the time recorded.
Duration billedTime(Duration recorded, const BillingRounding &rounding);

// The value billed: the value in proportion to the time billed, to the
// ten-thousandth, rounded once. A flat fee, and work with no time recorded,
// keep their value.
Money billedValue(Money value, Duration recorded, const BillingRounding &rounding, bool flatFee);

} // namespace quorvale
