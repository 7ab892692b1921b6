#include "timecards/TimeCardEditor.h"

#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "platform/core/QvError.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/DemoStore.h"
#include "testsupport/FullDisk.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

// The timer as the main window adapts it: acts on the current row.
struct RecordingTimer : ActiveCardTimer {
    explicit RecordingTimer(db::Recordset &rs) : rs(rs) {}
    std::optional<qint64> activeTimeCardId() const override { return active; }
    qint64 here() const { return rs.value("TimeCardID").toLongLong(); }
    void tick() override
    {
        calls << QString("tick %1").arg(here());
        rs.setValue("Quantity", "0000130");
    }
    void pause(bool save) override
    {
        calls << QString("pause %1 %2").arg(save ? "save" : "drop").arg(here());
        if (!save)
            rs.cancelUpdate();
        active.reset();
    }
    db::Recordset &rs;
    std::optional<qint64> active;
    QStringList calls;
};

// The demonstration database, its person's working set and an editor over it.
struct Editor : ::testing::Test {
    test::EngineDatabase engine;
    test::TempDir tmp;
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, tmp.filePath("reports")};
    ErrorHandler errors{report};
    std::unique_ptr<DataStore> store;
    WorkingSet set{errors};
    int userId = 0;
    int shown = 0;
    QList<TimeCard> journalled;
    EditorOptions options;
    std::unique_ptr<TimeCardEditor> editor;

    void SetUp() override
    {
        errors.terminate = [](int) {};
        userId = test::openDemoStore(tmp, engine, prompts, errors, store);
        ASSERT_TRUE(store);
        ASSERT_TRUE(set.SetRecordSet(true, store->cnnLink(), {true, Terms{}, userId, "Ann"}));
        ASSERT_GT(rs().recordCount(), 3);
    }

    db::Recordset &rs() { return set.timeCards(); }
    db::Connection &cnn() { return store->cnnLink(); }
    TimeCardEditor &make(EditorHooks hooks = {})
    {
        hooks.showRow = [this] { ++shown; };
        hooks.ProcessJournalEntry = [this](const TimeCard &card) { journalled << card; };
        editor = std::make_unique<TimeCardEditor>(rs(), prompts, options, std::move(hooks));
        return *editor;
    }
    qint64 idAt(int position)
    {
        rs().setAbsolutePosition(position);
        return rs().value("TimeCardID").toLongLong();
    }
    QVariant stored(qint64 id, const char *column)
    {
        return cnn().scalar(QString("SELECT %1 FROM tblTimeCards WHERE TimeCardID = ?").arg(column),
                            {id});
    }
    int cardCount() { return cnn().scalar("SELECT COUNT(*) FROM tblTimeCards").toInt(); }
};

TimeCardDefaults defaultsAt(qint32 user, const QDateTime &now)
{
    NewCardOptions o;
    o.billingInUse = true;
    o.contactInUse = o.activity1InUse = true;
    return SetFieldDefaultValues(NewCardSettings{}, o, user, now, {}, {});
}

} // namespace

TEST_F(Editor, ANewTimeCardIsStoredAtOnceWithItsDefaultsEvenWithoutTheItemStore)
{
    int calls = 0;
    EditorHooks hooks;
    hooks.NewJournalEntry = [&] {
        if (++calls == 1)
            throw QvError(ErrorNumber::OutlookInstance, "Unable to create Outlook instance.", "");
        return QString("journal-1");
    };
    make(std::move(hooks));
    const int before = cardCount();
    const QDateTime now(QDate(2026, 12, 6), QTime(9, 41, 27));
    const auto defaults = [&] { return defaultsAt(userId, now); };

    const auto orphan = editor->CreateNewTimeCard(defaults);
    ASSERT_TRUE(orphan);
    EXPECT_EQ(stored(*orphan, "JournalEntryID"), "");
    EXPECT_EQ(prompts.messages().at(0).text, "Unable to create Outlook instance.");

    const auto id = editor->CreateNewTimeCard(defaults);
    ASSERT_TRUE(id);
    EXPECT_EQ(cardCount(), before + 2);
    EXPECT_EQ(editor->currentTimeCardId(), id);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(editor->currentJournalEntryId(), "journal-1");
    EXPECT_EQ(stored(*id, "JournalEntryID"), "journal-1");
    EXPECT_EQ(stored(*id, "Quantity"), "0000000");
    EXPECT_EQ(stored(*id, "EndTime").toTime(), QTime(9, 41));
    EXPECT_EQ(stored(*id, "BillStatus"), "Billable");
    EXPECT_EQ(stored(*id, "EntryType"), "Task");
    EXPECT_EQ(stored(*id, "UserId").toInt(), userId);
    EXPECT_TRUE(journalled.isEmpty()); // the rows it left had no changes
}

