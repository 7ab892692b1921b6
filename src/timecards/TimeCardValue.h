#pragma once

#include "platform/core/Money.h"
#include "platform/core/Realization.h"

#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

namespace quorvale {

namespace db {
class Connection;
}

// A typed realization, read as the percentage the field shows: "85", "85%" and
// "85.5" are 85 % and 85.5 %; "0.85" is 0.85 %. Every "%" is dropped first.
// nullopt (keep the stored value) for an empty entry, only "." or "%", text that
// is not a number, a negative number and anything above 100 %. Decimals beyond
// the second are rounded half away from zero.
std::optional<Realization> parseTypedRealization(const QString &typed);

// Leaving the realization field: what is stored and what the field shows again.
struct RealizationEntry {
    Realization realization;
    bool changed = false; // the entry differs from the stored realization
    QString shown;
};
RealizationEntry txtRealization_LostFocus(const QString &typed, Realization stored);

// The contact columns GetRealization reads.
enum class RealizationKind { Time, Expense, FixedCharge };

// The contact's realization of that kind (TimeRealization, ExpenseRealization,
// FixedChargeRealization); nullopt when the contact has no row or no value.
std::optional<Realization> GetRealization(db::Connection &cnnLink, RealizationKind kind,
                                          qint32 contactId);

// The realization a new charge or a TimeCard whose contact changes takes: the
// contact's when realization is in use and a contact with a value is chosen,
// else full.
Realization applicableRealization(db::Connection &cnnLink, RealizationKind kind,
                                  std::optional<qint32> contactId, bool realizationInUse);

// Whole seconds of a stored time spent ("HHHMMSS", shorter texts padded on the
// left, blanks read as 0); 0 for null and for text that is not digits.
std::int64_t timeSpentSeconds(const QVariant &quantity);

// seconds x rate / 3600 x realization, rounded once to the cent as the
// "Currency" format shows it. The value stored is that cent amount.
Money timeSpentValue(std::int64_t seconds, Money hourlyRate, Realization realization);

struct ValueInputs {
    QString rateSource;
    QVariant quantity; // the stored time spent
    Money rate;
    Money flatRate;
    Realization realization;
    bool realizationInUse = false;
};

// The value of a TimeCard: the flat fee as agreed (no realization) for
// "Flat Fee", else the value of its time spent at its rate, with its
// realization when realization is in use.
Money CalculateTimeSpentValue(const ValueInputs &inputs);

} // namespace quorvale
