#include "outlook/ItemCreation.h"

#include "outlook/AutoAppointment.h"
#include "outlook/DurationTexts.h"
#include "outlook/OutlookSession.h"
#include "outlook/SentMessageTracker.h"
#include "platform/core/QvError.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/NoteItem.h"
#include "platform/pim/TaskItem.h"
#include "support/Prompts.h"
#include "support/Trace.h"

#include <QSqlRecord>

namespace quorvale {

namespace {

const QString ProgramSource = QStringLiteral("Quorvale");

template <typename Kind>
std::unique_ptr<Kind> newItemIn(const OutlookSession &session, FolderSlot slot, const char *name)
{
    const auto &folder = session.folder(slot);
    if (!folder)
        throw QvError(ErrorNumber::OutlookInstance,
                      QStringLiteral("The %1 folder is not resolved.").arg(QLatin1String(name)),
                      ProgramSource);
    std::unique_ptr<pim::Item> item = pim::Items(*folder).Add();
    if (auto *kind = dynamic_cast<Kind *>(item.get())) {
        item.release();
        return std::unique_ptr<Kind>(kind);
    }
    throw QvError(ErrorNumber::Generic,
                  QStringLiteral("The %1 folder %2 holds items of another kind.")
                      .arg(QLatin1String(name), folder->name()),
                  ProgramSource);
}

// Read after the editor closed; an item the editor could not settle counts as
// unsaved, as nothing should be linked to it.
bool savedAfterDisplay(pim::Item &item, pim::Inspector *inspector)
{
    try {
        item.Display(inspector, true);
        return item.Saved();
    } catch (const QvError &) {
        return false;
    }
}

QString contactName(const pim::ContactItem *contact, const QString &fallback)
{
    if (!contact)
        return fallback;
    const QString full = contact->FullName();
    return full.isEmpty() ? contact->CompanyName() : full;
}

QString firstPhoneNumber(const pim::ContactItem *contact)
{
    if (!contact)
        return QString();
    using Phone = pim::ContactItem::Phone;
    for (Phone phone :
         {Phone::Business, Phone::Business2, Phone::Primary, Phone::Home, Phone::Home2}) {
        const QString number = contact->telephone(phone).trimmed();
        if (!number.isEmpty())
            return number;
    }
    return QString();
}

void setReminder(pim::TaskItem &task, const QString &text, const QDateTime &now)
{
    const std::optional<QDateTime> at = dateFromNow(text, now);
    task.setReminderSet(at.has_value());
    if (at)
        task.setReminderTime(*at);
}

} // namespace

ItemCreation::ItemCreation(OutlookSession &session, db::Connection &cnnLink, Prompts &prompts,
                           NewItemSettings settings)
    : m_session(session), m_cnn(cnnLink), m_prompts(prompts), m_settings(std::move(settings))
{
}

std::optional<ItemContact> ItemCreation::contactOf(qint32 contactId)
{
    if (contactId == 0)
        return std::nullopt;
    db::Command lookup(m_cnn, QStringLiteral("SELECT ContactEntryID, ContactName, ContactAccount "
                                             "FROM tblContacts WHERE ContactID = ?"));
    const std::optional<QSqlRecord> row = lookup.first({contactId});
    if (!row)
        return std::nullopt;
    return ItemContact{row->value(0).toString(), row->value(1).toString(), row->value(2).toString(),
                       QString()};
}

std::optional<ItemContact> ItemCreation::SetItemVariables(NewItemRequest &request,
                                                          const QString &defaultCategory)
{
    TraceScope trace(u"modCreateOutlookObjects: SetItemVariables");
    if (!m_session.EnsureOutlook())
        return std::nullopt;
    ItemVariables &v = request.variables;
    ItemContact contact;
    qint32 contactId = 0;
    if (request.mode == LinkMode::TimeCard) {
        contactId = request.card.contactId.value_or(0);
        contact = {request.card.contactEntryId, v.contactName, request.card.contactAccount,
                   categoryText(request.card.category)};
    } else {
        if (request.mode == LinkMode::Contact) {
            contactId = request.contactId;
            contact = contactOf(contactId).value_or(ItemContact{});
        }
        contact.category = categoryText(defaultCategory);
        if (contactId == 0 || contactId != request.card.contactId)
            v.clearTimeCardValues(m_settings.defaultEntryType, contact.category);
        v.contactId = contactId != 0 ? std::optional<qint32>(contactId) : std::nullopt;
        v.contactName = contact.name;
        v.contactAccount = contact.account;
        v.contactEntryId = contact.entryId;
    }
    if (!m_settings.contactInUse)
        contact.entryId.clear();
    return contact;
}

void ItemCreation::fillLinked(pim::IcalItem &item, const ItemContact &contact,
                              const pim::ContactItem *contactItem, TemplateKind kind,
                              NewItemRequest &request, bool withSubject)
{
    if (!contact.account.isEmpty())
        item.setBillingInformation(contact.account);
    if (contactItem)
        setContactFields(item, *contactItem, m_session.versionCode());
    item.setBody(FormatBody(kind, request.variables, contactItem, request.templates));
    if (withSubject)
        item.setSubject(FormatSubject(kind, request.variables, contactItem, request.templates));
}

void ItemCreation::link(pim::Item &item, const QString &table, const NewItemRequest &request,
                        bool withProperties, bool withStoreId)
{
    // The table comes from the callers' constants; only values are bound.
    db::Transaction transaction(m_cnn);
    if (withStoreId)
        m_cnn.execute(
            QStringLiteral("INSERT INTO %1 (EntryID, StoreID, TimeCardID) VALUES (?, ?, ?)")
                .arg(table),
            {item.EntryID(), item.StoreID(), request.card.id});
    else
        m_cnn.execute(
            QStringLiteral("INSERT INTO %1 (EntryID, TimeCardID) VALUES (?, ?)").arg(table),
            {item.EntryID(), request.card.id});
    if (withProperties)
        WriteUserProperties(item, request.card, m_settings.terms);
    item.Save();
    transaction.commit();
}

NewItemResult ItemCreation::New_Task(NewItemRequest &request)
{
    TraceScope trace(u"modCreateOutlookObjects: New_Task");
    const TaskDefaults &d = m_settings.tasks;
    const bool call = isCallTask(request.taskType);
    const std::optional<ItemContact> contact =
        SetItemVariables(request, call ? d.phoneCategory : d.category);
    if (!contact)
        return {};
    std::unique_ptr<pim::TaskItem> task =
        newItemIn<pim::TaskItem>(m_session, FolderSlot::Tasks, "Tasks");
    std::unique_ptr<pim::ContactItem> contactItem;
    if (request.mode != LinkMode::None)
        contactItem = contactItemFor(m_session, contact->entryId);
    const QString name = contactName(contactItem.get(), contact->name);
    if (request.taskRequest) {
        task->Assign();
        if (contactItem && !contactItem->emailAddress(0).isEmpty())
            task->addRecipient(name, contactItem->emailAddress(0));
    }
    if (request.mode != LinkMode::None)
        fillLinked(*task, *contact, contactItem.get(), TemplateKind::Tasks, request, !call);

    const QString number = firstPhoneNumber(contactItem.get());
    const QString numberText = number.isEmpty() ? QString() : QStringLiteral(": ") + number;
    if (request.taskType == TaskType::ReturnCall)
        task->setSubject(QStringLiteral("Return call from ") + name + numberText);
    else if (request.taskType == TaskType::PlaceCall)
        task->setSubject(QStringLiteral("Call ") + name + numberText);

    QString due = call ? d.phoneDueDate : d.dueDate;
    QString reminder = call ? d.phoneReminder : d.reminder;
    QString priority = call ? d.phonePriority : d.priority;
    if (request.taskType == TaskType::AutoTask && request.autoTask) {
        const AutoTask &autoTask = *request.autoTask;
        task->setSubject(task->Subject() + autoTask.subject);
        if (!autoTask.notes.isEmpty())
            task->setBody(task->Body() + autoTask.notes);
        due = autoTask.dueDate;
        reminder = autoTask.reminder;
        priority = autoTask.priority;
    }
    const QDateTime now = request.templates.now;
    task->setStatus(taskStatusCode(d.status));
    if (const auto at = dateFromNow(due, now))
        task->setDueDate(*at);
    if (const auto at = dateFromNow(d.start, now))
        task->setStartDate(*at);
    task->setImportance(importanceCode(priority));
    setReminder(*task, reminder, now);
    task->setCategoriesText(contact->category);

    if (!savedAfterDisplay(*task, m_session.inspector()))
        return {};
    NewItemResult result;
    result.saved = true;
    if (request.mode == LinkMode::TimeCard && request.card.id != 0) {
        link(*task, QStringLiteral("tblTasks"), request, true, false);
        result.linked = true;
    }
    result.entryId = task->EntryID();
    result.storeId = task->StoreID();
    result.delegationState = task->DelegationState();
    return result;
}

NewItemResult ItemCreation::New_Appointment(NewItemRequest &request)
{
    TraceScope trace(u"modCreateOutlookObjects: New_Appointment");
    const AppointmentItemDefaults &d = m_settings.appointments;
    const std::optional<ItemContact> contact = SetItemVariables(request, d.category);
    if (!contact)
        return {};
    std::unique_ptr<pim::AppointmentItem> appointment = newItemIn<pim::AppointmentItem>(
        m_session, FolderSlot::ScheduledAppointments, "Scheduled Appointments");
    if (request.mode != LinkMode::None) {
        const std::unique_ptr<pim::ContactItem> contactItem =
            contactItemFor(m_session, contact->entryId);
        fillLinked(*appointment, *contact, contactItem.get(), TemplateKind::Appointments, request,
                   true);
    }
    appointment->setStart(request.templates.now.addDays(7));
    appointment->setDuration(durationTextMinutes(d.duration).value_or(60));
    const std::optional<int> reminder = durationTextMinutes(d.reminder);
    appointment->setReminderSet(reminder.has_value());
    if (reminder)
        appointment->setReminderMinutesBeforeStart(*reminder);
    appointment->setBusyStatus(clsAutoAppointment::BusyStatusFor(d.showTimeAs));
    appointment->setCategoriesText(contact->category);

    if (!savedAfterDisplay(*appointment, m_session.inspector()))
        return {};
    NewItemResult result;
    result.saved = true;
    if (request.mode == LinkMode::TimeCard && request.card.id != 0) {
        link(*appointment, QStringLiteral("tblScheduledAppointments"), request, true, false);
        result.linked = true;
    }
    result.entryId = appointment->EntryID();
    result.storeId = appointment->StoreID();
    return result;
}

NewItemResult ItemCreation::New_Note(NewItemRequest &request)
{
    TraceScope trace(u"modCreateOutlookObjects: New_Note");
    const std::optional<ItemContact> contact = SetItemVariables(request, m_settings.noteCategory);
    if (!contact)
        return {};
    std::unique_ptr<pim::NoteItem> note =
        newItemIn<pim::NoteItem>(m_session, FolderSlot::Notes, "Notes");
    if (request.mode != LinkMode::None) {
        const std::unique_ptr<pim::ContactItem> contactItem =
            contactItemFor(m_session, contact->entryId);
        note->setBody(FormatBody(TemplateKind::Notes, request.variables, contactItem.get(),
                                 request.templates));
    }
    note->setCategoriesText(contact->category);

    if (!savedAfterDisplay(*note, m_session.inspector()))
        return {};
    NewItemResult result;
    result.saved = true;
    if (request.mode == LinkMode::TimeCard && request.card.id != 0) {
        link(*note, QStringLiteral("tblNotes"), request, false, false);
        result.linked = true;
    }
    result.entryId = note->EntryID();
    result.storeId = note->StoreID();
    return result;
}

NewMessageResult ItemCreation::New_Message(NewItemRequest &request)
{
    TraceScope trace(u"modCreateOutlookObjects: New_Message");
    const std::optional<ItemContact> contact = SetItemVariables(request, QString());
    if (!contact)
        return {};
    pim::Namespace &ns = m_session.nameSpace();
    const pim::Folder sent = ns.GetDefaultFolder(pim::DefaultFolder::SentMail);
    // Made in Drafts: saved without being sent it must not pass for a sent
    // message in Sent Items. Sending files it there.
    const pim::Folder drafts = ns.GetDefaultFolder(pim::DefaultFolder::Drafts);
    std::unique_ptr<pim::Item> item = pim::Items(drafts).Add();
    auto *mail = dynamic_cast<pim::MailItem *>(item.get());
    if (!mail)
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("The folder %1 holds no messages.").arg(drafts.name()),
                      ProgramSource);
    if (!m_settings.sender.address.isEmpty())
        mail->setSender(m_settings.sender.name, m_settings.sender.address);
    if (request.mode != LinkMode::None) {
        const std::unique_ptr<pim::ContactItem> contactItem =
            contactItemFor(m_session, contact->entryId);
        if (contactItem && !contactItem->emailAddress(0).isEmpty())
            mail->addRecipient(contactName(contactItem.get(), contact->name),
                               contactItem->emailAddress(0));
        if (contactItem)
            setContactLink(*mail, *contactItem, m_session.versionCode());
    }
    if (request.mode == LinkMode::TimeCard)
        mail->setCategoriesText(contact->category);
    SentMessageTracker tracker(*mail, sent);

