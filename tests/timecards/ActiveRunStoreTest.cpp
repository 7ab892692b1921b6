// The running timer kept in a real QVLocal.db file: what a run leaves there, a
// process killed during a run or right after its end, and the ways to settle
// what it left.

#include "timecards/ActiveRunStore.h"

#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"
#include "timecards/ActiveRunRecovery.h"
#include "timecards/Clock.h"
#include "timecards/Timer.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorvale;

namespace {

const QDateTime Nine(QDate(2024, 3, 5), QTime(9, 0, 0));

QString jetString(const QString &file, const char *extra = "")
{
    return "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";" + extra;
}

struct ActiveRunStoreTest : ::testing::Test {
    ActiveRunStoreTest()
    {
        db::Connection::createSqliteFile(path);
        cnnLocal.open(jetString(path));
    }
    test::TempDir dir;
    const QString path = dir.filePath("QVLocal.db");
    db::Connection cnnLocal;
    ActiveRunStore store{cnnLocal};
    FixedClock clock{Nine};
    Timer timer{clock, &store};
};

// A child process does `work` with a timer on the file at nine, says so and
// is killed; what the file then holds is what the next start finds.
void killedAfter(const QString &path, const std::function<void(Timer &, FixedClock &)> &work)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        close(ready[0]);
        try {
            db::Connection cnn;
            cnn.open(jetString(path));
            ActiveRunStore store(cnn);
            FixedClock clock(Nine);
            Timer timer(clock, &store);
            work(timer, clock);
            if (write(ready[1], "r", 1) != 1)
                _exit(2);
        } catch (...) {
            _exit(3);
        }
        for (;;)
            pause();
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1) << "the child died before it was done";
    close(ready[0]);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

std::optional<ActiveRun> recoverAtNextStart(const QString &path)
{
    db::Connection nextStart;
    nextStart.open(jetString(path));
    return ActiveRunStore(nextStart).recover();
}

} // namespace

TEST_F(ActiveRunStoreTest, AProcessKilledDuringARunLeavesItToRecover)
{
    // A run on TimeCard 42 ("0010000", 55.00) from nine, the program last
    // heard of at 9:01:30, killed during a tick at 9:02.
    ASSERT_NO_FATAL_FAILURE(killedAfter(path, [](Timer &timer, FixedClock &clock) {
        timer.StartTimer({42, "0010000", Money::fromWhole(55)}, {});
        clock.advance(90);
        timer.heartbeat(QString());
        clock.advance(2);
        timer.heartbeat(QString());
        clock.advance(28);
        timer.MainTimer_Timer({});
    }));
    const auto run = recoverAtNextStart(path);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->timeCardId, 42);
    EXPECT_EQ(run->runStart, Nine);
    EXPECT_EQ(run->baseSeconds, 3600);
    EXPECT_EQ(run->keptTimeSpent, "0010000");
    EXPECT_EQ(run->keptValue, Money::fromWhole(55));
    EXPECT_EQ(run->lastSeen, Nine.addSecs(90)); // the heartbeat, not the later tick
    EXPECT_FALSE(run->ended.isValid());
    EXPECT_EQ(settledChoice(*run), std::nullopt); // the person is asked
}

TEST_F(ActiveRunStoreTest, AKillLosesAFewSecondsOfTheRunAtMostAndKeepsItsNote)
{
    // Ticks every second for 100 s with a heartbeat after each, as MainTimer
    // does; the note is typed from the 30th second on.
    ASSERT_NO_FATAL_FAILURE(killedAfter(path, [](Timer &timer, FixedClock &clock) {
        timer.StartTimer({42, "0010000", std::nullopt}, {}, "Registrar");
        for (int second = 1; second <= 100; ++second) {
            clock.advance(1);
            timer.MainTimer_Timer({});
            timer.heartbeat(second < 30 ? QString("Registrar") : QString("Registrar call"));
        }
    }));
    const auto run = recoverAtNextStart(path);
    ASSERT_TRUE(run);
    EXPECT_GE(run->lastSeen, Nine.addSecs(95));
    EXPECT_LE(run->lastSeen, Nine.addSecs(100));
    EXPECT_EQ(run->note, "Registrar call");
    const auto upToStop =
        resolveLeftOverRun(*run, LeftOverRunChoice::KeepUpToLastSeen, Nine.addSecs(7200));
    ASSERT_TRUE(upToStop.segment);
    EXPECT_EQ(upToStop.segment->note, "Registrar call");
    EXPECT_GE(upToStop.segment->seconds, 95);
}

