// A TimeCard's links read back through the item store: which items each kind
// lists, what a delete takes with it, and linking items that exist already.
// A real program database and a real item store in a scratch directory.

#include "data/DataStore.h"
#include "data/DatabaseSettings.h"
#include "outlook/LinkDeletion.h"
#include "outlook/LinkReader.h"
#include "outlook/LinkedItems.h"
#include "outlook/OutlookSession.h"
#include "outlook/ProgramStoreFixture.h"
#include "platform/core/Money.h"
#include "platform/core/QvError.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/TaskItem.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class LinkListTest : public test::ProgramStoreFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(openProgramAndStore());
        reader = std::make_unique<LinkReader>(session, cnn());
        cardId = cnn().insertReturningKey("INSERT INTO tblTimeCards (UserId) VALUES (1)", {},
                                          "TimeCardID");
    }

    qint64 count(const QString &sql, const QVariantList &params = {})
    {
        return cnn().scalar(sql, params).toLongLong();
    }
    template <typename Kind> std::unique_ptr<Kind> add(FolderSlot slot)
    {
        std::unique_ptr<pim::Item> item = pim::Items(*session.folder(slot)).Add();
        return std::unique_ptr<Kind>(dynamic_cast<Kind *>(item.release()));
    }
    void link(const char *table, const QString &entryId)
    {
        cnn().execute(QString("INSERT INTO %1 (EntryID, TimeCardID) VALUES (?, ?)").arg(table),
                      {entryId, cardId});
    }
    std::size_t listed(LinkListKind kind) { return reader->ProcessLinks(kind, cardId).rows.size(); }

    std::unique_ptr<LinkReader> reader;
    qint64 cardId = 0;
};

} // namespace

TEST_F(LinkListTest, UnsavedTimeCardHasNoLinksOfAnyKind)
{
    auto task = add<pim::TaskItem>(FolderSlot::Tasks);
    task->setSubject("linked");
    task->Save();
    link("tblTasks", task->EntryID());
    for (int k = 0; k < LinkListKindCount; ++k) {
        const LinkList list = reader->ProcessLinks(static_cast<LinkListKind>(k), std::nullopt);
        EXPECT_TRUE(list.rows.empty()) << k;
        EXPECT_EQ(list.fields.first(), "EID") << k;
    }
    EXPECT_TRUE(reader->journalEntry(QString()).rows.empty());
    EXPECT_EQ(listed(LinkListKind::PersonalTasks), 1u);
}

