#include "outlook/ItemCreation.h"

#include "data/DataStore.h"
#include "data/DatabaseSettings.h"
#include "outlook/ManualAppointment.h"
#include "outlook/OutlookSession.h"
#include "outlook/ProgramStoreFixture.h"
#include "platform/core/QvError.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/MailTransport.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/NoteItem.h"
#include "platform/pim/TaskItem.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// The person at the item editor: does what the test says, then closes it.
class PersonAtEditor : public pim::Inspector {
public:
    std::function<void(pim::Item &)> act = [](pim::Item &) {};
    int shown = 0;
    bool display(pim::Item &item, bool) override
    {
        ++shown;
        act(item);
        return item.Saved();
    }
};

// A real program database, a real item store with a contact card in it, and
// the TimeCard new items are made from.
class ItemCreationTest : public test::ProgramStoreFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(openProgramAndStore());
        session.setInspector(&person);

        clientCard = addContact("Bea Client", "555-0101", "bea@example.org");
        clientId = addContactRow("Bea Client", clientCard, "ACC-7");
        otherCard = addContact("Cy Other", "", "cy@example.org");
        otherId = addContactRow("Cy Other", otherCard, "ACC-9");

        request.card.id = static_cast<qint32>(
            cnn().insertReturningKey("INSERT INTO tblTimeCards (UserId, Description) VALUES (1, ?)",
                                     {"Drafted the lease"}, "TimeCardID"));
        request.card.contactId = clientId;
        request.card.contactEntryId = clientCard;
        request.card.contactAccount = "ACC-7";
        request.card.userName = "Ann O'Hara";
        request.card.activity1Name = "Design";
        request.card.category = "Clients";
        request.variables.id = request.card.id;
        request.variables.description = "Drafted the lease";
        request.variables.contactName = "Bea Client";
        request.variables.activity1Name = "Design";
        request.variables.category = "Clients";
        request.variables.userName = "Ann O'Hara";
        // Subject: contact, Activity 1; body: the description.
        request.templates.templates.tasks = {5, 0, 0, 0, 0, 0, 2, 3, 0, 0};
        request.templates.templates.appointments = {5, 0, 0, 0, 0, 0, 2, 3, 0, 0};
        request.templates.templates.notes = {5, 0, 0, 0, 0, 0};
        request.templates.now = now;
        settings.terms = {"Service", true, "Project", false, ""};
    }

    qlonglong count(const QString &table)
    {
        return cnn().scalar("SELECT COUNT(*) FROM " + table).toLongLong();
    }
    QString addContact(const QString &name, const QString &phone, const QString &email)
    {
        pim::ContactItem contact(*session.folder(FolderSlot::Contacts));
        contact.setFullName(name);
        contact.setTelephone(pim::ContactItem::Phone::Business, phone);
        contact.setEmailAddress(0, email);
        contact.Save();
        return contact.EntryID();
    }
    qint32 addContactRow(const QString &name, const QString &entryId, const QString &account)
    {
        return static_cast<qint32>(cnn().insertReturningKey(
            "INSERT INTO tblContacts (ContactName, Active, ContactEntryID, ContactAccount) "
            "VALUES (?, -1, ?, ?)",
            {name, entryId, account}, "ContactID"));
    }
    // As another run of the program reads it: from the file alone.
    template <typename Kind> std::unique_ptr<Kind> reread(const QString &entryId)
    {
        pim::Namespace fresh(root, false);
        std::unique_ptr<pim::Item> item = fresh.itemFromId(entryId, {});
        return std::unique_ptr<Kind>(dynamic_cast<Kind *>(item.release()));
    }
    int filesIn(FolderSlot slot) { return pim::Items(*session.folder(slot)).Count(); }
    ItemCreation creation() { return ItemCreation(session, cnn(), prompts, settings); }
    // A stand-in for sendmail that takes every message.
    pim::MailTransport accepting()
    {
        const QString path = dir.filePath("sendmail.sh");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\ncat > /dev/null\n");
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner);
        return pim::MailTransport(QStringLiteral("\"%1\" -t -oi").arg(path));
    }

    PersonAtEditor person;
    const QDateTime now{QDate(2031, 3, 4), QTime(9, 0)};
    QString clientCard, otherCard;
    qint32 clientId = 0, otherId = 0;
    NewItemSettings settings;
    NewItemRequest request;
    const std::function<void(pim::Item &)> save = [](pim::Item &item) { item.Save(); };
};

