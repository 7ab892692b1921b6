#pragma once

#include "settings/AdminSettings.h"
#include "settings/FolderSettings.h"
#include "settings/RegSettings.h"
#include "support/Version.h"

namespace quorvale {

class ErrorHandler;
class Prompts;
class Registry;

namespace db {
class Connection;
class Recordset;
} // namespace db

// Creates every missing key of the settings tree, parents first. Errors go to the
// error handler; false then.
bool VerifyRegistryKeys(Registry &registry, ErrorHandler &errors);

// Start-up's reading of the settings: the administrator options (through
// RetrieveAdminSettings), the user's tblUsers row, the folders and every
// registry value, with the rate-source and quick-filter rules applied and
// written back where they changed a value.
//
// False, after telling the person, when the user's row is missing or inactive;
// false, after the error handler, on errors. The caller then ends the program.
// settings and options change only on success (options as soon as they are read).
bool GetRegSettings(Registry &registry, db::Connection &cnnLink, db::Recordset &rsAdminOptions,
                    const DefaultFolderFn &defaultFolder, Prompts &prompts, ErrorHandler &errors,
                    RegSettings &settings, AdminOptions &options,
                    int runningRevision = Version::Revision);

// Overwrites the user's settings with the administrator's defaults: every column
// of the tblUserSettings row into its registry value, in one write. Null columns
// leave their value as it is. Errors go to the error handler; false then, and
// nothing is written.
bool RetrieveAdminDefaults(Registry &registry, db::Connection &cnnLink, ErrorHandler &errors);
// The same, throwing QvError instead of reporting: for the administrator tool.
void copyAdministratorDefaults(Registry &registry, db::Connection &cnnLink);

} // namespace quorvale