TEST_F(LinkListTest, TaskMovesToAssignedOnceDelegatedWithoutTouchingItsLink)
{
    auto task = add<pim::TaskItem>(FolderSlot::Tasks);
    task->setSubject("Draft the brief");
    task->setDueDate(QDateTime(QDate(2031, 5, 1), QTime(17, 0)));
    task->Save();
    link("tblTasks", task->EntryID());
    LinkList personal = reader->ProcessLinks(LinkListKind::PersonalTasks, cardId);
    ASSERT_EQ(personal.rows.size(), 1u);
    EXPECT_EQ(personal.value(0, "Subject"), "Draft the brief");
    EXPECT_EQ(personal.eid(0), task->EntryID());
    EXPECT_EQ(listed(LinkListKind::AssignedTasks), 0u);

    task->Assign();
    task->addRecipient("Bea Lund", "bea@example.org");
    task->Save();
    EXPECT_EQ(listed(LinkListKind::PersonalTasks), 0u);
    const LinkList assigned = reader->ProcessLinks(LinkListKind::AssignedTasks, cardId);
    ASSERT_EQ(assigned.rows.size(), 1u);
    EXPECT_EQ(assigned.value(0, "Assignee"), "Bea Lund");
    EXPECT_EQ(assigned.value(0, "TaskID").toLongLong(),
              count("SELECT TaskID FROM tblTasks WHERE TimeCardID = ?", {cardId}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTasks"), 1);
}

TEST_F(LinkListTest, MeetingsMovedFilesAndInvoicedChargesAreLeftOutButKeepTheirRows)
{
    auto appointment = add<pim::AppointmentItem>(FolderSlot::ScheduledAppointments);
    appointment->setSubject("Site visit");
    appointment->setStart(QDateTime(QDate(2031, 6, 2), QTime(9, 0)));
    appointment->setDuration(90);
    appointment->Save();
    link("tblScheduledAppointments", appointment->EntryID());
    const LinkList appointments = reader->ProcessLinks(LinkListKind::ScheduledAppointments, cardId);
    ASSERT_EQ(appointments.rows.size(), 1u);
    EXPECT_EQ(appointments.value(0, "Duration"), 90);
    appointment->setMeetingStatus(1);
    appointment->Save();
    EXPECT_EQ(listed(LinkListKind::ScheduledAppointments), 0u);

    const QString file = dir.filePath("docs/Brief.odt");
    QDir().mkpath(dir.filePath("docs"));
    QFile(file).open(QIODevice::WriteOnly);
    cnn().execute("INSERT INTO tblDocuments (TimeCardID, FileName, FilePath) VALUES (?, ?, ?)",
                  {cardId, "Brief.odt", dir.filePath("docs")});
    EXPECT_EQ(listed(LinkListKind::Documents), 1u);
    ASSERT_TRUE(QFile::rename(file, dir.filePath("Brief.odt")));
    EXPECT_EQ(listed(LinkListKind::Documents), 0u);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblDocuments"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblScheduledAppointments"), 1);

    // The code's text travels as a bound value: the apostrophe is data.
    const qint64 code = cnn().insertReturningKey(
        "INSERT INTO tblExpenseCodes (ExpenseAbbreviation, Active) VALUES (?, -1)",
        {QString("Client's mileage ") + QString(120, 'x')}, "ExpenseCodeID");
    for (const QVariant &invoice : {QVariant(), QVariant(7)})
        cnn().execute("INSERT INTO tblExpenses (TimeCardID, ExpenseCodeID, StartDate, Quantity, "
                      "Rate, Amount, InvoiceID) VALUES (?, ?, ?, 3, ?, ?, ?)",
                      {cardId, code, QDateTime(QDate(2031, 6, 3), QTime()),
                       Money::fromWhole(12).toStored(), Money::fromWhole(36).toStored(), invoice});
    const LinkList expenses = reader->ProcessLinks(LinkListKind::Expenses, cardId);
    ASSERT_EQ(expenses.rows.size(), 1u);
    EXPECT_TRUE(expenses.value(0, "Abbreviation").toString().startsWith("Client's mileage"));
    EXPECT_EQ(expenses.value(0, "Abbreviation").toString().size(), 100);
    EXPECT_EQ(Money::fromUnits(expenses.value(0, "Total").toLongLong()), Money::fromWhole(36));
    EXPECT_EQ(expenses.value(0, "Units"), 3);
    EXPECT_EQ(reader->GetProductAbbreviation(999), "");
}

TEST_F(LinkListTest, GoneNoteLosesItsLinkRowOtherKindsKeepTheirs)
{
    std::unique_ptr<pim::Item> note = pim::Items(*session.folder(FolderSlot::Notes)).Add();
    note->setBody("Call back about the lease\nsecond line");
    note->Save();
    auto task = add<pim::TaskItem>(FolderSlot::Tasks);
    task->Save();
    link("tblNotes", note->EntryID());
    link("tblTasks", task->EntryID());
    EXPECT_EQ(listed(LinkListKind::Notes), 1u);
    note->Delete();
    task->Delete();
    EXPECT_EQ(listed(LinkListKind::Notes), 0u);
    EXPECT_EQ(listed(LinkListKind::PersonalTasks), 0u);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblNotes"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTasks"), 1);
}

TEST_F(LinkListTest, NotesKeepTheirRowsWhileTheNotesFolderIsMissing)
{
    std::unique_ptr<pim::Item> note = pim::Items(*session.folder(FolderSlot::Notes)).Add();
    note->setBody("kept");
    note->Save();
    link("tblNotes", note->EntryID());
    const QString folderDir = session.folder(FolderSlot::Notes)->path();
    ASSERT_TRUE(QDir().rename(folderDir, dir.filePath("away")));
    EXPECT_EQ(listed(LinkListKind::Notes), 0u);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblNotes"), 1);
}

