// Folders read as a whole through the folder cache: files too large to be an
// item are passed over with a note in the log, a second read parses only what
// changed on disk, and a cancelled read leaves the cache as it was. Real item
// files in a scratch store.

#include "platform/pim/FolderCache.h"

#include "IcalFixture.h"
#include "platform/core/Money.h"
#include "platform/pim/IcalContentLines.h"
#include "platform/pim/IcalDocument.h"
#include "platform/pim/Items.h"
#include "platform/pim/TaskItem.h"
#include "testsupport/LogCapture.h"

#include <QFileInfo>
#include <thread>

using namespace quorvale;
using namespace quorvale::test;

namespace {

// Content of a kind's item file whose text field is `length` bytes long, folded
// as clients write it.
QByteArray itemWithLongText(pim::ItemType type, qsizetype length)
{
    QByteArray text;
    for (qsizetype written = 0; written < length; written += 74)
        text +=
            (written ? "\r\n " : "") + QByteArray(std::min<qsizetype>(74, length - written), 'x');
    if (type == pim::ItemType::Contact)
        return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:big\r\nFN:Big Card\r\nN:Card;Big;;;\r\nNOTE:" +
               text + "\r\nEND:VCARD\r\n";
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VTODO\r\nUID:big\r\n"
           "SUMMARY:Big task\r\nDESCRIPTION:" +
           text + "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
}

// A file of that kind at least `bytes` long and less than a folded line longer.
QByteArray itemOfSize(pim::ItemType type, qint64 bytes)
{
    qsizetype length = bytes;
    QByteArray content = itemWithLongText(type, length);
    while (content.size() > bytes + 74) {
        length -= (content.size() - bytes) * 74 / 77;
        content = itemWithLongText(type, length);
    }
    while (content.size() < bytes)
        content = itemWithLongText(type, length += 64);
    return content;
}

class FolderCacheTest : public IcalFixture {
protected:
    pim::Folder tasks() { return folder(pim::DefaultFolder::Tasks); }
    std::unique_ptr<pim::TaskItem> addTask(const QString &subject)
    {
        auto task = add<pim::TaskItem>(pim::DefaultFolder::Tasks);
        task->setSubject(subject);
        task->setDueDate(QDateTime(QDate(2031, 3, 4), QTime(17, 0)));
        task->Save();
        return task;
    }
    static QStringList subjects(const pim::FolderScan &scan)
    {
        QStringList list;
        for (const pim::ItemSummary &item : scan.items)
            list << item.subject;
        list.sort();
        return list;
    }
};

} // namespace

