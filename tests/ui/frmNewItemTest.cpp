#include "ui/frmNewItem.h"

#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace quorvale;

TEST(frmNewItem, ContactOnlyIsRefusedUntilAContactIsChosen)
{
    test::ScriptedPrompts prompts;
    NewItemDialogSetup setup;
    setup.caption = " New Personal Task";
    setup.taskTypes = true;
    int asked = 0;
    frmNewItem dialog(
        setup,
        [&asked]() -> std::optional<std::pair<qint32, QString>> {
            // The first pick is cancelled, the second chooses.
            if (++asked == 1)
                return std::nullopt;
            return std::pair{42, QStringLiteral("Bea Client")};
        },
        prompts);
    EXPECT_TRUE(dialog.modeButton(LinkMode::TimeCard)->isChecked());
    EXPECT_FALSE(dialog.chooseButton()->isEnabled());
    QPushButton *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);

    dialog.modeButton(LinkMode::Contact)->setChecked(true);
    dialog.chooseButton()->click();
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages()[0].title, "Contact Required");
    EXPECT_EQ(prompts.messages()[0].text, "Please select a contact before proceeding");

    dialog.chooseButton()->click();
    dialog.taskTypeList()->setCurrentIndex(3);
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const NewItemChoice choice = dialog.choice();
    EXPECT_EQ(choice.mode, LinkMode::Contact);
    EXPECT_EQ(choice.contactId, 42);
    EXPECT_EQ(choice.contactName, "Bea Client");
    EXPECT_EQ(choice.taskType, TaskType::PlaceCall);
    EXPECT_EQ(dialog.contactField()->text(), "Bea Client");
}

TEST(frmNewItem, WithoutATimeCardOnlyTheOtherLinksAreOffered)
{
    test::ScriptedPrompts prompts;
    NewItemDialogSetup setup;
    setup.caption = " New Expense";
    setup.timeCardAvailable = false;
    setup.contactOption = false;
    frmNewItem dialog(setup, {}, prompts);
    EXPECT_FALSE(dialog.modeButton(LinkMode::TimeCard)->isEnabled());
    EXPECT_TRUE(dialog.modeButton(LinkMode::None)->isChecked());
    EXPECT_TRUE(dialog.modeButton(LinkMode::Contact)->isHidden());
    EXPECT_EQ(dialog.taskTypeList(), nullptr);
    EXPECT_EQ(dialog.choice().mode, LinkMode::None);
}
