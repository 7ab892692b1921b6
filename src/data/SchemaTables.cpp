#include "data/SchemaTables.h"

#include "data/AdminOptionOrdinals.h"
#include "data/UserSettingOrdinals.h"

#include <algorithm>
#include <cctype>

namespace quorvale::schema {

namespace {

using T = ColumnType;

// Rate levels 1 to 6 of a rate source row.
void addRates(std::vector<Column> &columns)
{
    static constexpr std::string_view names[] = {"Rate1", "Rate2", "Rate3",
                                                 "Rate4", "Rate5", "Rate6"};
    for (auto name : names)
        columns.push_back({name, T::Money, "0"});
}

Table timeCards()
{
    // Positions are part of the format: the main window binds its fields in this
    // order. References between the id columns and their tables are kept by the
    // program, not declared: rows carry 0 for "none" (expenses written without a
    // contact, the "no activity" default), which a declared reference would refuse.
    return {"tblTimeCards",
            {
                {"TimeCardID", T::AutoNumber},
                {"JournalEntryID", T::Text},
                {"ContactID", T::Integer},
                {"UserId", T::Integer},
                {"Activity1ID", T::Integer},
                {"Activity2ID", T::Integer},
                {"InvoiceID", T::Integer},
                {"Description", T::Memo},
                {"TimeEstimated", T::Text, "'0000000'", 7},
                {"Quantity", T::Text, "'0000000'", 7},
                {"StartDate", T::Date},
                {"StartTime", T::Time},
                {"EndDate", T::Date},
                {"EndTime", T::Time},
                {"BillStatus", T::Text, {}, 50},
                {"RateSource", T::Text, {}, 100},
                {"RateLevel", T::Text, {}, 10},
                {"EntryType", T::Text, {}, 50},
                {"Category", T::Text},
                {"Rate", T::Money, "0"},
                {"FlatRate", T::Money, "0"},
                {"Value", T::Money, "0"},
                {"Inactive", T::Boolean},
                {"Realization", T::Double, "1"},
                {"JobOrder", T::Text, {}, 50},
            },
            {
                // Covers the key query of the main window's working set: one user's
                // uninvoiced, shown TimeCards, the contact for the inactive-contact
                // test, and the key itself (the row id) without touching the table.
                {"IX_TimeCards_WorkingSet", {"UserId", "InvoiceID", "Inactive", "ContactID"}},
                {"IX_TimeCards_JournalEntryID", {"JournalEntryID"}},
                {"IX_TimeCards_ContactID", {"ContactID"}},
                {"IX_TimeCards_Activity1ID", {"Activity1ID"}},
                {"IX_TimeCards_Activity2ID", {"Activity2ID"}},
                // With the user after the invoice, the open work of one user is a
                // single range in TimeCardID order: a planner that takes this index
                // for the default order (date created) still reads only that range.
                {"IX_TimeCards_InvoiceID", {"InvoiceID", "UserId"}},
                {"IX_TimeCards_StartDate", {"StartDate"}},
                {"IX_TimeCards_EndDate", {"EndDate"}},
                {"IX_TimeCards_BillStatus", {"BillStatus"}},
                {"IX_TimeCards_RateSource", {"RateSource"}},
                {"IX_TimeCards_EntryType", {"EntryType"}},
                {"IX_TimeCards_Category", {"Category"}},
                {"IX_TimeCards_Rate", {"Rate"}},
                {"IX_TimeCards_JobOrder", {"JobOrder"}},
            }};
}

Table contacts()
{
    std::vector<Column> columns{
        {"ContactID", T::AutoNumber}, {"ContactEntryID", T::Text}, {"ContactName", T::Text},
        {"ContactAccount", T::Text},  {"Active", T::Boolean},
    };
    addRates(columns);
    columns.push_back({"TimeRealization", T::Double, "1"});
    columns.push_back({"ExpenseRealization", T::Double, "1"});
    columns.push_back({"FixedChargeRealization", T::Double, "1"});
    // Billing rounding of the client's TimeCards: the increment in minutes (0:
    // none) and its direction (0 up, 1 nearest, 2 down).
    columns.push_back({"BillingIncrement", T::Integer, "0"});
    columns.push_back({"BillingRounding", T::Integer, "0"});
    return {"tblContacts",
            std::move(columns),
            {
                {"IX_Contacts_ActiveAccount", {"Active", "ContactAccount"}},
                // The contact picker's order with all it shows: its every contact is
                // read in order from the index alone, with nothing left to sort.
                {"IX_Contacts_AccountName", {"ContactAccount", "ContactName", "Active"}},
                {"IX_Contacts_ContactEntryID", {"ContactEntryID"}},
                {"IX_Contacts_ContactName", {"ContactName"}},
            }};
}

// tblMainActivities and tblSubActivities share their columns.
Table activities(std::string_view name, std::string_view prefix)
{
    std::vector<Column> columns{
        {"ActivityID", T::AutoNumber},       {"ActivityName", T::Text},
        {"ActivityNumber", T::Text, {}, 50}, {"ActivityDescription", T::Memo},
        {"ContactID", T::Integer},           {"Active", T::Boolean},
    };
    addRates(columns);
    // Index names are unique per database, not per table.
    const std::string ix = "IX_" + std::string(prefix) + "_";
    return {name,
            std::move(columns),
            {
                {ix + "ContactID", {"ContactID", "Active"}},
                {ix + "ActiveName", {"Active", "ActivityName"}},
                {ix + "ActiveNumber", {"Active", "ActivityNumber"}},
            }};
}

Table users()
{
    std::vector<Column> columns{
        {"UserID", T::AutoNumber}, {"UserName", T::Text},   {"UserEntryID", T::Text},
        {"Active", T::Boolean},    {"StaffID", T::Integer}, {"PermissionID", T::Integer},
    };
    addRates(columns);
    return {"tblUsers", std::move(columns), {{"IX_Users_UserName", {"UserName"}}}};
}

Table staff()
{
    std::vector<Column> columns{{"StaffID", T::AutoNumber}, {"PermissionID", T::Integer}};
    addRates(columns);
    columns.push_back({"StaffName", T::Text});
    return {"tblStaff", std::move(columns), {}};
}

Table permissions()
{
    return {"tblPermissions",
            {
                {"PermissionID", T::AutoNumber},
                {"Permission1", T::Boolean},
                {"Permission2", T::Boolean},
                {"Permission3", T::Boolean},
                {"ContactManagement", T::Boolean},
                {"Payments", T::Boolean},
                {"PermissionDescription", T::Text},
            },
            {}};
}

Table adminOptions()
{
    Table t{"tblAdminOptions", {}, {}};
    for (const auto &c : adminOptionColumns)
        t.columns.push_back(c.column);
    return t;
}

Table userSettings()
{
    Table t{"tblUserSettings", {}, {}};
    for (const auto &c : userSettingColumns)
        t.columns.push_back(c.column);
    t.columns.push_back({"RecordID", T::Key});
    return t;
}

// A link of an Outlook item to a TimeCard: the item's identity and the owner.
Table itemLinks(std::string_view name, std::string_view key, std::string_view prefix,
                bool withStoreId = false)
{
    std::vector<Column> columns{{key, key == "TaskID" ? T::AutoNumber : T::Key},
                                {"EntryID", T::Text}};
    if (withStoreId)
        columns.push_back({"StoreID", T::Text});
    columns.push_back({"TimeCardID", T::Integer});
    const std::string ix = "IX_" + std::string(prefix) + "_";
    return {name,
            std::move(columns),
            {{ix + "TimeCardID", {"TimeCardID"}}, {ix + "EntryID", {"EntryID"}}}};
}

Table appointments()
{
    return {"tblAppointments",
            {
                {"AppointmentID", T::Key},
                {"JournalEntryID", T::Text},
                {"TimeCardID", T::Integer},
                {"EntryID", T::Text},
                {"StartDate", T::Date},
                {"StartTime", T::Time},
                {"EndDate", T::Date},
                {"EndTime", T::Time},
                {"Duration", T::Integer}, // minutes
            },
            {
                {"IX_Appointments_JournalEntryID", {"JournalEntryID"}},
                {"IX_Appointments_TimeCardID", {"TimeCardID"}},
            }};
}

Table documents()
{
    return {"tblDocuments",
            {
                {"DocumentID", T::AutoNumber},
                {"TimeCardID", T::Integer},
                {"FileName", T::Text},
                {"FilePath", T::Memo},
            },
            {{"IX_Documents_TimeCardID", {"TimeCardID"}}}};
}

Table expenses()
{
    return {"tblExpenses",
            {
                {"ExpenseID", T::AutoNumber},
                {"ExpenseCodeID", T::Integer},
                {"TimeCardID", T::Integer},
                {"UserID", T::Integer},
                {"ContactID", T::Integer},
                {"Activity1ID", T::Integer},
                {"Activity2ID", T::Integer},
                {"Description", T::Memo},
                {"Quantity", T::Integer, "1"},
                {"Location", T::Text},
                {"Purpose", T::Text},
                {"Participants", T::Memo},
                {"StartDate", T::Date},
                {"EndDate", T::Date},
                {"Rate", T::Money, "0"},
                {"Amount", T::Money, "0"},
                {"Realization", T::Double, "1"},
                {"BillStatus", T::Text, {}, 50},
                {"JobOrder", T::Text, {}, 50},
                {"InvoiceID", T::Integer},
                {"ReimbursementID", T::Integer},
                {"InvoiceAmount", T::Money},
            },
            {
                {"IX_Expenses_WorkingSet", {"UserID", "InvoiceID", "ContactID"}},
                {"IX_Expenses_TimeCardID", {"TimeCardID"}},
                {"IX_Expenses_ContactID", {"ContactID"}},
                {"IX_Expenses_Activity1ID", {"Activity1ID"}},
                {"IX_Expenses_Activity2ID", {"Activity2ID"}},
                {"IX_Expenses_InvoiceID", {"InvoiceID"}},
                {"IX_Expenses_StartDate", {"StartDate"}},
                {"IX_Expenses_ExpenseCodeID", {"ExpenseCodeID"}},
            }};
}

Table fixedCharges()
{
    return {"tblFixedCharges",
            {
                {"ProductID", T::AutoNumber},
                {"ProductCodeID", T::Integer},
                {"TimeCardID", T::Integer},
                {"UserID", T::Integer},
                {"ContactID", T::Integer},
                {"Activity1ID", T::Integer},
                {"Activity2ID", T::Integer},
                {"Description", T::Memo},
                {"Quantity", T::Integer, "1"},
                {"StartDate", T::Date},
                {"Rate", T::Money, "0"},
                {"Amount", T::Money, "0"},
                {"Realization", T::Double, "1"},
                {"BillStatus", T::Text, {}, 50},
                {"JobOrder", T::Text, {}, 50},
                {"InvoiceID", T::Integer},
                {"InvoiceAmount", T::Money},
            },
            {
                {"IX_FixedCharges_WorkingSet", {"UserID", "InvoiceID", "ContactID"}},
                {"IX_FixedCharges_TimeCardID", {"TimeCardID"}},
                {"IX_FixedCharges_ContactID", {"ContactID"}},
                {"IX_FixedCharges_Activity1ID", {"Activity1ID"}},
                {"IX_FixedCharges_Activity2ID", {"Activity2ID"}},
                {"IX_FixedCharges_InvoiceID", {"InvoiceID"}},
                {"IX_FixedCharges_StartDate", {"StartDate"}},
                {"IX_FixedCharges_ProductCodeID", {"ProductCodeID"}},
            }};
}

Table expenseCodes()
{
    return {"tblExpenseCodes",
            {
                {"ExpenseCodeID", T::AutoNumber},
                {"ExpenseNumber", T::Text, {}, 50},
                {"ExpenseAbbreviation", T::Text},
                {"ExpenseDescription", T::Memo},
                {"ExpenseRate", T::Money, "0"},
                {"ExpenseClass", T::Text, {}, 50},
                {"Active", T::Boolean},
            },
            {{"IX_ExpenseCodes_ActiveNumber", {"Active", "ExpenseNumber"}}}};
}

Table fixedChargeCodes()
{
    return {"tblFixedChargeCodes",
            {
                {"ProductCodeID", T::AutoNumber},
                {"ProductNumber", T::Text, {}, 50},
                {"ProductAbbreviation", T::Text},
                {"ProductDescription", T::Memo},
                {"ProductRate", T::Money, "0"},
                {"Active", T::Boolean},
            },
            {{"IX_FixedChargeCodes_ActiveNumber", {"Active", "ProductNumber"}}}};
}

Table payments()
{
    return {"tblPayments",
            {
                {"PaymentID", T::AutoNumber},
                {"UserID", T::Integer},
                {"ContactID", T::Integer},
                {"PaymentAmount", T::Money, "0"},
                {"PaymentDate", T::Date},
                {"PaymentDescription", T::Text},
                {"CreditCardNumber", T::Text, {}, 50},
                {"CardholdersName", T::Text},
                {"CCExpirationDate", T::Text, {}, 4},
                {"AuthorizationCode", T::Text, {}, 50},
                {"PaymentMethodID", T::Integer},
                {"FundContribution", T::Boolean},
                {"InvoiceID", T::Integer}, // the invoice the payment settles, if any
            },
            {
                {"IX_Payments_ContactID", {"ContactID"}},
                {"IX_Payments_UserID", {"UserID"}},
                {"IX_Payments_InvoiceID", {"InvoiceID"}},
            }};
}

} // namespace

// One row per invoice issued: what the client was sent, kept apart from the
// rows it covers (their InvoiceID names it), so that the document can be
// made again and a void keeps its reason.
Table invoices()
{
    return {"tblInvoices",
            {
                {"InvoiceID", T::Key},
                {"ContactID", T::Integer},
                {"InvoiceDate", T::Date},
                {"DueDate", T::Date},
                {"PeriodFrom", T::Date},
                {"PeriodTo", T::Date},
                {"IssuedBy", T::Integer},
                {"Subtotal", T::Money, "0"},
                {"TaxRate", T::Text, "''", 20}, // percent, as typed: "20", "7.25"
                {"Tax", T::Money, "0"},
                {"Total", T::Money, "0"},
                {"TaxNumber", T::Text},
                // The client's billing rounding when it was issued, which its
                // TimeCard lines were billed by.
                {"BillingIncrement", T::Integer, "0"},
                {"BillingRounding", T::Integer, "0"},
                {"Voided", T::Boolean},
                {"VoidDate", T::Date},
                {"VoidReason", T::Memo},
            },
            {
                {"IX_Invoices_ContactID", {"ContactID"}},
            }};
}

// Expenses paid back to the person who laid them out: the rows carry its
// ReimbursementID.
Table reimbursements()
{
    return {"tblReimbursements",
            {
                {"ReimbursementID", T::AutoNumber},
                {"UserID", T::Integer},
                {"ReimbursementDate", T::Date},
                {"Amount", T::Money, "0"},
                {"Reference", T::Text},
                {"RecordedBy", T::Integer},
            },
            {
                {"IX_Reimbursements_UserID", {"UserID"}},
            }};
}

// The firm as its invoices name it: one row, set by the administrator.
Table billingOptions()
{
    return {"tblBillingOptions",
            {
                {"BillingOptionsID", T::Key},
                {"FirmName", T::Text},
                {"FirmAddress", T::Memo},
                {"FirmTaxNumber", T::Text},
                {"TaxRate", T::Text, "''", 20}, // percent; empty: no tax
                {"PaymentTermsDays", T::Integer, "30"},
                {"InvoiceNote", T::Memo},
            },
            {}};
}

// Where and how often the administrator's backups of this database go: one
// row. LastBackup is the day of the newest checked copy.
Table backupOptions()
{
    return {"tblBackupOptions",
            {
                {"BackupOptionsID", T::Key},
                {"BackupFolder", T::Memo}, // a path may be longer than a short text
                {"KeepCopies", T::Integer, "7"},
                {"EveryDays", T::Integer, "0"}, // 0: no schedule
                {"LastBackup", T::Date},
            },
            {}};
}

namespace {

Table paymentMethods()
{
    return {"tblPaymentMethods",
            {
                {"PaymentMethodID", T::AutoNumber},
                {"PaymentMethod", T::Text, {}, 100},
                {"PaymentDescription", T::Text},
                {"RequiresAuthorization", T::Boolean},
                {"CreditCardPayment", T::Boolean},
            },
            {}};
}

std::vector<Table> programTables()
{
    return {
        timeCards(),
        contacts(),
        activities("tblMainActivities", "MainActivities"),
        activities("tblSubActivities", "SubActivities"),
        users(),
        staff(),
        permissions(),
        adminOptions(),
        userSettings(),
        itemLinks("tblMessages", "MessageID", "Messages", true),
        itemLinks("tblTasks", "TaskID", "Tasks"),
        itemLinks("tblNotes", "NoteID", "Notes"),
        itemLinks("tblTimedAppointments", "TimedAppointmentID", "TimedAppointments"),
        itemLinks("tblScheduledAppointments", "ScheduledAppointmentID", "ScheduledAppointments"),
        appointments(),
        documents(),
        expenses(),
        fixedCharges(),
        expenseCodes(),
        fixedChargeCodes(),
        payments(),
        paymentMethods(),
        invoices(),
        reimbursements(),
        billingOptions(),
        backupOptions(),
    };
}

std::vector<Table> linkTables()
{
    // One row per linked table; what the link database holds in place of the
    // linked tables themselves.
    return {{"tblLinkCatalog",
             {
                 {"LinkID", T::Key},
                 {"Name", T::Text},
                 {"Type", T::Text, "'LINK'", 20},
                 {"LinkDatasource", T::Memo},
                 {"LinkProviderString", T::Memo},
                 {"RemoteTableName", T::Text},
             },
             {{"IX_LinkCatalog_Name", {"Name"}, true}}}};
}

std::vector<Table> localTables()
{
    // Column 0 is the key; the abbreviations dialog writes 1 to 3 by position.
    return {{"tblAbbreviations",
             {
                 {"AbbreviationID", T::Key},
                 {"SortOrder", T::Integer, "0"},
                 {"Abbreviation", T::Text},
                 {"Text", T::Memo},
             },
             {{"IX_Abbreviations_SortOrder", {"SortOrder"}}}}};
}

std::vector<Table> reportTables()
{
    return {{"tblReportLog",
             {
                 {"ReportLogID", T::Key},
                 {"ReportName", T::Text},
                 {"UserID", T::Integer},
                 {"CreatedAt", T::DateTime},
                 {"Parameters", T::Memo},
             },
             {}}};
}

bool sameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

const std::vector<Table> &tables(DatabaseKind kind)
{
    static const std::vector<Table> program = programTables();
    static const std::vector<Table> link = linkTables();
    static const std::vector<Table> local = localTables();
    static const std::vector<Table> report = reportTables();
    switch (kind) {
    case DatabaseKind::Program:
        return program;
    case DatabaseKind::Link:
        return link;
    case DatabaseKind::Local:
        return local;
    case DatabaseKind::Report:
        return report;
    }
    return program;
}

const Table *findTable(DatabaseKind kind, std::string_view name)
{
    const auto &all = tables(kind);
    auto it = std::ranges::find_if(all, [&](const Table &t) { return sameName(t.name, name); });
    return it == all.end() ? nullptr : &*it;
}

} // namespace quorvale::schema
