#include "LinkListKind.h"

#include "platform/pim/Item.h"
#include "platform/pim/ItemSummary.h"

#include <array>

namespace quorvale {

namespace {

constexpr std::array<const char *, LinkListKindCount> kSelector = {
    "Personal Tasks", "Journal Entry", "Assigned Tasks", "Time Detail", "Scheduled Appointments",
    "Notes",          "Messages",      "Documents",      "Expenses",    "Fixed Charges",
};

QStringList fields(std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *name : names)
        list.append(QLatin1String(name));
    return list;
}

} // namespace

std::optional<LinkListKind> linkListKindFromIndex(int index)
{
    if (index < 0 || index >= LinkListKindCount)
        return std::nullopt;
    return static_cast<LinkListKind>(index);
}

LinkListKind linkListKindOfLinkType(int setting)
{
    switch (setting) {
    case 0:
        return LinkListKind::TimeDetail;
    case 1:
        return LinkListKind::ScheduledAppointments;
    case 3:
        return LinkListKind::Notes;
    case 4:
        return LinkListKind::Messages;
    case 5:
        return LinkListKind::Documents;
    default:
        return LinkListKind::PersonalTasks;
    }
}

QStringList linkListSelectorTexts()
{
    QStringList list;
    for (const char *text : kSelector)
        list.append(QLatin1String(text));
    return list;
}

QString linkListSelectorText(LinkListKind kind)
{
    return QLatin1String(kSelector[static_cast<std::size_t>(kind)]);
}

QString linkListTable(LinkListKind kind)
{
    switch (kind) {
    case LinkListKind::PersonalTasks:
    case LinkListKind::AssignedTasks:
        return QStringLiteral("tblTasks");
    case LinkListKind::JournalEntry:
        return {};
    case LinkListKind::TimeDetail:
        return QStringLiteral("tblTimedAppointments");
    case LinkListKind::ScheduledAppointments:
        return QStringLiteral("tblScheduledAppointments");
    case LinkListKind::Notes:
        return QStringLiteral("tblNotes");
    case LinkListKind::Messages:
        return QStringLiteral("tblMessages");
    case LinkListKind::Documents:
        return QStringLiteral("tblDocuments");
    case LinkListKind::Expenses:
        return QStringLiteral("tblExpenses");
    case LinkListKind::FixedCharges:
        return QStringLiteral("tblFixedCharges");
    }
    return {};
}

QString linkListKeyColumn(LinkListKind kind)
{
    switch (kind) {
    case LinkListKind::Documents:
        return QStringLiteral("DocumentID");
    case LinkListKind::Expenses:
        return QStringLiteral("ExpenseID");
    case LinkListKind::FixedCharges:
        return QStringLiteral("ProductID");
    default:
        return QStringLiteral("EntryID");
    }
}

bool isItemLinkKind(LinkListKind kind)
{
    return static_cast<int>(kind) <= static_cast<int>(LinkListKind::Messages);
}

bool isChargeLinkKind(LinkListKind kind)
{
    return kind == LinkListKind::Expenses || kind == LinkListKind::FixedCharges;
}

std::optional<FolderSlot> linkFolderSlot(LinkListKind kind)
{
    switch (kind) {
    case LinkListKind::PersonalTasks:
    case LinkListKind::AssignedTasks:
        return FolderSlot::Tasks;
    case LinkListKind::JournalEntry:
        return FolderSlot::Journal;
    case LinkListKind::TimeDetail:
        return FolderSlot::TimeCardAppointments;
    case LinkListKind::ScheduledAppointments:
        return FolderSlot::ScheduledAppointments;
    case LinkListKind::Notes:
        return FolderSlot::Notes;
    default:
        return std::nullopt;
    }
}

QStringList linkListFields(LinkListKind kind)
{
    switch (kind) {
    case LinkListKind::PersonalTasks:
        return fields({"EID", "Subject", "DueDate", "Status", "Priority", "Reminder"});
    case LinkListKind::JournalEntry:
        return fields({"EID", "Subject", "StartDate", "StartTime", "Duration"});
    case LinkListKind::AssignedTasks:
        return fields({"EID", "Subject", "DueDate", "Status", "Assignee", "Evaluation", "TaskID"});
    case LinkListKind::TimeDetail:
    case LinkListKind::ScheduledAppointments:
        return fields({"EID", "Subject", "StartDate", "StartTime", "Duration"});
    case LinkListKind::Notes:
        return fields({"EID", "Subject", "Date"});
    case LinkListKind::Messages:
        return fields({"EID", "To", "From", "Subject", "Sent"});
    case LinkListKind::Documents:
        return fields({"EID", "Date", "FileName", "FilePath"});
    case LinkListKind::Expenses:
        return fields({"EID", "StartDate", "Abbreviation", "Units", "Rate", "Total"});
    case LinkListKind::FixedCharges:
        return fields({"EID", "StartDate", "Description", "Units", "Rate", "Total"});
    }
    return {};
}

QString linkListDefaultSort(LinkListKind kind)
{
    switch (kind) {
    case LinkListKind::PersonalTasks:
    case LinkListKind::AssignedTasks:
        return QStringLiteral("DueDate DESC");
    case LinkListKind::JournalEntry:
        return {};
    case LinkListKind::Notes:
    case LinkListKind::Documents:
        return QStringLiteral("Date DESC");
    case LinkListKind::Messages:
        return QStringLiteral("Sent DESC");
    default:
        return QStringLiteral("StartDate DESC");
    }
}

bool fitsLinkKind(LinkListKind kind, const pim::ItemSummary &item)
{
    switch (kind) {
    case LinkListKind::PersonalTasks:
    case LinkListKind::AssignedTasks:
        return item.type == pim::ItemType::Task &&
               (item.delegationState == 0) == (kind == LinkListKind::PersonalTasks);
    case LinkListKind::TimeDetail:
    case LinkListKind::ScheduledAppointments:
        return item.type == pim::ItemType::Appointment && item.meetingStatus == 0;
    case LinkListKind::Messages:
        return item.type == pim::ItemType::Mail;
    default:
        return true;
    }
}

bool fitsLinkKind(LinkListKind kind, const pim::Item &item)
{
    return fitsLinkKind(kind, pim::summarize(item));
}

} // namespace quorvale
