#include "platform/pim/ItemSummary.h"

#include "platform/pim/AppointmentItem.h"
#include "platform/pim/IcalItem.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/TaskItem.h"

namespace quorvale::pim {

ItemSummary summarize(const Item &item)
{
    ItemSummary s;
    s.type = item.type();
    s.fileName = item.fileName();
    s.entryId = item.EntryID();
    s.storeId = item.StoreID();
    s.folderName = item.parent().name();
    if (const auto *ical = dynamic_cast<const IcalItem *>(&item))
        s.uid = ical->uid();
    s.userProperties = item.userProperties();
    s.subject = item.Subject();
    s.creationTime = item.CreationTime();
    if (const auto *task = dynamic_cast<const TaskItem *>(&item)) {
        s.dueDate = task->DueDate();
        s.status = task->Status();
        s.importance = task->Importance();
        s.reminderSet = task->ReminderSet();
        s.reminderTime = task->ReminderTime();
        s.delegationState = task->DelegationState();
        QStringList names;
        for (const CalendarAddress &recipient : task->Recipients())
            names.append(recipient.name.isEmpty() ? recipient.address : recipient.name);
        s.assignees = names.join(QStringLiteral("; "));
    } else if (const auto *appointment = dynamic_cast<const AppointmentItem *>(&item)) {
        s.start = appointment->Start();
        s.durationMinutes = appointment->Duration();
        s.meetingStatus = appointment->MeetingStatus();
    } else if (const auto *mail = dynamic_cast<const MailItem *>(&item)) {
        s.to = mail->To();
        s.from = mail->SenderName().isEmpty() ? mail->SenderEmailAddress() : mail->SenderName();
        s.sentOn = mail->SentOn();
    }
    return s;
}

} // namespace quorvale::pim
