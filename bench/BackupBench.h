#pragma once

#include "BenchTimer.h"

#include <QString>
#include <vector>

namespace quorvale::bench {

// CompactAndRepairLocalDatabases on a program directory whose QVLocal.db holds
// about 100 MB of abbreviations, a quarter of them deleted, against the sqlite3
// command line's VACUUM INTO of the same file; each step of ours is given
// beside it. The file is made once in DIR and copied afresh for every run.
std::vector<Measure> measureCompaction(const QString &dir, int repetitions);

// The program database's backup (online copy and check) against the sqlite3
// command line's ".backup" of the same file, with the longest time between two
// progress calls and between two cancel checks: what a window driving it from
// a worker thread waits at most for news, or for a cancel to take.
std::vector<Measure> measureBackup(const QString &programDir, int repetitions);

} // namespace quorvale::bench
