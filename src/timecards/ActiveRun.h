#pragma once

#include "platform/core/Money.h"

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace quorvale {

// A TimeCard run as the local database keeps it while it lasts, so that a run
// cut short by a crash can be settled at the next start. It outlasts the run's
// end until the TimeCard's row holding what the end wrote has been stored: the
// end only writes into the row's edit buffer.
struct ActiveRun {
    qint64 timeCardId = 0;
    QDateTime runStart;
    qint64 baseSeconds = 0; // the time spent before the run
    QString keptTimeSpent;  // the time spent and value as the run found them
    std::optional<Money> keptValue;
    // The latest moment the program was known to run; invalid when it never
    // said (then the run start stands in).
    QDateTime lastSeen;
    // The time segment note as last kept: the run's time detail gets it.
    QString note;
    // When the run ended (paused or cancelled); invalid while it is on.
    QDateTime ended;
    bool timeKept = false;        // ended keeping its time, not discarding the run
    bool segmentRecorded = false; // its time-detail appointment exists already

    bool operator==(const ActiveRun &) const = default;
};

} // namespace quorvale
