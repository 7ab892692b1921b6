// Items a calendar sync tool deleted and wrote anew under other file names,
// found again by what their files hold: the UID, the owner's property when
// several files share the UID, and never a file chosen by chance. Real item
// files in a scratch store, changed on disk under the cache's feet.

#include "platform/pim/ItemRelocation.h"

#include "IcalFixture.h"
#include "platform/pim/FolderCache.h"
#include "platform/pim/TaskItem.h"
#include "testsupport/LogCapture.h"

#include <QFileInfo>

using namespace quorvale;
using namespace quorvale::test;

namespace {

constexpr const char *Category = "quorvale.pim.relocation";

// A task file as another client writes it; `extra` lines go inside the VTODO.
QByteArray taskFile(const QByteArray &uid, const QByteArray &summary, const QByteArray &extra = {},
                    const char *eol = "\r\n")
{
    QByteArray lines = "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//other client//EN\nBEGIN:VTODO\n";
    if (!uid.isEmpty())
        lines += "UID:" + uid + "\n";
    lines += "SUMMARY:" + summary + "\n" + extra + "END:VTODO\nEND:VCALENDAR\n";
    return lines.replace("\n", eol);
}

class ItemRelocationTest : public IcalFixture {
protected:
    pim::Folder tasks() { return folder(pim::DefaultFolder::Tasks); }
    QString pathOf(const QString &name) { return QDir(tasks().path()).filePath(name); }

    // A task the program made and linked to TimeCard `card`: named after its
    // UID, carrying the TimeCard's and its own EntryID's properties.
    std::unique_ptr<pim::TaskItem> ownTask(const QString &subject, int card)
    {
        auto task = add<pim::TaskItem>(pim::DefaultFolder::Tasks);
        task->setSubject(subject);
        task->AssignEntryID();
        task->userProperties().setValue("TimeCardID", pim::UserPropertyType::Number, card);
        task->userProperties().setValue("QuorvaleID", pim::UserPropertyType::Text, task->EntryID());
        task->Save();
        return task;
    }
    // What a sync tool does: the file deleted, the same bytes under a new name.
    QString rewriteUnderNewName(const pim::Item &item, const QString &newName)
    {
        const QByteArray content = contentOf(item.filePath());
        EXPECT_TRUE(QFile::remove(item.filePath()));
        write(pathOf(newName), content);
        return newName;
    }
    static pim::RelocationKeys keysFor(int card)
    {
        return {QStringLiteral("QuorvaleID"), QStringLiteral("TimeCardID"), card};
    }
    pim::RelocationResult find(const QString &entryId, int card,
                               pim::ItemType type = pim::ItemType::Task)
    {
        const pim::RelocationScope scope =
            pim::relocationScope(ns, entryId, tasks().storeId(), type);
        const auto results = pim::relocate(cache, scope, {{entryId, keysFor(card)}});
        EXPECT_TRUE(results);
        return results ? results->front() : pim::RelocationResult{};
    }
    static bool logged(const QString &text)
    {
        return LogCapture::has(QString::fromLatin1(Category), text);
    }

    pim::FolderCache cache;
};

} // namespace

TEST_F(ItemRelocationTest, RenamedFileIsFoundByItsUidAndGivesItsNewEntryId)
{
    const auto task = ownTask("Draft the brief", 7);
    const auto other = ownTask("Unrelated", 7);
    const QString oldId = task->EntryID();
    rewriteUnderNewName(*task, "synced-by-tool-1.ics");

    const pim::RelocationResult result = find(oldId, 7);
    ASSERT_EQ(result.outcome, pim::RelocationOutcome::Found);
    EXPECT_EQ(result.item->entryId, tasks().entryId() + "/synced-by-tool-1.ics");
    EXPECT_EQ(result.item->subject, "Draft the brief");
    EXPECT_EQ(result.item->uid, task->uid());
    // The item it found reads back under the new EntryID.
    EXPECT_NE(ns.itemFromId(result.item->entryId, tasks().storeId()), nullptr);
}

