#pragma once

#include "platform/pim/ItemType.h"
#include "platform/pim/UserProperties.h"

#include <QDateTime>
#include <QString>

namespace quorvale::pim {

class Item;

// What the link lists and link choosers show of an item, read once from its
// file: a plain value that may be made on one thread and read on another.
// Fields a kind does not have stay empty (invalid times, 0).
struct ItemSummary {
    ItemType type = ItemType::Journal;
    QString fileName; // within the folder, as Items::fileNames() names it
    QString entryId;
    QString storeId;
    QString folderName;
    // What finds the item again when its file is renamed: the calendar UID
    // (empty for kinds without one, or a file that lacks it) and the user
    // properties that name its owner and its own EntryID as it was written.
    QString uid;
    UserProperties userProperties;
    QString subject;
    QDateTime creationTime;
    // Tasks.
    QDateTime dueDate;
    int status = 0;
    int importance = 0;
    bool reminderSet = false;
    QDateTime reminderTime;
    int delegationState = 0;
    QString assignees; // "name; name", the address where there is no name
    // Appointments.
    QDateTime start;
    int durationMinutes = 0;
    int meetingStatus = 0;
    // Messages.
    QString to;
    QString from; // the sender's name, else the address
    QDateTime sentOn;

    bool operator==(const ItemSummary &) const = default;
};

ItemSummary summarize(const Item &item);

} // namespace quorvale::pim
