// The mass edit dialog offscreen over a demo database, opened by the main
// window's command: what the person sets reaches every shown TimeCard and the
// window shows it afterwards.

#include "ui/frmMassEdit.h"

#include "DemoProgramFixture.h"
#include "data/DataStore.h"
#include "outlook/OutlookSession.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/Clock.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCardEditor.h"
#include "ui/ContactPickerDialog.h"
#include "ui/MainWindowHost.h"
#include "ui/frmTimeCard.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

struct MassEditWindow : public test::DemoProgramFixture {
    void SetUp() override
    {
        makeDemo();
        ASSERT_NO_FATAL_FAILURE(startProgram());
    }
};

} // namespace

TEST_F(MassEditWindow, TheCommandEditsEveryShownTimeCardAndTheWindowShowsIt)
{
    const int shown = startUp->workingSet().timeCards().recordCount();
    ASSERT_GT(shown, 1);
    const qint32 user = startUp->settings().userId;
    const QVariant statusBefore = cnn().scalar(
        "SELECT MIN(BillStatus) FROM tblTimeCards WHERE UserID = ? AND InvoiceID IS NULL", {user});
    // A task linked to the shown TimeCard follows the new activity.
    const qint64 current = host->editor().currentTimeCardId().value();
    auto task = pim::Items(*startUp->outlook().folder(FolderSlot::Tasks)).Add();
    task->setSubject("Linked task");
    task->Save();
    cnn().execute("INSERT INTO tblTasks (TimeCardID, EntryID) VALUES (?, ?)",
                  {current, task->EntryID()});
    qint32 activity = 0;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), "Quorvale Mass Edit");
        for (QLabel *label : dialog->findChildren<QLabel *>()) {
            if (!label->text().isEmpty()) {
                EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
            }
        }
        auto *activities = dialog->findChild<QComboBox *>("cboActivity1");
        activities->setCurrentIndex(activities->count() - 1);
        activity = activities->currentData().toInt();
        auto *category = dialog->findChild<QLineEdit *>("txtCategory");
        category->setFocus();
        QTest::keyClicks(category, "Mass \"edited\"");
        // A time that is no duration is refused before anything is asked.
        QTest::keyClicks(dialog->findChild<QLineEdit *>("txtTimeEstimated"), "1:30:xx");
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdApply"), Qt::LeftButton);
        ASSERT_EQ(prompts.messages().size(), 1);
        EXPECT_TRUE(prompts.messages().last().text.startsWith("\"1:30:xx\" is not a time."));
        EXPECT_TRUE(dialog->isVisible());
        auto *estimated = dialog->findChild<QLineEdit *>("txtTimeEstimated");
        EXPECT_EQ(estimated->text(), "1:30:xx");
        // Hours and minutes, as people write them.
        estimated->selectAll();
        QTest::keyClicks(estimated, "1:30");
        prompts.answer(PromptResult::Yes);
        prompts.answerDialog(true);
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdApply"), Qt::LeftButton);
    });
    host->window().abMainMenu_ToolClick(ToolId::MassEdit);

    ASSERT_TRUE(seen);
    EXPECT_EQ(prompts.messages().last().text,
              QString("Are you sure you want to apply this change to %1 records?").arg(shown));
    EXPECT_EQ(cnn()
                  .scalar("SELECT COUNT(*) FROM tblTimeCards WHERE UserID = ? AND InvoiceID IS "
                          "NULL AND Category = 'Mass \"edited\"'",
                          {user})
                  .toInt(),
              shown);
    EXPECT_EQ(cnn()
                  .scalar("SELECT COUNT(*) FROM tblTimeCards WHERE UserID = ? AND InvoiceID IS "
                          "NULL AND TimeEstimated = '0013000'",
                          {user})
                  .toInt(),
              shown);
    ASSERT_NE(activity, 0);
    EXPECT_EQ(cnn()
                  .scalar("SELECT COUNT(*) FROM tblTimeCards WHERE UserID = ? AND InvoiceID IS "
                          "NULL AND Activity1ID = ?",
                          {user, activity})
                  .toInt(),
              shown);
    const auto linked = startUp->outlook().nameSpace().itemFromId(task->EntryID(), {});
    ASSERT_TRUE(linked);
    EXPECT_EQ(
        linked->userProperties().value(startUp->options().terms.activity1).toString(),
        cnn()
            .scalar("SELECT ActivityName FROM tblMainActivities WHERE ActivityID = ?", {activity})
            .toString());
    // Its journal entry mirrors the stored TimeCard again.
    const auto entry = startUp->outlook().nameSpace().itemFromId(
        cnn()
            .scalar("SELECT JournalEntryID FROM tblTimeCards WHERE TimeCardID = ?", {current})
            .toString(),
        {});
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->CategoriesText().contains("edited"))
        << entry->CategoriesText().toStdString();
    EXPECT_EQ(cnn().scalar("SELECT MIN(BillStatus) FROM tblTimeCards WHERE UserID = ? AND "
                           "InvoiceID IS NULL",
                           {user}),
              statusBefore);
    EXPECT_EQ(host->window().findChild<QLineEdit *>("txtCategory")->text(), "Mass \"edited\"");
    EXPECT_EQ(host->window().statusBar()->currentMessage(), "Review");
    EXPECT_EQ(prompts.unusedAnswers(), 0u);

    // With nothing shown there is nothing to edit.
    ASSERT_TRUE(startUp->workingSet().setFilter(SqlFragment{" AND 1 = 0", {}}));
    host->window().abMainMenu_ToolClick(ToolId::MassEdit);
    EXPECT_EQ(prompts.messages().last().title, "Mass Edit");
    EXPECT_EQ(prompts.messages().last().text, "No records to edit.");
}

