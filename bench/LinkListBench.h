#pragma once

#include "BenchTimer.h"

#include <QString>
#include <vector>

namespace quorvale {
class ErrorHandler;
class Prompts;
} // namespace quorvale

namespace quorvale::bench {

// The Links page's list of a TimeCard's `items` linked tasks, read by the
// program's own LinkReader from a real program database and item store, each
// against libical parsing the same files in the same run:
//   - the first listing (empty folder cache: every file read and parsed once);
//   - a listing again with every file unchanged (summaries reused);
//   - a new run's first listing, with the summaries the last run kept (read
//     from their file within the measure);
//   - a listing after a sync tool wrote a tenth of the files anew under other
//     names (each found again by its UID and its link rewritten).
// The program and the store are made in a scratch directory below `dir`.
std::vector<Measure> measureLinkList(const QString &dir, int items, int repetitions,
                                     Prompts &prompts, ErrorHandler &errors);

} // namespace quorvale::bench
