// The running timer kept in a real QVLocal.db file: what a run leaves there, a
// process killed during a run, and the three ways to settle what it left.

#include "timecards/ActiveRunStore.h"

#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"
#include "timecards/ActiveRunRecovery.h"
#include "timecards/Clock.h"
#include "timecards/Timer.h"

#include <csignal>
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

// Starts a run on TimeCard 42 ("0010000", 55.00) at nine, notes the program
// alive at 9:01:30 and waits to be killed.
[[noreturn]] void runUntilKilled(const QString &path, int readyFd)
{
    try {
        db::Connection cnn;
        cnn.open(jetString(path));
        ActiveRunStore store(cnn);
        FixedClock clock(Nine);
        Timer timer(clock, &store);
        timer.StartTimer({42, "0010000", Money::fromWhole(55)}, {});
        clock.advance(90);
        timer.heartbeat();
        clock.advance(30);
        timer.MainTimer_Timer({});
        if (write(readyFd, "r", 1) != 1)
            _exit(2);
    } catch (...) {
        _exit(3);
    }
    for (;;)
        pause();
}

} // namespace

TEST_F(ActiveRunStoreTest, AProcessKilledDuringARunLeavesItToRecover)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        close(ready[0]);
        runUntilKilled(path, ready[1]);
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1) << "the child died before its run started";
    close(ready[0]);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    db::Connection nextStart;
    nextStart.open(jetString(path));
    const auto run = ActiveRunStore(nextStart).recover();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->timeCardId, 42);
    EXPECT_EQ(run->runStart, Nine);
    EXPECT_EQ(run->baseSeconds, 3600);
    EXPECT_EQ(run->keptTimeSpent, "0010000");
    EXPECT_EQ(run->keptValue, Money::fromWhole(55));
    EXPECT_EQ(run->lastSeen, Nine.addSecs(90)); // the heartbeat, not the later tick
}

TEST_F(ActiveRunStoreTest, TheThreeChoicesForALeftOverRun)
{
    ActiveRun run{42, Nine, 3600, "0010000", Money::fromWhole(55), Nine.addSecs(90)};
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
    timer.heartbeat();
    EXPECT_EQ(store.recover()->lastSeen, Nine.addSecs(45));

    timer.PauseTimer(true, {}, {});
    EXPECT_EQ(store.recover(), std::nullopt);
    timer.StartTimer({7, "0000045", std::nullopt}, {});
    timer.PauseTimer(false, {}, {});
    EXPECT_EQ(store.recover(), std::nullopt);

    // An interruption is not a TimeCard run: nothing to recover, no heartbeat.
    timer.startInterruption();
    timer.heartbeat();
    EXPECT_EQ(store.recover(), std::nullopt);
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
