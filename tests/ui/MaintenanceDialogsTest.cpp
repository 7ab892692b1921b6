// The contact and activity maintenance windows, offscreen, on a real program
// database: editing from the keyboard and saving.

#include "platform/db/Connection.h"
#include "testsupport/ProgramFiles.h"
#include "ui/ActivityMaintenanceDialog.h"
#include "ui/ContactMaintenanceDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

} // namespace

TEST(ContactMaintenanceDialog, EditsAndSavesTheChosenContact)
{
    test::ProgramFiles files;
    files.addContact("Acme");
    const qint32 beta = files.addContact("Beta");
    db::Connection cnn;
    cnn.open(files.programConnectString());
    Terms terms;
    terms.contact = "Customer";

    ContactMaintenanceDialog dialog(cnn, terms, nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), "Customer List");
    ASSERT_EQ(dialog.list()->count(), 2);
    EXPECT_EQ(dialog.nameEdit()->text(), "Acme");

    // Every field is named for a screen reader and reached in reading order.
    for (QLineEdit *edit : dialog.findChildren<QLineEdit *>())
        EXPECT_FALSE(edit->accessibleName().isEmpty());
    dialog.nameEdit()->setFocus();
    QTest::keyClick(&dialog, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.accountEdit());

    dialog.list()->setCurrentRow(1);
    EXPECT_EQ(dialog.nameEdit()->text(), "Beta");
    EXPECT_EQ(dialog.realizationEdit()->text(), "100%");
    retype(dialog.nameEdit(), "Beta \"B\" O'Neil");
    retype(dialog.accountEdit(), "B-7");
    retype(dialog.realizationEdit(), "85.5%");
    retype(dialog.rateEdit(2), "125.1234");
    // Billed in quarter hours, to the nearest: the rounding is offered only
    // once there is an increment.
    EXPECT_FALSE(dialog.roundingChoice()->isEnabled());
    dialog.incrementChoice()->setCurrentIndex(dialog.incrementChoice()->findData(15));
    EXPECT_TRUE(dialog.roundingChoice()->isEnabled());
    dialog.roundingChoice()->setCurrentIndex(1);
    EXPECT_TRUE(dialog.hasUnsavedEdits());
    // Enter in a field saves.
    QTest::keyClick(dialog.rateEdit(2), Qt::Key_Return);

    EXPECT_FALSE(dialog.hasUnsavedEdits());
    EXPECT_EQ(dialog.statusText(), "Saved.");
    EXPECT_EQ(dialog.list()->currentItem()->text(), "Beta \"B\" O'Neil");
    EXPECT_EQ(dialog.rateEdit(2)->text(), "125.1234");
    EXPECT_EQ(dialog.realizationEdit()->text(), "85.5%");
    const auto stored = [&](const char *column) {
        return files.scalar(files.dataFile(),
                            QStringLiteral("SELECT %1 FROM tblContacts WHERE ContactID = ?")
                                .arg(QLatin1String(column)),
                            {beta});
    };
    EXPECT_EQ(stored("ContactName").toString(), "Beta \"B\" O'Neil");
    EXPECT_EQ(stored("ContactAccount").toString(), "B-7");
    EXPECT_EQ(stored("Rate2").toLongLong(), 1251234);
    EXPECT_DOUBLE_EQ(stored("TimeRealization").toDouble(), 0.855);
    EXPECT_EQ(stored("BillingIncrement").toInt(), 15);
    EXPECT_EQ(stored("BillingRounding").toInt(), 1);

    // A new contact starts empty and active, and joins the list when saved.
    QTest::mouseClick(dialog.newButton(), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), dialog.nameEdit());
    EXPECT_TRUE(dialog.nameEdit()->text().isEmpty());
    EXPECT_TRUE(dialog.activeBox()->isChecked());
    QTest::keyClicks(dialog.nameEdit(), "Cobalt");
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.list()->count(), 3);
    EXPECT_EQ(dialog.list()->currentItem()->text(), "Cobalt");
}

TEST(ActivityMaintenanceDialog, SavesAnActivityOfItsLevelForOneContact)
{
    test::ProgramFiles files;
    const qint32 acme = files.addContact("Acme");
    db::Connection cnn;
    cnn.open(files.programConnectString());
    Terms terms;
    terms.activity2 = "Matter";

    ActivityMaintenanceDialog dialog(cnn, ActivityLevel::Activity2, terms);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), "Matter List");
    EXPECT_EQ(dialog.list()->count(), 0);
    EXPECT_FALSE(dialog.deleteButton()->isEnabled());

    QTest::keyClicks(dialog.nameEdit(), "Lease review");
    QTest::keyClicks(dialog.numberEdit(), "07");
    dialog.contactBox()->setFocus();
    QTest::keyClick(dialog.contactBox(), Qt::Key_Down); // from every contact to Acme
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);

    ASSERT_EQ(dialog.list()->count(), 1);
    EXPECT_EQ(dialog.list()->item(0)->text(), "07 Lease review");
    EXPECT_EQ(files.scalar(files.dataFile(), "SELECT ContactID FROM tblSubActivities").toInt(),
              acme);
    EXPECT_FALSE(files.scalar(files.dataFile(), "SELECT 1 FROM tblMainActivities").isValid());
}