TEST_F(LinkListTest, TheJournalEntryIsListedWhileItCanBeFoundAndNeverMadeByTheReader)
{
    const pim::Folder journal = *session.folder(FolderSlot::Journal);
    const QVariant storedId =
        cnn().scalar("SELECT JournalEntryID FROM tblTimeCards WHERE TimeCardID = ?", {cardId});
    const int entries = pim::Items(journal).Count();
    EXPECT_TRUE(reader->journalEntry("gone/entry.ics").rows.empty());
    EXPECT_EQ(
        cnn().scalar("SELECT JournalEntryID FROM tblTimeCards WHERE TimeCardID = ?", {cardId}),
        storedId);
    EXPECT_EQ(pim::Items(journal).Count(), entries) << "a reader makes no journal entry";

    std::unique_ptr<pim::Item> made = pim::Items(journal).Add();
    auto *entry = dynamic_cast<pim::JournalItem *>(made.get());
    ASSERT_NE(entry, nullptr);
    entry->setSubject("Quarterly review");
    entry->setStart(QDateTime(QDate(2031, 7, 1), QTime(10, 0)));
    entry->setDuration(90);
    entry->Save();
    const LinkList listed = reader->journalEntry(entry->EntryID());
    ASSERT_EQ(listed.rows.size(), 1u);
    EXPECT_EQ(listed.value(0, "Subject"), "Quarterly review");
    EXPECT_EQ(listed.value(0, "Duration"), 90);
}

TEST_F(LinkListTest, TimeDetailGivesItsTimeBackWholeMinutesOnly)
{
    EXPECT_EQ(timeSpentAfterRemoving(3600, 45), 900); // 1:00 less 45 min: 0:15
    EXPECT_EQ(timeSpentAfterRemoving(2730, 45), 0);   // 0:45:30: 30 s left is none
    EXPECT_EQ(timeSpentAfterRemoving(600, 45), 0);    // never below nothing
    EXPECT_EQ(timeSpentAfterRemoving(2760, 45), 60);
}

TEST_F(LinkListTest, DeleteTakesTheRowAndOnlyWhatWasChosen)
{
    LinkDeleter deleter(session, cnn(), prompts);
    auto appointment = add<pim::AppointmentItem>(FolderSlot::TimeCardAppointments);
    appointment->setStart(QDateTime(QDate(2031, 2, 3), QTime(13, 0)));
    appointment->setDuration(45);
    appointment->Save();
    link("tblTimedAppointments", appointment->EntryID());
    EXPECT_EQ(deleter.timeDetailMinutes(appointment->EntryID()), 45);
    SelectedLink timed{LinkListKind::TimeDetail, appointment->EntryID(), {}, {}, {}};
    ASSERT_TRUE(deleter.deleteLink(cardId, timed, LinkDeleteOption::ItemAndLink));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimedAppointments"), 0);
    EXPECT_FALSE(QFile::exists(appointment->filePath()));

    // A charge's "link only" takes it off the TimeCard but keeps the charge.
    const qint64 expense = cnn().insertReturningKey(
        "INSERT INTO tblExpenses (TimeCardID, Amount) VALUES (?, 0)", {cardId}, "ExpenseID");
    ASSERT_TRUE(deleter.deleteLink(cardId, {LinkListKind::Expenses, expense, {}, {}, {}},
                                   LinkDeleteOption::LinkOnly));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblExpenses WHERE ExpenseID = ? AND TimeCardID IS NULL",
                    {expense}),
              1);

    // A document: Cancel keeps link and file, Yes deletes both.
    QFile(dir.filePath("Notes.txt")).open(QIODevice::WriteOnly);
    const qint64 document = cnn().insertReturningKey(
        "INSERT INTO tblDocuments (TimeCardID, FileName, FilePath) VALUES (?, ?, ?)",
        {cardId, "Notes.txt", dir.path()}, "DocumentID");
    const SelectedLink file{LinkListKind::Documents, document, {}, dir.path(), "Notes.txt"};
    prompts.answer(PromptResult::Cancel);
    EXPECT_FALSE(deleter.deleteLink(cardId, file, LinkDeleteOption::ItemAndLink));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblDocuments"), 1);
    prompts.answer(PromptResult::Yes);
    EXPECT_TRUE(deleter.deleteLink(cardId, file, LinkDeleteOption::ItemAndLink));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblDocuments"), 0);
    EXPECT_FALSE(QFile::exists(dir.filePath("Notes.txt")));
    EXPECT_EQ(prompts.messages().last().title, "Confirm Delete");
    EXPECT_EQ(prompts.messages().last().text,
              "Are you sure you want to delete the file named 'Notes.txt'? ");

    // A file that will not go is reported, not passed off as deleted.
    ASSERT_TRUE(QDir(dir.path()).mkpath("Stuck/inside"));
    const qint64 stuck = cnn().insertReturningKey(
        "INSERT INTO tblDocuments (TimeCardID, FileName, FilePath) VALUES (?, ?, ?)",
        {cardId, "Stuck", dir.path()}, "DocumentID");
    prompts.answer(PromptResult::Yes);
    EXPECT_THROW(deleter.deleteLink(cardId,
                                    {LinkListKind::Documents, stuck, {}, dir.path(), "Stuck"},
                                    LinkDeleteOption::ItemAndLink),
                 QvError);
    EXPECT_TRUE(QFile::exists(dir.filePath("Stuck")));
}

