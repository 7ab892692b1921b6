#pragma once

#include "platform/core/Money.h"
#include "timecards/TimeCardValue.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QtGlobal>
#include <optional>

namespace quorvale {

// One run of the timer as the time detail records it: this run only, without
// the time the TimeCard held before it.
struct TimeSegment {
    QDateTime start;
    QDateTime end;
    qint64 seconds = 0;
    QString note; // the time segment field's text when the run ended

    bool operator==(const TimeSegment &) const = default;
};

// The shown TimeCard as a run starts on it.
struct TimerCard {
    qint64 timeCardId = 0;
    QString timeSpent;          // Quantity, seven digits
    std::optional<Money> value; // the shown value; nullopt when billing is not in use
};

// What the value of a tick depends on. Asked for at every tick, so a rate chosen
// during the run counts from the next tick on.
struct TimerValueInputs {
    bool billingInUse = false;
    QString rateSource;
    // The hourly rate shown (pick list or typed); nullopt when that text is no
    // number, which makes the value 0.
    std::optional<Money> hourlyRate;
    Realization realization;
    bool realizationInUse = false;
};

// StartTimer's answer: when the TimeCard held no time yet, its start date and
// both times are to be set from the run start.
struct TimerStarted {
    bool setStartFields = false;
    QDate startDate;
    QTime startTime; // also the end time
};

// What one tick shows.
struct TimerTick {
    qint64 seconds = 0;      // the time spent up to now, base included
    QString timeSpent;       // seven digits
    QString display;         // " hhh:mm:ss", the interrupt window's display
    bool showOnCard = false; // a TimeCard run whose TimeCard is the one shown
    // The shown value, when it is to change: billing in use, not "Flat Fee".
    std::optional<Money> value;
};

// PauseTimer's answer.
struct TimerEnded {
    qint64 timeCardId = 0;
    bool saved = false;
    // Saved: the time spent and value up to the end (not merely the last tick),
    // the end date and time, and the segment for the time-detail appointment.
    TimerTick final;
    QDate endDate;
    QTime endTime;
    TimeSegment segment;
    // Discarded: the time spent and value as they were when the run started.
    QString restoredTimeSpent;
    std::optional<Money> restoredValue;
};

// What the window enables and shows for the timer (`ProcessTimerInterface`).
struct TimerInterface {
    bool running = false;          // a TimeCard's timer runs
    bool isCurrent = false;        // and that TimeCard is the one shown
    QString startTimerCaption;     // mnuStartTimer: "&Start Timer" / "&Pause Timer"
    QString startTimerTip;         // "Start Timer" / "Pause Timer"
    bool startTimerEnabled = true; // off while an interruption is timed
    bool cancelTimerEnabled = false;
    bool timeSegmentEnabled = false; // txtTimeSegment
};

} // namespace quorvale
