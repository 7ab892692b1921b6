#pragma once

#include "charges/ChargeKind.h"
#include "data/SortOrders.h"

#include <QLocale>
#include <QString>

namespace quorvale {

struct ChargeRecord;

// The administrator's options the checks follow.
struct ChargeRules {
    bool contactInUse = false;
    bool contactRequired = false;
    bool activity1InUse = false;
    bool activity1Required = false;
    bool activity2InUse = false;
    bool activity2Required = false;
    QString jobOrderTerm; // empty: job orders are not used
    bool jobOrderRequired = false;
    Terms terms;
};

// The field a failed check names. 0: every check passed.
namespace ChargeError {
inline constexpr int None = 0;
inline constexpr int Contact = 1;
inline constexpr int Activity1 = 2;
inline constexpr int Activity2 = 3;
inline constexpr int Type = 4;
inline constexpr int StartDate = 5;
inline constexpr int EndDate = 6;
inline constexpr int Description = 7;
inline constexpr int Quantity = 8;
inline constexpr int Rate = 9;
inline constexpr int Purpose = 10;
inline constexpr int Location = 11;
inline constexpr int Participants = 12;
inline constexpr int JobOrder = 13;
} // namespace ChargeError

// `ValidateRecord`: the first check record fails, in the window's order
// (contact, activities, job order, type, dates, description, quantity, rate,
// then an expense's purpose, location and participants where its class takes
// them). The contact, activity and job-order checks apply only to a row that
// carries its own (standalone); a linked row takes them from its TimeCard.
int ValidateRecord(const ChargeRecord &record, ChargeKind kind, const ChargeRules &rules,
                   bool standalone, const QLocale &locale = QLocale());

// `GetErrorItem`: the name of the field an error code stands for.
QString GetErrorItem(int code, ChargeKind kind, const ChargeRules &rules);

// The "Invalid Entry" text for a code.
QString invalidEntryText(int code, ChargeKind kind, const ChargeRules &rules);

} // namespace quorvale
