#pragma once

#include "ui/TimeCardFields.h"

namespace quorvale {

class OutlookSession;
struct AdminOptions;
struct PreparedCommands;

// The main window's pick lists (contact name, activity lists, categories,
// active tasks), from the statements start-up prepared and the item store.
PickListSource pickListSource(const PreparedCommands &commands, const AdminOptions &options,
                              OutlookSession &outlook);

} // namespace quorvale
