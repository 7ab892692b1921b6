#pragma once

#include <QString>

namespace quorvale::pim {

// A folder's DefaultItemType, numbered as Outlook numbers them: the codes are
// stored in folder metadata and compared with the codes the program expects.
enum class ItemType {
    Mail = 0,
    Appointment = 1,
    Contact = 2,
    Task = 3,
    Journal = 4,
    Note = 5,
};

// Why an item file is read. A file read to be edited must prove that what the
// program would write back reads again, so a save can never leave an item no
// reader takes; a file read only to be shown (a list's summary) writes nothing
// and is spared that second parse.
enum class ReadPurpose { Edit, Show };

// The default folders of a store, numbered as Outlook's GetDefaultFolder takes
// them.
enum class DefaultFolder {
    DeletedItems = 3,
    Outbox = 4,
    SentMail = 5,
    Inbox = 6,
    Calendar = 9,
    Contacts = 10,
    Journal = 11,
    Notes = 12,
    Tasks = 13,
    Drafts = 16,
};

// Every default folder, in the order a new store creates them.
inline constexpr DefaultFolder AllDefaultFolders[] = {
    DefaultFolder::Calendar,     DefaultFolder::Contacts, DefaultFolder::Journal,
    DefaultFolder::Notes,        DefaultFolder::Tasks,    DefaultFolder::Inbox,
    DefaultFolder::Outbox,       DefaultFolder::SentMail, DefaultFolder::Drafts,
    DefaultFolder::DeletedItems,
};

// "Calendar", "Contacts", "Journal", "Notes", "Tasks", "Inbox", "Outbox",
// "Sent Items", "Drafts", "Deleted Items".
QString defaultFolderName(DefaultFolder folder);
ItemType defaultFolderItemType(DefaultFolder folder);

// True for 0..5; codes read from disk are checked before they become an ItemType.
bool isItemTypeCode(int code);

} // namespace quorvale::pim
