#pragma once

// Names of the values the settings procedures read and write, each spelt once.
// The key paths are in platform/registry/RegistryPaths.h.
namespace quorvale::RegValue {

// License
inline constexpr const char *UserName = "User Name";
inline constexpr const char *UserEid = "User EID";
inline constexpr const char *UserId = "User ID";

// Defaults\* (several kinds share a name)
inline constexpr const char *DefaultCategory = "Default Category";
inline constexpr const char *DefaultEntryType = "Default Entry Type";
inline constexpr const char *DefaultBillingStatus = "Default Billing Status";
inline constexpr const char *DefaultRateSource = "Default Rate Source";
inline constexpr const char *DefaultRateLevel = "Default Rate Level";
inline constexpr const char *DefaultMainActivity = "Default Main Activity";
inline constexpr const char *DefaultSubActivity = "Default Sub Activity";
inline constexpr const char *AutoSave = "AutoSave";
inline constexpr const char *DefaultReminder = "Default Reminder";
inline constexpr const char *DefaultShowTimeAs = "Default Show Time As";
inline constexpr const char *DefaultDuration = "Default Duration";
inline constexpr const char *DefaultBillingInterval = "Default Billing Interval";
inline constexpr const char *DefaultDueDate = "Default Due Date";
inline constexpr const char *DefaultStart = "Default Start";
inline constexpr const char *DefaultPriority = "Default Priority";
inline constexpr const char *DefaultStatus = "Default Status";
inline constexpr const char *DefaultPhoneDueDate = "Default Phone Due Date";
inline constexpr const char *DefaultPhoneReminder = "Default Phone Reminder";
inline constexpr const char *DefaultPhonePriority = "Default Phone Priority";
inline constexpr const char *DefaultPhoneCategory = "Default Phone Category";

// Settings
inline constexpr const char *Tooltips = "Tooltips";
inline constexpr const char *IdleMinutes = "Idle Minutes";
inline constexpr const char *LongRunMinutes = "Long Run Minutes";
inline constexpr const char *WorkingDayStart = "Working Day Start";
inline constexpr const char *WorkingDayEnd = "Working Day End";
inline constexpr const char *DefaultLinkType = "Default Link Type";
inline constexpr const char *QuickFilterType = "Quick Filter Type";
inline constexpr const char *TimeFormat = "Time Format";
inline constexpr const char *ShowHiddenTimeCards = "Show Hidden TimeCards";
inline constexpr const char *DefaultSort = "Default Sort";
inline constexpr const char *AutostartTimer = "Autostart Timer";
inline constexpr const char *TimeDetailOption = "Time Detail Option";
inline constexpr const char *StartupTips = "Startup Tips";
inline constexpr const char *StartupTipNumber = "Startup Tip Number";
inline constexpr const char *DefaultBrowser = "Default Browser";
// A sendmail-compatible command line that takes a message on standard input.
inline constexpr const char *MailCommand = "Mail Command";
// The address the person's messages are from ("ann@example.org" or "Ann Lee
// <ann@example.org>").
inline constexpr const char *EmailAddress = "E-mail Address";
inline constexpr const char *DefaultFileDirectory = "Default File Directory";
inline constexpr const char *LastRecord = "Last Record";
inline constexpr const char *ViewTimeDetail = "View Time Detail";
inline constexpr const char *ViewActiveTaskList = "View Active Task List";
inline constexpr const char *FormHeight = "Form Height";
inline constexpr const char *FormWidth = "Form Width";

// Settings\Validation
inline constexpr const char *EndBeforeStart = "End Before Start";
inline constexpr const char *NoTimeSpent = "No Time Spent";
inline constexpr const char *NoHourlyRate = "No Hourly Rate";
inline constexpr const char *NoDescription = "No Description";
inline constexpr const char *NoJobOrder = "No Job Order";

// Settings\Folders: folderDisplayName(kind) + one of these.
inline constexpr const char *EntryIdSuffix = " EntryID";
inline constexpr const char *StoreIdSuffix = " StoreID";

} // namespace quorvale::RegValue
