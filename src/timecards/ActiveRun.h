#pragma once

#include "platform/core/Money.h"

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace quorvale {

// A TimeCard run as the local database keeps it while it lasts, so that a run
// cut short by a crash can be settled at the next start.
struct ActiveRun {
    qint64 timeCardId = 0;
    QDateTime runStart;
    qint64 baseSeconds = 0; // the time spent before the run
    QString keptTimeSpent;  // the time spent and value as the run found them
    std::optional<Money> keptValue;
    // The latest moment the program was known to run; invalid when it never
    // said (then the run start stands in).
    QDateTime lastSeen;

    bool operator==(const ActiveRun &) const = default;
};

} // namespace quorvale
