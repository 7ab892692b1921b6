#pragma once

#include "timecards/ActiveRun.h"
#include "timecards/TimerTypes.h"

#include <QDate>
#include <QTime>
#include <optional>

namespace quorvale {

// What the person makes of a run the program left on when it stopped.
enum class LeftOverRunChoice {
    KeepUpToNow,      // the work went on while the program was down
    KeepUpToLastSeen, // the work stopped with the program (to within a few seconds)
    Discard,          // the run never counted
    KeepUpToEnd,      // the run had ended keeping its time; its row was not stored
};

// The choice made already for a run that had ended before the program stopped
// (the person chose when pausing or cancelling); nullopt for a run that was
// still on, about which the person is asked.
std::optional<LeftOverRunChoice> settledChoice(const ActiveRun &run);

// What to write to the run's TimeCard. Keeping: the time spent up to the chosen
// end, the end date and time, and the segment for the time-detail appointment;
// the value is then recomputed from the TimeCard's rate (CalculateTimeSpentValue).
// Discarding: the time spent and value the run found. The segment carries the
// run's note, and is left out when its appointment was made before the crash.
struct LeftOverRunResolution {
    qint64 timeCardId = 0;
    QString timeSpent;
    std::optional<Money> value; // Discard only: the value to put back
    std::optional<TimeSegment> segment;
    QDate endDate; // Keep only
    QTime endTime;
};

// The end a left-over run would get for the choice (invalid for Discard); never
// before the run start.
QDateTime leftOverRunEnd(const ActiveRun &run, LeftOverRunChoice choice, const QDateTime &now);

LeftOverRunResolution resolveLeftOverRun(const ActiveRun &run, LeftOverRunChoice choice,
                                         const QDateTime &now);

} // namespace quorvale