TEST_F(LinkListTest, HeadingClickedTwiceSortsDescendingThenAscending)
{
    LinkList list = LinkList::empty(LinkListKind::TimeDetail);
    for (int day : {3, 1, 2})
        list.rows.push_back(
            {{QString::number(day), "s", QDateTime(QDate(2031, 1, day), QTime()), QDateTime(), 30},
             {}});
    list.applySort("Subject ASC");
    const auto days = [&list] {
        QList<int> d;
        for (std::size_t i = 0; i < list.rows.size(); ++i)
            d.append(list.value(i, "StartDate").toDate().day());
        return d;
    };
    std::optional<QString> sort = linkSortForHeading(list.sort, "Start", 2);
    ASSERT_EQ(sort, "StartDate DESC");
    list.applySort(*sort);
    EXPECT_EQ(days(), QList<int>({3, 2, 1}));
    sort = linkSortForHeading(list.sort, "Start", 2);
    ASSERT_EQ(sort, "StartDate ASC");
    list.applySort(*sort);
    EXPECT_EQ(days(), QList<int>({1, 2, 3}));
    EXPECT_FALSE(linkSortForHeading(list.sort, "Subject", 1));
    EXPECT_EQ(linkSortField("Fixed Charge Description"), "Description");
    EXPECT_EQ(linkSortField("#"), "Units");
}

TEST_F(LinkListTest, ExistingItemsAreLinkedOnceAndTasksCompleted)
{
    auto task = add<pim::TaskItem>(FolderSlot::Tasks);
    task->setSubject("Review");
    task->Save();
    pim::Folder inbox = session.nameSpace().GetDefaultFolder(pim::DefaultFolder::Inbox);
    std::unique_ptr<pim::Item> mail = pim::Items(inbox).Add();
    mail->setSubject("Invoice question");
    mail->Save();

    const std::vector<LinkCandidate> tasks = linkCandidates(session, LinkListKind::PersonalTasks);
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_TRUE(linkCandidates(session, LinkListKind::AssignedTasks).empty());
    EXPECT_EQ(linkExistingItems(cnn(), LinkListKind::PersonalTasks, cardId, tasks).size(), 1u);
    EXPECT_TRUE(linkExistingItems(cnn(), LinkListKind::PersonalTasks, cardId, tasks).empty());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTasks"), 1);

    const std::vector<LinkCandidate> messages = linkCandidates(session, LinkListKind::Messages);
    ASSERT_EQ(messages.size(), 1u);
    const std::vector<LinkCandidate> linked =
        linkExistingItems(cnn(), LinkListKind::Messages, cardId, messages);
    ASSERT_EQ(linked.size(), 1u);
    TimeCardSnapshot card;
    card.id = static_cast<qint32>(cardId);
    card.userName = "Ann O'Hara";
    stampLinkedItems(session, linked, card, {});
    const auto stamped = session.nameSpace().itemFromId(linked[0].entryId, linked[0].storeId);
    ASSERT_NE(stamped, nullptr);
    EXPECT_EQ(stamped->property("TimeCardID").toLongLong(), cardId);
    EXPECT_EQ(stamped->property("QuorvaleID").toString(), stamped->EntryID());
    EXPECT_EQ(stamped->property("Quorvale Staff").toString(), "Ann O'Hara");
    const LinkList listed = reader->ProcessLinks(LinkListKind::Messages, cardId);
    ASSERT_EQ(listed.rows.size(), 1u);
    EXPECT_EQ(listed.value(0, "Subject"), "Invoice question");
    EXPECT_EQ(listed.rows[0].storeId, inbox.storeId());

    ASSERT_TRUE(MarkTaskComplete(session, task->EntryID()));
    EXPECT_EQ(reader->ProcessLinks(LinkListKind::PersonalTasks, cardId).value(0, "Status"), 2);
}

