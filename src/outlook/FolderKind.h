#pragma once

#include <QString>

namespace quorvale {

// The kinds of item-store folder the program uses. The codes are fixed: they
// select the names in messages and the registry value names of stored folders.
enum class FolderKind {
    Contacts = 0,
    Journal = 1,
    ScheduledAppointments = 2,
    TimeCardAppointments = 3,
    Tasks = 4,
    Notes = 5,
};

// "Contacts", "Journal", "Scheduled Appointments", "TimeCard Appointments",
// "Tasks", "Notes": the display name, also the stem of the registry value names
// ("Journal EntryID", "Journal StoreID").
QString folderDisplayName(FolderKind kind);

// The folder's EntryID and StoreID as stored. Empty EntryID = not chosen yet.
struct FolderId {
    QString entryId;
    QString storeId;

    bool isEmpty() const { return entryId.isEmpty(); }
    bool operator==(const FolderId &) const = default;
};

} // namespace quorvale