    const bool savedHere = savedAfterDisplay(*mail, m_session.inspector());
    NewMessageResult result;
    if (std::unique_ptr<pim::MailItem> found = tracker.findSent()) {
        if (request.mode == LinkMode::TimeCard && request.card.id != 0) {
            link(*found, QStringLiteral("tblMessages"), request, true, true);
            result.outcome = MessageOutcome::Linked;
        } else {
            found->Save();
            result.outcome = MessageOutcome::Found;
        }
        result.entryId = found->EntryID();
        result.storeId = found->StoreID();
        return result;
    }
    const bool exists = savedHere || tracker.existsUnsent(ns);
    if (!exists)
        return result;
    result.outcome = MessageOutcome::NotTracked;
    if (request.mode == LinkMode::TimeCard)
        m_prompts.messageBox(QStringLiteral("No Link Created"), noLinkCreatedText(),
                             PromptButtons::Ok, PromptIcon::Information);
    return result;
}

bool ItemCreation::OpenOLContactItem(qint32 contactId)
{
    TraceScope trace(u"modCreateOutlookObjects: OpenOLContactItem");
    if (!m_session.EnsureOutlook())
        return false;
    const std::optional<ItemContact> contact = contactOf(contactId);
    if (!contact || contact->entryId.isEmpty())
        return false;
    const std::unique_ptr<pim::ContactItem> item = contactItemFor(m_session, contact->entryId);
    if (!item)
        return false;
    item->Display(m_session.inspector(), false);
    return true;
}

} // namespace quorvale
