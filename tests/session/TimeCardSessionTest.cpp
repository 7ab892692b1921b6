#include "session/TimeCardSession.h"

#include "data/TimeCardRepository.h"
#include "outlook/FolderSlot.h"
#include "outlook/OutlookSession.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/pim/Item.h"
#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/Namespace.h"
#include "session/RunningTimerView.h"
#include "session/TimeCardBinder.h"
#include "session/TimerBinding.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/DemoProgram.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/Clock.h"
#include "timecards/IdleWatch.h"
#include "timecards/TimeCardEditor.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;
using namespace quorvale::test;

namespace {

// The desktop's idle time as the test sets it: the OS service is the one part
// a test cannot drive, so it reads what the test says.
class SetIdle final : public IdleSource {
public:
    std::optional<qint64> idleMilliseconds() override { return idle; }
    std::optional<qint64> idle = 0;
};

// The demo program's TimeCard road, built as the main window builds it, with
// no window at all.
class TimeCardSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeDemoProgram(programDir, settingsFile, QStringLiteral("Ann O'Hara"));
        registry = std::make_unique<Registry>(settingsFile);
        startUp = std::make_unique<StartUp>(
            *registry, prompts, errors,
            StartUpEnvironment{programDir, tmp.filePath(QStringLiteral("items")),
                               QStringLiteral("HH:mm:ss"), 1, QString()});
        ASSERT_TRUE(startUp->Form_Load());
        session = std::make_unique<TimeCardSession>(programParts(*startUp), prompts, clock);
        QObject::connect(session.get(), &TimeCardSession::segmentRecorded, [this] { ++segments; });
        session->start();
    }
    void TearDown() override
    {
        session.reset();
        startUp.reset();
    }

    int journalItems()
    {
        return pim::Items(*startUp->outlook().folder(FolderSlot::Journal)).Count();
    }
    std::optional<TimeCard> stored(qint64 id)
    {
        return TimeCardRepository(startUp->store().cnnLink()).find(id);
    }
    // A new TimeCard made ready to be left: the demo requires a contact and a
    // description.
    qint64 newCard()
    {
        EXPECT_EQ(session->CreateNewTimeCard(true), TimeCardSession::NewCard::Created);
        const std::optional<qint64> id = session->editor().currentTimeCardId();
        EXPECT_TRUE(id.has_value());
        const qint32 contact =
            startUp->store()
                .cnnLink()
                .scalar(QStringLiteral("SELECT MIN(ContactID) FROM tblContacts WHERE Active <> 0"))
                .toInt();
        EXPECT_TRUE(session->binder().write(QStringLiteral("ContactID"), contact));
        EXPECT_TRUE(session->binder().write(QStringLiteral("Description"),
                                            QStringLiteral("Reviewed the lease")));
        return id.value_or(0);
    }

    TempDir tmp;
    QString programDir = tmp.filePath(QStringLiteral("prog"));
    QString settingsFile = tmp.filePath(QStringLiteral("settings.ini"));
    ScriptedPrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0))};
    ErrorReport report{prompts, tmp.filePath(QStringLiteral("reports"))};
    ErrorHandler errors{report};
    std::unique_ptr<Registry> registry;
    std::unique_ptr<StartUp> startUp;
    std::unique_ptr<TimeCardSession> session;
    int segments = 0;
};

TEST_F(TimeCardSessionTest, ATimedTimeCardIsStoredWithOneJournalEntryAndItsTimeDetail)
{
    const int before = journalItems();
    const qint64 id = newCard();
    EXPECT_EQ(journalItems(), before + 1) << "the new TimeCard's journal entry";

    TimerBinding &timer = session->timer();
    timer.startOrPause();
    EXPECT_EQ(timer.activeTimeCardId(), id);
    clock.advance(3600 + 30 * 60 + 7);
    timer.startOrPause(); // pause: the run ends and is recorded
    EXPECT_EQ(segments, 1);
    EXPECT_FALSE(timer.activeTimeCardId().has_value());

    ASSERT_TRUE(session->editor().leaveCurrent());
    const std::optional<TimeCard> card = stored(id);
    ASSERT_TRUE(card.has_value());
    EXPECT_EQ(card->timeSpent, Duration::fromSeconds(3600 + 30 * 60 + 7));
    EXPECT_EQ(card->description, QStringLiteral("Reviewed the lease"));
    EXPECT_FALSE(card->journalEntryId.isEmpty());
    // Leaving rewrote the entry it had; it never made a second one.
    EXPECT_EQ(journalItems(), before + 1);
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.messages().first().text.toStdString();
}

