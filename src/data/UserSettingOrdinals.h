#pragma once

#include "data/SchemaTypes.h"

#include <array>
#include <cstddef>
#include <string_view>

// The single row of tblUserSettings holds the administrator's defaults for the
// per-user settings. It is read as "SELECT * FROM tblUserSettings" and copied into
// the settings tree by column position, so each position is tied to one registry
// value here, once: the DDL is generated from userSettingColumns and the copy
// walks the same list.

namespace quorvale::UserSetting {

inline constexpr int TaskSelection = 0;
inline constexpr int LinkUser = 1;
inline constexpr int LinkUserIfNoContact = 2;
inline constexpr int Introduction = 3;
inline constexpr int NewTaskDescription = 4;
inline constexpr int FillIn1 = 5;
inline constexpr int FillIn2 = 6;
inline constexpr int FillIn3 = 7;
inline constexpr int FillIn4 = 8;
inline constexpr int UserPrompt1 = 9;
inline constexpr int UserPrompt2 = 10;
inline constexpr int UserPrompt3 = 11;
inline constexpr int UserPrompt4 = 12;
inline constexpr int ViewTasks = 13;
inline constexpr int AppointmentCategory = 14;
inline constexpr int AppointmentReminder = 15;
inline constexpr int AppointmentShowTimeAs = 16;
inline constexpr int AppointmentDuration = 17;
inline constexpr int BillingInterval = 18;
inline constexpr int JournalCategory = 19;
inline constexpr int JournalEntryType = 20;
inline constexpr int JournalBillingStatus = 21;
inline constexpr int JournalRateSource = 22;
inline constexpr int JournalRateLevel = 23;
inline constexpr int AutoSave = 24;
inline constexpr int NoteCategory = 25;
inline constexpr int TaskCategory = 26;
inline constexpr int TaskDueDate = 27;
inline constexpr int TaskStart = 28;
inline constexpr int TaskReminder = 29;
inline constexpr int TaskPriority = 30;
inline constexpr int TaskStatus = 31;
inline constexpr int PhoneDueDate = 32;
inline constexpr int PhoneReminder = 33;
inline constexpr int PhonePriority = 34;
inline constexpr int PhoneCategory = 35;
inline constexpr int Tooltips = 36;
inline constexpr int DefaultLinkType = 37;
inline constexpr int QuickFilterType = 38;
inline constexpr int TimeFormat = 39;
inline constexpr int ShowHiddenTimeCards = 40;
inline constexpr int DefaultSort = 41;
inline constexpr int AutostartTimer = 42;
inline constexpr int AutoFillAppointment0 = 43;
inline constexpr int AutoFillAppointment1 = 44;
inline constexpr int AutoFillAppointment2 = 45;
inline constexpr int AutoFillAppointment3 = 46;
inline constexpr int AutoFillAppointment4 = 47;
inline constexpr int AutoFillAppointment5 = 48;
inline constexpr int AutoFillAppointment6 = 49;
inline constexpr int AutoFillAppointment7 = 50;
inline constexpr int AutoFillAppointment8 = 51;
inline constexpr int AutoFillAppointment9 = 52;
inline constexpr int AutoFillJournal0 = 53;
inline constexpr int AutoFillJournal1 = 54;
inline constexpr int AutoFillJournal2 = 55;
inline constexpr int AutoFillJournal3 = 56;
inline constexpr int AutoFillJournal4 = 57;
inline constexpr int AutoFillJournal5 = 58;
inline constexpr int AutoFillJournal6 = 59;
inline constexpr int AutoFillJournal7 = 60;
inline constexpr int AutoFillJournal8 = 61;
inline constexpr int AutoFillJournal9 = 62;
inline constexpr int AutoFillNote0 = 63;
inline constexpr int AutoFillNote1 = 64;
inline constexpr int AutoFillNote2 = 65;
inline constexpr int AutoFillNote3 = 66;
inline constexpr int AutoFillNote4 = 67;
inline constexpr int AutoFillNote5 = 68;
inline constexpr int AutoFillTask0 = 69;
inline constexpr int AutoFillTask1 = 70;
inline constexpr int AutoFillTask2 = 71;
inline constexpr int AutoFillTask3 = 72;
inline constexpr int AutoFillTask4 = 73;
inline constexpr int AutoFillTask5 = 74;
inline constexpr int AutoFillTask6 = 75;
inline constexpr int AutoFillTask7 = 76;
inline constexpr int AutoFillTask8 = 77;
inline constexpr int AutoFillTask9 = 78;
inline constexpr int EndBeforeStart = 79;
inline constexpr int NoTimeSpent = 80;
inline constexpr int NoHourlyRate = 81;
inline constexpr int NoDescription = 82;

inline constexpr int Count = 83;
// The row's own key, after the copied columns so that their positions stay put.
inline constexpr int RecordID = 83;

} // namespace quorvale::UserSetting

