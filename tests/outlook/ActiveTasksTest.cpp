// The active-task list of a TimeCard from its tblTasks rows and the real task
// files: which tasks are offered and which are left out.

#include "outlook/ActiveTasks.h"

#include "data/DatabaseSettings.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/TaskItem.h"
#include "testsupport/ProgramFiles.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

struct ActiveTasksTest : ::testing::Test {
    test::ProgramFiles files;
    db::Connection cnn;
    pim::Namespace session{files.programDir() + QStringLiteral("/Items")};
    pim::Folder tasks = session.GetDefaultFolder(pim::DefaultFolder::Tasks);
    qint32 card = 0;

    void SetUp() override
    {
        cnn.open(files.programConnectString());
        card = files.addTimeCard(1, 0);
    }

    // A task linked to the card; returns its TaskID.
    qint32 link(const QString &entryId)
    {
        return static_cast<qint32>(
            cnn.insertReturningKey(QStringLiteral("INSERT INTO tblTasks (TimeCardID, EntryID) "
                                                  "VALUES (?, ?)"),
                                   {card, entryId}, QStringLiteral("TaskID")));
    }
    QString task(const QString &subject, int delegationState = 0)
    {
        std::unique_ptr<pim::Item> item = pim::Items(tasks).Add();
        item->setSubject(subject);
        if (delegationState != 0)
            static_cast<pim::TaskItem &>(*item).setDelegationState(delegationState);
        item->Save();
        return item->EntryID();
    }
    std::vector<ActiveTaskEntry> fill(qint64 timeCardId)
    {
        db::Command tasksOfTimeCard(
            cnn, QStringLiteral("Select TaskID, EntryID From tblTasks WHERE TimeCardID = ?"));
        return FillActiveTasks(tasksOfTimeCard, session, tasks.storeId(), timeCardId);
    }
};

TEST_F(ActiveTasksTest, ListsTheUsersOwnReadableTasksAfterNone)
{
    const qint32 own = link(task("Draft the lease"));
    const qint32 declined = link(task("Declined by Sam", 3));
    link(task("Waiting for Sam", 1));
    link(task("Accepted by Sam", 2));
    link(QStringLiteral("no-such-folder/no-such-item"));
    const QString gone = task("Deleted since");
    link(gone);
    session.itemFromId(gone, tasks.storeId())->Delete();

    EXPECT_EQ(fill(card),
              (std::vector<ActiveTaskEntry>{
                  {0, "(None)"}, {own, "Draft the lease"}, {declined, "Declined by Sam"}}));
}

TEST_F(ActiveTasksTest, ANewTimeCardOrOneWithoutTasksHasNoneOnly)
{
    link(task("Someone else's card"));
    const std::vector<ActiveTaskEntry> none{{0, "(None)"}};
    EXPECT_EQ(fill(0), none);
    EXPECT_EQ(fill(files.addTimeCard(1, 0)), none);
}

} // namespace
