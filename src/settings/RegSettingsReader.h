#pragma once

#include "settings/RegSettings.h"

namespace quorvale {

class Registry;

// Reads the Defaults, AutoFill, Validation, License and Settings values into
// settings, each with its default when missing or unreadable. "Startup Tip
// Number" is read only while "Startup Tips" is on. Folders and the tblUsers
// values are left alone: they need the database and the item store.
// Throws QvError when the settings file cannot be read.
void readRegSettings(Registry &registry, RegSettings &settings);

} // namespace quorvale
