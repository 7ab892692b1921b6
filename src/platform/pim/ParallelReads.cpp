#include "platform/pim/ParallelReads.h"

#include <QMutex>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <exception>

namespace quorvale::pim {

namespace {

// Below this many files the threads cost more than they save.
constexpr qsizetype ParallelFrom = 64;
// Indices are handed out in runs of this many, so that the shared counter is
// touched rarely and a slow file holds back one run, not a whole share.
constexpr qsizetype Run = 16;

} // namespace

void readInParallel(qsizetype count, const ScanControl &control,
                    const std::function<void(qsizetype)> &read)
{
    const int helpers = count < ParallelFrom ? 0 : std::max(0, QThread::idealThreadCount() - 1);
    std::atomic<qsizetype> next{0};
    std::atomic<qsizetype> done{0};
    std::atomic<bool> failed{false};
    QMutex failureMutex;
    std::exception_ptr failure;
    const auto work = [&] {
        try {
            for (;;) {
                const qsizetype first = next.fetch_add(Run);
                if (first >= count)
                    return;
                const qsizetype end = std::min(count, first + Run);
                for (qsizetype i = first; i < end; ++i) {
                    // Asked before every file: a person who cancels waits
                    // for one file per thread, not for a run.
                    if (failed.load() || control.isCancelled())
                        return;
                    read(i);
                }
                control.report(done.fetch_add(end - first) + (end - first), count);
            }
        } catch (...) {
            const QMutexLocker lock(&failureMutex);
            if (!failure)
                failure = std::current_exception();
            failed.store(true);
        }
    };
    if (helpers == 0) {
        work();
    } else {
        // A pool of our own: the shared one may be busy with the very read
        // that called us, and its threads would then wait on each other.
        QThreadPool pool;
        pool.setMaxThreadCount(helpers);
        for (int h = 0; h < helpers; ++h)
            pool.start(work);
        work();
        pool.waitForDone();
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace quorvale::pim