TEST_F(Editor, LeavingReportsOnlyTheFirstFailingRuleThenSavesAndMirrorsTheJournal)
{
    options.validation.noTimeSpent = true;
    options.validation.noDescription = true;
    make();
    const qint64 id = idAt(1);
    ASSERT_TRUE(editor->writeField("Quantity", "0000000"));
    ASSERT_TRUE(editor->writeField("Description", ""));

    EXPECT_FALSE(editor->leaveCurrent());
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages().back().title, " Validation Error");
    EXPECT_TRUE(prompts.messages().back().text.contains("Problem:\nNo time spent.\n"));
    EXPECT_EQ(editor->focus(), (FocusTarget{0, FocusField::TimeSpent}));

    // Its own running timer excuses an empty time spent; the next rule speaks.
    RecordingTimer timer(rs());
    timer.active = id;
    editor->setTimer(&timer);
    EXPECT_FALSE(editor->ValidateCurrentRecord());
    EXPECT_TRUE(prompts.messages().back().text.contains("No description provided."));
    EXPECT_EQ(editor->focus(), (FocusTarget{1, FocusField::Description}));
    editor->setTimer(nullptr);

    editor->writeField("Quantity", "0001500");
    editor->writeField("Description", "Drafted the lease");
    EXPECT_TRUE(editor->leaveCurrent());
    EXPECT_EQ(prompts.messages().size(), 2);
    EXPECT_EQ(stored(id, "Description"), "Drafted the lease");
    ASSERT_EQ(journalled.size(), 1);
    EXPECT_EQ(journalled.front().description, "Drafted the lease");
}

TEST_F(Editor, ASaveRefusedBecauseTheRowChangedElsewhereIsToldAndTheJournalFollowsTheStoredRow)
{
    make();
    const qint64 id = idAt(2);
    editor->writeField("Description", "mine");
    cnn().execute("UPDATE tblTimeCards SET Description = 'theirs' WHERE TimeCardID = ?", {id});

    EXPECT_FALSE(editor->leaveCurrent());
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages().front().title, "Quorvale");
    EXPECT_TRUE(prompts.messages().front().text.contains("changes to it were discarded"));
    EXPECT_EQ(rs().value("Description"), "theirs");
    ASSERT_EQ(journalled.size(), 2);
    EXPECT_EQ(journalled.back().description, "theirs");
    EXPECT_TRUE(editor->leaveCurrent());
}

TEST_F(Editor, ArrivingReplacesALostJournalEntryAndLocksAnInvoicedTimeCard)
{
    pim::Namespace items(tmp.filePath("items"));
    const pim::Folder journal = items.GetDefaultFolder(pim::DefaultFolder::Journal);
    EditorHooks hooks;
    // As the session does: an entry that is gone is written from the row and
    // the stored row points at it.
    QList<qint64> restoredFor;
    hooks.ensureJournalEntry = [&](const TimeCard &card) {
        if (!card.journalEntryId.isEmpty() &&
            items.itemFromId(card.journalEntryId, journal.storeId()) != nullptr)
            return card.journalEntryId;
        restoredFor << card.id;
        auto item = pim::Items(journal).Add();
        item->Save();
        cnn().execute("UPDATE tblTimeCards SET JournalEntryID = ? WHERE TimeCardID = ?",
                      {item->EntryID(), card.id});
        return item->EntryID();
    };
    options.validation.noDescription = true;
    make(std::move(hooks));

    const qint64 second = idAt(2);
    EXPECT_EQ(restoredFor.last(), second);
    const QString replaced = stored(second, "JournalEntryID").toString();
    EXPECT_FALSE(replaced.isEmpty());
    EXPECT_NE(items.itemFromId(replaced, journal.storeId()), nullptr);
    EXPECT_EQ(editor->currentJournalEntryId(), replaced);
    EXPECT_EQ(rs().value("JournalEntryID"), replaced);
    EXPECT_FALSE(editor->DataChangedProperty());
    // The set took the stored row: an edit saves over it, not into a conflict.
    ASSERT_TRUE(editor->writeField("Description", "Restored and edited"));
    EXPECT_TRUE(editor->leaveCurrent());
    EXPECT_EQ(stored(second, "Description"), "Restored and edited");
    EXPECT_TRUE(prompts.messages().isEmpty());
    const auto restoredCount = restoredFor.size();
    idAt(2); // its entry exists now
    EXPECT_EQ(restoredFor.size(), restoredCount);

    const qint64 third = idAt(3);
    cnn().execute("UPDATE tblTimeCards SET InvoiceID = 5, Description = '' WHERE TimeCardID = ?",
                  {third});
    idAt(3);
    EXPECT_TRUE(editor->locked());
    EXPECT_FALSE(editor->writeField("Description", "late fix"));
    // It cannot be mended, so its rules do not hold the person on it.
    EXPECT_TRUE(editor->leaveCurrent());
    EXPECT_TRUE(prompts.messages().isEmpty());
    idAt(1);
    EXPECT_FALSE(editor->locked());
}

