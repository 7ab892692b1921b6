#include "outlook/FolderSlot.h"

namespace quorvale {

FolderKind folderKindOf(FolderSlot slot)
{
    switch (slot) {
    case FolderSlot::Contacts:
    case FolderSlot::SecondContacts:
        return FolderKind::Contacts;
    case FolderSlot::Journal:
        return FolderKind::Journal;
    case FolderSlot::Tasks:
        return FolderKind::Tasks;
    case FolderSlot::TimeCardAppointments:
        return FolderKind::TimeCardAppointments;
    case FolderSlot::ScheduledAppointments:
        return FolderKind::ScheduledAppointments;
    case FolderSlot::Notes:
        return FolderKind::Notes;
    }
    return FolderKind::Contacts;
}

FolderSlot folderSlotOf(FolderKind kind)
{
    switch (kind) {
    case FolderKind::Contacts:
        return FolderSlot::Contacts;
    case FolderKind::Journal:
        return FolderSlot::Journal;
    case FolderKind::ScheduledAppointments:
        return FolderSlot::ScheduledAppointments;
    case FolderKind::TimeCardAppointments:
        return FolderSlot::TimeCardAppointments;
    case FolderKind::Tasks:
        return FolderSlot::Tasks;
    case FolderKind::Notes:
        return FolderSlot::Notes;
    }
    return FolderSlot::Contacts;
}

pim::ItemType expectedItemType(FolderKind kind)
{
    switch (kind) {
    case FolderKind::Contacts:
        return pim::ItemType::Contact;
    case FolderKind::Journal:
        return pim::ItemType::Journal;
    case FolderKind::ScheduledAppointments:
    case FolderKind::TimeCardAppointments:
        return pim::ItemType::Appointment;
    case FolderKind::Tasks:
        return pim::ItemType::Task;
    case FolderKind::Notes:
        return pim::ItemType::Note;
    }
    return pim::ItemType::Mail;
}

QString wrongTypeName(FolderKind kind)
{
    switch (kind) {
    case FolderKind::ScheduledAppointments:
    case FolderKind::TimeCardAppointments:
        return QStringLiteral("Calendar");
    default:
        return folderDisplayName(kind);
    }
}

pim::DefaultFolder defaultFolderFor(FolderKind kind)
{
    switch (kind) {
    case FolderKind::Contacts:
        return pim::DefaultFolder::Contacts;
    case FolderKind::Journal:
        return pim::DefaultFolder::Journal;
    case FolderKind::ScheduledAppointments:
    case FolderKind::TimeCardAppointments:
        return pim::DefaultFolder::Calendar;
    case FolderKind::Tasks:
        return pim::DefaultFolder::Tasks;
    case FolderKind::Notes:
        return pim::DefaultFolder::Notes;
    }
    return pim::DefaultFolder::Inbox;
}

FolderId &FolderIds::operator[](FolderSlot slot)
{
    return const_cast<FolderId &>(std::as_const(*this)[slot]);
}

const FolderId &FolderIds::operator[](FolderSlot slot) const
{
    switch (slot) {
    case FolderSlot::Contacts:
        return contacts;
    case FolderSlot::SecondContacts:
        return secondContacts;
    case FolderSlot::Journal:
        return journal;
    case FolderSlot::Tasks:
        return tasks;
    case FolderSlot::TimeCardAppointments:
        return timeCardAppointments;
    case FolderSlot::ScheduledAppointments:
        return scheduledAppointments;
    case FolderSlot::Notes:
        return notes;
    }
    return contacts;
}

} // namespace quorvale