TEST_F(ItemCreationTest, TaskLinkedToTheTimeCardCarriesItsTextsPropertiesAndLinkRow)
{
    person.act = save;
    const NewItemResult result = creation().New_Task(request);

    ASSERT_TRUE(result.saved && result.linked);
    EXPECT_EQ(cnn().scalar("SELECT TimeCardID FROM tblTasks WHERE EntryID = ?", {result.entryId}),
              request.card.id);
    const auto task = reread<pim::TaskItem>(result.entryId);
    ASSERT_TRUE(task);
    EXPECT_EQ(task->Subject(), "Bea Client: Design:");
    EXPECT_TRUE(task->Body().contains("Drafted the lease"));
    EXPECT_EQ(task->BillingInformation(), "ACC-7");
    EXPECT_EQ(task->ContactNames(), "Bea Client");
    EXPECT_EQ(task->CategoriesText(), "Clients");
    const pim::UserProperties &properties = task->userProperties();
    EXPECT_EQ(properties.value("TimeCardID").toInt(), request.card.id);
    EXPECT_EQ(properties.value("QuorvaleID").toString(), result.entryId);
    EXPECT_EQ(properties.value("Quorvale Staff").toString(), "Ann O'Hara");
    EXPECT_EQ(properties.value("Service").toString(), "Design");
    EXPECT_EQ(result.delegationState, 0);

    // The contact's own card opens from its row; a contact without one does not.
    const int shown = person.shown;
    EXPECT_TRUE(creation().OpenOLContactItem(clientId));
    EXPECT_EQ(person.shown, shown + 1);
    EXPECT_FALSE(creation().OpenOLContactItem(addContactRow("No Card", "", "")));
}

TEST_F(ItemCreationTest, ContactOnlyAndNoLinkModesWriteNoLinkAndNoProperties)
{
    person.act = save;
    request.mode = LinkMode::Contact;
    request.contactId = otherId;
    const NewItemResult toContact = creation().New_Task(request);
    ASSERT_TRUE(toContact.saved);
    EXPECT_FALSE(toContact.linked);
    const auto contactTask = reread<pim::TaskItem>(toContact.entryId);
    ASSERT_TRUE(contactTask);
    // The other contact's data, none of the TimeCard's own values.
    EXPECT_EQ(contactTask->BillingInformation(), "ACC-9");
    EXPECT_EQ(contactTask->ContactNames(), "Cy Other");
    EXPECT_EQ(contactTask->Subject(), "Cy Other:");
    EXPECT_FALSE(contactTask->Body().contains("Drafted"));
    EXPECT_FALSE(contactTask->userProperties().value("TimeCardID").isValid());

    NewItemRequest bare = request;
    bare.mode = LinkMode::None;
    const NewItemResult none = creation().New_Note(bare);
    ASSERT_TRUE(none.saved);
    const auto note = reread<pim::NoteItem>(none.entryId);
    ASSERT_TRUE(note);
    EXPECT_TRUE(note->Body().isEmpty());
    EXPECT_EQ(count("tblTasks") + count("tblNotes"), 0);
}

TEST_F(ItemCreationTest, ReminderAndDueDatesFollowTheDurationTexts)
{
    person.act = save;
    settings.tasks.reminder = "1 month";
    settings.tasks.dueDate = "1 week";
    settings.appointments.reminder = "None";
    settings.appointments.duration = "2 hours";
    const auto task = reread<pim::TaskItem>(creation().New_Task(request).entryId);
    ASSERT_TRUE(task);
    EXPECT_TRUE(task->ReminderSet());
    EXPECT_EQ(task->ReminderTime(), now.addDays(30));
    EXPECT_EQ(task->DueDate().date(), now.date().addDays(7));

    const NewItemResult scheduled = creation().New_Appointment(request);
    const auto appointment = reread<pim::AppointmentItem>(scheduled.entryId);
    ASSERT_TRUE(appointment);
    EXPECT_FALSE(appointment->ReminderSet());
    EXPECT_EQ(appointment->Start(), now.addDays(7));
    EXPECT_EQ(appointment->Duration(), 120);
    EXPECT_EQ(cnn().scalar("SELECT TimeCardID FROM tblScheduledAppointments WHERE EntryID = ?",
                           {scheduled.entryId}),
              request.card.id);

    settings.tasks.reminder = "None";
    const auto noReminder = reread<pim::TaskItem>(creation().New_Task(request).entryId);
    ASSERT_TRUE(noReminder);
    EXPECT_FALSE(noReminder->ReminderSet());
}

