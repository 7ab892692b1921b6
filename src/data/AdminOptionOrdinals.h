#pragma once

#include "data/SchemaTypes.h"

#include <array>
#include <cstddef>

// The single row of tblAdminOptions is read as "SELECT * FROM tblAdminOptions" and
// addressed by column position, so the position of every option is part of the
// file format. This header is the one place that fixes it: the DDL is generated
// from adminOptionColumns, and the readers use the constants.

namespace quorvale::AdminOption {

inline constexpr int RecordID = 0;
inline constexpr int BillingInUse = 1;
inline constexpr int ContactTerm = 2;
inline constexpr int Activity1Term = 3;
inline constexpr int Activity2Term = 4;
inline constexpr int ContactInUse = 5;
inline constexpr int ContactRequired = 6;
inline constexpr int HideInactiveContacts = 7;
inline constexpr int ShowActivityNumbers = 9;
inline constexpr int Activity1InUse = 10;
inline constexpr int Activity1Required = 11;
inline constexpr int Activity1ByContact = 12; // Activity 1 list depends on the contact
inline constexpr int Activity1SortByNumber = 13;
inline constexpr int Activity2InUse = 14;
inline constexpr int Activity2Required = 15;
inline constexpr int Activity2ByContact = 16;
inline constexpr int Activity2SortByNumber = 17;
inline constexpr int ContactsFolderEntryID = 18;
inline constexpr int ContactsFolderStoreID = 19;
inline constexpr int SecondContactsFolderEntryID = 20;
inline constexpr int SecondContactsFolderStoreID = 21;
inline constexpr int JournalFolderFixed = 22;
inline constexpr int JournalFolderEntryID = 23;
inline constexpr int JournalFolderStoreID = 24;
inline constexpr int AppointmentsFolderFixed = 25;
inline constexpr int AppointmentsFolderEntryID = 26;
inline constexpr int AppointmentsFolderStoreID = 27;
inline constexpr int NotesFolderFixed = 28;
inline constexpr int NotesFolderEntryID = 29;
inline constexpr int NotesFolderStoreID = 30;
inline constexpr int RateSourceFixed = 46;
inline constexpr int FixedRateSource = 47;
inline constexpr int FixedRateLevel = 48;
inline constexpr int RateSourceContact = 49;
inline constexpr int RateSourceStaff = 50;
inline constexpr int RateSourceStaffLevel = 51;
inline constexpr int RateSourceActivity1 =
    52; // when 49-51 are off: on = Activity 1, off = Activity 2
inline constexpr int RealizationInUse = 53;
inline constexpr int ExpensesInUse = 54;
inline constexpr int PermissionsFromStaffLevel = 56;
inline constexpr int FixedChargesInUse = 58;
inline constexpr int JobOrderRequired = 60;
inline constexpr int BillingInJournal = 63; // billing user properties on journal entries
inline constexpr int FixedHourlyRate = 64;  // with RateSourceFixed: overrides the lookup when not 0
inline constexpr int ProgramVersion = 75;
inline constexpr int UpgradeRequest = 76; // 1 = upgrade the database at the next start
inline constexpr int JobOrderTerm = 77;   // empty = job orders are not used
inline constexpr int JobOrderMask = 78;

inline constexpr int Count = 79;

} // namespace quorvale::AdminOption

