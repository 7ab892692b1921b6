#pragma once

#include "platform/core/Money.h"
#include "timecards/TimeCardValue.h"

#include <QString>
#include <array>
#include <optional>

namespace quorvale {

// The six rate levels of a contact, an activity, a user or a staff level.
using RateSet = std::array<Money, 6>;

// The columns "Rate1" .. "Rate6" as a select list: "Rate1, Rate2, ..., Rate6".
QString rateColumnList();

// A stored amount as a maintenance field shows it: two decimals when that is
// exact, else all four, so that saving an untouched field changes nothing.
QString moneyEditText(Money amount);
// A typed rate: empty is zero; nullopt for text that is not an amount and for
// a negative amount.
std::optional<Money> parseRateText(const QString &typed);

// A realization as a maintenance field shows it, exact to the hundredth of a
// percent: "100%", "85%", "85.5%".
QString realizationEditText(Realization realization);

} // namespace quorvale
