#pragma once

#include "platform/core/Money.h"

#include <QLocale>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace quorvale {

namespace ChargeTexts {
// What the description, purpose, location and participants fields let through
// as typed. Kept because people are used to it; saving binds every text, so a
// quote that arrives some other way (a code's description) is stored as it is.
inline constexpr const char *TextCharacters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ `!#$&()-:,1234567890.";
inline constexpr const char *NumberCharacters = "1234567890.";
inline constexpr const char *Billable = "Billable";
} // namespace ChargeTexts

// The bill statuses a charge may carry, in list order.
const QStringList &chargeBillStatuses();

// A quantity, rate or amount as shown or typed: a plain number, or one in the
// "Currency" format of locale (symbol and group separators allowed). nullopt
// when it is not a number. Kept to four decimals like every currency value.
std::optional<Money> chargeNumber(const QString &text, const QLocale &locale = QLocale());

// A rate as shown: three decimals ("12.345") when its third decimal is in use,
// so a unit price of a fraction of a cent survives being shown and read back;
// otherwise the "Currency" format.
QString chargeRateText(Money rate, const QLocale &locale = QLocale());

// quantity x rate, as the amount field shows it: the "Currency" format.
Money chargeAmount(Money quantity, Money rate);

// The quantity the table keeps: a whole number, a value exactly halfway going
// to the even neighbour (2.5 -> 2, 3.5 -> 4).
qint32 wholeQuantity(Money quantity);

} // namespace quorvale
