// Reads spread over the cores: every index is read once, in whatever order the
// threads take them; a cancel or a failure stops the rest, and a failure comes
// out to the caller; a folder read that way agrees with one read by a single
// thread.

#include "platform/pim/ParallelReads.h"

#include "IcalFixture.h"
#include "platform/pim/Items.h"
#include "platform/pim/TaskItem.h"

#include <QThread>
#include <atomic>
#include <stdexcept>
#include <vector>

using namespace quorvale;

namespace {

TEST(ParallelReadsTest, EveryIndexIsReadExactlyOnceAndProgressReachesTheEnd)
{
    for (const qsizetype count : {qsizetype(0), qsizetype(5), qsizetype(1000), qsizetype(1001)}) {
        std::vector<std::atomic<int>> reads(static_cast<std::size_t>(count));
        std::atomic<qsizetype> furthest{0};
        const pim::ScanControl control{{}, [&furthest](qsizetype done, qsizetype total) {
                                           EXPECT_LE(done, total);
                                           qsizetype seen = furthest.load();
                                           while (done > seen &&
                                                  !furthest.compare_exchange_weak(seen, done)) {
                                           }
                                       }};
        pim::readInParallel(count, control,
                            [&reads](qsizetype i) { ++reads[static_cast<std::size_t>(i)]; });
        for (qsizetype i = 0; i < count; ++i)
            ASSERT_EQ(reads[static_cast<std::size_t>(i)].load(), 1)
                << "index " << i << " of " << count;
        EXPECT_EQ(furthest.load(), count);
    }
}

TEST(ParallelReadsTest, ACancelStopsTheReadOnEveryThread)
{
    std::atomic<int> read{0};
    std::atomic<bool> cancelled{false};
    const pim::ScanControl control{[&cancelled] { return cancelled.load(); }, {}};
    pim::readInParallel(10'000, control, [&](qsizetype) {
        if (++read == 100)
            cancelled.store(true);
    });
    // Each thread may finish the file it was reading when the cancel came.
    EXPECT_GE(read.load(), 100);
    EXPECT_LE(read.load(), 100 + QThread::idealThreadCount());
}

TEST(ParallelReadsTest, AFailureOnAnyThreadComesOutAndStopsTheRest)
{
    std::atomic<int> read{0};
    EXPECT_THROW(pim::readInParallel(10'000, {},
                                     [&read](qsizetype i) {
                                         ++read;
                                         if (i == 5'000)
                                             throw std::runtime_error("unreadable");
                                     }),
                 std::runtime_error);
    EXPECT_LT(read.load(), 10'000);
}

class ParallelFolderReadTest : public test::IcalFixture {};

TEST_F(ParallelFolderReadTest, AFolderReadOnSeveralThreadsMatchesOneReadInOrder)
{
    const pim::Folder tasks = folder(pim::DefaultFolder::Tasks);
    for (int i = 0; i < 300; ++i) {
        auto task = add<pim::TaskItem>(pim::DefaultFolder::Tasks);
        task->setSubject(QStringLiteral("Task %1").arg(i));
        task->Save();
    }
    pim::FolderCache cache;
    const std::optional<pim::FolderScan> scan = cache.scan(tasks);
    ASSERT_TRUE(scan);
    EXPECT_EQ(cache.stats().parsed, 300);
    const QStringList names = pim::Items(tasks).fileNames();
    ASSERT_EQ(scan->items.size(), static_cast<std::size_t>(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const pim::ItemSummary &summary = scan->items[static_cast<std::size_t>(i)];
        ASSERT_EQ(summary.fileName, names.at(i));
        const std::unique_ptr<pim::Item> item = pim::readItem(tasks, names.at(i));
        ASSERT_TRUE(item);
        EXPECT_EQ(summary.subject, item->Subject());
    }
}

} // namespace