TEST_F(Editor, TheRunningTimerIsSettledBeforeANewTimeCard)
{
    options.autoSave = false;
    make();
    RecordingTimer timer(rs());
    editor->setTimer(&timer);
    const qint64 timed = idAt(2);
    const qint64 first = idAt(1);
    timer.active = timed;
    const int before = cardCount();
    const auto defaults = [&] { return defaultsAt(userId, QDateTime::currentDateTime()); };

    prompts.answer(PromptResult::Cancel);
    EXPECT_FALSE(editor->CreateNewTimeCard(defaults));
    EXPECT_EQ(cardCount(), before);
    EXPECT_EQ(editor->currentTimeCardId(), timed);
    EXPECT_EQ(timer.active, timed);
    EXPECT_EQ(prompts.messages().back().title, "Save Changes?");
    EXPECT_EQ(prompts.messages().back().text,
              "Do you want to save your time changes to this TimeCard? ");
    EXPECT_EQ(prompts.messages().back().buttons, PromptButtons::YesNoCancel);

    // A timed TimeCard the set leaves out cannot be settled: the person learns
    // which one and how to bring it back, and nothing goes on.
    timer.active = 987654;
    EXPECT_FALSE(editor->ProcessActiveCard());
    EXPECT_TRUE(prompts.messages().back().text.startsWith(
        "The timer is running on TimeCard 987654, which the TimeCards shown now leave out"));
    timer.active = timed;

    // No: the time changes are dropped, and the person is back where they were.
    idAt(1);
    cnn().execute("UPDATE tblTimeCards SET Quantity = '0000000' WHERE TimeCardID = ?", {timed});
    timer.calls.clear();
    prompts.answer(PromptResult::No);
    EXPECT_TRUE(editor->ProcessActiveCard());
    EXPECT_EQ(timer.calls,
              QStringList({QString("tick %1").arg(timed), QString("pause drop %1").arg(timed)}));
    EXPECT_EQ(editor->currentTimeCardId(), first);
    EXPECT_EQ(stored(timed, "Quantity"), "0000000");

    // AutoSave asks nothing and keeps the time.
    options.autoSave = true;
    editor->setOptions(options);
    timer.active = timed;
    timer.calls.clear();
    const auto created = editor->CreateNewTimeCard(defaults);
    ASSERT_TRUE(created);
    EXPECT_EQ(timer.calls,
              QStringList({QString("tick %1").arg(timed), QString("pause save %1").arg(timed)}));
    EXPECT_EQ(stored(timed, "Quantity"), "0000130");
    EXPECT_EQ(editor->currentTimeCardId(), created);
    EXPECT_EQ(prompts.unusedAnswers(), 0u);
}

// The program database's disk fills while a TimeCard is being edited: nothing is
// written, the person is told, and the typed change waits on screen to be saved
// once there is room, instead of being thrown away.
TEST(EditorOnAFullDisk, KeepsTheTypedChangeAndSavesItOnceThereIsRoom)
{
    QV_EMBEDDED_ONLY("a server's disk is not this computer's");
    test::FullDisk disk(64 * 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "needs a disk that fills: the database grows its files in pieces";
    const QByteArray scratch = qgetenv("QUORVALE_TEST_TMP");
    qputenv("QUORVALE_TEST_TMP", QFile::encodeName(disk.path()));
    test::TempDir tmp;
    qputenv("QUORVALE_TEST_TMP", scratch);
    const test::EngineDatabase engine;
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, tmp.filePath("reports")};
    ErrorHandler errors{report};
    errors.terminate = [](int) { ADD_FAILURE() << "the program was ended"; };
    std::unique_ptr<DataStore> store;
    const int userId = test::openDemoStore(tmp, engine, prompts, errors, store);
    ASSERT_TRUE(store);
    WorkingSet set{errors};
    ASSERT_TRUE(set.SetRecordSet(true, store->cnnLink(), {true, Terms{}, userId, "Ann"}));
    db::Recordset &rs = set.timeCards();
    EditorOptions options;
    TimeCardEditor editor(rs, prompts, options, {});
    rs.setAbsolutePosition(2);
    const qint64 id = rs.value("TimeCardID").toLongLong();
    const QString typed = QString(200 * 1024, u'w');

    ASSERT_TRUE(editor.writeField("Description", typed));
    disk.fill(0);
    EXPECT_FALSE(editor.leaveCurrent());
    ASSERT_FALSE(prompts.messages().isEmpty());
    EXPECT_TRUE(prompts.messages().last().text.contains("The disk is full"));
    EXPECT_TRUE(prompts.messages().last().text.contains("still on screen"));
    EXPECT_FALSE(prompts.messages().last().text.contains("UPDATE"));
    EXPECT_EQ(rs.value("Description").toString(), typed);
    disk.release();

    EXPECT_TRUE(editor.leaveCurrent());
    EXPECT_EQ(store->cnnLink()
                  .scalar("SELECT Description FROM tblTimeCards WHERE TimeCardID = ?", {id})
                  .toString(),
              typed);
}
