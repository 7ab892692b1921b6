#pragma once

#include <QString>

// The per-user settings tree. Every key the program opens is named here once, so
// the tree that VerifyRegistryKeys creates and the keys that are read can never
// drift apart. Sub-key paths are relative to the root and use "\" between keys.
namespace quorvale::RegistryPaths {

inline constexpr const char *Root = "\\HKEY_CURRENT_USER\\Software\\Kestrune Software\\";
inline constexpr const char *Application = "Quorvale for Office\\";
inline constexpr const char *Organisation = "Kestrune Software";
inline constexpr const char *ApplicationName = "Quorvale for Office";

inline constexpr const char *AutoTasks = "AutoTasks";
inline constexpr const char *Database = "Database";
inline constexpr const char *Defaults = "Defaults";
inline constexpr const char *DefaultsAppointments = "Defaults\\Appointments";
inline constexpr const char *DefaultsJournal = "Defaults\\Journal";
inline constexpr const char *DefaultsNotes = "Defaults\\Notes";
inline constexpr const char *DefaultsTasks = "Defaults\\Tasks";
inline constexpr const char *License = "License";
inline constexpr const char *Settings = "Settings";
inline constexpr const char *SettingsAutoFill = "Settings\\AutoFill";
inline constexpr const char *AutoFillJournal = "Settings\\AutoFill\\Journal";
inline constexpr const char *AutoFillTasks = "Settings\\AutoFill\\Tasks";
inline constexpr const char *AutoFillAppointments = "Settings\\AutoFill\\Appointments";
inline constexpr const char *AutoFillNotes = "Settings\\AutoFill\\Notes";
inline constexpr const char *SettingsFolders = "Settings\\Folders";
inline constexpr const char *SettingsValidation = "Settings\\Validation";

// The whole tree, parents before children: the order in which missing keys are
// created.
inline constexpr const char *Tree[] = {
    AutoTasks,
    Database,
    Defaults,
    DefaultsAppointments,
    DefaultsJournal,
    DefaultsNotes,
    DefaultsTasks,
    License,
    Settings,
    SettingsAutoFill,
    AutoFillJournal,
    AutoFillTasks,
    AutoFillAppointments,
    AutoFillNotes,
    SettingsFolders,
    SettingsValidation,
};

// "\HKEY_CURRENT_USER\Software\Kestrune Software\Quorvale for Office\" + subKey.
inline QString fullPath(const QString &subKey)
{
    return QLatin1String(Root) + QLatin1String(Application) + subKey;
}

} // namespace quorvale::RegistryPaths