TEST_F(ItemCreationTest, CallTasksNameTheContactsNumberWithThePhoneDefaults)
{
    person.act = save;
    request.taskType = TaskType::ReturnCall;
    request.taskRequest = true;
    const NewItemResult result = creation().New_Task(request);
    const auto task = reread<pim::TaskItem>(result.entryId);
    ASSERT_TRUE(task);
    EXPECT_EQ(task->Subject(), "Return call from Bea Client: 555-0101");
    EXPECT_EQ(task->Importance(), 2);
    EXPECT_EQ(task->ReminderTime(), now.addSecs(2 * 3600));
    EXPECT_NE(result.delegationState, 0);
}

TEST_F(ItemCreationTest, AnItemClosedWithoutSavingLeavesNothing)
{
    person.act = [](pim::Item &item) { item.setBody("typed, then discarded"); };
    EXPECT_FALSE(creation().New_Task(request).saved);
    EXPECT_FALSE(creation().New_Appointment(request).saved);
    EXPECT_FALSE(creation().New_Note(request).saved);
    EXPECT_EQ(creation().New_Message(request).outcome, MessageOutcome::Discarded);
    EXPECT_EQ(filesIn(FolderSlot::Tasks) + filesIn(FolderSlot::ScheduledAppointments) +
                  filesIn(FolderSlot::Notes),
              0);
    EXPECT_EQ(count("tblTasks") + count("tblScheduledAppointments") + count("tblNotes") +
                  count("tblMessages"),
              0);
    EXPECT_TRUE(prompts.messages().isEmpty());
}

TEST_F(ItemCreationTest, SentMessagesAreFoundByTheirOwnTagsAndLinked)
{
    const pim::MailTransport transport = accepting();
    QStringList tags;
    person.act = [&](pim::Item &item) {
        auto &mail = dynamic_cast<pim::MailItem &>(item);
        tags << mail.Mileage();
        mail.Send(transport);
    };
    const NewMessageResult first = creation().New_Message(request);
    const NewMessageResult second = creation().New_Message(request);

    ASSERT_EQ(first.outcome, MessageOutcome::Linked);
    ASSERT_EQ(second.outcome, MessageOutcome::Linked);
    EXPECT_NE(first.entryId, second.entryId);
    EXPECT_EQ(count("tblMessages"), 2);
    for (const NewMessageResult *sent : {&first, &second}) {
        EXPECT_EQ(
            cnn().scalar("SELECT StoreID FROM tblMessages WHERE EntryID = ?", {sent->entryId}),
            sent->storeId);
        const auto mail = reread<pim::MailItem>(sent->entryId);
        ASSERT_TRUE(mail);
        EXPECT_TRUE(mail->Mileage().isEmpty());
        EXPECT_EQ(mail->To(), "Bea Client");
        ASSERT_EQ(mail->Links().size(), 1);
        EXPECT_EQ(mail->Links().front().name, "Bea Client");
        EXPECT_EQ(mail->userProperties().value("QuorvaleID").toString(), sent->entryId);
    }
    ASSERT_EQ(tags.size(), 2);
    EXPECT_FALSE(tags[0].isEmpty());
}

TEST_F(ItemCreationTest, AMessageLeftInTheOutboxIsReportedAndNotLinked)
{
    person.act = [](pim::Item &item) { dynamic_cast<pim::MailItem &>(item).Send({}); };
    EXPECT_EQ(creation().New_Message(request).outcome, MessageOutcome::NotTracked);

    EXPECT_EQ(count("tblMessages"), 0);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages()[0].title, "No Link Created");
    const QStringList lines = prompts.messages()[0].text.split("\r\n");
    ASSERT_EQ(lines.size(), 10);
    EXPECT_TRUE(lines[5].isEmpty());
    EXPECT_EQ(lines[9], "to link the message to the TimeCard.");
}

