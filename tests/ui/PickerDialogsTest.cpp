// The category and participant pickers, offscreen: what they choose on
// opening, what OK hands back and what Cancel leaves alone.

#include "testsupport/QtPrinters.h"
#include "ui/frmSelectCategories.h"
#include "ui/frmSelectParticipants.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

void clickItem(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

QStringList selectedTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected())
            texts << list->item(i)->text();
    }
    return texts;
}

// Runs `act` on the picker once its modal loop has started.
template <typename Dialog, typename Act> void whenOpen(Act act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

const QStringList Master{"Blue", "Client", "Clients", "Red", "Travel"};

} // namespace

TEST(frmSelectCategories, ChoosesTheNamesInTheCurrentTextAndHandsBackTheNewChoice)
{
    whenOpen<frmSelectCategories>([](frmSelectCategories *picker) {
        EXPECT_EQ(selectedTexts(picker->list()), (QStringList{"Client", "Clients", "Travel"}));
        for (int row : {1, 2, 4}) // deselect them
            clickItem(picker->list(), row);
        clickItem(picker->list(), 3); // Red, then Blue: the text keeps the list's order
        clickItem(picker->list(), 0);
        QTest::mouseClick(picker->okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(frmSelectCategories::pick(nullptr, Master, "Clients, Travel"), "Blue, Red");

    whenOpen<frmSelectCategories>([](frmSelectCategories *picker) {
        clickItem(picker->list(), 0);
        QTest::keyClick(picker, Qt::Key_Escape);
        EXPECT_EQ(picker->categoryText(), "Travel");
    });
    EXPECT_EQ(frmSelectCategories::pick(nullptr, Master, "Travel"), std::nullopt);

    // Nothing chosen is an empty text, not a stray separator.
    whenOpen<frmSelectCategories>([](frmSelectCategories *picker) {
        clickItem(picker->list(), 4);
        QTest::mouseClick(picker->okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(frmSelectCategories::pick(nullptr, Master, "Travel"), "");
}

TEST(frmSelectParticipants, OffersOkOnlyWithAChoiceAndJoinsTheNames)
{
    frmSelectParticipants picker({"Ann", "Bob", "Cy"});
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    EXPECT_FALSE(picker.okButton()->isEnabled());
    clickItem(picker.lbContacts(), 1);
    EXPECT_TRUE(picker.okButton()->isEnabled());
    clickItem(picker.lbContacts(), 1);
    EXPECT_FALSE(picker.okButton()->isEnabled());
    // Enter with nothing chosen does not close it.
    QTest::keyClick(&picker, Qt::Key_Return);
    EXPECT_TRUE(picker.isVisible());

    clickItem(picker.lbContacts(), 1);
    clickItem(picker.lbContacts(), 0);
    QTest::mouseClick(picker.okButton(), Qt::LeftButton);
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    EXPECT_EQ(picker.participantsText(), "Ann; Bob; ");
}
