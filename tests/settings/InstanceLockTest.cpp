// One running program per user: a second start against a program directory
// whose lock a live process holds, real processes and a real QVLocal.db.

#include "settings/InstanceLock.h"

#include "platform/db/Connection.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/ActiveRunStore.h"
#include "timecards/Clock.h"
#include "timecards/Timer.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorvale;

namespace {

const QDateTime Nine(QDate(2024, 3, 5), QTime(9, 0, 0));

QString localString(const QString &programDir)
{
    return "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + programDir + "/QVLocal.db;";
}

// A forked child, killed and reaped when the test is done with it or fails
// early, so that no process outlives the test.
class Child {
public:
    explicit Child(pid_t pid) : m_pid(pid) {}
    ~Child() { kill(); }
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;
    pid_t pid() const { return m_pid; }
    bool kill()
    {
        if (m_pid <= 0)
            return true;
        const bool killed = ::kill(m_pid, SIGKILL) == 0 && waitpid(m_pid, nullptr, 0) == m_pid;
        m_pid = 0;
        return killed;
    }

private:
    pid_t m_pid;
};

struct InstanceLockTest : ::testing::Test {
    test::TempDir tmp;
    const QString programDir = tmp.filePath("prog");
    test::ScriptedPrompts prompts;
};

} // namespace

TEST_F(InstanceLockTest, ASecondStartIsRefusedAndLeavesTheFirstsRunningTimerAlone)
{
    ASSERT_TRUE(QDir().mkpath(programDir));
    db::Connection::createSqliteFile(programDir + "/QVLocal.db");
    // The first program: holds the lock and times TimeCard 27 from nine.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t forked = fork();
    ASSERT_NE(forked, -1);
    if (forked == 0) {
        close(ready[0]);
        try {
            const InstanceLock lock(programDir);
            if (lock.state() != InstanceLock::State::Held)
                _exit(2);
            db::Connection cnn;
            cnn.open(localString(programDir));
            ActiveRunStore store(cnn);
            FixedClock clock(Nine);
            Timer timer(clock, &store);
            timer.StartTimer({27, "0000000", std::nullopt}, {});
            clock.advance(30);
            timer.heartbeat("Lease");
            if (write(ready[1], "r", 1) != 1)
                _exit(3);
            for (;;)
                pause();
        } catch (...) {
            _exit(4);
        }
    }
    Child first(forked);
    close(ready[1]);
    char byte = 0;
    const bool started = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    ASSERT_TRUE(started) << "the first program did not start its run";

    // The second start ends with a plain message naming the first.
    for (int attempt = 0; attempt < 2; ++attempt)
        EXPECT_EQ(claimProgramDirectory(programDir, prompts), std::nullopt);
    ASSERT_EQ(prompts.messages().size(), 2);
    for (const auto &message : prompts.messages()) {
        EXPECT_TRUE(message.text.contains("Quorvale is already running for this user"))
            << message.text.toStdString();
        EXPECT_TRUE(message.text.contains(QString::number(first.pid())))
            << message.text.toStdString();
    }
    ActiveRun expected;
    expected.timeCardId = 27;
    expected.runStart = Nine;
    expected.keptTimeSpent = "0000000";
    expected.lastSeen = Nine.addSecs(30);
    expected.note = "Lease";
    {
        db::Connection cnn;
        cnn.open(localString(programDir));
        EXPECT_EQ(ActiveRunStore(cnn).recover(), expected);
    }

    // Once the first one is killed, the next start gets the lock and its run.
    ASSERT_TRUE(first.kill());
    const std::optional<InstanceLock> lock = claimProgramDirectory(programDir, prompts);
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock->state(), InstanceLock::State::Held);
    EXPECT_EQ(prompts.messages().size(), 2);
    db::Connection cnn;
    cnn.open(localString(programDir));
    EXPECT_EQ(ActiveRunStore(cnn).recover(), expected);
    // Held by this process, a further start from it is refused as well.
    EXPECT_EQ(InstanceLock(programDir).state(), InstanceLock::State::Taken);
}

TEST_F(InstanceLockTest, AProgramStartedFromQuorvaleDoesNotKeepTheLockAfterIt)
{
    auto lock = std::make_optional<InstanceLock>(programDir);
    ASSERT_EQ(lock->state(), InstanceLock::State::Held);
    EXPECT_TRUE(QFile::exists(QDir(programDir).filePath(InstanceLock::fileName())));
    const pid_t forked = fork();
    ASSERT_NE(forked, -1);
    if (forked == 0) {
        execlp("sleep", "sleep", "30", static_cast<char *>(nullptr));
        _exit(127);
    }
    Child viewer(forked);
    // Until the exec the child holds the descriptor any fork does.
    QFile comm(QStringLiteral("/proc/%1/comm").arg(viewer.pid()));
    bool execed = false;
    for (int i = 0; i < 500 && !execed; ++i) {
        if (comm.open(QIODevice::ReadOnly)) {
            execed = comm.readAll().trimmed() == "sleep";
            comm.close();
        }
        if (!execed)
            usleep(10 * 1000);
    }
    ASSERT_TRUE(execed);
    lock.reset();
    const InstanceLock next(programDir);
    EXPECT_EQ(next.state(), InstanceLock::State::Held);
    EXPECT_TRUE(viewer.kill());
}

TEST_F(InstanceLockTest, AFolderThatCannotHoldTheLockIsSaidSo)
{
    // A file where the program folder should be.
    QFile blocker(programDir);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(claimProgramDirectory(programDir, prompts), std::nullopt);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages().front().text.startsWith("Quorvale cannot start"));
    EXPECT_EQ(prompts.messages().front().icon, PromptIcon::Critical);
}
