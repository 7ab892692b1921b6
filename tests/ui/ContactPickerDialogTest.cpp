// The contact picker window offscreen on a real program database, driven from
// the keyboard only.

#include "ui/ContactPickerDialog.h"

#include "data/DatabaseSettings.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "testsupport/ProgramFiles.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
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

// A list longer than the picker opens with: a head of "Firm" contacts by
// account, and after them one only the rest of the list holds.
struct LongContactList : ContactPickerDialogTest {
    qint32 last = 0;

    void SetUp() override
    {
        ContactPickerDialogTest::SetUp();
        db::Transaction tx(cnn);
        const QString insert = QStringLiteral(
            "INSERT INTO tblContacts (ContactName, ContactAccount, Active) VALUES (?, ?, -1)");
        for (int i = 0; i < ContactPicker::FirstRows; ++i)
            cnn.execute(insert, {QStringLiteral("Firm %1").arg(i),
                                 QStringLiteral("A-%1").arg(i, 4, 10, QChar(u'0'))});
        last = qint32(cnn.insertReturningKey(insert,
                                             {QStringLiteral("Zephyr Lane"), QStringLiteral("Z-1")},
                                             QStringLiteral("ContactID")));
        tx.commit();
    }
    static QString countText(const ContactPickerDialog &dialog)
    {
        QStringList texts;
        for (const QLabel *label : dialog.findChildren<QLabel *>())
            if (!label->buddy())
                texts << label->text();
        return texts.join(u' ');
    }
};

TEST_F(LongContactList, EnterBeforeTheRestCameChoosesFromTheWholeList)
{
    ContactPickerDialog dialog(cnn, QStringLiteral("Client"));
    // Nothing has run the window's events yet: the rest cannot have come in.
    EXPECT_FALSE(dialog.complete());
    EXPECT_EQ(dialog.contactList()->model()->rowCount(), ContactPicker::FirstRows);
    EXPECT_TRUE(countText(dialog).contains(QStringLiteral("reading the rest")));

    dialog.show();
    QTest::keyClicks(dialog.searchField(), QStringLiteral("zephyr"));
    QTest::keyClick(dialog.searchField(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.chosen());
    EXPECT_EQ(*dialog.chosen(), (PickedContact{last, "Zephyr Lane"}));
}

TEST_F(LongContactList, KeysTypedAheadOfTheRestMoveInTheWholeList)
{
    ContactPickerDialog dialog(cnn, QStringLiteral("Client"));
    dialog.show();
    // Firm 19 and Firm 190 on are in the head, Firm 197 to 199 only in the rest:
    // ten rows down is Firm 199 in the whole list, the last of the head in the head.
    QTest::keyClicks(dialog.searchField(), QStringLiteral("firm 19"));
    QTest::keyClick(dialog.searchField(), Qt::Key_PageDown);
    QTest::keyClick(dialog.searchField(), Qt::Key_Return);
    ASSERT_TRUE(dialog.chosen());
    EXPECT_EQ(dialog.chosen()->ContactName, QStringLiteral("Firm 199"));
}

TEST_F(LongContactList, TheRestFillsInWithoutMovingTheChoice)
{
    ContactPickerDialog dialog(cnn, QStringLiteral("Client"));
    dialog.show();
    QTest::keyClick(dialog.searchField(), Qt::Key_Down);
    QTest::keyClick(dialog.searchField(), Qt::Key_Down);
    ASSERT_TRUE(dialog.selected());
    const PickedContact third = *dialog.selected();

    QTRY_VERIFY_WITH_TIMEOUT(dialog.complete(), 10000);
    // The three of the fixture, every Firm and Zephyr Lane.
    const int all = 3 + ContactPicker::FirstRows + 1;
    EXPECT_EQ(dialog.contactList()->model()->rowCount(), all);
    EXPECT_EQ(countText(dialog), QStringLiteral("%1 matches").arg(all));
    ASSERT_TRUE(dialog.selected());
    EXPECT_EQ(*dialog.selected(), third);
}

TEST_F(LongContactList, ARestThatCannotBeReadIsToldAndTheHeadStaysToChooseFrom)
{
    // The database file is gone from its place: this connection still reads it,
    // a new one cannot open it.
    ASSERT_TRUE(QFile::rename(files.dataFile(), files.dataFile() + QStringLiteral(".moved")));
    ContactPickerDialog dialog(cnn, QStringLiteral("Client"));
    dialog.show();
    QTRY_VERIFY_WITH_TIMEOUT(countText(dialog).contains(QStringLiteral("could not be read")),
                             10000);
    EXPECT_TRUE(countText(dialog).contains(QStringLiteral("Could not find file")))
        << countText(dialog).toStdString();
    EXPECT_FALSE(dialog.complete());
    QTest::keyClicks(dialog.searchField(), QStringLiteral("firm 7"));
    QTest::keyClick(dialog.searchField(), Qt::Key_Return);
    ASSERT_TRUE(dialog.chosen());
    EXPECT_EQ(dialog.chosen()->ContactName, QStringLiteral("Firm 7"));
}

TEST_F(LongContactList, ClosingWhileTheRestIsReadLeavesNoConnectionBehind)
{
    const qsizetype connections = QSqlDatabase::connectionNames().size();
    {
        ContactPickerDialog dialog(cnn, QStringLiteral("Client"));
        EXPECT_FALSE(dialog.complete());
    }
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), connections);
}

} // namespace