TEST_F(TimeCardSessionTest, ARowThatCannotBeStoredLeavesNoJournalItemBehind)
{
    startUp->store().cnnLink().execute(
        QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE INSERT ON tblTimeCards BEGIN SELECT "
                       "RAISE(ABORT, 'refused by the test'); END"));
    const int before = journalItems();
    const qlonglong rows = startUp->store()
                               .cnnLink()
                               .scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards"))
                               .toLongLong();
    EXPECT_EQ(session->CreateNewTimeCard(true), TimeCardSession::NewCard::Refused);
    EXPECT_EQ(journalItems(), before);
    EXPECT_EQ(startUp->store()
                  .cnnLink()
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards"))
                  .toLongLong(),
              rows);
    EXPECT_FALSE(prompts.messages().isEmpty()) << "the person is told";
}

TEST_F(TimeCardSessionTest, ATimeCardSomeoneElseChangedIsNotOverwritten)
{
    const qint64 id = newCard();
    ASSERT_TRUE(session->editor().leaveCurrent());
    ASSERT_TRUE(session->binder().write(QStringLiteral("Description"), QStringLiteral("mine")));
    // Another user saves the same TimeCard meanwhile.
    TimeCardRepository(startUp->store().cnnLink())
        .setColumn(id, QStringLiteral("Description"), QStringLiteral("theirs"));

    session->editor().leaveCurrent();
    EXPECT_EQ(stored(id)->description, QStringLiteral("theirs"));
    ASSERT_FALSE(prompts.messages().isEmpty());
    EXPECT_TRUE(prompts.messages().last().text.contains(QStringLiteral("Someone else changed")))
        << prompts.messages().last().text.toStdString();
}

TEST_F(TimeCardSessionTest, AJournalEntryDeletedElsewhereIsWrittenAgainOnceAndTheRowPointsAtIt)
{
    const qint64 id = newCard();
    ASSERT_TRUE(session->editor().leaveCurrent());
    const QString first = stored(id)->journalEntryId;
    const int before = journalItems();
    // Another program deletes the entry from the journal folder.
    const pim::Folder journal = *startUp->outlook().folder(FolderSlot::Journal);
    startUp->outlook().nameSpace().itemFromId(first, journal.storeId())->Delete();
    ASSERT_EQ(journalItems(), before - 1);

    // What the Links page asks before it lists the entry.
    const QString again = session->editor().ensureJournalEntry();
    EXPECT_FALSE(again.isEmpty());
    EXPECT_NE(again, first);
    EXPECT_EQ(stored(id)->journalEntryId, again);
    EXPECT_EQ(journalItems(), before);
    const std::unique_ptr<pim::Item> entry =
        startUp->outlook().nameSpace().itemFromId(again, journal.storeId());
    const auto *written = dynamic_cast<const pim::JournalItem *>(entry.get());
    ASSERT_NE(written, nullptr) << "written from the row, as the journal entry it was";
    const std::optional<TimeCard> card = stored(id);
    EXPECT_EQ(written->Start(), QDateTime(card->startDate, card->startTime));

    // Found the next time: not written twice, and an edit saves over the new row.
    EXPECT_EQ(session->editor().ensureJournalEntry(), again);
    EXPECT_EQ(journalItems(), before);
    ASSERT_TRUE(session->binder().write(QStringLiteral("Description"), QStringLiteral("Lease v2")));
    ASSERT_TRUE(session->editor().leaveCurrent());
    EXPECT_EQ(stored(id)->description, QStringLiteral("Lease v2"));
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.messages().first().text.toStdString();
}