namespace quorvale::schema {

// How a column's value is written into the settings tree.
enum class RegistryValue {
    Text,        // text column, text value
    Integer,     // integer column, integer value
    IntegerText, // integer column, written as the text of the number
};

struct UserSettingColumn {
    int ordinal;
    Column column;
    std::string_view registryKey;   // relative to the program's root key, "\\" between keys
    std::string_view registryValue; // the value's name inside that key
    RegistryValue kind;
};

// Defaults are those a fresh settings tree gets, so a row inserted with DEFAULT
// VALUES hands every user the program's own defaults.
inline constexpr std::array<UserSettingColumn, UserSetting::Count> userSettingColumns{{
    {0,
     {"TaskSelection", ColumnType::Integer, "0"},
     "AutoTasks",
     "Task Selection",
     RegistryValue::Integer},
    {1, {"LinkUser", ColumnType::Integer, "0"}, "AutoTasks", "Link User", RegistryValue::Integer},
    {2,
     {"LinkUserIfNoContact", ColumnType::Integer, "0"},
     "AutoTasks",
     "Link User if no Contact",
     RegistryValue::Integer},
    {3,
     {"Introduction", ColumnType::Integer, "0"},
     "AutoTasks",
     "Introduction",
     RegistryValue::Integer},
    {4,
     {"NewTaskDescription", ColumnType::Integer, "0"},
     "AutoTasks",
     "New Task Description",
     RegistryValue::Integer},
    {5, {"FillIn1", ColumnType::Text, "''"}, "AutoTasks", "Fill-In 1", RegistryValue::Text},
    {6, {"FillIn2", ColumnType::Text, "''"}, "AutoTasks", "Fill-In 2", RegistryValue::Text},
    {7, {"FillIn3", ColumnType::Text, "''"}, "AutoTasks", "Fill-In 3", RegistryValue::Text},
    {8, {"FillIn4", ColumnType::Text, "''"}, "AutoTasks", "Fill-In 4", RegistryValue::Text},
    {9, {"UserPrompt1", ColumnType::Text, "''"}, "AutoTasks", "User Prompt 1", RegistryValue::Text},
    {10,
     {"UserPrompt2", ColumnType::Text, "''"},
     "AutoTasks",
     "User Prompt 2",
     RegistryValue::Text},
    {11,
     {"UserPrompt3", ColumnType::Text, "''"},
     "AutoTasks",
     "User Prompt 3",
     RegistryValue::Text},
    {12,
     {"UserPrompt4", ColumnType::Text, "''"},
     "AutoTasks",
     "User Prompt 4",
     RegistryValue::Text},
    {13,
     {"ViewTasks", ColumnType::Integer, "0"},
     "AutoTasks",
     "View Tasks",
     RegistryValue::Integer},
    {14,
     {"AppointmentCategory", ColumnType::Text, "'None'"},
     "Defaults\\Appointments",
     "Default Category",
     RegistryValue::Text},
    {15,
     {"AppointmentReminder", ColumnType::Text, "'2 days'"},
     "Defaults\\Appointments",
     "Default Reminder",
     RegistryValue::Text},
    {16,
     {"AppointmentShowTimeAs", ColumnType::Text, "'Busy'"},
     "Defaults\\Appointments",
     "Default Show Time As",
     RegistryValue::Text},
    {17,
     {"AppointmentDuration", ColumnType::Text, "'1 hour'"},
     "Defaults\\Appointments",
     "Default Duration",
     RegistryValue::Text},
    {18,
     {"BillingInterval", ColumnType::Text, "'5 minutes'"},
     "Defaults\\Appointments",
     "Default Billing Interval",
     RegistryValue::Text},
    {19,
     {"JournalCategory", ColumnType::Text, "'None'"},
     "Defaults\\Journal",
     "Default Category",
     RegistryValue::Text},
    {20,
     {"JournalEntryType", ColumnType::Text, "'Task'"},
     "Defaults\\Journal",
     "Default Entry Type",
     RegistryValue::Text},
    {21,
     {"JournalBillingStatus", ColumnType::Text, "'Billable'"},
     "Defaults\\Journal",
     "Default Billing Status",
     RegistryValue::Text},
    {22,
     {"JournalRateSource", ColumnType::Text, "'Staff Rates'"},
     "Defaults\\Journal",
     "Default Rate Source",
     RegistryValue::Text},
    {23,
     {"JournalRateLevel", ColumnType::Text, "'1'"},
     "Defaults\\Journal",
     "Default Rate Level",
     RegistryValue::Text},
    {24,
     {"AutoSave", ColumnType::Integer, "1"},
     "Defaults\\Journal",
     "AutoSave",
     RegistryValue::Integer},
    {25,
     {"NoteCategory", ColumnType::Text, "'None'"},
     "Defaults\\Notes",
     "Default Category",
     RegistryValue::Text},
    {26,
     {"TaskCategory", ColumnType::Text, "'None'"},
     "Defaults\\Tasks",
     "Default Category",
     RegistryValue::Text},
    {27,
     {"TaskDueDate", ColumnType::Text, "'6 days'"},
     "Defaults\\Tasks",
     "Default Due Date",
     RegistryValue::Text},
    {28,
     {"TaskStart", ColumnType::Text, "'None'"},
     "Defaults\\Tasks",
     "Default Start",
     RegistryValue::Text},
    {29,
     {"TaskReminder", ColumnType::Text, "'2 days'"},
     "Defaults\\Tasks",
     "Default Reminder",
     RegistryValue::Text},
    {30,
     {"TaskPriority", ColumnType::Text, "'Normal'"},
     "Defaults\\Tasks",
     "Default Priority",
     RegistryValue::Text},
    {31,
     {"TaskStatus", ColumnType::Text, "'Not Started'"},
     "Defaults\\Tasks",
     "Default Status",
     RegistryValue::Text},
    {32,
     {"PhoneDueDate", ColumnType::Text, "'Today'"},
     "Defaults\\Tasks",
     "Default Phone Due Date",
     RegistryValue::Text},
    {33,
     {"PhoneReminder", ColumnType::Text, "'2 hours'"},
     "Defaults\\Tasks",
     "Default Phone Reminder",
     RegistryValue::Text},
    {34,
     {"PhonePriority", ColumnType::Text, "'High'"},
     "Defaults\\Tasks",
     "Default Phone Priority",
     RegistryValue::Text},
    {35,
     {"PhoneCategory", ColumnType::Text, "'None'"},
     "Defaults\\Tasks",
     "Default Phone Category",
     RegistryValue::Text},
    {36, {"Tooltips", ColumnType::Integer, "1"}, "Settings", "Tooltips", RegistryValue::Integer},
    {37,
     {"DefaultLinkType", ColumnType::Integer, "0"},
     "Settings",
     "Default Link Type",
     RegistryValue::IntegerText},
    {38,
     {"QuickFilterType", ColumnType::Integer, "0"},
     "Settings",
     "Quick Filter Type",
     RegistryValue::Integer},
    {39,
     {"TimeFormat", ColumnType::Integer, "0"},
     "Settings",
     "Time Format",
     RegistryValue::Integer},
    {40,
     {"ShowHiddenTimeCards", ColumnType::Integer, "0"},
     "Settings",
     "Show Hidden TimeCards",
     RegistryValue::Integer},
    {41,
     {"DefaultSort", ColumnType::Text, "' ORDER BY tblTimeCards.TimeCardID ASC'"},
     "Settings",
     "Default Sort",
     RegistryValue::Text},
    {42,
     {"AutostartTimer", ColumnType::Integer, "0"},
     "Settings",
     "Autostart Timer",
     RegistryValue::Integer},
    {43,
     {"AutoFillAppointment0", ColumnType::Integer, "12"},
     "Settings\\AutoFill\\Appointments",
     "0",
     RegistryValue::IntegerText},
    {44,
     {"AutoFillAppointment1", ColumnType::Integer, "2"},
     "Settings\\AutoFill\\Appointments",
     "1",
     RegistryValue::IntegerText},
    {45,
     {"AutoFillAppointment2", ColumnType::Integer, "3"},
     "Settings\\AutoFill\\Appointments",
     "2",
     RegistryValue::IntegerText},
    {46,
     {"AutoFillAppointment3", ColumnType::Integer, "6"},
     "Settings\\AutoFill\\Appointments",
     "3",
     RegistryValue::IntegerText},
    {47,
     {"AutoFillAppointment4", ColumnType::Integer, "8"},
     "Settings\\AutoFill\\Appointments",
     "4",
     RegistryValue::IntegerText},
    {48,
     {"AutoFillAppointment5", ColumnType::Integer, "12"},
     "Settings\\AutoFill\\Appointments",
     "5",
     RegistryValue::IntegerText},
    {49,
     {"AutoFillAppointment6", ColumnType::Integer, "2"},
     "Settings\\AutoFill\\Appointments",
     "6",
     RegistryValue::IntegerText},
    {50,
     {"AutoFillAppointment7", ColumnType::Integer, "0"},
     "Settings\\AutoFill\\Appointments",
     "7",
     RegistryValue::IntegerText},
    {51,
     {"AutoFillAppointment8", ColumnType::Integer, "0"},
     "Settings\\AutoFill\\Appointments",
     "8",
     RegistryValue::IntegerText},
    {52,
     {"AutoFillAppointment9", ColumnType::Integer, "0"},
     "Settings\\AutoFill\\Appointments",
     "9",
     RegistryValue::IntegerText},
    {53,
     {"AutoFillJournal0", ColumnType::Integer, "11"},
     "Settings\\AutoFill\\Journal",
     "0",
     RegistryValue::IntegerText},
    {54,
     {"AutoFillJournal1", ColumnType::Integer, "2"},
     "Settings\\AutoFill\\Journal",
     "1",
     RegistryValue::IntegerText},
    {55,
     {"AutoFillJournal2", ColumnType::Integer, "3"},
     "Settings\\AutoFill\\Journal",
     "2",
     RegistryValue::IntegerText},
    {56,
     {"AutoFillJournal3", ColumnType::Integer, "6"},
     "Settings\\AutoFill\\Journal",
     "3",
     RegistryValue::IntegerText},
    {57,
     {"AutoFillJournal4", ColumnType::Integer, "8"},
     "Settings\\AutoFill\\Journal",
     "4",
     RegistryValue::IntegerText},
    {58,
     {"AutoFillJournal5", ColumnType::Integer, "11"},
     "Settings\\AutoFill\\Journal",
     "5",
     RegistryValue::IntegerText},
    {59,
     {"AutoFillJournal6", ColumnType::Integer, "2"},
     "Settings\\AutoFill\\Journal",
     "6",
     RegistryValue::IntegerText},
    {60,
     {"AutoFillJournal7", ColumnType::Integer, "0"},
     "Settings\\AutoFill\\Journal",
     "7",
     RegistryValue::IntegerText},
    {61,
     {"AutoFillJournal8", ColumnType::Integer, "0"},
     "Settings\\AutoFill\\Journal",
     "8",
     RegistryValue::IntegerText},
    {62,
     {"AutoFillJournal9", ColumnType::Integer, "0"},
     "Settings\\AutoFill\\Journal",
     "9",
     RegistryValue::IntegerText},
    {63,
     {"AutoFillNote0", ColumnType::Integer, "13"},
     "Settings\\AutoFill\\Notes",
     "0",
     RegistryValue::IntegerText},
    {64,
     {"AutoFillNote1", ColumnType::Integer, "2"},
     "Settings\\AutoFill\\Notes",
     "1",
     RegistryValue::IntegerText},
    {65,
     {"AutoFillNote2", ColumnType::Integer, "3"},
     "Settings\\AutoFill\\Notes",
     "2",
     RegistryValue::IntegerText},
    {66,
     {"AutoFillNote3", ColumnType::Integer, "6"},
     "Settings\\AutoFill\\Notes",
     "3",
     RegistryValue::IntegerText},
    {67,
     {"AutoFillNote4", ColumnType::Integer, "8"},
     "Settings\\AutoFill\\Notes",
     "4",
     RegistryValue::IntegerText},
    {68,
     {"AutoFillNote5", ColumnType::Integer, "13"},
     "Settings\\AutoFill\\Notes",
     "5",
     RegistryValue::IntegerText},
    {69,
     {"AutoFillTask0", ColumnType::Integer, "10"},
     "Settings\\AutoFill\\Tasks",
     "0",
     RegistryValue::IntegerText},
    {70,
     {"AutoFillTask1", ColumnType::Integer, "2"},
     "Settings\\AutoFill\\Tasks",
     "1",
     RegistryValue::IntegerText},
    {71,
     {"AutoFillTask2", ColumnType::Integer, "3"},
     "Settings\\AutoFill\\Tasks",
     "2",
     RegistryValue::IntegerText},
    {72,
     {"AutoFillTask3", ColumnType::Integer, "6"},
     "Settings\\AutoFill\\Tasks",
     "3",
     RegistryValue::IntegerText},
    {73,
     {"AutoFillTask4", ColumnType::Integer, "8"},
     "Settings\\AutoFill\\Tasks",
     "4",
     RegistryValue::IntegerText},
    {74,
     {"AutoFillTask5", ColumnType::Integer, "10"},
     "Settings\\AutoFill\\Tasks",
     "5",
     RegistryValue::IntegerText},
    {75,
     {"AutoFillTask6", ColumnType::Integer, "2"},
     "Settings\\AutoFill\\Tasks",
     "6",
     RegistryValue::IntegerText},
    {76,
     {"AutoFillTask7", ColumnType::Integer, "0"},
     "Settings\\AutoFill\\Tasks",
     "7",
     RegistryValue::IntegerText},
    {77,
     {"AutoFillTask8", ColumnType::Integer, "0"},
     "Settings\\AutoFill\\Tasks",
     "8",
     RegistryValue::IntegerText},
    {78,
     {"AutoFillTask9", ColumnType::Integer, "0"},
     "Settings\\AutoFill\\Tasks",
     "9",
     RegistryValue::IntegerText},
    {79,
     {"EndBeforeStart", ColumnType::Integer, "0"},
     "Settings\\Validation",
     "End Before Start",
     RegistryValue::Integer},
    {80,
     {"NoTimeSpent", ColumnType::Integer, "0"},
     "Settings\\Validation",
     "No Time Spent",
     RegistryValue::Integer},
    {81,
     {"NoHourlyRate", ColumnType::Integer, "0"},
     "Settings\\Validation",
     "No Hourly Rate",
     RegistryValue::Integer},
    {82,
     {"NoDescription", ColumnType::Integer, "0"},
     "Settings\\Validation",
     "No Description",
     RegistryValue::Integer},
}};

namespace detail {
template <std::size_t N>
constexpr bool userSettingOrdinalsInOrder(const std::array<UserSettingColumn, N> &columns)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (columns[i].ordinal != static_cast<int>(i))
            return false;
    }
    return true;
}
} // namespace detail

static_assert(detail::userSettingOrdinalsInOrder(userSettingColumns),
              "tblUserSettings columns must be listed in ordinal order without gaps");

} // namespace quorvale::schema
