#pragma once

#include "outlook/FolderSlot.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quorvale {

namespace pim {
class Item;
struct ItemSummary;
} // namespace pim

// What the Links page lists: the selector's index, so the numbers are the ones
// the window and the commands pass around.
enum class LinkListKind {
    PersonalTasks = 0,
    JournalEntry = 1,
    AssignedTasks = 2,
    TimeDetail = 3,
    ScheduledAppointments = 4,
    Notes = 5,
    Messages = 6,
    Documents = 7,
    Expenses = 8,
    FixedCharges = 9,
};
inline constexpr int LinkListKindCount = 10;

std::optional<LinkListKind> linkListKindFromIndex(int index);
// The kind the "Default Link Type" setting shows first: its choices are time
// detail, scheduled appointments, tasks, notes, messages and documents, in
// that order. Any other number gives the tasks.
LinkListKind linkListKindOfLinkType(int setting);
// The selector's entries in index order.
QStringList linkListSelectorTexts();
QString linkListSelectorText(LinkListKind kind);

// The link table a kind reads (empty for the journal entry, which is a column
// of the TimeCard itself) and its key column.
QString linkListTable(LinkListKind kind);
QString linkListKeyColumn(LinkListKind kind);

// Kinds whose rows name an item of the store by EntryID.
bool isItemLinkKind(LinkListKind kind);
// Expenses and fixed charges: rows of their own, keyed by number.
bool isChargeLinkKind(LinkListKind kind);
// Whether a store item belongs in the kind's list: a task by its delegation,
// an appointment only while it is no meeting, a message only if it is mail.
bool fitsLinkKind(LinkListKind kind, const pim::ItemSummary &item);
bool fitsLinkKind(LinkListKind kind, const pim::Item &item);
// The connection's folder whose StoreID finds a kind's items. Messages have
// none: each link row keeps its own StoreID.
std::optional<FolderSlot> linkFolderSlot(LinkListKind kind);

// The fields of the link list, in order; the first is always EID.
QStringList linkListFields(LinkListKind kind);
// The sort a fresh list starts with ("DueDate DESC", ...).
QString linkListDefaultSort(LinkListKind kind);

} // namespace quorvale
