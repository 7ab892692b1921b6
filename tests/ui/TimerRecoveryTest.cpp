// The real program on a demo program directory, killed (SIGKILL) in the middle
// of timing or right after it, then started again on the same files: what the
// next start counts, and which time detail it finds.

#include "DemoProgramFixture.h"
#include "session/TimerBinding.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCalcs.h"
#include "ui/TimeCardFields.h"

#include <QDirIterator>
#include <QFile>
#include <QPlainTextEdit>
#include <QSqlQuery>
#include <csignal>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class TimerRecoveryTest : public test::DemoProgramFixture {
protected:
    void SetUp() override { makeDemo(); }

    void open() { ASSERT_NO_FATAL_FAILURE(startProgram()); }
    void close()
    {
        host->window().close();
        host.reset();
        startUp.reset();
    }

    QVariant stored(const QVariant &id, const char *column)
    {
        QSqlQuery q(cnn().database());
        q.prepare(QStringLiteral("SELECT %1 FROM tblTimeCards WHERE TimeCardID = ?")
                      .arg(QLatin1String(column)));
        q.addBindValue(id);
        return q.exec() && q.next() ? q.value(0) : QVariant();
    }
    qint64 storedSeconds(const QVariant &id)
    {
        return ConvertTimeToSeconds(stored(id, "Quantity").toString());
    }
    int timeDetails(const QVariant &id)
    {
        QSqlQuery q(cnn().database());
        q.prepare(QStringLiteral("SELECT COUNT(*) FROM tblTimedAppointments WHERE TimeCardID = ?"));
        q.addBindValue(id);
        return q.exec() && q.next() ? q.value(0).toInt() : -1;
    }
    // Whether any item file holds the text (kept short: iCalendar folds lines).
    bool anyItemHolds(const QString &text)
    {
        QDirIterator files(tmp.filePath(QStringLiteral("items")), QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(text))
                return true;
        }
        return false;
    }
    // The time segment field, where a run's note is typed.
    QPlainTextEdit *segmentField() { return host->window().fields().timeSegment(); }
    void timerTool() { host->window().abMainMenu_ToolClick(ToolId::StartTimer); }
};

} // namespace

// The child shares this test's files and clock. It never shows the window:
// painting needs threads a forked child does not have.

TEST_F(TimerRecoveryTest, AKillDuringARunLosesAFewSecondsAtMostAndNotTheRunsNote)
{
    open();
    const QVariant id = host->commands().currentTimeCardId();
    const qint64 before = storedSeconds(id);
    close();
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            startProgram();
            if (host) {
                timerTool();
                // MainTimer's ticks for 100 s; the note is typed at the 30th.
                for (int second = 1; second <= 100 && host->timer().activeTimeCardId(); ++second) {
                    clock.advance(1);
                    if (second == 30)
                        segmentField()->setPlainText(QStringLiteral("Registrar call"));
                    host->timer().secondTick();
                }
                if (host->timer().activeTimeCardId())
                    std::raise(SIGKILL);
            }
            std::exit(1);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    clock.advance(3600);
    prompts.answer(PromptResult::No); // up to when Quorvale stopped
    open();
    EXPECT_EQ(prompts.unusedAnswers(), 0u);
    const qint64 counted = storedSeconds(id) - before;
    EXPECT_GE(counted, 95);
    EXPECT_LE(counted, 100);
    EXPECT_TRUE(anyItemHolds(QStringLiteral("Registrar call")));
    close();
}

TEST_F(TimerRecoveryTest, AKillRightAfterThePauseKeepsTheRunsTimeAndItsOneTimeDetail)
{
    open();
    const QVariant id = host->commands().currentTimeCardId();
    const qint64 before = storedSeconds(id);
    const int detailsBefore = timeDetails(id);
    close();
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            startProgram();
            if (host) {
                timerTool();
                clock.advance(600);
                segmentField()->setPlainText(QStringLiteral("Lease"));
                timerTool(); // F3 again: paused, the time in the row not yet stored
                if (!host->timer().activeTimeCardId())
                    std::raise(SIGKILL);
            }
            std::exit(1);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    clock.advance(3600);
    open(); // nothing to ask: the pause had settled the run
    EXPECT_EQ(storedSeconds(id), before + 600);
    EXPECT_EQ(timeDetails(id), detailsBefore + 1); // the pause made it; not made again
    EXPECT_TRUE(anyItemHolds(QStringLiteral("Lease")));
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages().front().text.contains(QStringLiteral("had been paused")));
    close();
    open(); // settled once only
    EXPECT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(storedSeconds(id), before + 600);
    close();
}

TEST_F(TimerRecoveryTest, APauseWhoseTimeCardWasStoredLeavesNothingToRecover)
{
    open();
    const QVariant id = host->commands().currentTimeCardId();
    const qint64 before = storedSeconds(id);
    timerTool();
    clock.advance(300);
    timerTool();
    host->editor().leaveCurrent(); // F7 or any move stores the row
    EXPECT_EQ(storedSeconds(id), before + 300);
    host.reset(); // killed: the window never closed
    startUp.reset();
    open();
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(storedSeconds(id), before + 300);
    close();
}
