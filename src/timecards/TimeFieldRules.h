#pragma once

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

// What the window knows about the TimeCard when a duration field changes.
struct DurationContext {
    bool timerRunsHere = false; // this TimeCard's timer is running
    bool billingInUse = false;
    QString rateSource;
};

// What a duration rule asks of the window.
struct DurationFieldResult {
    QString text;                // what the field shows afterwards
    bool fieldChanged = false;   // text differs from what the field showed
    bool store = false;          // write storedText to column at once
    QString column;              // "TimeEstimated" or "Quantity", when store is set
    QString storedText;          // seven digits, when store is set
    bool recomputeValue = false; // value := seconds x (Rate / 3600), by the rates code
};

// Every change of a duration field's text. A complete text (seven digits, the
// mask's ":" separators aside, no blanks) is stored at once unless this
// TimeCard's timer runs, when the next tick would overwrite it anyway.
DurationFieldResult durationFieldChanged(DurationField field, const QString &shown,
                                         const DurationContext &context);

// Leaving a changed duration field: the text is padded and its blanks made zeros
// and written back. Text that is no duration at all (see normaliseDurationText)
// is not kept: the field shows the stored text again, so nothing typed can turn
// into a different time unnoticed.
DurationFieldResult durationFieldLeft(DurationField field, const QString &shown,
                                      const QString &stored, const DurationContext &context);

} // namespace quorvale
