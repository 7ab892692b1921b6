// The database server stopped under the running program and started again: the
// program goes on, tells the person once in plain words, keeps the timed run and
// the changes, and writes them when the server is back. Runs under
// scripts/with-postgres.sh, which provides the server and the means to stop and
// start it; skipped without them.

#include "data/ServerWatch.h"
#include "platform/core/QvError.h"
#include "session/TimerBinding.h"
#include "testsupport/DemoProgram.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCalcs.h"
#include "ui/GuardedApplication.h"
#include "ui/MainWindowFixture.h"

#include <QDirIterator>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class LostServer : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        const QString dsn = qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN");
        m_ctl = qEnvironmentVariable("QUORVALE_TEST_PG_CTL");
        if (dsn.isEmpty() || m_ctl.isEmpty())
            GTEST_SKIP() << "no test server to stop (run under scripts/with-postgres.sh)";
        admin::GlobalOptions globals;
        globals.server = QStringLiteral("DSN=%1;Database=quorvale_test;UID=%2;PWD=;")
                             .arg(dsn, qEnvironmentVariable("QUORVALE_TEST_PG_USER"));
        globals.programDir = programDir;
        globals.settingsFile = settingsFile;
        Registry adminRegistry(settingsFile);
        admin::initialise(
            {admin::locationForInit(globals), QStringLiteral("Ann O'Hara"), true, true},
            adminRegistry);
        test::markTourOffered(adminRegistry);
        errors.terminate = [this](int code) { endedWith = code; };
        // As the program does: what escapes a command reaches the common handler.
        application()->setErrorHandler([this](const std::exception &error) {
            if (const auto *qv = dynamic_cast<const QvError *>(&error))
                errors.handle(*qv);
            else
                errors.handle(ErrorNumber::Generic, QString::fromUtf8(error.what()),
                              QStringLiteral("Quorvale"));
        });
    }
    void TearDown() override
    {
        if (m_stopped)
            startServer();
        host.reset();
        startUp.reset();
        application()->setErrorHandler({});
    }
    static GuardedApplication *application() { return static_cast<GuardedApplication *>(qApp); }

    void stopServer()
    {
        ASSERT_EQ(QProcess::execute(m_ctl, {QStringLiteral("stop")}), 0);
        m_stopped = true;
    }
    void startServer()
    {
        ASSERT_EQ(QProcess::execute(m_ctl, {QStringLiteral("start")}), 0);
        m_stopped = false;
    }
    // The program's own retries find the server again (the first after a second).
    void waitForReconnect()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !startUp->store().serverWatch().inOutage(); },
                                    ServerWatch::FirstRetryMs * 10));
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
    // How often the person was told of the lost server; every message must be
    // free of SQL.
    int lostMessages()
    {
        int told = 0;
        for (const auto &m : prompts.messages()) {
            for (const char *sql : {"INSERT", "UPDATE", "SELECT", "SQLPrepare", "[", "QODBC"})
                EXPECT_FALSE(m.text.contains(QLatin1String(sql))) << m.text.toStdString();
            if (m.text == ServerWatch::lostMessage())
                ++told;
        }
        return told;
    }

    QStringList allItemFiles()
    {
        QStringList files;
        QDirIterator it(tmp.filePath(QStringLiteral("items")), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        files.sort();
        return files;
    }

    QString m_ctl;
    bool m_stopped = false;
};

} // namespace

TEST_F(LostServer, APauseWhileTheServerIsAwayKeepsTheRunAndSavesItWhenItIsBack)
{
    ASSERT_NO_FATAL_FAILURE(open());
    const QVariant id = current();
    ASSERT_TRUE(id.isValid());
    const qint64 before = storedSeconds(id);
    const int details = timeDetails(id);
    press(Qt::Key_F3);
    ASSERT_TRUE(host->timer().activeTimeCardId());
    clock.advance(754);

    ASSERT_NO_FATAL_FAILURE(stopServer());
    press(Qt::Key_F3); // the run's time detail needs the server
    EXPECT_FALSE(host->timer().activeTimeCardId());
    EXPECT_EQ(lostMessages(), 1);
    press(Qt::Key_F7); // leaving needs a save: refused, the changes stay
    press(Qt::Key_F3); // and timing goes on without the server
    clock.advance(46);
    press(Qt::Key_F3);
    EXPECT_EQ(current(), id);
    EXPECT_EQ(endedWith, 0);
    EXPECT_EQ(lostMessages(), 1);

    ASSERT_NO_FATAL_FAILURE(startServer());
    waitForReconnect();
    EXPECT_EQ(storedSeconds(id), before + 800);
    EXPECT_EQ(timeDetails(id), details + 2);
    // Going on as before: the next TimeCard is reached and the run's record is gone.
    press(Qt::Key_F7);
    EXPECT_NE(current(), id);
    EXPECT_EQ(lostMessages(), 1);
    EXPECT_EQ(endedWith, 0);
    QSqlQuery runs(startUp->store().cnnLocal().database());
    ASSERT_TRUE(runs.exec(QStringLiteral("SELECT COUNT(*) FROM tblActiveRun")) && runs.next());
    EXPECT_EQ(runs.value(0).toInt(), 0);
}

