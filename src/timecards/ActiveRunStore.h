#pragma once

#include "timecards/ActiveRun.h"

#include <optional>

namespace quorvale {

namespace db {
class Connection;
}

// Keeps the one TimeCard run that is on in the user's local database
// (QVLocal.db, table tblActiveRun), so that it outlives a crash. The table is
// made on first use, since local databases made before it lack it, and gains
// the columns later versions added. Times are kept as UTC milliseconds, so a
// change of daylight saving time between the crash and the next start counts
// right. Errors are thrown as QvError.
//
// One slot: only the program holding the program directory's lock
// (InstanceLock) may use it, so a record found at start-up belongs to a program
// that is no longer running.
class ActiveRunStore {
public:
    explicit ActiveRunStore(db::Connection &cnnLocal);

    // Records run as the one that is on, replacing any other.
    void save(const ActiveRun &run);
    // The program still ran at this moment, with this time segment note (no
    // effect when no run is kept).
    void markSeen(const QDateTime &at, const QString &note);
    // The run ended at `at`, keeping its time or not, with its last note; the
    // record stays until clear(), once the TimeCard's row is stored.
    void markEnded(const QDateTime &at, bool timeKept, const QString &note);
    // The ended run's time-detail appointment has been made.
    void markSegmentRecorded();
    // No run is kept any more.
    void clear();
    // The run left over by a program that stopped without ending it, or before
    // the row its end wrote was stored; nullopt when there is none. The record
    // stays until clear(), so a crash while settling it offers it again.
    std::optional<ActiveRun> recover();

private:
    void ensureTable();

    db::Connection &m_cnn;
    bool m_tableReady = false;
};

} // namespace quorvale
