#include "ui/frmAutoTasks.h"

#include "testsupport/QtPrinters.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace quorvale;

TEST(frmAutoTasks, EditsAreHandedBackAndTheChosenTaskIsCreated)
{
    QList<AutoTask> stored;
    QList<AutoTask> created;
    frmAutoTasks window(
        {AutoTask{"Call back", "Today", "None", "High", ""}},
        [&stored](const QList<AutoTask> &tasks) { stored = tasks; },
        [&created](const AutoTask &task) { created << task; });
    ASSERT_EQ(window.list()->count(), 1);

    // A new entry is added after the others, an edited one keeps its place.
    window.list()->setCurrentRow(-1);
    window.subject()->setText("  Send the statement ");
    window.findChild<QComboBox *>("cboDue")->setCurrentText("1 week");
    window.saveButton()->click();
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[1].subject, "Send the statement");
    EXPECT_EQ(stored[1].dueDate, "1 week");
    EXPECT_EQ(window.list()->currentRow(), 1);

    window.list()->setCurrentRow(0);
    window.subject()->setText("Return the call");
    window.saveButton()->click();
    EXPECT_EQ(stored[0].subject, "Return the call");
    EXPECT_EQ(stored[0].priority, "High");

    window.list()->setCurrentRow(1);
    window.createButton()->click();
    ASSERT_EQ(created.size(), 1);
    EXPECT_EQ(created[0], stored[1]);

    // An entry without a subject is not kept.
    window.list()->setCurrentRow(-1);
    window.subject()->clear();
    window.saveButton()->click();
    EXPECT_EQ(stored.size(), 2);
}
