// The contact picker window offscreen on a real program database, driven from
// the keyboard only.

#include "ui/ContactPickerDialog.h"

#include "data/DatabaseSettings.h"
#include "platform/db/Connection.h"
#include "testsupport/ProgramFiles.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

struct ContactPickerDialogTest : ::testing::Test {
    test::ProgramFiles files;
    db::Connection cnn;
    qint32 bakery = 0, barber = 0;

    void SetUp() override
    {
        cnn.open(files.programConnectString());
        files.addContact(QStringLiteral("Alder & Co"));
        bakery = files.addContact(QStringLiteral("Birch's Bakery"));
        barber = files.addContact(QStringLiteral("Barber's Bar"));
        files.addContact(QStringLiteral("Bakery Closed"), false);
    }
};

TEST_F(ContactPickerDialogTest, TypingAndEnterPickTheFirstMatch)
{
    ContactPickerDialog dialog(cnn, QStringLiteral("Client"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.searchField());
    EXPECT_EQ(dialog.contactList()->model()->rowCount(), 3);

    QTest::keyClicks(dialog.searchField(), QStringLiteral("'S BA"));
    EXPECT_EQ(dialog.contactList()->model()->rowCount(), 2);
    QTest::keyClick(dialog.searchField(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.chosen());
    // Without an account the list runs by name: the barber comes first.
    EXPECT_EQ(*dialog.chosen(), (PickedContact{barber, "Barber's Bar"}));
}

TEST_F(ContactPickerDialogTest, ArrowsMoveTheChoiceAndEscapeChoosesNothing)
{
    ContactPickerDialog dialog(cnn, QStringLiteral("Client"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClicks(dialog.searchField(), QStringLiteral("b"));
    QTest::keyClick(dialog.searchField(), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), dialog.searchField());
    ASSERT_TRUE(dialog.selected());
    EXPECT_EQ(dialog.selected()->QuorvaleID, bakery);

    // Nothing matches: Enter keeps the window open.
    QTest::keyClicks(dialog.searchField(), QStringLiteral("'; DROP TABLE tblContacts; --"));
    EXPECT_EQ(dialog.contactList()->model()->rowCount(), 0);
    QTest::keyClick(dialog.searchField(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());

    QTest::keyClick(dialog.searchField(), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.chosen());
}

TEST_F(ContactPickerDialogTest, EveryControlIsNamedForAScreenReader)
{
    ContactPickerDialog dialog(cnn, QStringLiteral("Client"));
    EXPECT_FALSE(dialog.searchField()->accessibleName().isEmpty());
    EXPECT_FALSE(dialog.contactList()->accessibleName().isEmpty());
    QStringList buddies;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        if (label->buddy())
            buddies << label->text();
    EXPECT_EQ(buddies, (QStringList{"&Search:", "&Clients:"}));
}

} // namespace