TEST(IcalContentLines, LongLinesReachLibicalFoldedAndReadBackWhole)
{
    // libical's line reader takes time in the square of a line's length: no
    // line it is handed may be longer than a folded one.
    const QByteArray description(200'000, 'd');
    const QByteArray foreign(30'000, 'f');
    const QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
                           "BEGIN:VTODO\r\nUID:long\r\nDESCRIPTION:" +
                           description + "\r\nX-OTHER-CLIENT:" + foreign +
                           "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    const std::optional<QByteArray> shielded = pim::icallines::shield(ics);
    ASSERT_TRUE(shielded);
    for (const QByteArray &line : shielded->split('\n'))
        EXPECT_LE(line.size(), 76) << line.left(40).toStdString();

    const std::optional<pim::IcalDocument> document =
        pim::IcalDocument::parse(ics, ICAL_VTODO_COMPONENT);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->text(ICAL_DESCRIPTION_PROPERTY).toLatin1(), description);
    EXPECT_TRUE(document->serialize().contains("X-OTHER-CLIENT:fff"));
}

TEST_F(FolderCacheTest, FilesJustAboveTheLimitArePassedOverWithANoteAndTheRestListed)
{
    struct Case {
        pim::DefaultFolder folder;
        const char *fileName;
        pim::ItemType type;
    };
    for (const Case &c : {Case{pim::DefaultFolder::Tasks, "huge.ics", pim::ItemType::Task},
                          Case{pim::DefaultFolder::Contacts, "huge.vcf", pim::ItemType::Contact}}) {
        SCOPED_TRACE(c.fileName);
        const pim::Folder target = folder(c.folder);
        std::unique_ptr<pim::Item> small = pim::newItem(target);
        small->setSubject("Small one");
        small->Save();
        const qint64 limit = pim::maxItemFileBytes(target.defaultItemType());
        const QString path = QDir(target.path()).filePath(c.fileName);
        write(path, itemOfSize(c.type, limit + 1));
        ASSERT_GT(QFileInfo(path).size(), limit);
        ASSERT_LT(QFileInfo(path).size(), limit + 1024);

        LogCapture log;
        pim::FolderCache cache;
        const std::optional<pim::FolderScan> scan = cache.scan(target);
        ASSERT_TRUE(scan);
        ASSERT_EQ(scan->items.size(), 1u);
        EXPECT_EQ(scan->items.front().fileName, small->fileName());
        EXPECT_EQ(scan->skipped, QStringList{c.fileName});
        EXPECT_EQ(cache.stats().tooLarge, 1);
        EXPECT_EQ(cache.stats().parsed, 1);
        const QList<LogCapture::Line> lines = LogCapture::lines();
        const bool noted = std::any_of(lines.begin(), lines.end(), [&](const auto &line) {
            return line.category == "quorvale.pim.foldercache" && line.text.contains(c.fileName);
        });
        EXPECT_TRUE(noted);
        // Asked for alone (a link to it), it is passed over too.
        EXPECT_FALSE(cache.item(target, c.fileName));

        // The folder's plain reading passes it over in the same way.
        pim::Items items(target);
        int read = 0;
        items.forEach([&](pim::Item &) { return ++read > 0; });
        EXPECT_EQ(read, 1);
        EXPECT_EQ(items.skipped(), QStringList{c.fileName});
    }
}

TEST_F(FolderCacheTest, SecondScanParsesOnlyWhatChangedAndMatchesAFreshRead)
{
    auto kept = addTask("Kept as it is");
    auto changed = addTask("Before the change");
    auto removed = addTask("Removed later");

    pim::FolderCache cache;
    const std::optional<pim::FolderScan> first = cache.scan(tasks());
    ASSERT_TRUE(first);
    EXPECT_EQ(subjects(*first),
              (QStringList{"Before the change", "Kept as it is", "Removed later"}));
    EXPECT_EQ(cache.stats().parsed, 3);

    // Unchanged folder: nothing is parsed again.
    const std::optional<pim::FolderScan> again = cache.scan(tasks());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->items, first->items);
    EXPECT_EQ(cache.stats().parsed, 3);
    EXPECT_EQ(cache.stats().reused, 3);

    // Same size, new content: the change must still be seen.
    changed->setSubject("After the change!");
    changed->Save();
    removed->Delete();
    auto added = addTask("Added later");
    const std::optional<pim::FolderScan> third = cache.scan(tasks());
    ASSERT_TRUE(third);
    EXPECT_EQ(subjects(*third), (QStringList{"Added later", "After the change!", "Kept as it is"}));
    EXPECT_EQ(cache.stats().parsed, 5); // the changed and the added file
    EXPECT_EQ(cache.stats().reused, 4); // the kept one
    EXPECT_EQ(cache.cachedFiles(tasks()), 3);

    pim::FolderCache fresh;
    const std::optional<pim::FolderScan> reference = fresh.scan(tasks());
    ASSERT_TRUE(reference);
    EXPECT_EQ(third->items, reference->items);

    // One item asked for alone comes from the same entries.
    const std::optional<pim::ItemSummary> one = cache.item(tasks(), kept->fileName());
    ASSERT_TRUE(one);
    EXPECT_EQ(one->subject, "Kept as it is");
    EXPECT_EQ(one->entryId, kept->EntryID());
    EXPECT_EQ(cache.stats().parsed, 5);
    EXPECT_FALSE(cache.item(tasks(), removed->fileName()));
}

TEST_F(FolderCacheTest, CancelledScanGivesNothingAndLeavesTheCacheAsItWas)
{
    for (int i = 0; i < 6; ++i)
        addTask(QStringLiteral("Task %1").arg(i));
    pim::FolderCache cache;
    ASSERT_TRUE(cache.scan(tasks()));
    const pim::FolderCacheStats before = cache.stats();

    // Every file changes; the scan is stopped after the third.
    for (const QString &name : pim::Items(tasks()).fileNames()) {
        std::unique_ptr<pim::Item> item = pim::readItem(tasks(), name);
        item->setSubject(item->Subject() + " (new)");
        item->Save();
    }
    int asked = 0;
    qsizetype reported = 0;
    const pim::ScanControl stopAfterThree{
        [&asked] { return ++asked > 3; },
        [&reported](qsizetype done, qsizetype) { reported = done; }};
    EXPECT_FALSE(cache.scan(tasks(), stopAfterThree));
    EXPECT_LT(reported, 6);
    EXPECT_EQ(cache.stats().parsed - before.parsed, 3);

    // Nothing of the stopped scan was kept: the next one reads every file anew
    // and sees every change.
    const std::optional<pim::FolderScan> next = cache.scan(tasks());
    ASSERT_TRUE(next);
    EXPECT_EQ(cache.stats().parsed - before.parsed, 3 + 6);
    for (const pim::ItemSummary &item : next->items)
        EXPECT_TRUE(item.subject.endsWith(" (new)")) << item.subject.toStdString();
}

