#pragma once

#include "BenchTimer.h"

#include <vector>

namespace quorvale::bench {

// The item store against reading and writing the same files directly: a lookup
// by EntryID in a folder of `items` journal entries, writing one journal entry
// with ten user properties, and a link list of 1,000 items read by EntryID.
// The store is made (once) in `dir`.
std::vector<Measure> measureItems(const QString &dir, int items, int repetitions);

} // namespace quorvale::bench