namespace quorvale::schema {

struct OrdinalColumn {
    int ordinal;
    Column column;
};

// Ordinals that no part of the program reads yet keep the type the row has always
// had there, so an administrator tool that fills them keeps working.
inline constexpr std::array<OrdinalColumn, AdminOption::Count> adminOptionColumns{{
    {AdminOption::RecordID, {"RecordID", ColumnType::Key}},
    {AdminOption::BillingInUse, {"BillingInUse", ColumnType::Boolean}},
    {AdminOption::ContactTerm, {"ContactTerm", ColumnType::Text, "'Contact'", 50}},
    {AdminOption::Activity1Term, {"Activity1Term", ColumnType::Text, "'Activity'", 50}},
    {AdminOption::Activity2Term, {"Activity2Term", ColumnType::Text, "'Sub-Activity'", 50}},
    {AdminOption::ContactInUse, {"ContactInUse", ColumnType::Boolean}},
    {AdminOption::ContactRequired, {"ContactRequired", ColumnType::Boolean}},
    {AdminOption::HideInactiveContacts, {"HideInactiveContacts", ColumnType::Boolean}},
    {8, {"ReservedText08", ColumnType::Text}},
    {AdminOption::ShowActivityNumbers, {"ShowActivityNumbers", ColumnType::Boolean}},
    {AdminOption::Activity1InUse, {"Activity1InUse", ColumnType::Boolean}},
    {AdminOption::Activity1Required, {"Activity1Required", ColumnType::Boolean}},
    {AdminOption::Activity1ByContact, {"Activity1ByContact", ColumnType::Boolean}},
    {AdminOption::Activity1SortByNumber, {"Activity1SortByNumber", ColumnType::Boolean}},
    {AdminOption::Activity2InUse, {"Activity2InUse", ColumnType::Boolean}},
    {AdminOption::Activity2Required, {"Activity2Required", ColumnType::Boolean}},
    {AdminOption::Activity2ByContact, {"Activity2ByContact", ColumnType::Boolean}},
    {AdminOption::Activity2SortByNumber, {"Activity2SortByNumber", ColumnType::Boolean}},
    {AdminOption::ContactsFolderEntryID, {"ContactsFolderEntryID", ColumnType::Text}},
    {AdminOption::ContactsFolderStoreID, {"ContactsFolderStoreID", ColumnType::Text}},
    {AdminOption::SecondContactsFolderEntryID, {"SecondContactsFolderEntryID", ColumnType::Text}},
    {AdminOption::SecondContactsFolderStoreID, {"SecondContactsFolderStoreID", ColumnType::Text}},
    {AdminOption::JournalFolderFixed, {"JournalFolderFixed", ColumnType::Boolean}},
    {AdminOption::JournalFolderEntryID, {"JournalFolderEntryID", ColumnType::Text}},
    {AdminOption::JournalFolderStoreID, {"JournalFolderStoreID", ColumnType::Text}},
    {AdminOption::AppointmentsFolderFixed, {"AppointmentsFolderFixed", ColumnType::Boolean}},
    {AdminOption::AppointmentsFolderEntryID, {"AppointmentsFolderEntryID", ColumnType::Text}},
    {AdminOption::AppointmentsFolderStoreID, {"AppointmentsFolderStoreID", ColumnType::Text}},
    {AdminOption::NotesFolderFixed, {"NotesFolderFixed", ColumnType::Boolean}},
    {AdminOption::NotesFolderEntryID, {"NotesFolderEntryID", ColumnType::Text}},
    {AdminOption::NotesFolderStoreID, {"NotesFolderStoreID", ColumnType::Text}},
    {31, {"ReservedText31", ColumnType::Text}},
    {32, {"ReservedText32", ColumnType::Text}},
    {33, {"ReservedText33", ColumnType::Text}},
    {34, {"ReservedText34", ColumnType::Text}},
    {35, {"ReservedText35", ColumnType::Text}},
    {36, {"ReservedText36", ColumnType::Text}},
    {37, {"ReservedText37", ColumnType::Text}},
    {38, {"ReservedText38", ColumnType::Text}},
    {39, {"ReservedText39", ColumnType::Text}},
    {40, {"ReservedText40", ColumnType::Text}},
    {41, {"ReservedInteger41", ColumnType::Integer}},
    {42, {"ReservedInteger42", ColumnType::Integer}},
    {43, {"ReservedInteger43", ColumnType::Integer}},
    {44, {"ReservedInteger44", ColumnType::Integer}},
    {45, {"ReservedInteger45", ColumnType::Integer}},
    {AdminOption::RateSourceFixed, {"RateSourceFixed", ColumnType::Boolean}},
    {AdminOption::FixedRateSource, {"FixedRateSource", ColumnType::Text, "'Staff Rates'", 100}},
    {AdminOption::FixedRateLevel, {"FixedRateLevel", ColumnType::Text, "'1'", 10}},
    {AdminOption::RateSourceContact, {"RateSourceContact", ColumnType::Boolean}},
    {AdminOption::RateSourceStaff, {"RateSourceStaff", ColumnType::Boolean}},
    {AdminOption::RateSourceStaffLevel, {"RateSourceStaffLevel", ColumnType::Boolean}},
    {AdminOption::RateSourceActivity1, {"RateSourceActivity1", ColumnType::Boolean}},
    {AdminOption::RealizationInUse, {"RealizationInUse", ColumnType::Boolean}},
    {AdminOption::ExpensesInUse, {"ExpensesInUse", ColumnType::Boolean}},
    {55, {"ReservedText55", ColumnType::Text}},
    {AdminOption::PermissionsFromStaffLevel, {"PermissionsFromStaffLevel", ColumnType::Boolean}},
    {57, {"ReservedInteger57", ColumnType::Integer}},
    {AdminOption::FixedChargesInUse, {"FixedChargesInUse", ColumnType::Boolean}},
    {59, {"ReservedInteger59", ColumnType::Integer}},
    {AdminOption::JobOrderRequired, {"JobOrderRequired", ColumnType::Boolean}},
    {61, {"ReservedText61", ColumnType::Text}},
    {62, {"ReservedText62", ColumnType::Text}},
    {AdminOption::BillingInJournal, {"BillingInJournal", ColumnType::Boolean}},
    {AdminOption::FixedHourlyRate, {"FixedHourlyRate", ColumnType::Money, "0"}},
    {65, {"ReservedText65", ColumnType::Text}},
    {66, {"ReservedInteger66", ColumnType::Integer}},
    {67, {"ReservedInteger67", ColumnType::Integer}},
    {68, {"ReservedInteger68", ColumnType::Integer}},
    {69, {"ReservedInteger69", ColumnType::Integer}},
    {70, {"ReservedInteger70", ColumnType::Integer}},
    {71, {"ReservedInteger71", ColumnType::Integer}},
    {72, {"ReservedInteger72", ColumnType::Integer}},
    {73, {"ReservedInteger73", ColumnType::Integer}},
    {74, {"ReservedInteger74", ColumnType::Integer}},
    // A whole number, not text: the stored revision is compared with the running
    // one, and "9" > "10" as text would lower it.
    {AdminOption::ProgramVersion, {"ProgramVersion", ColumnType::Integer, "0"}},
    {AdminOption::UpgradeRequest, {"UpgradeRequest", ColumnType::Integer, "0"}},
    {AdminOption::JobOrderTerm, {"JobOrderTerm", ColumnType::Text, "''", 50}},
    {AdminOption::JobOrderMask, {"JobOrderMask", ColumnType::Text, "'999-99-9999'", 50}},
}};

namespace detail {
template <std::size_t N> constexpr bool ordinalsInOrder(const std::array<OrdinalColumn, N> &columns)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (columns[i].ordinal != static_cast<int>(i))
            return false;
    }
    return true;
}
} // namespace detail

static_assert(detail::ordinalsInOrder(adminOptionColumns),
              "tblAdminOptions columns must be listed in ordinal order without gaps");

} // namespace quorvale::schema
