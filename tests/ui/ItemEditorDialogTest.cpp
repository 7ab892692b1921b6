// The item editors on real item files: each kind's field reaches its file
// through the editor and nothing else in the file changes; closing asks only
// when there is something to lose; every editor can be worked from the keyboard.

#include "ui/ItemEditorDialog.h"

#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/NoteItem.h"
#include "platform/pim/TaskItem.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "ui/ItemEditorCategories.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

class ItemEditorDialogTest : public ::testing::Test {
protected:
    test::TempDir dir;
    Namespace ns{dir.filePath(QStringLiteral("Items"))};
    test::ScriptedPrompts prompts;
    const QDateTime start{QDate(2024, 5, 6), QTime(9, 15, 30)};

    template <typename Kind> std::unique_ptr<Kind> make(DefaultFolder folder)
    {
        return std::make_unique<Kind>(ns.GetDefaultFolder(folder));
    }
    // Saves the item and returns it as another reader finds it.
    std::unique_ptr<Item> stored(Item &item)
    {
        item.Save();
        return reread(item);
    }
    std::unique_ptr<Item> reread(const Item &item)
    {
        return ns.GetItemFromID(item.EntryID(), item.StoreID());
    }

    std::unique_ptr<ItemEditorDialog> open(Item &item)
    {
        auto dialog = std::make_unique<ItemEditorDialog>(item, ItemEditorContext{prompts, &ns});
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }
    static QWidget *input(const ItemEditorDialog &dialog, const char *property)
    {
        const ItemEditorFieldControl *control = dialog.control(QLatin1String(property));
        EXPECT_NE(control, nullptr) << property;
        return control ? control->input() : nullptr;
    }
    // Replaces the field's text the way a person would.
    static void type(const ItemEditorDialog &dialog, const char *property, const QString &text)
    {
        QWidget *w = input(dialog, property);
        w->setFocus();
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w, text);
    }
    // Opens the stored item, replaces one field, saves with the button.
    std::unique_ptr<Item> edit(Item &item, const char *property, const QString &text)
    {
        auto copy = reread(item);
        auto dialog = open(*copy);
        type(*dialog, property, text);
        QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        return reread(item);
    }
};

TEST_F(ItemEditorDialogTest, JournalEntryKeepsWhatWasNotEdited)
{
    auto entry = make<JournalItem>(DefaultFolder::Journal);
    entry->setSubject(QStringLiteral("Design review"));
    entry->setStart(start);
    entry->setDuration(90);
    entry->setType(QStringLiteral("Phone call"));
    entry->setBody(QStringLiteral("Notes"));
    entry->Save();

    auto after = edit(*entry, "Duration", QStringLiteral("45"));
    EXPECT_EQ(after->property(QStringLiteral("Duration")), 45);
    EXPECT_EQ(after->property(QStringLiteral("Start")).toDateTime(), start);
    EXPECT_EQ(after->property(QStringLiteral("Type")), QStringLiteral("Phone call"));
    EXPECT_EQ(after->Body(), QStringLiteral("Notes"));

    after = edit(*entry, "Categories", QStringLiteral("Clients,  Travel"));
    EXPECT_EQ(after->Categories(),
              (QStringList{QStringLiteral("Clients"), QStringLiteral("Travel")}));
    EXPECT_EQ(after->Subject(), QStringLiteral("Design review"));
}

TEST_F(ItemEditorDialogTest, AppointmentLocationAndReminder)
{
    auto appointment = make<AppointmentItem>(DefaultFolder::Calendar);
    appointment->setSubject(QStringLiteral("Site visit"));
    appointment->setStart(start);
    appointment->setDuration(60);
    auto copy = stored(*appointment);

    auto dialog = open(*copy);
    EXPECT_FALSE(input(*dialog, "ReminderMinutesBeforeStart")->isEnabled());
    type(*dialog, "Location", QStringLiteral("Acme, Hall 2"));
    QTest::keyClick(input(*dialog, "ReminderSet"), Qt::Key_Space);
    EXPECT_TRUE(input(*dialog, "ReminderMinutesBeforeStart")->isEnabled());
    dialog->saveAndClose();

    auto after = reread(*appointment);
    EXPECT_EQ(after->property(QStringLiteral("Location")), QStringLiteral("Acme, Hall 2"));
    EXPECT_EQ(after->property(QStringLiteral("ReminderSet")), true);
    EXPECT_EQ(after->property(QStringLiteral("Start")).toDateTime(), start);
    EXPECT_EQ(after->property(QStringLiteral("End")).toDateTime(), start.addSecs(3600));
}