TEST_F(TimeCardSessionTest, AJournalEntryASyncToolRenamedIsFollowedNotWrittenAgain)
{
    const qint64 id = newCard();
    ASSERT_TRUE(session->editor().leaveCurrent());
    const QString first = stored(id)->journalEntryId;
    const int before = journalItems();
    // A sync tool deletes the file and writes the same entry under its own name.
    const pim::Folder journal = *startUp->outlook().folder(FolderSlot::Journal);
    const QString oldPath = QDir(journal.path()).filePath(pim::splitEntryId(first)->second);
    ASSERT_TRUE(QFile::copy(oldPath, QDir(journal.path()).filePath("synced-entry.ics")));
    ASSERT_TRUE(QFile::remove(oldPath));
    const QString renamed = journal.entryId() + "/synced-entry.ics";

    // What the Links page asks before it lists the entry.
    EXPECT_EQ(session->editor().ensureJournalEntry(), renamed);
    EXPECT_EQ(stored(id)->journalEntryId, renamed);
    EXPECT_EQ(journalItems(), before);

    // The row saves over the new EntryID, and the entry itself is rewritten.
    ASSERT_TRUE(session->binder().write(QStringLiteral("Description"), QStringLiteral("Lease v3")));
    ASSERT_TRUE(session->editor().leaveCurrent());
    EXPECT_EQ(stored(id)->description, QStringLiteral("Lease v3"));
    EXPECT_EQ(stored(id)->journalEntryId, renamed);
    EXPECT_EQ(journalItems(), before);
    EXPECT_TRUE(prompts.messages().isEmpty()) << prompts.messages().first().text.toStdString();
}

TEST_F(TimeCardSessionTest, TheRunningTimerIsInTheTitleAndNamedInTheStatusBarElsewhere)
{
    const qint64 id = newCard();
    db::Connection &cnn = startUp->store().cnnLink();
    const QVariant contact = session->editor().timeCards().value(QStringLiteral("ContactID"));
    const QString client =
        cnn.scalar(QStringLiteral("SELECT ContactName FROM tblContacts WHERE ContactID = ?"),
                   {contact})
            .toString();
    ASSERT_FALSE(client.isEmpty());
    int lookups = 0;
    RunningTimerView view(session->timer().timer(), session->editor(), [&](qint32 contactId) {
        ++lookups;
        return cnn
            .scalar(QStringLiteral("SELECT ContactName FROM tblContacts WHERE ContactID = ?"),
                    {contactId})
            .toString();
    });
    const QString caption = QStringLiteral("  Quorvale:  Ann O'Hara");
    EXPECT_EQ(view.title(caption, false), caption) << "no run, no change";
    EXPECT_TRUE(view.elsewhere().isEmpty());

    session->timer().startOrPause();
    clock.advance(3600 + 12 * 60 + 5);
    EXPECT_EQ(view.title(caption, false),
              QStringLiteral(" 001:12:05  ") + client + "  -" + caption);
    EXPECT_EQ(view.title(caption, true), QStringLiteral(" 001:12:05  Quorvale"))
        << "minimized: the running time alone, for the task bar";
    EXPECT_TRUE(view.elsewhere().isEmpty()) << "the timed TimeCard is the one shown";

    // Another TimeCard is shown: the title keeps the run's client, the status
    // bar names the timed one.
    ASSERT_TRUE(session->editor().leaveCurrent());
    session->editor().timeCards().moveFirst();
    ASSERT_NE(session->editor().currentTimeCardId(), id);
    clock.advance(1);
    EXPECT_EQ(view.title(caption, false),
              QStringLiteral(" 001:12:06  ") + client + "  -" + caption);
    EXPECT_EQ(
        view.elsewhere(),
        QStringLiteral("Timing TimeCard %1 (%2): 001:12:06 - F9 goes to it").arg(id).arg(client));
    for (int tick = 0; tick < 100; ++tick)
        view.title(caption, false);
    EXPECT_EQ(lookups, 1) << "the client's name is looked up once, not at every tick";

    ASSERT_TRUE(session->goToActiveCard());
    session->timer().startOrPause();
    EXPECT_FALSE(session->timer().activeTimeCardId().has_value());
    EXPECT_EQ(view.title(caption, false), caption);
    EXPECT_TRUE(view.elsewhere().isEmpty());
}