TEST_F(ActiveRunStoreTest, AKillRightAfterThePauseKeepsTheRunsEnd)
{
    // F3 (or F4, which pauses the same way) at 9:10:05; the row holding the
    // time was never stored.
    ASSERT_NO_FATAL_FAILURE(killedAfter(path, [](Timer &timer, FixedClock &clock) {
        timer.StartTimer({42, "0010000", Money::fromWhole(55)}, {});
        clock.advance(605);
        timer.PauseTimer(true, "call with Ann", {});
    }));
    const auto run = recoverAtNextStart(path);
    ASSERT_TRUE(run) << "the paused run's time is lost";
    EXPECT_EQ(run->ended, Nine.addSecs(605));
    EXPECT_TRUE(run->timeKept);
    ASSERT_EQ(settledChoice(*run), LeftOverRunChoice::KeepUpToEnd);
    const auto r = resolveLeftOverRun(*run, LeftOverRunChoice::KeepUpToEnd, Nine.addSecs(9000));
    EXPECT_EQ(r.timeSpent, "0011005");
    EXPECT_EQ(QDateTime(r.endDate, r.endTime), Nine.addSecs(605));
    EXPECT_EQ(r.segment, (TimeSegment{Nine, Nine.addSecs(605), 605, "call with Ann"}));
}

TEST_F(ActiveRunStoreTest, AnEndedRunIsKeptUntilItsRowIsStored)
{
    timer.StartTimer({7, "0010000", Money::fromWhole(20)}, {});
    clock.advance(300);
    timer.PauseTimer(false, {}, {});
    auto run = store.recover();
    ASSERT_TRUE(run);
    ASSERT_EQ(settledChoice(*run), LeftOverRunChoice::Discard);
    const auto discarded = resolveLeftOverRun(*run, *settledChoice(*run), Nine.addSecs(900));
    EXPECT_EQ(discarded.timeSpent, "0010000");
    EXPECT_EQ(discarded.value, Money::fromWhole(20));
    timer.rowStored(8); // another TimeCard's row
    EXPECT_TRUE(store.recover());
    timer.rowStored(7);
    EXPECT_EQ(store.recover(), std::nullopt);

    // Its appointment made, a recovery does not make it again.
    timer.StartTimer({7, "0010000", std::nullopt}, {});
    clock.advance(60);
    timer.PauseTimer(true, {}, {});
    timer.segmentRecorded(7);
    run = store.recover();
    ASSERT_TRUE(run);
    EXPECT_TRUE(run->segmentRecorded);
    const auto kept = resolveLeftOverRun(*run, LeftOverRunChoice::KeepUpToEnd, Nine);
    EXPECT_EQ(kept.timeSpent, "0010100");
    EXPECT_EQ(kept.segment, std::nullopt);
    // A new run of the same TimeCard carries the ended one in its base.
    timer.StartTimer({7, "0010100", std::nullopt}, {});
    run = store.recover();
    EXPECT_EQ(run->baseSeconds, 3660);
    EXPECT_FALSE(run->ended.isValid());
}

TEST_F(ActiveRunStoreTest, TheThreeChoicesForALeftOverRun)
{
    ActiveRun run;
    run.timeCardId = 42;
    run.runStart = Nine;
    run.baseSeconds = 3600;
    run.keptTimeSpent = "0010000";
    run.keptValue = Money::fromWhole(55);
    run.lastSeen = Nine.addSecs(90);
    const QDateTime now(QDate(2024, 3, 6), QTime(8, 0, 0)); // 23 h later

    const auto upToNow = resolveLeftOverRun(run, LeftOverRunChoice::KeepUpToNow, now);
    EXPECT_EQ(upToNow.timeCardId, 42);
    EXPECT_EQ(upToNow.timeSpent, "0240000");
    EXPECT_EQ(QDateTime(upToNow.endDate, upToNow.endTime), now);
    EXPECT_EQ(upToNow.value, std::nullopt); // recomputed from the TimeCard's rate
    EXPECT_EQ(upToNow.segment, (TimeSegment{Nine, now, 23 * 3600, {}}));

    const auto upToStop = resolveLeftOverRun(run, LeftOverRunChoice::KeepUpToLastSeen, now);
    EXPECT_EQ(upToStop.timeSpent, "0010130");
    EXPECT_EQ(upToStop.segment, (TimeSegment{Nine, Nine.addSecs(90), 90, {}}));

    const auto discarded = resolveLeftOverRun(run, LeftOverRunChoice::Discard, now);
    EXPECT_EQ(discarded.timeSpent, "0010000");
    EXPECT_EQ(discarded.value, Money::fromWhole(55));
    EXPECT_EQ(discarded.segment, std::nullopt);

    // Never seen after its start, or "before" it after a clock change: nothing counts.
    for (const QDateTime &seen : {QDateTime(), Nine.addSecs(-60)}) {
        run.lastSeen = seen;
        EXPECT_EQ(resolveLeftOverRun(run, LeftOverRunChoice::KeepUpToLastSeen, now).timeSpent,
                  "0010000");
    }
}

