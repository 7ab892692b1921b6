#pragma once

#include "BenchTimer.h"

#include <QString>
#include <vector>

namespace quorvale::bench {

// `qvadmin report timecards --user U` on the program directory, from process
// start to its CSV and page written, against the sqlite3 command line writing
// the same statement's rows as CSV. Both are whole processes, as a person runs
// them.
std::vector<Measure> measureReports(const QString &programDir, const QString &qvadmin, int userId,
                                    int repetitions);

} // namespace quorvale::bench
