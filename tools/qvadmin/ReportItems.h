#pragma once

#include "platform/pim/ItemType.h"
#include "qvadmin/ReportTable.h"

namespace quorvale::pim {
class Namespace;
}

namespace quorvale::admin {

// The text a report shows for an item whose file is gone and that nothing in
// the store claims any more.
inline constexpr char ItemNotFound[] = "(item not found)";

// Puts before the EntryID column what each listed item says of itself: its
// subject, its date (an appointment's start, a message's sending, else when it
// was made), its due or end, and its status (a task's, a message's sent or
// not). An item whose file has gone is looked for again by what its file
// held, read only: the report changes nothing in the database or the store.
// `items` null (no store beside the database) counts every item as not found.
void addItemColumns(ReportTable &table, int entryIdColumn, pim::ItemType type,
                    const pim::Namespace *items);

} // namespace quorvale::admin
