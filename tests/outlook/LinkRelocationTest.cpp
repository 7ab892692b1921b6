// Links whose item files a calendar sync tool deleted and wrote anew under
// other names: the Links page and the journal processing find the items
// again and point the stored EntryIDs at the new files; only an item nothing
// claims takes the missing-item path. A next run reads only the files that
// changed. A real program database and a real item store, files changed on
// disk.

#include "outlook/LinkRelocation.h"

#include "outlook/JournalProcessing.h"
#include "outlook/LinkReader.h"
#include "outlook/NewJournalEntry.h"
#include "outlook/ProgramStoreFixture.h"
#include "outlook/UserPropertyWriter.h"
#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/NoteItem.h"
#include "platform/pim/TaskItem.h"
#include "testsupport/LogCapture.h"

#include <QDir>
#include <QFile>

using namespace quorvale;

namespace {

class LinkRelocationTest : public test::ProgramStoreFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(openProgramAndStore());
        reader = std::make_unique<LinkReader>(session, cnn());
        card.id = static_cast<qint32>(cnn().insertReturningKey(
            "INSERT INTO tblTimeCards (UserId) VALUES (1)", {}, "TimeCardID"));
        card.userName = "Ann O'Hara";
    }

    // An item made from the TimeCard and linked to it, as the program does.
    QString addLinked(FolderSlot slot, const char *table, const QString &subject)
    {
        std::unique_ptr<pim::Item> item = pim::Items(*session.folder(slot)).Add();
        item->setSubject(subject);
        item->AssignEntryID();
        WriteUserProperties(*item, card, {});
        item->Save();
        cnn().execute(QString("INSERT INTO %1 (EntryID, TimeCardID) VALUES (?, ?)").arg(table),
                      {item->EntryID(), card.id});
        return item->EntryID();
    }
    QString pathOf(const QString &entryId)
    {
        const auto parts = pim::splitEntryId(entryId);
        const auto folder = session.nameSpace().findFolder(parts->first, {});
        return QDir(folder->path()).filePath(parts->second);
    }
    // What a sync tool does: delete the file, write the same bytes anew
    // under a name of its own. Returns the EntryID the item has now.
    QString syncRename(const QString &entryId, const QString &newName)
    {
        const QString path = pathOf(entryId);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        file.close();
        EXPECT_TRUE(QFile::remove(path));
        QFile renamed(QFileInfo(path).dir().filePath(newName));
        EXPECT_TRUE(renamed.open(QIODevice::WriteOnly));
        renamed.write(content);
        return pim::splitEntryId(entryId)->first + "/" + newName;
    }
    QStringList stored(const char *table)
    {
        QSqlQuery query = cnn().prepare(
            QString("SELECT EntryID FROM %1 WHERE TimeCardID = ? ORDER BY EntryID").arg(table));
        cnn().run(query, {card.id});
        QStringList ids;
        while (query.next())
            ids << query.value(0).toString();
        return ids;
    }
    QStringList listed(LinkListKind kind)
    {
        const LinkList list = reader->ProcessLinks(kind, card.id);
        QStringList ids;
        for (std::size_t row = 0; row < list.rows.size(); ++row)
            ids << list.eid(row).toString();
        ids.sort();
        return ids;
    }

    std::unique_ptr<LinkReader> reader;
    TimeCardSnapshot card;
};

} // namespace

TEST_F(LinkRelocationTest, LinksPageListsARenamedTaskUnderItsNewEntryIdAndStoresIt)
{
    const QString kept = addLinked(FolderSlot::Tasks, "tblTasks", "Kept in place");
    const QString renamed = addLinked(FolderSlot::Tasks, "tblTasks", "Renamed by the sync");
    const QString now = syncRename(renamed, "vdirsyncer-0001.ics");

    QStringList expected{kept, now};
    expected.sort();
    EXPECT_EQ(listed(LinkListKind::PersonalTasks), expected);
    EXPECT_EQ(stored("tblTasks"), expected);

    // The next read goes straight to the new file: no folder is read again.
    const qint64 parsed = session.folderCache().stats().parsed;
    EXPECT_EQ(listed(LinkListKind::PersonalTasks), expected);
    EXPECT_EQ(session.folderCache().stats().parsed, parsed);
}

TEST_F(LinkRelocationTest, ATimeCardThatLinksBothOldAndNewEntryIdKeepsOneRow)
{
    const QString old = addLinked(FolderSlot::Tasks, "tblTasks", "Linked twice");
    const QString now = syncRename(old, "new-name.ics");
    cnn().execute("INSERT INTO tblTasks (EntryID, TimeCardID) VALUES (?, ?)", {now, card.id});
    const qint64 other =
        cnn().insertReturningKey("INSERT INTO tblTimeCards (UserId) VALUES (1)", {}, "TimeCardID");
    cnn().execute("INSERT INTO tblTasks (EntryID, TimeCardID) VALUES (?, ?)", {old, other});

    storeEntryIdMoves(cnn(), {{old, now, pim::ItemType::Task}});
    EXPECT_EQ(stored("tblTasks"), QStringList{now});
    // Another TimeCard's link to the same item follows it as well.
    EXPECT_EQ(cnn().scalar("SELECT EntryID FROM tblTasks WHERE TimeCardID = ?", {other}),
              QVariant(now));
}