TEST_F(ItemEditorDialogTest, TaskStatusFromTheKeyboard)
{
    auto task = make<TaskItem>(DefaultFolder::Tasks);
    task->setSubject(QStringLiteral("Write invoice"));
    task->setDueDate(QDateTime(QDate(2024, 6, 1), QTime(0, 0)));
    auto copy = stored(*task);

    auto dialog = open(*copy);
    EXPECT_EQ(dialog->kind(), ItemEditorKind::Task);
    QTest::keyClick(input(*dialog, "Status"), Qt::Key_Down);
    dialog->saveAndClose();

    auto after = reread(*task);
    EXPECT_EQ(after->property(QStringLiteral("Status")), 1);
    EXPECT_EQ(after->property(QStringLiteral("DueDate")).toDateTime().date(), QDate(2024, 6, 1));
    EXPECT_FALSE(after->property(QStringLiteral("StartDate")).toDateTime().isValid());
}

TEST_F(ItemEditorDialogTest, TaskRequestNamesItsRecipients)
{
    auto task = make<TaskItem>(DefaultFolder::Tasks);
    task->setSubject(QStringLiteral("Review the draft"));
    task->Assign();
    task->Save();

    auto after = edit(*task, "To", QStringLiteral("Ann Lee <ann@example.org>"));
    const auto &recipients = static_cast<TaskItem &>(*after).Recipients();
    ASSERT_EQ(recipients.size(), 1);
    EXPECT_EQ(recipients.front().address, QStringLiteral("ann@example.org"));
    EXPECT_EQ(after->property(QStringLiteral("DelegationState")), 1);
}

