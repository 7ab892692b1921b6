#pragma once

#include "ui/TimeCardFields.h"

namespace quorvale {

class StartUp;

// The main window's pick lists (contact name, activity lists, categories,
// active tasks), from the statements start-up prepared and the item store.
PickListSource pickListSource(StartUp &startUp);

} // namespace quorvale