TEST_F(TimeCardSessionTest, AForgottenTimerIsRemindedInWords)
{
    QStringList told;
    QObject::connect(session.get(), &TimeCardSession::reminder,
                     [&](const QString &text) { told << text; });
    session->startUpReminder(); // Monday, 9:00, nothing timed
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.last().startsWith(QStringLiteral("No timer runs")));

    const qint64 id = newCard();
    session->timer().startOrPause();
    clock.advance(4 * 3600 - 60);
    session->checkReminders();
    EXPECT_EQ(told.size(), 1);
    clock.advance(60);
    session->checkReminders();
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told.last().contains(QStringLiteral("TimeCard %1 for 4 h 00 min").arg(id)))
        << told.last().toStdString();
    session->checkReminders();
    EXPECT_EQ(told.size(), 2) << "once per run";
}

TEST(IdleWatch, ASpellIsReportedWhenThePersonIsBackToTheSecond)
{
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 30))};
    SetIdle desktop;
    IdleWatch watch(clock, desktop);
    watch.setThreshold(600);
    EXPECT_FALSE(watch.check(true));
    EXPECT_EQ(watch.nextCheckMs(), IdleWatch::CheckSeconds * 1000);

    // Nobody at the desk from 9:30 on.
    clock.advance(599);
    desktop.idle = 599'000;
    EXPECT_FALSE(watch.check(true)) << "under the threshold";
    clock.advance(1);
    desktop.idle = 600'000;
    EXPECT_FALSE(watch.check(true)) << "still away";
    EXPECT_EQ(watch.nextCheckMs(), 1000) << "while away, asked every second";
    clock.advance(40 * 60 - 600);
    desktop.idle = 40 * 60 * 1000;
    EXPECT_FALSE(watch.check(true));
    // Back at 10:10:00, asked 1.4 s later.
    clock.advance(1);
    desktop.idle = 1400;
    const std::optional<IdleSpell> spell = watch.check(true);
    ASSERT_TRUE(spell);
    EXPECT_EQ(spell->from, QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    EXPECT_EQ(spell->to, QDateTime(QDate(2026, 12, 7), QTime(10, 9, 59)));
    EXPECT_EQ(spell->seconds(), 39 * 60 + 59);
    EXPECT_FALSE(watch.check(true)) << "reported once";

    // A run that ended while nobody was there asks nothing; no service, no watch.
    desktop.idle = 700'000;
    EXPECT_FALSE(watch.check(true));
    EXPECT_FALSE(watch.check(false));
    desktop.idle = 0;
    EXPECT_FALSE(watch.check(true));
    desktop.idle = std::nullopt;
    EXPECT_FALSE(watch.check(true));
}

// Timed from 9:00; nobody at the desk from 9:30:00 to 10:10:00; the question is
// answered at once and the run paused at 10:30:00.
class IdleTimeTest : public TimeCardSessionTest {
protected:
    qint64 timeAndGoIdle(const char *choice)
    {
        const qint64 id = newCard();
        EXPECT_TRUE(session->editor().leaveCurrent());
        startUp->settings().settings.idleMinutes = 10;
        session->watchIdle(&desktop);
        // As the window does, without its typed-time and busy-pointer care.
        QObject::connect(session.get(), &TimeCardSession::idleEnded, session.get(),
                         [this](const IdleSpell &spell) { session->settleIdle(spell); });
        session->timer().startOrPause();
        clock.advance(30 * 60);
        desktop.idle = 0;
        session->checkIdle();
        clock.advance(40 * 60);
        desktop.idle = 40 * 60 * 1000;
        session->checkIdle();
        desktop.idle = 0;
        prompts.answerDialog(true, {{QStringLiteral("choice"), QString::fromLatin1(choice)}});
        session->checkIdle();
        return id;
    }
    Duration pausedAt1030(qint64 id)
    {
        if (session->editor().currentTimeCardId() != id) {
            EXPECT_TRUE(session->goToActiveCard());
        }
        clock.advance(20 * 60);
        session->timer().startOrPause();
        EXPECT_TRUE(session->editor().leaveCurrent());
        return stored(id)->timeSpent;
    }
    SetIdle desktop;
};