TEST_F(ItemEditorDialogTest, NoteTitleIsItsFirstLine)
{
    auto note = make<NoteItem>(DefaultFolder::Notes);
    note->setBody(QStringLiteral("old"));
    auto copy = stored(*note);

    auto dialog = open(*copy);
    type(*dialog, "Body", QStringLiteral("Call Acme back"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Call Acme back - Note"));
    dialog->saveAndClose();
    EXPECT_EQ(reread(*note)->Subject(), QStringLiteral("Call Acme back"));
}

TEST_F(ItemEditorDialogTest, MessageAndContactFields)
{
    auto mail = make<MailItem>(DefaultFolder::Inbox);
    mail->setSubject(QStringLiteral("Invoice 17"));
    mail->setMileage(QStringLiteral("TC-17"));
    mail->addRecipient(QStringLiteral("Ann Lee"), QStringLiteral("ann@example.org"));
    mail->Save();
    auto copy = reread(*mail);
    auto dialog = open(*copy);
    // Appending a recipient keeps the one shown by name its address.
    QTest::keyClick(input(*dialog, "To"), Qt::Key_End);
    QTest::keyClicks(input(*dialog, "To"), QStringLiteral("; bob@example.org"));
    dialog->saveAndClose();
    auto after = reread(*mail);
    const auto &recipients = static_cast<MailItem &>(*after).Recipients();
    ASSERT_EQ(recipients.size(), 2);
    EXPECT_EQ(recipients.front().address, QStringLiteral("ann@example.org"));
    EXPECT_EQ(recipients.back().address, QStringLiteral("bob@example.org"));
    EXPECT_EQ(after->property(QStringLiteral("Mileage")), QStringLiteral("TC-17"));

    auto contact = make<ContactItem>(DefaultFolder::Contacts);
    contact->setFullName(QStringLiteral("Ann Lee"));
    contact->setEmailAddress(0, QStringLiteral("ann@example.org"));
    contact->Save();
    after = edit(*contact, "MobileTelephoneNumber", QStringLiteral("+44 7700 900123"));
    EXPECT_EQ(after->property(QStringLiteral("MobileTelephoneNumber")),
              QStringLiteral("+44 7700 900123"));
    EXPECT_EQ(after->property(QStringLiteral("Email1Address")), QStringLiteral("ann@example.org"));
    EXPECT_EQ(after->property(QStringLiteral("FullName")), QStringLiteral("Ann Lee"));
}

TEST_F(ItemEditorDialogTest, CloseAsksOnlyWhenSomethingChanged)
{
    auto entry = make<JournalItem>(DefaultFolder::Journal);
    entry->setSubject(QStringLiteral("Kept"));
    auto copy = stored(*entry);
    QFile file(entry->filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    auto dialog = open(*copy);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_FALSE(dialog->isVisible());

    dialog = open(*copy);
    type(*dialog, "Subject", QStringLiteral("Changed"));
    prompts.answer(PromptResult::Cancel);
    QTest::mouseClick(dialog->closeButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    prompts.answer(PromptResult::No);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(prompts.messages().size(), 2);
    EXPECT_EQ(prompts.messages().front().text, QStringLiteral("Do you want to save changes?"));

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(copy->Subject(), QStringLiteral("Kept"));
}

TEST_F(ItemEditorDialogTest, CtrlSSavesAndANewItemCountsAsChanged)
{
    auto entry = make<JournalItem>(DefaultFolder::Journal);
    entry->setSubject(QStringLiteral("From a TimeCard"));
    auto dialog = open(*entry);
    EXPECT_TRUE(dialog->isModified());
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    QTest::keyClick(input(*dialog, "Subject"), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_TRUE(entry->Saved());
    EXPECT_EQ(reread(*entry)->Subject(), QStringLiteral("From a TimeCard"));
}

// Access keys that collide, a control without a name, or a tab order that
// jumps around the form all make an editor hard to use without a mouse.
TEST_F(ItemEditorDialogTest, EveryEditorIsKeyboardReady)
{
    const std::pair<DefaultFolder, bool> kinds[] = {
        {DefaultFolder::Journal, false}, {DefaultFolder::Calendar, false},
        {DefaultFolder::Tasks, false},   {DefaultFolder::Tasks, true},
        {DefaultFolder::Notes, false},   {DefaultFolder::Inbox, false},
        {DefaultFolder::Contacts, false}};
    const QRegularExpression accessKey(QStringLiteral("&([^&])"));
    for (const auto &[folder, assigned] : kinds) {
        auto item = newItem(ns.GetDefaultFolder(folder));
        if (assigned)
            static_cast<TaskItem &>(*item).Assign();
        ItemEditorDialog dialog(*item, ItemEditorContext{prompts, &ns});
        const QString kind = editorLayout(dialog.kind()).kindName;

        QStringList keys;
        const auto collect = [&](const QString &text) {
            const auto match = accessKey.match(text);
            if (match.hasMatch())
                keys << match.captured(1).toLower();
        };
        for (const QLabel *label : dialog.findChildren<QLabel *>())
            collect(label->text());
        for (const QAbstractButton *button : dialog.findChildren<QAbstractButton *>())
            collect(button->text());
        QStringList unique = keys;
        unique.removeDuplicates();
        EXPECT_EQ(unique.size(), keys.size())
            << kind.toStdString() << ": " << keys.join(u' ').toStdString();

        QList<QWidget *> inputs;
        for (const ItemEditorField &field : editorLayout(dialog.kind()).fields) {
            QWidget *w = dialog.control(field.property)->input();
            EXPECT_FALSE(w->accessibleName().isEmpty()) << field.property.toStdString();
            inputs << w;
        }
        // Following the focus chain from the first field meets the fields in
        // table order, then the buttons.
        QList<QWidget *> chain;
        QWidget *w = inputs.front();
        for (int i = 0; i < 200 && chain.size() < inputs.size(); ++i, w = w->nextInFocusChain()) {
            if (inputs.contains(w) && !chain.contains(w))
                chain << w;
        }
        EXPECT_EQ(chain, inputs) << kind.toStdString();
    }
}

TEST_F(ItemEditorDialogTest, CategoriesChosenAndAddedToTheMasterList)
{
    ns.addCategory(QStringLiteral("Clients"));
    ns.addCategory(QStringLiteral("Travel"));
    auto entry = make<JournalItem>(DefaultFolder::Journal);
    entry->setCategories({QStringLiteral("Travel")});
    auto copy = stored(*entry);
    auto dialog = open(*copy);
    auto *box = qobject_cast<ItemEditorCategoriesBox *>(
        dialog->control(QStringLiteral("Categories"))->widget());
    ASSERT_NE(box, nullptr);

    QTimer::singleShot(0, [&] {
        auto *chooser =
            qobject_cast<ItemEditorCategoriesDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        auto *list = chooser->findChild<QListWidget *>();
        list->item(0)->setCheckState(Qt::Checked);
        list->item(1)->setCheckState(Qt::Unchecked);
        QTest::keyClicks(chooser->findChild<QLineEdit *>(), QStringLiteral("Acme"));
        chooser->accept();
    });
    QTest::mouseClick(box->chooseButton(), Qt::LeftButton);

    EXPECT_EQ(box->text(), QStringLiteral("Clients, Acme"));
    EXPECT_EQ(ns.categories(), (QStringList{QStringLiteral("Clients"), QStringLiteral("Travel"),
                                            QStringLiteral("Acme")}));
    dialog->saveAndClose();
    EXPECT_EQ(reread(*entry)->Categories(),
              (QStringList{QStringLiteral("Clients"), QStringLiteral("Acme")}));
}

} // namespace