TEST_F(FolderCacheTest, ScansOnSeveralThreadsAtOnceAgree)
{
    for (int i = 0; i < 40; ++i)
        addTask(QStringLiteral("Task %1").arg(i));
    pim::FolderCache cache;
    std::vector<std::optional<pim::FolderScan>> results(4);
    std::vector<std::thread> threads;
    const pim::Folder target = tasks();
    for (auto &result : results)
        threads.emplace_back([&cache, &result, target] { result = cache.scan(target); });
    for (std::thread &t : threads)
        t.join();
    pim::FolderCache fresh;
    const std::optional<pim::FolderScan> reference = fresh.scan(target);
    ASSERT_TRUE(reference);
    for (const auto &result : results) {
        ASSERT_TRUE(result);
        EXPECT_EQ(result->items, reference->items);
    }
    EXPECT_EQ(cache.cachedFiles(target), 40);
}

TEST_F(FolderCacheTest, SummariesKeptBetweenRunsAreTakenOnlyForFilesThatDidNotChange)
{
    for (int i = 0; i < 5; ++i)
        addTask(QStringLiteral("Task %1").arg(i));
    auto withProperties = addTask(QStringLiteral("With properties"));
    withProperties->userProperties().setValue("TimeCardID", pim::UserPropertyType::Number, 7);
    withProperties->userProperties().setValue("Fee", pim::UserPropertyType::Currency,
                                              QVariant::fromValue(Money::fromUnits(12'345)));
    withProperties->userProperties().setValue("Empty", pim::UserPropertyType::Text, QVariant());
    withProperties->Save();
    const QString kept = dir.filePath("summaries");
    pim::FolderCache lastRun;
    const std::optional<pim::FolderScan> first = lastRun.scan(tasks());
    ASSERT_TRUE(first);
    ASSERT_TRUE(lastRun.save(kept));
    EXPECT_EQ(QFileInfo(kept).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);

    // Meanwhile one task is changed and one deleted by another program.
    auto changed = readFile<pim::TaskItem>(pim::DefaultFolder::Tasks, first->items[0].fileName);
    changed->setSubject("Changed elsewhere");
    changed->Save();
    ASSERT_TRUE(QFile::remove(QDir(tasks().path()).filePath(first->items[1].fileName)));

    pim::FolderCache nextRun;
    ASSERT_TRUE(nextRun.load(kept));
    const std::optional<pim::FolderScan> again = nextRun.scan(tasks());
    ASSERT_TRUE(again);
    EXPECT_EQ(nextRun.stats().parsed, 1);
    EXPECT_EQ(nextRun.stats().reused, 4);
    pim::FolderCache fresh;
    const std::optional<pim::FolderScan> reference = fresh.scan(tasks());
    ASSERT_TRUE(reference);
    EXPECT_EQ(again->items, reference->items);
    EXPECT_TRUE(subjects(*again).contains("Changed elsewhere"));
}

TEST_F(FolderCacheTest, DamagedOrForeignSummaryFilesAreIgnored)
{
    addTask("One");
    pim::FolderCache cache;
    ASSERT_TRUE(cache.scan(tasks()));
    const QString kept = dir.filePath("summaries");
    ASSERT_TRUE(cache.save(kept));
    QFile file(kept);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();

    for (const QByteArray &bad :
         {whole.left(whole.size() / 2), QByteArray("not a summary file"), QByteArray()}) {
        write(kept, bad);
        pim::FolderCache next;
        EXPECT_FALSE(next.load(kept));
        EXPECT_EQ(next.cachedFiles(tasks()), 0);
        const std::optional<pim::FolderScan> scan = next.scan(tasks());
        ASSERT_TRUE(scan);
        EXPECT_EQ(subjects(*scan), QStringList{"One"});
    }
    EXPECT_FALSE(cache.load(dir.filePath("no such file")));
}