TEST_F(ItemRelocationTest, ForeignNamedFileIsFoundByTheUidTheCacheReadOrByItsOwnEntryIdProperty)
{
    // A client named the file after nothing the UID shows.
    put(pim::DefaultFolder::Tasks, "a1b2.ics", taskFile("uid-from-khal@example.org", "Khal task"));
    const QString oldId = tasks().entryId() + "/a1b2.ics";
    ASSERT_TRUE(cache.item(tasks(), "a1b2.ics")); // the Links page read it once
    ASSERT_TRUE(QFile::rename(pathOf("a1b2.ics"), pathOf("c3d4.ics")));
    pim::RelocationResult result = find(oldId, 7);
    ASSERT_EQ(result.outcome, pim::RelocationOutcome::Found);
    EXPECT_EQ(result.item->fileName, "c3d4.ics");

    // After a restart nothing remembers its UID, but the program wrote the
    // item's EntryID into it when it linked it.
    put(pim::DefaultFolder::Tasks, "e5f6.ics",
        taskFile("another-uid@example.org", "Linked from khal",
                 "X-QUORVALE-QUORVALEID;X-QUORVALE-NAME=QuorvaleID:" + tasks().entryId().toUtf8() +
                     "/e5f6.ics\n"));
    ASSERT_TRUE(QFile::rename(pathOf("e5f6.ics"), pathOf("g7h8.ics")));
    cache.clear();
    result = find(tasks().entryId() + "/e5f6.ics", 7);
    ASSERT_EQ(result.outcome, pim::RelocationOutcome::Found);
    EXPECT_EQ(result.item->subject, "Linked from khal");
}

TEST_F(ItemRelocationTest, OfTwoFilesWithTheSameUidTheOneOfTheTimeCardIsTakenAndTheChoiceLogged)
{
    const auto task = ownTask("Review contract", 7);
    const QString oldId = task->EntryID();
    const QByteArray content = contentOf(task->filePath());
    ASSERT_TRUE(QFile::remove(task->filePath()));
    // A conflict copy without the program's properties sorts first by name.
    put(pim::DefaultFolder::Tasks, "0-conflict.ics",
        taskFile(task->uid().toUtf8(), "Review contract (conflict)"));
    write(pathOf("z-synced.ics"), content);

    LogCapture log;
    const pim::RelocationResult result = find(oldId, 7);
    ASSERT_EQ(result.outcome, pim::RelocationOutcome::Found);
    EXPECT_EQ(result.item->fileName, "z-synced.ics");
    EXPECT_TRUE(logged("the only one whose TimeCardID is 7"));
    EXPECT_TRUE(logged("z-synced.ics"));
}

TEST_F(ItemRelocationTest, TwoFilesNothingTellsApartAreBothRefusedAndNamedInTheLog)
{
    const auto task = ownTask("Call counsel", 7);
    const QString oldId = task->EntryID();
    const QByteArray content = contentOf(task->filePath());
    ASSERT_TRUE(QFile::remove(task->filePath()));
    write(pathOf("copy-1.ics"), content);
    write(pathOf("copy-2.ics"), content);

    LogCapture log;
    pim::RelocationResult result = find(oldId, 7);
    EXPECT_EQ(result.outcome, pim::RelocationOutcome::Ambiguous);
    EXPECT_FALSE(result.item);
    EXPECT_EQ(result.claimants.size(), 2);
    EXPECT_TRUE(logged("copy-1.ics") && logged("copy-2.ics"));

    // Neither carries the TimeCard's property: no more telling them apart.
    write(pathOf("copy-1.ics"), taskFile(task->uid().toUtf8(), "one"));
    write(pathOf("copy-2.ics"), taskFile(task->uid().toUtf8(), "two"));
    result = find(oldId, 7);
    EXPECT_EQ(result.outcome, pim::RelocationOutcome::Ambiguous);
}

