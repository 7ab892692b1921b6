#include "platform/pim/ItemType.h"

namespace quorvale::pim {

QString defaultFolderName(DefaultFolder folder)
{
    switch (folder) {
    case DefaultFolder::DeletedItems:
        return QStringLiteral("Deleted Items");
    case DefaultFolder::Outbox:
        return QStringLiteral("Outbox");
    case DefaultFolder::SentMail:
        return QStringLiteral("Sent Items");
    case DefaultFolder::Drafts:
        return QStringLiteral("Drafts");
    case DefaultFolder::Inbox:
        return QStringLiteral("Inbox");
    case DefaultFolder::Calendar:
        return QStringLiteral("Calendar");
    case DefaultFolder::Contacts:
        return QStringLiteral("Contacts");
    case DefaultFolder::Journal:
        return QStringLiteral("Journal");
    case DefaultFolder::Notes:
        return QStringLiteral("Notes");
    case DefaultFolder::Tasks:
        return QStringLiteral("Tasks");
    }
    return QString();
}

ItemType defaultFolderItemType(DefaultFolder folder)
{
    switch (folder) {
    case DefaultFolder::Calendar:
        return ItemType::Appointment;
    case DefaultFolder::Contacts:
        return ItemType::Contact;
    case DefaultFolder::Journal:
        return ItemType::Journal;
    case DefaultFolder::Notes:
        return ItemType::Note;
    case DefaultFolder::Tasks:
        return ItemType::Task;
    case DefaultFolder::DeletedItems:
    case DefaultFolder::Outbox:
    case DefaultFolder::SentMail:
    case DefaultFolder::Drafts:
    case DefaultFolder::Inbox:
        return ItemType::Mail;
    }
    return ItemType::Mail;
}

bool isItemTypeCode(int code)
{
    return code >= static_cast<int>(ItemType::Mail) && code <= static_cast<int>(ItemType::Note);
}

} // namespace quorvale::pim