TEST_F(LinkRelocationTest, ANoteLosesItsLinkOnlyWhenNothingClaimsIt)
{
    const QString renamed = addLinked(FolderSlot::Notes, "tblNotes", "Renamed note");
    const QString twice = addLinked(FolderSlot::Notes, "tblNotes", "Copied twice");
    const QString deleted = addLinked(FolderSlot::Notes, "tblNotes", "Deleted note");
    const QString now = syncRename(renamed, "note-renamed.ics");
    // Two identical copies: nothing tells them apart, so neither is taken.
    syncRename(twice, "copy-a.ics");
    QFile::copy(pathOf(pim::splitEntryId(twice)->first + "/copy-a.ics"),
                pathOf(pim::splitEntryId(twice)->first + "/copy-b.ics"));
    ASSERT_TRUE(QFile::remove(pathOf(deleted)));

    test::LogCapture log;
    EXPECT_EQ(listed(LinkListKind::Notes), QStringList{now});
    QStringList left{now, twice};
    left.sort();
    EXPECT_EQ(stored("tblNotes"), left);
    EXPECT_TRUE(test::LogCapture::has("quorvale.pim.relocation", "copy-a.ics"));
}

TEST_F(LinkRelocationTest, RenamedJournalEntryIsRewrittenInPlaceNotRecreated)
{
    const auto fields = NewJournalEntry(session, {"Task", "None", "Ann O'Hara"},
                                        QDateTime(QDate(2031, 3, 4), QTime(8, 0)));
    const QString old = fields->entryId;
    card.journalEntryId = old;
    cnn().execute("UPDATE tblTimeCards SET JournalEntryID = ? WHERE TimeCardID = ?",
                  {old, card.id});
    cnn().execute(
        "INSERT INTO tblAppointments (JournalEntryID, TimeCardID, EntryID) VALUES (?, ?, 'a')",
        {old, card.id});
    const QString now = syncRename(old, "journal-synced.ics");
    const pim::Folder journalFolder = *session.folder(FolderSlot::Journal);
    const qsizetype before = pim::Items(journalFolder).fileNames().size();

    clsJournalProcessing journal(session, cnn(), {{}, false});
    const auto result = journal.ProcessJournalEntry(card, ItemTexts{"Rewritten", "Body"});
    EXPECT_EQ(result.outcome, clsJournalProcessing::Outcome::Rewritten);
    EXPECT_EQ(result.fields.entryId, now);
    EXPECT_EQ(pim::Items(journalFolder).fileNames().size(), before);
    EXPECT_EQ(
        cnn().scalar("SELECT JournalEntryID FROM tblTimeCards WHERE TimeCardID = ?", {card.id}),
        QVariant(now));
    EXPECT_EQ(cnn().scalar("SELECT JournalEntryID FROM tblAppointments"), QVariant(now));
    EXPECT_EQ(session.nameSpace().itemFromId(now, {})->Subject(), "Rewritten");
}

TEST_F(LinkRelocationTest, JournalEntryTwoFilesClaimIsLeftAloneNotWrittenAThirdTime)
{
    const auto fields = NewJournalEntry(session, {"Task", "None", "Ann O'Hara"},
                                        QDateTime(QDate(2031, 3, 4), QTime(8, 0)));
    card.journalEntryId = fields->entryId;
    cnn().execute("UPDATE tblTimeCards SET JournalEntryID = ? WHERE TimeCardID = ?",
                  {fields->entryId, card.id});
    const QString copy = syncRename(fields->entryId, "copy-1.ics");
    QFile::copy(pathOf(copy), pathOf(pim::splitEntryId(copy)->first + "/copy-2.ics"));
    const pim::Folder journalFolder = *session.folder(FolderSlot::Journal);

    clsJournalProcessing journal(session, cnn(), {{}, false});
    const auto result = journal.ProcessJournalEntry(card, ItemTexts{"Rewritten", "Body"});
    EXPECT_EQ(result.outcome, clsJournalProcessing::Outcome::NotReached);
    EXPECT_EQ(pim::Items(journalFolder).fileNames().size(), 2);
    EXPECT_EQ(
        cnn().scalar("SELECT JournalEntryID FROM tblTimeCards WHERE TimeCardID = ?", {card.id}),
        QVariant(fields->entryId));
}

TEST_F(LinkRelocationTest, TheNextRunListsLinksWithoutParsingTheFilesThatDidNotChange)
{
    for (int i = 0; i < 4; ++i)
        addLinked(FolderSlot::Tasks, "tblTasks", QString("Task %1").arg(i));
    const QStringList first = listed(LinkListKind::PersonalTasks);
    ASSERT_EQ(first.size(), 4);
    const QString changed = first.front();
    {
        // A run ends: its session keeps what it read.
        OutlookSession lastRun(root, registry, prompts);
        ASSERT_TRUE(lastRun.CreateOutlookInstance());
        ASSERT_TRUE(lastRun.SetFolderObjects(FolderIds{}));
        EXPECT_EQ(LinkReader(lastRun, cnn())
                      .ProcessLinks(LinkListKind::PersonalTasks, card.id)
                      .rows.size(),
                  4u);
    }
    std::unique_ptr<pim::Item> item = session.nameSpace().itemFromId(changed, {});
    item->setSubject("Changed between runs");
    item->Save();

    OutlookSession nextRun(root, registry, prompts);
    ASSERT_TRUE(nextRun.CreateOutlookInstance());
    ASSERT_TRUE(nextRun.SetFolderObjects(FolderIds{}));
    const LinkList list =
        LinkReader(nextRun, cnn()).ProcessLinks(LinkListKind::PersonalTasks, card.id);
    ASSERT_EQ(list.rows.size(), 4u);
    EXPECT_EQ(nextRun.folderCache().stats().parsed, 1);
    EXPECT_EQ(nextRun.folderCache().stats().reused, 3);
    EXPECT_EQ(list.value(*list.findRow(changed), "Subject"), "Changed between runs");
}
