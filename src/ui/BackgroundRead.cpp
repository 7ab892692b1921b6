#include "BackgroundRead.h"

#include "ui/PointerScope.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QSemaphore>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <exception>

namespace quorvale {

bool runInBackground(QWidget *parent, const QString &label,
                     const std::function<void(const pim::ScanControl &)> &read)
{
    std::atomic<bool> cancelled{false};
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    std::exception_ptr failure;
    const pim::ScanControl control{[&cancelled] { return cancelled.load(); },
                                   [&done, &total](qsizetype d, qsizetype t) {
                                       total.store(t);
                                       done.store(d);
                                   }};
    QSemaphore ended;
    QFutureWatcher<void> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&read, &control, &failure, &ended] {
        try {
            read(control);
        } catch (...) {
            failure = std::current_exception();
        }
        ended.release();
    }));
    // Most reads come from the cache: waiting for those without running any
    // event keeps them as plain as a call.
    if (ended.tryAcquire(1, ReadBlockingWaitMs)) {
        watcher.waitForFinished();
        if (failure)
            std::rethrow_exception(failure);
        return true;
    }

    const PointerScope busy(Qt::BusyCursor);
    // A short read shows no window; the person's keys wait for it meanwhile
    // rather than reach a window whose list is being rebuilt.
    QTimer::singleShot(ReadProgressDelayMs - ReadBlockingWaitMs, &loop, &QEventLoop::quit);
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!watcher.isFinished()) {
        QProgressDialog progress(label, QStringLiteral("Cancel"), 0, 0, parent);
        progress.setObjectName(QStringLiteral("ReadProgress"));
        progress.setWindowTitle(QStringLiteral("Reading Items"));
        progress.setAccessibleName(label);
        progress.setWindowModality(Qt::WindowModal);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setMinimumDuration(0);
        const auto cancel = [&cancelled, &progress] {
            cancelled.store(true);
            progress.setLabelText(QStringLiteral("Stopping..."));
        };
        QObject::connect(&progress, &QProgressDialog::canceled, &loop, cancel);
        QObject::connect(&progress, &QDialog::rejected, &loop, cancel);
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, &progress, [&] {
            const qint64 t = total.load();
            if (t > 0 && progress.maximum() != static_cast<int>(t))
                progress.setMaximum(static_cast<int>(t));
            if (t > 0)
                progress.setValue(static_cast<int>(std::min(done.load(), t)));
        });
        tick.start(100);
        progress.show();
        // The read holds references into this frame: wait for it whatever happens.
        while (!watcher.isFinished())
            loop.exec();
    }
    watcher.waitForFinished();
    if (failure)
        std::rethrow_exception(failure);
    return !cancelled.load();
}

} // namespace quorvale
