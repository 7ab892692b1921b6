#include "timecards/ActiveRunRecovery.h"

#include "timecards/TimeCalcs.h"

#include <algorithm>

namespace quorvale {

QDateTime leftOverRunEnd(const ActiveRun &run, LeftOverRunChoice choice, const QDateTime &now)
{
    switch (choice) {
    case LeftOverRunChoice::Discard:
        return {};
    case LeftOverRunChoice::KeepUpToNow:
        return std::max(now, run.runStart);
    case LeftOverRunChoice::KeepUpToLastSeen:
        return run.lastSeen.isValid() ? std::max(run.lastSeen, run.runStart) : run.runStart;
    }
    return {};
}

LeftOverRunResolution resolveLeftOverRun(const ActiveRun &run, LeftOverRunChoice choice,
                                         const QDateTime &now)
{
    LeftOverRunResolution resolution;
    resolution.timeCardId = run.timeCardId;
    if (choice == LeftOverRunChoice::Discard) {
        resolution.timeSpent = run.keptTimeSpent;
        resolution.value = run.keptValue;
        return resolution;
    }
    const QDateTime end = leftOverRunEnd(run, choice, now);
    const qint64 seconds = run.runStart.secsTo(end);
    resolution.timeSpent = ConvertSecondsToTime(run.baseSeconds + seconds);
    resolution.segment = TimeSegment{run.runStart, end, seconds, QString()};
    resolution.endDate = end.date();
    resolution.endTime = end.time();
    return resolution;
}

} // namespace quorvale
