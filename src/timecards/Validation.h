#pragma once

#include "data/SortOrders.h"

#include <QDate>
#include <QString>
#include <QTime>

namespace quorvale {

struct TimeCard;

class Prompts;

// The administrator options and registry switches the checks depend on.
struct ValidationOptions {
    bool contactInUse = false;
    bool contactRequired = false;
    bool activity1InUse = false;
    bool activity1Required = false;
    bool activity2InUse = false;
    bool activity2Required = false;
    bool rateSourceFixed = false;
    // The registry's "Settings\Validation" switches.
    bool endBeforeStart = false;
    bool noTimeSpent = false;
    bool noHourlyRate = false;
    bool noDescription = false;
    bool noJobOrder = false;
    Terms terms;
    QString jobOrderTerm;
};

// The current TimeCard as the window shows it: what the person would mend.
struct TimeCardEntry {
    bool contactChosen = false;
    bool activity1Chosen = false;
    bool activity2Chosen = false;
    QDate startDate;
    QTime startTime;
    QDate endDate;
    QTime endTime;
    QString timeSpent;          // seven digits
    bool timerRunsHere = false; // the timer runs on this TimeCard
    QString rateSource;
    QString flatFee;    // as shown, possibly in the currency format
    QString hourlyRate; // as shown
    QString description;
    QString jobOrder; // as shown; the empty mask "___-__-____" counts as empty
};

// The entry of a stored TimeCard, for a window that writes every change
// through to the row.
TimeCardEntry entryFromRow(const TimeCard &card, bool timerRunsHere);

// Codes of the nine rules, in the order they run.
namespace ValidationCode {
inline constexpr int Valid = 0;
inline constexpr int NoContact = 1;
inline constexpr int NoActivity1 = 2;
inline constexpr int NoActivity2 = 3;
inline constexpr int EndBeforeStart = 4;
inline constexpr int NoTimeSpent = 5;
inline constexpr int NoFlatFee = 6;
inline constexpr int NoHourlyRate = 7;
inline constexpr int NoDescription = 8;
inline constexpr int NoJobOrder = 9;
} // namespace ValidationCode

// 0 when the entry may be saved, else the code of the first rule it fails.
int ValidationError(const TimeCardEntry &entry, const ValidationOptions &options);

// The problem text of a code, with the terms lower-cased; empty for 0.
QString validationMessage(int code, const ValidationOptions &options);

enum class FocusField {
    None,
    Description,
    Activity1,
    Activity2,
    StartDate,
    StartTime,
    TimeSpent,
    FlatFee,
    HourlyRate,
    JobOrder,
};

// Where the window puts the focus: first the tab page (0 = leave the page as
// it is; 1 description, 3 dates and times, 4 rates), then the field.
struct FocusTarget {
    int tabPage = 0;
    FocusField field = FocusField::None;
    bool operator==(const FocusTarget &) const = default;
};

FocusTarget validationFocus(int code, const TimeCardEntry &entry);

inline constexpr const char *ValidationErrorTitle = " Validation Error";

// The validation dialog's whole text around the problem.
QString validationDialogText(const QString &problem);

// Tells the person what is wrong and returns where the focus goes to mend it.
FocusTarget ProcessValidationError(int code, const TimeCardEntry &entry,
                                   const ValidationOptions &options, Prompts &prompts);

} // namespace quorvale