TEST_F(LostServer, AChangeMadeWhileTheServerIsAwayIsSavedWhenItIsBack)
{
    ASSERT_NO_FATAL_FAILURE(open());
    const QVariant id = current();
    ASSERT_NO_FATAL_FAILURE(stopServer());
    auto *description = field<QPlainTextEdit>("txtDescription");
    ASSERT_NE(description, nullptr);
    description->setFocus();
    QTest::keyClicks(description, QStringLiteral("Written while the server was away"));
    press(Qt::Key_F7);
    EXPECT_EQ(current(), id);
    EXPECT_EQ(lostMessages(), 1);
    // Moving about needs the server too: refused the same way, and not told again.
    press(Qt::Key_F5);
    press(Qt::Key_F8);
    EXPECT_EQ(current(), id);
    EXPECT_EQ(lostMessages(), 1);
    EXPECT_EQ(endedWith, 0);

    ASSERT_NO_FATAL_FAILURE(startServer());
    waitForReconnect();
    EXPECT_TRUE(stored(id, "Description")
                    .toString()
                    .contains(QStringLiteral("Written while the server was away")));
    press(Qt::Key_F7);
    EXPECT_NE(current(), id);
    EXPECT_EQ(endedWith, 0);
}

TEST_F(LostServer, QuittingWhileTheServerIsAwayAsksAndTheNextStartSavesTheRunAndTheChanges)
{
    ASSERT_NO_FATAL_FAILURE(open());
    const QVariant id = current();
    const qint64 before = storedSeconds(id);
    const int details = timeDetails(id);
    press(Qt::Key_F3);
    clock.advance(1234);
    auto *description = field<QPlainTextEdit>("txtDescription");
    ASSERT_NE(description, nullptr);
    description->setFocus();
    QTest::keyClicks(description, QStringLiteral("Typed before the quit"));
    ASSERT_NO_FATAL_FAILURE(stopServer());

    prompts.answer(PromptResult::Ok); // told of the lost server
    prompts.answer(PromptResult::No); // stay
    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(window().isVisible());
    prompts.answer(PromptResult::Yes); // quit anyway
    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(endedWith, 0);
    EXPECT_EQ(lostMessages(), 1);
    host.reset();
    startUp.reset();

    ASSERT_NO_FATAL_FAILURE(startServer());
    clock.advance(3600); // the run ended at the quit, not at the next start
    ASSERT_NO_FATAL_FAILURE(startProgram());
    EXPECT_EQ(storedSeconds(id), before + 1234);
    EXPECT_EQ(timeDetails(id), details + 1);
    EXPECT_TRUE(
        stored(id, "Description").toString().contains(QStringLiteral("Typed before the quit")));
    // Saved once: the next start has nothing left to save.
    host.reset();
    startUp.reset();
    const qsizetype told = prompts.messages().size();
    ASSERT_NO_FATAL_FAILURE(startProgram());
    EXPECT_EQ(prompts.messages().size(), told);
    EXPECT_EQ(endedWith, 0);
    EXPECT_EQ(prompts.unusedAnswers(), 0u);
}

TEST_F(LostServer, TheServerIsTriedAgainAfterWaitsThatDoubleUpToHalfAMinute)
{
    ASSERT_NO_FATAL_FAILURE(open());
    ServerWatch &watch = startUp->store().serverWatch();
    ASSERT_NO_FATAL_FAILURE(stopServer());
    press(Qt::Key_F7); // finds the server gone
    ASSERT_TRUE(watch.inOutage());
    EXPECT_EQ(watch.nextRetryMs(), ServerWatch::FirstRetryMs);
    std::vector<int> waits;
    for (int i = 0; i < 7; ++i) {
        EXPECT_FALSE(watch.retryNow());
        waits.push_back(watch.nextRetryMs());
    }
    EXPECT_EQ(waits, (std::vector<int>{2000, 4000, 8000, 16000, 30000, 30000, 30000}));
    EXPECT_EQ(lostMessages(), 1);

    ASSERT_NO_FATAL_FAILURE(startServer());
    EXPECT_TRUE(watch.retryNow());
    EXPECT_FALSE(watch.inOutage());
    EXPECT_EQ(watch.nextRetryMs(), 0);
    // A second outage is a new one: told again, and tried again after a second.
    ASSERT_NO_FATAL_FAILURE(stopServer());
    press(Qt::Key_F7);
    EXPECT_EQ(lostMessages(), 2);
    EXPECT_EQ(watch.nextRetryMs(), ServerWatch::FirstRetryMs);
    EXPECT_EQ(endedWith, 0);
}

TEST_F(LostServer, ANewTimeCardWaitsForTheServerAndLeavesNoItemBehind)
{
    ASSERT_NO_FATAL_FAILURE(open());
    const int before = cnn().scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards")).toInt();
    ASSERT_NO_FATAL_FAILURE(stopServer());
    press(Qt::Key_F7); // finds the server gone
    const QStringList items = allItemFiles();
    press(Qt::Key_F11);
    EXPECT_EQ(allItemFiles(), items);
    ASSERT_FALSE(prompts.messages().isEmpty());
    EXPECT_TRUE(prompts.messages().last().text.startsWith(QStringLiteral("A new TimeCard needs")));
    EXPECT_EQ(lostMessages(), 1);

    ASSERT_NO_FATAL_FAILURE(startServer());
    press(Qt::Key_F11); // tries the server at once: no wait for the next retry
    EXPECT_EQ(cnn().scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards")).toInt(),
              before + 1);
    EXPECT_EQ(endedWith, 0);
}
