// Reads of item files run on a reading thread while the window goes on; a
// long one shows a progress window that Esc or Cancel stops. Real widgets on
// the offscreen platform.

#include "ui/BackgroundRead.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace quorvale;

namespace {

// Does what a person does to the progress window once it shows.
void whenProgressShows(const std::function<void(QProgressDialog &)> &act)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        QProgressDialog *progress = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *p = qobject_cast<QProgressDialog *>(w); p && p->isVisible())
                progress = p;
        if (!progress || !progress->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(*progress);
    });
    poll->start(5);
}

} // namespace

TEST(BackgroundRead, ShortReadRunsOffTheWindowThreadAndShowsNoWindow)
{
    QWidget window;
    window.show();
    std::atomic<QThread *> readOn{nullptr};
    EXPECT_TRUE(runInBackground(&window, "Reading", [&](const pim::ScanControl &control) {
        readOn = QThread::currentThread();
        control.report(1, 1);
    }));
    EXPECT_NE(readOn.load(), nullptr);
    EXPECT_NE(readOn.load(), window.thread());
    EXPECT_EQ(window.findChild<QProgressDialog *>(), nullptr);
}

TEST(BackgroundRead, EscOrCancelStopsALongReadAndTheWindowKeepsRunning)
{
    struct Case {
        const char *name;
        std::function<void(QProgressDialog &)> stop;
    };
    const Case cases[] = {
        {"Esc", [](QProgressDialog &p) { QTest::keyClick(&p, Qt::Key_Escape); }},
        {"Cancel button", [](QProgressDialog &p) { p.findChild<QPushButton *>()->click(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        window.show();
        // The window's own timers go on while the read runs.
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(10);
        std::atomic<bool> sawCancel{false};
        std::atomic<int> steps{0};
        whenProgressShows([&](QProgressDialog &progress) {
            EXPECT_EQ(progress.windowModality(), Qt::WindowModal);
            EXPECT_FALSE(progress.accessibleName().isEmpty());
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
            c.stop(progress);
        });
        const bool finished =
            runInBackground(&window, "Reading many items...", [&](const pim::ScanControl &control) {
                while (!control.isCancelled()) {
                    control.report(++steps % 100, 100);
                    QThread::msleep(2);
                }
                sawCancel = true;
            });
        EXPECT_FALSE(finished);
        EXPECT_TRUE(sawCancel.load());
        EXPECT_GT(ticks, 0);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

TEST(BackgroundRead, FailureOfTheReadComesOutToTheCaller)
{
    QWidget window;
    EXPECT_THROW(
        runInBackground(&window, "Reading",
                        [](const pim::ScanControl &) { throw std::runtime_error("disk gone"); }),
        std::runtime_error);
}
