#pragma once

#include "BenchTimer.h"

#include <vector>

namespace quorvale::bench {

// Reading item folders as the link choosers and the Links page do, each
// against a baseline in the same run:
//   - parsing one task file of 1, 16 and 50 MB (the size at which a folder
//     read used to stall), against reading the same bytes from disk;
//   - the first read of a folder of `items` tasks (empty cache), the second
//     read (every file unchanged) and a read after one file changed, against
//     a plain listing of the same directory;
//   - the same folder with the 50 MB file in it, which is passed over.
// The files are made once in `dir`.
std::vector<Measure> measureFolderScan(const QString &dir, int items, int repetitions);

} // namespace quorvale::bench