TEST_F(ItemCreationTest, AMessageSavedUnsentIsADraftFromTheSenderNotASentMessage)
{
    settings.sender = {"Ann O'Hara", "ann@example.org"};
    QString file;
    person.act = [&](pim::Item &item) {
        item.Save();
        file = item.filePath();
    };
    EXPECT_EQ(creation().New_Message(request).outcome, MessageOutcome::NotTracked);

    pim::Namespace &ns = session.nameSpace();
    EXPECT_EQ(pim::Items(ns.GetDefaultFolder(pim::DefaultFolder::SentMail)).Count(), 0)
        << "an unsent message was filed as sent";
    ASSERT_EQ(pim::Items(ns.GetDefaultFolder(pim::DefaultFolder::Drafts)).Count(), 1);
    EXPECT_TRUE(file.startsWith(ns.GetDefaultFolder(pim::DefaultFolder::Drafts).path()));
    const auto draft = pim::readMailItem(ns.GetDefaultFolder(pim::DefaultFolder::Drafts),
                                         QFileInfo(file).fileName().prepend("cur/"));
    ASSERT_TRUE(draft);
    EXPECT_FALSE(draft->Sent());
    EXPECT_EQ(draft->SenderName(), "Ann O'Hara");
    EXPECT_EQ(draft->SenderEmailAddress(), "ann@example.org");
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray content = written.readAll();
    EXPECT_TRUE(content.contains("\nDate: ") || content.startsWith("Date: "));
    EXPECT_EQ(count("tblMessages"), 0);
}

TEST_F(ItemCreationTest, OutOfOfficeTimeIsATimedAppointmentOfTheTimeCard)
{
    clsAutoAppointment appointments(session, cnn(), AppointmentOptions{settings.terms});
    PendingTimeDetail pending;
    request.templates.pending = &pending;
    request.templates.timeDetailOption = true;
    const OutOfOfficeTime away{now, now.addSecs(90 * 60), false, QString()};
    const clsAutoAppointment::Result result = ManualAppointment(
        appointments, session, request.card, request.variables, request.templates, away);

    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.minutes, 90);
    EXPECT_EQ(cnn().scalar("SELECT TimeCardID FROM tblTimedAppointments WHERE EntryID = ?",
                           {result.entryId}),
              request.card.id);
    const auto appointment = reread<pim::AppointmentItem>(result.entryId);
    ASSERT_TRUE(appointment);
    EXPECT_TRUE(appointment->Subject().endsWith("Out of office"));

    const OutOfOfficeTime backwards{now, now.addSecs(-60), false, QString()};
    EXPECT_FALSE(outOfOfficeProblem(backwards).isEmpty());
    EXPECT_THROW(ManualAppointment(appointments, session, request.card, request.variables,
                                   request.templates, backwards),
                 QvError);
}

TEST_F(ItemCreationTest, AnAutoTaskKeepsItsOwnSubjectAndDatesAcrossRuns)
{
    const AutoTask statement{"Send the statement", "2 days", "None", "Low", "Attach the PDF."};
    writeAutoTasks(registry, {statement});
    Registry again(dir.filePath("settings.ini"));
    const QList<AutoTask> kept = readAutoTasks(again);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0], statement);

    person.act = save;
    request.taskType = TaskType::AutoTask;
    request.autoTask = kept[0];
    const auto task = reread<pim::TaskItem>(creation().New_Task(request).entryId);
    ASSERT_TRUE(task);
    EXPECT_EQ(task->Subject(), "Bea Client: Design: Send the statement");
    EXPECT_TRUE(task->Body().endsWith("Attach the PDF."));
    EXPECT_EQ(task->DueDate().date(), now.date().addDays(2));
    EXPECT_FALSE(task->ReminderSet());
    EXPECT_EQ(task->Importance(), 0);
}

} // namespace