TEST_F(ItemRelocationTest, FilesWithoutUidOrWithBrokenLinesNeitherClaimNorStopTheSearch)
{
    const auto task = ownTask("Send the invoice", 7);
    const QString oldId = task->EntryID();
    const QString uid = task->uid();
    ASSERT_TRUE(QFile::remove(task->filePath()));
    // What other programs leave: no UID at all, LF line endings, a fold that
    // is no fold (a continuation without its leading space), half a file.
    put(pim::DefaultFolder::Tasks, "no-uid.ics", taskFile({}, "No UID here"));
    put(pim::DefaultFolder::Tasks, "broken-fold.ics",
        taskFile("broken@example.org", "Broken", "DESCRIPTION:first half\nsecond half\n"));
    put(pim::DefaultFolder::Tasks, "half.ics",
        "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:" + uid.toUtf8() + "\r\nSUMMARY:cut o");
    // The item itself, rewritten by a tool that writes LF line endings.
    put(pim::DefaultFolder::Tasks, "lf-endings.ics",
        taskFile(uid.toUtf8(), "Send the invoice",
                 "X-QUORVALE-TIMECARDID;X-QUORVALE-NAME=TimeCardID;X-QUORVALE-TYPE=NUMBER:7\n",
                 "\n"));

    LogCapture log;
    const pim::RelocationResult result = find(oldId, 7);
    ASSERT_EQ(result.outcome, pim::RelocationOutcome::Found);
    EXPECT_EQ(result.item->fileName, "lf-endings.ics");
    EXPECT_EQ(result.item->subject, "Send the invoice");
    // The half-written file is passed over with a note, never taken.
    EXPECT_TRUE(LogCapture::has("quorvale.pim.foldercache", "half.ics"));

    // With the item gone for good, the file without a UID is no match.
    ASSERT_TRUE(QFile::remove(pathOf("lf-endings.ics")));
    EXPECT_EQ(find(oldId, 7).outcome, pim::RelocationOutcome::Missing);
}

TEST_F(ItemRelocationTest, OtherFoldersOfTheKindAreSearchedOnlyWhenTheHomeFolderHasNoClaim)
{
    const pim::Folder archive =
        ns.createFolder(ns.defaultStore(), "Tasks archive", pim::ItemType::Task);
    const pim::Folder notes = folder(pim::DefaultFolder::Notes);
    const auto task = ownTask("Archived task", 7);
    const QString oldId = task->EntryID();
    const QByteArray content = contentOf(task->filePath());
    ASSERT_TRUE(QFile::remove(task->filePath()));
    write(QDir(archive.path()).filePath("moved.ics"), content);
    // A note folder is another kind: a file there is never taken for a task.
    write(QDir(notes.path()).filePath("moved.ics"), content);

    pim::RelocationResult result = find(oldId, 7);
    ASSERT_EQ(result.outcome, pim::RelocationOutcome::Found);
    EXPECT_EQ(result.item->entryId, archive.entryId() + "/moved.ics");

    // A copy back home wins over the other folders: they are not searched.
    write(pathOf("home-again.ics"), content);
    result = find(oldId, 7);
    ASSERT_EQ(result.outcome, pim::RelocationOutcome::Found);
    EXPECT_EQ(result.item->entryId, tasks().entryId() + "/home-again.ics");

    // The home folder itself gone: the kind given finds the folders to search.
    const QString lostFolderId = "no-such-folder/" + task->fileName();
    ASSERT_TRUE(QFile::remove(pathOf("home-again.ics")));
    result = find(lostFolderId, 7);
    ASSERT_EQ(result.outcome, pim::RelocationOutcome::Found);
    EXPECT_EQ(result.item->entryId, archive.entryId() + "/moved.ics");
}

TEST_F(ItemRelocationTest, ManyRenamedFilesOfOneFolderAreFoundWithOneReadOfIt)
{
    std::vector<QString> oldIds;
    for (int i = 0; i < 20; ++i) {
        const auto task = ownTask(QString("Task %1").arg(i), 7);
        oldIds.push_back(task->EntryID());
        rewriteUnderNewName(*task, QString("renamed-%1.ics").arg(i));
    }
    const pim::RelocationScope scope =
        pim::relocationScope(ns, oldIds.front(), tasks().storeId(), pim::ItemType::Task);
    std::vector<pim::RelocationRequest> requests;
    for (const QString &id : oldIds)
        requests.push_back({id, keysFor(7)});
    const auto results = pim::relocate(cache, scope, requests);
    ASSERT_TRUE(results);
    for (std::size_t i = 0; i < oldIds.size(); ++i) {
        ASSERT_EQ((*results)[i].outcome, pim::RelocationOutcome::Found) << i;
        EXPECT_EQ((*results)[i].item->fileName, QString("renamed-%1.ics").arg(i));
    }
    EXPECT_EQ(cache.stats().parsed, 20);

    // A cancelled search gives nothing rather than a half answer.
    pim::ScanControl cancelled{[] { return true; }, {}};
    EXPECT_FALSE(pim::relocate(cache, scope, requests, cancelled));
}
