#pragma once

#include <QString>
#include <span>

namespace quorvale {

// Tool IDs of the main window's commands. A tool keeps its ID in every band it
// stands in; the window dispatches on the ID alone.
namespace ToolId {
inline constexpr int NewTimeCard = 1001;
inline constexpr int NewPersonalTask = 1003;
inline constexpr int NewTaskRequest = 1004;
inline constexpr int NewScheduledAppointment = 1005;
inline constexpr int NewNote = 1006;
inline constexpr int NewMessage = 1007;
inline constexpr int NewExpense = 1008;
inline constexpr int NewProductSale = 1009;
inline constexpr int NewPayment = 1010;
inline constexpr int ReportFirst = 1013; // the report tools run from here
inline constexpr int ReportTime = 1013;
inline constexpr int ReportExpense = 1014;
inline constexpr int ReportProductSales = 1015;
inline constexpr int ReportTasks = 1020;
inline constexpr int ReportTimedAppointments = 1021;
inline constexpr int ReportScheduledAppointments = 1022;
inline constexpr int ReportNotes = 1023;
inline constexpr int ReportMessages = 1024;
inline constexpr int ReportEvaluations = 1025;
inline constexpr int ReportCombined = 1026;
inline constexpr int ReimbursementForm = 1027;
inline constexpr int ReportDocuments = 1028;
inline constexpr int Exit = 1034;
inline constexpr int CompactLocalDatabase = 1060;
inline constexpr int NewDocument = 1035;
inline constexpr int Invoices = 1041;
inline constexpr int Receivables = 1042;
inline constexpr int WorkInProcess = 1043;
inline constexpr int ClientFunds = 1044; // to here
inline constexpr int ReportLast = 1044;
inline constexpr int Cut = 2002;
inline constexpr int Copy = 2003;
inline constexpr int Paste = 2004;
inline constexpr int MassEdit = 2005;
inline constexpr int StartTimer = 3002;
inline constexpr int TimerInterruption = 3003;
inline constexpr int StartTempTimer = 3004;
inline constexpr int PasteToNewTimeCard = 3005;
inline constexpr int PasteToCurrentTimeCard = 3006;
inline constexpr int CancelInterruption = 3007;
inline constexpr int GoTo = 3008;
inline constexpr int NewItem = 10003; // the tool bar's "Create New..."
inline constexpr int GoToFirst = 3009;
inline constexpr int GoToPrevious = 3010;
inline constexpr int GoToNext = 3011;
inline constexpr int GoToLast = 3012;
inline constexpr int GoToActive = 3013;
inline constexpr int AddTimeCard = 3014;
inline constexpr int DeleteTimeCard = 3015;
inline constexpr int AddTime = 3016;
inline constexpr int SubtractTime = 3017;
inline constexpr int ManualAppointment = 3018;
inline constexpr int ShowHiddenTimeCards = 3019;
inline constexpr int Resume = 3020;
inline constexpr int CancelTimer = 3025;
// The time fields' own pop-up menu carries Add and Subtract Time under these.
inline constexpr int PopUpAddTime = 3026;
inline constexpr int PopUpSubtractTime = 3027;
inline constexpr int LinkedExpenses = 4011;
inline constexpr int AllExpenses = 4012;
inline constexpr int AllProductSales = 4014;
inline constexpr int Contacts = 4015;
inline constexpr int AutoFill = 5002;
inline constexpr int AutoTasks = 5003;
inline constexpr int Filter = 5004;
inline constexpr int InsertAbbreviation = 5006;
inline constexpr int EditAbbreviations = 5007;
inline constexpr int UserOptions = 5008;
inline constexpr int RetrieveAdminSettings = 5009;
inline constexpr int HelpContents = 6002;
inline constexpr int SupportMessage = 6003;
inline constexpr int Tutorial = 6004;
inline constexpr int Comments = 6005;
inline constexpr int About = 6006;
inline constexpr int SelectContact = 6019;
inline constexpr int SortFirst = 6024; // 6024-6034 ascending, 6035-6045 descending
inline constexpr int SortLast = 6045;
inline constexpr int SortFirstDescending = 6035;
inline constexpr int ClearContact = 6046;
inline constexpr int OpenContactCard = 6059; // the contact's card in the item editor
inline constexpr int SelectQuickFilter = 6047;
inline constexpr int ClearQuickFilter = 6048;
// Link existing items to the current TimeCard (6050 and its siblings).
inline constexpr int LinkExistingTaskRequests = 6050;
inline constexpr int LinkExistingTasks = 6051;
inline constexpr int LinkExistingAppointments = 6052;
inline constexpr int LinkExistingNotes = 6053;
inline constexpr int LinkExistingMessages = 6054;
inline constexpr int LinkExistingDocuments = 6055;
inline constexpr int ViewTimeDetail = 6057;
inline constexpr int ViewActiveTaskList = 6058;
inline constexpr int ViewLinks = 6062;
inline constexpr int TimeCardList = 6065;
inline constexpr int MarkComplete = 6067;
inline constexpr int ViewJournalItems = 6068; // 6068-6072: the item store's folder views
inline constexpr int ViewTasks = 6069;
inline constexpr int ViewTimeDetailItems = 6070;
inline constexpr int ViewScheduledAppointments = 6071;
inline constexpr int ViewNotes = 6072;
inline constexpr int EditActivity1List = 8002;
inline constexpr int EditActivity2List = 8003;
inline constexpr int Administrator = 8004;
inline constexpr int BackupProgramDatabase = 8005;
inline constexpr int RestoreProgramDatabase = 8006;
inline constexpr int TimeFormat1 = 20119; // "hh:mm AM/PM"
inline constexpr int TimeFormat2 = 20120; // "hh:mm"
inline constexpr int TimeFormat3 = 20121; // "hh:mm:ss"
} // namespace ToolId

// The bands the tools stand in: the menu bar's menus and the sub-menus.
namespace Band {
inline constexpr const char *MainMenu = "MainMenu";
inline constexpr const char *FileMenu = "FileMenu";
inline constexpr const char *EditMenu = "EditMenu";
inline constexpr const char *TimeCardMenu = "TimeCardMenu";
inline constexpr const char *ReportsMenu = "ReportsMenu";
inline constexpr const char *InterruptTimerMenu = "InterruptTimerMenu";
inline constexpr const char *BillingMenu = "BillingMenu";
inline constexpr const char *AbbreviationMenu = "AbbreviationMenu";
inline constexpr const char *OutlookViewPopup = "OutlookViewPopup";
inline constexpr const char *ViewPopup = "ViewPopup";
inline constexpr const char *MainToolbar = "MainToolbar";
// The window's own pop-up menu (its fields' context menu leaves the edit commands alone).
inline constexpr const char *MainPopUp = "MainPopUp";
inline constexpr const char *ManageMenu = "ManageMenu";
inline constexpr const char *AdminMenu = "AdminMenu";
inline constexpr const char *HelpMenu = "HelpMenu";
inline constexpr const char *NewMenu = "NewMenu";
inline constexpr const char *TimeCardNavigationMenu = "TimeCardNavigationMenu";
inline constexpr const char *SortAscending = "SortAscending";
inline constexpr const char *SortDescending = "SortDescending";
inline constexpr const char *TimeFormatMenu = "TimeFormatMenu";
// The pop-up menu of the time fields, shown after their edit commands.
inline constexpr const char *TimePopUp = "TimePopUp";
inline constexpr const char *Navigator = "abTimeCardNavigator";
inline constexpr const char *ExistingItemsMenu = "ExistingItemsMenu";
// The Links page's grid pops this one up; no menu opens it.
inline constexpr const char *LinksPopup = "LinksPopup";
} // namespace Band

// One tool of the command table: what the window shows and which ID it sends.
// The shortcut is in QKeySequence's portable text form ("F5", "Ctrl+F12").
struct ToolInfo {
    int id;
    const char *name;
    const char *caption;
    const char *description; // the tip
    const char *shortcut;
    bool checkable;
    const char *status = ""; // the status bar text while the command runs
};

// Where a tool stands: a band and, for a sub-menu tool, the band it opens.
struct BandEntry {
    const char *band;
    int toolId;        // 0: a separator
    const char *opens; // the sub-menu band this tool opens, or nullptr
};

namespace CommandTable {

std::span<const ToolInfo> tools();
const ToolInfo *find(int toolId);
// The menu bar's menus and every band's content, in display order.
std::span<const BandEntry> layout();

} // namespace CommandTable

} // namespace quorvale
