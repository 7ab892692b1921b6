#pragma once

#include "platform/pim/FolderCache.h"

#include <QtGlobal>
#include <functional>

namespace quorvale::pim {

// Calls `read(i)` once for every i in [0, count), spread over the machine's
// cores with the calling thread among them: a first read of many item files is
// bound by the parser, not the disk. `read` must touch only what its index
// owns and what is safe to share (FolderCache). Stops handing out indices once
// `control` is cancelled; reports the indices done so far as progress; returns
// once every started call has ended, passing on the first exception thrown.
void readInParallel(qsizetype count, const ScanControl &control,
                    const std::function<void(qsizetype)> &read);

} // namespace quorvale::pim
