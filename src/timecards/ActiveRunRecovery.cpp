#include "timecards/ActiveRunRecovery.h"

#include "timecards/TimeCalcs.h"

#include <algorithm>

namespace quorvale {

std::optional<LeftOverRunChoice> settledChoice(const ActiveRun &run)
{
    if (!run.ended.isValid())
        return std::nullopt;
    return run.timeKept ? LeftOverRunChoice::KeepUpToEnd : LeftOverRunChoice::Discard;
}

QDateTime leftOverRunEnd(const ActiveRun &run, LeftOverRunChoice choice, const QDateTime &now)
{
    switch (choice) {
    case LeftOverRunChoice::Discard:
        return {};
    case LeftOverRunChoice::KeepUpToNow:
        return std::max(now, run.runStart);
    case LeftOverRunChoice::KeepUpToLastSeen:
        return run.lastSeen.isValid() ? std::max(run.lastSeen, run.runStart) : run.runStart;
    case LeftOverRunChoice::KeepUpToEnd:
        return run.ended.isValid() ? std::max(run.ended, run.runStart) : run.runStart;
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
    if (!run.segmentRecorded)
        resolution.segment = TimeSegment{run.runStart, end, seconds, run.note};
    resolution.endDate = end.date();
    resolution.endTime = end.time();
    return resolution;
}

} // namespace quorvale
