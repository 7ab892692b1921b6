#pragma once

#include "timecards/TimerTypes.h"

#include <QString>
#include <optional>

namespace quorvale {

// What the interrupt timer needs of the main window that owns the TimeCards.
struct InterruptPaste {
    QString note;       // the interruption's note, for the time segment field
    qint64 seconds = 0; // the interruption's time
    QString timeSpent;  // the receiving TimeCard's new time spent
    QDate endDate;      // the receiving TimeCard's end date and time
    QTime endTime;
    bool capped = false; // the sum passed "9995959" and was cut there
};

class InterruptTimerHost {
public:
    virtual ~InterruptTimerHost() = default;

    // The shown TimeCard's rate inputs and time segment note, for ending its run.
    virtual TimerValueInputs valueInputs() const = 0;
    virtual QString timeSegmentNote() const = 0;
    // `ProcessActiveCard`: settles the run of a TimeCard that is not shown;
    // false when the person cancels.
    virtual bool processActiveCard() = 0;
    // A TimeCard run ended keeping its time: show it and record the segment.
    virtual void runEnded(const TimerEnded &ended) = 0;
    // `CreateNewTimeCard` without autostart, then the paste's fields.
    virtual void pasteToNewTimeCard(const InterruptPaste &paste) = 0;
    // The shown TimeCard's time spent; nullopt when none is shown.
    virtual std::optional<QString> currentTimeSpent() const = 0;
    virtual void pasteToCurrentTimeCard(const InterruptPaste &paste) = 0;
    // Moves to the TimeCard and starts its timer again (`StartTimer`).
    virtual void resumeTimer(qint64 timeCardId) = 0;
    // mnuStartTimer's state changed (`ProcessTimerInterface`).
    virtual void timerInterfaceChanged() = 0;
};

} // namespace quorvale
