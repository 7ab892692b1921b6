#pragma once

#include "platform/core/Duration.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

namespace quorvale {

// The rules that keep the main window's date, time and duration fields sound as
// the person edits and leaves them. Pure functions over the shown and stored
// values; the window applies what they hand back and, when told to, has the rates
// code recompute the value.

enum class DurationField { TimeEstimated = 0, TimeSpent = 1 };

// The column a duration field is bound to: "TimeEstimated" or "Quantity".
QString durationColumn(DurationField field);

// A start or end date field left empty shows the row's stored date again, or
// today when the row holds none. An empty field is a null date.
QDate dateForLeftField(const QDate &shown, const QVariant &stored, const QDate &today);
// The same for a start or end time field, falling back on the present time.
QTime timeForLeftField(const QTime &shown, const QVariant &stored, const QTime &now);

// True when the end lies before the start: an earlier end date, or the same date
// with an earlier end time. The check behind "End time before the start time.".
bool endBeforeStart(const QDate &startDate, const QTime &startTime, const QDate &endDate,
                    const QTime &endTime);

// What the window knows about the TimeCard when a duration field is left.
struct DurationContext {
    bool billingInUse = false;
    QString rateSource;
};

// What leaving a duration field asks of the window.
struct DurationFieldResult {
    // The typed text is no time (see Duration::fromTyped): it stays in the
    // field for correction, nothing is stored, and message says why.
    bool refused = false;
    QString message;
    QString text;                // what the field shows afterwards, when not refused
    bool store = false;          // write storedText to column
    QString column;              // "TimeEstimated" or "Quantity", when store is set
    QString storedText;          // seven digits, when store is set
    bool recomputeValue = false; // value := seconds x (Rate / 3600), by the rates code
};

// Leaving a duration field whose text the person changed. Only what reads as a
// time is taken; it is stored in the seven-digit form when it differs from the
// stored value and shown again in the field's own form. Nothing is stored
// while the person types, so a half-typed or mistyped time never reaches the row.
DurationFieldResult durationFieldLeft(DurationField field, const QString &typed,
                                      const QVariant &stored, const DurationContext &context);

// Time spent entered by hand: the TimeCard ends that long after its start.
// problem says why the end cannot follow (no start date or time stored).
struct EndFromStart {
    QDate endDate;
    QTime endTime;
    QString problem;
};
EndFromStart endFromStart(const QVariant &startDate, const QVariant &startTime, Duration spent);

} // namespace quorvale