TEST_F(IdleTimeTest, KeptIdleTimeStaysInTheRun)
{
    const qint64 id = timeAndGoIdle("keep");
    ASSERT_EQ(prompts.dialogs().size(), 1);
    EXPECT_EQ(prompts.dialogs().first().valuesIn.value(QStringLiteral("seconds")).toLongLong(),
              40 * 60);
    EXPECT_EQ(pausedAt1030(id), Duration::fromSeconds(90 * 60));
    EXPECT_EQ(segments, 1);
}

TEST_F(IdleTimeTest, DiscardedIdleTimeIsLeftOutToTheSecond)
{
    const qint64 id = timeAndGoIdle("discard");
    EXPECT_EQ(segments, 1) << "the run up to 9:30 is recorded";
    EXPECT_EQ(session->timer().activeTimeCardId(), id) << "and goes on from 10:10";
    EXPECT_EQ(pausedAt1030(id), Duration::fromSeconds(50 * 60));
    EXPECT_EQ(segments, 2);
    const std::optional<TimeCard> card = stored(id);
    EXPECT_EQ(card->endTime, QTime(10, 30));
}

TEST_F(IdleTimeTest, IdleTimeMovedToANewTimeCardIsThatTimeCardsWholeTime)
{
    const qint64 id = timeAndGoIdle("move");
    const std::optional<qint64> moved = session->editor().currentTimeCardId();
    ASSERT_TRUE(moved);
    ASSERT_NE(*moved, id);
    db::Recordset &row = session->editor().timeCards();
    EXPECT_EQ(Duration::fromColumnOrZero(row.value(QStringLiteral("Quantity"))),
              Duration::fromSeconds(40 * 60));
    EXPECT_EQ(row.value(QStringLiteral("StartTime")).toTime(), QTime(9, 30));
    EXPECT_EQ(row.value(QStringLiteral("EndTime")).toTime(), QTime(10, 10));
    // The first TimeCard kept its half hour; nothing of the idle time.
    EXPECT_FALSE(session->timer().activeTimeCardId().has_value());
    EXPECT_EQ(stored(id)->timeSpent, Duration::fromSeconds(30 * 60));
}

TEST_F(IdleTimeTest, IdleTimeBeforeTheRunBeganIsNotAskedAbout)
{
    newCard();
    ASSERT_TRUE(session->editor().leaveCurrent());
    startUp->settings().settings.idleMinutes = 10;
    session->watchIdle(&desktop);
    QObject::connect(session.get(), &TimeCardSession::idleEnded, session.get(),
                     [this](const IdleSpell &spell) { session->settleIdle(spell); });
    // Nobody at the desk since 8:40; the run starts at 9:00 without input.
    desktop.idle = 20 * 60 * 1000;
    session->timer().startOrPause();
    session->checkIdle();
    clock.advance(5 * 60);
    desktop.idle = 0;
    session->checkIdle();
    EXPECT_TRUE(prompts.dialogs().isEmpty()) << "only five idle minutes were the run's";

    // Idle again at 9:05 for half an hour: asked about exactly that.
    desktop.idle = 30 * 60 * 1000;
    clock.advance(30 * 60);
    session->checkIdle();
    desktop.idle = 0;
    prompts.answerDialog(true, {{QStringLiteral("choice"), QStringLiteral("keep")}});
    session->checkIdle();
    ASSERT_EQ(prompts.dialogs().size(), 1);
    EXPECT_EQ(prompts.dialogs().first().valuesIn.value(QStringLiteral("seconds")).toLongLong(),
              30 * 60);
}

} // namespace
