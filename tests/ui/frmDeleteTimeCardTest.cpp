// The real delete dialog, offscreen: counts, option texts, Select All, the run
// with its progress bar, and the values it hands back. (A cancel is the
// delete's own test: the dialog only says no.)

#include "ui/frmDeleteTimeCard.h"

#include "testsupport/QtPrinters.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

QVariantMap someLinks()
{
    LinkCounts counts;
    counts.perKind = {2, 0, 3, 0, 1, 1, 0, 4};
    counts.journalEntry = true;
    return deleteDialogValues(counts);
}

} // namespace

TEST(frmDeleteTimeCard, ShowsEachKindWithItsCountAndOptions)
{
    frmDeleteTimeCard dialog(someLinks());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), " Delete TimeCard");
    EXPECT_EQ(dialog.countLabel(LinkKind::Tasks)->text(), "Tasks: 3");
    EXPECT_EQ(dialog.linkOnlyOption(LinkKind::TimedAppointments)->text(),
              "Delete the link to this TimeCard only.  The related Outlook appointments will NOT "
              "be deleted.");
    EXPECT_EQ(dialog.deleteItemsOption(LinkKind::Tasks)->text(),
              "Delete the link and the related Outlook tasks, including any assigned tasks.");
    EXPECT_EQ(dialog.deleteNowButton()->text(), "&Delete Now");

    // Link only until chosen otherwise; a kind without links offers nothing.
    EXPECT_EQ(dialog.choices().deleteItems, (std::array<bool, 8>{}));
    EXPECT_FALSE(dialog.deleteItemsOption(LinkKind::Notes)->isEnabled());
    QTest::mouseClick(dialog.selectAllButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.choices().deleteItems,
              (std::array<bool, 8>{true, false, true, false, true, true, false, true}));
    EXPECT_TRUE(dialog.choices().deleteJournalEntry);
}

TEST(frmDeleteTimeCard, DeleteNowRunsTheDeleteWithItsProgressAndHandsBackTheChoices)
{
    QVariantMap values = someLinks();
    DeleteChoices ran;
    QList<int> shown;
    QProgressBar *bar = nullptr;
    values.insert(DeleteDialogKey::Runner,
                  QVariant::fromValue(
                      DeleteRunner{[&](const DeleteChoices &c, const DeleteProgress &progress) {
                          ran = c;
                          for (int step = 1; step <= DeleteSteps; ++step) {
                              progress(step, DeleteSteps);
                              shown << bar->value();
                          }
                          return DeleteOutcome{true, {"a-file"}};
                      }}));
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<frmDeleteTimeCard *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        bar = dialog->progressBar();
        // On the button itself: a radio button takes clicks only on its circle and text.
        QTest::mouseClick(dialog->deleteItemsOption(LinkKind::Tasks), Qt::LeftButton, {},
                          QPoint(6, 10));
        dialog->journalEntryOption()->setChecked(true);
        QTest::mouseClick(dialog->deleteNowButton(), Qt::LeftButton);
    });

    ASSERT_TRUE(frmDeleteTimeCard::DeleteTimeCardDialog(values));

    EXPECT_TRUE(ran.deletes(LinkKind::Tasks));
    EXPECT_EQ(shown, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    const DeleteChoices back = deleteChoicesFrom(values);
    EXPECT_EQ(back.deleteItems, ran.deleteItems);
    EXPECT_TRUE(back.deleteJournalEntry);
    EXPECT_TRUE(values.value(DeleteDialogKey::Outcome).toBool());
    EXPECT_EQ(values.value(DeleteDialogKey::NotDeleted).toStringList(), QStringList{"a-file"});
}