TEST_F(MassEditWindow, AnActivityChosenOnTheWindowReachesItsChargesUnlessCancelled)
{
    TimeCardEditor &editor = host->editor();
    const qint64 id = editor.currentTimeCardId().value();
    const QVariant before = editor.timeCards().value("Activity1ID");
    cnn().execute("INSERT INTO tblExpenses (TimeCardID, UserID, Activity1ID) VALUES (?, ?, ?)",
                  {id, startUp->settings().userId, before});
    const auto expenseActivity = [&] {
        return cnn().scalar("SELECT Activity1ID FROM tblExpenses WHERE TimeCardID = ?", {id});
    };
    auto *box = host->window().findChild<QComboBox *>("cbActivity1");
    ASSERT_NE(box, nullptr);
    int other = -1;
    for (int i = 1; i < box->count() && other < 0; ++i)
        if (box->itemData(i) != before)
            other = i;
    ASSERT_GT(other, 0);

    prompts.answerDialog(false);
    box->setCurrentIndex(other);
    Q_EMIT box->activated(other);
    EXPECT_EQ(prompts.dialogs().last().name, "UpdatePrompt");
    EXPECT_EQ(editor.timeCards().value("Activity1ID"), before);
    EXPECT_EQ(box->currentData().toInt(), before.toInt());
    EXPECT_EQ(expenseActivity(), before);

    prompts.answerDialog(true);
    box->setCurrentIndex(other);
    Q_EMIT box->activated(other);
    EXPECT_EQ(editor.timeCards().value("Activity1ID").toInt(), box->itemData(other).toInt());
    EXPECT_EQ(expenseActivity().toInt(), box->itemData(other).toInt());
    EXPECT_EQ(prompts.unusedAnswers(), 0u);
}

TEST_F(MassEditWindow, AContactChosenOnTheWindowReachesItsChargesUnlessCancelled)
{
    TimeCardEditor &editor = host->editor();
    const qint64 id = editor.currentTimeCardId().value();
    const QVariant before = editor.timeCards().value("ContactID");
    cnn().execute("INSERT INTO tblContacts (ContactName, Active) VALUES ('Zephyr Quill', -1)");
    const QVariant zephyr =
        cnn().scalar("SELECT ContactID FROM tblContacts WHERE ContactName = 'Zephyr Quill'");
    cnn().execute("INSERT INTO tblFixedCharges (TimeCardID, UserID, ContactID) VALUES (?, ?, ?)",
                  {id, startUp->settings().userId, before});
    const auto chargeContact = [&] {
        return cnn().scalar("SELECT ContactID FROM tblFixedCharges WHERE TimeCardID = ?", {id});
    };
    const auto choose = [&] {
        QTimer::singleShot(0, [] {
            auto *picker = qobject_cast<ContactPickerDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(picker, nullptr);
            QTest::keyClicks(picker->searchField(), "Zephyr");
            QTest::keyClick(picker->searchField(), Qt::Key_Return);
        });
        host->window().abMainMenu_ToolClick(ToolId::SelectContact);
    };

    prompts.answerDialog(false);
    choose();
    EXPECT_EQ(editor.timeCards().value("ContactID"), before);
    EXPECT_EQ(chargeContact(), before);

    prompts.answerDialog(true);
    choose();
    EXPECT_EQ(editor.timeCards().value("ContactID").toInt(), zephyr.toInt());
    EXPECT_EQ(chargeContact().toInt(), zephyr.toInt());
    EXPECT_EQ(prompts.dialogs().last().name, "UpdatePrompt");
}

TEST_F(MassEditWindow, AnEditTheDatabaseRefusesClosesTheDialogForTheCommonHandler)
{
    cnn().execute("CREATE TEMP TRIGGER refuse BEFORE UPDATE OF Category ON link0.tblTimeCards "
                  "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    prompts.answer(PromptResult::Yes);
    bool closed = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::keyClicks(dialog->findChild<QLineEdit *>("txtCategory"), "Refused");
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdApply"), Qt::LeftButton);
        closed = !dialog->isVisible();
    });
    host->window().abMainMenu_ToolClick(ToolId::MassEdit);
    EXPECT_TRUE(closed) << "no dead dialog with its Apply button off";
    EXPECT_EQ(errors.errorCount(), 5);
    EXPECT_EQ(cnn().scalar("SELECT COUNT(*) FROM tblTimeCards WHERE Category = 'Refused'").toInt(),
              0);
    const QStringList files = QDir(tmp.filePath("reports")).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    QFile file(QDir(tmp.filePath("reports")).filePath(files.front()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("frmMassEdit: cmdApply_Click"));

    // So does a contact list that cannot be read.
    closed = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        cnn().execute("ALTER TABLE tblContacts RENAME TO tblGone");
        dialog->findChild<QToolButton *>("abSelectContact")->click();
        cnn().execute("ALTER TABLE tblGone RENAME TO tblContacts");
        closed = !dialog->isVisible();
    });
    host->window().abMainMenu_ToolClick(ToolId::MassEdit);
    EXPECT_TRUE(closed);
    EXPECT_EQ(errors.errorCount(), 10);
}