TEST_F(LinkListTest, LinksPageAndChoosersShareOneCacheThatRereadsOnlyChangedFiles)
{
    auto first = add<pim::TaskItem>(FolderSlot::Tasks);
    first->setSubject("Linked");
    first->Save();
    auto second = add<pim::TaskItem>(FolderSlot::Tasks);
    second->setSubject("Not linked");
    second->Save();
    link("tblTasks", first->EntryID());
    const pim::FolderCache &cache = session.folderCache();

    ASSERT_EQ(listed(LinkListKind::PersonalTasks), 1u);
    EXPECT_EQ(cache.stats().parsed, 1);
    // The chooser reads the folder: only the file the page has not read yet.
    EXPECT_EQ(linkCandidates(session, LinkListKind::PersonalTasks).size(), 2u);
    EXPECT_EQ(cache.stats().parsed, 2);
    // Showing the page again reads nothing.
    EXPECT_EQ(listed(LinkListKind::PersonalTasks), 1u);
    EXPECT_EQ(cache.stats().parsed, 2);

    first->setSubject("Linked, renamed elsewhere");
    first->Save();
    const LinkList list = reader->ProcessLinks(LinkListKind::PersonalTasks, cardId);
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.value(0, "Subject"), "Linked, renamed elsewhere");
    EXPECT_EQ(cache.stats().parsed, 3);
}

TEST_F(LinkListTest, CancelledReadListsNothingAndKeepsEveryLinkRow)
{
    std::unique_ptr<pim::Item> note = pim::Items(*session.folder(FolderSlot::Notes)).Add();
    note->setBody("to be deleted");
    note->Save();
    link("tblNotes", note->EntryID());
    note->Delete();
    reader->setReadRunner([](const LinkReader::ItemRead &read) {
        read(pim::ScanControl{[] { return true; }, {}});
        return false;
    });
    EXPECT_EQ(listed(LinkListKind::Notes), 0u);
    EXPECT_TRUE(reader->cancelled());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblNotes"), 1);

    // The folder read of a chooser stops as well and gives nothing.
    const QList<pim::Folder> folders = linkCandidateFolders(session, LinkListKind::Notes);
    ASSERT_EQ(folders.size(), 1);
    EXPECT_FALSE(linkCandidates(session.folderCache(), folders, LinkListKind::Notes,
                                pim::ScanControl{[] { return true; }, {}}));
    EXPECT_EQ(session.folderCache().cachedFiles(folders.front()), 0);
}

TEST_F(LinkListTest, NoteTooLargeToReadIsLeftOutButKeepsItsLink)
{
    std::unique_ptr<pim::Item> note = pim::Items(*session.folder(FolderSlot::Notes)).Add();
    note->setBody("grows later");
    note->Save();
    link("tblNotes", note->EntryID());
    ASSERT_EQ(listed(LinkListKind::Notes), 1u);
    QFile file(note->filePath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    ASSERT_TRUE(file.resize(pim::MaxCalendarItemFileBytes + 1));
    file.close();
    EXPECT_EQ(listed(LinkListKind::Notes), 0u);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblNotes"), 1);
    EXPECT_EQ(session.folderCache().stats().tooLarge, 1);
}
