#include "CommandTable.h"

#include "data/SortOrders.h"

#include <array>

namespace quorvale {

namespace {

// The menu bar's own tools and the sub-menu tools only open their menus; their
// IDs (below 1000 where the table gives none) never reach a command.
constexpr int kMenuFile = 101;
constexpr int kMenuEdit = 102;
constexpr int kMenuTimeCards = 103;
constexpr int kMenuManage = 104;
constexpr int kMenuAdministration = 105;
constexpr int kMenuHelp = 106;
constexpr int kMenuSortAscending = 110;
constexpr int kMenuSortDescending = 111;
constexpr int kMenuTimeFormat = 112;
constexpr int kMenuOutlookViews = 113;
constexpr int kMenuView = 114;
constexpr int kNew = 1002;
constexpr int kReports = 1012;
constexpr int kBilling = 1040;
constexpr int kAbbreviations = 5005;
constexpr int kLinkExisting = 10004;

constexpr ToolInfo kTools[] = {
    {kMenuFile, "mnuFile", "&File", "", "", false},
    {kMenuEdit, "mnuEdit", "&Edit", "", "", false},
    {kMenuTimeCards, "mnuTimeCards", "Time&Cards", "", "", false},
    {kMenuManage, "mnuManage", "&Manage", "", "", false},
    {kMenuAdministration, "mnuAdministration", "&Administration", "", "", false},
    {kMenuHelp, "mnuHelp", "&Help", "", "", false},
    {kNew, "mnuNew", "Create &New...", "", "", false},
    {ToolId::NewItem, "tbNewItem", "Create New...", "Create a new item for the TimeCard", "",
     false},
    // F11 belongs to both new-TimeCard tools; one key can trigger only one
    // action, and both do the same.
    {ToolId::NewTimeCard, "mnuNewTimeCard", "Time&Card", "New TimeCard", "", false},
    {ToolId::NewPersonalTask, "mnuNewPersonalTask", "&Task", "New task for the TimeCard", "Ctrl+T",
     false, "Prompt for new task..."},
    {ToolId::NewTaskRequest, "mnuNewTaskRequest", "Task &Request",
     "New task request for the TimeCard", "Ctrl+R", false, "Prompt for new task request..."},
    {ToolId::NewScheduledAppointment, "mnuNewScheduledAppointment", "&Scheduled Appointment",
     "New appointment for the TimeCard", "Ctrl+A", false, "Prompt for new appointment..."},
    {ToolId::NewNote, "mnuNewNote", "&Note", "New note for the TimeCard", "Ctrl+N", false,
     "Prompt for new note..."},
    {ToolId::NewMessage, "mnuNewMessage", "&Message", "New message for the TimeCard", "Ctrl+M",
     false, "Prompt for new message..."},
    {ToolId::NewDocument, "mnuNewDocument", "&Document", "Link a new document to the TimeCard",
     "Ctrl+D", false, "Prompt for new document..."},
    {ToolId::NewExpense, "mnuNewExpense", "&Expense", "New expense for the TimeCard", "Ctrl+E",
     false, "Prompt for new expense..."},
    {ToolId::NewProductSale, "mnuNewProductSale", "&Fixed Charge",
     "New fixed charge for the TimeCard", "Ctrl+S", false, "Prompt for new fixed charge..."},
    {ToolId::NewPayment, "mnuNewPayment", "&Payment/Credit", "Record a payment or credit", "Ctrl+P",
     false, "Process payments..."},
    {kReports, "mnuReports", "&Reports", "", "", false},
    {ToolId::ReportTime, "mnuReportTime", "&TimeCards", "TimeCard report", "", false,
     "Process time reports..."},
    {ToolId::ReportExpense, "mnuReportExpense", "&Expenses", "Expense report", "", false,
     "Process expense reports..."},
    {ToolId::ReportProductSales, "mnuReportProductSales", "&Fixed Charges", "Fixed charge report",
     "", false, "Process fixed charge reports..."},
    {ToolId::ReportTasks, "mnuReportsTasks", "Tas&ks", "Task report", "", false,
     "Process task reports..."},
    {ToolId::ReportTimedAppointments, "mnuReportsTimedAppointments", "Time Det&ail",
     "Time detail report", "", false, "Process time detail reports..."},
    {ToolId::ReportScheduledAppointments, "mnuReportsScheduledAppointments",
     "&Scheduled Appointments", "Scheduled appointment report", "", false,
     "Process scheduled appointment reports..."},
    {ToolId::ReportNotes, "mnuReportsNotes", "&Notes", "Note report", "", false,
     "Process note reports..."},
    {ToolId::ReportMessages, "mnuReportsMessages", "&Messages", "Message report", "", false,
     "Process message reports..."},
    {ToolId::ReportEvaluations, "mnuReportsEvaluations", "E&valuations", "Evaluation report", "",
     false, "Process evaluation reports..."},
    {ToolId::ReportCombined, "mnuReportsCustom", "&Combined", "Combined report", "", false,
     "Process combined reports..."},
    {ToolId::ReimbursementForm, "mnuReimbursementForm", "E&xpense Reimbursement",
     "Expense reimbursement form", "", false, "Process expense reimbursement form..."},
    {ToolId::ReportDocuments, "mnuReportsDocuments", "&Documents", "Document report", "", false,
     "Process document reports..."},
    {ToolId::Exit, "mnuExit", "&Exit", "Close Quorvale", "Ctrl+Q", false},
    {kBilling, "mnuInvoices", "&Billing", "", "", false},
    {ToolId::Invoices, "mnuInvoicesReport", "&Invoices", "Invoices", "", false,
     "Process invoices..."},
    {ToolId::Receivables, "mnuReceivables", "&Accounts Receivable", "Accounts receivable", "",
     false, "Process account receivable reports..."},
    {ToolId::WorkInProcess, "mnuWorkInProcess", "&Work In Process", "Work in process", "", false,
     "Process work in process reports..."},
    {ToolId::ClientFunds, "mnuClientFunds", "&Client Funds", "Client funds", "", false,
     "Process client fund reports..."},
    {ToolId::Cut, "mnuCut", "Cu&t", "Cut", "Ctrl+X", false},
    {ToolId::Copy, "mnuCopy", "&Copy", "Copy", "Ctrl+C", false},
    {ToolId::Paste, "mnuPaste", "&Paste", "Paste", "Ctrl+V", false},
    {ToolId::MassEdit, "mnuMassEdit", "&Mass Edit", "Change many TimeCards at once", "Ctrl+Z",
     false, "Open mass edit screen..."},
    {kAbbreviations, "mnuAbbreviations", "&Abbreviations", "", "", false},
    {ToolId::InsertAbbreviation, "mnuInsert", "&Insert", "Insert the selected abbreviation",
     "Ctrl+U", false},
    {ToolId::EditAbbreviations, "mnuEditAbbreviations", "&Edit", "Edit the abbreviations", "Ctrl+W",
     false, "Edit abbreviations..."},
    {ToolId::PopUpAddTime, "mnuAddTime", "&Add Time", "Add time to the TimeCard", "", false},
    {ToolId::PopUpSubtractTime, "mnuSubtractTime", "&Subtract Time",
     "Subtract time from the TimeCard", "", false},
    {kMenuTimeFormat, "mnuTimeFormat", "Time &Format", "", "", false},
    {ToolId::TimeFormat1, "Format1", "HH:MM AM/PM", "Show times as hh:mm AM/PM", "", true},
    {ToolId::TimeFormat2, "Format2", "HH:MM (24 Hour)", "Show times as hh:mm", "", true},
    {ToolId::TimeFormat3, "Format3", "HH:MM:SS (24 Hour)", "Show times as hh:mm:ss", "", true},
    {ToolId::StartTimer, "mnuStartTimer", "&Start Timer", "Start Timer", "F3", false},
    {ToolId::CancelTimer, "mnuCancelTimer", "&Cancel Timer", "Stop and discard the run", "Ctrl+F3",
     false},
    {ToolId::TimerInterruption, "mnuTimerInterruption", "&Interrupt Timer", "Time an interruption",
     "", false},
    // F4 times an interruption at once: the moment the telephone rings.
    {ToolId::StartTempTimer, "mnuStartTempTimer", "&Start", "Start or pause the interrupt timer",
     "F4", false},
    {ToolId::PasteToNewTimeCard, "mnuPasteToNewTimeCard", "Paste to New TimeCard",
     "Paste time to new TimeCard.", "", false},
    {ToolId::PasteToCurrentTimeCard, "mnuPasteToCurrentTimeCard", "Paste to Current TimeCard",
     "Paste time to currently selected TimeCard.", "", false},
    {ToolId::CancelInterruption, "mnuCancelTempTimer", "Cancel", "Cancel temporary timer.", "",
     false},
    {ToolId::Resume, "mnuResume", "Cancel && Resume", "Cancel and resume timer on last TimeCard.",
     "Ctrl+J", false},
    {ToolId::GoTo, "mnuGoTo", "&Go To", "Move to another TimeCard", "", false},
    {ToolId::GoToFirst, "mnuGoToFirst", "&First TimeCard", "Go to the first TimeCard", "F5", false},
    {ToolId::GoToPrevious, "mnuGoToPrevious", "&Previous TimeCard", "Go to the previous TimeCard",
     "F6", false},
    {ToolId::GoToNext, "mnuGoToNext", "&Next TimeCard", "Go to the next TimeCard", "F7", false},
    {ToolId::GoToLast, "mnuGoToLast", "&Last TimeCard", "Go to the last TimeCard", "F8", false},
    {ToolId::GoToActive, "mnuGoToActive", "&Active TimeCard",
     "Go to the TimeCard with the running timer", "F9", false},
    {ToolId::AddTimeCard, "mnuAddTimeCard", "&Add TimeCard", "New TimeCard", "F11", false},
    {ToolId::DeleteTimeCard, "mnuDeleteTimeCard", "&Delete TimeCard", "Delete the TimeCard", "F12",
     false},
    {ToolId::AddTime, "mnuAddTime", "&Add Time", "Add time to the TimeCard", "", false},
    {ToolId::SubtractTime, "mnuSubtractTime", "&Subtract Time", "Subtract time from the TimeCard",
     "", false},
    {ToolId::ManualAppointment, "mnuManualAppt", "&Out of Office Time",
     "Record time spent away from the desk", "Ctrl+F11", false, "Record out-of-office time..."},
    {ToolId::ShowHiddenTimeCards, "mnuViewActiveTimeCards", "Show &Hidden TimeCards",
     "Include hidden TimeCards", "Ctrl+F12", true},
    {kMenuSortAscending, "mnuSortAscending", "Sort &Ascending", "", "", false},
    {kMenuSortDescending, "mnuSortDescending", "Sort &Descending", "", "", false},
    {ToolId::LinkedExpenses, "tbLinkedExpenses", "Linked E&xpenses", "Expenses of this TimeCard",
     "", false, "Retrieving linked expenses..."},
    {ToolId::AllExpenses, "mnuAllExpenses", "&Expenses", "Manage expenses", "Ctrl+F5", false,
     "Manage expenses..."},
    {ToolId::AllProductSales, "mnuAllProductSales", "&Fixed Charges", "Manage fixed charges",
     "Ctrl+F6", false, "Manage fixed charges..."},
    {ToolId::Contacts, "mnuContacts", "&Contacts", "Manage contacts", "Ctrl+F7", false,
     "Manage contacts..."},
    {ToolId::AutoFill, "mnuAutoFill", "Aut&oFill Settings", "Subject and body templates", "Ctrl+L",
     false, "Reviewing Autofill options..."},
    {ToolId::AutoTasks, "mnuAutoTasks", "&AutoTasks", "Tasks made with each TimeCard", "Ctrl+G",
     false},
    {ToolId::Filter, "mnuFilter", "&Filter", "Apply or clear the filter", "Ctrl+F", false},
    {ToolId::UserOptions, "mnuUserOptions", "&User Options", "Your settings", "Ctrl+O", false,
     "Manage user options..."},
    {kLinkExisting, "mnuLinkExisting", "&Link Existing", "", "", false},
    {ToolId::LinkExistingTaskRequests, "mnuTaskRequest", "Task &Request(s)",
     "Link task requests from the Tasks folder to the TimeCard", "", false},
    {ToolId::LinkExistingTasks, "mnuExistingTasks", "&Task(s)",
     "Link tasks from the Tasks folder to the TimeCard", "", false},
    {ToolId::LinkExistingAppointments, "mnuExistingAppointments", "Scheduled &Appointment(s)",
     "Link scheduled appointments to the TimeCard", "", false},
    {ToolId::LinkExistingNotes, "mnuExistingNotes", "&Note(s)", "Link notes to the TimeCard", "",
     false},
    {ToolId::LinkExistingMessages, "mnuExistingMessages", "&Message(s)",
     "Link messages to the TimeCard", "", false},
    {ToolId::LinkExistingDocuments, "mnuExistingDocuments", "&Document(s)",
     "Link a document from the file system to the TimeCard", "", false},
    {ToolId::MarkComplete, "mnuMarkComplete", "&Mark Task Complete",
     "Mark the selected task complete", "", true},
    {kMenuOutlookViews, "mnuOutlookViews", "Item &Views", "", "", false},
    {ToolId::ViewJournalItems, "mnuViewOLJournal", "&Journal (TimeCard) Items",
     "The journal entries of your TimeCards", "", false},
    {ToolId::ViewTasks, "mnuViewOLTasks", "&Tasks", "Your tasks", "", false},
    {ToolId::ViewTimeDetailItems, "mnuViewOLTimeDetail", "Time &Detail",
     "The time-detail appointments", "", false},
    {ToolId::ViewScheduledAppointments, "mnuViewOLSchAppts", "&Scheduled Appointments",
     "The scheduled appointments", "", false},
    {ToolId::ViewNotes, "mnuViewOLNotes", "&Notes", "Your notes", "", false},
    {kMenuView, "mnuView", "Vie&w", "", "", false},
    {ToolId::ViewTimeDetail, "Tool6057", "View &Time Detail Textbox", "Show the time detail field",
     "", true},
    {ToolId::ViewActiveTaskList, "Tool6058", "View &Active Task List", "Show the active task list",
     "", true},
    {ToolId::ViewLinks, "mnuViewLinks", "View &Links Summary", "The TimeCard's links", "", false},
    {ToolId::TimeCardList, "mnuTimeCardList", "&View TimeCard List", "Choose from a list", "Ctrl+K",
     false},
    {ToolId::SelectContact, "tbSelectContact", "Select Co&ntact", "Select TimeCard contact.", "",
     false},
    {ToolId::SelectQuickFilter, "abQFContact", "&Quick Filter...",
     "Click to select Quick Filter contact.", "", false},
    {ToolId::ClearQuickFilter, "abQFContactClear", "Clear Quic&k Filter",
     "Click to clear Quick Filter.", "", false},
    {ToolId::ClearContact, "tbClearContact", "C&lear Contact", "Delete TimeCard contact.", "",
     false},
    {ToolId::OpenContactCard, "mnuOpenContactCard", "Open Contact Car&d",
     "Open the TimeCard contact's card.", "", false},
    {ToolId::EditActivity1List, "mnuEditActivity1List", "&Edit Service List",
     "Maintain the first activity list", "", false},
    {ToolId::EditActivity2List, "mnuEditActivity2List", "E&dit Project List",
     "Maintain the second activity list", "", false},
    {ToolId::Administrator, "mnuAdministrator", "&Administrator", "Start the administrator tool",
     "", false},
    {ToolId::CompactLocalDatabase, "mnuCompactLocalDatabase", "&Compact Local Database",
     "Compact your local databases, keeping the copies as backups", "", false,
     "Compacting local databases..."},
    {ToolId::RetrieveAdminSettings, "mnuRetrieveAdminSettings", "&Retrieve Administrator Settings",
     "Take the administrator's default AutoFill and user option settings", "", false},
    {ToolId::BackupProgramDatabase, "mnuBackupProgramDatabase", "&Back Up Program Database...",
     "Copy the shared program database to the backup folder", "", false,
     "Backing up the program database..."},
    {ToolId::RestoreProgramDatabase, "mnuRestoreProgramDatabase", "Res&tore Program Database...",
     "Replace the program database with a backup", "", false, "Restoring the program database..."},
    {ToolId::Tutorial, "mnuTutorial", "Quorvale &Tutorial", "A short tour of this window", "",
     false},
    {ToolId::HelpContents, "miHContents", "&Contents", "Help", "F1", false},
    {ToolId::SupportMessage, "mnuSupportMessage", "Email &Support Request", "Ask for support",
     "Ctrl+F8", false},
    {ToolId::Comments, "mnuComments", "&Comments", "Send us your comments", "Ctrl+F9", false},
    {ToolId::About, "miHAbout", "&About", "About Quorvale", "F2", false, "Viewing About screen..."},
};

// The sort tools take their names, IDs and captions from the sort table; their
// captions with terms are completed by the window.
constexpr auto kSortTools = [] {
    std::array<BandEntry, 22> entries{};
    for (int i = 0; i < 22; ++i)
        entries[static_cast<std::size_t>(i)] = {i < 11 ? Band::SortAscending : Band::SortDescending,
                                                ToolId::SortFirst + i, nullptr};
    return entries;
}();

constexpr BandEntry kBaseLayout[] = {
    {Band::MainMenu, kMenuFile, Band::FileMenu},
    {Band::MainMenu, kMenuEdit, Band::EditMenu},
    {Band::MainMenu, kMenuTimeCards, Band::TimeCardMenu},
    {Band::MainMenu, kMenuManage, Band::ManageMenu},
    {Band::MainMenu, kMenuAdministration, Band::AdminMenu},
    {Band::MainMenu, kMenuHelp, Band::HelpMenu},

    {Band::FileMenu, kNew, Band::NewMenu},
    {Band::FileMenu, kLinkExisting, Band::ExistingItemsMenu},
    {Band::FileMenu, 0, nullptr},
    {Band::FileMenu, kReports, Band::ReportsMenu},
    {Band::FileMenu, kBilling, Band::BillingMenu},
    {Band::FileMenu, 0, nullptr},
    {Band::FileMenu, ToolId::CompactLocalDatabase, nullptr},
    {Band::FileMenu, 0, nullptr},
    {Band::FileMenu, ToolId::Exit, nullptr},
    {Band::NewMenu, ToolId::NewTimeCard, nullptr},
    {Band::NewMenu, 0, nullptr},
    {Band::NewMenu, ToolId::NewPersonalTask, nullptr},
    {Band::NewMenu, ToolId::NewTaskRequest, nullptr},
    {Band::NewMenu, ToolId::NewScheduledAppointment, nullptr},
    {Band::NewMenu, ToolId::NewNote, nullptr},
    {Band::NewMenu, ToolId::NewMessage, nullptr},
    {Band::NewMenu, ToolId::NewDocument, nullptr},
    {Band::NewMenu, 0, nullptr},
    {Band::NewMenu, ToolId::NewExpense, nullptr},
    {Band::NewMenu, ToolId::NewProductSale, nullptr},
    {Band::NewMenu, ToolId::NewPayment, nullptr},
    {Band::ExistingItemsMenu, ToolId::LinkExistingTasks, nullptr},
    {Band::ExistingItemsMenu, ToolId::LinkExistingTaskRequests, nullptr},
    {Band::ExistingItemsMenu, ToolId::LinkExistingAppointments, nullptr},
    {Band::ExistingItemsMenu, ToolId::LinkExistingNotes, nullptr},
    {Band::ExistingItemsMenu, ToolId::LinkExistingMessages, nullptr},
    {Band::ExistingItemsMenu, ToolId::LinkExistingDocuments, nullptr},
    {Band::ReportsMenu, ToolId::ReportTime, nullptr},
    {Band::ReportsMenu, ToolId::ReportExpense, nullptr},
    {Band::ReportsMenu, ToolId::ReportProductSales, nullptr},
    {Band::ReportsMenu, ToolId::ReportTasks, nullptr},
    {Band::ReportsMenu, ToolId::ReportTimedAppointments, nullptr},
    {Band::ReportsMenu, ToolId::ReportScheduledAppointments, nullptr},
    {Band::ReportsMenu, ToolId::ReportNotes, nullptr},
    {Band::ReportsMenu, ToolId::ReportMessages, nullptr},
    {Band::ReportsMenu, ToolId::ReportDocuments, nullptr},
    {Band::ReportsMenu, 0, nullptr},
    {Band::ReportsMenu, ToolId::ReportEvaluations, nullptr},
    {Band::ReportsMenu, ToolId::ReportCombined, nullptr},
    {Band::ReportsMenu, ToolId::ReimbursementForm, nullptr},
    {Band::BillingMenu, ToolId::Invoices, nullptr},
    {Band::BillingMenu, ToolId::Receivables, nullptr},
    {Band::BillingMenu, ToolId::WorkInProcess, nullptr},
    {Band::BillingMenu, ToolId::ClientFunds, nullptr},

    {Band::EditMenu, ToolId::Cut, nullptr},
    {Band::EditMenu, ToolId::Copy, nullptr},
    {Band::EditMenu, ToolId::Paste, nullptr},
    {Band::EditMenu, 0, nullptr},
    {Band::EditMenu, kAbbreviations, Band::AbbreviationMenu},
    {Band::EditMenu, ToolId::MassEdit, nullptr},
    {Band::AbbreviationMenu, ToolId::InsertAbbreviation, nullptr},
    {Band::AbbreviationMenu, ToolId::EditAbbreviations, nullptr},

    {Band::TimeCardMenu, ToolId::StartTimer, nullptr},
    {Band::TimeCardMenu, ToolId::CancelTimer, nullptr},
    {Band::TimeCardMenu, ToolId::TimerInterruption, Band::InterruptTimerMenu},
    {Band::InterruptTimerMenu, ToolId::StartTempTimer, nullptr},
    {Band::InterruptTimerMenu, ToolId::PasteToNewTimeCard, nullptr},
    {Band::InterruptTimerMenu, ToolId::PasteToCurrentTimeCard, nullptr},
    {Band::InterruptTimerMenu, ToolId::Resume, nullptr},
    {Band::InterruptTimerMenu, ToolId::CancelInterruption, nullptr},
    {Band::TimeCardMenu, 0, nullptr},
    {Band::TimeCardMenu, ToolId::AddTimeCard, nullptr},
    {Band::TimeCardMenu, ToolId::DeleteTimeCard, nullptr},
    {Band::TimeCardMenu, ToolId::AddTime, nullptr},
    {Band::TimeCardMenu, ToolId::SubtractTime, nullptr},
    {Band::TimeCardMenu, ToolId::ManualAppointment, nullptr},
    {Band::TimeCardMenu, 0, nullptr},
    {Band::TimeCardMenu, ToolId::SelectContact, nullptr},
    {Band::TimeCardMenu, ToolId::ClearContact, nullptr},
    {Band::TimeCardMenu, ToolId::OpenContactCard, nullptr},
    {Band::TimeCardMenu, 0, nullptr},
    {Band::TimeCardMenu, ToolId::GoTo, Band::TimeCardNavigationMenu},
    {Band::TimeCardMenu, ToolId::TimeCardList, nullptr},
    {Band::TimeCardMenu, 0, nullptr},
    {Band::TimeCardMenu, ToolId::ShowHiddenTimeCards, nullptr},
    {Band::TimeCardMenu, kMenuSortAscending, Band::SortAscending},
    {Band::TimeCardMenu, kMenuSortDescending, Band::SortDescending},
    {Band::TimeCardMenu, kMenuTimeFormat, Band::TimeFormatMenu},
    {Band::TimeCardMenu, kMenuView, Band::ViewPopup},
    {Band::TimeCardNavigationMenu, ToolId::GoToFirst, nullptr},
    {Band::TimeCardNavigationMenu, ToolId::GoToPrevious, nullptr},
    {Band::TimeCardNavigationMenu, ToolId::GoToNext, nullptr},
    {Band::TimeCardNavigationMenu, ToolId::GoToLast, nullptr},
    {Band::TimeCardNavigationMenu, ToolId::GoToActive, nullptr},
    {Band::TimeFormatMenu, ToolId::TimeFormat1, nullptr},
    {Band::TimeFormatMenu, ToolId::TimeFormat2, nullptr},
    {Band::TimeFormatMenu, ToolId::TimeFormat3, nullptr},
    {Band::ViewPopup, ToolId::ViewTimeDetail, nullptr},
    {Band::ViewPopup, ToolId::ViewActiveTaskList, nullptr},
    {Band::ViewPopup, 0, nullptr},
    {Band::ViewPopup, ToolId::ViewLinks, nullptr},

    {Band::ManageMenu, ToolId::AllExpenses, nullptr},
    {Band::ManageMenu, ToolId::AllProductSales, nullptr},
    {Band::ManageMenu, ToolId::Contacts, nullptr},
    {Band::ManageMenu, 0, nullptr},
    {Band::ManageMenu, ToolId::AutoFill, nullptr},
    {Band::ManageMenu, ToolId::AutoTasks, nullptr},
    {Band::ManageMenu, ToolId::Filter, nullptr},
    {Band::ManageMenu, ToolId::SelectQuickFilter, nullptr},
    {Band::ManageMenu, ToolId::ClearQuickFilter, nullptr},
    {Band::ManageMenu, 0, nullptr},
    {Band::ManageMenu, kMenuOutlookViews, Band::OutlookViewPopup},
    {Band::ManageMenu, 0, nullptr},
    {Band::ManageMenu, ToolId::UserOptions, nullptr},
    {Band::ManageMenu, ToolId::RetrieveAdminSettings, nullptr},
    {Band::OutlookViewPopup, ToolId::ViewJournalItems, nullptr},
    {Band::OutlookViewPopup, ToolId::ViewTasks, nullptr},
    {Band::OutlookViewPopup, ToolId::ViewTimeDetailItems, nullptr},
    {Band::OutlookViewPopup, ToolId::ViewScheduledAppointments, nullptr},
    {Band::OutlookViewPopup, ToolId::ViewNotes, nullptr},

    {Band::AdminMenu, ToolId::EditActivity1List, nullptr},
    {Band::AdminMenu, ToolId::EditActivity2List, nullptr},
    {Band::AdminMenu, 0, nullptr},
    {Band::AdminMenu, ToolId::BackupProgramDatabase, nullptr},
    {Band::AdminMenu, ToolId::RestoreProgramDatabase, nullptr},
    {Band::AdminMenu, 0, nullptr},
    {Band::AdminMenu, ToolId::Administrator, nullptr},

    {Band::HelpMenu, ToolId::HelpContents, nullptr},
    {Band::HelpMenu, ToolId::Tutorial, nullptr},
    {Band::HelpMenu, ToolId::SupportMessage, nullptr},
    {Band::HelpMenu, ToolId::Comments, nullptr},
    {Band::HelpMenu, 0, nullptr},
    {Band::HelpMenu, ToolId::About, nullptr},

    {Band::MainToolbar, ToolId::AddTimeCard, nullptr},
    {Band::MainToolbar, ToolId::NewItem, nullptr},
    {Band::MainToolbar, ToolId::StartTimer, nullptr},
    {Band::MainToolbar, ToolId::TimerInterruption, nullptr},
    {Band::MainToolbar, 0, nullptr},
    {Band::MainToolbar, ToolId::SelectContact, nullptr},
    {Band::MainToolbar, ToolId::LinkedExpenses, nullptr},
    {Band::MainToolbar, ToolId::Filter, nullptr},
    {Band::MainToolbar, ToolId::SelectQuickFilter, nullptr},

    {Band::TimePopUp, ToolId::PopUpAddTime, nullptr},
    {Band::TimePopUp, ToolId::PopUpSubtractTime, nullptr},
    {Band::TimePopUp, 0, nullptr},
    {Band::TimePopUp, ToolId::TimeFormat1, nullptr},
    {Band::TimePopUp, ToolId::TimeFormat2, nullptr},
    {Band::TimePopUp, ToolId::TimeFormat3, nullptr},

    {Band::LinksPopup, ToolId::MarkComplete, nullptr},

    {Band::Navigator, ToolId::GoToFirst, nullptr},
    {Band::Navigator, ToolId::GoToPrevious, nullptr},
    {Band::Navigator, ToolId::GoToNext, nullptr},
    {Band::Navigator, ToolId::GoToLast, nullptr},
};

constexpr auto kLayout = [] {
    std::array<BandEntry, std::size(kBaseLayout) + kSortTools.size()> all{};
    std::size_t n = 0;
    for (const BandEntry &e : kBaseLayout)
        all[n++] = e;
    for (const BandEntry &e : kSortTools)
        all[n++] = e;
    return all;
}();

// Sort tools as ToolInfo, built once from the sort table.
const std::array<ToolInfo, 22> &sortTools()
{
    static const std::array<ToolInfo, 22> tools = [] {
        std::array<ToolInfo, 22> t{};
        std::size_t i = 0;
        for (const SortOrder &order : SortOrders::all())
            t[i++] = {order.toolId, order.toolName, "", "", "", true};
        return t;
    }();
    return tools;
}

} // namespace

namespace CommandTable {

std::span<const ToolInfo> tools()
{
    return kTools;
}

const ToolInfo *find(int toolId)
{
    for (const ToolInfo &t : kTools)
        if (t.id == toolId)
            return &t;
    for (const ToolInfo &t : sortTools())
        if (t.id == toolId)
            return &t;
    return nullptr;
}

std::span<const BandEntry> layout()
{
    return kLayout;
}

} // namespace CommandTable

} // namespace quorvale