TEST_F(ActiveRunStoreTest, EndingARunClearsItTicksWriteNothing)
{
    timer.StartTimer({7, "0000000", std::nullopt}, {});
    EXPECT_EQ(store.recover()->keptValue, std::nullopt);
    clock.advance(45);
    for (int i = 0; i < 5; ++i)
        timer.MainTimer_Timer({});
    EXPECT_EQ(store.recover()->lastSeen, Nine);
    timer.heartbeat("note");
    EXPECT_EQ(store.recover()->lastSeen, Nine.addSecs(45));
    EXPECT_EQ(store.recover()->note, "note");
    // Heartbeats after most ticks write nothing: only once the interval passed.
    for (int second = 1; second < Timer::HeartbeatMs / 1000; ++second) {
        clock.advance(1);
        timer.heartbeat("note typed on");
        EXPECT_EQ(store.recover()->lastSeen, Nine.addSecs(45)) << second;
    }
    clock.advance(1);
    timer.heartbeat("note typed on");
    EXPECT_EQ(store.recover()->lastSeen, clock.now());
    EXPECT_EQ(store.recover()->note, "note typed on");

    timer.PauseTimer(true, {}, {});
    timer.rowStored(7);
    EXPECT_EQ(store.recover(), std::nullopt);
    timer.StartTimer({7, "0000045", std::nullopt}, {});
    timer.PauseTimer(false, {}, {});
    timer.rowStored(7);
    EXPECT_EQ(store.recover(), std::nullopt);

    // An interruption is not a TimeCard run: nothing to recover, no heartbeat.
    timer.startInterruption();
    clock.advance(60);
    timer.heartbeat({});
    EXPECT_EQ(store.recover(), std::nullopt);
}

TEST_F(ActiveRunStoreTest, ARunLeftInTheFirstFormOfTheTableIsStillRecovered)
{
    cnnLocal.execute("CREATE TABLE tblActiveRun (Slot INTEGER PRIMARY KEY CHECK (Slot = 1), "
                     "TimeCardID BIGINT NOT NULL, RunStartUtcMs BIGINT NOT NULL, "
                     "BaseSeconds BIGINT NOT NULL, KeptTimeSpent TEXT NOT NULL, "
                     "KeptValue BIGINT, LastSeenUtcMs BIGINT)");
    cnnLocal.execute("INSERT INTO tblActiveRun VALUES (1, 42, ?, 60, '0000100', NULL, NULL)",
                     {Nine.toMSecsSinceEpoch()});
    const auto run = store.recover();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->timeCardId, 42);
    EXPECT_EQ(run->runStart, Nine);
    EXPECT_EQ(settledChoice(*run), std::nullopt);
    store.markSeen(Nine.addSecs(5), "kept");
    EXPECT_EQ(store.recover()->note, "kept");
}

TEST_F(ActiveRunStoreTest, AnOlderLocalDatabaseGetsTheTableOnFirstUse)
{
    cnnLocal.execute("CREATE TABLE tblLocalSettings (Name TEXT, Value TEXT)");
    cnnLocal.execute("INSERT INTO tblLocalSettings VALUES ('a', 'b')");
    EXPECT_FALSE(cnnLocal.tables().contains("tblActiveRun", Qt::CaseInsensitive));
    EXPECT_EQ(store.recover(), std::nullopt);
    EXPECT_TRUE(cnnLocal.tables().contains("tblActiveRun", Qt::CaseInsensitive));
    EXPECT_EQ(cnnLocal.scalar("SELECT COUNT(*) FROM tblLocalSettings").toInt(), 1);
    // A second store on the same file finds the table there.
    EXPECT_EQ(ActiveRunStore(cnnLocal).recover(), std::nullopt);
}

TEST_F(ActiveRunStoreTest, ARunThatCannotBeKeptDoesNotStart)
{
    cnnLocal.close();
    cnnLocal.open(jetString(path, "Mode=Read;"));
    EXPECT_THROW(timer.StartTimer({7, "0000000", std::nullopt}, {}), QvError);
    EXPECT_EQ(timer.mode(), TimerMode::Idle);
}
