#include "platform/pim/TaskItem.h"

#include "IcalFixture.h"

using namespace quorvale;
using namespace quorvale::pim;

namespace {

class TaskItemTest : public test::IcalFixture {};

TEST_F(TaskItemTest, AssignedTaskReadsBack)
{
    auto task = add<TaskItem>(DefaultFolder::Tasks);
    ASSERT_TRUE(task);
    const QDateTime due(QDate(2024, 6, 30), QTime(17, 0));
    task->setSubject(QStringLiteral("Call back"));
    task->setDueDate(due);
    task->setStartDate(due.addDays(-2));
    task->setImportance(2);
    task->setStatus(3);
    task->setReminderSet(true);
    task->setReminderTime(due.addSecs(-3600));
    task->setActualWork(75);
    task->setTotalWork(120);
    task->setContacts(QStringLiteral("Ann Lee"));
    task->Assign();
    task->addRecipient(QStringLiteral("Bob Roe"), QStringLiteral("bob@example.org"));
    task->setOwner(QStringLiteral("Me"), QStringLiteral("me@example.org"));
    task->Save();

    auto read = reread<TaskItem>(*task);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->DueDate(), due);
    EXPECT_EQ(read->StartDate(), due.addDays(-2));
    EXPECT_EQ(read->Importance(), 2);
    EXPECT_EQ(read->Status(), 3);
    EXPECT_TRUE(read->ReminderSet());
    EXPECT_EQ(read->ReminderTime(), due.addSecs(-3600));
    EXPECT_EQ(read->ActualWork(), 75);
    EXPECT_EQ(read->TotalWork(), 120);
    EXPECT_EQ(read->Contacts(), QStringLiteral("Ann Lee"));
    EXPECT_EQ(read->DelegationState(), 1);
    ASSERT_EQ(read->Recipients().size(), 1);
    EXPECT_EQ(read->Recipients().front().name, QStringLiteral("Bob Roe"));
    EXPECT_EQ(read->Owner(), QStringLiteral("Me"));
    const QByteArray text = contentOf(read->filePath());
    EXPECT_TRUE(text.contains("PRIORITY:1"));
    EXPECT_TRUE(text.contains("STATUS:IN-PROCESS"));
    EXPECT_TRUE(text.contains("PARTSTAT=NEEDS-ACTION"));

    // The assignee's answer, recorded by another client, is the delegation state.
    QByteArray answered = text;
    write(read->filePath(), answered.replace("PARTSTAT=NEEDS-ACTION", "PARTSTAT=DECLINED"));
    EXPECT_EQ(reread<TaskItem>(*read)->DelegationState(), 3);
}

TEST_F(TaskItemTest, StatusFollowsWhatOtherClientsDid)
{
    auto task = add<TaskItem>(DefaultFolder::Tasks);
    task->setStatus(4);
    task->Save();
    QByteArray text = contentOf(task->filePath());
    // Deferred stays on other clients' lists.
    EXPECT_TRUE(text.contains("STATUS:NEEDS-ACTION")) << text.constData();
    EXPECT_EQ(reread<TaskItem>(*task)->Status(), 4);

    write(task->filePath(), QByteArray(text).replace("STATUS:NEEDS-ACTION", "STATUS:COMPLETED"));
    auto done = reread<TaskItem>(*task);
    EXPECT_EQ(done->Status(), 2);
    EXPECT_TRUE(done->Complete());
    write(task->filePath(), QByteArray(text).replace("STATUS:NEEDS-ACTION", "STATUS:CANCELLED"));
    EXPECT_EQ(reread<TaskItem>(*task)->Status(), 4);
    write(task->filePath(), QByteArray(text).replace("STATUS:NEEDS-ACTION", "STATUS:IN-PROCESS"));
    EXPECT_EQ(reread<TaskItem>(*task)->Status(), 1);
}

TEST_F(TaskItemTest, CompletingSetsAndClearsTheCompletionData)
{
    auto task = add<TaskItem>(DefaultFolder::Tasks);
    task->MarkComplete();
    task->Save();
    QByteArray text = contentOf(task->filePath());
    EXPECT_TRUE(text.contains("STATUS:COMPLETED"));
    EXPECT_TRUE(text.contains("PERCENT-COMPLETE:100"));
    EXPECT_TRUE(text.contains("\nCOMPLETED:"));
    auto read = reread<TaskItem>(*task);
    EXPECT_TRUE(read->DateCompleted().isValid());
    read->setComplete(false);
    read->Save();
    text = contentOf(task->filePath());
    EXPECT_FALSE(text.contains("\nCOMPLETED:"));
    EXPECT_TRUE(text.contains("PERCENT-COMPLETE:0"));
    EXPECT_EQ(reread<TaskItem>(*task)->Status(), 0);
}

} // namespace
